// Reads and writes one INI file key by key with the private-profile rules.
// Reads are served from a process-wide cache that is checked against the
// file's size and time stamp, so reading many keys costs one parse. Writes go
// through a sibling file and a replace, so a failed write never leaves a
// half-written file; in a batch the file is written once at the end.
#pragma once

#include "platform/WinTypes.h"

#include <QString>

#include <functional>

class CQSFileIni {
public:
    // An empty path means the settings file: Pixmetra.ini in the settings
    // folder (beside a portable program, else the user's), whatever the
    // program file is called. bRelative puts path under that folder.
    explicit CQSFileIni(const QString& path = QString(), BOOL bRelative = FALSE);
    virtual ~CQSFileIni() = default;

    const QString& GetPath() const { return m_Path; }
    static QString GetModuleFolder(QString* pBaseName = nullptr);

    int32_t ReadInt(const QString& section, const QString& key, int32_t nDefault) const;
    BOOL ReadBool(const QString& section, const QString& key, BOOL bDefault) const;
    // At most nBufferSize - 1 characters are kept.
    QString ReadString(const QString& section, const QString& key, const QString& def, int nBufferSize = 520) const;
    // Rounded to nPlaces decimals, as written with that many places.
    double ReadDouble(const QString& section, const QString& key, double dDefault, int nPlaces) const;
    // Full precision; reads files written with any number of places.
    double ReadExactDouble(const QString& section, const QString& key, double dDefault) const;
    // true when the key exists in the file.
    bool HasKey(const QString& section, const QString& key) const;

    BOOL WriteInt(const QString& section, const QString& key, int32_t nValue) const;
    BOOL WriteBool(const QString& section, const QString& key, BOOL bValue) const;
    BOOL WriteString(const QString& section, const QString& key, const QString& value) const;
    BOOL WriteDouble(const QString& section, const QString& key, double dValue, int nPlaces) const;
    // Shortest text that reads back to the same double, in fixed notation.
    BOOL WriteExactDouble(const QString& section, const QString& key, double dValue) const;

    // Reads in a batch see one view of the file, read once; writes are
    // collected and the file is written once at the end. EndBatch returns
    // whether every write (and the final one) succeeded. Batches nest.
    static void BeginBatch(const QString& path);
    static BOOL EndBatch(const QString& path);
    // Told of every write that left a file as it was, with the file and the
    // system's error number (EPERM: the file could not be read without loss
    // and is never rewritten; EILSEQ: a value the file cannot hold). Called
    // on the writing thread with no lock held; empty turns it off.
    using WriteFailureHandler = std::function<void(const QString& path, int nError)>;
    static void SetWriteFailureHandler(WriteFailureHandler handler);
    // Forgets cached contents (tests that edit files behind the cache's back).
    static void DropCache();

private:
    QString m_Path;
};

// "%.*f" in the C locale, any magnitude.
QString FormatFixed(double dValue, int nPlaces);
