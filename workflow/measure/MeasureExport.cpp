#include "workflow/measure/MeasureExport.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "engine/MeasureGeometry.h"
#include "platform/AtomicFile.h"
#include "workflow/MainStrings.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/toolwnd/ToolStrings.h"

#include <QFileInfo>

namespace {

const QString kComma = QStringLiteral(",");
const QString kLineEnd = QStringLiteral("\r\n");

QString UserField(const QString& text)
{
    return CsvField(InertCsvText(text));
}

} // namespace

QString CsvField(const QString& text)
{
    bool bQuote = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            bQuote = true;
            break;
        }
    }
    if (!bQuote) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString InertCsvText(const QString& text)
{
    if (!text.isEmpty()) {
        const QChar c = text.at(0);
        if (c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@')) {
            return QLatin1Char('\'') + text;
        }
    }
    return text;
}

QByteArray BuildMeasureExport(const std::vector<MEASURE_DATA>& rows, const CALIBRATION_SETTING& calibration,
                              int nDownPlace)
{
    const RESULT_TEXTS texts = LoadResultTexts(calibration.UnitKind);
    QString out;
    out.reserve(int(64 + rows.size() * 40));
    out += GetProgramString(IDS_HEAD_CALIBRATION_NAME) + kComma + UserField(calibration.Name) + kComma +
           QString::fromStdU16String(FormatValueString(calibration.Calibration, 5)) + QLatin1Char('/') +
           GetProgramString(IDS_UNIT_PIXEL) + kComma + kLineEnd;
    out += GetProgramString(IDS_HEAD_NO) + kComma + GetProgramString(IDS_HEAD_CONTENT) + kComma + GetProgramString(IDS_HEAD_VALUE) + kComma +
           GetProgramString(IDS_UNIT_NAME) + kLineEnd;
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString content = ResultContentText(rows, i, texts);
        out += QString::number(i + 1) + kComma;
        // Notes are the user's own text; kind names are ours.
        out += (IsTextRow(rows[i]) ? UserField(content) : CsvField(content)) + kComma;
        out += CsvField(ResultValueText(rows[i], nDownPlace)) + kComma;
        out += CsvField(ResultUnitText(rows[i], texts)) + kComma + kLineEnd;
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

UINT SaveMeasureData(const QString& path, const std::vector<MEASURE_DATA>& rows,
                     const CALIBRATION_SETTING& calibration, int nDownPlace)
{
    WriteLog(QStringLiteral("[MAIN]SaveMeasureData()"));
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        WriteLog(QStringLiteral("[MAIN]SaveMeasureData() Open File Error!"));
        return EXPORT_MSG_FAILED;
    }
    const QByteArray bytes = BuildMeasureExport(rows, calibration, nDownPlace);
    // The file under the name stays as it was unless the new one is complete.
    const platform::FILE_WRITE_RESULT result = platform::WriteFileAtomically(path, bytes);
    if (!result.Ok()) {
        WriteLog(QStringLiteral("[MAIN]SaveMeasureData() Write Error! errno %1").arg(result.nError));
        return EXPORT_MSG_FAILED;
    }
    return EXPORT_MSG_SAVED;
}

bool ExportNeedsOverwriteQuestion(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}
