// Engine set-up, values, results rows, captions and their refreshes.
#include "engine/RgnDataCtrl.h"

#include "engine/MeasureGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CRgnDataCtrl::CRgnDataCtrl() : m_DrawSetting(DefaultEngineDrawSetting())
{
    std::memset(m_Points, 0, sizeof(m_Points));
    std::memset(m_nCrossX, 0, sizeof(m_nCrossX));
    std::memset(m_nCrossY, 0, sizeof(m_nCrossY));
    std::memset(&m_CurShape, 0, sizeof(m_CurShape));
}

int32_t CRgnDataCtrl::FarLimit() const
{
    const double diag = std::sqrt(double(m_nWidth) * m_nWidth + double(m_nHeight) * m_nHeight);
    return int32_t(std::min(4.0 * std::max(diag, 1.0), 1.0e8));
}

bool CRgnDataCtrl::WindowToImage(POINT ptWnd, POINT& ptImage) const
{
    if (!(m_dRatio > 0.0)) {
        return false;
    }
    const double x = ptWnd.x / m_dRatio;
    const double y = ptWnd.y / m_dRatio;
    if (!FitsInt32(x) || !FitsInt32(y)) {
        return false;
    }
    const int64_t ix = int64_t(RoundHalfUp(x)) + m_nScrollX;
    const int64_t iy = int64_t(RoundHalfUp(y)) + m_nScrollY;
    if (ix < 0 || iy < 0 || ix >= m_nWidth || iy >= m_nHeight) {
        return false;
    }
    ptImage = POINT{int32_t(ix), int32_t(iy)};
    return true;
}

int32_t CRgnDataCtrl::ScreenFontPt(int32_t nFontPt) const
{
    if (!m_DrawSetting.bAutoReSize || !(m_dRatio > 0.0)) {
        return nFontPt;
    }
    const double v = nFontPt / m_dRatio;
    return std::max<int32_t>(12, FitsInt32(v) ? RoundHalfUp(v) : 12);
}

