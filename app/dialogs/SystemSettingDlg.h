// The settings window: language, window memory, fonts, image saving,
// continuous saving, cross lines, camera choice, drawing colours and widths,
// the scale bar, decimals and count numbering. It edits its own copy of the
// settings, read from the file when it opens and written back on 確定; the
// opener then reads the file and applies what changed. The controls are
// spread over four tabs, each filled and read in its own file:
//   SystemSettingGeneralTab.cpp   language, window, caption font, saving, camera
//   SystemSettingCrossLineTab.cpp cross lines
//   SystemSettingDrawTab.cpp      measurement drawing, font, decimals, count
//   SystemSettingScaleTab.cpp     scale bar
#pragma once

#include "app/SystemSetting.h"
#include "app/dialogs/ParamDialog.h"
#include "platform/MessageSink.h"

#include <QStringList>

#include <memory>

namespace Ui {
class CSystemSettingDlg;
}
class QAbstractButton;
class QLineEdit;

class CSystemSettingDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 150 };
    static constexpr int IDC_RADIO_JAPANESE = 1088;
    static constexpr int IDC_RADIO_ENGLISH = 1089;
    static constexpr int IDC_CHECK_REGIST_WINDOW_POS = 1066;
    static constexpr int IDC_EDIT_CAPTION_FONT_NAME = 1099;
    static constexpr int IDC_EDIT_CAPTION_FONT_PT = 1100;
    static constexpr int IDC_BTN_SEL_CAPTION_FONT = 1012;
    static constexpr int IDC_SLIDER_JPEG_QUALITY = 1058;
    static constexpr int IDC_EDIT_JPEG_QUALITY = 1009;
    static constexpr int IDC_STATIC_JPEG_QUALITY = 1136;
    static constexpr int IDC_RADIO_BMP = 1067;
    static constexpr int IDC_RADIO_JPEG = 1069;
    static constexpr int IDC_STATIC_FILE_FORMAT = 1135;
    static constexpr int IDC_CHECK_SAVE_HOLE_IMAGE = 1062;
    static constexpr int IDC_BTN_SAVE_CONTINUE_SETTING = 1044;
    static constexpr int IDC_RADIO_CROSS_LINE_MAKE = 1118;
    static constexpr int IDC_RADIO_CROSS_LINE_TOGGLE = 1119;
    static constexpr int IDC_BTN_CROSS_COLOR = 1075;
    static constexpr int IDC_EDIT_CROSS_LINE_WIDTH = 1086;
    static constexpr int IDC_SPIN_CROSS_LINE_WIDTH = 1087;
    static constexpr int IDC_CHECK_CROSS_LINE_SEPARATE = 1108;
    static constexpr int IDC_EDIT_VERT_LINE_NUM = 1090;
    static constexpr int IDC_SPIN_VERT_LINE_NUM = 1097;
    static constexpr int IDC_STATIC_VERT_LINE_NUM = 1116;
    static constexpr int IDC_EDIT_HORZ_LINE_NUM = 1091;
    static constexpr int IDC_SPIN_HORZ_LINE_NUM = 1098;
    static constexpr int IDC_STATIC_HORZ_LINE_NUM = 1117;
    static constexpr int IDC_BTN_CLEAR_CROSS_LINE = 1120;
    static constexpr int IDC_COMBO_CONNECT_CAMERA = 1140;
    static constexpr int IDC_STATIC_CONNECT_CAMERA = 1157;
    static constexpr int IDC_STATIC_CAMERA_GROUP = 1158;
    static constexpr int IDC_EDIT_LINE_WIDTH = 1068;
    static constexpr int IDC_SPIN_LINE_WIDTH = 1070;
    static constexpr int IDC_BTN_MAKE_RGN_COLOR = 1077;
    static constexpr int IDC_BTN_SEL_RGN_COLOR = 1072;
    static constexpr int IDC_BTN_RGN_COLOR = 1071;
    static constexpr int IDC_BTN_SCALE_COLOR = 1076;
    static constexpr int IDC_BTN_SEL_MEAS_STR_COLOR = 1073;
    static constexpr int IDC_BTN_MEAS_STR_COLOR = 1074;
    static constexpr int IDC_CHECK_AUTO_RESIZE = 1104;
    static constexpr int IDC_EDIT_MEAS_FONT_NAME = 1082;
    static constexpr int IDC_EDIT_MEAS_FONT_PT = 1083;
    static constexpr int IDC_BTN_SEL_MEAS_FONT = 1011;
    static constexpr int IDC_RADIO_SCALE_FIXED = 1079;
    static constexpr int IDC_RADIO_SCALE_ASK = 1081;
    static constexpr int IDC_COMBO_SCALE_POS = 1078;
    static constexpr int IDC_STATIC_SCALE_POS = 1152;
    static constexpr int IDC_EDIT_SCALE_X = 1080;
    static constexpr int IDC_EDIT_SCALE_Y = 1127;
    static constexpr int IDC_STATIC_SCALE_LENGTH = 1153;
    static constexpr int IDC_STATIC_SCALE_X = 1154;
    static constexpr int IDC_STATIC_SCALE_Y = 1155;
    static constexpr int IDC_STATIC_SCALE_X_UNIT = 1137;
    static constexpr int IDC_STATIC_SCALE_Y_UNIT = 1138;
    static constexpr int IDC_EDIT_DOWN_PLACE = 1084;
    static constexpr int IDC_SPIN_DOWN_PLACE = 1085;
    static constexpr int IDC_RADIO_COUNT_SERIAL = 1092;
    static constexpr int IDC_RADIO_COUNT_ID = 1093;
    static constexpr int IDC_BTN_DEFAULT = 1041;
    static constexpr int IDC_BTN_LOG_COPY = 1043;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    explicit CSystemSettingDlg(QWidget* pParent = nullptr);
    ~CSystemSettingDlg() override;

    // Set by the opener before the dialog runs.
    void SetCameraConnected(BOOL bConnected) { m_bCameraConnected = bConnected; }
    void SetCameraNames(const QStringList& names) { m_CameraNames = names; }
    // Where "十字線削除" posts WM_DELETE_CROSS_LINE.
    void SetMainWnd(IMessageSink* pMainWnd) { m_pMainWnd = pMainWnd; }

    const SYSTEM_SETTING& GetSystemSetting() const { return m_SystemSetting; }

    BOOL OnInitDialog() override;
    // Record to controls, and controls to record.
    void DispSystemSetting();
    void SetSystemSettingToBuf();
    void ApplyEnabling();

    void OnBnClickedOk();
    void OnBnClickedButtonDefault();
    void OnBnClickedBtnLogCopy();
    void OnBnClickedButtonClearCrossline();
    void OnBnClickedSaveContinueSetting();
    void OnBnClickedSelFont(bool bCaption);
    void OnBnClickedColor(int nID);

    // Names listed more than once get "(n)" after them: name(1), name(2), ...
    static QStringList DistinctCameraNames(const QStringList& names);
    // The retention choices of the log copy, in days.
    static constexpr int kSaveLogDays[3] = {30, 60, 90};

