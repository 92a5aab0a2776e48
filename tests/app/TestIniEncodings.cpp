#include "AppFixture.h"

#include "app/AppStrings.h"
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>

using IniEncodingTest = ProgramFolderTest;

namespace {

enum ENC { UTF16LE_BOM, UTF16LE, UTF16BE_BOM, UTF16BE, UTF8_BOM, UTF8, SJIS };
const char* const kEncName[] = {"UTF-16LE+BOM", "UTF-16LE", "UTF-16BE+BOM", "UTF-16BE",
                                "UTF-8+BOM",    "UTF-8",    "Shift-JIS"};

QByteArray Encode(const QString& text, ENC enc, bool bWithBom = false)
{
    QByteArray b;
    switch (enc) {
    case UTF16LE_BOM:
    case UTF16LE:
    case UTF16BE_BOM:
    case UTF16BE: {
        const bool bBig = enc == UTF16BE_BOM || enc == UTF16BE;
        if (bWithBom && (enc == UTF16LE_BOM || enc == UTF16BE_BOM)) {
            b.append(bBig ? "\xfe\xff" : "\xff\xfe", 2);
        }
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xff);
            b.append(bBig ? hi : lo).append(bBig ? lo : hi);
        }
        return b;
    }
    case UTF8_BOM:
        return (bWithBom ? QByteArray("\xef\xbb\xbf") : QByteArray()) + text.toUtf8();
    case UTF8:
        return text.toUtf8();
    case SJIS: {
        QStringEncoder e("Shift_JIS");
        b = e.encode(text);
        EXPECT_FALSE(e.hasError());
        return b;
    }
    }
    return b;
}

// The whole file decoded in the encoding it must still be in; false when any byte does not fit.
bool DecodeAll(const QByteArray& bytes, ENC enc, QString& text)
{
    QByteArray b = bytes;
    const QByteArray bom = Encode(QString(), enc, true);
    if (!b.startsWith(bom)) {
        return false;
    }
    b.remove(0, bom.size());
    if (enc <= UTF16BE) {
        if (b.size() % 2 != 0) {
            return false;
        }
        text.clear();
        const bool bBig = enc == UTF16BE_BOM || enc == UTF16BE;
        for (qsizetype i = 0; i < b.size(); i += 2) {
            const uchar x = uchar(b[i]), y = uchar(b[i + 1]);
            text.append(QChar(char16_t(bBig ? (x << 8 | y) : (y << 8 | x))));
        }
        return QStringView(text).isValidUtf16();
    }
    QStringDecoder d(enc == SJIS ? "Shift_JIS" : "UTF-8", QStringConverter::Flag::Stateless);
    text = d.decode(b);
    return !d.hasError();
}

// Lines of a settings file a user edited: comments, keys the program does not
// know, a line end of another kind, and a calibration entry named in Japanese.
const QStringList kUserLines = {
    QStringLiteral("; 設定ファイル (手で編集)\r\n"),
    QStringLiteral("[WindowSetting]\r\n"),
    QStringLiteral("MyWindowKey = そのまま  \r\n"),
    QStringLiteral("CaptionFontPt=12\r\n"), // the program's
    QStringLiteral("   ; 字下げしたコメント\n"),
    QStringLiteral("[CalibrationSetting]\r\n"),
    QStringLiteral("CalibrationIndex=0\r\n"),      // the program's
    QStringLiteral("bEnable-1=True\r\n"),          // the program's
    QStringLiteral("Name-1=顕微鏡の校正値01\r\n"), // the program's
    QStringLiteral("Unknown-1=残す ; これも\r\n"),
    QStringLiteral("[UserSection]\r\n"),
    QStringLiteral("等号のない行\r\n"),
    QStringLiteral("Key=値"),
};
const bool kProgramOwns[] = {false, false, false, true, false, false, true, true, true, false, false, false, false};

} // namespace

