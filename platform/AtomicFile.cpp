#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

thread_local int t_nLastWriteError = 0;

// "<name>.~" and six letters or digits: never a name a user gives a file.
const QString kTempMark = QStringLiteral(".~");
constexpr int kTempRandomChars = 6;

QString TempSiblingPath(const QString& path)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString s = path + kTempMark;
    for (int i = 0; i < kTempRandomChars; ++i) {
        s += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof(kChars) - 1))]);
    }
    return s;
}

#ifndef _WIN32
int WriteAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (w == 0) {
            return ENOSPC;
        }
        p += w;
        n -= size_t(w);
    }
    return 0;
}

int WriteAndReplace(const QString& path, const char* pData, size_t nSize)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool bHadFile = ::stat(target.constData(), &old) == 0;
    if (bHadFile && !S_ISREG(old.st_mode)) {
        return EISDIR;
    }
    QByteArray temp;
    int fd = -1;
    for (int nTry = 0; fd < 0 && nTry < 16; ++nTry) {
        temp = QFile::encodeName(TempSiblingPath(path));
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST && errno != EINTR) {
            return errno;
        }
    }
    if (fd < 0) {
        return EEXIST;
    }
    int nError = WriteAll(fd, pData, nSize);
    if (nError == 0 && bHadFile) {
        ::fchmod(fd, old.st_mode & 07777); // the replacement keeps the file's permissions
    }
    if (nError == 0 && ::fsync(fd) != 0) {
        nError = errno;
    }
    if (::close(fd) != 0 && nError == 0 && errno != EINTR) {
        nError = errno;
    }
    if (nError == 0 && ::rename(temp.constData(), target.constData()) != 0) {
        nError = errno;
    }
    if (nError != 0) {
        ::unlink(temp.constData());
        return nError;
    }
    // The new name itself survives a power cut only once its folder is synced.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return 0;
}
#else
int WriteAndReplace(const QString& path, const char* pData, size_t nSize)
{
    if (QFileInfo(path).isDir()) {
        return EISDIR;
    }
    const QString temp = TempSiblingPath(path);
    QFile f(temp);
    bool bOk = f.open(QIODevice::WriteOnly | QIODevice::NewOnly) && f.write(pData, qint64(nSize)) == qint64(nSize) &&
               f.flush();
    f.close();
    bOk = bOk && f.error() == QFileDevice::NoError;
    std::error_code ec;
    if (bOk) {
        std::filesystem::rename(std::filesystem::path(temp.toStdWString()), std::filesystem::path(path.toStdWString()),
                                ec);
    }
    if (!bOk || ec) {
        QFile::remove(temp);
        return EIO;
    }
    return 0;
}
#endif

} // namespace

bool FILE_WRITE_RESULT::DiskFull() const
{
#ifdef EDQUOT
    if (nError == EDQUOT) {
        return true;
    }
#endif
    return nError == ENOSPC || nError == EFBIG;
}

FILE_WRITE_RESULT WriteFileAtomically(const QString& path, const void* pData, size_t nSize)
{
    t_nLastWriteError = path.isEmpty() ? ENOENT : WriteAndReplace(path, static_cast<const char*>(pData), nSize);
    return FILE_WRITE_RESULT{t_nLastWriteError};
}

int LastFileWriteError()
{
    return t_nLastWriteError;
}

int ProbeFolderWritable(const QString& folder)
{
    if (!QFileInfo(folder).isDir()) {
        return ENOENT;
    }
    const QString probe = TempSiblingPath(QDir(folder).filePath(QStringLiteral(".probe")));
#ifndef _WIN32
    const QByteArray name = QFile::encodeName(probe);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    ::close(fd);
    ::unlink(name.constData());
    return 0;
#else
    QFile f(probe);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return EACCES;
    }
    f.close();
    f.remove();
    return 0;
#endif
}

bool IsTempSiblingName(const QString& target, const QString& name)
{
    if (name.size() != target.size() + kTempMark.size() + kTempRandomChars || !name.startsWith(target) ||
        QStringView(name).mid(target.size(), kTempMark.size()) != kTempMark) {
        return false;
    }
    for (const QChar c : QStringView(name).right(kTempRandomChars)) {
        if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z')))) {
            return false;
        }
    }
    return true;
}

int RemoveStaleTempSiblings(const QString& path)
{
    const QFileInfo target(path);
    QDir folder = target.absoluteDir();
    const QString name = target.fileName();
    int nRemoved = 0;
    const QStringList candidates =
        folder.entryList(QStringList(name + kTempMark + QStringLiteral("*")), QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& candidate : candidates) {
        if (IsTempSiblingName(name, candidate) && folder.remove(candidate)) {
            ++nRemoved;
        }
    }
    return nRemoved;
}

} // namespace platform
