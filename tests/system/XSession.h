// A real X screen for the program: Xvfb of a given size with the openbox
// window manager on it, and the X tools a person's actions go through.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct TOOL_RESULT {
    bool bFinished = false;
    int nExitCode = -1;
    QByteArray out;
};

// Polls fn every 50 ms until it holds or nMs pass.
bool PollFor(int nMs, const std::function<bool()>& fn);
// Runs a tool to its end (at most nTimeoutMs) with the given environment.
TOOL_RESULT RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                    int nTimeoutMs = 10000);
// Empty when every tool the layer needs is on the PATH, else the missing ones.
QString MissingTools();

class CXSession {
public:
    CXSession() = default;
    ~CXSession();
    CXSession(const CXSession&) = delete;
    CXSession& operator=(const CXSession&) = delete;

    // Starts the server and the window manager; false (with a reason) when either does not come up.
    bool Start(int nWidth, int nHeight, QString* pWhy);
    void Stop();

    QProcessEnvironment Env() const;
    // The screen's work area as the window manager gives it.
    QRect WorkArea();
    QSize ScreenSize() const { return m_Size; }
    TOOL_RESULT XdoTool(const QStringList& args, int nTimeoutMs = 10000);
    QImage Screenshot();

    // A window's frame (decorations included) in screen pixels; empty when it has none.
    QRect FrameRect(const QString& windowId);
    QRect ClientRect(const QString& windowId);
    // The windows the window manager manages, bottom to top, as decimal ids.
    QStringList StackingOrder();

    // The pointer to (x, y) and one click of button nButton there.
    void Click(const QPoint& pos, int nButton = 1);
    void Key(const QString& keys);
    // Makes the window the active one; false when the window manager did not within a few seconds.
    bool Activate(const QString& windowId);

private:
    std::unique_ptr<QProcess> m_pServer;
    std::unique_ptr<QProcess> m_pWindowManager;
    int m_nDisplay = -1;
    QSize m_Size;
};
