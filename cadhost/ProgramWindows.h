// The attached programs' windows on an X11 display: each top-level window of a program that has
// no owner of its own (its dialogs, owned by its windows, come along with them; windows made
// always-on-top are not touched) is kept just above cadhost's window by restacking, not by making
// it transient for cadhost, so a program minimised is minimised alone; a program's window that
// opens over cadhost's menu bar or prompt line is moved clear of them once, when first seen (so
// the position it remembered holds wherever it covers neither). The programs are raised when the
// user starts one that already runs. Elsewhere (offscreen, Wayland) it does nothing.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <set>

namespace cadhost {

class ProgramWindows {
public:
    explicit ProgramWindows(QWidget* host) : host_(host) {}
    // Whether windows can be handled at all (an X11 display).
    static bool available();
    // The parts of the host a program's window must not open over: each keeps its whole row of
    // the host's window clear (the menu bar, the prompt line).
    void setKeptClear(const QList<QWidget*>& widgets);
    // Places the processes' new unowned top-level windows clear of the host's kept rows and
    // restacks every shown one found below the host's window just above it (minimised ones stay
    // minimised); returns how many windows were new.
    int keepAbove(const QList<qint64>& pids);
    // Asks the window manager to bring the process's top-level windows to the front; false when
    // it has none shown.
    bool raise(qint64 pid);

private:
    QWidget* host_;
    QList<QPointer<QWidget>> keptClear_;
    std::set<std::uint32_t> seen_;  // windows placed already
};

}  // namespace cadhost
