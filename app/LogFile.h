// The program-wide log: one file per start, one time-stamped UTF-8 line per
// operation, safe to write from any thread.
#pragma once

#include "platform/WinTypes.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <mutex>

class CLogFile {
public:
    CLogFile();
    ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Deletes log files older than nDays, then opens a new file in folder.
    // nDays 0 turns logging off (returns 1, opens nothing).
    BOOL Open(const QString& folder, int32_t nDays, const QString& title = QStringLiteral("LogFile"));
    BOOL WriteLog(const QString& message);
    BOOL CloseForReopen();
    BOOL ReopenLogFile();
    void Close();

    BOOL IsOpen() const { return m_bOpen; }
    QString GetFilePath() const;

    // Removes files named title-YYYYMMDD-HHMMSS.txt in folder whose time
    // lies more than nDays before now; nothing else is touched.
    static int DeleteOldLogFiles(const QString& folder, const QString& title, int32_t nDays, const QDateTime& now);
    static QString LogFileName(const QString& title, const QDateTime& time);

private:
    bool OpenNewFileLocked();
    bool WriteLineLocked(const QString& message);

    QString m_LogFolder;
    QString m_Title = QStringLiteral("LogFile");
    int32_t m_nDays = 10;
    mutable std::mutex m_Mutex;
    BOOL m_bOpen = FALSE;
    BOOL m_bClosedForReopen = FALSE;
    QString m_FilePath;
    QFile m_File;
};

// The log that WriteLog writes to; the application object sets it.
void SetProgramLog(CLogFile* pLog);
BOOL WriteLog(const QString& message);
