// Engine set-up, values, results rows, captions and their refreshes.
#include "engine/RgnDataCtrl.h"

#include "engine/MeasureGeometry.h"
#include "engine/PointerPixel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

CRgnDataCtrl::CRgnDataCtrl() : m_DrawSetting(DefaultEngineDrawSetting())
{
    std::memset(m_Points, 0, sizeof(m_Points));
    std::memset(m_nCrossX, 0, sizeof(m_nCrossX));
    std::memset(m_nCrossY, 0, sizeof(m_nCrossY));
}

KIND_LIMITS CRgnDataCtrl::Limits() const
{
    return KIND_LIMITS{FarLimit(), m_nWidth, m_nHeight};
}

int32_t CRgnDataCtrl::FarLimit() const
{
    const double diag = std::sqrt(double(m_nWidth) * m_nWidth + double(m_nHeight) * m_nHeight);
    return int32_t(std::min(4.0 * std::max(diag, 1.0), 1.0e8));
}

bool CRgnDataCtrl::WindowToImage(POINT ptWnd, POINT& ptImage) const
{
    POINT p{};
    if (!PointerToImagePixel(ptWnd, m_dRatio, POINT{m_nScrollX, m_nScrollY}, p) || p.x < 0 || p.y < 0 ||
        p.x >= m_nWidth || p.y >= m_nHeight) {
        return false;
    }
    ptImage = p;
    return true;
}

bool CRgnDataCtrl::SnapTargetAt(POINT ptWnd, POINT& ptTarget) const
{
    POINT p{};
    POINT t{};
    if (m_pSnap == nullptr || m_bExactPointer || !WindowToImage(ptWnd, p) || !m_pSnap->SnapTarget(p, m_dRatio, t) ||
        t.x < 0 || t.y < 0 || t.x >= m_nWidth || t.y >= m_nHeight) {
        return false;
    }
    ptTarget = t;
    return true;
}

bool CRgnDataCtrl::InputToImage(POINT ptWnd, POINT& ptImage) const
{
    POINT p{};
    if (!WindowToImage(ptWnd, p)) {
        return false;
    }
    SnapTargetAt(ptWnd, p);
    ptImage = p;
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
    Changed();
    if (dRatio > 0.0 && std::isfinite(dRatio)) {
        m_dRatio = dRatio;
    }
    m_nScrollX = nScrollX;
    m_nScrollY = nScrollY;
    RecalcTextRects();
}

void CRgnDataCtrl::SetDrawSetting(const DRAW_SETTING& setting)
{
    Changed();
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

int32_t CRgnDataCtrl::StoreShape(RGN_DATA& shape, int32_t nMeasNo)
{
    shape.nPointNum = std::clamp(shape.nPointNum, 0, MAX_RGN_POINT);
    shape.szText[MAX_TEXT_LEN] = 0;
    shape.szFontName[MAX_FONTNAME_LEN] = 0;
    shape.nID = ++m_nShapeID;
    shape.nMeasNo = nMeasNo;
    m_ShapeList.emplace_back(shape, FarLimit());
    Changed();
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
    Changed();
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
        if (s.Data().nMeasNo == nMeasNo) {
            return true;
        }
    }
    return false;
}

CQSRgnData* CRgnDataCtrl::FindShape(int32_t nID)
{
    for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
        if (it->Data().nID == nID) {
            return &*it;
        }
    }
    return nullptr;
}

void CRgnDataCtrl::LinkChild(int32_t nParentID, int nIndex, int32_t nMeasNo)
{
    CQSRgnData* pParent = FindShape(nParentID);
    if (pParent != nullptr && nIndex >= 0 && nIndex < MAX_RGN_POINT) {
        pParent->Edit(FarLimit(), [&](RGN_DATA& d) { d.nChildMeasNo[nIndex] = nMeasNo; });
        Changed();
    }
}

BOOL CRgnDataCtrl::CalcMeasure(int32_t nKind, RGN_DATA& shape)
{
    const CMeasureKind* pKind = FindMeasureKind(nKind);
    MEASURE_VALUE v;
    if (pKind == nullptr || !pKind->Value(shape, m_dCalibration, v)) {
        return FALSE;
    }
    return CommitValue(nKind, shape, v.dPixel, v.dValue, v.captions);
}

