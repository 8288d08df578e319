// Flushing a written file, and the folder that names it, to disk: a file put in place by a rename
// is only safe from a crash once its content and the rename both reached the disk.
#pragma once

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

// Flushes the file at `path` (its local encoding); 0, or the errno of the step that failed.
inline int syncFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

// Flushes the folder's entries, so that a rename inside it lasts. A folder that cannot be opened is
// left to the system, which writes it back later: the rename itself is done.
inline void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace platform
