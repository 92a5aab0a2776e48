#include "app/dialogs/SaveContinueSettingDlg.h"

#include "app/LogFile.h"
#include "app/QSFileAccess.h"
#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/NumberText.h"
#include "ui_SaveContinueSettingDlg.h"

#include <algorithm>

namespace {

using Dlg = CSaveContinueSettingDlg;

constexpr CParamDialog::CONTROL_NAME kControls[] = {
    {Dlg::IDC_RADIO_SAVE_CONTINUE_TIME, "IDC_RADIO_SAVE_CONTINUE_TIME"},
    {Dlg::IDC_RADIO_SAVE_CONTINUE_CLICK, "IDC_RADIO_SAVE_CONTINUE_CLICK"},
    {Dlg::IDC_STATIC_SAVE_CONTINUE_MODE, "IDC_STATIC_SAVE_CONTINUE_MODE"},
    {Dlg::IDC_RADIO_INTERVAL_FIXED, "IDC_RADIO_INTERVAL_FIXED"},
    {Dlg::IDC_RADIO_INTERVAL_ASK, "IDC_RADIO_INTERVAL_ASK"},
    {Dlg::IDC_EDIT_INTERVAL_MIN, "IDC_EDIT_INTERVAL_MIN"},
    {Dlg::IDC_SPIN_INTERVAL_MIN, "IDC_SPIN_INTERVAL_MIN"},
    {Dlg::IDC_STATIC_INTERVAL, "IDC_STATIC_INTERVAL"},
    {Dlg::IDC_STATIC_MIN_UNIT, "IDC_STATIC_MIN_UNIT"},
    {Dlg::IDC_EDIT_INTERVAL_SEC, "IDC_EDIT_INTERVAL_SEC"},
    {Dlg::IDC_SPIN_INTERVAL_SEC, "IDC_SPIN_INTERVAL_SEC"},
    {Dlg::IDC_STATIC_SEC_UNIT, "IDC_STATIC_SEC_UNIT"},
    {Dlg::IDC_STATIC_INTERVAL_NOTE, "IDC_STATIC_INTERVAL_NOTE"},
    {Dlg::IDC_EDIT_INTERVAL_CNT, "IDC_EDIT_INTERVAL_CNT"},
    {Dlg::IDC_SPIN_INTERVAL_CNT, "IDC_SPIN_INTERVAL_CNT"},
    {Dlg::IDC_STATIC_COUNT, "IDC_STATIC_COUNT"},
    {Dlg::IDC_STATIC_COUNT_UNIT, "IDC_STATIC_COUNT_UNIT"},
    {Dlg::IDC_STATIC_COUNT_NOTE, "IDC_STATIC_COUNT_NOTE"},
    {Dlg::IDC_RADIO_FOLDER_FIXED, "IDC_RADIO_FOLDER_FIXED"},
    {Dlg::IDC_RADIO_FOLDER_ASK, "IDC_RADIO_FOLDER_ASK"},
    {Dlg::IDC_STATIC_SAVE_FOLDER_GROUP, "IDC_STATIC_SAVE_FOLDER_GROUP"},
    {Dlg::IDC_EDIT_SAVE_FOLDER, "IDC_EDIT_SAVE_FOLDER"},
    {Dlg::IDC_STATIC_FOLDER, "IDC_STATIC_FOLDER"},
    {Dlg::IDC_BTN_SEL_SAVE_FOLDER, "IDC_BTN_SEL_SAVE_FOLDER"},
    {Dlg::IDC_RADIO_SUBFOLDER_NONE, "IDC_RADIO_SUBFOLDER_NONE"},
    {Dlg::IDC_RADIO_SUBFOLDER_NUMBER, "IDC_RADIO_SUBFOLDER_NUMBER"},
    {Dlg::IDC_RADIO_SUBFOLDER_DATETIME, "IDC_RADIO_SUBFOLDER_DATETIME"},
    {Dlg::IDC_STATIC_SUBFOLDER, "IDC_STATIC_SUBFOLDER"},
    {Dlg::IDC_OK, "IDOK"},
    {Dlg::IDC_CANCEL, "IDCANCEL"},
};

// Controls that only matter for a series at a fixed interval and count.
constexpr int kIntervalControls[] = {
    Dlg::IDC_STATIC_INTERVAL,   Dlg::IDC_EDIT_INTERVAL_MIN, Dlg::IDC_SPIN_INTERVAL_MIN, Dlg::IDC_STATIC_MIN_UNIT,
    Dlg::IDC_EDIT_INTERVAL_SEC, Dlg::IDC_SPIN_INTERVAL_SEC, Dlg::IDC_STATIC_SEC_UNIT,   Dlg::IDC_STATIC_INTERVAL_NOTE,
    Dlg::IDC_STATIC_COUNT,      Dlg::IDC_EDIT_INTERVAL_CNT, Dlg::IDC_SPIN_INTERVAL_CNT, Dlg::IDC_STATIC_COUNT_UNIT,
    Dlg::IDC_STATIC_COUNT_NOTE,
};
// Controls that only matter when the series goes into a fixed folder.
constexpr int kFolderControls[] = {
    Dlg::IDC_STATIC_FOLDER,        Dlg::IDC_BTN_SEL_SAVE_FOLDER,    Dlg::IDC_STATIC_SUBFOLDER,
    Dlg::IDC_RADIO_SUBFOLDER_NONE, Dlg::IDC_RADIO_SUBFOLDER_NUMBER, Dlg::IDC_RADIO_SUBFOLDER_DATETIME,
};

constexpr int kMinSecLower = 0;
constexpr int kMinSecUpper = 59;
constexpr int kCountLower = 2;
constexpr int kCountUpper = 9999;
constexpr int kShortestSeconds = 3;

// Any text becomes the number it starts with, held within the range.
std::function<QString(const QString&)> ClampedNumber(int nLower, int nUpper)
{
    return [nLower, nUpper](const QString& text) {
        return QString::number(std::clamp(ParseLeadingInt(text), nLower, nUpper));
    };
}

} // namespace

