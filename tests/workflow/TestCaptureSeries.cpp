// Continuous save through the main window's button, against the simulated
// camera, with a clock the test moves: interval series, stop, restart,
// close, click mode and the limits.
#include "FullDisk.h"
#include "MainWndFixture.h"

#include "workflow/MainControls.h"
#include "workflow/capture/CaptureMessages.h"

#include <QDir>
#include <QImage>

namespace {

QString Progress(int n, int nCount)
{
    return QStringLiteral("　[ %1 / %2 ]").arg(n).arg(nCount);
}

QStringList Files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class CaptureSeriesTest : public CaptureTest {
protected:
    QString Folder() const { return m_Dir.path() + QStringLiteral("/連続 保存"); }

    // Interval mode into folder (else Folder()).
    void Settings(int nSubFolderKind, int nCount, const QString& folder = QString())
    {
        QDir().mkpath(Folder());
        WriteSettings([&](SYSTEM_SETTING& s) {
            s.SaveContinue.SaveContinueMode = 0;
            s.SaveContinue.SaveIntervalKind = 0;
            s.SaveContinue.IntervelMin = 0;
            s.SaveContinue.IntervalSec = 3;
            s.SaveContinue.IntervalCnt = nCount;
            s.SaveContinue.SaveFolderKind = 0;
            s.SaveContinue.SaveFolderPath = (folder.isEmpty() ? Folder() : folder) + QLatin1Char('\\');
            s.SaveContinue.SubFolderKind = nSubFolderKind;
            s.FileFormat = 1;
            s.bSaveHoleImage = TRUE;
        });
    }

    CPixmetraDlg& StartLive()
    {
        CPixmetraDlg& dlg = Start(1);
        EXPECT_TRUE(dlg.Parts().live.IsCameraOK());
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.GetShownFrameCount() > 2; }, 5000));
        return dlg;
    }

    // One interval of 3 s, then the image it makes: the file, and the
    // window told of it (the last one ends the series), so the next
    // interval begins with the save thread idle.
    bool NextImage(const QString& folder, int nFiles, int nSaved)
    {
        for (int k = 0; k < 3; ++k) {
            if (!AdvanceClock(1000)) {
                return false;
            }
        }
        const SAVE_CONTINUE_STATE& state = m_pDlg->SaveContinueState();
        return QTest::qWaitFor([&] { return Files(folder).size() == nFiles && (state.SaveImageCount == nSaved || !state.bSaving); },
                               10000);
    }
};

TEST_F(CaptureSeriesTest, FiveImagesEveryThreeSecondsThenTheEndMessage)
{
    Settings(1, 5);
    CPixmetraDlg& dlg = StartLive();
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    ASSERT_TRUE(dlg.SaveContinueState().bSaving);
    EXPECT_EQ(Button(IDC_BTN_SAVE_CONTINUE)->text(), GetProgramString(IDS_SAVE_STOP));
    EXPECT_FALSE(Button(IDC_BTN_SAVE_IMAGE)->isEnabled());
    const QString sub = Folder() + QStringLiteral("/0001");
    ASSERT_TRUE(QFileInfo(sub).isDir());
    EXPECT_TRUE(dlg.GetMessageText().startsWith(GetProgramString(IDS_SAVING_CONTINUE) + Progress(1, 5)));

    // The line counts the seconds down to the first image.
    ASSERT_TRUE(AdvanceClock(1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetMessageText().endsWith(QStringLiteral("2 s")); }, 5000))
        << dlg.GetMessageText().toStdString();
    ASSERT_TRUE(AdvanceClock(1000));
    ASSERT_TRUE(AdvanceClock(1000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Files(sub).size() == 1; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetMessageText().contains(Progress(2, 5)); }, 5000));
    for (int n = 2; n <= 5; ++n) {
        ASSERT_TRUE(NextImage(sub, n, n)) << n;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.SaveContinueState().bSaving; }, 10000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_SAVE_CONTINUE_ENDED) + Progress(5, 5));
    EXPECT_EQ(Files(sub), (QStringList{"0001.jpg", "0002.jpg", "0003.jpg", "0004.jpg", "0005.jpg"}));
    for (const QString& name : Files(sub)) {
        const QImage saved(sub + QLatin1Char('/') + name);
        EXPECT_EQ(saved.width(), dlg.Parts().live.Image().GetWidth()) << name.toStdString();
    }
    EXPECT_EQ(Button(IDC_BTN_SAVE_CONTINUE)->text(), GetProgramString(IDS_SAVE_CONTINUE));
    EXPECT_TRUE(Button(IDC_BTN_SAVE_IMAGE)->isEnabled());
    EXPECT_TRUE(m_Boxes.Texts.empty());
}

