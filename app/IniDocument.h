// One INI file held in memory with the private-profile rules: sections and
// keys matched without regard to case (first duplicate wins), ";" starting a
// comment only at the start of a line, names and values trimmed, one pair of
// surrounding quotes stripped. Writing keeps every other line as it was and
// keeps the file's encoding and line ends.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class CIniDocument {
public:
    enum Encoding { ENC_UTF16LE_BOM, ENC_UTF8_BOM, ENC_UTF8 };

    // A new, empty document is UTF-16 LE with BOM and CR LF line ends.
    CIniDocument() = default;

    static CIniDocument FromBytes(const QByteArray& bytes);
    QByteArray ToBytes() const;

    // The value of the key, or nothing when the section or key is missing.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    void SetValue(const QString& section, const QString& key, const QString& value);

    Encoding GetEncoding() const { return m_Encoding; }
    const QStringList& Lines() const { return m_Lines; }

private:
    struct SECTION {
        int nHeaderLine;                 // index of the "[name]" line
        QHash<QString, int> keyLines;    // folded key -> first line holding it
        int nLastLine;                   // last non-blank line of the section
    };

    void Reindex();
    static QString Fold(const QString& s) { return s.trimmed().toCaseFolded(); }
    static bool ParseKeyLine(const QString& line, QString& key, QString& value);
    static std::optional<QString> ParseSectionLine(const QString& line);

    QStringList m_Lines;
    QStringList m_Eols;                     // each line's own line end ("" for an unended last line)
    QString m_Eol = QStringLiteral("\r\n");  // for lines this document adds
    Encoding m_Encoding = ENC_UTF16LE_BOM;
    QHash<QString, SECTION> m_Sections; // folded name -> first section of that name
};