CSaveContinueSettingDlg::CSaveContinueSettingDlg(QWidget* pParent)
    : CParamDialog(IDS_SAVE_CONTINUE_TITLE, pParent), m_pUi(std::make_unique<Ui::CSaveContinueSettingDlg>())
{
    m_pUi->setupUi(this);
    // "閉じる" is the way out; the title bar offers no close button and the
    // cancel button is hidden (Esc still leaves without changes).
    m_pUi->IDCANCEL->hide();
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    const struct {
        QLineEdit* pEdit;
        CSpinButtonCtrl* pSpin;
        int nLower;
        int nUpper;
    } numbers[] = {
        {m_pUi->IDC_EDIT_INTERVAL_MIN, m_pUi->IDC_SPIN_INTERVAL_MIN, kMinSecLower, kMinSecUpper},
        {m_pUi->IDC_EDIT_INTERVAL_SEC, m_pUi->IDC_SPIN_INTERVAL_SEC, kMinSecLower, kMinSecUpper},
        {m_pUi->IDC_EDIT_INTERVAL_CNT, m_pUi->IDC_SPIN_INTERVAL_CNT, kCountLower, kCountUpper},
    };
    for (const auto& n : numbers) {
        n.pSpin->SetBuddy(n.pEdit);
        n.pSpin->SetRange(n.nLower, n.nUpper);
        InstallTextCorrection(n.pEdit, ClampedNumber(n.nLower, n.nUpper));
    }

    // A click on any mode radio re-reads the controls and re-applies the rules.
    for (const int nID : {IDC_RADIO_SAVE_CONTINUE_TIME, IDC_RADIO_SAVE_CONTINUE_CLICK, IDC_RADIO_INTERVAL_FIXED,
                          IDC_RADIO_INTERVAL_ASK, IDC_RADIO_FOLDER_FIXED, IDC_RADIO_FOLDER_ASK}) {
        auto* pRadio = qobject_cast<QAbstractButton*>(GetDlgItem(nID));
        connect(pRadio, &QAbstractButton::clicked, this, [this] { ApplyEnabling(); });
    }
    connect(m_pUi->IDC_BTN_SEL_SAVE_FOLDER, &QPushButton::clicked, this, [this] { OnBnClickedBtnSelSaveFolder(); });
    connect(m_pUi->IDOK, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_pUi->IDCANCEL, &QPushButton::clicked, this, [this] { reject(); });
}

CSaveContinueSettingDlg::~CSaveContinueSettingDlg() = default;

std::span<const CParamDialog::CONTROL_NAME> CSaveContinueSettingDlg::Controls() const
{
    return kControls;
}

BOOL CSaveContinueSettingDlg::OnInitDialog()
{
    CParamDialog::OnInitDialog();
    if (m_pSaveContinueSetting != nullptr) {
        SetControls(*m_pSaveContinueSetting);
    }
    ApplyEnabling();
    return TRUE;
}

