#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <algorithm>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kActivateRequest = QByteArrayLiteral("ACTIVATE\n");

// A folder only the current user can write to; empty when there is none.
QString UserFolder()
{
#ifdef _WIN32
    return QDir::tempPath(); // per user on Windows
#else
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).ownerId() == ::getuid()) {
        return QDir(runtime).absolutePath();
    }
    const QString folder = QDir::tempPath() + QStringLiteral("/pixmetra-") + QString::number(::getuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    // Someone else's folder under our name would let them hold our lock.
    const QFileInfo info(folder);
    return info.isDir() && info.ownerId() == ::getuid() ? folder : QString();
#endif
}

} // namespace

namespace platform {

CSingleInstance::CSingleInstance(const QString& name, QObject* pParent) : QObject(pParent)
{
    const QString folder = UserFolder();
    if (folder.isEmpty()) {
        return; // nowhere safe to lock: Acquire reports the guard as unavailable
    }
    m_LockPath = folder + QLatin1Char('/') + name + QStringLiteral(".lock");
#ifdef _WIN32
    // Pipe names are global; the user's name keeps users apart.
    m_ServerName = name + QLatin1Char('-') + qEnvironmentVariable("USERNAME");
#else
    // A path in the user's own folder: the socket is private to the user.
    m_ServerName = folder + QLatin1Char('/') + name + QStringLiteral(".socket");
#endif
}

CSingleInstance::~CSingleInstance()
{
    Release();
}

CSingleInstance::RESULT CSingleInstance::Acquire()
{
    if (m_bHeld) {
        return SI_FIRST;
    }
    if (m_LockPath.isEmpty()) {
        m_Result = SI_UNGUARDED;
        return m_Result;
    }
#ifdef _WIN32
    m_pLockFile = std::make_unique<QLockFile>(m_LockPath);
    // Age never makes the lock stale; only the death of its owner does.
    m_pLockFile->setStaleLockTime(0);
    if (!m_pLockFile->tryLock(0)) {
        const bool bBusy = m_pLockFile->error() == QLockFile::LockFailedError;
        m_pLockFile.reset();
        m_Result = bBusy ? SI_ALREADY_RUNNING : SI_UNGUARDED;
        return m_Result;
    }
#else
    // flock belongs to the open file: the kernel drops it when the process
    // dies, and a reused process id can never keep it alive. The file itself
    // is never removed, so two starts always lock the same file.
    const int fd = ::open(QFile::encodeName(m_LockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_Result = SI_UNGUARDED;
        return m_Result;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool bBusy = errno == EWOULDBLOCK;
        ::close(fd);
        m_Result = bBusy ? SI_ALREADY_RUNNING : SI_UNGUARDED;
        return m_Result;
    }
    m_nLockFd = fd;
    // The owner's id, for a person looking at the file; nothing reads it.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t n = ::write(fd, pid.constData(), size_t(pid.size()));
    }
#endif
    m_bHeld = true;
    m_Result = SI_FIRST;

    // Holding the lock, any socket left under our name belongs to a copy that
    // has died.
    QLocalServer::removeServer(m_ServerName);
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_pServer->listen(m_ServerName)) {
        connect(m_pServer, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    } else {
        // Still the only copy; a later start just cannot raise our window.
        delete m_pServer;
        m_pServer = nullptr;
    }
    return m_Result;
}

void CSingleInstance::Release()
{
    if (m_pServer != nullptr) {
        m_pServer->close();
        delete m_pServer;
        m_pServer = nullptr;
    }
#ifdef _WIN32
    m_pLockFile.reset();
#else
    if (m_nLockFd >= 0) {
        ::close(m_nLockFd);
        m_nLockFd = -1;
    }
#endif
    m_bHeld = false;
}

bool CSingleInstance::RequestActivate(int nTimeoutMs) const
{
    // The running copy takes its lock a moment before it listens: retry a
    // refused connection until the time is up.
    if (m_ServerName.isEmpty()) {
        return false;
    }
    const QDeadlineTimer deadline(nTimeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_ServerName);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime())))) {
            break;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    socket.write(kActivateRequest);
    bool bSent = true;
    while (bSent && socket.bytesToWrite() > 0) {
        bSent = socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(100);
    }
    return bSent;
}

void CSingleInstance::SetActivateHandler(std::function<void()> handler)
{
    m_ActivateHandler = std::move(handler);
    if (m_ActivateHandler && m_nPendingRequests > 0) {
        m_nPendingRequests = 0;
        m_ActivateHandler();
    }
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        pSocket->setParent(this);
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] { ReadRequests(pSocket); });
        connect(pSocket, &QLocalSocket::disconnected, this, [this, pSocket] {
            ReadRequests(pSocket);
            pSocket->deleteLater();
        });
        ReadRequests(pSocket);
    }
}

void CSingleInstance::ReadRequests(QLocalSocket* pSocket)
{
    while (pSocket->canReadLine()) {
        const QByteArray line = pSocket->readLine(64);
        if (line != kActivateRequest) {
            continue;
        }
        if (m_ActivateHandler) {
            m_ActivateHandler();
        } else {
            ++m_nPendingRequests;
        }
    }
    // A peer that talks without ever ending a line is not one of us.
    if (pSocket->bytesAvailable() > 256) {
        pSocket->abort();
    }
}

} // namespace platform
