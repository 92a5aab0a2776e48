// The measurement engine: shape list, results array, counters, calibration,
// point input, selection, annotations and cross lines. Free of any GUI; text
// extents come from the drawing window's ITextMeasurer.
#pragma once

#include "engine/InputMode.h"
#include "engine/PointSnap.h"
#include "engine/RgnData.h"
#include "engine/TextMeasurer.h"
#include "engine/kinds/MeasureKind.h"

#include <list>
#include <string>
#include <vector>

// Input states.
enum {
    INPUT_IDLE = 0,
    INPUT_MAKING_SHAPE = 1,
    INPUT_MAKING_CROSS = 2,
    INPUT_CALIBRATION = 3,
    INPUT_SELECTED = 4,
};

// Results of AddPoint and AddCalibrationPoint.
enum {
    ADDPT_ERROR = -1,
    ADDPT_DONE = 0,
    ADDPT_CONTINUE = 1,
    ADDPT_REJECTED = 2,
};

// Modifiers of a click or move.
enum { MODIFIER_NONE = 0, MODIFIER_SHIFT = 1, MODIFIER_CTRL = 2 };

class CRgnDataCtrl : private IShapeStore {
public:
    CRgnDataCtrl();

    // --- set-up --------------------------------------------------------------
    // The drawing window supplies text extents; null means none is set.
    void SetDrawWindow(ITextMeasurer* pMeasurer) { m_pMeasurer = pMeasurer; }
    bool HasDrawWindow() const { return m_pMeasurer != nullptr; }
    BOOL SetImageSize(int32_t nWidth, int32_t nHeight, double dRatio);
    void SetView(double dRatio, int32_t nScrollX, int32_t nScrollY);
    void SetDrawSetting(const DRAW_SETTING& setting);
    BOOL SetCalibration(double dFactor, int32_t nDecimals, int32_t nUnitKind, BOOL bRecalc);

    // --- values and captions -------------------------------------------------
    BOOL CalcMeasure(int32_t nKind, RGN_DATA& shape);
    void RecalcMeasureResult();
    void ReformatCaptions();
    void RenumberCountCaptions();
    void RecalcTextRects();

    // --- point input ---------------------------------------------------------
    BOOL StartShape(int32_t nKind, POINT ptWnd);
    int AddPoint(POINT ptWnd, BOOL bConfirm, int nModifier, BOOL bFinish);
    BOOL StartCalibrationLine(int32_t nSetPointKind, POINT ptWnd);
    int AddCalibrationPoint(POINT ptWnd, BOOL bConfirm, int nModifier, double& dPixelLength);
    void ResetInput();
    BOOL Cancel();
    BOOL UndoLastPoint();

    // --- cross lines, text, selection, deletion -------------------------------
    BOOL StartCrossLine(POINT ptWnd, BOOL bConfirm, BOOL bLast);
    BOOL AddCrossLinePoint(POINT ptWnd, BOOL bConfirm, BOOL bLast);
    void ClearCrossLines();
    // Copies the positions inside the image into the caller's arrays of
    // MAX_CROSS_LINE, leaving the other slots as they were; FALSE when a
    // count is outside 0..MAX_CROSS_LINE.
    BOOL GetCrossLinePos(int32_t* pX, int& nCountX, int32_t* pY, int& nCountY) const;
    // Clears the lines, then keeps the first nCountX x and nCountY y that lie
    // in 1..width-1 and 1..height-1; FALSE for a count above MAX_CROSS_LINE.
    BOOL SetCrossLinePos(const int32_t* pX, int nCountX, const int32_t* pY, int nCountY);
    BOOL AddText(const std::u16string& text, POINT ptWnd, const std::u16string& fontName, int32_t nFontPt,
                 COLORREF crText);
    BOOL EditText(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt, COLORREF crText);
    int32_t SelectAt(POINT ptWnd);
    void GetSelectedMeasNo(std::vector<int32_t>& out) const;
    BOOL SelectMeasurements(const std::vector<int32_t>& numbers);
    void DragTo(POINT ptWnd);
    BOOL DeleteMeasurement(int32_t nMeasNo);
    void ClearAll();
    void CopyMeasureData(std::vector<MEASURE_DATA>& out) const;

