// Switches of the full-disk library (FullDiskPreload.cpp) for one folder,
// set for the life of the object.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace fulldisk {

inline bool Loaded()
{
    return dlsym(RTLD_DEFAULT, "PixmetraFullDisk_Loaded") != nullptr;
}

// Builds that preload the library fail without it; sanitizer builds, which
// cannot preload it, skip.
#ifdef PIXMETRA_FULL_DISK_PRELOADED
#define REQUIRE_FULL_DISK_LIBRARY() \
    ASSERT_TRUE(fulldisk::Loaded()) << "run with LD_PRELOAD=" PIXMETRA_FULL_DISK_PRELOADED
#else
#define REQUIRE_FULL_DISK_LIBRARY()                                                    \
    if (!fulldisk::Loaded()) {                                                         \
        GTEST_SKIP() << "the full-disk library cannot be preloaded in this build";     \
    }
#endif

// Writes under folder fail with ENOSPC after nBytes more bytes.
class CFullDisk {
public:
    explicit CFullDisk(const QString& folder, qint64 nBytes = 0)
    {
        qputenv("PIXMETRA_FULL_DISK_AFTER", QByteArray::number(nBytes));
        qputenv("PIXMETRA_FULL_DISK_UNDER", QDir(folder).canonicalPath().toLocal8Bit());
    }
    ~CFullDisk()
    {
        qunsetenv("PIXMETRA_FULL_DISK_UNDER");
        qunsetenv("PIXMETRA_FULL_DISK_AFTER");
    }
    CFullDisk(const CFullDisk&) = delete;
    CFullDisk& operator=(const CFullDisk&) = delete;
};

// Nothing under folder may be created, replaced or removed.
class CReadOnlyFolder {
public:
    explicit CReadOnlyFolder(const QString& folder)
    {
        qputenv("PIXMETRA_READ_ONLY_UNDER", QDir(folder).canonicalPath().toLocal8Bit());
    }
    ~CReadOnlyFolder() { qunsetenv("PIXMETRA_READ_ONLY_UNDER"); }
    CReadOnlyFolder(const CReadOnlyFolder&) = delete;
    CReadOnlyFolder& operator=(const CReadOnlyFolder&) = delete;
};

} // namespace fulldisk
