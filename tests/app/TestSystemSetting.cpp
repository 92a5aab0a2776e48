#include "AppFixture.h"

#include "app/SystemSetting.h"

#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

using SystemSettingTest = ProgramFolderTest;

namespace {

SYSTEM_SETTING NonDefault()
{
    SYSTEM_SETTING s;
    SetDefaultSystemSetting(s);
    s.LanguageKind = 1;
    s.CaptionFontName = QStringLiteral("Noto Sans CJK JP");
    s.CaptionFontPt = 11;
    s.bRegistWindowPos = FALSE;
    s.bMaximizeWnd = TRUE;
    s.MainWndRect = RECT{-1600, 20, -300, 900};
    s.MeasWndLeft = 33;
    s.MeasWndTop = 44;
    s.bDispZoomWnd = TRUE;
    s.ZoomWndLeft = 55;
    s.ZoomWndTop = 66;
    s.SaveLogFolderPath = QStringLiteral("/var/tmp/ログ/");
    s.LogFileTitle = QStringLiteral("Other");
    s.SaveLogDays = 90;
    s.JpegQuality = 95;
    s.FileFormat = 0;
    s.bSaveHoleImage = FALSE;
    s.SaveContinue = SAVE_CONTINUE_SETTING{1, 0, 2, 30, 120, 0, QStringLiteral("/data/保存/"), 1};
    s.CalibrationIndex = 7;
    s.Calibration[7] = CALIBRATION_SETTING{TRUE, QStringLiteral("顕微鏡 x40"), 150.12345, 0.01, 1, 1, 0.0000667};
    s.Calibration[19] = CALIBRATION_SETTING{TRUE, QStringLiteral("last"), 1000.0, 2.5, 0, 2, 0.0025};
    s.Draw.MakeRgnColor = 0x123456;
    s.Draw.SelRgnColor = 1;
    s.Draw.RgnColor = 2;
    s.Draw.SelMeasStrColor = 3;
    s.Draw.MeasStrColor = 4;
    s.Draw.CrossColor = 5;
    s.Draw.ScaleColor = 0xffffff;
    s.Draw.DrawLineWidth = 7;
    s.Draw.DrawCrossLineWidth = 9;
    CopyTextField(s.Draw.MeasStrFontName, u"メイリオ");
    s.Draw.MeasStrFontPt = 20;
    s.Draw.CountKind = 1;
    s.Draw.bAutoReSize = FALSE;
    s.DispScaleKind = 0;
    s.DispScalPos = 1;
    s.ScaleSizeX = 12.5;
    s.ScaleSizeY = 3.25;
    s.MeasureDownPlace = 2;
    s.bCrossLineSeparateInput = TRUE;
    s.bDispCrossLine = TRUE;
    s.MakeCrossLineKind = 0;
    s.CrossHorzLineNum = 6;
    s.CrossVertLineNum = 0;
    s.CrossLinePos.bDispCrossLine = TRUE;
    for (int i = 0; i < 6; ++i) {
        s.CrossLinePos.XCrossLinePos[i] = 10 * i + 1;
        s.CrossLinePos.YCrossLinePos[i] = 20 * i + 2;
    }
    s.Camera = CAMERA_SETTING{QStringLiteral("SimCam Colour 5MP"), 1, 4};
    return s;
}

// The fields a round trip must keep, to compare two settings at once.
auto Kept(const SYSTEM_SETTING& s)
{
    return std::tie(s.LanguageKind, s.CaptionFontName, s.CaptionFontPt, s.bRegistWindowPos, s.bMaximizeWnd,
                    s.MainWndRect.left, s.MainWndRect.bottom, s.MeasWndTop, s.bDispZoomWnd, s.ZoomWndTop,
                    s.SaveLogFolderPath, s.LogFileTitle, s.SaveLogDays, s.JpegQuality, s.FileFormat, s.bSaveHoleImage,
                    s.SaveContinue.SaveContinueMode, s.SaveContinue.IntervalSec, s.SaveContinue.IntervalCnt,
                    s.SaveContinue.SaveFolderPath, s.SaveContinue.SubFolderKind, s.CalibrationIndex, s.DispScaleKind,
                    s.DispScalPos, s.ScaleSizeX, s.ScaleSizeY, s.MeasureDownPlace, s.bCrossLineSeparateInput,
                    s.bDispCrossLine, s.MakeCrossLineKind, s.CrossHorzLineNum, s.CrossVertLineNum,
                    s.CrossLinePos.bDispCrossLine, s.Camera.CurConectCameraName, s.Camera.CurConnectCameraIdx,
                    s.Camera.ResolutionIdx);
}

auto KeptCalibration(const CALIBRATION_SETTING& c)
{
    return std::tie(c.bEnable, c.Name, c.Calibration, c.PixelLength, c.UnitKind, c.SetPointKind);
}

void ExpectEqual(const SYSTEM_SETTING& a, const SYSTEM_SETTING& b)
{
    EXPECT_TRUE(Kept(a) == Kept(b));
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        EXPECT_TRUE(KeptCalibration(a.Calibration[i]) == KeptCalibration(b.Calibration[i])) << i;
    }
    EXPECT_TRUE(a.Draw == b.Draw);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a.CrossLinePos.XCrossLinePos[i], b.CrossLinePos.XCrossLinePos[i]);
        EXPECT_EQ(a.CrossLinePos.YCrossLinePos[i], b.CrossLinePos.YCrossLinePos[i]);
    }
}

} // namespace

