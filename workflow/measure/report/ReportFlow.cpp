#include "workflow/measure/report/ReportFlow.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/dialogs/StatusLine.h"
#include "engine/MeasureGeometry.h"
#include "workflow/MainStrings.h"
#include "workflow/calibration/CalibrationTable.h"
#include "workflow/capture/OverlaySave.h"
#include "workflow/live/PictureState.h"
#include "workflow/measure/ReportTexts.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/measure/SummaryRows.h"
#include "workflow/toolwnd/ToolStrings.h"

#include <algorithm>

REPORT_CONTENT BuildReportContent(const std::vector<MEASURE_DATA>& results, const SYSTEM_SETTING& setting)
{
    const CALIBRATION_SETTING& cal = setting.Calibration[std::clamp(setting.CalibrationIndex, 0, CALIBRATION_NUM - 1)];
    REPORT_CONTENT c{};
    c.nJpegQuality = setting.JpegQuality;
    c.header.calibrationName = cal.Name;
    // The value per pixel as the export writes it, with the unit it is in.
    c.header.calibrationValue = QString::fromStdU16String(FormatValueString(cal.Calibration, 5)) + QLatin1Char(' ') +
                                CalibrationUnitText(cal.UnitKind) + QLatin1Char('/') + GetProgramString(IDS_UNIT_PIXEL);
    c.header.when = QDateTime::currentDateTime();
    c.resultHeadings = {GetProgramString(IDS_HEAD_NO), GetProgramString(IDS_HEAD_CONTENT),
                        GetProgramString(IDS_HEAD_VALUE), GetProgramString(IDS_UNIT_NAME)};
    c.results = BuildResultRows(results, setting.MeasureDownPlace, cal.UnitKind);
    c.summaryHeadings = SummaryHeadings();
    c.summary = BuildSummaryRows(results, setting.MeasureDownPlace, cal.UnitKind);
    return c;
}

void CReportFlow::OnSaveReport()
{
    if (m_Parts.results.empty()) {
        return;
    }
    CQSFileAccess access;
    const QString path = access.SelectFile(FALSE, QStringLiteral("pdf"), m_Parts.setting.SaveContinue.SaveFolderPath,
                                           QString(), TRUE);
    if (path.isEmpty()) {
        return;
    }
    REPORT_CONTENT content = BuildReportContent(m_Parts.results, m_Parts.setting);
    const REPORT_HEADER source = m_Parts.fnSource ? m_Parts.fnSource() : REPORT_HEADER{};
    content.header.cameraName = source.cameraName;
    content.header.cameraSerial = source.cameraSerial;
    content.header.imageFileName = source.imageFileName;
    if (m_Parts.picture.HasPicture() &&
        !EncodeImageWithOverlay(m_Parts.picture.Image(), m_Parts.fnEngine ? m_Parts.fnEngine() : nullptr,
                                content.nJpegQuality, content.jpeg)) {
        WriteLog(QStringLiteral("[MAIN]OnSaveReport() Encode Image Error!"));
        content.jpeg = image::ENCODED_JPEG{};
    }
    const bool bOk = WriteMeasureReport(path, content);
    m_Parts.status.SetStatusMessage(ReportText(bOk ? report_text::kSaved : report_text::kFailed));
}
