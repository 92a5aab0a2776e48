// Saving the picture as it is shown: the pixels copied out of the picture
// buffer (a snapshot, so the live view never waits for the encoder), the
// measurement overlay burned into the copy, and the copy written whole or
// cut to the zoomed view's region.
#pragma once

#include "image/AccImage.h"
#include "platform/WinTypes.h"

#include <QImage>
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

// The whole picture as a save with the overlay makes it: a copy of the
// buffer with the overlay drawn in (32-bit pixels then). pEngine null, or
// one with nothing to draw: the copy alone. False when it could not be made.
bool ComposeImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, QImage& out);

// pEngine null, or one with nothing to draw: the picture alone.
STILL_SAVE_RESULT SaveImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, const QString& path,
                                       const RECT& region, int nQuality);