bool CRgnDataCtrl::CommitValue(int32_t nKind, RGN_DATA& shape, double dPixel, double dValue,
                               const std::vector<POINT>& captions)
{
    if (!(dPixel > 0.0) && !(dValue > 0.0)) {
        return false;
    }
    if (!std::isfinite(dPixel) || !std::isfinite(dValue)) {
        return false;
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

    const bool bNumbered = FindMeasureKind(nKind)->NumbersCaptions();
    const size_t nCaptions = std::min<size_t>(captions.size(), MAX_CAPTION_NUM);
    for (size_t i = 0; i < nCaptions; ++i) {
        RGN_DATA text{};
        text.nFigure = RGN_TEXT;
        text.nPointNum = 2;
        SetRgnPoint(text, 0, captions[i]);
        if (bNumbered) {
            const double label = m_DrawSetting.CountKind == 0 ? double(i + 1) : double(m_MeasureArray.size());
            CopyTextField(text.szText, FormatValueString(label, m_nDecimals, true));
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
        StoreShape(text, row.nMeasNum);
    }
    return true;
}

namespace {

// Keeps the span lo..lo+size inside 0..limit, moving it as a whole.
void ClampSpan(int32_t& lo, int32_t& hi, int size, int32_t limit)
{
    hi = lo + size;
    if (lo < 0) {
        lo = 0;
        hi = size;
    }
    if (hi > limit) {
        hi = limit;
        lo = limit - size;
    }
}

} // namespace

void CRgnDataCtrl::ClampTextBox(RGN_DATA& text, int cx, int cy) const
{
    ClampSpan(text.nX[0], text.nX[1], cx, m_nWidth);
    ClampSpan(text.nY[0], text.nY[1], cy, m_nHeight);
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

void CRgnDataCtrl::TakeCaptionStyle(RGN_DATA& t, bool bFontName) const
{
    if (bFontName) {
        CopyTextField(t.szFontName, m_DrawSetting.MeasStrFontName);
    }
    t.nFontPt = m_DrawSetting.MeasStrFontPt;
}

// ---------------------------------------------------------------------------
// Refreshes

void CRgnDataCtrl::RecalcMeasureResult()
{
    const double k = m_dCalibration;
    for (MEASURE_DATA& row : m_MeasureArray) {
        CQSRgnData* pPrimary = nullptr;
        for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
            const RGN_DATA& d = it->Data();
            if (d.nMeasNo == row.nMeasNum && d.nFigure != RGN_TEXT && d.bPrimary) {
                pPrimary = &*it;
                break;
            }
        }
        const CMeasureKind* pKind = FindMeasureKind(row.nKind);
        if (pPrimary == nullptr || pKind == nullptr || !pKind->Recalc(pPrimary->Data(), k, row)) {
            continue;
        }
        pPrimary->Edit(FarLimit(), [&](RGN_DATA& d) {
            d.dPixelValue = row.dPixelValue;
            d.dValue = row.dValue;
        });
        Changed();
        if (!(row.dPixelValue > 0.0) && !(row.dValue > 0.0)) {
            continue;
        }
        for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
            const RGN_DATA& t = it->Data();
            if (t.nMeasNo == row.nMeasNum && t.nFigure == RGN_TEXT) {
                UpdateText(*it, [&](RGN_DATA& c) {
                    c.dValue = row.dValue;
                    CopyTextField(c.szText, FormatValueString(row.dValue, m_nDecimals));
                    TakeCaptionStyle(c, true);
                    c.crText = m_DrawSetting.MeasStrColor;
                });
                break;
            }
        }
    }
}

void CRgnDataCtrl::ReformatCaptions()
{
    for (CQSRgnData& s : m_ShapeList) {
        const RGN_DATA& t = s.Data();
        if (t.nFigure != RGN_TEXT || t.dValue == 0.0) {
            continue;
        }
        const MEASURE_DATA* pRow = FindRow(t.nMeasNo);
        if (pRow != nullptr && FindMeasureKind(pRow->nKind)->NumbersCaptions()) {
            continue;
        }
        UpdateText(s, [&](RGN_DATA& c) {
            CopyTextField(c.szText, FormatValueString(c.dValue, m_nDecimals));
            TakeCaptionStyle(c, !m_DrawSetting.bAutoReSize);
        });
    }
}

void CRgnDataCtrl::RenumberCountCaptions()
{
    for (size_t r = 0; r < m_MeasureArray.size(); ++r) {
        const MEASURE_DATA& row = m_MeasureArray[r];
        const CMeasureKind* pKind = FindMeasureKind(row.nKind);
        if (pKind == nullptr || !pKind->NumbersCaptions()) {
            continue;
        }
        int i = 0;
        for (CQSRgnData& s : m_ShapeList) {
            if (s.Data().nMeasNo != row.nMeasNum || s.Data().nFigure != RGN_TEXT) {
                continue;
            }
            ++i;
            const double label = m_DrawSetting.CountKind == 0 ? double(i) : double(r + 1);
            UpdateText(s, [&](RGN_DATA& c) {
                c.dValue = label;
                CopyTextField(c.szText, FormatValueString(label, 0, true));
                TakeCaptionStyle(c, !m_DrawSetting.bAutoReSize);
            });
        }
    }
}

void CRgnDataCtrl::RecalcTextRects()
{
    for (CQSRgnData& s : m_ShapeList) {
        if (s.Data().nFigure != RGN_TEXT) {
            continue;
        }
        UpdateText(s, [&](RGN_DATA& c) {
            if (c.dValue != 0.0) {
                TakeCaptionStyle(c, !m_DrawSetting.bAutoReSize);
            }
        });
    }
}

void CRgnDataCtrl::SetScaleParam(double dSizeX, double dSizeY, int32_t nCorner)
{
    Changed();
    m_dScaleSizeX = std::isfinite(dSizeX) && dSizeX > 0.0 ? dSizeX : 0.0;
    m_dScaleSizeY = std::isfinite(dSizeY) && dSizeY > 0.0 ? dSizeY : 0.0;
    m_nScalePos = std::clamp(nCorner, 0, 3);
}

void CRgnDataCtrl::CopyMeasureData(std::vector<MEASURE_DATA>& out) const
{
    out = m_MeasureArray;
}
