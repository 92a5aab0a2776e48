// Every window of the program on the screens people have: laptops at scale
// 1, desktop screens at 1.5 and 2. Each lies inside the work area with its
// buttons reachable, and the tool window keeps off the main window's controls.
#include "system/SystemFixture.h"

namespace {

struct SCREEN_CASE {
    const char* pszName;
    int nWidth;
    int nHeight;
    double dScale;
};

const SCREEN_CASE kScreens[] = {
    {"Laptop1366x768", 1366, 768, 1.0},    {"Laptop1280x800", 1280, 800, 1.0},
    {"Desk1600x1000", 1600, 1000, 1.0},    {"Desk1600x1000Scale1_5", 1600, 1000, 1.5},
    {"Desk1600x1000Scale2", 1600, 1000, 2.0}, {"Full1920x1080Scale1_5", 1920, 1080, 1.5},
    {"Wide2560x1600Scale2", 2560, 1600, 2.0},
};

const QString kMain = QString::fromLatin1(kMainWindow);
const QString kTool = QString::fromLatin1(kToolWindow);

// The main window's controls a window of ours must never hide: everything
// but the picture and its scroll bars.
bool IsMainControl(const MAP_CONTROL& c)
{
    return c.name != QLatin1String("pictureBox") && !c.name.startsWith(QLatin1String("scroll")) &&
           !c.name.isEmpty() && c.rect.width() > 0 && c.rect.height() > 0;
}

class ScreensTest : public SystemTest, public ::testing::WithParamInterface<SCREEN_CASE> {
protected:
    // The window named lies in the work area, and so does each of its enabled buttons.
    void ExpectInside(CProgramRun& run, const QString& name, const char* pszLanguage)
    {
        WINDOW_MAP map;
        ASSERT_TRUE(run.WaitForWindow(name, kWindowMs, &map)) << name.toStdString();
        // The window manager may still be placing it: wait for the frame to settle inside.
        const MAP_WINDOW* pWindow = map.Window(name);
        const QString id = pWindow->id;
        QRect frame;
        PollFor(3000, [&] {
            frame = m_X.FrameRect(id);
            return m_Work.contains(frame);
        });
        EXPECT_TRUE(m_Work.contains(frame)) << pszLanguage << ": " << name.toStdString() << " at " << frame.x() << ","
                                            << frame.y() << " " << frame.width() << "x" << frame.height()
                                            << " leaves the work area " << m_Work.width() << "x" << m_Work.height();
        map = run.Map();
        for (const MAP_CONTROL* c : map.ControlsOf(id)) {
            // A control in a scroll area is reached by scrolling.
            if (c->className.contains(QLatin1String("Button")) && c->bEnabled && !c->info.contains(QLatin1String("scrolled"))) {
                EXPECT_TRUE(m_Work.contains(c->rect.center()))
                    << pszLanguage << ": " << name.toStdString() << "'s button " << c->name.toStdString() << " ("
                    << c->text.toStdString() << ") is off the screen";
            }
        }
    }

    // The dialog lies above every window of ours it overlaps: none of its
    // buttons is under the tool window or the magnifier.
    void ExpectOnTop(CProgramRun& run, const QString& name, const char* pszLanguage)
    {
        QString under;
        const bool bOnTop = PollFor(3000, [&] {
            const WINDOW_MAP map = run.Map();
            const MAP_WINDOW* pDialog = map.Window(name);
            const QStringList order = m_X.StackingOrder();
            if (pDialog == nullptr || !order.contains(pDialog->id)) {
                under = QStringLiteral("(not managed)");
                return false;
            }
            const QRect frame = m_X.FrameRect(pDialog->id);
            under.clear();
            for (const MAP_WINDOW& w : map.windows) {
                if (order.indexOf(w.id) > order.indexOf(pDialog->id) && m_X.FrameRect(w.id).intersects(frame)) {
                    under += QLatin1Char(' ') + w.name;
                }
            }
            return under.isEmpty();
        });
        EXPECT_TRUE(bOnTop) << pszLanguage << ": " << name.toStdString() << " lies under" << under.toStdString();
    }

    // Opens a dialog with a button of the main or the tool window, checks it,
    // and closes it as the window manager's close does.
    void ExpectDialogInside(CProgramRun& run, const QString& owner, const QString& button, const QString& dialog,
                            const char* pszLanguage)
    {
        ASSERT_TRUE(run.ClickControl(owner, button)) << button.toStdString();
        ExpectInside(run, dialog, pszLanguage);
        ExpectOnTop(run, dialog, pszLanguage);
        SaveShot(QString::fromLatin1(pszLanguage) + QLatin1Char('-') + dialog);
        CloseDialog(run, dialog);
    }

