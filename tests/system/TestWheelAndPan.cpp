// The real pointer's wheel and middle button on the built program: the wheel
// scrolls the zoomed picture (Shift+wheel sideways), Ctrl+wheel zooms keeping
// the pixel under the pointer, a middle-button drag pulls the picture along;
// the status bar reads the pixel under the pointer, whole, at 1366 x 768 in
// both languages.
#include "system/PictureView.h"
#include "system/SystemFixture.h"

#include <QImage>

namespace {

const QString kMain = QString::fromLatin1(kMainWindow);
const QString kBox = QStringLiteral("pictureBox");
const QString kReadout = QStringLiteral("statusPointer");

class WheelAndPanTest : public SystemTest {
protected:
    void PointerTo(const QPoint& pos)
    {
        m_X.XdoTool({QStringLiteral("mousemove"), QString::number(pos.x()), QString::number(pos.y())});
    }

    // Waits for a view other than `before` (a turn of the wheel or a drag done); the map then.
    WINDOW_MAP WaitForView(CProgramRun& run, const QString& before)
    {
        WINDOW_MAP map;
        EXPECT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(kMain, kBox);
            return c != nullptr && c->info != before;
        }, &map)) << "the view stayed " << before.toStdString();
        return map;
    }

    // The readout for the pixel under the pointer, waited for.
    bool WaitForReadoutOf(CProgramRun& run, const QPoint& pixel)
    {
        const QString head = QStringLiteral(" %1, %2 px ").arg(pixel.x()).arg(pixel.y());
        return run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(kMain, kReadout);
            return c != nullptr && c->text.startsWith(head);
        });
    }
};

TEST_F(WheelAndPanTest, WheelScrollsCtrlWheelZoomsAboutThePointerMiddleDragPans)
{
    StartScreen(1366, 768);
    CProgramRun run(m_X);
    StartProgram(run, 1.0, kCalibratedIni);
    if (HasFatalFailure()) {
        return;
    }
    WINDOW_MAP map = run.Map();
    ASSERT_NE(map.Control(kMain, kBox), nullptr);
    QRect box = map.Control(kMain, kBox)->rect;
    const QPoint p(box.left() + box.width() * 2 / 5, box.top() + box.height() / 2);
    PointerTo(p);
    EXPECT_TRUE(WaitForReadoutOf(run, PixelShownAt(box, ParseView(map.Control(kMain, kBox)->info), p)));

    // Ctrl+wheel away from the user: one ratio step a notch, the pixel under the pointer stays.
    for (int i = 0; i < 4; ++i) {
        const MAP_CONTROL* pBox = map.Control(kMain, kBox);
        const QPoint under = PixelShownAt(pBox->rect, ParseView(pBox->info), p);
        const QString ratio = map.Control(kMain, QStringLiteral("comboRatio"))->text;
        m_X.XdoTool({QStringLiteral("keydown"), QStringLiteral("ctrl"), QStringLiteral("click"), QStringLiteral("4"),
                     QStringLiteral("keyup"), QStringLiteral("ctrl")});
        map = WaitForView(run, pBox->info);
        pBox = map.Control(kMain, kBox);
        ASSERT_NE(pBox, nullptr);
        EXPECT_NE(map.Control(kMain, QStringLiteral("comboRatio"))->text, ratio);
        EXPECT_EQ(PixelShownAt(pBox->rect, ParseView(pBox->info), p), under) << ratio.toStdString();
    }
    box = map.Control(kMain, kBox)->rect;
    VIEW view = ParseView(map.Control(kMain, kBox)->info);
    ASSERT_GT(view.dRatio, 0.5);

    // The wheel towards the user shows what lies further down; with Shift, further right.
    const int step = int(std::trunc(3 * 20 / view.dRatio));
    for (const bool bShift : {false, true}) {
        const QString before = map.Control(kMain, kBox)->info;
        QStringList args;
        if (bShift) {
            args << QStringLiteral("keydown") << QStringLiteral("shift");
        }
        args << QStringLiteral("click") << QStringLiteral("5");
        if (bShift) {
            args << QStringLiteral("keyup") << QStringLiteral("shift");
        }
        m_X.XdoTool(args);
        map = WaitForView(run, before);
        const VIEW now = ParseView(map.Control(kMain, kBox)->info);
        EXPECT_NEAR(now.scroll.y() - view.scroll.y(), bShift ? 0 : step, 1) << bShift;
        EXPECT_NEAR(now.scroll.x() - view.scroll.x(), bShift ? step : 0, 1) << bShift;
        view = now;
    }
    EXPECT_TRUE(WaitForReadoutOf(run, PixelShownAt(box, view, p)));

    // The middle button takes the picture and pulls it along.
    const QPoint grabbed = PixelShownAt(box, view, p);
    const QPoint to = p + QPoint(-120, -70);
    const QString before = map.Control(kMain, kBox)->info;
    m_X.XdoTool({QStringLiteral("mousedown"), QStringLiteral("2")});
    for (int i = 1; i <= 4; ++i) {
        PointerTo(p + (to - p) * i / 4);
    }
    m_X.XdoTool({QStringLiteral("mouseup"), QStringLiteral("2")});
    map = WaitForView(run, before);
    EXPECT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
        const MAP_CONTROL* c = m.Control(kMain, kBox);
        return c != nullptr && PixelShownAt(c->rect, ParseView(c->info), to) == grabbed;
    })) << "the pixel taken is not under the pointer after the drag";
    EXPECT_TRUE(WaitForReadoutOf(run, grabbed));

    // Off the picture the readout is empty.
    PointerTo(QPoint(box.left() + 4, box.top() - 30));
    EXPECT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
        const MAP_CONTROL* c = m.Control(kMain, kReadout);
        return c != nullptr && c->text.isEmpty();
    }));
    run.Kill();
}

