#include "image/QImageJpeg.h"

namespace image {

bool EncodeQImageJpeg(CJpegEncoder& encoder, const QImage& picture, int nQuality, ENCODED_JPEG& out)
{
    QImage converted;
    const QImage* p = &picture;
    uint32_t nBits = 32;
    if (picture.format() == QImage::Format_BGR888) {
        nBits = 24;
    } else if (picture.format() == QImage::Format_Grayscale8) {
        nBits = 8;
    } else if (picture.format() != QImage::Format_RGB32) {
        converted = picture.convertToFormat(QImage::Format_RGB32);
        p = &converted;
    }
    out = ENCODED_JPEG{nullptr, 0, p->width(), p->height(), nBits == 8};
    return encoder.Encode(p->constBits(), p->width(), p->height(), int32_t(p->bytesPerLine()), nBits, nQuality,
                          out.pData, out.nSize);
}

} // namespace image
