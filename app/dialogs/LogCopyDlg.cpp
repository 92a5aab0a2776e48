#include "app/dialogs/LogCopyDlg.h"

#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/LogCopyFolder.h"
#include "ui_LogCopyDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

using Dlg = CLogCopyDlg;

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {Dlg::IDC_EDIT_COPY_TO_FOLDER, "IDC_EDIT_COPY_TO_FOLDER"},
    {Dlg::IDC_EDIT_LOG_FOLDER, "IDC_EDIT_LOG_FOLDER"},
    {Dlg::IDC_BTN_SEL_COPY_TO_FOLDER, "IDC_BTN_SEL_COPY_TO_FOLDER"},
    {Dlg::IDC_BTN_START_COPY, "IDC_BTN_START_COPY"},
    {Dlg::IDC_RADIO_LOG_DAYS_30, "IDC_RADIO_LOG_DAYS_30"},
    {Dlg::IDC_RADIO_LOG_DAYS_60, "IDC_RADIO_LOG_DAYS_60"},
    {Dlg::IDC_RADIO_LOG_DAYS_90, "IDC_RADIO_LOG_DAYS_90"},
    {Dlg::IDC_OK, "IDOK"},
    {Dlg::IDC_CANCEL, "IDCANCEL"},
};

} // namespace

CLogCopyDlg::CLogCopyDlg(QWidget* pParent)
    : CParamDialog(IDS_LOG_COPY_TITLE, pParent), m_pUi(std::make_unique<Ui::CLogCopyDlg>())
{
    m_pUi->setupUi(this);
    if (CPixmetraApp* pApp = CPixmetraApp::GetApp()) {
        m_pLog = &pApp->GetLogFile();
        m_ConfiguredFolder = pApp->GetSystemSetting().SaveLogFolderPath;
        m_pUi->IDC_BTN_START_COPY->setFont(pApp->GetButtonFont());
    }
    connect(m_pUi->IDC_BTN_SEL_COPY_TO_FOLDER, &QPushButton::clicked, this, [this] { OnBnClickedBtnSelCopyToFolder(); });
    connect(m_pUi->IDC_BTN_START_COPY, &QPushButton::clicked, this, [this] { OnBnClickedBtnStartCopy(); });
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CLogCopyDlg::~CLogCopyDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CLogCopyDlg::Controls() const
{
    return kControls;
}

void CLogCopyDlg::SetLog(CLogFile* pLog, const QString& configuredFolder)
{
    m_pLog = pLog;
    m_ConfiguredFolder = configuredFolder;
}

BOOL CLogCopyDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    m_pUi->IDC_EDIT_COPY_TO_FOLDER->setText(m_CopyToFolder);
    m_pUi->IDC_EDIT_LOG_FOLDER->setText(QDir::toNativeSeparators(LogFolderInUse(m_pLog, m_ConfiguredFolder)));
    m_pUi->IDC_EDIT_LOG_FOLDER->setCursorPosition(0);
    QRadioButton* const radios[] = {m_pUi->IDC_RADIO_LOG_DAYS_30, m_pUi->IDC_RADIO_LOG_DAYS_60,
                                    m_pUi->IDC_RADIO_LOG_DAYS_90};
    radios[m_nSaveLogDaysIdx >= 0 && m_nSaveLogDaysIdx < 3 ? m_nSaveLogDaysIdx : 1]->setChecked(true);
    return TRUE;
}

void CLogCopyDlg::OnBnClickedBtnSelCopyToFolder()
{
    WriteLog(QStringLiteral("[LOGCOPYDLG]OnBnClickedBtnSelCopyToFolder()"));
    setEnabled(false);
    CQSFileAccess fileAccess;
    const QString folder = fileAccess.SelectFolder(QString());
    setEnabled(true);
    if (!folder.isEmpty()) {
        m_CopyToFolder = CQSFileAccess::AddBackslash(folder);
        m_pUi->IDC_EDIT_COPY_TO_FOLDER->setText(m_CopyToFolder);
    }
}

void CLogCopyDlg::OnBnClickedBtnStartCopy()
{
    WriteLog(QStringLiteral("[LOGCOPYDLG]OnBnClickedBtnStartCopy()"));
    if (m_CopyToFolder.isEmpty() || !QFileInfo(m_CopyToFolder).isDir()) {
        ShowMessage(IDS_SELECT_COPY_TO, MB_ICONWARNING);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LOG_COPY_RESULT result = CopyLogFolderTo(m_pLog, m_ConfiguredFolder, m_CopyToFolder);
    QApplication::restoreOverrideCursor();
    switch (result) {
    case LOG_COPY_DONE:
        ShowMessage(IDS_LOG_COPIED, MB_ICONINFORMATION);
        break;
    case LOG_COPY_INTO_ITSELF:
        // The log folder cannot hold its own copy: another destination is needed.
        ShowMessage(IDS_SELECT_COPY_TO, MB_ICONWARNING);
        break;
    default:
        ShowMessage(IDS_LOG_COPY_ERROR, MB_ICONERROR);
        break;
    }
}

void CLogCopyDlg::OnBnClickedOk()
{
    WriteLog(QStringLiteral("[LOGCOPYDLG]OnBnClickedOk()"));
    if (m_pUi->IDC_RADIO_LOG_DAYS_30->isChecked()) {
        m_nSaveLogDaysIdx = 0;
    } else if (m_pUi->IDC_RADIO_LOG_DAYS_90->isChecked()) {
        m_nSaveLogDaysIdx = 2;
    } else {
        m_nSaveLogDaysIdx = 1;
    }
    accept();
}
