// The camera adjustment dialog on the live simulated camera: its pages move
// the camera's parameters (the next frames show them), automatic modes lock
// their sliders, the defaults come back, and the resolution chosen is
// applied on close, refused changes included.
#include "app/MainWindowMessages.h"
#include "MainWndFixture.h"

#include "app/MultiLanguageTranslator.h"
#include "camera/ICubeParams.h"
#include "camera/pages/CameraPageStrings.h"
#include "camera/pages/CameraSettingDlg.h"
#include "camera/pages/PageRGBControl.h"
#include "camera/pages/PageVideoControl.h"
#include "engine/LayeredWnd.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

#include <cstdlib>

#include <dlfcn.h>

namespace {

using Video = CPageVideoControl;
using Rgb = CPageRGBControl;

int RefusingSetMode(int, int)
{
    return -7;
}

// A camera that refuses a gain above 60 as the SDK does (-2) and offers one
// red offset only; the other calls reach the simulated camera.
int (*g_pSetCamParameter)(int, int, int) = nullptr;
int (*g_pGetCamParameterRange)(int, int, void*) = nullptr;

int RefusingHighGain(int nCam, int nParam, int nValue)
{
    return nParam == ICUBE_PARAM_GAIN && nValue > 60 ? -2 : g_pSetCamParameter(nCam, nParam, nValue);
}

int SingleRedOffset(int nCam, int nParam, void* pRange)
{
    const int r = g_pGetCamParameterRange(nCam, nParam, pRange);
    if (r == 0 && nParam == ICUBE_PARAM_RED_OFFSET) {
        auto* p = static_cast<ICUBE_PARAM_RANGE*>(pRange);
        p->nMin = p->nMax = p->nDefault;
    }
    return r;
}

// The camera pages over the camera at its current resolution, as the main
// window's button opens them.
bool ShowPages(CCameraSettingDlg& dlg, CCameraCtrl& cam)
{
    dlg.SetParam(&cam, cam.GetResolutionIndex(), FALSE, nullptr);
    dlg.show();
    return QTest::qWaitForWindowExposed(&dlg);
}

template <class T>
T* Item(CPageParamCtrl* pPage, int nID)
{
    QWidget* p = pPage->GetDlgItem(nID);
    EXPECT_NE(p, nullptr) << nID;
    return qobject_cast<T*>(p);
}

// Sum of the grey differences on a coarse grid; bMirrorRows compares row y
// of a with row h-1-y of b.
long long FrameDistance(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int w, int h, bool bMirrorRows)
{
    long long d = 0;
    for (int y = 0; y < h; y += h / 48) {
        for (int x = 0; x < w; x += w / 64) {
            const size_t ia = (size_t(y) * w + x) * 3;
            const size_t ib = (size_t(bMirrorRows ? h - 1 - y : y) * w + x) * 3;
            d += std::abs(int(a[ia]) + a[ia + 1] + a[ia + 2] - int(b[ib]) - b[ib + 1] - b[ib + 2]);
        }
    }
    return d;
}

double Mean(const std::vector<uint8_t>& f)
{
    long long s = 0;
    for (size_t i = 0; i < f.size(); i += 97) {
        s += f[i];
    }
    return double(s) / double((f.size() + 96) / 97);
}

} // namespace

