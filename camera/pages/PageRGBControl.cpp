#include "camera/pages/PageRGBControl.h"

#include "ui_PageRGBControl.h"

#include <QApplication>

namespace {

constexpr int kColorProcessing = 8;
constexpr int kBrightness = 9;
constexpr int kHue = 12;
constexpr int kGammaOn = 13;
constexpr int kGamma = 14;
constexpr int kColorCorrection = 15;
constexpr int kNoiseReduction = 16;
constexpr int kRedGain = 17;
constexpr int kBlueOffset = 22;
constexpr int kBayer = 24;

using P = CPageRGBControl;

constexpr CPageParamCtrl::CONTROL_NAME kControls[] = {
    {P::IDC_CHECK_COLOR_PROCESSING, "IDC_CHECK_COLOR_PROCESSING"},
    {P::IDC_SLIDER_BRIGHTNESS, "IDC_SLIDER_BRIGHTNESS"},
    {P::IDC_EDIT_BRIGHTNESS, "IDC_EDIT_BRIGHTNESS"},
    {P::IDC_SLIDER_CONTRAST, "IDC_SLIDER_CONTRAST"},
    {P::IDC_EDIT_CONTRAST, "IDC_EDIT_CONTRAST"},
    {P::IDC_SLIDER_SATURATION, "IDC_SLIDER_SATURATION"},
    {P::IDC_EDIT_SATURATION, "IDC_EDIT_SATURATION"},
    {P::IDC_SLIDER_HUE, "IDC_SLIDER_HUE"},
    {P::IDC_EDIT_HUE, "IDC_EDIT_HUE"},
    {P::IDC_CHECK_GAMMA, "IDC_CHECK_GAMMA"},
    {P::IDC_SLIDER_GAMMA, "IDC_SLIDER_GAMMA"},
    {P::IDC_EDIT_GAMMA, "IDC_EDIT_GAMMA"},
    {P::IDC_CHECK_COLOR_CORRECTION, "IDC_CHECK_COLOR_CORRECTION"},
    {P::IDC_CHECK_TNR, "IDC_CHECK_TNR"},
    {P::IDC_BTN_WB_ONE_PUSH, "IDC_BTN_WB_ONE_PUSH"},
    {P::IDC_SLIDER_RED_GAIN, "IDC_SLIDER_RED_GAIN"},
    {P::IDC_EDIT_RED_GAIN, "IDC_EDIT_RED_GAIN"},
    {P::IDC_SLIDER_GREEN_GAIN, "IDC_SLIDER_GREEN_GAIN"},
    {P::IDC_EDIT_GREEN_GAIN, "IDC_EDIT_GREEN_GAIN"},
    {P::IDC_SLIDER_BLUE_GAIN, "IDC_SLIDER_BLUE_GAIN"},
    {P::IDC_EDIT_BLUE_GAIN, "IDC_EDIT_BLUE_GAIN"},
    {P::IDC_SLIDER_RED_OFFSET, "IDC_SLIDER_RED_OFFSET"},
    {P::IDC_EDIT_RED_OFFSET, "IDC_EDIT_RED_OFFSET"},
    {P::IDC_SLIDER_GREEN_OFFSET, "IDC_SLIDER_GREEN_OFFSET"},
    {P::IDC_EDIT_GREEN_OFFSET, "IDC_EDIT_GREEN_OFFSET"},
    {P::IDC_SLIDER_BLUE_OFFSET, "IDC_SLIDER_BLUE_OFFSET"},
    {P::IDC_EDIT_BLUE_OFFSET, "IDC_EDIT_BLUE_OFFSET"},
    {P::IDC_RADIO_BAYER_3X3, "IDC_RADIO_BAYER_3X3"},
    {P::IDC_RADIO_BAYER_5X5, "IDC_RADIO_BAYER_5X5"},
};

} // namespace

