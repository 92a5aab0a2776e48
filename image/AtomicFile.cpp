#include "image/AtomicFile.h"

#include <QFileInfo>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace image {

namespace {
std::atomic<unsigned> g_nTempCounter{0};

std::filesystem::path FsPath(const QString& p)
{
#ifdef _WIN32
    return std::filesystem::path(p.toStdWString());
#else
    return std::filesystem::path(p.toStdString());
#endif
}
} // namespace

bool WriteThroughSibling(const QString& path, const std::function<bool(const QString& tempPath)>& fnWrite)
{
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        return false;
    }
#ifdef _WIN32
    const unsigned pid = 0;
#else
    const unsigned pid = unsigned(::getpid());
#endif
    const QString temp = path + QStringLiteral(".tmp%1-%2").arg(pid).arg(g_nTempCounter++);
    std::error_code ec;
    if (!fnWrite(temp)) {
        std::filesystem::remove(FsPath(temp), ec);
        return false;
    }
    std::filesystem::rename(FsPath(temp), FsPath(path), ec);
    if (ec) {
        std::filesystem::remove(FsPath(temp), ec);
        return false;
    }
    return true;
}

bool WriteFileBytes(const QString& path, const void* pData, size_t nSize)
{
    return WriteThroughSibling(path, [&](const QString& temp) {
#ifdef _WIN32
        FILE* fp = _wfopen(reinterpret_cast<const wchar_t*>(temp.utf16()), L"wb");
#else
        FILE* fp = std::fopen(temp.toLocal8Bit().constData(), "wb");
#endif
        if (fp == nullptr) {
            return false;
        }
        const bool bWritten = nSize == 0 || std::fwrite(pData, 1, nSize, fp) == nSize;
        const bool bClosed = std::fclose(fp) == 0;
        return bWritten && bClosed;
    });
}

} // namespace image
