// JPEG compressed band by band: rows are handed over as they become ready,
// top first, so that whoever produces the picture can work on the next band
// while this one is compressed. The output buffer is kept from one picture
// to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace image {

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
    // Ends the picture; pData/nSize describe it until the next Begin.
    bool Finish(const uint8_t*& pData, size_t& nSize);
    // Drops a picture that will not be finished.
    void Abort();

private:
    struct STATE;
    std::unique_ptr<STATE> m_pState;
};

} // namespace image
