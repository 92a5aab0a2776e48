#include "StartupChild.h"
#include "StartupFixture.h"

#include "app/AppStrings.h"
#include "app/PixmetraApp.h"
#include "app/StringTable.h"
#include "app/WriteFailureText.h"
#include "RecordingProviders.h"

#include <functional>

namespace {

const QString kEnglishBusy = QStringLiteral("Pixmetra is already running.");
const QString kJapaneseBusy = QStringLiteral("すでに起動しています．");

struct RUN_SEEN {
    bool bRan = false;
    QString translationFile;
    QString busyText;
    int32_t nLanguageKind = -1;
};

// One start of the program in the current program folder; what the main
// window would have seen.
RUN_SEEN StartOnce(const QString& name)
{
    RUN_SEEN seen;
    CPixmetraApp theApp(name);
    theApp.SetMainWindowRunner([&seen](CPixmetraApp& app) {
        seen.bRan = true;
        seen.translationFile = app.GetTranslator()->GetFilePath();
        seen.busyText = GetProgramString(IDS_ALREADY_RUNNING);
        seen.nLanguageKind = app.GetSystemSetting().LanguageKind;
        return 0;
    });
    EXPECT_EQ(theApp.InitInstance(), FALSE);
    return seen;
}

} // namespace

TEST_F(StartupTest, LanguageComesFromPixmetraIniWhateverTheProgramFileIsCalled)
{
    const QString name = UniqueInstanceName();
    INSTANCE_FILES files(name);
    const QString english = QDir::toNativeSeparators(Path(QStringLiteral("LangTransEnglish.ini")));
    const QString japanese = QDir::toNativeSeparators(Path(QStringLiteral("LangTransJapanese.ini")));

    // The program file under its Linux name, and under the test binary's own.
    for (const QString& baseName : {QStringLiteral("pixmetra"), QString()}) {
        SCOPED_TRACE(baseName.toStdString());
        platform::SetModuleFolderForTest(tmp.path(), baseName);

        WriteSettings(Path(QStringLiteral("Pixmetra.ini")), QStringLiteral("[LanguageSetting]\r\nLanguageKind=1\r\n"));
        const QByteArray before = ReadBytes(Path(QStringLiteral("Pixmetra.ini")));
        RUN_SEEN seen = StartOnce(name);
        ASSERT_TRUE(seen.bRan);
        EXPECT_EQ(seen.nLanguageKind, 1);
        EXPECT_EQ(seen.translationFile, english);
        EXPECT_EQ(seen.busyText, kEnglishBusy);
        // Starting reads the settings; it never writes them.
        EXPECT_EQ(ReadBytes(Path(QStringLiteral("Pixmetra.ini"))), before);

        // Any kind but 1 is Japanese.
        WriteSettings(Path(QStringLiteral("Pixmetra.ini")), QStringLiteral("[LanguageSetting]\r\nLanguageKind=5\r\n"));
        seen = StartOnce(name);
        EXPECT_EQ(seen.nLanguageKind, 5);
        EXPECT_EQ(seen.translationFile, japanese);
        EXPECT_EQ(seen.busyText, kJapaneseBusy);
    }

    // A file named after the program file in lower case is not the settings file.
    platform::SetModuleFolderForTest(tmp.path(), QStringLiteral("pixmetra"));
    QFile::remove(Path(QStringLiteral("Pixmetra.ini")));
    WriteSettings(Path(QStringLiteral("pixmetra.ini")), QStringLiteral("[LanguageSetting]\r\nLanguageKind=1\r\n"));
    const RUN_SEEN seen = StartOnce(name);
    EXPECT_EQ(seen.nLanguageKind, 0);
    EXPECT_EQ(seen.translationFile, japanese);
    EXPECT_EQ(SystemSettingPath(), QDir::toNativeSeparators(Path(QStringLiteral("Pixmetra.ini"))));
}

