#include "app/WriteFailureText.h"

#include "app/MultiLanguageTranslator.h"
#include "platform/AtomicFile.h"

#include <QDir>

#include <cerrno>
#include <cstring>

QString WriteFailureReason(int nError)
{
    if (platform::FILE_WRITE_RESULT{nError}.DiskFull()) {
        return GetProgramString(IDS_REASON_DISK_FULL);
    }
    switch (nError) {
    case EACCES:
    case EROFS:
    case ENOTDIR:
    case ENOENT:
        return GetProgramString(IDS_REASON_NOT_WRITABLE);
    case EPERM:
        return GetProgramString(IDS_REASON_KEPT_UNREADABLE);
    case EILSEQ:
        return GetProgramString(IDS_REASON_UNSTORABLE_TEXT);
    default:
        return GetProgramString(IDS_REASON_WRITE_ERROR) + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(nError)) +
               QLatin1Char(')');
    }
}

QString SettingsNotSavedText(const QString& path, int nError)
{
    return GetProgramString(IDS_SETTINGS_NOT_SAVED) + QLatin1Char('\n') + QDir::toNativeSeparators(path) +
           QLatin1Char('\n') + WriteFailureReason(nError);
}
