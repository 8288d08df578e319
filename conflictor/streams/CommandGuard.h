// The one guard every command of the main window runs under, whether it came from a menu, a toolbar
// button or a button's menu: an unexpected failure is reported, the CAD variables and the window are
// restored, and commands do not start while another one lets the message loop run.
#pragma once

#include <QString>
#include <functional>

namespace conflictor {

// Runs the command unless commands are blocked or a drawing command is awaited in the CAD. An
// exception is shown with the exclamation icon and the window is put back. True when it ran to its end.
// `cleanUp` runs first on a failure (the window's cursor and notices).
bool RunStreamCommand(const std::function<void()>& command, const std::function<void()>& cleanUp = {});

// The message of an unexpected failure.
QString UnexpectedErrorMessage(const QString& detail);

}  // namespace conflictor
