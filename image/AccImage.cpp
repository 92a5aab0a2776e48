#include "image/AccImage.h"
#include "image/FitRect.h"

#include "platform/AtomicFile.h"
#include "image/GrayConvert.h"
#include "image/ImageCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

QImage::Format QtFormatOf(uint32_t nBitCount)
{
    switch (nBitCount) {
    case 8:
        return QImage::Format_Grayscale8; // the grey ramp shows index i as grey i
    case 24:
        return QImage::Format_BGR888;
    case 32:
        return QImage::Format_RGB32;
    default:
        return QImage::Format_Invalid;
    }
}

uint32_t BitCountOf(QImage::Format f)
{
    switch (f) {
    case QImage::Format_Grayscale8:
        return 8;
    case QImage::Format_BGR888:
        return 24;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return 32;
    default:
        return 0;
    }
}

} // namespace

CAccImage::CAccImage() : m_pBmpInfo(new BITMAPINFO_REC{})
{
    BITMAPINFOHEADER_REC& h = m_pBmpInfo->bmiHeader;
    h.biSize = 40;
    h.biPlanes = 1;
    h.biBitCount = 8;
    for (int i = 0; i < 256; ++i) {
        m_pBmpInfo->bmiColors[i] = RGBQUAD_REC{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
}

CAccImage::~CAccImage() = default;

int32_t CAccImage::GetStride(int32_t nWidth, uint32_t nBitCount)
{
    return image::StrideOf(nWidth, nBitCount);
}

void CAccImage::SetHeader()
{
    BITMAPINFOHEADER_REC& h = m_pBmpInfo->bmiHeader;
    h.biWidth = m_nWidth;
    h.biHeight = -m_nHeight;
    h.biBitCount = uint16_t(m_nBitCount == 0 ? 8u : m_nBitCount.load());
}

void CAccImage::FreeLocked()
{
    m_Buffer.reset();
    m_pPixels = nullptr;
    m_nBitCount = 0;
    m_nWidth = 0;
    m_nHeight = 0;
}

QImage CAccImage::WrapLocked() const
{
    if (m_pPixels == nullptr) {
        return QImage();
    }
    return QImage(m_pPixels, m_nWidth, m_nHeight, GetStride(), QtFormatOf(m_nBitCount));
}

const uint8_t* CAccImage::CPixelView::Row(int32_t y) const
{
    if (IsEmpty() || y < 0 || y >= Height()) {
        return nullptr;
    }
    return Pixels() + size_t(y) * size_t(Stride());
}

BOOL CAccImage::SetImage(const void* pPixels, const IMAGE_INFO& info, int32_t nSrcStride)
{
    if (pPixels == nullptr || info.nWidth <= 0 || info.nHeight <= 0 ||
        (info.nBitCount != 8 && info.nBitCount != 24 && info.nBitCount != 32)) {
        return FALSE;
    }
    uint64_t nBytes = 0;
    if (!image::PixelBytes(info.nWidth, info.nHeight, info.nBitCount, nBytes)) {
        return FALSE;
    }
    const int32_t stride = GetStride(info.nWidth, info.nBitCount);
    const int32_t rowBytes = info.nWidth * int32_t(info.nBitCount / 8);
    const int32_t srcStride = nSrcStride > 0 ? nSrcStride : stride;
    if (srcStride < rowBytes) {
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_pPixels == nullptr || m_nBitCount != info.nBitCount || m_nWidth != info.nWidth ||
        m_nHeight != info.nHeight) {
        FreeLocked();
        m_Buffer.reset(new (std::nothrow) uint8_t[nBytes]);
        if (!m_Buffer) {
            return FALSE;
        }
        m_pPixels = m_Buffer.get();
    }
    const uint8_t* src = static_cast<const uint8_t*>(pPixels);
    if (srcStride == stride) {
        std::memcpy(m_pPixels, src, nBytes);
    } else {
        // Re-padded row by row; never reads past the source's last row.
        for (int32_t y = 0; y < info.nHeight; ++y) {
            std::memcpy(m_pPixels + uint64_t(y) * stride, src + uint64_t(y) * srcStride, rowBytes);
            std::memset(m_pPixels + uint64_t(y) * stride + rowBytes, 0, stride - rowBytes);
        }
    }
    m_nBitCount = info.nBitCount;
    m_nWidth = info.nWidth;
    m_nHeight = info.nHeight;
    SetHeader();
    return TRUE;
}

BOOL CAccImage::LoadImageFile(const QString& path, IMAGE_INFO* pInfo)
{
    image::DECODED_IMAGE dec;
    return (DecodeImageFile(path, dec) && AdoptDecoded(dec, pInfo)) ? TRUE : FALSE;
}

bool CAccImage::DecodeImageFile(const QString& path, image::DECODED_IMAGE& dec)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isFile()) {
        return false;
    }
    bool bDecoded = false;
    bool bOwnFormat = false;
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            return false;
        }
        uchar magic[2] = {0, 0};
        f.peek(reinterpret_cast<char*>(magic), 2);
        bOwnFormat = (magic[0] == 'B' && magic[1] == 'M') || (magic[0] == 0xff && magic[1] == 0xd8);
        if (bOwnFormat) {
            if (uint64_t(f.size()) > image::kMaxDecodedBytes + (1u << 20) * 64) {
                return false;
            }
            const QByteArray bytes = f.readAll();
            const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
            bDecoded = magic[0] == 'B' ? image::DecodeBmp(p, size_t(bytes.size()), dec)
                                       : image::DecodeJpeg(p, size_t(bytes.size()), dec);
        }
    }
    if (!bOwnFormat) {
        bDecoded = image::DecodeWithQt(path, dec);
    }
    return bDecoded && (dec.nBitCount == 8 || dec.nBitCount == 24 || dec.nBitCount == 32);
}

