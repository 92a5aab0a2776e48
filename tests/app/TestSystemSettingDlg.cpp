// The settings window on real widgets over a temporary settings file: every
// control reaches its key, number fields stay in range, the scale lengths
// are checked, defaults and the log retention follow their own rules.
#include "DialogFixture.h"

#include "app/SystemSetting.h"
#include "app/dialogs/LogCopyDlg.h"
#include "app/dialogs/SelectFontDlg.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "platform/ModuleFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>

namespace {

using Dlg = CSystemSettingDlg;

class SystemSettingDlgTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        platform::SetModuleFolderForTest(folder.path() + QLatin1Char('/'), QStringLiteral("Pixmetra"));
        SetDefaultSystemSetting(before);
        before.Calibration[0].bEnable = TRUE;
        before.Calibration[0].Calibration = 0.002;
        before.Calibration[0].UnitKind = 1;
        before.Camera = CAMERA_SETTING{QStringLiteral("SimCam A"), 0, 3};
        ASSERT_TRUE(SaveSystemSetting(before));
    }
    void TearDown() override
    {
        platform::SetModuleFolderForTest(QString());
        DialogTest::TearDown();
    }
    QByteArray SettingsBytes() const
    {
        QFile f(SystemSettingPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The font dialog answers with the size given.
    static void AnswerFontSize(const QString& size)
    {
        WhenShown<CSelectFontDlg>([size](CSelectFontDlg* p) {
            auto* pSizes = qobject_cast<QComboBox*>(p->GetDlgItem(CSelectFontDlg::IDC_COMBO_FONT_SIZE));
            pSizes->setEditText(size);
            QTest::mouseClick(qobject_cast<QAbstractButton*>(p->GetDlgItem(CSelectFontDlg::IDC_OK)), Qt::LeftButton);
        });
    }

    QTemporaryDir folder;
    SYSTEM_SETTING before;
};

} // namespace

