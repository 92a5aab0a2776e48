// The camera list the program sees: the UVC cameras present first, then the
// simulated ones, so a stored camera (name and index) keeps working when the
// simulator is all there is. Each call is routed by camera index.
#pragma once

#include "uvccam/SimLink.h"
#include "uvccam/UvcCamera.h"

#include <memory>
#include <mutex>
#include <vector>

namespace uvccam {

class CCameraHub {
public:
    // pSim: the simulated cameras' entry points, or null for none.
    CCameraHub(IUvcSys& sys, const SIM_LINK* pSim) : m_Sys(sys), m_pSim(pSim) {}

    // Lists the cameras anew (the UVC ones only when bUvc); the count of
    // both kinds. Devices that come and go are watched from then on.
    int Init(bool bUvc = true);
    // Opens UVC camera c. A camera whose cable was pulled is closed first,
    // and one plugged in again since is found under the node it has now.
    int Open(CUvcCamera& c);
    int UvcCount() const { return int(m_Cameras.size()); }
    int SimCount() const { return m_nSimCount; }
    const SIM_LINK* Sim() const { return m_pSim; }

    // The UVC camera at index nCam, or null when that index is not one.
    CUvcCamera* Uvc(int nCam) const
    {
        return nCam >= 0 && nCam < int(m_Cameras.size()) ? m_Cameras[size_t(nCam)].get() : nullptr;
    }
    // The simulator's own index of camera nCam, or -1.
    int SimIndex(int nCam) const
    {
        const int n = nCam - int(m_Cameras.size());
        return m_pSim != nullptr && nCam >= 0 && n >= 0 && n < m_nSimCount ? n : -1;
    }

    // One call for camera nCam: onUvc(camera) or onSim(simulator index);
    // -1 (not open) for an index that is neither.
    template <class FU, class FS> int Route(int nCam, FU&& onUvc, FS&& onSim) const
    {
        if (CUvcCamera* c = Uvc(nCam)) {
            return onUvc(*c);
        }
        const int n = SimIndex(nCam);
        return n >= 0 ? onSim(n) : UVC_E_NOT_OPEN;
    }

private:
    // Takes the changes udev reported since the last call: a listed camera
    // that is closed and plugged in again follows its device to its node.
    void TakeHotplugChanges();

    IUvcSys& m_Sys;
    const SIM_LINK* m_pSim;
    std::vector<std::unique_ptr<CUvcCamera>> m_Cameras;
    int m_nSimCount = 0;
};

} // namespace uvccam
