// While a reference line or a shape is being input, the main window's other
// buttons and the tool window's tab, lists and buttons are off, a refresh of
// the buttons leaves them off, and they come back when the input ends.
#include "MainWndFixture.h"

#include <QTabBar>
#include <QTabWidget>

namespace {

class InputControlGroupsTest : public CalibrationFlowTest {
protected:
    QWidget* MeasurementItem(int nID) { return m_pDlg->Parts().pTool->PageMeasurement()->GetDlgItem(nID); }
    QWidget* CalibrationItem(int nID) { return m_pDlg->Parts().pTool->PageCalibration()->GetDlgItem(nID); }
};

TEST_F(InputControlGroupsTest, OtherControlsOffWhileAReferenceLineOrAShapeIsInput)
{
    CPixmetraDlg& dlg = Start();
    CMeasureModeDlg* pTool = dlg.Parts().pTool;
    QTabBar* pTabBar = qobject_cast<QTabWidget*>(pTool->GetDlgItem(IDC_TAB_MODE))->tabBar();
    QWidget* pShapes = pTool->GetDlgItem(IDC_CHECK_DISP_RESULT);
    QWidget* pLoadImage = dlg.GetDlgItem(IDC_BTN_LOAD_IMAGE);
    ASSERT_TRUE(pTabBar->isEnabled());
    ASSERT_TRUE(pShapes->isEnabled());

    // A reference line: only its set button (now 中止) stays usable.
    pLoadImage->setEnabled(true);
    QTest::mouseClick(CalibrationItem(IDC_BTN_SET_CALIBRATION), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsCalibrating(); }, 2000));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_FALSE(pLoadImage->isEnabled()) << pass;
        EXPECT_FALSE(pTabBar->isEnabled()) << pass;
        EXPECT_FALSE(pShapes->isEnabled()) << pass;
        EXPECT_FALSE(CalibrationItem(IDC_BTN_LOAD_CALIBRATION)->isEnabled()) << pass;
        EXPECT_FALSE(CalibrationItem(IDC_LIST_CALIBRATION)->isEnabled()) << pass;
        EXPECT_TRUE(CalibrationItem(IDC_BTN_SET_CALIBRATION)->isEnabled()) << pass;
        EXPECT_TRUE(pTool->GetDlgItem(IDC_CHECK_DISP_ZOOM)->isEnabled()) << pass;
        dlg.UpdateButtons(); // a refresh mid-input changes nothing
    }
    QTest::mouseClick(CalibrationItem(IDC_BTN_SET_CALIBRATION), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.Parts().pOverlay->Input().IsCalibrating(); }, 2000));
    EXPECT_TRUE(pTabBar->isEnabled());
    EXPECT_TRUE(pShapes->isEnabled());
    EXPECT_TRUE(CalibrationItem(IDC_BTN_LOAD_CALIBRATION)->isEnabled());

    // A shape: the tab, the list and the calibration page are off; undo and cancel on.
    CalibrateRulerInMillimetres();
    pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    QTest::mouseClick(MeasurementItem(MeasureKindButton(MEAS_LENGTH)), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
    ClickImage(POINT{100, 100});
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_FALSE(pTabBar->isEnabled()) << pass;
        EXPECT_FALSE(MeasurementItem(IDC_LIST_RESULTS)->isEnabled()) << pass;
        EXPECT_FALSE(MeasurementItem(MeasureKindButton(MEAS_CIRCLE))->isEnabled()) << pass;
        EXPECT_FALSE(CalibrationItem(IDC_BTN_SET_CALIBRATION)->isEnabled()) << pass;
        EXPECT_FALSE(CalibrationItem(IDC_BTN_DELETE_CALIBRATION)->isEnabled()) << pass;
        EXPECT_TRUE(MeasurementItem(IDC_BTN_UNDO)->isEnabled()) << pass;
        EXPECT_TRUE(MeasurementItem(IDC_BTN_CANCEL_SHAPE)->isEnabled()) << pass;
        EXPECT_TRUE(pShapes->isEnabled()) << pass; // not in the measuring group
        dlg.UpdateButtons();
    }
    ClickImage(POINT{300, 100});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().size() == 1; }, 2000));
    EXPECT_TRUE(pTabBar->isEnabled());
    EXPECT_TRUE(MeasurementItem(IDC_LIST_RESULTS)->isEnabled());
    EXPECT_TRUE(MeasurementItem(MeasureKindButton(MEAS_CIRCLE))->isEnabled());
    EXPECT_TRUE(CalibrationItem(IDC_BTN_SET_CALIBRATION)->isEnabled());
    EXPECT_FALSE(MeasurementItem(IDC_BTN_CANCEL_SHAPE)->isEnabled());
}

} // namespace
