// Whole files written so that the file under the name is always either the
// previous one or the complete new one: the bytes go to a temporary sibling,
// every write, the sync and the close are checked, and only then does the
// sibling replace the file. On any failure the sibling is removed and the
// previous file stays as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace platform {

// The system's error number of a failed whole-file write; 0 when it worked.
struct FILE_WRITE_RESULT {
    int nError = 0;
    bool Ok() const { return nError == 0; }
    // The file system is full (or the user's quota used up).
    bool DiskFull() const;
};

FILE_WRITE_RESULT WriteFileAtomically(const QString& path, const void* pData, size_t nSize);
inline FILE_WRITE_RESULT WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    return WriteFileAtomically(path, bytes.constData(), size_t(bytes.size()));
}

// The error of the last whole-file write on the calling thread (0: it
// worked), for callers that learn only whether a save worked.
int LastFileWriteError();
// 0 when a new file can be made in folder, else the system's error number.
int ProbeFolderWritable(const QString& folder);

// true when name (a file name without folder) is a temporary sibling that a
// write of the file named target makes.
bool IsTempSiblingName(const QString& target, const QString& name);
// Removes the temporary siblings of path that interrupted writes left
// behind; call only where no other process can be writing path. Returns how
// many were removed.
int RemoveStaleTempSiblings(const QString& path);

} // namespace platform
