// The calibration's parts of the main window's status bar: the current
// slot's name, its value per pixel and its unit.
#pragma once

class IStatusParts;
struct SYSTEM_SETTING;

// Blank values while the current slot holds no calibration. Shown before the
// tool window exists, so it needs only the settings.
void ShowCalibrationCaption(IStatusParts& parts, const SYSTEM_SETTING& setting);
