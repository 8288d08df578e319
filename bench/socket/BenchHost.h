// The host the socket side talks to: cadhost's own host (cadhost::Host, its window offscreen), as
// cadhost's main runs it, with one difference: what the user would pick or type is read from a
// script file, one input a line, and given the moment it is asked for, so the benchmark times the
// calls and not a person.
#pragma once

#include <QString>

namespace socketbench {

// Lines of the script: "p X Y" a point, "t TEXT" a typed answer, "e" Enter, "c" Cancel. When the
// script runs out, a pick is cancelled.
int RunScriptedHost(const QString& socketName, const QString& scriptPath);

}  // namespace socketbench
