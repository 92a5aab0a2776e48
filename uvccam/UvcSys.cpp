#include "uvccam/UvcSys.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

namespace uvccam {

namespace {

class CRealUvcSys final : public IUvcSys {
public:
    int Open(const char* pPath, int nFlags) override { return ::open(pPath, nFlags | O_CLOEXEC); }
    int Close(int fd) override { return ::close(fd); }
    int Ioctl(int fd, unsigned long nRequest, void* pArg) override { return ::ioctl(fd, nRequest, pArg); }
    void* Mmap(size_t nLength, int nProt, int nFlags, int fd, off_t nOffset) override
    {
        return ::mmap(nullptr, nLength, nProt, nFlags, fd, nOffset);
    }
    int Munmap(void* p, size_t nLength) override { return ::munmap(p, nLength); }
    int Poll(pollfd* pFds, nfds_t nCount, int nTimeoutMs) override { return ::poll(pFds, nCount, nTimeoutMs); }
};

} // namespace

IUvcSys& RealUvcSys()
{
    static CRealUvcSys sys;
    return sys;
}

int XIoctl(IUvcSys& sys, int fd, unsigned long nRequest, void* pArg)
{
    int r;
    do {
        r = sys.Ioctl(fd, nRequest, pArg);
    } while (r == -1 && errno == EINTR);
    return r;
}

} // namespace uvccam
