#include "app/dialogs/SetScaleDlg.h"

#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/NumberText.h"
#include "ui_SetScaleDlg.h"

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CSetScaleDlg::IDC_RADIO_SCALE_UPPER_LEFT, "IDC_RADIO_SCALE_UPPER_LEFT"},
    {CSetScaleDlg::IDC_RADIO_SCALE_LOWER_LEFT, "IDC_RADIO_SCALE_LOWER_LEFT"},
    {CSetScaleDlg::IDC_RADIO_SCALE_UPPER_RIGHT, "IDC_RADIO_SCALE_UPPER_RIGHT"},
    {CSetScaleDlg::IDC_RADIO_SCALE_LOWER_RIGHT, "IDC_RADIO_SCALE_LOWER_RIGHT"},
    {CSetScaleDlg::IDC_EDIT_SCALE_X, "IDC_EDIT_SCALE_X"},
    {CSetScaleDlg::IDC_EDIT_SCALE_Y, "IDC_EDIT_SCALE_Y"},
    {CSetScaleDlg::IDC_CHECK_SCALE_Y, "IDC_CHECK_SCALE_Y"},
    {CSetScaleDlg::IDC_STATIC_SCALE_X_UNIT, "IDC_STATIC_SCALE_X_UNIT"},
    {CSetScaleDlg::IDC_STATIC_SCALE_Y_UNIT, "IDC_STATIC_SCALE_Y_UNIT"},
    {CSetScaleDlg::IDC_OK, "IDOK"},
    {CSetScaleDlg::IDC_CANCEL, "IDCANCEL"},
};

// The position radios in the order of the position numbers.
constexpr int kPositionRadios[] = {
    CSetScaleDlg::IDC_RADIO_SCALE_UPPER_LEFT,
    CSetScaleDlg::IDC_RADIO_SCALE_LOWER_LEFT,
    CSetScaleDlg::IDC_RADIO_SCALE_UPPER_RIGHT,
    CSetScaleDlg::IDC_RADIO_SCALE_LOWER_RIGHT,
};

} // namespace

CSetScaleDlg::CSetScaleDlg(QWidget* pParent)
    : CParamDialog(145, pParent), m_pUi(std::make_unique<Ui::CSetScaleDlg>())
{
    m_pUi->setupUi(this);
    connect(m_pUi->IDC_CHECK_SCALE_Y, &QCheckBox::toggled, this, [this] { UpdateYEnabling(); });
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSetScaleDlg::~CSetScaleDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSetScaleDlg::Controls() const
{
    return kControls;
}

BOOL CSetScaleDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    const QString unit = CPixmetraApp::GetUnitName(m_nUnitKind);
    m_pUi->IDC_STATIC_SCALE_X_UNIT->setText(unit);
    m_pUi->IDC_STATIC_SCALE_Y_UNIT->setText(unit);
    // A position outside 0..3 selects none; OK then keeps the caller's.
    for (int i = 0; i < 4; ++i) {
        if (auto* pRadio = qobject_cast<QAbstractButton*>(GetDlgItem(kPositionRadios[i]))) {
            pRadio->setChecked(i == m_nScalePos);
        }
    }
    m_pUi->IDC_EDIT_SCALE_X->setText(QString::number(m_dScaleSizeX, 'f', 1));
    m_pUi->IDC_EDIT_SCALE_Y->setText(QString::number(m_dScaleSizeY, 'f', 1));
    m_pUi->IDC_CHECK_SCALE_Y->setChecked(m_dScaleSizeY > 0.0);
    UpdateYEnabling();
    return TRUE;
}

void CSetScaleDlg::UpdateYEnabling()
{
    const bool bY = m_pUi->IDC_CHECK_SCALE_Y->isChecked();
    m_pUi->IDC_EDIT_SCALE_Y->setEnabled(bY);
    m_pUi->IDC_STATIC_SCALE_Y_UNIT->setEnabled(bY);
}

void CSetScaleDlg::OnBnClickedOk()
{
    WriteLog(QStringLiteral("[SETSCALEDLG]OnBnClickedOk()"));
    const double dX = ParseLeadingDouble(m_pUi->IDC_EDIT_SCALE_X->text());
    const bool bY = m_pUi->IDC_CHECK_SCALE_Y->isChecked();
    const double dY = bY ? ParseLeadingDouble(m_pUi->IDC_EDIT_SCALE_Y->text()) : 0.0;
    if (!(dX > 0.0) || (bY && !(dY > 0.0))) {
        ShowMessage(613, MB_ICONERROR);
        return;
    }
    for (int i = 0; i < 4; ++i) {
        if (auto* pRadio = qobject_cast<QAbstractButton*>(GetDlgItem(kPositionRadios[i]))) {
            if (pRadio->isChecked()) {
                m_nScalePos = i;
            }
        }
    }
    m_dScaleSizeX = dX;
    m_dScaleSizeY = dY;
    accept();
}
