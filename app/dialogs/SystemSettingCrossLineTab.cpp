// The settings window's cross-line tab: how the button makes them, their
// colour and width, and how many lines go each way.
#include "app/MultiLanguageTranslator.h"
#include "app/dialogs/NumberText.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "ui_SystemSettingDlg.h"

namespace {

constexpr UINT IDS_VERT_LINE_NUM = 185;
constexpr UINT IDS_LINE_NUM = 186;

} // namespace

void CSystemSettingDlg::ConnectCrossLineTab()
{
    SetupNumber(m_pUi->IDC_EDIT_CROSS_LINE_WIDTH, m_pUi->IDC_SPIN_CROSS_LINE_WIDTH, 1, 99, 1, 99);
    SetupNumber(m_pUi->IDC_EDIT_VERT_LINE_NUM, m_pUi->IDC_SPIN_VERT_LINE_NUM, 0, CROSSLINE_POS_NUM, 0, CROSSLINE_POS_NUM);
    SetupNumber(m_pUi->IDC_EDIT_HORZ_LINE_NUM, m_pUi->IDC_SPIN_HORZ_LINE_NUM, 0, CROSSLINE_POS_NUM, 0, CROSSLINE_POS_NUM);
    connect(m_pUi->IDC_CHECK_CROSS_LINE_SEPARATE, &QCheckBox::clicked, this, [this] { ApplyEnabling(); });
    connect(m_pUi->IDC_BTN_CROSS_COLOR, &QPushButton::clicked, this, [this] { OnBnClickedColor(IDC_BTN_CROSS_COLOR); });
    connect(m_pUi->IDC_BTN_CLEAR_CROSS_LINE, &QPushButton::clicked, this,
            [this] { OnBnClickedButtonClearCrossline(); });
}

void CSystemSettingDlg::DispCrossLineTab()
{
    const SYSTEM_SETTING& s = m_SystemSetting;
    (s.MakeCrossLineKind == 1 ? m_pUi->IDC_RADIO_CROSS_LINE_TOGGLE : m_pUi->IDC_RADIO_CROSS_LINE_MAKE)->setChecked(true);
    m_pUi->IDC_EDIT_CROSS_LINE_WIDTH->setText(QString::number(s.Draw.DrawCrossLineWidth));
    m_pUi->IDC_CHECK_CROSS_LINE_SEPARATE->setChecked(s.bCrossLineSeparateInput != FALSE);
    m_pUi->IDC_EDIT_VERT_LINE_NUM->setText(QString::number(s.CrossVertLineNum));
    m_pUi->IDC_EDIT_HORZ_LINE_NUM->setText(QString::number(s.CrossHorzLineNum));
    PaintSwatches();
}

void CSystemSettingDlg::ReadCrossLineTab()
{
    SYSTEM_SETTING& s = m_SystemSetting;
    s.MakeCrossLineKind = m_pUi->IDC_RADIO_CROSS_LINE_TOGGLE->isChecked() ? 1 : 0;
    s.Draw.DrawCrossLineWidth = ParseLeadingInt(m_pUi->IDC_EDIT_CROSS_LINE_WIDTH->text());
    s.bCrossLineSeparateInput = m_pUi->IDC_CHECK_CROSS_LINE_SEPARATE->isChecked() ? TRUE : FALSE;
    s.CrossVertLineNum = ParseLeadingInt(m_pUi->IDC_EDIT_VERT_LINE_NUM->text());
    s.CrossHorzLineNum = ParseLeadingInt(m_pUi->IDC_EDIT_HORZ_LINE_NUM->text());
}

void CSystemSettingDlg::ApplyCrossLineEnabling()
{
    // One count for both ways, or the vertical and the horizontal count apart.
    const bool bSeparate = m_pUi->IDC_CHECK_CROSS_LINE_SEPARATE->isChecked();
    m_pUi->IDC_STATIC_VERT_LINE_NUM->setText(GetProgramString(bSeparate ? IDS_VERT_LINE_NUM : IDS_LINE_NUM));
    m_pUi->IDC_STATIC_HORZ_LINE_NUM->setVisible(bSeparate);
    m_pUi->IDC_EDIT_HORZ_LINE_NUM->setVisible(bSeparate);
    m_pUi->IDC_SPIN_HORZ_LINE_NUM->setVisible(bSeparate);
}
