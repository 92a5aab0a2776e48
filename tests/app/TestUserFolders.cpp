// Where settings, logs and pictures go for a portable and an installed program.
#include "AppFixture.h"
#include "app/SystemSetting.h"
#include "app/UserFolders.h"

#include <QFile>

#include <unistd.h>

namespace {

struct PORTABLE_CASE {
    const char* pFolder;
    bool bWritable;
    bool bPortable;
};

TEST(UserFolderChoice, ProgramFolderIsPortableOnlyWhenWritableAndOutsideUsr)
{
    const PORTABLE_CASE cases[] = {
        {"/home/ann/pixmetra/", true, true},     {"/home/ann/pixmetra/", false, false},
        {"/usr/lib/pixmetra/", true, false},     {"/usr/lib/pixmetra", false, false},
        {"/usr", true, false},                   {"/usr/local/lib/pixmetra/", true, false},
        {"/usrdata/pixmetra/", true, true},      {"/opt/pixmetra/", true, true},
        {"/usr/lib/../../home/a/p/", true, true},
    };
    for (const PORTABLE_CASE& c : cases) {
        EXPECT_EQ(IsPortableProgramFolder(QLatin1String(c.pFolder), c.bWritable), c.bPortable) << c.pFolder;
    }
}

struct CHOICE_CASE {
    const char* pName;
    FOLDER_ENVIRONMENT env;
    const char* pSettings;
    const char* pLog;
    const char* pData;
};

TEST(UserFolderChoice, FoldersFollowPortabilityAndXdgVariables)
{
    const QString home = QStringLiteral("/home/ann");
    const QString pics = QStringLiteral("/home/ann/Bilder");
    const CHOICE_CASE cases[] = {
        {"portable", {QStringLiteral("/home/ann/pix/"), true, QStringLiteral("/x"), QStringLiteral("/y"), home, pics},
         "/home/ann/pix/", "/home/ann/pix/Log/", "/home/ann/pix/"},
        {"installed, XDG unset", {QStringLiteral("/usr/lib/pixmetra/"), true, {}, {}, home, pics},
         "/home/ann/.config/pixmetra/", "/home/ann/.local/state/pixmetra/Log/", "/home/ann/Bilder/"},
        {"read-only, XDG set", {QStringLiteral("/opt/pix/"), false, QStringLiteral("/cfg"), QStringLiteral("/st/"), home, pics},
         "/cfg/pixmetra/", "/st/pixmetra/Log/", "/home/ann/Bilder/"},
        {"relative XDG is ignored, no Pictures",
         {QStringLiteral("/usr/lib/pixmetra/"), false, QStringLiteral("cfg"), QStringLiteral("st"), home, {}},
         "/home/ann/.config/pixmetra/", "/home/ann/.local/state/pixmetra/Log/", "/home/ann/"},
    };
    for (const CHOICE_CASE& c : cases) {
        const USER_FOLDERS f = ChooseUserFolders(c.env);
        EXPECT_EQ(f.settings, QLatin1String(c.pSettings)) << c.pName;
        EXPECT_EQ(f.log, QLatin1String(c.pLog)) << c.pName;
        EXPECT_EQ(f.data, QLatin1String(c.pData)) << c.pName;
    }
}

// A program folder the user may not write to, with the user's folders in
// temporary places. Root may write anywhere, so there the answer is given.
class ReadOnlyProgramFolderTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        ASSERT_TRUE(user.isValid());
        m_OldHome = qgetenv("HOME");
        m_OldConfig = qgetenv("XDG_CONFIG_HOME");
        m_OldState = qgetenv("XDG_STATE_HOME");
        qputenv("HOME", user.path().toUtf8());
        qunsetenv("XDG_STATE_HOME");
        WriteBytes(Path(QStringLiteral("LangTransEnglish.ini")), Utf16(QStringLiteral("[ENGLISH]\r\n")));
        QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther);
        if (::geteuid() == 0) {
            SetProgramFolderWritableForTest(0);
        }
    }
    void TearDown() override
    {
        SetProgramFolderWritableForTest(-1);
        QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Restore("HOME", m_OldHome);
        Restore("XDG_CONFIG_HOME", m_OldConfig);
        Restore("XDG_STATE_HOME", m_OldState);
        ProgramFolderTest::TearDown();
    }
    static void Restore(const char* pName, const QByteArray& value)
    {
        if (value.isNull()) {
            qunsetenv(pName);
        } else {
            qputenv(pName, value);
        }
    }
    QString User(const QString& rel) const { return QDir(user.path()).filePath(rel); }
    QStringList ProgramFolderEntries() const { return QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    QTemporaryDir user;
    QByteArray m_OldHome, m_OldConfig, m_OldState;
};

TEST_F(ReadOnlyProgramFolderTest, SettingsAndLogGoToTheUsersFoldersWithOrWithoutXdgConfigHome)
{
    const QStringList before = ProgramFolderEntries();
    for (const bool bXdgSet : {false, true}) {
        const QString config = bXdgSet ? User(QStringLiteral("elsewhere")) : User(QStringLiteral(".config"));
        if (bXdgSet) {
            qputenv("XDG_CONFIG_HOME", config.toUtf8());
        } else {
            qunsetenv("XDG_CONFIG_HOME");
        }
        CQSFileIni::DropCache();
        ASSERT_TRUE(MakeSettingsFolder());
        SYSTEM_SETTING s;
        LoadSystemSetting(s);
        s.LanguageKind = 1;
        ASSERT_TRUE(SaveSystemSetting(s));
        const QString ini = config + QStringLiteral("/pixmetra/Pixmetra.ini");
        EXPECT_EQ(SystemSettingPath(), ini);
        SYSTEM_SETTING again;
        LoadSystemSetting(again);
        EXPECT_EQ(again.LanguageKind, 1) << ini.toStdString();
        EXPECT_EQ(again.SaveLogFolderPath, User(QStringLiteral(".local/state/pixmetra/Log/")));
    }
    EXPECT_EQ(ProgramFolderEntries(), before);
}

TEST_F(ReadOnlyProgramFolderTest, TheUsersOwnFilesComeFirstAndAreNotOverwritten)
{
    qunsetenv("XDG_CONFIG_HOME");
    const QString own = User(QStringLiteral(".config/pixmetra/"));
    EXPECT_EQ(FindUserOrInstalledFile(QStringLiteral("LangTransEnglish.ini")), Path(QStringLiteral("LangTransEnglish.ini")));
    ASSERT_TRUE(QDir().mkpath(own));
    const QByteArray settings = Utf16(QStringLiteral("[LanguageSetting]\r\nLanguageKind=1\r\n[LogSetting]\r\nSaveLogDays=30\r\n"));
    WriteBytes(own + QStringLiteral("Pixmetra.ini"), settings);
    WriteBytes(own + QStringLiteral("LangTransEnglish.ini"), Utf16(QStringLiteral("[ENGLISH]\r\n")));

    ASSERT_TRUE(MakeSettingsFolder());
    SYSTEM_SETTING s;
    LoadSystemSetting(s);
    EXPECT_EQ(s.LanguageKind, 1);
    EXPECT_EQ(s.SaveLogDays, 30);
    EXPECT_EQ(ReadBytes(own + QStringLiteral("Pixmetra.ini")), settings);
    EXPECT_EQ(FindUserOrInstalledFile(QStringLiteral("LangTransEnglish.ini")), own + QStringLiteral("LangTransEnglish.ini"));
    EXPECT_EQ(CalibrationFolder(), own);
}

} // namespace
