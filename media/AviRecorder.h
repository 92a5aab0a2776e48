// A timed recording of the stream into a Motion-JPEG AVI file. The frame
// thread hands each frame over by copying it into one of a few buffers made
// when the recording starts; a thread of the recorder's own compresses and
// writes, so the live view never waits for the compressor or the disk. A
// frame that finds no free buffer is left out of the file and counted.
#pragma once

#include "media/AviWriter.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace media {

// Milliseconds of the steady clock: the recordings' and cameras' time.
int64_t NowMs();

struct AVI_RECORDER_OPTIONS {
    uint64_t nRiffLimit = kAviRiffLimit;
    int nBuffers = 4;
    int nQuality = 85;
};

// Neither copied nor moved: it owns the file, the buffers and the writer thread.
class CAviRecorder {
public:
    CAviRecorder() = default;
    ~CAviRecorder();
    CAviRecorder(const CAviRecorder&) = delete;
    CAviRecorder& operator=(const CAviRecorder&) = delete;

    // Opens the file for nDurationMs of frames and starts the writer; false when
    // the file cannot be written or the last recording is still being finished.
    bool Start(const std::string& path, int nWidth, int nHeight, double dFps, int64_t nDurationMs,
               const AVI_RECORDER_OPTIONS& options = AVI_RECORDER_OPTIONS());
    // Frames are taken, or the file is still being finished.
    bool IsRecording() const;
    bool IsTaking() const;
    // Copies one frame of 24-bit BGR rows for the writer. Never waits for
    // the writer and allocates nothing.
    void AddFrame(const uint8_t* pFrame, int nWidth, int nHeight);
    // One frame the camera already compressed: stored as it is, never
    // encoded again. Dropped like a raw frame when no buffer is free.
    void AddJpegFrame(const uint8_t* pJpeg, size_t nSize, int nWidth, int nHeight);
    // The recording's time is up.
    bool IsDue() const;
    // Takes no more frames; the writer finishes the file on its own.
    void Finish();
    // Finish, and return once the file is complete.
    void Stop();
    int FramesTaken() const;
    int FramesWritten() const;
    int FramesDropped() const;
    // The system's error number of the write that ended the last recording
    // early (its file then ends at the last whole frame) or kept it from
    // starting; 0 when it ran as asked. Final once IsRecording() is false.
    int WriteError() const;

private:
    void WriterLoop();
    bool WriteFrame(const std::vector<uint8_t>& frame, size_t nJpegSize);
    // Takes a free buffer for one frame under the lock; -1 when none is free.
    int TakeBuffer();
    void Queue(int n);

    // Start and Stop one at a time, whatever threads call them; they own m_Thread.
    std::mutex m_ControlMutex;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Wake;
    std::thread m_Thread;
    // Only the writer thread touches the file between Start and its end.
    std::unique_ptr<CAviWriter> m_pAvi;
    std::vector<std::vector<uint8_t>> m_Buffers;
    std::vector<size_t> m_JpegSizes; // per buffer: 0 a raw frame, else the JPEG's size
    std::vector<int> m_Free;  // buffers the frame thread may fill
    std::vector<int> m_Queue; // filled buffers, oldest first, a ring of m_Buffers.size()
    size_t m_nQueueHead = 0, m_nQueued = 0;
    bool m_bTaking = false;
    bool m_bActive = false; // until the writer has closed the file
    int m_nWidth = 0, m_nHeight = 0, m_nQuality = 85;
    int64_t m_nStartMs = 0, m_nEndAt = 0, m_nFinishedMs = 0;
    int m_nTaken = 0, m_nWritten = 0, m_nDropped = 0;
    int m_nWriteError = 0;
    // The writer thread's compressor and output buffer, made once per size.
    void* m_hJpeg = nullptr;
    unsigned char* m_pJpegBuf = nullptr;
    unsigned long m_nJpegCapacity = 0;
};

} // namespace media
