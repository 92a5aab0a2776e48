#include "workflow/PixmetraDlg.h"

#include "app/LogFile.h"
#include "app/MainWindowMessages.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/SystemSetting.h"
#include "app/dialogs/AboutDlg.h"
#include "app/dialogs/DialogKeys.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "app/dialogs/TranslateWindow.h"
#include "engine/LayeredWnd.h"
#include "engine/OverlayMessages.h"
#include "ui_PixmetraDlg.h"
#include "workflow/MainControls.h"
#include "workflow/MainMessages.h"
#include "workflow/MainPlacement.h"
#include "workflow/MainStrings.h"
#include "workflow/calibration/CalibrationController.h"
#include "workflow/capture/CaptureMessages.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/capture/SeriesController.h"
#include "workflow/capture/VideoRecord.h"
#include "workflow/live/LiveController.h"
#include "workflow/live/PictureBox.h"
#include "workflow/live/PictureNavigator.h"
#include "workflow/live/PointerReadout.h"
#include "workflow/measure/report/ReportFlow.h"
#include "workflow/magnifier/ZoomWndDlg.h"
#include "workflow/measure/EdgeSnapFlow.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/overlay/ScaleBar.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>

static void InitMainIcons()
{
    // The icons live in a static library; its resources register only when asked.
    Q_INIT_RESOURCE(main_icons);
}

CPixmetraDlg::CPixmetraDlg(QWidget* pParent, const MAIN_WINDOW_OPTIONS& options)
    : QWidget(pParent), m_pUi(std::make_unique<Ui::CPixmetraDlg>()), m_Receiver(this), m_Sink(&m_Receiver),
      CameraCtrl(options.pApi), m_Options(options)
{
    InitMainIcons();
    m_pUi->setupUi(this);
    SetDefaultSystemSetting(m_Setting);
    m_Geometry.SetLogSink([](const std::string& line) { WriteLog(QString::fromStdString(line)); });
    m_pLive = std::make_unique<CLiveController>(LIVE_PARTS{
        this, *this, *this, *this, CameraCtrl, AccImage, m_Geometry, m_Setting, &m_Sink,
        [this] { return CaptureHoldsCamera(); },
        [this] {
            if (m_pSettings != nullptr) {
                m_pSettings->ReconnectCamera();
            }
        }});
    m_pMeasure = std::make_unique<CMeasureController>(MEASURE_PARTS{this, *this, *this, *m_pLive, m_Setting, [this] {
        if (m_pSeries != nullptr) {
            m_pSeries->OnResultsCleared();
        }
    }});
}

CPixmetraDlg::~CPixmetraDlg()
{
    OnDestroy();
}

BOOL CPixmetraDlg::OnInitDialog()
{
    WriteLog(QStringLiteral("[MAIN]OnInitDialog()->"));
    // The version box opens from the menu button and F1 (the window manager's menu is not ours).
    LoadSystemSetting(m_Setting);
    TranslateChildWindows(this);
    m_dDisplayScale = logicalDpiX() / 96.0;
    m_pLive->ClearFileImage();
    m_Geometry.CameraView() = DISP_VIEW_STATE{};
    m_Geometry.StillView() = DISP_VIEW_STATE{};

    m_pLive->InitCamera();
    UINT nStartMessage = m_pLive->IsCameraOK() ? IDS_CAMERA_CONNECTED : IDS_CAMERA_NOT_CONNECTED;
    if (!InitWindow() && m_pLive->IsCameraOK()) {
        nStartMessage = IDS_WINDOW_INIT_ERROR;
    }
    CreateFlows();
    if (m_pLive->IsCameraOK() && !m_pLive->StartStreaming(FALSE)) {
        nStartMessage = IDS_STREAM_START_ERROR;
    }
    // A picture is present when the camera streams (its frames come at the
    // camera's size) or the picture buffer holds one.
    if (m_pLive->HasPicture()) {
        const IMAGE_INFO info = m_pLive->IsCameraOK() ? m_pLive->CameraImageInfo()
                                            : IMAGE_INFO{24, AccImage.GetWidth(), AccImage.GetHeight()};
        m_pView->ResetPictureView(info);
        if (m_pLayeredWnd != nullptr) {
            m_pView->InitialiseOverlay(info.nWidth, info.nHeight);
            // A calibration kept from the last run measures in its unit at once.
            m_pCalibration->ApplyCalibration();
        }
    }

    m_pCrossLines->LoadCrossLinePosValue();
    m_pLive->SetImageKind(m_pLive->IsCameraOK() ? DISP_CAMERA_IMAGE : DISP_STILL_IMAGE);
    UpdateButtons();
    SetStatusString(nStartMessage);

    m_bInitialized = TRUE;
    m_bPlacementRestored = RestoreWindowPlacement(*this, m_Setting, m_MinSize) ? TRUE : FALSE;
    WriteLog(QStringLiteral("[MAIN]->OnInitDialog is End."));
    return TRUE;
}

