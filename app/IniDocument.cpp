#include "app/IniDocument.h"

#include <algorithm>

namespace {
bool SameName(QStringView a, QStringView b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x == y) {
            continue;
        }
        if (x < 0x80 && y < 0x80) {
            if ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z') {
                return false;
            }
        } else if (QChar(x).toCaseFolded() != QChar(y).toCaseFolded()) {
            return false;
        }
    }
    return true;
}
} // namespace

uint64_t CIniDocument::FoldedHash(QStringView name)
{
    uint64_t h = 1469598103934665603ull;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        const char16_t f = u < 0x80 ? char16_t(u >= 'A' && u <= 'Z' ? u + 32 : u) : c.toCaseFolded().unicode();
        h = (h ^ f) * 1099511628211ull;
    }
    return h;
}

CIniDocument CIniDocument::FromBytes(const QByteArray& bytes)
{
    CIniDocument doc;
    QString text;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xff && uchar(bytes[1]) == 0xfe) {
        doc.m_Encoding = ENC_UTF16LE_BOM;
        // An odd trailing byte is dropped; nothing past the data is read.
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    } else if (bytes.size() >= 3 && uchar(bytes[0]) == 0xef && uchar(bytes[1]) == 0xbb && uchar(bytes[2]) == 0xbf) {
        doc.m_Encoding = ENC_UTF8_BOM;
        text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else {
        doc.m_Encoding = bytes.isEmpty() ? ENC_UTF16LE_BOM : ENC_UTF8;
        text = QString::fromUtf8(bytes);
    }
    if (text.contains(QChar(0))) {
        text.replace(QChar(0), QChar(0xfffd));
    }
    const QString crlf = QStringLiteral("\r\n"), lf = QStringLiteral("\n"), cr = QStringLiteral("\r");
    bool bEolSeen = false;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
        qsizetype end = nl < 0 ? text.size() : nl;
        const bool bCr = end > start && text[end - 1] == QLatin1Char('\r');
        doc.m_Lines.append(text.mid(start, (bCr ? end - 1 : end) - start));
        doc.m_Eols.append(nl < 0 ? (bCr ? cr : QString()) : (bCr ? crlf : lf));
        if (!bEolSeen && nl >= 0) {
            doc.m_Eol = bCr ? crlf : lf; // new lines follow the file's first line end
            bEolSeen = true;
        }
        start = end + 1;
    }
    doc.Reindex();
    return doc;
}

QByteArray CIniDocument::ToBytes() const
{
    QString text;
    for (int i = 0; i < m_Lines.size(); ++i) {
        text += m_Lines[i];
        text += m_Eols[i];
    }
    QByteArray out;
    switch (m_Encoding) {
    case ENC_UTF16LE_BOM:
        out.append(char(0xff)).append(char(0xfe));
        out.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        break;
    case ENC_UTF8_BOM:
        out.append("\xef\xbb\xbf");
        out.append(text.toUtf8());
        break;
    case ENC_UTF8:
        out.append(text.toUtf8());
        break;
    }
    return out;
}

bool CIniDocument::ParseSectionLine(QStringView line, QStringView& name)
{
    const QStringView t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) {
        return false;
    }
    const qsizetype end = t.indexOf(QLatin1Char(']'));
    name = (end < 0 ? t.mid(1) : t.mid(1, end - 1)).trimmed();
    return true;
}

bool CIniDocument::ParseKeyLine(QStringView line, QStringView& key, QStringView& value)
{
    const QStringView t = line.trimmed();
    if (t.isEmpty() || t.front() == QLatin1Char(';') || t.front() == QLatin1Char('[')) {
        return false;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        return false;
    }
    key = t.left(eq).trimmed();
    value = t.mid(eq + 1).trimmed();
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return !key.isEmpty();
}

namespace {
// The entries whose name has hash h, in file order: the first match wins.
template <class FN>
int FirstMatch(const std::vector<std::pair<uint64_t, int>>& index, uint64_t h, FN&& fnMatches)
{
    auto it = std::lower_bound(index.begin(), index.end(), std::pair<uint64_t, int>(h, -1));
    for (; it != index.end() && it->first == h; ++it) {
        if (fnMatches(it->second)) {
            return it->second;
        }
    }
    return -1;
}
} // namespace

