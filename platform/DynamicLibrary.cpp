#include "platform/DynamicLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace platform {

DynamicLibrary::~DynamicLibrary()
{
    Unload();
}

bool DynamicLibrary::Load(const QString& path)
{
    Unload();
#ifdef _WIN32
    m_pHandle = reinterpret_cast<void*>(::LoadLibraryW(reinterpret_cast<const wchar_t*>(path.utf16())));
    if (m_pHandle == nullptr) {
        m_ErrorText = QStringLiteral("LoadLibrary failed: %1").arg(::GetLastError());
    }
#else
    const QByteArray file = path.toLocal8Bit();
    m_pHandle = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (m_pHandle == nullptr) {
        const char* pszError = ::dlerror();
        m_ErrorText = QString::fromLocal8Bit(pszError != nullptr ? pszError : "dlopen failed");
    }
#endif
    return m_pHandle != nullptr;
}

void DynamicLibrary::Unload()
{
    if (m_pHandle == nullptr) {
        return;
    }
#ifdef _WIN32
    ::FreeLibrary(reinterpret_cast<HMODULE>(m_pHandle));
#else
    ::dlclose(m_pHandle);
#endif
    m_pHandle = nullptr;
}

void* DynamicLibrary::Symbol(const char* pszName) const
{
    if (m_pHandle == nullptr) {
        return nullptr;
    }
#ifdef _WIN32
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(m_pHandle), pszName));
#else
    return ::dlsym(m_pHandle, pszName);
#endif
}

QString LibraryFileName(const QString& baseName)
{
#ifdef _WIN32
    return baseName + QStringLiteral(".dll");
#else
    return QStringLiteral("lib") + baseName + QStringLiteral(".so");
#endif
}

} // namespace platform
