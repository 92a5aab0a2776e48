#include "workflow/capture/OverlaySave.h"

#include "engine/RgnDataCtrl.h"
#include "engine/RgnDataDrawer.h"
#include "image/AtomicFile.h"
#include "image/JpegBandWriter.h"
#include "image/PixelWiden.h"

#include <QImage>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// Rows per band: a multiple of the encoder's 16-row blocks. Smaller bands
// start the encoder sooner and stay in the cache until it reads them; each
// band draws the figures that reach into it, so more bands draw more.
constexpr int32_t kBandRows = 128;

// Rows [y, y + n) of the picture's area, widened to 32 bits into the same
// rows of work: the painter's fast path (several times faster than on
// 24-bit pixels), and shapes keep their colours on a grey picture.
void WidenRows(const QImage& picture, const RECT& area, QImage& work, int32_t y, int32_t n)
{
    const int32_t w = work.width();
    if (picture.format() == QImage::Format_BGR888) {
        for (int32_t r = y; r < y + n; ++r) {
            image::WidenBgrToBgrx(picture.constScanLine(area.top + r) + size_t(area.left) * 3, work.scanLine(r), w);
        }
        return;
    }
    const QImage rows = picture.copy(area.left, area.top + y, w, n).convertToFormat(QImage::Format_RGB32);
    for (int32_t r = 0; r < n; ++r) {
        std::memcpy(work.scanLine(y + r), rows.constScanLine(r), size_t(w) * 4);
    }
}

// JPEG with the overlay: this thread widens and draws band after band while
// a second one compresses the bands already drawn, so drawing costs little
// beyond the compression it overlaps.
STILL_SAVE_RESULT SaveJpegInBands(const QImage& picture, const CRgnDataCtrl& eng, CRgnDataDrawer& drawer,
                                  const QString& path, const RECT& area, int nQuality)
{
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    // Kept between saves: a fresh picture-sized buffer costs its page faults every time.
    static thread_local QImage work;
    if (work.width() != w || work.height() != h) {
        work = QImage(w, h, QImage::Format_RGB32);
    }
    // This thread's writer, handed to the compressing thread by reference.
    static thread_local image::CJpegBandWriter tlsWriter;
    image::CJpegBandWriter& writer = tlsWriter;
    if (work.isNull()) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    if (!writer.Begin(w, h, 32, nQuality)) {
        return STILL_SAVE_RESULT::SaveFailed;
    }
    uint8_t* const pBits = work.bits();
    const qsizetype nStride = work.bytesPerLine();

    std::mutex mutex;
    std::condition_variable cv;
    int32_t nReady = 0;  // rows drawn and free to compress
    bool bQuit = false;  // no more rows will come
    bool bWritten = true;
    std::thread encoder([&, pBits, nStride] {
        int32_t nDone = 0;
        while (nDone < h) {
            int32_t nUpTo = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                cv.wait(lock, [&] { return nReady > nDone || bQuit; });
                nUpTo = nReady;
            }
            if (nUpTo <= nDone) {
                break;
            }
            if (!writer.WriteRows(pBits + nDone * nStride, int32_t(nStride), nUpTo - nDone)) {
                break;
            }
            nDone = nUpTo;
        }
        bWritten = nDone == h;
    });
    bool bDrawn = true;
    for (int32_t y = 0; y < h && bDrawn; y += kBandRows) {
        const int32_t n = std::min(kBandRows, h - y);
        WidenRows(picture, area, work, y, n);
        QImage band(pBits + y * nStride, w, n, nStride, QImage::Format_RGB32);
        bDrawn = drawer.Render(eng, band, area, QPoint(area.left, area.top + y)) != FALSE;
        {
            std::lock_guard<std::mutex> lock(mutex);
            nReady = bDrawn ? y + n : nReady;
            bQuit = !bDrawn || y + n >= h;
        }
        cv.notify_one();
    }
    encoder.join();
    if (!bDrawn) {
        writer.Abort();
        return STILL_SAVE_RESULT::CopyFailed;
    }
    const uint8_t* pData = nullptr;
    size_t nSize = 0;
    if (!bWritten || !writer.Finish(pData, nSize) || !image::WriteFileBytes(path, pData, nSize)) {
        return STILL_SAVE_RESULT::SaveFailed;
    }
    return STILL_SAVE_RESULT::Saved;
}

} // namespace

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
    if (!bOverlay) {
        return image.SaveImageFile(path, copy, rc, nQuality) ? STILL_SAVE_RESULT::Saved
                                                             : STILL_SAVE_RESULT::SaveFailed;
    }
    // Kept between saves: it holds the captions' outlines, which cost more
    // to build than the rest of the drawing.
    static thread_local CRgnDataDrawer drawer;
    if (path.right(3) == QLatin1String("jpg")) {
        const bool bWhole = rc.right <= rc.left;
        const RECT area = bWhole ? RECT{0, 0, copy.width(), copy.height()} : rc;
        return SaveJpegInBands(copy, *pEngine, drawer, path, area, nQuality);
    }
    // Other formats: drawn on 32-bit pixels whole, then written.
    if (copy.format() != QImage::Format_RGB32) {
        copy = copy.convertToFormat(QImage::Format_RGB32);
    }
    if (!drawer.Render(*pEngine, copy, rc)) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    return image.SaveImageFile(path, copy, rc, nQuality) ? STILL_SAVE_RESULT::Saved : STILL_SAVE_RESULT::SaveFailed;
}
