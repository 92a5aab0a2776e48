// Which picture the main window shows, for flows that act on it: the camera
// streaming or a still image, and the picture buffer itself.
#pragma once

#include "platform/WinTypes.h"

class CAccImage;

constexpr int DISP_CAMERA_IMAGE = 0;
constexpr int DISP_STILL_IMAGE = 1;

class IPictureState {
public:
    virtual ~IPictureState() = default;
    virtual BOOL IsCameraOK() const = 0;
    virtual int GetDispImageKind() const = 0;
    virtual CAccImage& Image() = 0;
    // The camera streams or the buffer holds a picture.
    virtual bool HasPicture() const = 0;
    // Grey display of a colour camera greys what is saved as well.
    virtual BOOL IsColorCamera() const = 0;
    // A still picture from a file is shown, in its own view.
    virtual BOOL IsFileImageLoaded() const = 0;
};
