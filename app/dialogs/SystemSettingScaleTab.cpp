// The settings window's scale tab: shown at a fixed corner and length, or
// asked for each time, and the lengths in the current calibration's unit.
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/NumberText.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "ui_SystemSettingDlg.h"

namespace {

constexpr UINT IDS_SCALE_CORNERS[] = {180, 181, 182, 183};

} // namespace

void CSystemSettingDlg::ConnectScaleTab()
{
    connect(m_pUi->IDC_RADIO_SCALE_FIXED, &QRadioButton::clicked, this, [this] { ApplyEnabling(); });
    connect(m_pUi->IDC_RADIO_SCALE_ASK, &QRadioButton::clicked, this, [this] { ApplyEnabling(); });
}

void CSystemSettingDlg::DispScaleTab()
{
    const SYSTEM_SETTING& s = m_SystemSetting;
    // Filled after the captions were translated: the corners come translated already.
    if (m_pUi->IDC_COMBO_SCALE_POS->count() == 0) {
        for (const UINT nID : IDS_SCALE_CORNERS) {
            m_pUi->IDC_COMBO_SCALE_POS->addItem(GetProgramString(nID));
        }
    }
    (s.DispScaleKind == 1 ? m_pUi->IDC_RADIO_SCALE_ASK : m_pUi->IDC_RADIO_SCALE_FIXED)->setChecked(true);
    const int nCorners = m_pUi->IDC_COMBO_SCALE_POS->count();
    m_pUi->IDC_COMBO_SCALE_POS->setCurrentIndex(s.DispScalPos >= 0 && s.DispScalPos < nCorners ? s.DispScalPos
                                                                                                : nCorners - 1);
    m_pUi->IDC_EDIT_SCALE_X->setText(QString::asprintf("%.*f", 1, s.ScaleSizeX));
    m_pUi->IDC_EDIT_SCALE_Y->setText(QString::asprintf("%.*f", 1, s.ScaleSizeY));
    // The lengths are in the unit of the calibration in use.
    int nUnitKind = 0;
    if (s.CalibrationIndex >= 0 && s.CalibrationIndex < CALIBRATION_NUM) {
        nUnitKind = s.Calibration[s.CalibrationIndex].UnitKind;
    }
    m_pUi->IDC_STATIC_SCALE_X_UNIT->setText(CPixmetraApp::GetUnitName(nUnitKind));
    m_pUi->IDC_STATIC_SCALE_Y_UNIT->setText(CPixmetraApp::GetUnitName(nUnitKind));
}

void CSystemSettingDlg::ReadScaleTab()
{
    SYSTEM_SETTING& s = m_SystemSetting;
    s.DispScaleKind = m_pUi->IDC_RADIO_SCALE_ASK->isChecked() ? 1 : 0;
    s.DispScalPos = std::max(0, m_pUi->IDC_COMBO_SCALE_POS->currentIndex());
    s.ScaleSizeX = ParseLeadingDouble(m_pUi->IDC_EDIT_SCALE_X->text());
    s.ScaleSizeY = ParseLeadingDouble(m_pUi->IDC_EDIT_SCALE_Y->text());
}

void CSystemSettingDlg::ApplyScaleEnabling()
{
    const bool bFixed = m_pUi->IDC_RADIO_SCALE_FIXED->isChecked();
    for (const int nID : {IDC_STATIC_SCALE_POS, IDC_COMBO_SCALE_POS, IDC_STATIC_SCALE_LENGTH, IDC_STATIC_SCALE_X,
                          IDC_STATIC_SCALE_Y, IDC_STATIC_SCALE_X_UNIT, IDC_STATIC_SCALE_Y_UNIT, IDC_EDIT_SCALE_X,
                          IDC_EDIT_SCALE_Y}) {
        EnableDlgItem(nID, bFixed);
    }
}
