#include "app/SystemSetting.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileIni.h"
#include "platform/ModuleFolder.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <vector>

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

constexpr double kAbsurd = 1.0e12;

// "Name-%1" with n: the per-entry keys, built once.
const QString& Key(const char* pszFormat, int n)
{
    struct KEY_TABLE {
        std::map<std::string, std::vector<QString>> keys;
        std::mutex mutex;
    };
    static KEY_TABLE table;
    std::lock_guard<std::mutex> lock(table.mutex);
    std::vector<QString>& v = table.keys[pszFormat];
    if (v.empty()) {
        QString stem = QString::fromLatin1(pszFormat);
        stem.chop(2);
        for (int i = 0; i <= CALIBRATION_NUM; ++i) {
            v.push_back(stem + QString::number(i));
        }
    }
    return v[size_t(n)];
}

// An integer inside [lo, hi], else the current value.
int32_t ReadRange(const CQSFileIni& ini, const QString& sec, const QString& key, int32_t cur, int32_t lo, int32_t hi)
{
    const int32_t v = ini.ReadInt(sec, key, cur);
    return (v < lo || v > hi) ? cur : v;
}

double ReadSaneDouble(const CQSFileIni& ini, const QString& sec, const QString& key, double cur, int places)
{
    const double v = ini.ReadDouble(sec, key, cur, places);
    return (std::isfinite(v) && v >= 0.0 && v < kAbsurd) ? v : cur;
}

QString ReadPath(const CQSFileIni& ini, const QString& sec, const QString& key, const QString& cur)
{
    return platform::NativePath(ini.ReadString(sec, key, cur));
}

COLORREF ReadColour(const CQSFileIni& ini, const QString& key, COLORREF cur)
{
    const int32_t v = ini.ReadInt(kDrawSetting, key, int32_t(cur));
    return (v < 0 || v > 0xffffff) ? cur : COLORREF(v);
}

struct WRITER {
    const CQSFileIni& ini;
    bool bOk = true;
    void Int(const QString& sec, const QString& key, int32_t v) { bOk = ini.WriteInt(sec, key, v) && bOk; }
    void Bool(const QString& sec, const QString& key, BOOL v) { bOk = ini.WriteBool(sec, key, v) && bOk; }
    void Str(const QString& sec, const QString& key, const QString& v) { bOk = ini.WriteString(sec, key, v) && bOk; }
    void Dbl(const QString& sec, const QString& key, double v, int places)
    {
        bOk = ini.WriteDouble(sec, key, v, places) && bOk;
    }
    void Exact(const QString& sec, const QString& key, double v) { bOk = ini.WriteExactDouble(sec, key, v) && bOk; }
};

} // namespace

QString SystemSettingPath()
{
    return CQSFileIni().GetPath();
}

namespace {
QString CalibrationName(const QString& stem, int nIndex)
{
    return stem + QString::number(nIndex + 1).rightJustified(2, QLatin1Char('0'));
}

void SetDefaultCalibrationNamed(CALIBRATION_SETTING& entry, const QString& name)
{
    entry.bEnable = FALSE;
    entry.Name = name;
    entry.PixelLength = 0.0;
    entry.ReferenceLength = 0.0;
    entry.SetPointKind = 0;
    entry.UnitKind = 0;
    entry.Calibration = 0.0;
}

void SetDefaultCalibrationTable(CALIBRATION_SETTING (&table)[CALIBRATION_NUM])
{
    const QString stem = GetProgramString(211);
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        SetDefaultCalibrationNamed(table[i], CalibrationName(stem, i));
    }
}
} // namespace

QString DefaultCalibrationName(int nIndex)
{
    return CalibrationName(GetProgramString(211), nIndex);
}

void SetDefaultCalibration(CALIBRATION_SETTING& entry, int nIndex)
{
    entry.bEnable = FALSE;
    entry.Name = DefaultCalibrationName(nIndex);
    entry.PixelLength = 0.0;
    entry.ReferenceLength = 0.0;
    entry.SetPointKind = 0;
    entry.UnitKind = 0;
    entry.Calibration = 0.0;
}

