#include "AppFixture.h"

#include "app/AppStrings.h"
#include "app/MultiLanguageTranslator.h"
#include "app/StringTable.h"

#include <thread>

using TranslatorTest = ProgramFolderTest;

// A number the string table does not have.
constexpr UINT kNoSuchString = 99999;

TEST_F(TranslatorTest, LooksUpAppendsMissingTextsOnceAndFallsBack)
{
    const QString path = Path(QStringLiteral("LangTransEnglish.ini"));
    WriteBytes(path, Utf16(QStringLiteral("[english]\r\n確定=wrong section\r\n[ENGLISH]\r\n確定=OK\r\n"
                                          "ABC=Latin ; comment\r\n2行\\nの文=Two\\nlines\r\n空=\r\n")));
    CMultiLanguageTranslator tr;
    EXPECT_EQ(tr.TranslateText(QStringLiteral("確定")), QStringLiteral("確定")); // inert until set
    tr.SetTranslation(path, QStringLiteral("ENGLISH"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("  確定 ")), QStringLiteral("OK"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("abc")), QStringLiteral("Latin"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("2行\nの文")), QStringLiteral("Two\nlines"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("空")), QStringLiteral("空"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("µm")), QStringLiteral("µm"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("新しい")), QStringLiteral("新しい"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("新しい")), QStringLiteral("新しい"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("a;b")), QStringLiteral("a;b"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("[x")), QStringLiteral("[x"));
    const QString text = DecodeUtf16(ReadBytes(path));
    EXPECT_EQ(text.count(QStringLiteral("新しい=")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("空=\r\n新しい=\r\n"))); // end of the ENGLISH section
    EXPECT_FALSE(text.contains(QStringLiteral("µm")));
    EXPECT_FALSE(text.contains(QStringLiteral("a;b")));
    EXPECT_FALSE(text.contains(QStringLiteral("[x")));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[english]\r\n確定=wrong section\r\n")));
    // String numbers go through the same look-up.
    EXPECT_EQ(tr.GetString(IDS_ALREADY_RUNNING), QStringLiteral("すでに起動しています．"));
    EXPECT_EQ(tr.GetString(kNoSuchString), QString());
    // A file not to extend (an installed copy) is read and left as it is.
    const QByteArray before = ReadBytes(path);
    tr.SetTranslation(path, QStringLiteral("ENGLISH"), false);
    EXPECT_EQ(tr.TranslateText(QStringLiteral("別の文")), QStringLiteral("別の文"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("確定")), QStringLiteral("OK"));
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(TranslatorTest, MissingBrokenAndForeignFiles)
{
    CMultiLanguageTranslator tr;
    const QString path = Path(QStringLiteral("LangTransEnglish.ini"));
    tr.SetTranslation(path, QStringLiteral("ENGLISH"));
    EXPECT_EQ(tr.GetString(IDS_CALIBRATION_VALUE), QStringLiteral("校正値"));
    ASSERT_TRUE(ReadBytes(path).startsWith("\xff\xfe"));
    EXPECT_EQ(DecodeUtf16(ReadBytes(path)), QStringLiteral("[ENGLISH]\r\n校正値=\r\n"));

    // Truncated in the middle of a character, last line without its end.
    QByteArray cut = Utf16(QStringLiteral("[ENGLISH]\r\n確定=OK\r\n距離=Dist"));
    cut.append('\x41');
    WriteBytes(path, cut);
    tr.SetTranslation(path, QStringLiteral("ENGLISH"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("確定")), QStringLiteral("OK"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("距離")), QStringLiteral("距離")); // no line end: empty
    EXPECT_EQ(tr.TranslateText(QStringLiteral("面積")), QStringLiteral("面積"));
    const QString text = DecodeUtf16(ReadBytes(path));
    EXPECT_TRUE(text.contains(QStringLiteral("距離=Dist\r\n面積=\r\n"))) << text.toStdString();

    // A UTF-8 file without BOM is read and kept in UTF-8.
    WriteBytes(path, QByteArray("[ENGLISH]\n確定=OK\n"));
    tr.SetTranslation(path, QStringLiteral("ENGLISH"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("確定")), QStringLiteral("OK"));
    EXPECT_EQ(tr.TranslateText(QStringLiteral("面積")), QStringLiteral("面積"));
    EXPECT_EQ(ReadBytes(path), QByteArray("[ENGLISH]\n確定=OK\n面積=\r\n"));

    // Empty file and a BOM alone.
    for (const QByteArray& b : {QByteArray(), QByteArray("\xff\xfe", 2), QByteArray(333, '\0')}) {
        WriteBytes(path, b);
        tr.SetTranslation(path, QStringLiteral("ENGLISH"));
        EXPECT_EQ(tr.TranslateText(QStringLiteral("確定")), QStringLiteral("確定"));
    }
}

TEST_F(TranslatorTest, ConcurrentLookUps)
{
    const QString path = Path(QStringLiteral("LangTransEnglish.ini"));
    WriteBytes(path, Utf16(QStringLiteral("[ENGLISH]\r\n距離=Distance\r\n")));
    CMultiLanguageTranslator tr;
    tr.SetTranslation(path, QStringLiteral("ENGLISH"));
    std::vector<std::thread> threads;
    std::atomic<int> bad{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if (tr.TranslateText(QStringLiteral("距離")) != QStringLiteral("Distance")) {
                    ++bad;
                }
                tr.TranslateText(QStringLiteral("新%1").arg((i + t) % 20));
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    EXPECT_EQ(bad.load(), 0);
    const QString text = DecodeUtf16(ReadBytes(path));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(text.count(QStringLiteral("新%1=").arg(i)), 1) << i;
    }
}

TEST(ShippedTranslation, EnglishFileHasATextForEveryString)
{
    const QString path = QStringLiteral(PIXMETRA_SOURCE_DIR "/app/LangTransEnglish.ini");
    CMultiLanguageIniFileAccess file;
    for (UINT id : StringTableIDs()) {
        QString key = QString::fromUtf16(LoadStringTable(id)).trimmed();
        if (key == QStringLiteral("µm")) {
            continue;
        }
        QString value;
        ASSERT_TRUE(file.ReadValue(path, QStringLiteral("ENGLISH"), key, value)) << id;
        EXPECT_FALSE(value.isEmpty()) << id;
    }
}
