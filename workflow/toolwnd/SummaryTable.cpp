#include "workflow/toolwnd/SummaryTable.h"

#include "workflow/measure/SummaryRows.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace {
// Rows shown before the table scrolls: the results list above keeps the room.
constexpr int kMaxVisibleRows = 3;
// The page is narrow: the unit goes with the content, "距離 (mm)".
constexpr int kColumns = SUMMARY_COL_UNIT;

QString ContentWithUnit(const QStringList& row)
{
    const QString unit = row.value(SUMMARY_COL_UNIT);
    return unit.isEmpty() ? row.value(SUMMARY_COL_CONTENT)
                          : row.value(SUMMARY_COL_CONTENT) + QStringLiteral(" (") + unit + QLatin1Char(')');
}
} // namespace

CSummaryTable::CSummaryTable(QWidget* pParent) : QTableWidget(pParent)
{
    setColumnCount(kColumns);
    setHorizontalHeaderLabels(SummaryHeadings().mid(0, kColumns));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    hide();
}

void CSummaryTable::ShowRows(const std::vector<QStringList>& rows)
{
    setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const QStringList& row = rows[size_t(r)];
        for (int c = 0; c < kColumns; ++c) {
            QTableWidgetItem* pItem = item(r, c);
            if (pItem == nullptr) {
                pItem = new QTableWidgetItem;
                pItem->setTextAlignment(c == SUMMARY_COL_CONTENT ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                                 : int(Qt::AlignRight | Qt::AlignVCenter));
                setItem(r, c, pItem);
            }
            pItem->setText(c == SUMMARY_COL_CONTENT ? ContentWithUnit(row) : row.value(c));
        }
    }
    FitHeight(int(rows.size()));
    setVisible(!rows.empty());
}

void CSummaryTable::FitHeight(int nRows)
{
    resizeColumnsToContents();
    int nWidth = 0;
    for (int c = 0; c < kColumns; ++c) {
        nWidth += horizontalHeader()->sectionSizeHint(c) > columnWidth(c) ? horizontalHeader()->sectionSizeHint(c)
                                                                          : columnWidth(c);
    }
    // The sideways bar only when the columns are wider than the page.
    const bool bBar = nWidth > width() - 2 * frameWidth() && width() > 0;
    const int nShown = std::clamp(nRows, 1, kMaxVisibleRows);
    setFixedHeight(horizontalHeader()->sizeHint().height() + nShown * verticalHeader()->defaultSectionSize() +
                   2 * frameWidth() + (bBar ? horizontalScrollBar()->sizeHint().height() : 0));
}
