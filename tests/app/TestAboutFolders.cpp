// The version box tells where the settings file and the log are, beside the
// program or in the user's folders.
#include "DialogFixture.h"

#include "app/SystemSetting.h"
#include "app/UserFolders.h"
#include "app/dialogs/AboutDlg.h"

#include <QLineEdit>

TEST_F(DialogTest, VersionBoxShowsTheFoldersInUse)
{
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_CONFIG_HOME", (tmp.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_STATE_HOME", (tmp.path() + QStringLiteral("/state")).toUtf8());
    for (const int nWritable : {1, 0}) {
        SetProgramFolderWritableForTest(nWritable);
        CAboutDlg about;
        Show(about);
        const QString settings = qobject_cast<QLineEdit*>(about.GetDlgItem(CAboutDlg::IDC_EDIT_SETTINGS_FILE))->text();
        const QString logFolder = qobject_cast<QLineEdit*>(about.GetDlgItem(CAboutDlg::IDC_EDIT_LOG_FOLDER))->text();
        const QString expected = nWritable ? QCoreApplication::applicationDirPath() + QStringLiteral("/Pixmetra.ini")
                                           : tmp.path() + QStringLiteral("/config/pixmetra/Pixmetra.ini");
        EXPECT_EQ(settings, expected);
        EXPECT_EQ(logFolder, nWritable ? QCoreApplication::applicationDirPath() + QStringLiteral("/Log/")
                                       : tmp.path() + QStringLiteral("/state/pixmetra/Log/"));
        about.reject();
    }
    SetProgramFolderWritableForTest(-1);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
    oldState.isNull() ? qunsetenv("XDG_STATE_HOME") : qputenv("XDG_STATE_HOME", oldState);
}
