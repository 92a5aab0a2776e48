#include "uvccam/UvcFrameConvert.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define UVC_HAVE_SSSE3_PATH 1
#endif

namespace uvccam {

namespace {

inline uint8_t Clamp8(int v)
{
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Pixels [nFrom, nWidth) of one row, two at a time; fixed point with 8
// fraction bits: 298 = 255/219 * 256 and so on.
void YuyvRowScalar(const uint8_t* s, uint8_t* d, int nFrom, int nWidth)
{
    s += size_t(nFrom) * 2;
    d += size_t(nFrom) * 3;
    for (int x = nFrom; x + 1 < nWidth; x += 2, s += 4, d += 6) {
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

#ifdef UVC_HAVE_SSSE3_PATH
// Eight pixels (16 bytes of YUYV) to their B, G and R as 16-bit lanes.
// Products come from mulhrs on values shifted up by 7, so each colour term
// keeps two fraction bits: (a << 7) * c / 2^15 = a * c / 256 with
// c = coefficient * 1024.
__attribute__((target("ssse3"))) inline void YuyvEight(__m128i v, __m128i& b, __m128i& g, __m128i& r)
{
    const __m128i lowBytes = _mm_set1_epi16(0x00ff);
    const __m128i y16 = _mm_and_si128(v, lowBytes);
    const __m128i uv16 = _mm_srli_epi16(v, 8);
    const __m128i dupU = _mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13);
    const __m128i dupV = _mm_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15);
    const __m128i y = _mm_mulhrs_epi16(_mm_slli_epi16(_mm_sub_epi16(y16, _mm_set1_epi16(16)), 7), _mm_set1_epi16(1192));
    const __m128i u = _mm_slli_epi16(_mm_sub_epi16(_mm_shuffle_epi8(uv16, dupU), _mm_set1_epi16(128)), 7);
    const __m128i w = _mm_slli_epi16(_mm_sub_epi16(_mm_shuffle_epi8(uv16, dupV), _mm_set1_epi16(128)), 7);
    const __m128i two = _mm_set1_epi16(2);
    b = _mm_srai_epi16(_mm_adds_epi16(_mm_adds_epi16(y, _mm_mulhrs_epi16(u, _mm_set1_epi16(2066))), two), 2);
    g = _mm_srai_epi16(_mm_adds_epi16(_mm_subs_epi16(_mm_subs_epi16(y, _mm_mulhrs_epi16(u, _mm_set1_epi16(401))),
                                                     _mm_mulhrs_epi16(w, _mm_set1_epi16(832))),
                                      two),
                       2);
    r = _mm_srai_epi16(_mm_adds_epi16(_mm_adds_epi16(y, _mm_mulhrs_epi16(w, _mm_set1_epi16(1634))), two), 2);
}

// The bytes of B, G and R each mask picks, merged into B, G, R triplets.
__attribute__((target("ssse3"))) inline __m128i Triplets(__m128i B, __m128i G, __m128i R, __m128i b, __m128i g,
                                                         __m128i r)
{
    return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(B, b), _mm_shuffle_epi8(G, g)), _mm_shuffle_epi8(R, r));
}

// Sixteen pixels at a time; the rest of the row by the scalar loop.
__attribute__((target("ssse3"))) void YuyvRowSsse3(const uint8_t* s, uint8_t* d, int nWidth)
{
    const char z = char(0x80);
    const __m128i b0 = _mm_setr_epi8(0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z, 5);
    const __m128i g0 = _mm_setr_epi8(z, 0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z);
    const __m128i r0 = _mm_setr_epi8(z, z, 0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z);
    const __m128i b1 = _mm_setr_epi8(z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, 10, z);
    const __m128i g1 = _mm_setr_epi8(5, z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, 10);
    const __m128i r1 = _mm_setr_epi8(z, 5, z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z);
    const __m128i b2 = _mm_setr_epi8(z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, z, z);
    const __m128i g2 = _mm_setr_epi8(z, z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, z);
    const __m128i r2 = _mm_setr_epi8(10, z, z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15);
    int x = 0;
    for (; x + 16 <= nWidth; x += 16, s += 32, d += 48) {
        __m128i bl, gl, rl, bh, gh, rh;
        YuyvEight(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), bl, gl, rl);
        YuyvEight(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16)), bh, gh, rh);
        const __m128i B = _mm_packus_epi16(bl, bh), G = _mm_packus_epi16(gl, gh), R = _mm_packus_epi16(rl, rh);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), Triplets(B, G, R, b0, g0, r0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), Triplets(B, G, R, b1, g1, r1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), Triplets(B, G, R, b2, g2, r2));
    }
    YuyvRowScalar(s - size_t(x) * 2, d - size_t(x) * 3, x, nWidth);
}

