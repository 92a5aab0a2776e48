#include "app/SystemSetting.h"

#include "app/AppStrings.h"
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileIni.h"
#include "app/SettingKeys.h"
#include "app/UserFolders.h"

#include <QFileInfo>

namespace {

const QString kLanguageSetting = QStringLiteral("LanguageSetting");
const QString kWindowSetting = QStringLiteral("WindowSetting");
const QString kLogSetting = QStringLiteral("LogSetting");
const QString kSaveSetting = QStringLiteral("SaveSetting");
const QString kCalibrationSetting = QStringLiteral("CalibrationSetting");
const QString kDrawSetting = QStringLiteral("DrawSetting");
const QString kMeasureSetting = QStringLiteral("MeasureSetting");
const QString kScaleSetting = QStringLiteral("ScaleSetting");
const QString kCrossLineSetting = QStringLiteral("CrossLineSetting");
const QString kCrossLinePosValue = QStringLiteral("CrossLinePosValue");
const QString kCamera = QStringLiteral("Camera");

#define FIELD(T, member) [](T& r, int) -> void* { return &r.member; }
#define ELEMENT(T, array) [](T& r, int i) -> void* { return &r.array[i]; }

QString Numbered(const char* stem, int n)
{
    return QLatin1String(stem) + QString::number(n);
}

QString CalibrationName(const QString& stem, int nIndex)
{
    return stem + QString::number(nIndex + 1).rightJustified(2, QLatin1Char('0'));
}

// A count of days, or a position in the calibration table: one key of its own.
const std::vector<SETTING_KEY<int32_t>>& SaveLogDaysKey()
{
    static const std::vector<SETTING_KEY<int32_t>> table{
        KEYS<int32_t>::Int(kLogSetting, QStringLiteral("SaveLogDays"), [](int32_t& n, int) -> void* { return &n; },
                           60, 0, 3650)};
    return table;
}

const std::vector<SETTING_KEY<int32_t>>& CalibrationIndexKey()
{
    static const std::vector<SETTING_KEY<int32_t>> table{
        KEYS<int32_t>::Int(kCalibrationSetting, QStringLiteral("CalibrationIndex"),
                           [](int32_t& n, int) -> void* { return &n; }, 0, 0, CALIBRATION_NUM - 1)};
    return table;
}

// The keys of calibration entry nIndex (0-based); the file numbers them from 1.
const std::vector<SETTING_KEY<CALIBRATION_SETTING>>& CalibrationKeys(int nIndex)
{
    using K = KEYS<CALIBRATION_SETTING>;
    static const std::vector<std::vector<SETTING_KEY<CALIBRATION_SETTING>>> tables = [] {
        std::vector<std::vector<SETTING_KEY<CALIBRATION_SETTING>>> all;
        for (int n = 1; n <= CALIBRATION_NUM; ++n) {
            const QString& s = kCalibrationSetting;
            all.push_back({
                K::Bool(s, Numbered("bEnable-", n), FIELD(CALIBRATION_SETTING, bEnable), FALSE, KEY_GATE),
                K::Text(s, Numbered("Name-", n), FIELD(CALIBRATION_SETTING, Name), nullptr),
                K::Decimal(s, Numbered("PixelLength-", n), FIELD(CALIBRATION_SETTING, PixelLength), 5),
                K::Decimal(s, Numbered("ReferenceLength-", n), FIELD(CALIBRATION_SETTING, ReferenceLength), 5),
                K::Int(s, Numbered("SetPointKind-", n), FIELD(CALIBRATION_SETTING, SetPointKind), 0, 0, 1),
                K::Int(s, Numbered("UnitKind-", n), FIELD(CALIBRATION_SETTING, UnitKind), 0, 0, 2),
                // Units per pixel are small numbers: kept at full precision.
                K::Decimal(s, Numbered("Calibration-", n), FIELD(CALIBRATION_SETTING, Calibration), 5,
                           ESettingKind::Exact),
            });
        }
        return all;
    }();
    return tables[size_t(nIndex)];
}

const std::vector<SETTING_KEY<CROSSLINE_POS_VALUE>>& CrossLinePosKeys()
{
    using K = KEYS<CROSSLINE_POS_VALUE>;
    static const std::vector<SETTING_KEY<CROSSLINE_POS_VALUE>> table = [] {
        std::vector<SETTING_KEY<CROSSLINE_POS_VALUE>> t{K::Bool(
            kCrossLinePosValue, QStringLiteral("bDispCrossLine"), FIELD(CROSSLINE_POS_VALUE, bDispCrossLine), FALSE)};
        for (int i = 0; i < CROSSLINE_POS_NUM; ++i) {
            // A negative position reads as 0.
            t.push_back(K::Int(kCrossLinePosValue, Numbered("XCrossLinePos-", i + 1),
                               ELEMENT(CROSSLINE_POS_VALUE, XCrossLinePos), 0, 0, INT32_MAX, KEY_CLAMP, i));
            t.push_back(K::Int(kCrossLinePosValue, Numbered("YCrossLinePos-", i + 1),
                               ELEMENT(CROSSLINE_POS_VALUE, YCrossLinePos), 0, 0, INT32_MAX, KEY_CLAMP, i));
        }
        return t;
    }();
    return table;
}

const std::vector<SETTING_KEY<CAMERA_SETTING>>& CameraKeys()
{
    using K = KEYS<CAMERA_SETTING>;
    static const std::vector<SETTING_KEY<CAMERA_SETTING>> table = [] {
        std::vector<SETTING_KEY<CAMERA_SETTING>> t{
            K::Text(kCamera, QStringLiteral("CurConectCameraName"), FIELD(CAMERA_SETTING, CurConectCameraName), u""),
            K::Int(kCamera, QStringLiteral("ResolutionIdx"), FIELD(CAMERA_SETTING, ResolutionIdx), 0, 0, 10),
            K::Int(kCamera, QStringLiteral("CurConnectCameraIdx"), FIELD(CAMERA_SETTING, CurConnectCameraIdx), 0, 0,
                   1000),
        };
        t[0].writeKey = QStringLiteral("CurConectCameraname");
        return t;
    }();
    return table;
}

void SetDefaultCalibrationTable(CALIBRATION_SETTING (&table)[CALIBRATION_NUM])
{
    const QString stem = GetProgramString(IDS_CALIBRATION_VALUE);
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        ApplyDefaults(CalibrationKeys(i), table[i]);
        table[i].Name = CalibrationName(stem, i);
    }
}

