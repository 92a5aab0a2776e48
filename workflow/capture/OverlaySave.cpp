#include "workflow/capture/OverlaySave.h"

#include "engine/RgnDataCtrl.h"
#include "engine/RgnDataDrawer.h"
#include "platform/AtomicFile.h"
#include "image/JpegBandWriter.h"
#include "image/QImageJpeg.h"
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

// One JPEG with the overlay, saved band by band: the calling thread widens
// and draws band after band while a second one compresses the bands already
// converted to YCbCr. Either thread converts a drawn band: the drawing one
// while the other is compressing, else the other before it compresses, so
// neither waits long for the other.
class CBandedJpegSave {
public:
    CBandedJpegSave(const QImage& picture, const RECT& area, image::JPEG_YUV420& planes, QImage& work,
                    image::CJpegBandWriter& writer, image::CYuvConverter* pConverters)
        : m_Picture(picture), m_Area(area), m_Planes(planes), m_Work(work), m_Writer(writer),
          m_pConverters(pConverters), m_nWidth(area.right - area.left), m_nHeight(area.bottom - area.top),
          m_nHeightEven(m_nHeight + m_nHeight % 2), m_pBits(work.bits()), m_nStride(work.bytesPerLine()),
          m_nBands((m_nHeight + kBandRows - 1) / kBandRows), m_Converted(size_t(m_nBands), 0)
    {
    }

    // The drawing thread: every band widened, drawn and padded in turn.
    void DrawBands(const CRgnDataCtrl& eng, CRgnDataDrawer& drawer);
    // The compressing thread, until every band is written or anything failed.
    void CompressBands();
    bool Written() const { return m_bWritten; }
    bool DrawFailed() const { return m_bDrawFailed; }

private:
    // Plane rows the first nDone bands fill: the last one reaches the padded height.
    int32_t RowsOf(int32_t nDone) const { return nDone >= m_nBands ? m_Planes.nHeight16 : nDone * kBandRows; }
    bool Convert(int32_t k, image::CYuvConverter& converter);
    void MarkConverted(int32_t k, bool bOk); // under the lock
    // The encoder's padding: the last column repeated to the padded width,
    // the last row once more for an odd height.
    void PadBand(int32_t y, int32_t n);
    // Draws band k; false when the drawing failed or the save already did.
    bool DrawBand(int32_t k, const CRgnDataCtrl& eng, CRgnDataDrawer& drawer);

    const QImage& m_Picture;
    const RECT m_Area;
    image::JPEG_YUV420& m_Planes;
    QImage& m_Work;
    image::CJpegBandWriter& m_Writer;
    image::CYuvConverter* const m_pConverters; // [0] the drawing thread's, [1] the compressing one's
    const int32_t m_nWidth, m_nHeight, m_nHeightEven;
    uint8_t* const m_pBits;
    const qsizetype m_nStride;
    const int32_t m_nBands;

    std::mutex m_Mutex;
    std::condition_variable m_Cv;
    int32_t m_nDrawn = 0;     // bands drawn, in order
    int32_t m_nClaimed = 0;   // bands a thread took to convert, in order
    int32_t m_nConverted = 0; // bands converted, all before it too
    std::vector<char> m_Converted;
    bool m_bCompressing = false;
    bool m_bFailed = false;     // anything failed: both threads stop
    bool m_bDrawFailed = false; // the drawing did
    bool m_bWritten = false;
};

bool CBandedJpegSave::Convert(int32_t k, image::CYuvConverter& converter)
{
    const int32_t y = k * kBandRows;
    const bool bLast = k == m_nBands - 1;
    const int32_t nEnd = bLast ? m_nHeightEven : y + kBandRows;
    const bool bOk = converter.Convert(m_pBits + y * m_nStride, int32_t(m_nStride), m_Planes, y, nEnd - y);
    if (bOk && bLast) {
        m_Planes.PadBottom(m_nHeight);
    }
    return bOk;
}

void CBandedJpegSave::MarkConverted(int32_t k, bool bOk)
{
    m_bFailed = m_bFailed || !bOk;
    m_Converted[size_t(k)] = 1;
    while (m_nConverted < m_nBands && m_Converted[size_t(m_nConverted)] != 0) {
        ++m_nConverted;
    }
    m_Cv.notify_all();
}

