#include "app/dialogs/SetAviSecDlg.h"

#include "app/dialogs/DialogStrings.h"

#include <algorithm>

namespace {

using D = CSetAviSecDlg;

constexpr FIELD kFields[] = {
    {D::IDC_EDIT_AVI_SEC, "IDC_EDIT_AVI_SEC", FIELD_KIND::Edit, nullptr, 0, 0, 1, -1, 80},
    {D::IDC_SPIN_AVI_SEC, "IDC_SPIN_AVI_SEC", FIELD_KIND::Spin, nullptr, 0, 1},
    {0, "IDC_STATIC_AVI_SEC_UNIT", FIELD_KIND::Label, "秒", 0, 2},
    {0, "IDC_STATIC_AVI_NOTE", FIELD_KIND::Label, "※動画保存を開始したら、中止できません．", 1, 0, 4},
};

// Out-of-range text becomes the nearer end; an emptied field stays empty and
// is taken as 0.
constexpr NUMBER_FIELD kNumbers[] = {
    {D::IDC_EDIT_AVI_SEC, D::IDC_SPIN_AVI_SEC, D::kMinSec, D::kMaxSec, false},
};

constexpr FIELD_FORM kForm = {
    "CSetAviSecDlg", IDS_VIDEO_LENGTH_TITLE, "開始", "[SETAVISECDLG]OnBnClickedOk()", kFields, {}, kNumbers,
};

} // namespace

CSetAviSecDlg::CSetAviSecDlg(QWidget* pParent) : CFieldFormDlg(kForm, pParent)
{
}

BOOL CSetAviSecDlg::OnInitDialog()
{
    CFieldFormDlg::OnInitDialog();
    SetFieldText(IDC_EDIT_AVI_SEC, QString::number(m_nAviSec));
    return TRUE;
}

void CSetAviSecDlg::StoreFields()
{
    m_nAviSec = std::clamp(FieldInt(IDC_EDIT_AVI_SEC), kMinSec, kMaxSec);
}