    // --- the overlay's input mode ---------------------------------------------
    // Kept here with the input state so that the overlay never keeps a copy.
    const INPUT_MODE& GetInputMode() const { return m_Mode; }
    void BeginInputMode(const INPUT_MODE& mode) { m_Mode = mode; }
    void EndInputMode() { m_Mode.nMode = MODE_SELECT; }
    void CountClick(int nDelta) { m_Mode.nClicks += nDelta; }
    void SetCalibrationPixelLength(double dLength) { m_Mode.dCalibPixelLength = dLength; }

    // --- hit-testing ---------------------------------------------------------
    // Newest text containing the point, else the newest shape if selectable.
    const CQSRgnData* HitTest(POINT ptImage) const;

    // --- read access for drawing and tests ----------------------------------
    const std::list<CQSRgnData>& GetShapeList() const { return m_ShapeList; }
    const std::vector<MEASURE_DATA>& GetMeasureArray() const { return m_MeasureArray; }
    const std::vector<int32_t>& GetSelection() const { return m_Selection; }
    const DRAW_SETTING& GetDrawSetting() const { return m_DrawSetting; }
    int GetInputState() const { return m_nState; }
    int32_t GetMakingKind() const { return m_nMakingKind; }
    int GetPointCount() const { return m_nPointCount; }
    POINT GetInputPoint(int i) const { return m_Points[i]; }
    // The outline of the shape being made.
    void GetPreview(std::vector<PREVIEW_ITEM>& out) const;
    const int32_t* GetCrossX() const { return m_nCrossX; }
    const int32_t* GetCrossY() const { return m_nCrossY; }
    int GetCrossCountX() const { return m_nCrossCountX; }
    int GetCrossCountY() const { return m_nCrossCountY; }
    int32_t GetSelectedID() const { return m_nSelectedID; }
    int32_t GetImageWidth() const { return m_nWidth; }
    int32_t GetImageHeight() const { return m_nHeight; }
    double GetRatio() const { return m_dRatio; }
    POINT GetScroll() const { return POINT{m_nScrollX, m_nScrollY}; }
    double GetCalibration() const { return m_dCalibration; }
    BOOL IsCalibrationValid() const { return m_bCalibrationValid; }
    int32_t GetDecimals() const { return m_nDecimals; }
    int32_t GetLastShapeID() const { return m_nShapeID; }
    int32_t GetLastMeasNo() const { return m_nMeasNo; }
    // Changes whenever shapes, records, drawing settings, the view or the
    // selection change: what is drawn from them can be kept until then.
    uint64_t GetRevision() const { return m_nRevision; }
    // Points far beyond this many pixels from the image are refused.
    int32_t FarLimit() const;
    // Window to image pixels; false when outside the image.
    bool WindowToImage(POINT ptWnd, POINT& ptImage) const;
    // Points of measurements and of the reference line land where pSnap
    // says (null: on the pointer's pixel), unless the pointer is taken
    // exactly for the moment.
    void SetPointSnap(IPointSnap* pSnap) { m_pSnap = pSnap; }
    bool HasPointSnap() const { return m_pSnap != nullptr; }
    void SetExactPointer(bool bExact) { m_bExactPointer = bExact; }
    // Where a point given at ptWnd would land; false when outside the image.
    bool InputToImage(POINT ptWnd, POINT& ptImage) const;
    // The pixel the snap moves a point given at ptWnd to; false when no snap
    // is on, the pointer is taken exactly, or nothing near stands out.
    bool SnapTargetAt(POINT ptWnd, POINT& ptTarget) const;
    // The size captions and annotations are measured and drawn with.
    int32_t ScreenFontPt(int32_t nFontPt) const;

