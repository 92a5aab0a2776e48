#include "camera/pages/PageVideoControl.h"

#include "app/MultiLanguageTranslator.h"
#include "camera/pages/CameraPageStrings.h"
#include "camera/pages/CameraParamIndex.h"
#include "ui_PageVideoControl.h"

namespace {

using P = CPageVideoControl;

constexpr CPageParamCtrl::CONTROL_NAME kControls[] = {
    {P::IDC_SLIDER_BLACK_LEVEL, "IDC_SLIDER_BLACK_LEVEL"},
    {P::IDC_EDIT_BLACK_LEVEL, "IDC_EDIT_BLACK_LEVEL"},
    {P::IDC_CHECK_AUTO_BLACK_LEVEL, "IDC_CHECK_AUTO_BLACK_LEVEL"},
    {P::IDC_SLIDER_EXPOSURE_ROUGH, "IDC_SLIDER_EXPOSURE_ROUGH"},
    {P::IDC_SLIDER_EXPOSURE_FINE, "IDC_SLIDER_EXPOSURE_FINE"},
    {P::IDC_EDIT_EXPOSURE_TIME, "IDC_EDIT_EXPOSURE_TIME"},
    {P::IDC_CHECK_AUTO_EXPOSURE, "IDC_CHECK_AUTO_EXPOSURE"},
    {P::IDC_SLIDER_EXPOSURE_TARGET, "IDC_SLIDER_EXPOSURE_TARGET"},
    {P::IDC_EDIT_EXPOSURE_TARGET, "IDC_EDIT_EXPOSURE_TARGET"},
    {P::IDC_SLIDER_GAIN, "IDC_SLIDER_GAIN"},
    {P::IDC_EDIT_GAIN, "IDC_EDIT_GAIN"},
    {P::IDC_SLIDER_CLOCK, "IDC_SLIDER_CLOCK"},
    {P::IDC_EDIT_CLOCK, "IDC_EDIT_CLOCK"},
    {P::IDC_STATIC_CLOCK_MIN, "IDC_STATIC_CLOCK_MIN"},
    {P::IDC_STATIC_CLOCK_MAX, "IDC_STATIC_CLOCK_MAX"},
    {P::IDC_STATIC_CLOCK_GROUP, "IDC_STATIC_CLOCK_GROUP"},
    {P::IDC_STATIC_CLOCK_UNIT, "IDC_STATIC_CLOCK_UNIT"},
    {P::IDC_CHECK_FLIP_VERTICAL, "IDC_CHECK_FLIP_VERTICAL"},
    {P::IDC_CHECK_FLIP_HORIZONTAL, "IDC_CHECK_FLIP_HORIZONTAL"},
    {P::IDC_RADIO_COLOR, "IDC_RADIO_COLOR"},
    {P::IDC_RADIO_GRAYSCALE, "IDC_RADIO_GRAYSCALE"},
    {P::IDC_COMBO_RESOLUTION, "IDC_COMBO_RESOLUTION"},
    {P::IDC_STATIC_CUR_RESOLUTION, "IDC_STATIC_CUR_RESOLUTION"},
};

} // namespace

