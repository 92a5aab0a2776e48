#include "system/ProgramRun.h"

#include <QFile>
#include <QThread>

namespace {

// What the build places beside the program and the program needs there.
constexpr const char* kProgramFiles[] = {"pixmetra", "libICubeSDK.so", "libICubeSim.so", "LangTransEnglish.ini",
                                         "LangTransJapanese.ini"};

QRect RectAt(const QStringList& f, int i)
{
    return QRect(f[i].toInt(), f[i + 1].toInt(), f[i + 2].toInt(), f[i + 3].toInt());
}

} // namespace

const MAP_WINDOW* WINDOW_MAP::Window(const QString& name) const
{
    for (const MAP_WINDOW& w : windows) {
        if (w.name == name || w.className == name) {
            return &w;
        }
    }
    return nullptr;
}

const MAP_CONTROL* WINDOW_MAP::Control(const QString& windowName, const QString& controlName) const
{
    const MAP_WINDOW* pWindow = Window(windowName);
    if (pWindow == nullptr) {
        return nullptr;
    }
    for (const MAP_CONTROL& c : controls) {
        if (c.windowId == pWindow->id && c.name == controlName) {
            return &c;
        }
    }
    return nullptr;
}

std::vector<const MAP_CONTROL*> WINDOW_MAP::ControlsOf(const QString& windowId) const
{
    std::vector<const MAP_CONTROL*> out;
    for (const MAP_CONTROL& c : controls) {
        if (c.windowId == windowId) {
            out.push_back(&c);
        }
    }
    return out;
}

WINDOW_MAP WINDOW_MAP::Parse(const QByteArray& text)
{
    WINDOW_MAP map;
    for (const QByteArray& line : text.split('\n')) {
        const QStringList f = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (f.size() >= 12 && f[0] == QLatin1String("window")) {
            map.windows.push_back({f[1], f[2], f[3], f[4], RectAt(f, 5), f[9] == QLatin1String("1"),
                                   QSize(f[10].toInt(), f[11].toInt())});
        } else if (f.size() >= 11 && f[0] == QLatin1String("control")) {
            map.controls.push_back({f[1], f[2], f[3], f[4], RectAt(f, 5), f[9] == QLatin1String("1"), f[10]});
        }
    }
    return map;
}

CProgramRun::CProgramRun(CXSession& x) : m_X(x) {}

CProgramRun::~CProgramRun()
{
    Kill();
}

bool CProgramRun::MakeFolder()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    if (!m_Dir->isValid()) {
        return false;
    }
    for (const char* name : kProgramFiles) {
        const QString from = QStringLiteral(PIXMETRA_BIN_DIR "/") + QString::fromLatin1(name);
        const QString to = m_Dir->filePath(QString::fromLatin1(name));
        if (!QFile::copy(from, to)) {
            return false;
        }
    }
    m_MapPath = m_Dir->filePath(QStringLiteral("windows.map"));
    const QString runtime = m_Dir->filePath(QStringLiteral("runtime"));
    return QDir().mkdir(runtime) &&
           QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void CProgramRun::WriteIni(const QByteArray& text)
{
    QFile f(m_Dir->filePath(QStringLiteral("Pixmetra.ini")));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(text);
    }
}

QProcessEnvironment CProgramRun::Environment(double dScale) const
{
    QProcessEnvironment env = m_X.Env();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(dScale));
    env.insert(QStringLiteral("PIXMETRA_UVC_CAMERAS"), QStringLiteral("0"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_Dir->filePath(QStringLiteral("runtime")));
    env.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
    return env;
}

bool CProgramRun::Start(double dScale, const QStringList& extraEnv)
{
    QFile::remove(m_MapPath);
    QProcessEnvironment env = Environment(dScale);
    env.insert(QStringLiteral("PIXMETRA_WINDOW_MAP"), m_MapPath);
    for (const QString& kv : extraEnv) {
        const int eq = kv.indexOf(QLatin1Char('='));
        env.insert(kv.left(eq), kv.mid(eq + 1));
    }
    m_pProcess = std::make_unique<QProcess>();
    m_pProcess->setProcessEnvironment(env);
    m_pProcess->setWorkingDirectory(m_Dir->path());
    m_pProcess->setStandardOutputFile(m_Dir->filePath(QStringLiteral("stdout.txt")));
    m_pProcess->setStandardErrorFile(m_Dir->filePath(QStringLiteral("stderr.txt")));
    m_pProcess->start(m_Dir->filePath(QStringLiteral("pixmetra")), {});
    return m_pProcess->waitForStarted(5000);
}

bool CProgramRun::WaitForExit(int nMs)
{
    return m_pProcess == nullptr || m_pProcess->state() == QProcess::NotRunning || m_pProcess->waitForFinished(nMs);
}

bool CProgramRun::IsRunning() const
{
    return m_pProcess != nullptr && m_pProcess->state() != QProcess::NotRunning;
}

qint64 CProgramRun::Pid() const
{
    return m_pProcess != nullptr ? m_pProcess->processId() : 0;
}

void CProgramRun::Kill()
{
    if (IsRunning()) {
        m_pProcess->kill();
        m_pProcess->waitForFinished(3000);
    }
}

WINDOW_MAP CProgramRun::Map() const
{
    QFile f(m_MapPath);
    return f.open(QIODevice::ReadOnly) ? WINDOW_MAP::Parse(f.readAll()) : WINDOW_MAP();
}

bool CProgramRun::WaitForMap(int nMs, const std::function<bool(const WINDOW_MAP&)>& fn, WINDOW_MAP* pMap) const
{
    WINDOW_MAP map;
    const bool bOk = PollFor(nMs, [&] {
        map = Map();
        return fn(map);
    });
    if (pMap != nullptr) {
        *pMap = map;
    }
    return bOk;
}

bool CProgramRun::WaitForWindow(const QString& name, int nMs, WINDOW_MAP* pMap) const
{
    return WaitForMap(nMs, [&](const WINDOW_MAP& m) { return m.Window(name) != nullptr; }, pMap);
}

bool CProgramRun::WaitForNoWindow(const QString& name, int nMs) const
{
    return WaitForMap(nMs, [&](const WINDOW_MAP& m) { return m.Window(name) == nullptr; });
}

bool CProgramRun::ClickControl(const QString& windowName, const QString& controlName, int nMs)
{
    WINDOW_MAP map;
    if (!WaitForMap(nMs, [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(windowName, controlName);
            return c != nullptr && c->bEnabled;
        }, &map)) {
        return false;
    }
    // A window just shown may still be moving into place: click where it stays.
    QRect last = map.Control(windowName, controlName)->rect;
    PollFor(nMs, [&] {
        QThread::msleep(150);
        const MAP_CONTROL* c = Map().Control(windowName, controlName);
        const bool bStill = c != nullptr && c->rect == last;
        last = c != nullptr ? c->rect : QRect();
        return bStill;
    });
    m_X.Click(last.center());
    return true;
}
