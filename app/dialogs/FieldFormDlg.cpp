#include "app/dialogs/FieldFormDlg.h"

#include "app/LogFile.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/NumberText.h"
#include "app/dialogs/SpinButtonCtrl.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kCancelText = "キャンセル";

QString Utf8(const char* psz)
{
    return psz != nullptr ? QString::fromUtf8(psz) : QString();
}

QString CorrectToLimits(const QString& text, const NUMBER_FIELD& limits)
{
    if (limits.bEmptyStays && text.isEmpty()) {
        return text;
    }
    const int n = ParseLeadingInt(text);
    if (n < limits.nLower) {
        return QString::number(limits.nLower);
    }
    if (n > limits.nUpper) {
        return QString::number(limits.nUpper);
    }
    return text;
}

QWidget* MakeControl(const FIELD& f, QWidget* pParent)
{
    QWidget* p = nullptr;
    switch (f.kind) {
    case FIELD_KIND::Label: {
        auto* pLabel = new QLabel(Utf8(f.pText), pParent);
        pLabel->setTextFormat(Qt::PlainText);
        p = pLabel;
        break;
    }
    case FIELD_KIND::Edit:
    case FIELD_KIND::ReadOnlyEdit: {
        auto* pEdit = new QLineEdit(pParent);
        pEdit->setReadOnly(f.kind == FIELD_KIND::ReadOnlyEdit);
        p = pEdit;
        break;
    }
    case FIELD_KIND::Spin: p = new CSpinButtonCtrl(pParent); break;
    case FIELD_KIND::Check: p = new QCheckBox(Utf8(f.pText), pParent); break;
    case FIELD_KIND::Radio: p = new QRadioButton(Utf8(f.pText), pParent); break;
    case FIELD_KIND::Button: {
        auto* pButton = new QPushButton(Utf8(f.pText), pParent);
        pButton->setAutoDefault(false);
        p = pButton;
        break;
    }
    case FIELD_KIND::Swatch: {
        auto* pSwatch = new QToolButton(pParent);
        pSwatch->setText(Utf8(f.pText));
        pSwatch->setAutoRaise(true);
        p = pSwatch;
        break;
    }
    }
    p->setObjectName(QLatin1String(f.pName));
    if (f.nMaxWidth > 0) {
        p->setMaximumWidth(f.nMaxWidth);
    }
    return p;
}

QPushButton* MakeButton(const char* pName, const char* pText, bool bDefault, QWidget* pParent)
{
    auto* p = new QPushButton(Utf8(pText), pParent);
    p->setObjectName(QLatin1String(pName));
    p->setDefault(bDefault);
    p->setAutoDefault(bDefault);
    return p;
}

} // namespace

CFieldFormDlg::CFieldFormDlg(const FIELD_FORM& form, QWidget* pParent)
    : CParamDialog(form.nCaptionID, pParent), m_Form(form)
{
    Build();
}

void CFieldFormDlg::Build()
{
    setObjectName(QLatin1String(m_Form.pName));
    auto* pLayout = new QVBoxLayout(this);
    // The form's own grid first, then each group's frame with its grid.
    std::vector<QGridLayout*> grids(m_Form.groups.size() + 1, nullptr);
    std::vector<QWidget*> owners(grids.size(), this);
    grids[0] = new QGridLayout;
    pLayout->addLayout(grids[0]);
    for (size_t i = 0; i < m_Form.groups.size(); ++i) {
        auto* pGroup = new QGroupBox(Utf8(m_Form.groups[i].pTitle), this);
        pGroup->setObjectName(QLatin1String(m_Form.groups[i].pName));
        grids[i + 1] = new QGridLayout(pGroup);
        owners[i + 1] = pGroup;
        pLayout->addWidget(pGroup);
    }
    for (const FIELD& f : m_Form.fields) {
        const size_t nGrid = size_t(f.nGroup + 1);
        grids[nGrid]->addWidget(MakeControl(f, owners[nGrid]), f.nRow, f.nCol, 1, f.nColSpan);
        if (f.nID != 0) {
            m_Controls.push_back({f.nID, f.pName});
        }
    }

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    QPushButton* pOk = MakeButton("IDOK", m_Form.pOkText, true, this);
    QPushButton* pCancel = MakeButton("IDCANCEL", kCancelText, false, this);
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pLayout->addLayout(pButtons);
    m_Controls.push_back({IDC_OK, "IDOK"});
    m_Controls.push_back({IDC_CANCEL, "IDCANCEL"});
    connect(pOk, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(pCancel, &QPushButton::clicked, this, [this] { reject(); });

    for (const NUMBER_FIELD& n : m_Form.numbers) {
        auto* pEdit = Field<QLineEdit>(n.nEditID);
        auto* pSpin = Field<CSpinButtonCtrl>(n.nSpinID);
        pSpin->SetBuddy(pEdit);
        pSpin->SetRange(n.nLower, n.nUpper);
        InstallTextCorrection(pEdit, [n](const QString& text) { return CorrectToLimits(text, n); });
    }
}

std::span<const CParamDialog::CONTROL_NAME> CFieldFormDlg::Controls() const
{
    return m_Controls;
}

QString CFieldFormDlg::FieldText(int nID) const
{
    const auto* p = Field<QLineEdit>(nID);
    return p != nullptr ? p->text() : QString();
}

int CFieldFormDlg::FieldInt(int nID) const
{
    return ParseLeadingInt(FieldText(nID));
}

double CFieldFormDlg::FieldDouble(int nID) const
{
    return ParseLeadingDouble(FieldText(nID));
}

void CFieldFormDlg::SetFieldText(int nID, const QString& text)
{
    if (auto* p = Field<QLineEdit>(nID)) {
        p->setText(text);
    }
}

void CFieldFormDlg::OnBnClickedOk()
{
    if (m_Form.pOkLog != nullptr) {
        WriteLog(QString::fromUtf8(m_Form.pOkLog));
    }
    const REFUSAL refusal = CheckFields();
    if (refusal.nMessageID != 0) {
        ShowMessage(refusal.nMessageID, refusal.nIcon);
        return;
    }
    StoreFields();
    accept();
}
