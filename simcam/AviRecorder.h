// A timed recording of the stream: each frame is compressed to JPEG and
// appended to an AVI file until the recording's time is up.
#pragma once

#include "simcam/AviWriter.h"

#include <cstdint>
#include <memory>
#include <string>

namespace simcam {

// Neither copied nor moved: it owns the file and the compressor.
class CAviRecorder {
public:
    ~CAviRecorder();

    // Opens the file for nSeconds of frames; false when it cannot be written.
    bool Start(const std::string& path, int nWidth, int nHeight, double dFps, int nSeconds);
    bool IsRecording() const { return m_pAvi != nullptr; }
    // Compresses one frame of 24-bit BGR rows and appends it.
    void AddFrame(const uint8_t* pFrame, int nWidth, int nHeight);
    // The recording's time is up.
    bool IsDue() const;
    // Writes the index and closes the file.
    void Stop();

private:
    std::unique_ptr<CAviWriter> m_pAvi;
    int64_t m_nEndAt = 0;
    // The compressor and its output buffer live as long as the recorder, so
    // that each frame does not allocate them anew.
    void* m_hJpeg = nullptr;
    unsigned char* m_pJpegBuf = nullptr;
    unsigned long m_nJpegCapacity = 0;
};

} // namespace simcam