void CBandedJpegSave::CompressBands()
{
    int32_t nDone = 0; // bands compressed
    std::unique_lock<std::mutex> lock(m_Mutex);
    while (nDone < m_nBands && !m_bFailed) {
        m_Cv.wait(lock, [&] { return m_nConverted > nDone || m_nClaimed < m_nDrawn || m_bFailed; });
        if (m_bFailed) {
            break;
        }
        if (m_nConverted > nDone) {
            const int32_t nUpTo = m_nConverted;
            m_bCompressing = true;
            lock.unlock();
            const bool bOk = m_Writer.WriteYuvRows(m_Planes, RowsOf(nDone), RowsOf(nUpTo) - RowsOf(nDone));
            lock.lock();
            m_bCompressing = false;
            m_bFailed = m_bFailed || !bOk;
            nDone = nUpTo;
            continue;
        }
        const int32_t k = m_nClaimed++;
        lock.unlock();
        const bool bOk = Convert(k, m_pConverters[1]);
        lock.lock();
        MarkConverted(k, bOk);
    }
    m_bWritten = nDone == m_nBands && !m_bFailed;
    m_Cv.notify_all();
}

void CBandedJpegSave::PadBand(int32_t y, int32_t n)
{
    const int32_t w16 = m_Planes.nWidth16;
    for (int32_t r = y; r < y + n && w16 > m_nWidth; ++r) {
        uint32_t* pRow = reinterpret_cast<uint32_t*>(m_pBits + r * m_nStride);
        std::fill(pRow + m_nWidth, pRow + w16, pRow[m_nWidth - 1]);
    }
    if (y + n >= m_nHeight && m_nHeightEven > m_nHeight) {
        std::memcpy(m_pBits + m_nHeight * m_nStride, m_pBits + (m_nHeight - 1) * m_nStride, size_t(m_nStride));
    }
}

bool CBandedJpegSave::DrawBand(int32_t k, const CRgnDataCtrl& eng, CRgnDataDrawer& drawer)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bFailed) {
            return false;
        }
    }
    const int32_t y = k * kBandRows;
    const int32_t n = std::min(kBandRows, m_nHeight - y);
    WidenRows(m_Picture, m_Area, m_Work, y, n);
    QImage band(m_pBits + y * m_nStride, m_nWidth, n, m_nStride, QImage::Format_RGB32);
    const bool bDrawn = drawer.Render(eng, band, m_Area, QPoint(m_Area.left, m_Area.top + y)) != FALSE;
    PadBand(y, n);
    if (!bDrawn) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bFailed = m_bDrawFailed = true;
        m_Cv.notify_all();
    }
    return bDrawn;
}

void CBandedJpegSave::DrawBands(const CRgnDataCtrl& eng, CRgnDataDrawer& drawer)
{
    for (int32_t k = 0; k < m_nBands; ++k) {
        if (!DrawBand(k, eng, drawer)) {
            break;
        }
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_nDrawn = k + 1;
        m_Cv.notify_all();
        // Converted here while the other thread is busy compressing.
        while (m_bCompressing && m_nClaimed < m_nDrawn && !m_bFailed) {
            const int32_t c = m_nClaimed++;
            lock.unlock();
            const bool bOk = Convert(c, m_pConverters[0]);
            lock.lock();
            MarkConverted(c, bOk);
        }
    }
}

// The bytes stay valid until this thread's next encoding.
STILL_SAVE_RESULT EncodeJpegInBands(const QImage& picture, const CRgnDataCtrl& eng, CRgnDataDrawer& drawer,
                                    const RECT& area, int nQuality, const uint8_t*& pData, size_t& nSize)
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
    const int32_t w16 = planes.nWidth16, hEven = h + h % 2;
    if (work.width() != w16 || work.height() != hEven) {
        work = QImage(w16, hEven, QImage::Format_RGB32);
    }
    // This thread's writer and converters, the compressing thread's by reference.
    static thread_local image::CJpegBandWriter tlsWriter;
    static thread_local image::CYuvConverter tlsConverters[2];
    image::CJpegBandWriter& writer = tlsWriter;
    if (work.isNull()) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    if (!writer.BeginYuv(w, h, nQuality)) {
        return STILL_SAVE_RESULT::SaveFailed;
    }
    CBandedJpegSave save(picture, area, planes, work, writer, tlsConverters);
    std::thread encoder([&] { save.CompressBands(); });
    save.DrawBands(eng, drawer);
    encoder.join();
    if (!save.Written()) {
        writer.Abort();
        return save.DrawFailed() ? STILL_SAVE_RESULT::CopyFailed : STILL_SAVE_RESULT::SaveFailed;
    }
    return writer.Finish(pData, nSize) ? STILL_SAVE_RESULT::Saved : STILL_SAVE_RESULT::SaveFailed;
}