CPageVideoControl::CPageVideoControl(QWidget* pParent)
    : CPageParamCtrl(QStringLiteral("[PAGEVIDEOCTRL]"), pParent), m_pUi(std::make_unique<Ui::CPageVideoControl>())
{
    m_pUi->setupUi(this);
    for (int nID : {IDC_SLIDER_EXPOSURE_ROUGH, IDC_SLIDER_EXPOSURE_FINE, IDC_SLIDER_EXPOSURE_TARGET,
                    IDC_SLIDER_BLACK_LEVEL, IDC_SLIDER_GAIN, IDC_SLIDER_CLOCK}) {
        connect(qobject_cast<QSlider*>(GetDlgItem(nID)), &QSlider::valueChanged, this, [this, nID] { OnHScroll(nID); });
    }
    for (int nIndex : {CPI_EXPOSURE_TARGET, CPI_BLACK_LEVEL, CPI_GAIN, CPI_CLOCK}) {
        const SLIDER_PARAM s = Slider(nIndex);
        new CSliderEditLink(s.pSlider, s.pEdit, this);
    }
    // The exposure time is the camera's reading in ms, not a slider
    // position: shown, never typed into.
    m_pUi->IDC_EDIT_EXPOSURE_TIME->setFocusPolicy(Qt::NoFocus);
    connect(m_pUi->IDC_CHECK_AUTO_EXPOSURE, &QCheckBox::clicked, this, [this] { OnBnClickedAutoExposureTime(); });
    connect(m_pUi->IDC_CHECK_AUTO_BLACK_LEVEL, &QCheckBox::clicked, this, [this] { OnBnClickedAutoBlackLevel(); });
    connect(m_pUi->IDC_CHECK_FLIP_VERTICAL, &QCheckBox::clicked, this, [this] { OnBnClickedFlipVertical(); });
    connect(m_pUi->IDC_CHECK_FLIP_HORIZONTAL, &QCheckBox::clicked, this, [this] { OnBnClickedFlipHorizontal(); });
    connect(m_pUi->IDC_RADIO_COLOR, &QRadioButton::clicked, this, [this] { OnBnClickedColorGrayscale(); });
    connect(m_pUi->IDC_RADIO_GRAYSCALE, &QRadioButton::clicked, this, [this] { OnBnClickedColorGrayscale(); });
    connect(m_pUi->IDC_COMBO_RESOLUTION, &QComboBox::activated, this,
            [this](int n) { OnCbnSelchangeComboResolution(n); });
}

CPageVideoControl::~CPageVideoControl() = default;

std::span<const CPageParamCtrl::CONTROL_NAME> CPageVideoControl::Controls() const
{
    return kControls;
}

SLIDER_PARAM CPageVideoControl::Slider(int nIndex) const
{
    switch (nIndex) {
    case CPI_EXPOSURE_TARGET: return {nIndex, m_pUi->IDC_SLIDER_EXPOSURE_TARGET, m_pUi->IDC_EDIT_EXPOSURE_TARGET};
    case CPI_BLACK_LEVEL: return {nIndex, m_pUi->IDC_SLIDER_BLACK_LEVEL, m_pUi->IDC_EDIT_BLACK_LEVEL};
    case CPI_GAIN: return {nIndex, m_pUi->IDC_SLIDER_GAIN, m_pUi->IDC_EDIT_GAIN};
    default: return {nIndex, m_pUi->IDC_SLIDER_CLOCK, m_pUi->IDC_EDIT_CLOCK};
    }
}

int CPageVideoControl::ExposureValue() const
{
    return m_pUi->IDC_SLIDER_EXPOSURE_ROUGH->value() * EXPOSURE_ROUGH_UNIT + m_pUi->IDC_SLIDER_EXPOSURE_FINE->value();
}

void CPageVideoControl::ReadExposure()
{
    BOOL bAuto = FALSE;
    double dMs = 0.0;
    if (m_pCameraCtrl->GetExposure(bAuto, dMs)) {
        m_pUi->IDC_EDIT_EXPOSURE_TIME->setText(QString::asprintf("%.3f", dMs));
        SetCheckQuiet(m_pUi->IDC_CHECK_AUTO_EXPOSURE, bAuto != 0);
    }
}

void CPageVideoControl::ShowCameraExposure()
{
    int32_t nValue = 0;
    if (m_pCameraCtrl->GetCameraParam(CPI_EXPOSURE, nValue)) {
        SetSliderPosQuiet(m_pUi->IDC_SLIDER_EXPOSURE_ROUGH, (nValue / EXPOSURE_ROUGH_UNIT) % 256);
        SetSliderPosQuiet(m_pUi->IDC_SLIDER_EXPOSURE_FINE, nValue % EXPOSURE_ROUGH_UNIT);
        ReportRefusedValue(m_pStatusLine);
    }
}

