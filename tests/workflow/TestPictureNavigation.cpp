// Moving around the picture with the mouse on the real window: the wheel
// scrolls, Ctrl+wheel zooms about the pointer, the middle button drags, none
// of them adds a point to a shape being made; and the status bar's reading
// of the pixel under the pointer, its value and its calibrated place.
#include "MainWndFixture.h"
#include "engine/MeasureGeometry.h"
#include "workflow/MainStatusBar.h"
#include "workflow/live/PictureBox.h"
#include "workflow/live/PictureNavigator.h"

#include <QComboBox>
#include <QLabel>
#include <QWheelEvent>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

// Counts the paints a widget receives.
class CPaintCounter : public QObject {
public:
    int nPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        nPaints += pEvent->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class PictureNavigationTest : public MainWndTestBase {
protected:
    // The window without cameras, showing a 5 MP still whose pixel (x, y)
    // reads R = x, G = y, B = 30 (modulo 256), or grey (x + 2y) modulo 256.
    CPixmetraDlg& Start(bool bGrey = false)
    {
        UseCameras(0);
        CPixmetraDlg& dlg = StartWindow();
        dlg.resize(1000, 760);
        QCoreApplication::processEvents();
        dlg.Parts().live.SetImageKind(DISP_STILL_IMAGE);
        const uint32_t nBits = bGrey ? 8 : 24;
        const int stride = CAccImage::GetStride(kWidth, nBits);
        std::vector<uint8_t> pixels(size_t(stride) * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = &pixels[size_t(y) * size_t(stride) + size_t(x) * (nBits / 8)];
                if (bGrey) {
                    p[0] = uint8_t(x + 2 * y);
                } else {
                    p[0] = 30;
                    p[1] = uint8_t(y);
                    p[2] = uint8_t(x);
                }
            }
        }
        EXPECT_TRUE(dlg.Parts().live.Image().SetImage(pixels.data(), IMAGE_INFO{nBits, kWidth, kHeight}));
        EXPECT_TRUE(dlg.Parts().pOverlay->Initialise(kWidth, kHeight, 1.0));
        dlg.Parts().view.ResetPictureView(IMAGE_INFO{24, kWidth, kHeight});
        dlg.UpdateButtons();
        return dlg;
    }

    QWidget* Box() { return m_pDlg->Parts().pPicture; }
    // A point of the main window in the picture box as it lies now.
    QPoint BoxPoint(QPoint window) { return window - Box()->pos(); }

    void Wheel(QPoint boxPos, int nAngle, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* pOverlay = m_pDlg->Parts().pOverlay;
        QWheelEvent e(QPointF(boxPos), QPointF(pOverlay->mapToGlobal(boxPos)), QPoint(), QPoint(0, nAngle),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pOverlay, &e);
    }

    void MiddleDrag(QPoint from, QPoint to)
    {
        QWidget* pOverlay = m_pDlg->Parts().pOverlay;
        QTest::mousePress(pOverlay, Qt::MiddleButton, Qt::NoModifier, from);
        QTest::mouseMove(pOverlay, (from + to) / 2);
        QTest::mouseMove(pOverlay, to);
        QTest::mouseRelease(pOverlay, Qt::MiddleButton, Qt::NoModifier, to);
    }

    // The image pixel drawn under window pixel w of the box: pixel i covers [i * r, (i + 1) * r).
    POINT DrawnPixel(QPoint boxPos)
    {
        const double r = m_pDlg->Parts().geometry.CurrentView().CurDrawRatio;
        const POINT s = m_pDlg->Parts().geometry.GetScrollPos();
        return POINT{int(std::floor((boxPos.x() + 0.5) / r)) + s.x, int(std::floor((boxPos.y() + 0.5) / r)) + s.y};
    }

    // Selects the ratio list's entry of ratio r.
    void SelectRatio(double r)
    {
        for (int i = 0; i < m_pDlg->Parts().geometry.GetRatioCount(); ++i) {
            if (m_pDlg->Parts().geometry.GetRatio(i) == r) {
                m_pDlg->OnCbnSelchangeComboRatio(i);
                return;
            }
        }
        ADD_FAILURE() << "no ratio " << r;
    }

    // The pixel under the pointer stayed, or the view stopped at the picture's edge that way.
    void ExpectKept(POINT before, POINT after)
    {
        const CDisplayGeometry& g = m_pDlg->Parts().geometry;
        const POINT s = g.GetScrollPos();
        if (after.x != before.x) {
            EXPECT_TRUE(s.x == 0 || s.x == g.GetHScroll().nMax) << before.x << " -> " << after.x;
        }
        if (after.y != before.y) {
            EXPECT_TRUE(s.y == 0 || s.y == g.GetVScroll().nMax) << before.y << " -> " << after.y;
        }
    }

