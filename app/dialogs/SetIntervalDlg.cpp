#include "app/dialogs/SetIntervalDlg.h"

#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/MessageBox.h"

namespace {

using D = CSetIntervalDlg;

constexpr int kMinSecUpper = 59;
constexpr int kCountLower = 1;
constexpr int kCountUpper = 9999;
constexpr int kShortestSeconds = 3;
constexpr int kEditWidth = 60;

constexpr FIELD kFields[] = {
    {0, "IDC_STATIC_INTERVAL", FIELD_KIND::Label, "保存時間間隔", 0, 0},
    {D::IDC_EDIT_INTERVAL_MIN, "IDC_EDIT_INTERVAL_MIN", FIELD_KIND::Edit, nullptr, 0, 1, 1, -1, kEditWidth},
    {D::IDC_SPIN_INTERVAL_MIN, "IDC_SPIN_INTERVAL_MIN", FIELD_KIND::Spin, nullptr, 0, 2},
    {0, "IDC_STATIC_MIN_UNIT", FIELD_KIND::Label, "分", 0, 3},
    {D::IDC_EDIT_INTERVAL_SEC, "IDC_EDIT_INTERVAL_SEC", FIELD_KIND::Edit, nullptr, 0, 4, 1, -1, kEditWidth},
    {D::IDC_SPIN_INTERVAL_SEC, "IDC_SPIN_INTERVAL_SEC", FIELD_KIND::Spin, nullptr, 0, 5},
    {0, "IDC_STATIC_SEC_UNIT", FIELD_KIND::Label, "秒", 0, 6},
    {0, "IDC_STATIC_INTERVAL_NOTE", FIELD_KIND::Label, "(3秒～59分59秒)", 0, 7},
    {0, "IDC_STATIC_COUNT", FIELD_KIND::Label, "保存回数", 1, 0},
    {D::IDC_EDIT_INTERVAL_CNT, "IDC_EDIT_INTERVAL_CNT", FIELD_KIND::Edit, nullptr, 1, 1, 1, -1, kEditWidth},
    {D::IDC_SPIN_INTERVAL_CNT, "IDC_SPIN_INTERVAL_CNT", FIELD_KIND::Spin, nullptr, 1, 2},
    {0, "IDC_STATIC_COUNT_UNIT", FIELD_KIND::Label, "回", 1, 3},
    {0, "IDC_STATIC_COUNT_NOTE", FIELD_KIND::Label, "(2回～9999回)", 1, 4, 4},
};

// Minutes and seconds rewrite only a number out of range, so an emptied field
// stays empty while the user types a new number (and reads as 0 on OK).
constexpr NUMBER_FIELD kNumbers[] = {
    {D::IDC_EDIT_INTERVAL_MIN, D::IDC_SPIN_INTERVAL_MIN, 0, kMinSecUpper, true},
    {D::IDC_EDIT_INTERVAL_SEC, D::IDC_SPIN_INTERVAL_SEC, 0, kMinSecUpper, true},
    {D::IDC_EDIT_INTERVAL_CNT, D::IDC_SPIN_INTERVAL_CNT, kCountLower, kCountUpper, true},
};

constexpr FIELD_FORM kForm = {
    "CSetIntervalDlg", IDS_SAVE_CONTINUE_TITLE, "開始", "[SETINTERVALDLG]OnBnClickedOk()", kFields, {}, kNumbers,
};

} // namespace

CSetIntervalDlg::CSetIntervalDlg(QWidget* pParent) : CFieldFormDlg(kForm, pParent)
{
}

BOOL CSetIntervalDlg::OnInitDialog()
{
    CFieldFormDlg::OnInitDialog();
    SetFieldText(IDC_EDIT_INTERVAL_MIN, QString::number(m_nIntervalMin));
    SetFieldText(IDC_EDIT_INTERVAL_SEC, QString::number(m_nIntervalSec));
    SetFieldText(IDC_EDIT_INTERVAL_CNT, QString::number(m_nIntervalCnt));
    return TRUE;
}

CFieldFormDlg::REFUSAL CSetIntervalDlg::CheckFields() const
{
    if (FieldInt(IDC_EDIT_INTERVAL_MIN) == 0 && FieldInt(IDC_EDIT_INTERVAL_SEC) < kShortestSeconds) {
        return {IDS_INTERVAL_INVALID, MB_ICONERROR};
    }
    if (FieldInt(IDC_EDIT_INTERVAL_CNT) < kCountLower) {
        return {IDS_COUNT_MISSING, MB_ICONERROR};
    }
    return {};
}

void CSetIntervalDlg::StoreFields()
{
    m_nIntervalMin = FieldInt(IDC_EDIT_INTERVAL_MIN);
    m_nIntervalSec = FieldInt(IDC_EDIT_INTERVAL_SEC);
    m_nIntervalCnt = FieldInt(IDC_EDIT_INTERVAL_CNT);
}
