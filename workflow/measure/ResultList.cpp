#include "workflow/measure/ResultList.h"

#include "app/MultiLanguageTranslator.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/toolwnd/ToolStrings.h"

void SetupResultListColumns(CQSListCtrl& list, int nClientWidth, IMessageSink* pSink)
{
    const int w = nClientWidth;
    list.SetupColumns({{GetProgramString(IDS_HEAD_NO), LVCFMT_CENTER, w * 30 / 271},
                       {GetProgramString(IDS_HEAD_CONTENT), LVCFMT_CENTER, w * 100 / 271},
                       {GetProgramString(IDS_HEAD_VALUE), LVCFMT_CENTER, w * 74 / 271},
                       {GetProgramString(IDS_HEAD_UNIT), LVCFMT_CENTER, w * 40 / 271}},
                      pSink, WM_LIST_SELECT_CHANGED);
    list.SetMultiSelect(true);
}

std::vector<int> RefreshResultList(CQSListCtrl& list, const std::vector<MEASURE_DATA>& before,
                                   const std::vector<MEASURE_DATA>& rows, int nDownPlace, int nUnitKind)
{
    std::vector<int> selRows;
    list.GetSelectedRows(selRows);
    const std::vector<int32_t> measNums = MeasNumsOfRows(before, selRows);
    const RESULT_TEXTS texts = LoadResultTexts(nUnitKind);
    list.SetAllRows(int(rows.size()), [&](int nRow, QStringList& out) {
        FillResultRowTexts(rows, size_t(nRow), nDownPlace, texts, out);
    });
    const std::vector<int> again = RowsOfMeasNums(rows, measNums);
    if (!again.empty()) {
        list.SetSelectedRows(again);
    }
    return again;
}