BOOL CRgnDataCtrl::SetImageSize(int32_t nWidth, int32_t nHeight, double dRatio)
{
    ClearAll();
    if (nWidth <= 0 || nHeight <= 0) {
        return FALSE;
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    if (dRatio > 0.0 && std::isfinite(dRatio)) {
        m_dRatio = dRatio;
        m_nScrollX = 0;
        m_nScrollY = 0;
        RecalcTextRects();
    }
    return TRUE;
}

void CRgnDataCtrl::SetView(double dRatio, int32_t nScrollX, int32_t nScrollY)
{
    if (dRatio > 0.0 && std::isfinite(dRatio)) {
        m_dRatio = dRatio;
    }
    m_nScrollX = nScrollX;
    m_nScrollY = nScrollY;
    RecalcTextRects();
}

void CRgnDataCtrl::SetDrawSetting(const DRAW_SETTING& setting)
{
    const int32_t oldCountKind = m_DrawSetting.CountKind;
    m_DrawSetting = setting;
    m_DrawSetting.MeasStrFontName[MAX_FONTNAME_LEN] = 0;
    RecalcTextRects();
    if (oldCountKind != m_DrawSetting.CountKind) {
        RenumberCountCaptions();
    }
}

BOOL CRgnDataCtrl::SetCalibration(double dFactor, int32_t nDecimals, int32_t nUnitKind, BOOL bRecalc)
{
    if (!HasDrawWindow()) {
        return FALSE;
    }
    m_bCalibrationValid = FALSE;
    if (!(dFactor > 0.0) || !std::isfinite(dFactor) || nUnitKind < 0 || nUnitKind > 2) {
        return FALSE;
    }
    m_dCalibration = dFactor;
    m_bCalibrationValid = TRUE;
    nDecimals = std::clamp(nDecimals, 0, MAX_DECIMALS);
    if (nDecimals != m_nDecimals) {
        m_nDecimals = nDecimals;
        ReformatCaptions();
    }
    if (bRecalc) {
        RecalcMeasureResult();
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// Shapes and rows

int32_t CRgnDataCtrl::AddShape(RGN_DATA& shape, int32_t nMeasNo)
{
    shape.nPointNum = std::clamp(shape.nPointNum, 0, MAX_RGN_POINT);
    shape.szText[MAX_TEXT_LEN] = 0;
    shape.szFontName[MAX_FONTNAME_LEN] = 0;
    shape.nID = ++m_nShapeID;
    shape.nMeasNo = nMeasNo;
    m_ShapeList.emplace_back(shape);
    m_ShapeList.back().BuildRegion(FarLimit());
    return shape.nID;
}

CRgnDataCtrl::COMMIT_MARK CRgnDataCtrl::MarkCommit() const
{
    return COMMIT_MARK{m_ShapeList.size(), m_MeasureArray.size(), m_nShapeID, m_nMeasNo};
}

void CRgnDataCtrl::Rollback(const COMMIT_MARK& mark)
{
    while (m_ShapeList.size() > mark.nShapes) {
        m_ShapeList.pop_back();
    }
    m_MeasureArray.resize(std::min(m_MeasureArray.size(), mark.nRows));
    m_nShapeID = mark.nShapeID;
    m_nMeasNo = mark.nMeasNo;
}

const MEASURE_DATA* CRgnDataCtrl::FindRow(int32_t nMeasNo) const
{
    for (const MEASURE_DATA& row : m_MeasureArray) {
        if (row.nMeasNum == nMeasNo) {
            return &row;
        }
    }
    return nullptr;
}

bool CRgnDataCtrl::HasShapeOf(int32_t nMeasNo) const
{
    for (const CQSRgnData& s : m_ShapeList) {
        if (s.m_RgnData.nMeasNo == nMeasNo) {
            return true;
        }
    }
    return false;
}

CQSRgnData* CRgnDataCtrl::FindShape(int32_t nID)
{
    for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
        if (it->m_RgnData.nID == nID) {
            return &*it;
        }
    }
    return nullptr;
}

bool CRgnDataCtrl::CircleValues(const RGN_DATA& shape, double& dRadius) const
{
    double cx = 0.0, cy = 0.0;
    if (shape.nPointNum < 3) {
        return false;
    }
    return CalcCircle3Points(RgnPoint(shape, 0), RgnPoint(shape, 1), RgnPoint(shape, 2), cx, cy, dRadius);
}

std::u16string CRgnDataCtrl::CountLabel(double dLabel) const
{
    return FormatValueString(dLabel, m_nDecimals, true);
}

BOOL CRgnDataCtrl::CalcMeasure(int32_t nKind, RGN_DATA& shape)
{
    const double k = m_dCalibration;
    const int n = std::clamp(shape.nPointNum, 0, MAX_RGN_POINT);
    double dPixel = 0.0, dValue = 0.0;
    std::vector<POINT> captions;
    auto pt = [&](int i) { return RgnPoint(shape, i); };

    switch (nKind) {
    case MEAS_LENGTH:
    case MEAS_PARALLEL:
    case MEAS_PERPENDICULAR:
    case MEAS_2CIRCLE:
        if (nKind == MEAS_2CIRCLE && shape.nFigure == RGN_CIRCLE) {
            double r = 0.0;
            if (n < 6 || !CircleValues(shape, r)) {
                return FALSE;
            }
            dPixel = 2.0 * r;
            dValue = 2.0 * k * r;
            captions.push_back(pt(5));
            break;
        }
        if (n < 2) {
            return FALSE;
        }
        dPixel = CalcPixelDistance(double(shape.nX[1]) - shape.nX[0], double(shape.nY[1]) - shape.nY[0]);
        dValue = CalcCalibDistance(double(shape.nX[1]) - shape.nX[0], double(shape.nY[1]) - shape.nY[0], k);
        captions.push_back(CalcMidPoint(pt(0), pt(1)));
        break;
    case MEAS_CIRCLE:
    case MEAS_ARC: {
        double r = 0.0;
        if (n < 6 || !CircleValues(shape, r)) {
            return FALSE;
        }
        const double f = nKind == MEAS_CIRCLE ? 2.0 : 1.0;
        dPixel = f * r;
        dValue = f * k * r;
        captions.push_back(nKind == MEAS_CIRCLE ? pt(5) : pt(1));
        break;
    }
    case MEAS_POLYGON: {
        if (n < 3) {
            return FALSE;
        }
        POINT pts[MAX_RGN_POINT];
        for (int i = 0; i < n; ++i) {
            pts[i] = pt(i);
        }
        const int64_t a2 = CalcPolygonArea2(pts, n);
        dPixel = double(a2 < 0 ? -a2 : a2) / 2.0;
        dValue = CalcPolygonCalibArea(pts, n, k);
        captions.push_back(pt(n - 1));
        break;
    }
    case MEAS_ANGLE:
        if (n < 3) {
            return FALSE;
        }
        dValue = CalcAngle(pt(0), pt(1), pt(2));
        captions.push_back(pt(1));
        break;
    case MEAS_2LINE_ANGLE:
        if (n < 4) {
            return FALSE;
        }
        dValue = CalcTwoLineAngle(pt(0), pt(1), pt(2), pt(3));
        captions.push_back(pt(1));
        break;
    case MEAS_COUNT:
        if (n < 1) {
            return FALSE;
        }
        dValue = n;
        for (int i = 0; i < n; ++i) {
            captions.push_back(pt(i));
        }
        break;
    default:
        return FALSE;
    }
    return CommitMeasure(nKind, shape, dPixel, dValue, captions);
}

BOOL CRgnDataCtrl::CommitMeasure(int32_t nKind, RGN_DATA& shape, double dPixel, double dValue,
                                 const std::vector<POINT>& captions)
{
    if (!(dPixel > 0.0) && !(dValue > 0.0)) {
        return FALSE;
    }
    if (!std::isfinite(dPixel) || !std::isfinite(dValue)) {
        return FALSE;
    }
    MEASURE_DATA row{};
    row.nMeasNum = ++m_nMeasNo;
    row.nFigure = shape.nFigure;
    row.nKind = nKind;
    row.dPixelValue = dPixel;
    row.dValue = dValue;
    m_MeasureArray.push_back(row);
    shape.dPixelValue = dPixel;
    shape.dValue = dValue;
    shape.nMeasNo = row.nMeasNum;

    const size_t nCaptions = std::min<size_t>(captions.size(), MAX_CAPTION_NUM);
    for (size_t i = 0; i < nCaptions; ++i) {
        RGN_DATA text{};
        text.nFigure = RGN_TEXT;
        text.nPointNum = 2;
        SetRgnPoint(text, 0, captions[i]);
        if (nKind == MEAS_COUNT) {
            const double label = m_DrawSetting.CountKind == 0 ? double(i + 1) : double(m_MeasureArray.size());
            CopyTextField(text.szText, CountLabel(label));
            text.dValue = label;
        } else {
            CopyTextField(text.szText, FormatValueString(dValue, m_nDecimals));
            text.dValue = dValue;
        }
        CopyTextField(text.szFontName, m_DrawSetting.MeasStrFontName);
        text.nFontPt = m_DrawSetting.MeasStrFontPt;
        text.crText = m_DrawSetting.MeasStrColor;
        text.bSelectable = TRUE;
        text.bMovable = TRUE;
        text.nParentID = shape.nParentID;
        if (!MakeCaptionBox(text)) {
            break; // the measurement stands without the remaining captions
        }
        AddShape(text, row.nMeasNum);
    }
    return TRUE;
}

void CRgnDataCtrl::ClampTextBox(RGN_DATA& text, int cx, int cy) const
{
    text.nX[1] = text.nX[0] + cx;
    text.nY[1] = text.nY[0] + cy;
    if (text.nX[0] < 0) {
        text.nX[0] = 0;
        text.nX[1] = cx;
    }
    if (text.nX[1] > m_nWidth) {
        text.nX[1] = m_nWidth;
        text.nX[0] = m_nWidth - cx;
    }
    if (text.nY[0] < 0) {
        text.nY[0] = 0;
        text.nY[1] = cy;
    }
    if (text.nY[1] > m_nHeight) {
        text.nY[1] = m_nHeight;
        text.nY[0] = m_nHeight - cy;
    }
}

bool CRgnDataCtrl::MakeCaptionBox(RGN_DATA& text)
{
    if (m_pMeasurer == nullptr) {
        return false;
    }
    int cx = 0, cy = 0;
    if (!m_pMeasurer->MeasureText(TextFieldString(text.szText), TextFieldString(text.szFontName),
                                  ScreenFontPt(text.nFontPt), cx, cy)) {
        return false;
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    ClampTextBox(text, cx, cy);
    text.nPointNum = 2;
    return true;
}

bool CRgnDataCtrl::RemeasureText(CQSRgnData& shape)
{
    if (!MakeCaptionBox(shape.m_RgnData)) {
        return false;
    }
    shape.BuildRegion(FarLimit());
    return true;
}

// ---------------------------------------------------------------------------
// Refreshes

void CRgnDataCtrl::RecalcMeasureResult()
{
    const double k = m_dCalibration;
    for (MEASURE_DATA& row : m_MeasureArray) {
        CQSRgnData* pPrimary = nullptr;
        for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
            const RGN_DATA& d = it->m_RgnData;
            if (d.nMeasNo == row.nMeasNum && d.nFigure != RGN_TEXT && d.bPrimary) {
                pPrimary = &*it;
                break;
            }
        }
        if (pPrimary == nullptr) {
            continue;
        }
        const RGN_DATA& d = pPrimary->m_RgnData;
        double r = 0.0;
        switch (row.nFigure) {
        case RGN_LINE:
            if (row.nKind == MEAS_2CIRCLE) {
                // Measured between unrounded centres: the pixel value stays.
                row.dValue = row.dPixelValue * k;
            } else if (d.nPointNum >= 2) {
                row.dPixelValue = CalcPixelDistance(double(d.nX[1]) - d.nX[0], double(d.nY[1]) - d.nY[0]);
                row.dValue = CalcCalibDistance(double(d.nX[1]) - d.nX[0], double(d.nY[1]) - d.nY[0], k);
            }
            break;
        case RGN_CIRCLE:
            if (CircleValues(d, r)) {
                row.dPixelValue = 2.0 * r;
                row.dValue = 2.0 * k * r;
            }
            break;
        case RGN_ARC:
            if (CircleValues(d, r)) {
                row.dPixelValue = r;
                row.dValue = k * r;
            }
            break;
        case RGN_POLYGON: {
            POINT pts[MAX_RGN_POINT];
            const int n = std::clamp(d.nPointNum, 0, MAX_RGN_POINT);
            for (int i = 0; i < n; ++i) {
                pts[i] = RgnPoint(d, i);
            }
            const int64_t a2 = CalcPolygonArea2(pts, n);
            row.dPixelValue = double(a2 < 0 ? -a2 : a2) / 2.0;
            row.dValue = CalcPolygonCalibArea(pts, n, k);
            break;
        }
        default:
            continue;
        }
        pPrimary->m_RgnData.dPixelValue = row.dPixelValue;
        pPrimary->m_RgnData.dValue = row.dValue;
        if (!(row.dPixelValue > 0.0) && !(row.dValue > 0.0)) {
            continue;
        }
        for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
            RGN_DATA& t = it->m_RgnData;
            if (t.nMeasNo == row.nMeasNum && t.nFigure == RGN_TEXT) {
                t.dValue = row.dValue;
                CopyTextField(t.szText, FormatValueString(row.dValue, m_nDecimals));
                CopyTextField(t.szFontName, m_DrawSetting.MeasStrFontName);
                t.nFontPt = m_DrawSetting.MeasStrFontPt;
                t.crText = m_DrawSetting.MeasStrColor;
                RemeasureText(*it);
                break;
            }
        }
    }
}

void CRgnDataCtrl::ReformatCaptions()
{
    for (CQSRgnData& s : m_ShapeList) {
        RGN_DATA& t = s.m_RgnData;
        if (t.nFigure != RGN_TEXT || t.dValue == 0.0) {
            continue;
        }
        const MEASURE_DATA* pRow = FindRow(t.nMeasNo);
        if (pRow != nullptr && pRow->nKind == MEAS_COUNT) {
            continue;
        }
        CopyTextField(t.szText, FormatValueString(t.dValue, m_nDecimals));
        if (!m_DrawSetting.bAutoReSize) {
            CopyTextField(t.szFontName, m_DrawSetting.MeasStrFontName);
        }
        t.nFontPt = m_DrawSetting.MeasStrFontPt;
        RemeasureText(s);
    }
}

void CRgnDataCtrl::RenumberCountCaptions()
{
    for (size_t r = 0; r < m_MeasureArray.size(); ++r) {
        const MEASURE_DATA& row = m_MeasureArray[r];
        if (row.nFigure != RGN_POINTS) {
            continue;
        }
        int i = 0;
        for (CQSRgnData& s : m_ShapeList) {
            RGN_DATA& t = s.m_RgnData;
            if (t.nMeasNo != row.nMeasNum || t.nFigure != RGN_TEXT) {
                continue;
            }
            ++i;
            const double label = m_DrawSetting.CountKind == 0 ? double(i) : double(r + 1);
            t.dValue = label;
            CopyTextField(t.szText, FormatValueString(label, 0, true));
            if (!m_DrawSetting.bAutoReSize) {
                CopyTextField(t.szFontName, m_DrawSetting.MeasStrFontName);
            }
            t.nFontPt = m_DrawSetting.MeasStrFontPt;
            RemeasureText(s);
        }
    }
}

void CRgnDataCtrl::RecalcTextRects()
{
    for (CQSRgnData& s : m_ShapeList) {
        RGN_DATA& t = s.m_RgnData;
        if (t.nFigure != RGN_TEXT) {
            continue;
        }
        if (t.dValue != 0.0) {
            if (!m_DrawSetting.bAutoReSize) {
                CopyTextField(t.szFontName, m_DrawSetting.MeasStrFontName);
            }
            t.nFontPt = m_DrawSetting.MeasStrFontPt;
        }
        RemeasureText(s);
    }
}

void CRgnDataCtrl::SetScaleParam(double dSizeX, double dSizeY, int32_t nCorner)
{
    m_dScaleSizeX = std::isfinite(dSizeX) && dSizeX > 0.0 ? dSizeX : 0.0;
    m_dScaleSizeY = std::isfinite(dSizeY) && dSizeY > 0.0 ? dSizeY : 0.0;
    m_nScalePos = std::clamp(nCorner, 0, 3);
}

void CRgnDataCtrl::CopyMeasureData(std::vector<MEASURE_DATA>& out) const
{
    out = m_MeasureArray;
}
