// Our own BMP reader and writer. Every header field is checked against the
// file's real size before it is used.
#include "image/ImageCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace image {

namespace {

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i) {
        v[at + i] = uint8_t(x >> (8 * i));
    }
}

// Walks BI_RLE8 codes over a picture of width x height, row 0 at the bottom,
// handing each run to put(y, x, value, bytes, count): an encoded run has no
// bytes (nullptr) and count copies of value, an absolute run count bytes.
// A run is cut at its row's end: some writers code every row to its padded
// width, so their last run reaches into the padding. A run above the top
// row, a delta that leaves its row or the picture, and data that ends before
// the end-of-bitmap code fail.
template <class Put>
bool WalkRle8(const uint8_t* p, size_t n, int64_t width, int64_t height, Put put)
{
    int64_t x = 0;
    int64_t y = 0;
    size_t at = 0;
    while (n - at >= 2) {
        const uint8_t count = p[at];
        const uint8_t code = p[at + 1];
        at += 2;
        if (count > 0) { // encoded run: count copies of one index
            if (y >= height) {
                return false;
            }
            const int64_t kept = std::min<int64_t>(count, width - x);
            if (kept > 0) {
                put(y, x, code, nullptr, size_t(kept));
                x += kept;
            }
            continue;
        }
        switch (code) {
        case 0: // end of line
            if (y >= height) {
                return false;
            }
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta: right and up by the next two bytes
            if (n - at < 2) {
                return false;
            }
            x += p[at];
            y += p[at + 1];
            at += 2;
            if (x > width || y >= height) {
                return false;
            }
            break;
        default: { // absolute run of code indices, padded to a whole word
            const size_t len = code;
            if (y >= height || n - at < len) {
                return false;
            }
            const int64_t kept = std::min<int64_t>(int64_t(len), width - x);
            if (kept > 0) {
                put(y, x, 0, p + at, size_t(kept));
                x += kept;
            }
            at += len;
            if (len % 2 != 0) {
                if (at == n) {
                    return false;
                }
                ++at;
            }
            break;
        }
        }
    }
    return false;
}

// Expands BI_RLE8 codes into the rows an uncompressed bottom-up file holds,
// each padded to the stride; pixels the codes skip stay index 0. The codes
// are checked before the rows are allocated, so a few bytes of bad codes
// claiming a huge picture cost nothing.
bool ExpandRle8(const uint8_t* p, size_t n, int32_t width, int32_t height, uint64_t stride,
                std::vector<uint8_t>& rows)
{
    if (!WalkRle8(p, n, width, height, [](int64_t, int64_t, uint8_t, const uint8_t*, size_t) {})) {
        return false;
    }
    rows.assign(stride * uint64_t(height), 0);
    return WalkRle8(p, n, width, height,
                    [&](int64_t y, int64_t x, uint8_t value, const uint8_t* pBytes, size_t len) {
                        uint8_t* d = rows.data() + uint64_t(y) * stride + uint64_t(x);
                        if (pBytes != nullptr) {
                            std::memcpy(d, pBytes, len);
                        } else {
                            std::memset(d, value, len);
                        }
                    });
}

} // namespace

int32_t StrideOf(int32_t nWidth, uint32_t nBitCount)
{
    return int32_t(((int64_t(nWidth) * (nBitCount / 8)) + 3) & ~int64_t(3));
}