void CPageVideoControl::InitControl()
{
    if (!EnableAllForCamera()) {
        return;
    }
    CCameraCtrl& cam = *m_pCameraCtrl;

    // Exposure: the value split into 4096ths (rough) and the rest (fine).
    Log("InitControl()");
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    if (cam.GetCameraParam(CPI_EXPOSURE, bEnable, info)) {
        SetSliderQuiet(m_pUi->IDC_SLIDER_EXPOSURE_ROUGH, 0, (info.nMax / EXPOSURE_ROUGH_UNIT) % 256,
                       (info.nValue / EXPOSURE_ROUGH_UNIT) % 256);
        SetSliderQuiet(m_pUi->IDC_SLIDER_EXPOSURE_FINE, info.nMin, EXPOSURE_ROUGH_UNIT - 2,
                       info.nValue % EXPOSURE_ROUGH_UNIT);
        m_pUi->IDC_CHECK_AUTO_EXPOSURE->setEnabled(info.bAutoEnable != 0);
    }
    ReadExposure();

    FillSliderParam(cam, Slider(CPI_EXPOSURE_TARGET), info, LogTag());
    FillSliderParam(cam, Slider(CPI_BLACK_LEVEL), info, LogTag());
    m_pUi->IDC_CHECK_AUTO_BLACK_LEVEL->setEnabled(info.bAutoEnable != 0);
    SetCheckQuiet(m_pUi->IDC_CHECK_AUTO_BLACK_LEVEL, info.bAutoEnable && info.bAuto);
    FillSliderParam(cam, Slider(CPI_GAIN), info, LogTag());

    FillOnOffParam(cam, CPI_FLIP_VERTICAL, m_pUi->IDC_CHECK_FLIP_VERTICAL, LogTag());
    FillOnOffParam(cam, CPI_FLIP_HORIZONTAL, m_pUi->IDC_CHECK_FLIP_HORIZONTAL, LogTag());

    const bool bGrey = !cam.IsColorCamera() || cam.m_bGrayDisplay;
    SetCheckQuiet(bGrey ? m_pUi->IDC_RADIO_GRAYSCALE : m_pUi->IDC_RADIO_COLOR, true);

    FillClock();
    FillResolution();
}

void CPageVideoControl::FillClock()
{
    CCameraCtrl& cam = *m_pCameraCtrl;
    CAMERA_PARAM_INFO info{};
    m_nClockIndex = CPI_CLOCK;
    FillSliderParam(cam, Slider(CPI_CLOCK), info, LogTag());
    if (!info.bEnable) {
        // Cameras without a clock setting offer the frame rate instead.
        m_nClockIndex = CPI_FRAME_RATE;
        FillSliderParam(cam, Slider(CPI_FRAME_RATE), info, LogTag());
    }
    const bool bClock = m_nClockIndex == CPI_CLOCK;
    m_pUi->IDC_STATIC_CLOCK_GROUP->setTitle(GetProgramString(bClock ? IDS_CLOCK_GROUP : IDS_FRAME_RATE_GROUP));
    m_pUi->IDC_STATIC_CLOCK_UNIT->setText(GetProgramString(bClock ? IDS_UNIT_MHZ : IDS_UNIT_FPS));
    m_pUi->IDC_STATIC_CLOCK_MIN->setText(info.bEnable ? QString::number(info.nMin) : QString());
    m_pUi->IDC_STATIC_CLOCK_MAX->setText(info.bEnable ? QString::number(info.nMax) : QString());
}

