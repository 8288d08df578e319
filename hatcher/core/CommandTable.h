// hatcher's commands as data, in one ordered table (CommandTable.cpp): the main window builds its
// command buttons from these rows, in their order and at their places, and every click goes through
// RunTableCommand; hatcher-headless runs the same rows by id. A new command is one row and one handler
// taking a CommandContext.
#pragma once

#include "hatcher/core/HatcherForm.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace hatcher {

// What the rows that only the main window can run ask of it.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;
    // The settings dialog frmKonfig, modal; the layer list is rebuilt after it.
    virtual void cmdKonfig_Click() = 0;
    // The help page of the window.
    virtual void btnHlp_Click() = 0;
    // The settings saved, the window closed.
    virtual void btnClose_Click() = 0;
};

// What a command runs against: the form (the main window, or a HeadlessForm), the window when there is
// one, and what the command leaves for its caller.
struct CommandContext {
    explicit CommandContext(HatcherForm& f, CommandWindow* w = nullptr) : form(f), window(w) {}
    HatcherForm& form;
    CommandWindow* window = nullptr;
    // The picture references the phase pictures command inserted (the headless tool counts them).
    QStringList Pictures;
};

using CommandHandler = void (*)(CommandContext&);

// How the window runs a command: on the drawing, under the guard (hourglass, the held buttons
// disabled, a failed CAD call told and the window taking commands again), or directly (a dialog, the
// help, the close).
enum class RunsAs { DrawingCommand, Direct };
// The picks a command waits for that the headless tool can give from its command line: none, or the
// circle of the pattern area (centre, a point on it) and the place of the pattern.
enum class Picks { None, PatternArea };

// One command button of the main window. The window's grid: row, column and how many columns it spans.
struct CommandRow {
    const char* id;          // the button's object name (cmdTworzObrazyFaz)
    const char* caption;     // Polish caption with its access key, before Tlumacz
    int row, column, columnSpan;
    bool shown;              // false: the button exists but the user never sees it
    CommandHandler handler;
    RunsAs runsAs;
    bool heldWhileBusy;      // disabled while a drawing command runs
    // nullptr: runs without the window too; else why only the window can run it (Polish).
    const char* needsWindow;
    Picks picks = Picks::None;
};

const std::vector<CommandRow>& CommandTable();
const CommandRow* FindCommand(const QString& id);

// How a command run by id ended.
enum class CommandRun { Ran, Unknown, NeedsWindow };
// Runs the row `id` against the context; a row that needs the window is refused when the context has
// none.
CommandRun RunTableCommand(const QString& id, CommandContext& context);

}  // namespace hatcher
