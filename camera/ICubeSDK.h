/* The camera SDK's call interface: the entry points a program binds by name.
 * Every call but Init and GetVersion takes the camera index first; results
 * are error codes (0 = success) unless stated. The binding (ICubeApi) holds
 * to it, and the simulated SDK (simcam/) implements it. */
#ifndef ICUBESDK_H
#define ICUBESDK_H

#ifdef _WIN32
#define ICUBE_CALL __stdcall
#define ICUBE_EXPORT __declspec(dllexport)
#else
#define ICUBE_CALL
#define ICUBE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* event 0: one frame of size bytes of 24-bit BGR rows, top row first, no
 * padding; event 1: the camera was disconnected. Returns
 * ICUBE_CALLBACK_RESULT whatever the event. */
typedef int(ICUBE_CALL* ICUBE_FRAME_CALLBACK)(int nEvent, void* pData, int nSize, void* pContext);
enum { ICUBE_CALLBACK_RESULT = 42 };

/* Results of Open when the camera's configuration data is corrupt (its
 * checksum, or the data itself); resetting that data lets it open again. */
enum { ICUBE_ERR_CONFIG_CRC_CORRUPT = -24, ICUBE_ERR_CONFIG_CORRUPT = -25 };

/* The parameter range record filled by GetCamParameterRange. */
typedef struct ICUBE_PARAM_RANGE {
    int bEnabled;
    int bAutoAvailable;
    int bOnePushAvailable;
    int nDefault;
    int nMin;
    int nMax;
} ICUBE_PARAM_RANGE;

#define ICUBE_ENTRY_POINTS(X) \
    X(int, ICubeSDK_Init, (void)) \
    X(int, ICubeSDK_GetVersion, (int nKind, char* pszVersion)) \
    X(int, ICubeSDK_GetFWVersion, (int nCam, char* pszVersion)) \
    X(int, ICubeSDK_GetSerialNum, (int nCam, char* pszSerial)) \
    X(int, ICubeSDK_GetFPGAVersion, (int nCam, char* pszVersion)) \
    X(int, ICubeSDK_Open, (int nCam)) \
    X(int, ICubeSDK_Close, (int nCam)) \
    X(int, ICubeSDK_IsOpen, (int nCam)) \
    X(int, ICubeSDK_IsOpenEx, (int nCam, int* pOpen)) \
    X(int, ICubeSDK_SetCallback, (int nCam, int nMode, ICUBE_FRAME_CALLBACK pCallback, void* pContext)) \
    X(int, ICubeSDK_Start, (int nCam, void* hWnd, int bPreview, int bCallback)) \
    X(int, ICubeSDK_IsStarted, (int nCam)) \
    X(int, ICubeSDK_Stop, (int nCam)) \
    X(int, ICubeSDK_GetResolution, (int nCam, int* pWidth, int* pHeight)) \
    X(int, ICubeSDK_SetResolution, (int nCam, int nWidth, int nHeight)) \
    X(int, ICubeSDK_GetResolutionRange, (int nCam, int* pMaxWidth, int* pMaxHeight)) \
    X(int, ICubeSDK_GetSize, (int nCam, int* pWidth, int* pHeight)) \
    X(int, ICubeSDK_SetMode, (int nCam, int nMode)) \
    X(int, ICubeSDK_GetMode, (int nCam, int* pMode)) \
    X(int, ICubeSDK_GetModeList, (int nCam, int* pCount, int* pModes)) \
    X(int, ICubeSDK_SetBinSkip, (int nCam, int nBinSkip)) \
    X(int, ICubeSDK_GetBinSkip, (int nCam, int* pBinSkip)) \
    X(int, ICubeSDK_GetBinSkipList, (int nCam, int* pCount, int* pList)) \
    X(int, ICubeSDK_SaveToFile, (int nCam, char* pszPath)) \
    X(int, ICubeSDK_SaveAvi, (int nCam, char* pszPath, int nCodec, int nSeconds)) \
    X(int, ICubeSDK_SetTrigger, (int nCam, int nMode)) \
    X(int, ICubeSDK_GetTrigger, (int nCam, int* pMode)) \
    X(int, ICubeSDK_SetCamParameter, (int nCam, int nParam, int nValue)) \
    X(int, ICubeSDK_GetCamParameter, (int nCam, int nParam, int* pValue)) \
    X(int, ICubeSDK_GetCamParameterRange, (int nCam, int nParam, void* pRange)) \
    X(int, ICubeSDK_GetParamAuto, (int nCam, int nParam, int* pAuto)) \
    X(int, ICubeSDK_SetParamAuto, (int nCam, int nParam, int bAuto)) \
    X(int, ICubeSDK_SetParamAutoDef, (int nCam, int nParam)) \
    X(int, ICubeSDK_SetParamOnePush, (int nCam, int nParam)) \
    X(int, ICubeSDK_GetName, (int nCam, char* pszName)) \
    X(int, ICubeSDK_GetBrokenFrames, (int nCam, int* pCount)) \
    X(int, ICubeSDK_GetGoodFrames, (int nCam, int* pCount)) \
    X(int, ICubeSDK_SetExposure, (int nCam, float fMs)) \
    X(int, ICubeSDK_GetExposure, (int nCam, float* pMs)) \
    X(int, ICubeSDK_GetExposureRange, (int nCam, float* pMin, float* pMax, float* pDefault)) \
    X(int, ICubeSDK_SetDisplayMode, (int nCam, int nMode)) \
    X(int, ICubeSDK_SetResolutionParam, (int nCam, int nParam, int nValue)) \
    X(int, ICubeSDK_SetCallbackEx, (int nCam, int nMode, ICUBE_FRAME_CALLBACK pCallback, void* pContext))

#ifdef __cplusplus
}
#endif

#endif
