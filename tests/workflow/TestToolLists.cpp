#include "MeasureRows.h"

#include "workflow/calibration/CalibrationList.h"
#include "workflow/measure/ResultList.h"
#include "workflow/measure/ResultRows.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Selected(const CQSListCtrl& list)
{
    std::vector<int> rows;
    list.GetSelectedRows(rows);
    return rows;
}

} // namespace

TEST(ToolLists, ResultRefreshSelectsTheSameMeasurementsAgain)
{
    CRecordingSink sink;
    CQSListCtrl list;
    SetupResultListColumns(list, 271, &sink);
    EXPECT_EQ(list.GetColumnCount(), 4);

    const std::vector<MEASURE_DATA> rows{
        MakeRow(1, MEAS_LENGTH, 1.0),
        MakeRow(4, MEAS_2CIRCLE, 9.0, RGN_LINE),
        MakeRow(4, MEAS_2CIRCLE, 1.0, RGN_CIRCLE),
        MakeRow(4, MEAS_2CIRCLE, 2.0, RGN_CIRCLE),
        MakeTextRow(6, "note"),
    };
    EXPECT_TRUE(RefreshResultList(list, {}, rows, 2, 1).empty());
    ASSERT_EQ(list.GetRowCount(), 5);
    EXPECT_EQ(list.item(2, 1)->text(), QString::fromUtf8("第1円の直径"));
    EXPECT_EQ(list.item(2, 3)->text(), "mm");

    // The note is selected; measurement 1 goes away and the note moves up.
    list.SetSelectedRows({4});
    std::vector<MEASURE_DATA> after(rows.begin() + 1, rows.end());
    EXPECT_EQ(RefreshResultList(list, rows, after, 2, 1), std::vector<int>{3});
    EXPECT_EQ(Selected(list), std::vector<int>{3});
    EXPECT_EQ(list.item(3, 1)->text(), "note");
    EXPECT_EQ(list.item(3, 0)->text(), "4");

    // A deleted selection selects nothing rather than a neighbour.
    std::vector<MEASURE_DATA> gone(after.begin(), after.begin() + 3);
    EXPECT_TRUE(RefreshResultList(list, after, gone, 2, 1).empty());
    EXPECT_TRUE(Selected(list).empty());
    ASSERT_EQ(list.GetRowCount(), 3);
    EXPECT_EQ(list.item(0, 1)->text(), QString::fromUtf8("2円間の距離"));
    EXPECT_EQ(list.item(0, 0)->text(), "1");
    EXPECT_EQ(list.item(2, 2)->text(), "2.0");

    // Back to the first list: texts of kept cells replaced where they differ.
    RefreshResultList(list, gone, rows, 2, 1);
    ASSERT_EQ(list.GetRowCount(), 5);
    for (int r = 0; r < 5; ++r) {
        const QStringList want = ResultRowTexts(rows, size_t(r), 2, LoadResultTexts(1));
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(list.item(r, c)->text(), want.at(c)) << r << "," << c;
        }
    }
    EXPECT_TRUE(sink.Take().empty()); // refreshing never notifies
}

TEST(ToolLists, CalibrationListShowsSlotsUpToTheFirstEmptyOne)
{
    CRecordingSink sink;
    CQSListCtrl list;
    SetupCalibrationListColumns(list, 267, &sink);
    CCalibrationTable table;
    RefreshCalibrationList(list, table);
    ASSERT_EQ(list.GetRowCount(), 1);
    EXPECT_EQ(list.item(0, 1)->text(), QString::fromUtf8("校正値01"));
    EXPECT_EQ(list.item(0, 2)->text(), "");
    EXPECT_EQ(Selected(list), std::vector<int>{0});

    ASSERT_EQ(table.SetReference(100.0, 1.0), CALIB_MSG_SET_DONE);
    ASSERT_TRUE(table.Select(1));
    RefreshCalibrationList(list, table);
    ASSERT_EQ(list.GetRowCount(), 2);
    EXPECT_EQ(list.item(0, 2)->text(), QString::fromUtf8("○"));
    EXPECT_EQ(Selected(list), std::vector<int>{1});
    EXPECT_TRUE(sink.Take().empty());
}
