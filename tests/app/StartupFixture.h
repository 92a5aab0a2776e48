// A program folder for start-up tests: the translation files beside the
// program, the program file named in lower case as it is on Linux.
#pragma once

#include "AppFixture.h"

#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* pOut)
{
    *pOut << '"' << text.toStdString() << '"';
}

class StartupTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        ASSERT_TRUE(MakeProgramFolder(tmp.path()));
        platform::SetModuleFolderForTest(tmp.path(), QStringLiteral("pixmetra"));
    }

    // The translation files of the source tree, copied so lookups may add to them.
    static bool MakeProgramFolder(const QString& folder)
    {
        QDir().mkpath(folder);
        for (const char* name : {"LangTransEnglish.ini", "LangTransJapanese.ini"}) {
            const QString target = QDir(folder).filePath(QLatin1String(name));
            QFile::remove(target);
            if (!QFile::copy(QStringLiteral(PIXMETRA_SOURCE_DIR "/app/") + QLatin1String(name), target)) {
                return false;
            }
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
        return true;
    }
    // A settings file as the program writes it: UTF-16LE with a byte-order mark.
    static void WriteSettings(const QString& path, const QString& text) { WriteBytes(path, Utf16(text)); }
    static QStringList LogFiles(const QString& folder)
    {
        return QDir(folder + QStringLiteral("/Log")).entryList({QStringLiteral("LogFile-*.txt")}, QDir::Files);
    }
};
