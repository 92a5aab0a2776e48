// Fixed-length UTF-16 text fields of records: every copy truncates and
// terminates, so no input can overflow a field. A cut never splits a
// surrogate pair: half a character could never be written to a file again.
#pragma once

#include <cstddef>
#include <string>

// The length text cut to at most nMax code units keeps, at a character boundary.
inline size_t TextCutLength(const char16_t* text, size_t nLength, size_t nMax)
{
    if (nLength <= nMax) {
        return nLength;
    }
    const bool bSplitsPair = nMax > 0 && text[nMax - 1] >= 0xD800 && text[nMax - 1] <= 0xDBFF;
    return bSplitsPair ? nMax - 1 : nMax;
}

template <size_t N>
inline void CopyTextField(char16_t (&dst)[N], const std::u16string& src)
{
    const size_t n = TextCutLength(src.data(), src.size(), N - 1);
    src.copy(dst, n);
    dst[n] = 0;
}

template <size_t N>
inline void CopyTextField(char16_t (&dst)[N], const char16_t* src)
{
    size_t n = 0;
    if (src != nullptr) {
        for (; n < N - 1 && src[n] != 0; ++n) {
            dst[n] = src[n];
        }
        if (n == N - 1 && src[n] != 0 && n > 0 && dst[n - 1] >= 0xD800 && dst[n - 1] <= 0xDBFF) {
            --n;
        }
    }
    dst[n] = 0;
}

template <size_t N>
inline std::u16string TextFieldString(const char16_t (&src)[N])
{
    size_t n = 0;
    while (n < N && src[n] != 0) {
        ++n;
    }
    return std::u16string(src, n);
}
