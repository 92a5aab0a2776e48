// The two worker threads of an interval series: the interval thread keeps
// time (image n is due at start + n x interval, whatever the saves cost) and
// hands each tick to the save thread, which captures the newest frame into
// its own buffer and picture and writes the next numbered file. Neither
// thread shares a buffer with the user-interface thread. Every wait watches
// the stop and quit requests, so stopping and quitting are handshakes.
#pragma once

#include "camera/CameraCtrl.h"
#include "image/AccImage.h"
#include "platform/MessageSink.h"
#include "platform/WinTypes.h"
#include "workflow/capture/SeriesClock.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct CONTINUE_SAVE_PLAN {
    int nCount = 0;        // images due
    int nIntervalSec = 3;  // seconds between them
    QString folder;        // where the files go (subfolder included)
    QString title;         // file title, or empty
    int nFileType = 1;     // 1 jpg, else bmp
    RECT region{};         // part of the picture saved; empty: all of it
    int nQuality = 80;
    bool bGrey = false;    // colour frames are saved grey
};

struct CONTINUE_SAVE_STATUS {
    uint64_t nSeriesId = 0;
    int nSaved = 0;   // files written
    int nTicks = 0;   // images that fell due so far
    int nSkipped = 0; // due images not taken: no frame, or the previous save still ran on
    int nLate = 0;    // due images taken only after the previous save had finished
    bool bEnded = false;
    int nWriteError = 0; // why the save that ended the series failed (system error number)
    QString lastPath;
};

class CContinueSave {
public:
    // pClock null: the system's steady clock. Messages go to pSink.
    CContinueSave(CCameraCtrl& camera, IMessageSink* pSink, ISeriesClock* pClock = nullptr);
    ~CContinueSave();
    CContinueSave(const CContinueSave&) = delete;
    CContinueSave& operator=(const CContinueSave&) = delete;

    // Starts a series (the threads on first use) and returns its id.
    uint64_t Start(const CONTINUE_SAVE_PLAN& plan);
    // Ends the running series; a file being written is finished and kept.
    void Stop();
    // Ends both threads and waits for them; afterwards nothing is posted.
    void Quit();
    // The counts of series nId; false when a later series replaced it.
    bool GetStatus(uint64_t nId, CONTINUE_SAVE_STATUS& out) const;
    bool ThreadsRunning() const { return m_IntervalThread.joinable(); }

private:
    enum class SAVE_RESULT { Saved, NoFrame, Failed };

    void IntervalThread();
    void SaveThread();
    // Waits for one image's due time, counting the seconds down; false when stopped.
    bool WaitForTick(uint64_t nId, int64_t nDueMs);
    void HandTick(uint64_t nId, const CONTINUE_SAVE_PLAN& plan);
    SAVE_RESULT SaveOne(const CONTINUE_SAVE_PLAN& plan, QString& path);
    bool Stopped(uint64_t nId) const { return m_bQuit.load() || m_nActiveId.load() != nId; }
    void Post(UINT nMessage, WPARAM wParam, uint64_t nId);

    CCameraCtrl& m_Camera;
    IMessageSink* m_pSink;
    std::unique_ptr<CSteadySeriesClock> m_pOwnClock;
    ISeriesClock* m_pClock;

    mutable std::mutex m_Mutex;
    std::condition_variable m_StartCv; // the interval thread: a series or quit
    std::condition_variable m_SaveCv;  // the save thread: a tick, the end, or quit
    std::atomic<bool> m_bQuit{false};
    std::atomic<uint64_t> m_nActiveId{0}; // the series that runs; 0 none
    uint64_t m_nLastId = 0;
    CONTINUE_SAVE_PLAN m_Plan;
    CONTINUE_SAVE_STATUS m_Status;
    bool m_bTickPending = false;
    uint64_t m_nPendingId = 0;
    CONTINUE_SAVE_PLAN m_PendingPlan;
    bool m_bTicksDone = false;
    bool m_bSaving = false;

    // The save thread's own: never touched by another thread.
    std::vector<uint8_t> m_FrameBuffer;
    CAccImage m_Image;

    std::thread m_IntervalThread;
    std::thread m_SaveThread;
};
