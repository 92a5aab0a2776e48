// The part of the picture a save writes: the whole picture, or with the
// settings' "visible part only" and a zoomed view, what the view shows.
#pragma once

#include "app/SystemSetting.h"
#include "workflow/live/DisplayGeometry.h"

// bFileImage: a still picture from a file is shown, in its own view. An
// empty rectangle stands for the whole picture.
inline RECT VisibleSaveRegion(const SYSTEM_SETTING& setting, CDisplayGeometry& geometry, bool bFileImage)
{
    if (!setting.bSaveHoleImage) {
        const DISP_VIEW_STATE& view = bFileImage ? geometry.StillView() : geometry.CameraView();
        if (!view.bFit) {
            return view.VisibleRect;
        }
    }
    return RECT{0, 0, 0, 0};
}
