#include "app/dialogs/SetAviSecDlg.h"

#include "app/LogFile.h"
#include "app/dialogs/NumberText.h"
#include "ui_SetAviSecDlg.h"

#include <algorithm>

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CSetAviSecDlg::IDC_EDIT_AVI_SEC, "IDC_EDIT_AVI_SEC"},
    {CSetAviSecDlg::IDC_SPIN_AVI_SEC, "IDC_SPIN_AVI_SEC"},
    {CSetAviSecDlg::IDC_OK, "IDOK"},
    {CSetAviSecDlg::IDC_CANCEL, "IDCANCEL"},
};

// Out-of-range text, an emptied field included, becomes the nearer end, so
// the field always holds a length that can be recorded.
QString CorrectSeconds(const QString& text)
{
    const int n = ParseLeadingInt(text);
    if (n < CSetAviSecDlg::kMinSec) {
        return QString::number(CSetAviSecDlg::kMinSec);
    }
    if (n > CSetAviSecDlg::kMaxSec) {
        return QString::number(CSetAviSecDlg::kMaxSec);
    }
    return text;
}

} // namespace

CSetAviSecDlg::CSetAviSecDlg(QWidget* pParent)
    : CParamDialog(143, pParent), m_pUi(std::make_unique<Ui::CSetAviSecDlg>())
{
    m_pUi->setupUi(this);
    m_pUi->IDC_SPIN_AVI_SEC->SetBuddy(m_pUi->IDC_EDIT_AVI_SEC);
    m_pUi->IDC_SPIN_AVI_SEC->SetRange(kMinSec, kMaxSec);
    InstallTextCorrection(m_pUi->IDC_EDIT_AVI_SEC, CorrectSeconds);
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSetAviSecDlg::~CSetAviSecDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSetAviSecDlg::Controls() const
{
    return kControls;
}

BOOL CSetAviSecDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    m_pUi->IDC_EDIT_AVI_SEC->setText(QString::number(m_nAviSec));
    return TRUE;
}

void CSetAviSecDlg::OnBnClickedOk()
{
    WriteLog(QStringLiteral("[SETAVISECDLG]OnBnClickedOk()"));
    m_nAviSec = std::clamp(ParseLeadingInt(m_pUi->IDC_EDIT_AVI_SEC->text()), kMinSec, kMaxSec);
    accept();
}