bool PixelBytes(int64_t nWidth, int64_t nHeight, uint32_t nBitCount, uint64_t& nBytes)
{
    if (nWidth <= 0 || nHeight <= 0 || nWidth > std::numeric_limits<int32_t>::max() / 4 ||
        nHeight > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    const uint64_t stride = ((uint64_t(nWidth) * (nBitCount / 8)) + 3) & ~uint64_t(3);
    nBytes = stride * uint64_t(nHeight);
    return nBytes <= kMaxDecodedBytes;
}

namespace {

// The header fields the reader uses, each checked against the file.
struct BMP_LAYOUT {
    uint32_t nOffBits = 0;
    uint32_t nHeaderSize = 0;
    int32_t nWidth = 0;
    int32_t nHeight = 0; // positive; bTopDown tells the row order
    uint16_t nBitCount = 0;
    uint32_t nColoursUsed = 0;
    uint32_t nSizeImage = 0;
    bool bTopDown = false;
    bool bRle = false;
    uint64_t nBytes = 0; // of the rows, uncompressed
    uint64_t nStride = 0;
};

// Compression the reader takes: none, run-length codes for 8 bits bottom-up,
// and bit fields only when they are the plain BGRX layout.
bool IsReadableCompression(const uint8_t* h, uint32_t nCompression, const BMP_LAYOUT& bmp)
{
    if (nCompression == 1) {
        return bmp.nBitCount == 8 && !bmp.bTopDown;
    }
    if (nCompression == 3) {
        return bmp.nBitCount == 32 && bmp.nHeaderSize >= 52 && U32(h + 40) == 0xff0000u && U32(h + 44) == 0xff00u &&
               U32(h + 48) == 0xffu;
    }
    return nCompression == 0;
}

bool ReadLayout(const uint8_t* pData, size_t nSize, BMP_LAYOUT& bmp)
{
    if (pData == nullptr || nSize < 14 + 40 || pData[0] != 'B' || pData[1] != 'M') {
        return false;
    }
    bmp.nOffBits = U32(pData + 10);
    const uint8_t* h = pData + 14;
    bmp.nHeaderSize = U32(h);
    if (bmp.nHeaderSize < 40 || uint64_t(14) + bmp.nHeaderSize > nSize) {
        return false;
    }
    bmp.nWidth = int32_t(U32(h + 4));
    const int32_t rawHeight = int32_t(U32(h + 8));
    const uint16_t planes = U16(h + 12);
    bmp.nBitCount = U16(h + 14);
    const uint32_t compression = U32(h + 16);
    bmp.nSizeImage = U32(h + 20);
    bmp.nColoursUsed = U32(h + 32);
    if (planes != 1 || (bmp.nBitCount != 8 && bmp.nBitCount != 24 && bmp.nBitCount != 32)) {
        return false; // 1, 4 and 16 bits are not read
    }
    if (rawHeight == std::numeric_limits<int32_t>::min() || bmp.nWidth <= 0 || rawHeight == 0) {
        return false;
    }
    bmp.bTopDown = rawHeight < 0;
    bmp.nHeight = bmp.bTopDown ? -rawHeight : rawHeight;
    bmp.bRle = compression == 1;
    if (!IsReadableCompression(h, compression, bmp) || !PixelBytes(bmp.nWidth, bmp.nHeight, bmp.nBitCount, bmp.nBytes)) {
        return false;
    }
    bmp.nStride = uint64_t(StrideOf(bmp.nWidth, bmp.nBitCount));
    // The pixel data must lie inside the file.
    return bmp.nOffBits >= 14 + bmp.nHeaderSize && bmp.nOffBits < nSize &&
           (bmp.bRle || uint64_t(bmp.nOffBits) + bmp.nBytes <= nSize);
}

struct BMP_PALETTE {
    uint8_t colours[256][3] = {};
    uint32_t nUsed = 0;
    bool bGreyRamp = true; // entry i is grey i throughout
};

// The palette of an 8-bit file; it must end before the pixel data.
bool ReadPalette(const uint8_t* pData, const BMP_LAYOUT& bmp, BMP_PALETTE& palette)
{
    palette.nUsed = (bmp.nColoursUsed == 0 || bmp.nColoursUsed > 256) ? 256 : bmp.nColoursUsed;
    const uint64_t palAt = 14 + uint64_t(bmp.nHeaderSize);
    if (palAt + uint64_t(palette.nUsed) * 4 > bmp.nOffBits) {
        return false;
    }
    for (uint32_t i = 0; i < palette.nUsed; ++i) {
        const uint8_t* q = pData + palAt + 4 * i;
        palette.colours[i][0] = q[0];
        palette.colours[i][1] = q[1];
        palette.colours[i][2] = q[2];
        palette.bGreyRamp = palette.bGreyRamp && q[0] == i && q[1] == i && q[2] == i;
    }
    return true;
}

// Shown through the fixed grey ramp a colour palette would turn to
// meaningless greys: its indexes are expanded to 24-bit colour instead.
template <class SrcRow>
bool ExpandPalette(const BMP_LAYOUT& bmp, const BMP_PALETTE& palette, SrcRow srcRow, DECODED_IMAGE& out)
{
    uint64_t n24 = 0;
    if (!PixelBytes(bmp.nWidth, bmp.nHeight, 24, n24)) {
        return false;
    }
    out.nBitCount = 24;
    out.nWidth = bmp.nWidth;
    out.nHeight = bmp.nHeight;
    out.pixels.assign(n24, 0);
    const int32_t dstStride = StrideOf(bmp.nWidth, 24);
    for (int32_t y = 0; y < bmp.nHeight; ++y) {
        const uint8_t* s = srcRow(y);
        uint8_t* d = out.pixels.data() + uint64_t(y) * dstStride;
        for (int32_t x = 0; x < bmp.nWidth; ++x) {
            const uint8_t idx = s[x];
            const uint8_t* c = idx < palette.nUsed ? palette.colours[idx] : palette.colours[0];
            d[3 * x] = idx < palette.nUsed ? c[0] : 0;
            d[3 * x + 1] = idx < palette.nUsed ? c[1] : 0;
            d[3 * x + 2] = idx < palette.nUsed ? c[2] : 0;
        }
    }
    return true;
}

} // namespace

bool DecodeBmp(const uint8_t* pData, size_t nSize, DECODED_IMAGE& out)
{
    BMP_LAYOUT bmp;
    if (!ReadLayout(pData, nSize, bmp)) {
        return false;
    }
    BMP_PALETTE palette;
    if (bmp.nBitCount == 8 && !ReadPalette(pData, bmp, palette)) {
        return false;
    }
    const uint8_t* pSrc = pData + bmp.nOffBits;
    std::vector<uint8_t> expanded;
    if (bmp.bRle) {
        size_t nCoded = nSize - bmp.nOffBits;
        if (bmp.nSizeImage != 0 && bmp.nSizeImage < nCoded) {
            nCoded = bmp.nSizeImage;
        }
        if (!ExpandRle8(pSrc, nCoded, bmp.nWidth, bmp.nHeight, bmp.nStride, expanded)) {
            return false;
        }
        pSrc = expanded.data();
    }
    const auto srcRow = [&](int32_t y) {
        return pSrc + (bmp.bTopDown ? uint64_t(y) : uint64_t(bmp.nHeight - 1 - y)) * bmp.nStride;
    };
    if (bmp.nBitCount == 8 && !palette.bGreyRamp) {
        return ExpandPalette(bmp, palette, srcRow, out);
    }
    out.nBitCount = bmp.nBitCount;
    out.nWidth = bmp.nWidth;
    out.nHeight = bmp.nHeight;
    out.pixels.resize(bmp.nBytes);
    for (int32_t y = 0; y < bmp.nHeight; ++y) {
        std::memcpy(out.pixels.data() + uint64_t(y) * bmp.nStride, srcRow(y), bmp.nStride);
    }
    return true;
}

std::vector<uint8_t> EncodeBmp(const uint8_t* pBits, int32_t nWidth, int32_t nHeight, int32_t nStride,
                               uint32_t nBitCount)
{
    std::vector<uint8_t> out;
    if (pBits == nullptr || nWidth <= 0 || nHeight <= 0 || (nBitCount != 8 && nBitCount != 24 && nBitCount != 32)) {
        return out;
    }
    const int32_t stride = StrideOf(nWidth, nBitCount);
    const uint32_t palBytes = nBitCount == 8 ? 256 * 4 : 0;
    const uint32_t offBits = 14 + 40 + palBytes;
    const uint64_t imageBytes = uint64_t(stride) * nHeight;
    if (uint64_t(offBits) + imageBytes > 0xffffffffull) {
        return out;
    }
    out.assign(offBits + imageBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, uint32_t(out.size()));
    Put32(out, 10, offBits);
    Put32(out, 14, 40);
    Put32(out, 18, uint32_t(nWidth));
    Put32(out, 22, uint32_t(nHeight));
    Put16(out, 26, 1);
    Put16(out, 28, uint16_t(nBitCount));
    Put32(out, 34, uint32_t(imageBytes));
    Put32(out, 38, 3780); // 96 dpi
    Put32(out, 42, 3780);
    if (nBitCount == 8) {
        Put32(out, 46, 256);
        for (uint32_t i = 0; i < 256; ++i) { // the grey ramp, never a zeroed table
            out[54 + 4 * i] = out[55 + 4 * i] = out[56 + 4 * i] = uint8_t(i);
        }
    }
    const size_t rowBytes = size_t(nWidth) * (nBitCount / 8);
    for (int32_t y = 0; y < nHeight; ++y) {
        std::memcpy(out.data() + offBits + uint64_t(nHeight - 1 - y) * stride, pBits + uint64_t(y) * nStride,
                    rowBytes);
    }
    return out;
}

} // namespace image
