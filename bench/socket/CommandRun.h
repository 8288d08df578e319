// One side of the socket benchmark: every program command in order on one drawing, in this process's
// CAD or through the socket to a host, each timed. Questions and file dialogs are answered by
// script, picks by the same script on both sides (see BenchHost.h); no waiting is timed.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace socketbench {

struct SideRun {
    bool overSocket = false;
    QString drawing;     // the DXF both sides open
    QString label;       // "sample", "k60": the prefix of the command names
    QString workDir;     // where this side's workbooks and XML go
    QString socketName;  // the host's socket (over the socket only)
    double radius = 50;  // the intersection's size in drawing units: where the picks go
};

// The picks of a whole run, one line each in the host's script format.
QStringList PickScript(const SideRun& run);

// Runs the commands, printing "time <label>/<command> <ms> <ok|failed>" for each; returns how many
// failed.
int RunCommands(const SideRun& run);

}  // namespace socketbench