const CIniDocument::SECTION* CIniDocument::FindSection(QStringView name) const
{
    name = name.trimmed();
    const int i = FirstMatch(m_SectionByHash, FoldedHash(name),
                             [&](int s) { return SameName(m_Sections[size_t(s)].name, name); });
    return i < 0 ? nullptr : &m_Sections[size_t(i)];
}

const CIniDocument::KEY_ENTRY* CIniDocument::FindKey(const SECTION& sec, QStringView key)
{
    key = key.trimmed();
    const int i = FirstMatch(sec.byHash, FoldedHash(key), [&](int k) { return SameName(sec.keys[size_t(k)].key, key); });
    return i < 0 ? nullptr : &sec.keys[size_t(i)];
}

void CIniDocument::Reindex()
{
    m_nLastSection = -1;
    m_Sections.clear();
    m_SectionByHash.clear();
    SECTION* pCur = nullptr;
    for (int i = 0; i < m_Lines.size(); ++i) {
        const QStringView line = m_Lines[i];
        QStringView name, key, value;
        if (ParseSectionLine(line, name)) {
            // Keys of a later section with the same name are never read.
            pCur = nullptr;
            bool bSeen = false;
            for (const SECTION& sec : m_Sections) {
                bSeen = bSeen || SameName(sec.name, name);
            }
            if (!bSeen) {
                m_Sections.push_back(SECTION{name, i, i, {}, {}});
                pCur = &m_Sections.back();
            }
            continue;
        }
        if (pCur == nullptr) {
            continue;
        }
        if (!line.trimmed().isEmpty()) {
            pCur->nLastLine = i;
        }
        if (ParseKeyLine(line, key, value)) {
            pCur->byHash.emplace_back(FoldedHash(key), int(pCur->keys.size()));
            pCur->keys.push_back(KEY_ENTRY{key, value, i});
        }
    }
    for (size_t s = 0; s < m_Sections.size(); ++s) {
        std::sort(m_Sections[s].byHash.begin(), m_Sections[s].byHash.end());
        m_SectionByHash.emplace_back(FoldedHash(m_Sections[s].name), int(s));
    }
    std::sort(m_SectionByHash.begin(), m_SectionByHash.end());
}

std::optional<QString> CIniDocument::Value(QStringView section, QStringView key) const
{
    const SECTION* pSec = nullptr;
    if (m_nLastSection >= 0 && QStringView(m_LastSectionName) == section) {
        pSec = &m_Sections[size_t(m_nLastSection)];
    } else {
        pSec = FindSection(section);
        m_nLastSection = pSec == nullptr ? -1 : int(pSec - m_Sections.data());
        m_LastSectionName = section.toString();
    }
    if (pSec == nullptr) {
        return std::nullopt;
    }
    const KEY_ENTRY* pKey = FindKey(*pSec, key);
    if (pKey == nullptr) {
        return std::nullopt;
    }
    return pKey->value.toString();
}

void CIniDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    const QString line = key.trimmed() + QLatin1Char('=') + value;
    if (const SECTION* pSec = FindSection(section)) {
        if (const KEY_ENTRY* pKey = FindKey(*pSec, key)) {
            m_Lines[pKey->nLine] = line; // replaced in place
            Reindex();
            return;
        }
        const int at = pSec->nLastLine + 1;
        if (m_Eols[at - 1].isEmpty()) {
            m_Eols[at - 1] = m_Eol; // a last line without its line end gets one first
        }
        m_Lines.insert(at, line);
        m_Eols.insert(at, m_Eol);
    } else {
        if (!m_Eols.isEmpty() && m_Eols.back().isEmpty()) {
            m_Eols.back() = m_Eol;
        }
        m_Lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        m_Eols.append(m_Eol);
        m_Lines.append(line);
        m_Eols.append(m_Eol);
    }
    Reindex();
}
