// The magnifier fed by the pointer over the picture: clipping at the
// picture's edges, the pixel under the pointer, nothing before a picture,
// its close box and the tool window's check box, and its placement.
#include "MainWndFixture.h"

#include "workflow/magnifier/ZoomWndDlg.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QSet>

namespace {

class ZoomWndTest : public OverlayAidsTest {
protected:
    CZoomWndDlg* Zoom() { return m_pDlg->Parts().pZoomFlow->ZoomWnd(); }
    QAbstractButton* ZoomCheck()
    {
        return qobject_cast<QAbstractButton*>(m_pDlg->Parts().pTool->GetDlgItem(IDC_CHECK_DISP_ZOOM));
    }
    QImage ViewShot()
    {
        return Zoom()->GetDlgItem(CZoomWndDlg::IDC_STATIC_CROSS)->grab().toImage().convertToFormat(
            QImage::Format_RGB32);
    }
};

TEST_F(ZoomWndTest, EmptyBeforeAPictureThenClippedAtTheCornerAtX4)
{
    WriteSettings([](SYSTEM_SETTING& s) {
        s.bDispZoomWnd = TRUE;
        s.Draw.CrossColor = 0x00FF00FF; // magenta
    });
    CPixmetraDlg& dlg = Start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->isVisible(); }, 3000));
    ASSERT_TRUE(ZoomCheck()->isChecked());
    QWidget* pView = Zoom()->GetDlgItem(CZoomWndDlg::IDC_STATIC_VIEW);
    QWidget* pCross = Zoom()->GetDlgItem(CZoomWndDlg::IDC_STATIC_CROSS);
    const QRect start = pCross->geometry();
    ASSERT_EQ(pView->geometry(), start);

    // No picture: no ratio to map with, nothing to draw.
    dlg.Parts().pZoomFlow->OnMoveZoomPoint(50, 50);
    Zoom()->Draw(POINT{1, 1}, FALSE);
    const QImage empty = ViewShot();
    QSet<QRgb> colours;
    for (int y = 0; y < empty.height(); ++y) {
        for (int x = 0; x < empty.width(); ++x) {
            colours.insert(empty.pixel(x, y));
        }
    }
    EXPECT_EQ(colours.size(), 1) << "no picture, cross hair or frame before a picture";
    EXPECT_TRUE(Zoom()->GetPixelText().isEmpty());
    EXPECT_EQ(pView->geometry(), start);

    ShowStill(320, 240);
    auto* pCombo = qobject_cast<QComboBox*>(Zoom()->GetDlgItem(CZoomWndDlg::IDC_COMBO_MAGNIFICATION));
    pCombo->setCurrentIndex(2);
    EXPECT_DOUBLE_EQ(Zoom()->GetMagnification(), 4.0);
    QTest::mouseMove(dlg.Parts().pOverlay, WindowPoint(POINT{10, 10}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->GetPointer() == POINT{10, 10}; }, 3000));

    // 240 px at x4 spans 60 image pixels, 30 each side: 20 of them lie left
    // of and above the picture, 80 view pixels cut off on those sides.
    EXPECT_EQ(pView->geometry(), QRect(start.left() + 80, start.top() + 80, 160, 160));
    EXPECT_EQ(Zoom()->GetPixelText(), QStringLiteral("X: 10  Y: 10  R: 10  G: 10  B: 30"));
    const QImage shot = ViewShot();
    EXPECT_EQ(shot.pixel(122, 122), qRgb(10, 10, 30)) << "the pointer's pixel at the centre";
    EXPECT_EQ(shot.pixel(84, 84), qRgb(1, 1, 30)) << "the picture's corner pixel";
    EXPECT_EQ(shot.pixel(40, 40), empty.pixel(40, 40)) << "nothing drawn outside the picture";
    EXPECT_EQ(shot.pixel(125, 120), qRgb(255, 0, 255)) << "cross hair in the cross-line colour";

    // Near the far corner at x8: the right and bottom sides shrink instead.
    pCombo->setCurrentIndex(3);
    QTest::mouseMove(dlg.Parts().pOverlay, WindowPoint(POINT{315, 236}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->GetPointer() == POINT{315, 236}; }, 3000));
    // hw = 15: the view spans x 300..330 and y 221..251 of a 320 x 240 picture.
    EXPECT_EQ(pView->geometry(), QRect(start.left(), start.top(), 240 - 80, 240 - 88));

    // A picture narrower and lower than the view at x1: the view is exactly
    // the picture, each side cut by what lies outside it.
    ShowStill(100, 80);
    pCombo->setCurrentIndex(0);
    QTest::mouseMove(dlg.Parts().pOverlay, WindowPoint(POINT{10, 12}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->GetPointer() == POINT{10, 12}; }, 3000));
    EXPECT_EQ(pView->geometry(), QRect(start.left() + 110, start.top() + 108, 100, 80));
    EXPECT_EQ(ViewShot().pixel(110 + 99, 108 + 79), qRgb(99, 79, 30)) << "the picture's far corner";
}

