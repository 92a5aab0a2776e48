// The video button driven through the real main window against the simulated
// camera, with the countdown and the SDK's recorded seconds sped up: the
// message line counts 0 to 10 of 10 and ends with 511 once the SDK has
// finished the file; a recording the camera cuts short is reported as a
// failure; an existing file is kept unless the user agrees; a stopped stream
// refuses the start; closing the window mid-recording leaves a whole file; a
// full disk ends the recording saying why, its file whole up to the failure.
// With the test UVC camera preloaded, a recording of it at its full size.
#include "FullDisk.h"
#include "MainWndFixture.h"
#include "app/dialogs/SetAviSecDlg.h"
#include "camera/AviParse.h"
#include "workflow/capture/VideoRecord.h"

#include <QFileInfo>

#include <cerrno>

#include <dlfcn.h>

namespace {

constexpr int kGroup3[] = {IDC_BTN_DISP_IMAGE,    IDC_BTN_LOAD_IMAGE, IDC_BTN_SAVE_IMAGE,
                           IDC_BTN_SAVE_CONTINUE, IDC_BTN_SAVE_VIDEO, IDC_BTN_CROSS_LINE,
                           IDC_BTN_SETTING,       IDC_BTN_CAMERA_SETTING};

class VideoRecordTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        // A recorded second lasts 200 ms, a second of the countdown 20 ms:
        // the count reaches the total well before the SDK ends.
        SetSimFault("avi_second_ms", 200);
        UseCameras(2);
        // The colour camera at 320 x 240.
        WriteSettings([](SYSTEM_SETTING& s) {
            s.Camera.CurConectCameraName = QStringLiteral("SimCam NS4133CU Colour");
            s.Camera.CurConnectCameraIdx = 0;
            s.Camera.ResolutionIdx = 7;
        });
    }
    CPixmetraDlg& Start()
    {
        CPixmetraDlg& dlg = StartWindow();
        EXPECT_TRUE(dlg.Parts().live.IsCameraOK());
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.GetShownFrameCount() > 0; }, 5000));
        EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), 320);
        dlg.Parts().pVideoRecord->SetTickInterval(20);
        // The hidden button shows with Ctrl+Shift and the right button.
        QTest::mouseClick(&dlg, Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(5, 5));
        return dlg;
    }

    // Answers the next length dialog with text, or cancels it when text is empty.
    void AnswerLengthDialog(const QString& text)
    {
        AnswerEdit<CSetAviSecDlg>("IDC_EDIT_AVI_SEC", text,
                                  [this](CSetAviSecDlg*, QLineEdit* pEdit) { m_OfferedLength = pEdit->text(); });
    }

    void ClickVideo(const QString& path, const QString& seconds)
    {
        m_Files.Path = path;
        AnswerLengthDialog(seconds);
        QTest::mouseClick(Button(IDC_BTN_SAVE_VIDEO), Qt::LeftButton);
    }

    // Every text the message line shows until it shows one that is not a
    // progress text (a timer fires at most once per pass of the loop).
    std::vector<QString> MessagesUntilEnd(int nMaxMs)
    {
        std::vector<QString> texts{m_pDlg->GetMessageText()};
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < nMaxMs && texts.back().startsWith(GetProgramString(IDS_RECORDING_VIDEO))) {
            QCoreApplication::processEvents();
            if (m_pDlg->GetMessageText() != texts.back()) {
                texts.push_back(m_pDlg->GetMessageText());
            }
        }
        return texts;
    }

    std::vector<bool> GroupStates() const
    {
        std::vector<bool> v;
        for (int nID : kGroup3) {
            v.push_back(m_pDlg->GetDlgItem(nID)->isEnabled());
        }
        return v;
    }

    static QString Progress(int n, int nTotal)
    {
        const QString sec = GetProgramString(IDS_UNIT_SECOND);
        return GetProgramString(IDS_RECORDING_VIDEO) + QStringLiteral("　[ %1%2 / %3%4 ]").arg(n).arg(sec).arg(nTotal).arg(sec);
    }

    // The file parses to its end and its counts agree; its frame count.
    static size_t ParsedFrames(const QString& path)
    {
        CAviReader reader(path.toStdString());
        const AVI_PARSED r = reader.Parse();
        EXPECT_TRUE(r.error.empty()) << r.error;
        EXPECT_EQ(r.nDmlhFrames, r.frames.size());
        EXPECT_EQ(r.idx1.size(), r.framesPerRiff.empty() ? 0 : r.framesPerRiff[0]);
        return r.frames.size();
    }

    QString m_OfferedLength;
};

} // namespace

