#include "workflow/live/PointerReadout.h"

#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "engine/MeasureGeometry.h"
#include "image/AccImage.h"
#include "workflow/MainStrings.h"
#include "workflow/calibration/CalibrationTable.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureState.h"

#include <algorithm>

QString PointerReadoutText(const CAccImage& image, bool bGrey, POINT pixel, double dPerPixel, const QString& unit,
                           int nDecimals)
{
    QString value;
    {
        const CAccImage::CPixelView view = image.LockPixels();
        const uint8_t* pRow = view.Contains(pixel.x, pixel.y) ? view.Row(pixel.y) : nullptr;
        if (pRow == nullptr) {
            return QString();
        }
        const uint32_t nBytes = view.BitCount() / 8;
        const uint8_t* p = pRow + size_t(pixel.x) * nBytes;
        if (nBytes == 1 || bGrey) {
            // A grey picture's channels are alike; green stands for all of them.
            value = GetProgramString(IDS_POINTER_GREY) + QStringLiteral(" %1").arg(nBytes == 1 ? p[0] : p[1]);
        } else if (nBytes >= 3) {
            value = QStringLiteral("R %1  G %2  B %3").arg(p[2]).arg(p[1]).arg(p[0]); // stored blue first
        }
    }
    QString text =
        QStringLiteral(" %1, %2 %3    %4").arg(pixel.x).arg(pixel.y).arg(GetProgramString(IDS_UNIT_PIXEL), value);
    if (dPerPixel > 0.0) {
        const auto place = [&](int32_t n) {
            return QString::fromStdU16String(FormatValueString(n * dPerPixel, nDecimals));
        };
        text += QStringLiteral("    %1, %2 %3").arg(place(pixel.x), place(pixel.y), unit);
    }
    return text;
}

void CPointerReadout::OnNewPicture()
{
    if (m_Pointer && (!m_SinceShown.isValid() || m_SinceShown.hasExpired(kRefreshMs))) {
        Show(m_Pointer);
    }
}

void CPointerReadout::Show(std::optional<QPoint> boxPos)
{
    m_Pointer = boxPos;
    m_SinceShown.start();
    POINT pixel{};
    if (!boxPos || !m_Picture.HasPicture() ||
        !m_Geometry.ClickToImage(boxPos->x(), boxPos->y(), &pixel)) {
        m_fnShow(QString());
        return;
    }
    const int32_t n = std::clamp(m_Setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    const CALIBRATION_SETTING& cal = m_Setting.Calibration[n];
    const bool bCalibrated = cal.bEnable != FALSE && cal.Calibration > 0.0;
    // A mono camera's picture reads as grey levels.
    const bool bGrey = m_Picture.GetDispImageKind() == DISP_CAMERA_IMAGE && !m_Picture.IsFileImageLoaded() &&
                       m_Picture.IsCameraOK() && !m_Picture.IsColorCamera();
    m_fnShow(PointerReadoutText(m_Picture.Image(), bGrey, pixel, bCalibrated ? cal.Calibration : 0.0,
                                CalibrationUnitText(cal.UnitKind), m_Setting.MeasureDownPlace));
}
