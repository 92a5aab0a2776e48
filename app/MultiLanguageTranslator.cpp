#include "app/MultiLanguageTranslator.h"

#include "app/LogFile.h"
#include "app/StringTable.h"

#include <atomic>

namespace {

std::atomic<CMultiLanguageTranslator*> g_pTranslator{nullptr};

// The translation files' own departures from the profile rules.
constexpr INI_RULES kTranslationRules{.bExactSectionNames = true,
                                      .bCommentAnywhere = true,
                                      .bUnendedLastLineEmpty = true,
                                      .bNewLinesCrLf = true};

} // namespace

void SetProgramTranslator(CMultiLanguageTranslator* pTranslator)
{
    g_pTranslator = pTranslator;
}

CMultiLanguageTranslator* GetProgramTranslator()
{
    return g_pTranslator;
}

QString GetProgramString(UINT nID)
{
    CMultiLanguageTranslator* p = g_pTranslator;
    if (p != nullptr) {
        return p->GetString(nID);
    }
    const char16_t* psz = LoadStringTable(nID);
    return psz != nullptr ? QString::fromUtf16(psz) : QString();
}

QString TranslateProgramText(const QString& text)
{
    CMultiLanguageTranslator* p = g_pTranslator;
    return p != nullptr ? p->TranslateText(text) : text;
}

// ---------------------------------------------------------------------------

bool CMultiLanguageIniFileAccess::IsStorableKey(const QString& key)
{
    return !key.isEmpty() && !key.contains(QLatin1Char(';')) && !key.contains(QLatin1Char('=')) &&
           !key.contains(QLatin1Char('\r')) && !key.contains(QLatin1Char('\n')) && !key.contains(QChar(0)) &&
           !key.startsWith(QLatin1Char('[')) && !key.contains(QLatin1Char(']')) && QStringView(key).isValidUtf16();
}

void CMultiLanguageIniFileAccess::Load(const QString& path)
{
    m_Doc = CIniDocument::FromFile(path, kTranslationRules);
    m_CachedPath = path;
    m_bCached = true;
}

BOOL CMultiLanguageIniFileAccess::ReadValue(const QString& path, const QString& section, const QString& key,
                                            QString& out)
{
    if (!m_bCached || m_CachedPath != path) {
        Load(path);
    }
    const auto v = m_Doc.Value(section, key);
    if (!v) {
        return FALSE;
    }
    out = *v;
    return TRUE;
}

void CMultiLanguageIniFileAccess::DropCache()
{
    m_bCached = false;
    m_Doc = CIniDocument();
}

BOOL CMultiLanguageIniFileAccess::WriteValue(const QString& path, const QString& section, const QString& key,
                                             const QString& value)
{
    if (!IsStorableKey(key.trimmed()) || section.isEmpty() || value.contains(QLatin1Char('\n'))) {
        return FALSE;
    }
    if (m_bCached && m_CachedPath == path && !m_Doc.IsWritable()) {
        return FALSE; // already known not to be rewritable; read again only when asked to
    }
    Load(path); // another program may have changed it since it was read
    const auto stored = m_Doc.Value(section, key);
    if (stored && (*stored == value || value.isEmpty())) {
        return TRUE; // nothing to change
    }
    if (!m_Doc.SetValue(section, key, value) || m_Doc.ToFile(path) != 0) {
        DropCache();
        return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------

void CMultiLanguageTranslator::SetTranslation(const QString& path, const QString& languageName, bool bExtend)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_FilePath = path;
    m_LanguageName = languageName;
    m_bExtend = bExtend;
    m_FileAccess.DropCache();
}

QString CMultiLanguageTranslator::GetFilePath() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_FilePath;
}

QString CMultiLanguageTranslator::GetString(UINT nID)
{
    const char16_t* psz = LoadStringTable(nID);
    const QString text = psz != nullptr ? QString::fromUtf16(psz) : QString();
    return TranslateText(text);
}

QString CMultiLanguageTranslator::TranslateText(const QString& text)
{
    if (text.isEmpty()) {
        return QString();
    }
    if (text == QStringLiteral("µm")) {
        return text;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_FilePath.isEmpty() || m_LanguageName.isEmpty()) {
        return text;
    }
    QString key = text.trimmed();
    key.remove(QLatin1Char('\r'));
    key.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    QString result = key;
    if (CMultiLanguageIniFileAccess::IsStorableKey(key)) {
        QString value;
        if (m_FileAccess.ReadValue(m_FilePath, m_LanguageName, key, value)) {
            if (!value.isEmpty()) {
                result = value;
            }
        } else if (m_bExtend) {
            m_FileAccess.WriteValue(m_FilePath, m_LanguageName, key, QString());
        }
    }
    result.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return result;
}
