#include "workflow/measure/SummaryRows.h"

#include "app/MultiLanguageTranslator.h"
#include "engine/MeasureGeometry.h"
#include "workflow/measure/ReportTexts.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/measure/ResultSummary.h"
#include "workflow/toolwnd/ToolStrings.h"

QString ReportText(const char* pszJapanese)
{
    return TranslateProgramText(QString::fromUtf8(pszJapanese));
}

QStringList SummaryHeadings()
{
    return {GetProgramString(IDS_HEAD_CONTENT), ReportText(report_text::kCount), ReportText(report_text::kMean),
            ReportText(report_text::kStdDev),   ReportText(report_text::kMin),   ReportText(report_text::kMax),
            GetProgramString(IDS_HEAD_UNIT)};
}

std::vector<QStringList> BuildSummaryRows(const std::vector<MEASURE_DATA>& rows, int nDownPlace, int nUnitKind)
{
    const RESULT_TEXTS texts = LoadResultTexts(nUnitKind);
    const auto plain = [nDownPlace](double d) { return QString::fromStdU16String(FormatValueString(d, nDownPlace)); };
    std::vector<QStringList> out;
    for (const RESULT_SUMMARY& s : SummariseResults(rows)) {
        // A row of the kind stands in for the list's own texts: the unit,
        // and minimum and maximum as the list writes a value (whole counts).
        MEASURE_DATA like{};
        like.nKind = s.group.nKind;
        like.nFigure = s.group.nPart == 0 ? RGN_LINE : RGN_CIRCLE;
        const auto listed = [&](double d) {
            like.dValue = d;
            return ResultValueText(like, nDownPlace);
        };
        QStringList r;
        r.resize(SUMMARY_COL_NUM);
        r[SUMMARY_COL_CONTENT] = s.group.nPart == 0 ? texts.kindName[s.group.nKind] : texts.partName[s.group.nPart - 1];
        r[SUMMARY_COL_COUNT] = QString::number(qulonglong(s.nCount));
        r[SUMMARY_COL_MEAN] = plain(s.dMean);
        r[SUMMARY_COL_STDDEV] = s.HasStdDev() ? plain(s.dStdDev) : kNoStdDev;
        r[SUMMARY_COL_MIN] = listed(s.dMin);
        r[SUMMARY_COL_MAX] = listed(s.dMax);
        r[SUMMARY_COL_UNIT] = ResultUnitText(like, texts);
        out.push_back(std::move(r));
    }
    return out;
}
