#include "app/QSFileAccess.h"

#include "app/UserFolders.h"
#include "platform/AtomicFile.h"
#include "platform/ModuleFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>

namespace {
std::atomic<IFileDialogProvider*> g_pDialogProvider{nullptr};

// Without a folder of their own, dialogs start where the user's pictures,
// videos and exports belong (the program folder only when it is portable).
QString StartFolder(const QString& initialFolder)
{
    return initialFolder.isEmpty() ? CurrentUserFolders().data : initialFolder;
}

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// Entries of a folder without "." and "..", links included as themselves.
QFileInfoList Entries(const QString& folder)
{
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::NoSort);
}

bool IsInside(const QString& child, const QString& parent)
{
    const QString c = QDir::cleanPath(child);
    const QString p = QDir::cleanPath(parent);
    return c == p || c.startsWith(p + QLatin1Char('/'));
}

QString Canonical(const QString& path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}
} // namespace

void CSortableStringArray::Sort()
{
    std::sort(begin(), end(), [](const QString& a, const QString& b) {
        return QStringView(a).compare(QStringView(b), Qt::CaseSensitive) < 0;
    });
}

void CQSFileAccess::SetDialogProvider(IFileDialogProvider* pProvider)
{
    g_pDialogProvider = pProvider;
}

QString CQSFileAccess::DefaultFilter(const QString& ext)
{
    return QStringLiteral("%1 File(*.%1)|*.%1||").arg(ext);
}

QString CQSFileAccess::ImageFilter(BOOL bBothFormats, int32_t nFormat)
{
    if (!bBothFormats) {
        // Opening: every format the image buffer reads, in one entry.
        return QStringLiteral("Image File (*.bmp:*.jpg:*.jpeg:*.png:*.tif:*.tiff)|*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff||");
    }
    return nFormat == 1 ? QStringLiteral("JPEG File (*.jpg)|*.jpg|BMP File (*.bmp)|*.bmp||")
                        : QStringLiteral("BMP File (*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg||");
}

QString CQSFileAccess::SelectFile(BOOL bOpen, const QString& defExt, const QString& initialFolder,
                                  const QString& filter, BOOL bOverwritePrompt)
{
    IFileDialogProvider* p = g_pDialogProvider;
    if (p == nullptr) {
        return QString();
    }
    return p->SelectFile(bOpen, defExt, StartFolder(initialFolder), filter.isEmpty() ? DefaultFilter(defExt) : filter,
                         bOverwritePrompt);
}

QString CQSFileAccess::SelectCsvFile(const QString& initialFolder)
{
    return SelectFile(FALSE, QStringLiteral("csv"), initialFolder, QString(), TRUE);
}

QString CQSFileAccess::SelectImageFile(BOOL bOpen, const QString& initialFolder, BOOL bBothFormats, int32_t nFormat,
                                       BOOL bOverwritePrompt)
{
    const QString ext = nFormat == 1 ? QStringLiteral("jpg") : QStringLiteral("bmp");
    return SelectFile(bOpen, ext, initialFolder, ImageFilter(bBothFormats, nFormat), bOverwritePrompt);
}

QString CQSFileAccess::SelectFolder(const QString& initialFolder)
{
    IFileDialogProvider* p = g_pDialogProvider;
    if (p == nullptr) {
        return QString();
    }
    const QString chosen = p->SelectFolder(StartFolder(initialFolder));
    return chosen.isEmpty() ? QString() : AddBackslash(chosen);
}

QString CQSFileAccess::AddBackslash(const QString& path)
{
    if (path.isEmpty() || IsSeparator(path.back())) {
        return path;
    }
    return path + platform::PathSeparator();
}

QString CQSFileAccess::GetFileExt(const QString& path)
{
    const QString name = GetFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QString CQSFileAccess::GetFileName(const QString& path)
{
    qsizetype i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1]) && path[i - 1] != QLatin1Char(':')) {
        --i;
    }
    return path.mid(i);
}

QString CQSFileAccess::GetFolderPath(const QString& path)
{
    return path.left(path.size() - GetFileName(path).size());
}

