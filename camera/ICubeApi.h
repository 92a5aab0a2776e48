// The camera SDK bound at run time: one function pointer per entry point.
#pragma once

#include "camera/ICubeSDK.h"

#include "platform/DynamicLibrary.h"

#include <QString>
#include <QStringList>

class CICubeApi {
public:
#define PIXMETRA_ICUBE_POINTER(ret, name, args) \
    using PFN_##name = ret(ICUBE_CALL*) args;   \
    PFN_##name name = nullptr;
    ICUBE_ENTRY_POINTS(PIXMETRA_ICUBE_POINTER)
#undef PIXMETRA_ICUBE_POINTER

    // Loads "ICubeSDK" from the program folder, else from the library search
    // path; only when that fails "ICubeSDK64" the same way. Binds all names.
    bool Load(const QString& programFolder);
    bool IsLoaded() const { return m_Library.IsLoaded(); }
    // Every entry point the program calls is present.
    bool IsUsable() const { return IsLoaded() && m_Missing.isEmpty(); }
    // Entry points the program calls that the library lacks.
    const QStringList& MissingEntryPoints() const { return m_Missing; }
    const QString& LoadedPath() const { return m_LoadedPath; }
    void* Symbol(const char* pszName) const { return m_Library.Symbol(pszName); }

    // The process-wide binding, loaded from the program folder on first use.
    static CICubeApi& Process();
    // The entry points the program calls.
    static const QStringList& CalledEntryPoints();

private:
    platform::DynamicLibrary m_Library;
    QString m_LoadedPath;
    QStringList m_Missing;
};

// The interface version text "d.d.d.d" read as the number of its four
// digits; the library is usable from 1038 on.
int InterfaceVersionNumber(const char* pszVersion);
bool IsInterfaceVersionSupported(const char* pszVersion);
// The English text of an SDK result code (empty for codes without one).
QString GetICubeErrorText(int nCode);
