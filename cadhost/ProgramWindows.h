// The attached programs' windows on an X11 display: each top-level window of a program that has
// no owner of its own (its dialogs, owned by its windows, come along with them; windows made
// always-on-top are not touched) is kept just above cadhost's window by restacking, not by making
// it transient for cadhost, so a program minimised is minimised alone; a program's window that
// opens over cadhost's menu bar, toolbars or prompt line, or partly off the screen, is moved clear
// of them and onto the screen once, each time it opens (so the position it remembered holds
// wherever it covers none of them). cadhost's own dialogs, which it waits for, are kept above
// everything while they are shown, the programs' windows included. The programs are raised when
// the user starts one that already runs. Elsewhere (offscreen, Wayland) it does nothing.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <set>
#include <utility>

namespace cadhost {

class ProgramWindows : public QObject {
public:
    explicit ProgramWindows(QWidget* host);
    // Whether windows can be handled at all (an X11 display).
    static bool available();
    // The parts of the host a program's window must not open over: each keeps its whole row of
    // the host's window clear (the menu bar, the prompt line); the host's toolbars along its top or
    // bottom edge are kept clear too.
    void setKeptClear(const QList<QWidget*>& widgets);
    // Places the processes' new unowned top-level windows clear of the host's kept rows and
    // restacks every shown one found below the host's window just above it (minimised ones stay
    // minimised); returns how many windows were new.
    int keepAbove(const QList<qint64>& pids);
    // Asks the window manager to bring the process's top-level windows to the front; false when
    // it has none shown.
    bool raise(qint64 pid);

    // Whether the window is one of the host's own dialogs (owned by the host, or modal with no
    // owner at all).
    bool isHostDialog(const QWidget* window) const;

protected:
    // A dialog of the host about to be shown is made to stay above everything while it is.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* host_;
    QList<QPointer<QWidget>> keptClear_;
    // Windows placed already, by process and window: the X server hands a closed client's window
    // ids to the next client, and a window gone from the list is forgotten.
    std::set<std::pair<qint64, std::uint32_t>> seen_;
};

}  // namespace cadhost
