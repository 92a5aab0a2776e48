#include "camera/pages/PageRGBControl.h"

#include "camera/pages/CameraParamIndex.h"
#include "ui_PageRGBControl.h"

#include <QApplication>

namespace {

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
        {CPI_BRIGHTNESS, m_pUi->IDC_SLIDER_BRIGHTNESS, m_pUi->IDC_EDIT_BRIGHTNESS},
        {CPI_CONTRAST, m_pUi->IDC_SLIDER_CONTRAST, m_pUi->IDC_EDIT_CONTRAST},
        {CPI_SATURATION, m_pUi->IDC_SLIDER_SATURATION, m_pUi->IDC_EDIT_SATURATION},
        {CPI_HUE, m_pUi->IDC_SLIDER_HUE, m_pUi->IDC_EDIT_HUE},
        {CPI_GAMMA, m_pUi->IDC_SLIDER_GAMMA, m_pUi->IDC_EDIT_GAMMA},
        {CPI_RED_GAIN, m_pUi->IDC_SLIDER_RED_GAIN, m_pUi->IDC_EDIT_RED_GAIN},
        {CPI_GREEN_GAIN, m_pUi->IDC_SLIDER_GREEN_GAIN, m_pUi->IDC_EDIT_GREEN_GAIN},
        {CPI_BLUE_GAIN, m_pUi->IDC_SLIDER_BLUE_GAIN, m_pUi->IDC_EDIT_BLUE_GAIN},
        {CPI_RED_OFFSET, m_pUi->IDC_SLIDER_RED_OFFSET, m_pUi->IDC_EDIT_RED_OFFSET},
        {CPI_GREEN_OFFSET, m_pUi->IDC_SLIDER_GREEN_OFFSET, m_pUi->IDC_EDIT_GREEN_OFFSET},
        {CPI_BLUE_OFFSET, m_pUi->IDC_SLIDER_BLUE_OFFSET, m_pUi->IDC_EDIT_BLUE_OFFSET},
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
    FillOnOffParam(cam, CPI_COLOR_PROCESSING, m_pUi->IDC_CHECK_COLOR_PROCESSING, LogTag());
    FillOnOffParam(cam, CPI_GAMMA_ON, m_pUi->IDC_CHECK_GAMMA, LogTag());
    FillOnOffParam(cam, CPI_COLOR_CORRECTION, m_pUi->IDC_CHECK_COLOR_CORRECTION, LogTag());
    FillOnOffParam(cam, CPI_NOISE_REDUCTION, m_pUi->IDC_CHECK_TNR, LogTag());
    FillSliders(CPI_BRIGHTNESS, CPI_BLUE_OFFSET);

    Log("InitControl()");
    BOOL bAutoWb = FALSE, bOnePush = FALSE;
    m_pUi->IDC_BTN_WB_ONE_PUSH->setEnabled(cam.GetEnableWhiteBalance(bAutoWb, bOnePush) && bOnePush);

    Log("InitControl()");
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    const bool bBayer = cam.GetCameraParam(CPI_BAYER, bEnable, info) && bEnable;
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
    for (int nIndex = CPI_BRIGHTNESS; nIndex <= CPI_HUE; ++nIndex) {
        // A parameter the camera lacks stays off whatever the check says.
        const SLIDER_PARAM* s = Slider(nIndex);
        s->pSlider->setEnabled(bColour && s->pEdit->isEnabledTo(this) && HasRange(s->pSlider));
    }
    const SLIDER_PARAM* g = Slider(CPI_GAMMA);
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
    const bool bTaken = WriteCheckParam("OnBnClickedEnableColorProcessing()", CPI_COLOR_PROCESSING,
                                        m_pUi->IDC_CHECK_COLOR_PROCESSING);
    if (!bTaken && IsOpen()) {
        Log("m_pCameraCtrl->SetCameraParam() is Error!");
    }
    if (IsOpen()) {
        // The camera may have moved them while processing was off.
        FillSliders(CPI_BRIGHTNESS, CPI_HUE);
    }
    EnableControls();
}

void CPageRGBControl::OnBnClickedEnableGamma()
{
    if (!WriteCheckParam("OnBnClickedEnableGamma()", CPI_GAMMA_ON, m_pUi->IDC_CHECK_GAMMA) && IsOpen()) {
        Log("m_pCameraCtrl->SetCameraParam() is Error!");
    }
    EnableControls();
}

void CPageRGBControl::OnBnClickedColorCorrection()
{
    WriteCheckParam("OnBnClickedColorCorrection()", CPI_COLOR_CORRECTION, m_pUi->IDC_CHECK_COLOR_CORRECTION);
}

void CPageRGBControl::OnBnClickedEnableTnr()
{
    WriteCheckParam("OnBnClickedEnableTnr()", CPI_NOISE_REDUCTION, m_pUi->IDC_CHECK_TNR);
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
    for (int nIndex = CPI_RED_GAIN; nIndex <= CPI_BLUE_OFFSET; ++nIndex) {
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
        m_pCameraCtrl->SetCameraParam(CPI_BAYER, m_pUi->IDC_RADIO_BAYER_5X5->isChecked() ? 1 : 0, FALSE);
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
    SetOnOffDefault(cam, CPI_COLOR_PROCESSING, m_pUi->IDC_CHECK_COLOR_PROCESSING, LogTag());
    SetOnOffDefault(cam, CPI_GAMMA_ON, m_pUi->IDC_CHECK_GAMMA, LogTag());
    SetOnOffDefault(cam, CPI_COLOR_CORRECTION, m_pUi->IDC_CHECK_COLOR_CORRECTION, LogTag());
    SetOnOffDefault(cam, CPI_NOISE_REDUCTION, m_pUi->IDC_CHECK_TNR, LogTag());
    EnableControls();
}
