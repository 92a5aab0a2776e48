// The shape record, the results row, figure types, measurement kinds and the
// limits of the measurement engine. All coordinates are image pixels.
#pragma once

#include "engine/HitRegion.h"
#include "platform/DrawSetting.h"
#include "platform/WinTypes.h"

#include <cstdint>

// Figure types and measurement kinds, numbered from 0 in this order: the
// numbers are kept in the records and the results rows.
enum { RGN_LINE, RGN_CIRCLE, RGN_ARC, RGN_POLYGON, RGN_POINTS, RGN_TEXT };
enum {
    MEAS_LENGTH, MEAS_PARALLEL, MEAS_CIRCLE, MEAS_ARC, MEAS_2CIRCLE, MEAS_PERPENDICULAR,
    MEAS_POLYGON, MEAS_ANGLE, MEAS_2LINE_ANGLE, MEAS_COUNT, MEAS_TEXT, MEAS_KIND_NUM
};
static_assert(RGN_TEXT == 5 && MEAS_PERPENDICULAR == 5 && MEAS_TEXT == 10 && MEAS_KIND_NUM == 11);

constexpr int MAX_RGN_POINT = 50;       // points stored in one shape
constexpr int MAX_INPUT_POINT = 52;     // clicked points buffered during input
constexpr int MAX_POLYGON_POINT = 20;   // the 20th vertex closes the polygon
constexpr int MAX_COUNT_POINT = 50;     // the 50th point ends the count
constexpr int MAX_CAPTION_NUM = 50;     // captions per measurement
constexpr int MAX_TEXT_LEN = 99;        // caption or annotation text
constexpr int MAX_FONTNAME_LEN = 31;
constexpr int MAX_CROSS_LINE = 6;       // of each direction
constexpr int MAX_DECIMALS = 5;

struct RGN_DATA {
    int32_t nID;
    int32_t nFigure;
    int32_t nPointNum;
    int32_t nX[MAX_RGN_POINT];
    int32_t nY[MAX_RGN_POINT];
    int32_t nMeasNo;
    int32_t nChildMeasNo[MAX_RGN_POINT];
    int32_t nParentID;
    double dPixelValue;
    double dValue;
    char16_t szText[MAX_TEXT_LEN + 1];
    char16_t szFontName[MAX_FONTNAME_LEN + 1];
    int32_t nFontPt;
    COLORREF crText;
    BOOL bSelectable;
    BOOL bMovable;
    BOOL bPrimary;
};

struct MEASURE_DATA {
    int32_t nMeasNum;
    int32_t nFigure;
    int32_t nKind;
    double dPixelValue;
    double dValue;
    char16_t szText[MAX_TEXT_LEN + 1];
};

inline POINT RgnPoint(const RGN_DATA& d, int i)
{
    return POINT{d.nX[i], d.nY[i]};
}
inline void SetRgnPoint(RGN_DATA& d, int i, POINT p)
{
    d.nX[i] = p.x;
    d.nY[i] = p.y;
}

// One shape: the record plus its hit region. The record is read freely but
// changed only through operations that rebuild the region with it.
class CQSRgnData {
public:
    CQSRgnData();
    // The record with its region not yet built.
    explicit CQSRgnData(const RGN_DATA& data);
    CQSRgnData(const RGN_DATA& data, int32_t nLimit);
    virtual ~CQSRgnData() = default;
    CQSRgnData(const CQSRgnData&) = default;
    CQSRgnData& operator=(const CQSRgnData&) = default;

    // Rebuilds the hit region from the figure. nLimit bounds how far from the
    // origin a region may reach (a few image diagonals).
    void BuildRegion(int32_t nLimit);

    const RGN_DATA& Data() const { return m_RgnData; }
    const CHitRegion& Region() const { return m_Rgn; }

    // Changes the record through fn(RGN_DATA&), then rebuilds the region.
    template <class F>
    void Edit(int32_t nLimit, F&& fn)
    {
        fn(m_RgnData);
        BuildRegion(nLimit);
    }
    // Moves every point by (dx, dy).
    void Offset(int32_t dx, int32_t dy, int32_t nLimit);

private:
    RGN_DATA m_RgnData;
    CHitRegion m_Rgn;
};

// The engine's drawing defaults until the main window passes its settings.
DRAW_SETTING DefaultEngineDrawSetting();
