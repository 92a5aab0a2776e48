#include "workflow/toolwnd/PageMeasurement.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/dialogs/DialogKeys.h"
#include "workflow/measure/ResultList.h"
#include "workflow/measure/ResultRows.h"
#include "engine/OverlayMessages.h"
#include "workflow/toolwnd/ToolMessages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

static const CPageMeasurement::START_BUTTON kStartButtons[] = {
    {1030, 165, 260, WM_START_MAKE_LINE, 0, 0},
    {1039, 166, 261, WM_START_MAKE_LINE, 1, 1},
    {1034, 167, 269, WM_START_MAKE_PERPENDICULAR, 0, 5},
    {1032, 168, 262, WM_START_MAKE_CIRCLE, 2, 2},
    {1042, 169, 263, WM_START_MAKE_CIRCLE, 3, 3},
    {1033, 170, 266, WM_START_MAKE_2CIRCLE_LINE, 0, 4},
    {1031, 171, 264, WM_START_MAKE_ANGLE, 7, 7},
    {1047, 172, 265, WM_START_MAKE_ANGLE, 8, 8},
    {1035, 173, 267, WM_START_MAKE_POLYGON, 0, 6},
    {1036, 174, 268, WM_START_MAKE_POINT_COUNT, 0, 9},
    {1040, 175, 270, WM_START_MAKE_TEXT, 0, MEAS_KIND_TEXT},
};

void CPageMeasurement::OnPageMessage(UINT nMessage, WPARAM, LPARAM)
{
    if (nMessage == WM_LIST_SELECT_CHANGED) {
        OnListSelect();
    }
}

CPageMeasurement::CPageMeasurement(QWidget* pParent) : QWidget(pParent), m_Receiver(this), m_Sink(&m_Receiver)
{
    auto* pGrid = new QGridLayout;
    pGrid->setSpacing(2);
    int n = 0;
    auto add = [&](int nID, QWidget* pControl) {
        pControl->setObjectName(QString::fromLatin1(ToolControlName(nID)));
        m_Controls[nID] = pControl;
        pGrid->addWidget(pControl, n / 4, n % 4);
        ++n;
    };
    for (const START_BUTTON& b : kStartButtons) {
        auto* pButton = new QPushButton(GetProgramString(b.nCaption), this);
        pButton->setToolTip(GetProgramString(b.nTooltip));
        connect(pButton, &QPushButton::clicked, this, [this, b] { OnStartButton(b); });
        add(b.nID, pButton);
    }
    m_pScale = new QCheckBox(GetProgramString(176), this);
    m_pScale->setToolTip(GetProgramString(273));
    connect(m_pScale, &QCheckBox::clicked, this, [this](bool bChecked) {
        m_pScale->setToolTip(GetProgramString(bChecked ? 274 : 273));
        Post(WM_DISP_SCALE, bChecked ? 1 : 0);
        UpdateButtons();
    });
    add(1037, m_pScale);
    struct PLAIN {
        int nID;
        const char* pszCaption;
    };
    for (const PLAIN& p : {PLAIN{1045, "1点戻す"}, PLAIN{1046, "中止"}, PLAIN{1120, "文字列編集"},
                           PLAIN{1041, "CSV保存"}, PLAIN{1043, "行削除"}, PLAIN{1044, "全削除"}}) {
        add(p.nID, new QPushButton(TranslateProgramText(QString::fromUtf8(p.pszCaption)), this));
    }
    connect(static_cast<QPushButton*>(m_Controls[1045]), &QPushButton::clicked, this,
            [this] { Post(WM_UNDO_SET_POINT); });
    connect(static_cast<QPushButton*>(m_Controls[1046]), &QPushButton::clicked, this, [this] {
        Post(WM_CANCEL_MAKE_SHAPE);
        CancelMakeShape();
    });
    connect(static_cast<QPushButton*>(m_Controls[1120]), &QPushButton::clicked, this, [this] { Post(WM_EDIT_TEXT); });
    connect(static_cast<QPushButton*>(m_Controls[1041]), &QPushButton::clicked, this, [this] {
        if (m_pList->GetRowCount() > 0) {
            Post(WM_SAVE_MEASURE_DATA);
        }
    });
    connect(static_cast<QPushButton*>(m_Controls[1043]), &QPushButton::clicked, this, [this] { OnDeleteRows(); });
    connect(static_cast<QPushButton*>(m_Controls[1044]), &QPushButton::clicked, this,
            [this] { Post(WM_DELETE_ALL_MEASURE_DATA, 0, 561); });

    m_pList = new CQSListCtrl(this);
    m_pList->setObjectName(QString::fromLatin1(ToolControlName(1102)));
    m_Controls[1102] = m_pList;
    auto* pColumn = new QVBoxLayout(this);
    pColumn->setContentsMargins(4, 4, 4, 4);
    pColumn->addLayout(pGrid);
    pColumn->addWidget(m_pList, 1);
    SetupResultListColumns(*m_pList, 271, &m_Sink);
}

BOOL CPageMeasurement::InitPage(IMessageSink* pMain, const SYSTEM_SETTING* pSetting,
                                const std::vector<MEASURE_DATA>* pResults, std::vector<int>* pSelection)
{
    if (pMain == nullptr || pSetting == nullptr || pResults == nullptr || pSelection == nullptr) {
        WriteLog(QStringLiteral("[PAGEMEAS]Parameter Error! (NULL)"));
        return FALSE;
    }
    m_pMain = pMain;
    m_pSetting = pSetting;
    m_pResults = pResults;
    m_pSelection = pSelection;
    UpdateButtons();
    return TRUE;
}

QWidget* CPageMeasurement::GetDlgItem(int nID) const
{
    const auto it = m_Controls.find(nID);
    return it == m_Controls.end() ? nullptr : it->second;
}

