#include "workflow/measure/ResultSummary.h"

#include "engine/kinds/MeasureKindInfo.h"

#include <algorithm>
#include <cmath>

namespace {

bool ListsParts(int32_t nKind)
{
    const MEASURE_KIND_INFO* pInfo = FindMeasureKindInfo(nKind);
    return pInfo != nullptr && pInfo->nPartNames[0] != 0;
}

bool IsPartRow(const MEASURE_DATA& row)
{
    return ListsParts(row.nKind) && row.nFigure != RGN_LINE && row.nFigure != RGN_TEXT;
}

bool HasValue(const MEASURE_DATA& row)
{
    return row.nFigure != RGN_TEXT && MeasureKindUnit(row.nKind) != UNIT_TEXT && FindMeasureKindInfo(row.nKind) != nullptr;
}

} // namespace

SUMMARY_GROUP SummaryGroupOfRow(const std::vector<MEASURE_DATA>& rows, size_t i)
{
    const MEASURE_DATA& row = rows[i];
    if (!HasValue(row)) {
        return {-1, 0};
    }
    if (!IsPartRow(row)) {
        return {row.nKind, 0};
    }
    // A part row right after another part row is the second circle.
    return {row.nKind, i > 0 && IsPartRow(rows[i - 1]) ? 2 : 1};
}

std::vector<RESULT_SUMMARY> SummariseResults(const std::vector<MEASURE_DATA>& rows)
{
    constexpr int kParts = 3;
    std::vector<double> values[MEAS_KIND_NUM][kParts];
    for (size_t i = 0; i < rows.size(); ++i) {
        const SUMMARY_GROUP g = SummaryGroupOfRow(rows, i);
        if (g.nKind >= 0) {
            values[g.nKind][g.nPart].push_back(rows[i].dValue);
        }
    }
    std::vector<RESULT_SUMMARY> out;
    for (int32_t k = 0; k < MEAS_KIND_NUM; ++k) {
        for (int p = 0; p < kParts; ++p) {
            const std::vector<double>& v = values[k][p];
            if (v.empty()) {
                continue;
            }
            RESULT_SUMMARY s{{k, p}, v.size(), 0.0, 0.0, v.front(), v.front()};
            double dSum = 0.0;
            for (double d : v) {
                dSum += d;
                s.dMin = std::min(s.dMin, d);
                s.dMax = std::max(s.dMax, d);
            }
            s.dMean = dSum / double(v.size());
            // Two passes: deviations from the mean keep their digits when
            // the values are large and close together.
            if (v.size() > 1) {
                double dSq = 0.0;
                for (double d : v) {
                    dSq += (d - s.dMean) * (d - s.dMean);
                }
                s.dStdDev = std::sqrt(dSq / double(v.size() - 1));
            }
            out.push_back(s);
        }
    }
    return out;
}