TEST_F(WheelAndPanTest, ReadoutFitsTheStatusBarAt1366InBothLanguages)
{
    StartScreen(1366, 768);
    for (const bool bEnglish : {false, true}) {
        SCOPED_TRACE(bEnglish ? "English" : "Japanese");
        CProgramRun run(m_X);
        // A calibration as a microscope gives one: the place reads with all its decimals.
        QByteArray ini = QByteArray(kCalibratedIni).replace("Calibration-1=1\n", "Calibration-1=3.85802\n");
        StartProgram(run, 1.0, (bEnglish ? ini.append(kEnglishIni) : ini).constData());
        if (HasFatalFailure()) {
            return;
        }
        // The last pixel of the picture: the longest numbers it reads.
        const QRect box = run.Map().Control(kMain, kBox)->rect;
        PointerTo(box.bottomRight() - QPoint(1, 1));
        WINDOW_MAP map;
        ASSERT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(kMain, kReadout);
            return c != nullptr && c->text.contains(QStringLiteral("µm"));
        }, &map));
        const MAP_CONTROL* pReadout = map.Control(kMain, kReadout);
        EXPECT_FALSE(pReadout->info.contains(QStringLiteral("clipped"))) << pReadout->text.toStdString();
        const MAP_WINDOW* pMain = map.Window(kMain);
        EXPECT_LE(pReadout->rect.right(), pMain->rect.right());
        if (qEnvironmentVariableIsSet("PIXMETRA_SYSTEM_SHOTS")) {
            // For a person to look at: the bottom of the main window.
            const QRect bottom(pMain->rect.left(), pReadout->rect.top() - 30, pMain->rect.width(), 80);
            const QString language = bEnglish ? QStringLiteral("English") : QStringLiteral("Japanese");
            const QString folder = qEnvironmentVariable("PIXMETRA_SYSTEM_SHOTS");
            m_X.Screenshot().copy(bottom).save(QStringLiteral("%1/status-readout-%2.png").arg(folder, language));
        }
        run.Kill();
    }
}

} // namespace
