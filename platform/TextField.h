// Fixed-length UTF-16 text fields of records: every copy truncates and
// terminates, so no input can overflow a field.
#pragma once

#include <cstddef>
#include <string>

template <size_t N>
inline void CopyTextField(char16_t (&dst)[N], const std::u16string& src)
{
    const size_t n = src.size() < N - 1 ? src.size() : N - 1;
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