void CPageMeasurement::Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_pMain != nullptr) {
        m_pMain->PostMessage(nMessage, wParam, lParam);
    }
}

void CPageMeasurement::SetEnabledFlag(bool bEnable)
{
    m_bEnabled = bEnable;
    UpdateButtons();
}

bool CPageMeasurement::CalibrationExists() const
{
    if (m_pMain == nullptr || m_pSetting == nullptr) {
        return false;
    }
    const int32_t nIndex = m_pSetting->CalibrationIndex;
    return nIndex >= 0 && nIndex < CALIBRATION_NUM && m_pSetting->Calibration[nIndex].bEnable != FALSE;
}

void CPageMeasurement::OnStartButton(const START_BUTTON& button)
{
    Post(button.nMessage, button.wParam);
    m_nMakingKind = button.nKind;
    if (button.nKind != MEAS_KIND_TEXT) {
        UpdateButtons();
    }
}

void CPageMeasurement::UpdateButtons()
{
    const bool bCalib = CalibrationExists();
    const bool bIdle = m_nMakingKind == MEAS_KIND_NONE;
    for (const START_BUTTON& b : kStartButtons) {
        m_Controls[b.nID]->setEnabled(bCalib && bIdle && m_bEnabled);
    }
    m_pScale->setEnabled(bCalib && bIdle && m_bEnabled);
    m_Controls[1045]->setEnabled(bCalib && !bIdle && m_nMakingKind != MEAS_KIND_TEXT);
    m_Controls[1046]->setEnabled(bCalib && !bIdle);
    const bool bList = bCalib && m_pResults != nullptr && bIdle;
    m_Controls[1120]->setEnabled(bList && m_bTextSelected);
    m_pList->setEnabled(bList);
    const bool bRows = bList && !m_pResults->empty();
    for (int nID : {1041, 1043, 1044}) {
        m_Controls[nID]->setEnabled(bRows);
    }
}

void CPageMeasurement::OnListSelect()
{
    if (m_pSelection == nullptr || m_pResults == nullptr) {
        return;
    }
    m_pList->GetSelectedRows(*m_pSelection);
    Post(WM_SELECT_MEASURE_SHAPE, 0, 0);
    m_bTextSelected = IsSingleTextRowSelected(*m_pResults, *m_pSelection);
    if (!m_bBusy) {
        UpdateButtons();
    }
}

void CPageMeasurement::OnDeleteRows()
{
    if (m_pSelection == nullptr) {
        return;
    }
    m_pList->GetSelectedRows(*m_pSelection);
    if (!m_pSelection->empty()) {
        Post(WM_DELETE_SEL_MEASURE_DATA);
    }
}

bool CPageMeasurement::SelectMeasureShape(int32_t nMeasNum)
{
    m_bTextSelected = false;
    const int nRow = m_pResults == nullptr ? -1 : FindRowByMeasNum(*m_pResults, nMeasNum);
    if (nRow >= 0) {
        m_pList->SetSelectedRows({nRow});
        m_bTextSelected = IsTextRow((*m_pResults)[size_t(nRow)]);
    } else {
        m_pList->SetSelectedRows({});
    }
    if (m_pSelection != nullptr) {
        m_pList->GetSelectedRows(*m_pSelection);
    }
    if (!m_bBusy) {
        UpdateButtons();
    }
    return nRow >= 0;
}

void CPageMeasurement::EndMakeShape()
{
    m_nMakingKind = MEAS_KIND_NONE;
    UpdateButtons();
    SelectMeasureShape(-1);
    RefreshMeasResultList();
}

void CPageMeasurement::CancelMakeShape()
{
    m_nMakingKind = MEAS_KIND_NONE;
    SelectMeasureShape(-1);
    UpdateButtons();
}

void CPageMeasurement::RefreshMeasResultList()
{
    if (m_pResults == nullptr || m_pSetting == nullptr) {
        return;
    }
    const int32_t nIndex = m_pSetting->CalibrationIndex;
    const int nUnit = nIndex >= 0 && nIndex < CALIBRATION_NUM ? m_pSetting->Calibration[nIndex].UnitKind : 1;
    // The selection comes back by measurement number, never by row position.
    RefreshResultList(*m_pList, m_Shown, *m_pResults, m_nDownPlace, nUnit);
    m_Shown = *m_pResults;
    if (m_pSelection != nullptr) {
        m_pList->GetSelectedRows(*m_pSelection);
    }
    UpdateButtons();
}

bool CPageMeasurement::HandleEditKey(int nKey, Qt::KeyboardModifiers modifiers)
{
    const bool bMaking = m_nMakingKind != MEAS_KIND_NONE;
    if (nKey == Qt::Key_Escape && bMaking) {
        Post(WM_CANCEL_MAKE_SHAPE);
        CancelMakeShape();
        return true;
    }
    if ((nKey == Qt::Key_Backspace || (nKey == Qt::Key_Z && (modifiers & Qt::ControlModifier))) && bMaking &&
        m_nMakingKind != MEAS_KIND_TEXT) {
        Post(WM_UNDO_SET_POINT);
        return true;
    }
    if (nKey == Qt::Key_Delete && !bMaking && m_Controls[1043]->isEnabled()) {
        OnDeleteRows();
        return true;
    }
    return false;
}

void CPageMeasurement::keyPressEvent(QKeyEvent* pEvent)
{
    if (HandleEditKey(pEvent->key(), pEvent->modifiers())) {
        pEvent->accept();
        return;
    }
    // Enter and Escape press no default button here.
    if (SwallowEnterEscape(pEvent)) {
        return;
    }
    QWidget::keyPressEvent(pEvent);
}
