// The messages the tool window and its pages post to the main window.
#pragma once

#include "platform/WinTypes.h"

constexpr UINT WM_END_CALIBRATION_TAB = WM_USER + 0x02;
constexpr UINT WM_DISP_MEASURE_SHAPE = WM_USER + 0x03;
constexpr UINT WM_DISP_ZOOM_WINDOW = WM_USER + 0x04;
constexpr UINT WM_MOVE_MEAS_MODE_DLG = WM_USER + 0x06;
constexpr UINT WM_SELECT_CALIBRATION_LIST = WM_USER + 0x10;
constexpr UINT WM_START_SET_CALIBRATION = WM_USER + 0x11;
constexpr UINT WM_CANCEL_SET_CALIBRATION = WM_USER + 0x13;
constexpr UINT WM_LOAD_CALIBRATION_DATA = WM_USER + 0x14;
constexpr UINT WM_SAVE_CALIBRATION_DATA = WM_USER + 0x15;
constexpr UINT WM_CHANGE_CALIBRATION = WM_USER + 0x16;
constexpr UINT WM_START_MAKE_LINE = WM_USER + 0x22;
constexpr UINT WM_START_MAKE_PERPENDICULAR = WM_USER + 0x23;
constexpr UINT WM_START_MAKE_CIRCLE = WM_USER + 0x24;
constexpr UINT WM_START_MAKE_2CIRCLE_LINE = WM_USER + 0x25;
constexpr UINT WM_START_MAKE_ANGLE = WM_USER + 0x26;
constexpr UINT WM_START_MAKE_POLYGON = WM_USER + 0x27;
constexpr UINT WM_START_MAKE_POINT_COUNT = WM_USER + 0x28;
constexpr UINT WM_START_MAKE_TEXT = WM_USER + 0x2a;
constexpr UINT WM_CANCEL_MAKE_SHAPE = WM_USER + 0x2b;
constexpr UINT WM_UNDO_SET_POINT = WM_USER + 0x2e;
constexpr UINT WM_SAVE_MEASURE_DATA = WM_USER + 0x40;
constexpr UINT WM_DELETE_SEL_MEASURE_DATA = WM_USER + 0x41;
constexpr UINT WM_DELETE_ALL_MEASURE_DATA = WM_USER + 0x42;
constexpr UINT WM_EDIT_TEXT = WM_USER + 0x46;
constexpr UINT WM_RECALC_MEAS_RESULT = WM_USER + 0x47;
constexpr UINT WM_UPDATE_MEAS_RESULT_LIST = WM_USER + 0x48;

// The kind being made when none is.
constexpr int MEAS_KIND_NONE = -1;
constexpr int MEAS_KIND_TEXT = 10;

// The tool window's controls by their template numbers and their object names.
struct TOOL_CONTROL_NAME {
    int nID;
    const char* pszObjectName;
};

inline constexpr TOOL_CONTROL_NAME kToolControlNames[] = {
    {1000, "tabMode"},         {1004, "checkDispResult"},  {1143, "checkDispZoom"},
    {1139, "labelCalibName"},  {1146, "labelCalibValue"},  {1010, "listCalibration"},
    {1009, "editCalibName"},   {1020, "radioTwoPoints"},   {1021, "radioThreePoints"},
    {1023, "radioUnitUm"},     {1024, "radioUnitMm"},      {1025, "radioUnitCm"},
    {1012, "btnSetCalibration"}, {1027, "btnLoadCalibration"}, {1026, "btnSaveCalibration"},
    {1030, "btnDistance"},     {1039, "btnLineDistance"},  {1034, "btnPerpendicular"},
    {1032, "btnDiameter"},     {1042, "btnRadius"},        {1033, "btnCenterDistance"},
    {1031, "btnAngle"},        {1047, "btnLineAngle"},     {1035, "btnArea"},
    {1036, "btnCount"},        {1040, "btnText"},          {1037, "checkScale"},
    {1045, "btnUndo"},         {1046, "btnCancel"},        {1120, "btnEditText"},
    {1041, "btnSaveCsv"},      {1043, "btnDeleteRow"},     {1044, "btnDeleteAll"},
    {1102, "listResults"},
};
// 1120 is "削除" on the calibration page and "文字列編集" on the measurement page.
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
