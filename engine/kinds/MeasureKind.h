// One measurement kind: which points it takes and refuses, when its input
// is finished, the shapes it leaves, its value and how the value follows a
// new calibration. The engine keeps the records and dispatches here.
#pragma once

#include "engine/RgnData.h"

#include <vector>

// The engine's side for a kind that turns its points into shapes and rows.
class IShapeStore {
public:
    virtual ~IShapeStore() = default;
    // Appends shape under nMeasNo; returns its new ID.
    virtual int32_t StoreShape(RGN_DATA& shape, int32_t nMeasNo) = 0;
    // Takes the value of shape as nKind measures it into a new row with captions.
    virtual bool MeasureShape(int32_t nKind, RGN_DATA& shape) = 0;
    // A new row with a value computed by the kind itself.
    virtual bool CommitValue(int32_t nKind, RGN_DATA& shape, double dPixel, double dValue,
                             const std::vector<POINT>& captions) = 0;
    // Records row nMeasNo as the nIndex-th child of shape nParentID.
    virtual void LinkChild(int32_t nParentID, int nIndex, int32_t nMeasNo) = 0;
    virtual double Factor() const = 0;
};

// Where points may lie: the far limit and the image size.
struct KIND_LIMITS {
    int32_t nFarLimit;
    int32_t nWidth;
    int32_t nHeight;
};

// What a kind says about the points taken so far.
enum POINT_VERDICT {
    VERDICT_CONTINUE, // more points wanted
    VERDICT_DONE,     // the input is complete: build the shapes
    VERDICT_REJECT,   // the newest confirmed point is refused
    VERDICT_ABORT,    // the input cannot end in a measurement
};

struct MEASURE_VALUE {
    double dPixel = 0.0;
    double dValue = 0.0;
    std::vector<POINT> captions;
};

// One element of the outline shown while a shape is being made, in image
// pixels. Drawing them is the window's business.
enum {
    PREVIEW_SEGMENT, // a to b when both are given and differ
    PREVIEW_LINE,    // a to b unconditionally
    PREVIEW_ARC,     // a through b to c when all are given
    PREVIEW_CIRCLE,  // the full circle through a, b, c when all are given
    PREVIEW_MARK,    // a marker on a when given
    PREVIEW_SQUARE,  // a point of a count
};
struct PREVIEW_ITEM {
    int nType;
    POINT a, b, c;
};

// A point at x 0 or y 0 counts as not yet given.
inline bool IsGivenPoint(POINT p)
{
    return p.x != 0 && p.y != 0;
}

class CMeasureKind {
public:
    virtual ~CMeasureKind() = default;

    // Whether Shift or Ctrl square up the point after nPointCount confirmed ones.
    virtual bool SquaresUp(int nPointCount) const
    {
        (void)nPointCount;
        return true;
    }
    // Judges the points P[0..n-1] (and a provisional P[n] when !bConfirm)
    // after a click, a move or a finishing right click.
    virtual POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const = 0;
    // Builds the finished shapes and rows from the confirmed points.
    virtual bool Build(const POINT* P, int n, IShapeStore& store) const = 0;
    // The value of one of the kind's shapes under factor k, and where its captions go.
    virtual bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const = 0;
    // New values of row from its primary shape under factor k; false when
    // the row does not follow the factor.
    virtual bool Recalc(const RGN_DATA& primary, double k, MEASURE_DATA& row) const;
    // A right click ends the input (an open number of points).
    virtual bool FinishesOnRightClick() const { return false; }
    // Captions numbering the points rather than showing the value.
    virtual bool NumbersCaptions() const { return false; }
    // The outline while P[0..n-1] are confirmed and P[n] follows the mouse.
    virtual void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const = 0;

protected:
    static int PointCount(const RGN_DATA& d);
    static RGN_DATA MakeLine(POINT a, POINT b, BOOL bSelectable, BOOL bPrimary);
    // A selectable record of figure nFigure holding P[0..n-1].
    static RGN_DATA MakePointRecord(int32_t nFigure, const POINT* P, int n, BOOL bPrimary);
    // The distance P0-P1 with its caption at the midpoint.
    static bool DistanceValue(const RGN_DATA& shape, double k, MEASURE_VALUE& out);
    // Takes the value of shape as nKind and keeps the shape under its new row.
    static bool MeasureAndStore(IShapeStore& store, int32_t nKind, RGN_DATA& shape);
    // The segment from q to its foot on a-b, and with bParallel the parallel through q.
    static void PreviewPerpendicular(POINT a, POINT b, POINT q, bool bParallel, std::vector<PREVIEW_ITEM>& out);
    static void Add(std::vector<PREVIEW_ITEM>& out, int nType, POINT a, POINT b = POINT{0, 0}, POINT c = POINT{0, 0});
};

// The kind of number nKind (MEAS_LENGTH .. MEAS_TEXT); null for any other.
const CMeasureKind* FindMeasureKind(int32_t nKind);
