// phaseplanner's commands as data: the menus, their entries and the toolbar buttons (with their
// drop-down entries) are built from these rows, and every click goes through MainWindow::RunCommand.
// A command that a later part of the program brings is one more row and one handler.
#pragma once

#include <vector>

namespace phaseplanner {

class MainWindow;

using CommandHandler = void (*)(MainWindow&);

// A menu of the menu bar in display order; a menu without entries is left out.
struct MenuRow {
    const char* objectName;  // mnuPlik, mnuDane, ...
    const char* label;
};

// One menu entry: a command, a submenu (no handler) or a separator (label "-").
struct CommandRow {
    const char* menu;        // object name of the menu or submenu that holds it
    const char* objectName;  // the command's name (mnuGrupa_Dodaj); also the entry's object name
    const char* label;
    const char* shortcut;  // key sequence or nullptr
    CommandHandler handler;
    bool checkable = false;
};

// A toolbar button: its key, the command it runs, its tooltip and icon; drop-down entries name the
// button they belong to in `parentKey`.
struct ToolButtonRow {
    const char* key;
    const char* parentKey;  // nullptr: a button of its own
    const char* command;
    const char* text;  // tooltip of a button, caption of a drop-down entry
    const char* icon;  // resource of its picture (":/icons/pomoc.svg") or nullptr
};

const std::vector<MenuRow>& MenuTable();
const std::vector<CommandRow>& CommandTable();
const std::vector<ToolButtonRow>& ToolButtonTable();
const CommandRow* FindCommand(const char* objectName);

}  // namespace phaseplanner
