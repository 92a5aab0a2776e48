// JPEG compressed band by band: rows are handed over as they become ready,
// top first, so that whoever produces the picture can work on the next band
// while this one is compressed. The output buffer is kept from one picture
// to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace image {

// A picture in YCbCr 4:2:0 planes, its size padded to whole 16 x 16 blocks
// as the encoder pads it: the pixels converted repeat the last column to
// the padded width (and the last row once, for an odd height); below the
// picture each plane repeats its own last row.
struct JPEG_YUV420 {
    int32_t nWidth16 = 0, nHeight16 = 0;
    std::vector<uint8_t> y, cb, cr; // nWidth16 x nHeight16; half that each way
    bool Resize(int32_t nWidth, int32_t nHeight);
    // Once the rows of a picture nHeight high are converted: fills the planes' rows below it.
    void PadBottom(int32_t nHeight);
};

// Colour conversion into JPEG_YUV420 planes, so that it can run on another
// thread than the compression.
class CYuvConverter {
public:
    CYuvConverter();
    ~CYuvConverter();
    CYuvConverter(const CYuvConverter&) = delete;
    CYuvConverter& operator=(const CYuvConverter&) = delete;
    // nRows 32-bit BGRX rows of planes.nWidth16 pixels each, padding included,
    // into rows [nFrom, nFrom + nRows) of the planes; both even.
    bool Convert(const uint8_t* pBgrx, int32_t nStride, JPEG_YUV420& planes, int32_t nFrom, int32_t nRows);

private:
    void* m_hHandle = nullptr;
};

class CJpegBandWriter {
public:
    CJpegBandWriter();
    ~CJpegBandWriter();
    CJpegBandWriter(const CJpegBandWriter&) = delete;
    CJpegBandWriter& operator=(const CJpegBandWriter&) = delete;

    // Starts a picture of nWidth x nHeight from 24-bit BGR or 32-bit BGRX
    // rows, 4:2:0 as the whole-picture encoder writes it.
    bool Begin(int32_t nWidth, int32_t nHeight, uint32_t nBitCount, int nQuality);
    // The next nRows rows, nStride bytes apart. False once anything failed.
    bool WriteRows(const uint8_t* pRows, int32_t nStride, int32_t nRows);
    // Starts a picture that comes as JPEG_YUV420 planes: the colour
    // conversion has been done elsewhere.
    bool BeginYuv(int32_t nWidth, int32_t nHeight, int nQuality);
    // Rows [nFrom, nFrom + nRows) of the planes, the next in order; both
    // multiples of 16, the last call reaching the padded height.
    bool WriteYuvRows(const JPEG_YUV420& planes, int32_t nFrom, int32_t nRows);
    // Ends the picture; pData/nSize describe it until the next Begin.
    bool Finish(const uint8_t*& pData, size_t& nSize);
    // Drops a picture that will not be finished.
    void Abort();

private:
    bool Start(int32_t nWidth, int32_t nHeight, uint32_t nBitCount, int nQuality, bool bRaw);

    struct STATE;
    std::unique_ptr<STATE> m_pState;
};

} // namespace image
