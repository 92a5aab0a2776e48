#include "app/MultiLanguageTranslator.h"

#include "app/LogFile.h"
#include "app/StringTable.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <atomic>

namespace {

std::atomic<CMultiLanguageTranslator*> g_pTranslator{nullptr};

QString Fold(const QString& s)
{
    return s.trimmed().toCaseFolded();
}

// Splits text into lines that keep their own line ends.
QStringList SplitKeepingEnds(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = lf < 0 ? text.size() : lf + 1;
        lines.append(text.mid(start, end - start));
        start = end;
    }
    return lines;
}

QString WithoutComment(const QString& line)
{
    const qsizetype semi = line.indexOf(QLatin1Char(';'));
    QString s = semi < 0 ? line : line.left(semi);
    s.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).remove(QChar(0));
    return s;
}

// The section name of a line "[name]", else null.
QString SectionOf(const QString& line)
{
    const QString s = WithoutComment(line).trimmed();
    if (!s.startsWith(QLatin1Char('['))) {
        return QString();
    }
    const qsizetype end = s.indexOf(QLatin1Char(']'));
    return end < 0 ? QString() : s.mid(1, end - 1).trimmed();
}

bool KeyOf(const QString& line, QString& key, QString& value, bool& bEndsSection)
{
    const QString s = WithoutComment(line);
    const qsizetype eq = s.indexOf(QLatin1Char('='));
    const QString head = eq < 0 ? s : s.left(eq);
    bEndsSection = head.contains(QLatin1Char('[')) || head.contains(QLatin1Char(']'));
    if (bEndsSection || eq < 0) {
        return false;
    }
    key = head.trimmed();
    // A matching key on a last line without its line end reads as empty.
    value = line.endsWith(QLatin1Char('\n')) ? s.mid(eq + 1).trimmed() : QString();
    return true;
}

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
           !key.contains(QLatin1Char('\r')) && !key.contains(QLatin1Char('\n')) &&
           !key.startsWith(QLatin1Char('[')) && !key.contains(QLatin1Char(']'));
}

bool CMultiLanguageIniFileAccess::LoadFile(const QString& path, QString& content, Encoding& enc) const
{
    content.clear();
    enc = ENC_UTF16LE_BOM;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray b = f.readAll();
    if (b.isEmpty()) {
        return false;
    }
    if (b.size() >= 2 && uchar(b[0]) == 0xff && uchar(b[1]) == 0xfe) {
        enc = ENC_UTF16LE_BOM;
        if (b.size() % 2 != 0) {
            WriteLog(QStringLiteral("[TRANSLATOR]ReadValue() odd byte count, last byte ignored: ") + path);
        }
        QStringDecoder dec(QStringDecoder::Utf16LE);
        content = dec.decode(QByteArrayView(b).sliced(2, (b.size() - 2) & ~qsizetype(1)));
    } else if (b.size() >= 3 && uchar(b[0]) == 0xef && uchar(b[1]) == 0xbb && uchar(b[2]) == 0xbf) {
        enc = ENC_UTF8_BOM;
        content = QString::fromUtf8(b.constData() + 3, b.size() - 3);
    } else {
        // No byte-order mark: UTF-16 if every other byte is mostly zero, else UTF-8.
        int nOddZero = 0;
        for (qsizetype i = 1; i < b.size(); i += 2) {
            nOddZero += b[i] == 0;
        }
        if (b.size() >= 2 && nOddZero * 2 >= b.size() / 2) {
            enc = ENC_UTF16LE;
            QStringDecoder dec(QStringDecoder::Utf16LE);
            content = dec.decode(QByteArrayView(b).first(b.size() & ~qsizetype(1)));
        } else {
            enc = ENC_UTF8;
            content = QString::fromUtf8(b);
        }
        WriteLog(QStringLiteral("[TRANSLATOR]ReadValue() no byte-order mark: ") + path);
    }
    return true;
}

