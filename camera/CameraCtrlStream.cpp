// The stream: starting and stopping it, the SDK's frame callback that fills
// the ring and announces frames one message at a time, and the readers'
// copies out of it.
#include "camera/CameraCtrl.h"

#include "platform/SyncEvent.h"

#include <cmath>
#include <cstring>

BOOL CCameraCtrl::IsStreaming() const
{
    return (IsOpen() && m_pApi->ICubeSDK_IsStarted(m_nCurrentCamera) == 1) ? TRUE : FALSE;
}

BOOL CCameraCtrl::StartStreaming(IMessageSink* pReceiver, UINT nFrameMessage, UINT nDisconnectMessage)
{
    Log(QStringLiteral("[CameraCtrl]StartStreaming()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    if (IsStreaming()) {
        return TRUE;
    }
    m_pReceiver = pReceiver;
    m_nFrameMessage = nFrameMessage;
    m_nDisconnectMessage = nDisconnectMessage;
    m_Context.pCtrl = this;
    m_Context.pReceiver = pReceiver;
    m_Context.nFrameMessage = nFrameMessage;
    m_Context.nDisconnectMessage = nDisconnectMessage;
    m_Context.nNextSlot = 0;
    ResetFrameMessage(); // a restarted stream announces its first frame
    m_nFrameFrequency = platform::QueryPerformanceFrequency();
    m_nFrameMark = platform::QueryPerformanceCounter();
    m_nStatsMark = m_nFrameMark;
    m_Context.bActive = true;
    int err = m_pApi->ICubeSDK_SetCallbackEx(m_nCurrentCamera, 1, &CCameraCtrl::FrameCallback, &m_Context);
    if (err == 0) {
        err = m_pApi->ICubeSDK_Start(m_nCurrentCamera, nullptr, 0, 1);
    }
    if (err != 0) {
        DeactivateCallback();
        return FailWith(err);
    }
    Log(QStringLiteral("[CameraCtrl]->StartStreaming() is End"));
    return TRUE;
}

BOOL CCameraCtrl::StopStreaminig()
{
    if (!IsStreaming()) {
        return FALSE;
    }
    const int err = m_pApi->ICubeSDK_Stop(m_nCurrentCamera);
    DeactivateCallback();
    LogFrameStats();
    if (err != 0) {
        m_nLastError = err;
        Log(QStringLiteral("[CameraCtrl]StopStreaminig() Error!"));
        return FALSE;
    }
    Log(QStringLiteral("[CameraCtrl]StopStreaminig()"));
    return TRUE;
}

void CCameraCtrl::DeactivateCallback()
{
    m_Context.bActive = false;
    // Sleeps until the callbacks already inside have left (each is one frame
    // copy and one post; none starts its work once the flag is clear); the
    // last to leave wakes us. After this none touches us.
    for (int n = m_Context.nInFlight.load(); n > 0; n = m_Context.nInFlight.load()) {
        m_Context.nInFlight.wait(n);
    }
}

void CCameraCtrl::LeaveCallback(CALLBACK_CONTEXT& ctx)
{
    // With no one waiting the wake costs one load; it goes by the counter's
    // address (a futex) and reads nothing of a controller freed meanwhile.
    if (ctx.nInFlight.fetch_sub(1) == 1) {
        ctx.nInFlight.notify_all();
    }
}

int CCameraCtrl::CopyFrameToRing(const void* pData, int nSize)
{
    const int slot = m_Ring.Write(m_Context.nNextSlot.load(std::memory_order_relaxed), pData, size_t(nSize < 0 ? 0 : nSize));
    if (slot < 0) {
        ++m_nDropped;
        return -1;
    }
    m_Context.nNextSlot.store((slot + 1) % FRAME_RING_NUM, std::memory_order_relaxed);
    m_nDelivered.fetch_add(1, std::memory_order_relaxed);
    return slot;
}

int ICUBE_CALL CCameraCtrl::FrameCallback(int nEvent, void* pData, int nSize, void* pContext)
{
    auto* ctx = static_cast<CALLBACK_CONTEXT*>(pContext);
    if (ctx == nullptr) {
        return ICUBE_CALLBACK_RESULT;
    }
    ctx->nInFlight.fetch_add(1);
    if (!ctx->bActive.load()) {
        LeaveCallback(*ctx);
        return ICUBE_CALLBACK_RESULT;
    }
    CCameraCtrl* self = ctx->pCtrl;
    if (nEvent == 0) {
        const int slot = self->CopyFrameToRing(pData, nSize);
        const int64_t now = platform::QueryPerformanceCounter();
        const int32_t intervalMs = int32_t((now - self->m_nFrameMark) * 1000 / self->m_nFrameFrequency);
        self->m_nFrameMark = now;
        // Only when the receiver has taken the previous frame: the exchange's
        // release pairs with the take's re-arm, which clears the flag.
        if (slot >= 0 && ctx->pReceiver != nullptr && !ctx->bFramePosted.exchange(true, std::memory_order_acq_rel)) {
            // Whole milliseconds, passed as milliseconds x 1000.
            ctx->pReceiver->PostMessage(ctx->nFrameMessage, WPARAM(slot), LPARAM(std::trunc(intervalMs * 1000.0)));
        }
    } else if (nEvent == 1 && ctx->pReceiver != nullptr) {
        ctx->pReceiver->PostMessage(ctx->nDisconnectMessage, 0, 0);
    }
    LeaveCallback(*ctx);
    return ICUBE_CALLBACK_RESULT;
}

BOOL CCameraCtrl::ShotImage(void* pDest, int nSlot)
{
    return ShotImage(pDest, size_t(m_nFrameSize), nSlot, nullptr);
}

BOOL CCameraCtrl::ShotImage(void* pDest, size_t nDestSize, int nSlot, FRAME_INFO* pInfo)
{
    if (pDest == nullptr) {
        return FALSE;
    }
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]ShotImage()  not Streaming Error!"));
        return FALSE;
    }
    const int slot = nSlot < 0 ? m_Ring.LatestSlot() : nSlot;
    return m_Ring.Read(slot, pDest, nDestSize, pInfo) ? TRUE : FALSE;
}

