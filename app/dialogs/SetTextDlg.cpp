#include "app/dialogs/SetTextDlg.h"

#include "app/LogFile.h"
#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SelectFontDlg.h"
#include "ui_SetTextDlg.h"

#include <QColor>
#include <QPalette>

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CSetTextDlg::IDC_EDIT_TEXT, "IDC_EDIT_TEXT"},
    {CSetTextDlg::IDC_EDIT_FONT_NAME, "IDC_EDIT_FONT_NAME"},
    {CSetTextDlg::IDC_EDIT_FONT_SIZE, "IDC_EDIT_FONT_SIZE"},
    {CSetTextDlg::IDC_BTN_SEL_FONT, "IDC_BTN_SEL_FONT"},
    {CSetTextDlg::IDC_STATIC_TEXT_COLOR, "IDC_STATIC_TEXT_COLOR"},
    {CSetTextDlg::IDC_OK, "IDOK"},
    {CSetTextDlg::IDC_CANCEL, "IDCANCEL"},
};

} // namespace

CSetTextDlg::CSetTextDlg(QWidget* pParent)
    : CParamDialog(146, pParent), m_pUi(std::make_unique<Ui::CSetTextDlg>())
{
    m_pUi->setupUi(this);
    connect(m_pUi->IDC_BTN_SEL_FONT, &QPushButton::clicked, this, [this] { OnBnClickedBtnSelFont(); });
    connect(m_pUi->IDC_STATIC_TEXT_COLOR, &QToolButton::clicked, this, [this] { OnStnClickedTextColor(); });
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSetTextDlg::~CSetTextDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSetTextDlg::Controls() const
{
    return kControls;
}

int CSetTextDlg::CountCharacters(const QString& text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        }
        ++n;
    }
    return n;
}

BOOL CSetTextDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    m_EditFontName = m_FontName;
    m_nEditFontPt = m_nFontPt;
    m_EditColor = m_Color;
    m_pUi->IDC_EDIT_TEXT->setText(m_Text);
    m_pUi->IDC_EDIT_TEXT->setFocus();
    ShowFont();
    ShowColor();
    return TRUE;
}

void CSetTextDlg::ShowFont()
{
    m_pUi->IDC_EDIT_FONT_NAME->setText(m_EditFontName);
    m_pUi->IDC_EDIT_FONT_SIZE->setText(QString::number(m_nEditFontPt));
}

void CSetTextDlg::ShowColor()
{
    // The mark in the colour itself, on no background of its own.
    QToolButton* pSwatch = m_pUi->IDC_STATIC_TEXT_COLOR;
    QPalette palette = pSwatch->palette();
    const QColor color(GetRValue(m_EditColor), GetGValue(m_EditColor), GetBValue(m_EditColor));
    for (const QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText}) {
        palette.setColor(QPalette::Active, role, color);
        palette.setColor(QPalette::Inactive, role, color);
    }
    pSwatch->setPalette(palette);
    pSwatch->setAutoFillBackground(false);
}

void CSetTextDlg::OnBnClickedBtnSelFont()
{
    WriteLog(QStringLiteral("[SETTEXTDLG]OnBnClickedBtnSelFont()"));
    CSelectFontDlg dlg(m_EditFontName, m_nEditFontPt, this);
    if (dlg.DoModal() == IDOK) {
        m_EditFontName = dlg.m_FontName;
        m_nEditFontPt = dlg.m_nFontPt;
        ShowFont();
    }
}

void CSetTextDlg::OnStnClickedTextColor()
{
    COLORREF color = m_EditColor;
    if (SelectColor(this, color)) {
        m_EditColor = color;
        ShowColor();
    }
}

void CSetTextDlg::OnBnClickedOk()
{
    WriteLog(QStringLiteral("[SETTEXTDLG]OnBnClickedOk()"));
    const QString text = m_pUi->IDC_EDIT_TEXT->text();
    if (text.isEmpty()) {
        ShowMessage(616, MB_ICONERROR);
        return;
    }
    if (CountCharacters(text) > kMaxChars || text.size() > kMaxUnits) {
        ShowMessage(625, MB_ICONERROR);
        return;
    }
    m_Text = text;
    m_FontName = m_EditFontName;
    m_nFontPt = m_nEditFontPt;
    m_Color = m_EditColor;
    accept();
}
