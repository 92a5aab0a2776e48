// The main window driven through its real widgets against the simulated
// camera: start-up outcomes, live and grey view, disconnect, display geometry
// and the overlay's image coordinates, and the exit question.
#include "MainWndFixture.h"
#include "app/dialogs/AboutDlg.h"
#include "simcam/TestPattern.h"
#include "workflow/live/PictureBox.h"

#include <QComboBox>
#include <QScrollBar>

namespace {

int FailingStart(int, void*, int, int)
{
    return -1;
}

class MainWndTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
        UseCameras(2);
    }

    CPixmetraDlg& Start(const MAIN_WINDOW_OPTIONS& options = MAIN_WINDOW_OPTIONS()) { return StartWindow(options); }
    // Without the simulated cameras, at 1000 x 760; a camera found anyway
    // (the UVC test camera) is frozen, so only the test's pictures are shown.
    CPixmetraDlg& StartForStills()
    {
        qputenv("PIXMETRA_SIMCAM_CAMERAS", "0");
        CPixmetraDlg& dlg = Start();
        dlg.resize(1000, 760);
        QCoreApplication::processEvents();
        dlg.Parts().live.SetImageKind(DISP_STILL_IMAGE);
        return dlg;
    }

    // A still picture: dark grey with one white pixel at (fx, fy).
    void ShowStill(int w, int h, int fx, int fy)
    {
        std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 3, 30);
        uint8_t* p = &pixels[(size_t(fy) * size_t(w) + size_t(fx)) * 3];
        p[0] = p[1] = p[2] = 255;
        ShowPixels(pixels, w, h);
    }

    // The window point of the brightest pixel the picture box shows.
    static QPoint BrightestShown(CPixmetraDlg& dlg)
    {
        const QImage shot = dlg.Parts().pPicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QPoint best;
        int bestValue = -1;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const int v = qGray(shot.pixel(x, y));
                if (v > bestValue) {
                    bestValue = v;
                    best = QPoint(x, y);
                }
            }
        }
        return best;
    }

};

TEST_F(MainWndTest, StartsWithEachCameraCountAndStreams)
{
    for (const char* count : {"2", "1"}) {
        qputenv("PIXMETRA_SIMCAM_CAMERAS", count);
        CPixmetraDlg& dlg = Start();
        EXPECT_TRUE(dlg.Parts().live.IsCameraOK()) << count;
        EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CAMERA_CONNECTED));
        EXPECT_TRUE(dlg.windowTitle().startsWith(GetProgramString(IDS_PROGRAM_TITLE))) << dlg.windowTitle().toStdString();
        EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_CAMERA_IMAGE);
        EXPECT_TRUE(m_Boxes.Texts.empty());
        EXPECT_EQ(dlg.GetStatusPartText(0), QStringLiteral(" COLOR ［ 2592×1944 ］"));
        EXPECT_EQ(dlg.GetStatusPartText(1), QStringLiteral("  0.0 fps"));
        // Frames arrive, the rate and the counts follow.
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetStatusPartText(1).endsWith(QStringLiteral(" fps")) &&
                                                 dlg.GetStatusPartText(1) != QStringLiteral("  0.0 fps"); },
                                    5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetStatusPartText(2).startsWith(QStringLiteral(" frames：")) &&
                                                 dlg.GetStatusPartText(2).mid(8).toInt() > 0; },
                                    5000))
            << dlg.GetStatusPartText(2).toStdString();
        EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), 2592);
        // Every flow's button is usable with a live picture; 1021 is hidden.
        for (int id : {IDC_BTN_LOAD_IMAGE, IDC_BTN_SAVE_IMAGE, IDC_BTN_SAVE_CONTINUE, IDC_BTN_SETTING,
                       IDC_BTN_CAMERA_SETTING}) {
            ASSERT_NE(dlg.GetDlgItem(id), nullptr) << id;
            EXPECT_TRUE(dlg.GetDlgItem(id)->isEnabled()) << id;
        }
        EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_SAVE_VIDEO)->isVisible());
        EXPECT_TRUE(dlg.GetDlgItem(IDC_BTN_DISP_IMAGE)->isEnabled());
        EXPECT_TRUE(dlg.GetDlgItem(IDC_BTN_CROSS_LINE)->isEnabled()) << "a picture and one cross by default";
        // The version box shows the camera.
        CAboutDlg about;
        dlg.Parts().live.FillAboutDlg(about);
        EXPECT_EQ(about.m_CameraName, dlg.Parts().camera.GetCameraName(0));
        EXPECT_FALSE(about.m_SerialNum.isEmpty());
        // The grey display shows the colour camera's pictures grey.
        dlg.Parts().camera.m_bGrayDisplay = TRUE;
        const uint64_t nShown = dlg.Parts().live.GetShownFrameCount();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.GetShownFrameCount() > nShown + 2; }, 5000));
        const QImage shot = dlg.Parts().pPicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int nColoured = 0;
        for (int y = 0; y < shot.height(); y += 7) {
            for (int x = 0; x < shot.width(); x += 7) {
                const QRgb c = shot.pixel(x, y);
                nColoured += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
            }
        }
        EXPECT_EQ(nColoured, 0);
        m_pDlg.reset();
    }
}

