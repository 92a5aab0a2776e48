// Export of the results as comma-separated UTF-8 text: byte-order mark, a
// calibration line, a heading line and one line per row, every line ended by
// CR LF. The row texts are the results list's.
//
// Fields holding a comma, a quote or a line break are quoted (quotes
// doubled). User texts (notes, the calibration name) that begin with = + - @
// get a leading single quote ' so a spreadsheet shows them as text instead
// of running them as a formula.
#pragma once

#include "app/SystemSetting.h"
#include "engine/RgnData.h"
#include "platform/WinTypes.h"

#include <QByteArray>
#include <QString>

#include <vector>

enum : UINT {
    EXPORT_MSG_SAVED = 534,
    EXPORT_MSG_FAILED = 617,
};

// A field as written: quoted when it holds a comma, quote, CR or LF.
QString CsvField(const QString& text);
// A user text that a spreadsheet would run as a formula gets a leading '.
QString InertCsvText(const QString& text);

// The whole file's bytes.
QByteArray BuildMeasureExport(const std::vector<MEASURE_DATA>& rows, const CALIBRATION_SETTING& calibration,
                              int nDownPlace);
// Writes the file through a sibling temporary file and a replace: either the
// whole new file is there or the old one (or none) is untouched. 534 when
// written, 617 when it could not be written or closed.
UINT SaveMeasureData(const QString& path, const std::vector<MEASURE_DATA>& rows,
                     const CALIBRATION_SETTING& calibration, int nDownPlace);
// The window asks before replacing a file that is already there.
bool ExportNeedsOverwriteQuestion(const QString& path);