BOOL CAccImage::AdoptDecoded(const image::DECODED_IMAGE& dec, IMAGE_INFO* pInfo)
{
    if (dec.pixels.empty()) {
        return FALSE; // the picture shown so far stays
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    FreeLocked();
    m_Buffer.reset(new (std::nothrow) uint8_t[dec.pixels.size()]);
    if (!m_Buffer) {
        return FALSE;
    }
    m_pPixels = m_Buffer.get();
    std::memcpy(m_pPixels, dec.pixels.data(), dec.pixels.size());
    m_nBitCount = dec.nBitCount;
    m_nWidth = dec.nWidth;
    m_nHeight = dec.nHeight;
    SetHeader();
    if (pInfo != nullptr) {
        *pInfo = IMAGE_INFO{m_nBitCount, m_nWidth, m_nHeight};
    }
    return TRUE;
}

BOOL CAccImage::WriteBits(const QString& path, const uint8_t* pBits, int32_t w, int32_t h, int32_t nStride,
                          uint32_t nBits, int nQuality)
{
    const QString ext = path.right(3);
    if (ext == QLatin1String("jpg")) {
        const uint8_t* pData = nullptr;
        size_t nSize = 0;
        if (!m_JpegEncoder.Encode(pBits, w, h, nStride, nBits, nQuality, pData, nSize)) {
            return FALSE;
        }
        return platform::WriteFileAtomically(path, pData, nSize).Ok() ? TRUE : FALSE;
    }
    const char* pszFormat = ext == QLatin1String("png") ? "png" : (ext == QLatin1String("tif") ? "tiff" : nullptr);
    if (pszFormat == nullptr) {
        const std::vector<uint8_t> bmp = image::EncodeBmp(pBits, w, h, nStride, nBits);
        return (!bmp.empty() && platform::WriteFileAtomically(path, bmp.data(), bmp.size()).Ok()) ? TRUE : FALSE;
    }
    const QImage wrap(pBits, w, h, nStride, QtFormatOf(nBits));
    if (wrap.isNull()) {
        return FALSE;
    }
    // Encoded in memory first: the file is written and checked in one go.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    QImageWriter writer(&buffer, pszFormat);
    return (buffer.open(QIODevice::WriteOnly) && writer.write(wrap) && platform::WriteFileAtomically(path, encoded).Ok())
               ? TRUE
               : FALSE;
}

BOOL CAccImage::SaveRegion(const QString& path, const uint8_t* pBits, int32_t w, int32_t h, int32_t nStride,
                           uint32_t nBits, const RECT& rc, int nQuality)
{
    const int64_t rw = int64_t(rc.right) - rc.left;
    const int64_t rh = int64_t(rc.bottom) - rc.top;
    if (rw <= 0 || rh <= 0) {
        return WriteBits(path, pBits, w, h, nStride, nBits, nQuality);
    }
    if (rw > w || rh > h) {
        return FALSE;
    }
    // The part of the rectangle that lies on the picture; nothing outside is read.
    const int32_t left = std::max<int32_t>(rc.left, 0);
    const int32_t top = std::max<int32_t>(rc.top, 0);
    const int32_t right = int32_t(std::min<int64_t>(rc.right, w));
    const int32_t bottom = int32_t(std::min<int64_t>(rc.bottom, h));
    if (right <= left || bottom <= top) {
        return FALSE;
    }
    const uint8_t* pOrigin = pBits + uint64_t(top) * nStride + uint64_t(left) * (nBits / 8);
    return WriteBits(path, pOrigin, right - left, bottom - top, nStride, nBits, nQuality);
}

BOOL CAccImage::SaveImageFile(const QString& path, int nQuality)
{
    return SaveImageFile(path, RECT{0, 0, 0, 0}, nQuality);
}

BOOL CAccImage::SaveImageFile(const QString& path, const RECT& rc, int nQuality)
{
    // The pixels are copied under the lock and encoded outside it, so a
    // paint or a new frame never waits for the encoder.
    std::vector<uint8_t> snapshot;
    int32_t w = 0, h = 0, stride = 0;
    uint32_t nBits = 0;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_pPixels == nullptr || path.isEmpty()) {
            return FALSE;
        }
        w = m_nWidth;
        h = m_nHeight;
        stride = GetStride();
        nBits = m_nBitCount;
        snapshot.assign(m_pPixels.load(), m_pPixels + uint64_t(stride) * uint64_t(h));
    }
    std::lock_guard<std::mutex> encode(m_EncodeMutex);
    return SaveRegion(path, snapshot.data(), w, h, stride, nBits, rc, nQuality);
}