TEST_F(SettingsFlowTest, CameraPagesDriveTheLiveCamera)
{
    CPixmetraDlg& main = Start();
    ASSERT_TRUE(main.Parts().live.IsCameraOK());
    CCameraCtrl& cam = main.Parts().camera;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(cam.GetImageSize(w, h));

    CCameraSettingDlg dlg;
    ASSERT_TRUE(ShowPages(dlg, cam));
    CPageParamCtrl* pVideo = dlg.PageVideo();
    CPageParamCtrl* pRgb = dlg.PageRGB();

    // Filled from the camera: exposure 20 is rough 0 and fine 20; the colour camera has a clock.
    EXPECT_EQ(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_ROUGH)->value(), 0);
    EXPECT_EQ(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_FINE)->value(), 20);
    EXPECT_EQ(Item<QLineEdit>(pVideo, Video::IDC_EDIT_EXPOSURE_TIME)->text(), QStringLiteral("20.000"));
    EXPECT_EQ(Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->maximum(), 100);
    EXPECT_EQ(Item<QLineEdit>(pVideo, Video::IDC_EDIT_GAIN)->text(), QStringLiteral("20"));
    EXPECT_EQ(Item<QGroupBox>(pVideo, Video::IDC_STATIC_CLOCK_GROUP)->title(), GetProgramString(IDS_CLOCK_GROUP));
    EXPECT_EQ(Item<QComboBox>(pVideo, Video::IDC_COMBO_RESOLUTION)->currentText(), QStringLiteral("2592x1944"));
    // Automatic black level starts on: its slider waits.
    EXPECT_FALSE(Item<QSlider>(pVideo, Video::IDC_SLIDER_BLACK_LEVEL)->isEnabled());

    // Gain brightens the next frames.
    Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->setValue(0);
    const double dDark = Mean(NextFrame(cam));
    Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->setValue(100);
    int32_t nGain = 0;
    ASSERT_TRUE(cam.GetCameraParam(3, nGain));
    EXPECT_EQ(nGain, 100);
    EXPECT_EQ(Item<QLineEdit>(pVideo, Video::IDC_EDIT_GAIN)->text(), QStringLiteral("100"));
    EXPECT_GT(Mean(NextFrame(cam)), dDark * 1.5);
    Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->setValue(20);

    // Flips: the vertical one turns the rows over, the horizontal one changes the picture.
    const std::vector<uint8_t> upright = NextFrame(cam);
    const long long nNoise = FrameDistance(upright, NextFrame(cam), w, h, false);
    Item<QAbstractButton>(pVideo, Video::IDC_CHECK_FLIP_VERTICAL)->click();
    const std::vector<uint8_t> flipped = NextFrame(cam);
    EXPECT_GT(FrameDistance(upright, flipped, w, h, false), nNoise * 2 + 1000);
    EXPECT_LT(FrameDistance(upright, flipped, w, h, true), FrameDistance(upright, flipped, w, h, false) / 2);
    Item<QAbstractButton>(pVideo, Video::IDC_CHECK_FLIP_VERTICAL)->click();
    Item<QAbstractButton>(pVideo, Video::IDC_CHECK_FLIP_HORIZONTAL)->click();
    EXPECT_GT(FrameDistance(upright, NextFrame(cam), w, h, false), nNoise * 2 + 1000);

    // Automatic exposure locks both exposure sliders, and frees them again.
    Item<QAbstractButton>(pVideo, Video::IDC_CHECK_AUTO_EXPOSURE)->click();
    BOOL bAuto = FALSE;
    double dMs = 0.0;
    ASSERT_TRUE(cam.GetExposure(bAuto, dMs));
    EXPECT_TRUE(bAuto);
    EXPECT_FALSE(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_ROUGH)->isEnabled());
    EXPECT_FALSE(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_FINE)->isEnabled());
    Item<QAbstractButton>(pVideo, Video::IDC_CHECK_AUTO_EXPOSURE)->click();
    EXPECT_TRUE(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_FINE)->isEnabled());
    Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_FINE)->setValue(837);
    Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_ROUGH)->setValue(0);
    int32_t nExposure = 0;
    ASSERT_TRUE(cam.GetCameraParam(0, nExposure));
    EXPECT_EQ(nExposure, 837);

    // The RGB page: colour processing off locks brightness to hue; on re-reads and frees them.
    dlg.findChild<QTabWidget*>()->setCurrentIndex(1);
    EXPECT_TRUE(Item<QSlider>(pRgb, Rgb::IDC_SLIDER_BRIGHTNESS)->isEnabled());
    Item<QAbstractButton>(pRgb, Rgb::IDC_CHECK_COLOR_PROCESSING)->click();
    for (int nID : {Rgb::IDC_SLIDER_BRIGHTNESS, Rgb::IDC_SLIDER_CONTRAST, Rgb::IDC_SLIDER_SATURATION, Rgb::IDC_SLIDER_HUE}) {
        EXPECT_FALSE(Item<QSlider>(pRgb, nID)->isEnabled()) << nID;
    }
    Item<QAbstractButton>(pRgb, Rgb::IDC_CHECK_COLOR_PROCESSING)->click();
    EXPECT_TRUE(Item<QSlider>(pRgb, Rgb::IDC_SLIDER_HUE)->isEnabled());
    Item<QSlider>(pRgb, Rgb::IDC_SLIDER_RED_GAIN)->setValue(200);
    int32_t nRed = 0;
    ASSERT_TRUE(cam.GetCameraParam(17, nRed));
    EXPECT_EQ(nRed, 200);

    // Defaults put the camera back and the controls with it.
    dlg.OnBnClickedBtnDefault();
    ASSERT_TRUE(cam.GetCameraParam(3, nGain));
    EXPECT_EQ(nGain, 20);
    EXPECT_EQ(Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->value(), 20);
    ASSERT_TRUE(cam.GetCameraParam(17, nRed));
    EXPECT_EQ(nRed, 92);
    EXPECT_FALSE(Item<QAbstractButton>(pVideo, Video::IDC_CHECK_FLIP_HORIZONTAL)->isChecked());
    ASSERT_TRUE(cam.GetCameraParam(0, nExposure));
    EXPECT_EQ(nExposure, 20);
    dlg.close();
}