void CPixmetraDlg::CreateFlows()
{
    m_pCalibration = std::make_unique<CCalibrationController>(CALIBRATION_PARTS{
        this, *this, *this, *this, *m_pLive, m_Setting, m_pLayeredWnd, m_pMeasureModeDlg,
        [this](bool bHold) {
            if (bHold) {
                m_pMeasure->DisableInputGroup(INPUT_GROUP_CALIBRATION);
            } else {
                m_pMeasure->RestoreInputGroup(INPUT_GROUP_CALIBRATION);
            }
        },
        [this] { m_pMeasure->CopyResults(); }, [this] { return !m_pMeasure->Results().empty(); },
        [this](UINT nQuestion) { m_pMeasure->OnDeleteAllMeasureData(1, LPARAM(nQuestion)); },
        [this] { return m_pMeasure->IsDispMeasureShape() != FALSE; }});
    m_pCrossLines = std::make_unique<CCrossLines>(
        CROSS_LINES_PARTS{*this, *this, *m_pLive, m_Setting, m_pLayeredWnd, m_pMeasureModeDlg});
    m_pScaleBar = std::make_unique<CScaleBar>(this, *this, m_Setting, m_pLayeredWnd, m_pMeasureModeDlg);
    m_pZoomFlow = std::make_unique<CZoomWndFlow>(
        ZOOM_FLOW_PARTS{*this, &m_Sink, AccImage, m_Geometry, m_Setting, m_pMeasureModeDlg});
    m_pScaleBar->SetMagnifier(m_pZoomFlow->ZoomWnd());
    const WINDOW_PARTS window = Parts();
    m_pStill = std::make_unique<CStillController>(
        STILL_PARTS{window, [this] { return m_pMeasure->CheckClearMeasureData(); },
                    [this] { m_pCalibration->ApplyCalibration(); }});
    m_pSeries = std::make_unique<CSeriesController>(SERIES_PARTS{
        this, *this, *this, *m_pLive, m_Setting, m_Geometry, CameraCtrl, m_pMeasureModeDlg, &m_Sink,
        m_Options.pSeriesClock, [this] { return m_pLive->OneShotImage(FALSE) != FALSE; },
        [this] { return m_pMeasure->CheckClearMeasureData(); }, [this](bool bEnable) { m_pMeasure->EnableMeasureGroup(bEnable); }});
    m_pVideoRecord = std::make_unique<CVideoRecord>(
        VIDEO_RECORD_PARTS{this, *this, *this, *m_pLive, CameraCtrl, m_pSeries->State(), m_pLayeredWnd, m_pMeasureModeDlg,
                           [this] { return m_pMeasure->CheckClearMeasureData(); }});
    m_pSettings = std::make_unique<CSettingsController>(SETTINGS_PARTS{
        window, &m_Sink, *this, CameraCtrl, [this] { return !m_pMeasure->Results().empty(); },
        [this] { m_pMeasure->OnDeleteAllMeasureData(0, LPARAM(-1)); }, [this] { m_pCalibration->ApplyCalibration(); },
        [this] { return CaptureHoldsCamera(); }});
    m_pEdgeSnap = std::make_unique<CEdgeSnapFlow>(EDGE_SNAP_PARTS{AccImage, m_Setting, m_pLayeredWnd, m_pMeasureModeDlg});
    m_pReport = std::make_unique<CReportFlow>(REPORT_FLOW_PARTS{
        *this, *m_pLive, m_Setting, m_pMeasure->Results(),
        [this]() -> const CRgnDataCtrl* { return m_pLayeredWnd != nullptr ? &m_pLayeredWnd->Engine() : nullptr; },
        [this] { return ReportSource(); }});
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->PageMeasurement()->SetReportAction([this] { m_pReport->OnSaveReport(); });
    }
}

bool CPixmetraDlg::CaptureHoldsCamera() const
{
    return SaveContinueState().bSaving || (m_pVideoRecord != nullptr && m_pVideoRecord->IsRecording());
}

