// The main window's two settings buttons: the camera adjustment runs over the
// live picture and a resolution chosen there is applied when it closes; the
// settings window runs on a copy of the settings in the file, and what it
// wrote is applied to the running window (caption font, drawing,
// calibration, cross lines, decimals and, when another camera was chosen, a
// reconnection).
#pragma once

#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

#include <functional>

// What the settings work on: the window's shared parts (the owner is
// repainted after a new caption font; the cross lines are always there), and
// what only the settings reach.
struct SETTINGS_PARTS : WINDOW_PARTS {
    IMessageSink* pSink; // where both dialogs post their notices
    IStatusParts& parts;
    CCameraCtrl& camera;
    // Results are kept: a new resolution asks before they go.
    std::function<bool()> fnHasResults;
    // Every result goes without a question (another camera's pictures follow).
    std::function<void()> fnClearResults;
    // The current calibration to the overlay; every result recomputed.
    std::function<void()> fnRecalcResults;
    // A series or a recording holds the camera: its list is not made anew.
    std::function<bool()> fnCaptureBusy;
};

class CSettingsController {
public:
    explicit CSettingsController(const SETTINGS_PARTS& parts) : m_Parts(parts) {}

    void OnBnClickedBtnCameraSetting();
    // Switches the camera to mode position nIndex and fits the window to the
    // size the camera then has; FALSE (with a message) when the camera refused.
    BOOL ChangeCameraResolution(int nIndex);

    void OnBnClickedBtnSystemSetting();
    // The settings window's "clear cross lines": carried out when it ends with OK.
    void OnDeleteCrossLine();
    // Closes the camera and opens the one the settings name, with the window
    // following its size.
    void ReconnectCamera();

private:
    // What the settings window may change that the running window must follow.
    struct BEFORE;
    // The settings window ended with OK: its file is read and applied.
    void ApplySettings(const BEFORE& before, bool bRelisted);

    SETTINGS_PARTS m_Parts;
    // Set by the settings window's clear button; kept until it ends with OK.
    BOOL m_bDeleteCrossLineMark = FALSE;
};
