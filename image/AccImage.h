// The picture the main window shows and saves: a device-independent bitmap
// of 8, 24 or 32 bits, rows top first, each padded to 4 bytes, shown through
// the grey ramp when it has 8 bits. SetImage, LoadImageFile, the saves and
// DrawImage are serialised, so the save thread and the UI thread may share
// one object; a save copies the pixels under the lock and encodes outside it.
#pragma once

#include "image/ImageCodec.h"
#include "image/ImageInfo.h"
#include "image/JpegCodec.h"
#include "platform/WinTypes.h"

#include <QImage>
#include <QString>

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
    const uint8_t* GetPixels() const { return m_pPixels; }
    const BITMAPINFO_REC* GetBitmapInfo() const { return m_pBmpInfo.get(); }
    // A QImage over the pixels, without a copy; valid until the next change.
    QImage WrapImage() const;

private:
    BOOL WriteBits(const QString& path, const uint8_t* pBits, int32_t w, int32_t h, int32_t nStride, uint32_t nBits,
                   int nQuality);
    BOOL SaveRegion(const QString& path, const uint8_t* pBits, int32_t w, int32_t h, int32_t nStride, uint32_t nBits,
                    const RECT& rc, int nQuality);
    void SetHeader();
    void FreeLocked();

    std::unique_ptr<BITMAPINFO_REC> m_pBmpInfo;
    uint8_t* m_pPixels = nullptr;
    uint32_t m_nBitCount = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    std::unique_ptr<uint8_t[]> m_Buffer;
    image::CJpegEncoder m_JpegEncoder;
    std::mutex m_Mutex;
    // The encoder's own: held while a file is written, never while painting.
    std::mutex m_EncodeMutex;
};
