#include "workflow/capture/OverlaySave.h"

#include "engine/RgnDataCtrl.h"
#include "engine/RgnDataDrawer.h"

#include <QImage>


STILL_SAVE_RESULT SaveImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, const QString& path,
                                       const RECT& region, int nQuality)
{
    QImage copy;
    if (!image.CopyToDib(copy)) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    const RECT rc = ClipSaveRegion(region, copy.width(), copy.height());
    const bool bOverlay = pEngine != nullptr && pEngine->HasDrawWindow() &&
                          (!pEngine->GetShapeList().empty() || pEngine->m_bDispCrossLine || pEngine->m_bDispScale);
    if (bOverlay) {
        // Drawn on 32-bit pixels: the painter's fast path (several times
        // faster than on 24-bit ones), and shapes keep their colours on a
        // grey picture.
        if (copy.format() != QImage::Format_RGB32) {
            copy = copy.convertToFormat(QImage::Format_RGB32);
        }
        // Kept between saves: it holds the captions' outlines, which cost
        // more to build than the rest of the drawing.
        static thread_local CRgnDataDrawer drawer;
        if (!drawer.Render(*pEngine, copy, rc)) {
            return STILL_SAVE_RESULT::CopyFailed;
        }
    }
    return image.SaveImageFile(path, copy, rc, nQuality) ? STILL_SAVE_RESULT::Saved : STILL_SAVE_RESULT::SaveFailed;
}