// Every section and key of the settings file in file order. MeasureSetting
// comes before ScaleSetting: the scale lengths have MeasureDownPlace decimals.
// The calibration table lives in its own section of the file, read and
// written whole.
SETTING_KEY<SYSTEM_SETTING> CalibrationTableKey()
{
    using S = SYSTEM_SETTING;
    return KEYS<S>::Hook(
        [](S& s) {
            ApplyDefaults(CalibrationIndexKey(), s.CalibrationIndex);
            SetDefaultCalibrationTable(s.Calibration);
        },
        [](S& s) {
            ReadCalibrationSetting(SystemSettingPath(), s.CalibrationIndex, s.Calibration);
            return true; // a missing file leaves the defaults
        },
        [](const S& s) {
            return WriteCalibrationSetting(SystemSettingPath(), s.CalibrationIndex, s.Calibration) != FALSE;
        });
}

const std::vector<SETTING_KEY<SYSTEM_SETTING>>& SystemKeys()
{
    using K = KEYS<SYSTEM_SETTING>;
    using S = SYSTEM_SETTING;
    static const DRAW_SETTING kDraw = DefaultDrawSetting();
    static const std::vector<SETTING_KEY<S>> table{
        K::Int(kLanguageSetting, QStringLiteral("LanguageKind"), FIELD(S, LanguageKind), 0),

        K::Text(kWindowSetting, QStringLiteral("CaptionFontName"), FIELD(S, CaptionFontName), u"メイリオ",
                KEY_NONEMPTY),
        K::Int(kWindowSetting, QStringLiteral("CaptionFontPt"), FIELD(S, CaptionFontPt), 14, 1, 999),
        K::Bool(kWindowSetting, QStringLiteral("bRegistWindowPos"), FIELD(S, bRegistWindowPos), TRUE),
        K::Bool(kWindowSetting, QStringLiteral("bMaximizeWnd"), FIELD(S, bMaximizeWnd), FALSE),
        K::Int(kWindowSetting, QStringLiteral("MainWndLeft"), FIELD(S, MainWndRect.left), 0),
        K::Int(kWindowSetting, QStringLiteral("MainWndTop"), FIELD(S, MainWndRect.top), 0),
        K::Int(kWindowSetting, QStringLiteral("MainWndRight"), FIELD(S, MainWndRect.right), 0),
        K::Int(kWindowSetting, QStringLiteral("MainWndBottom"), FIELD(S, MainWndRect.bottom), 0),
        K::Int(kWindowSetting, QStringLiteral("MeasWndLeft"), FIELD(S, MeasWndLeft), 0),
        K::Int(kWindowSetting, QStringLiteral("MeasWndTop"), FIELD(S, MeasWndTop), 0),
        K::Bool(kWindowSetting, QStringLiteral("bDispZoomWnd"), FIELD(S, bDispZoomWnd), FALSE),
        K::Int(kWindowSetting, QStringLiteral("ZoomWndLeft"), FIELD(S, ZoomWndLeft), 0),
        K::Int(kWindowSetting, QStringLiteral("ZoomWndTop"), FIELD(S, ZoomWndTop), 0),

        // An empty folder keeps the default: the program folder and "Log".
        K::Text(kLogSetting, QStringLiteral("SaveLogFolderPath"), FIELD(S, SaveLogFolderPath), nullptr,
                KEY_PATH | KEY_NONEMPTY),
        K::Text(kLogSetting, QStringLiteral("LogFileTitle"), FIELD(S, LogFileTitle), u"LogFile"),
        K::Hook([](S& s) { ApplyDefaults(SaveLogDaysKey(), s.SaveLogDays); },
                [](S& s) { return ReadSaveLogDays(s.SaveLogDays) != FALSE; },
                [](const S& s) { return WriteSaveLogDays(s.SaveLogDays) != FALSE; }),

        K::Int(kSaveSetting, QStringLiteral("JpegQuality"), FIELD(S, JpegQuality), 80, 1, 100),
        K::Int(kSaveSetting, QStringLiteral("FileFormat"), FIELD(S, FileFormat), 1, 0, 1),
        K::Int(kSaveSetting, QStringLiteral("SaveContinueMode"), FIELD(S, SaveContinue.SaveContinueMode), 0, 0, 1),
        K::Int(kSaveSetting, QStringLiteral("SaveIntervalKind"), FIELD(S, SaveContinue.SaveIntervalKind), 1, 0, 1),
        K::Int(kSaveSetting, QStringLiteral("IntervelMin"), FIELD(S, SaveContinue.IntervelMin), 0, 0, 59),
        K::Int(kSaveSetting, QStringLiteral("IntervalSec"), FIELD(S, SaveContinue.IntervalSec), 3, 0, 59),
        K::Int(kSaveSetting, QStringLiteral("IntervalCnt"), FIELD(S, SaveContinue.IntervalCnt), 2, 2, 9999),
        K::Int(kSaveSetting, QStringLiteral("SaveFolderKind"), FIELD(S, SaveContinue.SaveFolderKind), 1, 0, 1),
        K::Text(kSaveSetting, QStringLiteral("SaveFolderPath"), FIELD(S, SaveContinue.SaveFolderPath), u"", KEY_PATH),
        K::Int(kSaveSetting, QStringLiteral("SubFolderKind"), FIELD(S, SaveContinue.SubFolderKind), 2, 0, 2),
        K::Bool(kSaveSetting, QStringLiteral("bSaveHoleImage"), FIELD(S, bSaveHoleImage), TRUE),

        CalibrationTableKey(),

        K::Colour(kDrawSetting, QStringLiteral("MakeRgnColor"), FIELD(S, Draw.MakeRgnColor), kDraw.MakeRgnColor),
        K::Colour(kDrawSetting, QStringLiteral("SelRgnColor"), FIELD(S, Draw.SelRgnColor), kDraw.SelRgnColor),
        K::Colour(kDrawSetting, QStringLiteral("RgnColor"), FIELD(S, Draw.RgnColor), kDraw.RgnColor),
        K::Colour(kDrawSetting, QStringLiteral("SelMeasStrColor"), FIELD(S, Draw.SelMeasStrColor),
                  kDraw.SelMeasStrColor),
        K::Colour(kDrawSetting, QStringLiteral("MeasStrColor"), FIELD(S, Draw.MeasStrColor), kDraw.MeasStrColor),
        K::Colour(kDrawSetting, QStringLiteral("CrossColor"), FIELD(S, Draw.CrossColor), kDraw.CrossColor),
        K::Colour(kDrawSetting, QStringLiteral("ScaleColor"), FIELD(S, Draw.ScaleColor), kDraw.ScaleColor),
        K::Int(kDrawSetting, QStringLiteral("DrawLineWidth"), FIELD(S, Draw.DrawLineWidth), kDraw.DrawLineWidth, 1, 99),
        K::Int(kDrawSetting, QStringLiteral("DrawCrossLineWidth"), FIELD(S, Draw.DrawCrossLineWidth),
               kDraw.DrawCrossLineWidth, 1, 99),
        K::Text(kDrawSetting, QStringLiteral("MeasStrFontName"), FIELD(S, Draw.MeasStrFontName),
                kDraw.MeasStrFontName, KEY_NONEMPTY, ESettingKind::Font),
        K::Int(kDrawSetting, QStringLiteral("MeasStrFontPt"), FIELD(S, Draw.MeasStrFontPt), kDraw.MeasStrFontPt, 1,
               999),
        K::Int(kDrawSetting, QStringLiteral("CountKind"), FIELD(S, Draw.CountKind), kDraw.CountKind, 0, 1),
        K::Bool(kDrawSetting, QStringLiteral("bAutoReSize"), FIELD(S, Draw.bAutoReSize), kDraw.bAutoReSize),

        K::Int(kMeasureSetting, QStringLiteral("MeasureDownPlace"), FIELD(S, MeasureDownPlace), 3, 0, 5, KEY_CLAMP),
        K::Bool(kMeasureSetting, QStringLiteral("bEdgeSnap"), FIELD(S, bEdgeSnap), FALSE),

        K::Int(kScaleSetting, QStringLiteral("DispScaleKind"), FIELD(S, DispScaleKind), 1, 0, 1),
        K::Int(kScaleSetting, QStringLiteral("DispScalPos"), FIELD(S, DispScalPos), 3, 0, 3),
        K::Decimal(kScaleSetting, QStringLiteral("ScaleSizeX"), FIELD(S, ScaleSizeX), PLACES_MEASURE),
        K::Decimal(kScaleSetting, QStringLiteral("ScaleSizeY"), FIELD(S, ScaleSizeY), PLACES_MEASURE),

        K::Bool(kCrossLineSetting, QStringLiteral("bCrossLineSeparateInput"), FIELD(S, bCrossLineSeparateInput),
                FALSE),
        K::Bool(kCrossLineSetting, QStringLiteral("bDispCrossLine"), FIELD(S, bDispCrossLine), FALSE),
        K::Int(kCrossLineSetting, QStringLiteral("MakeCrossLineKind"), FIELD(S, MakeCrossLineKind), 1, 0, 1),
        K::Int(kCrossLineSetting, QStringLiteral("CrossHorzLineNum"), FIELD(S, CrossHorzLineNum), 1, 0,
               CROSSLINE_POS_NUM),
        K::Int(kCrossLineSetting, QStringLiteral("CrossVertLineNum"), FIELD(S, CrossVertLineNum), 1, 0,
               CROSSLINE_POS_NUM),

        K::Hook([](S& s) { ApplyDefaults(CrossLinePosKeys(), s.CrossLinePos); },
                [](S& s) { return ReadCrossLinePosValue(s.CrossLinePos) != FALSE; },
                [](const S& s) { return WriteCrossLinePosValue(s.CrossLinePos) != FALSE; }),
        K::Hook([](S& s) { ApplyDefaults(CameraKeys(), s.Camera); },
                [](S& s) { return ReadCameraSetting(s.Camera) != FALSE; },
                [](const S& s) { return WriteCameraSetting(s.Camera) != FALSE; }),
    };
    return table;
}

