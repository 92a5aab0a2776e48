// Other copies of the program, played by the test binary itself.
#pragma once

#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QUuid>

#include <functional>

// argv: mode, instance name. Prints HELD (or BUSY) and holds the lock until killed.
constexpr const char* kChildHoldLock = "--child-hold-lock";
// argv: mode, instance name, program folder. Runs the start-up with a main
// window that prints RUNNER and returns 5; message boxes print
// "BOX|caption|text|type". Exits with the run's exit code.
constexpr const char* kChildStartProgram = "--child-start-program";

// An instance name no other test or program run uses.
inline QString UniqueInstanceName()
{
    return QStringLiteral("PixmetraTest-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

inline void StartChild(QProcess& process, const QStringList& args)
{
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(args);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start();
}

// Runs the event loop until done() or the time is up; done()'s last answer.
inline bool PumpUntil(const std::function<bool()>& done, int nTimeoutMs = 10000)
{
    const QDeadlineTimer deadline(nTimeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(10);
    }
    return true;
}

// Removes the lock and socket a run under name leaves in the user's folder.
struct INSTANCE_FILES {
    explicit INSTANCE_FILES(const QString& n) : name(n) {}
    ~INSTANCE_FILES()
    {
        const platform::CSingleInstance probe(name);
        QFile::remove(probe.GetLockFilePath());
        QLocalServer::removeServer(probe.GetServerName());
    }
    QString name;
};
