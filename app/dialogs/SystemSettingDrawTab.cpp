// The settings window's drawing tab: line width and colours of the
// measurement shapes and values, their font, decimals and count numbering.
#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/NumberText.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "ui_SystemSettingDlg.h"

namespace {

constexpr int kSwatches[] = {
    CSystemSettingDlg::IDC_BTN_CROSS_COLOR,     CSystemSettingDlg::IDC_BTN_MAKE_RGN_COLOR,
    CSystemSettingDlg::IDC_BTN_SEL_RGN_COLOR,   CSystemSettingDlg::IDC_BTN_RGN_COLOR,
    CSystemSettingDlg::IDC_BTN_SCALE_COLOR,     CSystemSettingDlg::IDC_BTN_SEL_MEAS_STR_COLOR,
    CSystemSettingDlg::IDC_BTN_MEAS_STR_COLOR,
};

QString ColorName(COLORREF c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xff, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xff, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xff, 2, 16, QLatin1Char('0'));
}

} // namespace

void CSystemSettingDlg::ConnectDrawTab()
{
    SetupNumber(m_pUi->IDC_EDIT_LINE_WIDTH, m_pUi->IDC_SPIN_LINE_WIDTH, 1, 99, 1, 99);
    // Six or more decimals end at the most there are, five.
    SetupNumber(m_pUi->IDC_EDIT_DOWN_PLACE, m_pUi->IDC_SPIN_DOWN_PLACE, 0, 5, 0, 5);
    for (const int nID : kSwatches) {
        if (nID != IDC_BTN_CROSS_COLOR) {
            connect(Button(nID), &QAbstractButton::clicked, this, [this, nID] { OnBnClickedColor(nID); });
        }
    }
    connect(m_pUi->IDC_BTN_SEL_MEAS_FONT, &QPushButton::clicked, this, [this] { OnBnClickedSelFont(false); });
}

COLORREF* CSystemSettingDlg::SwatchColor(int nID)
{
    DRAW_SETTING& d = m_SystemSetting.Draw;
    switch (nID) {
    case IDC_BTN_CROSS_COLOR: return &d.CrossColor;
    case IDC_BTN_MAKE_RGN_COLOR: return &d.MakeRgnColor;
    case IDC_BTN_SEL_RGN_COLOR: return &d.SelRgnColor;
    case IDC_BTN_RGN_COLOR: return &d.RgnColor;
    case IDC_BTN_SCALE_COLOR: return &d.ScaleColor;
    case IDC_BTN_SEL_MEAS_STR_COLOR: return &d.SelMeasStrColor;
    case IDC_BTN_MEAS_STR_COLOR: return &d.MeasStrColor;
    default: return nullptr;
    }
}

void CSystemSettingDlg::PaintSwatches()
{
    for (const int nID : kSwatches) {
        // The mark in its colour on a transparent ground.
        Button(nID)->setStyleSheet(QStringLiteral("QPushButton{color:%1;background:transparent;border:none;font-size:16pt;}")
                                       .arg(ColorName(*SwatchColor(nID))));
    }
}

void CSystemSettingDlg::OnBnClickedColor(int nID)
{
    COLORREF* pColor = SwatchColor(nID);
    if (pColor == nullptr) {
        return;
    }
    COLORREF color = *pColor;
    if (SelectColor(this, color)) {
        *pColor = color;
        PaintSwatches();
    }
}

void CSystemSettingDlg::DispDrawTab()
{
    const DRAW_SETTING& d = m_SystemSetting.Draw;
    m_pUi->IDC_EDIT_LINE_WIDTH->setText(QString::number(d.DrawLineWidth));
    m_pUi->IDC_CHECK_AUTO_RESIZE->setChecked(d.bAutoReSize != FALSE);
    m_pUi->IDC_EDIT_MEAS_FONT_NAME->setText(QString::fromStdU16String(TextFieldString(d.MeasStrFontName)));
    m_pUi->IDC_EDIT_MEAS_FONT_PT->setText(QString::number(d.MeasStrFontPt));
    m_pUi->IDC_EDIT_DOWN_PLACE->setText(QString::number(m_SystemSetting.MeasureDownPlace));
    (d.CountKind == 1 ? m_pUi->IDC_RADIO_COUNT_ID : m_pUi->IDC_RADIO_COUNT_SERIAL)->setChecked(true);
    PaintSwatches();
}

void CSystemSettingDlg::ReadDrawTab()
{
    DRAW_SETTING& d = m_SystemSetting.Draw;
    d.DrawLineWidth = ParseLeadingInt(m_pUi->IDC_EDIT_LINE_WIDTH->text());
    d.bAutoReSize = m_pUi->IDC_CHECK_AUTO_RESIZE->isChecked() ? TRUE : FALSE;
    m_SystemSetting.MeasureDownPlace = ParseLeadingInt(m_pUi->IDC_EDIT_DOWN_PLACE->text());
    d.CountKind = m_pUi->IDC_RADIO_COUNT_ID->isChecked() ? 1 : 0;
}