// Reads in one view of the file, written once at the end.
template <class T>
BOOL ReadSettingsSection(const QString& path, const std::vector<SETTING_KEY<T>>& table, T& rec)
{
    const CQSFileIni ini(path);
    CQSFileIni::BeginBatch(ini.GetPath());
    ReadKeys(ini, table, rec);
    CQSFileIni::EndBatch(ini.GetPath());
    return TRUE;
}

template <class T>
BOOL WriteSettingsSection(const QString& path, const std::vector<SETTING_KEY<T>>& table, const T& rec)
{
    const CQSFileIni ini(path);
    CQSFileIni::BeginBatch(ini.GetPath());
    const bool bOk = WriteKeys(ini, table, rec);
    return (CQSFileIni::EndBatch(ini.GetPath()) && bOk) ? TRUE : FALSE;
}

} // namespace

QString SystemSettingPath()
{
    return CQSFileIni().GetPath();
}

QString DefaultCalibrationName(int nIndex)
{
    return CalibrationName(GetProgramString(IDS_CALIBRATION_VALUE), nIndex);
}

void SetDefaultCalibration(CALIBRATION_SETTING& entry, int nIndex)
{
    ApplyDefaults(CalibrationKeys(nIndex), entry);
    entry.Name = DefaultCalibrationName(nIndex);
}

