#include "engine/QSListCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Aligns every cell by its column's format, so items carry nothing but text.
class CColumnAlignDelegate : public QStyledItemDelegate {
public:
    explicit CColumnAlignDelegate(CQSListCtrl* pList) : QStyledItemDelegate(pList), m_pList(pList) {}

protected:
    void initStyleOption(QStyleOptionViewItem* pOption, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(pOption, index);
        pOption->displayAlignment = Alignment(m_pList->GetColumnFormat(index.column()));
    }

private:
    static Qt::Alignment Alignment(int nFormat)
    {
        switch (nFormat) {
        case LVCFMT_RIGHT: return Qt::AlignRight | Qt::AlignVCenter;
        case LVCFMT_CENTER: return Qt::AlignCenter;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
        }
    }

    CQSListCtrl* m_pList;
};

} // namespace

CQSListCtrl::CQSListCtrl(QWidget* pParent) : QTableWidget(pParent)
{
    setItemDelegate(new CColumnAlignDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
}

CQSListCtrl::~CQSListCtrl() = default;

void CQSListCtrl::SetupColumns(const std::vector<LIST_COLUMN>& columns, IMessageSink* pSink, UINT nNotifyMessage)
{
    ResetColumns();
    m_nCurRow = -1;
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(true);
    m_nColumnCount = int32_t(columns.size());
    setColumnCount(m_nColumnCount);
    QStringList titles;
    for (size_t i = 0; i < columns.size(); ++i) {
        m_ColumnFormats.push_back(columns[i].nFormat);
        m_ColumnWidths.push_back(columns[i].nWidth);
        titles << columns[i].title;
        setColumnWidth(int(i), columns[i].nWidth);
    }
    setHorizontalHeaderLabels(titles);
    SetNotify(pSink, nNotifyMessage);
}

void CQSListCtrl::SetNotify(IMessageSink* pSink, UINT nNotifyMessage)
{
    m_pNotifySink = pSink;
    m_nNotifyMessage = nNotifyMessage;
}

void CQSListCtrl::SetMultiSelect(bool bMulti)
{
    setSelectionMode(bMulti ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void CQSListCtrl::ResetColumns()
{
    clear();
    setRowCount(0);
    setColumnCount(0);
    m_nColumnCount = 0;
    m_ColumnFormats.clear();
    m_ColumnWidths.clear();
}

int CQSListCtrl::GetColumnFormat(int nColumn) const
{
    return nColumn >= 0 && size_t(nColumn) < m_ColumnFormats.size() ? m_ColumnFormats[size_t(nColumn)] : LVCFMT_LEFT;
}

void CQSListCtrl::FillRow(int nRow, const QStringList* pTexts)
{
    for (int c = 0; c < m_nColumnCount; ++c) {
        const QString text = pTexts != nullptr && c < pTexts->size() ? pTexts->at(c) : QString();
        QTableWidgetItem* pItem = item(nRow, c);
        if (pItem == nullptr) {
            setItem(nRow, c, new QTableWidgetItem(text));
        } else {
            pItem->setText(text);
        }
    }
}

BOOL CQSListCtrl::InsertRow(int nRow, const QStringList* pTexts)
{
    if (m_nColumnCount <= 0) {
        return FALSE;
    }
    if (nRow < 0 || nRow > rowCount()) {
        nRow = rowCount();
    }
    insertRow(nRow);
    FillRow(nRow, pTexts);
    m_nCurRow = nRow;
    scrollToItem(item(nRow, 0));
    return TRUE;
}

BOOL CQSListCtrl::SetRowTexts(int nRow, const QStringList& texts)
{
    if (nRow < 0 || nRow >= rowCount()) {
        return FALSE;
    }
    FillRow(nRow, &texts);
    m_nCurRow = nRow;
    scrollToItem(item(nRow, 0));
    return TRUE;
}

void CQSListCtrl::SetAllRows(const std::vector<QStringList>& rows)
{
    SetAllRows(int(rows.size()), [&rows](int nRow, QStringList& texts) { texts = rows[size_t(nRow)]; });
}

void CQSListCtrl::SetAllRows(int nRows, const std::function<void(int nRow, QStringList& texts)>& fnRow)
{
    const bool bUpdates = updatesEnabled();
    setUpdatesEnabled(false);
    clearSelection();
    setRowCount(nRows);
    // Items already there are kept and only texts that differ are set: after
    // one measurement is added or deleted most cells keep their text.
    QStringList texts;
    for (int r = 0; r < nRows; ++r) {
        fnRow(r, texts);
        for (int c = 0; c < m_nColumnCount; ++c) {
            const QString text = c < texts.size() ? texts.at(c) : QString();
            QTableWidgetItem* pItem = item(r, c);
            if (pItem == nullptr) {
                setItem(r, c, new QTableWidgetItem(text));
            } else if (pItem->text() != text) {
                pItem->setText(text);
            }
        }
    }
    m_nCurRow = -1;
    setUpdatesEnabled(bUpdates);
}

BOOL CQSListCtrl::DeleteRow(int nRow)
{
    if (nRow < 0 || nRow >= rowCount()) {
        return FALSE;
    }
    removeRow(nRow);
    if (m_nCurRow >= rowCount()) {
        m_nCurRow = rowCount() - 1;
    }
    return TRUE;
}

void CQSListCtrl::DeleteAllRows()
{
    clearSelection();
    setRowCount(0);
    m_nCurRow = -1;
}

void CQSListCtrl::GetSelectedRows(std::vector<int>& rows) const
{
    rows.clear();
    const QModelIndexList sel = selectionModel()->selectedRows();
    for (const QModelIndex& i : sel) {
        rows.push_back(i.row());
    }
    std::sort(rows.begin(), rows.end());
}

void CQSListCtrl::SetSelectedRows(const std::vector<int>& rows)
{
    QItemSelection selection;
    for (int r : rows) {
        if (r >= 0 && r < rowCount() && m_nColumnCount > 0) {
            selection.select(model()->index(r, 0), model()->index(r, m_nColumnCount - 1));
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void CQSListCtrl::SelectRow(int nRow)
{
    clearSelection();
    if (nRow >= 0 && nRow < rowCount()) {
        // The keyboard anchor follows, so Shift+click extends from here.
        setCurrentCell(nRow, 0, QItemSelectionModel::NoUpdate);
        selectRow(nRow);
        scrollToItem(item(nRow, 0));
        m_nCurRow = nRow;
    } else {
        m_nCurRow = -1;
    }
    Notify();
}

void CQSListCtrl::Notify()
{
    if (m_nNotifyMessage != 0 && m_pNotifySink != nullptr) {
        m_pNotifySink->PostMessage(m_nNotifyMessage, 0, 0);
    }
}

void CQSListCtrl::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Up:
        if (m_nCurRow > 0) {
            SelectRow(m_nCurRow - 1);
        }
        pEvent->accept();
        return;
    case Qt::Key_Down:
        if (m_nCurRow < rowCount() - 1) {
            SelectRow(m_nCurRow + 1);
        }
        pEvent->accept();
        return;
    default:
        // Other keys never move the selection behind the owner's back; the
        // owner sees them (Delete, Escape).
        pEvent->ignore();
        return;
    }
}

void CQSListCtrl::mousePressEvent(QMouseEvent* pEvent)
{
    QTableWidget::mousePressEvent(pEvent);
    if (pEvent->button() != Qt::LeftButton && pEvent->button() != Qt::RightButton) {
        return;
    }
    const QModelIndex index = indexAt(pEvent->position().toPoint());
    m_nCurRow = index.isValid() ? index.row() : -1;
    if (!index.isValid()) {
        clearSelection();
    }
    Notify();
    viewport()->update();
}

void CQSListCtrl::mouseMoveEvent(QMouseEvent* pEvent)
{
    // Dragging with a button held would change the selection without a
    // notification; the selection changes only by click and key.
    if (pEvent->buttons() != Qt::NoButton) {
        pEvent->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(pEvent);
}
