#include "camera/pages/CameraSettingDlg.h"

#include "app/LogFile.h"
#include "app/MainWindowMessages.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/DialogKeys.h"
#include "camera/pages/CameraPageStrings.h"
#include "camera/pages/PageRGBControl.h"
#include "camera/pages/PageVideoControl.h"
#include "ui_CameraSettingDlg.h"

#include <QKeyEvent>

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CCameraSettingDlg::IDC_TAB_CAMERA_SETTING, "IDC_TAB_CAMERA_SETTING"},
    {CCameraSettingDlg::IDC_BTN_DEFAULT, "IDC_BTN_DEFAULT"},
    {CCameraSettingDlg::IDC_OK, "IDOK"},
};

} // namespace

CCameraSettingDlg::CCameraSettingDlg(QWidget* pParent)
    : CParamDialog(IDS_CAMERA_SETTING_TITLE, pParent), m_pUi(std::make_unique<Ui::CCameraSettingDlg>())
{
    m_pUi->setupUi(this);
    m_pPageVideo = new CPageVideoControl;
    m_pPageRGB = new CPageRGBControl;
    m_pUi->IDC_TAB_CAMERA_SETTING->addTab(m_pPageVideo, QStringLiteral("Video Control"));
    m_pUi->IDC_TAB_CAMERA_SETTING->addTab(m_pPageRGB, QStringLiteral("RGB Control"));
    m_pPageVideo->SetResolutionIndex(&m_nResolutionIdx);
    connect(m_pUi->IDC_TAB_CAMERA_SETTING, &QTabWidget::currentChanged, this, [this](int n) { OnTcnSelchangeTab(n); });
    connect(m_pUi->IDC_BTN_DEFAULT, &QPushButton::clicked, this, [this] { OnBnClickedBtnDefault(); });
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnOK(); });
}

CCameraSettingDlg::~CCameraSettingDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CCameraSettingDlg::Controls() const
{
    return kControls;
}

void CCameraSettingDlg::SetParam(CCameraCtrl* pCameraCtrl, int nResolutionIdx, BOOL bMeasureData, IMessageSink* pMainWnd)
{
    m_pCameraCtrl = pCameraCtrl;
    m_nResolutionIdx = nResolutionIdx;
    m_nResolutionIdxAtOpen = nResolutionIdx;
    m_bMeasureData = bMeasureData;
    m_pMainWnd = pMainWnd;
    m_pPageVideo->SetCameraCtrl(pCameraCtrl);
    m_pPageRGB->SetCameraCtrl(pCameraCtrl);
}

void CCameraSettingDlg::SetStatusLine(IStatusLine* pStatus)
{
    m_pPageVideo->SetStatusLine(pStatus);
    m_pPageRGB->SetStatusLine(pStatus);
}

BOOL CCameraSettingDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    m_nResolutionIdxAtOpen = m_nResolutionIdx;
    // The pages fill their controls only now, after the captions were
    // translated: numbers and sizes are never looked up as captions.
    m_pPageVideo->SetActive(true);
    m_pPageRGB->SetActive(true);
    if (m_pUi->IDC_TAB_CAMERA_SETTING->currentIndex() != 0) {
        m_pUi->IDC_TAB_CAMERA_SETTING->setCurrentIndex(0);
    } else {
        m_pPageVideo->InitControl();
        m_pPageVideo->EnableControls();
    }
    return TRUE;
}

void CCameraSettingDlg::OnTcnSelchangeTab(int nTab)
{
    // The tab widget shows the chosen page and hides the other; the page's
    // show event reads the camera and applies its enabling rule.
    WriteLog(QStringLiteral("[CAMSETTINGDLG]OnTcnSelchangeTab() %1").arg(nTab));
}

void CCameraSettingDlg::OnBnClickedBtnDefault()
{
    WriteLog(QStringLiteral("[CAMSETTINGDLG]OnBnClickedBtnDefault()"));
    m_pPageVideo->SetDefaultValues();
    m_pPageRGB->SetDefaultValues();
}

void CCameraSettingDlg::OnOK()
{
    if (m_nResolutionIdx != m_nResolutionIdxAtOpen && m_bMeasureData) {
        if (AfxMessageBox(IDS_DELETE_ALL_QUESTION, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
            return;
        }
        if (m_pMainWnd != nullptr) {
            m_pMainWnd->PostMessage(WM_DELETE_ALL_MEASURE_DATA, 0, LPARAM(-1));
        }
    }
    accept();
}

void CCameraSettingDlg::keyPressEvent(QKeyEvent* pEvent)
{
    // Enter and Escape are no dialog keys here: only the buttons and the close box end it.
    if (!SwallowEnterEscape(pEvent)) {
        CParamDialog::keyPressEvent(pEvent);
    }
}
