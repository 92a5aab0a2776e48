#include "workflow/magnifier/ZoomWndDlg.h"

#include "app/LogFile.h"
#include "app/MainWindowMessages.h"
#include "app/MultiLanguageTranslator.h"
#include "app/dialogs/DialogKeys.h"
#include "app/dialogs/TranslateWindow.h"
#include "image/AccImage.h"
#include "workflow/MainStrings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMagnifications[] = {1.0, 2.0, 4.0, 8.0};
constexpr int kMargin = 8;
constexpr int kRowHeight = 26;
const QColor kEmptyColour(0xF0, 0xF0, 0xF0);
} // namespace

// Control 1096: the whole view area, on which the picture, the cross hair and
// the frame are drawn; 1141 above it only marks where the picture lies.
class CZoomWndDlg::CCrossView : public QWidget {
public:
    explicit CCrossView(CZoomWndDlg* pDlg) : QWidget(pDlg), m_pDlg(pDlg) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_pDlg->PaintView(painter);
    }

private:
    CZoomWndDlg* m_pDlg;
};

CZoomWndDlg::CZoomWndDlg(QWidget* pParent)
    : QWidget(pParent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("CZoomWndDlg"));
    auto* pLabel = new QLabel(QStringLiteral("拡大倍率"), this);
    pLabel->setGeometry(kMargin, kMargin, 80, kRowHeight);
    m_pCombo = new QComboBox(this);
    m_pCombo->setObjectName(QStringLiteral("comboMagnification"));
    m_pCombo->addItems({QStringLiteral("x1.0"), QStringLiteral("x2.0"), QStringLiteral("x4.0"), QStringLiteral("x8.0")});
    m_pCombo->setGeometry(kMargin + 84, kMargin, 90, kRowHeight);
    const int top = kMargin * 2 + kRowHeight;
    m_ViewStart = QRect(kMargin, top, kViewSize, kViewSize);
    m_pCross = new CCrossView(this);
    m_pCross->setObjectName(QStringLiteral("staticCross"));
    m_pView = new QWidget(this);
    m_pView->setObjectName(QStringLiteral("staticView"));
    m_pView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pView->setGeometry(m_ViewStart);
    m_pInfo = new QLabel(this);
    m_pInfo->setObjectName(QStringLiteral("labelPixel"));
    m_pInfo->setGeometry(kMargin, m_ViewStart.bottom() + 1 + kMargin / 2, kViewSize, kRowHeight);
    setFixedSize(kViewSize + 2 * kMargin, m_pInfo->geometry().bottom() + 1 + kMargin / 2);

    // Set-up: captions translated, the view remembered, x1.0.
    TranslateChildWindows(this);
    setWindowTitle(GetProgramString(IDS_ZOOM_WND_TITLE));
    m_ImageInfo = IMAGE_INFO{0, 0, 0};
    m_dMagnification = 1.0;
    m_nMagnificationIdx = 0;
    m_pCombo->setCurrentIndex(0);
    connect(m_pCombo, &QComboBox::currentIndexChanged, this, [this](int n) { OnSelChangeMagnification(n); });
}

CZoomWndDlg::~CZoomWndDlg() = default;

BOOL CZoomWndDlg::InitZoomWndDlg(IMessageSink* pMain, CAccImage* pImage)
{
    if (m_bInit) {
        WriteLog(QStringLiteral("[ZOOMWNDDLG]bInit is TRUE"));
        return TRUE;
    }
    if (pMain == nullptr || pImage == nullptr) {
        WriteLog(QStringLiteral("[ZOOMWNDDLG]Parameter Error! (NULL)"));
        return FALSE;
    }
    m_pMain = pMain;
    m_pImage = pImage;
    m_pCross->setGeometry(m_ViewStart);
    m_pCross->lower();
    m_bInit = TRUE;
    return TRUE;
}

void CZoomWndDlg::SetCrossColor(COLORREF crCross)
{
    m_crCross = crCross;
    m_pCross->update();
}

QWidget* CZoomWndDlg::GetDlgItem(int nID) const
{
    switch (nID) {
    case IDC_COMBO_MAGNIFICATION:
        return m_pCombo;
    case IDC_STATIC_VIEW:
        return m_pView;
    case IDC_STATIC_CROSS:
        return m_pCross;
    default:
        return nullptr;
    }
}

void CZoomWndDlg::OnSelChangeMagnification(int nSel)
{
    if (nSel < 0 || nSel >= int(std::size(kMagnifications)) || nSel == m_nMagnificationIdx) {
        return;
    }
    m_nMagnificationIdx = nSel;
    m_dMagnification = kMagnifications[nSel];
    Redraw();
}

