// The guard of the controls of conflictor's windows: a button, a list, a grid or a dialog's work runs
// under RunGuarded (CommandGuard.h), its failure titled with the caption of the window it came from.
#pragma once

#include "conflictor/streams/CommandGuard.h"
#include "conflictor/streams/StreamWindow.h"

#include <QWidget>
#include <functional>
#include <type_traits>
#include <utility>

namespace conflictor {

// The caption a guarded slot of `owner` titles its message with: its window's, else the main window's.
inline QString GuardCaption(const QWidget* owner) {
    if (owner && !owner->window()->windowTitle().isEmpty()) return owner->window()->windowTitle();
    return MainWindow().caption();
}

// A slot that runs `work` guarded, titled with the caption of `owner`'s window at the time. The
// signal's arguments reach `work` when it takes them.
template <class F>
auto Guarded(QWidget* owner, F work) {
    return [owner, work = std::move(work)](auto&&... args) {
        RunGuarded(
            [&] {
                if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                    work(args...);
                else
                    work();
            },
            GuardCaption(owner));
    };
}

// Runs a button's work inside a dialog; true when it ran to its end.
template <class F>
bool RunDialogCommand(QWidget* dialog, F&& work) {
    return RunGuarded(std::function<void()>(std::forward<F>(work)), dialog->windowTitle());
}

}  // namespace conflictor
