#include "workflow/calibration/CalibrationTable.h"

#include "app/AppStrings.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileIni.h"
#include "engine/MeasureGeometry.h"
#include "workflow/toolwnd/ToolStrings.h"

#include <QFileInfo>

#include <cmath>

namespace {

const QString kSection = QStringLiteral("CalibrationSetting");

bool IsSlot(int n)
{
    return n >= 0 && n < CALIBRATION_NUM;
}


// A file worth loading: it exists, holds something, and has the calibration
// section with at least one of its keys.
bool IsCalibrationFile(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() == 0) {
        return false;
    }
    const CQSFileIni ini(path);
    if (ini.HasKey(kSection, QStringLiteral("CalibrationIndex"))) {
        return true;
    }
    for (int n = 1; n <= CALIBRATION_NUM; ++n) {
        if (ini.HasKey(kSection, QStringLiteral("bEnable-%1").arg(n))) {
            return true;
        }
    }
    return false;
}

} // namespace

QString CalibrationUnitText(int nUnitKind)
{
    return GetProgramString(UnitNameString(nUnitKind));
}

CCalibrationTable::CCalibrationTable()
{
    Reset();
}

void CCalibrationTable::Reset()
{
    m_nIndex = 0;
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        SetDefaultCalibration(m_Table[i], i);
    }
}

void CCalibrationTable::Assign(int32_t nIndex, const CALIBRATION_SETTING (&table)[CALIBRATION_NUM])
{
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        m_Table[i] = table[i];
        m_Table[i].bEnable = table[i].bEnable ? TRUE : FALSE;
    }
    m_nIndex = IsSlot(nIndex) ? nIndex : 0;
    Pack();
    ClampCurrentToList();
}

void CCalibrationTable::CopyTo(int32_t& nIndex, CALIBRATION_SETTING (&table)[CALIBRATION_NUM]) const
{
    nIndex = m_nIndex;
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        table[i] = m_Table[i];
    }
}

// A hand-edited file may leave gaps; the list shows only the slots before
// the first empty one, so later entries would be unreachable.
void CCalibrationTable::Pack()
{
    int nEnabled = 0;
    bool bPacked = true;
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        if (m_Table[i].bEnable) {
            bPacked = bPacked && nEnabled == i;
            ++nEnabled;
        }
    }
    if (bPacked) {
        return;
    }
    CALIBRATION_SETTING packed[CALIBRATION_NUM];
    int nNewIndex = -1;
    int n = 0;
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        if (m_Table[i].bEnable) {
            if (i == m_nIndex) {
                nNewIndex = n;
            }
            packed[n++] = m_Table[i];
        }
    }
    for (int i = n; i < CALIBRATION_NUM; ++i) {
        SetDefaultCalibration(packed[i], i);
    }
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        m_Table[i] = packed[i];
    }
    m_nIndex = nNewIndex >= 0 ? nNewIndex : (n < CALIBRATION_NUM ? n : 0);
}

void CCalibrationTable::ClampCurrentToList()
{
    const int nRows = ListRowCount();
    if (m_nIndex >= nRows) {
        m_nIndex = nRows - 1;
    }
}

bool CCalibrationTable::IsCurrentValid() const
{
    const CALIBRATION_SETTING& c = Current();
    return c.bEnable && c.UnitKind >= 0 && c.UnitKind <= 2 && c.Calibration > 0.0;
}

int CCalibrationTable::EnabledCount() const
{
    int n = 0;
    for (const CALIBRATION_SETTING& c : m_Table) {
        n += c.bEnable ? 1 : 0;
    }
    return n;
}

int CCalibrationTable::ListRowCount() const
{
    int n = 0;
    while (n < CALIBRATION_NUM && m_Table[n].bEnable) {
        ++n;
    }
    return n < CALIBRATION_NUM ? n + 1 : n;
}

QStringList CCalibrationTable::ListRowTexts(int nSlot) const
{
    if (!IsSlot(nSlot)) {
        return QStringList();
    }
    const CALIBRATION_SETTING& c = m_Table[nSlot];
    return QStringList{QString::number(nSlot + 1), c.Name, c.bEnable ? GetProgramString(IDS_CALIBRATION_SET_MARK) : QString()};
}

std::vector<QStringList> CCalibrationTable::ListRows() const
{
    std::vector<QStringList> rows;
    for (int i = 0; i < ListRowCount(); ++i) {
        rows.push_back(ListRowTexts(i));
    }
    return rows;
}

bool CCalibrationTable::Select(int nRow)
{
    if (nRow < 0 || nRow >= ListRowCount() || nRow == m_nIndex) {
        return false;
    }
    m_nIndex = nRow;
    return true;
}

