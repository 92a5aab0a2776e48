// The main window: the picture of the camera or of a still image with the
// measurement overlay over it, the zoom controls, the message line, the
// status bar and the buttons of every flow. This class is the composition
// root: it owns the controllers of the flows, gives each the parts of the
// window it uses through small interfaces (IStatusLine, IMainButtons,
// IStatusParts, IPictureState), keeps the described button handlers as
// forwarders, and hands each window message to its handler from one table.
//   PixmetraDlg.cpp        construction, start-up, the message table, exit
//   MainLayout.cpp         controls and their layout on resize
//   MainStatusBar.*, MainPlacement.*   the status bar; where the windows lie
//   live/                  CLiveController (camera, stream, frames, live/still,
//                          the camera's return), CPictureViewController (fit,
//                          zoom, ratio list, scroll bars, overlay view)
//   measure/               CMeasureController (input, results, selection)
//   calibration/           CCalibrationController (reference line, slots, .clb)
//   capture/               CStillController, CSeriesController, CVideoRecord
//   settings/              CSettingsController (camera adjustment, settings)
//   overlay/, magnifier/   CCrossLines, CScaleBar, CZoomWndFlow
#pragma once

#include "app/SystemSetting.h"
#include "app/dialogs/StatusLine.h"
#include "camera/CameraCtrl.h"
#include "engine/LayeredWnd.h"
#include "image/AccImage.h"
#include "platform/MessageReceiver.h"
#include "workflow/MainButtons.h"
#include "workflow/StatusParts.h"
#include "workflow/WindowParts.h"
#include "workflow/capture/SaveContinueState.h"
#include "workflow/capture/StillController.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureState.h"
#include "workflow/live/LiveController.h"
#include "workflow/live/PictureViewController.h"
#include "workflow/measure/MeasureController.h"
#include "workflow/settings/SettingsController.h"

#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CReportFlow;
struct REPORT_HEADER;

class CAboutDlg;
class CMainStatusBar;
class CCalibrationController;
class CCrossLines;
class CEdgeSnapFlow;
class CScaleBar;
class CZoomWndFlow;
class ISeriesClock;
class CMeasureModeDlg;
class CPictureBox;
class CPictureNavigator;
class CPointerReadout;
class CSeriesController;
class CVideoRecord;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace Ui {
class CPixmetraDlg;
}


// What the window is built on; tests replace the camera library or make the
// overlay fail.
struct MAIN_WINDOW_OPTIONS {
    CICubeApi* pApi = nullptr; // null: the process-wide camera library
    bool bOverlayFails = false;
    ISeriesClock* pSeriesClock = nullptr; // null: continuous save keeps the system's time
};

// The main window's parts: the ones its flows share, and the controllers.
// The ones a closed window has let go are null.
struct MAIN_WINDOW_PARTS : WINDOW_PARTS {
    IMessageSink& sink; // where the flows' threads post their notices
    CCameraCtrl& camera;
    CMeasureController& measure;
    CPictureBox* pPicture;
    CCalibrationController* pCalibration;
    CSettingsController* pSettings;
    CScaleBar* pScaleBar;
    CVideoRecord* pVideoRecord;
};

class CPixmetraDlg : public QWidget, public IStatusLine, public IMainButtons, public IStatusParts {
public:
    explicit CPixmetraDlg(QWidget* pParent = nullptr, const MAIN_WINDOW_OPTIONS& options = MAIN_WINDOW_OPTIONS());
    ~CPixmetraDlg() override;

    BOOL OnInitDialog();
    void SetStatusMessage(const QString& text) override;
    void UpdateButtons() override;
    BOOL InitWindow();

    // Camera and live view.
    void OnBnClickedBtnDispImage() { m_pLive->OnBnClickedBtnDispImage(); }
    void OnAbout();
    // Display geometry.
    void OnBnClickedBtnZoomFit() { m_pView->ZoomFit(); }
    void OnBnClickedBtnZoomIn() { m_pView->ZoomIn(); }
    void OnBnClickedBtnZoomOut() { m_pView->ZoomOut(); }
    void OnCbnSelchangeComboRatio(int nSel) { m_pView->SelectRatio(nSel); }

