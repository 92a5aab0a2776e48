// File and folder operations: path splitting, folder creation, deletion,
// copying and sorted listings. The file and folder dialogs are reached
// through a provider that the GUI installs; without one they answer "cancel".
#pragma once

#include "platform/WinTypes.h"

#include <QString>
#include <QStringList>

// A string array sorted by ordinal, case-sensitive comparison of code units.
class CSortableStringArray : public QStringList {
public:
    void Sort();
};

class IFileDialogProvider {
public:
    virtual ~IFileDialogProvider() = default;
    virtual QString SelectFile(BOOL bOpen, const QString& defExt, const QString& initialFolder,
                               const QString& filter, BOOL bOverwritePrompt) = 0;
    virtual QString SelectFolder(const QString& initialFolder) = 0;
};

class CQSFileAccess {
public:
    virtual ~CQSFileAccess() = default;

    static void SetDialogProvider(IFileDialogProvider* pProvider);
    QString SelectFile(BOOL bOpen, const QString& defExt, const QString& initialFolder, const QString& filter,
                       BOOL bOverwritePrompt);
    QString SelectCsvFile(const QString& initialFolder);
    QString SelectImageFile(BOOL bOpen, const QString& initialFolder, BOOL bBothFormats, int32_t nFormat,
                            BOOL bOverwritePrompt);
    QString SelectFolder(const QString& initialFolder);
    // The filter strings the dialogs are given.
    static QString DefaultFilter(const QString& ext);
    static QString ImageFilter(BOOL bBothFormats, int32_t nFormat);

    static QString AddBackslash(const QString& path);
    static QString GetFileExt(const QString& path);
    static QString GetFileName(const QString& path);
    static QString GetFolderPath(const QString& path);
    static QString GetFileTitle(const QString& path);
    static QString GetModuleFolder();
    static BOOL IsFileExist(const QString& path);
    // TRUE when the folder exists afterwards.
    static BOOL CreateFolder(const QString& path);
    static BOOL DeleteFiles(const QString& folder, const QString& pattern);
    static BOOL DeleteFolder(const QString& folder);
    // Refuses a destination equal to or inside the source.
    static BOOL CopyFolder(const QString& source, const QString& destination, const QString& pattern);
    static BOOL GetFolderList(const QString& folder, CSortableStringArray& out);
    static BOOL GetFileList(const QString& folder, const QString& pattern, CSortableStringArray* pOut);
    // Windows-style wildcard match without regard to case; "*.*" matches all.
    static bool MatchPattern(const QString& name, const QString& pattern);
};
