// A workbook another program holds open: the lock file LibreOffice (".~lock.NAME#") or Excel
// ("~$NAME") keeps beside it while the file is open there. Writing over such a file would lose what
// that program saves next, or be lost by it, so the writers of the intergreen workbook ask first.
#pragma once

#include <QString>

namespace automation {

// The lock file beside `path` that another program keeps while the workbook is open; empty when
// there is none.
QString WorkbookLockFile(const QString& path);

// Asks before `path` is written while another program holds it open (Yes/No, No by default); true
// when there is no lock file or the user chose to write anyway.
bool ConfirmWritingLockedWorkbook(const QString& path, const QString& title);

}  // namespace automation
