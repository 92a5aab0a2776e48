// Every remaining measuring kind started from the tool window and clicked on
// the simulated camera's still picture, calibrated 1000 px = 1 mm on its
// ruler: each row's content, value and unit as the results list shows them,
// and a shape clicked on the picture selecting its row.
#include "MainWndFixture.h"

#include <initializer_list>

namespace {

// Clicks land on window pixels, so image points move by a pixel or two and
// the calibration itself is 1000 px within a few pixels.
constexpr double kLengthTolerance = 0.006; // mm
constexpr double kAngleTolerance = 1.0;    // degrees

class MeasureEveryKindTest : public CalibrationFlowTest {
protected:
    // Calibrated in mm, on the measurement page.
    CPixmetraDlg& StartCalibrated()
    {
        CPixmetraDlg& dlg = Start();
        CalibrateRulerInMillimetres();
        dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
        EXPECT_EQ(dlg.Parts().pTool->GetCurrentTab(), MEAS_TAB_MEASUREMENT);
        return dlg;
    }

    void Measure(int32_t nKind, std::initializer_list<POINT> clicks, size_t nRows, const POINT* pFinish = nullptr)
    {
        MeasureWith(nKind, clicks, nRows, pFinish);
        EXPECT_EQ(m_pDlg->GetMessageText(), GetProgramString(IDS_MEASURE_DONE));
    }

    CQSListCtrl* List() { return m_pDlg->Parts().pTool->PageMeasurement()->ResultList(); }
    QString Text(int nRow, int nColumn) { return List()->item(nRow, nColumn)->text(); }

    // Row nRow lists kind nKind with a value near dValue in unit string nUnit.
    void ExpectRow(int nRow, int nKind, double dValue, double dTolerance, const QString& unit)
    {
        ASSERT_LT(nRow, List()->GetRowCount());
        EXPECT_EQ(Text(nRow, 0), QString::number(nRow + 1));
        EXPECT_EQ(Text(nRow, 1), GetProgramString(kMeasureKinds[nKind].nName)) << "row " << nRow;
        EXPECT_NEAR(Text(nRow, 2).toDouble(), dValue, dTolerance) << "row " << nRow;
        EXPECT_EQ(Text(nRow, 3), unit) << "row " << nRow;
    }
};

TEST_F(MeasureEveryKindTest, ParallelPerpendicularAndArcInMillimetres)
{
    CPixmetraDlg& dlg = StartCalibrated();
    const QString mm = GetProgramString(IDS_UNIT_MM);

    // A third point 300 px off the base line.
    Measure(MEAS_PARALLEL, {POINT{100, 100}, POINT{500, 100}, POINT{300, 400}}, 1);
    // Two end points 200 and 100 px from the base; the right click places the last.
    const POINT last{900, 200};
    Measure(MEAS_PERPENDICULAR, {POINT{600, 100}, POINT{1100, 100}, POINT{700, 300}}, 2, &last);
    // Start, a point on the arc, end: radius 200 px.
    Measure(MEAS_ARC, {POINT{700, 600}, POINT{900, 400}, POINT{1100, 600}}, 1);

    ASSERT_EQ(List()->GetRowCount(), 4);
    ExpectRow(0, MEAS_PARALLEL, 0.3, kLengthTolerance, mm);
    ExpectRow(1, MEAS_PERPENDICULAR, 0.2, kLengthTolerance, mm);
    ExpectRow(2, MEAS_PERPENDICULAR, 0.1, kLengthTolerance, mm);
    ExpectRow(3, MEAS_ARC, 0.2, kLengthTolerance, mm);
    // The two perpendiculars are measurements of their own.
    EXPECT_NE(dlg.Parts().measure.Results()[1].nMeasNum, dlg.Parts().measure.Results()[2].nMeasNum);
}

TEST_F(MeasureEveryKindTest, AngleAndTwoLineAngleOnEitherSide)
{
    StartCalibrated();
    const QString degrees = GetProgramString(IDS_UNIT_DEGREE);

    // The vertex second: 45 degrees.
    Measure(MEAS_ANGLE, {POINT{300, 700}, POINT{100, 700}, POINT{300, 500}}, 1);
    // Two lines meeting at right angles in (450, 500); the fifth click picks
    // the side: inside the two lines, then the far side.
    const POINT line1a{500, 500}, line1b{650, 500}, line2a{450, 550}, line2b{450, 750};
    Measure(MEAS_2LINE_ANGLE, {line1a, line1b, line2a, line2b, POINT{550, 600}}, 1);
    Measure(MEAS_2LINE_ANGLE, {line1a, line1b, line2a, line2b, POINT{400, 450}}, 1);

    ASSERT_EQ(List()->GetRowCount(), 3);
    ExpectRow(0, MEAS_ANGLE, 45.0, kAngleTolerance, degrees);
    ExpectRow(1, MEAS_2LINE_ANGLE, 90.0, kAngleTolerance, degrees);
    ExpectRow(2, MEAS_2LINE_ANGLE, 270.0, kAngleTolerance, degrees);
}

TEST_F(MeasureEveryKindTest, AreaInSquareMillimetresAndPickedOnThePicture)
{
    CPixmetraDlg& dlg = StartCalibrated();
    Measure(MEAS_LENGTH, {POINT{100, 300}, POINT{400, 300}}, 1);
    // A 400 x 300 px rectangle closed by a right click on its fourth corner.
    const POINT last{800, 950};
    Measure(MEAS_POLYGON, {POINT{800, 650}, POINT{1200, 650}, POINT{1200, 950}}, 1, &last);
    ASSERT_EQ(List()->GetRowCount(), 2);
    ExpectRow(1, MEAS_POLYGON, 0.12, 0.003, GetProgramString(IDS_UNIT_MM) + QLatin1Char('2'));

    // A click inside the area selects its row, a click on the distance line
    // the other row, and a click on empty picture none.
    std::vector<int> rows;
    ClickImage(POINT{1000, 800});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        List()->GetSelectedRows(rows);
        return rows == std::vector<int>{1};
    }, 2000));
    ClickImage(POINT{150, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        List()->GetSelectedRows(rows);
        return rows == std::vector<int>{0};
    }, 2000));
    std::vector<int32_t> picked;
    dlg.Parts().pOverlay->Engine().GetSelectedMeasNo(picked);
    EXPECT_EQ(picked, std::vector<int32_t>{dlg.Parts().measure.Results()[0].nMeasNum});
    ClickImage(POINT{600, 500});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        List()->GetSelectedRows(rows);
        return rows.empty();
    }, 2000));
}

} // namespace
