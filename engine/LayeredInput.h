// The overlay's side of the mouse: input modes, click dispatch and the
// notifications to the owner. The overlay window forwards its mouse messages
// here in its own client coordinates; this class owns the engine.
#pragma once

#include "engine/RgnDataCtrl.h"
#include "platform/MessageSink.h"

#include <functional>
#include <string>

class CLayeredInput {
public:
    explicit CLayeredInput(IMessageSink* pOwner);

    CRgnDataCtrl& Engine() { return m_RgnDataCtrl; }
    const CRgnDataCtrl& Engine() const { return m_RgnDataCtrl; }
    // Called after every event that changes the drawing.
    void SetRedrawHandler(std::function<void()> fn) { m_fnRedraw = std::move(fn); }
    void SetInitialised(BOOL bInit) { m_bInit = bInit; }

    // Mouse messages with the key flags of the message (MK_*).
    void OnLButtonDown(UINT nFlags, POINT pt);
    void OnRButtonDown(UINT nFlags, POINT pt);
    void OnMouseMove(UINT nFlags, POINT pt);

    // Operations for the owner.
    BOOL StartMakeShape(int32_t nKind);
    BOOL StartCalibrationInput(int32_t nSetPointKind);
    BOOL UndoLastPoint();
    BOOL CancelInput();
    BOOL StartCrossLineInput(int nHorzNum, int nVertNum, BOOL bSeparate);
    BOOL SetTextToPlace(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt, COLORREF crText);
    BOOL EditSelectedText(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt,
                          COLORREF crText);

    BOOL IsMakingShape() const { return m_bMakingShape; }
    BOOL IsMakingCrossLine() const { return m_bMakingCrossLine; }
    BOOL IsPlacingText() const { return m_bPlacingText; }
    BOOL IsCalibrating() const { return m_bCalibration; }
    int32_t GetKind() const { return m_nKind; }
    double GetCalibrationPixelLength() const { return m_dCalibPixelLength; }

private:
    void Post(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Redraw();
    static int ModifierOf(UINT nFlags);
    void EndShapeInput();
    void OnCrossClick(POINT pt);
    void OnCrossMove(POINT pt);
    void FinishCrossInput();

    IMessageSink* m_pOwner;
    CRgnDataCtrl m_RgnDataCtrl;
    std::function<void()> m_fnRedraw;
    BOOL m_bInit = FALSE;

    BOOL m_bMakingShape = FALSE;
    BOOL m_bMakingCrossLine = FALSE;
    BOOL m_bPlacingText = FALSE;
    BOOL m_bCalibration = FALSE;
    int32_t m_nKind = -1;
    int32_t m_nCalibKind = 0;
    int m_nClickCount = 0;
    double m_dCalibPixelLength = 0.0;

    int m_nCrossVertNum = 0;
    int m_nCrossHorzNum = 0;
    BOOL m_bCrossSeparate = FALSE;

    std::u16string m_PendingText;
    std::u16string m_PendingFont;
    int32_t m_nPendingPt = 0;
    COLORREF m_crPending = 0;
};