DRAW_SETTING DefaultDrawSetting()
{
    DRAW_SETTING d{};
    d.MakeRgnColor = 0x4080ff;
    d.SelRgnColor = 0xff0000;
    d.RgnColor = 0x00ff00;
    d.SelMeasStrColor = 0xff00ff;
    d.MeasStrColor = 0x00ffff;
    d.CrossColor = 0xffff00;
    d.ScaleColor = 0x0000ff;
    d.DrawLineWidth = 2;
    d.DrawCrossLineWidth = 2;
    CopyTextField(d.MeasStrFontName, u"MS UI Gothic");
    d.MeasStrFontPt = 14;
    d.CountKind = 0;
    d.bAutoReSize = TRUE;
    return d;
}

void SetDefaultSystemSetting(SYSTEM_SETTING& s)
{
    s.LanguageKind = 0;
    s.CaptionFontName = QStringLiteral("メイリオ");
    s.CaptionFontPt = 14;
    s.bRegistWindowPos = TRUE;
    s.bMaximizeWnd = FALSE;
    s.MainWndRect = RECT{0, 0, 0, 0};
    s.MeasWndLeft = s.MeasWndTop = 0;
    s.bDispZoomWnd = FALSE;
    s.ZoomWndLeft = s.ZoomWndTop = 0;
    s.SaveLogFolderPath = platform::GetModuleFolder() + QStringLiteral("Log") + platform::PathSeparator();
    s.LogFileTitle = QStringLiteral("LogFile");
    s.SaveLogDays = 60;
    s.JpegQuality = 80;
    s.FileFormat = 1;
    s.bSaveHoleImage = TRUE;
    s.SaveContinue = SAVE_CONTINUE_SETTING{0, 1, 0, 3, 2, 1, QString(), 2};
    s.CalibrationIndex = 0;
    SetDefaultCalibrationTable(s.Calibration);
    s.Draw = DefaultDrawSetting();
    s.DispScaleKind = 1;
    s.DispScalPos = 3;
    s.ScaleSizeX = 0.0;
    s.ScaleSizeY = 0.0;
    s.MeasureDownPlace = 3;
    s.bCrossLineSeparateInput = FALSE;
    s.bDispCrossLine = FALSE;
    s.MakeCrossLineKind = 1;
    s.CrossHorzLineNum = 1;
    s.CrossVertLineNum = 1;
    s.CrossLinePos = CROSSLINE_POS_VALUE{};
    s.Camera = CAMERA_SETTING{QString(), 0, 0};
}

