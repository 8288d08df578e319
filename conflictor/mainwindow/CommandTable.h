// conflictor's commands as data, in one table (CommandTable.cpp): the menu bar, its menus and items,
// the toolbars, their buttons and the buttons' drop-down menus are built from these rows, and every
// click goes through one dispatcher (RunTableCommand). conflictor-headless runs the same rows by id.
// A new command is one row in CommandTable() and one handler taking a CommandContext.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace conflictor {

struct CommandContext;

// When a command is enabled: always, or while a stream is selected in the grid (switched as a group).
enum class EnabledWhen { Always, StreamSelected };
// Where a command can run: anywhere (also without a window), or only in the window because it opens a
// dialog or waits for picks in the drawing.
enum class RunsIn { Anywhere, Window };

using CommandHandler = void (*)(CommandContext&);

// A menu of the menu bar, in display order. A menu without items is left out of the bar. A bar item
// without a menu (`handler` set) runs its command directly.
struct MenuBarRow {
    const char* objectName;  // mnuPlik, mnuWidok, ...
    const char* label;       // Polish caption with its access key
    CommandHandler handler = nullptr;
    EnabledWhen enabledWhen = EnabledWhen::Always;
    RunsIn runsIn = RunsIn::Window;
};

// One menu entry: a command, a submenu (no handler) or a separator (label "-").
struct CommandRow {
    const char* menu;        // object name of the menu or submenu holding it
    const char* objectName;  // the command's id and the entry's object name (mnuPlik_Zakoncz)
    const char* label;       // Polish caption with its access key; "-" for a separator
    CommandHandler handler;  // nullptr: a submenu named objectName, or a separator
    EnabledWhen enabledWhen;
    RunsIn runsIn;
    bool checkable = false;
};

// A toolbar of the main window, in display order, and its buttons. A button runs the menu command named
// by `command`.
struct ToolbarRow {
    const char* objectName;  // tlbPrzyciski, tlbPrzyciski2
};
struct ToolButtonRow {
    const char* toolbar;  // object name of its toolbar
    const char* key;      // the button's key (its object name)
    const char* command;  // object name of the menu command it starts; nullptr for a separator
    const char* tooltip;  // Polish tool tip, also shown in the status panel while hovered
    const char* icon;     // resource name of the icon or nullptr
    EnabledWhen enabledWhen = EnabledWhen::Always;
};
// One entry of a drop-down button's menu: it starts the menu command named by `command`.
struct ToolButtonMenuRow {
    const char* button;   // key of the drop-down button
    const char* key;      // the entry's key (its object name)
    const char* command;  // object name of the menu command
    const char* text;     // Polish text
};

const std::vector<MenuBarRow>& MenuBarTable();
const std::vector<CommandRow>& CommandTable();
const std::vector<ToolbarRow>& ToolbarTable();
const std::vector<ToolButtonRow>& ToolButtonTable();
const std::vector<ToolButtonMenuRow>& ToolButtonMenuTable();

// How a command run by id ended.
enum class CommandRun { Ran, Unknown, NeedsWindow };
// Runs the command `id` (a menu entry or a menu-bar item) against the context. A command that needs a
// window is refused when the context has none.
CommandRun RunTableCommand(const QString& id, CommandContext& context);
// The ids of the commands that run anywhere, in table order (the headless tool's list).
QStringList HeadlessCommandIds();

}  // namespace conflictor
