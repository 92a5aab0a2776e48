#include "simcam/SimParams.h"

#include "camera/ICubeParams.h"

namespace simcam {

namespace {

enum CAMERAS { ALL, COLOUR, MONO };

// A parameter, the cameras that have it, its default and range, and its
// automatic mode (whether there is one, and whether it starts on). The
// colour flag and the white balance depend on the camera and a fault and
// are set apart.
struct PARAM_DEF {
    int nParam;
    CAMERAS nCameras;
    int nDefault, nMin, nMax;
    int bAuto = 0, bAutoOn = 0;
};

// An on/off switch and a signed colour offset, the two shapes most parameters share.
constexpr PARAM_DEF Switch(int nParam, CAMERAS nCameras, int nDefault = 0)
{
    return PARAM_DEF{nParam, nCameras, nDefault, 0, 1};
}
constexpr PARAM_DEF Offset(int nParam) { return PARAM_DEF{nParam, COLOUR, 0, -64, 64}; }

const PARAM_DEF kParams[] = {
    {ICUBE_PARAM_EXPOSURE, ALL, 20, 1, 1000, 1, 0},
    {ICUBE_PARAM_EXPOSURE_TARGET, ALL, 128, 0, 255},
    {ICUBE_PARAM_BLACK_LEVEL, ALL, 16, 0, 255, 1, 1},
    {ICUBE_PARAM_GAIN, ALL, 20, 0, 100},
    {ICUBE_PARAM_BRIGHTNESS, ALL, 0, -64, 64},
    {ICUBE_PARAM_CONTRAST, ALL, 32, 0, 64},
    {ICUBE_PARAM_GAMMA, ALL, 100, 50, 200},
    {ICUBE_PARAM_RECORDING_ERROR, ALL, 0, 0, 0x7fffffff},
    Switch(ICUBE_PARAM_FLIP_V, ALL), Switch(ICUBE_PARAM_FLIP_H, ALL), Switch(ICUBE_PARAM_GAMMA_ON, ALL),
    Switch(ICUBE_PARAM_TNR, ALL), Switch(ICUBE_PARAM_RECORDING, ALL), Switch(ICUBE_PARAM_MODEL_FIX, ALL),
    Switch(ICUBE_PARAM_CONFIG_RESET, ALL, 1),
    {ICUBE_PARAM_CLOCK, COLOUR, 48, 12, 96},
    {ICUBE_PARAM_SATURATION, COLOUR, 64, 0, 128},
    {ICUBE_PARAM_HUE, COLOUR, 0, -180, 180},
    {ICUBE_PARAM_RED_GAIN, COLOUR, 92, 0, 255},
    {ICUBE_PARAM_GREEN_GAIN, COLOUR, 64, 0, 255},
    {ICUBE_PARAM_BLUE_GAIN, COLOUR, 48, 0, 255},
    Offset(ICUBE_PARAM_RED_OFFSET), Offset(ICUBE_PARAM_GREEN_OFFSET), Offset(ICUBE_PARAM_BLUE_OFFSET),
    Switch(ICUBE_PARAM_COLOUR_PROCESSING, COLOUR, 1), Switch(ICUBE_PARAM_COLOUR_CORRECTION, COLOUR, 1),
    Switch(ICUBE_PARAM_BAYER, COLOUR),
    {ICUBE_PARAM_FPS, MONO, 30, 1, 120},
};

SIM_PARAM Param(const PARAM_DEF& def, int bOnePush = 0)
{
    return SIM_PARAM{.bEnabled = 1, .bAutoAvailable = def.bAuto, .bOnePush = bOnePush, .nDefault = def.nDefault,
                     .nMin = def.nMin, .nMax = def.nMax, .nValue = def.nDefault, .bAuto = def.bAutoOn,
                     .bAutoDefault = def.bAutoOn};
}

} // namespace

std::map<int, SIM_PARAM> DefaultParams(bool bColour, bool bOnePush)
{
    std::map<int, SIM_PARAM> params;
    for (const PARAM_DEF& def : kParams) {
        if (def.nCameras == ALL || def.nCameras == (bColour ? COLOUR : MONO)) {
            params[def.nParam] = Param(def);
        }
    }
    params[ICUBE_PARAM_COLOUR] = Param(PARAM_DEF{ICUBE_PARAM_COLOUR, ALL, bColour ? 1 : 0, 0, 1});
    if (bColour) {
        params[ICUBE_PARAM_WHITE_BALANCE] =
            Param(PARAM_DEF{ICUBE_PARAM_WHITE_BALANCE, COLOUR, 0, 0, 1, 1, 0}, bOnePush ? 1 : 0);
    }
    return params;
}

} // namespace simcam
