// The summary figures under the results list: one compact, read-only row per
// kind present (its unit beside its name), hidden while there is none.
#pragma once

#include <QStringList>
#include <QTableWidget>

#include <vector>

class CSummaryTable : public QTableWidget {
public:
    explicit CSummaryTable(QWidget* pParent = nullptr);
    void ShowRows(const std::vector<QStringList>& rows);

private:
    // Tall enough for the header and a few rows; more scroll.
    void FitHeight(int nRows);
};
