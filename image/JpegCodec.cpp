#include "image/JpegCodec.h"

#include "image/ImageCodec.h"

#include <turbojpeg.h>

#include <cstring>
#include <vector>

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

namespace {

// True when an APP14 "Adobe" segment long enough for the JPEG library to
// honour comes before the first scan. Adobe's programs store four-colour
// JPEGs with every value inverted and mark them so.
bool HasAdobeMarker(const uint8_t* p, size_t n)
{
    size_t at = 2; // past the start-of-image marker
    while (n - at >= 4) {
        if (p[at] != 0xff) {
            return false;
        }
        const uint8_t marker = p[at + 1];
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xda || marker == 0xd9) {
            return false; // the scan starts: no more header segments
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
            at += 2;
            continue;
        }
        const size_t len = (size_t(p[at + 2]) << 8) | p[at + 3];
        if (len < 2 || len > n - at - 2) {
            return false;
        }
        if (marker == 0xee && len >= 2 + 12 && std::memcmp(p + at + 4, "Adobe", 5) == 0) {
            return true;
        }
        at += 2 + len;
    }
    return false;
}

// Four-colour JPEGs: decoded to C, M, Y, K bytes, then each colour is
// (255 - ink) * (255 - K) / 255; Adobe's inverted files hold 255 - ink.
bool DecodeInk(tjhandle h, const uint8_t* pData, size_t nSize, int width, int height, DECODED_IMAGE& out)
{
    uint64_t nInk = 0;
    uint64_t nBytes = 0;
    if (!PixelBytes(width, height, 32, nInk) || !PixelBytes(width, height, 24, nBytes)) {
        return false;
    }
    std::vector<uint8_t> ink(nInk);
    if (tjDecompress2(h, pData, (unsigned long)nSize, ink.data(), width, width * 4, height, TJPF_CMYK,
                      TJFLAG_STOPONWARNING) != 0) {
        return false;
    }
    const bool bInverted = HasAdobeMarker(pData, nSize);
    uint8_t light[256]; // what is left of the light for a stored value
    for (int v = 0; v < 256; ++v) {
        light[v] = uint8_t(bInverted ? v : 255 - v);
    }
    out.nBitCount = 24;
    out.nWidth = width;
    out.nHeight = height;
    out.pixels.assign(nBytes, 0);
    const int32_t stride = StrideOf(width, 24);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = ink.data() + uint64_t(y) * width * 4;
        uint8_t* d = out.pixels.data() + uint64_t(y) * stride;
        for (int x = 0; x < width; ++x, s += 4, d += 3) {
            const uint32_t k = light[s[3]];
            d[0] = uint8_t((light[s[2]] * k + 127) / 255);
            d[1] = uint8_t((light[s[1]] * k + 127) / 255);
            d[2] = uint8_t((light[s[0]] * k + 127) / 255);
        }
    }
    return true;
}

} // namespace

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
    if (bOk && (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)) {
        bOk = DecodeInk(h, pData, nSize, width, height, out);
    } else if (bOk) {
        const bool bGrey = colorspace == TJCS_GRAY;
        const uint32_t bits = bGrey ? 8 : 24;
        uint64_t nBytes = 0;
        bOk = PixelBytes(width, height, bits, nBytes);
        if (bOk) {
            out.nBitCount = bits;
            out.nWidth = width;
            out.nHeight = height;
            out.pixels.assign(nBytes, 0);
            // Decoded straight into the padded rows of the buffer.
            bOk = tjDecompress2(h, pData, (unsigned long)nSize, out.pixels.data(), width, StrideOf(width, bits),
                                height, bGrey ? TJPF_GRAY : TJPF_BGR, TJFLAG_STOPONWARNING) == 0;
        }
    }
    tjDestroy(h);
    if (!bOk) {
        out = DECODED_IMAGE();
    }
    return bOk;
}

} // namespace image
