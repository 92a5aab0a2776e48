// The main window's controls by their template numbers, and the form's
// object names behind them (the only place the two meet).
#pragma once

constexpr int IDOK_EXIT = 1;
constexpr int IDC_STATUS_BAR = 1000;
constexpr int IDC_STATIC_MESSAGE = 1001;
constexpr int IDC_COMBO_RATIO = 1003;
constexpr int IDC_FRAME_MESSAGE = 1006;
constexpr int IDC_PICTURE = 1007;
constexpr int IDC_BTN_SETTING = 1013;
constexpr int IDC_BTN_CAMERA_SETTING = 1014;
constexpr int IDC_BTN_LOAD_IMAGE = 1015;
constexpr int IDC_BTN_SAVE_IMAGE = 1016;
constexpr int IDC_BTN_SAVE_CONTINUE = 1017;
constexpr int IDC_BTN_ZOOM_OUT = 1020;
constexpr int IDC_BTN_SAVE_VIDEO = 1021;
constexpr int IDC_BTN_ZOOM_IN = 1022;
constexpr int IDC_BTN_ZOOM_FIT = 1023;
constexpr int IDC_BTN_CROSS_LINE = 1038;
constexpr int IDC_SCROLL_HORZ = 1109;
constexpr int IDC_SCROLL_VERT = 1110;
constexpr int IDC_BTN_CROSS_CANCEL = 1111;
constexpr int IDC_FRAME_PICTURE = 1113;
constexpr int IDC_BTN_DISP_IMAGE = 1128;

struct MAIN_CONTROL_NAME {
    int nID;
    const char* pszObjectName;
};

inline constexpr MAIN_CONTROL_NAME kMainControlNames[] = {
    {IDOK_EXIT, "btnExit"},
    {IDC_STATUS_BAR, "statusBar"},
    {IDC_STATIC_MESSAGE, "labelMessage"},
    {IDC_COMBO_RATIO, "comboRatio"},
    {IDC_FRAME_MESSAGE, "frameMessage"},
    {IDC_PICTURE, "pictureBox"},
    {IDC_BTN_SETTING, "btnSetting"},
    {IDC_BTN_CAMERA_SETTING, "btnCameraSetting"},
    {IDC_BTN_LOAD_IMAGE, "btnLoadImage"},
    {IDC_BTN_SAVE_IMAGE, "btnSaveImage"},
    {IDC_BTN_SAVE_CONTINUE, "btnSaveContinue"},
    {IDC_BTN_ZOOM_OUT, "btnZoomOut"},
    {IDC_BTN_SAVE_VIDEO, "btnSaveVideo"},
    {IDC_BTN_ZOOM_IN, "btnZoomIn"},
    {IDC_BTN_ZOOM_FIT, "btnZoomFit"},
    {IDC_BTN_CROSS_LINE, "btnCrossLine"},
    {IDC_SCROLL_HORZ, "scrollHorz"},
    {IDC_SCROLL_VERT, "scrollVert"},
    {IDC_BTN_CROSS_CANCEL, "btnCrossCancel"},
    {IDC_FRAME_PICTURE, "framePicture"},
    {IDC_BTN_DISP_IMAGE, "btnDispImage"},
};