TEST_F(SettingsFlowTest, CloseAsksBeforeAResolutionChangeDropsTheData)
{
    CPixmetraDlg& main = Start();
    CRecordingSink sink;
    CCameraSettingDlg dlg;
    dlg.SetParam(&main.Parts().camera, 0, TRUE, &sink);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    // The same resolution closes without a question.
    dlg.OnOK();
    EXPECT_TRUE(m_Boxes.Texts.empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    dlg.show();
    dlg.PageVideo()->OnCbnSelchangeComboResolution(7);
    m_Boxes.nAnswer = IDNO;
    dlg.OnOK();
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_DELETE_ALL_QUESTION));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(sink.Take().empty());
    m_Boxes.nAnswer = IDYES;
    dlg.OnOK();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.GetResolutionIndex(), 7);
    const std::vector<POSTED_MESSAGE> posted = sink.Take();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].nMessage, WM_DELETE_ALL_MEASURE_DATA);
    EXPECT_EQ(posted[0].lParam, LPARAM(-1));
}

TEST_F(SettingsFlowTest, ResolutionChosenIsAppliedStoredAndARefusalKeepsTheStream)
{
    {
        CPixmetraDlg& main = Start();
        main.Parts().setting.CrossLinePos.bDispCrossLine = TRUE;
        main.Parts().setting.CrossLinePos.XCrossLinePos[0] = 1500;
        WriteCrossLinePosValue(main.Parts().setting.CrossLinePos);
        WhenModal<CCameraSettingDlg>([](CCameraSettingDlg* p) {
            p->PageVideo()->OnCbnSelchangeComboResolution(7);
            p->OnOK();
        });
        main.OnBnClickedBtnCameraSetting();
        EXPECT_TRUE(m_Boxes.Texts.empty());
        EXPECT_EQ(main.GetStatusPartText(0), QStringLiteral(" COLOR ［ 320×240 ］"));
        EXPECT_EQ(main.Parts().camera.GetResolutionIndex(), 7);
        EXPECT_EQ(main.Parts().geometry.CurrentView().ImageInfo.nWidth, 320);
        // 320 x 240 fits the picture box at actual size.
        EXPECT_DOUBLE_EQ(main.Parts().geometry.CurrentView().CurDrawRatio, 1.0);
        EXPECT_EQ(main.Parts().pOverlay->Engine().GetImageWidth(), 320);
        CAMERA_SETTING stored{};
        ASSERT_TRUE(ReadCameraSetting(stored));
        EXPECT_EQ(stored.ResolutionIdx, 7);
        CROSSLINE_POS_VALUE lines{};
        ASSERT_TRUE(ReadCrossLinePosValue(lines));
        EXPECT_EQ(lines.XCrossLinePos[0], 0);
        EXPECT_FALSE(lines.bDispCrossLine);
        EXPECT_TRUE(QTest::qWaitFor([&] { return main.Parts().live.Image().GetWidth() == 320; }, 5000));
        // A position beyond the mode list is refused, never looked up.
        EXPECT_FALSE(main.Parts().pSettings->ChangeCameraResolution(42));
        ASSERT_EQ(m_Boxes.Texts.size(), 1u);
        m_Boxes.Texts.clear();
        EXPECT_EQ(main.Parts().camera.GetResolutionIndex(), 7);
        EXPECT_TRUE(main.Parts().camera.IsStreaming());
        ASSERT_TRUE(ReadCameraSetting(stored));
        EXPECT_EQ(stored.ResolutionIdx, 7);
        m_pDlg.reset();
    }
    // A camera that refuses the mode: the old one stays, the stream runs again, a message says so.
    WriteCameraSetting(CAMERA_SETTING{QString(), -1, 0});
    CICubeApi api;
    ASSERT_TRUE(api.Load(QCoreApplication::applicationDirPath() + QLatin1Char('/')));
    api.ICubeSDK_SetMode = &RefusingSetMode;
    MAIN_WINDOW_OPTIONS options;
    options.pApi = &api;
    CPixmetraDlg& main = Start(options);
    ASSERT_TRUE(main.Parts().camera.IsStreaming());
    WhenModal<CCameraSettingDlg>([](CCameraSettingDlg* p) {
        p->PageVideo()->OnCbnSelchangeComboResolution(7);
        p->OnOK();
    });
    main.OnBnClickedBtnCameraSetting();
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_RESOLUTION_ERROR));
    EXPECT_EQ(main.Parts().camera.GetResolutionIndex(), 0);
    EXPECT_TRUE(main.Parts().camera.IsStreaming());
    EXPECT_TRUE(main.Parts().live.IsCameraOK());
    EXPECT_EQ(main.GetStatusPartText(0), QStringLiteral(" COLOR ［ 2592×1944 ］"));
    const uint64_t nShown = main.Parts().live.GetShownFrameCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.Parts().live.GetShownFrameCount() > nShown + 2; }, 5000));
    CAMERA_SETTING stored{};
    ASSERT_TRUE(ReadCameraSetting(stored));
    EXPECT_EQ(stored.ResolutionIdx, 0);
    m_pDlg.reset(); // before the library it was given
}