TEST_F(MainWndTest, StartsWithoutCameraAndCountsFramesHandedIn)
{
    // No camera: 601, no box, still picture, only the picture's controls.
    UseCameras(0);
    CPixmetraDlg& dlg = Start();
    EXPECT_FALSE(dlg.Parts().live.IsCameraOK());
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CAMERA_NOT_CONNECTED));
    EXPECT_TRUE(m_Boxes.Texts.empty());
    EXPECT_TRUE(dlg.windowTitle().startsWith(GetProgramString(IDS_PROGRAM_NAME_NO_CAMERA)));
    EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_STILL_IMAGE);
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_DISP_IMAGE)->isEnabled());
    // No picture yet: nothing to zoom or measure, no picture text.
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_ZOOM_IN)->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(IDC_COMBO_RATIO)->isEnabled());
    EXPECT_TRUE(dlg.GetStatusPartText(0).isEmpty());
    dlg.OnBnClickedBtnDispImage();
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CAMERA_NOT_CONNECTED));
    CAboutDlg about;
    dlg.Parts().live.FillAboutDlg(about);
    EXPECT_EQ(about.m_CameraName, QStringLiteral("no device"));

    // The frame rate shows from the fourth frame and keeps its last value
    // through intervals of zero.
    for (int i = 0; i < 3; ++i) {
        dlg.Parts().live.OnCameraFrame(0, 33333);
    }
    EXPECT_EQ(dlg.GetStatusPartText(1), QString());
    dlg.Parts().live.OnCameraFrame(0, 33333);
    EXPECT_EQ(dlg.GetStatusPartText(1), QStringLiteral("  30.00 fps"));
    for (int i = 0; i < 4; ++i) {
        dlg.Parts().live.OnCameraFrame(0, 0);
    }
    EXPECT_EQ(dlg.GetStatusPartText(1), QStringLiteral("  30.00 fps"));
    // Frames in pairs at 15 a second: the rate over the four, whichever interval came last.
    const int paired[] = {132333, 1000, 132334, 1000, 1000, 132333, 1000, 132334};
    for (size_t i = 0; i < std::size(paired); ++i) {
        dlg.Parts().live.OnCameraFrame(0, paired[i]);
        if (i % 4 == 3) {
            EXPECT_EQ(dlg.GetStatusPartText(1), QStringLiteral("  15.00 fps")) << i;
        }
    }
}

