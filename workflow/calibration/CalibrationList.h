// The calibration list of the calibration page: its columns and its refresh.
#pragma once

#include "engine/QSListCtrl.h"
#include "workflow/calibration/CalibrationTable.h"

// Columns No., 校正値名称, 設定済 sized 40:164:60 of nClientWidth, one row
// selectable, notifying pSink.
void SetupCalibrationListColumns(CQSListCtrl& list, int nClientWidth, IMessageSink* pSink);

// Every enabled slot and the first empty one; the current slot's row is
// selected without notifying.
void RefreshCalibrationList(CQSListCtrl& list, const CCalibrationTable& table);
