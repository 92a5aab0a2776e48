#include "app/LogFile.h"

#include "platform/ModuleFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <atomic>

namespace {
std::atomic<CLogFile*> g_pProgramLog{nullptr};
}

void SetProgramLog(CLogFile* pLog)
{
    g_pProgramLog = pLog;
}

BOOL WriteLog(const QString& message)
{
    CLogFile* pLog = g_pProgramLog;
    return pLog != nullptr ? pLog->WriteLog(message) : FALSE;
}

CLogFile::CLogFile() = default;

CLogFile::~CLogFile()
{
    Close();
}

QString CLogFile::LogFileName(const QString& title, const QDateTime& time)
{
    return title + QLatin1Char('-') + time.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".txt");
}

QString CLogFile::GetFilePath() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_FilePath;
}

int CLogFile::DeleteOldLogFiles(const QString& folder, const QString& title, int32_t nDays, const QDateTime& now)
{
    if (nDays < 1 || folder.isEmpty() || title.isEmpty()) {
        return 0;
    }
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(title) +
                                     QStringLiteral("-(\\d{8}-\\d{6})\\.txt$"));
    const int64_t limit = int64_t(nDays) * 86400;
    int nDeleted = 0;
    const QDir dir(folder);
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (fi.isSymLink() || !fi.isFile()) {
            continue;
        }
        const QRegularExpressionMatch m = pattern.match(fi.fileName());
        if (!m.hasMatch()) {
            continue;
        }
        const QDateTime t = QDateTime::fromString(m.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
        if (!t.isValid()) {
            continue;
        }
        const int64_t age = t.secsTo(now);
        if (age > limit && QFile::remove(fi.absoluteFilePath())) {
            ++nDeleted;
        }
    }
    return nDeleted;
}

bool CLogFile::OpenNewFileLocked()
{
    m_bOpen = FALSE;
    if (!QDir().mkpath(m_LogFolder)) {
        return false;
    }
    m_FilePath = QDir(m_LogFolder).filePath(LogFileName(m_Title, QDateTime::currentDateTime()));
    m_File.setFileName(m_FilePath);
    // Appending: a second start within the same second keeps the first run's lines.
    m_bOpen = m_File.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ? TRUE : FALSE;
    return m_bOpen;
}

BOOL CLogFile::Open(const QString& folder, int32_t nDays, const QString& title)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_bOpen || folder.isEmpty()) {
        return FALSE;
    }
    m_LogFolder = platform::NativePath(folder);
    m_Title = title.isEmpty() ? QStringLiteral("LogFile") : title;
    m_nDays = nDays;
    if (nDays <= 0) {
        return TRUE; // logging is off
    }
    DeleteOldLogFiles(m_LogFolder, m_Title, nDays, QDateTime::currentDateTime());
    return OpenNewFileLocked() ? TRUE : FALSE;
}

bool CLogFile::WriteLineLocked(const QString& message)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const QString line = QString::asprintf("[%4d/%02d/%02d %02d:%02d:%02d:%03d]  ", d.year(), d.month(), d.day(),
                                           t.hour(), t.minute(), t.second(), t.msec()) +
                         message + QStringLiteral("\r\n");
    const QByteArray bytes = line.toUtf8();
    return m_File.write(bytes) == bytes.size() && m_File.flush();
}

BOOL CLogFile::WriteLog(const QString& message)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen || m_bClosedForReopen || !m_File.isOpen()) {
        return FALSE;
    }
    return WriteLineLocked(message) ? TRUE : FALSE;
}

BOOL CLogFile::CloseForReopen()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen || m_bClosedForReopen) {
        return FALSE;
    }
    WriteLineLocked(QStringLiteral("[LOG]CloseForReopen() Close File.") + m_FilePath);
    m_File.close();
    m_bClosedForReopen = TRUE;
    return TRUE;
}

BOOL CLogFile::ReopenLogFile()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bClosedForReopen) {
        return FALSE;
    }
    m_File.setFileName(m_FilePath);
    const bool bExisted = QFileInfo(m_FilePath).isFile();
    if (bExisted && m_File.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_bClosedForReopen = FALSE;
        WriteLineLocked(QStringLiteral("***[LOG]ReopenLogFile()  Reopen OK.  ") + m_FilePath);
        return TRUE;
    }
    m_bClosedForReopen = FALSE;
    const bool bOk = OpenNewFileLocked();
    if (bOk) {
        WriteLineLocked(QStringLiteral("[LOG]ReopenLogFile() LogFile.Open Error!  ") + m_FilePath);
    }
    return bOk ? TRUE : FALSE;
}

void CLogFile::Close()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_File.isOpen()) {
        m_File.close();
    }
    m_bOpen = FALSE;
    m_bClosedForReopen = FALSE;
}
