// The main window's side of a measurement: the tool window's start, undo,
// cancel, delete, text and export notices, the overlay's progress and end
// notices, the results copied from the engine and the selection both ways
// between the results list and the picture, and the control groups held off
// while a shape or a reference line is being input.
#pragma once

#include "engine/RgnData.h"
#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"
#include "workflow/measure/InputControlGroups.h"

#include <QString>

#include <functional>
#include <vector>


// What measuring works on from the start.
struct MEASURE_PARTS {
    QWidget* pOwner; // the dialogs' parent
    IMainButtons& buttons;
    IStatusLine& status;
    IPictureState& picture;
    SYSTEM_SETTING& setting;
    // The results were cleared on the user's word: a click series begins anew.
    std::function<void()> fnResultsCleared;
};

class CMeasureController {
public:
    explicit CMeasureController(const MEASURE_PARTS& parts) : m_Parts(parts) {}
    // The overlay (may be absent) and the tool window, once the window made them.
    void AttachWindows(CLayeredWnd* pOverlay, CMeasureModeDlg* pTool);

    // The results in display order and the rows the user selected in the list.
    std::vector<MEASURE_DATA>& Results() { return MeasDataList; }
    std::vector<int>& Selection() { return m_SelList; }
    // The engine's results copied in after a change.
    void CopyResults();
    // Before another picture replaces the current one: false when the user keeps the measurements.
    bool CheckClearMeasureData();

    // The tool window's measuring controls, unless an input holds them off.
    void EnableMeasureGroup(bool bEnable);
    // nGroup: INPUT_GROUP_CALIBRATION or INPUT_GROUP_MEASURE.
    void DisableInputGroup(int nGroup);
    void RestoreInputGroup(int nGroup);

    void OnStartMake(int nKind);
    void OnStartMakeText();
    void OnEditText();
    void OnCancelMakeShape();
    void OnUndoSetPoint();
    void OnEndMakeShape(WPARAM wParam);
    void OnErrorMakeShape();
    void OnInvalidSetPoint();
    void OnMakingRgnDispCaption(int nKind, int nCount);
    void OnSelectMeasureShape(int32_t nMeasNum, LPARAM lSource);
    void OnDeleteSelMeasureData();
    void OnDeleteAllMeasureData(WPARAM wAlsoCalibration, LPARAM lQuestion);
    void OnSaveMeasureData();
    void OnDispMeasureShape(bool bShow);
    BOOL IsDispMeasureShape() const { return m_bDispMeasureShape; }

private:
    // The text dialog for a new or an edited note; false when cancelled.
    bool AskText(const QString& text, QString& fontName, int& nFontPt, COLORREF& color);

    MEASURE_PARTS m_Parts;
    CLayeredWnd* m_pOverlay = nullptr;
    CMeasureModeDlg* m_pTool = nullptr;
    std::vector<MEASURE_DATA> MeasDataList;
    std::vector<int> m_SelList;
    CInputControlGroups m_InputGroups;
    BOOL m_bDispMeasureShape = TRUE;
    // The last text note's attributes.
    QString m_LastText;
    COLORREF m_crLastText = 0x0000FFFF;
};
