#include "platform/MessageReceiver.h"

#include <QCoreApplication>
#include <QEvent>

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

CMessageReceiver::CMessageReceiver(QObject* pParent) : QObject(pParent)
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
    auto* pEvent = new CPostedMessageEvent(nMessage, wParam, lParam);
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
