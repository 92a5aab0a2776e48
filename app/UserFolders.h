// Where the program keeps what it writes. A program folder the user may write
// to (a portable folder, the build folder) holds Pixmetra.ini and Log/ beside
// the program. An installed program never writes beside itself: its settings
// go to $XDG_CONFIG_HOME/pixmetra/, its log to $XDG_STATE_HOME/pixmetra/Log/,
// and pictures, videos and exports start in the user's Pictures folder.
// Every folder ends with a separator.
#pragma once

#include <QString>

struct USER_FOLDERS {
    bool bPortable = false;
    QString settings; // where Pixmetra.ini and the user's own translation files live
    QString log;      // the log files
    QString data;     // where file dialogs start when nothing else is known
};

// What the decision needs from the outside, so it can be tried with any answer.
struct FOLDER_ENVIRONMENT {
    QString programFolder;
    bool bProgramFolderWritable = false;
    QString xdgConfigHome; // as set; empty or relative means the default
    QString xdgStateHome;
    QString home;
    QString pictures; // empty when the user has no Pictures folder
};

// A program folder is portable when it is writable and not under /usr: a
// program installed there must leave the folder as the package made it, even
// when it runs as root, for whom every folder is writable.
bool IsPortableProgramFolder(const QString& programFolder, bool bWritable);
USER_FOLDERS ChooseUserFolders(const FOLDER_ENVIRONMENT& env);

// The folders of this process, from its program folder and environment.
USER_FOLDERS CurrentUserFolders();
// Lets tests answer "is the program folder writable" in place of the file
// system (root may write anywhere); 0 no, 1 yes, -1 asks the file system again.
void SetProgramFolderWritableForTest(int nWritable);
// Where the calibration file dialogs start: the user's own files, beside the settings.
QString CalibrationFolder();
// Creates the settings folder when missing; false when it cannot be made.
bool MakeSettingsFolder();
// A file the program reads and may extend (a translation file): the user's
// copy in the settings folder when there is one, else the one beside the program.
QString FindUserOrInstalledFile(const QString& fileName);