void LoadSystemSetting(SYSTEM_SETTING& s)
{
    SetDefaultSystemSetting(s);
    const CQSFileIni ini;
    // One view of the file for all keys: it is read and parsed once.
    CQSFileIni::BeginBatch(ini.GetPath());

    s.LanguageKind = ini.ReadInt(kLanguageSetting, QStringLiteral("LanguageKind"), s.LanguageKind);

    s.CaptionFontName = ini.ReadString(kWindowSetting, QStringLiteral("CaptionFontName"), s.CaptionFontName);
    if (s.CaptionFontName.trimmed().isEmpty()) {
        s.CaptionFontName = QStringLiteral("メイリオ");
    }
    s.CaptionFontPt = ReadRange(ini, kWindowSetting, QStringLiteral("CaptionFontPt"), s.CaptionFontPt, 1, 999);
    s.bRegistWindowPos = ini.ReadBool(kWindowSetting, QStringLiteral("bRegistWindowPos"), s.bRegistWindowPos);
    s.bMaximizeWnd = ini.ReadBool(kWindowSetting, QStringLiteral("bMaximizeWnd"), s.bMaximizeWnd);
    s.MainWndRect.left = ini.ReadInt(kWindowSetting, QStringLiteral("MainWndLeft"), s.MainWndRect.left);
    s.MainWndRect.top = ini.ReadInt(kWindowSetting, QStringLiteral("MainWndTop"), s.MainWndRect.top);
    s.MainWndRect.right = ini.ReadInt(kWindowSetting, QStringLiteral("MainWndRight"), s.MainWndRect.right);
    s.MainWndRect.bottom = ini.ReadInt(kWindowSetting, QStringLiteral("MainWndBottom"), s.MainWndRect.bottom);
    s.MeasWndLeft = ini.ReadInt(kWindowSetting, QStringLiteral("MeasWndLeft"), s.MeasWndLeft);
    s.MeasWndTop = ini.ReadInt(kWindowSetting, QStringLiteral("MeasWndTop"), s.MeasWndTop);
    s.bDispZoomWnd = ini.ReadBool(kWindowSetting, QStringLiteral("bDispZoomWnd"), s.bDispZoomWnd);
    s.ZoomWndLeft = ini.ReadInt(kWindowSetting, QStringLiteral("ZoomWndLeft"), s.ZoomWndLeft);
    s.ZoomWndTop = ini.ReadInt(kWindowSetting, QStringLiteral("ZoomWndTop"), s.ZoomWndTop);

    const QString logFolder = ReadPath(ini, kLogSetting, QStringLiteral("SaveLogFolderPath"), QString());
    if (!logFolder.trimmed().isEmpty()) {
        s.SaveLogFolderPath = logFolder;
    }
    s.LogFileTitle = ini.ReadString(kLogSetting, QStringLiteral("LogFileTitle"), s.LogFileTitle);
    ReadSaveLogDays(s.SaveLogDays);

    s.JpegQuality = ReadRange(ini, kSaveSetting, QStringLiteral("JpegQuality"), s.JpegQuality, 1, 100);
    s.FileFormat = ReadRange(ini, kSaveSetting, QStringLiteral("FileFormat"), s.FileFormat, 0, 1);
    SAVE_CONTINUE_SETTING& c = s.SaveContinue;
    c.SaveContinueMode = ReadRange(ini, kSaveSetting, QStringLiteral("SaveContinueMode"), c.SaveContinueMode, 0, 1);
    c.SaveIntervalKind = ReadRange(ini, kSaveSetting, QStringLiteral("SaveIntervalKind"), c.SaveIntervalKind, 0, 1);
    c.IntervelMin = ReadRange(ini, kSaveSetting, QStringLiteral("IntervelMin"), c.IntervelMin, 0, 59);
    c.IntervalSec = ReadRange(ini, kSaveSetting, QStringLiteral("IntervalSec"), c.IntervalSec, 0, 59);
    if (c.IntervelMin * 60 + c.IntervalSec < 3) {
        c.IntervelMin = 0;
        c.IntervalSec = 3;
    }
    c.IntervalCnt = ReadRange(ini, kSaveSetting, QStringLiteral("IntervalCnt"), c.IntervalCnt, 2, 9999);
    c.SaveFolderKind = ReadRange(ini, kSaveSetting, QStringLiteral("SaveFolderKind"), c.SaveFolderKind, 0, 1);
    c.SaveFolderPath = ReadPath(ini, kSaveSetting, QStringLiteral("SaveFolderPath"), c.SaveFolderPath);
    c.SubFolderKind = ReadRange(ini, kSaveSetting, QStringLiteral("SubFolderKind"), c.SubFolderKind, 0, 2);
    s.bSaveHoleImage = ini.ReadBool(kSaveSetting, QStringLiteral("bSaveHoleImage"), s.bSaveHoleImage);

    ReadCalibrationSetting(ini.GetPath(), s.CalibrationIndex, s.Calibration);

    DRAW_SETTING& d = s.Draw;
    d.MakeRgnColor = ReadColour(ini, QStringLiteral("MakeRgnColor"), d.MakeRgnColor);
    d.SelRgnColor = ReadColour(ini, QStringLiteral("SelRgnColor"), d.SelRgnColor);
    d.RgnColor = ReadColour(ini, QStringLiteral("RgnColor"), d.RgnColor);
    d.SelMeasStrColor = ReadColour(ini, QStringLiteral("SelMeasStrColor"), d.SelMeasStrColor);
    d.MeasStrColor = ReadColour(ini, QStringLiteral("MeasStrColor"), d.MeasStrColor);
    d.CrossColor = ReadColour(ini, QStringLiteral("CrossColor"), d.CrossColor);
    d.ScaleColor = ReadColour(ini, QStringLiteral("ScaleColor"), d.ScaleColor);
    d.DrawLineWidth = ReadRange(ini, kDrawSetting, QStringLiteral("DrawLineWidth"), d.DrawLineWidth, 1, 99);
    d.DrawCrossLineWidth =
        ReadRange(ini, kDrawSetting, QStringLiteral("DrawCrossLineWidth"), d.DrawCrossLineWidth, 1, 99);
    const QString font = ini.ReadString(kDrawSetting, QStringLiteral("MeasStrFontName"),
                                        QString::fromUtf16(d.MeasStrFontName));
    if (!font.trimmed().isEmpty()) {
        CopyTextField(d.MeasStrFontName, font.toStdU16String());
    }
    d.MeasStrFontPt = ReadRange(ini, kDrawSetting, QStringLiteral("MeasStrFontPt"), d.MeasStrFontPt, 1, 999);
    d.CountKind = ReadRange(ini, kDrawSetting, QStringLiteral("CountKind"), d.CountKind, 0, 1);
    d.bAutoReSize = ini.ReadBool(kDrawSetting, QStringLiteral("bAutoReSize"), d.bAutoReSize);

    s.MeasureDownPlace =
        std::clamp(ini.ReadInt(kMeasureSetting, QStringLiteral("MeasureDownPlace"), s.MeasureDownPlace), 0, 5);

    s.DispScaleKind = ReadRange(ini, kScaleSetting, QStringLiteral("DispScaleKind"), s.DispScaleKind, 0, 1);
    s.DispScalPos = ReadRange(ini, kScaleSetting, QStringLiteral("DispScalPos"), s.DispScalPos, 0, 3);
    s.ScaleSizeX = ReadSaneDouble(ini, kScaleSetting, QStringLiteral("ScaleSizeX"), s.ScaleSizeX, s.MeasureDownPlace);
    s.ScaleSizeY = ReadSaneDouble(ini, kScaleSetting, QStringLiteral("ScaleSizeY"), s.ScaleSizeY, s.MeasureDownPlace);

    s.bCrossLineSeparateInput =
        ini.ReadBool(kCrossLineSetting, QStringLiteral("bCrossLineSeparateInput"), s.bCrossLineSeparateInput);
    s.bDispCrossLine = ini.ReadBool(kCrossLineSetting, QStringLiteral("bDispCrossLine"), s.bDispCrossLine);
    s.MakeCrossLineKind =
        ReadRange(ini, kCrossLineSetting, QStringLiteral("MakeCrossLineKind"), s.MakeCrossLineKind, 0, 1);
    s.CrossHorzLineNum = ReadRange(ini, kCrossLineSetting, QStringLiteral("CrossHorzLineNum"), s.CrossHorzLineNum, 0,
                                   CROSSLINE_POS_NUM);
    s.CrossVertLineNum = ReadRange(ini, kCrossLineSetting, QStringLiteral("CrossVertLineNum"), s.CrossVertLineNum, 0,
                                   CROSSLINE_POS_NUM);

    ReadCrossLinePosValue(s.CrossLinePos);
    ReadCameraSetting(s.Camera);
    CQSFileIni::EndBatch(ini.GetPath());
}

