// The image-save and image-load buttons: the picture shown, with its
// measurement overlay, to a file, and a file as the still picture.
#pragma once

#include "image/AccImage.h"
#include "platform/WinTypes.h"

#include <QString>

#include <functional>

class CCrossLines;
class CDisplayGeometry;
class CLayeredWnd;
class CLiveController;
class CMeasureModeDlg;
class CPictureViewController;
class CZoomWndFlow;
class IMainButtons;
class IStatusLine;
class QWidget;
struct SYSTEM_SETTING;

// What the two buttons work on. The overlay, the tool window, the cross
// lines and the magnifier may be absent.
struct STILL_PARTS {
    QWidget* pOwner; // the dialogs' parent
    IMainButtons& buttons;
    IStatusLine& status;
    CLiveController& live;
    CPictureViewController& view;
    CDisplayGeometry& geometry;
    SYSTEM_SETTING& setting;
    CLayeredWnd* pOverlay;
    CMeasureModeDlg* pTool;
    CCrossLines* pCrossLines;
    CZoomWndFlow* pZoomFlow;
    // Asks before the results go with the picture; false: the user keeps them.
    std::function<bool()> fnMayReplacePicture;
    // The current calibration to the overlay, every result recomputed.
    std::function<void()> fnApplyCalibration;
};

class CStillController {
public:
    explicit CStillController(const STILL_PARTS& parts) : m_Parts(parts) {}

    void OnBnClickedBtnSaveImage();
    void OnBnClickedBtnLoadImage();
    BOOL DispFileImage(const QString& path);

private:
    // The second half of a load: a file already decoded becomes the still picture.
    BOOL ShowLoadedImage(const QString& path, const image::DECODED_IMAGE& decoded);
    void ReportLoadError(const QString& path);

    STILL_PARTS m_Parts;
};