TEST_F(VideoRecordTest, TenSecondRecordingCountsToItsEndThenSays511)
{
    CPixmetraDlg& dlg = Start();
    QWidget* pVideo = dlg.GetDlgItem(IDC_BTN_SAVE_VIDEO);
    ASSERT_TRUE(pVideo->isVisible());
    ASSERT_TRUE(pVideo->isEnabled());
    const std::vector<bool> before = GroupStates();
    const QString path = m_Dir.filePath(QStringLiteral("録画 one.avi"));

    ClickVideo(path, QStringLiteral("10"));
    EXPECT_EQ(m_OfferedLength, QStringLiteral("1")); // the first use offers 1
    EXPECT_EQ(m_Files.Ext, QStringLiteral("avi"));
    EXPECT_EQ(m_Files.Filter, GetProgramString(IDS_VIDEO_FILE_FILTER) + QStringLiteral("(*.avi)|*.avi||"));
    ASSERT_TRUE(dlg.Parts().pVideoRecord->IsRecording());
    for (int nID : kGroup3) {
        EXPECT_FALSE(dlg.GetDlgItem(nID)->isEnabled()) << nID;
    }
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_ZOOM_IN)->isEnabled());
    dlg.UpdateButtons(); // a refresh mid-recording keeps them so
    EXPECT_FALSE(pVideo->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_ZOOM_FIT)->isEnabled());

    const std::vector<QString> texts = MessagesUntilEnd(20000);
    std::vector<QString> expected;
    for (int n = 0; n <= 10; ++n) {
        expected.push_back(Progress(n, 10));
    }
    expected.push_back(GetProgramString(IDS_VIDEO_SAVED));
    EXPECT_EQ(texts, expected);
    EXPECT_FALSE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_EQ(GroupStates(), before);
    EXPECT_TRUE(dlg.GetDlgItem(IDC_BTN_ZOOM_IN)->isEnabled());
    // The SDK's file is complete when the window says so: two seconds at 60 fps.
    EXPECT_GE(ParsedFrames(path), 10u);
    const QString log = LogText();
    EXPECT_TRUE(log.contains(QStringLiteral("[MAIN]SaveAviTotalSec:10")));
    EXPECT_TRUE(log.contains(QStringLiteral("[MAIN]OnTimer(SaveAvi) bEnable:TRUE AviState:ON / SaveAviSecCnt:1")));
    EXPECT_TRUE(log.contains(QStringLiteral("[MAIN]->End Save AVI.")));
}

TEST_F(VideoRecordTest, OverwriteQuestionEarlyStopRefusedStartAndCloseMidRecording)
{
    CPixmetraDlg& dlg = Start();
    const QString path = m_Dir.filePath(QStringLiteral("old.avi"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep");
    }
    // No to the overwrite question: nothing is recorded, the file stays.
    m_Files.bDeclineOverwrite = true;
    m_Files.Path = path;
    const QString shownBefore = dlg.GetMessageText();
    QTest::mouseClick(Button(IDC_BTN_SAVE_VIDEO), Qt::LeftButton);
    EXPECT_EQ(m_Files.nOverwriteAsked, 1);
    EXPECT_FALSE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_EQ(dlg.GetMessageText(), shownBefore);
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep"));
    kept.close();

    // Yes, and the camera cuts the recording after 5 frames: a failure with
    // how far it got, never 511, and the buttons come back.
    m_Files.bDeclineOverwrite = false;
    SetSimFault("avi_second_ms", 0); // real seconds: the cut comes long before the end
    SetSimFault("avi_stop_after", 5);
    dlg.Parts().pVideoRecord->SetTickInterval(100);
    const std::vector<bool> before = GroupStates();
    ClickVideo(path, QStringLiteral("10"));
    ASSERT_TRUE(dlg.Parts().pVideoRecord->IsRecording());
    const std::vector<QString> texts = MessagesUntilEnd(20000);
    ASSERT_GE(texts.size(), 2u);
    const QString last = texts.back();
    EXPECT_TRUE(last.startsWith(GetProgramString(IDS_VIDEO_ENDED_EARLY))) << last.toStdString();
    EXPECT_TRUE(last.endsWith(QStringLiteral(" / 10") + GetProgramString(IDS_UNIT_SECOND) + QStringLiteral(" ]")));
    EXPECT_FALSE(last.contains(QStringLiteral("[ 10")));
    EXPECT_FALSE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_EQ(GroupStates(), before);
    EXPECT_EQ(ParsedFrames(path), 5u);
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]->Save AVI stopped early")));
    SetSimFault("avi_stop_after", 0);

    // A stopped stream (still image shown) refuses the start with 607; the
    // length dialog offers the last length used.
    QTest::mouseClick(Button(IDC_BTN_DISP_IMAGE), Qt::LeftButton);
    ASSERT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_STILL_IMAGE);
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_SAVE_VIDEO)->isEnabled());
    m_Files.Path = m_Dir.filePath(QStringLiteral("refused.avi"));
    AnswerLengthDialog(QStringLiteral("3"));
    dlg.Parts().pVideoRecord->OnBnClickedBtnSaveAvi();
    EXPECT_EQ(m_OfferedLength, QStringLiteral("10"));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_VIDEO_START_ERROR));
    EXPECT_FALSE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]CameraCtrl.StartSaveAVI(%1) Error!").arg(m_Files.Path)));

    // Back to live, a length of nothing: taken as typed, then refused by the
    // camera with 607, with no file left.
    QTest::mouseClick(Button(IDC_BTN_DISP_IMAGE), Qt::LeftButton);
    ASSERT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_CAMERA_IMAGE);
    const QString nothing = m_Dir.filePath(QStringLiteral("nothing.avi"));
    ClickVideo(nothing, QStringLiteral("0"));
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]SaveAviTotalSec:0")));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_VIDEO_START_ERROR));
    EXPECT_FALSE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_FALSE(QFile::exists(nothing));

    // A 30-second recording, the window closed after a few frames: the file
    // is whole when the window has gone.
    const QString closed = m_Dir.filePath(QStringLiteral("closed.avi"));
    ClickVideo(closed, QStringLiteral("30"));
    ASSERT_TRUE(dlg.Parts().pVideoRecord->IsRecording());
    const uint64_t n = dlg.Parts().camera.GetFramesDelivered();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().camera.GetFramesDelivered() >= n + 5; }, 5000));
    dlg.close();
    m_pDlg.reset();
    EXPECT_GE(ParsedFrames(closed), 1u);
}