TEST_F(ZoomWndTest, CloseBoxUnticksTheToolWindowAndPlacementIsKept)
{
    WriteSettings([](SYSTEM_SETTING& s) {
        s.bDispZoomWnd = TRUE;
        s.bRegistWindowPos = TRUE;
    });
    CPixmetraDlg& dlg = Start(0);
    ShowStill(320, 240);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->isVisible(); }, 3000));
    ASSERT_TRUE(ZoomCheck()->isChecked());

    Zoom()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ZoomCheck()->isChecked(); }, 3000));
    EXPECT_FALSE(Zoom()->isVisible());
    EXPECT_FALSE(dlg.Parts().pZoomFlow->IsShown());
    EXPECT_FALSE(dlg.Parts().pTool->IsDispZoomWindow());

    ASSERT_TRUE(ZoomCheck()->isEnabled());
    ZoomCheck()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->isVisible(); }, 3000));
    EXPECT_TRUE(dlg.Parts().pZoomFlow->IsShown());

    Zoom()->move(123, 145);
    const QPoint placed = Zoom()->pos();
    m_pDlg.reset();
    SYSTEM_SETTING saved;
    LoadSystemSetting(saved);
    EXPECT_TRUE(saved.bDispZoomWnd);
    EXPECT_EQ(saved.ZoomWndLeft, placed.x());
    EXPECT_EQ(saved.ZoomWndTop, placed.y());

    Start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->isVisible(); }, 3000));
    EXPECT_EQ(Zoom()->pos(), placed);
}

TEST_F(ZoomWndTest, FollowsTheLivePictureWithoutPointerMoves)
{
    WriteSettings([](SYSTEM_SETTING& s) { s.bDispZoomWnd = TRUE; });
    CPixmetraDlg& dlg = Start(1);
    ASSERT_TRUE(dlg.Parts().live.IsCameraOK());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Zoom()->isVisible(); }, 3000));
    QTest::mouseMove(dlg.Parts().pOverlay, WindowPoint(POINT{1000, 800}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Zoom()->GetPixelText().isEmpty(); }, 3000));
    auto* pLabel = Zoom()->findChild<QLabel*>(QStringLiteral("labelPixel"));
    ASSERT_NE(pLabel, nullptr);
    const QString first = pLabel->text();
    EXPECT_TRUE(first.startsWith(QStringLiteral("X: "))) << first.toStdString();
    // The sensor's noise changes the pixel from frame to frame; the shown
    // value follows with the pointer standing still.
    EXPECT_TRUE(QTest::qWaitFor([&] { return pLabel->text() != first; }, 5000));
    EXPECT_EQ(Zoom()->GetPointer().x, first.section(QLatin1Char(' '), 1, 1).toInt());
}

} // namespace
