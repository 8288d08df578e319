// conflictor's commands as data: the menu bar, its menus and items, and the toolbar buttons are built from
// these rows, and every click goes through one dispatcher (ConflictorWindow::RunCommand). A new command
// is one row here and one handler function; the window code does not change.
#pragma once

#include <vector>

namespace conflictor {

class ConflictorWindow;

// When a command is enabled: always, or while a stream is selected in the grid (switched as a group).
enum class EnabledWhen { Always, StreamSelected };

using CommandHandler = void (*)(ConflictorWindow&);

// A menu of the menu bar, in display order. A menu without items is left out of the bar. A bar item
// without a menu (`handler` set) runs its command directly.
struct MenuBarRow {
    const char* objectName;  // mnuPlik, mnuWidok, ...
    const char* label;       // Polish caption with its access key
    CommandHandler handler = nullptr;
    EnabledWhen enabledWhen = EnabledWhen::Always;
};

// One menu entry: a command, a submenu (no handler) or a separator (label "-").
struct CommandRow {
    const char* menu;        // object name of the menu or submenu holding it
    const char* objectName;  // the command's id and the entry's object name (mnuPlik_Zakoncz)
    const char* label;       // Polish caption with its access key; "-" for a separator
    const char* shortcut;    // key sequence text ("F1") or nullptr
    const char* icon;        // resource name of the icon or nullptr
    CommandHandler handler;  // nullptr: a submenu named objectName
    EnabledWhen enabledWhen;
    bool checkable = false;
};

// A toolbar of the main window, in display order, and its buttons. A button runs the menu command named
// by `command`; errors of a command started from a toolbar are not reported (menus report them).
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

const std::vector<MenuBarRow>& MenuBarTable();
const std::vector<CommandRow>& CommandTable();
// The rows of the window's own commands (detector list, options, help) within CommandTable().
const std::vector<CommandRow>& WindowCommandRows();
const std::vector<ToolbarRow>& ToolbarTable();
const std::vector<ToolButtonRow>& ToolButtonTable();
// The row of a command id; nullptr when there is none.
const CommandRow* FindCommand(const char* objectName);
// The handler of a menu entry or of a menu-bar item; nullptr when there is none.
CommandHandler FindCommandHandler(const char* objectName);

}  // namespace conflictor
