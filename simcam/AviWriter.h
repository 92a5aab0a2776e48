// An AVI file of Motion-JPEG frames with an index, as common players read it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace simcam {

class CAviWriter {
public:
    ~CAviWriter();
    bool Open(const std::string& path, int nWidth, int nHeight, double dFps);
    // One JPEG frame.
    bool AddFrame(const uint8_t* pJpeg, size_t nSize);
    // Writes the index and the final sizes and counts; false on any write error.
    bool Close();
    bool IsOpen() const { return m_fp != nullptr; }
    int FrameCount() const { return int(m_Index.size()); }

private:
    void Put32(uint32_t v);
    void Put16(uint16_t v);
    void PutFourCC(const char* p);
    void Patch32(long at, uint32_t v);

    FILE* m_fp = nullptr;
    bool m_bError = false;
    int m_nWidth = 0, m_nHeight = 0;
    double m_dFps = 0.0;
    long m_nRiffSizeAt = 0, m_nTotalFramesAt = 0, m_nLengthAt = 0, m_nMoviSizeAt = 0, m_nMoviStart = 0;
    uint32_t m_nMaxFrame = 0;
    struct INDEX_ENTRY {
        uint32_t nOffset;
        uint32_t nSize;
    };
    std::vector<INDEX_ENTRY> m_Index;
};

} // namespace simcam
