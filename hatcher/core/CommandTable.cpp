// The rows of hatcher's main window, top to bottom as the user sees them, and the dispatcher.
#include "hatcher/core/CommandTable.h"

#include "hatcher/core/PatternArea.h"
#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"

namespace hatcher {

namespace {

void cmdDefObszar(CommandContext& c) {
    frmMain_cmdDefObszar_Click(c.form);
}
void cmdTworzObrazyFaz(CommandContext& c) {
    c.Pictures = frmMain_cmdTworzObrazyFaz_Click(c.form);
}
void cmdConnect(CommandContext& c) {
    cmdConnect_Click(c.form);
}
void cmdConnectAll(CommandContext& c) {
    cmdConnectAll_Click(c.form);
}
void cmdAtrrsAngle(CommandContext& c) {
    cmdAtrrsAngle_Click(c.form);
}
// The rows below are refused without a window before their handlers run.
void cmdKonfig(CommandContext& c) {
    c.window->cmdKonfig_Click();
}
void btnHlp(CommandContext& c) {
    c.window->btnHlp_Click();
}
void btnClose(CommandContext& c) {
    c.window->btnClose_Click();
}

}  // namespace

const std::vector<CommandRow>& CommandTable() {
    using R = RunsAs;
    // Grid rows 0 (the intersection) and 6 to 8 (layer list, status, progress) hold the window's own
    // controls.
    static const std::vector<CommandRow> rows = {
        // Runs as the first step of the phase pictures; the user never sees the button.
        {"cmdDefObszar", "Określ okrąg dla schematu", 1, 0, 3, false, cmdDefObszar, R::DrawingCommand, true,
         nullptr, Picks::PatternArea},
        {"cmdTworzObrazyFaz", "Twórz obrazy faz", 2, 0, 3, true, cmdTworzObrazyFaz, R::DrawingCommand, true,
         nullptr, Picks::PatternArea},
        {"cmdConnect", "Określ możliwe przejścia międzyfazowe", 3, 0, 3, true, cmdConnect, R::DrawingCommand,
         true, "czeka na wskazanie obrazów faz na rysunku"},
        {"cmdConnectAll", "Twórz wszystkie przejścia międzyfazowe", 4, 0, 3, true, cmdConnectAll,
         R::DrawingCommand, true, nullptr},
        {"cmdAtrrsAngle", "Aktualizuj kąty atrybutów dla przejść", 5, 0, 3, true, cmdAtrrsAngle,
         R::DrawingCommand, true, nullptr},
        {"cmdKonfig", "&Konfiguracja", 9, 0, 3, true, cmdKonfig, R::Direct, true, "otwiera okno ustawień"},
        {"btnHlp", "&Pomoc", 10, 0, 1, true, btnHlp, R::Direct, false, "otwiera pomoc programu"},
        {"btnClose", "&Zakończ", 10, 1, 2, true, btnClose, R::Direct, false, "zamyka okno programu"},
    };
    return rows;
}

const CommandRow* FindCommand(const QString& id) {
    for (const CommandRow& row : CommandTable())
        if (id == QLatin1String(row.id)) return &row;
    return nullptr;
}

CommandRun RunTableCommand(const QString& id, CommandContext& context) {
    const CommandRow* row = FindCommand(id);
    if (!row) return CommandRun::Unknown;
    if (row->needsWindow && !context.window) return CommandRun::NeedsWindow;
    row->handler(context);
    return CommandRun::Ran;
}

}  // namespace hatcher
