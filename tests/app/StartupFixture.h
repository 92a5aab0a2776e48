// A program folder for start-up tests: the translation files beside the
// program, the program file named in lower case as it is on Linux.
#pragma once

#include "TestFiles.h"
#include "app/QSFileIni.h"
#include "platform/ModuleFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* pOut)
{
    *pOut << '"' << text.toStdString() << '"';
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_TRUE(MakeProgramFolder(tmp.path()));
        platform::SetModuleFolderForTest(tmp.path(), QStringLiteral("pixmetra"));
        CQSFileIni::DropCache();
    }
    void TearDown() override
    {
        platform::SetModuleFolderForTest(QString());
        CQSFileIni::DropCache();
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
    static void WriteSettings(const QString& path, const QString& text)
    {
        testfiles::WriteBytes(path, testfiles::Utf16(text));
    }
    static QByteArray ReadBytes(const QString& path) { return testfiles::ReadBytes(path); }
    static QStringList LogFiles(const QString& folder)
    {
        return QDir(folder + QStringLiteral("/Log")).entryList({QStringLiteral("LogFile-*.txt")}, QDir::Files);
    }
    QString Path(const QString& name) const { return QDir(tmp.path()).filePath(name); }

    QTemporaryDir tmp;
};
