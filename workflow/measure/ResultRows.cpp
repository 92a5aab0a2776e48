#include "workflow/measure/ResultRows.h"

#include "app/MultiLanguageTranslator.h"
#include "engine/MeasureGeometry.h"
#include "engine/kinds/MeasureKindInfo.h"
#include "workflow/MainStrings.h"
#include "workflow/calibration/CalibrationTable.h"
#include "platform/TextField.h"

#include <algorithm>
#include <cstdio>

RESULT_TEXTS LoadResultTexts(int nUnitKind)
{
    RESULT_TEXTS t;
    for (const MEASURE_KIND_INFO& kind : kMeasureKinds) {
        t.kindName[kind.nKind] = GetProgramString(kind.nName);
        for (int n = 0; n < 2; ++n) {
            if (kind.nPartNames[n] != 0) {
                t.partName[n] = GetProgramString(kind.nPartNames[n]);
            }
        }
    }
    t.countUnit = GetProgramString(IDS_UNIT_COUNT);
    t.angleUnit = GetProgramString(IDS_UNIT_DEGREE);
    t.lengthUnit = CalibrationUnitText(nUnitKind);
    return t;
}

bool IsTextRow(const MEASURE_DATA& row)
{
    return row.nFigure == RGN_TEXT;
}

namespace {
// A kind whose measurement lists rows of its parts after its own row.
bool HasPartRows(int32_t nKind)
{
    const MEASURE_KIND_INFO* pInfo = FindMeasureKindInfo(nKind);
    return pInfo != nullptr && pInfo->nPartNames[0] != 0;
}
} // namespace

bool IsDiameterRow(const MEASURE_DATA& row)
{
    return HasPartRows(row.nKind) && row.nFigure != RGN_LINE && row.nFigure != RGN_TEXT;
}

QString ResultContentText(const std::vector<MEASURE_DATA>& rows, size_t i, const RESULT_TEXTS& texts)
{
    const MEASURE_DATA& row = rows[i];
    if (IsTextRow(row)) {
        return QString::fromStdU16String(TextFieldString(row.szText));
    }
    if (IsDiameterRow(row)) {
        // Each 2-circle measurement lists its centre distance, then the
        // first and the second circle. The engine numbers each of the three
        // rows on its own, so the label follows the row before, not a shared
        // number.
        const bool bSecond = i > 0 && IsDiameterRow(rows[i - 1]);
        return texts.partName[bSecond ? 1 : 0];
    }
    if (row.nKind >= 0 && row.nKind < MEAS_KIND_NUM) {
        return texts.kindName[row.nKind];
    }
    return QString();
}

QString ResultValueText(const MEASURE_DATA& row, int nDownPlace)
{
    if (IsTextRow(row)) {
        return QString();
    }
    if (MeasureKindUnit(row.nKind) == UNIT_COUNT) {
        return QString::number(int32_t(row.dValue));
    }
    return QString::fromStdU16String(FormatValueString(row.dValue, nDownPlace));
}

QString ResultUnitText(const MEASURE_DATA& row, const RESULT_TEXTS& texts)
{
    if (IsTextRow(row)) {
        return QString();
    }
    switch (MeasureKindUnit(row.nKind)) {
    case UNIT_COUNT:
        return texts.countUnit;
    case UNIT_ANGLE:
        return texts.angleUnit;
    case UNIT_AREA:
        return texts.lengthUnit + QLatin1Char('2');
    case UNIT_TEXT:
        return QString();
    case UNIT_LENGTH:
        break;
    }
    return texts.lengthUnit;
}

QStringList ResultRowTexts(const std::vector<MEASURE_DATA>& rows, size_t i, int nDownPlace, const RESULT_TEXTS& texts)
{
    return QStringList{QString::number(i + 1), ResultContentText(rows, i, texts), ResultValueText(rows[i], nDownPlace),
                       ResultUnitText(rows[i], texts)};
}

void FillResultRowTexts(const std::vector<MEASURE_DATA>& rows, size_t i, int nDownPlace, const RESULT_TEXTS& texts,
                        QStringList& out)
{
    out.resize(RESULT_COL_NUM);
    out[RESULT_COL_NO] = QString::number(i + 1);
    out[RESULT_COL_CONTENT] = ResultContentText(rows, i, texts);
    out[RESULT_COL_VALUE] = ResultValueText(rows[i], nDownPlace);
    out[RESULT_COL_UNIT] = ResultUnitText(rows[i], texts);
}

std::vector<QStringList> BuildResultRows(const std::vector<MEASURE_DATA>& rows, int nDownPlace, int nUnitKind)
{
    const RESULT_TEXTS texts = LoadResultTexts(nUnitKind);
    std::vector<QStringList> out;
    out.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        out.push_back(ResultRowTexts(rows, i, nDownPlace, texts));
    }
    return out;
}

int FindRowByMeasNum(const std::vector<MEASURE_DATA>& rows, int32_t nMeasNum)
{
    if (nMeasNum < 0) {
        return -1;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].nMeasNum == nMeasNum) {
            return int(i);
        }
    }
    return -1;
}

int32_t MeasNumOfRow(const std::vector<MEASURE_DATA>& rows, int nRow)
{
    return nRow >= 0 && size_t(nRow) < rows.size() ? rows[size_t(nRow)].nMeasNum : -1;
}

std::vector<int32_t> MeasNumsOfRows(const std::vector<MEASURE_DATA>& rows, const std::vector<int>& selRows)
{
    std::vector<int> sorted = selRows;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int32_t> out;
    for (int r : sorted) {
        const int32_t n = MeasNumOfRow(rows, r);
        if (n >= 0 && std::find(out.begin(), out.end(), n) == out.end()) {
            out.push_back(n);
        }
    }
    return out;
}

std::vector<int> RowsOfMeasNums(const std::vector<MEASURE_DATA>& rows, const std::vector<int32_t>& measNums)
{
    std::vector<int> out;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (std::find(measNums.begin(), measNums.end(), rows[i].nMeasNum) != measNums.end()) {
            out.push_back(int(i));
        }
    }
    return out;
}

bool IsSingleTextRowSelected(const std::vector<MEASURE_DATA>& rows, const std::vector<int>& selRows)
{
    return selRows.size() == 1 && selRows[0] >= 0 && size_t(selRows[0]) < rows.size() &&
           rows[size_t(selRows[0])].nKind == MEAS_TEXT;
}