void CCalibrationTable::Rename(const QString& name)
{
    m_Table[m_nIndex].Name = name;
}

bool CCalibrationTable::UnitChangeNeedsQuestion(int nUnitKind) const
{
    return IsCurrentEnabled() && Current().UnitKind != nUnitKind;
}

bool CCalibrationTable::SetUnit(int nUnitKind)
{
    if (nUnitKind < 0 || nUnitKind > 2) {
        return false;
    }
    m_Table[m_nIndex].UnitKind = nUnitKind;
    return true;
}

bool CCalibrationTable::SetPointKind(int nSetPointKind)
{
    if (nSetPointKind != 0 && nSetPointKind != 1) {
        return false;
    }
    m_Table[m_nIndex].SetPointKind = nSetPointKind;
    return true;
}

UINT CCalibrationTable::SetReference(double dPixelLength, double dReferenceLength)
{
    if (!(dPixelLength > 0.0) || !std::isfinite(dPixelLength) || !std::isfinite(dReferenceLength)) {
        return CALIB_MSG_SET_FAILED;
    }
    CALIBRATION_SETTING& c = m_Table[m_nIndex];
    c.PixelLength = dPixelLength;
    c.ReferenceLength = dReferenceLength;
    c.Calibration = dReferenceLength / dPixelLength;
    c.bEnable = TRUE;
    return CALIB_MSG_SET_DONE;
}

ECalibDelete CCalibrationTable::DeleteRoute() const
{
    if (!IsCurrentEnabled()) {
        return ECalibDelete::Nothing;
    }
    return EnabledCount() == 1 ? ECalibDelete::WithResultsFirst : ECalibDelete::Direct;
}

bool CCalibrationTable::DeleteAsksResultsQuestion(bool bResultsPresent) const
{
    return bResultsPresent && DeleteRoute() == ECalibDelete::WithResultsFirst;
}

bool CCalibrationTable::DeleteCurrent()
{
    if (!IsCurrentEnabled()) {
        return false;
    }
    SetDefaultCalibration(m_Table[m_nIndex], m_nIndex);
    for (int k = m_nIndex; k < CALIBRATION_NUM - 1; ++k) {
        if (m_Table[k + 1].bEnable) {
            m_Table[k] = m_Table[k + 1];
            SetDefaultCalibration(m_Table[k + 1], k + 1);
        } else {
            SetDefaultCalibration(m_Table[k], k);
        }
    }
    if (!m_Table[m_nIndex].bEnable && m_nIndex > 0) {
        --m_nIndex;
    }
    return true;
}

UINT CCalibrationTable::LoadFromFile(const QString& path)
{
    if (!IsCalibrationFile(path)) {
        return CALIB_MSG_LOAD_FAILED;
    }
    int32_t nIndex = 0;
    CALIBRATION_SETTING loaded[CALIBRATION_NUM];
    if (!ReadCalibrationSetting(path, nIndex, loaded)) {
        return CALIB_MSG_LOAD_FAILED;
    }
    Assign(nIndex, loaded);
    return CALIB_MSG_LOADED;
}

UINT CCalibrationTable::SaveToFile(const QString& path) const
{
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        return CALIB_MSG_SAVE_FAILED;
    }
    return WriteCalibrationSetting(path, m_nIndex, m_Table) ? CALIB_MSG_SAVED : CALIB_MSG_SAVE_FAILED;
}

QString CCalibrationTable::FactorText(double dCalibration)
{
    return QString::fromStdU16String(FormatValueString(dCalibration, 5));
}

QString CCalibrationTable::CurrentValueText() const
{
    return FactorText(Current().Calibration) + CalibrationUnitText(Current().UnitKind) + QLatin1Char('/') + GetProgramString(IDS_UNIT_PIXEL);
}

QString CCalibrationTable::CurrentNameText() const
{
    return GetProgramString(IDS_CALIBRATION_NAME_LABEL) + Current().Name;
}

UINT CalcReferencePixelLength(const POINT* pPoints, int nPoints, double& dPixelLength)
{
    dPixelLength = 0.0;
    if (pPoints == nullptr || (nPoints != 2 && nPoints != 3)) {
        return CALIB_MSG_SET_FAILED;
    }
    const POINT a = pPoints[0];
    const POINT b = pPoints[1];
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double dBase = std::sqrt(dx * dx + dy * dy);
    if (nPoints == 2) {
        dPixelLength = dBase;
        return dBase > 0.0 ? 0u : CALIB_MSG_SET_FAILED;
    }
    const POINT c = pPoints[2];
    if (IsCollinear(a, b, c)) {
        return CALIB_MSG_INVALID_POINT;
    }
    dPixelLength = std::fabs(double(CrossProduct(a, b, c))) / dBase;
    return 0u;
}
