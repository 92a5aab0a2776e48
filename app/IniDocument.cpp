#include "app/IniDocument.h"

#include "app/LogFile.h"
#include "platform/AtomicFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

// Text that would come back from the file as one line as it is.
bool ReadsBack(QStringView text)
{
    return !text.contains(QChar(0)) && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
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

CIniDocument CIniDocument::FromBytes(const QByteArray& bytes, const INI_RULES& rules)
{
    CIniDocument doc;
    doc.m_Rules = rules;
    INI_DECODED d = DecodeIni(bytes);
    doc.m_Encoding = d.enc;
    if (!d.problem.isEmpty()) {
        doc.m_Problem = d.problem;
        return doc; // nothing is read from it and nothing written to it
    }
    doc.m_Raw = bytes;
    doc.m_Bom = bytes.isEmpty() ? IniByteOrderMark(d.enc) : bytes.left(d.nBom);
    doc.m_Text = std::move(d.text);
    if (doc.m_Text.contains(QChar(0))) {
        doc.m_Text.replace(QChar(0), QChar(0xfffd)); // never part of a name or a value read back
    }
    doc.Split(d);
    return doc;
}

void CIniDocument::Split(const INI_DECODED& d)
{
    const bool bWide = IsIniWide(m_Encoding);
    const QStringView text = m_Text;
    const char* raw = m_Raw.constData();
    qsizetype t = 0, r = d.nBom;
    bool bEolSeen = false;
    int nSection = -1;
    m_Lines.reserve(size_t(text.count(QLatin1Char('\n')) + 1));
    while (t < text.size()) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), t);
        const qsizetype end = nl < 0 ? text.size() : nl;
        const bool bCr = end > t && text[end - 1] == QLatin1Char('\r');
        LINE line;
        line.text = text.sliced(t, (bCr ? end - 1 : end) - t);
        const qsizetype nEolChars = (nl < 0 ? 0 : 1) + (bCr ? 1 : 0);
        if (bWide) {
            line.nRaw = r;
            line.nRawLen = 2 * line.text.size();
            line.nEolLen = 2 * nEolChars;
        } else {
            // '\n' and '\r' are single bytes of their own in UTF-8 and Shift-JIS.
            const void* p = std::memchr(raw + r, '\n', size_t(d.nUsed - r));
            const qsizetype rEnd = p == nullptr ? d.nUsed : static_cast<const char*>(p) - raw;
            const bool bRawCr = rEnd > r && raw[rEnd - 1] == '\r';
            line.nRaw = r;
            line.nRawLen = (bRawCr ? rEnd - 1 : rEnd) - r;
            line.nEolLen = (p == nullptr ? 0 : 1) + (bRawCr ? 1 : 0);
        }
        r = line.nRaw + line.nRawLen + line.nEolLen;
        if (!bEolSeen && nl >= 0) {
            m_Eol = bCr ? QStringLiteral("\r\n") : QStringLiteral("\n"); // new lines follow the first line end
            bEolSeen = true;
        }
        const int i = int(m_Lines.size());
        QStringView name;
        if (ParseSectionLine(line.text, name)) {
            line.bHeader = true;
            nSection = int(m_Sections.size());
            m_Sections.push_back(SECTION{name, i, i, false, {}, {}});
        } else if (nSection >= 0 && !line.text.trimmed().isEmpty()) {
            m_Sections[size_t(nSection)].nLast = i;
        }
        line.nNext = -1;
        if (i > 0) {
            m_Lines.back().nNext = i;
        }
        m_Lines.push_back(line);
        t = end + 1;
    }
    m_nHead = m_Lines.empty() ? -1 : 0;
    m_nTail = int(m_Lines.size()) - 1;
    m_SectionByHash.reserve(m_Sections.size());
    for (size_t s = 0; s < m_Sections.size(); ++s) {
        m_SectionByHash.emplace_back(FoldedHash(m_Sections[s].name), int(s));
    }
    std::sort(m_SectionByHash.begin(), m_SectionByHash.end());
}