BOOL SaveSystemSetting(const SYSTEM_SETTING& s)
{
    const CQSFileIni ini;
    const QString path = ini.GetPath();
    CQSFileIni::BeginBatch(path);
    WRITER w{ini};

    w.Int(kLanguageSetting, QStringLiteral("LanguageKind"), s.LanguageKind);

    w.Str(kWindowSetting, QStringLiteral("CaptionFontName"), s.CaptionFontName);
    w.Int(kWindowSetting, QStringLiteral("CaptionFontPt"), s.CaptionFontPt);
    w.Bool(kWindowSetting, QStringLiteral("bRegistWindowPos"), s.bRegistWindowPos);
    w.Bool(kWindowSetting, QStringLiteral("bMaximizeWnd"), s.bMaximizeWnd);
    w.Int(kWindowSetting, QStringLiteral("MainWndLeft"), s.MainWndRect.left);
    w.Int(kWindowSetting, QStringLiteral("MainWndTop"), s.MainWndRect.top);
    w.Int(kWindowSetting, QStringLiteral("MainWndRight"), s.MainWndRect.right);
    w.Int(kWindowSetting, QStringLiteral("MainWndBottom"), s.MainWndRect.bottom);
    w.Int(kWindowSetting, QStringLiteral("MeasWndLeft"), s.MeasWndLeft);
    w.Int(kWindowSetting, QStringLiteral("MeasWndTop"), s.MeasWndTop);
    w.Bool(kWindowSetting, QStringLiteral("bDispZoomWnd"), s.bDispZoomWnd);
    w.Int(kWindowSetting, QStringLiteral("ZoomWndLeft"), s.ZoomWndLeft);
    w.Int(kWindowSetting, QStringLiteral("ZoomWndTop"), s.ZoomWndTop);

    w.Str(kLogSetting, QStringLiteral("SaveLogFolderPath"), s.SaveLogFolderPath);
    w.Str(kLogSetting, QStringLiteral("LogFileTitle"), s.LogFileTitle);
    w.bOk = WriteSaveLogDays(s.SaveLogDays) && w.bOk;

    const SAVE_CONTINUE_SETTING& c = s.SaveContinue;
    w.Int(kSaveSetting, QStringLiteral("JpegQuality"), s.JpegQuality);
    w.Int(kSaveSetting, QStringLiteral("FileFormat"), s.FileFormat);
    w.Int(kSaveSetting, QStringLiteral("SaveContinueMode"), c.SaveContinueMode);
    w.Int(kSaveSetting, QStringLiteral("SaveIntervalKind"), c.SaveIntervalKind);
    w.Int(kSaveSetting, QStringLiteral("IntervelMin"), c.IntervelMin);
    w.Int(kSaveSetting, QStringLiteral("IntervalSec"), c.IntervalSec);
    w.Int(kSaveSetting, QStringLiteral("IntervalCnt"), c.IntervalCnt);
    w.Int(kSaveSetting, QStringLiteral("SaveFolderKind"), c.SaveFolderKind);
    w.Str(kSaveSetting, QStringLiteral("SaveFolderPath"), c.SaveFolderPath);
    w.Int(kSaveSetting, QStringLiteral("SubFolderKind"), c.SubFolderKind);
    w.Bool(kSaveSetting, QStringLiteral("bSaveHoleImage"), s.bSaveHoleImage);

    w.bOk = WriteCalibrationSetting(path, s.CalibrationIndex, s.Calibration) && w.bOk;

    const DRAW_SETTING& d = s.Draw;
    w.Int(kDrawSetting, QStringLiteral("MakeRgnColor"), int32_t(d.MakeRgnColor));
    w.Int(kDrawSetting, QStringLiteral("SelRgnColor"), int32_t(d.SelRgnColor));
    w.Int(kDrawSetting, QStringLiteral("RgnColor"), int32_t(d.RgnColor));
    w.Int(kDrawSetting, QStringLiteral("SelMeasStrColor"), int32_t(d.SelMeasStrColor));
    w.Int(kDrawSetting, QStringLiteral("MeasStrColor"), int32_t(d.MeasStrColor));
    w.Int(kDrawSetting, QStringLiteral("CrossColor"), int32_t(d.CrossColor));
    w.Int(kDrawSetting, QStringLiteral("ScaleColor"), int32_t(d.ScaleColor));
    w.Int(kDrawSetting, QStringLiteral("DrawLineWidth"), d.DrawLineWidth);
    w.Int(kDrawSetting, QStringLiteral("DrawCrossLineWidth"), d.DrawCrossLineWidth);
    w.Str(kDrawSetting, QStringLiteral("MeasStrFontName"), QString::fromUtf16(d.MeasStrFontName));
    w.Int(kDrawSetting, QStringLiteral("MeasStrFontPt"), d.MeasStrFontPt);
    w.Int(kDrawSetting, QStringLiteral("CountKind"), d.CountKind);
    w.Bool(kDrawSetting, QStringLiteral("bAutoReSize"), d.bAutoReSize);

    w.Int(kMeasureSetting, QStringLiteral("MeasureDownPlace"), s.MeasureDownPlace);

    w.Int(kScaleSetting, QStringLiteral("DispScaleKind"), s.DispScaleKind);
    w.Int(kScaleSetting, QStringLiteral("DispScalPos"), s.DispScalPos);
    w.Dbl(kScaleSetting, QStringLiteral("ScaleSizeX"), s.ScaleSizeX, s.MeasureDownPlace);
    w.Dbl(kScaleSetting, QStringLiteral("ScaleSizeY"), s.ScaleSizeY, s.MeasureDownPlace);

    w.Bool(kCrossLineSetting, QStringLiteral("bCrossLineSeparateInput"), s.bCrossLineSeparateInput);
    w.Bool(kCrossLineSetting, QStringLiteral("bDispCrossLine"), s.bDispCrossLine);
    w.Int(kCrossLineSetting, QStringLiteral("MakeCrossLineKind"), s.MakeCrossLineKind);
    w.Int(kCrossLineSetting, QStringLiteral("CrossHorzLineNum"), s.CrossHorzLineNum);
    w.Int(kCrossLineSetting, QStringLiteral("CrossVertLineNum"), s.CrossVertLineNum);

    w.bOk = WriteCrossLinePosValue(s.CrossLinePos) && w.bOk;
    w.bOk = WriteCameraSetting(s.Camera) && w.bOk;

    const bool bOk = CQSFileIni::EndBatch(path) && w.bOk;
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
    nIndex = ini.ReadInt(kCalibrationSetting, QStringLiteral("CalibrationIndex"), 0);
    if (nIndex < 0 || nIndex >= CALIBRATION_NUM) {
        nIndex = 0;
    }
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        const int n = i + 1;
        CALIBRATION_SETTING& e = table[i];
        e.bEnable = ini.ReadBool(kCalibrationSetting, Key("bEnable-%1", n), e.bEnable);
        if (!e.bEnable) {
            continue; // a disabled entry keeps its defaults whatever else the file holds
        }
        e.Name = ini.ReadString(kCalibrationSetting, Key("Name-%1", n), e.Name);
        e.PixelLength = ReadSaneDouble(ini, kCalibrationSetting, Key("PixelLength-%1", n), e.PixelLength, 5);
        e.ReferenceLength =
            ReadSaneDouble(ini, kCalibrationSetting, Key("ReferenceLength-%1", n), e.ReferenceLength, 5);
        e.SetPointKind = ReadRange(ini, kCalibrationSetting, Key("SetPointKind-%1", n), e.SetPointKind, 0, 1);
        e.UnitKind = ReadRange(ini, kCalibrationSetting, Key("UnitKind-%1", n), e.UnitKind, 0, 2);
        // Units per pixel are small numbers: read at full precision.
        const double k = ini.ReadExactDouble(kCalibrationSetting, Key("Calibration-%1", n), e.Calibration);
        e.Calibration = (std::isfinite(k) && k >= 0.0 && k < kAbsurd) ? k : 0.0;
    }
    return TRUE;
}