TEST_F(IniEncodingTest, SettingsFilesKeepEveryLineTheProgramDoesNotWrite)
{
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    for (ENC enc : {UTF16LE_BOM, UTF16LE, UTF16BE_BOM, UTF16BE, UTF8_BOM, UTF8, SJIS}) {
        SCOPED_TRACE(kEncName[enc]);
        QByteArray original = Encode(QString(), enc, true);
        for (const QString& line : kUserLines) {
            original += Encode(line, enc);
        }
        WriteBytes(path, original);
        SYSTEM_SETTING s;
        LoadSystemSetting(s);
        EXPECT_EQ(s.CaptionFontPt, 12);
        EXPECT_TRUE(s.Calibration[0].bEnable);
        EXPECT_EQ(s.Calibration[0].Name, QStringLiteral("顕微鏡の校正値01"));

        s.CaptionFontPt = 20;
        s.Calibration[0].Name = QStringLiteral("校正値01");
        s.Camera.CurConectCameraName = QStringLiteral("カメラ①");
        ASSERT_TRUE(SaveSystemSetting(s));
        const QByteArray saved = ReadBytes(path);
        // Every line the program does not write is there byte for byte, in order.
        qsizetype at = 0;
        for (size_t i = 0; i < std::size(kProgramOwns); ++i) {
            if (kProgramOwns[i]) {
                continue;
            }
            const QByteArray bytes = Encode(kUserLines[int(i)], enc);
            const qsizetype found = saved.indexOf(bytes, at);
            ASSERT_GE(found, at) << kUserLines[int(i)].toStdString();
            at = found + bytes.size();
        }
        // What the program wrote is in the same encoding as the rest.
        QString text;
        ASSERT_TRUE(DecodeAll(saved, enc, text));
        EXPECT_TRUE(text.contains(QStringLiteral("CaptionFontPt=20")));
        EXPECT_TRUE(text.contains(QStringLiteral("Name-1=校正値01")));
        EXPECT_TRUE(text.contains(QStringLiteral("[Camera]")));

        CQSFileIni::DropCache();
        SYSTEM_SETTING back;
        LoadSystemSetting(back);
        EXPECT_EQ(back.CaptionFontPt, 20);
        EXPECT_EQ(back.Calibration[0].Name, QStringLiteral("校正値01"));
        EXPECT_EQ(back.Camera.CurConectCameraName, QStringLiteral("カメラ①"));
        // Saving the same again changes nothing.
        ASSERT_TRUE(SaveSystemSetting(back));
        EXPECT_EQ(ReadBytes(path), saved);
    }

    // A name the ANSI code page cannot hold is refused instead of written as "?".
    WriteBytes(path, Encode(QStringLiteral("[WindowSetting]\r\nCaptionFontName=ＭＳ ゴシック\r\n"), SJIS));
    SYSTEM_SETTING s;
    LoadSystemSetting(s);
    EXPECT_EQ(s.CaptionFontName, QStringLiteral("ＭＳ ゴシック"));
    s.Camera.CurConectCameraName = QStringLiteral("Camera 😀");
    EXPECT_FALSE(SaveSystemSetting(s));
    CQSFileIni::DropCache();
    SYSTEM_SETTING back;
    LoadSystemSetting(back);
    EXPECT_EQ(back.CaptionFontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(back.Camera.CurConectCameraName, QString());
}

TEST_F(IniEncodingTest, UndecodableFilesGiveDefaultsAndAreNeverRewritten)
{
    CLogFile log;
    ASSERT_TRUE(log.Open(Path(QStringLiteral("Log/")), 30));
    SetProgramLog(&log);

    QByteArray noise(4096, '\0');
    QRandomGenerator rng(12345);
    for (char& c : noise) {
        c = char(rng.bounded(256));
    }
    noise[0] = char(0x80); // no byte-order mark, and neither UTF-8 nor Shift-JIS
    const QByteArray loneSurrogate =
        Encode(QStringLiteral("[SaveSetting]\r\nJpegQuality=55\r\n; x"), UTF16LE_BOM, true) +
        QByteArray("\x00\xd8\r\x00\n\x00", 6);
    const QByteArray badUtf8 = QByteArray("\xef\xbb\xbf[SaveSetting]\r\nJpegQuality=55\r\n;\xff\xfe\r\n");
    const QString path = Path(QStringLiteral("Pixmetra.ini"));
    const QString clb = Path(QStringLiteral("user.clb"));
    for (const QByteArray& bytes : {noise, loneSurrogate, badUtf8}) {
        WriteBytes(path, bytes);
        WriteBytes(clb, bytes);
        SYSTEM_SETTING s;
        LoadSystemSetting(s);
        EXPECT_EQ(s.JpegQuality, 80);
        s.JpegQuality = 70;
        EXPECT_FALSE(SaveSystemSetting(s));
        EXPECT_FALSE(WriteCalibrationSetting(clb, 1, s.Calibration));
        EXPECT_FALSE(WriteSaveLogDays(30));
        EXPECT_EQ(ReadBytes(path), bytes);
        EXPECT_EQ(ReadBytes(clb), bytes);

        CMultiLanguageTranslator tr;
        const QString lang = Path(QStringLiteral("LangTransEnglish.ini"));
        WriteBytes(lang, bytes);
        tr.SetTranslation(lang, QStringLiteral("ENGLISH"));
        EXPECT_EQ(tr.TranslateText(QStringLiteral("確定")), QStringLiteral("確定"));
        EXPECT_EQ(tr.GetString(IDS_CALIBRATION_VALUE), QStringLiteral("校正値"));
        EXPECT_EQ(ReadBytes(lang), bytes);
    }
    SetProgramLog(nullptr);
    const QString logText = QString::fromUtf8(ReadBytes(log.GetFilePath()));
    EXPECT_TRUE(logText.contains(QStringLiteral("[APP]SaveSystemSetting() Write Error!")));
    EXPECT_TRUE(logText.contains(QStringLiteral("Cannot be read without loss")));
}

TEST_F(IniEncodingTest, TranslationFilesDoNotGrowFromRunToRun)
{
    const QStringList lookups = {
        QStringLiteral("確定"),         QStringLiteral("新しい文"),   QStringLiteral("  前後に空白  "),
        QStringLiteral("abc"),          QStringLiteral("NUL\u0000入り"), QStringLiteral("a;b"),
        QStringLiteral("x=y"),          QStringLiteral("[x"),        QStringLiteral("改行\nあり"),
        QString(QChar(0xd800)) + "孤立", QStringLiteral("絵文字😀"), QStringLiteral("Tab\tinside"),
    };
    const QString path = Path(QStringLiteral("LangTransEnglish.ini"));
    for (ENC enc : {UTF16LE_BOM, UTF8, SJIS}) {
        SCOPED_TRACE(kEncName[enc]);
        WriteBytes(path, Encode(QStringLiteral("[ENGLISH]\r\n確定=OK\r\nABC=Latin\r\n"), enc, true));
        QByteArray afterRun[2];
        for (QByteArray& bytes : afterRun) {
            CMultiLanguageTranslator tr;
            tr.SetTranslation(path, QStringLiteral("ENGLISH"));
            EXPECT_EQ(tr.TranslateText(lookups[0]), QStringLiteral("OK"));
            for (const QString& text : lookups) {
                tr.TranslateText(text);
            }
            bytes = ReadBytes(path);
        }
        EXPECT_EQ(afterRun[1], afterRun[0]);
        QString text;
        ASSERT_TRUE(DecodeAll(afterRun[0], enc, text));
        EXPECT_TRUE(text.contains(QStringLiteral("ABC=Latin\r\n新しい文=\r\n前後に空白=\r\n")));
        EXPECT_TRUE(text.contains(QStringLiteral("改行\\nあり=\r\n")));
        EXPECT_EQ(text.contains(QStringLiteral("絵文字")), enc != SJIS); // Shift-JIS has no emoji
        EXPECT_FALSE(text.contains(QStringLiteral("NUL")));
        EXPECT_FALSE(text.contains(QStringLiteral("孤立")));
    }
}
