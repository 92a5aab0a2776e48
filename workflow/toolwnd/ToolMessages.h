// What the tool window and its pages share with the main window: the
// messages they post and the tool window's controls.
#pragma once

#include "app/MainWindowMessages.h"

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
