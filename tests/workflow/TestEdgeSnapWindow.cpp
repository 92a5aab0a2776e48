// Edge snap through the real windows: the measurement page's check box, the
// marker before a click, a circle clicked near the simulated picture's ring,
// the key that takes the pointer exactly, and the setting kept for the next start.
#include "MainWndFixture.h"

#include "app/QSFileIni.h"

#include <QCheckBox>

namespace {

class EdgeSnapWindowTest : public CalibrationFlowTest {
protected:
    QCheckBox* SnapBox()
    {
        return qobject_cast<QCheckBox*>(m_pDlg->Parts().pTool->PageMeasurement()->GetDlgItem(IDC_CHECK_EDGE_SNAP));
    }
    // A point dOff pixels outside the 400 px ring at angle a, and the ring's centre, in image pixels.
    POINT NearRing(double a, double dOff) const
    {
        return Img(kCentreX + (200 + dOff) * std::cos(a), kCentreY + (200 + dOff) * std::sin(a));
    }
    double RingGap(POINT p) const
    {
        return std::hypot(p.x + m_nOffsetX - kCentreX, p.y + m_nOffsetY - kCentreY) - 200;
    }
    static constexpr double kCentreX = (kWidth + simcam::kWorldMargin) * 0.30;
    static constexpr double kCentreY = (kHeight + simcam::kWorldMargin) * 0.45;
};

TEST_F(EdgeSnapWindowTest, TickedBoxPutsTheCircleOnTheRingAndIsRemembered)
{
    CPixmetraDlg& dlg = Start();
    MeasureInPixels(dlg);
    HandlePosted();
    ASSERT_NE(SnapBox(), nullptr);
    EXPECT_FALSE(SnapBox()->isChecked());
    EXPECT_FALSE(dlg.Parts().pOverlay->Engine().HasPointSnap());
    QTest::mouseClick(SnapBox(), Qt::LeftButton);
    EXPECT_TRUE(dlg.Parts().pOverlay->Engine().HasPointSnap());

    // Held Super places the point on the pointer's pixel, past the snap.
    const POINT off = NearRing(0.3, 7);
    QTest::mouseClick(ToolButton(MeasureKindButton(MEAS_CIRCLE)), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
    QTest::mouseClick(dlg.Parts().pOverlay, Qt::LeftButton, kExactPointerModifier, WindowPoint(off));
    POINT exact{};
    ASSERT_TRUE(dlg.Parts().pOverlay->Engine().WindowToImage(POINT{WindowPoint(off).x(), WindowPoint(off).y()}, exact));
    EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetInputPoint(0), exact);
    QTest::mouseClick(ToolButton(IDC_BTN_CANCEL_SHAPE), Qt::LeftButton);
    HandlePosted();

    // The marker shows where the first click lands before it is made: on the ring.
    QTest::mouseClick(ToolButton(MeasureKindButton(MEAS_CIRCLE)), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
    QTest::mouseMove(dlg.Parts().pOverlay, WindowPoint(NearRing(0.3, 7)));
    ASSERT_TRUE(dlg.Parts().pOverlay->HasSnapMarker());
    EXPECT_LE(std::fabs(RingGap(dlg.Parts().pOverlay->SnapMarker())), 1.0);
    for (const POINT p : {NearRing(0.3, 7), NearRing(2.5, -6), NearRing(4.4, 5)}) {
        ClickImage(p);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().size() == 1; }, 2000));
    EXPECT_NEAR(dlg.Parts().measure.Results().back().dValue, 400.0, 1.0);
    HandlePosted();
    EXPECT_FALSE(dlg.Parts().pOverlay->HasSnapMarker()); // no point input under way

    // Kept for the next start, and off again when unticked.
    m_pDlg.reset();
    CQSFileIni::DropCache();
    CPixmetraDlg& again = Start();
    ASSERT_TRUE(SnapBox()->isChecked());
    EXPECT_TRUE(again.Parts().pOverlay->Engine().HasPointSnap());
    QTest::mouseClick(SnapBox(), Qt::LeftButton);
    EXPECT_FALSE(again.Parts().pOverlay->Engine().HasPointSnap());
    EXPECT_FALSE(again.Parts().setting.bEdgeSnap);
}

} // namespace