TEST_F(StartupTest, SecondStartGivesWayRaisesTheFirstAndLeavesNoTrace)
{
    const QString name = UniqueInstanceName();
    INSTANCE_FILES files(name);

    // A first copy that was killed leaves its lock file behind.
    {
        QProcess holder;
        StartChild(holder, {QString::fromLatin1(kChildHoldLock), name});
        ASSERT_TRUE(holder.waitForStarted(10000));
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        ASSERT_EQ(holder.readAllStandardOutput().trimmed(), QByteArray("HELD"));
        holder.kill();
        ASSERT_TRUE(holder.waitForFinished(10000));
    }

    // The second copy has a folder of its own, in English.
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    ASSERT_TRUE(MakeProgramFolder(other.path()));
    const QString otherIni = QDir(other.path()).filePath(QStringLiteral("Pixmetra.ini"));
    WriteSettings(otherIni, QStringLiteral("[LanguageSetting]\r\nLanguageKind=1\r\n"));
    const QByteArray otherIniBefore = ReadBytes(otherIni);

    // Temporary files of settings saves that were killed, beside files of the user's.
    const QString staleTemp = QStringLiteral("Pixmetra.ini.~k1ll3d");
    for (const QString& folder : {tmp.path(), other.path()}) {
        for (const QString& file : {staleTemp, QStringLiteral("Pixmetra.ini.backup")}) {
            WriteBytes(QDir(folder).filePath(file), QByteArray("half"));
        }
    }
    auto exists = [](const QString& folder, const QString& file) { return QFileInfo::exists(QDir(folder).filePath(file)); };

    int nRaised = 0;
    QByteArray secondOutput;
    int nSecondExit = -1;
    QProcess::ExitStatus secondStatus = QProcess::CrashExit;
    bool bRan = false;
    {
        CPixmetraApp theApp(name);
        theApp.SetMainWindowRunner([&](CPixmetraApp& app) {
            bRan = true;
            app.SetActivateHandler([&nRaised] { ++nRaised; });
            QProcess second;
            StartChild(second, {QString::fromLatin1(kChildStartProgram), name, other.path()});
            // The first copy keeps its event loop going while the second starts.
            EXPECT_TRUE(PumpUntil([&] { return second.state() == QProcess::NotRunning; }, 30000));
            second.waitForFinished(1000);
            secondOutput = second.readAllStandardOutput();
            nSecondExit = second.exitCode();
            secondStatus = second.exitStatus();
            EXPECT_TRUE(PumpUntil([&] { return nRaised > 0; }));
            return 3;
        });
        theApp.InitInstance();
        EXPECT_EQ(theApp.ExitInstance(), 3);
    }
    // The killed copy did not block this start.
    EXPECT_TRUE(bRan);
    EXPECT_EQ(LogFiles(tmp.path()).size(), 1);

    // The second copy told its user in the language of its settings, with the
    // information icon, raised the first window once and ended normally.
    EXPECT_EQ(secondStatus, QProcess::NormalExit);
    EXPECT_EQ(nSecondExit, 0);
    EXPECT_EQ(QString::fromUtf8(secondOutput),
              QStringLiteral("BOX|%1|%2|%3\n").arg(GetProgramString(IDS_PROGRAM_NAME_NO_CAMERA), kEnglishBusy).arg(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(nRaised, 1);
    // Nothing else was started: no log, no settings write.
    EXPECT_FALSE(QDir(other.path() + QStringLiteral("/Log")).exists());
    EXPECT_EQ(ReadBytes(otherIni), otherIniBefore);
    // The copy that held the lock removed its folder's leftovers; the one that gave way touched nothing.
    EXPECT_FALSE(exists(tmp.path(), staleTemp));
    EXPECT_TRUE(exists(other.path(), staleTemp));

    // The first copy has ended: the next start runs its main window.
    QProcess next;
    StartChild(next, {QString::fromLatin1(kChildStartProgram), name, other.path()});
    ASSERT_TRUE(next.waitForFinished(30000));
    EXPECT_EQ(next.exitCode(), 5);
    EXPECT_EQ(next.readAllStandardOutput(), QByteArray("RUNNER\n"));
    EXPECT_EQ(LogFiles(other.path()).size(), 1);
    EXPECT_FALSE(exists(other.path(), staleTemp));
    EXPECT_TRUE(exists(tmp.path(), QStringLiteral("Pixmetra.ini.backup")));
    EXPECT_TRUE(exists(other.path(), QStringLiteral("Pixmetra.ini.backup")));
}

TEST_F(StartupTest, SettingsThatCannotBeSavedAreToldOnceAndAFontNameCutAtLoadStillSaves)
{
    const QString name = UniqueInstanceName();
    INSTANCE_FILES files(name);
    const QString ini = Path(QStringLiteral("Pixmetra.ini"));
    CRecordingBoxes boxes;
    SetMessageBoxProvider(&boxes);
    auto run = [&](const std::function<void(SYSTEM_SETTING&)>& fnSaves) {
        CPixmetraApp theApp(name);
        theApp.SetMainWindowRunner([&](CPixmetraApp& app) {
            SYSTEM_SETTING s = app.GetSystemSetting();
            fnSaves(s);
            return 0;
        });
        theApp.InitInstance();
    };

    // A file that cannot be read without loss is kept as it is, and every
    // save of the run fails; the user hears of it once, with the file and why.
    const QByteArray undecodable("\xEF\xBB\xBF[WindowSetting]\r\nCaptionFontPt=\xFF\xFE\r\n");
    WriteBytes(ini, undecodable);
    run([](SYSTEM_SETTING& s) {
        EXPECT_FALSE(SaveSystemSetting(s));
        EXPECT_FALSE(WriteCrossLinePosValue(s.CrossLinePos));
    });
    EXPECT_EQ(ReadBytes(ini), undecodable);
    ASSERT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(boxes.Types[0], UINT(MB_OK | MB_ICONWARNING));
    EXPECT_TRUE(boxes.Texts[0].contains(QDir::toNativeSeparators(ini))) << boxes.Texts[0].toStdString();
    EXPECT_TRUE(boxes.Texts[0].contains(GetProgramString(IDS_REASON_KEPT_UNREADABLE))) << boxes.Texts[0].toStdString();

    // A font name longer than its field, an emoji across the cut: it is cut
    // before the emoji, and the settings save again without a word.
    const QString longName = QString(30, QLatin1Char('F')) + QStringLiteral("😀x");
    WriteSettings(ini, QStringLiteral("[DrawSetting]\r\nMeasStrFontName=") + longName + QStringLiteral("\r\n"));
    boxes.Texts.clear();
    run([&](SYSTEM_SETTING& s) {
        EXPECT_EQ(QString::fromStdU16String(TextFieldString(s.Draw.MeasStrFontName)), QString(30, QLatin1Char('F')));
        EXPECT_TRUE(SaveSystemSetting(s));
    });
    EXPECT_TRUE(boxes.Texts.empty());
    SetMessageBoxProvider(nullptr);
}
