#include "app/dialogs/SystemSettingDlg.h"

#include "app/LogFile.h"
#include "app/MainWindowMessages.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/LogCopyDlg.h"
#include "app/dialogs/NumberText.h"
#include "app/dialogs/SpinButtonCtrl.h"
#include "ui_SystemSettingDlg.h"

#include <QHideEvent>

#include <algorithm>

namespace {

using Dlg = CSystemSettingDlg;

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {Dlg::IDC_RADIO_JAPANESE, "IDC_RADIO_JAPANESE"},
    {Dlg::IDC_RADIO_ENGLISH, "IDC_RADIO_ENGLISH"},
    {Dlg::IDC_CHECK_REGIST_WINDOW_POS, "IDC_CHECK_REGIST_WINDOW_POS"},
    {Dlg::IDC_EDIT_CAPTION_FONT_NAME, "IDC_EDIT_CAPTION_FONT_NAME"},
    {Dlg::IDC_EDIT_CAPTION_FONT_PT, "IDC_EDIT_CAPTION_FONT_PT"},
    {Dlg::IDC_BTN_SEL_CAPTION_FONT, "IDC_BTN_SEL_CAPTION_FONT"},
    {Dlg::IDC_SLIDER_JPEG_QUALITY, "IDC_SLIDER_JPEG_QUALITY"},
    {Dlg::IDC_EDIT_JPEG_QUALITY, "IDC_EDIT_JPEG_QUALITY"},
    {Dlg::IDC_STATIC_JPEG_QUALITY, "IDC_STATIC_JPEG_QUALITY"},
    {Dlg::IDC_RADIO_BMP, "IDC_RADIO_BMP"},
    {Dlg::IDC_RADIO_JPEG, "IDC_RADIO_JPEG"},
    {Dlg::IDC_STATIC_FILE_FORMAT, "IDC_STATIC_FILE_FORMAT"},
    {Dlg::IDC_CHECK_SAVE_HOLE_IMAGE, "IDC_CHECK_SAVE_HOLE_IMAGE"},
    {Dlg::IDC_BTN_SAVE_CONTINUE_SETTING, "IDC_BTN_SAVE_CONTINUE_SETTING"},
    {Dlg::IDC_RADIO_CROSS_LINE_MAKE, "IDC_RADIO_CROSS_LINE_MAKE"},
    {Dlg::IDC_RADIO_CROSS_LINE_TOGGLE, "IDC_RADIO_CROSS_LINE_TOGGLE"},
    {Dlg::IDC_BTN_CROSS_COLOR, "IDC_BTN_CROSS_COLOR"},
    {Dlg::IDC_EDIT_CROSS_LINE_WIDTH, "IDC_EDIT_CROSS_LINE_WIDTH"},
    {Dlg::IDC_SPIN_CROSS_LINE_WIDTH, "IDC_SPIN_CROSS_LINE_WIDTH"},
    {Dlg::IDC_CHECK_CROSS_LINE_SEPARATE, "IDC_CHECK_CROSS_LINE_SEPARATE"},
    {Dlg::IDC_EDIT_VERT_LINE_NUM, "IDC_EDIT_VERT_LINE_NUM"},
    {Dlg::IDC_SPIN_VERT_LINE_NUM, "IDC_SPIN_VERT_LINE_NUM"},
    {Dlg::IDC_STATIC_VERT_LINE_NUM, "IDC_STATIC_VERT_LINE_NUM"},
    {Dlg::IDC_EDIT_HORZ_LINE_NUM, "IDC_EDIT_HORZ_LINE_NUM"},
    {Dlg::IDC_SPIN_HORZ_LINE_NUM, "IDC_SPIN_HORZ_LINE_NUM"},
    {Dlg::IDC_STATIC_HORZ_LINE_NUM, "IDC_STATIC_HORZ_LINE_NUM"},
    {Dlg::IDC_BTN_CLEAR_CROSS_LINE, "IDC_BTN_CLEAR_CROSS_LINE"},
    {Dlg::IDC_COMBO_CONNECT_CAMERA, "IDC_COMBO_CONNECT_CAMERA"},
    {Dlg::IDC_STATIC_CONNECT_CAMERA, "IDC_STATIC_CONNECT_CAMERA"},
    {Dlg::IDC_STATIC_CAMERA_GROUP, "IDC_STATIC_CAMERA_GROUP"},
    {Dlg::IDC_EDIT_LINE_WIDTH, "IDC_EDIT_LINE_WIDTH"},
    {Dlg::IDC_SPIN_LINE_WIDTH, "IDC_SPIN_LINE_WIDTH"},
    {Dlg::IDC_BTN_MAKE_RGN_COLOR, "IDC_BTN_MAKE_RGN_COLOR"},
    {Dlg::IDC_BTN_SEL_RGN_COLOR, "IDC_BTN_SEL_RGN_COLOR"},
    {Dlg::IDC_BTN_RGN_COLOR, "IDC_BTN_RGN_COLOR"},
    {Dlg::IDC_BTN_SCALE_COLOR, "IDC_BTN_SCALE_COLOR"},
    {Dlg::IDC_BTN_SEL_MEAS_STR_COLOR, "IDC_BTN_SEL_MEAS_STR_COLOR"},
    {Dlg::IDC_BTN_MEAS_STR_COLOR, "IDC_BTN_MEAS_STR_COLOR"},
    {Dlg::IDC_CHECK_AUTO_RESIZE, "IDC_CHECK_AUTO_RESIZE"},
    {Dlg::IDC_EDIT_MEAS_FONT_NAME, "IDC_EDIT_MEAS_FONT_NAME"},
    {Dlg::IDC_EDIT_MEAS_FONT_PT, "IDC_EDIT_MEAS_FONT_PT"},
    {Dlg::IDC_BTN_SEL_MEAS_FONT, "IDC_BTN_SEL_MEAS_FONT"},
    {Dlg::IDC_RADIO_SCALE_FIXED, "IDC_RADIO_SCALE_FIXED"},
    {Dlg::IDC_RADIO_SCALE_ASK, "IDC_RADIO_SCALE_ASK"},
    {Dlg::IDC_COMBO_SCALE_POS, "IDC_COMBO_SCALE_POS"},
    {Dlg::IDC_STATIC_SCALE_POS, "IDC_STATIC_SCALE_POS"},
    {Dlg::IDC_EDIT_SCALE_X, "IDC_EDIT_SCALE_X"},
    {Dlg::IDC_EDIT_SCALE_Y, "IDC_EDIT_SCALE_Y"},
    {Dlg::IDC_STATIC_SCALE_LENGTH, "IDC_STATIC_SCALE_LENGTH"},
    {Dlg::IDC_STATIC_SCALE_X, "IDC_STATIC_SCALE_X"},
    {Dlg::IDC_STATIC_SCALE_Y, "IDC_STATIC_SCALE_Y"},
    {Dlg::IDC_STATIC_SCALE_X_UNIT, "IDC_STATIC_SCALE_X_UNIT"},
    {Dlg::IDC_STATIC_SCALE_Y_UNIT, "IDC_STATIC_SCALE_Y_UNIT"},
    {Dlg::IDC_EDIT_DOWN_PLACE, "IDC_EDIT_DOWN_PLACE"},
    {Dlg::IDC_SPIN_DOWN_PLACE, "IDC_SPIN_DOWN_PLACE"},
    {Dlg::IDC_RADIO_COUNT_SERIAL, "IDC_RADIO_COUNT_SERIAL"},
    {Dlg::IDC_RADIO_COUNT_ID, "IDC_RADIO_COUNT_ID"},
    {Dlg::IDC_BTN_DEFAULT, "IDC_BTN_DEFAULT"},
    {Dlg::IDC_BTN_LOG_COPY, "IDC_BTN_LOG_COPY"},
    {Dlg::IDC_OK, "IDOK"},
    {Dlg::IDC_CANCEL, "IDCANCEL"},
};

} // namespace

