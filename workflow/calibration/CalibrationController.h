// The main window's side of a calibration: the reference line drawn on the
// overlay, its true length asked for, the table stored into the settings,
// selection and deletion of slots, .clb files, and the current calibration
// handed to the overlay so every result is recomputed in its unit.
#pragma once

#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

#include <QObject>
#include <QString>

#include <functional>

class QAbstractButton;

// What a calibration works on. The overlay and the tool window may be absent
// (a window that failed to build them).
struct CALIBRATION_PARTS {
    QWidget* pOwner; // the dialogs' parent
    IMainButtons& buttons;
    IStatusLine& status;
    IStatusParts& statusParts;
    IPictureState& picture;
    SYSTEM_SETTING& setting;
    CLayeredWnd* pOverlay;
    CMeasureModeDlg* pTool;
    // The measuring controls held off while the reference line is drawn
    // (true), and back as they were (false).
    std::function<void(bool)> fnHoldMeasureInput;
    // The results the overlay recomputed, copied into the results list.
    std::function<void()> fnCopyResults;
    std::function<bool()> fnHasResults;
    // Asks nQuestion before every result goes; deletes them on Yes.
    std::function<void(UINT nQuestion)> fnAskDeleteResults;
    // The user's choice to show the measured shapes.
    std::function<bool()> fnShapesShown;
};

class CCalibrationController {
public:
    // Connects the calibration page's delete button.
    explicit CCalibrationController(const CALIBRATION_PARTS& parts);

    // The tool window's messages.
    void OnChangeCalibration();
    void OnEndCalibrationTab();
    void OnStartSetCalibration();
    void OnEndSetCalibration();
    void OnCancelSetCalibration();
    void OnErrorSetCalibration();
    void OnLoadCalibrationData();
    void OnSaveCalibrationData();
    void OnDeleteCalibration();

    // The reference line is being drawn.
    bool IsCalibrating() const;
    // The reference line's prompt for the current slot's kind of input.
    void ShowCalibrationPrompt();
    void UpdateCalibrationCaption();
    // The current enabled calibration to the overlay; every result recomputed.
    void ApplyCalibration();

private:
    void OnSelectCalibrationList();
    QAbstractButton* CalibrationSetButton() const;
    void EndCalibrationInput();
    static QString CalibrationFileFilter();

    CALIBRATION_PARTS m_Parts;
    // The set button's caption while it reads 中止.
    QString m_CalibSetCaption;
    // The page's button connections go with the controller.
    QObject m_Connections;
};
