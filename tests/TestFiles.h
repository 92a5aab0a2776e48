// Whole-file reads and writes for tests that prepare or check files byte by byte.
#pragma once

#include "app/QSFileIni.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace testfiles {

// Replaces the file; the settings cache is dropped so the program reads it anew.
inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    CQSFileIni::DropCache();
}

// The file's bytes, or empty when it cannot be read.
inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// UTF-16LE with a byte-order mark, as the program writes its settings.
inline QByteArray Utf16(const QString& text)
{
    QByteArray b("\xff\xfe", 2);
    b.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return b;
}

} // namespace testfiles
