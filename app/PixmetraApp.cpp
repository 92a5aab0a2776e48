#include "app/PixmetraApp.h"

#include "app/AppLook.h"
#include "app/AppStrings.h"
#include "app/dialogs/LogCopyFolder.h"
#include "app/QSFileAccess.h"
#include "app/QSFileIni.h"
#include "app/WriteFailureText.h"
#include "platform/AtomicFile.h"
#include "app/UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

namespace {

CPixmetraApp* g_pApp = nullptr;

} // namespace

CPixmetraApp::CPixmetraApp(const QString& instanceName)
    : m_ButtonFont(QStringLiteral("MS UI Gothic"), 10), m_SingleInstance(instanceName)
{
    SetDefaultSystemSetting(m_SystemSetting);
    g_pApp = this;
    CQSFileIni::SetWriteFailureHandler(
        [this](const QString& path, int nError) { OnIniWriteFailed(path, nError); });
}

CPixmetraApp::~CPixmetraApp()
{
    // The services stop being reachable before the members behind them go.
    CQSFileIni::SetWriteFailureHandler(nullptr);
    if (m_bLogPublished) {
        m_LogFile.WriteLog(QStringLiteral("[APP]End"));
        SetProgramLog(nullptr);
    }
    if (GetProgramTranslator() == &m_MultiLanguageTranslator) {
        SetProgramTranslator(nullptr);
    }
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

CPixmetraApp* CPixmetraApp::GetApp()
{
    return g_pApp;
}

void CPixmetraApp::SetMainWindowRunner(MainWindowRunner runner)
{
    m_MainWindowRunner = std::move(runner);
}

BOOL CPixmetraApp::InitInstance()
{
    m_nExitCode = 0;
    LoadSystemSetting(m_SystemSetting);
    SelectLanguage();
    m_pMultiLanguageTranslator = &m_MultiLanguageTranslator;
    SetProgramTranslator(m_pMultiLanguageTranslator);
    GetWindowTitle(FALSE);

    const platform::CSingleInstance::RESULT instance = m_SingleInstance.Acquire();
    if (instance == platform::CSingleInstance::SI_ALREADY_RUNNING) {
        // Give way to the running copy: tell the user, raise its window, and
        // leave without a log file or a settings write.
        DoMessageBox(GetProgramString(IDS_ALREADY_RUNNING), MB_OK | MB_ICONINFORMATION);
        m_SingleInstance.RequestActivate();
        return FALSE;
    }

    // An installed program's settings go to the user's folder, made here once;
    // a failed write is reported when the settings are first stored.
    MakeSettingsFolder();
    m_LogFile.Open(CurrentUserFolders().log, m_SystemSetting.SaveLogDays, QStringLiteral("LogFile"));
    SetProgramLog(&m_LogFile);
    m_bLogPublished = true;
    WriteLog(QStringLiteral("[APP]Start ->"));
    if (instance == platform::CSingleInstance::SI_UNGUARDED) {
        WriteLog(QStringLiteral("[APP]InitInstance() single-instance lock unavailable: ") +
                 m_SingleInstance.GetLockFilePath());
    } else {
        RemoveStaleTempFiles();
    }

    SetDarkLook();
    m_bCameraTitle = FALSE;

    if (m_MainWindowRunner) {
        m_nExitCode = m_MainWindowRunner(*this);
    }
    return FALSE;
}

int CPixmetraApp::ExitInstance()
{
    return m_nExitCode;
}

void CPixmetraApp::OnIniWriteFailed(const QString& path, int nError)
{
    if (QDir::toNativeSeparators(path) != QDir::toNativeSeparators(SystemSettingPath())) {
        return; // other files are reported by the flows that write them
    }
    QCoreApplication* pCore = QCoreApplication::instance();
    if (pCore != nullptr && QThread::currentThread() != pCore->thread()) {
        QMetaObject::invokeMethod(pCore, [this, path, nError] { OnIniWriteFailed(path, nError); }, Qt::QueuedConnection);
        return;
    }
    WriteLog(QStringLiteral("[APP]Settings not saved (errno %1): ").arg(nError) + path);
    if (m_bSettingsWarned) {
        return;
    }
    // Once a run: every later change is lost the same way.
    m_bSettingsWarned = true;
    DoMessageBox(SettingsNotSavedText(path, nError), MB_OK | MB_ICONWARNING);
}

void CPixmetraApp::RemoveStaleTempFiles()
{
    // Holding the lock, no other copy can be writing these files: any
    // temporary file beside them was left by a copy that was killed mid-write.
    for (const QString& path : {SystemSettingPath(), FindUserOrInstalledFile(QStringLiteral("LangTransEnglish.ini")),
                                FindUserOrInstalledFile(QStringLiteral("LangTransJapanese.ini"))}) {
        if (const int n = platform::RemoveStaleTempSiblings(path)) {
            WriteLog(QStringLiteral("[APP]InitInstance() removed %1 unfinished temporary file(s) of ").arg(n) + path);
        }
    }
}

void CPixmetraApp::SelectLanguage()
{
    const bool bEnglish = m_SystemSetting.LanguageKind == 1;
    const QString file = bEnglish ? QStringLiteral("LangTransEnglish.ini") : QStringLiteral("LangTransJapanese.ini");
    const QString language = bEnglish ? QStringLiteral("ENGLISH") : QStringLiteral("JAPANESE");
    const QString path = FindUserOrInstalledFile(file);
    // The installed copy stays as the package made it, even for root; a
    // portable program and the user's own copy gain the missing texts.
    m_MultiLanguageTranslator.SetTranslation(path, language, path.startsWith(CurrentUserFolders().settings));
}


QString CPixmetraApp::GetVersionText()
{
#if defined(PIXMETRA_VERSION_MAJOR) && defined(PIXMETRA_VERSION_MINOR)
    return QStringLiteral("\u3000- Ver.%1.%2 -").arg(PIXMETRA_VERSION_MAJOR).arg(PIXMETRA_VERSION_MINOR);
#else
    return QString();
#endif
}

QString CPixmetraApp::GetWindowTitle(BOOL bCamera)
{
    if (!m_bCameraTitle) {
        m_bCameraTitle = bCamera ? TRUE : FALSE;
    }
    return GetProgramName() + GetVersionText();
}

UINT CPixmetraApp::GetProgramNameID() const
{
    return m_bCameraTitle ? IDS_PROGRAM_TITLE : IDS_PROGRAM_NAME_NO_CAMERA;
}

QString CPixmetraApp::GetProgramName() const
{
    return GetProgramString(GetProgramNameID());
}

QString CPixmetraApp::GetUnitName(int nUnitKind)
{
    return GetProgramString(UnitNameString(nUnitKind));
}

int CPixmetraApp::DoMessageBox(const QString& text, UINT nType, QWidget* pParent) const
{
    return ShowMessageBox(pParent, text, GetProgramName(), nType);
}

void CPixmetraApp::SetActivateHandler(std::function<void()> handler)
{
    m_SingleInstance.SetActivateHandler(std::move(handler));
}

BOOL CPixmetraApp::CopyLogFolder(const QString& destFolder)
{
    // From the folder the log really goes to, never into that folder itself.
    return CopyLogFolderTo(&m_LogFile, m_SystemSetting.SaveLogFolderPath, destFolder) == LOG_COPY_DONE ? TRUE : FALSE;
}

int AfxMessageBox(const QString& text, UINT nType, QWidget* pParent)
{
    if (CPixmetraApp* pApp = CPixmetraApp::GetApp()) {
        return pApp->DoMessageBox(text, nType, pParent);
    }
    return ShowMessageBox(pParent, text, GetProgramString(IDS_PROGRAM_NAME_NO_CAMERA), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, QWidget* pParent)
{
    return AfxMessageBox(GetProgramString(nIDPrompt), nType, pParent);
}
