// The SDK's parameter numbers as the controller and the simulated SDK use
// them (SetCamParameter, GetCamParameterRange, the automatic modes).
#pragma once

enum ICUBE_PARAM : int {
    ICUBE_PARAM_BRIGHTNESS = 1,
    ICUBE_PARAM_CONTRAST = 2,
    ICUBE_PARAM_GAMMA = 3,
    ICUBE_PARAM_FLIP_V = 4,
    ICUBE_PARAM_FLIP_H = 5,
    ICUBE_PARAM_WHITE_BALANCE = 6,
    ICUBE_PARAM_EXPOSURE = 7,
    ICUBE_PARAM_EXPOSURE_TARGET = 8,
    ICUBE_PARAM_RED_GAIN = 9,
    ICUBE_PARAM_GREEN_GAIN = 10,
    ICUBE_PARAM_BLUE_GAIN = 11,
    ICUBE_PARAM_BLACK_LEVEL = 12,
    ICUBE_PARAM_GAIN = 13,
    ICUBE_PARAM_COLOUR = 14, // 1 on a colour camera (read only in use)
    ICUBE_PARAM_CLOCK = 15,
    ICUBE_PARAM_SATURATION = 19,
    ICUBE_PARAM_RECORDING = 24, // 1 while a video is being recorded (read only)
    // The system's error number (errno) of the write that ended the last
    // recording early, 0 when it ran as asked (read only; the libraries' own).
    ICUBE_PARAM_RECORDING_ERROR = 25,
    ICUBE_PARAM_MODEL_FIX = 43,
    ICUBE_PARAM_RED_OFFSET = 106,
    ICUBE_PARAM_GREEN_OFFSET = 107,
    ICUBE_PARAM_BLUE_OFFSET = 108,
    ICUBE_PARAM_HUE = 109,
    ICUBE_PARAM_COLOUR_CORRECTION = 110,
    ICUBE_PARAM_GAMMA_ON = 111,
    ICUBE_PARAM_TNR = 115,
    ICUBE_PARAM_BAYER = 116,
    ICUBE_PARAM_COLOUR_PROCESSING = 117,
    ICUBE_PARAM_CONFIG_RESET = 143, // resets corrupt configuration data
    ICUBE_PARAM_FPS = 147,
};

// A camera whose name contains one of these gets ICUBE_PARAM_MODEL_FIX set
// to 1 once it is open.
inline constexpr const char* kModelFixNames[] = {"4133", "4203"};
