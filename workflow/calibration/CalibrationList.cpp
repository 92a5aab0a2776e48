#include "workflow/calibration/CalibrationList.h"

#include "app/MultiLanguageTranslator.h"

void SetupCalibrationListColumns(CQSListCtrl& list, int nClientWidth, IMessageSink* pSink)
{
    const int w = nClientWidth;
    list.SetupColumns({{GetProgramString(212), LVCFMT_LEFT, w * 40 / 267},
                       {GetProgramString(213), LVCFMT_LEFT, w * 164 / 267},
                       {GetProgramString(214), LVCFMT_LEFT, w * 60 / 267}},
                      pSink, WM_LIST_SELECT_CHANGED);
    list.SetMultiSelect(false);
}

void RefreshCalibrationList(CQSListCtrl& list, const CCalibrationTable& table)
{
    list.SetAllRows(table.ListRows());
    list.SetSelectedRows({table.GetCurrentIndex()});
}
