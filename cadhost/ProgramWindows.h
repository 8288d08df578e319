// The attached programs' windows on an X11 display: kept above cadhost's window and no other (each
// top-level window of a program that has no owner of its own is made transient for cadhost's
// window, so the window manager stacks it above cadhost only; a program's dialogs, owned by its
// windows, come along with them; windows made always-on-top are not touched), and raised when the
// user starts a program that already runs. Elsewhere (offscreen, Wayland) it does nothing.
#pragma once

#include <QList>

class QWidget;

namespace cadhost {

class ProgramWindows {
public:
    explicit ProgramWindows(QWidget* host) : host_(host) {}
    // Whether windows can be handled at all (an X11 display).
    static bool available();
    // Makes the unowned top-level windows of the processes transient for the host's window;
    // returns how many were newly made so.
    int keepAbove(const QList<qint64>& pids);
    // Asks the window manager to bring the process's top-level windows to the front; false when
    // it has none shown.
    bool raise(qint64 pid);

private:
    QWidget* host_;
};

}  // namespace cadhost
