#include "app/QSFileIni.h"

#include "app/IniDocument.h"
#include "app/UserFolders.h"
#include "platform/ModuleFolder.h"
#include "platform/TextField.h"


#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

namespace {

struct CACHED_FILE {
    CIniDocument doc;
    bool bExists = false;
    qint64 nSize = -1;
    qint64 nStamp = 0;
    int nBatchDepth = 0;
    bool bDirty = false;
    int nFailure = 0; // the first failure of the batch: a system error number
};

std::mutex g_CacheMutex;
std::map<QString, CACHED_FILE> g_Cache;
std::mutex g_HandlerMutex;
CQSFileIni::WriteFailureHandler g_WriteFailureHandler;

// Called with no lock held: the handler may show a window whose event loop
// writes settings again.
void ReportFailure(const QString& path, int nError)
{
    CQSFileIni::WriteFailureHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_HandlerMutex);
        handler = g_WriteFailureHandler;
    }
    if (nError != 0 && handler) {
        handler(path, nError);
    }
}

// Why SetValue refused: a document that cannot be rewritten, or a value the
// file cannot hold.
int RefusalError(const CIniDocument& doc)
{
    return doc.IsWritable() ? EILSEQ : EPERM;
}

void Stamp(const QString& path, bool& bExists, qint64& nSize, qint64& nStamp)
{
    std::error_code ec;
#ifdef _WIN32
    const std::filesystem::path p(path.toStdWString());
#else
    const std::filesystem::path p(path.toStdString());
#endif
    bExists = std::filesystem::is_regular_file(p, ec);
    nSize = bExists ? qint64(std::filesystem::file_size(p, ec)) : -1;
    nStamp = bExists ? qint64(std::filesystem::last_write_time(p, ec).time_since_epoch().count()) : 0;
}

// The cached document of a file, re-read when the file changed. Call with the lock held.
CACHED_FILE& Load(const QString& path)
{
    CACHED_FILE& c = g_Cache[path];
    if (c.nBatchDepth > 0) {
        return c; // the batch's pending content is the truth until it is written
    }
    bool bExists = false;
    qint64 nSize = -1, nStamp = 0;
    Stamp(path, bExists, nSize, nStamp);
    if (bExists == c.bExists && nSize == c.nSize && nStamp == c.nStamp && (bExists || c.nSize == -1)) {
        return c;
    }
    c.bExists = bExists;
    c.nSize = nSize;
    c.nStamp = nStamp;
    c.doc = CIniDocument::FromFile(path);
    return c;
}

int Flush(const QString& path, CACHED_FILE& c)
{
    const int nError = c.doc.ToFile(path);
    if (nError != 0) {
        c.nSize = -2; // force a re-read of what is really on disk
        return nError;
    }
    Stamp(path, c.bExists, c.nSize, c.nStamp);
    return 0;
}

int WriteLocked(const QString& path, const QString& section, const QString& key, const QString& value)
{
    std::lock_guard<std::mutex> lock(g_CacheMutex);
    CACHED_FILE& c = Load(path);
    if (!c.doc.SetValue(section, key, value)) {
        const int nError = RefusalError(c.doc);
        if (c.nBatchDepth > 0) {
            c.nFailure = c.nFailure != 0 ? c.nFailure : nError;
            return -1; // told at the batch's end
        }
        return nError;
    }
    if (c.nBatchDepth > 0) {
        c.bDirty = true;
        return 0;
    }
    return Flush(path, c);
}

bool Write(const QString& path, const QString& section, const QString& key, const QString& value)
{
    if (path.isEmpty() || section.trimmed().isEmpty() || key.trimmed().isEmpty()) {
        return false;
    }
    const int nError = WriteLocked(path, section, key, value);
    if (nError > 0) {
        ReportFailure(path, nError);
    }
    return nError == 0;
}

std::optional<QString> Read(const QString& path, const QString& section, const QString& key)
{
    if (path.isEmpty()) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(g_CacheMutex);
    return Load(path).doc.Value(section, key);
}

bool ParseDouble(const QString& text, double& out)
{
    const QByteArray utf8 = text.trimmed().toUtf8();
    if (utf8.isEmpty()) {
        return false;
    }
    const char* first = utf8.constData();
    const char* last = first + utf8.size();
    if (*first == '+') {
        ++first;
    }
    const auto res = std::from_chars(first, last, out, std::chars_format::general);
    return res.ec == std::errc() && std::isfinite(out);
}

} // namespace

QString FormatFixed(double dValue, int nPlaces)
{
    char buf[512];
    const int n = std::snprintf(buf, sizeof(buf), "%.*f", nPlaces < 0 ? 0 : (nPlaces > 30 ? 30 : nPlaces), dValue);
    return QString::fromLatin1(buf, n > 0 && n < int(sizeof(buf)) ? n : 0);
}

CQSFileIni::CQSFileIni(const QString& path, BOOL bRelative)
{
    const QString folder = CurrentUserFolders().settings;
    if (path.isEmpty()) {
        m_Path = folder + QStringLiteral("Pixmetra.ini");
    } else {
        m_Path = bRelative ? folder + platform::NativePath(path) : platform::NativePath(path);
    }
}

QString CQSFileIni::GetModuleFolder(QString* pBaseName)
{
    if (pBaseName != nullptr) {
        *pBaseName = platform::GetModuleBaseName();
    }
    return platform::GetModuleFolder();
}