BOOL WriteCalibrationSetting(const QString& path, int32_t nIndex, const CALIBRATION_SETTING (&table)[CALIBRATION_NUM])
{
    if (path.isEmpty()) {
        return FALSE;
    }
    const CQSFileIni ini(path);
    CQSFileIni::BeginBatch(ini.GetPath());
    WRITER w{ini};
    w.Int(kCalibrationSetting, QStringLiteral("CalibrationIndex"), nIndex);
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        const int n = i + 1;
        const CALIBRATION_SETTING& e = table[i];
        w.Bool(kCalibrationSetting, Key("bEnable-%1", n), e.bEnable);
        if (!e.bEnable) {
            continue;
        }
        w.Str(kCalibrationSetting, Key("Name-%1", n), e.Name);
        w.Dbl(kCalibrationSetting, Key("PixelLength-%1", n), e.PixelLength, 5);
        w.Dbl(kCalibrationSetting, Key("ReferenceLength-%1", n), e.ReferenceLength, 5);
        w.Int(kCalibrationSetting, Key("SetPointKind-%1", n), e.SetPointKind);
        w.Int(kCalibrationSetting, Key("UnitKind-%1", n), e.UnitKind);
        w.Exact(kCalibrationSetting, Key("Calibration-%1", n), e.Calibration);
    }
    const bool bOk = CQSFileIni::EndBatch(ini.GetPath()) && w.bOk;
    return bOk ? TRUE : FALSE;
}

