#include "media/AviWriter.h"

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace media {

namespace {

constexpr uint32_t AVIF_HASINDEX = 0x10;
constexpr uint32_t AVIIF_KEYFRAME = 0x10;
constexpr uint8_t AVI_INDEX_OF_INDEXES = 0;
constexpr uint8_t AVI_INDEX_OF_CHUNKS = 1;
constexpr uint32_t kIndexHeader = 24; // of 'indx' and 'ix00' after their chunk header
constexpr uint32_t kDmlhSize = 248;
// Small frames and the index gather here; a write this large goes straight to the file.
constexpr size_t kBufferBytes = 256 * 1024;

uint32_t Padded(size_t n)
{
    return uint32_t(n + (n & 1));
}

void Le32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace

CAviWriter::CAviWriter(uint64_t nRiffLimit, uint32_t nSuperIndexEntries)
    : m_nRiffLimit(nRiffLimit), m_nSuperIndexEntries(nSuperIndexEntries > 0 ? nSuperIndexEntries : 1)
{
}

CAviWriter::~CAviWriter()
{
    if (m_fd >= 0) {
        Close();
    }
}

void CAviWriter::Fail(int nError)
{
    m_bFailed = true;
    if (m_nError == 0) {
        m_nError = nError != 0 ? nError : EIO;
    }
}

size_t CAviWriter::WriteOut(const void* p, size_t n, int64_t nAt)
{
    const uint8_t* pByte = static_cast<const uint8_t*>(p);
    size_t nTotal = 0;
    while (nTotal < n && !m_bFailed) {
        const ssize_t nDone = nAt < 0 ? ::write(m_fd, pByte + nTotal, n - nTotal)
                                      : ::pwrite(m_fd, pByte + nTotal, n - nTotal, off_t(nAt) + off_t(nTotal));
        if (nDone < 0 && errno == EINTR) {
            continue;
        }
        if (nDone <= 0) {
            Fail(nDone < 0 ? errno : ENOSPC);
            break;
        }
        nTotal += size_t(nDone);
    }
    return nTotal;
}

void CAviWriter::WriteAll(const void* p, size_t n)
{
    m_nFlushed += WriteOut(p, n, -1);
}

void CAviWriter::Flush()
{
    if (m_nBuffered > 0 && !m_bFailed) {
        WriteAll(m_Buffer.data(), m_nBuffered);
    }
    // What the disk did not take is lost; the cut back at the end sees to the file.
    m_nBuffered = 0;
}

void CAviWriter::Put(const void* p, size_t n)
{
    if (m_bFailed) {
        return;
    }
    if (n > m_Buffer.size() - m_nBuffered) {
        Flush();
        if (m_bFailed) {
            return;
        }
        if (n >= m_Buffer.size()) {
            WriteAll(p, n); // a large frame is not copied
            return;
        }
    }
    std::memcpy(m_Buffer.data() + m_nBuffered, p, n);
    m_nBuffered += n;
}

void CAviWriter::Put32(uint32_t v)
{
    uint8_t b[4];
    Le32(b, v);
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

void CAviWriter::Patch(uint64_t at, const void* p, size_t n)
{
    const uint8_t* pByte = static_cast<const uint8_t*>(p);
    // The part on disk is written in place (no new room needed), the rest
    // changed in the buffer.
    if (at < m_nFlushed) {
        const size_t nOnDisk = size_t(std::min<uint64_t>(n, m_nFlushed - at));
        WriteOut(pByte, nOnDisk, int64_t(at));
        at += nOnDisk;
        pByte += nOnDisk;
        n -= nOnDisk;
    }
    if (n > 0 && !m_bFailed && at + n <= Pos()) {
        std::memcpy(m_Buffer.data() + (at - m_nFlushed), pByte, n);
    }
}

void CAviWriter::Patch32(uint64_t at, uint32_t v)
{
    uint8_t b[4];
    Le32(b, v);
    Patch(at, b, 4);
}

void CAviWriter::Patch64(uint64_t at, uint64_t v)
{
    Patch32(at, uint32_t(v));
    Patch32(at + 4, uint32_t(v >> 32));
}

uint64_t CAviWriter::ChunkEnd(size_t i) const
{
    return m_Chunks[i].nPos + 8 + Padded(m_Chunks[i].nSize);
}

bool CAviWriter::Open(const std::string& path, int nWidth, int nHeight, double dFps)
{
    if (m_fd >= 0 || nWidth <= 0 || nHeight <= 0) {
        return false;
    }
    m_nError = 0;
    m_bFailed = false;
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_nError = errno;
        return false;
    }
    m_Buffer.resize(kBufferBytes);
    m_nBuffered = 0;
    m_nFlushed = 0;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_dFps = dFps > 0 ? dFps : 10.0;
    m_Chunks.clear();
    m_Lists.clear();
    m_Lists.reserve(m_nSuperIndexEntries);
    m_nMaxFrame = 0;
    const uint32_t frameBytes = uint32_t(nWidth) * uint32_t(nHeight) * 3;
    const uint32_t indxSize = kIndexHeader + 16 * m_nSuperIndexEntries;
    const uint32_t strlSize = 4 + (8 + 56) + (8 + 40) + (8 + indxSize);
    const uint32_t odmlSize = 4 + 8 + kDmlhSize;

    PutFourCC("RIFF");
    Put32(0);
    PutFourCC("AVI ");
    PutFourCC("LIST");
    Put32(4 + (8 + 56) + (8 + strlSize) + (8 + odmlSize));
    PutFourCC("hdrl");
    PutMainHeader(frameBytes);
    PutFourCC("LIST");
    Put32(strlSize);
    PutFourCC("strl");
    PutStreamHeader(frameBytes);
    PutStreamFormat(frameBytes);
    PutSuperIndex(indxSize);
    PutOdmlHeader(odmlSize);
    WriteRates(m_dFps);

    m_Lists.push_back(RIFF_LIST{0, Pos() + 4, 0});
    PutFourCC("LIST");
    Put32(0);
    PutFourCC("movi");
    // A disk too full for the header refuses the recording at once.
    Flush();
    if (m_bFailed) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

void CAviWriter::PutMainHeader(uint32_t nFrameBytes)
{
    PutFourCC("avih");
    Put32(56);
    m_nUsPerFrameAt = Pos();
    Put32(0);
    m_nMaxBytesAt = Pos();
    Put32(0);
    Put32(0);
    Put32(AVIF_HASINDEX);
    m_nTotalFramesAt = Pos();
    Put32(0);
    Put32(0); // initial frames
    Put32(1); // streams
    m_nSuggestedAt = Pos();
    Put32(nFrameBytes);
    Put32(uint32_t(m_nWidth));
    Put32(uint32_t(m_nHeight));
    for (int i = 0; i < 4; ++i) {
        Put32(0);
    }
}

void CAviWriter::PutStreamHeader(uint32_t nFrameBytes)
{
    PutFourCC("strh");
    Put32(56);
    PutFourCC("vids");
    PutFourCC("MJPG");
    Put32(0);
    Put16(0);
    Put16(0);
    Put32(0);
    Put32(1000); // scale: rate / scale = frames per second
    m_nRateAt = Pos();
    Put32(0);
    Put32(0);
    m_nLengthAt = Pos();
    Put32(0);
    m_nStreamSuggestedAt = Pos();
    Put32(nFrameBytes);
    Put32(0xffffffffu);
    Put32(0);
    Put16(0);
    Put16(0);
    Put16(uint16_t(m_nWidth));
    Put16(uint16_t(m_nHeight));
}

void CAviWriter::PutStreamFormat(uint32_t nFrameBytes)
{
    PutFourCC("strf");
    Put32(40);
    Put32(40);
    Put32(uint32_t(m_nWidth));
    Put32(uint32_t(m_nHeight));
    Put16(1);
    Put16(24);
    PutFourCC("MJPG");
    Put32(nFrameBytes);
    for (int i = 0; i < 4; ++i) {
        Put32(0);
    }
}

void CAviWriter::PutSuperIndex(uint32_t nIndexSize)
{
    PutFourCC("indx");
    Put32(nIndexSize);
    m_nSuperIndexAt = Pos();
    Put16(4);
    const uint8_t kinds[2] = {0, AVI_INDEX_OF_INDEXES};
    Put(kinds, 2);
    Put32(0);
    PutFourCC("00dc");
    Put32(0);
    Put32(0);
    Put32(0);
    for (uint32_t i = 0; i < 4 * m_nSuperIndexEntries; ++i) {
        Put32(0);
    }
}

void CAviWriter::PutOdmlHeader(uint32_t nOdmlSize)
{
    PutFourCC("LIST");
    Put32(nOdmlSize);
    PutFourCC("odml");
    PutFourCC("dmlh");
    Put32(kDmlhSize);
    m_nDmlhFramesAt = Pos();
    for (uint32_t i = 0; i < kDmlhSize / 4; ++i) {
        Put32(0);
    }
}

void CAviWriter::WriteRates(double dFps)
{
    Patch32(m_nUsPerFrameAt, uint32_t(std::lround(1e6 / dFps)));
    Patch32(m_nRateAt, uint32_t(std::lround(dFps * 1000)));
    Patch32(m_nMaxBytesAt, uint32_t(std::min(double(m_nMaxFrame) * std::ceil(dFps), 4294967295.0)));
}

void CAviWriter::BeginRiff(const char* pType)
{
    m_Lists.push_back(RIFF_LIST{Pos(), Pos() + 16, m_Chunks.size()});
    PutFourCC("RIFF");
    Put32(0);
    PutFourCC(pType);
    PutFourCC("LIST");
    Put32(0);
    PutFourCC("movi");
}

void CAviWriter::EndRiff()
{
    RIFF_LIST& list = m_Lists.back();
    const uint32_t n = uint32_t(m_Chunks.size() - list.nFirstChunk);
    const uint64_t nMoviStart = list.nMoviSizeAt + 4;
    list.nIndexAt = Pos();
    list.nIndexSize = 8 + kIndexHeader + 8 * n;
    PutFourCC("ix00");
    Put32(kIndexHeader + 8 * n);
    Put16(2);
    const uint8_t kinds[2] = {0, AVI_INDEX_OF_CHUNKS};
    Put(kinds, 2);
    Put32(n);
    PutFourCC("00dc");
    Put64(list.nStart);
    Put32(0);
    for (size_t i = list.nFirstChunk; i < m_Chunks.size(); ++i) {
        Put32(uint32_t(m_Chunks[i].nPos + 8 - list.nStart)); // to the frame's data; bit 31 clear: a key frame
        Put32(m_Chunks[i].nSize);
    }
    Patch32(list.nMoviSizeAt, uint32_t(Pos() - nMoviStart));
    if (list.nStart == 0) {
        PutFourCC("idx1");
        Put32(n * 16);
        for (size_t i = 0; i < m_Chunks.size(); ++i) {
            PutFourCC("00dc");
            Put32(AVIIF_KEYFRAME);
            Put32(uint32_t(m_Chunks[i].nPos - nMoviStart));
            Put32(m_Chunks[i].nSize);
        }
    }
    Patch32(list.nStart + 4, uint32_t(Pos() - list.nStart - 8));
}

bool CAviWriter::AddFrame(const uint8_t* pJpeg, size_t nSize)
{
    if (m_fd < 0 || m_bFailed || nSize > 0x7fffffffu) {
        return false;
    }
    // What this list would hold with the frame and its index entries.
    const RIFF_LIST& list = m_Lists.back();
    const uint64_t n = m_Chunks.size() - list.nFirstChunk + 1;
    const uint64_t need = (Pos() - list.nStart) + 8 + Padded(nSize) + 8 + kIndexHeader + 8 * n +
                          (list.nStart == 0 ? 8 + 16 * n : 0);
    if (need > m_nRiffLimit && n > 1) {
        if (m_Lists.size() >= m_nSuperIndexEntries) {
            return false; // the super index has no room for another list
        }
        EndRiff();
        BeginRiff("AVIX");
    }
    m_Chunks.push_back(CHUNK_ENTRY{Pos(), uint32_t(nSize)});
    PutFourCC("00dc");
    Put32(uint32_t(nSize));
    Put(pJpeg, nSize);
    if (nSize & 1) {
        const uint8_t pad = 0;
        Put(&pad, 1);
    }
    m_nMaxFrame = nSize > m_nMaxFrame ? uint32_t(nSize) : m_nMaxFrame;
    return !m_bFailed;
}

bool CAviWriter::CutTo(size_t nKeep)
{
    m_Chunks.resize(std::min(nKeep, m_Chunks.size()));
    // Lists begun after the last kept frame go; the one holding it is open again.
    while (m_Lists.size() > 1 && m_Lists.back().nFirstChunk >= m_Chunks.size()) {
        m_Lists.pop_back();
    }
    const uint64_t nEnd = m_Chunks.empty() ? m_Lists.back().nMoviSizeAt + 8 : ChunkEnd(m_Chunks.size() - 1);
    m_nBuffered = 0;
    // Writes go on at the new end, not where the failed one stopped.
    if (::ftruncate(m_fd, off_t(nEnd)) != 0 || ::lseek(m_fd, off_t(nEnd), SEEK_SET) < 0) {
        Fail(errno);
        return false;
    }
    m_nFlushed = nEnd;
    m_bFailed = false;
    return true;
}

bool CAviWriter::EndFile()
{
    for (bool bIndexFailed = false;; bIndexFailed = true) {
        if (m_bFailed) {
            // Frames the disk took only in part, or not at all, are left out;
            // when the index did not fit, the last whole frame gives its room.
            size_t nKeep = m_Chunks.size();
            while (nKeep > 0 && ChunkEnd(nKeep - 1) > m_nFlushed) {
                --nKeep;
            }
            if (bIndexFailed && nKeep == m_Chunks.size()) {
                if (nKeep == 0) {
                    return false;
                }
                --nKeep;
            }
            if (!CutTo(nKeep)) {
                return false;
            }
        }
        EndRiff();
        Flush();
        if (!m_bFailed) {
            return true;
        }
    }
}

bool CAviWriter::Close(double dFps)
{
    if (m_fd < 0) {
        return false;
    }
    bool bOk = EndFile();
    if (bOk) {
        const uint32_t nLists = uint32_t(m_Lists.size());
        Patch32(m_nSuperIndexAt + 4, nLists);
        for (uint32_t i = 0; i < nLists; ++i) {
            const RIFF_LIST& list = m_Lists[i];
            const size_t nNext = i + 1 < nLists ? m_Lists[i + 1].nFirstChunk : m_Chunks.size();
            const uint64_t at = m_nSuperIndexAt + kIndexHeader + 16 * uint64_t(i);
            Patch64(at, list.nIndexAt);
            Patch32(at + 8, list.nIndexSize);
            Patch32(at + 12, uint32_t(nNext - list.nFirstChunk));
        }
        const uint32_t nFirstListFrames = uint32_t(nLists > 1 ? m_Lists[1].nFirstChunk : m_Chunks.size());
        Patch32(m_nTotalFramesAt, nFirstListFrames);
        Patch32(m_nLengthAt, uint32_t(m_Chunks.size()));
        Patch32(m_nDmlhFramesAt, uint32_t(m_Chunks.size()));
        Patch32(m_nSuggestedAt, m_nMaxFrame + 8);
        Patch32(m_nStreamSuggestedAt, m_nMaxFrame + 8);
        WriteRates(dFps > 0 ? dFps : m_dFps);
        bOk = !m_bFailed;
    }
    if (::close(m_fd) != 0 && bOk) {
        Fail(errno);
        bOk = false;
    }
    m_fd = -1;
    m_Buffer = std::vector<uint8_t>();
    return bOk;
}

} // namespace media