QByteArray CIniDocument::ToBytes() const
{
    QByteArray out;
    out.reserve(m_Raw.size() + qsizetype(m_Own.size()) * 32 + 16);
    out.append(m_Bom);
    const QByteArray eol = m_Rules.bNewLinesCrLf ? *EncodeIni(u"\r\n", m_Encoding) : *EncodeIni(m_Eol, m_Encoding);
    // Runs of lines read and not written are copied as one block.
    qsizetype nRun = 0, nRunLen = 0;
    auto copy = [&](qsizetype at, qsizetype n) {
        if (nRunLen > 0 && nRun + nRunLen == at) {
            nRunLen += n;
            return;
        }
        out.append(m_Raw.constData() + nRun, nRunLen);
        nRun = at;
        nRunLen = n;
    };
    for (int i = m_nHead; i >= 0; i = m_Lines[size_t(i)].nNext) {
        const LINE& line = m_Lines[size_t(i)];
        if (line.nOwn < 0) {
            copy(line.nRaw, line.nRawLen + line.nEolLen);
        } else {
            copy(0, 0);
            out.append(m_Own[size_t(line.nOwn)].bytes);
            copy(line.nRaw + line.nRawLen, line.nEolLen);
        }
        if (line.bAddEol) {
            copy(0, 0);
            out.append(eol);
        }
    }
    copy(0, 0);
    return out;
}

CIniDocument CIniDocument::FromFile(const QString& path, const INI_RULES& rules)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        CIniDocument doc = FromBytes(QByteArray(), rules);
        if (f.exists()) {
            doc.m_Problem = QStringLiteral("cannot be opened"); // a file there is not replaced blindly
            WriteLog(QStringLiteral("[INI]Cannot be opened; defaults used: ") + path);
        }
        return doc;
    }
    CIniDocument doc = FromBytes(f.readAll(), rules);
    if (!doc.IsWritable()) {
        WriteLog(QStringLiteral("[INI]Cannot be read without loss (") + doc.m_Problem +
                 QStringLiteral("); defaults used and the file left as it is: ") + path);
    }
    return doc;
}