TEST_F(CaptureSeriesTest, StopRestartWithinMomentsAndContinueInTheSameFolder)
{
    Settings(0, 5);
    CPixmetraDlg& dlg = StartLive();
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    ASSERT_TRUE(NextImage(Folder(), 1, 1));
    ASSERT_TRUE(NextImage(Folder(), 2, 2));
    // Stopped with the third image due and perhaps still being written,
    // and started again at once.
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(AdvanceClock(1000));
    }
    const uint64_t nOldId = dlg.SaveContinueState().nSeriesId;
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_SAVE_CONTINUE_STOPPED));
    EXPECT_FALSE(dlg.SaveContinueState().bSaving);
    EXPECT_EQ(Button(IDC_BTN_SAVE_CONTINUE)->text(), GetProgramString(IDS_SAVE_CONTINUE));
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    ASSERT_TRUE(dlg.SaveContinueState().bSaving);
    // Notices the old series' threads posted up to the stop, arriving only
    // now, touch nothing of the new one.
    IMessageSink& sink = dlg.Parts().sink;
    sink.PostMessage(WM_SAVE_CONTINUE_COUNTDOWN, 9, LPARAM(nOldId));
    sink.PostMessage(WM_SAVE_IMAGE_CONTINUE, 3, LPARAM(nOldId));
    sink.PostMessage(WM_END_SAVE_IMAGE_CONTINUE, 0, LPARAM(nOldId));
    HandlePosted();
    ASSERT_TRUE(dlg.SaveContinueState().bSaving) << "the old series' end ended the new one";
    EXPECT_EQ(dlg.SaveContinueState().SaveImageCount, 0);
    EXPECT_NE(dlg.SaveContinueState().nCountdown, 9);
    // The new series' first image follows the old one's last on the one save thread.
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(AdvanceClock(1000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.SaveContinueState().SaveImageCount == 1; }, 10000));
    const int nOld = int(Files(Folder()).size()) - 1;
    ASSERT_GE(nOld, 2);
    ASSERT_LE(nOld, 3);
    for (int n = 2; n <= 5; ++n) {
        ASSERT_TRUE(NextImage(Folder(), nOld + n, n)) << n;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.SaveContinueState().bSaving; }, 10000));
    // Its first image may have waited for the old series' last: then it says "late 1".
    EXPECT_TRUE(dlg.GetMessageText().startsWith(GetProgramString(IDS_SAVE_CONTINUE_ENDED) + Progress(5, 5)));
    // Numbering went on after the highest file: nothing overwritten, no gap.
    QStringList expected;
    for (int n = 1; n <= nOld + 5; ++n) {
        expected << QStringLiteral("%1.jpg").arg(n, 4, 10, QLatin1Char('0'));
    }
    EXPECT_EQ(Files(Folder()), expected);
}

TEST_F(CaptureSeriesTest, ClosingMidSeriesEndsCleanlyAndKeepsTheFiles)
{
    Settings(2, 5);
    StartLive();
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    const QStringList subs = QDir(Folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(subs.size(), 1);
    const QString sub = Folder() + QLatin1Char('/') + subs.front();
    ASSERT_TRUE(NextImage(sub, 1, 1));
    ASSERT_TRUE(NextImage(sub, 2, 2));
    // Closed while the interval thread waits: both threads end before the camera goes.
    m_pDlg.reset();
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]OnDestroy() is End.")));
    EXPECT_EQ(Files(sub), (QStringList{"0001.jpg", "0002.jpg"}));
    for (const QString& name : Files(sub)) {
        EXPECT_FALSE(QImage(sub + QLatin1Char('/') + name).isNull());
    }
}

