#include "app/dialogs/SetLengthDlg.h"

#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/MessageBox.h"

#include <QLabel>
#include <QLineEdit>

namespace {

using D = CSetLengthDlg;

constexpr FIELD kFields[] = {
    {0, "IDC_STATIC_LENGTH_NOTE", FIELD_KIND::Label, "※基準長を入力してください．", 0, 0, 2},
    {D::IDC_EDIT_LENGTH, "IDC_EDIT_LENGTH", FIELD_KIND::Edit, nullptr, 1, 0},
    {D::IDC_STATIC_LENGTH_UNIT, "IDC_STATIC_LENGTH_UNIT", FIELD_KIND::Label, nullptr, 1, 1},
};

constexpr FIELD_FORM kForm = {
    "CSetLengthDlg", IDS_REFERENCE_LENGTH_TITLE, "確定", nullptr, kFields, {}, {},
};

} // namespace

CSetLengthDlg::CSetLengthDlg(QWidget* pParent) : CFieldFormDlg(kForm, pParent)
{
}

BOOL CSetLengthDlg::OnInitDialog()
{
    CFieldFormDlg::OnInitDialog();
    Field<QLabel>(IDC_STATIC_LENGTH_UNIT)->setText(m_UnitText);
    SetFieldText(IDC_EDIT_LENGTH, m_dReferenceLength > 0.0 ? QString::number(m_dReferenceLength, 'g', 15) : QString());
    QLineEdit* pEdit = Field<QLineEdit>(IDC_EDIT_LENGTH);
    pEdit->setFocus();
    pEdit->selectAll();
    return TRUE;
}

CFieldFormDlg::REFUSAL CSetLengthDlg::CheckFields() const
{
    if (!(FieldDouble(IDC_EDIT_LENGTH) > 0.0)) {
        return {IDS_NUMBER_INVALID, MB_ICONWARNING};
    }
    return {};
}

void CSetLengthDlg::StoreFields()
{
    m_dReferenceLength = FieldDouble(IDC_EDIT_LENGTH);
}
