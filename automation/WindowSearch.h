// Finding and raising the CAD's main window. The search takes the visible
// top-level window whose title and class match wildcard patterns, the first in window order.
// The windows come from a replaceable source; by default the drawing window of the connected CAD,
// which is raised through the object model.
#pragma once

#include "automation/CadConnection.h"
#include "platform/cad/DeferredCalls.h"

#include <QList>
#include <QString>
#include <exception>
#include <functional>

namespace automation {

struct TopLevelWindow {
    quintptr handle = 0;
    QString title;
    QString className;
    bool visible = true;
    quintptr parent = 0;
};

using TopLevelWindowSource = std::function<QList<TopLevelWindow>()>;

// Replaces the window source; returns the previous one. An empty function restores the default.
TopLevelWindowSource SetTopLevelWindowSource(TopLevelWindowSource source);

// The window wildcard test: "*" any run, "?" one character, "#" one digit, "[list]" one character of
// the list, "[!list]" one not in it; every other character matches itself (case-sensitive).
bool MatchWindowPattern(const QString& text, const QString& pattern);

// The handle of the first visible top-level window whose title (upper-cased when not case-sensitive)
// matches the title pattern and whose class matches the class pattern; 0 when none does.
quintptr FindTopLevelWindow(const QString& titlePattern, bool caseSensitive, const QString& classPattern);
// The per-window test of the search: 0 stops at a match (the handle is kept), 1 goes on.
int MatchTopLevelWindowProc(const TopLevelWindow& window, int caseSensitiveFlag);

// Brings the CAD's main window to the front: maximised unless the CAD's window is in its normal
// state. Only the names "AutoCAD" and "ZWCAD" can find a window.
void ActivateCadWindow(const QString& applicationName);

// ActivateCadWindow("AutoCAD") with the raise held back until the first call of `next` that needs an
// answer (a pick, a look-up), so over the socket it costs no round trip of its own. A failed raise is
// ignored, as the window search ignores its errors; so `next` must hold nothing of its own (one
// answered call), or its failures would be ignored too.
template <class Next>
auto ActivateCadWindowBefore(Next&& next) {
    cad::DeferredCalls raise(CadApplication, cad::DeferredCalls::CallsOnly, cad::DeferredCalls::FailuresIgnored);
    try {
        ActivateCadWindow(QStringLiteral("AutoCAD"));
    } catch (const std::exception&) {
        // Not raised (a channel that runs the call at once): what follows goes on all the same.
    }
    return next();
}

}  // namespace automation