// A library missing from the program folder (626), an interface older than
// 1.0.3.8 (624), a stream that cannot start (602): the box, then a still.
TEST_F(MainWndTest, UnusableLibraryOrStreamShowsItsBoxAndAStill)
{
    CICubeApi missing, failing;
    ASSERT_TRUE(failing.Load(QCoreApplication::applicationDirPath() + QLatin1Char('/')));
    failing.ICubeSDK_Start = &FailingStart;
    const struct {
        CICubeApi* pApi;
        const char* pszVersion;
        UINT nBox, nMessage;
    } cases[] = {{&missing, "1.0.4.2", IDS_SDK_LOAD_ERROR, IDS_CAMERA_NOT_CONNECTED},
                 {nullptr, "1.0.3.7", IDS_SDK_TOO_OLD, IDS_CAMERA_NOT_CONNECTED},
                 {&failing, "1.0.4.2", IDS_STREAM_START_ERROR, IDS_STREAM_START_ERROR}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nBox);
        m_Boxes.Texts.clear();
        m_Boxes.Types.clear();
        SetSimApiVersion(c.pszVersion);
        MAIN_WINDOW_OPTIONS options;
        options.pApi = c.pApi;
        CPixmetraDlg& dlg = Start(options);
        ASSERT_EQ(m_Boxes.Texts.size(), 1u);
        EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(c.nBox));
        EXPECT_TRUE(m_Boxes.Types[0] & MB_ICONERROR);
        EXPECT_EQ(dlg.GetMessageText(), GetProgramString(c.nMessage));
        EXPECT_FALSE(dlg.Parts().live.IsCameraOK());
        EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_STILL_IMAGE);
        EXPECT_TRUE(dlg.GetStatusPartText(1).isEmpty());
        m_pDlg.reset();
    }
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]InitCamera() DLL Error!")));
}

// The cable pulled: the last frame stays as a still, the counters clear, and
// while it is away the program tries the camera once a second without a
// word; plugged in again, the live picture comes back by itself,
// measurements and message line as a user expects.
TEST_F(MainWndTest, CameraPulledKeepsAStillAndPluggedInAgainComesBackWithItsMeasurements)
{
    SetSimFault("disconnect_after", 60);
    CPixmetraDlg& dlg = Start();
    EXPECT_FALSE(dlg.Parts().live.IsWatchingForCameraReturn());
    MeasureDistance(dlg, POINT{100, 240}, POINT{540, 240});
    ASSERT_EQ(dlg.Parts().measure.Results().size(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.GetMessageText() == GetProgramString(IDS_CAMERA_DISCONNECTED); }, 8000));
    EXPECT_TRUE(dlg.Parts().live.IsWatchingForCameraReturn());
    EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_STILL_IMAGE);
    EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), 2592);
    EXPECT_EQ(dlg.GetStatusPartText(0), QStringLiteral(" COLOR ［ 2592×1944 ］"));

    // Still away: a few seconds of the watch's tries and the counters' ticks
    // change nothing, no box, the counters stay stopped; the picture-kind
    // button only reports that no camera is connected.
    for (int nSecond = 0; nSecond < 3; ++nSecond) {
        dlg.Parts().live.OnCameraReturnTimer();
        dlg.Parts().live.OnFrameCountTimer();
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(dlg.Parts().live.IsWatchingForCameraReturn());
    EXPECT_FALSE(dlg.Parts().live.IsCameraOK());
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CAMERA_DISCONNECTED));
    EXPECT_TRUE(m_Boxes.Texts.empty());
    for (int part = 1; part <= 3; ++part) {
        EXPECT_TRUE(dlg.GetStatusPartText(part).isEmpty()) << part;
    }
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_DISP_IMAGE)->isEnabled());
    dlg.OnBnClickedBtnDispImage();
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CAMERA_NOT_CONNECTED));
    dlg.SetStatusString(IDS_CAMERA_DISCONNECTED); // the line as the pull left it

    SetSimFault("disconnect_after", 0);
    SetSimFault("plug_in", 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.IsCameraOK(); }, 3000));
    EXPECT_FALSE(dlg.Parts().live.IsWatchingForCameraReturn());
    EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_CAMERA_IMAGE);
    EXPECT_TRUE(dlg.GetMessageText().isEmpty());
    const uint64_t nShown = dlg.Parts().live.GetShownFrameCount();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.GetShownFrameCount() > nShown + 3; }, 3000)) << "live again";
    EXPECT_EQ(dlg.Parts().measure.Results().size(), 1u) << "the same camera at the same size keeps its measurements";
    EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), 2592);
    EXPECT_TRUE(m_Boxes.Texts.empty());
}

