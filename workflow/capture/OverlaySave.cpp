#include "workflow/capture/OverlaySave.h"

#include "engine/RgnDataCtrl.h"
#include "engine/RgnDataDrawer.h"
#include "platform/AtomicFile.h"
#include "image/JpegBandWriter.h"
#include "image/PixelWiden.h"

#include <QImage>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Rows per band: a multiple of the encoder's 16-row blocks. Smaller bands
// start the encoder sooner and stay in the cache until it reads them; each
// band draws the figures that reach into it, so more bands draw more.
constexpr int32_t kBandRows = 256;

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
// a second one compresses the bands already converted to YCbCr. Either
// thread converts a drawn band: this one while the other is compressing,
// else the other before it compresses, so neither waits long for the other.
STILL_SAVE_RESULT SaveJpegInBands(const QImage& picture, const CRgnDataCtrl& eng, CRgnDataDrawer& drawer,
                                  const QString& path, const RECT& area, int nQuality)
{
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    // Kept between saves: fresh picture-sized buffers cost their page faults every time.
    static thread_local image::JPEG_YUV420 tlsPlanes;
    static thread_local QImage work;
    image::JPEG_YUV420& planes = tlsPlanes;
    if (!planes.Resize(w, h)) {
        return STILL_SAVE_RESULT::SaveFailed;
    }
    // The rows widened to the planes' padded width, and one more row for an odd height.
    const int32_t w16 = planes.nWidth16, h16 = planes.nHeight16, hEven = h + h % 2;
    if (work.width() != w16 || work.height() != hEven) {
        work = QImage(w16, hEven, QImage::Format_RGB32);
    }
    // This thread's writer and converters, the compressing thread's by reference.
    static thread_local image::CJpegBandWriter tlsWriter;
    static thread_local image::CYuvConverter tlsConverters[2];
    image::CJpegBandWriter& writer = tlsWriter;
    image::CYuvConverter* const pConverters = tlsConverters;
    if (work.isNull()) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    if (!writer.BeginYuv(w, h, nQuality)) {
        return STILL_SAVE_RESULT::SaveFailed;
    }
    uint8_t* const pBits = work.bits();
    const qsizetype nStride = work.bytesPerLine();
    const int32_t nBands = (h + kBandRows - 1) / kBandRows;
    // Plane rows the first nDone bands fill: the last one reaches the padded height.
    const auto rowsOf = [&](int32_t nDone) { return nDone >= nBands ? h16 : nDone * kBandRows; };
    const auto convert = [&](int32_t k, image::CYuvConverter& converter) {
        const int32_t y = k * kBandRows;
        const bool bLast = k == nBands - 1;
        const int32_t nEnd = bLast ? hEven : y + kBandRows;
        const bool bOk = converter.Convert(pBits + y * nStride, int32_t(nStride), planes, y, nEnd - y);
        if (bOk && bLast) {
            planes.PadBottom(h);
        }
        return bOk;
    };

    std::mutex mutex;
    std::condition_variable cv;
    int32_t nDrawn = 0;     // bands drawn, in order
    int32_t nClaimed = 0;   // bands a thread took to convert, in order
    int32_t nConverted = 0; // bands converted, all before it too
    std::vector<char> converted(size_t(nBands), 0);
    bool bCompressing = false;
    bool bFailed = false;     // anything failed: both threads stop
    bool bDrawFailed = false; // the drawing did
    const auto markConverted = [&](int32_t k, bool bOk) { // under the lock
        bFailed = bFailed || !bOk;
        converted[size_t(k)] = 1;
        while (nConverted < nBands && converted[size_t(nConverted)] != 0) {
            ++nConverted;
        }
        cv.notify_all();
    };
    bool bWritten = false;
    std::thread encoder([&] {
        int32_t nDone = 0; // bands compressed
        std::unique_lock<std::mutex> lock(mutex);
        while (nDone < nBands && !bFailed) {
            cv.wait(lock, [&] { return nConverted > nDone || nClaimed < nDrawn || bFailed; });
            if (bFailed) {
                break;
            }
            if (nConverted > nDone) {
                const int32_t nUpTo = nConverted;
                bCompressing = true;
                lock.unlock();
                const bool bOk = writer.WriteYuvRows(planes, rowsOf(nDone), rowsOf(nUpTo) - rowsOf(nDone));
                lock.lock();
                bCompressing = false;
                bFailed = bFailed || !bOk;
                nDone = nUpTo;
                continue;
            }
            const int32_t k = nClaimed++;
            lock.unlock();
            const bool bOk = convert(k, pConverters[1]);
            lock.lock();
            markConverted(k, bOk);
        }
        bWritten = nDone == nBands && !bFailed;
        cv.notify_all();
    });
    for (int32_t k = 0; k < nBands; ++k) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (bFailed) {
                break;
            }
        }
        const int32_t y = k * kBandRows;
        const int32_t n = std::min(kBandRows, h - y);
        WidenRows(picture, area, work, y, n);
        QImage band(pBits + y * nStride, w, n, nStride, QImage::Format_RGB32);
        const bool bDrawn = drawer.Render(eng, band, area, QPoint(area.left, area.top + y)) != FALSE;
        // The encoder's padding: the last column repeated to the padded
        // width, the last row once more for an odd height.
        for (int32_t r = y; r < y + n && w16 > w; ++r) {
            uint32_t* pRow = reinterpret_cast<uint32_t*>(pBits + r * nStride);
            std::fill(pRow + w, pRow + w16, pRow[w - 1]);
        }
        if (y + n >= h && hEven > h) {
            std::memcpy(pBits + h * nStride, pBits + (h - 1) * nStride, size_t(nStride));
        }
        std::unique_lock<std::mutex> lock(mutex);
        if (!bDrawn) {
            bFailed = bDrawFailed = true;
            cv.notify_all();
            break;
        }
        nDrawn = k + 1;
        cv.notify_all();
        // Converted here while the other thread is busy compressing.
        while (bCompressing && nClaimed < nDrawn && !bFailed) {
            const int32_t c = nClaimed++;
            lock.unlock();
            const bool bOk = convert(c, pConverters[0]);
            lock.lock();
            markConverted(c, bOk);
        }
    }
    encoder.join();
    const uint8_t* pData = nullptr;
    size_t nSize = 0;
    if (!bWritten) {
        writer.Abort();
        return bDrawFailed ? STILL_SAVE_RESULT::CopyFailed : STILL_SAVE_RESULT::SaveFailed;
    }
    if (!writer.Finish(pData, nSize) || !platform::WriteFileAtomically(path, pData, nSize).Ok()) {
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
