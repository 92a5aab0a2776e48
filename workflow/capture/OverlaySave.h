// Saving the picture as it is shown: the pixels copied out of the picture
// buffer (a snapshot, so the live view never waits for the encoder), the
// measurement overlay burned into the copy, and the copy written whole or
// cut to the zoomed view's region.
#pragma once

#include "image/AccImage.h"
#include "image/EncodedJpeg.h"
#include "platform/WinTypes.h"

#include <QString>

#include <algorithm>

class CRgnDataCtrl;

enum class STILL_SAVE_RESULT { Saved, CopyFailed, SaveFailed };

// The region cut to a picture of nWidth x nHeight; empty (the whole
// picture) when the region is empty or lies off the picture.
inline RECT ClipSaveRegion(const RECT& rc, int32_t nWidth, int32_t nHeight)
{
    if (rc.right <= rc.left || rc.bottom <= rc.top) {
        return RECT{0, 0, 0, 0};
    }
    const RECT out{std::max<int32_t>(rc.left, 0), std::max<int32_t>(rc.top, 0), std::min<int32_t>(rc.right, nWidth),
                   std::min<int32_t>(rc.bottom, nHeight)};
    if (out.right <= out.left || out.bottom <= out.top) {
        return RECT{0, 0, 0, 0};
    }
    return out;
}

// The whole picture with its overlay as JPEG at nQuality, made as a JPEG save
// with the overlay makes it (bands drawn and compressed on two threads). The
// bytes stay valid until this thread's next encoding.
bool EncodeImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, int nQuality, image::ENCODED_JPEG& out);

// pEngine null, or one with nothing to draw: the picture alone.
STILL_SAVE_RESULT SaveImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, const QString& path,
                                       const RECT& region, int nQuality);
