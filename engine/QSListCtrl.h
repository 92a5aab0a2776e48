// The report list of the tool window (calibration table, results): text
// columns filled row by row, a tracked current row, and keyboard and mouse
// selection that posts the owner's notify message (wParam 0, lParam 0).
#pragma once

#include "platform/MessageSink.h"
#include "platform/WinTypes.h"

#include <QStringList>
#include <QTableWidget>

#include <functional>
#include <vector>

// What a list of the tool window posts to its page when the current row
// changes; each page has one list, so one number serves both.
constexpr UINT WM_LIST_SELECT_CHANGED = WM_USER + 0x20;

// Column alignment chosen by the owner.
enum { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };

struct LIST_COLUMN {
    QString title;
    int32_t nFormat;   // LVCFMT_*
    int32_t nWidth;    // pixels
};

class CQSListCtrl : public QTableWidget {
public:
    explicit CQSListCtrl(QWidget* pParent = nullptr);
    ~CQSListCtrl() override;

    // The owner's set-up in one call: reset, current row -1, full-row
    // selection with grid lines, the columns, and the message posted to pSink
    // when the current row changes by click or key (0: none).
    void SetupColumns(const std::vector<LIST_COLUMN>& columns, IMessageSink* pSink, UINT nNotifyMessage);
    void SetNotify(IMessageSink* pSink, UINT nNotifyMessage);
    // Several rows selectable (results) or one (calibration table).
    void SetMultiSelect(bool bMulti);

    // Deletes every column (and row); column count 0.
    void ResetColumns();
    // nRow < 0 appends. Without texts every column is empty. Current row =
    // the inserted row, scrolled into view.
    BOOL InsertRow(int nRow, const QStringList* pTexts = nullptr);
    // FALSE when nRow is not a row. Current row = nRow, scrolled into view.
    BOOL SetRowTexts(int nRow, const QStringList& texts);
    // Replaces every row at once (the fast path of a list refresh); no row
    // selected afterwards, current row -1.
    void SetAllRows(const std::vector<QStringList>& rows);
    // The same, asking fnRow for the texts of each row in turn (no list of
    // all texts is built first).
    void SetAllRows(int nRows, const std::function<void(int nRow, QStringList& texts)>& fnRow);
    BOOL DeleteRow(int nRow);
    void DeleteAllRows();
    // Ascending row indexes of the selected rows.
    void GetSelectedRows(std::vector<int>& rows) const;
    // Deselects all, selects nRow (none for -1), scrolls to it, current row =
    // nRow, posts the notify message.
    void SelectRow(int nRow);
    // Selects the rows without notifying (restoring a selection after a refresh).
    void SetSelectedRows(const std::vector<int>& rows);

    int GetCurRow() const { return m_nCurRow; }
    int GetColumnCount() const { return m_nColumnCount; }
    int GetRowCount() const { return rowCount(); }
    int GetColumnFormat(int nColumn) const;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;

private:
    void Notify();
    void FillRow(int nRow, const QStringList* pTexts);

    UINT m_nNotifyMessage = 0;
    IMessageSink* m_pNotifySink = nullptr;
    int32_t m_nColumnCount = 0;
    std::vector<int32_t> m_ColumnFormats;
    std::vector<int32_t> m_ColumnWidths;
    int32_t m_nCurRow = -1;
};
