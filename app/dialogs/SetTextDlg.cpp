#include "app/dialogs/SetTextDlg.h"

#include "app/LogFile.h"
#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SelectFontDlg.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>

namespace {

using D = CSetTextDlg;

constexpr FIELD kFields[] = {
    {0, "IDC_STATIC_TEXT", FIELD_KIND::Label, "文字列", 0, 0},
    {D::IDC_EDIT_TEXT, "IDC_EDIT_TEXT", FIELD_KIND::Edit, nullptr, 0, 1, 3},
    {0, "IDC_STATIC_FONT", FIELD_KIND::Label, "フォント", 1, 0},
    {D::IDC_EDIT_FONT_NAME, "IDC_EDIT_FONT_NAME", FIELD_KIND::ReadOnlyEdit, nullptr, 1, 1},
    {D::IDC_EDIT_FONT_SIZE, "IDC_EDIT_FONT_SIZE", FIELD_KIND::ReadOnlyEdit, nullptr, 1, 2, 1, -1, 50},
    {D::IDC_BTN_SEL_FONT, "IDC_BTN_SEL_FONT", FIELD_KIND::Button, "フォント選択", 1, 3},
    {0, "IDC_STATIC_COLOR", FIELD_KIND::Label, "カラー", 2, 0},
    {D::IDC_STATIC_TEXT_COLOR, "IDC_STATIC_TEXT_COLOR", FIELD_KIND::Swatch, "■", 2, 1},
};

constexpr FIELD_FORM kForm = {
    "CSetTextDlg", IDS_TEXT_TITLE, "確定", "[SETTEXTDLG]OnBnClickedOk()", kFields, {}, {},
};

} // namespace

CSetTextDlg::CSetTextDlg(QWidget* pParent) : CFieldFormDlg(kForm, pParent)
{
    connect(Field<QPushButton>(IDC_BTN_SEL_FONT), &QPushButton::clicked, this, [this] { OnBnClickedBtnSelFont(); });
    connect(Field<QToolButton>(IDC_STATIC_TEXT_COLOR), &QToolButton::clicked, this,
            [this] { OnStnClickedTextColor(); });
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
    CFieldFormDlg::OnInitDialog();
    m_EditFontName = m_FontName;
    m_nEditFontPt = m_nFontPt;
    m_EditColor = m_Color;
    SetFieldText(IDC_EDIT_TEXT, m_Text);
    Field<QLineEdit>(IDC_EDIT_TEXT)->setFocus();
    ShowFont();
    ShowColor();
    return TRUE;
}

void CSetTextDlg::ShowFont()
{
    SetFieldText(IDC_EDIT_FONT_NAME, m_EditFontName);
    SetFieldText(IDC_EDIT_FONT_SIZE, QString::number(m_nEditFontPt));
}

void CSetTextDlg::ShowColor()
{
    // The mark in the colour itself, on no background of its own.
    QToolButton* pSwatch = Field<QToolButton>(IDC_STATIC_TEXT_COLOR);
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

CFieldFormDlg::REFUSAL CSetTextDlg::CheckFields() const
{
    const QString text = FieldText(IDC_EDIT_TEXT);
    if (text.isEmpty()) {
        return {IDS_TEXT_MISSING, MB_ICONERROR};
    }
    if (CountCharacters(text) > kMaxChars || text.size() > kMaxUnits) {
        return {IDS_TEXT_TOO_LONG, MB_ICONERROR};
    }
    return {};
}

void CSetTextDlg::StoreFields()
{
    m_Text = FieldText(IDC_EDIT_TEXT);
    m_FontName = m_EditFontName;
    m_nFontPt = m_nEditFontPt;
    m_Color = m_EditColor;
}
