// What keeps two writers of one workbook file from losing each other's work: the lock file the
// spreadsheet programs keep beside a workbook (".~lock.NAME#"), taken by the suite's writers for the
// time of a save, and the identity of the file as it was read, so that a workbook changed on disk
// since is not written over. Also the cause of a failed file operation in words.
#pragma once

#include "platform/SystemErrors.h"

#include <QString>
#include <QtGlobal>

namespace sheet {

// The file at a path as the system sees it: replaced or rewritten, it is another stamp.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp fileStampOf(const QString& path);

// ".~lock.NAME#" beside `path`.
QString lockFilePathOf(const QString& path);

// Holds the lock file of `path` while the workbook is written. A lock file another spreadsheet
// program keeps is left as it is (the callers ask the user before writing such a workbook); the
// suite's writers exclude each other through the lock file either way. Throws FileError naming the
// file and the writer that holds it.
class WorkbookWriteLock {
public:
    explicit WorkbookWriteLock(const QString& path);
    ~WorkbookWriteLock();
    WorkbookWriteLock(const WorkbookWriteLock&) = delete;
    WorkbookWriteLock& operator=(const WorkbookWriteLock&) = delete;

private:
    QString lockPath_;
    int fd_ = -1;
    bool ours_ = false;  // written by us: removed when the save is over
};

// The cause of a failed system call (`errno`) as the user reads it: "brak miejsca na dysku".
using platform::systemErrorText;

}  // namespace sheet