MAIN_WINDOW_PARTS CPixmetraDlg::Parts()
{
    return MAIN_WINDOW_PARTS{
        {this, *this, *this, *m_pLive, *m_pView, m_Geometry, m_Setting, m_pLayeredWnd, m_pMeasureModeDlg,
         m_pCrossLines.get(), m_pZoomFlow.get()},
        m_Sink,
        CameraCtrl,
        *m_pMeasure,
        m_pPicture,
        m_pCalibration.get(),
        m_pSettings.get(),
        m_pScaleBar.get(),
        m_pVideoRecord.get()};
}

REPORT_HEADER CPixmetraDlg::ReportSource() const
{
    REPORT_HEADER h;
    if (m_pLive->IsFileImageLoaded() != FALSE) {
        h.imageFileName = QFileInfo(m_pLive->FileImagePath()).fileName();
    } else if (m_pLive->IsCameraOK() != FALSE) {
        const int nCamera = CameraCtrl.GetCurrentCamera();
        h.cameraName = CameraCtrl.GetCameraName(nCamera);
        h.cameraSerial = CameraCtrl.GetSerialNum(nCamera);
    }
    return h;
}

void CPixmetraDlg::SetStatusMessage(const QString& text)
{
    m_MessageText = text;
    m_pUi->labelMessage->setText(text);
}

void CPixmetraDlg::UpdateButtons()
{
    const bool bPicture = m_pLive->HasPicture();
    for (QWidget* pControl : {static_cast<QWidget*>(m_pUi->btnZoomFit), static_cast<QWidget*>(m_pUi->btnZoomIn),
                              static_cast<QWidget*>(m_pUi->btnZoomOut), static_cast<QWidget*>(m_pUi->comboRatio)}) {
        pControl->setEnabled(bPicture);
    }
    m_pUi->btnDispImage->setEnabled(m_pLive->IsCameraOK());
    m_pUi->btnSetting->setEnabled(true);
    m_pUi->btnCameraSetting->setEnabled(m_pLive->IsCameraOK() && CameraCtrl.IsOpen());
    // Each flow's own states, then the ones a running flow switches off:
    // a series or a recording, and last a shape or reference line being input.
    if (m_pSeries != nullptr) {
        m_pSeries->UpdateCaptureButtons();
    }
    if (m_pCrossLines != nullptr) {
        m_pCrossLines->UpdateButtons();
    }
    if (m_pVideoRecord != nullptr) {
        m_pVideoRecord->UpdateControls();
    }
    // Measuring needs the overlay and a picture, and no series running.
    m_pMeasure->EnableMeasureGroup(m_pLayeredWnd != nullptr && bPicture && !SaveContinueState().bSaving);
}

void CPixmetraDlg::OnBnClickedBtnSaveContinue()
{
    m_pSeries->OnBnClickedBtnSaveContinue();
}

const SAVE_CONTINUE_STATE& CPixmetraDlg::SaveContinueState() const
{
    static const SAVE_CONTINUE_STATE kNoSeries;
    return m_pSeries != nullptr ? m_pSeries->State() : kNoSeries;
}

void CPixmetraDlg::closeEvent(QCloseEvent* pEvent)
{
    if (!m_pMeasure->Results().empty() &&
        AfxMessageBox(IDS_DELETE_ALL_QUESTION, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_TOPMOST, this) != IDYES) {
        pEvent->ignore();
        return;
    }
    OnDestroy();
    pEvent->accept();
    // The tool window, the magnifier and any dialog still open go with the
    // main window; the owner of the window then ends the program.
    for (QWidget* pChild : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (pChild->isWindow()) {
            pChild->hide();
        }
    }
    if (m_fnShutDown) {
        m_fnShutDown();
    }
}

void CPixmetraDlg::OnDestroy()
{
    if (m_bDestroyed) {
        return;
    }
    m_bDestroyed = TRUE;
    WriteLog(QStringLiteral("[MAIN]OnDestroy()->"));
    if (m_bInitialized) {
        SaveWindowPlacement(*this, m_Setting);
        if (m_pZoomFlow != nullptr) {
            m_pZoomFlow->SavePlacement();
        }
        SaveSystemSetting(m_Setting);
    }
    if (m_pVideoRecord != nullptr) {
        m_pVideoRecord->OnDestroy();
    }
    if (m_pSeries != nullptr) {
        m_pSeries->StopThreads();
    }
    m_pLive->OnDestroy();
    // The overlay goes before the camera is released; nothing reaches it afterwards.
    delete m_pLayeredWnd;
    m_pLayeredWnd = nullptr;
    m_pSettings.reset();
    m_pScaleBar.reset();
    m_pCrossLines.reset();
    m_pCalibration.reset();
    m_pZoomFlow.reset();
    CameraCtrl.CloseCamera();
    WriteLog(QStringLiteral("[MAIN]OnDestroy() is End."));
}

void CPixmetraDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (m_pMeasureModeDlg != nullptr && m_pMeasureModeDlg->PageMeasurement()->HandleEditKey(pEvent->key(), pEvent->modifiers())) {
        pEvent->accept();
        return;
    }
    // Neither Enter nor Escape closes the window.
    if (SwallowEnterEscape(pEvent)) {
        return;
    }
    if (pEvent->key() == Qt::Key_F1) {
        pEvent->accept();
        OnAbout();
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

void CPixmetraDlg::OnAbout()
{
    CAboutDlg dlg(this);
    m_pLive->FillAboutDlg(dlg);
    dlg.exec();
}

void CPixmetraDlg::mouseReleaseEvent(QMouseEvent* pEvent)
{
    // The hidden video button shows with Ctrl+Shift and the right button.
    if (pEvent->button() == Qt::RightButton && (pEvent->modifiers() & Qt::ControlModifier) &&
        (pEvent->modifiers() & Qt::ShiftModifier)) {
        m_pUi->btnSaveVideo->show();
        UpdateLayout();
    }
    QWidget::mouseReleaseEvent(pEvent);
}

void CPixmetraDlg::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    // The tool window first shows with the main window, beside it, once the
    // main window's frame is placed.
    if (m_pMeasureModeDlg != nullptr && !m_bMeasureModeShown && !pEvent->spontaneous()) {
        m_bMeasureModeShown = TRUE;
        QMetaObject::invokeMethod(
            this,
            [this] {
                PlaceToolWindow(*this, *m_pMeasureModeDlg, m_bPlacementRestored != FALSE,
                                [this](const QRect& client) { return PictureArea(client); });
                m_pMeasureModeDlg->show();
            },
            Qt::QueuedConnection);
    }
}

void CPixmetraDlg::changeEvent(QEvent* pEvent)
{
    // The tool window is minimised and restored with the main window.
    if (pEvent->type() == QEvent::WindowStateChange && m_pMeasureModeDlg != nullptr && m_pMeasureModeDlg->isVisible()) {
        if (isMinimized()) {
            m_pMeasureModeDlg->showMinimized();
        } else if (m_pMeasureModeDlg->isMinimized()) {
            m_pMeasureModeDlg->showNormal();
        }
    }
    QWidget::changeEvent(pEvent);
}

