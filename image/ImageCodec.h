// Decoding and encoding of image files into and out of top-down pixel rows of
// 8 (grey), 24 (BGR) or 32 (BGRX) bits, rows padded to 4 bytes.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace image {

// The most pixel bytes a decoded picture may take; checked before allocating.
constexpr uint64_t kMaxDecodedBytes = 1ull << 30;

struct DECODED_IMAGE {
    uint32_t nBitCount = 0;
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    std::vector<uint8_t> pixels; // stride x height, top row first
};

int32_t StrideOf(int32_t nWidth, uint32_t nBitCount);
// false when the size is not positive or exceeds the decoding budget.
bool PixelBytes(int64_t nWidth, int64_t nHeight, uint32_t nBitCount, uint64_t& nBytes);

// BMP: 8, 24, 32 bits, bottom-up or top-down, and 8-bit run-length coded
// (bottom-up only). An 8-bit file with any palette other than the grey ramp
// comes out as 24-bit colour.
bool DecodeBmp(const uint8_t* pData, size_t nSize, DECODED_IMAGE& out);
// Bottom-up BMP with a grey-ramp palette for 8 bits.
std::vector<uint8_t> EncodeBmp(const uint8_t* pBits, int32_t nWidth, int32_t nHeight, int32_t nStride,
                               uint32_t nBitCount);

// JPEG: grey gives 8 bits; colour, CMYK and YCCK give 24 bits.
bool DecodeJpeg(const uint8_t* pData, size_t nSize, DECODED_IMAGE& out);
// Any other format Qt reads (PNG, TIFF, ...).
bool DecodeWithQt(const QString& path, DECODED_IMAGE& out);

} // namespace image
