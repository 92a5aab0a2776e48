#include "app/dialogs/SetLengthDlg.h"

#include "app/dialogs/MessageBox.h"
#include "app/dialogs/NumberText.h"
#include "ui_SetLengthDlg.h"

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CSetLengthDlg::IDC_EDIT_LENGTH, "IDC_EDIT_LENGTH"},
    {CSetLengthDlg::IDC_STATIC_LENGTH_UNIT, "IDC_STATIC_LENGTH_UNIT"},
    {CSetLengthDlg::IDC_OK, "IDOK"},
    {CSetLengthDlg::IDC_CANCEL, "IDCANCEL"},
};

} // namespace

CSetLengthDlg::CSetLengthDlg(QWidget* pParent)
    : CParamDialog(144, pParent), m_pUi(std::make_unique<Ui::CSetLengthDlg>())
{
    m_pUi->setupUi(this);
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSetLengthDlg::~CSetLengthDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSetLengthDlg::Controls() const
{
    return kControls;
}

BOOL CSetLengthDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    m_pUi->IDC_STATIC_LENGTH_UNIT->setText(m_UnitText);
    m_pUi->IDC_EDIT_LENGTH->setText(m_dReferenceLength > 0.0 ? QString::number(m_dReferenceLength, 'g', 15)
                                                              : QString());
    m_pUi->IDC_EDIT_LENGTH->setFocus();
    m_pUi->IDC_EDIT_LENGTH->selectAll();
    return TRUE;
}

void CSetLengthDlg::OnBnClickedOk()
{
    const double d = ParseLeadingDouble(m_pUi->IDC_EDIT_LENGTH->text());
    if (!(d > 0.0)) {
        ShowMessage(580, MB_ICONWARNING);
        return;
    }
    m_dReferenceLength = d;
    accept();
}
