// The texts of the results rows (No., content, value, unit), shared by the
// results list and the export, and the mapping between list rows and
// measurement numbers.
#pragma once

#include "engine/RgnData.h"

#include <QString>
#include <QStringList>

#include <vector>

enum { RESULT_COL_NO = 0, RESULT_COL_CONTENT, RESULT_COL_VALUE, RESULT_COL_UNIT, RESULT_COL_NUM };

// The translated texts a refresh needs, looked up once per refresh rather
// than once per row.
struct RESULT_TEXTS {
    QString kindName[MEAS_KIND_NUM];
    QString partName[2];     // the first and the second circle of a 2-circle measurement
    QString countUnit;
    QString angleUnit;
    QString lengthUnit;      // by the calibration's unit kind
};
RESULT_TEXTS LoadResultTexts(int nUnitKind);

// A row whose figure is text: its content is its note, value and unit empty.
bool IsTextRow(const MEASURE_DATA& row);
// A circle of a 2-circle measurement (not its centre-distance row).
bool IsDiameterRow(const MEASURE_DATA& row);

// Content of row i: the note, the kind name, or for a 2-circle measurement
// the centre distance or the first or second circle's diameter.
QString ResultContentText(const std::vector<MEASURE_DATA>& rows, size_t i, const RESULT_TEXTS& texts);
// Counts as whole numbers, notes empty, everything else with nDownPlace
// decimals, trailing zeros removed down to one decimal.
QString ResultValueText(const MEASURE_DATA& row, int nDownPlace);
// 個 for counts, ° for angles, nothing for notes, else the calibration's
// unit with "2" for areas.
QString ResultUnitText(const MEASURE_DATA& row, const RESULT_TEXTS& texts);

// The four column texts of row i (No. is i + 1).
QStringList ResultRowTexts(const std::vector<MEASURE_DATA>& rows, size_t i, int nDownPlace, const RESULT_TEXTS& texts);
// The same into an existing list (reused row after row by a refresh).
void FillResultRowTexts(const std::vector<MEASURE_DATA>& rows, size_t i, int nDownPlace, const RESULT_TEXTS& texts,
                        QStringList& out);
std::vector<QStringList> BuildResultRows(const std::vector<MEASURE_DATA>& rows, int nDownPlace, int nUnitKind);

// The first row of measurement nMeasNum, -1 for none (and for -1).
int FindRowByMeasNum(const std::vector<MEASURE_DATA>& rows, int32_t nMeasNum);
// The measurement of a row, -1 when the index is not a row.
int32_t MeasNumOfRow(const std::vector<MEASURE_DATA>& rows, int nRow);
// The measurements of the given rows, each once, in row order: deleting the
// three rows of a 2-circle measurement deletes it once.
std::vector<int32_t> MeasNumsOfRows(const std::vector<MEASURE_DATA>& rows, const std::vector<int>& selRows);
// Every row of the given measurements, ascending: the rows to select again
// after a refresh, found by measurement number, never by position.
std::vector<int> RowsOfMeasNums(const std::vector<MEASURE_DATA>& rows, const std::vector<int32_t>& measNums);
// Exactly one row selected and it is a text note (enables text editing).
bool IsSingleTextRowSelected(const std::vector<MEASURE_DATA>& rows, const std::vector<int>& selRows);
