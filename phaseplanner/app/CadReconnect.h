// The connection to cadhost after the host went away (closed, crashed, started again): every call of
// the old connection fails, so the next command finds that out first and offers to connect again.
#pragma once

#include <QString>
#include <functional>

namespace phaseplanner {

// True when the program holds a connection to the CAD that still answers (or holds none at all).
bool CadConnectionAnswers();
// When the connection no longer answers: asks, in Polish, whether to connect again and does so.
// True when the connection answers (again) and a command may go on; false when it may not.
bool ReconnectIfLost(const QString& caption);
// Every entry point of the program runs its work through here (menu commands, toolbar and dialog
// buttons, the playback's cycle controls, a dialog's closing): a lost connection is offered again
// first, and a failure of the work is shown in Polish, titled `caption`, instead of ending the
// program. True when the work ran to its end.
bool RunGuarded(const QString& caption, const std::function<void()>& work);
// The same for work that asks nothing of the CAD (ending the program): no connection is offered.
bool RunTrapped(const QString& caption, const std::function<void()>& work);

}  // namespace phaseplanner
