// Ending the program the ways a person does: it goes within seconds, with
// every window of it, and starts again at once.
#include "system/SystemFixture.h"

#include <QDir>
#include <QImage>

namespace {

enum class CloseWay { ExitButton, TitleBarClose, AltF4 };
enum class CloseState { Idle, WithResults, DuringSeries };

struct EXIT_CASE {
    const char* pszName;
    CloseWay way;
    CloseState state;
};

const EXIT_CASE kExitCases[] = {
    {"IdleByExitButton", CloseWay::ExitButton, CloseState::Idle},
    {"IdleByTitleBarClose", CloseWay::TitleBarClose, CloseState::Idle},
    {"IdleByAltF4", CloseWay::AltF4, CloseState::Idle},
    {"WithResultsByTitleBarClose", CloseWay::TitleBarClose, CloseState::WithResults},
    {"WithResultsByAltF4", CloseWay::AltF4, CloseState::WithResults},
    {"DuringSeriesByExitButton", CloseWay::ExitButton, CloseState::DuringSeries},
};

const QString kMain = QString::fromLatin1(kMainWindow);
const QString kTool = QString::fromLatin1(kToolWindow);

const MAP_CONTROL* ButtonByText(const WINDOW_MAP& map, const QString& windowId, const QStringList& texts)
{
    for (const MAP_CONTROL* c : map.ControlsOf(windowId)) {
        if (texts.contains(QString(c->text).remove(QLatin1Char('&')))) {
            return c;
        }
    }
    return nullptr;
}

class ProgramEndsTest : public SystemTest, public ::testing::WithParamInterface<EXIT_CASE> {
protected:
    void Close(CProgramRun& run, CloseWay way)
    {
        const WINDOW_MAP map = run.Map();
        const MAP_WINDOW* pMain = map.Window(kMain);
        ASSERT_NE(pMain, nullptr);
        switch (way) {
        case CloseWay::ExitButton:
            ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnExit")));
            break;
        case CloseWay::TitleBarClose: {
            // The window manager's close button sits at the right end of the title bar.
            const QRect frame = m_X.FrameRect(pMain->id);
            const QRect client = m_X.ClientRect(pMain->id);
            const int titleHeight = client.top() - frame.top();
            m_X.Click(QPoint(frame.right() - titleHeight / 2, frame.top() + titleHeight / 2));
            break;
        }
        case CloseWay::AltF4: {
            // A window the window manager takes on late (the magnifier) can get the
            // focus between the activation and the key, and the key then closes that
            // one: pressed again, as a person would, until the main window answers.
            bool bAnswered = false;
            for (int nTry = 0; nTry < 3 && !bAnswered; ++nTry) {
                ASSERT_TRUE(m_X.Activate(pMain->id));
                m_X.Key(QStringLiteral("alt+F4"));
                bAnswered = PollFor(kExitMs, [&] {
                    return run.WaitForExit(50) || run.Map().Window(QString::fromLatin1(kMessageBox)) != nullptr;
                });
            }
            break;
        }
        }
    }

    // A distance measured on the picture: two clicks on it after the tool's button.
    void MeasureOneDistance(CProgramRun& run)
    {
        ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("tabMode:1")));
        ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("btnDistance")));
        const WINDOW_MAP map = run.Map();
        const MAP_CONTROL* pPicture = map.Control(kMain, QStringLiteral("pictureBox"));
        ASSERT_NE(pPicture, nullptr);
        // Left of and below the middle, where the magnifier (opened over the middle) is not.
        const QRect& box = pPicture->rect;
        m_X.Click(QPoint(box.left() + box.width() / 10, box.bottom() - box.height() / 10));
        m_X.Click(QPoint(box.left() + box.width() / 5, box.bottom() - box.height() / 8));
        ASSERT_TRUE(run.WaitForMap(kWindowMs, [](const WINDOW_MAP& m) {
            const MAP_CONTROL* pList = m.Control(kTool, QStringLiteral("listResults"));
            return pList != nullptr && pList->text.toInt() == 1;
        })) << "the distance did not reach the results list";
    }

    // A series of a picture a second into the program folder's "series",
    // asking nothing, running until stopped.
    static QByteArray SeriesIni(const QString& folder)
    {
        return QStringLiteral("[SaveSetting]\nSaveContinueMode=0\nSaveIntervalKind=0\nIntervelMin=0\nIntervalSec=1\n"
                              "IntervalCnt=9999\nSaveFolderKind=0\nSaveFolderPath=%1\nSubFolderKind=0\n")
            .arg(QDir(folder).filePath(QStringLiteral("series")))
            .toUtf8();
    }

    static QStringList SeriesFiles(const QString& folder)
    {
        QStringList out;
        QDir dir(folder);
        for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
            const QString suffix = fi.suffix().toLower();
            if (suffix == QLatin1String("jpg") || suffix == QLatin1String("bmp")) {
                out << fi.absoluteFilePath();
            }
        }
        for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            out << SeriesFiles(sub.absoluteFilePath());
        }
        return out;
    }
};

