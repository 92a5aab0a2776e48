// The camera adjustment dialog's "RGB Control" page: colour processing with
// brightness, contrast, saturation and hue, gamma, colour correction, noise
// reduction, one-push white balance, RGB gains and offsets, Bayer conversion.
#pragma once

#include "camera/pages/PageParamCtrl.h"

#include <memory>
#include <vector>

namespace Ui {
class CPageRGBControl;
}

class CPageRGBControl : public CPageParamCtrl {
    Q_OBJECT
public:
    enum { IDD = 149 };
    static constexpr int IDC_CHECK_COLOR_PROCESSING = 1056;
    static constexpr int IDC_SLIDER_BRIGHTNESS = 1015;
    static constexpr int IDC_EDIT_BRIGHTNESS = 1016;
    static constexpr int IDC_SLIDER_CONTRAST = 1019;
    static constexpr int IDC_EDIT_CONTRAST = 1020;
    static constexpr int IDC_SLIDER_SATURATION = 1043;
    static constexpr int IDC_EDIT_SATURATION = 1044;
    static constexpr int IDC_SLIDER_HUE = 1045;
    static constexpr int IDC_EDIT_HUE = 1046;
    static constexpr int IDC_CHECK_GAMMA = 1057;
    static constexpr int IDC_SLIDER_GAMMA = 1021;
    static constexpr int IDC_EDIT_GAMMA = 1022;
    static constexpr int IDC_CHECK_COLOR_CORRECTION = 1058;
    static constexpr int IDC_CHECK_TNR = 1059;
    static constexpr int IDC_BTN_WB_ONE_PUSH = 1041;
    static constexpr int IDC_SLIDER_RED_GAIN = 1023;
    static constexpr int IDC_EDIT_RED_GAIN = 1026;
    static constexpr int IDC_SLIDER_GREEN_GAIN = 1024;
    static constexpr int IDC_EDIT_GREEN_GAIN = 1040;
    static constexpr int IDC_SLIDER_BLUE_GAIN = 1025;
    static constexpr int IDC_EDIT_BLUE_GAIN = 1055;
    static constexpr int IDC_SLIDER_RED_OFFSET = 1047;
    static constexpr int IDC_EDIT_RED_OFFSET = 1052;
    static constexpr int IDC_SLIDER_GREEN_OFFSET = 1050;
    static constexpr int IDC_EDIT_GREEN_OFFSET = 1053;
    static constexpr int IDC_SLIDER_BLUE_OFFSET = 1051;
    static constexpr int IDC_EDIT_BLUE_OFFSET = 1054;
    static constexpr int IDC_RADIO_BAYER_3X3 = 1107;
    static constexpr int IDC_RADIO_BAYER_5X5 = 1108;

    explicit CPageRGBControl(QWidget* pParent = nullptr);
    ~CPageRGBControl() override;


    void InitControl() override;
    void EnableControls() override;
    void SetDefaultValues();

    void OnHScroll(int nIndex);
    void OnBnClickedEnableColorProcessing();
    void OnBnClickedEnableGamma();
    void OnBnClickedColorCorrection();
    void OnBnClickedEnableTnr();
    void OnBnClickedBtnWbOnePush();
    void OnBnClickedBayerMode();


protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    const SLIDER_PARAM* Slider(int nIndex) const;
    void FillSliders(int nFirst, int nLast);

    std::unique_ptr<Ui::CPageRGBControl> m_pUi;
    std::vector<SLIDER_PARAM> m_Sliders; // parameters 9 to 12, 14, 17 to 22
};
