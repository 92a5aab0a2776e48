#include "uvccam/UvcFrameConvert.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>

namespace uvccam {

namespace {

inline uint8_t Clamp8(int v)
{
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

} // namespace

void YuyvToBgr(const uint8_t* pSrc, size_t nSrcStride, int nWidth, int nHeight, uint8_t* pDst)
{
    // Fixed point, 8 fraction bits: 298 = 255/219 * 256 and so on.
    const int nPairs = nWidth / 2;
    for (int y = 0; y < nHeight; ++y) {
        const uint8_t* s = pSrc + size_t(y) * nSrcStride;
        uint8_t* d = pDst + size_t(y) * size_t(nWidth) * 3;
        for (int i = 0; i < nPairs; ++i, s += 4, d += 6) {
            const int y0 = (s[0] - 16) * 298 + 128;
            const int y1 = (s[2] - 16) * 298 + 128;
            const int u = s[1] - 128;
            const int v = s[3] - 128;
            const int b = 516 * u;
            const int g = -100 * u - 208 * v;
            const int r = 409 * v;
            d[0] = Clamp8((y0 + b) >> 8);
            d[1] = Clamp8((y0 + g) >> 8);
            d[2] = Clamp8((y0 + r) >> 8);
            d[3] = Clamp8((y1 + b) >> 8);
            d[4] = Clamp8((y1 + g) >> 8);
            d[5] = Clamp8((y1 + r) >> 8);
        }
    }
}

void FlipBgr(uint8_t* pFrame, int nWidth, int nHeight, bool bHorizontal, bool bVertical)
{
    const size_t nRow = size_t(nWidth) * 3;
    if (bVertical) {
        uint8_t tmp[4096];
        for (int y = 0; y < nHeight / 2; ++y) {
            uint8_t* a = pFrame + size_t(y) * nRow;
            uint8_t* b = pFrame + size_t(nHeight - 1 - y) * nRow;
            // Swapped in pieces so no row buffer is allocated per frame.
            for (size_t o = 0; o < nRow; o += sizeof(tmp)) {
                const size_t n = std::min(sizeof(tmp), nRow - o);
                std::memcpy(tmp, a + o, n);
                std::memcpy(a + o, b + o, n);
                std::memcpy(b + o, tmp, n);
            }
        }
    }
    if (bHorizontal) {
        for (int y = 0; y < nHeight; ++y) {
            uint8_t* l = pFrame + size_t(y) * nRow;
            uint8_t* r = l + nRow - 3;
            for (; l < r; l += 3, r -= 3) {
                std::swap(l[0], r[0]);
                std::swap(l[1], r[1]);
                std::swap(l[2], r[2]);
            }
        }
    }
}

CMjpegDecoder::CMjpegDecoder() : m_hDecoder(tjInitDecompress()) {}

CMjpegDecoder::~CMjpegDecoder()
{
    if (m_hDecoder != nullptr) {
        tjDestroy(static_cast<tjhandle>(m_hDecoder));
    }
}

bool CMjpegDecoder::Decode(const uint8_t* pJpeg, size_t nSize, int nWidth, int nHeight, uint8_t* pDst)
{
    if (m_hDecoder == nullptr || pJpeg == nullptr || nSize < 4 || nSize > 0x7fffffffu) {
        return false;
    }
    tjhandle h = static_cast<tjhandle>(m_hDecoder);
    int w = 0, hgt = 0, sub = 0, cs = 0;
    if (tjDecompressHeader3(h, pJpeg, static_cast<unsigned long>(nSize), &w, &hgt, &sub, &cs) != 0 || w != nWidth ||
        hgt != nHeight) {
        return false;
    }
    // Decoded in place into the frame handed on: no intermediate buffer.
    // A warning (a cut-off frame that still decodes) counts as broken too.
    const int r = tjDecompress2(h, pJpeg, static_cast<unsigned long>(nSize), pDst, nWidth, nWidth * 3, nHeight,
                                TJPF_BGR, 0);
    return r == 0;
}

} // namespace uvccam
