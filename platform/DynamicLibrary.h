// Run-time loading of a shared library and look-up of its entry points.
#pragma once

#include <QString>

namespace platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool Load(const QString& path);
    void Unload();
    bool IsLoaded() const { return m_pHandle != nullptr; }
    void* Symbol(const char* pszName) const;
    QString ErrorText() const { return m_ErrorText; }

private:
    void* m_pHandle = nullptr;
    QString m_ErrorText;
};

// Platform file name of a library: "ICubeSDK" gives libICubeSDK.so or ICubeSDK.dll.
QString LibraryFileName(const QString& baseName);

} // namespace platform
