// Cross-line input, text annotations, picking, dragging and deletion.
#include "engine/RgnDataCtrl.h"

#include "engine/MeasureGeometry.h"
#include "engine/PointerPixel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// ---------------------------------------------------------------------------
// Cross lines

void CRgnDataCtrl::ClearCrossLines()
{
    Changed();
    std::memset(m_nCrossX, 0, sizeof(m_nCrossX));
    std::memset(m_nCrossY, 0, sizeof(m_nCrossY));
    m_nCrossCountX = 0;
    m_nCrossCountY = 0;
}

void CRgnDataCtrl::StoreCrossPoint(POINT ptWnd, BOOL bConfirm)
{
    // A window coordinate below 1 means "not this direction".
    POINT p{};
    const POINT probe{std::max(ptWnd.x, 0), std::max(ptWnd.y, 0)};
    if (!WindowToImage(probe, p)) {
        return;
    }
    const int32_t x = ptWnd.x < 1 ? 0 : p.x;
    const int32_t y = ptWnd.y < 1 ? 0 : p.y;
    Changed();
    if (x != 0 && m_nCrossCountX < MAX_CROSS_LINE) {
        m_nCrossX[m_nCrossCountX] = x;
        if (bConfirm) {
            ++m_nCrossCountX;
        }
    }
    if (y != 0 && m_nCrossCountY < MAX_CROSS_LINE) {
        m_nCrossY[m_nCrossCountY] = y;
        if (bConfirm) {
            ++m_nCrossCountY;
        }
    }
}

BOOL CRgnDataCtrl::StartCrossLine(POINT ptWnd, BOOL bConfirm, BOOL bLast)
{
    if (m_nState != INPUT_IDLE && m_nState != INPUT_MAKING_CROSS && m_nState != INPUT_SELECTED) {
        return FALSE;
    }
    std::memset(m_Points, 0, sizeof(m_Points));
    m_nPointCount = 0;
    ClearCrossLines();
    StoreCrossPoint(ptWnd, bConfirm);
    m_nState = bLast ? INPUT_IDLE : INPUT_MAKING_CROSS;
    return TRUE;
}

BOOL CRgnDataCtrl::AddCrossLinePoint(POINT ptWnd, BOOL bConfirm, BOOL bLast)
{
    if (m_nState != INPUT_MAKING_CROSS) {
        return FALSE;
    }
    if (m_nCrossCountX < MAX_CROSS_LINE) {
        m_nCrossX[m_nCrossCountX] = 0;
    }
    if (m_nCrossCountY < MAX_CROSS_LINE) {
        m_nCrossY[m_nCrossCountY] = 0;
    }
    StoreCrossPoint(ptWnd, bConfirm);
    if (bLast) {
        m_nState = INPUT_IDLE;
    }
    return TRUE;
}

BOOL CRgnDataCtrl::GetCrossLinePos(int32_t* pX, int& nCountX, int32_t* pY, int& nCountY) const
{
    if (m_nCrossCountX < 0 || m_nCrossCountX > MAX_CROSS_LINE || m_nCrossCountY < 0 ||
        m_nCrossCountY > MAX_CROSS_LINE) {
        return FALSE;
    }
    for (int i = 0; i < MAX_CROSS_LINE; ++i) {
        if (m_nCrossX[i] >= 0 && m_nCrossX[i] < m_nWidth) {
            pX[i] = m_nCrossX[i];
        }
        if (m_nCrossY[i] >= 0 && m_nCrossY[i] < m_nHeight) {
            pY[i] = m_nCrossY[i];
        }
    }
    nCountX = m_nCrossCountX;
    nCountY = m_nCrossCountY;
    return TRUE;
}