void CPageVideoControl::FillResolution()
{
    Log("InitControl()");
    QComboBox* pCombo = m_pUi->IDC_COMBO_RESOLUTION;
    const QSignalBlocker block(pCombo);
    pCombo->clear();
    for (int i = 0; i < m_pCameraCtrl->GetModeCount(); ++i) {
        int32_t w = 0, h = 0;
        // A mode the program has no size for is listed by its number, never looked up.
        const int nMode = m_pCameraCtrl->GetModeNumber(i);
        pCombo->addItem(CCameraCtrl::GetModeSize(nMode, w, h) ? QString::asprintf("%dx%d", w, h)
                                                               : QString::asprintf("#%d", nMode));
    }
    const int nCur = m_pCameraCtrl->GetResolutionIndex();
    pCombo->setCurrentIndex(nCur >= 0 && nCur < pCombo->count() ? nCur : -1);
    m_pUi->IDC_STATIC_CUR_RESOLUTION->setText(pCombo->currentText());
    if (m_pnResolutionIdx != nullptr && *m_pnResolutionIdx >= 0 && *m_pnResolutionIdx < pCombo->count()) {
        pCombo->setCurrentIndex(*m_pnResolutionIdx);
    }
}

void CPageVideoControl::EnableControls()
{
    const bool bOpen = IsOpen();
    const bool bAutoExposure = m_pUi->IDC_CHECK_AUTO_EXPOSURE->isChecked();
    for (QSlider* pSlider : {m_pUi->IDC_SLIDER_EXPOSURE_ROUGH, m_pUi->IDC_SLIDER_EXPOSURE_FINE}) {
        pSlider->setEnabled(bOpen && !bAutoExposure && HasRange(pSlider));
    }
    const bool bAutoBlack = m_pUi->IDC_CHECK_AUTO_BLACK_LEVEL->isChecked();
    m_pUi->IDC_SLIDER_BLACK_LEVEL->setEnabled(bOpen && !bAutoBlack && m_pUi->IDC_EDIT_BLACK_LEVEL->isEnabled() &&
                                              HasRange(m_pUi->IDC_SLIDER_BLACK_LEVEL));
    const bool bColour = bOpen && m_pCameraCtrl->IsColorCamera();
    m_pUi->IDC_RADIO_COLOR->setEnabled(bColour);
    m_pUi->IDC_RADIO_GRAYSCALE->setEnabled(bColour);
}

void CPageVideoControl::OnHScroll(int nID)
{
    if (!IsOpen()) {
        return;
    }
    if (nID == IDC_SLIDER_EXPOSURE_ROUGH || nID == IDC_SLIDER_EXPOSURE_FINE) {
        Log("SetExposureParamToCamera()");
        if (!m_pCameraCtrl->SetCameraParam(CPI_EXPOSURE, ExposureValue(), FALSE)) {
            ShowCameraExposure();
        }
        ReadExposure();
        return;
    }
    int nIndex = m_nClockIndex;
    if (nID == IDC_SLIDER_EXPOSURE_TARGET) {
        nIndex = CPI_EXPOSURE_TARGET;
    } else if (nID == IDC_SLIDER_BLACK_LEVEL) {
        nIndex = CPI_BLACK_LEVEL;
    } else if (nID == IDC_SLIDER_GAIN) {
        nIndex = CPI_GAIN;
    }
    Log("SetParamToCamera()");
    WriteSliderParam(*m_pCameraCtrl, Slider(nIndex), m_pStatusLine);
}

void CPageVideoControl::OnBnClickedAutoExposureTime()
{
    Log("OnBnClickedAutoExposureTime()");
    if (IsOpen()) {
        m_pCameraCtrl->SetCameraParam(CPI_EXPOSURE, ExposureValue(), m_pUi->IDC_CHECK_AUTO_EXPOSURE->isChecked());
    }
    EnableControls();
}

