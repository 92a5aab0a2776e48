// Grey conversion of 24-bit BGR pixels: a scalar path and an AVX2 path,
// chosen once at run time by what the CPU supports. Both give exactly the
// grey of the double formula below.
#include "image/GrayConvert.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace image {

namespace {

// grey = trunc(0.586611 g + 0.114478 b + 0.298912 r) in doubles. The exact
// value is N / 10^6 with N = 586611 g + 114478 b + 298912 r; its fraction is a
// multiple of 10^-6, far above the doubles' rounding error, so the formula
// equals the integer quotient of N by 10^6 for every colour but one, where
// N = 183 000 000 exactly and the doubles land just below 183 (b 147, g 242,
// r 81, the only colour with that N, gives 182). The quotient is
// (N * 281474977) >> 48 for N < 2^28.
constexpr uint32_t kCoefG = 586611u, kCoefB = 114478u, kCoefR = 298912u;
constexpr uint64_t kMagic = 281474977ull;

inline uint8_t GreyOf(uint8_t b, uint8_t g, uint8_t r)
{
    const uint32_t n = kCoefG * g + kCoefB * b + kCoefR * r;
    const uint32_t q = uint32_t((uint64_t(n) * kMagic) >> 48);
    return uint8_t(q - (n == 183000000u ? 1 : 0)); // only b 147, g 242, r 81 reach it
}

void GreyScalar(uint8_t* p, size_t nPixels)
{
    for (size_t i = 0; i < nPixels; ++i, p += 3) {
        const uint8_t grey = GreyOf(p[0], p[1], p[2]);
        p[0] = p[1] = p[2] = grey;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define PIXMETRA_GREY_AVX2 1

// Grey of 8 pixels whose channels are in 32-bit lanes.
__attribute__((target("avx2"))) inline __m256i Grey8(__m256i b, __m256i g, __m256i r)
{
    const __m256i n = _mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(g, _mm256_set1_epi32(int(kCoefG))),
                                                        _mm256_mullo_epi32(b, _mm256_set1_epi32(int(kCoefB)))),
                                       _mm256_mullo_epi32(r, _mm256_set1_epi32(int(kCoefR))));
    const __m256i m = _mm256_set1_epi64x(int64_t(kMagic));
    // Quotients of the even lanes land in the low halves; those of the odd
    // lanes, shifted by 16 instead of 48, in the high halves.
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(n, m), 48);
    const __m256i odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(n, 32), m), 16);
    const __m256i q = _mm256_blend_epi32(even, odd, 0xaa);
    // N = 183 000 000 only for b 147, g 242, r 81.
    const __m256i special = _mm256_cmpeq_epi32(n, _mm256_set1_epi32(183000000));
    return _mm256_add_epi32(q, special); // special lanes are -1
}

__attribute__((target("avx2"))) void GreyAvx2(uint8_t* p, size_t nPixels)
{
    // Byte positions of one channel of 16 BGR pixels spread over three 16-byte loads.
    const __m128i bA = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i bB = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14, -1, -1, -1, -1, -1);
    const __m128i bC = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 4, 7, 10, 13);
    const __m128i gA = _mm_setr_epi8(1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i gB = _mm_setr_epi8(-1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1);
    const __m128i gC = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14);
    const __m128i rA = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i rB = _mm_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1);
    const __m128i rC = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15);
    // Each grey byte written three times back into the 48 bytes.
    const __m128i oA = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i oB = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
    const __m128i oC = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    size_t i = 0;
    for (; i + 16 <= nPixels; i += 16, p += 48) {
        const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
        const __m128i B = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(x0, bA), _mm_shuffle_epi8(x1, bB)),
                                       _mm_shuffle_epi8(x2, bC));
        const __m128i G = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(x0, gA), _mm_shuffle_epi8(x1, gB)),
                                       _mm_shuffle_epi8(x2, gC));
        const __m128i R = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(x0, rA), _mm_shuffle_epi8(x1, rB)),
                                       _mm_shuffle_epi8(x2, rC));
        const __m256i lo = Grey8(_mm256_cvtepu8_epi32(B), _mm256_cvtepu8_epi32(G), _mm256_cvtepu8_epi32(R));
        const __m256i hi = Grey8(_mm256_cvtepu8_epi32(_mm_srli_si128(B, 8)), _mm256_cvtepu8_epi32(_mm_srli_si128(G, 8)),
                                 _mm256_cvtepu8_epi32(_mm_srli_si128(R, 8)));
        // 16 lanes of 32 bits to 16 bytes, in order.
        const __m256i w = _mm256_permute4x64_epi64(_mm256_packus_epi32(lo, hi), 0xd8);
        const __m128i grey =
            _mm_packus_epi16(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_shuffle_epi8(grey, oA));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_shuffle_epi8(grey, oB));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm_shuffle_epi8(grey, oC));
    }
    GreyScalar(p, nPixels - i);
}
#endif

} // namespace

void ConvertBgrToGrey(uint8_t* pPixels, size_t nSize)
{
    if (pPixels == nullptr) {
        return;
    }
    const size_t n = nSize / 3;
#ifdef PIXMETRA_GREY_AVX2
    static const bool bAvx2 = __builtin_cpu_supports("avx2");
    if (bAvx2) {
        GreyAvx2(pPixels, n);
        return;
    }
#endif
    GreyScalar(pPixels, n);
}

} // namespace image