BOOL CRgnDataCtrl::SetCrossLinePos(const int32_t* pX, int nCountX, const int32_t* pY, int nCountY)
{
    if (nCountX > MAX_CROSS_LINE || nCountY > MAX_CROSS_LINE) {
        return FALSE;
    }
    ClearCrossLines();
    for (int i = 0; i < nCountX; ++i) {
        if (pX[i] >= 1 && pX[i] < m_nWidth) {
            m_nCrossX[m_nCrossCountX++] = pX[i];
        }
    }
    for (int i = 0; i < nCountY; ++i) {
        if (pY[i] >= 1 && pY[i] < m_nHeight) {
            m_nCrossY[m_nCrossCountY++] = pY[i];
        }
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// Text annotations

BOOL CRgnDataCtrl::AddText(const std::u16string& text, POINT ptWnd, const std::u16string& fontName, int32_t nFontPt,
                           COLORREF crText)
{
    if (!HasDrawWindow() || (m_nState != INPUT_IDLE && m_nState != INPUT_SELECTED) || text.empty() ||
        fontName.empty() || nFontPt < 1) {
        return FALSE;
    }
    POINT p{};
    if (!WindowToImage(ptWnd, p)) {
        return FALSE;
    }
    RGN_DATA d{};
    d.nFigure = RGN_TEXT;
    d.nPointNum = 2;
    SetRgnPoint(d, 0, p);
    CopyTextField(d.szText, text);
    CopyTextField(d.szFontName, fontName);
    d.nFontPt = nFontPt;
    d.crText = crText;
    d.bSelectable = TRUE;
    d.bMovable = TRUE;
    if (!MakeCaptionBox(d)) {
        return FALSE;
    }
    MEASURE_DATA row{};
    row.nMeasNum = ++m_nMeasNo;
    row.nFigure = RGN_TEXT;
    row.nKind = MEAS_TEXT;
    CopyTextField(row.szText, d.szText);
    m_MeasureArray.push_back(row);
    StoreShape(d, row.nMeasNum);
    m_nState = INPUT_IDLE;
    ClearSelection();
    return TRUE;
}

BOOL CRgnDataCtrl::EditText(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt,
                            COLORREF crText)
{
    std::vector<int32_t> selected;
    GetSelectedMeasNo(selected);
    if (selected.size() != 1 || text.empty() || fontName.empty() || nFontPt < 1) {
        return FALSE;
    }
    const int32_t no = selected[0];
    // Only an annotation is edited, never the caption of a measured value.
    MEASURE_DATA* pRow = nullptr;
    for (MEASURE_DATA& row : m_MeasureArray) {
        if (row.nMeasNum == no) {
            pRow = &row;
            break;
        }
    }
    if (pRow == nullptr || pRow->nKind != MEAS_TEXT) {
        return FALSE;
    }
    for (CQSRgnData& s : m_ShapeList) {
        const RGN_DATA& d = s.Data();
        if (d.nMeasNo != no) {
            continue;
        }
        if (d.nFigure != RGN_TEXT) {
            return FALSE;
        }
        RGN_DATA edited = d;
        CopyTextField(edited.szText, text);
        CopyTextField(edited.szFontName, fontName);
        edited.nFontPt = nFontPt;
        edited.crText = crText;
        if (!MakeCaptionBox(edited)) {
            return FALSE;
        }
        s.Edit(FarLimit(), [&](RGN_DATA& r) { r = edited; });
        Changed();
        CopyTextField(pRow->szText, edited.szText);
        return TRUE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Picking and dragging

const CQSRgnData* CRgnDataCtrl::HitTest(POINT ptImage) const
{
    for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
        if (it->Data().bMovable && it->Region().Contains(ptImage)) {
            return &*it;
        }
    }
    for (auto it = m_ShapeList.rbegin(); it != m_ShapeList.rend(); ++it) {
        if (it->Region().Contains(ptImage)) {
            return it->Data().bSelectable ? &*it : nullptr;
        }
    }
    return nullptr;
}

int32_t CRgnDataCtrl::SelectAt(POINT ptWnd)
{
    switch (m_nState) {
    case INPUT_MAKING_SHAPE:
        AddPoint(ptWnd, TRUE, MODIFIER_NONE, FALSE);
        return -1;
    case INPUT_MAKING_CROSS:
        AddCrossLinePoint(ptWnd, TRUE, FALSE);
        return -1;
    case INPUT_CALIBRATION:
        return -1;
    default:
        break;
    }
    ClearSelection();
    POINT p{};
    const CQSRgnData* pHit = WindowToImage(ptWnd, p) ? HitTest(p) : nullptr;
    if (pHit == nullptr) {
        m_nState = INPUT_IDLE;
        return -1;
    }
    m_Selection.push_back(pHit->Data().nMeasNo);
    m_nSelectedID = pHit->Data().nID;
    m_nState = INPUT_SELECTED;
    m_ptDragAnchor = p;
    return m_nSelectedID;
}

void CRgnDataCtrl::GetSelectedMeasNo(std::vector<int32_t>& out) const
{
    out.clear();
    for (int32_t no : m_Selection) {
        if (no >= 1 && HasShapeOf(no)) {
            out.push_back(no);
        }
    }
}

BOOL CRgnDataCtrl::SelectMeasurements(const std::vector<int32_t>& numbers)
{
    if (m_nState != INPUT_IDLE && m_nState != INPUT_SELECTED) {
        return FALSE;
    }
    ClearSelection();
    for (int32_t no : numbers) {
        // Number 0 is no measurement (a perpendicular group's base line carries it).
        if (no >= 1 && HasShapeOf(no) && std::find(m_Selection.begin(), m_Selection.end(), no) == m_Selection.end()) {
            m_Selection.push_back(no);
        }
    }
    m_nState = numbers.empty() ? INPUT_IDLE : INPUT_SELECTED;
    return TRUE;
}

void CRgnDataCtrl::DragTo(POINT ptWnd)
{
    // Outside the image too: only the move from the anchor counts.
    POINT p{};
    if (m_nState != INPUT_SELECTED || !PointerToImagePixel(ptWnd, m_dRatio, POINT{m_nScrollX, m_nScrollY}, p)) {
        return;
    }
    const int64_t dx = int64_t(p.x) - m_ptDragAnchor.x;
    const int64_t dy = int64_t(p.y) - m_ptDragAnchor.y;
    CQSRgnData* pShape = FindShape(m_nSelectedID);
    if (pShape != nullptr && pShape->Data().bMovable && (dx != 0 || dy != 0)) {
        const RGN_DATA& d = pShape->Data();
        const int n = std::clamp(d.nPointNum, 0, MAX_RGN_POINT);
        bool bInside = true;
        for (int i = 0; i < n && bInside; ++i) {
            const int64_t x = d.nX[i] + dx;
            const int64_t y = d.nY[i] + dy;
            bInside = x >= 0 && x <= m_nWidth && y >= 0 && y <= m_nHeight;
        }
        if (bInside) {
            pShape->Offset(int32_t(dx), int32_t(dy), FarLimit());
            Changed();
        }
    }
    m_ptDragAnchor = p;
}

// ---------------------------------------------------------------------------
// Deletion

BOOL CRgnDataCtrl::DeleteMeasurement(int32_t nMeasNo)
{
    if (nMeasNo < 1 || nMeasNo > m_nMeasNo) {
        return FALSE;
    }
    int32_t parentID = 0;
    for (auto it = m_ShapeList.begin(); it != m_ShapeList.end();) {
        if (it->Data().nMeasNo == nMeasNo) {
            parentID = it->Data().nParentID;
            it = m_ShapeList.erase(it);
        } else {
            ++it;
        }
    }
    // A base line goes with its last perpendicular.
    CQSRgnData* pParent = parentID != 0 ? FindShape(parentID) : nullptr;
    if (pParent != nullptr) {
        bool bAnyChild = false;
        pParent->Edit(FarLimit(), [&](RGN_DATA& d) {
            for (int32_t& child : d.nChildMeasNo) {
                if (child == nMeasNo) {
                    child = 0;
                }
                bAnyChild = bAnyChild || child != 0;
            }
        });
        if (!bAnyChild) {
            m_ShapeList.remove_if([&](const CQSRgnData& s) { return &s == pParent; });
        }
    }
    Changed();
    m_MeasureArray.erase(std::remove_if(m_MeasureArray.begin(), m_MeasureArray.end(),
                                        [&](const MEASURE_DATA& r) { return r.nMeasNum == nMeasNo; }),
                         m_MeasureArray.end());
    RenumberCountCaptions();
    m_Selection.erase(std::remove(m_Selection.begin(), m_Selection.end(), nMeasNo), m_Selection.end());
    if (FindShape(m_nSelectedID) == nullptr) {
        m_nSelectedID = -1;
    }
    // An input under way goes on; only a selection is left.
    if (m_nState == INPUT_SELECTED) {
        m_nState = INPUT_IDLE;
        ClearSelection();
    }
    return TRUE;
}

void CRgnDataCtrl::ClearAll()
{
    m_ShapeList.clear();
    m_MeasureArray.clear();
    ClearSelection();
    m_nShapeID = 0;
    m_nMeasNo = 0;
    std::memset(m_Points, 0, sizeof(m_Points));
    m_nPointCount = 0;
    m_nState = INPUT_IDLE;
}

void CRgnDataCtrl::ClearSelection()
{
    m_Selection.clear();
    m_nSelectedID = -1;
    Changed();
}
