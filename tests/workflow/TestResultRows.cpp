#include "MeasureRows.h"

#include "workflow/measure/ResultRows.h"

#include <gtest/gtest.h>

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

QStringList Column(const std::vector<QStringList>& rows, int nColumn)
{
    QStringList out;
    for (const QStringList& r : rows) {
        out << r.at(nColumn);
    }
    return out;
}

} // namespace

TEST(ResultRows, TwoCircleMeasurementsLabelTheirOwnCircles)
{
    // Each 2-circle measurement lists its centre distance, then its two circles.
    const std::vector<MEASURE_DATA> rows{
        MakeRow(1, MEAS_2CIRCLE, 10.0, RGN_LINE),   MakeRow(1, MEAS_2CIRCLE, 2.0, RGN_CIRCLE),
        MakeRow(1, MEAS_2CIRCLE, 3.0, RGN_CIRCLE),  MakeRow(2, MEAS_2CIRCLE, 20.0, RGN_LINE),
        MakeRow(2, MEAS_2CIRCLE, 4.0, RGN_CIRCLE),  MakeRow(2, MEAS_2CIRCLE, 5.0, RGN_CIRCLE),
        MakeRow(3, MEAS_CIRCLE, 6.0, RGN_CIRCLE),
    };
    const auto texts = BuildResultRows(rows, 2, 1);
    EXPECT_EQ(Column(texts, RESULT_COL_CONTENT),
              (QStringList{Q("2円間の距離"), Q("第1円の直径"), Q("第2円の直径"), Q("2円間の距離"),
                           Q("第1円の直径"), Q("第2円の直径"), Q("円の直径")}));
    EXPECT_EQ(Column(texts, RESULT_COL_NO), (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(Column(texts, RESULT_COL_UNIT), QStringList(7, Q("mm")));

    // As the engine lists them: every row has a number of its own.
    std::vector<MEASURE_DATA> own = rows;
    for (size_t i = 0; i < own.size(); ++i) {
        own[i].nMeasNum = int32_t(i + 1);
    }
    EXPECT_EQ(Column(BuildResultRows(own, 2, 1), RESULT_COL_CONTENT), Column(texts, RESULT_COL_CONTENT));
}

TEST(ResultRows, ValuesFollowMeasureDownPlace)
{
    const MEASURE_DATA a = MakeRow(1, MEAS_LENGTH, 12.5);
    const MEASURE_DATA b = MakeRow(2, MEAS_LENGTH, 12.0);
    const MEASURE_DATA c = MakeRow(3, MEAS_LENGTH, 12.345);
    EXPECT_EQ(ResultValueText(a, 3), "12.5");
    EXPECT_EQ(ResultValueText(b, 3), "12.0");
    EXPECT_EQ(ResultValueText(c, 3), "12.345");
    EXPECT_EQ(ResultValueText(b, 1), "12.0");
    EXPECT_EQ(ResultValueText(c, 1), "12.3");
    EXPECT_EQ(ResultValueText(a, 0), "12"); // "%.0f" rounds half to even
    EXPECT_EQ(ResultValueText(c, 0), "12");
    EXPECT_FALSE(ResultValueText(MakeRow(4, MEAS_LENGTH, 99.96), 0).contains('.'));
}

// (Each kind's row in millimetres: the export suite's byte-for-byte file.)
TEST(ResultRows, CountsAnglesAreasAndNotesCarryTheirOwnUnits)
{
    const std::vector<MEASURE_DATA> rows{MakeRow(1, MEAS_COUNT, 7.99, RGN_POINTS),
                                         MakeRow(2, MEAS_POLYGON, 3.25, RGN_POLYGON), MakeRow(3, MEAS_ANGLE, 45.0)};
    const auto mm = BuildResultRows(rows, 2, 1);
    // A count is a whole number: its fraction is cut, not rounded.
    EXPECT_EQ(mm[0], (QStringList{"1", Q("カウント"), "7", Q("個")}));
    EXPECT_EQ(mm[2], (QStringList{"3", Q("内角"), "45.0", Q("°")}));

    // Angles and counts keep their units whatever the calibration's unit.
    const auto um = BuildResultRows(rows, 2, 0);
    EXPECT_EQ(um[1].at(RESULT_COL_UNIT), Q("µm2"));
    EXPECT_EQ(um[2].at(RESULT_COL_UNIT), Q("°"));
    EXPECT_EQ(um[0].at(RESULT_COL_UNIT), Q("個"));
    EXPECT_EQ(BuildResultRows(rows, 2, 2)[1].at(RESULT_COL_UNIT), "cm2");
}

TEST(ResultRows, RowsAreFoundByMeasurementNumberNotPosition)
{
    // Measurements 1 and 2 were deleted: numbers no longer match positions.
    const std::vector<MEASURE_DATA> rows{
        MakeRow(3, MEAS_LENGTH, 1.0),           MakeRow(5, MEAS_2CIRCLE, 9.0, RGN_LINE),
        MakeRow(5, MEAS_2CIRCLE, 1.0, RGN_CIRCLE), MakeRow(5, MEAS_2CIRCLE, 2.0, RGN_CIRCLE),
        MakeTextRow(8, "note"),
    };
    // The third row was selected: it is measurement 5, whose first row is 1.
    const int32_t nSelected = MeasNumOfRow(rows, 2);
    EXPECT_EQ(nSelected, 5);
    EXPECT_EQ(FindRowByMeasNum(rows, nSelected), 1);
    EXPECT_EQ(FindRowByMeasNum(rows, 2 + 1), 0); // what "row + 1" would have picked: another measurement
    EXPECT_EQ(FindRowByMeasNum(rows, -1), -1);
    EXPECT_EQ(FindRowByMeasNum(rows, 4), -1);
    EXPECT_EQ(MeasNumOfRow(rows, -1), -1);
    EXPECT_EQ(MeasNumOfRow(rows, 5), -1);

    // The three rows of one 2-circle measurement delete it once.
    EXPECT_EQ(MeasNumsOfRows(rows, {3, 1, 2, 4}), (std::vector<int32_t>{5, 8}));
    EXPECT_EQ(RowsOfMeasNums(rows, {8, 5}), (std::vector<int>{1, 2, 3, 4}));

    // After measurement 3 is deleted the note moved up but is found again.
    std::vector<MEASURE_DATA> after(rows.begin() + 1, rows.end());
    EXPECT_EQ(RowsOfMeasNums(after, {8}), (std::vector<int>{3}));

    EXPECT_TRUE(IsSingleTextRowSelected(rows, {4}));
    EXPECT_FALSE(IsSingleTextRowSelected(rows, {3, 4}));
    EXPECT_FALSE(IsSingleTextRowSelected(rows, {0}));
    EXPECT_FALSE(IsSingleTextRowSelected(rows, {9}));
}