TEST_F(VideoRecordTest, AFullDiskEndsTheRecordingSayingWhyWithAWholeFile)
{
    REQUIRE_FULL_DISK_LIBRARY();
    CPixmetraDlg& dlg = Start();
    const QString folder = m_Dir.filePath(QStringLiteral("video"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/full.avi");
    constexpr qint64 kDiskBytes = 100000;
    fulldisk::CFullDisk full(folder, kDiskBytes);
    SetSimFault("avi_second_ms", 0); // real seconds: the disk fills long before the end
    dlg.Parts().pVideoRecord->SetTickInterval(100);
    const std::vector<bool> before = GroupStates();
    ClickVideo(path, QStringLiteral("10"));
    ASSERT_TRUE(dlg.Parts().pVideoRecord->IsRecording());
    const QString last = MessagesUntilEnd(20000).back();
    EXPECT_TRUE(last.startsWith(GetProgramString(IDS_VIDEO_ENDED_EARLY))) << last.toStdString();
    EXPECT_TRUE(last.endsWith(GetProgramString(IDS_REASON_DISK_FULL))) << last.toStdString();
    EXPECT_FALSE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_EQ(GroupStates(), before);
    EXPECT_GE(ParsedFrames(path), 1u);
    EXPECT_LE(QFileInfo(path).size(), kDiskBytes);
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]->Save AVI stopped early"))) << LogText().toStdString();
    EXPECT_TRUE(LogText().contains(QStringLiteral(" errno:%1 ").arg(ENOSPC)));
}

// The video button on a UVC camera (the preloaded test camera; this runs only
// with it): real seconds at 2592 x 1944, ending with 511 on a whole file.
TEST_F(VideoRecordTest, RecordsAUvcCameraAtItsFullSize)
{
    if (dlsym(RTLD_DEFAULT, "FakeV4l2_Unplug") == nullptr) {
        GTEST_SKIP() << "runs with the preloaded test camera";
    }
    WriteSettings([](SYSTEM_SETTING& s) {
        s.Camera.CurConectCameraName = QStringLiteral("Fake UVC Camera 5MP");
        s.Camera.CurConnectCameraIdx = 0;
        s.Camera.ResolutionIdx = 3; // the largest of its four sizes, smallest first
    });
    CPixmetraDlg& dlg = StartWindow();
    ASSERT_TRUE(dlg.Parts().live.IsCameraOK());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.GetShownFrameCount() > 0; }, 5000));
    EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), 2592);
    QTest::mouseClick(&dlg, Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(5, 5));
    const QString path = m_Dir.filePath(QStringLiteral("uvc camera.avi"));
    ClickVideo(path, QStringLiteral("2"));
    ASSERT_TRUE(dlg.Parts().pVideoRecord->IsRecording());
    EXPECT_EQ(MessagesUntilEnd(20000).back(), GetProgramString(IDS_VIDEO_SAVED));
    CAviReader reader(path.toStdString());
    const AVI_PARSED r = reader.Parse();
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.nWidth, 2592u);
    EXPECT_GE(r.frames.size(), 30u); // two seconds at about 30 a second
}
