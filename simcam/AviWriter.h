// An AVI file of Motion-JPEG frames with an index, as common players read it.
// A file that would pass the RIFF limit (1 GiB) goes on in further 'AVIX'
// RIFF lists (OpenDML): each RIFF list's 'movi' ends with an 'ix00' standard
// index, the stream header holds the 'indx' super index over them and
// 'odml'/'dmlh' holds the total frame count. The first RIFF list keeps its
// 'idx1' so players without OpenDML still play its frames.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace simcam {

constexpr uint64_t kAviRiffLimit = uint64_t(1) << 30;

class CAviWriter {
public:
    // nRiffLimit: the size at which a RIFF list is closed and the next begun.
    // nSuperIndexEntries: room for that many RIFF lists in the super index.
    explicit CAviWriter(uint64_t nRiffLimit = kAviRiffLimit, uint32_t nSuperIndexEntries = 256);
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    bool Open(const std::string& path, int nWidth, int nHeight, double dFps);
    // Room in the index for nFrames, so frames do not grow it one by one.
    void Reserve(size_t nFrames) { m_Chunks.reserve(nFrames); }
    // One JPEG frame; false on a write error or when the super index is full.
    bool AddFrame(const uint8_t* pJpeg, size_t nSize);
    // Writes the indexes and the final sizes and counts; false on any write
    // error. dFps above 0 replaces the rate given to Open (the rate the
    // frames really came at, so the file plays as long as it was recorded).
    bool Close(double dFps = 0.0);
    bool IsOpen() const { return m_fp != nullptr; }
    int FrameCount() const { return int(m_nTotalFrames); }
    int RiffCount() const { return int(m_SuperIndex.size()) + (m_fp != nullptr ? 1 : 0); }

private:
    struct CHUNK_ENTRY {
        uint64_t nPos; // file position of the chunk's header
        uint32_t nSize;
    };
    struct SUPER_ENTRY {
        uint64_t nPos;
        uint32_t nSize;
        uint32_t nFrames;
    };

    void Put(const void* p, size_t n);
    void Put32(uint32_t v);
    void Put16(uint16_t v);
    void Put64(uint64_t v);
    void PutFourCC(const char* p);
    void Patch32(uint64_t at, uint32_t v);
    void Patch64(uint64_t at, uint64_t v);
    // Opens a RIFF list ("AVI " for the first, "AVIX" after) and its 'movi'.
    void BeginRiff(const char* pType);
    // The 'ix00' of the current list, the end of 'movi', 'idx1' in the first.
    void EndRiff();
    void WriteRates(double dFps);

    uint64_t m_nRiffLimit;
    uint32_t m_nSuperIndexEntries;
    FILE* m_fp = nullptr;
    bool m_bError = false;
    uint64_t m_nPos = 0;
    int m_nWidth = 0, m_nHeight = 0;
    double m_dFps = 0.0;
    // Where the header fields are that only the end knows.
    uint64_t m_nUsPerFrameAt = 0, m_nMaxBytesAt = 0, m_nTotalFramesAt = 0, m_nRateAt = 0, m_nLengthAt = 0;
    uint64_t m_nSuggestedAt = 0, m_nStreamSuggestedAt = 0, m_nSuperIndexAt = 0, m_nDmlhFramesAt = 0;
    // The current RIFF list.
    uint64_t m_nRiffStart = 0, m_nMoviSizeAt = 0, m_nMoviStart = 0;
    uint32_t m_nFirstRiffFrames = 0;
    uint32_t m_nTotalFrames = 0;
    uint32_t m_nMaxFrame = 0;
    std::vector<CHUNK_ENTRY> m_Chunks; // of the current RIFF list
    std::vector<SUPER_ENTRY> m_SuperIndex;
};

} // namespace simcam