    QString Readout() { return m_pDlg->findChild<QLabel*>(QStringLiteral("statusPointer"))->text(); }
    CMainStatusBar* StatusBar() { return static_cast<CMainStatusBar*>(m_pDlg->GetDlgItem(IDC_STATUS_BAR)); }
};

TEST_F(PictureNavigationTest, WheelScrollsDownAndShiftWheelSideways)
{
    CPixmetraDlg& dlg = Start();
    const QPoint mid = Box()->rect().center();
    // At fit the whole picture shows: nothing to scroll.
    Wheel(mid, -120);
    EXPECT_EQ(dlg.Parts().geometry.GetScrollPos(), (POINT{0, 0}));

    SelectRatio(1.0);
    ASSERT_EQ(dlg.Parts().geometry.CurrentView().CurDrawRatio, 1.0);
    const int step = QApplication::wheelScrollLines() * 20;
    struct CASE {
        int nAngle;
        Qt::KeyboardModifiers mods;
        int dx, dy;
    } cases[] = {
        {-120, Qt::NoModifier, 0, step},   // towards the user: further down the picture
        {120, Qt::NoModifier, 0, -step},
        {-240, Qt::NoModifier, 0, 2 * step},
        {-120, Qt::ShiftModifier, step, 0}, // sideways
        {120, Qt::ShiftModifier, -step, 0},
        {-60, Qt::NoModifier, 0, step / 2},  // half a notch of a fine wheel
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.nAngle);
        const POINT before = dlg.Parts().geometry.GetScrollPos();
        Wheel(mid, c.nAngle, c.mods);
        const POINT after = dlg.Parts().geometry.GetScrollPos();
        EXPECT_EQ(after.x - before.x, c.dx);
        EXPECT_EQ(after.y - before.y, c.dy);
        // The bars and the overlay follow.
        EXPECT_EQ(dlg.GetDlgItem(IDC_SCROLL_VERT)->property("value").toInt(), after.y);
        EXPECT_EQ(dlg.GetDlgItem(IDC_SCROLL_HORZ)->property("value").toInt(), after.x);
        EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetScroll(), after);
    }
    // At the top the wheel stops there.
    for (int i = 0; i < 200; ++i) {
        Wheel(mid, 120);
    }
    EXPECT_EQ(dlg.Parts().geometry.GetScrollPos().y, 0);
}

TEST_F(PictureNavigationTest, CtrlWheelStepsThroughTheRatiosKeepingThePixelUnderThePointer)
{
    CPixmetraDlg& dlg = Start();
    auto* pCombo = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_COMBO_RATIO));
    const int nSteps = dlg.Parts().geometry.GetRatioCount();
    ASSERT_GT(nSteps, 10);
    const QRect frame = dlg.GetDlgItem(IDC_PICTURE)->geometry();
    // Points of the window over the picture, fixed on the screen while the
    // wheel turns; the middle one never meets the picture's edge.
    for (const QPoint window : {frame.center(), frame.topLeft() + QPoint(frame.width() / 3, frame.height() / 4),
                                frame.topLeft() + QPoint(frame.width() * 3 / 4, frame.height() * 2 / 3)}) {
        SCOPED_TRACE(window.x());
        dlg.OnBnClickedBtnZoomFit();
        for (int sel = 1; sel < nSteps; ++sel) {
            const POINT before = DrawnPixel(BoxPoint(window));
            Wheel(BoxPoint(window), 120, Qt::ControlModifier);
            // The same step as the zoom-in button, shown in the list.
            ASSERT_EQ(dlg.Parts().geometry.GetRatioSel(), sel);
            EXPECT_EQ(pCombo->currentIndex(), sel);
            EXPECT_EQ(dlg.Parts().geometry.CurrentView().CurDrawRatio, dlg.Parts().geometry.GetRatio(sel));
            EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetRatio(), dlg.Parts().geometry.GetRatio(sel));
            // The pointer's screen pixel still shows the pixel it showed.
            SCOPED_TRACE(pCombo->currentText().toStdString());
            const POINT after = DrawnPixel(BoxPoint(window));
            if (window == frame.center()) {
                EXPECT_EQ(after, before);
            }
            ExpectKept(before, after);
        }
        // At the last ratio the wheel changes nothing; back down to the fit.
        const POINT scroll = dlg.Parts().geometry.GetScrollPos();
        Wheel(BoxPoint(window), 120, Qt::ControlModifier);
        EXPECT_EQ(dlg.Parts().geometry.GetScrollPos(), scroll);
        for (int sel = nSteps - 2; sel >= 1; --sel) {
            const POINT before = DrawnPixel(BoxPoint(window));
            Wheel(BoxPoint(window), -120, Qt::ControlModifier);
            ASSERT_EQ(dlg.Parts().geometry.GetRatioSel(), sel);
            SCOPED_TRACE(pCombo->currentText().toStdString());
            ExpectKept(before, DrawnPixel(BoxPoint(window)));
        }
        Wheel(BoxPoint(window), -120, Qt::ControlModifier);
        EXPECT_TRUE(dlg.Parts().geometry.CurrentView().bFit);
    }
}

