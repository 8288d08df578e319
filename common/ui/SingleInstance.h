// One running copy of a program per user: a lock file in the temporary folder, held until the
// program ends. A copy that finds the lock held by a running process is the second one.
#pragma once

#include <QString>

namespace common {

// Takes the program's lock; false when another running copy holds it. Taking it twice in one
// process succeeds once. `programKey` names the program ("phaseplanner").
bool AcquireSingleInstance(const QString& programKey);
// Gives the lock back (the program's end does it too).
void ReleaseSingleInstance(const QString& programKey);

}  // namespace common
