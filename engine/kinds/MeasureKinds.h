// The measurement kinds, one class each. Kinds measuring a distance between
// two points share CDistanceKind, the circle kinds share CCircleKind.
#pragma once

#include "engine/kinds/MeasureKind.h"

// Length of the primary line P0-P1, its caption at the midpoint.
class CDistanceKind : public CMeasureKind {
public:
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
};

class CLengthKind : public CDistanceKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};

class CParallelKind : public CDistanceKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};

class CPerpendicularKind : public CDistanceKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool SquaresUp(int nPointCount) const override { return nPointCount < 2; }
};

// Circles through three clicked points, kept with their box and rounded centre.
class CCircleKind : public CMeasureKind {
public:
    explicit CCircleKind(int32_t nFigure) : m_nFigure(nFigure) {}
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;

protected:
    static bool Radius(const RGN_DATA& shape, double& dRadius);
    // The record of the circle through q[0..2]; false when there is none.
    bool MakeCircle(const POINT* q, RGN_DATA& d, double& cx, double& cy) const;
    int32_t m_nFigure;
};

class CDiameterKind : public CCircleKind {
public:
    CDiameterKind() : CCircleKind(RGN_CIRCLE) {}
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};

class CArcKind : public CCircleKind {
public:
    CArcKind() : CCircleKind(RGN_ARC) {}
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};

// Two circles and the distance of their centres.
class CTwoCircleKind : public CCircleKind {
public:
    CTwoCircleKind() : CCircleKind(RGN_CIRCLE) {}
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
    bool Recalc(const RGN_DATA& primary, double k, MEASURE_DATA& row) const override;
};

class CPolygonKind : public CMeasureKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
};

class CAngleKind : public CMeasureKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
    bool Recalc(const RGN_DATA&, double, MEASURE_DATA&) const override { return false; }
};

class CTwoLineAngleKind : public CMeasureKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
    bool Recalc(const RGN_DATA&, double, MEASURE_DATA&) const override { return false; }
};

class CCountKind : public CMeasureKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
    bool Recalc(const RGN_DATA&, double, MEASURE_DATA&) const override { return false; }
    bool NumbersCaptions() const override { return true; }
};

// An annotation: placed as a whole, never taken point by point, no value.
class CTextKind : public CMeasureKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA&, double, MEASURE_VALUE&) const override { return false; }
    bool Recalc(const RGN_DATA&, double, MEASURE_DATA&) const override { return false; }
};
