#include "media/AviRecorder.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace media {

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

CAviRecorder::~CAviRecorder()
{
    Stop();
    if (m_pJpegBuf != nullptr) {
        tjFree(m_pJpegBuf);
    }
    if (m_hJpeg != nullptr) {
        tjDestroy(m_hJpeg);
    }
}

bool CAviRecorder::Start(const std::string& path, int nWidth, int nHeight, double dFps, int64_t nDurationMs,
                         const AVI_RECORDER_OPTIONS& options)
{
    std::lock_guard<std::mutex> control(m_ControlMutex);
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bActive || nWidth <= 0 || nHeight <= 0) {
            return false;
        }
    }
    // Idle: the frame thread touches neither buffers nor compressor, so they
    // are made without the lock and the live view never waits for them.
    if (m_Thread.joinable()) {
        m_Thread.join(); // the last recording's writer has finished
    }
    auto avi = std::make_unique<CAviWriter>(options.nRiffLimit);
    if (!avi->Open(path, nWidth, nHeight, dFps)) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_nWriteError = avi->WriteError();
        return false;
    }
    avi->Reserve(size_t(std::max(dFps, 1.0) * double(nDurationMs) / 1000.0) + 16);
    const size_t nFrameBytes = size_t(nWidth) * size_t(nHeight) * 3;
    const size_t nBuffers = size_t(options.nBuffers > 0 ? options.nBuffers : 1);
    if (m_Buffers.size() != nBuffers || m_Buffers[0].size() != nFrameBytes) {
        m_Buffers.assign(nBuffers, std::vector<uint8_t>(nFrameBytes));
        m_JpegSizes.assign(nBuffers, 0);
    }
    if (m_hJpeg == nullptr) {
        m_hJpeg = tjInitCompress();
    }
    const unsigned long nJpeg = tjBufSize(nWidth, nHeight, TJSAMP_420);
    if (nJpeg > m_nJpegCapacity) {
        if (m_pJpegBuf != nullptr) {
            tjFree(m_pJpegBuf);
        }
        m_pJpegBuf = tjAlloc(int(nJpeg));
        m_nJpegCapacity = m_pJpegBuf != nullptr ? nJpeg : 0;
    }
    if (m_hJpeg == nullptr || m_pJpegBuf == nullptr) {
        avi->Close();
        return false;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Free.clear();
    for (size_t i = 0; i < nBuffers; ++i) {
        m_Free.push_back(int(i));
    }
    m_Queue.assign(nBuffers, -1);
    m_nQueueHead = m_nQueued = 0;
    m_pAvi = std::move(avi);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nQuality = options.nQuality;
    m_nTaken = m_nWritten = m_nDropped = 0;
    m_nWriteError = 0;
    m_nStartMs = NowMs();
    m_nEndAt = m_nStartMs + nDurationMs;
    m_nFinishedMs = 0;
    m_bTaking = true;
    m_bActive = true;
    m_Thread = std::thread([this] { WriterLoop(); });
    return true;
}

bool CAviRecorder::IsRecording() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bActive;
}

bool CAviRecorder::IsTaking() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bTaking;
}

int CAviRecorder::TakeBuffer()
{
    if (m_Free.empty()) {
        ++m_nDropped;
        return -1;
    }
    const int n = m_Free.back();
    m_Free.pop_back();
    return n;
}

void CAviRecorder::Queue(int n)
{
    m_Queue[(m_nQueueHead + m_nQueued) % m_Queue.size()] = n;
    ++m_nQueued;
    ++m_nTaken;
}

void CAviRecorder::AddFrame(const uint8_t* pFrame, int nWidth, int nHeight)
{
    {
        // The copy is made under the lock: a new recording never swaps the
        // buffers under it, and the writer takes the lock only to pop.
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (!m_bTaking || nWidth != m_nWidth || nHeight != m_nHeight) {
            return;
        }
        const int n = TakeBuffer();
        if (n < 0) {
            return;
        }
        std::memcpy(m_Buffers[size_t(n)].data(), pFrame, m_Buffers[size_t(n)].size());
        m_JpegSizes[size_t(n)] = 0;
        Queue(n);
    }
    m_Wake.notify_all();
}

