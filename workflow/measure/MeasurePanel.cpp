// The measurement buttons and the results list under the picture, until the
// tool window takes them over: start a kind, cancel, delete, and the rows.
#include "app/MultiLanguageTranslator.h"
#include "engine/MeasureGeometry.h"
#include "ui_PixmetraDlg.h"
#include "workflow/MainStrings.h"
#include "workflow/PixmetraDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>

void CPixmetraDlg::BuildMeasurePanel()
{
    auto* pRow = new QHBoxLayout(m_pUi->measurePanel);
    pRow->setContentsMargins(0, 0, 0, 0);
    auto* pTools = new QGridLayout;
    pTools->setSpacing(2);
    for (int kind = 0; kind < 10; ++kind) {
        auto* pButton = new QPushButton(GetProgramString(IDS_MEASURE_BUTTON[kind]), m_pUi->measurePanel);
        pButton->setToolTip(GetProgramString(IDS_MEASURE_DESCRIPTION[kind]));
        connect(pButton, &QPushButton::clicked, this, [this, kind] { OnStartMeasure(kind); });
        pTools->addWidget(pButton, kind / 6, kind % 6);
        m_MeasureButtons.push_back(pButton);
    }
    auto* pCancel = new QPushButton(GetProgramString(IDS_CANCEL), m_pUi->measurePanel);
    connect(pCancel, &QPushButton::clicked, this, [this] {
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Input().CancelInput();
            SetStatusMessage(IDS_SHAPE_CANCELLED);
        }
    });
    auto* pClear = new QPushButton(TranslateProgramText(QStringLiteral("削除")), m_pUi->measurePanel);
    pClear->setObjectName(QStringLiteral("btnDeleteAll"));
    connect(pClear, &QPushButton::clicked, this, [this] {
        if (m_pLayeredWnd == nullptr) {
            return;
        }
        m_pLayeredWnd->Input().CancelInput();
        m_pLayeredWnd->Engine().ClearAll();
        RebuildResults();
        m_pLayeredWnd->Redraw();
        SetStatusMessage(IDS_DATA_DELETED);
    });
    pTools->addWidget(pCancel, 1, 4);
    pTools->addWidget(pClear, 1, 5);
    m_MeasureButtons.push_back(pCancel);
    m_MeasureButtons.push_back(pClear);
    m_pResults = new QListWidget(m_pUi->measurePanel);
    m_pResults->setObjectName(QStringLiteral("listResults"));
    pRow->addLayout(pTools);
    pRow->addWidget(m_pResults, 1);
}

void CPixmetraDlg::EnableMeasurePanel(bool bEnable)
{
    for (QPushButton* pButton : m_MeasureButtons) {
        pButton->setEnabled(bEnable);
    }
}

void CPixmetraDlg::OnStartMeasure(int nKind)
{
    if (m_pLayeredWnd == nullptr) {
        return;
    }
    CLayeredInput& input = m_pLayeredWnd->Input();
    input.CancelInput();
    if (!input.StartMakeShape(nKind)) {
        SetStatusMessage(IDS_SHAPE_ERROR);
        return;
    }
    SetStatusMessage(IDS_MEASURE_PROMPT[nKind]);
}

QString CPixmetraDlg::ValueText(const MEASURE_DATA& row) const
{
    const int decimals = m_pLayeredWnd->Engine().GetDecimals();
    if (row.nKind == MEAS_TEXT) {
        return QString::fromUtf16(row.szText);
    }
    QString unit = GetProgramString(IDS_UNIT_PIXEL);
    if (row.nKind == MEAS_ANGLE || row.nKind == MEAS_2LINE_ANGLE) {
        unit = GetProgramString(IDS_UNIT_DEGREE);
    } else if (row.nKind == MEAS_COUNT) {
        unit = GetProgramString(IDS_UNIT_COUNT);
    } else if (row.nKind == MEAS_POLYGON) {
        unit += QLatin1Char('2');
    }
    return QString::fromStdU16String(FormatValueString(row.dValue, decimals)) + QLatin1Char(' ') + unit;
}

void CPixmetraDlg::RebuildResults()
{
    if (m_pLayeredWnd == nullptr) {
        return;
    }
    m_pLayeredWnd->Engine().CopyMeasureData(MeasDataList);
    m_pResults->clear();
    int circle = 0;
    for (const MEASURE_DATA& row : MeasDataList) {
        QString name = row.nKind == MEAS_TEXT ? GetProgramString(IDS_TEXT_NAME)
                                              : GetProgramString(IDS_MEASURE_RESULT[row.nKind]);
        if (row.nKind == MEAS_2CIRCLE && row.nFigure == RGN_CIRCLE) {
            name = GetProgramString(circle++ % 2 == 0 ? IDS_FIRST_CIRCLE_DIAMETER : IDS_SECOND_CIRCLE_DIAMETER);
        }
        m_pResults->addItem(QStringLiteral("%1  %2  %3").arg(row.nMeasNum).arg(name, ValueText(row)));
    }
    m_pResults->scrollToBottom();
}

void CPixmetraDlg::OnEndMakeShape()
{
    RebuildResults();
    SetStatusMessage(IDS_MEASURE_DONE);
}

void CPixmetraDlg::OnMakingCaption(int nKind, int nCount)
{
    UINT id = IDS_MEASURE_PROMPT[nKind >= 0 && nKind < 10 ? nKind : 0];
    if (nKind == MEAS_PARALLEL && nCount >= 2) {
        id = IDS_PARALLEL_POINT_PROMPT;
    } else if (nKind == MEAS_PERPENDICULAR && nCount >= 2) {
        id = IDS_PERPENDICULAR_END_PROMPT;
    } else if (nKind == MEAS_2CIRCLE && nCount >= 3) {
        id = IDS_SECOND_CIRCLE_PROMPT;
    } else if (nKind == MEAS_2LINE_ANGLE && nCount >= 2) {
        id = nCount >= 4 ? IDS_ANGLE_SIDE_PROMPT : IDS_SECOND_LINE_PROMPT;
    }
    SetStatusMessage(id);
}

void CPixmetraDlg::OnSelectMeasureShape(int nMeasNo)
{
    for (int i = 0; i < int(MeasDataList.size()); ++i) {
        if (MeasDataList[size_t(i)].nMeasNum == nMeasNo) {
            m_pResults->setCurrentRow(i);
        }
    }
    if (nMeasNo < 0) {
        m_pResults->clearSelection();
    }
}
