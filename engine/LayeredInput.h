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

    // The input under way, as the engine keeps it.
    BOOL IsMakingShape() const { return Mode().nMode == MODE_SHAPE; }
    BOOL IsMakingCrossLine() const { return Mode().nMode == MODE_CROSS_LINE; }
    BOOL IsPlacingText() const { return Mode().nMode == MODE_TEXT; }
    BOOL IsCalibrating() const { return Mode().nMode == MODE_CALIBRATION; }
    int32_t GetKind() const { return Mode().nKind; }
    double GetCalibrationPixelLength() const { return Mode().dCalibPixelLength; }

private:
    const INPUT_MODE& Mode() const { return m_RgnDataCtrl.GetInputMode(); }
    // A mode other than nMode is under way: one input at a time.
    bool OtherModeUnderWay(int nMode) const { return Mode().nMode != MODE_SELECT && Mode().nMode != nMode; }
    void Post(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Redraw();
    static int ModifierOf(UINT nFlags);
    // A click while a shape or the calibration line is being made.
    void OnPointClick(POINT pt, int nModifier);
    // Posts what a refused point or a failed input tells the owner; true when the input goes on.
    bool ReportRefusal(int nResult, bool bCalibration);
    void OnCrossClick(POINT pt);
    void OnCrossMove(POINT pt);
    void FinishCrossInput();

    IMessageSink* m_pOwner;
    CRgnDataCtrl m_RgnDataCtrl;
    std::function<void()> m_fnRedraw;
    BOOL m_bInit = FALSE;
};
