// Rebuilding the results list of 1,000 rows after a change, against filling
// the same widget with the same 4,000 texts directly.
#include "workflow/measure/ResultList.h"
#include "workflow/measure/ResultRows.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kRows = 1000;

std::vector<MEASURE_DATA> ManyResults()
{
    const int kinds[] = {MEAS_LENGTH, MEAS_CIRCLE, MEAS_ANGLE, MEAS_POLYGON, MEAS_COUNT, MEAS_2CIRCLE, MEAS_TEXT};
    std::vector<MEASURE_DATA> rows;
    int32_t nMeasNum = 1;
    while (int(rows.size()) < kRows) {
        const int kind = kinds[nMeasNum % 7];
        MEASURE_DATA r{};
        r.nMeasNum = nMeasNum;
        r.nKind = kind;
        r.dValue = 12.345 + nMeasNum * 0.731;
        r.nFigure = kind == MEAS_TEXT ? RGN_TEXT : kind == MEAS_POLYGON ? RGN_POLYGON : RGN_LINE;
        if (kind == MEAS_TEXT) {
            r.szText[0] = u'n';
            r.szText[1] = u'o';
        }
        rows.push_back(r);
        if (kind == MEAS_2CIRCLE) {
            for (int c = 0; c < 2 && int(rows.size()) < kRows; ++c) {
                r.nFigure = RGN_CIRCLE;
                r.dValue = 1.5 + c;
                rows.push_back(r);
            }
        }
        ++nMeasNum;
    }
    return rows;
}

void BM_RefreshResults1000(benchmark::State& state)
{
    const std::vector<MEASURE_DATA> rows = ManyResults();
    CRecordingSink sink;
    CQSListCtrl list;
    SetupResultListColumns(list, 271, &sink);
    // The change: the first measurement deleted, then measured again, so
    // every row's number and most rows' texts move each time.
    const std::vector<MEASURE_DATA> shorter(rows.begin() + 1, rows.end());
    RefreshResultList(list, {}, rows, 3, 1);
    list.SetSelectedRows({500});
    bool bShort = false;
    for (auto _ : state) {
        const std::vector<MEASURE_DATA>& before = bShort ? shorter : rows;
        bShort = !bShort;
        RefreshResultList(list, before, bShort ? shorter : rows, 3, 1);
        benchmark::DoNotOptimize(list.rowCount());
    }
}
BENCHMARK(BM_RefreshResults1000)->Unit(benchmark::kMillisecond);

void BM_RefreshResults1000_Baseline(benchmark::State& state)
{
    const std::vector<MEASURE_DATA> rows = ManyResults();
    const std::vector<QStringList> texts = BuildResultRows(rows, 3, 1);
    CRecordingSink sink;
    CQSListCtrl list;
    SetupResultListColumns(list, 271, &sink);
    QTableWidget& widget = list;
    const std::vector<MEASURE_DATA> shorter(rows.begin() + 1, rows.end());
    const std::vector<QStringList> shorterTexts = BuildResultRows(shorter, 3, 1);
    bool bShort = false;
    for (auto _ : state) {
        bShort = !bShort;
        const std::vector<QStringList>& t = bShort ? shorterTexts : texts;
        const int nRows = int(t.size());
        widget.setRowCount(0);
        widget.setRowCount(nRows);
        for (int r = 0; r < nRows; ++r) {
            for (int c = 0; c < 4; ++c) {
                widget.setItem(r, c, new QTableWidgetItem(t[size_t(r)].at(c)));
            }
        }
        benchmark::DoNotOptimize(widget.rowCount());
    }
}
BENCHMARK(BM_RefreshResults1000_Baseline)->Unit(benchmark::kMillisecond);

} // namespace
