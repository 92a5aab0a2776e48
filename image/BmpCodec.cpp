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

bool DecodeBmp(const uint8_t* pData, size_t nSize, DECODED_IMAGE& out)
{
    if (pData == nullptr || nSize < 14 + 40 || pData[0] != 'B' || pData[1] != 'M') {
        return false;
    }
    const uint32_t offBits = U32(pData + 10);
    const uint8_t* h = pData + 14;
    const uint32_t hdrSize = U32(h);
    if (hdrSize < 40 || uint64_t(14) + hdrSize > nSize) {
        return false;
    }
    const int32_t width = int32_t(U32(h + 4));
    const int32_t rawHeight = int32_t(U32(h + 8));
    const uint16_t planes = U16(h + 12);
    const uint16_t bitCount = U16(h + 14);
    const uint32_t compression = U32(h + 16);
    uint32_t clrUsed = U32(h + 32);
    if (planes != 1 || (bitCount != 8 && bitCount != 24 && bitCount != 32)) {
        return false; // 1, 4 and 16 bits are not read
    }
    if (rawHeight == std::numeric_limits<int32_t>::min() || width <= 0 || rawHeight == 0) {
        return false;
    }
    const bool bTopDown = rawHeight < 0;
    const int32_t height = bTopDown ? -rawHeight : rawHeight;
    const bool bRle = compression == 1;
    if (bRle) {
        // Run-length codes exist only for 8 bits and only bottom-up.
        if (bitCount != 8 || bTopDown) {
            return false;
        }
    } else if (compression == 3) {
        // Bit fields are read only when they are the plain BGRX layout.
        if (bitCount != 32 || hdrSize < 52 || U32(h + 40) != 0xff0000u || U32(h + 44) != 0xff00u ||
            U32(h + 48) != 0xffu) {
            return false;
        }
    } else if (compression != 0) {
        return false;
    }
    uint64_t nBytes = 0;
    if (!PixelBytes(width, height, bitCount, nBytes)) {
        return false;
    }
    const uint64_t stride = uint64_t(StrideOf(width, bitCount));
    if (offBits < 14 + hdrSize || offBits >= nSize || (!bRle && uint64_t(offBits) + nBytes > nSize)) {
        return false; // the pixel data lies outside the file
    }

    // Palette for 8 bits.
    uint8_t palette[256][3];
    std::memset(palette, 0, sizeof(palette));
    bool bGreyRamp = true;
    if (bitCount == 8) {
        if (clrUsed == 0 || clrUsed > 256) {
            clrUsed = 256;
        }
        const uint64_t palAt = 14 + uint64_t(hdrSize);
        if (palAt + uint64_t(clrUsed) * 4 > offBits) {
            return false;
        }
        for (uint32_t i = 0; i < clrUsed; ++i) {
            const uint8_t* q = pData + palAt + 4 * i;
            palette[i][0] = q[0];
            palette[i][1] = q[1];
            palette[i][2] = q[2];
            bGreyRamp = bGreyRamp && q[0] == i && q[1] == i && q[2] == i;
        }
    }
    const uint8_t* pSrc = pData + offBits;
    std::vector<uint8_t> expanded;
    if (bRle) {
        size_t nCoded = nSize - offBits;
        const uint32_t sizeImage = U32(h + 20);
        if (sizeImage != 0 && sizeImage < nCoded) {
            nCoded = sizeImage;
        }
        if (!ExpandRle8(pSrc, nCoded, width, height, stride, expanded)) {
            return false;
        }
        pSrc = expanded.data();
    }
    auto srcRow = [&](int32_t y) { return pSrc + (bTopDown ? uint64_t(y) : uint64_t(height - 1 - y)) * stride; };

    if (bitCount == 8 && !bGreyRamp) {
        // Shown through the fixed grey ramp a colour palette would turn to
        // meaningless greys: expand to colour instead.
        uint64_t n24 = 0;
        if (!PixelBytes(width, height, 24, n24)) {
            return false;
        }
        out.nBitCount = 24;
        out.nWidth = width;
        out.nHeight = height;
        out.pixels.assign(n24, 0);
        const int32_t dstStride = StrideOf(width, 24);
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* s = srcRow(y);
            uint8_t* d = out.pixels.data() + uint64_t(y) * dstStride;
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t idx = s[x];
                const uint8_t* c = idx < clrUsed ? palette[idx] : palette[0];
                d[3 * x] = idx < clrUsed ? c[0] : 0;
                d[3 * x + 1] = idx < clrUsed ? c[1] : 0;
                d[3 * x + 2] = idx < clrUsed ? c[2] : 0;
            }
        }
        return true;
    }
    out.nBitCount = bitCount;
    out.nWidth = width;
    out.nHeight = height;
    out.pixels.resize(nBytes);
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(out.pixels.data() + uint64_t(y) * stride, srcRow(y), stride);
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
