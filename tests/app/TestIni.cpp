#include "AppFixture.h"

#include "app/IniDocument.h"

#include <sys/stat.h>
#include <unistd.h>

using IniTest = ProgramFolderTest;

TEST_F(IniTest, HandWrittenFileReadsLikeThePrivateProfileFunctions)
{
    const QString path = Path(QStringLiteral("hand.ini"));
    WriteBytes(path, "; comment line\r\n"
                     "[WindowSetting]\r\n"
                     "  mainwndleft = -1600\r\n"
                     "MainWndTop=  42abc\n"
                     "MainWndRight=abc\r\n"
                     "Name = \"quoted value\" \r\n"
                     "Empty=\r\n"
                     "Unknown=keep me ; not a comment\r\n"
                     "MainWndLeft=999\r\n"
                     "[windowsetting]\r\n"
                     "MeasWndLeft=7\r\n"
                     "[Other]\r\n"
                     ";MeasWndLeft=8\r\n");
    const CQSFileIni ini(path);
    EXPECT_EQ(ini.ReadInt("WINDOWSETTING", "MainWndLeft", 5), -1600); // first duplicate wins
    EXPECT_EQ(ini.ReadInt("WindowSetting", "MainWndTop", 5), 42);
    EXPECT_EQ(ini.ReadInt("WindowSetting", "MainWndRight", 5), 0);
    EXPECT_EQ(ini.ReadInt("WindowSetting", "Missing", 5), 5);
    EXPECT_EQ(ini.ReadInt("WindowSetting", "MeasWndLeft", 5), 5); // in a later duplicate section
    EXPECT_EQ(ini.ReadInt("Other", "MeasWndLeft", 5), 5);         // commented out
    EXPECT_EQ(ini.ReadString("WindowSetting", "Name", "d"), QStringLiteral("quoted value"));
    EXPECT_EQ(ini.ReadString("WindowSetting", "Empty", "d"), QString());
    EXPECT_EQ(ini.ReadString("WindowSetting", "Unknown", "d"), QStringLiteral("keep me ; not a comment"));
    EXPECT_EQ(ini.ReadString("WindowSetting", "Name", "d", 6), QStringLiteral("quote"));
    EXPECT_EQ(ini.ReadString("NoSection", "Name", "dflt"), QStringLiteral("dflt"));
    EXPECT_EQ(CQSFileIni(Path("missing.ini")).ReadInt("a", "b", 3), 3);

    // Writing replaces in place, appends new keys at the end of their section
    // and new sections at the end, and keeps every other line as it was.
    ASSERT_TRUE(ini.WriteInt("windowsetting", "MAINWNDTOP", 12));
    ASSERT_TRUE(ini.WriteString("Other", "NewKey", "v"));
    ASSERT_TRUE(ini.WriteString("Brand New", "K", "x"));
    const QByteArray after = ReadBytes(path);
    EXPECT_TRUE(after.startsWith("; comment line\r\n[WindowSetting]\r\n  mainwndleft = -1600\r\nMAINWNDTOP=12\n"));
    EXPECT_TRUE(after.contains("Unknown=keep me ; not a comment\r\n"));
    EXPECT_TRUE(after.contains("[Other]\r\n;MeasWndLeft=8\r\nNewKey=v\r\n[Brand New]\r\nK=x\r\n"));
    EXPECT_FALSE(after.startsWith("\xef\xbb\xbf")); // a UTF-8 file stays UTF-8 without BOM
    CQSFileIni::DropCache();
    EXPECT_EQ(CQSFileIni(path).ReadInt("WindowSetting", "MainWndTop", 0), 12);
}

// (A new file in UTF-16 with its mark: the settings suite's first save.)
TEST_F(IniTest, AValueWithALineBreakSmugglesNoKey)
{
    const CQSFileIni ini(Path(QStringLiteral("new.ini")));
    ASSERT_TRUE(ini.WriteString("Camera", "X", "a\r\nEvil=1"));
    CQSFileIni::DropCache();
    EXPECT_EQ(ini.ReadString("Camera", "Evil", "none"), QStringLiteral("none"));
}

