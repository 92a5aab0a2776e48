#include "workflow/capture/ContinueSave.h"

#include "app/LogFile.h"
#include "platform/AtomicFile.h"
#include "workflow/capture/CaptureMessages.h"
#include "workflow/capture/OverlaySave.h"
#include "workflow/capture/SeriesNaming.h"

#include <algorithm>

CContinueSave::CContinueSave(CCameraCtrl& camera, IMessageSink* pSink, ISeriesClock* pClock)
    : m_Camera(camera), m_pSink(pSink), m_pClock(pClock)
{
    if (m_pClock == nullptr) {
        m_pOwnClock = std::make_unique<CSteadySeriesClock>();
        m_pClock = m_pOwnClock.get();
    }
}

CContinueSave::~CContinueSave()
{
    Quit();
}

uint64_t CContinueSave::Start(const CONTINUE_SAVE_PLAN& plan)
{
    uint64_t nId = 0;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bQuit) {
            return 0;
        }
        nId = ++m_nLastId;
        m_Plan = plan;
        m_Status = CONTINUE_SAVE_STATUS{};
        m_Status.nSeriesId = nId;
        // A tick of an earlier series that the save thread has not taken yet is dropped.
        m_bTickPending = false;
        m_bTicksDone = false;
        // The start is state, not a pulse: a thread that is not yet waiting still sees it.
        m_nActiveId = nId;
    }
    // The previous series' waits end at once.
    m_pClock->Interrupt();
    if (!m_IntervalThread.joinable()) {
        m_SaveThread = std::thread(&CContinueSave::SaveThread, this);
        m_IntervalThread = std::thread(&CContinueSave::IntervalThread, this);
    }
    m_StartCv.notify_all();
    m_SaveCv.notify_all();
    return nId;
}

void CContinueSave::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_nActiveId = 0;
        m_bTickPending = false;
        m_Status.bEnded = true;
    }
    m_pClock->Interrupt();
    m_SaveCv.notify_all();
}

void CContinueSave::Quit()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bQuit = true;
        m_nActiveId = 0;
    }
    m_pClock->Interrupt();
    m_StartCv.notify_all();
    m_SaveCv.notify_all();
    if (m_IntervalThread.joinable()) {
        m_IntervalThread.join();
    }
    if (m_SaveThread.joinable()) {
        m_SaveThread.join();
    }
}

bool CContinueSave::GetStatus(uint64_t nId, CONTINUE_SAVE_STATUS& out) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Status.nSeriesId != nId) {
        return false;
    }
    out = m_Status;
    return true;
}

void CContinueSave::Post(UINT nMessage, WPARAM wParam, uint64_t nId)
{
    if (m_pSink != nullptr) {
        m_pSink->PostMessage(nMessage, wParam, LPARAM(nId));
    }
}

bool CContinueSave::WaitForTick(uint64_t nId, int64_t nDueMs)
{
    const auto fnStop = [this, nId] { return Stopped(nId); };
    int nShown = -1;
    for (;;) {
        if (Stopped(nId)) {
            return false;
        }
        const int64_t nNow = m_pClock->NowMs();
        if (nNow >= nDueMs) {
            return true;
        }
        const int nLeft = int((nDueMs - nNow + 999) / 1000);
        if (nLeft != nShown) {
            nShown = nLeft;
            Post(WM_SAVE_CONTINUE_COUNTDOWN, WPARAM(nLeft), nId);
        }
        // To the next whole second before the due time, or the due time itself.
        if (!m_pClock->WaitUntil(nDueMs - int64_t(nLeft - 1) * 1000, fnStop)) {
            return false;
        }
    }
}

void CContinueSave::HandTick(uint64_t nId, const CONTINUE_SAVE_PLAN& plan)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_Status.nSeriesId != nId || m_nActiveId != nId) {
        return;
    }
    ++m_Status.nTicks;
    if (m_bTickPending) {
        // The save thread has not even taken the previous tick: this image is not taken.
        ++m_Status.nSkipped;
        const int nTick = m_Status.nTicks;
        lock.unlock();
        WriteLog(QStringLiteral("[MAIN]Save Continue  image %1 skipped: the previous one is still being saved").arg(nTick));
        return;
    }
    if (m_bSaving) {
        ++m_Status.nLate;
    }
    m_bTickPending = true;
    m_nPendingId = nId;
    m_PendingPlan = plan;
    lock.unlock();
    m_SaveCv.notify_all();
}

