#include "app/UserFolders.h"

#include "platform/ModuleFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <atomic>

namespace {

const QString kOwnFolder = QStringLiteral("pixmetra");
std::atomic<int> g_nWritableForTest{-1};

QString WithSeparator(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(folder));
    return native.endsWith(platform::PathSeparator()) ? native : native + platform::PathSeparator();
}

// The XDG rule: an unset, empty or relative variable means the default below home.
QString XdgBase(const QString& value, const QString& home, const QString& fallback)
{
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : QDir(home).filePath(fallback);
}

} // namespace

bool IsPortableProgramFolder(const QString& programFolder, bool bWritable)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(programFolder));
    const bool bUnderUsr = clean == QStringLiteral("/usr") || clean.startsWith(QStringLiteral("/usr/"));
    return bWritable && !bUnderUsr;
}

USER_FOLDERS ChooseUserFolders(const FOLDER_ENVIRONMENT& env)
{
    USER_FOLDERS f;
    f.bPortable = IsPortableProgramFolder(env.programFolder, env.bProgramFolderWritable);
    if (f.bPortable) {
        f.settings = WithSeparator(env.programFolder);
        f.log = f.settings + QStringLiteral("Log") + platform::PathSeparator();
        f.data = f.settings;
        return f;
    }
    f.settings = WithSeparator(QDir(XdgBase(env.xdgConfigHome, env.home, QStringLiteral(".config"))).filePath(kOwnFolder));
    f.log = WithSeparator(QDir(XdgBase(env.xdgStateHome, env.home, QStringLiteral(".local/state")))
                              .filePath(kOwnFolder + QStringLiteral("/Log")));
    f.data = WithSeparator(env.pictures.isEmpty() ? env.home : env.pictures);
    return f;
}

USER_FOLDERS CurrentUserFolders()
{
    FOLDER_ENVIRONMENT env;
    env.programFolder = platform::GetModuleFolder();
    const int nForced = g_nWritableForTest.load();
    env.bProgramFolderWritable = nForced >= 0 ? nForced != 0 : QFileInfo(env.programFolder).isWritable();
    env.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    env.xdgStateHome = qEnvironmentVariable("XDG_STATE_HOME");
    env.home = QDir::homePath();
    // Read once: the settings path is asked for at every settings access.
    static const QString pictures = [] {
        const QString p = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        return !p.isEmpty() && QFileInfo(p).isDir() ? p : QString();
    }();
    env.pictures = pictures;
    return ChooseUserFolders(env);
}

void SetProgramFolderWritableForTest(int nWritable)
{
    g_nWritableForTest = nWritable;
}

QString CalibrationFolder()
{
    return CurrentUserFolders().settings;
}

bool MakeSettingsFolder()
{
    return QDir().mkpath(CurrentUserFolders().settings);
}

QString FindUserOrInstalledFile(const QString& fileName)
{
    const QString own = CurrentUserFolders().settings + fileName;
    return QFileInfo::exists(own) ? own : platform::GetModuleFolder() + fileName;
}
