#include "image/PixelWiden.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PIXMETRA_WIDEN_SSSE3 1
#endif

namespace image {

namespace {

void WidenScalar(const uint8_t* s, uint8_t* d, int32_t n)
{
    for (int32_t x = 0; x < n; ++x, s += 3, d += 4) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 255;
    }
}

#ifdef PIXMETRA_WIDEN_SSSE3
// Four pixels per shuffle. A 16-byte load takes 12 bytes of pixels, so the
// loop stops where a load would read past the last pixel.
__attribute__((target("ssse3"))) void WidenSsse3(const uint8_t* s, uint8_t* d, int32_t n)
{
    const __m128i shuffle = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int32_t(0xff000000u));
    int32_t x = 0;
    for (; x + 18 <= n; x += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x + 12));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x + 24));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x + 36));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x), _mm_or_si128(_mm_shuffle_epi8(a, shuffle), opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x + 16),
                         _mm_or_si128(_mm_shuffle_epi8(b, shuffle), opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x + 32),
                         _mm_or_si128(_mm_shuffle_epi8(c, shuffle), opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x + 48),
                         _mm_or_si128(_mm_shuffle_epi8(e, shuffle), opaque));
    }
    WidenScalar(s + 3 * x, d + 4 * x, n - x);
}
#endif

} // namespace

void WidenBgrToBgrx(const uint8_t* pSrc, uint8_t* pDst, int32_t nPixels)
{
#ifdef PIXMETRA_WIDEN_SSSE3
    static const bool bSsse3 = __builtin_cpu_supports("ssse3");
    if (bSsse3) {
        WidenSsse3(pSrc, pDst, nPixels);
        return;
    }
#endif
    WidenScalar(pSrc, pDst, nPixels);
}

} // namespace image