// A UVC camera (the preloaded test camera; this runs only with it) has no
// colour-processing or gamma switch: the controls it has stay adjustable with
// its own ranges and automatic modes, the ones it lacks are off, and a flip it
// lacks is done in software.
TEST_F(SettingsFlowTest, UvcCameraPagesAdjustWhatTheCameraHas)
{
    if (dlsym(RTLD_DEFAULT, "FakeV4l2_Unplug") == nullptr) {
        GTEST_SKIP() << "runs with the preloaded test camera";
    }
    CPixmetraDlg& main = Start();
    ASSERT_TRUE(main.Parts().live.IsCameraOK());
    CCameraCtrl& cam = main.Parts().camera;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(cam.GetImageSize(w, h));
    EXPECT_EQ(w, 2592);
    CCameraSettingDlg dlg;
    ASSERT_TRUE(ShowPages(dlg, cam));
    CPageParamCtrl* pVideo = dlg.PageVideo();
    CPageParamCtrl* pRgb = dlg.PageRGB();

    // Automatic exposure is the camera's default: the exposure sliders wait.
    EXPECT_TRUE(Item<QAbstractButton>(pVideo, Video::IDC_CHECK_AUTO_EXPOSURE)->isChecked());
    EXPECT_FALSE(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_FINE)->isEnabled());
    EXPECT_EQ(Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->maximum(), 100);
    Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN)->setValue(60);
    int32_t nValue = 0;
    ASSERT_TRUE(cam.GetCameraParam(3, nValue));
    EXPECT_EQ(nValue, 60);

    // The test picture brightens to the right; flipped, its left edge is bright.
    const auto leftEdge = [&](const std::vector<uint8_t>& f) { return f[(size_t(h / 2) * w + 4) * 3]; };
    EXPECT_LT(leftEdge(NextFrame(cam)), 60);
    Item<QAbstractButton>(pVideo, Video::IDC_CHECK_FLIP_HORIZONTAL)->click();
    EXPECT_GT(leftEdge(NextFrame(cam)), 180);

    dlg.findChild<QTabWidget*>()->setCurrentIndex(1);
    EXPECT_FALSE(Item<QAbstractButton>(pRgb, Rgb::IDC_CHECK_COLOR_PROCESSING)->isEnabled());
    EXPECT_TRUE(Item<QSlider>(pRgb, Rgb::IDC_SLIDER_BRIGHTNESS)->isEnabled());
    for (int nID : {Rgb::IDC_SLIDER_CONTRAST, Rgb::IDC_SLIDER_SATURATION, Rgb::IDC_SLIDER_HUE, Rgb::IDC_SLIDER_GAMMA}) {
        EXPECT_FALSE(Item<QSlider>(pRgb, nID)->isEnabled()) << nID;
    }
    EXPECT_EQ(Item<QSlider>(pRgb, Rgb::IDC_SLIDER_BRIGHTNESS)->minimum(), -64);
    Item<QSlider>(pRgb, Rgb::IDC_SLIDER_BRIGHTNESS)->setValue(40);
    ASSERT_TRUE(cam.GetCameraParam(9, nValue));
    EXPECT_EQ(nValue, 40);
    dlg.close();
}