TEST_F(MainWndTest, FramesFollowTheCameraSizeAfterModeChanges)
{
    // The stored camera with a stored resolution: frames come at that size.
    WriteSettings([](SYSTEM_SETTING& s) {
        s.Camera.CurConectCameraName = QStringLiteral("SimCam NS4133CU Colour");
        s.Camera.CurConnectCameraIdx = 0;
        s.Camera.ResolutionIdx = 5; // mode 3: 800 x 600
    });
    CPixmetraDlg& dlg = Start();
    ASSERT_TRUE(dlg.Parts().live.IsCameraOK());
    CAccImage& image = dlg.Parts().live.Image();
    EXPECT_TRUE(QTest::qWaitFor([&] { return image.GetWidth() == 800 && image.GetHeight() == 600; }, 5000))
        << image.GetWidth();
    EXPECT_EQ(dlg.GetStatusPartText(0), QStringLiteral(" COLOR ［ 800×600 ］"));
    EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetImageWidth(), 800);
    // Larger and smaller modes while streaming: never a read past the frame.
    for (int idx : {0, 7, 2}) {
        int32_t w = 0, h = 0;
        ASSERT_TRUE(CCameraCtrl::GetModeSize(dlg.Parts().camera.GetModeNumber(idx), w, h));
        ASSERT_TRUE(dlg.Parts().camera.SetChangeResolution(idx));
        EXPECT_TRUE(QTest::qWaitFor([&] { return image.GetWidth() == w && image.GetHeight() == h; }, 5000)) << idx;
        EXPECT_EQ(dlg.Parts().geometry.CameraView().ImageInfo.nWidth, w);
        EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetImageHeight(), h);
    }
}

TEST_F(MainWndTest, ClicksLandOnImagePixelsAtEveryRatioAndAfterResizeAndExitAsks)
{
    qputenv("PIXMETRA_SIMCAM_CAMERAS", "0");
    CPixmetraDlg& dlg = Start();
    dlg.resize(1000, 760);
    QCoreApplication::processEvents();
    ShowStill(2592, 1944, 700, 500);
    CDisplayGeometry& geo = dlg.Parts().geometry;
    auto* pCombo = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_COMBO_RATIO));
    // Fit (below 1), 1.0 and 2.0, the last two scrolled so the feature shows.
    for (double ratio : {0.0, 1.0, 2.0}) {
        if (ratio > 0.0) {
            int sel = -1;
            for (int i = 0; i < geo.GetRatioCount(); ++i) {
                if (geo.GetRatio(i) == ratio) {
                    sel = i;
                }
            }
            ASSERT_GE(sel, 0) << ratio;
            emit pCombo->activated(sel);
            auto* pH = qobject_cast<QScrollBar*>(dlg.GetDlgItem(IDC_SCROLL_HORZ));
            auto* pV = qobject_cast<QScrollBar*>(dlg.GetDlgItem(IDC_SCROLL_VERT));
            pH->setSliderPosition(600);
            pH->triggerAction(QAbstractSlider::SliderMove);
            pV->setSliderPosition(420);
            pV->triggerAction(QAbstractSlider::SliderMove);
            ASSERT_EQ(geo.GetScrollPos().x, 600);
            ASSERT_EQ(geo.GetScrollPos().y, 420);
        }
        const double r = geo.CurrentView().CurDrawRatio;
        QTest::qWait(30);
        const QPoint bright = BrightestShown(dlg);
        POINT img{};
        ASSERT_TRUE(geo.ClickToImage(bright.x(), bright.y(), &img));
        const double tol = r < 1.0 ? 1.0 / r + 1 : 0.0;
        EXPECT_NEAR(img.x, 700, tol) << r;
        EXPECT_NEAR(img.y, 500, tol) << r;
        // A distance measured between two image points by clicks on the overlay.
        EXPECT_NEAR(MeasureDistance(dlg, POINT{700, 500}, POINT{740, 530}), 50.0, r < 1.0 ? 2.0 / r + 1 : 0.01)
            << r;
    }
    // After a resize the overlay covers the box and maps to the same image points.
    dlg.resize(1200, 820);
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.Parts().pOverlay->size(), dlg.Parts().pPicture->size());
    EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetScroll().x, geo.GetScrollPos().x);
    EXPECT_NEAR(MeasureDistance(dlg, POINT{700, 500}, POINT{740, 530}), 50.0, 0.01);
    QTest::qWait(30);
    const QPoint bright = BrightestShown(dlg);
    POINT img{};
    ASSERT_TRUE(geo.ClickToImage(bright.x(), bright.y(), &img));
    EXPECT_EQ(img.x, 700);
    EXPECT_EQ(img.y, 500);

    // With results the exit asks, and No keeps the window and its results;
    // Enter and Escape do not close it.
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    const size_t nResults = dlg.Parts().measure.Results().size();
    m_Boxes.nAnswer = IDNO;
    EXPECT_FALSE(dlg.close());
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_DELETE_ALL_QUESTION));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.Parts().measure.Results().size(), nResults);
    m_Boxes.nAnswer = IDYES;
    EXPECT_TRUE(dlg.close());
}