void CAviRecorder::AddJpegFrame(const uint8_t* pJpeg, size_t nSize, int nWidth, int nHeight)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (!m_bTaking || nWidth != m_nWidth || nHeight != m_nHeight || nSize == 0) {
            return;
        }
        const int n = TakeBuffer();
        if (n < 0) {
            return;
        }
        if (nSize > m_Buffers[size_t(n)].size()) {
            // Larger than the raw frame: not a sane JPEG; left out.
            m_Free.push_back(n);
            ++m_nDropped;
            return;
        }
        std::memcpy(m_Buffers[size_t(n)].data(), pJpeg, nSize);
        m_JpegSizes[size_t(n)] = nSize;
        Queue(n);
    }
    m_Wake.notify_all();
}

bool CAviRecorder::IsDue() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return NowMs() >= m_nEndAt;
}

void CAviRecorder::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (!m_bTaking) {
            return;
        }
        m_bTaking = false;
        m_nFinishedMs = NowMs();
    }
    m_Wake.notify_all();
}

void CAviRecorder::Stop()
{
    std::lock_guard<std::mutex> control(m_ControlMutex);
    Finish();
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
}

int CAviRecorder::FramesTaken() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nTaken;
}

int CAviRecorder::FramesWritten() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nWritten;
}

int CAviRecorder::FramesDropped() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nDropped;
}

int CAviRecorder::WriteError() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nWriteError;
}

bool CAviRecorder::WriteFrame(const std::vector<uint8_t>& frame, size_t nJpegSize)
{
    if (nJpegSize > 0) {
        return m_pAvi->AddFrame(frame.data(), nJpegSize);
    }
    unsigned long size = m_nJpegCapacity;
    if (tjCompress2(m_hJpeg, frame.data(), m_nWidth, m_nWidth * 3, m_nHeight, TJPF_BGR, &m_pJpegBuf, &size,
                    TJSAMP_420, m_nQuality, TJFLAG_NOREALLOC) != 0) {
        return true; // a frame the compressor refused is left out
    }
    return m_pAvi->AddFrame(m_pJpegBuf, size);
}

void CAviRecorder::WriterLoop()
{
    for (;;) {
        int n = -1;
        size_t nJpegSize = 0;
        {
            std::unique_lock<std::mutex> lock(m_Mutex);
            m_Wake.wait(lock, [this] { return m_nQueued > 0 || !m_bTaking; });
            if (m_nQueued == 0) {
                break; // no more frames come
            }
            n = m_Queue[m_nQueueHead];
            m_nQueueHead = (m_nQueueHead + 1) % m_Queue.size();
            --m_nQueued;
            nJpegSize = m_JpegSizes[size_t(n)];
        }
        const bool bOk = WriteFrame(m_Buffers[size_t(n)], nJpegSize);
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Free.push_back(n);
        m_nWritten += bOk ? 1 : 0;
        if (!bOk && m_bTaking) {
            // The disk is full or the index has no room: end with what is written.
            m_bTaking = false;
            m_nFinishedMs = NowMs();
        }
    }
    int64_t nMs = 0;
    int nWritten = 0;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        nMs = m_nFinishedMs - m_nStartMs;
        nWritten = m_nWritten;
    }
    // The rate the frames came at, so the file plays as long as it recorded.
    const bool bWhole = m_pAvi->Close(nMs > 0 && nWritten > 1 ? nWritten * 1000.0 / double(nMs) : 0.0);
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nWriteError = m_pAvi->WriteError() != 0 ? m_pAvi->WriteError() : (bWhole ? 0 : EIO);
    m_nWritten = m_pAvi->FrameCount(); // a write that failed took frames already counted
    m_pAvi.reset();
    m_bActive = false;
}

} // namespace media
