#include "workflow/toolwnd/PageCalibration.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/DialogKeys.h"
#include "workflow/calibration/CalibrationList.h"
#include "workflow/toolwnd/ToolControls.h"
#include "workflow/toolwnd/ToolMessages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void CPageCalibration::OnPageMessage(UINT nMessage, WPARAM, LPARAM)
{
    if (nMessage == WM_LIST_SELECT_CHANGED) {
        OnListSelect();
    }
}

CPageCalibration::CPageCalibration(QWidget* pParent) : QWidget(pParent), m_Receiver(this), m_Sink(&m_Receiver)
{
    auto name = [this](int nID, QWidget* pControl) {
        pControl->setObjectName(QString::fromLatin1(ToolControlName(nID)));
        m_Controls[nID] = pControl;
        return pControl;
    };
    m_pList = new CQSListCtrl(this);
    name(IDC_LIST_CALIBRATION, m_pList);
    SetupCalibrationListColumns(*m_pList, 264, &m_Sink);
    m_pName = new QLineEdit(this);
    name(IDC_EDIT_CALIB_NAME, m_pName);
    connect(m_pName, &QLineEdit::editingFinished, this, [this] {
        m_Table.Rename(m_pName->text());
        StoreToSetting();
        RefreshCalibrationList(*m_pList, m_Table);
        Post(WM_CHANGE_CALIBRATION);
    });
    auto* pGrid = new QGridLayout;
    auto* pTwo = new QRadioButton(TranslateProgramText(QStringLiteral("2点")), this);
    auto* pThree = new QRadioButton(TranslateProgramText(QStringLiteral("3点")), this);
    pTwo->setChecked(true);
    // Radios of one parent exclude each other: the method and the unit need groups of their own.
    auto* pMethodGroup = new QButtonGroup(this);
    pMethodGroup->addButton(pTwo);
    pMethodGroup->addButton(pThree);
    auto* pUnitGroup = new QButtonGroup(this);
    pGrid->addWidget(name(IDC_RADIO_TWO_POINTS, pTwo), 0, 0);
    pGrid->addWidget(name(IDC_RADIO_THREE_POINTS, pThree), 0, 1);
    const char* units[] = {"μm", "mm", "cm"};
    for (int u = 0; u < 3; ++u) {
        auto* pUnit = new QRadioButton(QString::fromUtf8(units[u]), this);
        pUnitGroup->addButton(pUnit);
        connect(pUnit, &QRadioButton::clicked, this, [this, u] {
            // Only the label changes, never the numbers: a set slot asks first, and No puts the radio back.
            if (m_Table.UnitChangeNeedsQuestion(u) &&
                AfxMessageBox(CALIB_ASK_UNIT, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
                UpdateControls();
                return;
            }
            if (m_Table.SetUnit(u)) {
                StoreToSetting();
                Post(WM_CHANGE_CALIBRATION);
            }
        });
        pGrid->addWidget(name(IDC_RADIO_UNIT_UM + u, pUnit), 1, u);
    }
    struct BUTTON {
        int nID;
        const char* pszCaption;
        UINT nMessage;
    };
    int col = 0;
    for (const BUTTON& b : {BUTTON{IDC_BTN_SET_CALIBRATION, "設定", WM_START_SET_CALIBRATION},
                            BUTTON{IDC_BTN_DELETE_CALIBRATION, "削除", 0},
                            BUTTON{IDC_BTN_LOAD_CALIBRATION, "読込み", WM_LOAD_CALIBRATION_DATA},
                            BUTTON{IDC_BTN_SAVE_CALIBRATION, "保存", WM_SAVE_CALIBRATION_DATA}}) {
        auto* pButton = new QPushButton(TranslateProgramText(QString::fromUtf8(b.pszCaption)), this);
        m_Controls[b.nID] = pButton;
        pButton->setObjectName(b.nID == IDC_BTN_DELETE_CALIBRATION ? QString::fromLatin1(kCalibrationDeleteName)
                                             : QString::fromLatin1(ToolControlName(b.nID)));
        const UINT nMessage = b.nMessage;
        connect(pButton, &QPushButton::clicked, this, [this, nMessage] {
            if (nMessage != 0) {
                m_Table.SetPointKind(m_Controls[IDC_RADIO_THREE_POINTS]->property("checked").toBool() ? 1 : 0);
                Post(nMessage);
            }
        });
        pGrid->addWidget(pButton, 2, col++);
    }
    auto* pColumn = new QVBoxLayout(this);
    pColumn->setContentsMargins(4, 4, 4, 4);
    pColumn->addWidget(m_pList, 1);
    pColumn->addWidget(m_pName);
    pColumn->addLayout(pGrid);
}

BOOL CPageCalibration::InitPage(IMessageSink* pMain, SYSTEM_SETTING* pSetting)
{
    if (pMain == nullptr || pSetting == nullptr) {
        WriteLog(QStringLiteral("[PAGECALIB]Parameter Error! (NULL)"));
        return FALSE;
    }
    m_pMain = pMain;
    m_pSetting = pSetting;
    ReloadFromSetting();
    return TRUE;
}

void CPageCalibration::ReloadFromSetting()
{
    if (m_pSetting == nullptr) {
        return;
    }
    m_Table.AssignFrom(*m_pSetting);
    RefreshCalibrationList(*m_pList, m_Table);
    UpdateControls();
}

void CPageCalibration::StoreToSetting()
{
    if (m_pSetting != nullptr) {
        m_Table.CopyTo(*m_pSetting);
    }
}

void CPageCalibration::SetEnabledFlag(bool bEnable)
{
    m_bEnabled = bEnable;
    UpdateControls();
}

void CPageCalibration::UpdateControls()
{
    const bool bOn = m_pMain != nullptr && m_bEnabled;
    for (auto& [nID, pControl] : m_Controls) {
        pControl->setEnabled(bOn);
    }
    const CALIBRATION_SETTING& cur = m_Table.Current();
    m_pName->setText(cur.Name);
    if (cur.UnitKind >= 0 && cur.UnitKind < 3) {
        m_Controls[IDC_RADIO_UNIT_UM + cur.UnitKind]->setProperty("checked", true);
    }
    m_Controls[cur.SetPointKind == 1 ? IDC_RADIO_THREE_POINTS : IDC_RADIO_TWO_POINTS]->setProperty("checked", true);
}

QWidget* CPageCalibration::GetDlgItem(int nID) const
{
    const auto it = m_Controls.find(nID);
    return it == m_Controls.end() ? nullptr : it->second;
}

void CPageCalibration::Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_pMain != nullptr) {
        m_pMain->PostMessage(nMessage, wParam, lParam);
    }
}

void CPageCalibration::OnListSelect()
{
    // A click on empty space (row -1) changes nothing.
    if (m_Table.Select(m_pList->GetCurRow())) {
        StoreToSetting();
        UpdateControls();
        Post(WM_SELECT_CALIBRATION_LIST, WPARAM(m_Table.GetCurrentIndex()));
    }
}

void CPageCalibration::keyPressEvent(QKeyEvent* pEvent)
{
    if (SwallowEnterEscape(pEvent)) {
        return;
    }
    QWidget::keyPressEvent(pEvent);
}