TEST_F(PictureNavigationTest, MiddleDragPullsThePictureAlong)
{
    CPixmetraDlg& dlg = Start();
    for (const double ratio : {0.7, 1.0, 2.0, 3.0}) {
        SelectRatio(ratio);
        const double r = dlg.Parts().geometry.CurrentView().CurDrawRatio;
        SCOPED_TRACE(r);
        const QPoint from = Box()->rect().center();
        for (const QPoint drag : {QPoint(-90, -60), QPoint(75, 40), QPoint(1, 0), QPoint(0, -7)}) {
            const POINT grabbed = DrawnPixel(from);
            const POINT before = dlg.Parts().geometry.GetScrollPos();
            MiddleDrag(from, from + drag);
            const POINT after = dlg.Parts().geometry.GetScrollPos();
            // The picture moved with the pointer: the pixel taken is under it, and
            // the picture moved the drag's distance to within one image pixel's width.
            EXPECT_EQ(DrawnPixel(from + drag), grabbed);
            EXPECT_LT(std::abs((before.x - after.x) * r - drag.x()), std::max(1.0, r));
            EXPECT_LT(std::abs((before.y - after.y) * r - drag.y()), std::max(1.0, r));
            EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetScroll(), after);
        }
    }
}

TEST_F(PictureNavigationTest, MovingAroundWhileMakingAShapeAddsNoPoint)
{
    CPixmetraDlg& dlg = Start();
    MeasureInPixels(dlg);
    SelectRatio(1.2);
    const POINT a{1200, 900};
    QTest::mouseClick(ToolButton(MeasureKindButton(MEAS_LENGTH)), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
    ClickImage(a);
    HandlePosted();
    ASSERT_EQ(dlg.Parts().pOverlay->Engine().GetPointCount(), 1);
    const QPoint mid = Box()->rect().center();
    Wheel(mid, -120);
    Wheel(mid, 120, Qt::ShiftModifier);
    Wheel(mid, 120, Qt::ControlModifier);
    MiddleDrag(mid, mid + QPoint(40, 30));
    QTest::mouseClick(dlg.Parts().pOverlay, Qt::MiddleButton, Qt::NoModifier, mid);
    HandlePosted();
    EXPECT_TRUE(dlg.Parts().pOverlay->Input().IsMakingShape());
    EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetPointCount(), 1);
    EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetInputPoint(0), a);
    EXPECT_TRUE(dlg.Parts().measure.Results().empty());
    // The second click, on the moved and zoomed picture, lands where it is aimed.
    const POINT b{a.x + 30, a.y + 40};
    ClickImage(b);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().size() == 1; }, 2000));
    EXPECT_DOUBLE_EQ(dlg.Parts().measure.Results().back().dValue, 50.0);
}