TEST_F(MainWndTest, WithoutOverlayMeasuringStaysOffAnd604Shows)
{
    MAIN_WINDOW_OPTIONS options;
    options.bOverlayFails = true;
    CPixmetraDlg& dlg = Start(options);
    EXPECT_EQ(dlg.Parts().pOverlay, nullptr);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_WINDOW_INIT_ERROR));
    for (QPushButton* p : dlg.findChildren<QPushButton*>()) {
        if (p->text() == GetProgramString(kMeasureKinds[MEAS_LENGTH].nButtonCaption)) {
            EXPECT_FALSE(p->isEnabled());
        }
    }
    // Frames, zoom and resize all run without it; a resize keeps the stream running.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetStatusPartText(1) != QStringLiteral("  0.0 fps"); }, 5000));
    dlg.OnBnClickedBtnZoomIn();
    dlg.resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg.Parts().camera.IsStreaming());
    EXPECT_FALSE(LogText().contains(QStringLiteral("[MAIN]StopStreaming()")));
}

TEST_F(MainWndTest, FinishedShapesAreDrawnOverEveryNewPicture)
{
    CPixmetraDlg& dlg = StartForStills();
    ShowStill(800, 600, 10, 10);
    ASSERT_GT(MeasureDistance(dlg, POINT{100, 300}, POINT{500, 300}), 0.0);
    const QColor line = CRgnDataDrawer::ToQColor(dlg.Parts().pOverlay->Engine().GetDrawSetting().RgnColor);
    POINT mid{};
    ASSERT_TRUE(dlg.Parts().geometry.ImageToWindow(POINT{300, 300}, &mid));
    auto shownAt = [&](POINT p) {
        const QPoint at = dlg.Parts().pOverlay->mapTo(dlg.Parts().pPicture, QPoint(p.x, p.y));
        return QColor(dlg.Parts().pPicture->grab().toImage().pixel(at));
    };
    EXPECT_EQ(shownAt(mid), line);
    // A new picture (as a live frame comes in) keeps the line drawn over it.
    const std::vector<uint8_t> next(size_t(800) * 600 * 3, 90);
    ASSERT_TRUE(dlg.Parts().live.Image().SetImage(next.data(), IMAGE_INFO{24, 800, 600}));
    dlg.Parts().pPicture->update();
    QCoreApplication::processEvents();
    EXPECT_EQ(shownAt(mid), line);
    POINT off{};
    ASSERT_TRUE(dlg.Parts().geometry.ImageToWindow(POINT{300, 200}, &off));
    EXPECT_EQ(shownAt(off), QColor(90, 90, 90));
}

