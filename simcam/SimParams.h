// The simulated cameras' parameters: what each one can do and where it starts.
#pragma once

#include <map>

namespace simcam {

struct SIM_PARAM {
    int bEnabled = 0, bAutoAvailable = 0, bOnePush = 0, nDefault = 0, nMin = 0, nMax = 0;
    int nValue = 0;
    int bAuto = 0;
    int bAutoDefault = 0;
};

// Every parameter of a colour or a monochrome camera, by SDK number, at its
// default; bOnePush says whether the white balance offers a one-push.
std::map<int, SIM_PARAM> DefaultParams(bool bColour, bool bOnePush);

} // namespace simcam