BOOL CAccImage::SaveImageFile(const QString& path, const QImage& sourceDib, const RECT& rc, int nQuality)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_pPixels == nullptr || path.isEmpty() || sourceDib.isNull()) {
            return FALSE;
        }
    }
    // The source is the caller's own copy: only the encoder is shared.
    QImage src = sourceDib;
    uint32_t nBits = BitCountOf(src.format());
    if (nBits == 0) {
        src = src.convertToFormat(QImage::Format_RGB32);
        nBits = 32;
    }
    std::lock_guard<std::mutex> encode(m_EncodeMutex);
    return SaveRegion(path, src.constBits(), src.width(), src.height(), int32_t(src.bytesPerLine()), nBits, rc,
                      nQuality);
}

BOOL CAccImage::CopyToDib(QImage& dib)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_pPixels == nullptr) {
        return FALSE;
    }
    dib = QImage(m_nWidth, m_nHeight, QtFormatOf(m_nBitCount));
    if (dib.isNull()) {
        return FALSE;
    }
    const int32_t stride = GetStride();
    const size_t rowBytes = size_t(m_nWidth) * (m_nBitCount / 8);
    for (int32_t y = 0; y < m_nHeight; ++y) {
        std::memcpy(dib.scanLine(y), m_pPixels + uint64_t(y) * stride, rowBytes);
    }
    return TRUE;
}

