// A temporary program folder for tests that read or write files beside the program.
#pragma once

#include "TestFiles.h"
#include "app/QSFileIni.h"
#include "platform/ModuleFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        platform::SetModuleFolderForTest(tmp.path(), QStringLiteral("Pixmetra"));
        CQSFileIni::DropCache();
    }
    void TearDown() override
    {
        platform::SetModuleFolderForTest(QString());
        CQSFileIni::DropCache();
    }
    QString Path(const QString& name) const { return QDir(tmp.path()).filePath(name); }
    static void WriteBytes(const QString& path, const QByteArray& bytes) { testfiles::WriteBytes(path, bytes); }
    static QByteArray ReadBytes(const QString& path) { return testfiles::ReadBytes(path); }
    static QByteArray Utf16(const QString& text) { return testfiles::Utf16(text); }
    static QString DecodeUtf16(const QByteArray& b)
    {
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData() + 2), (b.size() - 2) / 2);
    }
    QTemporaryDir tmp;
};