void CZoomWndDlg::Draw(POINT pt, BOOL bClear)
{
    m_ptPointer = pt;
    if (bClear) {
        m_nViewState = VIEW_CLEARED;
        UpdatePixelText();
        m_pCross->update();
        return;
    }
    if (m_ImageInfo.nWidth < 1 || m_ImageInfo.nHeight < 1 || !(m_dMagnification > 0.0)) {
        return;
    }
    const double m = m_dMagnification;
    const int W = m_pCross->width(), H = m_pCross->height();
    const int32_t hw = int32_t(std::trunc((W / 2) / m));
    const int32_t hh = int32_t(std::trunc((H / 2) / m));
    const int64_t left = int64_t(pt.x) - hw;
    const int64_t top = int64_t(pt.y) - hh;
    int l = m_ViewStart.left(), t = m_ViewStart.top();
    int r = m_ViewStart.left() + m_ViewStart.width(), b = m_ViewStart.top() + m_ViewStart.height();
    // Both sides from the view's own origin: on a picture narrower than the
    // view the far side then stops at the picture's edge, where measuring it
    // from the clamped origin would cut the view short by what lay outside.
    if (left < 0) {
        l += int(std::trunc(-left * m));
    }
    if (left + 2 * hw > m_ImageInfo.nWidth) {
        r -= int(std::trunc((left + 2 * hw - m_ImageInfo.nWidth) * m));
    }
    if (top < 0) {
        t += int(std::trunc(-top * m));
    }
    if (top + 2 * hh > m_ImageInfo.nHeight) {
        b -= int(std::trunc((top + 2 * hh - m_ImageInfo.nHeight) * m));
    }
    r = std::max(r, l);
    b = std::max(b, t);
    m_pView->setGeometry(l, t, r - l, b - t);
    m_nSrcLeft = int32_t(std::max<int64_t>(left, 0));
    m_nSrcTop = int32_t(std::max<int64_t>(top, 0));
    m_nViewState = VIEW_PICTURE;
    UpdatePixelText();
    m_pCross->update();
}

void CZoomWndDlg::PaintView(QPainter& painter)
{
    painter.fillRect(m_pCross->rect(), palette().window());
    if (m_nViewState == VIEW_NONE) {
        return;
    }
    const QRect view = m_pView->geometry().translated(-m_pCross->pos());
    if (m_nViewState == VIEW_CLEARED) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(kEmptyColour);
        painter.drawRect(view.adjusted(0, 0, -1, -1));
        return;
    }
    if (m_pImage != nullptr && m_dMagnification > 0.0 && m_nSrcLeft >= 0 && m_nSrcTop >= 0 && !view.isEmpty()) {
        painter.save();
        painter.translate(view.topLeft());
        const RECT rc{0, 0, view.width(), view.height()};
        m_pImage->DrawImage(painter, view.width(), view.height(), &rc, m_dMagnification, m_nSrcLeft, m_nSrcTop);
        painter.restore();
    }
    const int cx = m_pCross->width() / 2, cy = m_pCross->height() / 2;
    const QColor cross(int(m_crCross & 0xFF), int((m_crCross >> 8) & 0xFF), int((m_crCross >> 16) & 0xFF));
    painter.setPen(QPen(cross, 1));
    painter.drawLine(cx - 10, cy, cx + 10, cy);
    painter.drawLine(cx, cy - 10, cx, cy + 10);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_pCross->rect().adjusted(0, 0, -1, -1));
}

CZoomWndDlg::PIXEL_AT CZoomWndDlg::ReadPixel() const
{
    PIXEL_AT px{m_ptPointer.x, m_ptPointer.y, -1, {0, 0, 0}};
    if (m_nViewState != VIEW_PICTURE || m_pImage == nullptr || m_pImage->IsEmpty()) {
        px.nChannels = -2;
        return px;
    }
    if (px.x < 0 || px.y < 0 || px.x >= m_pImage->GetWidth() || px.y >= m_pImage->GetHeight()) {
        return px;
    }
    const CAccImage::CPixelView view = m_pImage->LockPixels(); // the picture may have changed since the check above
    const uint8_t* pRow = view.Contains(px.x, px.y) ? view.Row(px.y) : nullptr;
    if (pRow == nullptr) {
        return px;
    }
    const uint32_t nBits = m_pImage->GetBitCount();
    if (nBits == 8) {
        px.nChannels = 1;
        px.value[0] = pRow[px.x];
        return px;
    }
    // Rows hold blue, green, red.
    const uint8_t* p = pRow + size_t(px.x) * (nBits / 8);
    px.nChannels = 3;
    px.value[0] = p[2];
    px.value[1] = p[1];
    px.value[2] = p[0];
    return px;
}

void CZoomWndDlg::UpdatePixelText()
{
    // Each live frame comes here: the text is built only when it changes.
    const PIXEL_AT px = ReadPixel();
    if (px == m_LastPixel) {
        return;
    }
    m_LastPixel = px;
    m_pInfo->setText(GetPixelText());
}

QString CZoomWndDlg::GetPixelText() const
{
    const PIXEL_AT px = ReadPixel();
    if (px.nChannels == -2) {
        return QString();
    }
    const QString text = QStringLiteral("X: %1  Y: %2").arg(px.x).arg(px.y);
    if (px.nChannels == 1) {
        return text + QStringLiteral("  %1").arg(px.value[0]);
    }
    if (px.nChannels == 3) {
        return text + QStringLiteral("  R: %1  G: %2  B: %3").arg(px.value[0]).arg(px.value[1]).arg(px.value[2]);
    }
    return text;
}

void CZoomWndDlg::closeEvent(QCloseEvent* pEvent)
{
    if (m_pMain != nullptr) {
        m_pMain->PostMessage(WM_CLOSE_ZOOM_WINDOW, 0, 0);
    }
    QWidget::closeEvent(pEvent);
}

void CZoomWndDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (SwallowEnterEscape(pEvent)) {
        return;
    }
    QWidget::keyPressEvent(pEvent);
}