double CAccImage::DrawImage(QPaintDevice* pWnd, const RECT* pRect, double dRatio, int32_t nSrcX, int32_t nSrcY)
{
    if (pWnd == nullptr) {
        return 0.0;
    }
    QPainter painter(pWnd);
    if (!painter.isActive()) {
        return 0.0;
    }
    return DrawImage(painter, pWnd->width(), pWnd->height(), pRect, dRatio, nSrcX, nSrcY);
}

double CAccImage::DrawImage(QPainter& painter, int32_t nClientWidth, int32_t nClientHeight, const RECT* pRect,
                            double dRatio, int32_t nSrcX, int32_t nSrcY)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_pPixels == nullptr) {
        return 0.0;
    }
    const int32_t W = pRect != nullptr ? pRect->right - pRect->left : nClientWidth;
    const int32_t H = pRect != nullptr ? pRect->bottom - pRect->top : nClientHeight;
    if (W <= 0 || H <= 0) {
        return 0.0;
    }
    SetHeader();
    const double sx = double(W) / m_nWidth;
    const double sy = double(H) / m_nHeight;
    double scale = 0.0;
    QRectF dst, src;
    if (dRatio != 0.0) {
        if (!(dRatio > 0.0) || !std::isfinite(dRatio)) {
            return 0.0;
        }
        scale = dRatio;
        // Image pixel i covers exactly [i x ratio, (i + 1) x ratio) of the
        // client area, as clicks are mapped back; a pixel the edge cuts is
        // drawn in part rather than the region stretched to fit.
        const double srcW = std::ceil(W / dRatio);
        const double srcH = std::ceil(H / dRatio);
        if (srcW < 1.0 || srcH < 1.0) {
            return 0.0;
        }
        // The source region is clipped to the picture, the destination with it.
        const double kx = dRatio, ky = dRatio;
        const double x0 = std::max<double>(nSrcX, 0.0), y0 = std::max<double>(nSrcY, 0.0);
        const double x1 = std::min<double>(double(nSrcX) + srcW, m_nWidth);
        const double y1 = std::min<double>(double(nSrcY) + srcH, m_nHeight);
        if (x1 <= x0 || y1 <= y0) {
            return scale;
        }
        src = QRectF(x0, y0, x1 - x0, y1 - y0);
        dst = QRectF((x0 - nSrcX) * kx, (y0 - nSrcY) * ky, (x1 - x0) * kx, (y1 - y0) * ky);
    } else {
        src = QRectF(0, 0, m_nWidth, m_nHeight);
        if (sy > sx) {
            scale = sx;
            dst = QRectF(0, 0, W, std::trunc(m_nHeight * sx));
        } else {
            scale = sy;
            dst = QRectF(0, 0, std::trunc(m_nWidth * sy), H);
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(dst, WrapLocked(), src);
    painter.restore();
    return scale;
}

double CAccImage::FitImageRect(RECT& rc, int32_t nWidth, int32_t nHeight)
{
    return FitRectToImage(rc, nWidth, nHeight);
}

BOOL CAccImage::ConvertToGrayscale()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_pPixels == nullptr || m_nBitCount != 24) {
        return FALSE;
    }
    const int32_t stride = GetStride();
    const size_t rowBytes = size_t(m_nWidth) * 3;
    if (size_t(stride) == rowBytes) {
        ConvColorToGrayscale24Image(m_pPixels, rowBytes * size_t(m_nHeight));
    } else {
        for (int32_t y = 0; y < m_nHeight; ++y) {
            ConvColorToGrayscale24Image(m_pPixels + size_t(y) * stride, rowBytes);
        }
    }
    return TRUE;
}

void CAccImage::ConvColorToGrayscale24Image(uint8_t* pPixels, size_t nSize)
{
    image::ConvertBgrToGrey(pPixels, nSize);
}
