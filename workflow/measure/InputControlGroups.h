// The main window's control groups for the time a reference line (group 4)
// or a shape (group 5) is being input: the main window's buttons of the
// other flows and the tool window's controls are switched off, and each gets
// back the state it had before.
#pragma once

#include "app/dialogs/EnabledCtrl.h"

#include <functional>

class CMeasureModeDlg;
class QWidget;

enum { INPUT_GROUP_CALIBRATION = 4, INPUT_GROUP_MEASURE = 5 };

class CInputControlGroups {
public:
    // A main-window control by its number.
    using ItemFn = std::function<QWidget*(int nID)>;

    // Switches group nGroup off (nothing when it is off already). With a
    // camera the main window's capture and camera buttons belong to it too.
    void Disable(int nGroup, const ItemFn& fnMain, const CMeasureModeDlg* pTool, bool bCamera);
    // Gives the controls of group nGroup back their states; nothing when it was not off.
    void Restore(int nGroup);
    bool IsHeld() const { return m_nHeld[0] || m_nHeld[1]; }
    bool IsHeld(int nGroup) const;
    // Switches the held groups' controls off again after a refresh of the
    // window's buttons turned some on.
    void KeepDisabled() const;

    static CCtrlEnabledCtrl::Group Collect(int nGroup, const ItemFn& fnMain, const CMeasureModeDlg* pTool, bool bCamera);

private:
    CCtrlEnabledCtrl m_Enabler;
    CCtrlEnabledCtrl::Group m_Groups[2];
    bool m_nHeld[2] = {false, false};
};
