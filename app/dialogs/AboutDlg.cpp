#include "app/dialogs/AboutDlg.h"

#include "app/AppStrings.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/SystemSetting.h"
#include "app/UserFolders.h"
#include "app/dialogs/KeepAbove.h"
#include "app/dialogs/LogCopyFolder.h"
#include "app/dialogs/TranslateWindow.h"
#include "ui_AboutDlg.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLineEdit>

namespace {

// The one place where template numbers meet the form's object names.
struct CONTROL_NAME {
    int nID;
    const char* pName;
};
constexpr CONTROL_NAME kControls[] = {
    {CAboutDlg::IDC_STATIC_TITLE, "IDC_STATIC_TITLE"},
    {CAboutDlg::IDC_EDIT_CAMERA_NAME, "IDC_EDIT_CAMERA_NAME"},
    {CAboutDlg::IDC_EDIT_DLL_VERSION, "IDC_EDIT_DLL_VERSION"},
    {CAboutDlg::IDC_EDIT_API_VERSION, "IDC_EDIT_API_VERSION"},
    {CAboutDlg::IDC_EDIT_FW_VERSION, "IDC_EDIT_FW_VERSION"},
    {CAboutDlg::IDC_EDIT_SERIAL_NUM, "IDC_EDIT_SERIAL_NUM"},
    {CAboutDlg::IDC_EDIT_SETTINGS_FILE, "IDC_EDIT_SETTINGS_FILE"},
    {CAboutDlg::IDC_EDIT_LOG_FOLDER, "IDC_EDIT_LOG_FOLDER"},
};

constexpr int kIconSize = 32;
constexpr int kEditChars = 36;

// Long texts show from their start, not scrolled to their end.
void SetEditText(QLineEdit* pEdit, const QString& text)
{
    pEdit->setText(text);
    pEdit->setCursorPosition(0);
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent), m_pUi(std::make_unique<Ui::CAboutDlg>())
{
    m_pUi->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    KeepModalAbove(*this);
    // Room for a camera name and a serial number in full at any font size.
    m_pUi->IDC_EDIT_CAMERA_NAME->setMinimumWidth(fontMetrics().averageCharWidth() * kEditChars);
    m_pUi->IDC_STATIC_ICON->hide();
    SetNoDevice();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::SetCameraInfo(const QString& cameraName, const QString& dllVersion, const QString& apiVersion,
                              const QString& fwVersion, const QString& serialNum)
{
    m_CameraName = cameraName;
    m_DllVersion = dllVersion;
    m_ApiVersion = apiVersion;
    m_FwVersion = fwVersion;
    m_SerialNum = serialNum;
    UpdateData();
}

void CAboutDlg::SetNoDevice()
{
    SetCameraInfo(QStringLiteral("no device"), QString(), QString(), QString(), QString());
}

BOOL CAboutDlg::OnInitDialog()
{
    m_bInitDone = true;
    TranslateChildWindows(this);
    setWindowTitle(GetProgramString(IDS_ABOUT));
    CPixmetraApp* pApp = CPixmetraApp::GetApp();
    m_Title = pApp != nullptr ? pApp->GetWindowTitle(FALSE)
                              : GetProgramString(IDS_PROGRAM_NAME_NO_CAMERA) + CPixmetraApp::GetVersionText();
    // Beside the program or in the user's folders: where to look for them.
    m_SettingsFile = QDir::toNativeSeparators(SystemSettingPath());
    m_LogFolder = pApp != nullptr ? LogFolderInUse(&pApp->GetLogFile(), pApp->GetSystemSetting().SaveLogFolderPath)
                                  : CurrentUserFolders().log;
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        m_pUi->IDC_STATIC_ICON->setPixmap(icon.pixmap(kIconSize, kIconSize));
        m_pUi->IDC_STATIC_ICON->show();
    }
    UpdateData();
    return TRUE;
}

QWidget* CAboutDlg::GetDlgItem(int nID) const
{
    for (const CONTROL_NAME& c : kControls) {
        if (c.nID == nID) {
            return findChild<QWidget*>(QLatin1String(c.pName));
        }
    }
    return nullptr;
}

void CAboutDlg::showEvent(QShowEvent* pEvent)
{
    if (!m_bInitDone) {
        OnInitDialog();
    }
    QDialog::showEvent(pEvent);
}

void CAboutDlg::UpdateData()
{
    m_pUi->IDC_STATIC_TITLE->setText(m_Title);
    SetEditText(m_pUi->IDC_EDIT_CAMERA_NAME, m_CameraName);
    SetEditText(m_pUi->IDC_EDIT_DLL_VERSION, m_DllVersion);
    SetEditText(m_pUi->IDC_EDIT_API_VERSION, m_ApiVersion);
    SetEditText(m_pUi->IDC_EDIT_FW_VERSION, m_FwVersion);
    SetEditText(m_pUi->IDC_EDIT_SERIAL_NUM, m_SerialNum);
    SetEditText(m_pUi->IDC_EDIT_SETTINGS_FILE, m_SettingsFile);
    SetEditText(m_pUi->IDC_EDIT_LOG_FOLDER, m_LogFolder);
}
