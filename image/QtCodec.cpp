// PNG, TIFF and whatever else Qt's image plug-ins read.
#include "image/ImageCodec.h"

#include <QImage>
#include <QImageReader>

#include <cstring>

namespace image {

bool DecodeWithQt(const QString& path, DECODED_IMAGE& out)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    uint64_t nBytes = 0;
    if (size.isValid() && !PixelBytes(size.width(), size.height(), 32, nBytes)) {
        return false; // refused before anything is allocated
    }
    reader.setAllocationLimit(int(kMaxDecodedBytes >> 20));
    QImage img;
    if (!reader.read(&img) || img.isNull()) {
        return false;
    }
    uint32_t bits = 24;
    switch (img.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return false; // 1-bit pictures are not read
    case QImage::Format_Grayscale8:
        bits = 8;
        break;
    case QImage::Format_Grayscale16:
        img = img.convertToFormat(QImage::Format_Grayscale8);
        bits = 8;
        break;
    case QImage::Format_Indexed8: {
        const QList<QRgb> table = img.colorTable();
        bool bGrey = true;
        for (int i = 0; i < table.size() && bGrey; ++i) {
            bGrey = qRed(table[i]) == i && qGreen(table[i]) == i && qBlue(table[i]) == i && qAlpha(table[i]) == 255;
        }
        if (bGrey) {
            img = img.convertToFormat(QImage::Format_Grayscale8);
            bits = 8;
        } else {
            img = img.convertToFormat(QImage::Format_BGR888);
        }
        break;
    }
    default:
        if (img.hasAlphaChannel()) {
            img = img.convertToFormat(QImage::Format_ARGB32);
            bits = 32;
        } else {
            img = img.convertToFormat(QImage::Format_BGR888);
        }
        break;
    }
    if (img.isNull() || !PixelBytes(img.width(), img.height(), bits, nBytes)) {
        return false;
    }
    out.nBitCount = bits;
    out.nWidth = img.width();
    out.nHeight = img.height();
    out.pixels.assign(nBytes, 0);
    const int32_t stride = StrideOf(out.nWidth, bits);
    const size_t rowBytes = size_t(out.nWidth) * (bits / 8);
    for (int32_t y = 0; y < out.nHeight; ++y) {
        std::memcpy(out.pixels.data() + uint64_t(y) * stride, img.constScanLine(y), rowBytes);
    }
    return true;
}

} // namespace image