BOOL CCameraCtrl::ShotImage(std::vector<uint8_t>& buffer, int nSlot, FRAME_INFO* pInfo)
{
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]ShotImage()  not Streaming Error!"));
        return FALSE;
    }
    const bool bOk = m_Ring.Use(nSlot < 0 ? m_Ring.LatestSlot() : nSlot, [&](const uint8_t* pData, const FRAME_INFO& info) {
        if (buffer.size() < info.nSize) {
            buffer.resize(info.nSize);
        }
        std::memcpy(buffer.data(), pData, info.nSize);
        if (pInfo != nullptr) {
            *pInfo = info;
        }
        return true;
    });
    return bOk ? TRUE : FALSE;
}

BOOL CCameraCtrl::ShotImageTo(int nSlot, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse)
{
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]ShotImage()  not Streaming Error!"));
        return FALSE;
    }
    // Re-armed before the copy: a frame that lands meanwhile is announced
    // rather than missed (its message then finds it taken, or a newer one).
    ResetFrameMessage();
    FRAME_INFO taken{};
    const bool bOk = m_Ring.Use(nSlot < 0 ? m_Ring.LatestSlot() : nSlot, [&](const uint8_t* pData, const FRAME_INFO& info) {
        taken = info;
        return fnUse(pData, info);
    });
    if (bOk && taken.nSequence > m_nLastTaken) {
        m_nLastTaken = taken.nSequence;
    }
    FrameTaken(bOk);
    return bOk ? TRUE : FALSE;
}

BOOL CCameraCtrl::ShotNewestImageTo(const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse)
{
    if (!IsStreaming()) {
        ResetFrameMessage();
        return FALSE;
    }
    ResetFrameMessage();
    uint64_t nSequence = 0;
    const bool bOk = m_Ring.UseNewest(m_nLastTaken, [&](const uint8_t* pData, const FRAME_INFO& info) {
        nSequence = info.nSequence;
        return fnUse(pData, info);
    });
    if (bOk) {
        m_nLastTaken = nSequence;
    }
    FrameTaken(bOk);
    return bOk ? TRUE : FALSE;
}

BOOL CCameraCtrl::ShotNewestImage(void* pDest, size_t nDestSize, FRAME_INFO* pInfo)
{
    if (pDest == nullptr) {
        return FALSE;
    }
    return ShotNewestImageTo([&](const uint8_t* pData, const FRAME_INFO& info) {
        if (info.nSize > nDestSize) {
            return false;
        }
        std::memcpy(pDest, pData, info.nSize);
        if (pInfo != nullptr) {
            *pInfo = info;
        }
        return true;
    });
}

void CCameraCtrl::FrameTaken(bool bTook)
{
    if (bTook) {
        m_nTaken.fetch_add(1, std::memory_order_relaxed);
    }
    // The counts every 5 s, so a run that is killed still leaves them.
    const int64_t now = platform::QueryPerformanceCounter();
    if (m_nFrameFrequency > 0 && now - m_nStatsMark >= 5 * m_nFrameFrequency) {
        m_nStatsMark = now;
        LogFrameStats();
    }
}

void CCameraCtrl::LogFrameStats() const
{
    Log(QString::asprintf("[CameraCtrl]Frames delivered:%llu taken:%llu", static_cast<unsigned long long>(GetFramesDelivered()),
                          static_cast<unsigned long long>(GetFramesTaken())));
}