TEST_F(SystemSettingDlgTest, EveryControlRoundTripsThroughTheSettingsFile)
{
    Dlg dlg;
    dlg.SetCameraConnected(TRUE);
    dlg.SetCameraNames({QStringLiteral("SimCam A"), QStringLiteral("SimCam A"), QStringLiteral("SimCam B")});
    Show(dlg);
    const SYSTEM_SETTING& d = before;

    // Two cameras of one name are told apart; the lengths are in the calibration's unit.
    auto* pCameras = Item<QComboBox>(dlg, Dlg::IDC_COMBO_CONNECT_CAMERA);
    ASSERT_EQ(pCameras->count(), 3);
    EXPECT_EQ(pCameras->itemText(0), QStringLiteral("SimCam A(1)"));
    EXPECT_EQ(pCameras->itemText(1), QStringLiteral("SimCam A(2)"));
    EXPECT_EQ(pCameras->itemText(2), QStringLiteral("SimCam B"));
    EXPECT_EQ(pCameras->currentIndex(), 0);
    EXPECT_EQ(Item<QLabel>(dlg, Dlg::IDC_STATIC_SCALE_X_UNIT)->text(), QStringLiteral("mm"));

    Click(dlg, Dlg::IDC_RADIO_ENGLISH);
    Click(dlg, Dlg::IDC_CHECK_REGIST_WINDOW_POS);
    Item<QSlider>(dlg, Dlg::IDC_SLIDER_JPEG_QUALITY)->setValue(55);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_JPEG_QUALITY), QStringLiteral("55"));
    Click(dlg, d.FileFormat == 0 ? Dlg::IDC_RADIO_JPEG : Dlg::IDC_RADIO_BMP);
    Click(dlg, Dlg::IDC_CHECK_SAVE_HOLE_IMAGE);
    Click(dlg, d.MakeCrossLineKind == 0 ? Dlg::IDC_RADIO_CROSS_LINE_TOGGLE : Dlg::IDC_RADIO_CROSS_LINE_MAKE);

    // Widths 1 to 99, decimals 0 to 5, counts 0 to 6, corrected while typed.
    Type(dlg, Dlg::IDC_EDIT_CROSS_LINE_WIDTH, QStringLiteral("0"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_CROSS_LINE_WIDTH), QStringLiteral("1"));
    Type(dlg, Dlg::IDC_EDIT_CROSS_LINE_WIDTH, QStringLiteral("150"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_CROSS_LINE_WIDTH), QStringLiteral("99"));
    Type(dlg, Dlg::IDC_EDIT_CROSS_LINE_WIDTH, QStringLiteral("7"));
    if (!Item<QAbstractButton>(dlg, Dlg::IDC_CHECK_CROSS_LINE_SEPARATE)->isChecked()) {
        Click(dlg, Dlg::IDC_CHECK_CROSS_LINE_SEPARATE);
    }
    EXPECT_EQ(Item<QLabel>(dlg, Dlg::IDC_STATIC_VERT_LINE_NUM)->text(), GetProgramString(185));
    EXPECT_FALSE(dlg.GetDlgItem(Dlg::IDC_EDIT_HORZ_LINE_NUM)->isHidden());
    Type(dlg, Dlg::IDC_EDIT_VERT_LINE_NUM, QStringLiteral("3"));
    Type(dlg, Dlg::IDC_EDIT_HORZ_LINE_NUM, QStringLiteral("9"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_HORZ_LINE_NUM), QStringLiteral("6"));
    Type(dlg, Dlg::IDC_EDIT_HORZ_LINE_NUM, QStringLiteral("2"));
    pCameras->setCurrentIndex(1);
    Type(dlg, Dlg::IDC_EDIT_LINE_WIDTH, QStringLiteral("4"));
    Click(dlg, Dlg::IDC_CHECK_AUTO_RESIZE);
    Type(dlg, Dlg::IDC_EDIT_DOWN_PLACE, QStringLiteral("8"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_DOWN_PLACE), QStringLiteral("5"));
    Type(dlg, Dlg::IDC_EDIT_DOWN_PLACE, QStringLiteral("2"));
    Click(dlg, d.Draw.CountKind == 0 ? Dlg::IDC_RADIO_COUNT_ID : Dlg::IDC_RADIO_COUNT_SERIAL);
    Click(dlg, Dlg::IDC_RADIO_SCALE_FIXED);
    Item<QComboBox>(dlg, Dlg::IDC_COMBO_SCALE_POS)->setCurrentIndex(2);
    Type(dlg, Dlg::IDC_EDIT_SCALE_X, QStringLiteral("12.5"));
    Type(dlg, Dlg::IDC_EDIT_SCALE_Y, QStringLiteral("0"));

    // Each swatch opens the colour dialog on its own colour and takes the answer.
    const int swatches[] = {Dlg::IDC_BTN_CROSS_COLOR,    Dlg::IDC_BTN_MAKE_RGN_COLOR,     Dlg::IDC_BTN_SEL_RGN_COLOR,
                            Dlg::IDC_BTN_RGN_COLOR,      Dlg::IDC_BTN_SCALE_COLOR,        Dlg::IDC_BTN_SEL_MEAS_STR_COLOR,
                            Dlg::IDC_BTN_MEAS_STR_COLOR};
    for (int i = 0; i < 7; ++i) {
        colors.answer = COLORREF(0x010203 * (i + 1));
        Item<QAbstractButton>(dlg, swatches[i])->click();
    }
    ASSERT_EQ(colors.offered.size(), 7u);
    EXPECT_EQ(colors.offered[0], d.Draw.CrossColor);
    EXPECT_EQ(colors.offered[6], d.Draw.MeasStrColor);

    AnswerFontSize(QStringLiteral("21"));
    Item<QAbstractButton>(dlg, Dlg::IDC_BTN_SEL_CAPTION_FONT)->click();
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_CAPTION_FONT_PT), QStringLiteral("21"));
    AnswerFontSize(QStringLiteral("17"));
    Item<QAbstractButton>(dlg, Dlg::IDC_BTN_SEL_MEAS_FONT)->click();

    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    EXPECT_FALSE(dlg.isVisible());

    SYSTEM_SETTING r;
    LoadSystemSetting(r);
    EXPECT_EQ(r.LanguageKind, 1);
    EXPECT_EQ(r.bRegistWindowPos, d.bRegistWindowPos ? FALSE : TRUE);
    EXPECT_EQ(r.CaptionFontPt, 21);
    EXPECT_EQ(r.JpegQuality, 55);
    EXPECT_EQ(r.FileFormat, 1 - d.FileFormat);
    EXPECT_EQ(r.bSaveHoleImage, d.bSaveHoleImage ? FALSE : TRUE);
    EXPECT_EQ(r.MakeCrossLineKind, 1 - d.MakeCrossLineKind);
    EXPECT_EQ(r.Draw.DrawCrossLineWidth, 7);
    EXPECT_TRUE(r.bCrossLineSeparateInput);
    EXPECT_EQ(r.CrossVertLineNum, 3);
    EXPECT_EQ(r.CrossHorzLineNum, 2);
    EXPECT_EQ(r.Camera.CurConectCameraName, QStringLiteral("SimCam A"));
    EXPECT_EQ(r.Camera.CurConnectCameraIdx, 1);
    EXPECT_EQ(r.Draw.DrawLineWidth, 4);
    EXPECT_EQ(r.Draw.bAutoReSize, d.Draw.bAutoReSize ? FALSE : TRUE);
    EXPECT_EQ(r.Draw.MeasStrFontPt, 17);
    EXPECT_EQ(r.MeasureDownPlace, 2);
    EXPECT_EQ(r.Draw.CountKind, 1 - d.Draw.CountKind);
    EXPECT_EQ(r.DispScaleKind, 0);
    EXPECT_EQ(r.DispScalPos, 2);
    EXPECT_DOUBLE_EQ(r.ScaleSizeX, 12.5);
    EXPECT_DOUBLE_EQ(r.ScaleSizeY, 0.0);
    const COLORREF stored[] = {r.Draw.CrossColor,  r.Draw.MakeRgnColor,    r.Draw.SelRgnColor, r.Draw.RgnColor,
                               r.Draw.ScaleColor, r.Draw.SelMeasStrColor, r.Draw.MeasStrColor};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(stored[i], COLORREF(0x010203 * (i + 1))) << i;
    }
    EXPECT_EQ(CountLogLines(QStringLiteral("[SYSTEMDLG]SetSystemSettingToBuf()")), 1);
}

