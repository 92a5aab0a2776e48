// Posted window messages on top of Qt's event loop. PostMessage may be called
// from any thread; the receiver's OnMessage runs on the thread that owns it
// (the UI thread), in the order the messages were posted. A receiver that is
// destroyed drops its pending messages; posting to it afterwards is refused.
// Each receiver keeps room for one event that is used again and again, so a
// message that is never outstanding twice (a frame's) costs no allocation.
#pragma once

#include "platform/MessageSink.h"

#include <QObject>

#include <mutex>
#include <vector>

class CMessageReceiver;
namespace platform {
// FALSE when the receiver is null or already destroyed.
BOOL PostMessage(CMessageReceiver* pReceiver, UINT nMessage, WPARAM wParam, LPARAM lParam);
}

class CMessageReceiver : public QObject {
public:
    explicit CMessageReceiver(QObject* pParent = nullptr);
    ~CMessageReceiver() override;

    struct EVENT_ROOM;

protected:
    virtual void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) = 0;
    bool event(QEvent* pEvent) override;

private:
    friend BOOL platform::PostMessage(CMessageReceiver* pReceiver, UINT nMessage, WPARAM wParam, LPARAM lParam);
    EVENT_ROOM* m_pRoom;
};

// Hands every message to a member function of its owner, so a window needs
// no receiver class of its own.
template <class T, void (T::*Handler)(UINT, WPARAM, LPARAM)>
class CMemberReceiver : public CMessageReceiver {
public:
    explicit CMemberReceiver(T* pOwner) : m_pOwner(pOwner) {}

protected:
    void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override
    {
        (m_pOwner->*Handler)(nMessage, wParam, lParam);
    }

private:
    T* m_pOwner;
};

// An IMessageSink that forwards to a receiver through platform::PostMessage.
class CReceiverSink : public IMessageSink {
public:
    explicit CReceiverSink(CMessageReceiver* pReceiver) : m_pReceiver(pReceiver) {}
    void PostMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override
    {
        platform::PostMessage(m_pReceiver, nMessage, wParam, lParam);
    }

private:
    CMessageReceiver* m_pReceiver;
};

// Records what it receives, for tests.
class CRecordingReceiver : public CMessageReceiver {
public:
    std::vector<POSTED_MESSAGE> Take();
    size_t Count();

protected:
    void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override;

private:
    std::mutex m_Mutex;
    std::vector<POSTED_MESSAGE> m_Messages;
};
