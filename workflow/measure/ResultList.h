// The results list of the measurement page: its columns and its refresh.
#pragma once

#include "engine/QSListCtrl.h"
#include "engine/RgnData.h"

#include <vector>

// Four centred columns No., 計測内容, 計測値, 単位 sized 30:100:74:40 of
// nClientWidth, several rows selectable, notifying pSink.
void SetupResultListColumns(CQSListCtrl& list, int nClientWidth, IMessageSink* pSink);

// Rebuilds every row from the results and selects again the rows of the
// measurements that were selected before, found by measurement number (no
// notification: the shapes' selection has not changed). Returns the rows
// selected afterwards.
std::vector<int> RefreshResultList(CQSListCtrl& list, const std::vector<MEASURE_DATA>& before,
                                   const std::vector<MEASURE_DATA>& rows, int nDownPlace, int nUnitKind);
