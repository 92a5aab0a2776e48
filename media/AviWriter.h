// An AVI file of Motion-JPEG frames with an index, as common players read it.
// A file that would pass the RIFF limit (1 GiB) goes on in further 'AVIX'
// RIFF lists (OpenDML): each RIFF list's 'movi' ends with an 'ix00' standard
// index, the stream header holds the 'indx' super index over them and
// 'odml'/'dmlh' holds the total frame count. The first RIFF list keeps its
// 'idx1' so players without OpenDML still play its frames.
//
// Bytes go through a buffer of the writer's own straight to the file
// descriptor, so the writer always knows how much of the file the disk took.
// When a write fails (a full disk, a pulled stick) the writer takes no more
// frames; closing then cuts the file back to its last whole frame, gives up
// trailing frames until the indexes fit in the room that frees, and finishes
// the file as a normal close does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace media {

constexpr uint64_t kAviRiffLimit = uint64_t(1) << 30;

class CAviWriter {
public:
    // nRiffLimit: the size at which a RIFF list is closed and the next begun.
    // nSuperIndexEntries: room for that many RIFF lists in the super index.
    explicit CAviWriter(uint64_t nRiffLimit = kAviRiffLimit, uint32_t nSuperIndexEntries = 256);
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    // false when the file cannot be made or its header not written (the
    // file is then removed); WriteError() tells why.
    bool Open(const std::string& path, int nWidth, int nHeight, double dFps);
    // Room in the index for nFrames, so frames do not grow it one by one.
    void Reserve(size_t nFrames) { m_Chunks.reserve(nFrames); }
    // One JPEG frame; false once a write has failed, or when the super index
    // is full. Later frames are refused.
    bool AddFrame(const uint8_t* pJpeg, size_t nSize);
    // Writes the indexes and the final sizes and counts, after a failed
    // write over the frames the disk took whole and the index has room for.
    // true when the file is a whole AVI file. dFps above 0 replaces the rate
    // given to Open (the rate the frames really came at, so the file plays
    // as long as it was recorded).
    bool Close(double dFps = 0.0);
    bool IsOpen() const { return m_fd >= 0; }
    int FrameCount() const { return int(m_Chunks.size()); }
    int RiffCount() const { return int(m_Lists.size()); }
    // The system's error number of the first write that failed; 0 when none did.
    int WriteError() const { return m_nError; }

private:
    struct CHUNK_ENTRY {
        uint64_t nPos; // file position of the chunk's header
        uint32_t nSize;
    };
    struct RIFF_LIST {
        uint64_t nStart;      // of 'RIFF'
        uint64_t nMoviSizeAt; // of the size of its 'movi' list
        size_t nFirstChunk;   // its first frame in m_Chunks
        uint64_t nIndexAt = 0; // of its 'ix00', once written
        uint32_t nIndexSize = 0;
    };

    uint64_t Pos() const { return m_nFlushed + m_nBuffered; }
    void Fail(int nError);
    // Writes n bytes at nAt (-1: at the file's position), short writes
    // retried; returns the bytes the disk took.
    size_t WriteOut(const void* p, size_t n, int64_t nAt);
    // Writes n bytes at the file's end; on failure m_nFlushed still counts what the disk took.
    void WriteAll(const void* p, size_t n);
    void Flush();
    void Put(const void* p, size_t n);
    void Put32(uint32_t v);
    void Put16(uint16_t v);
    void Put64(uint64_t v);
    void PutFourCC(const char* p);
    // Overwrites bytes already put, whether still in the buffer or on disk.
    void Patch(uint64_t at, const void* p, size_t n);
    void Patch32(uint64_t at, uint32_t v);
    void Patch64(uint64_t at, uint64_t v);
    // The parts of the file's header: 'avih', the stream's 'strh' and
    // 'strf', the 'indx' super index (its entries filled at the close) and
    // the 'odml' list. Each keeps where the fields lie that only the end knows.
    void PutMainHeader(uint32_t nFrameBytes);
    void PutStreamHeader(uint32_t nFrameBytes);
    void PutStreamFormat(uint32_t nFrameBytes);
    void PutSuperIndex(uint32_t nIndexSize);
    void PutOdmlHeader(uint32_t nOdmlSize);
    // Opens a RIFF list ("AVI " for the first, "AVIX" after) and its 'movi'.
    void BeginRiff(const char* pType);
    // The 'ix00' of the current list, the end of 'movi', 'idx1' in the first.
    void EndRiff();
    void WriteRates(double dFps);
    // Keeps the first nKeep frames: the list holding the last of them is
    // open again and the file ends with that frame.
    bool CutTo(size_t nKeep);
    // The indexes of the frames kept, giving up frames while they do not fit.
    bool EndFile();
    uint64_t ChunkEnd(size_t i) const;

    uint64_t m_nRiffLimit;
    uint32_t m_nSuperIndexEntries;
    int m_fd = -1;
    std::vector<uint8_t> m_Buffer;
    size_t m_nBuffered = 0;
    uint64_t m_nFlushed = 0; // bytes the disk took, from the file's start
    bool m_bFailed = false;  // a write failed since the file was last cut back
    int m_nError = 0;
    int m_nWidth = 0, m_nHeight = 0;
    double m_dFps = 0.0;
    // Where the header fields are that only the end knows.
    uint64_t m_nUsPerFrameAt = 0, m_nMaxBytesAt = 0, m_nTotalFramesAt = 0, m_nRateAt = 0, m_nLengthAt = 0;
    uint64_t m_nSuggestedAt = 0, m_nStreamSuggestedAt = 0, m_nSuperIndexAt = 0, m_nDmlhFramesAt = 0;
    uint32_t m_nMaxFrame = 0;
    std::vector<CHUNK_ENTRY> m_Chunks; // every frame of the file
    std::vector<RIFF_LIST> m_Lists;    // the last one is open until Close
};

} // namespace media
