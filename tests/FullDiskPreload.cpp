// Loaded with LD_PRELOAD: makes one folder behave as a full disk or as a
// folder that cannot be written, for files opened after the switch is set.
//   PIXMETRA_FULL_DISK_UNDER=<folder>  writes to files under the folder fail
//     with ENOSPC once files there have grown by PIXMETRA_FULL_DISK_AFTER
//     bytes (default 0) since either variable last changed. As on a real
//     disk, overwriting bytes a file already has takes no room, and cutting
//     a file shorter (ftruncate) gives the room back.
//   PIXMETRA_READ_ONLY_UNDER=<folder>  creating, opening for writing,
//     renaming, removing and making folders under it fail with EACCES, as
//     they do for a folder the user may not write (root included).
// Everything else goes to the system unchanged. Paths are compared as the
// kernel reports them (absolute, links resolved).
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

template <class F> F Next(const char* pName)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, pName));
}

bool Under(const char* pPrefix, const std::string& path)
{
    const size_t n = std::strlen(pPrefix);
    return n > 0 && path.compare(0, n, pPrefix) == 0 && (path.size() == n || pPrefix[n - 1] == '/' || path[n] == '/');
}

std::string FdPath(int fd)
{
    char link[64];
    char buf[4096];
    std::snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, buf, sizeof(buf) - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

// The absolute form of a path given to a call, its folder resolved.
std::string AbsolutePath(int dirfd, const char* pPath)
{
    if (pPath == nullptr) {
        return std::string();
    }
    std::string p(pPath);
    if (p.empty() || p[0] != '/') {
        std::string base;
        if (dirfd == AT_FDCWD) {
            char cwd[4096];
            base = getcwd(cwd, sizeof(cwd)) != nullptr ? cwd : "";
        } else {
            base = FdPath(dirfd);
        }
        p = base + "/" + p;
    }
    const size_t slash = p.rfind('/');
    char real[4096];
    const std::string folder = slash == 0 ? "/" : p.substr(0, slash);
    if (realpath(folder.c_str(), real) != nullptr) {
        return std::string(real) + p.substr(slash);
    }
    return p;
}

bool ReadOnly(int dirfd, const char* pPath)
{
    const char* pPrefix = std::getenv("PIXMETRA_READ_ONLY_UNDER");
    return pPrefix != nullptr && *pPrefix != 0 && Under(pPrefix, AbsolutePath(dirfd, pPath));
}

std::mutex g_Mutex;
std::string g_Key;
unsigned long long g_nWritten = 0;

// Where a write to fd without an offset goes: its position, or its end when appending.
off_t WritePosition(int fd, off_t nSize)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_APPEND) != 0 ? nSize : lseek(fd, 0, SEEK_CUR);
}

bool OnFullDisk(int fd)
{
    const char* pPrefix = std::getenv("PIXMETRA_FULL_DISK_UNDER");
    return pPrefix != nullptr && *pPrefix != 0 && Under(pPrefix, FdPath(fd));
}

// The room left on the full disk, the counter reset when a switch changed;
// false when fd is not on the full disk. Call with g_Mutex held.
bool Budget(int fd, unsigned long long& nLeft)
{
    if (!OnFullDisk(fd)) {
        return false;
    }
    const char* pPrefix = std::getenv("PIXMETRA_FULL_DISK_UNDER");
    const char* pAfter = std::getenv("PIXMETRA_FULL_DISK_AFTER");
    const unsigned long long nBudget = pAfter != nullptr ? std::strtoull(pAfter, nullptr, 10) : 0;
    const std::string key = std::string(pPrefix) + '\n' + (pAfter != nullptr ? pAfter : "");
    if (key != g_Key) {
        g_Key = key;
        g_nWritten = 0;
    }
    nLeft = nBudget > g_nWritten ? nBudget - g_nWritten : 0;
    return true;
}

// How many of n bytes written to fd at nAt (-1: at its position) the disk
// still takes; -1 when fd is not on the full disk.
long long Allowed(int fd, size_t n, off_t nAt)
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    unsigned long long nLeft = 0;
    struct stat st {};
    if (!Budget(fd, nLeft) || fstat(fd, &st) != 0) {
        return -1;
    }
    const long long nSize = (long long)st.st_size;
    const long long nFrom = nAt >= 0 ? (long long)nAt : (long long)WritePosition(fd, st.st_size);
    // Bytes up to the file's end are there already; only growth takes room.
    const long long nRoom = nSize + (long long)nLeft - nFrom;
    const long long nTake = nRoom <= 0 ? 0 : ((unsigned long long)nRoom < n ? nRoom : (long long)n);
    const long long nGrowth = nFrom + nTake - nSize;
    g_nWritten += nGrowth > 0 ? (unsigned long long)nGrowth : 0;
    return nTake;
}

// The part of a write the disk still takes; false (errno ENOSPC) when none.
bool Limit(int fd, size_t& n, off_t nAt = -1)
{
    const long long nAllowed = Allowed(fd, n, nAt);
    if (nAllowed < 0) {
        return true;
    }
    if (nAllowed == 0 && n > 0) {
        errno = ENOSPC;
        return false;
    }
    n = size_t(nAllowed);
    return true;
}

// A file under the full disk cut from nOldSize to nLength gives its room back.
void GiveBack(int fd, off_t nOldSize, off_t nLength)
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    unsigned long long nLeft = 0;
    if (Budget(fd, nLeft) && nLength < nOldSize) {
        const unsigned long long nFreed = (unsigned long long)(nOldSize - nLength);
        g_nWritten = g_nWritten > nFreed ? g_nWritten - nFreed : 0;
    }
}

