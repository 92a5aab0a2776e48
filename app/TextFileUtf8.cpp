#include "app/TextFileUtf8.h"

#include "platform/ModuleFolder.h"

CTextFileUtf8::~CTextFileUtf8()
{
    Close();
}

BOOL CTextFileUtf8::Open(const QString& path, const QString& mode)
{
    Close();
    m_File.setFileName(platform::NativePath(path));
    const bool bAppend = mode.trimmed().startsWith(QLatin1Char('a'));
    m_bOpen = m_File.open(bAppend ? (QIODevice::WriteOnly | QIODevice::Append)
                                  : (QIODevice::WriteOnly | QIODevice::Truncate))
                  ? TRUE
                  : FALSE;
    if (m_bOpen && m_File.size() == 0 && m_File.write("\xef\xbb\xbf", 3) != 3) {
        m_File.close();
        m_bOpen = FALSE;
    }
    return m_bOpen;
}

BOOL CTextFileUtf8::WriteLine(const QString& text)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return FALSE;
    }
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toUtf8();
    return (m_File.write(bytes) == bytes.size() && m_File.flush()) ? TRUE : FALSE;
}

BOOL CTextFileUtf8::SeekToEnd()
{
    return (m_bOpen && m_File.seek(m_File.size())) ? TRUE : FALSE;
}

BOOL CTextFileUtf8::WriteString(const QString& text)
{
    if (!m_bOpen) {
        return FALSE;
    }
    const QByteArray bytes = text.toUtf8();
    return m_File.write(bytes) == bytes.size() ? TRUE : FALSE;
}

BOOL CTextFileUtf8::Close()
{
    if (!m_bOpen) {
        return TRUE;
    }
    const bool bFlushed = m_File.flush();
    const bool bOk = bFlushed && m_File.error() == QFileDevice::NoError;
    m_File.close();
    m_bOpen = FALSE;
    return bOk ? TRUE : FALSE;
}