CSystemSettingDlg::CSystemSettingDlg(QWidget* pParent)
    : CParamDialog(IDS_SYSTEM_SETTING_TITLE, pParent), m_pUi(std::make_unique<Ui::CSystemSettingDlg>())
{
    m_pUi->setupUi(this);
    SetDefaultSystemSetting(m_SystemSetting);
    ConnectGeneralTab();
    ConnectCrossLineTab();
    ConnectDrawTab();
    ConnectScaleTab();
    connect(m_pUi->IDC_BTN_DEFAULT, &QPushButton::clicked, this, [this] { OnBnClickedButtonDefault(); });
    connect(m_pUi->IDC_BTN_LOG_COPY, &QPushButton::clicked, this, [this] { OnBnClickedBtnLogCopy(); });
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSystemSettingDlg::~CSystemSettingDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSystemSettingDlg::Controls() const
{
    return kControls;
}

QAbstractButton* CSystemSettingDlg::Button(int nID) const
{
    return qobject_cast<QAbstractButton*>(GetDlgItem(nID));
}

void CSystemSettingDlg::SetupNumber(QLineEdit* pEdit, QWidget* pSpin, int nLower, int nUpper, int nBelow, int nAbove)
{
    if (auto* p = qobject_cast<CSpinButtonCtrl*>(pSpin)) {
        p->SetBuddy(pEdit);
        p->SetRange(nLower, nUpper);
    }
    // Below the range becomes nBelow, above it nAbove; an empty field counts as 0.
    InstallTextCorrection(pEdit, [nLower, nUpper, nBelow, nAbove](const QString& text) {
        const int n = ParseLeadingInt(text);
        return QString::number(n < nLower ? nBelow : (n > nUpper ? nAbove : n));
    });
}

BOOL CSystemSettingDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    WriteLog(QStringLiteral("[SYSTEMDLG]OnShowWindow() Show"));
    LoadSystemSetting(m_SystemSetting);
    DispSystemSetting();
    ApplyEnabling();
    return TRUE;
}

