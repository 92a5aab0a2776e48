// Video recording from the main window: the file and the length asked for,
// the SDK's recording started, a one-second countdown in the message line
// with the toolbar of picture actions disabled, and the end taken from the
// SDK's recording state: 511 when the recording ran its length, a failure
// when the SDK stopped it early (the camera's cable pulled, the disk full),
// with the reason when the SDK tells the write error that ended it.
#pragma once

#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

struct SAVE_CONTINUE_STATE;

// What a recording works on. The overlay and the tool window may be absent.
struct VIDEO_RECORD_PARTS {
    QWidget* pOwner; // the dialogs' parent
    IMainButtons& buttons;
    IStatusLine& status;
    IPictureState& picture;
    CCameraCtrl& camera;
    const SAVE_CONTINUE_STATE& series; // no recording while a series runs
    CLayeredWnd* pOverlay;
    CMeasureModeDlg* pTool;
    // Asks before the results go with the picture; false: the user keeps them.
    std::function<bool()> fnMayReplacePicture;
};

class CVideoRecord : public QObject {
public:
    explicit CVideoRecord(const VIDEO_RECORD_PARTS& parts);

    // The video button's handler.
    void OnBnClickedBtnSaveAvi();
    // Part of the main window's refresh of its controls: the video button's
    // own state, and while recording the picture actions kept disabled.
    void UpdateControls();
    // The window goes away: the countdown stops (the stream's stop ends the
    // SDK's recording and completes its file).
    void OnDestroy();

    bool IsRecording() const { return m_bSaveAvi != FALSE; }
    int GetTotalSec() const { return SaveAviTotalSec; }
    // How long one second of the countdown lasts; tests speed it up.
    void SetTickInterval(int nMs) { m_nTickMs = nMs; }

protected:
    void timerEvent(QTimerEvent* pEvent) override;

private:
    // Steps 2 to 8 of the button: false when nothing was started.
    bool StartRecording();
    void OnTimerSaveAvi();
    void EndRecording(bool bCompleted);
    QString ProgressText() const;
    void DisableGroup();
    void RestoreGroup();

    VIDEO_RECORD_PARTS m_Parts;
    int SaveAviTotalSec = 0; // kept between recordings of one run
    int SaveAviSecCnt = 0;
    BOOL m_bSaveAvi = FALSE;
    int m_nSaveAviTimerId = 0;
    int m_nTickMs = 1000;
    // Since the count reached the total while the SDK still finishes its file.
    QElapsedTimer m_OverTime;
    // The enabled states of control group 3 before the recording.
    std::array<bool, 8> m_GroupEnabled{};
};
