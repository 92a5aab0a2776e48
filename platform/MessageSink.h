// Where a Qt-free component sends its posted notifications. The GUI side
// implements it with platform::PostMessage; tests record the messages.
#pragma once

#include "platform/WinTypes.h"

#include <mutex>
#include <vector>

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void PostMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) = 0;
};

struct POSTED_MESSAGE {
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
};

// Keeps every message in order; safe to post from several threads.
class CRecordingSink : public IMessageSink {
public:
    void PostMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Messages.push_back({nMessage, wParam, lParam});
    }
    std::vector<POSTED_MESSAGE> Take()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        std::vector<POSTED_MESSAGE> out;
        out.swap(m_Messages);
        return out;
    }

private:
    std::mutex m_Mutex;
    std::vector<POSTED_MESSAGE> m_Messages;
};
