#include "app/dialogs/SelectFontDlg.h"

#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/NumberText.h"
#include "ui_SelectFontDlg.h"

namespace {

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {CSelectFontDlg::IDC_COMBO_FONT_NAME, "IDC_COMBO_FONT_NAME"},
    {CSelectFontDlg::IDC_COMBO_FONT_SIZE, "IDC_COMBO_FONT_SIZE"},
    {CSelectFontDlg::IDC_OK, "IDOK"},
    {CSelectFontDlg::IDC_CANCEL, "IDCANCEL"},
};

constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

} // namespace

CSelectFontDlg::CSelectFontDlg(QWidget* pParent)
    : CParamDialog(IDS_SELECT_FONT_TITLE, pParent), m_pUi(std::make_unique<Ui::CSelectFontDlg>())
{
    m_pUi->setupUi(this);
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSelectFontDlg::CSelectFontDlg(const QString& fontName, int nFontPt, QWidget* pParent) : CSelectFontDlg(pParent)
{
    SetFont(fontName, nFontPt);
}

CSelectFontDlg::~CSelectFontDlg() = default;

void CSelectFontDlg::SetFont(const QString& fontName, int nFontPt)
{
    if (!fontName.isEmpty()) {
        m_FontName = fontName;
    }
    if (nFontPt > 0) {
        m_nFontPt = nFontPt;
    }
}

std::span<const CParamDialog::CONTROL_NAME> CSelectFontDlg::Controls() const
{
    return kControls;
}

BOOL CSelectFontDlg::OnInitDialog()
{
    // The captions are translated before the lists are filled: face names
    // and sizes are not texts to translate.
    CParamDialog::OnInitDialog();
    CFontComboBox* pFaces = m_pUi->IDC_COMBO_FONT_NAME;
    pFaces->FillFontFaces();
    pFaces->setCurrentIndex(pFaces->FindFace(m_FontName));

    QComboBox* pSizes = m_pUi->IDC_COMBO_FONT_SIZE;
    pSizes->clear();
    int nSelected = -1;
    for (const int n : kSizes) {
        if (n == m_nFontPt) {
            nSelected = pSizes->count();
        }
        pSizes->addItem(QString::number(n));
    }
    pSizes->setCurrentIndex(nSelected);
    pSizes->setEditText(QString::number(m_nFontPt));
    return TRUE;
}

void CSelectFontDlg::OnBnClickedOk()
{
    CFontComboBox* pFaces = m_pUi->IDC_COMBO_FONT_NAME;
    if (pFaces->currentIndex() >= 0) {
        m_FontName = pFaces->currentText();
    }
    const int nPt = ParseLeadingInt(m_pUi->IDC_COMBO_FONT_SIZE->currentText());
    if (nPt > 0) {
        m_nFontPt = nPt;
    }
    accept();
}
