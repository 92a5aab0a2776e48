#include "workflow/calibration/CalibrationList.h"

#include "app/MultiLanguageTranslator.h"
#include "workflow/toolwnd/ToolStrings.h"

void SetupCalibrationListColumns(CQSListCtrl& list, int nClientWidth, IMessageSink* pSink)
{
    const int w = nClientWidth;
    list.SetupColumns({{GetProgramString(IDS_HEAD_NO), LVCFMT_LEFT, w * 40 / 267},
                       {GetProgramString(IDS_HEAD_CALIBRATION_NAME), LVCFMT_LEFT, w * 164 / 267},
                       {GetProgramString(IDS_HEAD_CALIBRATION_SET), LVCFMT_LEFT, w * 60 / 267}},
                      pSink, WM_LIST_SELECT_CHANGED);
    list.SetMultiSelect(false);
}

void RefreshCalibrationList(CQSListCtrl& list, const CCalibrationTable& table)
{
    list.SetAllRows(table.ListRows());
    list.SetSelectedRows({table.GetCurrentIndex()});
}
