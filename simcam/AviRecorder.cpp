#include "simcam/AviRecorder.h"

#include "simcam/SimCamera.h"

#include <turbojpeg.h>

namespace simcam {

CAviRecorder::~CAviRecorder()
{
    if (m_pJpegBuf != nullptr) {
        tjFree(m_pJpegBuf);
    }
    if (m_hJpeg != nullptr) {
        tjDestroy(m_hJpeg);
    }
}

bool CAviRecorder::Start(const std::string& path, int nWidth, int nHeight, double dFps, int nSeconds)
{
    auto avi = std::make_unique<CAviWriter>();
    if (!avi->Open(path, nWidth, nHeight, dFps)) {
        return false;
    }
    m_pAvi = std::move(avi);
    m_nEndAt = NowMs() + int64_t(nSeconds) * 1000;
    return true;
}

void CAviRecorder::AddFrame(const uint8_t* pFrame, int nWidth, int nHeight)
{
    if (!m_pAvi) {
        return;
    }
    if (m_hJpeg == nullptr) {
        m_hJpeg = tjInitCompress();
    }
    const unsigned long need = tjBufSize(nWidth, nHeight, TJSAMP_420);
    if (need > m_nJpegCapacity) {
        if (m_pJpegBuf != nullptr) {
            tjFree(m_pJpegBuf);
        }
        m_pJpegBuf = tjAlloc(int(need));
        m_nJpegCapacity = m_pJpegBuf != nullptr ? need : 0;
    }
    unsigned long size = m_nJpegCapacity;
    if (m_hJpeg != nullptr && m_pJpegBuf != nullptr &&
        tjCompress2(m_hJpeg, pFrame, nWidth, nWidth * 3, nHeight, TJPF_BGR, &m_pJpegBuf, &size, TJSAMP_420, 85,
                    TJFLAG_NOREALLOC) == 0) {
        m_pAvi->AddFrame(m_pJpegBuf, size);
    }
}

bool CAviRecorder::IsDue() const
{
    return NowMs() >= m_nEndAt;
}

void CAviRecorder::Stop()
{
    if (m_pAvi) {
        m_pAvi->Close();
        m_pAvi.reset();
    }
}

} // namespace simcam
