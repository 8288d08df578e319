// One running copy of a program per user: a lock file in the user's runtime folder, held for the
// whole run and released when the program ends (a crashed copy's stale lock is taken over).
#pragma once

#include <QString>

namespace common {

// The lock file of a program: <runtime folder>/Tesmar-<program>.lock, where the runtime folder is
// $XDG_RUNTIME_DIR, or the temporary folder with the user's name in the file name.
QString SingleInstanceLockPath(const QString& program);
// Takes the program's lock; false when another running copy holds it. A second call by the copy that
// holds it returns true.
bool AcquireSingleInstance(const QString& program);
// Gives the lock back (tests; the end of the program does it anyway).
void ReleaseSingleInstance(const QString& program);

}  // namespace common
