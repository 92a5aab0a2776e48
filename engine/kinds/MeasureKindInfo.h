// What the windows need to know of each measurement kind: the string of its
// results name, its start button, the prompts while its points are clicked
// and the power of its unit. The one place this knowledge is written down.
#pragma once

#include "engine/RgnData.h"
#include "platform/WinTypes.h"

// No kind is being made.
constexpr int MEAS_KIND_NONE = -1;

// What a kind's value counts in.
enum UNIT_POWER {
    UNIT_LENGTH, // the calibration's unit
    UNIT_AREA,   // the calibration's unit squared
    UNIT_ANGLE,  // degrees
    UNIT_COUNT,  // a whole number of points
    UNIT_TEXT,   // no value: an annotation
};

// From nFromPoints clicked points on, the status line shows nPrompt.
struct KIND_PROMPT_STEP {
    int nFromPoints;
    UINT nPrompt;
};

constexpr int MAX_KIND_PROMPT_STEPS = 3;

struct MEASURE_KIND_INFO {
    int32_t nKind;
    UINT nName;                       // results name
    UINT nPartNames[2];               // names of a two-circle measurement's diameter rows, else 0
    int nButtonID;                    // the tool window's start button
    UINT nButtonCaption;
    UINT nDescription;                // the button's tooltip
    UINT nStartPrompt;                // shown when the input starts
    // Prompts as points are placed, ascending; none for a kind placed without points.
    KIND_PROMPT_STEP steps[MAX_KIND_PROMPT_STEPS];
    UNIT_POWER nUnit;
};

// Indexed by kind, MEAS_LENGTH .. MEAS_TEXT. Strings: names 300.., button captions 165.., descriptions 260.., prompts 519.. and 546...
inline constexpr MEASURE_KIND_INFO kMeasureKinds[MEAS_KIND_NUM] = {
    {MEAS_LENGTH, 300, {}, 1030, 165, 260, 519, {{0, 519}}, UNIT_LENGTH},
    {MEAS_PARALLEL, 301, {}, 1039, 166, 261, 520, {{0, 520}, {2, 546}}, UNIT_LENGTH},
    {MEAS_CIRCLE, 302, {}, 1032, 168, 262, 522, {{0, 522}}, UNIT_LENGTH},
    {MEAS_ARC, 303, {}, 1042, 169, 263, 523, {{0, 523}}, UNIT_LENGTH},
    {MEAS_2CIRCLE, 304, {310, 311}, 1033, 170, 266, 524, {{0, 524}, {3, 548}}, UNIT_LENGTH},
    {MEAS_PERPENDICULAR, 305, {}, 1034, 167, 269, 521, {{0, 521}, {2, 547}}, UNIT_LENGTH},
    {MEAS_POLYGON, 306, {}, 1035, 173, 267, 527, {{0, 527}}, UNIT_AREA},
    {MEAS_ANGLE, 307, {}, 1031, 171, 264, 525, {{0, 525}}, UNIT_ANGLE},
    {MEAS_2LINE_ANGLE, 308, {}, 1047, 172, 265, 526, {{0, 526}, {2, 549}, {4, 550}}, UNIT_ANGLE},
    {MEAS_COUNT, 309, {}, 1036, 174, 268, 528, {{0, 528}}, UNIT_COUNT},
    // Text is placed by one click after its dialog; no prompts follow it.
    {MEAS_TEXT, 312, {}, 1040, 175, 270, 531, {}, UNIT_TEXT},
};

constexpr bool KindTableIndexedByKind()
{
    for (int k = 0; k < MEAS_KIND_NUM; ++k) {
        if (kMeasureKinds[k].nKind != k) {
            return false;
        }
    }
    return true;
}
static_assert(KindTableIndexedByKind());

// The entry of nKind; null for a number that is no kind.
constexpr const MEASURE_KIND_INFO* FindMeasureKindInfo(int32_t nKind)
{
    return nKind >= 0 && nKind < MEAS_KIND_NUM ? &kMeasureKinds[nKind] : nullptr;
}

// The prompt while nKind has nPoints points placed; 0 when there is none.
constexpr UINT MeasureKindPrompt(int32_t nKind, int nPoints)
{
    const MEASURE_KIND_INFO* pInfo = FindMeasureKindInfo(nKind);
    UINT nPrompt = 0;
    if (pInfo != nullptr) {
        for (const KIND_PROMPT_STEP& s : pInfo->steps) {
            if (s.nPrompt != 0 && nPoints >= s.nFromPoints) {
                nPrompt = s.nPrompt;
            }
        }
    }
    return nPrompt;
}

// The unit power of nKind; lengths for a number that is no kind.
constexpr UNIT_POWER MeasureKindUnit(int32_t nKind)
{
    const MEASURE_KIND_INFO* pInfo = FindMeasureKindInfo(nKind);
    return pInfo == nullptr ? UNIT_LENGTH : pInfo->nUnit;
}

// A kind whose shape is made of clicked points (all but text, which is
// placed by one click after its dialog).
constexpr bool IsPointKind(int32_t nKind)
{
    return MeasureKindPrompt(nKind, 0) != 0;
}

// The start button of nKind (a kind number from the table).
constexpr int MeasureKindButton(int32_t nKind)
{
    return kMeasureKinds[nKind].nButtonID;
}