QString CQSFileAccess::GetFileTitle(const QString& path)
{
    const QString name = GetFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString CQSFileAccess::GetModuleFolder()
{
    return platform::GetModuleFolder();
}

BOOL CQSFileAccess::IsFileExist(const QString& path)
{
    if (path.isEmpty()) {
        return FALSE;
    }
    const QFileInfo fi(platform::NativePath(path));
    return (fi.exists() || fi.isSymLink()) ? TRUE : FALSE;
}

BOOL CQSFileAccess::CreateFolder(const QString& path)
{
    if (path.isEmpty()) {
        return FALSE;
    }
    const QString p = platform::NativePath(path);
    if (!QFileInfo(p).isDir()) {
        QDir().mkpath(p);
    }
    return QFileInfo(p).isDir() ? TRUE : FALSE;
}

bool CQSFileAccess::MatchPattern(const QString& name, const QString& pattern)
{
    if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*")) {
        return true;
    }
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

BOOL CQSFileAccess::DeleteFiles(const QString& folder, const QString& pattern)
{
    const QString dir = platform::NativePath(folder);
    if (!QFileInfo(dir).isDir()) {
        return TRUE;
    }
    for (const QFileInfo& fi : Entries(dir)) {
        if (!MatchPattern(fi.fileName(), pattern)) {
            continue;
        }
        if (fi.isSymLink() || !fi.isDir()) {
            // A link is removed itself; what it points to is never touched.
            if (!QFile::remove(fi.absoluteFilePath())) {
                return FALSE;
            }
            continue;
        }
        if (!DeleteFiles(fi.absoluteFilePath(), QStringLiteral("*.*")) || !QDir().rmdir(fi.absoluteFilePath())) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CQSFileAccess::DeleteFolder(const QString& folder)
{
    const QString dir = platform::NativePath(folder);
    const QFileInfo fi(dir);
    if (fi.isSymLink()) {
        return QFile::remove(dir) ? TRUE : FALSE;
    }
    if (!fi.isDir()) {
        return TRUE;
    }
    return (DeleteFiles(dir, QStringLiteral("*.*")) && QDir().rmdir(dir)) ? TRUE : FALSE;
}

BOOL CQSFileAccess::CopyFolder(const QString& source, const QString& destination, const QString& pattern)
{
    const QString src = platform::NativePath(source);
    const QString dst = platform::NativePath(destination);
    const QFileInfo si(src);
    if (!si.isDir() || si.isSymLink() || dst.isEmpty()) {
        return FALSE;
    }
    if (IsInside(Canonical(dst), Canonical(src)) || IsInside(QFileInfo(dst).absoluteFilePath(), si.absoluteFilePath())) {
        return FALSE;
    }
    if (!CreateFolder(dst)) {
        return FALSE;
    }
    for (const QFileInfo& fi : Entries(src)) {
        if (!MatchPattern(fi.fileName(), pattern) || fi.isSymLink()) {
            continue; // links are not followed out of the folder
        }
        const QString target = QDir(dst).filePath(fi.fileName());
        if (fi.isDir()) {
            if (!CopyFolder(fi.absoluteFilePath(), target, QStringLiteral("*.*"))) {
                return FALSE;
            }
            continue;
        }
        // A copy already there is replaced only by a complete one.
        QFile source(fi.absoluteFilePath());
        if (!source.open(QIODevice::ReadOnly)) {
            return FALSE;
        }
        const QByteArray bytes = source.readAll();
        if (source.error() != QFileDevice::NoError || !platform::WriteFileAtomically(target, bytes).Ok()) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CQSFileAccess::GetFolderList(const QString& folder, CSortableStringArray& out)
{
    out.clear();
    if (folder.isEmpty()) {
        return FALSE;
    }
    for (const QFileInfo& fi : Entries(platform::NativePath(folder))) {
        if (fi.isDir()) {
            out.append(fi.fileName());
        }
    }
    out.Sort();
    return TRUE;
}

BOOL CQSFileAccess::GetFileList(const QString& folder, const QString& pattern, CSortableStringArray* pOut)
{
    if (folder.isEmpty() || pOut == nullptr) {
        return FALSE;
    }
    pOut->clear();
    for (const QFileInfo& fi : Entries(platform::NativePath(folder))) {
        if (!fi.isDir() && MatchPattern(fi.fileName(), pattern)) {
            pOut->append(fi.fileName());
        }
    }
    pOut->Sort();
    return TRUE;
}
