#include "camera/pages/PageRGBControl.h"

#include "app/LogFile.h"
#include "ui_PageRGBControl.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

const QString kTag = QStringLiteral("[PAGERGBCTRL]");

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

void Log(const char* pszName)
{
    WriteLog(kTag + QLatin1String(pszName));
}

} // namespace

CPageRGBControl::CPageRGBControl(QWidget* pParent) : QWidget(pParent), m_pUi(std::make_unique<Ui::CPageRGBControl>())
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

QWidget* CPageRGBControl::GetDlgItem(int nID) const
{
    switch (nID) {
    case IDC_CHECK_COLOR_PROCESSING: return m_pUi->IDC_CHECK_COLOR_PROCESSING;
    case IDC_SLIDER_BRIGHTNESS: return m_pUi->IDC_SLIDER_BRIGHTNESS;
    case IDC_EDIT_BRIGHTNESS: return m_pUi->IDC_EDIT_BRIGHTNESS;
    case IDC_SLIDER_CONTRAST: return m_pUi->IDC_SLIDER_CONTRAST;
    case IDC_EDIT_CONTRAST: return m_pUi->IDC_EDIT_CONTRAST;
    case IDC_SLIDER_SATURATION: return m_pUi->IDC_SLIDER_SATURATION;
    case IDC_EDIT_SATURATION: return m_pUi->IDC_EDIT_SATURATION;
    case IDC_SLIDER_HUE: return m_pUi->IDC_SLIDER_HUE;
    case IDC_EDIT_HUE: return m_pUi->IDC_EDIT_HUE;
    case IDC_CHECK_GAMMA: return m_pUi->IDC_CHECK_GAMMA;
    case IDC_SLIDER_GAMMA: return m_pUi->IDC_SLIDER_GAMMA;
    case IDC_EDIT_GAMMA: return m_pUi->IDC_EDIT_GAMMA;
    case IDC_CHECK_COLOR_CORRECTION: return m_pUi->IDC_CHECK_COLOR_CORRECTION;
    case IDC_CHECK_TNR: return m_pUi->IDC_CHECK_TNR;
    case IDC_BTN_WB_ONE_PUSH: return m_pUi->IDC_BTN_WB_ONE_PUSH;
    case IDC_SLIDER_RED_GAIN: return m_pUi->IDC_SLIDER_RED_GAIN;
    case IDC_EDIT_RED_GAIN: return m_pUi->IDC_EDIT_RED_GAIN;
    case IDC_SLIDER_GREEN_GAIN: return m_pUi->IDC_SLIDER_GREEN_GAIN;
    case IDC_EDIT_GREEN_GAIN: return m_pUi->IDC_EDIT_GREEN_GAIN;
    case IDC_SLIDER_BLUE_GAIN: return m_pUi->IDC_SLIDER_BLUE_GAIN;
    case IDC_EDIT_BLUE_GAIN: return m_pUi->IDC_EDIT_BLUE_GAIN;
    case IDC_SLIDER_RED_OFFSET: return m_pUi->IDC_SLIDER_RED_OFFSET;
    case IDC_EDIT_RED_OFFSET: return m_pUi->IDC_EDIT_RED_OFFSET;
    case IDC_SLIDER_GREEN_OFFSET: return m_pUi->IDC_SLIDER_GREEN_OFFSET;
    case IDC_EDIT_GREEN_OFFSET: return m_pUi->IDC_EDIT_GREEN_OFFSET;
    case IDC_SLIDER_BLUE_OFFSET: return m_pUi->IDC_SLIDER_BLUE_OFFSET;
    case IDC_EDIT_BLUE_OFFSET: return m_pUi->IDC_EDIT_BLUE_OFFSET;
    case IDC_RADIO_BAYER_3X3: return m_pUi->IDC_RADIO_BAYER_3X3;
    case IDC_RADIO_BAYER_5X5: return m_pUi->IDC_RADIO_BAYER_5X5;
    default: return nullptr;
    }
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

void CPageRGBControl::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    if (!pEvent->spontaneous() && m_bActive) {
        InitControl();
        EnableControls();
    }
}

void CPageRGBControl::keyPressEvent(QKeyEvent* pEvent)
{
    // Enter and Escape neither close nor cancel from a page.
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter || pEvent->key() == Qt::Key_Escape) {
        pEvent->accept();
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

void CPageRGBControl::EnableAll(bool bEnable)
{
    for (QWidget* p : findChildren<QWidget*>()) {
        p->setEnabled(bEnable);
    }
}

void CPageRGBControl::FillSliders(int nFirst, int nLast)
{
    CAMERA_PARAM_INFO info{};
    for (const SLIDER_PARAM& s : m_Sliders) {
        if (s.nIndex >= nFirst && s.nIndex <= nLast) {
            FillSliderParam(*m_pCameraCtrl, s, info, kTag);
        }
    }
}

void CPageRGBControl::InitControl()
{
    if (!IsOpen()) {
        EnableAll(false);
        return;
    }
    EnableAll(true);
    CCameraCtrl& cam = *m_pCameraCtrl;
    FillOnOffParam(cam, kColorProcessing, m_pUi->IDC_CHECK_COLOR_PROCESSING, kTag);
    FillOnOffParam(cam, kGammaOn, m_pUi->IDC_CHECK_GAMMA, kTag);
    FillOnOffParam(cam, kColorCorrection, m_pUi->IDC_CHECK_COLOR_CORRECTION, kTag);
    FillOnOffParam(cam, kNoiseReduction, m_pUi->IDC_CHECK_TNR, kTag);
    FillSliders(kBrightness, kBlueOffset);

    WriteLog(kTag + QStringLiteral("InitControl()"));
    BOOL bAutoWb = FALSE, bOnePush = FALSE;
    m_pUi->IDC_BTN_WB_ONE_PUSH->setEnabled(cam.GetEnableWhiteBalance(bAutoWb, bOnePush) && bOnePush);

    WriteLog(kTag + QStringLiteral("InitControl()"));
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
        SetSliderDefault(cam, s, nullptr, kTag);
    }
    SetOnOffDefault(cam, kColorProcessing, m_pUi->IDC_CHECK_COLOR_PROCESSING, kTag);
    SetOnOffDefault(cam, kGammaOn, m_pUi->IDC_CHECK_GAMMA, kTag);
    SetOnOffDefault(cam, kColorCorrection, m_pUi->IDC_CHECK_COLOR_CORRECTION, kTag);
    SetOnOffDefault(cam, kNoiseReduction, m_pUi->IDC_CHECK_TNR, kTag);
    EnableControls();
}