    // For a person to look at, when asked for.
    void SaveShot(const QString& what)
    {
        if (qEnvironmentVariableIsSet("PIXMETRA_SYSTEM_SHOTS")) {
            m_X.Screenshot().save(QStringLiteral("%1/screens-%2-%3.png")
                                      .arg(qEnvironmentVariable("PIXMETRA_SYSTEM_SHOTS"),
                                           QString::fromLatin1(GetParam().pszName), what));
        }
    }

    void CloseDialog(CProgramRun& run, const QString& dialog)
    {
        // A key pressed while the window manager is still busy with the new
        // window may go elsewhere: tried again, as a person would.
        for (int nTry = 0; nTry < 3; ++nTry) {
            const WINDOW_MAP map = run.Map();
            const MAP_WINDOW* pDialog = map.Window(dialog);
            if (pDialog == nullptr) {
                return;
            }
            if (m_X.Activate(pDialog->id)) {
                m_X.Key(QStringLiteral("alt+F4"));
            }
            if (run.WaitForNoWindow(dialog, kWindowMs / 3)) {
                return;
            }
        }
        FAIL() << dialog.toStdString() << " did not close";
    }

    // Types text into a dialog's edit and presses its OK button. Keys and
    // clicks sent while the window manager is still busy with the new window
    // may go elsewhere: tried again, as a person would, until the edit shows
    // the text and the dialog has gone.
    void AnswerDialog(CProgramRun& run, const QString& dialog, const QString& edit, const QString& text)
    {
        const auto shows = [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(dialog, edit);
            return c != nullptr && c->text == text;
        };
        for (int nTry = 0; nTry < 3; ++nTry) {
            if (!shows(run.Map())) {
                ASSERT_TRUE(run.ClickControl(dialog, edit)) << edit.toStdString();
                m_X.Key(QStringLiteral("ctrl+a"));
                m_X.XdoTool({QStringLiteral("type"), text});
                if (!run.WaitForMap(kWindowMs / 3, shows)) {
                    continue;
                }
            }
            ASSERT_TRUE(run.ClickControl(dialog, QStringLiteral("IDOK")));
            if (run.WaitForNoWindow(dialog, kWindowMs / 3)) {
                return;
            }
        }
        SaveShot(dialog + QStringLiteral("-unanswered"));
        FAIL() << dialog.toStdString() << " did not take \"" << text.toStdString() << "\"";
    }

    // The measurement page's own controls (edge snap, report) are on the
    // screen, or reached by scrolling the page.
    void ExpectMeasurePageReachable(CProgramRun& run, const char* pszLanguage)
    {
        ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("tabMode:1")));
        WINDOW_MAP map;
        ASSERT_TRUE(run.WaitForMap(
            kWindowMs, [](const WINDOW_MAP& m) { return m.Control(kTool, QStringLiteral("btnSaveReport")) != nullptr; },
            &map))
            << pszLanguage << ": the measurement page did not show";
        for (const char* pszName : {"checkEdgeSnap", "btnSaveReport"}) {
            const MAP_CONTROL* c = map.Control(kTool, QString::fromLatin1(pszName));
            ASSERT_NE(c, nullptr) << pszLanguage << ": " << pszName;
            EXPECT_TRUE(c->info.contains(QLatin1String("scrolled")) || m_Work.contains(c->rect.center()))
                << pszLanguage << ": the measurement page's " << pszName << " (" << c->text.toStdString()
                << ") is off the screen";
            EXPECT_FALSE(c->info.contains(QLatin1String("clipped")))
                << pszLanguage << ": the measurement page's " << pszName << " cuts its text \"" << c->text.toStdString()
                << "\"";
        }
        SaveShot(QString::fromLatin1(pszLanguage) + QStringLiteral("-measure"));
    }

    void ExpectToolKeepsOffMain(CProgramRun& run, const char* pszLanguage)
    {
        const WINDOW_MAP map = run.Map();
        const MAP_WINDOW* pMain = map.Window(kMain);
        const MAP_WINDOW* pTool = map.Window(kTool);
        ASSERT_TRUE(pMain != nullptr && pTool != nullptr);
        const QRect mainFrame = m_X.FrameRect(pMain->id);
        const QRect toolFrame = m_X.FrameRect(pTool->id);
        const int margins = mainFrame.width() - pMain->rect.width();
        // Room for both side by side: the main window at its smallest and the tool window.
        if (m_Work.width() >= pMain->minimum.width() + margins + toolFrame.width()) {
            EXPECT_FALSE(mainFrame.intersects(toolFrame))
                << pszLanguage << ": the tool window covers the main window though the screen has room for both";
        }
        for (const MAP_CONTROL* c : map.ControlsOf(pMain->id)) {
            EXPECT_FALSE(c->info.contains(QLatin1String("clipped")))
                << pszLanguage << ": the main window's " << c->name.toStdString() << " cuts its text \""
                << c->text.toStdString() << "\"";
            if (IsMainControl(*c)) {
                EXPECT_FALSE(toolFrame.intersects(c->rect))
                    << pszLanguage << ": the tool window covers the main window's " << c->name.toStdString() << " ("
                    << c->text.toStdString() << ")";
            }
        }
    }

    QRect m_Work;
};

