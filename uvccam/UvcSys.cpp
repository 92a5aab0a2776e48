#include "uvccam/UvcSys.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

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
    std::vector<std::string> ListVideoNodes() override
    {
        // PIXMETRA_UVC_NODES=path:path names the nodes instead (test devices).
        if (const char* pNodes = std::getenv("PIXMETRA_UVC_NODES")) {
            std::vector<std::string> nodes;
            std::string all = pNodes;
            for (size_t from = 0; from <= all.size();) {
                const size_t to = std::min(all.find(':', from), all.size());
                if (to > from) {
                    nodes.push_back(all.substr(from, to - from));
                }
                from = to + 1;
            }
            return nodes;
        }
        std::vector<std::pair<long, std::string>> found;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 5 && name.compare(0, 5, "video") == 0 &&
                name.find_first_not_of("0123456789", 5) == std::string::npos) {
                found.emplace_back(std::strtol(name.c_str() + 5, nullptr, 10), entry.path().string());
            }
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> nodes;
        for (auto& [n, path] : found) {
            nodes.push_back(std::move(path));
        }
        return nodes;
    }
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