TEST_F(SystemSettingTest, DefaultsAndTheFirstSaveInFileOrder)
{
    SYSTEM_SETTING s;
    LoadSystemSetting(s); // no file: defaults
    EXPECT_EQ(s.JpegQuality, 80);
    EXPECT_EQ(s.Calibration[0].Name, QStringLiteral("校正値01"));
    EXPECT_EQ(s.Calibration[19].Name, QStringLiteral("校正値20"));
    EXPECT_EQ(s.SaveLogFolderPath, tmp.path() + QStringLiteral("/Log/"));
    ASSERT_TRUE(SaveSystemSetting(s));
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    EXPECT_EQ(SystemSettingPath(), path);
    const QByteArray bytes = ReadBytes(path);
    ASSERT_TRUE(bytes.startsWith("\xff\xfe"));
    const QString text = DecodeUtf16(bytes);
    const char* order[] = {"[LanguageSetting]", "[WindowSetting]", "[LogSetting]",   "[SaveSetting]",
                           "[CalibrationSetting]", "[DrawSetting]", "[MeasureSetting]", "[ScaleSetting]",
                           "[CrossLineSetting]", "[CrossLinePosValue]", "[Camera]"};
    qsizetype last = -1;
    for (const char* sec : order) {
        const qsizetype at = text.indexOf(QLatin1String(sec));
        EXPECT_GT(at, last) << sec;
        last = at;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("ScaleColor=255\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("MakeRgnColor=4227327\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("bRegistWindowPos=True\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("bEnable-20=False\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("Name-1=")));
    EXPECT_TRUE(text.contains(QStringLiteral("XCrossLinePos-1=0\r\nYCrossLinePos-1=0\r\nXCrossLinePos-2")));
}

TEST_F(SystemSettingTest, FullRoundTripInBothEncodings)
{
    const SYSTEM_SETTING s = NonDefault();
    ASSERT_TRUE(SaveSystemSetting(s));
    CQSFileIni::DropCache();
    SYSTEM_SETTING back;
    LoadSystemSetting(back);
    ExpectEqual(back, s);

    // A UTF-8 file written by hand stays UTF-8 and round-trips just as well.
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    WriteBytes(path, "; my settings\n[measuresetting]\nMeasureDownPlace = 4\nMyOwnKey=stays\n");
    ASSERT_TRUE(SaveSystemSetting(s));
    const QByteArray bytes = ReadBytes(path);
    EXPECT_TRUE(bytes.startsWith("; my settings\n[measuresetting]\nMeasureDownPlace=2\nMyOwnKey=stays\n"));
    EXPECT_TRUE(bytes.contains("Name-8=顕微鏡 x40\n"));
    CQSFileIni::DropCache();
    LoadSystemSetting(back);
    ExpectEqual(back, s);
}

TEST_F(SystemSettingTest, EncodingsRoundingAndStaleCalibrationKeys)
{
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    WriteBytes(path, Utf16(QStringLiteral("[WindowSetting]\r\nbRegistWindowPos=true\r\nbMaximizeWnd=True\r\n"
                                          "[LanguageSetting]\r\nLanguageKind=2\r\n"
                                          "[LogSetting]\r\nSaveLogFolderPath=\r\n"
                                          "[MeasureSetting]\r\nMeasureDownPlace=2\r\n"
                                          "[ScaleSetting]\r\nScaleSizeX=12.345\r\n"
                                          "[CalibrationSetting]\r\nbEnable-3=True\r\nPixelLength-3=1.1234567\r\n"
                                          "bEnable-4=False\r\nName-4=Old\r\nPixelLength-4=9\r\n"
                                          "Calibration-3=0.00001\r\n")));
    SYSTEM_SETTING s;
    LoadSystemSetting(s);
    EXPECT_FALSE(s.bRegistWindowPos);
    EXPECT_TRUE(s.bMaximizeWnd);
    EXPECT_EQ(s.LanguageKind, 2);
    EXPECT_EQ(s.SaveLogFolderPath, tmp.path() + QStringLiteral("/Log/"));
    EXPECT_DOUBLE_EQ(s.ScaleSizeX, 12.35);
    EXPECT_DOUBLE_EQ(s.Calibration[2].PixelLength, 1.12346);
    EXPECT_EQ(s.Calibration[2].Calibration, 0.00001); // a 5-decimal file still reads
    EXPECT_EQ(s.Calibration[2].Name, QStringLiteral("校正値03"));
    EXPECT_FALSE(s.Calibration[3].bEnable);
    EXPECT_EQ(s.Calibration[3].Name, QStringLiteral("校正値04"));
    EXPECT_EQ(s.Calibration[3].PixelLength, 0.0);
    ASSERT_TRUE(SaveSystemSetting(s));
    const QString text = DecodeUtf16(ReadBytes(path));
    EXPECT_TRUE(text.contains(QStringLiteral("Name-4=Old\r\n"))); // stale keys stay
    EXPECT_TRUE(text.contains(QStringLiteral("ScaleSizeX=12.35\r\n")));
}

TEST_F(SystemSettingTest, OutOfRangeAndGarbageValuesKeepDefaults)
{
    WriteBytes(Path(QStringLiteral("Pixmetra.ini")),
               "[SaveSetting]\nJpegQuality=1000\nFileFormat=-3\nIntervalCnt=1\nIntervelMin=0\nIntervalSec=1\n"
               "[CalibrationSetting]\nCalibrationIndex=25\nbEnable-1=True\nCalibration-1=inf\nUnitKind-1=7\n"
               "PixelLength-1=-5\n"
               "[DrawSetting]\nDrawLineWidth=0\nRgnColor=-1\nMeasStrFontName=\n"
               "[MeasureSetting]\nMeasureDownPlace=9\n"
               "[ScaleSetting]\nDispScalPos=4\nScaleSizeX=1e300\n"
               "[CrossLineSetting]\nCrossHorzLineNum=7\n"
               "[CrossLinePosValue]\nXCrossLinePos-1=-20\n");
    SYSTEM_SETTING s;
    LoadSystemSetting(s);
    EXPECT_EQ(s.JpegQuality, 80);
    EXPECT_EQ(s.FileFormat, 1);
    EXPECT_EQ(s.SaveContinue.IntervalCnt, 2);
    EXPECT_EQ(s.SaveContinue.IntervalSec, 3);
    EXPECT_EQ(s.CalibrationIndex, 0);
    EXPECT_TRUE(s.Calibration[0].bEnable);
    EXPECT_EQ(s.Calibration[0].Calibration, 0.0);
    EXPECT_EQ(s.Calibration[0].UnitKind, 0);
    EXPECT_EQ(s.Calibration[0].PixelLength, 0.0);
    EXPECT_EQ(s.Draw.DrawLineWidth, 2);
    EXPECT_EQ(s.Draw.RgnColor, 0x00ff00u);
    EXPECT_EQ(TextFieldString(s.Draw.MeasStrFontName), u"MS UI Gothic");
    EXPECT_EQ(s.MeasureDownPlace, 5);
    EXPECT_EQ(s.DispScalPos, 3);
    EXPECT_EQ(s.ScaleSizeX, 0.0);
    EXPECT_EQ(s.CrossHorzLineNum, 1);
    EXPECT_EQ(s.CrossLinePos.XCrossLinePos[0], 0);
}

TEST_F(SystemSettingTest, FailedSaveIsReportedAndOldFileSurvives)
{
    ASSERT_TRUE(SaveSystemSetting(NonDefault()));
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    const QByteArray before = ReadBytes(path);
    if (geteuid() != 0) {
        ::chmod(tmp.path().toLocal8Bit().constData(), 0555);
        SYSTEM_SETTING s;
        SetDefaultSystemSetting(s);
        EXPECT_FALSE(SaveSystemSetting(s));
        ::chmod(tmp.path().toLocal8Bit().constData(), 0755);
        EXPECT_EQ(ReadBytes(path), before);
    }
    // A calibration file path that cannot be written.
    int32_t idx = 0;
    CALIBRATION_SETTING table[CALIBRATION_NUM];
    EXPECT_FALSE(ReadCalibrationSetting(Path(QStringLiteral("none.clb")), idx, table));
    EXPECT_FALSE(ReadCalibrationSetting(QString(), idx, table));
    EXPECT_FALSE(WriteCalibrationSetting(QString(), 0, table));
    EXPECT_FALSE(WriteCalibrationSetting(Path(QStringLiteral("no/dir/x.clb")), 0, table));
    ASSERT_TRUE(WriteCalibrationSetting(Path(QStringLiteral("x.clb")), 3, NonDefault().Calibration));
    ASSERT_TRUE(ReadCalibrationSetting(Path(QStringLiteral("x.clb")), idx, table));
    EXPECT_EQ(idx, 3);
    EXPECT_EQ(table[7].Calibration, 0.0000667);
}

TEST_F(SystemSettingTest, EdgeSnapIsOnOnlyForTrueAndWrittenWithTheMeasureSetting)
{
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    const struct {
        const char* pszValue;
        bool bOn;
    } cases[] = {{nullptr, false}, {"True", true}, {"true", false}, {"1", false}, {"False", false}};
    for (const auto& c : cases) {
        WriteBytes(path, c.pszValue == nullptr ? QByteArray("[MeasureSetting]\n")
                                               : QByteArray("[MeasureSetting]\nbEdgeSnap=") + c.pszValue + "\n");
        CQSFileIni::DropCache();
        SYSTEM_SETTING s;
        LoadSystemSetting(s);
        EXPECT_EQ(s.bEdgeSnap != FALSE, c.bOn) << (c.pszValue != nullptr ? c.pszValue : "(none)");
    }
    QFile::remove(path);
    CQSFileIni::DropCache();
    SYSTEM_SETTING s;
    SetDefaultSystemSetting(s);
    s.bEdgeSnap = TRUE;
    ASSERT_TRUE(SaveSystemSetting(s));
    EXPECT_TRUE(DecodeUtf16(ReadBytes(path)).contains(
        QStringLiteral("[MeasureSetting]\r\nMeasureDownPlace=3\r\nbEdgeSnap=True\r\n[ScaleSetting]")));
}