TEST_F(SystemSettingDlgTest, ScaleCheckDefaultsCancelRetentionAndCrossLineDelete)
{
    CRecordingSink sink;
    Dlg dlg;
    dlg.SetMainWnd(&sink);
    Show(dlg);
    // Without a camera there is no camera choice and no continuous saving.
    EXPECT_TRUE(dlg.GetDlgItem(Dlg::IDC_COMBO_CONNECT_CAMERA)->isHidden());
    EXPECT_TRUE(dlg.GetDlgItem(Dlg::IDC_BTN_SAVE_CONTINUE_SETTING)->isHidden());

    // One count for both ways hides the horizontal one.
    if (Item<QAbstractButton>(dlg, Dlg::IDC_CHECK_CROSS_LINE_SEPARATE)->isChecked()) {
        Click(dlg, Dlg::IDC_CHECK_CROSS_LINE_SEPARATE);
    }
    EXPECT_EQ(Item<QLabel>(dlg, Dlg::IDC_STATIC_VERT_LINE_NUM)->text(), GetProgramString(186));
    EXPECT_TRUE(dlg.GetDlgItem(Dlg::IDC_EDIT_HORZ_LINE_NUM)->isHidden());

    // "十字線削除" asks the main window and leaves the dialog open.
    Click(dlg, Dlg::IDC_BTN_CLEAR_CROSS_LINE);
    const std::vector<POSTED_MESSAGE> posted = sink.Take();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].nMessage, UINT(1092));
    EXPECT_TRUE(dlg.isVisible());

    // The log copy's retention is written at once, whatever this dialog does later.
    WhenShown<CLogCopyDlg>([](CLogCopyDlg* p) {
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(p->GetDlgItem(CLogCopyDlg::IDC_RADIO_LOG_DAYS_60))->isChecked());
        qobject_cast<QAbstractButton*>(p->GetDlgItem(CLogCopyDlg::IDC_RADIO_LOG_DAYS_90))->click();
        qobject_cast<QAbstractButton*>(p->GetDlgItem(CLogCopyDlg::IDC_OK))->click();
    });
    Item<QAbstractButton>(dlg, Dlg::IDC_BTN_LOG_COPY)->click();
    int32_t nDays = 0;
    ASSERT_TRUE(ReadSaveLogDays(nDays));
    EXPECT_EQ(nDays, 90);
    const QByteArray afterRetention = SettingsBytes();

    // Defaults then cancel: the file stays as it was.
    Click(dlg, Dlg::IDC_RADIO_ENGLISH);
    Click(dlg, Dlg::IDC_BTN_DEFAULT);
    EXPECT_TRUE(Item<QAbstractButton>(dlg, Dlg::IDC_RADIO_JAPANESE)->isChecked());
    EXPECT_TRUE(Item<QAbstractButton>(dlg, Dlg::IDC_CHECK_AUTO_RESIZE)->isChecked());
    Click(dlg, Dlg::IDC_CANCEL);
    EXPECT_EQ(SettingsBytes(), afterRetention);

    // A scale at a fixed place needs X above 0 and Y not below 0.
    Show(dlg);
    Click(dlg, Dlg::IDC_RADIO_SCALE_FIXED);
    Type(dlg, Dlg::IDC_EDIT_SCALE_X, QStringLiteral("0"));
    Click(dlg, Dlg::IDC_OK);
    ExpectOneBox(613, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());
    Type(dlg, Dlg::IDC_EDIT_SCALE_X, QStringLiteral("10"));
    Type(dlg, Dlg::IDC_EDIT_SCALE_Y, QStringLiteral("0"));
    // Asked for each time: the lengths are not looked at and their fields rest.
    Click(dlg, Dlg::IDC_RADIO_SCALE_ASK);
    EXPECT_FALSE(Enabled(dlg, Dlg::IDC_EDIT_SCALE_X));
    Click(dlg, Dlg::IDC_RADIO_SCALE_FIXED);
    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    SYSTEM_SETTING r;
    LoadSystemSetting(r);
    EXPECT_DOUBLE_EQ(r.ScaleSizeX, 10.0);
    EXPECT_EQ(r.SaveLogDays, 90);
    // The defaults kept the calibration table and the camera.
    EXPECT_EQ(r.Calibration[0].UnitKind, 1);
    EXPECT_EQ(r.Camera.ResolutionIdx, 3);
}
