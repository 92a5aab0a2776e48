#include "app/dialogs/SetIntervalDlg.h"

#include "app/LogFile.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/NumberText.h"
#include "ui_SetIntervalDlg.h"

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, "IDC_EDIT_INTERVAL_MIN"},
    {CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC, "IDC_EDIT_INTERVAL_SEC"},
    {CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, "IDC_EDIT_INTERVAL_CNT"},
    {CSetIntervalDlg::IDC_SPIN_INTERVAL_MIN, "IDC_SPIN_INTERVAL_MIN"},
    {CSetIntervalDlg::IDC_SPIN_INTERVAL_SEC, "IDC_SPIN_INTERVAL_SEC"},
    {CSetIntervalDlg::IDC_SPIN_INTERVAL_CNT, "IDC_SPIN_INTERVAL_CNT"},
    {CSetIntervalDlg::IDC_OK, "IDOK"},
    {CSetIntervalDlg::IDC_CANCEL, "IDCANCEL"},
};

constexpr int kMinSecUpper = 59;
constexpr int kCountLower = 1;
constexpr int kCountUpper = 9999;
constexpr int kShortestSeconds = 3;

// Only a number outside the range is rewritten, so an emptied field stays
// empty while the user types a new number (and reads as 0 on OK).
QString CorrectMinSec(const QString& text)
{
    const int n = ParseLeadingInt(text);
    if (n < 0) {
        return QStringLiteral("0");
    }
    if (n > kMinSecUpper) {
        return QString::number(kMinSecUpper);
    }
    return text;
}

QString CorrectCount(const QString& text)
{
    if (text.isEmpty()) {
        return text;
    }
    const int n = ParseLeadingInt(text);
    if (n < kCountLower) {
        return QString::number(kCountLower);
    }
    if (n > kCountUpper) {
        return QString::number(kCountUpper);
    }
    return text;
}

} // namespace

CSetIntervalDlg::CSetIntervalDlg(QWidget* pParent)
    : CParamDialog(142, pParent), m_pUi(std::make_unique<Ui::CSetIntervalDlg>())
{
    m_pUi->setupUi(this);
    m_pUi->IDC_SPIN_INTERVAL_MIN->SetBuddy(m_pUi->IDC_EDIT_INTERVAL_MIN);
    m_pUi->IDC_SPIN_INTERVAL_MIN->SetRange(0, kMinSecUpper);
    m_pUi->IDC_SPIN_INTERVAL_SEC->SetBuddy(m_pUi->IDC_EDIT_INTERVAL_SEC);
    m_pUi->IDC_SPIN_INTERVAL_SEC->SetRange(0, kMinSecUpper);
    m_pUi->IDC_SPIN_INTERVAL_CNT->SetBuddy(m_pUi->IDC_EDIT_INTERVAL_CNT);
    m_pUi->IDC_SPIN_INTERVAL_CNT->SetRange(kCountLower, kCountUpper);
    InstallTextCorrection(m_pUi->IDC_EDIT_INTERVAL_MIN, CorrectMinSec);
    InstallTextCorrection(m_pUi->IDC_EDIT_INTERVAL_SEC, CorrectMinSec);
    InstallTextCorrection(m_pUi->IDC_EDIT_INTERVAL_CNT, CorrectCount);
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSetIntervalDlg::~CSetIntervalDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSetIntervalDlg::Controls() const
{
    return kControls;
}

BOOL CSetIntervalDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    m_pUi->IDC_EDIT_INTERVAL_MIN->setText(QString::number(m_nIntervalMin));
    m_pUi->IDC_EDIT_INTERVAL_SEC->setText(QString::number(m_nIntervalSec));
    m_pUi->IDC_EDIT_INTERVAL_CNT->setText(QString::number(m_nIntervalCnt));
    return TRUE;
}

void CSetIntervalDlg::OnBnClickedOk()
{
    WriteLog(QStringLiteral("[SETINTERVALDLG]OnBnClickedOk()"));
    const int nMin = ParseLeadingInt(m_pUi->IDC_EDIT_INTERVAL_MIN->text());
    const int nSec = ParseLeadingInt(m_pUi->IDC_EDIT_INTERVAL_SEC->text());
    const int nCnt = ParseLeadingInt(m_pUi->IDC_EDIT_INTERVAL_CNT->text());
    if (nMin == 0 && nSec < kShortestSeconds) {
        ShowMessage(610, MB_ICONERROR);
        return;
    }
    if (nCnt < kCountLower) {
        ShowMessage(611, MB_ICONERROR);
        return;
    }
    m_nIntervalMin = nMin;
    m_nIntervalSec = nSec;
    m_nIntervalCnt = nCnt;
    accept();
}
