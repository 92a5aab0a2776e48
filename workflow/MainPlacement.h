// Where the main window and its tool window lie on the screen: the place
// kept in the settings, fitted to the screens present now, and the tool
// window's place beside the main window or over its picture.
#pragma once

#include "app/SystemSetting.h"

#include <QRect>
#include <QSize>

#include <functional>

class CMeasureModeDlg;
class QWidget;

// The main window takes the place kept at the last end, fitted to this
// screen and never below minSize; false when none was kept or it no longer fits.
bool RestoreWindowPlacement(QWidget& main, SYSTEM_SETTING& setting, const QSize& minSize);
// The main window's place into the settings copy before it is written.
void SaveWindowPlacement(const QWidget& main, SYSTEM_SETTING& setting);
// At the first show: the tool window beside the main window where the screen
// has room for both (the main window made narrower for it when it was not
// placed by the user), else over the picture's bottom-right corner.
// fnPictureArea: where only the picture lies in a main window of the given client rectangle.
void PlaceToolWindow(QWidget& main, CMeasureModeDlg& tool, bool bPlacementRestored,
                     const std::function<QRect(const QRect&)>& fnPictureArea);
