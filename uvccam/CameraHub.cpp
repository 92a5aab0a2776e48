#include "uvccam/CameraHub.h"

#include <fcntl.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>

namespace uvccam {

namespace {

enum NODE_KIND { NODE_CAMERA, NODE_OTHER, NODE_REFUSED };

std::string Field(const uint8_t* p, size_t nCap)
{
    return std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), nCap));
}

// What the node is. A node we may not open, or one another program holds
// exclusively, stays in the list under a name that says so: its open then
// fails with a code the program explains, instead of the camera vanishing.
NODE_KIND ReadCameraNode(IUvcSys& sys, const std::string& path, UVC_DEVICE_INFO& info)
{
    const int fd = sys.Open(path.c_str(), O_RDWR | O_NONBLOCK);
    if (fd < 0) {
        const int nErr = errno;
        if (nErr == EACCES || nErr == EPERM || nErr == EBUSY) {
            info.Card = (nErr == EBUSY ? "In use: " : "No permission: ") + path;
            return NODE_REFUSED;
        }
        return NODE_OTHER;
    }
    v4l2_capability cap{};
    const bool bOk = XIoctl(sys, fd, VIDIOC_QUERYCAP, &cap) == 0;
    sys.Close(fd);
    if (!bOk) {
        return NODE_OTHER;
    }
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? cap.device_caps : cap.capabilities;
    if ((caps & V4L2_CAP_VIDEO_CAPTURE) == 0 || (caps & V4L2_CAP_STREAMING) == 0) {
        return NODE_OTHER;
    }
    info.Card = Field(cap.card, sizeof(cap.card));
    info.BusInfo = Field(cap.bus_info, sizeof(cap.bus_info));
    info.Driver = Field(cap.driver, sizeof(cap.driver));
    info.nVersion = cap.version;
    return NODE_CAMERA;
}

} // namespace

int CCameraHub::Init(bool bUvc)
{
    m_Cameras.clear(); // closes them
    if (bUvc) {
        m_Sys.HotplugFd(); // from now on a camera plugged in again is noticed
    }
    for (const std::string& path : bUvc ? m_Sys.ListVideoNodes() : std::vector<std::string>()) {
        UVC_DEVICE_INFO info;
        if (ReadCameraNode(m_Sys, path, info) != NODE_OTHER) {
            m_Cameras.push_back(std::make_unique<CUvcCamera>(m_Sys, path, info));
        }
    }
    m_nSimCount = m_pSim != nullptr ? m_pSim->ICubeSDK_Init() : 0;
    if (m_nSimCount < 0) {
        m_nSimCount = 0;
    }
    return int(m_Cameras.size()) + m_nSimCount;
}

int CCameraHub::Open(CUvcCamera& c)
{
    if (c.IsLost()) {
        c.Close();
    }
    TakeHotplugChanges();
    return c.Open();
}

void CCameraHub::TakeHotplugChanges()
{
    const int fd = m_Sys.HotplugFd();
    std::string action, node;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (fd < 0 || m_Sys.Poll(&p, 1, 0) <= 0 || (p.revents & POLLIN) == 0 || !m_Sys.ReadHotplug(action, node)) {
            return;
        }
        UVC_DEVICE_INFO info;
        if (action != "add" || node.empty() || ReadCameraNode(m_Sys, node, info) != NODE_CAMERA) {
            continue;
        }
        // The same port first; else the one closed camera of that name
        // (plugged into another port); none when one is at that node already.
        CUvcCamera* pByPort = nullptr;
        CUvcCamera* pByName = nullptr;
        int nSameName = 0;
        bool bInPlace = false;
        for (const auto& cam : m_Cameras) {
            if (cam->IsOpen() || cam->IsLost() || cam->Info().Card != info.Card) {
                continue;
            }
            bInPlace = bInPlace || cam->Path() == node;
            ++nSameName;
            pByName = cam.get();
            if (cam->Info().BusInfo == info.BusInfo) {
                pByPort = cam.get();
            }
        }
        CUvcCamera* const pMatch = pByPort != nullptr ? pByPort : (nSameName == 1 ? pByName : nullptr);
        if (!bInPlace && pMatch != nullptr) {
            pMatch->Relocate(node, info);
        }
    }
}

} // namespace uvccam
