// Every persistent setting of the program, its defaults, and its reading and
// writing key by key in file order, all driven by one table of keys.
#pragma once

#include "platform/DrawSetting.h"
#include "platform/WinTypes.h"

#include <QString>

constexpr int CALIBRATION_NUM = 20;
constexpr int CROSSLINE_POS_NUM = 6;

struct SAVE_CONTINUE_SETTING {
    int32_t SaveContinueMode;
    int32_t SaveIntervalKind;
    int32_t IntervelMin;
    int32_t IntervalSec;
    int32_t IntervalCnt;
    int32_t SaveFolderKind;
    QString SaveFolderPath;
    int32_t SubFolderKind;
};

struct CALIBRATION_SETTING {
    BOOL bEnable;
    QString Name;
    double PixelLength;
    double ReferenceLength;
    int32_t SetPointKind;
    int32_t UnitKind;
    double Calibration;
};

struct CROSSLINE_POS_VALUE {
    BOOL bDispCrossLine;
    int32_t XCrossLinePos[CROSSLINE_POS_NUM];
    int32_t YCrossLinePos[CROSSLINE_POS_NUM];
};

struct CAMERA_SETTING {
    QString CurConectCameraName;
    int32_t CurConnectCameraIdx;
    int32_t ResolutionIdx;
};

struct SYSTEM_SETTING {
    int32_t LanguageKind;
    QString CaptionFontName;
    int32_t CaptionFontPt;
    BOOL bRegistWindowPos;
    BOOL bMaximizeWnd;
    RECT MainWndRect;
    int32_t MeasWndLeft;
    int32_t MeasWndTop;
    BOOL bDispZoomWnd;
    int32_t ZoomWndLeft;
    int32_t ZoomWndTop;
    QString SaveLogFolderPath;
    QString LogFileTitle;
    int32_t SaveLogDays;
    int32_t JpegQuality;
    int32_t FileFormat;
    BOOL bSaveHoleImage;
    SAVE_CONTINUE_SETTING SaveContinue;
    int32_t CalibrationIndex;
    CALIBRATION_SETTING Calibration[CALIBRATION_NUM];
    DRAW_SETTING Draw;
    int32_t DispScaleKind;
    int32_t DispScalPos;
    double ScaleSizeX;
    double ScaleSizeY;
    int32_t MeasureDownPlace;
    BOOL bEdgeSnap; // points of measurements land on the picture's edges
    BOOL bCrossLineSeparateInput;
    BOOL bDispCrossLine;
    int32_t MakeCrossLineKind;
    int32_t CrossHorzLineNum;
    int32_t CrossVertLineNum;
    CROSSLINE_POS_VALUE CrossLinePos;
    CAMERA_SETTING Camera;
};

// The default name of calibration entry nIndex (0-based): string 211 and a
// two-digit 1-based number.
QString DefaultCalibrationName(int nIndex);
void SetDefaultCalibration(CALIBRATION_SETTING& entry, int nIndex);

void SetDefaultSystemSetting(SYSTEM_SETTING& s);
// Defaults, then every key the settings file holds. Values outside their
// range or not readable keep their defaults.
void LoadSystemSetting(SYSTEM_SETTING& s);
// Writes every section and key in file order as one replace of the file;
// FALSE (and a log line) when the file could not be written.
BOOL SaveSystemSetting(const SYSTEM_SETTING& s);
QString SystemSettingPath();

BOOL ReadCalibrationSetting(const QString& path, int32_t& nIndex, CALIBRATION_SETTING (&table)[CALIBRATION_NUM]);
BOOL WriteCalibrationSetting(const QString& path, int32_t nIndex, const CALIBRATION_SETTING (&table)[CALIBRATION_NUM]);
BOOL ReadCrossLinePosValue(CROSSLINE_POS_VALUE& value);
BOOL WriteCrossLinePosValue(const CROSSLINE_POS_VALUE& value);
BOOL ReadCameraSetting(CAMERA_SETTING& value);
BOOL WriteCameraSetting(const CAMERA_SETTING& value);
BOOL ReadSaveLogDays(int32_t& nDays);
BOOL WriteSaveLogDays(int32_t nDays);