// The numbers beside the sliders are typed in with the sliders' checks; a
// value the camera refuses goes back to the camera's own with a word on the
// main window's message line; a slider with one value only is off.
TEST_F(SettingsFlowTest, NumbersAreTypedAndARefusedValueGoesBack)
{
    CICubeApi api;
    ASSERT_TRUE(api.Load(QCoreApplication::applicationDirPath() + QLatin1Char('/')));
    g_pSetCamParameter = api.ICubeSDK_SetCamParameter;
    g_pGetCamParameterRange = api.ICubeSDK_GetCamParameterRange;
    api.ICubeSDK_SetCamParameter = &RefusingHighGain;
    api.ICubeSDK_GetCamParameterRange = &SingleRedOffset;
    MAIN_WINDOW_OPTIONS options;
    options.pApi = &api;
    CPixmetraDlg& main = Start(options);
    ASSERT_TRUE(main.Parts().live.IsCameraOK());
    CCameraCtrl& cam = main.Parts().camera;
    bool bDone = false;
    WhenModal<CCameraSettingDlg>([&](CCameraSettingDlg* pDlg) {
        CPageParamCtrl* pVideo = pDlg->PageVideo();
        auto* pSlider = Item<QSlider>(pVideo, Video::IDC_SLIDER_GAIN);
        auto* pEdit = Item<QLineEdit>(pVideo, Video::IDC_EDIT_GAIN);
        const auto type = [](QLineEdit* p, const QString& text) {
            p->selectAll();
            QTest::keyClicks(p, text);
            QTest::keyClick(p, Qt::Key_Return);
        };
        int32_t nGain = 0;
        const struct {
            QString typed;
            int nShown;
        } cases[] = {
            {QStringLiteral("45"), 45},       // taken
            {QStringLiteral("x7"), 45},       // no number: the slider's position again
            {QStringLiteral("-5"), 0},        // below the range: its end
            {QStringLiteral(" 52 "), 52},
            {QStringLiteral("500"), 52},      // the range's end, 100, is refused
        };
        for (const auto& c : cases) {
            type(pEdit, c.typed);
            EXPECT_EQ(pSlider->value(), c.nShown) << c.typed.toStdString();
            EXPECT_EQ(pEdit->text(), QString::number(c.nShown)) << c.typed.toStdString();
            ASSERT_TRUE(cam.GetCameraParam(3, nGain));
            EXPECT_EQ(nGain, c.nShown) << c.typed.toStdString();
        }
        EXPECT_EQ(main.GetMessageText(), GetProgramString(IDS_CAMERA_VALUE_REFUSED));
        main.SetStatusMessage(QString());
        // The slider refused the same way; leaving the field applies it too.
        pSlider->setValue(80);
        EXPECT_EQ(pSlider->value(), 52);
        EXPECT_EQ(pEdit->text(), QStringLiteral("52"));
        EXPECT_EQ(main.GetMessageText(), GetProgramString(IDS_CAMERA_VALUE_REFUSED));
        // (The focus leaves by an event of its own: no window manager decides it.)
        pEdit->selectAll();
        QTest::keyClicks(pEdit, QStringLiteral("30"));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(pEdit, &leave);
        EXPECT_EQ(pSlider->value(), 30);
        EXPECT_EQ(pEdit->text(), QStringLiteral("30"));
        // Automatic black level: its field takes nothing.
        auto* pBlack = Item<QLineEdit>(pVideo, Video::IDC_EDIT_BLACK_LEVEL);
        EXPECT_TRUE(pBlack->isReadOnly());
        // Ranges of one value: the exposure's rough part (below 4096) and the pinned red offset.
        EXPECT_FALSE(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_ROUGH)->isEnabled());
        EXPECT_TRUE(Item<QSlider>(pVideo, Video::IDC_SLIDER_EXPOSURE_FINE)->isEnabled());
        pDlg->findChild<QTabWidget*>()->setCurrentIndex(1);
        CPageParamCtrl* pRgb = pDlg->PageRGB();
        EXPECT_FALSE(Item<QSlider>(pRgb, Rgb::IDC_SLIDER_RED_OFFSET)->isEnabled());
        EXPECT_TRUE(Item<QLineEdit>(pRgb, Rgb::IDC_EDIT_RED_OFFSET)->isReadOnly());
        type(Item<QLineEdit>(pRgb, Rgb::IDC_EDIT_GREEN_OFFSET), QStringLiteral("-12"));
        int32_t nOffset = 0;
        ASSERT_TRUE(cam.GetCameraParam(21, nOffset));
        EXPECT_EQ(nOffset, -12);
        bDone = true;
        pDlg->OnOK();
    });
    main.OnBnClickedBtnCameraSetting();
    EXPECT_TRUE(bDone);
    EXPECT_TRUE(LogText().contains(QStringLiteral("SetCamParameter Error! : -2")));
    m_pDlg.reset(); // before the library it was given
}
