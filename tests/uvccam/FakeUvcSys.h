// A V4L2 capture device in memory behind the system-call interface: formats,
// sizes, intervals and controls as a test describes them, buffers the test
// fills as frames, and a cable that can be pulled.
#pragma once

#include "uvccam/UvcSys.h"

#include <linux/videodev2.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <cerrno>
#include <sys/mman.h>

class CFakeUvcSys : public uvccam::IUvcSys {
public:
    struct FORMAT {
        uint32_t nFourcc;
        std::vector<std::pair<int, int>> sizes;
        bool bEmulated = false;
    };
    struct CONTROL {
        CONTROL() = default;
        CONTROL(int32_t mn, int32_t mx, int32_t def, int32_t val, uint32_t type = V4L2_CTRL_TYPE_INTEGER,
                std::set<int> entries = {})
            : nMin(mn), nMax(mx), nDefault(def), nValue(val), nType(type), menu(std::move(entries))
        {
        }
        int32_t nMin = 0, nMax = 0, nDefault = 0, nValue = 0;
        uint32_t nType = V4L2_CTRL_TYPE_INTEGER;
        std::set<int> menu; // menu entries that exist
    };
    static constexpr int kFd = 7;
    static constexpr int kMetaFd = 8;
    static constexpr int kHotplugFd = 9;

    // Set up by the test.
    std::vector<std::string> nodes{"/dev/video0"};
    // Nodes that are a camera's metadata node, not its picture.
    std::set<std::string> metaNodes;
    std::map<std::string, int> openErrnoByPath;
    int nOpenErrno = 0;
    uint32_t nCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::vector<FORMAT> formats;
    std::vector<std::pair<uint32_t, uint32_t>> intervals{{1, 15}, {1, 30}};
    std::map<uint32_t, CONTROL> controls;
    int nStreamOnErrno = 0;
    std::string busInfo = "usb-0000:00:14.0-2";
    bool bUdev = true; // hot plug changes are told
    std::atomic<int64_t> nClockUs{0};
    std::atomic<int64_t> nClockStepUs{0};

    // Seen by the test.
    int nOpenFds = 0;
    int nStreamOffs = 0;
    int nMapped = 0;
    std::vector<std::pair<uint32_t, int32_t>> writes;
    v4l2_format format{};

    int Open(const char* pPath, int) override
    {
        const auto refused = openErrnoByPath.find(pPath);
        if (nOpenErrno != 0 || refused != openErrnoByPath.end()) {
            errno = nOpenErrno != 0 ? nOpenErrno : refused->second;
            return -1;
        }
        ++nOpenFds;
        return metaNodes.count(pPath) != 0 ? kMetaFd : kFd;
    }
    int Close(int) override
    {
        --nOpenFds;
        return 0;
    }
    void* Mmap(size_t nLength, int, int, int, off_t nOffset) override
    {
        const size_t i = size_t(nOffset) / kOffsetStep;
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (i >= m_Buffers.size() || nLength != m_Buffers[i].size()) {
            errno = EINVAL;
            return MAP_FAILED;
        }
        ++nMapped;
        return m_Buffers[i].data();
    }
    int Munmap(void*, size_t) override
    {
        --nMapped;
        return 0;
    }
    int Poll(pollfd* pFds, nfds_t, int nTimeoutMs) override
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        if (pFds->fd == kHotplugFd) {
            pFds->revents = m_Hotplug.empty() ? 0 : POLLIN;
            return pFds->revents != 0 ? 1 : 0;
        }
        if (m_bDrivenPolls) {
            // Runs out only when the test moves the clock past its end.
            const int64_t nEndUs = nClockUs.load() + int64_t(nTimeoutMs) * 1000;
            m_Ready.wait(lock, [&] {
                return m_bUnplugged || !m_Done.empty() || !m_bDrivenPolls || nClockUs.load() >= nEndUs;
            });
        } else {
            m_Ready.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                             [&] { return m_bUnplugged || !m_Done.empty(); });
        }
        pFds->revents = m_bUnplugged ? short(POLLERR | POLLHUP) : (m_Done.empty() ? 0 : POLLIN);
        return pFds->revents != 0 ? 1 : 0;
    }
    // A clock the test drives (Advance); every reading also moves it on by
    // nClockStepUs, so a decode seems to take that long (the time between its
    // two readings).
    int64_t MonotonicUs() override { return nClockUs.fetch_add(nClockStepUs.load()); }
    int Ioctl(int, unsigned long nRequest, void* pArg) override;
    std::vector<std::string> ListVideoNodes() override { return nodes; }
    int HotplugFd() override { return bUdev ? kHotplugFd : -1; }
    bool ReadHotplug(std::string& action, std::string& node) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Hotplug.empty()) {
            return false;
        }
        std::tie(action, node) = m_Hotplug.front();
        m_Hotplug.pop_front();
        return true;
    }

    // Fills the oldest queued buffer with data as the next frame; false when
    // the library holds every buffer.
    bool PushFrame(const std::vector<uint8_t>& data, bool bError = false)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Queued.empty()) {
            return false;
        }
        const uint32_t i = m_Queued.front();
        m_Queued.pop_front();
        const size_t n = std::min(data.size(), m_Buffers[i].size());
        std::memcpy(m_Buffers[i].data(), data.data(), n);
        m_Done.push_back(DONE{i, uint32_t(n), bError});
        m_Ready.notify_all();
        return true;
    }
    void Unplug()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bUnplugged = true;
        m_Ready.notify_all();
    }
    // The device plugged in again as node, udev telling of it; whatever the
    // old node held is gone.
    void Replug(const std::string& node)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bUnplugged = false;
        m_bStreaming = false;
        m_Queued.clear();
        m_Done.clear();
        m_Hotplug.emplace_back("add", node);
    }
    void TellHotplug(const std::string& action, const std::string& node)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Hotplug.emplace_back(action, node);
    }
    void Advance(int64_t nUs)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        nClockUs += nUs;
        m_Ready.notify_all();
    }
    // Poll timeouts on the driven clock instead of real time: a stream then
    // ends only once they are back on real time.
    void DrivePolls(bool bDriven)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bDrivenPolls = bDriven;
        m_Ready.notify_all();
    }
    size_t QueuedCount()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Queued.size();
    }

private:
    struct DONE {
        uint32_t nIndex, nUsed;
        bool bError;
    };
    static constexpr size_t kOffsetStep = 0x10000000;

    std::mutex m_Mutex;
    std::condition_variable m_Ready;
    std::vector<std::vector<uint8_t>> m_Buffers;
    std::deque<uint32_t> m_Queued;
    std::deque<DONE> m_Done;
    bool m_bStreaming = false;
    bool m_bUnplugged = false;
    bool m_bDrivenPolls = false;
    std::deque<std::pair<std::string, std::string>> m_Hotplug;
};
