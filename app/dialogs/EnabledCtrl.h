// Switching controls off for the time of an operation and back to what each
// one was before.
#pragma once

#include "platform/WinTypes.h"

#include <QPointer>
#include <QWidget>

#include <vector>

// Keeps the enabled state each control had before it was first switched off.
// A control switched off by several groups comes back only when the last of
// them is restored, and restoring one group leaves the others' states alone.
class CCtrlEnabledCtrl {
public:
    using Group = std::vector<QWidget*>;

    // Saves the state of each control not saved yet and disables them all;
    // null entries are skipped. Returns 1.
    BOOL DisableGroup(const Group& group);
    // Gives each control of the group back its saved state; 0 when none of
    // them has one, else 1.
    BOOL RestoreGroup(const Group& group);

    // Controls whose state is held.
    size_t GetSavedCount() const;

private:
    struct SAVED_STATE {
        QPointer<QWidget> pWnd;
        bool bEnabled;
        int nHolds; // groups that switched it off and are not restored yet
    };
    SAVED_STATE* Find(const QWidget* pWnd);

    std::vector<SAVED_STATE> m_Saved;
};

// Sets one window's enabled state for the life of the guard and the
// opposite state when the guard goes, on every way out of the scope.
class CWndEnabledCtrl {
public:
    CWndEnabledCtrl(QWidget* pWnd, BOOL bEnable);
    ~CWndEnabledCtrl();
    CWndEnabledCtrl(const CWndEnabledCtrl&) = delete;
    CWndEnabledCtrl& operator=(const CWndEnabledCtrl&) = delete;

private:
    QPointer<QWidget> m_pWnd;
    BOOL m_bEnable;
};