// The same sums on sixteen pixels; the 256-bit lanes hold pixels 0..7 and
// 16..23 of a 32-pixel block in one register, 8..15 and 24..31 in the other,
// so that packing them gives pixels 0..15 and 16..31 lane by lane.
__attribute__((target("avx2"))) inline void YuyvSixteen(__m256i v, __m256i& b, __m256i& g, __m256i& r)
{
    const __m256i y16 = _mm256_and_si256(v, _mm256_set1_epi16(0x00ff));
    const __m256i uv16 = _mm256_srli_epi16(v, 8);
    const __m256i dupU = _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0, 1, 4, 5, 4, 5,
                                          8, 9, 8, 9, 12, 13, 12, 13);
    const __m256i dupV = _mm256_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15, 2, 3, 2, 3, 6, 7, 6,
                                          7, 10, 11, 10, 11, 14, 15, 14, 15);
    const __m256i y = _mm256_mulhrs_epi16(_mm256_slli_epi16(_mm256_sub_epi16(y16, _mm256_set1_epi16(16)), 7),
                                          _mm256_set1_epi16(1192));
    const __m256i u =
        _mm256_slli_epi16(_mm256_sub_epi16(_mm256_shuffle_epi8(uv16, dupU), _mm256_set1_epi16(128)), 7);
    const __m256i w =
        _mm256_slli_epi16(_mm256_sub_epi16(_mm256_shuffle_epi8(uv16, dupV), _mm256_set1_epi16(128)), 7);
    const __m256i two = _mm256_set1_epi16(2);
    b = _mm256_srai_epi16(
        _mm256_adds_epi16(_mm256_adds_epi16(y, _mm256_mulhrs_epi16(u, _mm256_set1_epi16(2066))), two), 2);
    g = _mm256_srai_epi16(
        _mm256_adds_epi16(_mm256_subs_epi16(_mm256_subs_epi16(y, _mm256_mulhrs_epi16(u, _mm256_set1_epi16(401))),
                                            _mm256_mulhrs_epi16(w, _mm256_set1_epi16(832))),
                          two),
        2);
    r = _mm256_srai_epi16(
        _mm256_adds_epi16(_mm256_adds_epi16(y, _mm256_mulhrs_epi16(w, _mm256_set1_epi16(1634))), two), 2);
}

__attribute__((target("avx2"))) inline __m256i Load2(const uint8_t* pLow, const uint8_t* pHigh)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pLow))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(pHigh)), 1);
}

__attribute__((target("avx2"))) inline __m256i Triplets(__m256i B, __m256i G, __m256i R, __m256i b, __m256i g,
                                                        __m256i r)
{
    return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(B, b), _mm256_shuffle_epi8(G, g)),
                           _mm256_shuffle_epi8(R, r));
}

// Thirty-two pixels at a time; the rest of the row by the narrower loops.
__attribute__((target("avx2"))) void YuyvRowAvx2(const uint8_t* s, uint8_t* d, int nWidth)
{
    const char z = char(0x80);
    const __m256i b0 = _mm256_setr_epi8(0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z, 5, 0, z, z, 1, z, z, 2, z, z, 3,
                                        z, z, 4, z, z, 5);
    const __m256i g0 = _mm256_setr_epi8(z, 0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z, z, 0, z, z, 1, z, z, 2, z, z,
                                        3, z, z, 4, z, z);
    const __m256i r0 = _mm256_setr_epi8(z, z, 0, z, z, 1, z, z, 2, z, z, 3, z, z, 4, z, z, z, 0, z, z, 1, z, z, 2, z,
                                        z, 3, z, z, 4, z);
    const __m256i b1 = _mm256_setr_epi8(z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, 10, z, z, z, 6, z, z, 7, z, z, 8, z,
                                        z, 9, z, z, 10, z);
    const __m256i g1 = _mm256_setr_epi8(5, z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, 10, 5, z, z, 6, z, z, 7, z, z, 8,
                                        z, z, 9, z, z, 10);
    const __m256i r1 = _mm256_setr_epi8(z, 5, z, z, 6, z, z, 7, z, z, 8, z, z, 9, z, z, z, 5, z, z, 6, z, z, 7, z, z,
                                        8, z, z, 9, z, z);
    const __m256i b2 = _mm256_setr_epi8(z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, z, z, z, 11, z, z, 12, z, z,
                                        13, z, z, 14, z, z, 15, z, z);
    const __m256i g2 = _mm256_setr_epi8(z, z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, z, z, z, 11, z, z, 12, z,
                                        z, 13, z, z, 14, z, z, 15, z);
    const __m256i r2 = _mm256_setr_epi8(10, z, z, 11, z, z, 12, z, z, 13, z, z, 14, z, z, 15, 10, z, z, 11, z, z, 12,
                                        z, z, 13, z, z, 14, z, z, 15);
    int x = 0;
    for (; x + 32 <= nWidth; x += 32, s += 64, d += 96) {
        __m256i bl, gl, rl, bh, gh, rh;
        YuyvSixteen(Load2(s, s + 32), bl, gl, rl);
        YuyvSixteen(Load2(s + 16, s + 48), bh, gh, rh);
        const __m256i B = _mm256_packus_epi16(bl, bh), G = _mm256_packus_epi16(gl, gh), R = _mm256_packus_epi16(rl, rh);
        const __m256i o0 = Triplets(B, G, R, b0, g0, r0), o1 = Triplets(B, G, R, b1, g1, r1);
        const __m256i o2 = Triplets(B, G, R, b2, g2, r2);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_permute2x128_si256(o0, o1, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 32), _mm256_permute2x128_si256(o2, o0, 0x30));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 64), _mm256_permute2x128_si256(o1, o2, 0x31));
    }
    YuyvRowSsse3(s, d, nWidth - x);
}

bool HasAvx2()
{
    static const bool bHas = __builtin_cpu_supports("avx2");
    return bHas;
}

bool HasSsse3()
{
    static const bool bHas = __builtin_cpu_supports("ssse3");
    return bHas;
}
#endif

} // namespace

void YuyvToBgr(const uint8_t* pSrc, size_t nSrcStride, int nWidth, int nHeight, uint8_t* pDst)
{
    for (int y = 0; y < nHeight; ++y) {
        const uint8_t* s = pSrc + size_t(y) * nSrcStride;
        uint8_t* d = pDst + size_t(y) * size_t(nWidth) * 3;
#ifdef UVC_HAVE_SSSE3_PATH
        if (HasAvx2()) {
            YuyvRowAvx2(s, d, nWidth);
            continue;
        }
        if (HasSsse3()) {
            YuyvRowSsse3(s, d, nWidth);
            continue;
        }
#endif
        YuyvRowScalar(s, d, 0, nWidth);
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
