#include "simcam/SimParams.h"

#include "camera/ICubeParams.h"

namespace simcam {

namespace {

// A parameter every camera of its kind has: number, default, range and the
// automatic mode (whether there is one, and whether it starts on).
struct PARAM_DEF {
    int nParam;
    int nDefault, nMin, nMax;
    int bAuto = 0, bAutoOn = 0;
};

const PARAM_DEF kCommonParams[] = {
    {ICUBE_PARAM_EXPOSURE, 20, 1, 1000, 1, 0},
    {ICUBE_PARAM_EXPOSURE_TARGET, 128, 0, 255},
    {ICUBE_PARAM_BLACK_LEVEL, 16, 0, 255, 1, 1},
    {ICUBE_PARAM_GAIN, 20, 0, 100},
    {ICUBE_PARAM_FLIP_V, 0, 0, 1},
    {ICUBE_PARAM_FLIP_H, 0, 0, 1},
    {ICUBE_PARAM_BRIGHTNESS, 0, -64, 64},
    {ICUBE_PARAM_CONTRAST, 32, 0, 64},
    {ICUBE_PARAM_GAMMA, 100, 50, 200},
    {ICUBE_PARAM_GAMMA_ON, 0, 0, 1},
    {ICUBE_PARAM_TNR, 0, 0, 1},
    {ICUBE_PARAM_RECORDING, 0, 0, 1},
    {ICUBE_PARAM_MODEL_FIX, 0, 0, 1},
    {ICUBE_PARAM_CONFIG_RESET, 1, 0, 1},
};

// Colour cameras also have these, and the white balance, whose one-push a
// fault can take away.
const PARAM_DEF kColourParams[] = {
    {ICUBE_PARAM_CLOCK, 48, 12, 96},
    {ICUBE_PARAM_COLOUR_PROCESSING, 1, 0, 1},
    {ICUBE_PARAM_SATURATION, 64, 0, 128},
    {ICUBE_PARAM_HUE, 0, -180, 180},
    {ICUBE_PARAM_COLOUR_CORRECTION, 1, 0, 1},
    {ICUBE_PARAM_RED_GAIN, 92, 0, 255},
    {ICUBE_PARAM_GREEN_GAIN, 64, 0, 255},
    {ICUBE_PARAM_BLUE_GAIN, 48, 0, 255},
    {ICUBE_PARAM_RED_OFFSET, 0, -64, 64},
    {ICUBE_PARAM_GREEN_OFFSET, 0, -64, 64},
    {ICUBE_PARAM_BLUE_OFFSET, 0, -64, 64},
    {ICUBE_PARAM_BAYER, 0, 0, 1},
};

const PARAM_DEF kMonoParams[] = {
    {ICUBE_PARAM_FPS, 30, 1, 120},
};

SIM_PARAM Param(const PARAM_DEF& def, int bOnePush = 0)
{
    SIM_PARAM p;
    p.bEnabled = 1;
    p.bAutoAvailable = def.bAuto;
    p.bOnePush = bOnePush;
    p.nDefault = def.nDefault;
    p.nMin = def.nMin;
    p.nMax = def.nMax;
    p.nValue = def.nDefault;
    p.bAuto = def.bAutoOn;
    p.bAutoDefault = def.bAutoOn;
    return p;
}

} // namespace

std::map<int, SIM_PARAM> DefaultParams(bool bColour, bool bOnePush)
{
    std::map<int, SIM_PARAM> params;
    for (const PARAM_DEF& def : kCommonParams) {
        params[def.nParam] = Param(def);
    }
    params[ICUBE_PARAM_COLOUR] = Param(PARAM_DEF{ICUBE_PARAM_COLOUR, bColour ? 1 : 0, 0, 1});
    if (bColour) {
        for (const PARAM_DEF& def : kColourParams) {
            params[def.nParam] = Param(def);
        }
        params[ICUBE_PARAM_WHITE_BALANCE] = Param(PARAM_DEF{ICUBE_PARAM_WHITE_BALANCE, 0, 0, 1, 1, 0}, bOnePush ? 1 : 0);
    } else {
        for (const PARAM_DEF& def : kMonoParams) {
            params[def.nParam] = Param(def);
        }
    }
    return params;
}

} // namespace simcam
