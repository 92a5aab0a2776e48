// The scale bar: shown and hidden from the measurement page's scale button,
// its corner and lengths asked with CSetScaleDlg when the settings say so,
// drawn by the overlay in the current calibration's unit.
#pragma once

#include "platform/WinTypes.h"

class CPixmetraDlg;
class QWidget;

// From the measurement page's scale button: wParam 1 show, 0 hide.
constexpr UINT WM_DISP_SCALE = WM_USER + 0x31;

class CScaleBar {
public:
    explicit CScaleBar(CPixmetraDlg& dlg) : m_Dlg(dlg) {}
    // Disabled with the other windows while the dialog is open.
    void SetMagnifier(QWidget* pMagnifier) { m_pMagnifier = pMagnifier; }

    bool OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void OnDispScale(WPARAM wShow);
    BOOL IsShown() const { return m_bDispScale; }

    // A stored corner outside 0..3 stands for the default, lower right.
    static int Corner(int nDispScalPos);

private:
    // The dialog for corner and lengths; false when cancelled.
    bool AskScale();
    void UncheckPageButton();

    CPixmetraDlg& m_Dlg;
    QWidget* m_pMagnifier = nullptr;
    BOOL m_bDispScale = FALSE;
};
