#include "uvccam/SimLink.h"

#include <dlfcn.h>

namespace uvccam {

bool SIM_LINK::Load(const std::string& path)
{
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h == nullptr) {
        return false;
    }
    bool bAll = true;
#define UVC_SIM_BIND(ret, name, args)                                                                                  \
    name = reinterpret_cast<ret(ICUBE_CALL*) args>(dlsym(h, #name));                                                  \
    bAll = bAll && name != nullptr;
    ICUBE_ENTRY_POINTS(UVC_SIM_BIND)
#undef UVC_SIM_BIND
    if (!bAll) {
        *this = SIM_LINK();
        dlclose(h);
        return false;
    }
    // Only tests call these; they may be absent.
    ICubeSim_SetFault = reinterpret_cast<PFN_ICubeSim_SetFault>(dlsym(h, "ICubeSim_SetFault"));
    ICubeSim_SetApiVersion = reinterpret_cast<PFN_ICubeSim_SetApiVersion>(dlsym(h, "ICubeSim_SetApiVersion"));
    ICubeSim_GetCount = reinterpret_cast<PFN_ICubeSim_GetCount>(dlsym(h, "ICubeSim_GetCount"));
    hModule = h;
    return true;
}

std::string OwnFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || info.dli_fname == nullptr) {
        return std::string();
    }
    const std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

} // namespace uvccam
