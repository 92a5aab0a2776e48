// What lies under the pointer, for the status bar: the image pixel the
// pointer is on (the one a click there takes), its value (R G B, or the grey
// level of a grey picture) and, with a calibration, the pixel's place in the
// calibration's unit.
#pragma once

#include "platform/WinTypes.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class CAccImage;
class CDisplayGeometry;
class IPictureState;
struct SYSTEM_SETTING;

// The text for image pixel (x, y) of the picture; empty off the picture.
// nDecimals and the unit apply when dPerPixel is above 0.
QString PointerReadoutText(const CAccImage& image, bool bGrey, POINT pixel, double dPerPixel, const QString& unit,
                           int nDecimals);

class CPointerReadout {
public:
    CPointerReadout(const CDisplayGeometry& geometry, IPictureState& picture, const SYSTEM_SETTING& setting,
                    std::function<void(const QString&)> fnShow)
        : m_Geometry(geometry), m_Picture(picture), m_Setting(setting), m_fnShow(std::move(fnShow))
    {
    }

    // The pointer at a point of the picture box, or gone from it.
    void Show(std::optional<QPoint> boxPos);
    // A new frame under a pointer that stayed: its value read again, at
    // most every kRefreshMs so the frame path does not format texts.
    void OnNewPicture();
    static constexpr qint64 kRefreshMs = 100;

private:
    const CDisplayGeometry& m_Geometry;
    IPictureState& m_Picture;
    const SYSTEM_SETTING& m_Setting;
    std::function<void(const QString&)> m_fnShow;
    std::optional<QPoint> m_Pointer;
    QElapsedTimer m_SinceShown;
};