BOOL ReadCrossLinePosValue(CROSSLINE_POS_VALUE& value)
{
    const CQSFileIni ini;
    value.bDispCrossLine = ini.ReadBool(kCrossLinePosValue, QStringLiteral("bDispCrossLine"), value.bDispCrossLine);
    for (int i = 0; i < CROSSLINE_POS_NUM; ++i) {
        const int x = ini.ReadInt(kCrossLinePosValue, Key("XCrossLinePos-%1", i + 1), value.XCrossLinePos[i]);
        const int y = ini.ReadInt(kCrossLinePosValue, Key("YCrossLinePos-%1", i + 1), value.YCrossLinePos[i]);
        value.XCrossLinePos[i] = x < 0 ? 0 : x;
        value.YCrossLinePos[i] = y < 0 ? 0 : y;
    }
    return TRUE;
}

BOOL WriteCrossLinePosValue(const CROSSLINE_POS_VALUE& value)
{
    const CQSFileIni ini;
    CQSFileIni::BeginBatch(ini.GetPath());
    WRITER w{ini};
    w.Bool(kCrossLinePosValue, QStringLiteral("bDispCrossLine"), value.bDispCrossLine);
    for (int i = 0; i < CROSSLINE_POS_NUM; ++i) {
        w.Int(kCrossLinePosValue, Key("XCrossLinePos-%1", i + 1), value.XCrossLinePos[i]);
        w.Int(kCrossLinePosValue, Key("YCrossLinePos-%1", i + 1), value.YCrossLinePos[i]);
    }
    return (CQSFileIni::EndBatch(ini.GetPath()) && w.bOk) ? TRUE : FALSE;
}