void CMultiLanguageIniFileAccess::Index(const QString& section)
{
    m_Values.clear();
    bool bIn = false;
    for (const QString& line : SplitKeepingEnds(m_Content)) {
        if (!bIn) {
            bIn = SectionOf(line) == section && !section.isEmpty();
            continue;
        }
        QString key, value;
        bool bEnds = false;
        if (KeyOf(line, key, value, bEnds)) {
            const QString folded = Fold(key);
            if (!folded.isEmpty() && !m_Values.contains(folded)) {
                m_Values.insert(folded, value);
            }
        } else if (bEnds) {
            break;
        }
    }
}

BOOL CMultiLanguageIniFileAccess::ReadValue(const QString& path, const QString& section, const QString& key,
                                            QString& out)
{
    if (!m_bCached || m_CachedPath != path || m_CachedSection != section) {
        Encoding enc;
        m_CachedPath = path;
        m_CachedSection = section;
        m_bCached = true;
        m_Content.clear();
        LoadFile(path, m_Content, enc);
        Index(section);
    }
    const auto it = m_Values.constFind(Fold(key));
    if (it == m_Values.constEnd()) {
        return FALSE;
    }
    out = *it;
    return TRUE;
}

void CMultiLanguageIniFileAccess::DropCache()
{
    m_bCached = false;
    m_Content.clear();
    m_Values.clear();
}

BOOL CMultiLanguageIniFileAccess::WriteValue(const QString& path, const QString& section, const QString& key,
                                             const QString& value)
{
    DropCache();
    if (!IsStorableKey(key.trimmed()) || section.isEmpty() || value.contains(QLatin1Char('\n'))) {
        return FALSE;
    }
    QString content;
    Encoding enc = ENC_UTF16LE_BOM;
    const bool bHad = LoadFile(path, content, enc);
    if (!bHad) {
        enc = ENC_UTF16LE_BOM; // a new file, or an empty one
    }
    QStringList lines = SplitKeepingEnds(content);
    const QString entry = key.trimmed() + QLatin1Char('=') + value + QStringLiteral("\r\n");
    int nSection = -1, nKey = -1, nLast = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (nSection < 0) {
            if (SectionOf(lines[i]) == section) {
                nSection = nLast = i;
            }
            continue;
        }
        QString k, v;
        bool bEnds = false;
        if (KeyOf(lines[i], k, v, bEnds)) {
            if (nKey < 0 && Fold(k) == Fold(key)) {
                nKey = i;
                if (v == value || value.isEmpty()) {
                    return TRUE; // nothing to change
                }
            }
        } else if (bEnds) {
            break;
        }
        if (!WithoutComment(lines[i]).trimmed().isEmpty() || lines[i].contains(QLatin1Char(';'))) {
            nLast = i;
        }
    }
    auto ensureEnded = [&](int i) {
        if (i >= 0 && i < lines.size() && !lines[i].endsWith(QLatin1Char('\n'))) {
            lines[i] += QStringLiteral("\r\n");
        }
    };
    if (nKey >= 0) {
        lines[nKey] = entry;
    } else if (nSection >= 0) {
        ensureEnded(nLast);
        lines.insert(nLast + 1, entry);
    } else {
        ensureEnded(int(lines.size()) - 1);
        lines.append(QLatin1Char('[') + section + QStringLiteral("]\r\n"));
        lines.append(entry);
    }
    const QString text = lines.join(QString());
    QByteArray bytes;
    switch (enc) {
    case ENC_UTF16LE_BOM:
    case ENC_UTF16LE:
        if (enc == ENC_UTF16LE_BOM) {
            bytes.append(char(0xff)).append(char(0xfe));
        }
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        break;
    case ENC_UTF8_BOM:
        bytes.append("\xef\xbb\xbf").append(text.toUtf8());
        break;
    case ENC_UTF8:
        bytes.append(text.toUtf8());
        break;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        f.cancelWriting();
        return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------

void CMultiLanguageTranslator::SetTranslation(const QString& path, const QString& languageName)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_FilePath = path;
    m_LanguageName = languageName;
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
        } else {
            m_FileAccess.WriteValue(m_FilePath, m_LanguageName, key, QString());
        }
    }
    result.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return result;
}
