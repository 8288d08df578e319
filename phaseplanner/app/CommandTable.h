// phaseplanner's commands as data: the menus, their entries and the toolbar buttons (with their
// drop-down entries) are built from these rows, and every click goes through MainWindow::RunCommand.
// phaseplanner-headless runs the rows that need no window by their names (RunTableCommand).
// A command that a later part of the program brings is one more row and one handler.
#pragma once

#include <QString>
#include <vector>

namespace phaseplanner {

class MainWindow;
struct IntergreenCheckResult;

// What a command runs against: the main window when there is one (nullptr: phaseplanner-headless),
// and what it leaves for its caller.
struct CommandContext {
    MainWindow* window = nullptr;
    // The check's pairs and what it left out, when the caller reads them (the headless tool prints them).
    IntergreenCheckResult* CheckResult = nullptr;
    // False when the command stopped (a refused cycle, a cancelled question, nothing drawn or read).
    bool Succeeded = true;
};

using CommandHandler = void (*)(CommandContext&);

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
    bool runsWithoutWindow = false;  // it opens no dialog: the headless tool may run it
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

// How a command run by name ended.
enum class CommandRun { Ran, Unknown, NeedsWindow };
// Runs the row `name` against the context; a row that needs the window is refused without one.
CommandRun RunTableCommand(const QString& name, CommandContext& context);

}  // namespace phaseplanner