TEST_F(CaptureSeriesTest, ClickModeLimitsAndFolderFailures)
{
    // Click mode asking for the file: title T continues after T_0010, T_12345 ignored.
    QDir().mkpath(Folder());
    for (const char* name : {"T_0003.jpg", "T_0010.jpg", "T_12345.jpg", "U_0050.jpg"}) {
        QFile f(Folder() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    WriteSettings([&](SYSTEM_SETTING& s) {
        s.SaveContinue.SaveContinueMode = 1;
        s.SaveContinue.SaveFolderKind = 1;
        s.SaveContinue.SaveFolderPath = Folder();
        s.FileFormat = 0;
        s.bSaveHoleImage = TRUE;
    });
    CPixmetraDlg& dlg = StartLive();
    EXPECT_EQ(Button(IDC_BTN_SAVE_CONTINUE)->toolTip(), GetProgramString(IDS_TIP_SAVE_ON_CLICK));
    m_Files.Paths.push_back(Folder() + QStringLiteral("/T.jpg"));
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_IMAGE_SAVED));
    EXPECT_TRUE(QFile::exists(Folder() + QStringLiteral("/T_0011.jpg")));
    EXPECT_EQ(dlg.Parts().setting.FileFormat, 1);
    // The next click asks nothing and goes on.
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(Folder() + QStringLiteral("/T_0012.jpg")));
    EXPECT_TRUE(m_Files.Paths.empty());
    EXPECT_TRUE(m_Boxes.Texts.empty());
    m_pDlg.reset();

    // Interval mode: 9999 numbered subfolders (609), then a subfolder that
    // cannot be made (606): nothing starts either time.
    Settings(1, 5);
    QDir().mkpath(Folder() + QStringLiteral("/9999"));
    CPixmetraDlg& full = StartLive();
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    EXPECT_FALSE(full.SaveContinueState().bSaving);
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts.back(), GetProgramString(IDS_FOLDER_NUMBER_FULL));
    m_pDlg.reset();

    QFile blocker(m_Dir.path() + QStringLiteral("/plain file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings(1, 5, blocker.fileName());
    CPixmetraDlg& blocked = StartLive();
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    EXPECT_FALSE(blocked.SaveContinueState().bSaving);
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts.back(), GetProgramString(IDS_SAVE_ERROR));
    EXPECT_TRUE(LogText().contains(QStringLiteral("Create SubFolder Error")));
}

TEST_F(CaptureSeriesTest, AFolderThatCannotBeWrittenStopsAtOnceAndAFullDiskSaysWhyAndHowMany)
{
    REQUIRE_FULL_DISK_LIBRARY();
    Settings(0, 5);
    CPixmetraDlg& dlg = StartLive();
    {
        // No countdown: the start is refused before the first second.
        fulldisk::CReadOnlyFolder readOnly(Folder());
        QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
        EXPECT_FALSE(dlg.SaveContinueState().bSaving);
        ASSERT_EQ(m_Boxes.Texts.size(), 1u);
        EXPECT_TRUE(m_Boxes.Texts[0].startsWith(GetProgramString(IDS_SERIES_FOLDER_NOT_WRITABLE)));
        EXPECT_TRUE(m_Boxes.Texts[0].contains(GetProgramString(IDS_REASON_NOT_WRITABLE)));
        EXPECT_TRUE(dlg.GetMessageText().startsWith(GetProgramString(IDS_SERIES_FOLDER_NOT_WRITABLE)));
    }

    // Two images, then the disk fills: the series ends saying so and how many it saved.
    QTest::mouseClick(Button(IDC_BTN_SAVE_CONTINUE), Qt::LeftButton);
    ASSERT_TRUE(dlg.SaveContinueState().bSaving);
    ASSERT_TRUE(NextImage(Folder(), 1, 1));
    ASSERT_TRUE(NextImage(Folder(), 2, 2));
    fulldisk::CFullDisk full(Folder());
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(AdvanceClock(1000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.SaveContinueState().bSaving; }, 10000));
    const QString text = dlg.GetMessageText();
    EXPECT_TRUE(text.startsWith(GetProgramString(IDS_SAVE_ERROR))) << text.toStdString();
    EXPECT_TRUE(text.contains(GetProgramString(IDS_REASON_DISK_FULL))) << text.toStdString();
    EXPECT_TRUE(text.contains(GetProgramString(IDS_IMAGES_SAVED_COUNT).arg(2))) << text.toStdString();
    EXPECT_EQ(Files(Folder()), (QStringList{"0001.jpg", "0002.jpg"})) << "nothing half written is left";
}
