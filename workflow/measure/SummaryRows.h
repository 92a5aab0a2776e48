// The texts of the summary figures as the page and the report show them:
// one row per kind present, values formatted as the results list formats them.
#pragma once

#include "engine/RgnData.h"

#include <QString>
#include <QStringList>

#include <vector>

enum {
    SUMMARY_COL_CONTENT = 0,
    SUMMARY_COL_COUNT,
    SUMMARY_COL_MEAN,
    SUMMARY_COL_STDDEV,
    SUMMARY_COL_MIN,
    SUMMARY_COL_MAX,
    SUMMARY_COL_UNIT,
    SUMMARY_COL_NUM
};

// Shown for the standard deviation of a single value.
inline const QString kNoStdDev = QStringLiteral("\u2014");

QStringList SummaryHeadings();
std::vector<QStringList> BuildSummaryRows(const std::vector<MEASURE_DATA>& rows, int nDownPlace, int nUnitKind);
// A translated built-in text of the summary and the report.
QString ReportText(const char* pszJapanese);
