// The cross lines over the picture: the main window's cross-line button and
// its cancel button, the input the overlay collects, hiding and showing, and
// the positions kept in the settings file.
#pragma once

#include "app/dialogs/EnabledCtrl.h"
#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

#include <vector>

class CRgnDataCtrl;
class QAbstractButton;

// What the cross lines work on. The overlay and the tool window may be
// absent (a window that failed to build them).
struct CROSS_LINES_PARTS {
    IMainButtons& buttons;
    IStatusLine& status;
    IPictureState& picture;
    SYSTEM_SETTING& setting;
    CLayeredWnd* pOverlay;
    CMeasureModeDlg* pTool;
};

class CCrossLines {
public:
    explicit CCrossLines(const CROSS_LINES_PARTS& parts);

    void OnBnClickedDispCrossLine();
    void OnBnClickedBtnCancelMakeCross();
    // At start, with a picture present: the stored lines given to the overlay.
    BOOL LoadCrossLinePosValue();
    BOOL SaveCrossLinePosValue();
    void OnDeleteCrossLine() { m_bClearCrossLine = TRUE; }
    BOOL IsClearMarked() const { return m_bClearCrossLine; }
    // The settings' confirm step: with the clear mark set, the lines and their
    // stored positions go; the mark is cleared.
    void ApplyClearMark();
    // The lines and their stored positions go (a new resolution, the clear mark).
    void DeleteCrossLines();
    void OnMakingCrossLineDispCaption(UINT nID);
    // The overlay placed the last line.
    void OnEndMakeCrossLine();
    // After the main window's own button update: 1038 by the settings, and
    // the cross-line group kept off while lines are being placed.
    void UpdateButtons();
    bool IsMaking() const { return m_bMaking; }

private:
    void StartInput();
    void SetShown(BOOL bShow);
    void EndInputLook();
    void RestoreGroup();
    std::vector<QWidget*> Group() const;
    QAbstractButton* CrossButton() const;
    QWidget* CancelButton() const;
    CRgnDataCtrl* Engine() const;

    IMainButtons& m_Buttons;
    IStatusLine& m_Status;
    IPictureState& m_Picture;
    SYSTEM_SETTING& m_Setting;
    CLayeredWnd* m_pOverlay;
    CMeasureModeDlg* m_pTool;
    CCtrlEnabledCtrl m_Enabler;
    // Control group 2 is switched off: cross-line input under way.
    bool m_bMaking = false;
    BOOL m_bClearCrossLine = FALSE;
};
