// The built program as a real process on an X screen: a program folder of its
// own (a copy of the build's), started and watched through the map of its
// windows and controls it writes when asked.
#pragma once

#include "system/XSession.h"

#include <QDir>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

struct MAP_WINDOW {
    QString id;
    QString name;
    QString className;
    QString title;
    QRect rect;
    bool bActive = false;
    QSize minimum;
};

struct MAP_CONTROL {
    QString windowId;
    QString name;
    QString className;
    QString text;
    QRect rect;
    bool bEnabled = false;
    QString info;
};

struct WINDOW_MAP {
    std::vector<MAP_WINDOW> windows;
    std::vector<MAP_CONTROL> controls;

    const MAP_WINDOW* Window(const QString& name) const;
    const MAP_CONTROL* Control(const QString& windowName, const QString& controlName) const;
    std::vector<const MAP_CONTROL*> ControlsOf(const QString& windowId) const;
    static WINDOW_MAP Parse(const QByteArray& text);
};

// Names of the program's windows as its forms and classes give them.
inline constexpr const char* kMainWindow = "CPixmetraDlg";
inline constexpr const char* kToolWindow = "CMeasureModeDlg";
inline constexpr const char* kMagnifier = "CZoomWndDlg";
inline constexpr const char* kSystemSettingDlg = "CSystemSettingDlg";
inline constexpr const char* kCameraSettingDlg = "CCameraSettingDlg";
inline constexpr const char* kMessageBox = "QMessageBox";

class CProgramRun {
public:
    explicit CProgramRun(CXSession& x);
    ~CProgramRun();

    // A fresh program folder (no settings: a first start) or the one given.
    bool MakeFolder();
    QString Folder() const { return m_Dir->path(); }
    void WriteIni(const QByteArray& text);

    // What the program runs with: the screen, the scale, the simulated
    // cameras only, and a lock folder of its own, so that no other copy of
    // the program on the machine counts as a running one.
    QProcessEnvironment Environment(double dScale = 1.0) const;
    // Starts the program at the given display scale; extra variables as NAME=value.
    bool Start(double dScale = 1.0, const QStringList& extraEnv = {});
    bool WaitForExit(int nMs);
    bool IsRunning() const;
    qint64 Pid() const;
    void Kill();

    WINDOW_MAP Map() const;
    // Waits (at most nMs) until the map holds what fn asks for; the last map in *pMap.
    bool WaitForMap(int nMs, const std::function<bool(const WINDOW_MAP&)>& fn, WINDOW_MAP* pMap = nullptr) const;
    bool WaitForWindow(const QString& name, int nMs, WINDOW_MAP* pMap = nullptr) const;
    bool WaitForNoWindow(const QString& name, int nMs) const;
    // Clicks the middle of a control of the named window.
    bool ClickControl(const QString& windowName, const QString& controlName, int nMs = 5000);

private:
    CXSession& m_X;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<QProcess> m_pProcess;
    QString m_MapPath;
};
