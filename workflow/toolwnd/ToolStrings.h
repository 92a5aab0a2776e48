// The translator's string numbers of the tool window, its two lists and the
// results export, named once.
#pragma once

#include "app/AppStrings.h"
#include "platform/WinTypes.h"

constexpr UINT IDS_TOOL_TITLE = 147;             // 計測機能
constexpr UINT IDS_SCALE_CAPTION = 176;          // スケール
constexpr UINT IDS_TAB_CALIBRATION = 230;
constexpr UINT IDS_TAB_MEASUREMENT = 231;
constexpr UINT IDS_CALIBRATION_NAME_LABEL = 232; // 校正値名称 ：
constexpr UINT IDS_TIP_SCALE_SHOW = 273;
constexpr UINT IDS_TIP_SCALE_HIDE = 274;
constexpr UINT IDS_CALIBRATION_INVALID = 584;

// Units of the calibration, in the order of its unit kinds.

// Headings of the lists and the export.
constexpr UINT IDS_HEAD_NO = 212;
constexpr UINT IDS_HEAD_CALIBRATION_NAME = 213;
constexpr UINT IDS_HEAD_CALIBRATION_SET = 214;
constexpr UINT IDS_CALIBRATION_SET_MARK = 215;   // ○
constexpr UINT IDS_HEAD_CONTENT = 216;
constexpr UINT IDS_HEAD_VALUE = 217;
constexpr UINT IDS_HEAD_UNIT = 218;

// Edge snap's check box: built-in texts, translated by their Japanese.
inline constexpr const char* kEdgeSnapCaption = "エッジに吸着";
inline constexpr const char* kEdgeSnapTip = "クリック点を近くのエッジや細線に合わせます（Superキーを押しながらクリックするとポインタの位置）";