void CPageVideoControl::OnBnClickedAutoBlackLevel()
{
    Log("OnBnClickedAutoBlackLevel()");
    if (IsOpen()) {
        m_pCameraCtrl->SetCameraParam(CPI_BLACK_LEVEL, m_pUi->IDC_SLIDER_BLACK_LEVEL->value(),
                                      m_pUi->IDC_CHECK_AUTO_BLACK_LEVEL->isChecked());
    }
    EnableControls();
}

void CPageVideoControl::OnBnClickedFlipVertical()
{
    WriteCheckParam("OnBnClickedFlipVertical()", CPI_FLIP_VERTICAL, m_pUi->IDC_CHECK_FLIP_VERTICAL);
}

void CPageVideoControl::OnBnClickedFlipHorizontal()
{
    WriteCheckParam("OnBnClickedFlipHorizontal()", CPI_FLIP_HORIZONTAL, m_pUi->IDC_CHECK_FLIP_HORIZONTAL);
}

void CPageVideoControl::OnBnClickedColorGrayscale()
{
    Log("OnBnClickedColorGrayscale()");
    if (IsOpen() && m_pCameraCtrl->IsColorCamera()) {
        // The live view reads the flag with every frame.
        m_pCameraCtrl->m_bGrayDisplay = m_pUi->IDC_RADIO_GRAYSCALE->isChecked() ? TRUE : FALSE;
    }
}

void CPageVideoControl::OnCbnSelchangeComboResolution(int nSel)
{
    Log("OnCbnSelchangeComboResolution()");
    if (m_pnResolutionIdx != nullptr && nSel >= 0) {
        *m_pnResolutionIdx = nSel;
    }
}

void CPageVideoControl::SetDefaultValues()
{
    Log("SetDefaultValues()");
    if (!IsOpen()) {
        return;
    }
    CCameraCtrl& cam = *m_pCameraCtrl;
    SetSliderDefault(cam, Slider(CPI_EXPOSURE_TARGET), nullptr, LogTag());
    SetSliderDefault(cam, Slider(CPI_BLACK_LEVEL), m_pUi->IDC_CHECK_AUTO_BLACK_LEVEL, LogTag());
    SetSliderDefault(cam, Slider(CPI_GAIN), nullptr, LogTag());
    // The clock slider's own parameter, 4 or the frame rate in its place.
    SetSliderDefault(cam, Slider(m_nClockIndex), nullptr, LogTag());

    Log("SetDefaultValue()");
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    if (cam.GetCameraParam(CPI_EXPOSURE, bEnable, info) && bEnable) {
        // The default exposure is written in either case, so the sliders and the camera agree.
        cam.SetCameraParam(CPI_EXPOSURE, info.nDefault, info.bAutoEnable ? info.bAutoDefault : FALSE);
        SetSliderPosQuiet(m_pUi->IDC_SLIDER_EXPOSURE_ROUGH, (info.nDefault / EXPOSURE_ROUGH_UNIT) % 256);
        SetSliderPosQuiet(m_pUi->IDC_SLIDER_EXPOSURE_FINE, info.nDefault % EXPOSURE_ROUGH_UNIT);
        ReadExposure();
    }

    SetOnOffDefault(cam, CPI_FLIP_VERTICAL, m_pUi->IDC_CHECK_FLIP_VERTICAL, LogTag());
    SetOnOffDefault(cam, CPI_FLIP_HORIZONTAL, m_pUi->IDC_CHECK_FLIP_HORIZONTAL, LogTag());

    // The first entry becomes the choice as well: what the page shows is what closing applies.
    {
        const QSignalBlocker block(m_pUi->IDC_COMBO_RESOLUTION);
        m_pUi->IDC_COMBO_RESOLUTION->setCurrentIndex(m_pUi->IDC_COMBO_RESOLUTION->count() > 0 ? 0 : -1);
    }
    if (m_pnResolutionIdx != nullptr && m_pUi->IDC_COMBO_RESOLUTION->count() > 0) {
        *m_pnResolutionIdx = 0;
    }
    EnableControls();
}