TEST_F(IniTest, MalformedFilesNeverCrashAndGiveDefaults)
{
    const QString path = Path(QStringLiteral("bad.ini"));
    const CQSFileIni ini(path);
    const QByteArray cases[] = {
        QByteArray("\xff\xfe", 2),                                   // a BOM alone
        Utf16("[A]\r\nK=12\r\n").left(9),                            // truncated UTF-16, odd length
        Utf16("[A]\r\nK=12").append('\x00').append('\xd8'),         // a lone surrogate at the end
        QByteArray(4096, '\0'),                                      // binary zeros
        QByteArray("\x01\x02[A\x00]\xfe\x80K=\x99", 12),             // garbage
        QByteArray("[A]\r\nK=") + QByteArray(1 << 20, '7') + "\r\n", // a 1 MB line
    };
    for (const QByteArray& b : cases) {
        WriteBytes(path, b);
        (void)ini.ReadInt("A", "K", -5);
        EXPECT_LE(ini.ReadString("A", "K", "d").size(), 519);
        EXPECT_EQ(ini.ReadInt("Z", "K", -5), -5);
    }
    WriteBytes(path, Utf16("[A]\r\nK=12\r\n").left(19)); // cut in the middle of the "2"
    EXPECT_EQ(ini.ReadInt("A", "K", -5), 1);
    WriteBytes(path, QByteArray("[A]\r\nK=") + QByteArray(1 << 20, '7') + "\r\n");
    EXPECT_EQ(ini.ReadInt("A", "K", -5), INT32_MAX); // saturates instead of wrapping
}

TEST_F(IniTest, FailedWritesAreReportedAndLeaveTheFileIntact)
{
    if (geteuid() == 0) {
        // root ignores permissions; use a path below a file instead.
        const QString blocker = Path(QStringLiteral("file"));
        WriteBytes(blocker, "x");
        EXPECT_FALSE(CQSFileIni(blocker + "/sub.ini").WriteInt("A", "K", 1));
    }
    EXPECT_FALSE(CQSFileIni(Path(QStringLiteral("no/such/folder/x.ini"))).WriteInt("A", "K", 1));
    const QString ro = Path(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(ro));
    const QString path = ro + QStringLiteral("/s.ini");
    WriteBytes(path, "[A]\r\nK=1\r\n");
    ::chmod(ro.toLocal8Bit().constData(), 0555);
    if (geteuid() != 0) {
        EXPECT_FALSE(CQSFileIni(path).WriteInt("A", "K", 2));
        EXPECT_EQ(ReadBytes(path), QByteArray("[A]\r\nK=1\r\n"));
    }
    ::chmod(ro.toLocal8Bit().constData(), 0755);
    // A batch reports a failure at its end and writes once.
    const QString bad = Path(QStringLiteral("missing/dir.ini"));
    CQSFileIni::BeginBatch(bad);
    EXPECT_TRUE(CQSFileIni(bad).WriteInt("A", "K", 1));
    EXPECT_FALSE(CQSFileIni::EndBatch(bad));
}

TEST_F(IniTest, DoublesAreRoundedOrExact)
{
    // (Rounding on write and read is met through the settings file.)
    const CQSFileIni ini(Path(QStringLiteral("d.ini")));
    ASSERT_TRUE(ini.WriteExactDouble("S", "K", 0.0000667));
    EXPECT_EQ(ini.ReadString("S", "K", ""), QStringLiteral("0.0000667"));
    EXPECT_EQ(ini.ReadExactDouble("S", "K", 0.0), 0.0000667);
    ASSERT_TRUE(ini.WriteString("S", "Bad", "nan"));
    EXPECT_EQ(ini.ReadDouble("S", "Bad", 3.5, 5), 3.5);
    ASSERT_TRUE(ini.WriteString("S", "Txt", "abc"));
    EXPECT_EQ(ini.ReadExactDouble("S", "Txt", 2.0), 2.0);
    EXPECT_EQ(FormatFixed(1e300, 5).size(), 307);
}