TEST_F(PictureNavigationTest, ReadoutShowsThePixelAClickTakesItsValueAndPlace)
{
    struct CASE {
        bool bGrey;
        bool bCalibrated;
        double dRatio; // 0: fit
    } cases[] = {{false, false, 0.0}, {false, true, 0.0}, {true, false, 3.0}, {true, true, 1.0}, {false, true, 1.7}};
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.dRatio + (c.bGrey ? 100 : 0) + (c.bCalibrated ? 1000 : 0));
        CPixmetraDlg& dlg = Start(c.bGrey);
        MeasureInPixels(dlg);
        if (c.dRatio > 0.0) {
            SelectRatio(c.dRatio);
        }
        // The point count takes a point at every click.
        QTest::mouseClick(ToolButton(MeasureKindButton(MEAS_COUNT)), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
        // The calibration the status bar shows: 0.25 mm a pixel, or none.
        SYSTEM_SETTING& s = dlg.Parts().setting;
        CALIBRATION_SETTING& cal = s.Calibration[s.CalibrationIndex];
        cal.Calibration = 0.25;
        cal.UnitKind = 1;
        s.MeasureDownPlace = 3;
        cal.bEnable = c.bCalibrated ? TRUE : FALSE;
        const QRect box = Box()->rect();
        for (const QPoint pos : {box.topLeft() + QPoint(3, 2), box.center(), box.bottomRight() - QPoint(1, 4),
                                 box.topLeft() + QPoint(box.width() / 3, box.height() * 3 / 5)}) {
            QTest::mouseMove(dlg.Parts().pOverlay, pos);
            const QString shown = Readout();
            QTest::mouseClick(dlg.Parts().pOverlay, Qt::LeftButton, Qt::NoModifier, pos);
            HandlePosted();
            const CRgnDataCtrl& eng = dlg.Parts().pOverlay->Engine();
            ASSERT_GT(eng.GetPointCount(), 0);
            const POINT p = eng.GetInputPoint(eng.GetPointCount() - 1);
            const QString value = c.bGrey ? GetProgramString(IDS_POINTER_GREY) +
                                                QStringLiteral(" %1").arg((p.x + 2 * p.y) % 256)
                                          : QStringLiteral("R %1  G %2  B 30").arg(p.x % 256).arg(p.y % 256);
            QString want = QStringLiteral(" %1, %2 px    %3").arg(p.x).arg(p.y).arg(value);
            if (c.bCalibrated) {
                want += QStringLiteral("    %1, %2 mm")
                            .arg(QString::fromStdU16String(FormatValueString(p.x * 0.25, 3)),
                                 QString::fromStdU16String(FormatValueString(p.y * 0.25, 3)));
            }
            EXPECT_EQ(shown.toStdString(), want.toStdString());
        }
        // Off the picture the readout is empty.
        QTest::mouseMove(&dlg, QPoint(4, 4));
        EXPECT_TRUE(QTest::qWaitFor([&] { return Readout().isEmpty(); }, 2000));
        dlg.Parts().pOverlay->Input().CancelInput();
        HandlePosted();
        m_pDlg.reset();
    }
}

TEST_F(PictureNavigationTest, ReadoutCostsNoRepaintOfThePictureAndLeavesThePartsWhereTheyAre)
{
    CPixmetraDlg& dlg = Start();
    SelectRatio(1.0);
    QCoreApplication::processEvents();
    std::vector<QRect> parts;
    for (int i = 0; i < STATUS_PART_COUNT; ++i) {
        parts.push_back(StatusBar()->findChild<QLabel*>(QStringLiteral("statusPart%1").arg(i))->geometry());
    }
    CPaintCounter counter;
    Box()->installEventFilter(&counter);
    QString last;
    int nChanges = 0;
    for (int i = 0; i < 20; ++i) {
        QTest::mouseMove(dlg.Parts().pOverlay, QPoint(100 + 7 * i, 120 + 3 * i));
        QCoreApplication::processEvents();
        nChanges += Readout() != last ? 1 : 0;
        last = Readout();
    }
    EXPECT_EQ(nChanges, 20);
    EXPECT_EQ(counter.nPaints, 0);
    Box()->removeEventFilter(&counter);
    for (int i = 0; i < STATUS_PART_COUNT; ++i) {
        EXPECT_EQ(StatusBar()->findChild<QLabel*>(QStringLiteral("statusPart%1").arg(i))->geometry(), parts[size_t(i)]);
    }
}

TEST_F(PictureNavigationTest, StatusPartsAreMeasuredOnlyWhenATextMayNoLongerFit)
{
    Start();
    CMainStatusBar* pBar = StatusBar();
    const int nStart = pBar->MeasureCount();
    // The frame rate ten times a second: its part is as wide as its widest text.
    for (int i = 0; i < 50; ++i) {
        pBar->SetStatusPart(1, QStringLiteral("  %1 fps").arg(10.0 + i * 1.37, 0, 'f', 2));
    }
    EXPECT_EQ(pBar->MeasureCount(), nStart);
    // A counter is measured when it gains a digit (then the parts are laid
    // out again, each measured once), not at every count.
    for (int n = 5; n <= 120; ++n) {
        pBar->SetStatusPart(2, QStringLiteral(" frames：%1").arg(n));
    }
    const int nCounted = pBar->MeasureCount();
    EXPECT_GE(nCounted, nStart + 3);
    EXPECT_LE(nCounted, nStart + 3 * (1 + STATUS_PART_COUNT));
    // A new name is measured, and a long one gets its room.
    pBar->SetStatusPart(4, QStringLiteral("a calibration with a long name"));
    EXPECT_GT(pBar->MeasureCount(), nCounted);
    const QLabel* pName = pBar->findChild<QLabel*>(QStringLiteral("statusPart4"));
    EXPECT_GE(pName->contentsRect().width(), pName->fontMetrics().horizontalAdvance(pName->text()));
}

} // namespace
