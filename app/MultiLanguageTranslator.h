// UI translation: every shown text passes through GetString, which looks the
// built-in Japanese text up in the translation file of the chosen language
// and adds texts it does not find with an empty translation.
#pragma once

#include "platform/WinTypes.h"

#include <QHash>
#include <QString>

#include <mutex>

// One translation file held in memory. Keys are matched without regard to
// case; ";" starts a comment anywhere on a line.
class CMultiLanguageIniFileAccess {
public:
    BOOL ReadValue(const QString& path, const QString& section, const QString& key, QString& out);
    BOOL WriteValue(const QString& path, const QString& section, const QString& key, const QString& value);
    void DropCache();

    // A key that could be read back from the file: no ";", "=", line break,
    // not starting with "[" and not empty.
    static bool IsStorableKey(const QString& key);

private:
    enum Encoding { ENC_UTF16LE_BOM, ENC_UTF16LE, ENC_UTF8_BOM, ENC_UTF8 };
    bool LoadFile(const QString& path, QString& content, Encoding& enc) const;
    void Index(const QString& section);

    QString m_CachedPath;
    QString m_CachedSection;
    bool m_bCached = false;
    QString m_Content;
    QHash<QString, QString> m_Values; // folded key -> value, first entry wins
};

class CMultiLanguageTranslator {
public:
    QString GetString(UINT nID);
    QString TranslateText(const QString& text);
    // Both set: translation on. Either empty: texts as built in.
    void SetTranslation(const QString& path, const QString& languageName);
    QString GetFilePath() const;

private:
    CMultiLanguageIniFileAccess m_FileAccess;
    QString m_FilePath;
    QString m_LanguageName;
    mutable std::mutex m_Mutex;
};

// The application's translator (null until start-up sets it).
void SetProgramTranslator(CMultiLanguageTranslator* pTranslator);
CMultiLanguageTranslator* GetProgramTranslator();
// String nID through the program's translator, or as built in.
QString GetProgramString(UINT nID);
// A built-in text (a control's caption) through the program's translator.
QString TranslateProgramText(const QString& text);
