#include "workflow/toolwnd/PageMeasurement.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/dialogs/DialogKeys.h"
#include "workflow/measure/ResultList.h"
#include "workflow/measure/ReportTexts.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/measure/SummaryRows.h"
#include "engine/OverlayMessages.h"
#include "workflow/MainStrings.h"
#include "workflow/toolwnd/ToolControls.h"
#include "workflow/toolwnd/ToolMessages.h"
#include "workflow/toolwnd/SummaryTable.h"
#include "workflow/toolwnd/ToolStrings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

// The message each start button posts, in the order the buttons stand. The
// line, circle and angle messages carry the kind, the others stand for theirs.
static const CPageMeasurement::START_BUTTON kStartButtons[] = {
    {MEAS_LENGTH, WM_START_MAKE_LINE, true},
    {MEAS_PARALLEL, WM_START_MAKE_LINE, true},
    {MEAS_PERPENDICULAR, WM_START_MAKE_PERPENDICULAR, false},
    {MEAS_CIRCLE, WM_START_MAKE_CIRCLE, true},
    {MEAS_ARC, WM_START_MAKE_CIRCLE, true},
    {MEAS_2CIRCLE, WM_START_MAKE_2CIRCLE_LINE, false},
    {MEAS_ANGLE, WM_START_MAKE_ANGLE, true},
    {MEAS_2LINE_ANGLE, WM_START_MAKE_ANGLE, true},
    {MEAS_POLYGON, WM_START_MAKE_POLYGON, false},
    {MEAS_COUNT, WM_START_MAKE_POINT_COUNT, false},
    {MEAS_TEXT, WM_START_MAKE_TEXT, false},
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
        const MEASURE_KIND_INFO& kind = kMeasureKinds[b.nKind];
        auto* pButton = new QPushButton(GetProgramString(kind.nButtonCaption), this);
        pButton->setToolTip(GetProgramString(kind.nDescription));
        connect(pButton, &QPushButton::clicked, this, [this, b] { OnStartButton(b); });
        add(kind.nButtonID, pButton);
    }
    m_pScale = new QCheckBox(GetProgramString(IDS_SCALE_CAPTION), this);
    m_pScale->setToolTip(GetProgramString(IDS_TIP_SCALE_SHOW));
    connect(m_pScale, &QCheckBox::clicked, this, [this](bool bChecked) {
        m_pScale->setToolTip(GetProgramString(bChecked ? IDS_TIP_SCALE_HIDE : IDS_TIP_SCALE_SHOW));
        Post(WM_DISP_SCALE, bChecked ? 1 : 0);
        UpdateButtons();
    });
    add(IDC_CHECK_SCALE, m_pScale);
    struct PLAIN {
        int nID;
        const char* pszCaption;
    };
    for (const PLAIN& p : {PLAIN{IDC_BTN_UNDO, "1点戻す"}, PLAIN{IDC_BTN_CANCEL_SHAPE, "中止"},
                           PLAIN{IDC_BTN_EDIT_TEXT, "文字列編集"}, PLAIN{IDC_BTN_SAVE_CSV, "CSV保存"},
                           PLAIN{IDC_BTN_DELETE_ROW, "行削除"}, PLAIN{IDC_BTN_DELETE_ALL, "全削除"},
                           PLAIN{IDC_BTN_SAVE_REPORT, report_text::kButton}}) {
        add(p.nID, new QPushButton(TranslateProgramText(QString::fromUtf8(p.pszCaption)), this));
    }
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_UNDO]), &QPushButton::clicked, this,
            [this] { Post(WM_UNDO_SET_POINT); });
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_CANCEL_SHAPE]), &QPushButton::clicked, this, [this] {
        Post(WM_CANCEL_MAKE_SHAPE);
        CancelMakeShape();
    });
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_EDIT_TEXT]), &QPushButton::clicked, this, [this] { Post(WM_EDIT_TEXT); });
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_SAVE_CSV]), &QPushButton::clicked, this, [this] {
        if (m_pList->GetRowCount() > 0) {
            Post(WM_SAVE_MEASURE_DATA);
        }
    });
    m_Controls[IDC_BTN_SAVE_REPORT]->setToolTip(ReportText(report_text::kButtonTip));
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_SAVE_REPORT]), &QPushButton::clicked, this, [this] {
        if (m_pList->GetRowCount() > 0 && m_fnReport) {
            m_fnReport();
        }
    });
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_DELETE_ROW]), &QPushButton::clicked, this, [this] { OnDeleteRows(); });
    connect(static_cast<QPushButton*>(m_Controls[IDC_BTN_DELETE_ALL]), &QPushButton::clicked, this,
            [this] { Post(WM_DELETE_ALL_MEASURE_DATA, 0, IDS_CLEAR_MEASURE_QUESTION); });

    auto* pSnap = new QCheckBox(TranslateProgramText(QString::fromUtf8(kEdgeSnapCaption)), this);
    pSnap->setToolTip(TranslateProgramText(QString::fromUtf8(kEdgeSnapTip)));
    add(IDC_CHECK_EDGE_SNAP, pSnap);

    m_pList = new CQSListCtrl(this);
    m_pList->setObjectName(QString::fromLatin1(ToolControlName(IDC_LIST_RESULTS)));
    m_Controls[IDC_LIST_RESULTS] = m_pList;
    auto* pColumn = new QVBoxLayout(this);
    pColumn->setContentsMargins(4, 4, 4, 4);
    pColumn->addLayout(pGrid);
    pColumn->addWidget(m_pList, 1);
    m_pSummary = new CSummaryTable(this);
    m_pSummary->setObjectName(QString::fromLatin1(ToolControlName(IDC_TABLE_SUMMARY)));
    m_Controls[IDC_TABLE_SUMMARY] = m_pSummary;
    pColumn->addWidget(m_pSummary);
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
    Post(button.nMessage, button.bKindInWParam ? WPARAM(button.nKind) : 0);
    m_nMakingKind = button.nKind;
    // The text button's dialog comes first; the buttons follow its answer.
    if (IsPointKind(button.nKind)) {
        UpdateButtons();
    }
}

void CPageMeasurement::UpdateButtons()
{
    const bool bCalib = CalibrationExists();
    const bool bIdle = m_nMakingKind == MEAS_KIND_NONE;
    for (const START_BUTTON& b : kStartButtons) {
        m_Controls[MeasureKindButton(b.nKind)]->setEnabled(bCalib && bIdle && m_bEnabled);
    }
    m_pScale->setEnabled(bCalib && bIdle && m_bEnabled);
    m_Controls[IDC_BTN_UNDO]->setEnabled(bCalib && !bIdle && IsPointKind(m_nMakingKind));
    m_Controls[IDC_BTN_CANCEL_SHAPE]->setEnabled(bCalib && !bIdle);
    const bool bList = bCalib && m_pResults != nullptr && bIdle;
    m_Controls[IDC_BTN_EDIT_TEXT]->setEnabled(bList && m_bTextSelected);
    m_pList->setEnabled(bList);
    const bool bRows = bList && !m_pResults->empty();
    for (int nID : {IDC_BTN_SAVE_CSV, IDC_BTN_SAVE_REPORT, IDC_BTN_DELETE_ROW, IDC_BTN_DELETE_ALL}) {
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
    m_pSummary->ShowRows(BuildSummaryRows(*m_pResults, m_nDownPlace, nUnit));
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
        IsPointKind(m_nMakingKind)) {
        Post(WM_UNDO_SET_POINT);
        return true;
    }
    if (nKey == Qt::Key_Delete && !bMaking && m_Controls[IDC_BTN_DELETE_ROW]->isEnabled()) {
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
