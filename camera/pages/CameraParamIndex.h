// The camera controller's parameter indexes (0..24) that the adjustment
// pages read and write, named once.
#pragma once

enum CAMERA_PARAM_INDEX : int {
    CPI_EXPOSURE = 0,
    CPI_EXPOSURE_TARGET = 1,
    CPI_BLACK_LEVEL = 2,
    CPI_GAIN = 3,
    CPI_CLOCK = 4,
    CPI_FRAME_RATE = 5,
    CPI_FLIP_VERTICAL = 6,
    CPI_FLIP_HORIZONTAL = 7,
    CPI_COLOR_PROCESSING = 8,
    CPI_BRIGHTNESS = 9,
    CPI_CONTRAST = 10,
    CPI_SATURATION = 11,
    CPI_HUE = 12,
    CPI_GAMMA_ON = 13,
    CPI_GAMMA = 14,
    CPI_COLOR_CORRECTION = 15,
    CPI_NOISE_REDUCTION = 16,
    CPI_RED_GAIN = 17,
    CPI_GREEN_GAIN = 18,
    CPI_BLUE_GAIN = 19,
    CPI_RED_OFFSET = 20,
    CPI_GREEN_OFFSET = 21,
    CPI_BLUE_OFFSET = 22,
    CPI_BAYER = 24,
};
