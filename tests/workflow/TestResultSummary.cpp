#include "MeasureRows.h"

#include "workflow/measure/ResultSummary.h"
#include "workflow/measure/SummaryRows.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<MEASURE_DATA> Lengths(std::initializer_list<double> values)
{
    std::vector<MEASURE_DATA> rows;
    int n = 1;
    for (double v : values) {
        rows.push_back(MakeRow(n++, MEAS_LENGTH, v));
    }
    return rows;
}

} // namespace

TEST(ResultSummary, FiguresMatchHandComputedValues)
{
    struct CASE {
        const char* name;
        std::vector<MEASURE_DATA> rows;
        size_t nCount;
        double dMean, dStdDev, dMin, dMax;
    };
    const CASE cases[] = {
        // sum 40, squared deviations 9+1+1+1+0+0+4+16 = 32, 32/7
        {"textbook", Lengths({2, 4, 4, 4, 5, 5, 7, 9}), 8, 5.0, std::sqrt(32.0 / 7.0), 2, 9},
        {"single", Lengths({12.34}), 1, 12.34, 0.0, 12.34, 12.34},
        {"equal", Lengths({3.5, 3.5, 3.5}), 3, 3.5, 0.0, 3.5, 3.5},
        // Large and close together: a one-pass sum of squares loses them.
        {"large", Lengths({1e9 + 1, 1e9 + 2, 1e9 + 3}), 3, 1e9 + 2, 1.0, 1e9 + 1, 1e9 + 3},
        {"small", Lengths({0.001, 0.002}), 2, 0.0015, std::sqrt(0.0000005), 0.001, 0.002},
    };
    for (const CASE& c : cases) {
        const std::vector<RESULT_SUMMARY> s = SummariseResults(c.rows);
        ASSERT_EQ(s.size(), 1u) << c.name;
        EXPECT_EQ(s[0].group.nKind, MEAS_LENGTH) << c.name;
        EXPECT_EQ(s[0].nCount, c.nCount) << c.name;
        EXPECT_EQ(s[0].HasStdDev(), c.nCount > 1) << c.name;
        EXPECT_NEAR(s[0].dMean, c.dMean, 1e-12 * std::abs(c.dMean)) << c.name;
        EXPECT_NEAR(s[0].dStdDev, c.dStdDev, 1e-9) << c.name;
        EXPECT_EQ(s[0].dMin, c.dMin) << c.name;
        EXPECT_EQ(s[0].dMax, c.dMax) << c.name;
    }
    EXPECT_TRUE(SummariseResults({}).empty());
}

TEST(ResultSummary, KindsAndTwoCirclePartsApartNotesLeftOut)
{
    const std::vector<MEASURE_DATA> rows = {
        MakeRow(1, MEAS_ANGLE, 30.0),
        MakeRow(2, MEAS_2CIRCLE, 3.0, RGN_LINE),
        MakeRow(2, MEAS_2CIRCLE, 1.0, RGN_CIRCLE),
        MakeRow(2, MEAS_2CIRCLE, 1.5, RGN_CIRCLE),
        MakeTextRow(3, "note"),
        MakeRow(4, MEAS_LENGTH, 2.0),
        MakeRow(5, MEAS_2CIRCLE, 5.0, RGN_LINE),
        MakeRow(5, MEAS_2CIRCLE, 2.0, RGN_CIRCLE),
        MakeRow(5, MEAS_2CIRCLE, 2.5, RGN_CIRCLE),
        MakeRow(6, MEAS_ANGLE, 60.0),
        MakeRow(7, MEAS_COUNT, 4.0, RGN_POINTS),
    };
    const std::vector<RESULT_SUMMARY> s = SummariseResults(rows);
    struct EXPECTED {
        int32_t nKind;
        int nPart;
        size_t nCount;
        double dMean;
    };
    const EXPECTED expected[] = {{MEAS_LENGTH, 0, 1, 2.0},     {MEAS_2CIRCLE, 0, 2, 4.0}, {MEAS_2CIRCLE, 1, 2, 1.5},
                                 {MEAS_2CIRCLE, 2, 2, 2.0},    {MEAS_ANGLE, 0, 2, 45.0},  {MEAS_COUNT, 0, 1, 4.0}};
    ASSERT_EQ(s.size(), std::size(expected));
    for (size_t i = 0; i < s.size(); ++i) {
        EXPECT_EQ(s[i].group.nKind, expected[i].nKind) << i;
        EXPECT_EQ(s[i].group.nPart, expected[i].nPart) << i;
        EXPECT_EQ(s[i].nCount, expected[i].nCount) << i;
        EXPECT_DOUBLE_EQ(s[i].dMean, expected[i].dMean) << i;
    }
    EXPECT_TRUE(SummariseResults({MakeTextRow(1, "only a note")}).empty());
}

TEST(SummaryRows, TextsAreTheListsFormatting)
{
    const std::vector<MEASURE_DATA> rows = {
        MakeRow(1, MEAS_LENGTH, 1.0),           MakeRow(2, MEAS_LENGTH, 2.0),
        MakeRow(3, MEAS_LENGTH, 4.0),           MakeRow(4, MEAS_COUNT, 2.0, RGN_POINTS),
        MakeRow(5, MEAS_COUNT, 3.0, RGN_POINTS), MakeRow(6, MEAS_COUNT, 5.0, RGN_POINTS),
        MakeRow(7, MEAS_POLYGON, 0.25, RGN_POLYGON),
    };
    const std::vector<QStringList> t = BuildSummaryRows(rows, 3, 1);
    ASSERT_EQ(t.size(), 3u);
    // mean 7/3, sd sqrt(7/3) = 1.5275
    EXPECT_EQ(t[0], (QStringList{"2点間距離", "3", "2.333", "1.528", "1.0", "4.0", "mm"}));
    // One value: no deviation.
    EXPECT_EQ(t[1], (QStringList{"多角形の面積", "1", "0.25", kNoStdDev, "0.25", "0.25", "mm2"}));
    // Counts: minimum and maximum whole as listed, mean and deviation with decimals.
    EXPECT_EQ(t[2], (QStringList{"カウント", "3", "3.333", "1.528", "2", "5", "個"}));
    EXPECT_EQ(SummaryHeadings().size(), SUMMARY_COL_NUM);
}
