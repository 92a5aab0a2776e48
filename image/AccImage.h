// The picture the main window shows and saves: a device-independent bitmap
// of 8, 24 or 32 bits, rows top first, each padded to 4 bytes, shown through
// the grey ramp when it has 8 bits. Every access to the pixels is
// serialised, so the save thread and the UI thread may share one object: the
// changes, the saves and DrawImage take the picture's lock, and a reader of
// the pixels holds it through a CPixelView. A save copies the pixels under
// the lock and encodes outside it. The size getters read one value each
// without the lock, for quick checks; a reader that needs them to agree with
// the pixels takes them from its view.
#pragma once

#include "image/ImageCodec.h"
#include "image/ImageInfo.h"
#include "image/JpegCodec.h"
#include "platform/WinTypes.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class QPainter;
class QPaintDevice;

struct BITMAPINFOHEADER_REC {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct RGBQUAD_REC {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

struct BITMAPINFO_REC {
    BITMAPINFOHEADER_REC bmiHeader;
    RGBQUAD_REC bmiColors[256];
};

class CAccImage {
public:
    // The pixels for reading, the picture's lock held while the view lives:
    // nothing can change, move or free them meanwhile. Keep it briefly (one
    // paint, one reduction, one pixel read) and call nothing of the picture
    // that locks (changes, saves, DrawImage) while holding it; the size
    // getters are fine.
    class CPixelView {
    public:
        bool IsEmpty() const { return m_pImage->m_pPixels == nullptr; }
        const uint8_t* Pixels() const { return m_pImage->m_pPixels; }
        // Row y, top first; null when y lies off the picture.
        const uint8_t* Row(int32_t y) const;
        bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
        int32_t Width() const { return m_pImage->m_nWidth; }
        int32_t Height() const { return m_pImage->m_nHeight; }
        int32_t Stride() const { return m_pImage->GetStride(); }
        uint32_t BitCount() const { return m_pImage->m_nBitCount; }
        // A QImage over the pixels, without a copy; valid while the view lives.
        QImage Wrap() const { return m_pImage->WrapLocked(); }

    private:
        friend class CAccImage;
        explicit CPixelView(const CAccImage& image) : m_pImage(&image), m_Lock(image.m_Mutex) {}
        const CAccImage* m_pImage;
        std::unique_lock<std::mutex> m_Lock;
    };

    CAccImage();
    ~CAccImage();
    CAccImage(const CAccImage&) = delete;
    CAccImage& operator=(const CAccImage&) = delete;

    // Copies the pixels. nSrcStride is the source's bytes per row; 0 means the
    // buffer's own padded stride. A camera frame passes width x 3.
    BOOL SetImage(const void* pPixels, const IMAGE_INFO& info, int32_t nSrcStride = 0);
    BOOL LoadImageFile(const QString& path, IMAGE_INFO* pInfo = nullptr);
    // LoadImageFile in two steps, so a caller can read a file before it
    // gives up the picture it holds: the file decoded (nothing held changes),
    // then the decoded picture taken over.
    static bool DecodeImageFile(const QString& path, image::DECODED_IMAGE& dec);
    BOOL AdoptDecoded(const image::DECODED_IMAGE& dec, IMAGE_INFO* pInfo = nullptr);
    BOOL SaveImageFile(const QString& path, int nQuality);
    BOOL SaveImageFile(const QString& path, const RECT& rc, int nQuality);
    BOOL SaveImageFile(const QString& path, const QImage& sourceDib, const RECT& rc, int nQuality);
    // (Re)creates dib with the image's size and bit count and copies the rows.
    BOOL CopyToDib(QImage& dib);
    // Draws from the target's point (0, 0) and returns the scale used (0.0 on failure).
    double DrawImage(QPaintDevice* pWnd, const RECT* pRect, double dRatio, int32_t nSrcX, int32_t nSrcY);
    double DrawImage(QPainter& painter, int32_t nClientWidth, int32_t nClientHeight, const RECT* pRect, double dRatio,
                     int32_t nSrcX, int32_t nSrcY);

    static double FitImageRect(RECT& rc, int32_t nWidth, int32_t nHeight);
    static void ConvColorToGrayscale24Image(uint8_t* pPixels, size_t nSize);
    // Turns the picture's own 24-bit pixels grey, row by row past any padding.
    BOOL ConvertToGrayscale();
    static int32_t GetStride(int32_t nWidth, uint32_t nBitCount);

    bool IsEmpty() const { return m_pPixels == nullptr; }
    uint32_t GetBitCount() const { return m_nBitCount; }
    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    int32_t GetStride() const { return GetStride(m_nWidth, m_nBitCount); }
    // Blocks while a change, a save's copy or a paint runs.
    CPixelView LockPixels() const { return CPixelView(*this); }
    const BITMAPINFO_REC* GetBitmapInfo() const { return m_pBmpInfo.get(); }

private:
    BOOL WriteBits(const QString& path, const uint8_t* pBits, int32_t w, int32_t h, int32_t nStride, uint32_t nBits,
                   int nQuality);
    BOOL SaveRegion(const QString& path, const uint8_t* pBits, int32_t w, int32_t h, int32_t nStride, uint32_t nBits,
                    const RECT& rc, int nQuality);
    void SetHeader();
    void FreeLocked();
    // Under the lock.
    QImage WrapLocked() const;

    std::unique_ptr<BITMAPINFO_REC> m_pBmpInfo;
    // Written only under m_Mutex; atomic so the getters may read them without it.
    std::atomic<uint8_t*> m_pPixels{nullptr};
    std::atomic<uint32_t> m_nBitCount{0};
    std::atomic<int32_t> m_nWidth{0};
    std::atomic<int32_t> m_nHeight{0};
    std::unique_ptr<uint8_t[]> m_Buffer;
    image::CJpegEncoder m_JpegEncoder;
    mutable std::mutex m_Mutex;
    // The encoder's own: held while a file is written, never while painting.
    std::mutex m_EncodeMutex;
};
