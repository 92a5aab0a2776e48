// JPEG through TurboJPEG: encodes straight from the buffer's rows into an
// output buffer kept from one picture to the next, so a series of saves does
// not allocate and free a picture-sized buffer each time (the library's own
// working memory is still set up per picture).
#pragma once

#include <cstddef>
#include <cstdint>

namespace image {

class CJpegEncoder {
public:
    CJpegEncoder();
    ~CJpegEncoder();
    CJpegEncoder(const CJpegEncoder&) = delete;
    CJpegEncoder& operator=(const CJpegEncoder&) = delete;

    // On success pData/nSize describe the encoded bytes until the next call.
    bool Encode(const uint8_t* pBits, int32_t nWidth, int32_t nHeight, int32_t nStride, uint32_t nBitCount,
                int nQuality, const uint8_t*& pData, size_t& nSize);

private:
    void* m_hCompress = nullptr;
    unsigned char* m_pBuffer = nullptr;
    unsigned long m_nCapacity = 0;
};

} // namespace image