void CContinueSave::IntervalThread()
{
    uint64_t nLastRun = 0;
    for (;;) {
        uint64_t nId = 0;
        CONTINUE_SAVE_PLAN plan;
        {
            std::unique_lock<std::mutex> lock(m_Mutex);
            m_StartCv.wait(lock, [&] { return m_bQuit || (m_nActiveId != 0 && m_nActiveId != nLastRun); });
            if (m_bQuit) {
                return;
            }
            nId = m_nActiveId;
            plan = m_Plan;
            nLastRun = nId;
        }
        // Due times count from the start, so the saves' own time never shifts them.
        const int64_t nStart = m_pClock->NowMs();
        const int64_t nStep = int64_t(std::max(plan.nIntervalSec, 1)) * 1000;
        bool bStopped = false;
        for (int n = 1; n <= plan.nCount; ++n) {
            if (!WaitForTick(nId, nStart + n * nStep)) {
                bStopped = true;
                break;
            }
            HandTick(nId, plan);
        }
        if (!bStopped) {
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                if (m_Status.nSeriesId == nId) {
                    m_bTicksDone = true;
                }
            }
            m_SaveCv.notify_all();
        }
    }
}

CContinueSave::SAVE_RESULT CContinueSave::SaveOne(const CONTINUE_SAVE_PLAN& plan, QString& path)
{
    FRAME_INFO info;
    if (!m_Camera.ShotImage(m_FrameBuffer, -1, &info)) {
        WriteLog(QStringLiteral("[MAIN]CameraCtrl.ShotImage() Error!"));
        return SAVE_RESULT::NoFrame;
    }
    const size_t nRow = size_t(info.nWidth) * 3;
    if (info.nWidth <= 0 || info.nHeight <= 0 || info.nSize < nRow * size_t(info.nHeight)) {
        WriteLog(QStringLiteral("[MAIN]AccImage.SetImage() Error!"));
        return SAVE_RESULT::NoFrame;
    }
    if (plan.bGrey) {
        CAccImage::ConvColorToGrayscale24Image(m_FrameBuffer.data(), nRow * size_t(info.nHeight));
    }
    if (!m_Image.SetImage(m_FrameBuffer.data(), IMAGE_INFO{24, info.nWidth, info.nHeight}, int32_t(nRow))) {
        WriteLog(QStringLiteral("[MAIN]AccImage.SetImage() Error!"));
        return SAVE_RESULT::NoFrame;
    }
    // Numbering continues after the highest file in the folder, so nothing is overwritten.
    const int nNumber = HighestFileNumber(plan.folder, plan.title, plan.nFileType) + 1;
    path = JoinSeriesPath(plan.folder, SeriesFileName(nNumber, plan.title, plan.nFileType));
    if (nNumber > SERIES_NUMBER_MAX ||
        !m_Image.SaveImageFile(path, ClipSaveRegion(plan.region, info.nWidth, info.nHeight), plan.nQuality)) {
        WriteLog(QStringLiteral("[MAIN]AccImage.SaveImageFile(%1) Error!").arg(path));
        return SAVE_RESULT::Failed;
    }
    return SAVE_RESULT::Saved;
}

void CContinueSave::SaveThread()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_SaveCv.wait(lock, [&] { return m_bQuit || m_bTickPending || (m_bTicksDone && !m_Status.bEnded); });
        if (m_bQuit) {
            return;
        }
        if (m_bTickPending) {
            m_bTickPending = false;
            const uint64_t nId = m_nPendingId;
            const CONTINUE_SAVE_PLAN plan = m_PendingPlan;
            m_bSaving = true;
            lock.unlock();
            QString path;
            const SAVE_RESULT result = Stopped(nId) ? SAVE_RESULT::NoFrame : SaveOne(plan, path);
            const int nWriteError = result == SAVE_RESULT::Failed ? platform::LastFileWriteError() : 0;
            lock.lock();
            m_bSaving = false;
            if (m_Status.nSeriesId != nId || m_Status.bEnded) {
                continue; // stopped or replaced meanwhile: its file, if any, stays
            }
            if (result == SAVE_RESULT::NoFrame) {
                ++m_Status.nSkipped;
            } else if (result == SAVE_RESULT::Saved) {
                ++m_Status.nSaved;
                m_Status.lastPath = path;
                if (m_Status.nSaved < plan.nCount) {
                    Post(WM_SAVE_IMAGE_CONTINUE, WPARAM(m_Status.nSaved), nId);
                }
            } else {
                m_Status.bEnded = true;
                m_Status.nWriteError = nWriteError;
                uint64_t nExpected = nId;
                m_nActiveId.compare_exchange_strong(nExpected, 0);
                Post(WM_END_SAVE_IMAGE_CONTINUE, 1, nId);
                lock.unlock();
                m_pClock->Interrupt();
                lock.lock();
            }
            continue;
        }
        // Every tick was handed over and the last one is done: the series ends.
        m_Status.bEnded = true;
        const uint64_t nId = m_Status.nSeriesId;
        uint64_t nExpected = nId;
        m_nActiveId.compare_exchange_strong(nExpected, 0);
        Post(WM_END_SAVE_IMAGE_CONTINUE, 0, nId);
    }
}
