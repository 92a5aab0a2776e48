#include "simcam/AviWriter.h"

#include <sys/types.h>

#include <algorithm>
#include <cmath>

namespace simcam {

namespace {

constexpr uint32_t AVIF_HASINDEX = 0x10;
constexpr uint32_t AVIIF_KEYFRAME = 0x10;
constexpr uint8_t AVI_INDEX_OF_INDEXES = 0;
constexpr uint8_t AVI_INDEX_OF_CHUNKS = 1;
constexpr uint32_t kIndexHeader = 24; // of 'indx' and 'ix00' after their chunk header
constexpr uint32_t kDmlhSize = 248;

uint32_t Padded(size_t n)
{
    return uint32_t(n + (n & 1));
}

} // namespace

CAviWriter::CAviWriter(uint64_t nRiffLimit, uint32_t nSuperIndexEntries)
    : m_nRiffLimit(nRiffLimit), m_nSuperIndexEntries(nSuperIndexEntries > 0 ? nSuperIndexEntries : 1)
{
}

CAviWriter::~CAviWriter()
{
    if (m_fp != nullptr) {
        Close();
    }
}

void CAviWriter::Put(const void* p, size_t n)
{
    m_bError = m_bError || std::fwrite(p, 1, n, m_fp) != n;
    m_nPos += n;
}

void CAviWriter::Put32(uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Put(b, 4);
}

void CAviWriter::Put16(uint16_t v)
{
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    Put(b, 2);
}

void CAviWriter::Put64(uint64_t v)
{
    Put32(uint32_t(v));
    Put32(uint32_t(v >> 32));
}

void CAviWriter::PutFourCC(const char* p)
{
    Put(p, 4);
}

void CAviWriter::Patch32(uint64_t at, uint32_t v)
{
    const uint64_t here = m_nPos;
    m_bError = m_bError || fseeko(m_fp, off_t(at), SEEK_SET) != 0;
    Put32(v);
    m_bError = m_bError || fseeko(m_fp, off_t(here), SEEK_SET) != 0;
    m_nPos = here;
}

void CAviWriter::Patch64(uint64_t at, uint64_t v)
{
    Patch32(at, uint32_t(v));
    Patch32(at + 4, uint32_t(v >> 32));
}

bool CAviWriter::Open(const std::string& path, int nWidth, int nHeight, double dFps)
{
    if (m_fp != nullptr || nWidth <= 0 || nHeight <= 0) {
        return false;
    }
    m_fp = std::fopen(path.c_str(), "wb");
    if (m_fp == nullptr) {
        return false;
    }
    m_nPos = 0;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_dFps = dFps > 0 ? dFps : 10.0;
    m_Chunks.clear();
    m_SuperIndex.clear();
    m_nFirstRiffFrames = m_nTotalFrames = m_nMaxFrame = 0;
    m_bError = false;
    const uint32_t frameBytes = uint32_t(nWidth) * uint32_t(nHeight) * 3;
    const uint32_t indxSize = kIndexHeader + 16 * m_nSuperIndexEntries;
    const uint32_t strlSize = 4 + (8 + 56) + (8 + 40) + (8 + indxSize);
    const uint32_t odmlSize = 4 + 8 + kDmlhSize;

    m_nRiffStart = 0;
    PutFourCC("RIFF");
    Put32(0);
    PutFourCC("AVI ");
    PutFourCC("LIST");
    Put32(4 + (8 + 56) + (8 + strlSize) + (8 + odmlSize));
    PutFourCC("hdrl");

    PutFourCC("avih");
    Put32(56);
    m_nUsPerFrameAt = m_nPos;
    Put32(0);
    m_nMaxBytesAt = m_nPos;
    Put32(0);
    Put32(0);
    Put32(AVIF_HASINDEX);
    m_nTotalFramesAt = m_nPos;
    Put32(0);
    Put32(0); // initial frames
    Put32(1); // streams
    m_nSuggestedAt = m_nPos;
    Put32(frameBytes);
    Put32(uint32_t(nWidth));
    Put32(uint32_t(nHeight));
    for (int i = 0; i < 4; ++i) {
        Put32(0);
    }

    PutFourCC("LIST");
    Put32(strlSize);
    PutFourCC("strl");
    PutFourCC("strh");
    Put32(56);
    PutFourCC("vids");
    PutFourCC("MJPG");
    Put32(0);
    Put16(0);
    Put16(0);
    Put32(0);
    Put32(1000); // scale: rate / scale = frames per second
    m_nRateAt = m_nPos;
    Put32(0);
    Put32(0);
    m_nLengthAt = m_nPos;
    Put32(0);
    m_nStreamSuggestedAt = m_nPos;
    Put32(frameBytes);
    Put32(0xffffffffu);
    Put32(0);
    Put16(0);
    Put16(0);
    Put16(uint16_t(nWidth));
    Put16(uint16_t(nHeight));
    PutFourCC("strf");
    Put32(40);
    Put32(40);
    Put32(uint32_t(nWidth));
    Put32(uint32_t(nHeight));
    Put16(1);
    Put16(24);
    PutFourCC("MJPG");
    Put32(frameBytes);
    for (int i = 0; i < 4; ++i) {
        Put32(0);
    }
    // The super index, its entries filled as each RIFF list closes.
    PutFourCC("indx");
    Put32(indxSize);
    m_nSuperIndexAt = m_nPos;
    Put16(4);
    const uint8_t kinds[2] = {0, AVI_INDEX_OF_INDEXES};
    Put(kinds, 2);
    Put32(0);
    PutFourCC("00dc");
    Put32(0);
    Put32(0);
    Put32(0);
    const std::vector<uint8_t> empty(16 * size_t(m_nSuperIndexEntries), 0);
    Put(empty.data(), empty.size());

    PutFourCC("LIST");
    Put32(odmlSize);
    PutFourCC("odml");
    PutFourCC("dmlh");
    Put32(kDmlhSize);
    m_nDmlhFramesAt = m_nPos;
    const std::vector<uint8_t> dmlh(kDmlhSize, 0);
    Put(dmlh.data(), dmlh.size());
    WriteRates(m_dFps);

    m_nRiffStart = 0;
    PutFourCC("LIST");
    m_nMoviSizeAt = m_nPos;
    Put32(0);
    m_nMoviStart = m_nPos;
    PutFourCC("movi");
    return !m_bError;
}

void CAviWriter::WriteRates(double dFps)
{
    Patch32(m_nUsPerFrameAt, uint32_t(std::lround(1e6 / dFps)));
    Patch32(m_nRateAt, uint32_t(std::lround(dFps * 1000)));
    Patch32(m_nMaxBytesAt, uint32_t(std::min(double(m_nMaxFrame) * std::ceil(dFps), 4294967295.0)));
}

void CAviWriter::BeginRiff(const char* pType)
{
    m_nRiffStart = m_nPos;
    PutFourCC("RIFF");
    Put32(0);
    PutFourCC(pType);
    PutFourCC("LIST");
    m_nMoviSizeAt = m_nPos;
    Put32(0);
    m_nMoviStart = m_nPos;
    PutFourCC("movi");
}

void CAviWriter::EndRiff()
{
    const uint32_t n = uint32_t(m_Chunks.size());
    const uint64_t ixAt = m_nPos;
    PutFourCC("ix00");
    Put32(kIndexHeader + 8 * n);
    Put16(2);
    const uint8_t kinds[2] = {0, AVI_INDEX_OF_CHUNKS};
    Put(kinds, 2);
    Put32(n);
    PutFourCC("00dc");
    Put64(m_nRiffStart);
    Put32(0);
    for (const CHUNK_ENTRY& c : m_Chunks) {
        Put32(uint32_t(c.nPos + 8 - m_nRiffStart)); // to the frame's data; bit 31 clear: a key frame
        Put32(c.nSize);
    }
    m_SuperIndex.push_back(SUPER_ENTRY{ixAt, 8 + kIndexHeader + 8 * n, n});
    Patch32(m_nMoviSizeAt, uint32_t(m_nPos - m_nMoviStart));
    if (m_nRiffStart == 0) {
        PutFourCC("idx1");
        Put32(n * 16);
        for (const CHUNK_ENTRY& c : m_Chunks) {
            PutFourCC("00dc");
            Put32(AVIIF_KEYFRAME);
            Put32(uint32_t(c.nPos - m_nMoviStart));
            Put32(c.nSize);
        }
        m_nFirstRiffFrames = n;
    }
    Patch32(m_nRiffStart + 4, uint32_t(m_nPos - m_nRiffStart - 8));
    m_Chunks.clear();
}

bool CAviWriter::AddFrame(const uint8_t* pJpeg, size_t nSize)
{
    if (m_fp == nullptr || m_bError || nSize > 0x7fffffffu) {
        return false;
    }
    // What this list would hold with the frame and its index entries.
    const uint64_t n = m_Chunks.size() + 1;
    const uint64_t need = (m_nPos - m_nRiffStart) + 8 + Padded(nSize) + 8 + kIndexHeader + 8 * n +
                          (m_nRiffStart == 0 ? 8 + 16 * n : 0);
    if (need > m_nRiffLimit && !m_Chunks.empty()) {
        if (m_SuperIndex.size() + 1 >= m_nSuperIndexEntries) {
            return false; // the super index has no room for another list
        }
        EndRiff();
        BeginRiff("AVIX");
    }
    m_Chunks.push_back(CHUNK_ENTRY{m_nPos, uint32_t(nSize)});
    PutFourCC("00dc");
    Put32(uint32_t(nSize));
    Put(pJpeg, nSize);
    if (nSize & 1) {
        const uint8_t pad = 0;
        Put(&pad, 1);
    }
    ++m_nTotalFrames;
    m_nMaxFrame = nSize > m_nMaxFrame ? uint32_t(nSize) : m_nMaxFrame;
    return !m_bError;
}

bool CAviWriter::Close(double dFps)
{
    if (m_fp == nullptr) {
        return false;
    }
    EndRiff();
    Patch32(m_nSuperIndexAt + 4, uint32_t(m_SuperIndex.size()));
    for (size_t i = 0; i < m_SuperIndex.size(); ++i) {
        const uint64_t at = m_nSuperIndexAt + kIndexHeader + 16 * i;
        Patch64(at, m_SuperIndex[i].nPos);
        Patch32(at + 8, m_SuperIndex[i].nSize);
        Patch32(at + 12, m_SuperIndex[i].nFrames);
    }
    Patch32(m_nTotalFramesAt, m_nFirstRiffFrames);
    Patch32(m_nLengthAt, m_nTotalFrames);
    Patch32(m_nDmlhFramesAt, m_nTotalFrames);
    Patch32(m_nSuggestedAt, m_nMaxFrame + 8);
    Patch32(m_nStreamSuggestedAt, m_nMaxFrame + 8);
    WriteRates(dFps > 0 ? dFps : m_dFps);
    const bool bOk = !m_bError && std::fclose(m_fp) == 0;
    m_fp = nullptr;
    return bOk;
}

} // namespace simcam
