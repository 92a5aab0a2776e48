#include "image/JpegCodec.h"

#include "image/ImageCodec.h"

#include <turbojpeg.h>

namespace image {

CJpegEncoder::CJpegEncoder() = default;

CJpegEncoder::~CJpegEncoder()
{
    if (m_pBuffer != nullptr) {
        tjFree(m_pBuffer);
    }
    if (m_hCompress != nullptr) {
        tjDestroy(m_hCompress);
    }
}

bool CJpegEncoder::Encode(const uint8_t* pBits, int32_t nWidth, int32_t nHeight, int32_t nStride, uint32_t nBitCount,
                          int nQuality, const uint8_t*& pData, size_t& nSize)
{
    if (pBits == nullptr || nWidth <= 0 || nHeight <= 0) {
        return false;
    }
    int pixelFormat = TJPF_BGR;
    int subsamp = TJSAMP_420;
    if (nBitCount == 8) {
        pixelFormat = TJPF_GRAY;
        subsamp = TJSAMP_GRAY;
    } else if (nBitCount == 32) {
        pixelFormat = TJPF_BGRX;
    } else if (nBitCount != 24) {
        return false;
    }
    if (m_hCompress == nullptr) {
        m_hCompress = tjInitCompress();
        if (m_hCompress == nullptr) {
            return false;
        }
    }
    const unsigned long need = tjBufSize(nWidth, nHeight, subsamp);
    if (need == static_cast<unsigned long>(-1)) {
        return false;
    }
    if (need > m_nCapacity) {
        if (m_pBuffer != nullptr) {
            tjFree(m_pBuffer);
        }
        m_pBuffer = tjAlloc(int(need));
        m_nCapacity = m_pBuffer != nullptr ? need : 0;
        if (m_pBuffer == nullptr) {
            return false;
        }
    }
    unsigned long size = m_nCapacity;
    const int quality = nQuality < 1 ? 1 : (nQuality > 100 ? 100 : nQuality);
    if (tjCompress2(m_hCompress, pBits, nWidth, nStride, nHeight, pixelFormat, &m_pBuffer, &size, subsamp, quality,
                    TJFLAG_NOREALLOC) != 0) {
        return false;
    }
    pData = m_pBuffer;
    nSize = size;
    return true;
}

bool DecodeJpeg(const uint8_t* pData, size_t nSize, DECODED_IMAGE& out)
{
    if (pData == nullptr || nSize < 4 || nSize > 0xffffffffull) {
        return false;
    }
    tjhandle h = tjInitDecompress();
    if (h == nullptr) {
        return false;
    }
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    bool bOk = tjDecompressHeader3(h, pData, (unsigned long)nSize, &width, &height, &subsamp, &colorspace) == 0;
    const bool bGrey = colorspace == TJCS_GRAY;
    const uint32_t bits = bGrey ? 8 : 24;
    uint64_t nBytes = 0;
    bOk = bOk && PixelBytes(width, height, bits, nBytes);
    if (bOk) {
        out.nBitCount = bits;
        out.nWidth = width;
        out.nHeight = height;
        out.pixels.assign(nBytes, 0);
        // Decoded straight into the padded rows of the buffer.
        bOk = tjDecompress2(h, pData, (unsigned long)nSize, out.pixels.data(), width, StrideOf(width, bits), height,
                            bGrey ? TJPF_GRAY : TJPF_BGR, TJFLAG_STOPONWARNING) == 0;
    }
    tjDestroy(h);
    if (!bOk) {
        out = DECODED_IMAGE();
    }
    return bOk;
}

} // namespace image
