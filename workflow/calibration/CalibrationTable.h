// The calibration table without its window: 20 named slots with enabled
// entries packed at the front, the current slot, selection, renaming, unit
// change, deletion with packing, the reference line, and calibration files.
// Operations that the user sees the end of return the number of the string
// to show (0 when there is nothing to show).
#pragma once

#include "app/SystemSetting.h"
#include "platform/WinTypes.h"
#include "workflow/MainStrings.h"

#include <QString>
#include <QStringList>

#include <vector>

// String numbers the calibration reports.
enum : UINT {
    CALIB_MSG_SET_DONE = 516,       // reference stored
    CALIB_MSG_LOADED = 544,
    CALIB_MSG_SAVED = 545,
    CALIB_MSG_INVALID_POINT = IDS_INVALID_POINT,  // collinear third point: pick another
    CALIB_MSG_LOAD_FAILED = 619,
    CALIB_MSG_SAVE_FAILED = 620,
    CALIB_MSG_SET_FAILED = 623,
    CALIB_ASK_DELETE_RESULTS = IDS_CLEAR_MEASURE_QUESTION, // the only calibration goes only with the results
    CALIB_ASK_UNIT = 562,
    CALIB_ASK_OVERWRITE = 563,
    CALIB_ASK_DELETE = 564,
    CALIB_ASK_LOAD_OVERWRITE = 566,
};

// The calibration's unit (µm, mm or cm) of unit kind 0, 1 or 2.
QString CalibrationUnitText(int nUnitKind);

// How a delete must proceed once the user confirmed 564.
enum class ECalibDelete {
    Nothing,          // the current slot holds no calibration
    WithResultsFirst, // the only calibration: delete all results first (561), then this slot
    Direct,           // another calibration stays: DeleteCurrent at once
};

class CCalibrationTable {
public:
    CCalibrationTable();

    // Every slot reset (default names), slot 0 current.
    void Reset();
    // Takes a table (from the settings or a file): a current slot outside
    // 0..19 becomes 0, enabled entries are packed at the front keeping the
    // current one current, and a current slot past the listed rows becomes
    // the last listed row.
    void Assign(int32_t nIndex, const CALIBRATION_SETTING (&table)[CALIBRATION_NUM]);
    void AssignFrom(const SYSTEM_SETTING& s) { Assign(s.CalibrationIndex, s.Calibration); }
    void CopyTo(int32_t& nIndex, CALIBRATION_SETTING (&table)[CALIBRATION_NUM]) const;
    void CopyTo(SYSTEM_SETTING& s) const { CopyTo(s.CalibrationIndex, s.Calibration); }

    int32_t GetCurrentIndex() const { return m_nIndex; }
    const CALIBRATION_SETTING& GetEntry(int nSlot) const { return m_Table[nSlot]; }
    const CALIBRATION_SETTING& Current() const { return m_Table[m_nIndex]; }
    bool IsCurrentEnabled() const { return m_Table[m_nIndex].bEnable != FALSE; }
    // Enabled, unit 0..2 and a positive factor: measuring is allowed.
    bool IsCurrentValid() const;
    int EnabledCount() const;
    bool AnyEnabled() const { return EnabledCount() > 0; }

    // List rows: No., name, ○ for every enabled slot and the first empty one.
    int ListRowCount() const;
    std::vector<QStringList> ListRows() const;
    QStringList ListRowTexts(int nSlot) const;

    // The row the user picked in the list. A row that is not a listed slot
    // (-1 for a click on empty space) changes nothing. True when the current
    // slot changed (the window then reports 551).
    bool Select(int nRow);
    // The current slot's name; the window rewrites that list row.
    void Rename(const QString& name);
    // Asking 562 is needed: the current slot is enabled and the unit differs.
    bool UnitChangeNeedsQuestion(int nUnitKind) const;
    // Only the unit label changes; every number stays. False for a unit
    // outside 0..2.
    bool SetUnit(int nUnitKind);
    // Asking 563 before a new reference line is needed.
    bool SetNeedsOverwriteQuestion() const { return IsCurrentEnabled(); }
    // 2 points (0) or 3 points (1), stored when reference-line input starts.
    bool SetPointKind(int nSetPointKind);
    // Stores the reference of the current slot and enables it; the factor is
    // reference length per pixel. A line without length (or not a number) is
    // refused with 623 and the slot stays as it was; 516 when stored.
    UINT SetReference(double dPixelLength, double dReferenceLength);

    // What a confirmed delete does (see ECalibDelete).
    ECalibDelete DeleteRoute() const;
    // The window must ask 561 before deleting: the current slot is the only
    // calibration and results exist. Answering No keeps both.
    bool DeleteAsksResultsQuestion(bool bResultsPresent) const;
    // Resets the current slot and moves the later enabled slots up; when the
    // current slot is then empty (and not slot 0) the previous one becomes
    // current. False when the current slot held nothing.
    bool DeleteCurrent();

    // .clb files. On failure the table is left exactly as it was.
    UINT LoadFromFile(const QString& path);        // 544 or 619
    UINT SaveToFile(const QString& path) const;    // 545 or 620

    // "<value>" with 5 decimals, trailing zeros removed down to one.
    static QString FactorText(double dCalibration);
    // The tool window's value text: factor, unit, "/", "px".
    QString CurrentValueText() const;
    // The tool window's name text: 232 and the name.
    QString CurrentNameText() const;

private:
    void Pack();
    void ClampCurrentToList();

    int32_t m_nIndex = 0;
    CALIBRATION_SETTING m_Table[CALIBRATION_NUM];
};

// Reference line in image pixels from 2 or 3 points. 2 points: their
// distance. 3 points: the distance from the third point to the line through
// the first two. Returns 0 with the length, 581 for a collinear third point
// (input continues), 623 for any other line without length.
UINT CalcReferencePixelLength(const POINT* pPoints, int nPoints, double& dPixelLength);