CPageRGBControl::CPageRGBControl(QWidget* pParent)
    : CPageParamCtrl(QStringLiteral("[PAGERGBCTRL]"), pParent), m_pUi(std::make_unique<Ui::CPageRGBControl>())
{
    m_pUi->setupUi(this);
    m_Sliders = {
        {9, m_pUi->IDC_SLIDER_BRIGHTNESS, m_pUi->IDC_EDIT_BRIGHTNESS},
        {10, m_pUi->IDC_SLIDER_CONTRAST, m_pUi->IDC_EDIT_CONTRAST},
        {11, m_pUi->IDC_SLIDER_SATURATION, m_pUi->IDC_EDIT_SATURATION},
        {12, m_pUi->IDC_SLIDER_HUE, m_pUi->IDC_EDIT_HUE},
        {14, m_pUi->IDC_SLIDER_GAMMA, m_pUi->IDC_EDIT_GAMMA},
        {17, m_pUi->IDC_SLIDER_RED_GAIN, m_pUi->IDC_EDIT_RED_GAIN},
        {18, m_pUi->IDC_SLIDER_GREEN_GAIN, m_pUi->IDC_EDIT_GREEN_GAIN},
        {19, m_pUi->IDC_SLIDER_BLUE_GAIN, m_pUi->IDC_EDIT_BLUE_GAIN},
        {20, m_pUi->IDC_SLIDER_RED_OFFSET, m_pUi->IDC_EDIT_RED_OFFSET},
        {21, m_pUi->IDC_SLIDER_GREEN_OFFSET, m_pUi->IDC_EDIT_GREEN_OFFSET},
        {22, m_pUi->IDC_SLIDER_BLUE_OFFSET, m_pUi->IDC_EDIT_BLUE_OFFSET},
    };
    for (const SLIDER_PARAM& s : m_Sliders) {
        const int nIndex = s.nIndex;
        connect(s.pSlider, &QSlider::valueChanged, this, [this, nIndex] { OnHScroll(nIndex); });
        new CSliderEditLink(s.pSlider, s.pEdit, this);
    }
    connect(m_pUi->IDC_CHECK_COLOR_PROCESSING, &QCheckBox::clicked, this, [this] { OnBnClickedEnableColorProcessing(); });
    connect(m_pUi->IDC_CHECK_GAMMA, &QCheckBox::clicked, this, [this] { OnBnClickedEnableGamma(); });
    connect(m_pUi->IDC_CHECK_COLOR_CORRECTION, &QCheckBox::clicked, this, [this] { OnBnClickedColorCorrection(); });
    connect(m_pUi->IDC_CHECK_TNR, &QCheckBox::clicked, this, [this] { OnBnClickedEnableTnr(); });
    connect(m_pUi->IDC_BTN_WB_ONE_PUSH, &QPushButton::clicked, this, [this] { OnBnClickedBtnWbOnePush(); });
    connect(m_pUi->IDC_RADIO_BAYER_3X3, &QRadioButton::clicked, this, [this] { OnBnClickedBayerMode(); });
    connect(m_pUi->IDC_RADIO_BAYER_5X5, &QRadioButton::clicked, this, [this] { OnBnClickedBayerMode(); });
}

CPageRGBControl::~CPageRGBControl() = default;

std::span<const CPageParamCtrl::CONTROL_NAME> CPageRGBControl::Controls() const
{
    return kControls;
}

const SLIDER_PARAM* CPageRGBControl::Slider(int nIndex) const
{
    for (const SLIDER_PARAM& s : m_Sliders) {
        if (s.nIndex == nIndex) {
            return &s;
        }
    }
    return nullptr;
}

void CPageRGBControl::FillSliders(int nFirst, int nLast)
{
    CAMERA_PARAM_INFO info{};
    for (const SLIDER_PARAM& s : m_Sliders) {
        if (s.nIndex >= nFirst && s.nIndex <= nLast) {
            FillSliderParam(*m_pCameraCtrl, s, info, LogTag());
        }
    }
}

void CPageRGBControl::InitControl()
{
    if (!EnableAllForCamera()) {
        return;
    }
    CCameraCtrl& cam = *m_pCameraCtrl;
    FillOnOffParam(cam, kColorProcessing, m_pUi->IDC_CHECK_COLOR_PROCESSING, LogTag());
    FillOnOffParam(cam, kGammaOn, m_pUi->IDC_CHECK_GAMMA, LogTag());
    FillOnOffParam(cam, kColorCorrection, m_pUi->IDC_CHECK_COLOR_CORRECTION, LogTag());
    FillOnOffParam(cam, kNoiseReduction, m_pUi->IDC_CHECK_TNR, LogTag());
    FillSliders(kBrightness, kBlueOffset);

    Log("InitControl()");
    BOOL bAutoWb = FALSE, bOnePush = FALSE;
    m_pUi->IDC_BTN_WB_ONE_PUSH->setEnabled(cam.GetEnableWhiteBalance(bAutoWb, bOnePush) && bOnePush);

    Log("InitControl()");
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    const bool bBayer = cam.GetCameraParam(kBayer, bEnable, info) && bEnable;
    m_pUi->IDC_RADIO_BAYER_3X3->setEnabled(bBayer);
    m_pUi->IDC_RADIO_BAYER_5X5->setEnabled(bBayer);
    if (bBayer) {
        SetCheckQuiet(info.nValue == 1 ? m_pUi->IDC_RADIO_BAYER_5X5 : m_pUi->IDC_RADIO_BAYER_3X3, true);
    }
}