// ftruncate and ftruncate64: the cut, then the room it frees. Other files
// are left alone (other preloaded libraries answer fstat for theirs).
template <class OFF> int Truncate(const char* pName, int fd, OFF nLength)
{
    struct stat st {};
    const bool bSized = OnFullDisk(fd) && fstat(fd, &st) == 0;
    const int r = Next<int (*)(int, OFF)>(pName)(fd, nLength);
    if (r == 0 && bSized) {
        GiveBack(fd, st.st_size, off_t(nLength));
    }
    return r;
}

bool WantsWrite(int flags)
{
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

mode_t ModeOf(int flags, va_list ap)
{
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(ap, int)) : 0;
}

// The mode argument of an open call, present only when it creates.
#define MODE_ARG(flags)                        \
    __extension__({                            \
        va_list ap;                            \
        va_start(ap, flags);                   \
        const mode_t nMode = ModeOf(flags, ap); \
        va_end(ap);                            \
        nMode;                                 \
    })

bool ModeWrites(const char* pMode)
{
    return pMode != nullptr && std::strpbrk(pMode, "wa+") != nullptr;
}

// A call that would change the read-only folder: refused with EACCES.
bool Refused(int dirfd, const char* pPath, bool bWrites)
{
    if (bWrites && ReadOnly(dirfd, pPath)) {
        errno = EACCES;
        return true;
    }
    return false;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int PixmetraFullDisk_Loaded()
{
    return 1;
}

ssize_t write(int fd, const void* p, size_t n)
{
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return Limit(fd, n) ? real(fd, p, n) : -1;
}

ssize_t pwrite(int fd, const void* p, size_t n, off_t at)
{
    static auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return Limit(fd, n, at) ? real(fd, p, n, at) : -1;
}

ssize_t pwrite64(int fd, const void* p, size_t n, off64_t at)
{
    static auto real = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return Limit(fd, n, off_t(at)) ? real(fd, p, n, at) : -1;
}

ssize_t writev(int fd, const struct iovec* pIov, int nIov)
{
    static auto real = Next<ssize_t (*)(int, const struct iovec*, int)>("writev");
    size_t n = 0;
    for (int i = 0; i < nIov; ++i) {
        n += pIov[i].iov_len;
    }
    const size_t nAll = n;
    if (!Limit(fd, n)) {
        return -1;
    }
    if (n == nAll) {
        return real(fd, pIov, nIov);
    }
    static auto realWrite = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return nIov > 0 ? realWrite(fd, pIov[0].iov_base, n < pIov[0].iov_len ? n : pIov[0].iov_len) : 0;
}

int ftruncate(int fd, off_t nLength)
{
    return Truncate("ftruncate", fd, nLength);
}

int ftruncate64(int fd, off64_t nLength)
{
    return Truncate("ftruncate64", fd, nLength);
}

int open(const char* pPath, int flags, ...)
{
    static auto real = Next<int (*)(const char*, int, ...)>("open");
    const mode_t mode = MODE_ARG(flags);
    return Refused(AT_FDCWD, pPath, WantsWrite(flags)) ? -1 : real(pPath, flags, mode);
}

int open64(const char* pPath, int flags, ...)
{
    static auto real = Next<int (*)(const char*, int, ...)>("open64");
    const mode_t mode = MODE_ARG(flags);
    return Refused(AT_FDCWD, pPath, WantsWrite(flags)) ? -1 : real(pPath, flags, mode);
}

int openat(int dirfd, const char* pPath, int flags, ...)
{
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    const mode_t mode = MODE_ARG(flags);
    return Refused(dirfd, pPath, WantsWrite(flags)) ? -1 : real(dirfd, pPath, flags, mode);
}

int openat64(int dirfd, const char* pPath, int flags, ...)
{
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat64");
    const mode_t mode = MODE_ARG(flags);
    return Refused(dirfd, pPath, WantsWrite(flags)) ? -1 : real(dirfd, pPath, flags, mode);
}

FILE* fopen(const char* pPath, const char* pMode)
{
    static auto real = Next<FILE* (*)(const char*, const char*)>("fopen");
    return Refused(AT_FDCWD, pPath, ModeWrites(pMode)) ? nullptr : real(pPath, pMode);
}

FILE* fopen64(const char* pPath, const char* pMode)
{
    static auto real = Next<FILE* (*)(const char*, const char*)>("fopen64");
    return Refused(AT_FDCWD, pPath, ModeWrites(pMode)) ? nullptr : real(pPath, pMode);
}

int rename(const char* pFrom, const char* pTo)
{
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    return Refused(AT_FDCWD, pFrom, true) || Refused(AT_FDCWD, pTo, true) ? -1 : real(pFrom, pTo);
}

int renameat(int fromfd, const char* pFrom, int tofd, const char* pTo)
{
    static auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
    return Refused(fromfd, pFrom, true) || Refused(tofd, pTo, true) ? -1 : real(fromfd, pFrom, tofd, pTo);
}

int renameat2(int fromfd, const char* pFrom, int tofd, const char* pTo, unsigned flags)
{
    static auto real = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return Refused(fromfd, pFrom, true) || Refused(tofd, pTo, true) ? -1 : real(fromfd, pFrom, tofd, pTo, flags);
}

int unlink(const char* pPath)
{
    static auto real = Next<int (*)(const char*)>("unlink");
    return Refused(AT_FDCWD, pPath, true) ? -1 : real(pPath);
}

int mkdir(const char* pPath, mode_t mode)
{
    static auto real = Next<int (*)(const char*, mode_t)>("mkdir");
    struct stat st {};
    if (Refused(AT_FDCWD, pPath, true)) {
        errno = stat(pPath, &st) == 0 ? EEXIST : EACCES; // what exists is found before the folder is checked
        return -1;
    }
    return real(pPath, mode);
}

} // extern "C"
