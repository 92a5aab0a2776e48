// The measurement kinds, one class each. Kinds measuring a distance between
// two points share their value in CDistanceKind, diameter and arc are one
// class, the kinds whose values ignore the factor share CFactorFreeKind.
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
    // Shift and Ctrl square up the base line, not the perpendiculars.
    bool SquaresUp(int nPointCount) const override { return nPointCount < 2; }
    bool FinishesOnRightClick() const override { return true; }
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};

// The circle through three clicked points, kept with its box and rounded
// centre: a diameter, or as an arc from the first through the second to
// the third point, its radius.
class CCircleKind : public CMeasureKind {
public:
    CCircleKind(int32_t nKind, int32_t nFigure) : m_nKind(nKind), m_nFigure(nFigure) {}
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;

protected:
    // The record of the circle through q[0..2]; false when there is none.
    bool MakeCircle(const POINT* q, RGN_DATA& d, double& cx, double& cy) const;
    int32_t m_nKind;
    int32_t m_nFigure;
};

// Two circles and the distance of their centres.
class CTwoCircleKind : public CCircleKind {
public:
    CTwoCircleKind() : CCircleKind(MEAS_2CIRCLE, RGN_CIRCLE) {}
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
    bool Recalc(const RGN_DATA& primary, double k, MEASURE_DATA& row) const override;
};

class CPolygonKind : public CMeasureKind {
public:
    bool FinishesOnRightClick() const override { return true; }
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
};

// Values that do not follow the calibration factor.
class CFactorFreeKind : public CMeasureKind {
public:
    bool Recalc(const RGN_DATA&, double, MEASURE_DATA&) const override { return false; }
};

class CAngleKind : public CFactorFreeKind {
public:
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
};

class CTwoLineAngleKind : public CFactorFreeKind {
public:
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};

class CCountKind : public CFactorFreeKind {
public:
    bool NumbersCaptions() const override { return true; }
    bool FinishesOnRightClick() const override { return true; }
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
    bool Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const override;
};

// An annotation: placed as a whole, never taken point by point, no value.
class CTextKind : public CFactorFreeKind {
public:
    bool Value(const RGN_DATA&, double, MEASURE_VALUE&) const override { return false; }
    POINT_VERDICT Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const override;
    bool Build(const POINT* P, int n, IShapeStore& store) const override;
    void Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const override;
};
