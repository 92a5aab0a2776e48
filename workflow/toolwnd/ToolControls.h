// The tool window's controls by their template numbers, and the object names
// behind them. The measurement page's start buttons are the kind table's.
#pragma once

#include "engine/kinds/MeasureKindInfo.h"

// The window around the pages.
constexpr int IDC_TAB_MODE = 1000;
constexpr int IDC_CHECK_DISP_RESULT = 1004;
constexpr int IDC_CHECK_DISP_ZOOM = 1143;
constexpr int IDC_STATIC_CALIB_NAME = 1139;
constexpr int IDC_STATIC_CALIB_VALUE = 1146;

// The calibration page.
constexpr int IDC_EDIT_CALIB_NAME = 1009;
constexpr int IDC_LIST_CALIBRATION = 1010;
constexpr int IDC_BTN_SET_CALIBRATION = 1012;
constexpr int IDC_RADIO_TWO_POINTS = 1020;
constexpr int IDC_RADIO_THREE_POINTS = 1021;
constexpr int IDC_RADIO_UNIT_UM = 1023; // then mm and cm, in the order of the unit kinds
constexpr int IDC_RADIO_UNIT_MM = 1024;
constexpr int IDC_RADIO_UNIT_CM = 1025;
constexpr int IDC_BTN_SAVE_CALIBRATION = 1026;
constexpr int IDC_BTN_LOAD_CALIBRATION = 1027;
constexpr int IDC_BTN_DELETE_CALIBRATION = 1120;

// The measurement page besides the start buttons.
constexpr int IDC_CHECK_SCALE = 1037;
constexpr int IDC_BTN_SAVE_CSV = 1041;
constexpr int IDC_BTN_DELETE_ROW = 1043;
constexpr int IDC_BTN_DELETE_ALL = 1044;
constexpr int IDC_BTN_UNDO = 1045;
constexpr int IDC_BTN_CANCEL_SHAPE = 1046;
constexpr int IDC_LIST_RESULTS = 1102;
constexpr int IDC_BTN_EDIT_TEXT = 1120; // the calibration page's delete button has the same number
constexpr int IDC_CHECK_EDGE_SNAP = 1171;
// Controls of our own on the measurement page.
constexpr int IDC_BTN_SAVE_REPORT = 1160;
constexpr int IDC_TABLE_SUMMARY = 1161;

struct TOOL_CONTROL_NAME {
    int nID;
    const char* pszObjectName;
};

inline constexpr TOOL_CONTROL_NAME kToolControlNames[] = {
    {IDC_TAB_MODE, "tabMode"},
    {IDC_CHECK_DISP_RESULT, "checkDispResult"},
    {IDC_CHECK_DISP_ZOOM, "checkDispZoom"},
    {IDC_STATIC_CALIB_NAME, "labelCalibName"},
    {IDC_STATIC_CALIB_VALUE, "labelCalibValue"},
    {IDC_LIST_CALIBRATION, "listCalibration"},
    {IDC_EDIT_CALIB_NAME, "editCalibName"},
    {IDC_RADIO_TWO_POINTS, "radioTwoPoints"},
    {IDC_RADIO_THREE_POINTS, "radioThreePoints"},
    {IDC_RADIO_UNIT_UM, "radioUnitUm"},
    {IDC_RADIO_UNIT_MM, "radioUnitMm"},
    {IDC_RADIO_UNIT_CM, "radioUnitCm"},
    {IDC_BTN_SET_CALIBRATION, "btnSetCalibration"},
    {IDC_BTN_LOAD_CALIBRATION, "btnLoadCalibration"},
    {IDC_BTN_SAVE_CALIBRATION, "btnSaveCalibration"},
    {MeasureKindButton(MEAS_LENGTH), "btnDistance"},
    {MeasureKindButton(MEAS_PARALLEL), "btnLineDistance"},
    {MeasureKindButton(MEAS_PERPENDICULAR), "btnPerpendicular"},
    {MeasureKindButton(MEAS_CIRCLE), "btnDiameter"},
    {MeasureKindButton(MEAS_ARC), "btnRadius"},
    {MeasureKindButton(MEAS_2CIRCLE), "btnCenterDistance"},
    {MeasureKindButton(MEAS_ANGLE), "btnAngle"},
    {MeasureKindButton(MEAS_2LINE_ANGLE), "btnLineAngle"},
    {MeasureKindButton(MEAS_POLYGON), "btnArea"},
    {MeasureKindButton(MEAS_COUNT), "btnCount"},
    {MeasureKindButton(MEAS_TEXT), "btnText"},
    {IDC_CHECK_SCALE, "checkScale"},
    {IDC_BTN_UNDO, "btnUndo"},
    {IDC_BTN_CANCEL_SHAPE, "btnCancel"},
    {IDC_BTN_EDIT_TEXT, "btnEditText"},
    {IDC_BTN_SAVE_CSV, "btnSaveCsv"},
    {IDC_BTN_DELETE_ROW, "btnDeleteRow"},
    {IDC_BTN_DELETE_ALL, "btnDeleteAll"},
    {IDC_LIST_RESULTS, "listResults"},
    {IDC_CHECK_EDGE_SNAP, "checkEdgeSnap"},
    {IDC_BTN_SAVE_REPORT, "btnSaveReport"},
    {IDC_TABLE_SUMMARY, "tableSummary"},
};
// The calibration page's delete button shares its number with text editing.
inline constexpr const char* kCalibrationDeleteName = "btnDeleteCalibration";

// The object name of control nID, or null.
inline const char* ToolControlName(int nID)
{
    for (const TOOL_CONTROL_NAME& c : kToolControlNames) {
        if (c.nID == nID) {
            return c.pszObjectName;
        }
    }
    return nullptr;
}
