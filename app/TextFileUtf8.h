// A UTF-8 text file written line by line; lines from several threads never
// interleave. Every write reports whether it reached the file.
#pragma once

#include "platform/WinTypes.h"

#include <QFile>
#include <QString>

#include <mutex>

class CTextFileUtf8 {
public:
    CTextFileUtf8() = default;
    ~CTextFileUtf8();
    CTextFileUtf8(const CTextFileUtf8&) = delete;
    CTextFileUtf8& operator=(const CTextFileUtf8&) = delete;

    // mode "w" creates or truncates (with the UTF-8 byte-order mark), "a" appends.
    BOOL Open(const QString& path, const QString& mode = QStringLiteral("w"));
    // The text and a CR LF line end, flushed.
    BOOL WriteLine(const QString& text);
    BOOL SeekToEnd();
    // The text as it is, unflushed.
    BOOL WriteString(const QString& text);
    BOOL IsOpen() const { return m_bOpen; }
    BOOL Close();

private:
    QFile m_File;
    BOOL m_bOpen = FALSE;
    std::mutex m_Mutex;
};
