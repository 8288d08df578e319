// Finding and raising the CAD's main window. The search takes the first visible top-level window,
// in window order, whose title and class match wildcard patterns.
// The windows come from a replaceable source; by default the drawing window of the connected CAD,
// which is raised through the object model.
#pragma once

#include "automation/CadConnection.h"

#include <QList>
#include <QString>
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

// ActivateCadWindow("AutoCAD") for a command about to ask the user for something in the drawing: a
// raise that fails is ignored (the window search ignores its errors too), and the command goes on.
void RaiseCadWindow();

}  // namespace automation
