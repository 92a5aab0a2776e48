#include "workflow/PixmetraDlg.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/DialogKeys.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "app/dialogs/TranslateWindow.h"
#include "ui_PixmetraDlg.h"
#include "workflow/MainControls.h"
#include "workflow/MainMessages.h"
#include "workflow/MainStrings.h"
#include "workflow/capture/VideoRecord.h"
#include "workflow/capture/ContinueSave.h"
#include "workflow/live/PictureBox.h"
#include "workflow/magnifier/ZoomWndDlg.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/overlay/ScaleBar.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

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
    m_pVideoRecord = std::make_unique<CVideoRecord>(*this);
    SetDefaultSystemSetting(m_Setting);
    m_Geometry.SetLogSink([](const std::string& line) { WriteLog(QString::fromStdString(line)); });
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
    m_bFileImageLoaded = FALSE;
    m_Geometry.CameraView() = DISP_VIEW_STATE{};
    m_Geometry.StillView() = DISP_VIEW_STATE{};

    m_bCameraOK = InitCamera();
    UINT nStartMessage = m_bCameraOK ? IDS_CAMERA_CONNECTED : IDS_CAMERA_NOT_CONNECTED;
    if (!InitWindow() && m_bCameraOK) {
        nStartMessage = IDS_WINDOW_INIT_ERROR;
    }
    m_pCrossLines = std::make_unique<CCrossLines>(*this);
    m_pScaleBar = std::make_unique<CScaleBar>(*this);
    m_pZoomFlow = std::make_unique<CZoomWndFlow>(*this, &m_Sink);
    m_pScaleBar->SetMagnifier(m_pZoomFlow->ZoomWnd());
    if (m_bCameraOK && !StartStreaming(FALSE)) {
        m_bCameraOK = FALSE;
        nStartMessage = IDS_STREAM_START_ERROR;
    }
    // A picture is present when the camera streams (its frames come at the
    // camera's size) or the picture buffer holds one.
    if (m_bCameraOK || !AccImage.IsEmpty()) {
        const IMAGE_INFO info = m_bCameraOK ? m_CameraImageInfo
                                            : IMAGE_INFO{24, AccImage.GetWidth(), AccImage.GetHeight()};
        ResetPictureView(info);
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Initialise(info.nWidth, info.nHeight, m_Geometry.CurrentView().CurDrawRatio);
            m_dOverlayRatio = 0.0;
            ApplyView();
            // A calibration kept from the last run measures in its unit at once.
            ApplyCalibration();
        }
    }

    m_pCrossLines->LoadCrossLinePosValue();
    SetImageKind(m_bCameraOK ? DISP_CAMERA_IMAGE : DISP_STILL_IMAGE);
    UpdateButtons();
    SetStatusMessage(nStartMessage);

    m_bInitialized = TRUE;
    RestoreWindowPlacement();
    WriteLog(QStringLiteral("[MAIN]->OnInitDialog is End."));
    return TRUE;
}

void CPixmetraDlg::SetStatusMessage(UINT nID, const QString& suffix)
{
    SetStatusMessage((nID > 0 ? GetProgramString(nID) : QString()) + suffix);
}

void CPixmetraDlg::SetStatusMessage(const QString& text)
{
    m_MessageText = text;
    m_pUi->labelMessage->setText(text);
}

void CPixmetraDlg::UpdateButtons()
{
    const bool bPicture = m_bCameraOK || !AccImage.IsEmpty();
    for (QWidget* pControl : {static_cast<QWidget*>(m_pUi->btnZoomFit), static_cast<QWidget*>(m_pUi->btnZoomIn),
                              static_cast<QWidget*>(m_pUi->btnZoomOut), static_cast<QWidget*>(m_pUi->comboRatio)}) {
        pControl->setEnabled(bPicture);
    }
    m_pUi->btnDispImage->setEnabled(m_bCameraOK);
    m_pUi->btnSetting->setEnabled(true);
    m_pUi->btnCameraSetting->setEnabled(m_bCameraOK && CameraCtrl.IsOpen());
    // Each flow's own states, then the ones a running flow switches off:
    // a series or a recording, and last a shape or reference line being input.
    UpdateCaptureButtons();
    if (m_pCrossLines != nullptr) {
        m_pCrossLines->UpdateButtons();
    }
    m_pVideoRecord->UpdateControls();
    // Measuring needs the overlay and a picture, and no series running.
    EnableMeasureGroup(m_pLayeredWnd != nullptr && bPicture && !m_SaveContinue.bSaving);
}

void CPixmetraDlg::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case WM_CAMERA_FRAME:
        OnCameraFrame(int(wParam), int(lParam));
        if (m_pZoomFlow != nullptr) {
            m_pZoomFlow->OnNewPicture();
        }
        break;
    case WM_CAMERA_DISCONNECT:
        OnDisConnectedMessage();
        break;
    case WM_DELETE_CROSS_LINE:
        OnDeleteCrossLine();
        break;
    default:
        if (OnCaptureMessage(nMessage, wParam, lParam)) {
            break;
        }
        if (m_pCrossLines != nullptr && (m_pCrossLines->OnMessage(nMessage, wParam, lParam) ||
                                         m_pScaleBar->OnMessage(nMessage, wParam, lParam) ||
                                         m_pZoomFlow->OnMessage(nMessage, wParam, lParam))) {
            break;
        }
        if (!OnCalibrationMessage(nMessage, wParam, lParam)) {
            OnMeasureMessage(nMessage, wParam, lParam);
        }
        break;
    }
}

void CPixmetraDlg::closeEvent(QCloseEvent* pEvent)
{
    if (!MeasDataList.empty() &&
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
        SaveWindowPlacement();
        if (m_pZoomFlow != nullptr) {
            m_pZoomFlow->SavePlacement();
        }
        SaveSystemSetting(m_Setting);
    }
    m_pVideoRecord->OnDestroy();
    WatchForCameraReturn(false);
    StopContinueSaveThreads();
    StopStreaming();
    // The overlay goes before the camera is released; nothing reaches it afterwards.
    delete m_pLayeredWnd;
    m_pLayeredWnd = nullptr;
    m_pScaleBar.reset();
    m_pCrossLines.reset();
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

void CPixmetraDlg::mouseReleaseEvent(QMouseEvent* pEvent)
{
    // The hidden video button shows with Ctrl+Shift and the right button.
    if (pEvent->button() == Qt::RightButton && (pEvent->modifiers() & Qt::ControlModifier) &&
        (pEvent->modifiers() & Qt::ShiftModifier)) {
        m_pUi->btnSaveVideo->show();
        LayoutControls();
    }
    QWidget::mouseReleaseEvent(pEvent);
}

void CPixmetraDlg::timerEvent(QTimerEvent* pEvent)
{
    if (pEvent->timerId() == m_nFrameTimerId) {
        OnFrameCountTimer();
        return;
    }
    if (pEvent->timerId() == m_nReturnTimerId) {
        OnCameraReturnTimer();
        return;
    }
    QWidget::timerEvent(pEvent);
}
