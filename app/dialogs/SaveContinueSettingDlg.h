// The continuous-save settings: how a series is saved (at an interval or at
// each click), its interval and count, and where it goes.
#pragma once

#include "app/SystemSetting.h"
#include "app/dialogs/ParamDialog.h"

#include <memory>

namespace Ui {
class CSaveContinueSettingDlg;
}

class CSaveContinueSettingDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 274 };
    static constexpr int IDC_RADIO_SAVE_CONTINUE_TIME = 1059;
    static constexpr int IDC_RADIO_SAVE_CONTINUE_CLICK = 1060;
    static constexpr int IDC_STATIC_SAVE_CONTINUE_MODE = 1123;
    static constexpr int IDC_RADIO_INTERVAL_FIXED = 1028;
    static constexpr int IDC_RADIO_INTERVAL_ASK = 1029;
    static constexpr int IDC_EDIT_INTERVAL_MIN = 1063;
    static constexpr int IDC_SPIN_INTERVAL_MIN = 1094;
    static constexpr int IDC_STATIC_INTERVAL = 1124;
    static constexpr int IDC_STATIC_MIN_UNIT = 1128;
    static constexpr int IDC_EDIT_INTERVAL_SEC = 1064;
    static constexpr int IDC_SPIN_INTERVAL_SEC = 1095;
    static constexpr int IDC_STATIC_SEC_UNIT = 1129;
    static constexpr int IDC_STATIC_INTERVAL_NOTE = 1150;
    static constexpr int IDC_EDIT_INTERVAL_CNT = 1065;
    static constexpr int IDC_SPIN_INTERVAL_CNT = 1096;
    static constexpr int IDC_STATIC_COUNT = 1130;
    static constexpr int IDC_STATIC_COUNT_UNIT = 1131;
    static constexpr int IDC_STATIC_COUNT_NOTE = 1151;
    static constexpr int IDC_RADIO_FOLDER_FIXED = 1023;
    static constexpr int IDC_RADIO_FOLDER_ASK = 1024;
    static constexpr int IDC_STATIC_SAVE_FOLDER_GROUP = 1132;
    static constexpr int IDC_EDIT_SAVE_FOLDER = 1025;
    static constexpr int IDC_STATIC_FOLDER = 1133;
    static constexpr int IDC_BTN_SEL_SAVE_FOLDER = 1010;
    static constexpr int IDC_RADIO_SUBFOLDER_NONE = 1101;
    static constexpr int IDC_RADIO_SUBFOLDER_NUMBER = 1102;
    static constexpr int IDC_RADIO_SUBFOLDER_DATETIME = 1103;
    static constexpr int IDC_STATIC_SUBFOLDER = 1159;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    explicit CSaveContinueSettingDlg(QWidget* pParent = nullptr);
    ~CSaveContinueSettingDlg() override;

    // The block edited. It is written only when "閉じる" finds every value
    // valid; any other way out leaves it as it was. Must be set before the
    // dialog is shown.
    void SetSaveContinueSetting(SAVE_CONTINUE_SETTING* pSetting) { m_pSaveContinueSetting = pSetting; }

    BOOL OnInitDialog() override;
    void OnBnClickedBtnSelSaveFolder();
    // "閉じる": checks the values, writes them into the block and closes.
    void OnOK();

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    void SetControls(const SAVE_CONTINUE_SETTING& s);
    SAVE_CONTINUE_SETTING ReadControls() const;
    void ApplyEnabling();

    std::unique_ptr<Ui::CSaveContinueSettingDlg> m_pUi;
    SAVE_CONTINUE_SETTING* m_pSaveContinueSetting = nullptr;
};