    // settings/: the camera adjustment and the system settings, applied to the running window.
    void OnBnClickedBtnCameraSetting() { m_pSettings->OnBnClickedBtnCameraSetting(); }
    void OnBnClickedBtnSystemSetting() { m_pSettings->OnBnClickedBtnSystemSetting(); }
    // capture/: still capture, image files, continuous save.
    void OnBnClickedBtnSaveImage() { m_pStill->OnBnClickedBtnSaveImage(); }
    void OnBnClickedBtnLoadImage() { m_pStill->OnBnClickedBtnLoadImage(); }
    void OnBnClickedBtnSaveContinue();
    const SAVE_CONTINUE_STATE& SaveContinueState() const;

    // The control with template number nID, or null.
    QWidget* GetDlgItem(int nID) const override;
    QString GetStatusPartText(int nPart) const override;
    QString GetMessageText() const { return m_MessageText; }
    // The window's parts as they are now, for tests and benchmarks to reach
    // the flows through; valid once the window initialised.
    MAIN_WINDOW_PARTS Parts();
    // Lays the controls out again (a resize, a control shown or hidden).
    void UpdateLayout() override;
    // Called once the window was closed and shut down (the program ends then).
    void SetShutDownHandler(std::function<void()> fn) { m_fnShutDown = std::move(fn); }

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    // Every message to the flow that handles it, from one table.
    struct MESSAGE_TABLE;
    void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // The flows that work on the window, made once its controls, overlay and tool window are.
    void CreateFlows();
    // A series or a recording holds the camera.
    bool CaptureHoldsCamera() const;
    // The camera or the picture file a report names.
    REPORT_HEADER ReportSource() const;
    void OnDestroy();

    // MainLayout.cpp
    void SetStatusPart(int nPart, const QString& text) override;
    // Where only the picture lies in a main window of the given client rectangle.
    QRect PictureArea(const QRect& client) const;
    void SetDispImageButtonLook(int nKind) override;
    void ConnectControls();


    std::unique_ptr<Ui::CPixmetraDlg> m_pUi;
    SYSTEM_SETTING m_Setting;
    CMemberReceiver<CPixmetraDlg, &CPixmetraDlg::OnMessage> m_Receiver;
    CReceiverSink m_Sink;
    CCameraCtrl CameraCtrl;
    CAccImage AccImage;
    CDisplayGeometry m_Geometry;
    MAIN_WINDOW_OPTIONS m_Options;
    std::unique_ptr<CVideoRecord> m_pVideoRecord;
    std::unique_ptr<CPictureViewController> m_pView;
    std::unique_ptr<CLiveController> m_pLive;
    std::unique_ptr<CMeasureController> m_pMeasure;
    std::unique_ptr<CStillController> m_pStill;
    std::unique_ptr<CReportFlow> m_pReport;

    CPictureBox* m_pPicture = nullptr;
    CLayeredWnd* m_pLayeredWnd = nullptr;
    CMainStatusBar* m_pStatusBar = nullptr;
    CMeasureModeDlg* m_pMeasureModeDlg = nullptr;
    std::unique_ptr<CCrossLines> m_pCrossLines;
    std::unique_ptr<CScaleBar> m_pScaleBar;
    std::unique_ptr<CZoomWndFlow> m_pZoomFlow;
    BOOL m_bMeasureModeShown = FALSE;

    double m_dDisplayScale = 1.0;
    BOOL m_bInitialized = FALSE;
    BOOL m_bDestroyed = FALSE;
    QString m_MessageText;
    QSize m_MinSize;
    // The main window took the place it had at the last end.
    BOOL m_bPlacementRestored = FALSE;


    std::function<void()> m_fnShutDown;
    std::unique_ptr<CSeriesController> m_pSeries;
    std::unique_ptr<CSettingsController> m_pSettings;
    std::unique_ptr<CCalibrationController> m_pCalibration;
    // The wheel and the middle button on the picture, and what lies under the pointer.
    std::unique_ptr<CPointerReadout> m_pReadout;
    std::unique_ptr<CPictureNavigator> m_pNavigator;
    std::unique_ptr<CEdgeSnapFlow> m_pEdgeSnap;
};
