// The simulated camera library's entry points, bound from its file beside
// this library, so the simulated cameras follow the real ones in one list.
#pragma once

#include "camera/ICubeSDK.h"

#include <string>

namespace uvccam {

typedef void (*PFN_ICubeSim_SetFault)(const char*, int);
typedef void (*PFN_ICubeSim_SetApiVersion)(const char*);
typedef int (*PFN_ICubeSim_GetCount)(int, int);

struct SIM_LINK {
#define UVC_SIM_POINTER(ret, name, args) ret(ICUBE_CALL* name) args = nullptr;
    ICUBE_ENTRY_POINTS(UVC_SIM_POINTER)
#undef UVC_SIM_POINTER
    PFN_ICubeSim_SetFault ICubeSim_SetFault = nullptr;
    PFN_ICubeSim_SetApiVersion ICubeSim_SetApiVersion = nullptr;
    PFN_ICubeSim_GetCount ICubeSim_GetCount = nullptr;
    void* hModule = nullptr;

    // Loads the library at path; false (and nothing bound) when it is absent
    // or lacks an entry point.
    bool Load(const std::string& path);
    bool IsLoaded() const { return hModule != nullptr; }
};

// The folder this library was loaded from, with a trailing '/'.
std::string OwnFolder();

} // namespace uvccam
