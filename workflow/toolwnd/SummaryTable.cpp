#include "workflow/toolwnd/SummaryTable.h"

#include "workflow/measure/SummaryRows.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kMaxVisibleRows = 4;
}

CSummaryTable::CSummaryTable(QWidget* pParent) : QTableWidget(pParent)
{
    setColumnCount(SUMMARY_COL_NUM);
    setHorizontalHeaderLabels(SummaryHeadings());
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    hide();
}

void CSummaryTable::ShowRows(const std::vector<QStringList>& rows)
{
    setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < SUMMARY_COL_NUM; ++c) {
            QTableWidgetItem* pItem = item(r, c);
            if (pItem == nullptr) {
                pItem = new QTableWidgetItem;
                pItem->setTextAlignment(c == SUMMARY_COL_CONTENT ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                                 : int(Qt::AlignRight | Qt::AlignVCenter));
                setItem(r, c, pItem);
            }
            pItem->setText(rows[size_t(r)].value(c));
        }
    }
    FitHeight(int(rows.size()));
    setVisible(!rows.empty());
}

void CSummaryTable::FitHeight(int nRows)
{
    const int nRowHeight = verticalHeader()->defaultSectionSize();
    verticalHeader()->setMinimumSectionSize(1);
    const int nShown = std::clamp(nRows, 1, kMaxVisibleRows);
    // Room for the sideways bar too: narrow windows scroll the columns.
    setFixedHeight(horizontalHeader()->sizeHint().height() + nShown * nRowHeight + 2 * frameWidth() +
                   horizontalScrollBar()->sizeHint().height());
}