bool CQSFileIni::HasKey(const QString& section, const QString& key) const
{
    return Read(m_Path, section, key).has_value();
}

int32_t CQSFileIni::ReadInt(const QString& section, const QString& key, int32_t nDefault) const
{
    const auto v = Read(m_Path, section, key);
    if (!v) {
        return nDefault;
    }
    const QString t = v->trimmed();
    int i = 0;
    bool bNeg = false;
    if (i < t.size() && t[i] == QLatin1Char('-')) {
        bNeg = true;
        ++i;
    }
    int64_t n = 0;
    for (; i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i) {
        n = n * 10 + (t[i].unicode() - '0');
        if (n > int64_t(1) << 32) {
            n = int64_t(1) << 32; // saturate; the clamp below keeps it in range
        }
    }
    n = bNeg ? -n : n;
    return int32_t(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
}

BOOL CQSFileIni::ReadBool(const QString& section, const QString& key, BOOL bDefault) const
{
    const QString def = bDefault ? QStringLiteral("True") : QStringLiteral("False");
    return ReadString(section, key, def, 12) == QLatin1String("True") ? TRUE : FALSE;
}

QString CQSFileIni::ReadString(const QString& section, const QString& key, const QString& def, int nBufferSize) const
{
    const auto v = Read(m_Path, section, key);
    QString s = v ? *v : def;
    if (nBufferSize < 1) {
        return QString();
    }
    s.truncate(qsizetype(TextCutLength(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()),
                                       size_t(nBufferSize - 1))));
    return s;
}

namespace {
// v rounded as "%.*f" with nPlaces would write it.
double RoundToPlaces(double v, int nPlaces)
{
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::fixed, std::clamp(nPlaces, 0, 30));
    double out = v;
    if (res.ec == std::errc()) {
        std::from_chars(buf, res.ptr, out);
    }
    return out;
}
} // namespace

double CQSFileIni::ReadDouble(const QString& section, const QString& key, double dDefault, int nPlaces) const
{
    const auto text = Read(m_Path, section, key);
    double v = dDefault;
    if (text && !ParseDouble(text->left(99), v)) {
        return dDefault; // text that is no number keeps the value it had
    }
    return RoundToPlaces(v, nPlaces);
}

double CQSFileIni::ReadExactDouble(const QString& section, const QString& key, double dDefault) const
{
    const auto v = Read(m_Path, section, key);
    double out = 0.0;
    return (v && ParseDouble(*v, out)) ? out : dDefault;
}

BOOL CQSFileIni::WriteInt(const QString& section, const QString& key, int32_t nValue) const
{
    return Write(m_Path, section, key, QString::number(nValue)) ? TRUE : FALSE;
}

BOOL CQSFileIni::WriteBool(const QString& section, const QString& key, BOOL bValue) const
{
    return Write(m_Path, section, key, bValue ? QStringLiteral("True") : QStringLiteral("False")) ? TRUE : FALSE;
}

BOOL CQSFileIni::WriteString(const QString& section, const QString& key, const QString& value) const
{
    // A line break would end the value early and turn the rest into other keys.
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Write(m_Path, section, key, v) ? TRUE : FALSE;
}

BOOL CQSFileIni::WriteDouble(const QString& section, const QString& key, double dValue, int nPlaces) const
{
    return Write(m_Path, section, key, FormatFixed(dValue, nPlaces)) ? TRUE : FALSE;
}

BOOL CQSFileIni::WriteExactDouble(const QString& section, const QString& key, double dValue) const
{
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof(buf), dValue, std::chars_format::fixed);
    if (res.ec != std::errc()) {
        return WriteDouble(section, key, dValue, 17);
    }
    return Write(m_Path, section, key, QString::fromLatin1(buf, int(res.ptr - buf))) ? TRUE : FALSE;
}

void CQSFileIni::BeginBatch(const QString& path)
{
    std::lock_guard<std::mutex> lock(g_CacheMutex);
    CACHED_FILE& c = Load(path);
    if (c.nBatchDepth++ == 0) {
        c.bDirty = false;
        c.nFailure = 0;
    }
}

BOOL CQSFileIni::EndBatch(const QString& path)
{
    int nFailure = 0;
    {
        std::lock_guard<std::mutex> lock(g_CacheMutex);
        CACHED_FILE& c = g_Cache[path];
        if (c.nBatchDepth == 0) {
            return FALSE;
        }
        if (--c.nBatchDepth > 0) {
            return c.nFailure != 0 ? FALSE : TRUE;
        }
        nFailure = c.nFailure;
        if (c.bDirty) {
            const int nError = Flush(path, c);
            nFailure = nFailure != 0 ? nFailure : nError;
        }
        c.bDirty = false;
        c.nFailure = 0;
    }
    ReportFailure(path, nFailure);
    return nFailure == 0 ? TRUE : FALSE;
}

void CQSFileIni::SetWriteFailureHandler(WriteFailureHandler handler)
{
    std::lock_guard<std::mutex> lock(g_HandlerMutex);
    g_WriteFailureHandler = std::move(handler);
}

void CQSFileIni::DropCache()
{
    std::lock_guard<std::mutex> lock(g_CacheMutex);
    for (auto it = g_Cache.begin(); it != g_Cache.end();) {
        it = it->second.nBatchDepth > 0 ? std::next(it) : g_Cache.erase(it);
    }
}