    // The calibration line stays shown after its input ended until the input is reset.
    BOOL IsCalibrationLineShown() const { return m_nState == INPUT_CALIBRATION || m_bCalibrationDone; }
    void SetScaleParam(double dSizeX, double dSizeY, int32_t nCorner);

    // Display flags and scale bar kept for the renderer.
    BOOL m_bDispShapes = TRUE;
    BOOL m_bDispCrossLine = FALSE;
    BOOL m_bDispScale = FALSE;
    double m_dScaleSizeX = 0.0;
    double m_dScaleSizeY = 0.0;
    int32_t m_nScalePos = 3;

private:
    struct COMMIT_MARK {
        size_t nShapes;
        size_t nRows;
        int32_t nShapeID;
        int32_t nMeasNo;
    };

    // Converts, squares up with the modifier, and stores a clicked or
    // provisional point; TAKE_STORED, or the AddPoint result to return.
    static constexpr int TAKE_STORED = 100;
    int TakePoint(POINT ptWnd, BOOL bConfirm, int nModifier, int nMaxPoints);
    KIND_LIMITS Limits() const;
    void Changed() { ++m_nRevision; }
    // IShapeStore: the kinds build their shapes and rows through these.
    int32_t StoreShape(RGN_DATA& shape, int32_t nMeasNo) override;
    bool MeasureShape(int32_t nKind, RGN_DATA& shape) override { return CalcMeasure(nKind, shape) != FALSE; }
    bool CommitValue(int32_t nKind, RGN_DATA& shape, double dPixel, double dValue,
                     const std::vector<POINT>& captions) override;
    void LinkChild(int32_t nParentID, int nIndex, int32_t nMeasNo) override;
    double Factor() const override { return m_dCalibration; }

    bool MakeCaptionBox(RGN_DATA& text);
    void ClampTextBox(RGN_DATA& text, int cx, int cy) const;
    // The font of the current settings (its name only with bFontName).
    void TakeCaptionStyle(RGN_DATA& t, bool bFontName) const;
    // Changes a caption or annotation through fn, then fits its box to the text.
    template <class F>
    void UpdateText(CQSRgnData& shape, F&& fn)
    {
        shape.Edit(FarLimit(), [&](RGN_DATA& t) {
            fn(t);
            MakeCaptionBox(t);
        });
        Changed();
    }
    COMMIT_MARK MarkCommit() const;
    void Rollback(const COMMIT_MARK& mark);
    const MEASURE_DATA* FindRow(int32_t nMeasNo) const;
    bool HasShapeOf(int32_t nMeasNo) const;
    CQSRgnData* FindShape(int32_t nID);
    void StoreCrossPoint(POINT ptImage, BOOL bConfirm);
    void ClearSelection();

    ITextMeasurer* m_pMeasurer = nullptr;
    DRAW_SETTING m_DrawSetting;
    IPointSnap* m_pSnap = nullptr;
    bool m_bExactPointer = false;

    double m_dCalibration = 1.0;
    BOOL m_bCalibrationValid = FALSE;
    int32_t m_nDecimals = 1;
    double m_dRatio = 1.0;
    int32_t m_nScrollX = 0;
    int32_t m_nScrollY = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;

    std::list<CQSRgnData> m_ShapeList;
    std::vector<MEASURE_DATA> m_MeasureArray;
    std::vector<int32_t> m_Selection;
    int32_t m_nShapeID = 0;
    int32_t m_nMeasNo = 0;

    int m_nState = INPUT_IDLE;
    int32_t m_nMakingKind = -1;
    POINT m_Points[MAX_INPUT_POINT + 1];
    int m_nPointCount = 0;
    int32_t m_nCrossX[MAX_CROSS_LINE];
    int32_t m_nCrossY[MAX_CROSS_LINE];
    int m_nCrossCountX = 0;
    int m_nCrossCountY = 0;
    int32_t m_nSelectedID = -1;
    POINT m_ptDragAnchor{0, 0};
    BOOL m_bCalibrationDone = FALSE;
    INPUT_MODE m_Mode;
    uint64_t m_nRevision = 1;
};
