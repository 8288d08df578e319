// The guard every entry point of conflictor runs under: menu commands, toolbar buttons and their
// menus, the intersection box, grid edits, timers and dialog buttons. An unexpected failure (a CAD
// host that went away among them) is reported in Polish, the CAD variables and the window are
// restored, and the program goes on.
#pragma once

#include <QString>
#include <functional>

namespace conflictor {

// Runs `work`; an exception is shown with the exclamation icon, titled `caption`, after `cleanUp`.
// Guarded runs may nest (a dialog of a command, a grid commit inside a command): a failure is told
// once however many guards it passes, the same text again in one outermost run is not repeated.
// True when the work ran to its end.
bool RunGuarded(const std::function<void()>& work, const QString& caption,
                const std::function<void()>& cleanUp = {});

// Runs the command unless commands are blocked or a drawing command is awaited in the CAD. An
// exception is shown with the exclamation icon and the window is put back. True when it ran to its end.
// `cleanUp` runs first on a failure (the window's cursor and notices).
bool RunStreamCommand(const std::function<void()>& command, const std::function<void()>& cleanUp = {});

// The message of an unexpected failure.
QString UnexpectedErrorMessage(const QString& detail);

}  // namespace conflictor
