// The kind table against the numbers the windows show: each kind's results
// name, its button, the prompt at its start and after every click, its unit.
#include "engine/kinds/MeasureKindInfo.h"

#include <gtest/gtest.h>

namespace {
struct KIND_CASE {
    int32_t nKind;
    UINT nName;
    int nButton;
    UINT nCaption;
    UINT nDescription;
    UINT nStart;
    UINT prompts[6]; // after 0..5 points
    UNIT_POWER nUnit;
};

const KIND_CASE kCases[] = {
    {MEAS_LENGTH, 300, 1030, 165, 260, 519, {519, 519, 519, 519, 519, 519}, UNIT_LENGTH},
    {MEAS_PARALLEL, 301, 1039, 166, 261, 520, {520, 520, 546, 546, 546, 546}, UNIT_LENGTH},
    {MEAS_CIRCLE, 302, 1032, 168, 262, 522, {522, 522, 522, 522, 522, 522}, UNIT_LENGTH},
    {MEAS_ARC, 303, 1042, 169, 263, 523, {523, 523, 523, 523, 523, 523}, UNIT_LENGTH},
    {MEAS_2CIRCLE, 304, 1033, 170, 266, 524, {524, 524, 524, 548, 548, 548}, UNIT_LENGTH},
    {MEAS_PERPENDICULAR, 305, 1034, 167, 269, 521, {521, 521, 547, 547, 547, 547}, UNIT_LENGTH},
    {MEAS_POLYGON, 306, 1035, 173, 267, 527, {527, 527, 527, 527, 527, 527}, UNIT_AREA},
    {MEAS_ANGLE, 307, 1031, 171, 264, 525, {525, 525, 525, 525, 525, 525}, UNIT_ANGLE},
    {MEAS_2LINE_ANGLE, 308, 1047, 172, 265, 526, {526, 526, 549, 549, 550, 550}, UNIT_ANGLE},
    {MEAS_COUNT, 309, 1036, 174, 268, 528, {528, 528, 528, 528, 528, 528}, UNIT_COUNT},
    {MEAS_TEXT, 312, 1040, 175, 270, 531, {0, 0, 0, 0, 0, 0}, UNIT_TEXT},
};
} // namespace

TEST(KindTable, EveryKindShowsItsNumbers)
{
    ASSERT_EQ(std::size(kCases), size_t(MEAS_KIND_NUM));
    for (const KIND_CASE& c : kCases) {
        SCOPED_TRACE(c.nKind);
        const MEASURE_KIND_INFO* pInfo = FindMeasureKindInfo(c.nKind);
        ASSERT_NE(pInfo, nullptr);
        EXPECT_EQ(pInfo->nName, c.nName);
        EXPECT_EQ(pInfo->nButtonID, c.nButton);
        EXPECT_EQ(pInfo->nButtonCaption, c.nCaption);
        EXPECT_EQ(pInfo->nDescription, c.nDescription);
        EXPECT_EQ(pInfo->nStartPrompt, c.nStart);
        EXPECT_EQ(pInfo->nUnit, c.nUnit);
        EXPECT_EQ(MeasureKindUnit(c.nKind), c.nUnit);
        for (int n = 0; n < 6; ++n) {
            EXPECT_EQ(MeasureKindPrompt(c.nKind, n), c.prompts[n]) << n << " points";
        }
        const bool bTwoCircles = c.nKind == MEAS_2CIRCLE;
        EXPECT_EQ(pInfo->nPartNames[0], bTwoCircles ? 310u : 0u);
        EXPECT_EQ(pInfo->nPartNames[1], bTwoCircles ? 311u : 0u);
    }
}

TEST(KindTable, NumbersOutsideTheKindsHaveNoEntryAndNoPrompt)
{
    for (int32_t nKind : {-1, int(MEAS_KIND_NUM), 100}) {
        EXPECT_EQ(FindMeasureKindInfo(nKind), nullptr);
        EXPECT_EQ(MeasureKindPrompt(nKind, 0), 0u);
    }
}
