// A QImage through the TurboJPEG encoder: its rows as they are for 24-bit,
// 32-bit and grey pictures, other formats converted to 32-bit first.
#pragma once

#include "image/EncodedJpeg.h"
#include "image/JpegCodec.h"

#include <QImage>

namespace image {

// The bytes stay valid until the encoder's next picture.
bool EncodeQImageJpeg(CJpegEncoder& encoder, const QImage& picture, int nQuality, ENCODED_JPEG& out);

} // namespace image
