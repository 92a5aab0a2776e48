#include "platform/ModuleFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <mutex>

namespace {
std::mutex g_OverrideMutex;
QString g_OverrideFolder;
QString g_OverrideBase;

QString ExecutablePath()
{
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationFilePath();
    }
#ifdef _WIN32
    return QString();
#else
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
#endif
}
} // namespace

namespace platform {

QChar PathSeparator()
{
    return QDir::separator();
}

QString NativePath(const QString& path)
{
    QString out = path;
#ifdef _WIN32
    out.replace(QLatin1Char('/'), QLatin1Char('\\'));
#else
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return out;
}

QString GetModuleFolder()
{
    {
        std::lock_guard<std::mutex> lock(g_OverrideMutex);
        if (!g_OverrideFolder.isEmpty()) {
            return g_OverrideFolder;
        }
    }
    QString folder = QDir::toNativeSeparators(QFileInfo(ExecutablePath()).absolutePath());
    if (!folder.endsWith(PathSeparator())) {
        folder += PathSeparator();
    }
    return folder;
}

QString GetModuleBaseName()
{
    {
        std::lock_guard<std::mutex> lock(g_OverrideMutex);
        if (!g_OverrideFolder.isEmpty() && !g_OverrideBase.isEmpty()) {
            return g_OverrideBase;
        }
    }
    return QFileInfo(ExecutablePath()).completeBaseName();
}

void SetModuleFolderForTest(const QString& folder, const QString& baseName)
{
    std::lock_guard<std::mutex> lock(g_OverrideMutex);
    g_OverrideFolder = folder;
    if (!g_OverrideFolder.isEmpty() && !g_OverrideFolder.endsWith(PathSeparator())) {
        g_OverrideFolder += PathSeparator();
    }
    g_OverrideBase = baseName;
}

} // namespace platform
