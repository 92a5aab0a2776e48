// What the main window keeps of continuous saving between the button, the
// threads' messages and the next click.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

struct SAVE_CONTINUE_STATE {
    int SaveImageCount = 0;     // images saved (click mode: the highest number before each save)
    QString SeriesFolder;       // the save folder when the series started
    QString SubFolder;          // the series' own subfolder, or empty
    QString FileTitle;          // chosen in the file dialog, or empty
    int SeriesFileType = 1;     // 1 jpg, else bmp
    int SaveIntervalSec = 0;
    int IntervalCnt = 0;
    bool bSaving = false;       // an interval series runs
    bool bClickStarted = false; // click mode has chosen its folder
    uint64_t nSeriesId = 0;     // the running interval series
    int nCountdown = 0;         // seconds to the next image
    std::array<bool, 8> GroupEnabled{}; // the toolbar's states before the series
};
