// The connection to cadhost after the host went away (closed, crashed, started again): every call of
// the old connection fails, so the next command finds that out first and offers to connect again.
#pragma once

#include <QString>

namespace phaseplanner {

// True when the program holds a connection to the CAD that still answers (or holds none at all).
bool CadConnectionAnswers();
// When the connection no longer answers: asks, in Polish, whether to connect again and does so.
// True when the connection answers (again) and a command may go on; false when it may not.
bool ReconnectIfLost(const QString& caption);

}  // namespace phaseplanner
