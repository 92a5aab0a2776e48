#include "camera/ICubeApi.h"

#include "platform/ModuleFolder.h"

#include <QDir>

#include <cstring>
#include <iterator>
#include <mutex>

const QStringList& CICubeApi::CalledEntryPoints()
{
    static const QStringList names = {
        "ICubeSDK_Init",          "ICubeSDK_GetName",          "ICubeSDK_GetVersion",
        "ICubeSDK_GetFWVersion",  "ICubeSDK_GetSerialNum",     "ICubeSDK_Open",
        "ICubeSDK_Close",         "ICubeSDK_IsOpen",           "ICubeSDK_IsStarted",
        "ICubeSDK_SetCallbackEx", "ICubeSDK_Start",            "ICubeSDK_Stop",
        "ICubeSDK_GetSize",       "ICubeSDK_GetModeList",      "ICubeSDK_GetMode",
        "ICubeSDK_SetMode",       "ICubeSDK_GetCamParameter",  "ICubeSDK_SetCamParameter",
        "ICubeSDK_GetCamParameterRange", "ICubeSDK_GetParamAuto", "ICubeSDK_SetParamAuto",
        "ICubeSDK_SetParamAutoDef", "ICubeSDK_SetParamOnePush", "ICubeSDK_GetExposure",
        "ICubeSDK_GetGoodFrames", "ICubeSDK_GetBrokenFrames",  "ICubeSDK_SaveAvi",
    };
    return names;
}

bool CICubeApi::Load(const QString& programFolder)
{
    m_Library.Unload();
    m_LoadedPath.clear();
    m_Missing.clear();
    const QString folder = programFolder.isEmpty() ? QString() : QDir(programFolder).absolutePath() + QLatin1Char('/');
    for (const char* base : {"ICubeSDK", "ICubeSDK64"}) {
        const QString file = platform::LibraryFileName(QString::fromLatin1(base));
        QStringList tries;
        if (!folder.isEmpty()) {
            tries << folder + file;
        }
        tries << file; // the library search path
        for (const QString& path : tries) {
            if (m_Library.Load(path)) {
                m_LoadedPath = path;
                break;
            }
        }
        if (m_Library.IsLoaded()) {
            break;
        }
    }
    if (!m_Library.IsLoaded()) {
        return false;
    }
#define PIXMETRA_ICUBE_BIND(ret, name, args) name = reinterpret_cast<PFN_##name>(m_Library.Symbol(#name));
    ICUBE_ENTRY_POINTS(PIXMETRA_ICUBE_BIND)
#undef PIXMETRA_ICUBE_BIND
    for (const QString& name : CalledEntryPoints()) {
        if (m_Library.Symbol(name.toLatin1().constData()) == nullptr) {
            m_Missing << name;
        }
    }
    return true;
}

CICubeApi& CICubeApi::Process()
{
    // Filled once and never released: the library stays loaded to the end.
    static CICubeApi* pApi = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        pApi = new CICubeApi;
        pApi->Load(platform::GetModuleFolder());
    });
    return *pApi;
}

int InterfaceVersionNumber(const char* pszVersion)
{
    if (pszVersion == nullptr || std::strlen(pszVersion) < 7) {
        return 0;
    }
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = pszVersion[2 * i];
        if (c < '0' || c > '9') {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

bool IsInterfaceVersionSupported(const char* pszVersion)
{
    return InterfaceVersionNumber(pszVersion) >= 1038;
}

QString GetICubeErrorText(int nCode)
{
    static const char* const kTexts[] = {
        "config data is corrupt",                                   // -25
        "crc of config data is corrupt",                            // -24
        "serial number of fix registered device does not match",    // -23
        "feature not supported by usb2.0 cameras",                  // -22
        "SaveToFile() needs either a preview or rgb callback enabled", // -21
        "feature not supported by this firmware version",           // -20
        "dll versions are not compatible",                          // -19
        "camera is not accessible",                                 // -18
        "parameters is in use by another process",                  // -17
        "usb communication with the camera failed",                 // -16
        "camera is in reconnection mode (xact recover)",            // -15
        "wrong file size",                                          // -14
        "bad file pointer",                                         // -13
        "error d3d initialization",                                 // -12
        "version mismatch (*.sys is not compatible to *.dll)",      // -11
        "parameter is only for color cameras",                      // -10
        "parameter not enabled",                                    // -9
        "wrong roi id number",                                      // -8
        "parameter not usable when video stream is starte",         // -7
        "wrong library called",                                     // -6
        "wrong PLL value (more information on operation manual / camera specifi" "cation)", // -5
        "e.g. Interface already open",                              // -4
        "memory could not be allocated",                            // -3
        "parameter is out of range",                                // -2
        "camera-interface is not open",                             // -1
        "No Error.",                                                // 0
        "unspecified error",                                        // 1
    };
    // The table starts at the lowest code the SDK gives.
    constexpr int kFirst = ICUBE_ERR_CONFIG_CORRUPT;
    static_assert(std::size(kTexts) == 1 - kFirst + 1);
    if (nCode >= kFirst && nCode <= 1) {
        return QString::fromLatin1(kTexts[nCode - kFirst]);
    }
    if (nCode == 10) {
        return QStringLiteral("No Image Memory.");
    }
    return QString();
}
