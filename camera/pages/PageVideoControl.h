// The camera adjustment dialog's "Video Control" page: exposure, exposure
// target, black level, gain, clock or frame rate, flips, colour or grey
// display and the resolution chosen for when the dialog closes.
#pragma once

#include "camera/pages/PageParamCtrl.h"

#include <memory>

namespace Ui {
class CPageVideoControl;
}

class CPageVideoControl : public CPageParamCtrl {
    Q_OBJECT
public:
    enum { IDD = 148 };
    static constexpr int IDC_SLIDER_BLACK_LEVEL = 1027;
    static constexpr int IDC_EDIT_BLACK_LEVEL = 1028;
    static constexpr int IDC_CHECK_AUTO_BLACK_LEVEL = 1029;
    static constexpr int IDC_SLIDER_EXPOSURE_ROUGH = 1030;
    static constexpr int IDC_SLIDER_EXPOSURE_FINE = 1031;
    static constexpr int IDC_EDIT_EXPOSURE_TIME = 1032;
    static constexpr int IDC_CHECK_AUTO_EXPOSURE = 1033;
    static constexpr int IDC_SLIDER_EXPOSURE_TARGET = 1034;
    static constexpr int IDC_EDIT_EXPOSURE_TARGET = 1035;
    static constexpr int IDC_SLIDER_GAIN = 1036;
    static constexpr int IDC_EDIT_GAIN = 1037;
    static constexpr int IDC_SLIDER_CLOCK = 1038;
    static constexpr int IDC_EDIT_CLOCK = 1039;
    static constexpr int IDC_STATIC_CLOCK_MIN = 1056;
    static constexpr int IDC_STATIC_CLOCK_MAX = 1057;
    static constexpr int IDC_STATIC_CLOCK_GROUP = 1105;
    static constexpr int IDC_STATIC_CLOCK_UNIT = 1106;
    static constexpr int IDC_CHECK_FLIP_VERTICAL = 1018;
    static constexpr int IDC_CHECK_FLIP_HORIZONTAL = 1017;
    static constexpr int IDC_RADIO_COLOR = 1112;
    static constexpr int IDC_RADIO_GRAYSCALE = 1113;
    static constexpr int IDC_COMBO_RESOLUTION = 1048;
    static constexpr int IDC_STATIC_CUR_RESOLUTION = 1049;

    static constexpr int EXPOSURE_ROUGH_UNIT = 4096;

    explicit CPageVideoControl(QWidget* pParent = nullptr);
    ~CPageVideoControl() override;

    // The dialog's resolution position, changed by the user's choice.
    void SetResolutionIndex(int* pnResolutionIdx) { m_pnResolutionIdx = pnResolutionIdx; }

    void InitControl() override;
    void EnableControls() override;
    void SetDefaultValues();

    void OnHScroll(int nID);
    void OnBnClickedAutoExposureTime();
    void OnBnClickedAutoBlackLevel();
    void OnBnClickedFlipVertical();
    void OnBnClickedFlipHorizontal();
    void OnBnClickedColorGrayscale();
    void OnCbnSelchangeComboResolution(int nSel);

    // The parameter index the clock slider drives: 4, or 5 on cameras without 4.
    int GetClockParamIndex() const { return m_nClockIndex; }

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    SLIDER_PARAM Slider(int nIndex) const;
    int ExposureValue() const;
    void ReadExposure();
    // The exposure sliders at the camera's value.
    void ShowCameraExposure();
    void FillClock();
    void FillResolution();

    std::unique_ptr<Ui::CPageVideoControl> m_pUi;
    int* m_pnResolutionIdx = nullptr;
    int m_nClockIndex = 4;
};
