// Every message the main window receives, in one table, to the flow that
// handles it. Messages two flows share (the end, failure and cancel of an
// input) go to the one whose input is under way.
#include "workflow/MainMessages.h"

#include "app/MainWindowMessages.h"
#include "app/SystemSetting.h"
#include "camera/CameraCtrl.h"
#include "engine/LayeredWnd.h"
#include "engine/OverlayMessages.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/calibration/CalibrationController.h"
#include "workflow/capture/CaptureMessages.h"
#include "workflow/capture/SeriesController.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/overlay/ScaleBar.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"

namespace {
using HANDLER = void (*)(CPixmetraDlg&, WPARAM, LPARAM);
struct MESSAGE_ENTRY {
    UINT nMessage;
    HANDLER pfnHandler;
};
} // namespace

void CPixmetraDlg::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    static constexpr MESSAGE_ENTRY kTable[] = {
        // Camera.
        {WM_CAMERA_FRAME,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) {
             w.m_pLive->OnCameraFrame(int(wp), int(lp));
             if (w.m_pZoomFlow != nullptr) {
                 w.m_pZoomFlow->OnNewPicture();
             }
         }},
        {WM_CAMERA_DISCONNECT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pLive->OnDisConnectedMessage(); }},
        // Tool window: display, magnifier, placement.
        {WM_DISP_MEASURE_SHAPE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnDispMeasureShape(wp != 0); }},
        {WM_DISP_ZOOM_WINDOW, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pZoomFlow->OnDispZoomWindow(wp); }},
        {WM_CLOSE_ZOOM_WINDOW, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pZoomFlow->OnCloseZoomWindow(); }},
        {WM_MOUSE_POSITION,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pZoomFlow->OnMoveZoomPoint(int(intptr_t(wp)), int(lp)); }},
        {WM_MOVE_MEAS_MODE_DLG,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) {
             w.m_Setting.MeasWndLeft = int32_t(wp);
             w.m_Setting.MeasWndTop = int32_t(lp);
         }},
        // Calibration.
        {WM_END_CALIBRATION_TAB, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnEndCalibrationTab(); }},
        {WM_SELECT_CALIBRATION_LIST, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnChangeCalibration(); }},
        {WM_CHANGE_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnChangeCalibration(); }},
        {WM_START_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnStartSetCalibration(); }},
        {WM_END_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnEndSetCalibration(); }},
        {WM_CANCEL_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnCancelSetCalibration(); }},
        {WM_ERROR_SET_CALIBRATION, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnErrorSetCalibration(); }},
        {WM_LOAD_CALIBRATION_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnLoadCalibrationData(); }},
        {WM_SAVE_CALIBRATION_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->OnSaveCalibrationData(); }},
        {WM_RECALC_MEAS_RESULT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pCalibration->ApplyCalibration(); }},
        {WM_UPDATE_MEAS_RESULT_LIST,
         [](CPixmetraDlg& w, WPARAM, LPARAM) {
             if (w.m_pMeasureModeDlg != nullptr) {
                 w.m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
             }
         }},
        // Measurement input.
        {WM_START_MAKE_LINE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnStartMake(int(wp)); }},
        {WM_START_MAKE_CIRCLE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnStartMake(int(wp)); }},
        {WM_START_MAKE_ANGLE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pMeasure->OnStartMake(int(wp)); }},
        {WM_START_MAKE_PERPENDICULAR, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_PERPENDICULAR); }},
        {WM_START_MAKE_2CIRCLE_LINE, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_2CIRCLE); }},
        {WM_START_MAKE_POLYGON, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_POLYGON); }},
        {WM_START_MAKE_POINT_COUNT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMake(MEAS_COUNT); }},
        {WM_START_MAKE_TEXT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnStartMakeText(); }},
        {WM_EDIT_TEXT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnEditText(); }},
        {WM_UNDO_SET_POINT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnUndoSetPoint(); }},
        {WM_CANCEL_MAKE_SHAPE,
         [](CPixmetraDlg& w, WPARAM, LPARAM) {
             // Esc or 中止 while the reference line is being drawn ends that input.
             if (w.m_pCalibration->IsCalibrating()) {
                 w.m_pCalibration->OnCancelSetCalibration();
             } else {
                 w.m_pMeasure->OnCancelMakeShape();
             }
         }},
        {WM_INVALID_SET_POINT, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnInvalidSetPoint(); }},
        {WM_MAKING_RGN_DISP_CAPTION,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pMeasure->OnMakingRgnDispCaption(int(wp), int(lp)); }},
        {WM_END_MAKE_SHAPE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM) {
             if (wp == 1 && w.m_pCrossLines != nullptr) {
                 w.m_pCrossLines->OnEndMakeCrossLine();
             }
             w.m_pMeasure->OnEndMakeShape(wp);
         }},
        {WM_ERROR_MAKE_SHAPE,
         [](CPixmetraDlg& w, WPARAM, LPARAM) {
             // A first click off the picture: the reference line input goes on.
             if (w.m_pCalibration->IsCalibrating()) {
                 w.m_pCalibration->ShowCalibrationPrompt();
             } else {
                 w.m_pMeasure->OnErrorMakeShape();
             }
         }},
        // Results.
        {WM_SELECT_MEASURE_SHAPE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pMeasure->OnSelectMeasureShape(int32_t(intptr_t(wp)), lp); }},
        {WM_DELETE_SEL_MEASURE_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnDeleteSelMeasureData(); }},
        {WM_DELETE_ALL_MEASURE_DATA, [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pMeasure->OnDeleteAllMeasureData(wp, lp); }},
        {WM_SAVE_MEASURE_DATA, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pMeasure->OnSaveMeasureData(); }},
        // Cross lines and scale bar.
        {WM_MAKING_CROSSLINE_DISP_CAPTION,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pCrossLines->OnMakingCrossLineDispCaption(UINT(wp)); }},
        {WM_DELETE_CROSS_LINE, [](CPixmetraDlg& w, WPARAM, LPARAM) { w.m_pSettings->OnDeleteCrossLine(); }},
        {WM_DISP_SCALE, [](CPixmetraDlg& w, WPARAM wp, LPARAM) { w.m_pScaleBar->OnDispScale(wp); }},
        // Picture series.
        {WM_SAVE_IMAGE_CONTINUE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pSeries->OnSaveImageContinue(wp, lp); }},
        {WM_END_SAVE_IMAGE_CONTINUE,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pSeries->OnEndSaveImageContinue(wp, lp); }},
        {WM_SAVE_CONTINUE_COUNTDOWN,
         [](CPixmetraDlg& w, WPARAM wp, LPARAM lp) { w.m_pSeries->OnSaveContinueCountdown(wp, lp); }},
    };
    // The flows are made when the window initialises; a notice before that
    // (or after the window went) finds nobody to tell.
    const bool bFlows = m_pCrossLines != nullptr;
    if (!bFlows && nMessage != WM_CAMERA_FRAME && nMessage != WM_CAMERA_DISCONNECT) {
        return;
    }
    for (const MESSAGE_ENTRY& entry : kTable) {
        if (entry.nMessage == nMessage) {
            entry.pfnHandler(*this, wParam, lParam);
            return;
        }
    }
}