void SetDefaultSystemSetting(SYSTEM_SETTING& s)
{
    ApplyDefaults(SystemKeys(), s);
    s.SaveLogFolderPath = CurrentUserFolders().log;
}

void LoadSystemSetting(SYSTEM_SETTING& s)
{
    SetDefaultSystemSetting(s);
    const CQSFileIni ini;
    // One view of the file for all keys: it is read and parsed once.
    CQSFileIni::BeginBatch(ini.GetPath());
    ReadKeys(ini, SystemKeys(), s, &s.MeasureDownPlace);
    CQSFileIni::EndBatch(ini.GetPath());
    SAVE_CONTINUE_SETTING& c = s.SaveContinue;
    if (c.IntervelMin * 60 + c.IntervalSec < 3) {
        c.IntervelMin = 0;
        c.IntervalSec = 3;
    }
}

BOOL SaveSystemSetting(const SYSTEM_SETTING& s)
{
    const CQSFileIni ini;
    const QString path = ini.GetPath();
    CQSFileIni::BeginBatch(path);
    const bool bWritten = WriteKeys(ini, SystemKeys(), s, &s.MeasureDownPlace);
    const bool bOk = CQSFileIni::EndBatch(path) && bWritten;
    if (!bOk) {
        WriteLog(QStringLiteral("[APP]SaveSystemSetting() Write Error!  ") + path);
    }
    return bOk ? TRUE : FALSE;
}