int CIniDocument::ToFile(const QString& path) const
{
    if (!IsWritable()) {
        return EPERM;
    }
    return platform::WriteFileAtomically(path, ToBytes()).nError;
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

bool CIniDocument::ParseKeyLine(QStringView line, QStringView& key, QStringView& value) const
{
    if (m_Rules.bCommentAnywhere) {
        const qsizetype semi = line.indexOf(QLatin1Char(';'));
        line = semi < 0 ? line : line.first(semi);
    }
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

CIniDocument::SECTION* CIniDocument::FindSection(QStringView name) const
{
    name = name.trimmed();
    auto matches = [&](int s) {
        const QStringView n = m_Sections[size_t(s)].name;
        return m_Rules.bExactSectionNames ? n == name : SameName(n, name);
    };
    int i = FirstMatch(m_SectionByHash, FoldedHash(name), matches);
    for (size_t a = 0; i < 0 && a < m_AddedSections.size(); ++a) {
        i = matches(m_AddedSections[a]) ? m_AddedSections[a] : -1;
    }
    return i < 0 ? nullptr : &m_Sections[size_t(i)];
}

void CIniDocument::IndexKeys(SECTION& sec) const
{
    if (sec.bIndexed) {
        return;
    }
    sec.bIndexed = true;
    for (int i = m_Lines[size_t(sec.nHeader)].nNext; i >= 0 && !m_Lines[size_t(i)].bHeader;
         i = m_Lines[size_t(i)].nNext) {
        QStringView key, value;
        if (ParseKeyLine(m_Lines[size_t(i)].text, key, value)) {
            sec.byHash.emplace_back(FoldedHash(key), int(sec.keys.size()));
            sec.keys.push_back(KEY_ENTRY{key, value, i});
        }
    }
    std::sort(sec.byHash.begin(), sec.byHash.end());
}

const CIniDocument::KEY_ENTRY* CIniDocument::FindKey(SECTION& sec, QStringView key) const
{
    IndexKeys(sec);
    key = key.trimmed();
    const int i =
        FirstMatch(sec.byHash, FoldedHash(key), [&](int k) { return SameName(sec.keys[size_t(k)].key, key); });
    return i < 0 ? nullptr : &sec.keys[size_t(i)];
}

std::optional<QString> CIniDocument::Value(QStringView section, QStringView key) const
{
    SECTION* pSec = nullptr;
    if (m_nLastSection >= 0 && QStringView(m_LastSectionName) == section) {
        pSec = &m_Sections[size_t(m_nLastSection)];
    } else {
        pSec = FindSection(section);
        if (pSec == nullptr) {
            return std::nullopt; // not remembered: a write may add it
        }
        m_nLastSection = int(pSec - m_Sections.data());
        m_LastSectionName = section.toString();
    }
    const KEY_ENTRY* pKey = FindKey(*pSec, key);
    if (pKey == nullptr) {
        return std::nullopt;
    }
    const LINE& line = m_Lines[size_t(pKey->nLine)];
    if (m_Rules.bUnendedLastLineEmpty && line.nNext < 0 && line.nEolLen == 0 && !line.bAddEol) {
        return QString();
    }
    return pKey->value.toString();
}

int CIniDocument::AddLine(int nAfter, QString text, QByteArray bytes, bool bHeader)
{
    const int i = int(m_Lines.size());
    LINE line;
    line.nOwn = int(m_Own.size());
    m_Own.push_back(OWN_LINE{std::move(text), std::move(bytes)});
    line.text = m_Own.back().text;
    line.bAddEol = true;
    line.bHeader = bHeader;
    if (nAfter < 0) {
        line.nNext = m_nHead;
        m_nHead = i;
    } else {
        LINE& prev = m_Lines[size_t(nAfter)];
        if (prev.nNext < 0 && prev.nEolLen == 0) {
            prev.bAddEol = true; // a last line without its line end gets one first
        }
        line.nNext = prev.nNext;
        prev.nNext = i;
    }
    m_Lines.push_back(line);
    if (nAfter == m_nTail) {
        m_nTail = i;
    }
    return i;
}

void CIniDocument::SetOwnText(int nLine, QString text, QByteArray bytes)
{
    LINE& line = m_Lines[size_t(nLine)];
    if (line.nOwn < 0) {
        line.nOwn = int(m_Own.size());
        m_Own.emplace_back();
    }
    m_Own[size_t(line.nOwn)] = OWN_LINE{std::move(text), std::move(bytes)};
    line.text = m_Own[size_t(line.nOwn)].text;
}

bool CIniDocument::SetValue(QStringView section, QStringView key, QStringView value)
{
    if (!IsWritable()) {
        return false;
    }
    section = section.trimmed();
    key = key.trimmed();
    QString text = key.toString() + QLatin1Char('=') + value.toString();
    const auto bytes = EncodeIni(text, m_Encoding);
    QStringView readKey, readValue;
    if (!bytes || !ReadsBack(text) || !ParseKeyLine(text, readKey, readValue) || readKey != key) {
        return false;
    }
    if (SECTION* pSec = FindSection(section)) {
        if (const KEY_ENTRY* pKey = FindKey(*pSec, key)) {
            KEY_ENTRY& entry = pSec->keys[size_t(pKey - pSec->keys.data())];
            SetOwnText(entry.nLine, std::move(text), *bytes); // replaced in place
            ParseKeyLine(m_Lines[size_t(entry.nLine)].text, entry.key, entry.value);
            return true;
        }
        const int i = AddLine(pSec->nLast, std::move(text), *bytes, false);
        pSec->nLast = i;
        KEY_ENTRY entry{};
        entry.nLine = i;
        ParseKeyLine(m_Lines[size_t(i)].text, entry.key, entry.value);
        const std::pair<uint64_t, int> h(FoldedHash(entry.key), int(pSec->keys.size()));
        pSec->keys.push_back(entry);
        pSec->byHash.insert(std::upper_bound(pSec->byHash.begin(), pSec->byHash.end(), h), h);
        return true;
    }
    const QString header = QLatin1Char('[') + section.toString() + QLatin1Char(']');
    const auto headerBytes = EncodeIni(header, m_Encoding);
    QStringView readName;
    if (!headerBytes || !ReadsBack(header) || !ParseSectionLine(header, readName) || readName != section) {
        return false;
    }
    const int nHeader = AddLine(m_nTail, header, *headerBytes, true);
    const int nKey = AddLine(nHeader, std::move(text), *bytes, false);
    SECTION sec{QStringView(), nHeader, nKey, true, {}, {}};
    ParseSectionLine(m_Lines[size_t(nHeader)].text, sec.name);
    KEY_ENTRY entry{};
    entry.nLine = nKey;
    ParseKeyLine(m_Lines[size_t(nKey)].text, entry.key, entry.value);
    sec.byHash.emplace_back(FoldedHash(entry.key), 0);
    sec.keys.push_back(entry);
    m_AddedSections.push_back(int(m_Sections.size()));
    m_Sections.push_back(std::move(sec));
    m_nLastSection = -1; // pointers into m_Sections may have moved
    return true;
}
