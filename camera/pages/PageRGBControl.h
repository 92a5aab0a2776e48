// The camera adjustment dialog's "RGB Control" page: colour processing with
// brightness, contrast, saturation and hue, gamma, colour correction, noise
// reduction, one-push white balance, RGB gains and offsets, Bayer conversion.
#pragma once

#include "camera/CameraCtrl.h"
#include "camera/pages/PageParamCtrl.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace Ui {
class CPageRGBControl;
}

class CPageRGBControl : public QWidget {
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

    void SetCameraCtrl(CCameraCtrl* pCameraCtrl) { m_pCameraCtrl = pCameraCtrl; }
    // Where a value the camera refused is reported (none: not reported).
    void SetStatusLine(IStatusLine* pStatus) { m_pStatusLine = pStatus; }

    // Until the dialog has translated its captions the page fills nothing
    // on being shown; from then on each showing reads the camera again.
    void SetActive(bool bActive) { m_bActive = bActive; }
    void InitControl();
    void EnableControls();
    void SetDefaultValues();

    void OnHScroll(int nIndex);
    void OnBnClickedEnableColorProcessing();
    void OnBnClickedEnableGamma();
    void OnBnClickedColorCorrection();
    void OnBnClickedEnableTnr();
    void OnBnClickedBtnWbOnePush();
    void OnBnClickedBayerMode();

    QWidget* GetDlgItem(int nID) const;

protected:
    void showEvent(QShowEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    bool IsOpen() const { return m_pCameraCtrl != nullptr && m_pCameraCtrl->IsOpen(); }
    const SLIDER_PARAM* Slider(int nIndex) const;
    void FillSliders(int nFirst, int nLast);
    void EnableAll(bool bEnable);

    bool m_bActive = false;
    std::unique_ptr<Ui::CPageRGBControl> m_pUi;
    CCameraCtrl* m_pCameraCtrl = nullptr;
    IStatusLine* m_pStatusLine = nullptr;
    std::vector<SLIDER_PARAM> m_Sliders; // parameters 9 to 12, 14, 17 to 22
};
