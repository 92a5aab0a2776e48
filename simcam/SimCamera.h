// One simulated camera: modes, parameters with ranges and automatic modes,
// a frame thread that delivers the test picture through the callback, frame
// counters and one-push white balance. Recording hands each frame to a
// CAviRecorder, which writes on its own thread.
#pragma once

#include "camera/ICubeSDK.h"
#include "media/AviRecorder.h"
#include "simcam/SimParams.h"
#include "simcam/TestPattern.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace simcam {

// Set by tests and demos while frames run, hence atomic.
struct SIM_FAULTS {
    std::atomic<int> nOpenError{0};       // returned once by the next open (ICUBE_ERR_CONFIG_*)
    std::atomic<int> nDisconnectAfter{0}; // frames, 0 = never
    std::atomic<int> nBrokenEvery{0};     // every n-th frame is broken, 0 = none
    std::atomic<int> nFps{0};             // overrides the frame rate, 0 = as parameters say
    std::atomic<bool> bNoOnePush{false};
    std::atomic<bool> bWhiteBalanceNever{false};
    std::atomic<bool> bSway{false};       // the picture sways instead of standing still
    std::atomic<int> nAviStopAfter{0};    // a recording ends after n frames, as if the cable were pulled
    std::atomic<int> nAviRiffLimit{0};    // bytes per RIFF list of a recording, 0 = 1 GiB
    std::atomic<int> nAviSecondMs{0};     // how long a recorded second lasts, 0 = 1000 ms (sped-up tests)
};

struct SIM_MODEL {
    std::string name;
    std::string serial;
    std::string firmware;
    bool bColour;
    std::vector<int> modes;
    int nDefaultMode;
};

class CSimCamera {
public:
    CSimCamera(SIM_MODEL model, SIM_FAULTS* pFaults);
    ~CSimCamera();

    const SIM_MODEL& Model() const { return m_Model; }
    int Open();
    int Close();
    bool IsOpen() const { return m_bOpen; }
    // After a disconnect the cable stays pulled: opens fail until this.
    void PlugIn() { m_bUnplugged = false; }
    int SetCallback(ICUBE_FRAME_CALLBACK pCallback, void* pContext);
    int Start();
    int Stop();
    bool IsStarted() const { return m_bStarted; }
    int GetSize(int& w, int& h) const;
    int SetMode(int nMode);
    int GetMode(int& nMode) const;
    int GetModeList(int& nCount, int* pModes) const;
    int SetParam(int nParam, int nValue);
    int GetParam(int nParam, int& nValue);
    int GetRange(int nParam, ICUBE_PARAM_RANGE& range) const;
    int GetAuto(int nParam, int& bAuto) const;
    int SetAuto(int nParam, int bAuto);
    int SetAutoDef(int nParam);
    int OnePush(int nParam);
    int GetExposure(float& ms) const;
    int SetExposure(float ms);
    int SaveAvi(const std::string& path, int nSeconds);
    int GoodFrames() const { return m_nGood; }
    int BrokenFrames() const { return m_nBroken; }
    // How often parameter nParam was written (tests).
    int WriteCount(int nParam) const;
    int OpenCount() const { return m_nOpenCount; }

private:
    void Run();
    void StopThread();
    double FrameIntervalMs();
    void RenderIfNeeded(int w, int h);
    PATTERN_LOOK Look();
    void RecordFrame(const uint8_t* pFrame, int w, int h);
    void SettleWhiteBalance();
    SIM_PARAM* FeatureParam(int nParam, bool bOnePush, int& err);

    SIM_MODEL m_Model;
    SIM_FAULTS* m_pFaults;
    mutable std::mutex m_Mutex;
    std::map<int, SIM_PARAM> m_Params;
    std::map<int, int> m_WriteCounts;
    int m_nMode;
    std::atomic<bool> m_bOpen{false}; // the frame thread clears it on a disconnect
    std::atomic<bool> m_bUnplugged{false};
    std::atomic<bool> m_bStarted{false};
    std::atomic<bool> m_bStop{false};
    std::thread m_Thread;
    std::condition_variable m_Wake;
    ICUBE_FRAME_CALLBACK m_pCallback = nullptr;
    void* m_pContext = nullptr;
    std::atomic<int> m_nGood{0};
    std::atomic<int> m_nBroken{0};
    int m_nOpenCount = 0;
    bool m_bPatternDirty = true;
    CTestPattern m_Pattern;
    std::vector<uint8_t> m_Frame;
    // White balance: a one-push settles some time after it starts.
    int64_t m_nWhiteBalanceDoneAt = 0;
    // Started under the lock; fed by the frame thread, which also ends it when
    // its time is up or the camera is gone; Stop waits for its file.
    media::CAviRecorder m_Recorder;
};


} // namespace simcam