BOOL ReadCameraSetting(CAMERA_SETTING& value)
{
    const CQSFileIni ini;
    value.CurConectCameraName = ini.ReadString(kCamera, QStringLiteral("CurConectCameraName"), value.CurConectCameraName);
    value.ResolutionIdx = ReadRange(ini, kCamera, QStringLiteral("ResolutionIdx"), value.ResolutionIdx, 0, 10);
    value.CurConnectCameraIdx =
        ReadRange(ini, kCamera, QStringLiteral("CurConnectCameraIdx"), value.CurConnectCameraIdx, 0, 1000);
    return TRUE;
}

BOOL WriteCameraSetting(const CAMERA_SETTING& value)
{
    const CQSFileIni ini;
    CQSFileIni::BeginBatch(ini.GetPath());
    WRITER w{ini};
    w.Str(kCamera, QStringLiteral("CurConectCameraname"), value.CurConectCameraName);
    w.Int(kCamera, QStringLiteral("ResolutionIdx"), value.ResolutionIdx);
    w.Int(kCamera, QStringLiteral("CurConnectCameraIdx"), value.CurConnectCameraIdx);
    return (CQSFileIni::EndBatch(ini.GetPath()) && w.bOk) ? TRUE : FALSE;
}

BOOL ReadSaveLogDays(int32_t& nDays)
{
    nDays = ReadRange(CQSFileIni(), kLogSetting, QStringLiteral("SaveLogDays"), nDays, 0, 3650);
    return TRUE;
}

BOOL WriteSaveLogDays(int32_t nDays)
{
    return CQSFileIni().WriteInt(kLogSetting, QStringLiteral("SaveLogDays"), nDays);
}
