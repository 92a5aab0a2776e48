#include "simcam/AviWriter.h"

#include <cmath>

namespace simcam {

CAviWriter::~CAviWriter()
{
    if (m_fp != nullptr) {
        Close();
    }
}

void CAviWriter::Put32(uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    m_bError = m_bError || std::fwrite(b, 1, 4, m_fp) != 4;
}

void CAviWriter::Put16(uint16_t v)
{
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    m_bError = m_bError || std::fwrite(b, 1, 2, m_fp) != 2;
}

void CAviWriter::PutFourCC(const char* p)
{
    m_bError = m_bError || std::fwrite(p, 1, 4, m_fp) != 4;
}

void CAviWriter::Patch32(long at, uint32_t v)
{
    const long here = std::ftell(m_fp);
    std::fseek(m_fp, at, SEEK_SET);
    Put32(v);
    std::fseek(m_fp, here, SEEK_SET);
}

bool CAviWriter::Open(const std::string& path, int nWidth, int nHeight, double dFps)
{
    m_fp = std::fopen(path.c_str(), "wb");
    if (m_fp == nullptr) {
        return false;
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_dFps = dFps > 0 ? dFps : 10.0;
    m_Index.clear();
    m_bError = false;
    const uint32_t usPerFrame = uint32_t(std::lround(1e6 / m_dFps));
    const uint32_t rate = uint32_t(std::lround(m_dFps * 1000));

    PutFourCC("RIFF");
    m_nRiffSizeAt = std::ftell(m_fp);
    Put32(0);
    PutFourCC("AVI ");
    PutFourCC("LIST");
    Put32(4 + 8 + 56 + 8 + 4 + 8 + 56 + 8 + 40);
    PutFourCC("hdrl");
    PutFourCC("avih");
    Put32(56);
    Put32(usPerFrame);
    Put32(uint32_t(nWidth) * nHeight * 3 * uint32_t(std::ceil(m_dFps)));
    Put32(0);
    Put32(0x10); // AVIF_HASINDEX
    m_nTotalFramesAt = std::ftell(m_fp);
    Put32(0);
    Put32(0);
    Put32(1);
    Put32(uint32_t(nWidth) * nHeight * 3);
    Put32(uint32_t(nWidth));
    Put32(uint32_t(nHeight));
    for (int i = 0; i < 4; ++i) {
        Put32(0);
    }
    PutFourCC("LIST");
    Put32(4 + 8 + 56 + 8 + 40);
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
    Put32(rate);
    Put32(0);
    m_nLengthAt = std::ftell(m_fp);
    Put32(0);
    Put32(uint32_t(nWidth) * nHeight * 3);
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
    Put32(uint32_t(nWidth) * nHeight * 3);
    Put32(0);
    Put32(0);
    Put32(0);
    Put32(0);
    PutFourCC("LIST");
    m_nMoviSizeAt = std::ftell(m_fp);
    Put32(0);
    m_nMoviStart = std::ftell(m_fp);
    PutFourCC("movi");
    return !m_bError;
}

bool CAviWriter::AddFrame(const uint8_t* pJpeg, size_t nSize)
{
    if (m_fp == nullptr || nSize > 0x7fffffffu) {
        return false;
    }
    const long at = std::ftell(m_fp);
    PutFourCC("00dc");
    Put32(uint32_t(nSize));
    m_bError = m_bError || std::fwrite(pJpeg, 1, nSize, m_fp) != nSize;
    if (nSize & 1) {
        const uint8_t pad = 0;
        m_bError = m_bError || std::fwrite(&pad, 1, 1, m_fp) != 1;
    }
    m_Index.push_back(INDEX_ENTRY{uint32_t(at - m_nMoviStart), uint32_t(nSize)});
    m_nMaxFrame = nSize > m_nMaxFrame ? uint32_t(nSize) : m_nMaxFrame;
    return !m_bError;
}

bool CAviWriter::Close()
{
    if (m_fp == nullptr) {
        return false;
    }
    const long moviEnd = std::ftell(m_fp);
    PutFourCC("idx1");
    Put32(uint32_t(m_Index.size() * 16));
    for (const INDEX_ENTRY& e : m_Index) {
        PutFourCC("00dc");
        Put32(0x10); // AVIIF_KEYFRAME
        Put32(e.nOffset);
        Put32(e.nSize);
    }
    const long end = std::ftell(m_fp);
    Patch32(m_nRiffSizeAt, uint32_t(end - 8));
    Patch32(m_nTotalFramesAt, uint32_t(m_Index.size()));
    Patch32(m_nLengthAt, uint32_t(m_Index.size()));
    Patch32(m_nMoviSizeAt, uint32_t(moviEnd - m_nMoviStart));
    const bool bOk = !m_bError && std::fclose(m_fp) == 0;
    m_fp = nullptr;
    return bOk;
}

} // namespace simcam
