// One INI file held in memory with the private-profile rules: sections and
// keys matched without regard to case (first duplicate wins), ";" starting a
// comment only at the start of a line, names and values trimmed, one pair of
// surrounding quotes stripped. Writing keeps every other line as it was and
// keeps the file's encoding and line ends.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class CIniDocument {
public:
    enum Encoding { ENC_UTF16LE_BOM, ENC_UTF8_BOM, ENC_UTF8 };

    // A new, empty document is UTF-16 LE with BOM and CR LF line ends.
    CIniDocument() = default;

    static CIniDocument FromBytes(const QByteArray& bytes);
    QByteArray ToBytes() const;

    // The value of the key, or nothing when the section or key is missing.
    std::optional<QString> Value(QStringView section, QStringView key) const;
    void SetValue(const QString& section, const QString& key, const QString& value);

    Encoding GetEncoding() const { return m_Encoding; }
    const QStringList& Lines() const { return m_Lines; }

    // Hash of a name folded to one case; equal for names equal without regard to case.
    static uint64_t FoldedHash(QStringView name);

private:
    // Views into m_Lines, rebuilt by Reindex after every change.
    struct KEY_ENTRY {
        QStringView key;
        QStringView value;
        int nLine;
    };
    struct SECTION {
        QStringView name;
        int nHeaderLine;
        int nLastLine; // last non-blank line of the section
        std::vector<KEY_ENTRY> keys;
        std::vector<std::pair<uint64_t, int>> byHash; // (name hash, entry), sorted
    };

    void Reindex();
    const SECTION* FindSection(QStringView name) const;
    static const KEY_ENTRY* FindKey(const SECTION& sec, QStringView key);
    static bool ParseKeyLine(QStringView line, QStringView& key, QStringView& value);
    static bool ParseSectionLine(QStringView line, QStringView& name);

    QStringList m_Lines;
    QStringList m_Eols;                      // each line's own line end ("" for an unended last line)
    QString m_Eol = QStringLiteral("\r\n");  // for lines this document adds
    Encoding m_Encoding = ENC_UTF16LE_BOM;
    std::vector<SECTION> m_Sections;
    std::vector<std::pair<uint64_t, int>> m_SectionByHash; // sorted
    // Reads come section by section: the last section found, by the name asked.
    mutable QString m_LastSectionName;
    mutable int m_nLastSection = -1;
};
