// The application object: reads the settings, chooses the language, keeps a
// second start from running, opens the log, sets the look and runs the main
// window. It owns the services every window reaches through it: translator,
// log, the settings read at start-up, the button font, the window title and
// the caption of message boxes.
#pragma once

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "platform/SingleInstance.h"
#include "platform/WinTypes.h"

#include <QFont>
#include <QString>

#include <functional>

class QWidget;

class CPixmetraApp {
public:
    // Builds the main window, runs it and returns the program's exit code
    // once it has closed. Given by the program's entry point, so this object
    // never needs the main window's headers.
    using MainWindowRunner = std::function<int(CPixmetraApp& app)>;

    // instanceName names the single-instance lock; the program uses the default.
    explicit CPixmetraApp(const QString& instanceName = QStringLiteral("Pixmetra"));
    ~CPixmetraApp();
    CPixmetraApp(const CPixmetraApp&) = delete;
    CPixmetraApp& operator=(const CPixmetraApp&) = delete;

    // The application object alive now, or null.
    static CPixmetraApp* GetApp();

    void SetMainWindowRunner(MainWindowRunner runner);
    // The whole run: returns FALSE once the main window has closed, or at
    // once when another copy of the program is running.
    BOOL InitInstance();
    // The exit code of the run (0 for a second start that only gave way).
    int ExitInstance();

    // The program's name by the camera rule followed by the version text.
    // The camera title flag, once set, stays set for the run.
    QString GetWindowTitle(BOOL bCamera);
    // The program's name once a camera has been connected in this run, or
    // the name without a camera before.
    UINT GetProgramNameID() const;
    QString GetProgramName() const;
    // "　- Ver.<major>.<minor> -" from the build's project version; empty
    // when the build carries none.
    static QString GetVersionText();

    // Calibration unit kind 0/1/2 as µm/mm/cm; any other kind as µm.
    static QString GetUnitName(int nUnitKind);

    // A message box captioned with the program's name (without the version).
    int DoMessageBox(const QString& text, UINT nType, QWidget* pParent = nullptr) const;

    // The running copy: how a later start brings the main window to the front.
    void SetActivateHandler(std::function<void()> handler);

    // Closes the log, copies the log folder to destFolder + "Log/" and
    // reopens the log; the copy's result.
    BOOL CopyLogFolder(const QString& destFolder);

    const SYSTEM_SETTING& GetSystemSetting() const { return m_SystemSetting; }
    CLogFile& GetLogFile() { return m_LogFile; }
    CMultiLanguageTranslator* GetTranslator() const { return m_pMultiLanguageTranslator; }
    // The common font of the windows' buttons; the windows set it on them.
    const QFont& GetButtonFont() const { return m_ButtonFont; }
    platform::CSingleInstance& GetSingleInstance() { return m_SingleInstance; }

private:
    void SelectLanguage();
    void RemoveStaleTempFiles();
    // A settings write that left the file as it was: a warning, once a run.
    void OnIniWriteFailed(const QString& path, int nError);

    CMultiLanguageTranslator* m_pMultiLanguageTranslator = nullptr;
    CMultiLanguageTranslator m_MultiLanguageTranslator;
    QFont m_ButtonFont;
    platform::CSingleInstance m_SingleInstance;
    SYSTEM_SETTING m_SystemSetting;
    CLogFile m_LogFile;
    BOOL m_bCameraTitle = FALSE;

    MainWindowRunner m_MainWindowRunner;
    int m_nExitCode = 0;
    bool m_bLogPublished = false;
    bool m_bSettingsWarned = false;
};

// A message box through the application object's caption rule; before (or
// without) one, the caption is the program's name without a camera.
int AfxMessageBox(const QString& text, UINT nType = MB_OK, QWidget* pParent = nullptr);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, QWidget* pParent = nullptr);
