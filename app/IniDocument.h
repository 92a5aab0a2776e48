// One INI file held in memory with the private-profile rules: sections and
// keys matched without regard to case (first duplicate wins), ";" starting a
// comment only at the start of a line, names and values trimmed, one pair of
// surrounding quotes stripped. Writing changes only the lines of the keys
// written: every other line keeps its bytes, and new lines take the file's
// encoding and line end. Bytes that cannot be read without loss give an
// empty document that refuses every write, so such a file is never rewritten.
#pragma once

#include "app/IniEncoding.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <optional>
#include <vector>

// Where the translation files depart from the profile rules.
struct INI_RULES {
    bool bExactSectionNames = false;     // section names compared with case
    bool bCommentAnywhere = false;       // ";" ends the line's text wherever it stands
    bool bUnendedLastLineEmpty = false;  // a key on a last line without its line end reads as empty
    bool bNewLinesCrLf = false;          // lines added end with CR LF whatever the file uses
};

class CIniDocument {
public:
    // A new, empty document is UTF-16 LE with BOM and CR LF line ends.
    CIniDocument() = default;
    CIniDocument(CIniDocument&&) = default;
    CIniDocument& operator=(CIniDocument&&) = default;

    static CIniDocument FromBytes(const QByteArray& bytes, const INI_RULES& rules = INI_RULES());
    QByteArray ToBytes() const;
    // A missing or unreadable file gives an empty document; a file that cannot
    // be read without loss is logged with the reason.
    static CIniDocument FromFile(const QString& path, const INI_RULES& rules = INI_RULES());
    // Replaces the file as a whole, or keeps it as it was: 0, or the system's
    // error number (EPERM for a document that refuses writes).
    int ToFile(const QString& path) const;

    // The value of the key, or nothing when the section or key is missing.
    std::optional<QString> Value(QStringView section, QStringView key) const;
    // false, changing nothing, when the document refuses writes or the line
    // would not read back as written (NUL, a lone surrogate, a character the
    // file's encoding lacks).
    bool SetValue(QStringView section, QStringView key, QStringView value);

    EIniEncoding GetEncoding() const { return m_Encoding; }
    bool IsWritable() const { return m_Problem.isEmpty(); }
    const QString& Problem() const { return m_Problem; }

    // Hash of a name folded to one case; equal for names equal without regard to case.
    static uint64_t FoldedHash(QStringView name);

private:
    struct LINE {
        QStringView text;       // without its line end
        qsizetype nRaw = 0;     // its bytes in m_Raw: content, then line end
        qsizetype nRawLen = 0;
        qsizetype nEolLen = 0;
        int nOwn = -1;          // content written by this document: m_Own[nOwn]
        int nNext = -1;         // the next line in file order
        bool bAddEol = false;   // followed by the document's line end (lines added, an unended line before them)
        bool bHeader = false;
    };
    struct OWN_LINE {
        QString text;
        QByteArray bytes;
    };
    struct KEY_ENTRY {
        QStringView key;
        QStringView value;
        int nLine;
    };
    struct SECTION {
        QStringView name;
        int nHeader;
        int nLast; // last non-blank line of the section
        bool bIndexed = false;
        std::vector<KEY_ENTRY> keys;
        std::vector<std::pair<uint64_t, int>> byHash; // (name hash, entry), sorted, file order within a hash
    };

    void Split(const INI_DECODED& d);
    SECTION* FindSection(QStringView name) const;
    void IndexKeys(SECTION& sec) const;
    const KEY_ENTRY* FindKey(SECTION& sec, QStringView key) const;
    bool ParseKeyLine(QStringView line, QStringView& key, QStringView& value) const;
    static bool ParseSectionLine(QStringView line, QStringView& name);
    int AddLine(int nAfter, QString text, QByteArray bytes, bool bHeader);
    void SetOwnText(int nLine, QString text, QByteArray bytes);

    QByteArray m_Raw;                 // the bytes read; lines not written are copied from here
    QString m_Text;                   // their text
    QByteArray m_Bom = QByteArray("\xff\xfe", 2);
    std::deque<OWN_LINE> m_Own;       // stable: views point into it
    std::vector<LINE> m_Lines;        // lines read, then lines added; nNext gives the order
    int m_nHead = -1;
    int m_nTail = -1;
    QString m_Eol = QStringLiteral("\r\n");
    EIniEncoding m_Encoding = EIniEncoding::Utf16LeBom;
    INI_RULES m_Rules;
    QString m_Problem;
    mutable std::vector<SECTION> m_Sections; // keys indexed on first use
    std::vector<std::pair<uint64_t, int>> m_SectionByHash; // sorted; sections read
    std::vector<int> m_AddedSections;                      // sections added, in file order after all read
    mutable QString m_LastSectionName;
    mutable int m_nLastSection = -1;
};
