// UI translation: every shown text passes through GetString, which looks the
// built-in Japanese text up in the translation file of the chosen language
// and adds texts it does not find with an empty translation.
#pragma once

#include "app/IniDocument.h"
#include "platform/WinTypes.h"

#include <QString>

#include <mutex>

// One translation file held in memory, read and written with the INI rules
// of the translation files: section names compared with case, ";" starting a
// comment anywhere on a line, keys matched without regard to case.
class CMultiLanguageIniFileAccess {
public:
    BOOL ReadValue(const QString& path, const QString& section, const QString& key, QString& out);
    // Adds or replaces the entry; an empty value never replaces one. FALSE
    // when the entry could not be stored so that it reads back (a file that
    // cannot be read without loss is never rewritten).
    BOOL WriteValue(const QString& path, const QString& section, const QString& key, const QString& value);
    void DropCache();

    // A key that could be read back from the file: no ";", "=", line break,
    // NUL or lone surrogate, not starting with "[" and not empty.
    static bool IsStorableKey(const QString& key);

private:
    void Load(const QString& path);

    QString m_CachedPath;
    bool m_bCached = false;
    CIniDocument m_Doc;
};

class CMultiLanguageTranslator {
public:
    QString GetString(UINT nID);
    QString TranslateText(const QString& text);
    // Both set: translation on. Either empty: texts as built in. bExtend
    // false leaves the file as it is: missing texts are not added to it.
    void SetTranslation(const QString& path, const QString& languageName, bool bExtend = true);
    QString GetFilePath() const;

private:
    CMultiLanguageIniFileAccess m_FileAccess;
    QString m_FilePath;
    QString m_LanguageName;
    bool m_bExtend = true;
    mutable std::mutex m_Mutex;
};

// The application's translator (null until start-up sets it).
void SetProgramTranslator(CMultiLanguageTranslator* pTranslator);
CMultiLanguageTranslator* GetProgramTranslator();
// String nID through the program's translator, or as built in.
QString GetProgramString(UINT nID);
// A built-in text (a control's caption) through the program's translator.
QString TranslateProgramText(const QString& text);