void CSaveContinueSettingDlg::SetControls(const SAVE_CONTINUE_SETTING& s)
{
    (s.SaveContinueMode == 0 ? m_pUi->IDC_RADIO_SAVE_CONTINUE_TIME : m_pUi->IDC_RADIO_SAVE_CONTINUE_CLICK)
        ->setChecked(true);
    (s.SaveIntervalKind == 0 ? m_pUi->IDC_RADIO_INTERVAL_FIXED : m_pUi->IDC_RADIO_INTERVAL_ASK)->setChecked(true);
    m_pUi->IDC_EDIT_INTERVAL_MIN->setText(QString::number(s.IntervelMin));
    m_pUi->IDC_EDIT_INTERVAL_SEC->setText(QString::number(s.IntervalSec));
    m_pUi->IDC_EDIT_INTERVAL_CNT->setText(QString::number(s.IntervalCnt));
    (s.SaveFolderKind == 0 ? m_pUi->IDC_RADIO_FOLDER_FIXED : m_pUi->IDC_RADIO_FOLDER_ASK)->setChecked(true);
    m_pUi->IDC_EDIT_SAVE_FOLDER->setText(s.SaveFolderPath);
    QRadioButton* pSub = m_pUi->IDC_RADIO_SUBFOLDER_NONE;
    if (s.SubFolderKind == 1) {
        pSub = m_pUi->IDC_RADIO_SUBFOLDER_NUMBER;
    } else if (s.SubFolderKind == 2) {
        pSub = m_pUi->IDC_RADIO_SUBFOLDER_DATETIME;
    }
    pSub->setChecked(true);
}

SAVE_CONTINUE_SETTING CSaveContinueSettingDlg::ReadControls() const
{
    SAVE_CONTINUE_SETTING s{};
    s.SaveContinueMode = m_pUi->IDC_RADIO_SAVE_CONTINUE_CLICK->isChecked() ? 1 : 0;
    s.SaveIntervalKind = m_pUi->IDC_RADIO_INTERVAL_ASK->isChecked() ? 1 : 0;
    s.IntervelMin = ParseLeadingInt(m_pUi->IDC_EDIT_INTERVAL_MIN->text());
    s.IntervalSec = ParseLeadingInt(m_pUi->IDC_EDIT_INTERVAL_SEC->text());
    s.IntervalCnt = ParseLeadingInt(m_pUi->IDC_EDIT_INTERVAL_CNT->text());
    s.SaveFolderKind = m_pUi->IDC_RADIO_FOLDER_ASK->isChecked() ? 1 : 0;
    s.SaveFolderPath = m_pUi->IDC_EDIT_SAVE_FOLDER->text();
    s.SubFolderKind = 0;
    if (m_pUi->IDC_RADIO_SUBFOLDER_NUMBER->isChecked()) {
        s.SubFolderKind = 1;
    } else if (m_pUi->IDC_RADIO_SUBFOLDER_DATETIME->isChecked()) {
        s.SubFolderKind = 2;
    }
    return s;
}

void CSaveContinueSettingDlg::ApplyEnabling()
{
    const SAVE_CONTINUE_SETTING s = ReadControls();
    const bool bTimed = s.SaveContinueMode == 0;
    EnableDlgItem(IDC_RADIO_INTERVAL_FIXED, bTimed);
    EnableDlgItem(IDC_RADIO_INTERVAL_ASK, bTimed);
    const bool bFixedInterval = bTimed && s.SaveIntervalKind == 0;
    for (const int nID : kIntervalControls) {
        EnableDlgItem(nID, bFixedInterval);
    }
    const bool bFixedFolder = s.SaveFolderKind == 0;
    for (const int nID : kFolderControls) {
        EnableDlgItem(nID, bFixedFolder);
    }
}

void CSaveContinueSettingDlg::OnBnClickedBtnSelSaveFolder()
{
    WriteLog(QStringLiteral("[SYSTEMDLG]OnBnClickedBtnSelSaveFolder()"));
    CQSFileAccess fileAccess;
    const QString folder = fileAccess.SelectFolder(QString());
    if (!folder.isEmpty()) {
        m_pUi->IDC_EDIT_SAVE_FOLDER->setText(folder);
    }
}

void CSaveContinueSettingDlg::OnOK()
{
    const SAVE_CONTINUE_SETTING s = ReadControls();
    if (s.SaveContinueMode == 0 && s.SaveIntervalKind == 0) {
        if (s.IntervelMin == 0 && s.IntervalSec < kShortestSeconds) {
            ShowMessage(IDS_INTERVAL_INVALID, MB_ICONERROR);
            return;
        }
        if (s.IntervalCnt < kCountLower) {
            ShowMessage(IDS_COUNT_MISSING, MB_ICONERROR);
            return;
        }
    }
    if (s.SaveFolderKind == 0 && s.SaveFolderPath.isEmpty()) {
        ShowMessage(IDS_FOLDER_MISSING, MB_ICONERROR);
        return;
    }
    // Written only now: a refused value never reaches the caller's block.
    if (m_pSaveContinueSetting != nullptr) {
        *m_pSaveContinueSetting = s;
    }
    accept();
}