// What the pointer is on is what is measured: on the simulated camera's
// picture, clicks on the window pixels that show two grid lines measure the
// lines' distance, at fit, x2 and x3 (each pixel clicked from its far side).
TEST_F(MainWndTest, ClicksOnGridLinesMeasureTheirDistanceAtEveryZoom)
{
    CPixmetraDlg& dlg = StartForStills();
    constexpr int kW = 1280, kH = 1024;
    simcam::CTestPattern pattern;
    pattern.Render(kW, kH, simcam::PATTERN_LOOK{});
    int ox = 0, oy = 0;
    simcam::CTestPattern::StillOffset(ox, oy);
    std::vector<uint8_t> frame(size_t(kW) * kH * 3);
    pattern.CutFrame(frame.data(), ox, oy, false, 0);
    ShowPixels(frame, kW, kH);
    MeasureInPixels(dlg);
    // The results are hidden, so the picture box shows the picture alone.
    QTest::mouseClick(qobject_cast<QAbstractButton*>(dlg.Parts().pTool->GetDlgItem(IDC_CHECK_DISP_RESULT)), Qt::LeftButton);
    QCoreApplication::processEvents();
    CDisplayGeometry& geo = dlg.Parts().geometry;
    auto* pCombo = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_COMBO_RATIO));
    auto* pH = qobject_cast<QScrollBar*>(dlg.GetDlgItem(IDC_SCROLL_HORZ));
    auto* pV = qobject_cast<QScrollBar*>(dlg.GetDlgItem(IDC_SCROLL_VERT));
    // Vertical grid lines at world x 300 and 450; rows between grid rows, clear of the rings.
    const int x0 = 300 - ox, x1 = 450 - ox;
    const struct {
        double dRatio; // 0: fit
        int nRow;
    } cases[] = {{0.0, 185 - oy}, {2.0, 175 - oy}, {3.0, 165 - oy}};
    for (const auto& c : cases) {
        if (c.dRatio == 0.0) {
            dlg.OnBnClickedBtnZoomFit();
        } else {
            int sel = -1;
            for (int i = 0; i < geo.GetRatioCount(); ++i) {
                sel = geo.GetRatio(i) == c.dRatio ? i : sel;
            }
            ASSERT_GE(sel, 0) << c.dRatio;
            emit pCombo->activated(sel);
            pH->setSliderPosition(x0 - 20);
            pH->triggerAction(QAbstractSlider::SliderMove);
            pV->setSliderPosition(c.nRow - 40);
            pV->triggerAction(QAbstractSlider::SliderMove);
        }
        const double r = geo.CurrentView().CurDrawRatio;
        const POINT o = geo.GetScrollPos();
        const QImage shot = dlg.Parts().pPicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int wy = int(std::floor((c.nRow - o.y + 0.5) * r));
        const auto grey = [&](int x) { return qGray(shot.pixel(x, wy)); };
        // The window columns showing a line's pixel: all r of them at a zoom,
        // the darkest beside its place at fit.
        const auto columns = [&](int gx, int& first, int& last) {
            if (r >= 1.0) {
                first = int(std::lround((gx - o.x) * r));
                last = first + int(std::lround(r)) - 1;
                for (int x = first; x <= last; ++x) {
                    EXPECT_LT(grey(x), 160) << r << " column " << x;
                }
                EXPECT_GT(grey(first - 1), 180) << r;
                EXPECT_GT(grey(last + 1), 180) << r;
            } else {
                const int at = int(std::floor((gx - o.x + 0.5) * r));
                first = at;
                for (int x = at - 2; x <= at + 2; ++x) {
                    first = grey(x) < grey(first) ? x : first;
                }
                last = first;
            }
        };
        int first0 = 0, last0 = 0, first1 = 0, last1 = 0;
        columns(x0, first0, last0);
        columns(x1, first1, last1);
        const size_t before = dlg.Parts().measure.Results().size();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ToolButton(MeasureKindButton(MEAS_LENGTH))->isEnabled(); }, 2000));
        QTest::mouseClick(ToolButton(MeasureKindButton(MEAS_LENGTH)), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
        for (const int x : {last0, first1}) {
            QTest::mouseClick(dlg.Parts().pOverlay, Qt::LeftButton, Qt::NoModifier,
                              dlg.Parts().pOverlay->mapFrom(dlg.Parts().pPicture, QPoint(x, wy)));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().size() == before + 1; }, 2000)) << r;
        EXPECT_NEAR(dlg.Parts().measure.Results().back().dValue, x1 - x0, r >= 1.0 ? 0.0 : 2.0 / r) << r;
    }
}

} // namespace