protected:
    std::span<const CONTROL_NAME> Controls() const override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    // SystemSettingGeneralTab.cpp
    void ConnectGeneralTab();
    void DispGeneralTab();
    void ReadGeneralTab();
    void FillCameraList();
    // SystemSettingCrossLineTab.cpp
    void ConnectCrossLineTab();
    void DispCrossLineTab();
    void ReadCrossLineTab();
    void ApplyCrossLineEnabling();
    // SystemSettingDrawTab.cpp
    void ConnectDrawTab();
    void DispDrawTab();
    void ReadDrawTab();
    COLORREF* SwatchColor(int nID);
    void PaintSwatches();
    // SystemSettingScaleTab.cpp
    void ConnectScaleTab();
    void DispScaleTab();
    void ReadScaleTab();
    void ApplyScaleEnabling();

    // A number field with its arrows, corrected into nLower..nUpper while typed.
    void SetupNumber(QLineEdit* pEdit, QWidget* pSpin, int nLower, int nUpper, int nBelow, int nAbove);
    QAbstractButton* Button(int nID) const;

    std::unique_ptr<Ui::CSystemSettingDlg> m_pUi;
    BOOL m_bCameraConnected = FALSE;
    QStringList m_CameraNames;
    IMessageSink* m_pMainWnd = nullptr;
    SYSTEM_SETTING m_SystemSetting;
};
