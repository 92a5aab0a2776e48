#include "app/dialogs/SetScaleDlg.h"

#include "app/PixmetraApp.h"
#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/MessageBox.h"

#include <QCheckBox>
#include <QLabel>

namespace {

using D = CSetScaleDlg;

constexpr int kPositionGroup = 0;
constexpr int kLengthGroup = 1;

constexpr FIELD_GROUP kGroups[] = {
    {"IDC_STATIC_SCALE_POS", "表示位置"},
    {"IDC_STATIC_SCALE_LENGTH", "長さ"},
};

constexpr FIELD kFields[] = {
    {D::IDC_RADIO_SCALE_UPPER_LEFT, "IDC_RADIO_SCALE_UPPER_LEFT", FIELD_KIND::Radio, "左上", 0, 0, 1, kPositionGroup},
    {D::IDC_RADIO_SCALE_LOWER_LEFT, "IDC_RADIO_SCALE_LOWER_LEFT", FIELD_KIND::Radio, "左下", 0, 1, 1, kPositionGroup},
    {D::IDC_RADIO_SCALE_UPPER_RIGHT, "IDC_RADIO_SCALE_UPPER_RIGHT", FIELD_KIND::Radio, "右上", 0, 2, 1, kPositionGroup},
    {D::IDC_RADIO_SCALE_LOWER_RIGHT, "IDC_RADIO_SCALE_LOWER_RIGHT", FIELD_KIND::Radio, "右下", 0, 3, 1, kPositionGroup},
    {0, "IDC_STATIC_SCALE_X", FIELD_KIND::Label, "X", 0, 0, 1, kLengthGroup},
    {D::IDC_EDIT_SCALE_X, "IDC_EDIT_SCALE_X", FIELD_KIND::Edit, nullptr, 0, 1, 1, kLengthGroup},
    {D::IDC_STATIC_SCALE_X_UNIT, "IDC_STATIC_SCALE_X_UNIT", FIELD_KIND::Label, nullptr, 0, 2, 1, kLengthGroup},
    {D::IDC_CHECK_SCALE_Y, "IDC_CHECK_SCALE_Y", FIELD_KIND::Check, "Y", 1, 0, 1, kLengthGroup},
    {D::IDC_EDIT_SCALE_Y, "IDC_EDIT_SCALE_Y", FIELD_KIND::Edit, nullptr, 1, 1, 1, kLengthGroup},
    {D::IDC_STATIC_SCALE_Y_UNIT, "IDC_STATIC_SCALE_Y_UNIT", FIELD_KIND::Label, nullptr, 1, 2, 1, kLengthGroup},
};

constexpr FIELD_FORM kForm = {
    "CSetScaleDlg", IDS_SCALE_TITLE, "確定", "[SETSCALEDLG]OnBnClickedOk()", kFields, kGroups, {},
};

// The position radios in the order of the position numbers.
constexpr int kPositionRadios[] = {
    D::IDC_RADIO_SCALE_UPPER_LEFT,
    D::IDC_RADIO_SCALE_LOWER_LEFT,
    D::IDC_RADIO_SCALE_UPPER_RIGHT,
    D::IDC_RADIO_SCALE_LOWER_RIGHT,
};

} // namespace

CSetScaleDlg::CSetScaleDlg(QWidget* pParent) : CFieldFormDlg(kForm, pParent)
{
    connect(Field<QCheckBox>(IDC_CHECK_SCALE_Y), &QCheckBox::toggled, this, [this] { UpdateYEnabling(); });
}

BOOL CSetScaleDlg::OnInitDialog()
{
    CFieldFormDlg::OnInitDialog();
    const QString unit = CPixmetraApp::GetUnitName(m_nUnitKind);
    Field<QLabel>(IDC_STATIC_SCALE_X_UNIT)->setText(unit);
    Field<QLabel>(IDC_STATIC_SCALE_Y_UNIT)->setText(unit);
    // A position outside 0..3 selects none; OK then keeps the caller's.
    for (int i = 0; i < 4; ++i) {
        Field<QAbstractButton>(kPositionRadios[i])->setChecked(i == m_nScalePos);
    }
    SetFieldText(IDC_EDIT_SCALE_X, QString::number(m_dScaleSizeX, 'f', 1));
    SetFieldText(IDC_EDIT_SCALE_Y, QString::number(m_dScaleSizeY, 'f', 1));
    Field<QCheckBox>(IDC_CHECK_SCALE_Y)->setChecked(m_dScaleSizeY > 0.0);
    UpdateYEnabling();
    return TRUE;
}

bool CSetScaleDlg::HasY() const
{
    return Field<QCheckBox>(IDC_CHECK_SCALE_Y)->isChecked();
}

void CSetScaleDlg::UpdateYEnabling()
{
    EnableDlgItem(IDC_EDIT_SCALE_Y, HasY());
    EnableDlgItem(IDC_STATIC_SCALE_Y_UNIT, HasY());
}

CFieldFormDlg::REFUSAL CSetScaleDlg::CheckFields() const
{
    if (!(FieldDouble(IDC_EDIT_SCALE_X) > 0.0) || (HasY() && !(FieldDouble(IDC_EDIT_SCALE_Y) > 0.0))) {
        return {IDS_SCALE_LENGTH_INVALID, MB_ICONERROR};
    }
    return {};
}

void CSetScaleDlg::StoreFields()
{
    for (int i = 0; i < 4; ++i) {
        if (Field<QAbstractButton>(kPositionRadios[i])->isChecked()) {
            m_nScalePos = i;
        }
    }
    m_dScaleSizeX = FieldDouble(IDC_EDIT_SCALE_X);
    m_dScaleSizeY = HasY() ? FieldDouble(IDC_EDIT_SCALE_Y) : 0.0;
}
