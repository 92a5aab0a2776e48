#include "workflow/calibration/CalibrationCaption.h"

#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "workflow/MainStrings.h"
#include "workflow/StatusParts.h"
#include "workflow/calibration/CalibrationTable.h"

#include <algorithm>

void ShowCalibrationCaption(IStatusParts& parts, const SYSTEM_SETTING& setting)
{
    const int32_t n = std::clamp(setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    const CALIBRATION_SETTING& cur = setting.Calibration[n];
    const bool bSet = cur.bEnable != FALSE;
    const QString unit = CalibrationUnitText(cur.UnitKind);
    parts.SetStatusPart(STATUS_PART_CALIBRATION_NAME, bSet ? cur.Name : QString());
    parts.SetStatusPart(STATUS_PART_CALIBRATION_VALUE,
                        GetProgramString(IDS_CALIBRATION_VALUE) + QStringLiteral(" ：") +
                            (bSet ? QStringLiteral(" ") + CCalibrationTable::FactorText(cur.Calibration) + unit +
                                        QStringLiteral("/") + GetProgramString(IDS_UNIT_PIXEL)
                                  : QString()));
    parts.SetStatusPart(STATUS_PART_CALIBRATION_UNIT,
                        GetProgramString(IDS_UNIT_NAME) + QStringLiteral(" ：") + (bSet ? QStringLiteral(" ") + unit : QString()));
}