STILL_SAVE_RESULT SaveJpegInBands(const QImage& picture, const CRgnDataCtrl& eng, CRgnDataDrawer& drawer,
                                  const QString& path, const RECT& area, int nQuality)
{
    const uint8_t* pData = nullptr;
    size_t nSize = 0;
    const STILL_SAVE_RESULT result = EncodeJpegInBands(picture, eng, drawer, area, nQuality, pData, nSize);
    if (result != STILL_SAVE_RESULT::Saved) {
        return result;
    }
    return platform::WriteFileAtomically(path, pData, nSize).Ok() ? STILL_SAVE_RESULT::Saved
                                                                   : STILL_SAVE_RESULT::SaveFailed;
}

// Anything the engine would draw over the picture.
bool HasOverlay(const CRgnDataCtrl* pEngine)
{
    return pEngine != nullptr && pEngine->HasDrawWindow() &&
           (!pEngine->GetShapeList().empty() || pEngine->m_bDispCrossLine || pEngine->m_bDispScale);
}

// Kept between saves: it holds the captions' outlines, which cost more to
// build than the rest of the drawing.
CRgnDataDrawer& Drawer()
{
    static thread_local CRgnDataDrawer drawer;
    return drawer;
}

// The overlay drawn on 32-bit pixels of the whole copy (rc empty) or of rc.
bool DrawOverlayOn(const CRgnDataCtrl& eng, QImage& copy, const RECT& rc)
{
    if (copy.format() != QImage::Format_RGB32) {
        copy = copy.convertToFormat(QImage::Format_RGB32);
    }
    return Drawer().Render(eng, copy, rc) != FALSE;
}

} // namespace

bool EncodeImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, int nQuality, image::ENCODED_JPEG& out)
{
    QImage copy;
    if (!image.CopyToDib(copy)) {
        return false;
    }
    if (HasOverlay(pEngine)) {
        out = image::ENCODED_JPEG{nullptr, 0, copy.width(), copy.height(), false};
        return EncodeJpegInBands(copy, *pEngine, Drawer(), RECT{0, 0, copy.width(), copy.height()}, nQuality,
                                 out.pData, out.nSize) == STILL_SAVE_RESULT::Saved;
    }
    // The picture alone, straight from the copy's rows.
    static thread_local image::CJpegEncoder encoder;
    return image::EncodeQImageJpeg(encoder, copy, nQuality, out);
}

STILL_SAVE_RESULT SaveImageWithOverlay(CAccImage& image, const CRgnDataCtrl* pEngine, const QString& path,
                                       const RECT& region, int nQuality)
{
    QImage copy;
    if (!image.CopyToDib(copy)) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    const RECT rc = ClipSaveRegion(region, copy.width(), copy.height());
    if (!HasOverlay(pEngine)) {
        return image.SaveImageFile(path, copy, rc, nQuality) ? STILL_SAVE_RESULT::Saved
                                                             : STILL_SAVE_RESULT::SaveFailed;
    }
    if (path.right(3) == QLatin1String("jpg")) {
        const bool bWhole = rc.right <= rc.left;
        const RECT area = bWhole ? RECT{0, 0, copy.width(), copy.height()} : rc;
        return SaveJpegInBands(copy, *pEngine, Drawer(), path, area, nQuality);
    }
    // Other formats: drawn on 32-bit pixels whole, then written.
    if (!DrawOverlayOn(*pEngine, copy, rc)) {
        return STILL_SAVE_RESULT::CopyFailed;
    }
    return image.SaveImageFile(path, copy, rc, nQuality) ? STILL_SAVE_RESULT::Saved : STILL_SAVE_RESULT::SaveFailed;
}