TEST_P(ScreensTest, EveryWindowFitsAtFirstStart)
{
    const SCREEN_CASE& c = GetParam();
    StartScreen(c.nWidth, c.nHeight);
    m_Work = m_X.WorkArea();
    for (const bool bEnglish : {false, true}) {
        const char* pszLanguage = bEnglish ? "English" : "Japanese";
        CProgramRun run(m_X);
        StartProgram(run, c.dScale, bEnglish ? kEnglishIni : nullptr);
        if (HasFatalFailure()) {
            return;
        }
        ExpectInside(run, kMain, pszLanguage);
        ExpectInside(run, kTool, pszLanguage);
        ExpectToolKeepsOffMain(run, pszLanguage);
        ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("checkDispZoom")));
        ExpectInside(run, QString::fromLatin1(kMagnifier), pszLanguage);
        SaveShot(QString::fromLatin1(pszLanguage));
        ExpectDialogInside(run, kMain, QStringLiteral("btnSetting"), QString::fromLatin1(kSystemSettingDlg), pszLanguage);
        ExpectDialogInside(run, kMain, QStringLiteral("btnCameraSetting"), QString::fromLatin1(kCameraSettingDlg),
                           pszLanguage);
        // A parameter dialog: the reference length, after a reference line is
        // drawn (left of and below the magnifier, which opens over the middle).
        // The magnifier, centred on the main window, may lie over the tool
        // window's buttons: away with it.
        ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("checkDispZoom")));
        ASSERT_TRUE(run.WaitForNoWindow(QString::fromLatin1(kMagnifier), kWindowMs));
        ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("btnSetCalibration")));
        const QRect box = run.Map().Control(kMain, QStringLiteral("pictureBox"))->rect;
        m_X.Click(QPoint(box.left() + box.width() / 10, box.bottom() - box.height() / 10));
        m_X.Click(QPoint(box.left() + box.width() / 5, box.bottom() - box.height() / 10));
        ExpectInside(run, QStringLiteral("CSetLengthDlg"), pszLanguage);
        ExpectOnTop(run, QStringLiteral("CSetLengthDlg"), pszLanguage);
        // Answered, as the measurement page opens only with a calibration.
        AnswerDialog(run, QStringLiteral("CSetLengthDlg"), QStringLiteral("IDC_EDIT_LENGTH"), QStringLiteral("1"));
        if (HasFatalFailure()) {
            return;
        }
        ExpectMeasurePageReachable(run, pszLanguage);
        ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnExit")));
        EXPECT_TRUE(run.WaitForExit(kExitMs));
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreensTest, ::testing::ValuesIn(kScreens),
                         [](const ::testing::TestParamInfo<SCREEN_CASE>& info) { return info.param.pszName; });

TEST_F(ScreensTest, PlacementRememberedAtScale1IsFittedAtScale2)
{
    StartScreen(1600, 1000);
    m_Work = m_X.WorkArea();
    CProgramRun run(m_X);
    StartProgram(run, 1.0);
    if (HasFatalFailure()) {
        return;
    }
    // The user makes the window as large as the screen allows, and ends.
    const WINDOW_MAP first = run.Map();
    const MAP_WINDOW* pMain = first.Window(kMain);
    ASSERT_NE(pMain, nullptr);
    const QString id = pMain->id;
    m_X.XdoTool({QStringLiteral("windowmove"), QStringLiteral("--sync"), id, QStringLiteral("0"), QStringLiteral("0")});
    m_X.XdoTool({QStringLiteral("windowsize"), QStringLiteral("--sync"), id, QString::number(m_Work.width() - 2),
                 QString::number(m_Work.height() - 30)});
    ASSERT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
        return m.Window(kMain) != nullptr && m.Window(kMain)->rect.width() >= m_Work.width() - 10;
    }));
    // Ended from the keyboard: the tool window, on top, may lie over the exit
    // button of so wide a window. A key pressed while the window manager is
    // still busy may go elsewhere: tried again, as a person would.
    bool bEnded = false;
    for (int nTry = 0; nTry < 3 && !bEnded; ++nTry) {
        if (m_X.Activate(id)) {
            m_X.Key(QStringLiteral("alt+F4"));
        }
        bEnded = run.WaitForExit(kExitMs);
    }
    ASSERT_TRUE(bEnded);

    StartAgain(run, 2.0);
    if (HasFatalFailure()) {
        return;
    }
    ExpectInside(run, kMain, "Japanese");
    ExpectInside(run, kTool, "Japanese");
    ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnExit")));
    EXPECT_TRUE(run.WaitForExit(kExitMs));
}

} // namespace
