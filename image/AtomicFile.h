// Writes a whole file through a sibling temporary file and a replace, so a
// failed write (missing folder, full disk, read-only target) never leaves a
// truncated file under the target name.
#pragma once

#include <QString>

#include <cstddef>
#include <functional>

namespace image {

// Calls fnWrite with a temporary path beside path; when it returns true the
// temporary file replaces path. The temporary file is removed on failure.
bool WriteThroughSibling(const QString& path, const std::function<bool(const QString& tempPath)>& fnWrite);
bool WriteFileBytes(const QString& path, const void* pData, size_t nSize);

} // namespace image
