// Every system call the UVC camera library makes goes through this one
// interface, so tests can stand in for the kernel. Calls report failure the
// way the system does: -1 (or MAP_FAILED) with errno set.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace uvccam {

class IUvcSys {
public:
    virtual ~IUvcSys() = default;
    virtual int Open(const char* pPath, int nFlags) = 0;
    virtual int Close(int fd) = 0;
    virtual int Ioctl(int fd, unsigned long nRequest, void* pArg) = 0;
    virtual void* Mmap(size_t nLength, int nProt, int nFlags, int fd, off_t nOffset) = 0;
    virtual int Munmap(void* p, size_t nLength) = 0;
    virtual int Poll(pollfd* pFds, nfds_t nCount, int nTimeoutMs) = 0;
    // The monotonic clock in microseconds (how long decodes take).
    virtual int64_t MonotonicUs() = 0;
    // The video device nodes present now (/dev/video0, ...), in number order.
    virtual std::vector<std::string> ListVideoNodes() = 0;
    // Video devices coming and going (udev): a descriptor that polls
    // readable while a change waits, or -1 where nothing tells of them.
    // Changes are kept from the first call on.
    virtual int HotplugFd() = 0;
    // Takes one waiting change: its action ("add", "remove", ...) and the
    // device node; false when none waits.
    virtual bool ReadHotplug(std::string& action, std::string& node) = 0;
};

// The kernel itself.
IUvcSys& RealUvcSys();

// An ioctl retried while a signal interrupts it, as V4L2 drivers expect.
int XIoctl(IUvcSys& sys, int fd, unsigned long nRequest, void* pArg);

} // namespace uvccam
