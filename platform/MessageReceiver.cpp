#include "platform/MessageReceiver.h"

#include <QCoreApplication>
#include <QEvent>

#include <atomic>
#include <new>
#include <unordered_set>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* pAddr);
extern "C" void __tsan_release(void* pAddr);
#endif

namespace {

// Qt's event queue orders a posted event's construction before its
// delivery, but ThreadSanitizer cannot see that inside a Qt built without
// it; these tell it, and do nothing in other builds.
void PublishEvent(QEvent* pEvent)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(pEvent);
#else
    (void)pEvent;
#endif
}

void ReceiveEvent(QEvent* pEvent)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(pEvent);
#else
    (void)pEvent;
#endif
}

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class CPostedMessageEvent : public QEvent {
public:
    CPostedMessageEvent(UINT nMessage, WPARAM wParam, LPARAM lParam)
        : QEvent(kPostedMessageEvent), m_Message{nMessage, wParam, lParam}
    {
    }
    POSTED_MESSAGE m_Message;
};

} // namespace

// Room for one event, owned by its receiver. Qt deletes a posted event after
// delivering it; the event placed here gives its room back instead of
// freeing it. A receiver destroyed while its event still lives (inside that
// event's delivery) leaves the room for the event to free.
struct CMessageReceiver::EVENT_ROOM {
    alignas(CPostedMessageEvent) unsigned char room[sizeof(CPostedMessageEvent)];
    std::atomic<int> nState{0}; // 0 free, 1 holds an event, 2 holds one and the receiver is gone
};

namespace {

class CReusedMessageEvent : public CPostedMessageEvent {
public:
    using CPostedMessageEvent::CPostedMessageEvent;
    static void operator delete(void* p)
    {
        // The room is the first member, so the event's address is the room's.
        auto* pRoom = static_cast<CMessageReceiver::EVENT_ROOM*>(p);
        if (pRoom->nState.exchange(0, std::memory_order_acq_rel) == 2) {
            delete pRoom;
        }
    }
};

// Live receivers. Posting checks membership under the same lock that the
// destructor takes, so a message never reaches a receiver being destroyed.
std::mutex& RegistryMutex()
{
    static std::mutex mutex;
    return mutex;
}
std::unordered_set<const CMessageReceiver*>& Registry()
{
    static std::unordered_set<const CMessageReceiver*> receivers;
    return receivers;
}

} // namespace

CMessageReceiver::CMessageReceiver(QObject* pParent) : QObject(pParent), m_pRoom(new EVENT_ROOM)
{
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry().insert(this);
}

CMessageReceiver::~CMessageReceiver()
{
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        Registry().erase(this);
    }
    QCoreApplication::removePostedEvents(this, kPostedMessageEvent);
    // No post can start now (the registry refuses); an event still held is
    // one being delivered on this thread, which frees the room when deleted.
    int held = 1;
    if (!m_pRoom->nState.compare_exchange_strong(held, 2, std::memory_order_acq_rel)) {
        delete m_pRoom;
    }
}

bool CMessageReceiver::event(QEvent* pEvent)
{
    ReceiveEvent(pEvent);
    if (pEvent->type() == kPostedMessageEvent) {
        const POSTED_MESSAGE& msg = static_cast<CPostedMessageEvent*>(pEvent)->m_Message;
        OnMessage(msg.nMessage, msg.wParam, msg.lParam);
        return true;
    }
    return QObject::event(pEvent);
}

BOOL platform::PostMessage(CMessageReceiver* pReceiver, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (pReceiver == nullptr) {
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(RegistryMutex());
    if (Registry().count(pReceiver) == 0) {
        return FALSE;
    }
    CPostedMessageEvent* pEvent = nullptr;
    CMessageReceiver::EVENT_ROOM* pRoom = pReceiver->m_pRoom;
    int free = 0;
    if (pRoom->nState.compare_exchange_strong(free, 1, std::memory_order_acq_rel)) {
        pEvent = ::new (static_cast<void*>(pRoom->room)) CReusedMessageEvent(nMessage, wParam, lParam);
    } else {
        pEvent = new CPostedMessageEvent(nMessage, wParam, lParam); // a second message while one is queued
    }
    PublishEvent(pEvent);
    QCoreApplication::postEvent(pReceiver, pEvent);
    return TRUE;
}

void CRecordingReceiver::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Messages.push_back({nMessage, wParam, lParam});
}

std::vector<POSTED_MESSAGE> CRecordingReceiver::Take()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::vector<POSTED_MESSAGE> out;
    out.swap(m_Messages);
    return out;
}

size_t CRecordingReceiver::Count()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Messages.size();
}