void CPageRGBControl::EnableControls()
{
    const bool bOpen = IsOpen();
    // A camera without the switch (a UVC camera) always processes colour and
    // applies its gamma: its sliders then follow only their own parameters.
    // (Disabled here means the camera lacks it, not that the window is off.)
    const auto isOn = [this](const QAbstractButton* pSwitch) {
        return !pSwitch->isEnabledTo(this) || pSwitch->isChecked();
    };
    const bool bColour = bOpen && isOn(m_pUi->IDC_CHECK_COLOR_PROCESSING);
    for (int nIndex = kBrightness; nIndex <= kHue; ++nIndex) {
        // A parameter the camera lacks stays off whatever the check says.
        const SLIDER_PARAM* s = Slider(nIndex);
        s->pSlider->setEnabled(bColour && s->pEdit->isEnabledTo(this) && HasRange(s->pSlider));
    }
    const SLIDER_PARAM* g = Slider(kGamma);
    g->pSlider->setEnabled(bOpen && isOn(m_pUi->IDC_CHECK_GAMMA) && g->pEdit->isEnabledTo(this) &&
                           HasRange(g->pSlider));
}

void CPageRGBControl::OnHScroll(int nIndex)
{
    if (IsOpen()) {
        if (const SLIDER_PARAM* s = Slider(nIndex)) {
            WriteSliderParam(*m_pCameraCtrl, *s, m_pStatusLine);
        }
    }
}

void CPageRGBControl::OnBnClickedEnableColorProcessing()
{
    Log("OnBnClickedEnableColorProcessing()");
    if (IsOpen()) {
        if (!m_pCameraCtrl->SetCameraParam(kColorProcessing, BOOL(m_pUi->IDC_CHECK_COLOR_PROCESSING->isChecked()))) {
            Log("m_pCameraCtrl->SetCameraParam() is Error!");
        }
        // The camera may have moved them while processing was off.
        FillSliders(kBrightness, kHue);
    }
    EnableControls();
}

void CPageRGBControl::OnBnClickedEnableGamma()
{
    Log("OnBnClickedEnableGamma()");
    if (IsOpen() && !m_pCameraCtrl->SetCameraParam(kGammaOn, BOOL(m_pUi->IDC_CHECK_GAMMA->isChecked()))) {
        Log("m_pCameraCtrl->SetCameraParam() is Error!");
    }
    EnableControls();
}

void CPageRGBControl::OnBnClickedColorCorrection()
{
    Log("OnBnClickedColorCorrection()");
    if (IsOpen()) {
        m_pCameraCtrl->SetCameraParam(kColorCorrection, BOOL(m_pUi->IDC_CHECK_COLOR_CORRECTION->isChecked()));
    }
}

void CPageRGBControl::OnBnClickedEnableTnr()
{
    Log("OnBnClickedEnableTnr()");
    if (IsOpen()) {
        m_pCameraCtrl->SetCameraParam(kNoiseReduction, BOOL(m_pUi->IDC_CHECK_TNR->isChecked()));
    }
}

void CPageRGBControl::OnBnClickedBtnWbOnePush()
{
    Log("OnBnClickedBtnWbOnePush()");
    if (!IsOpen()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_pCameraCtrl->SetWhiteBalance();
    QApplication::restoreOverrideCursor();
    // Whatever the camera settled on (or reached within its time) is shown.
    for (int nIndex = kRedGain; nIndex <= kBlueOffset; ++nIndex) {
        Log("GetParamFromCamera()");
        int32_t nValue = 0;
        const SLIDER_PARAM* s = Slider(nIndex);
        if (m_pCameraCtrl->GetCameraParam(nIndex, nValue)) {
            SetSliderPosQuiet(s->pSlider, nValue);
            s->pEdit->setText(QString::number(nValue));
        }
    }
}

void CPageRGBControl::OnBnClickedBayerMode()
{
    Log("OnBnClickedBayerMode()");
    if (IsOpen()) {
        m_pCameraCtrl->SetCameraParam(kBayer, m_pUi->IDC_RADIO_BAYER_5X5->isChecked() ? 1 : 0, FALSE);
    }
}

void CPageRGBControl::SetDefaultValues()
{
    Log("SetDefaultValues()");
    if (!IsOpen()) {
        return;
    }
    CCameraCtrl& cam = *m_pCameraCtrl;
    for (const SLIDER_PARAM& s : m_Sliders) {
        SetSliderDefault(cam, s, nullptr, LogTag());
    }
    SetOnOffDefault(cam, kColorProcessing, m_pUi->IDC_CHECK_COLOR_PROCESSING, LogTag());
    SetOnOffDefault(cam, kGammaOn, m_pUi->IDC_CHECK_GAMMA, LogTag());
    SetOnOffDefault(cam, kColorCorrection, m_pUi->IDC_CHECK_COLOR_CORRECTION, LogTag());
    SetOnOffDefault(cam, kNoiseReduction, m_pUi->IDC_CHECK_TNR, LogTag());
    EnableControls();
}
