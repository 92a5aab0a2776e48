#include "uvccam/UvcSys.h"

#include <fcntl.h>
#include <libudev.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace uvccam {

namespace {

class CRealUvcSys final : public IUvcSys {
public:
    ~CRealUvcSys() override
    {
        if (m_pMonitor != nullptr) {
            udev_monitor_unref(m_pMonitor);
        }
        if (m_pUdev != nullptr) {
            udev_unref(m_pUdev);
        }
    }
    int Open(const char* pPath, int nFlags) override { return ::open(pPath, nFlags | O_CLOEXEC); }
    int Close(int fd) override { return ::close(fd); }
    int Ioctl(int fd, unsigned long nRequest, void* pArg) override { return ::ioctl(fd, nRequest, pArg); }
    void* Mmap(size_t nLength, int nProt, int nFlags, int fd, off_t nOffset) override
    {
        return ::mmap(nullptr, nLength, nProt, nFlags, fd, nOffset);
    }
    int Munmap(void* p, size_t nLength) override { return ::munmap(p, nLength); }
    int Poll(pollfd* pFds, nfds_t nCount, int nTimeoutMs) override { return ::poll(pFds, nCount, nTimeoutMs); }
    int64_t MonotonicUs() override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
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
        UdevVideoNodes(found);
        if (found.empty()) {
            // Without udev (a container, say) the nodes in /dev are all there is to go by.
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
                const std::string name = entry.path().filename().string();
                if (name.size() > 5 && name.compare(0, 5, "video") == 0 &&
                    name.find_first_not_of("0123456789", 5) == std::string::npos) {
                    found.emplace_back(std::strtol(name.c_str() + 5, nullptr, 10), entry.path().string());
                }
            }
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> nodes;
        for (auto& [n, path] : found) {
            nodes.push_back(std::move(path));
        }
        return nodes;
    }

    int HotplugFd() override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_pMonitor == nullptr && Udev() != nullptr) {
            m_pMonitor = udev_monitor_new_from_netlink(m_pUdev, "udev");
            if (m_pMonitor != nullptr &&
                (udev_monitor_filter_add_match_subsystem_devtype(m_pMonitor, "video4linux", nullptr) < 0 ||
                 udev_monitor_enable_receiving(m_pMonitor) < 0)) {
                udev_monitor_unref(m_pMonitor);
                m_pMonitor = nullptr;
            }
        }
        return m_pMonitor != nullptr ? udev_monitor_get_fd(m_pMonitor) : -1;
    }

    bool ReadHotplug(std::string& action, std::string& node) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_pMonitor == nullptr) {
            return false;
        }
        udev_device* pDevice = udev_monitor_receive_device(m_pMonitor); // never blocks: the socket is non-blocking
        if (pDevice == nullptr) {
            return false;
        }
        const char* pAction = udev_device_get_action(pDevice);
        const char* pNode = udev_device_get_devnode(pDevice);
        action = pAction != nullptr ? pAction : "";
        node = pNode != nullptr ? pNode : "";
        udev_device_unref(pDevice);
        return true;
    }

private:
    udev* Udev()
    {
        if (m_pUdev == nullptr) {
            m_pUdev = udev_new();
        }
        return m_pUdev;
    }

    // The video4linux devices udev knows, by node number.
    void UdevVideoNodes(std::vector<std::pair<long, std::string>>& found)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        udev_enumerate* pEnum = Udev() != nullptr ? udev_enumerate_new(m_pUdev) : nullptr;
        if (pEnum == nullptr) {
            return;
        }
        if (udev_enumerate_add_match_subsystem(pEnum, "video4linux") >= 0 && udev_enumerate_scan_devices(pEnum) >= 0) {
            udev_list_entry* pEntry = nullptr;
            udev_list_entry_foreach(pEntry, udev_enumerate_get_list_entry(pEnum))
            {
                udev_device* pDevice = udev_device_new_from_syspath(m_pUdev, udev_list_entry_get_name(pEntry));
                const char* pNode = pDevice != nullptr ? udev_device_get_devnode(pDevice) : nullptr;
                const char* pName = pDevice != nullptr ? udev_device_get_sysname(pDevice) : nullptr;
                if (pNode != nullptr && pName != nullptr && std::strncmp(pName, "video", 5) == 0) {
                    found.emplace_back(std::strtol(pName + 5, nullptr, 10), pNode);
                }
                if (pDevice != nullptr) {
                    udev_device_unref(pDevice);
                }
            }
        }
        udev_enumerate_unref(pEnum);
    }

    std::mutex m_Mutex;
    udev* m_pUdev = nullptr;
    udev_monitor* m_pMonitor = nullptr;
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
