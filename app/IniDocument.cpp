#include "app/IniDocument.h"

#include <QStringDecoder>

CIniDocument CIniDocument::FromBytes(const QByteArray& bytes)
{
    CIniDocument doc;
    QString text;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xff && uchar(bytes[1]) == 0xfe) {
        doc.m_Encoding = ENC_UTF16LE_BOM;
        // An odd trailing byte or a broken surrogate is replaced, never read past.
        QStringDecoder dec(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        text = dec.decode(QByteArrayView(bytes).sliced(2, (bytes.size() - 2) & ~qsizetype(1)));
    } else if (bytes.size() >= 3 && uchar(bytes[0]) == 0xef && uchar(bytes[1]) == 0xbb && uchar(bytes[2]) == 0xbf) {
        doc.m_Encoding = ENC_UTF8_BOM;
        text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else {
        doc.m_Encoding = bytes.isEmpty() ? ENC_UTF16LE_BOM : ENC_UTF8;
        text = QString::fromUtf8(bytes);
    }
    text.replace(QChar(0), QChar(0xfffd));
    if (text.contains(QLatin1String("\r\n"))) {
        doc.m_Eol = QStringLiteral("\r\n");
    } else if (text.contains(QLatin1Char('\n'))) {
        doc.m_Eol = QStringLiteral("\n");
    }
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = lf < 0 ? text.size() : lf;
        QString line = text.mid(start, end - start);
        QString eol = lf < 0 ? QString() : QStringLiteral("\n");
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
            eol = lf < 0 ? QStringLiteral("\r") : QStringLiteral("\r\n");
        }
        doc.m_Lines.append(line);
        doc.m_Eols.append(eol);
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

std::optional<QString> CIniDocument::ParseSectionLine(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) {
        return std::nullopt;
    }
    const int end = t.indexOf(QLatin1Char(']'));
    return (end < 0 ? t.mid(1) : t.mid(1, end - 1)).trimmed();
}

bool CIniDocument::ParseKeyLine(const QString& line, QString& key, QString& value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('['))) {
        return false;
    }
    const int eq = t.indexOf(QLatin1Char('='));
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

void CIniDocument::Reindex()
{
    m_Sections.clear();
    SECTION* pCur = nullptr;
    bool bCurIsFirst = false;
    for (int i = 0; i < m_Lines.size(); ++i) {
        const QString& line = m_Lines[i];
        if (const auto name = ParseSectionLine(line)) {
            const QString folded = Fold(*name);
            bCurIsFirst = !m_Sections.contains(folded);
            if (bCurIsFirst) {
                m_Sections.insert(folded, SECTION{i, {}, i});
            }
            pCur = &m_Sections[folded];
            continue;
        }
        if (pCur == nullptr || !bCurIsFirst) {
            continue; // keys before any section, or in a later duplicate section
        }
        if (!line.trimmed().isEmpty()) {
            pCur->nLastLine = i;
        }
        QString key, value;
        if (ParseKeyLine(line, key, value)) {
            const QString folded = Fold(key);
            if (!pCur->keyLines.contains(folded)) {
                pCur->keyLines.insert(folded, i);
            }
        }
    }
}

std::optional<QString> CIniDocument::Value(const QString& section, const QString& key) const
{
    const auto sit = m_Sections.constFind(Fold(section));
    if (sit == m_Sections.constEnd()) {
        return std::nullopt;
    }
    const auto kit = sit->keyLines.constFind(Fold(key));
    if (kit == sit->keyLines.constEnd()) {
        return std::nullopt;
    }
    QString k, v;
    ParseKeyLine(m_Lines[*kit], k, v);
    return v;
}

void CIniDocument::SetValue(const QString& section, const QString& key, const QString& value)
{
    const QString line = key.trimmed() + QLatin1Char('=') + value;
    const auto sit = m_Sections.constFind(Fold(section));
    if (sit != m_Sections.constEnd()) {
        const auto kit = sit->keyLines.constFind(Fold(key));
        if (kit != sit->keyLines.constEnd()) {
            m_Lines[*kit] = line; // replaced in place
            return;
        }
        const int at = sit->nLastLine + 1;
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