void CSystemSettingDlg::hideEvent(QHideEvent* pEvent)
{
    if (!pEvent->spontaneous()) {
        WriteLog(QStringLiteral("[SYSTEMDLG]OnShowWindow() Hide"));
    }
    CParamDialog::hideEvent(pEvent);
}

void CSystemSettingDlg::DispSystemSetting()
{
    DispGeneralTab();
    DispCrossLineTab();
    DispDrawTab();
    DispScaleTab();
}

void CSystemSettingDlg::SetSystemSettingToBuf()
{
    WriteLog(QStringLiteral("[SYSTEMDLG]SetSystemSettingToBuf()"));
    ReadGeneralTab();
    ReadCrossLineTab();
    ReadDrawTab();
    ReadScaleTab();
}

void CSystemSettingDlg::ApplyEnabling()
{
    ApplyCrossLineEnabling();
    ApplyScaleEnabling();
    // The camera choice and the continuous saving need a connected camera.
    const bool bCamera = m_bCameraConnected != FALSE;
    for (const int nID : {IDC_COMBO_CONNECT_CAMERA, IDC_STATIC_CONNECT_CAMERA, IDC_STATIC_CAMERA_GROUP,
                          IDC_BTN_SAVE_CONTINUE_SETTING}) {
        GetDlgItem(nID)->setVisible(bCamera);
    }
}

void CSystemSettingDlg::OnBnClickedOk()
{
    WriteLog(QStringLiteral("[SYSTEMDLG]OnBnClickedOk()"));
    if (m_pUi->IDC_RADIO_SCALE_FIXED->isChecked()) {
        const double dX = ParseLeadingDouble(m_pUi->IDC_EDIT_SCALE_X->text());
        const double dY = ParseLeadingDouble(m_pUi->IDC_EDIT_SCALE_Y->text());
        if (!(dX > 0.0) || dY < 0.0) {
            ShowMessage(IDS_SCALE_LENGTH_INVALID, MB_ICONERROR);
            return;
        }
    }
    SetSystemSettingToBuf();
    SaveSystemSetting(m_SystemSetting);
    accept();
}

void CSystemSettingDlg::OnBnClickedButtonDefault()
{
    WriteLog(QStringLiteral("[SYSTEMDLG]OnBnClickedButtonDefault()"));
    const SYSTEM_SETTING kept = m_SystemSetting;
    SetDefaultSystemSetting(m_SystemSetting);
    SYSTEM_SETTING& s = m_SystemSetting;
    // What belongs to the windows, the log's lifetime, the calibrations and the camera stays.
    s.bMaximizeWnd = kept.bMaximizeWnd;
    s.MainWndRect = kept.MainWndRect;
    s.MeasWndLeft = kept.MeasWndLeft;
    s.MeasWndTop = kept.MeasWndTop;
    s.bDispZoomWnd = kept.bDispZoomWnd;
    s.ZoomWndLeft = kept.ZoomWndLeft;
    s.ZoomWndTop = kept.ZoomWndTop;
    s.SaveLogDays = kept.SaveLogDays;
    s.CalibrationIndex = kept.CalibrationIndex;
    std::copy(std::begin(kept.Calibration), std::end(kept.Calibration), std::begin(s.Calibration));
    s.Camera = kept.Camera;
    s.Draw.bAutoReSize = TRUE;
    DispSystemSetting();
    ApplyEnabling();
}

void CSystemSettingDlg::OnBnClickedBtnLogCopy()
{
    WriteLog(QStringLiteral("[SYSTEMDLG]OnBnClickedBtnLogCopy()"));
    CLogCopyDlg dlg(this);
    int nChoice = 1;
    for (int i = 0; i < 3; ++i) {
        if (kSaveLogDays[i] == m_SystemSetting.SaveLogDays) {
            nChoice = i;
        }
    }
    dlg.m_nSaveLogDaysIdx = nChoice;
    if (dlg.DoModal() == IDOK && dlg.m_nSaveLogDaysIdx >= 0 && dlg.m_nSaveLogDaysIdx < 3) {
        // Written at once: it holds even when this dialog is cancelled, from the next start on.
        m_SystemSetting.SaveLogDays = kSaveLogDays[dlg.m_nSaveLogDaysIdx];
        WriteSaveLogDays(m_SystemSetting.SaveLogDays);
    }
}

void CSystemSettingDlg::OnBnClickedButtonClearCrossline()
{
    WriteLog(QStringLiteral("[SYSTEMDLG]OnBnClickedButtonClearCrossline()"));
    if (m_pMainWnd != nullptr) {
        m_pMainWnd->PostMessage(WM_DELETE_CROSS_LINE, 0, 0);
    }
}