TEST_P(ProgramEndsTest, EndsWithEveryWindowAndStartsAgain)
{
    const EXIT_CASE& c = GetParam();
    StartScreen(1600, 1000);
    CProgramRun run(m_X);
    ASSERT_TRUE(run.MakeFolder());
    if (c.state == CloseState::DuringSeries) {
        QDir(run.Folder()).mkdir(QStringLiteral("series"));
        run.WriteIni(SeriesIni(run.Folder()));
    } else if (c.state == CloseState::WithResults) {
        run.WriteIni(kCalibratedIni);
    }
    StartAgain(run);
    if (HasFatalFailure()) {
        return;
    }
    // The magnifier is up too, so it is seen to go with the rest.
    ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("checkDispZoom")));
    ASSERT_TRUE(run.WaitForWindow(QString::fromLatin1(kMagnifier), kWindowMs));

    if (c.state == CloseState::WithResults) {
        MeasureOneDistance(run);
    }
    if (c.state == CloseState::DuringSeries) {
        ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnSaveContinue")));
        ASSERT_TRUE(PollFor(20000, [&] { return SeriesFiles(run.Folder()).size() >= 2; }))
            << "the series saved nothing";
    }
    Close(run, c.way);
    if (c.state == CloseState::WithResults) {
        // The exit question: the measurements are lost only on Yes.
        WINDOW_MAP map;
        ASSERT_TRUE(run.WaitForWindow(QString::fromLatin1(kMessageBox), kWindowMs, &map));
        const MAP_CONTROL* pYes = ButtonByText(map, map.Window(QString::fromLatin1(kMessageBox))->id,
                                               {QStringLiteral("Yes"), QStringLiteral("はい")});
        ASSERT_NE(pYes, nullptr);
        m_X.Click(pYes->rect.center());
    }
    EXPECT_TRUE(run.WaitForExit(kExitMs)) << "the program kept running after its main window was closed";
    run.Kill();
    EXPECT_TRUE(m_X.XdoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                             QString::number(run.Pid())}).out.isEmpty());

    if (c.state == CloseState::DuringSeries) {
        const QStringList files = SeriesFiles(run.Folder());
        ASSERT_GE(files.size(), 2);
        for (const QString& file : files) {
            EXPECT_FALSE(QImage(file).isNull()) << file.toStdString() << " is not a whole picture";
        }
    }

    // The next start is not taken for a second copy of a program still running.
    StartAgain(run);
    EXPECT_TRUE(run.IsRunning());
    ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnExit")));
    EXPECT_TRUE(run.WaitForExit(kExitMs));
}

INSTANTIATE_TEST_SUITE_P(Ways, ProgramEndsTest, ::testing::ValuesIn(kExitCases),
                         [](const ::testing::TestParamInfo<EXIT_CASE>& info) { return info.param.pszName; });

TEST_F(ProgramEndsTest, SecondStartRaisesTheFirstAndWritesNothing)
{
    StartScreen(1366, 768);
    CProgramRun run(m_X);
    StartProgram(run);
    if (HasFatalFailure()) {
        return;
    }
    const QDir folder(run.Folder());
    auto snapshot = [&] {
        QStringList out;
        for (const QFileInfo& fi : QDir(run.Folder()).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (fi.fileName() != QLatin1String("windows.map") && !fi.fileName().startsWith(QLatin1String("std"))) {
                out << fi.fileName();
            }
        }
        return out;
    };
    // The first copy's settings file is written at its end; until then the folder holds what it holds now.
    const QStringList before = snapshot();
    const QStringList logBefore = QDir(folder.filePath(QStringLiteral("Log"))).entryList(QDir::Files);

    // The first copy is out of sight: minimised.
    const WINDOW_MAP shown = run.Map();
    ASSERT_NE(shown.Window(kMain), nullptr);
    const QString mainId = shown.Window(kMain)->id;
    auto isHidden = [&] {
        const TOOL_RESULT r = RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), mainId,
                                                                QStringLiteral("_NET_WM_STATE")}, m_X.Env());
        return r.out.contains("_NET_WM_STATE_HIDDEN");
    };
    m_X.XdoTool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), mainId});
    ASSERT_TRUE(PollFor(kWindowMs, isHidden));
    // The same program folder: a second copy of the same installation.
    QProcess p;
    p.setProcessEnvironment(run.Environment());
    p.start(folder.filePath(QStringLiteral("pixmetra")), {});
    ASSERT_TRUE(p.waitForStarted(5000));
    // It says the program is running already; once that is read, it ends.
    QByteArray box;
    ASSERT_TRUE(PollFor(kStartMs, [&] {
        box = m_X.XdoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                           QString::number(p.processId())}).out.trimmed();
        return !box.isEmpty();
    })) << "the second copy showed nothing";
    EXPECT_TRUE(m_X.Activate(QString::fromLatin1(box.split('\n').first())));
    m_X.Key(QStringLiteral("Return"));
    EXPECT_TRUE(p.waitForFinished(kExitMs)) << "the second copy did not end";
    EXPECT_TRUE(run.IsRunning());
    // The first copy came to the front.
    EXPECT_TRUE(PollFor(kWindowMs, [&] {
        return !isHidden() && m_X.XdoTool({QStringLiteral("getactivewindow")}).out.trimmed() == mainId.toLatin1();
    })) << "the first copy stayed out of sight";
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("Log"))).entryList(QDir::Files), logBefore);
    // Just brought back from minimised, the window may still be moving under
    // the window manager when clicked: clicked again, as a person would.
    bool bEnded = false;
    for (int nTry = 0; nTry < 3 && !bEnded; ++nTry) {
        ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnExit")));
        bEnded = run.WaitForExit(kExitMs);
    }
    EXPECT_TRUE(bEnded);
}

} // namespace