BOOL ReadCalibrationSetting(const QString& path, int32_t& nIndex, CALIBRATION_SETTING (&table)[CALIBRATION_NUM])
{
    nIndex = 0;
    SetDefaultCalibrationTable(table);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return FALSE;
    }
    const CQSFileIni ini(path);
    CQSFileIni::BeginBatch(ini.GetPath());
    ReadKeys(ini, CalibrationIndexKey(), nIndex);
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        ReadKeys(ini, CalibrationKeys(i), table[i]); // a disabled entry keeps its defaults
    }
    CQSFileIni::EndBatch(ini.GetPath());
    return TRUE;
}

BOOL WriteCalibrationSetting(const QString& path, int32_t nIndex, const CALIBRATION_SETTING (&table)[CALIBRATION_NUM])
{
    if (path.isEmpty()) {
        return FALSE;
    }
    const CQSFileIni ini(path);
    CQSFileIni::BeginBatch(ini.GetPath());
    bool bOk = WriteKeys(ini, CalibrationIndexKey(), nIndex);
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        bOk = WriteKeys(ini, CalibrationKeys(i), table[i]) && bOk;
    }
    return (CQSFileIni::EndBatch(ini.GetPath()) && bOk) ? TRUE : FALSE;
}

BOOL ReadCrossLinePosValue(CROSSLINE_POS_VALUE& value)
{
    return ReadSettingsSection(QString(), CrossLinePosKeys(), value);
}

BOOL WriteCrossLinePosValue(const CROSSLINE_POS_VALUE& value)
{
    return WriteSettingsSection(QString(), CrossLinePosKeys(), value);
}

BOOL ReadCameraSetting(CAMERA_SETTING& value)
{
    return ReadSettingsSection(QString(), CameraKeys(), value);
}

BOOL WriteCameraSetting(const CAMERA_SETTING& value)
{
    return WriteSettingsSection(QString(), CameraKeys(), value);
}

BOOL ReadSaveLogDays(int32_t& nDays)
{
    return ReadSettingsSection(QString(), SaveLogDaysKey(), nDays);
}

BOOL WriteSaveLogDays(int32_t nDays)
{
    return WriteSettingsSection(QString(), SaveLogDaysKey(), nDays);
}