// Every message the window receives, to the flow that handles it. Messages
// two flows share (the cancel and failure of an input) go to the one whose
// input is under way. A nested type, so its handlers reach the window's flows.
struct CPixmetraDlg::MESSAGE_TABLE {
    using HANDLER = void (*)(CPixmetraDlg&, WPARAM, LPARAM);
    struct ENTRY {
        UINT nMessage;
        HANDLER pfnHandler;
    };
    static constexpr ENTRY kEntries[] = {
        // Camera.
        {WM_CAMERA_FRAME,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) {
             w.m_pLive->OnCameraFrame(int(wp), int(lp));
             if (w.m_pZoomFlow != nullptr) {
                 w.m_pZoomFlow->OnNewPicture();
             }
             if (w.m_pReadout != nullptr) {
                 w.m_pReadout->OnNewPicture();
             }
         }},
        {WM_CAMERA_DISCONNECT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pLive->OnDisConnectedMessage(); }},
        // Tool window: display, magnifier, placement.
        {WM_DISP_MEASURE_SHAPE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnDispMeasureShape(wp != 0); }},
        {WM_DISP_ZOOM_WINDOW, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pZoomFlow->OnDispZoomWindow(wp); }},
        {WM_CLOSE_ZOOM_WINDOW, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pZoomFlow->OnCloseZoomWindow(); }},
        {WM_MOUSE_POSITION,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pZoomFlow->OnMoveZoomPoint(int(intptr_t(wp)), int(lp)); }},
        {WM_MOVE_MEAS_MODE_DLG,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) {
             w.m_Setting.MeasWndLeft = int32_t(wp);
             w.m_Setting.MeasWndTop = int32_t(lp);
         }},
        // Calibration.
        {WM_END_CALIBRATION_TAB, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnEndCalibrationTab(); }},
        {WM_SELECT_CALIBRATION_LIST, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnChangeCalibration(); }},
        {WM_CHANGE_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnChangeCalibration(); }},
        {WM_START_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnStartSetCalibration(); }},
        {WM_END_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnEndSetCalibration(); }},
        {WM_CANCEL_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnCancelSetCalibration(); }},
        {WM_ERROR_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnErrorSetCalibration(); }},
        {WM_LOAD_CALIBRATION_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnLoadCalibrationData(); }},
        {WM_SAVE_CALIBRATION_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnSaveCalibrationData(); }},
        {WM_RECALC_MEAS_RESULT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->ApplyCalibration(); }},
        {WM_UPDATE_MEAS_RESULT_LIST,
         [](CPixmetraDlg& w, WPARAM, LPARAM) {
             if (w.m_pMeasureModeDlg != nullptr) {
                 w.m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
             }
         }},
        // Measurement input.
        {WM_START_MAKE_LINE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnStartMake(int(wp)); }},
        {WM_START_MAKE_CIRCLE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnStartMake(int(wp)); }},
        {WM_START_MAKE_ANGLE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnStartMake(int(wp)); }},
        {WM_START_MAKE_PERPENDICULAR, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_PERPENDICULAR); }},
        {WM_START_MAKE_2CIRCLE_LINE, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_2CIRCLE); }},
        {WM_START_MAKE_POLYGON, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_POLYGON); }},
        {WM_START_MAKE_POINT_COUNT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_COUNT); }},
        {WM_START_MAKE_TEXT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMakeText(); }},
        {WM_EDIT_TEXT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnEditText(); }},
        {WM_UNDO_SET_POINT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnUndoSetPoint(); }},
        {WM_CANCEL_MAKE_SHAPE,
         [](CPixmetraDlg& w, WPARAM, LPARAM) {
             // Esc or 中止 while the reference line is being drawn ends that input.
             if (w.m_pCalibration->IsCalibrating()) {
                 w.m_pCalibration->OnCancelSetCalibration();
             } else {
                 w.m_pMeasure->OnCancelMakeShape();
             }
         }},
        {WM_INVALID_SET_POINT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnInvalidSetPoint(); }},
        {WM_MAKING_RGN_DISP_CAPTION,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pMeasure->OnMakingRgnDispCaption(int(wp), int(lp)); }},
        {WM_END_MAKE_SHAPE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM) {
             if (wp == 1 && w.m_pCrossLines != nullptr) {
                 w.m_pCrossLines->OnEndMakeCrossLine();
             }
             w.m_pMeasure->OnEndMakeShape(wp);
         }},
        {WM_ERROR_MAKE_SHAPE,
         [](CPixmetraDlg& w, WPARAM, LPARAM) {
             // A first click off the picture: the reference line input goes on.
             if (w.m_pCalibration->IsCalibrating()) {
                 w.m_pCalibration->ShowCalibrationPrompt();
             } else {
                 w.m_pMeasure->OnErrorMakeShape();
             }
         }},
        // Results.
        {WM_SELECT_MEASURE_SHAPE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pMeasure->OnSelectMeasureShape(int32_t(intptr_t(wp)), lp); }},
        {WM_DELETE_SEL_MEASURE_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnDeleteSelMeasureData(); }},
        {WM_DELETE_ALL_MEASURE_DATA, [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pMeasure->OnDeleteAllMeasureData(wp, lp); }},
        {WM_SAVE_MEASURE_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnSaveMeasureData(); }},
        // Cross lines and scale bar.
        {WM_MAKING_CROSSLINE_DISP_CAPTION,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pCrossLines->OnMakingCrossLineDispCaption(UINT(wp)); }},
        {WM_DELETE_CROSS_LINE, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pSettings->OnDeleteCrossLine(); }},
        {WM_DISP_SCALE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pScaleBar->OnDispScale(wp); }},
        // Picture series.
        {WM_SAVE_IMAGE_CONTINUE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pSeries->OnSaveImageContinue(wp, lp); }},
        {WM_END_SAVE_IMAGE_CONTINUE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pSeries->OnEndSaveImageContinue(wp, lp); }},
        {WM_SAVE_CONTINUE_COUNTDOWN,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pSeries->OnSaveContinueCountdown(wp, lp); }},
    };
};

void CPixmetraDlg::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // The flows are made when the window initialises; a notice before that
    // (or after the window went) finds nobody to tell.
    const bool bFlows = m_pCrossLines != nullptr;
    if (!bFlows && nMessage != WM_CAMERA_FRAME && nMessage != WM_CAMERA_DISCONNECT) {
        return;
    }
    for (const MESSAGE_TABLE::ENTRY& entry : MESSAGE_TABLE::kEntries) {
        if (entry.nMessage == nMessage) {
            entry.pfnHandler(*this, wParam, lParam);
            return;
        }
    }
}
