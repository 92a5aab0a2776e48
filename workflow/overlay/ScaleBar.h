// The scale bar: shown and hidden from the measurement page's scale button,
// its corner and lengths asked with CSetScaleDlg when the settings say so,
// drawn by the overlay in the current calibration's unit.
#pragma once

#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"


class CScaleBar {
public:
    // pOwner: the dialog's parent; the overlay and the tool window may be absent.
    CScaleBar(QWidget* pOwner, IStatusLine& status, SYSTEM_SETTING& setting, CLayeredWnd* pOverlay, CMeasureModeDlg* pTool)
        : m_pOwner(pOwner), m_Status(status), m_Setting(setting), m_pOverlay(pOverlay), m_pTool(pTool)
    {
    }
    // Disabled with the other windows while the dialog is open.
    void SetMagnifier(QWidget* pMagnifier) { m_pMagnifier = pMagnifier; }

    void OnDispScale(WPARAM wShow);
    BOOL IsShown() const { return m_bDispScale; }

    // A stored corner outside 0..3 stands for the default, lower right.
    static int Corner(int nDispScalPos);

private:
    // The dialog for corner and lengths; false when cancelled.
    bool AskScale();
    void UncheckPageButton();

    QWidget* m_pOwner;
    IStatusLine& m_Status;
    SYSTEM_SETTING& m_Setting;
    CLayeredWnd* m_pOverlay;
    CMeasureModeDlg* m_pTool;
    QWidget* m_pMagnifier = nullptr;
    BOOL m_bDispScale = FALSE;
};
