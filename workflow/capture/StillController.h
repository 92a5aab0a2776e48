// The image-save and image-load buttons: the picture shown, with its
// measurement overlay, to a file, and a file as the still picture.
#pragma once

#include "image/AccImage.h"
#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

#include <QString>

#include <functional>

// What the two buttons work on: the window's shared parts and two questions
// to the measuring and calibration flows.
struct STILL_PARTS : WINDOW_PARTS {
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
