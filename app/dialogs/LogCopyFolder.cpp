#include "app/dialogs/LogCopyFolder.h"

#include "app/LogFile.h"
#include "app/QSFileAccess.h"
#include "platform/ModuleFolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The absolute, link-free form of a path whose last parts may not exist yet.
QString ResolvedPath(const QString& path)
{
    QFileInfo fi(QDir::cleanPath(QDir(path).absolutePath()));
    QStringList missing;
    while (!fi.exists() && !fi.isRoot() && !fi.filePath().isEmpty()) {
        missing.prepend(fi.fileName());
        fi = QFileInfo(fi.absolutePath());
    }
    QString base = fi.exists() ? fi.canonicalFilePath() : fi.absoluteFilePath();
    for (const QString& part : missing) {
        base = QDir(base).filePath(part);
    }
    return QDir::cleanPath(base);
}

} // namespace

QString LogFolderInUse(const CLogFile* pLog, const QString& configured)
{
    const QString file = pLog != nullptr ? pLog->GetFilePath() : QString();
    if (!file.isEmpty()) {
        return CQSFileAccess::AddBackslash(QFileInfo(file).absolutePath());
    }
    return configured;
}

BOOL IsCopyIntoLogFolder(const QString& logFolder, const QString& destFolder)
{
    if (logFolder.isEmpty() || destFolder.isEmpty()) {
        return FALSE;
    }
    const QString source = ResolvedPath(logFolder);
    const QString target = ResolvedPath(QDir(destFolder).filePath(QStringLiteral("Log")));
    return (target == source || target.startsWith(source + QLatin1Char('/'))) ? TRUE : FALSE;
}

LOG_COPY_RESULT CopyLogFolderTo(CLogFile* pLog, const QString& configured, const QString& destFolder)
{
    const QString source = LogFolderInUse(pLog, configured);
    if (IsCopyIntoLogFolder(source, destFolder)) {
        return LOG_COPY_INTO_ITSELF;
    }
    if (pLog != nullptr) {
        pLog->CloseForReopen();
    }
    const BOOL bOk = CQSFileAccess::CopyFolder(
        source, CQSFileAccess::AddBackslash(destFolder) + QStringLiteral("Log") + platform::PathSeparator(),
        QStringLiteral("*.*"));
    if (pLog != nullptr) {
        pLog->ReopenLogFile();
    }
    return bOk ? LOG_COPY_DONE : LOG_COPY_FAILED;
}
