// The continuous-save button of the main window: an interval series on the
// worker threads, or one image per click; the series' folder and subfolder,
// the threads' messages in the message line, and the look and state of the
// capture buttons while a series runs.
#pragma once

#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"
#include "workflow/capture/SaveContinueState.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

class CContinueSave;
class ISeriesClock;

// What a series works on. The tool window may be absent.
struct SERIES_PARTS {
    QWidget* pOwner; // the dialogs' parent
    IMainButtons& buttons;
    IStatusLine& status;
    IPictureState& picture;
    SYSTEM_SETTING& setting;
    CDisplayGeometry& geometry;
    CCameraCtrl& camera;
    CMeasureModeDlg* pTool;
    IMessageSink* pSink;   // where the series' threads post their progress
    ISeriesClock* pClock;  // null: the system's steady clock
    // One still picture from the camera into the picture buffer; false with
    // the capture error already shown.
    std::function<bool()> fnTakeStill;
    // Asks before the results go with the picture; false: the user keeps them.
    std::function<bool()> fnMayReplacePicture;
    // The tool window's measuring controls on or off.
    std::function<void(bool)> fnEnableMeasure;
};

class CSeriesController {
public:
    explicit CSeriesController(const SERIES_PARTS& parts);
    ~CSeriesController();
    CSeriesController(const CSeriesController&) = delete;
    CSeriesController& operator=(const CSeriesController&) = delete;

    // The continuous-save button's handler: starts or stops an interval
    // series, or saves the next image of a click series.
    void OnBnClickedBtnSaveContinue();
    // Part of the main window's refresh of its controls: load, save and
    // continuous save, and while a series runs the picture actions disabled.
    void UpdateCaptureButtons();
    // The results were cleared: the next click begins a new click series.
    void OnResultsCleared() { m_State.bClickStarted = false; }

    // The threads' messages; lParam is the series id.
    void OnSaveImageContinue(WPARAM wParam, LPARAM lParam);
    void OnEndSaveImageContinue(WPARAM wParam, LPARAM lParam);
    void OnSaveContinueCountdown(WPARAM wParam, LPARAM lParam);

    // Both threads end before the camera and the log go; a file being written is finished.
    void StopThreads();

    const SAVE_CONTINUE_STATE& State() const { return m_State; }

private:
    std::array<QWidget*, 8> ControlGroup1() const;
    void UpdateSaveContinueButton();
    bool ChooseSeriesTarget(bool bTopmostDialog);
    BOOL MakeSaveSubFolder(QString& subFolder);
    void SaveContinueInterval();
    void SaveContinueOnClick();
    void EndSaveContinueSeries();
    // The part of the picture a save keeps: the visible part of a zoomed view

    SERIES_PARTS m_Parts;
    SAVE_CONTINUE_STATE m_State;
    std::unique_ptr<CContinueSave> m_pContinueSave;
};
