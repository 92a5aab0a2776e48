// One running copy of the program per user. The first start holds a lock that
// the system releases when the process ends, however it ends, so a crashed
// copy never blocks the next start; it also listens on a local socket through
// which a later start asks it to bring its window to the front.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace platform {

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    enum RESULT {
        SI_FIRST,           // this process is the running copy now
        SI_ALREADY_RUNNING, // another live process holds the lock
        SI_UNGUARDED,       // the lock could not be made at all; run without the guard
    };

    // name is fixed for the program; the lock and the socket lie in a folder
    // of the current user, so other users are not affected.
    explicit CSingleInstance(const QString& name, QObject* pParent = nullptr);
    ~CSingleInstance() override;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Takes the lock without waiting and, when it is ours, starts listening.
    RESULT Acquire();
    bool IsFirst() const { return m_Result == SI_FIRST; }
    // Lets the lock go and stops listening (process end does the same).
    void Release();

    // From a later start: asks the running copy to raise its window. true
    // when the request was handed to it within nTimeoutMs. The running copy
    // may still be starting up; it acts once its event loop runs.
    bool RequestActivate(int nTimeoutMs = 3000) const;

    // In the running copy: called on this object's thread for every request.
    // A request that came before any handler was set is handed to the first
    // handler set.
    void SetActivateHandler(std::function<void()> handler);

    QString GetLockFilePath() const { return m_LockPath; }
    QString GetServerName() const { return m_ServerName; }

private:
    void OnNewConnection();
    void ReadRequests(QLocalSocket* pSocket);

    QString m_LockPath;
    QString m_ServerName;
    RESULT m_Result = SI_UNGUARDED;
    bool m_bHeld = false;
#ifdef _WIN32
    std::unique_ptr<QLockFile> m_pLockFile;
#else
    int m_nLockFd = -1;
#endif
    QLocalServer* m_pServer = nullptr;
    std::function<void()> m_ActivateHandler;
    int m_nPendingRequests = 0;
};

} // namespace platform
