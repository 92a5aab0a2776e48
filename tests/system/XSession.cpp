#include "system/XSession.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int kStartMs = 15000;
constexpr int kPollMs = 50;

std::vector<int> Numbers(const QByteArray& text)
{
    std::vector<int> out;
    static const QRegularExpression re(QStringLiteral("-?\\d+"));
    for (auto it = re.globalMatch(QString::fromUtf8(text)); it.hasNext();) {
        out.push_back(it.next().captured().toInt());
    }
    return out;
}

} // namespace

bool PollFor(int nMs, const std::function<bool()>& fn)
{
    const QDeadlineTimer deadline(nMs);
    while (!fn()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

TOOL_RESULT RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env, int nTimeoutMs)
{
    TOOL_RESULT result;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, args);
    if (!p.waitForStarted(nTimeoutMs)) {
        return result;
    }
    result.bFinished = p.waitForFinished(nTimeoutMs);
    if (!result.bFinished) {
        p.kill();
        p.waitForFinished(1000);
        return result;
    }
    result.nExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = p.readAllStandardOutput();
    return result;
}

QString MissingTools()
{
    QStringList missing;
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xdpyinfo", "import"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            missing << QString::fromLatin1(tool);
        }
    }
    return missing.join(QLatin1Char(' '));
}

CXSession::~CXSession()
{
    Stop();
}

bool CXSession::Start(int nWidth, int nHeight, QString* pWhy)
{
    Stop();
    m_Size = QSize(nWidth, nHeight);
    // The server picks a free display itself and writes its number on standard output.
    m_pServer = std::make_unique<QProcess>();
    m_pServer->setStandardErrorFile(QProcess::nullDevice());
    m_pServer->start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("%1x%2x24").arg(nWidth).arg(nHeight), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp"), QStringLiteral("-dpi"), QStringLiteral("96")});
    QByteArray number;
    const bool bUp = PollFor(kStartMs, [&] {
        m_pServer->waitForReadyRead(kPollMs);
        number += m_pServer->readAllStandardOutput();
        return number.endsWith('\n') || m_pServer->state() == QProcess::NotRunning;
    });
    if (!bUp || m_pServer->state() != QProcess::Running) {
        *pWhy = QStringLiteral("no X server could be started");
        return false;
    }
    m_nDisplay = number.trimmed().toInt();
    m_pWindowManager = std::make_unique<QProcess>();
    m_pWindowManager->setProcessEnvironment(Env());
    m_pWindowManager->setStandardOutputFile(QProcess::nullDevice());
    m_pWindowManager->setStandardErrorFile(QProcess::nullDevice());
    m_pWindowManager->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    const bool bManaged = PollFor(kStartMs, [&] {
        const TOOL_RESULT r = RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"),
                                                               QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, Env(), 2000);
        return r.nExitCode == 0 && r.out.contains("window id");
    });
    if (!bManaged) {
        *pWhy = QStringLiteral("the window manager did not start");
        return false;
    }
    return true;
}

void CXSession::Stop()
{
    for (std::unique_ptr<QProcess>* pp : {&m_pWindowManager, &m_pServer}) {
        if (*pp != nullptr) {
            (*pp)->terminate();
            if (!(*pp)->waitForFinished(3000)) {
                (*pp)->kill();
                (*pp)->waitForFinished(1000);
            }
            pp->reset();
        }
    }
    m_nDisplay = -1;
}

QProcessEnvironment CXSession::Env() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(m_nDisplay));
    env.remove(QStringLiteral("XAUTHORITY"));
    return env;
}

QRect CXSession::WorkArea()
{
    const TOOL_RESULT r = RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")}, Env());
    const std::vector<int> n = Numbers(r.out.mid(r.out.indexOf('=') + 1));
    if (n.size() >= 4) {
        return QRect(n[0], n[1], n[2], n[3]);
    }
    return QRect(QPoint(0, 0), m_Size);
}

TOOL_RESULT CXSession::XdoTool(const QStringList& args, int nTimeoutMs)
{
    return RunTool(QStringLiteral("xdotool"), args, Env(), nTimeoutMs);
}

QImage CXSession::Screenshot()
{
    const TOOL_RESULT r = RunTool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                             QStringLiteral("png:-")}, Env(), 20000);
    QImage image;
    image.loadFromData(r.out, "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

QRect CXSession::ClientRect(const QString& windowId)
{
    const TOOL_RESULT r = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId}, Env());
    int x = 0, y = 0, w = 0, h = 0;
    for (const QByteArray& line : r.out.split('\n')) {
        const QByteArray t = line.trimmed();
        const int value = t.mid(t.indexOf(':') + 1).trimmed().toInt();
        if (t.startsWith("Absolute upper-left X:")) {
            x = value;
        } else if (t.startsWith("Absolute upper-left Y:")) {
            y = value;
        } else if (t.startsWith("Width:")) {
            w = value;
        } else if (t.startsWith("Height:")) {
            h = value;
        }
    }
    return QRect(x, y, w, h);
}

QStringList CXSession::StackingOrder()
{
    const TOOL_RESULT r =
        RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}, Env());
    QStringList ids;
    for (const QByteArray& item : r.out.mid(r.out.indexOf('#') + 1).split(',')) {
        bool bOk = false;
        const qulonglong id = item.trimmed().toULongLong(&bOk, 16);
        if (bOk) {
            ids << QString::number(id);
        }
    }
    return ids;
}

QRect CXSession::FrameRect(const QString& windowId)
{
    const QRect client = ClientRect(windowId);
    const TOOL_RESULT r = RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), windowId,
                                                            QStringLiteral("_NET_FRAME_EXTENTS")}, Env());
    const std::vector<int> n = Numbers(r.out.mid(r.out.indexOf('=') + 1));
    if (client.isEmpty() || n.size() < 4 || !r.out.contains('=')) {
        return client;
    }
    return client.adjusted(-n[0], -n[2], n[1], n[3]);
}

void CXSession::Click(const QPoint& pos, int nButton)
{
    // One request stream: the motion reaches the server before the click.
    // (Waiting for the motion with --sync hangs when the pointer is there already.)
    XdoTool({QStringLiteral("mousemove"), QString::number(pos.x()), QString::number(pos.y()), QStringLiteral("click"),
             QString::number(nButton)});
}

void CXSession::Key(const QString& keys)
{
    XdoTool({QStringLiteral("key"), keys});
}

bool CXSession::Activate(const QString& windowId)
{
    XdoTool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId}, 5000);
    // Keys go to the active window: wait until the window manager made it so.
    return PollFor(3000, [&] { return XdoTool({QStringLiteral("getactivewindow")}).out.trimmed() == windowId.toLatin1(); });
}
