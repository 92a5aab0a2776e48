// Turning a UVC camera's frames into the 24-bit blue-green-red rows, top row
// first and packed, that the frame callback hands on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace uvccam {

// YUYV 4:2:2 (BT.601, video range) to packed BGR. nWidth is even, as the
// format requires; nSrcStride is the device's bytes per line.
void YuyvToBgr(const uint8_t* pSrc, size_t nSrcStride, int nWidth, int nHeight, uint8_t* pDst);

// Mirrors a packed BGR frame in place, for cameras that cannot flip.
void FlipBgr(uint8_t* pFrame, int nWidth, int nHeight, bool bHorizontal, bool bVertical);

// Decodes a camera's JPEG frames straight into the caller's BGR frame. One
// decoder per thread: the library's handle is not shared.
class CMjpegDecoder {
public:
    CMjpegDecoder();
    ~CMjpegDecoder();
    CMjpegDecoder(const CMjpegDecoder&) = delete;
    CMjpegDecoder& operator=(const CMjpegDecoder&) = delete;

    // False when the data is not a JPEG of exactly that size or is cut short;
    // the frame may then be partly written and counts as broken.
    bool Decode(const uint8_t* pJpeg, size_t nSize, int nWidth, int nHeight, uint8_t* pDst);

private:
    void* m_hDecoder;
};

} // namespace uvccam
