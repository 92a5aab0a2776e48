// Copying the program's log folder while the log is being written: the log
// is closed for the copy and reopened after it, in the same file.
#pragma once

#include "platform/WinTypes.h"

#include <QString>

class CLogFile;

enum LOG_COPY_RESULT {
    LOG_COPY_DONE,
    LOG_COPY_FAILED,      // a file could not be copied, or the folder is missing
    LOG_COPY_INTO_ITSELF, // the copy would land inside the folder it copies
};

// The folder the log file is really written to: that of the open file, or
// configured when no file is open (logging off).
QString LogFolderInUse(const CLogFile* pLog, const QString& configured);
// TRUE when destFolder + "Log" is the log folder or lies inside it.
BOOL IsCopyIntoLogFolder(const QString& logFolder, const QString& destFolder);
// Copies the log folder in use to destFolder + "Log/". A destination inside
// the log folder is refused before the log is touched.
LOG_COPY_RESULT CopyLogFolderTo(CLogFile* pLog, const QString& configured, const QString& destFolder);
