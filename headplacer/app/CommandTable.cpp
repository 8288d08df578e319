// The command buttons of the head window and of the detector window, in the windows' order.
#include "headplacer/app/CommandTable.h"

#include "headplacer/app/DetectorWindow.h"
#include "headplacer/app/HeadPlacerApp.h"
#include "headplacer/app/HeadWindow.h"
#include "headplacer/app/HelpPages.h"
#include "headplacer/app/PlacementCommands.h"

namespace headplacer {

namespace {
// Commands of a window: the dispatcher runs them only when the context has the windows.
template <void (HeadWindow::*Command)()>
void head(CommandContext& c) {
    (c.app->headWindow().*Command)();
}
template <void (DetectorWindow::*Command)()>
void detector(CommandContext& c) {
    (c.app->detectorWindow()->*Command)();
}
void cmdCancel(CommandContext& c) {
    c.app->endProgram();
}
void cmdHelp(CommandContext& c) {
    ShowHelpPage(HelpWindow::Head, &c.app->headWindow());
}
void btnHlp(CommandContext& c) {
    ShowHelpPage(HelpWindow::Detector, c.app->detectorWindow());
}
// The "Zmierz" buttons: each takes a picked line's length into its own list.
template <DetectorWindow::Measure What>
void measure(CommandContext& c) {
    c.app->detectorWindow()->measure(What);
}

using M = DetectorWindow::Measure;
const char* const Help = "otwiera pomoc";
const char* const Settings = "otwiera okno ustawień";
const char* const Pick = "czeka na wskazanie odcinka i wpisuje jego długość w oknie detektorów";
const char* const Fields = "zmienia pola okna detektorów";
}  // namespace

const std::vector<CommandRow>& CommandTable() {
    static const std::vector<CommandRow> rows{
        // The head window.
        {"frmMain", "cmdDodajWpis", "+", "Dodaj wpis do listy skrzyżowań",
         head<&HeadWindow::cmdDodajWpis_Click>, "dopisuje skrzyżowanie do listy okna"},
        {"frmMain", "cmdUstawienia", "&Ustawienia", nullptr, head<&HeadWindow::cmdUstawienia_Click>,
         Settings},
        {"frmMain", "cmdHelp", "&Pomoc", nullptr, cmdHelp, Help},
        {"frmMain", "cmdAccept", "&Zatwierdź", "Ustawianie sygnalizatora z wybranymi ustawieniami", cmdAccept,
         nullptr},
        {"frmMain", "cmdCancel", "&Anuluj", nullptr, cmdCancel, "zamyka okno sygnalizatora"},
        // The detector window.
        {"frmDetektory", "cmdPobierzDlugosc", "Zmierz", nullptr, measure<M::LoopLength>, Pick},
        {"frmDetektory", "cmdPobierzSzerokosc", "Zmierz", nullptr, measure<M::LoopWidth>, Pick},
        {"frmDetektory", "cmdCalkowiteRound", "Zaokrąglaj do pełnych m", nullptr,
         detector<&DetectorWindow::cmdCalkowiteRound_Click>, Fields},
        {"frmDetektory", "cmdJednoMiejsceRound", "0,1", "Zaokrąglaj do pełnych 10 cm",
         detector<&DetectorWindow::cmdJednoMiejsceRound_Click>, Fields},
        {"frmDetektory", "cmdPobierzDluObsD", "Zmierz", nullptr, measure<M::AreaLength>, Pick},
        {"frmDetektory", "cmdPobierzSzerObsD", "Zmierz", nullptr, measure<M::AreaWidth>, Pick},
        {"frmDetektory", "cmdPobierzOdlPrObsD", "Zmierz", nullptr, measure<M::AreaDistance>, Pick},
        {"frmDetektory", "cmdNextLane", "&Następny pas", nullptr,
         detector<&DetectorWindow::cmdNextLane_Click>, Fields},
        {"frmDetektory", "cmdNextObsDet", "Następny &obszar det.",
         "Ustawia opis obszaru następnego od linii zatrzymania na tym samym pasie ",
         detector<&DetectorWindow::cmdNextObsDet_Click>, Fields},
        {"frmDetektory", "cmdUstUstDet", "&Ustawienia", "Konfiguracja ustawiania",
         detector<&DetectorWindow::cmdUstUstDet_Click>, Settings},
        {"frmDetektory", "btnHlp", "&Pomoc", "Uruchamia pomoc kontekstową", btnHlp, Help},
        {"frmDetektory", "cbUstaw", "&Ustaw", "Ustawia detektor na rysunku", cbUstaw, nullptr},
        {"frmDetektory", "btnCcl", "&Zakończ", "Kończy działanie aplikacji",
         detector<&DetectorWindow::btnCcl_Click>, "zamyka okno detektorów"},
    };
    return rows;
}

const CommandRow* FindCommand(const QString& objectName) {
    for (const CommandRow& row : CommandTable())
        if (objectName == QLatin1String(row.objectName)) return &row;
    return nullptr;
}

CommandRun RunTableCommand(const QString& id, CommandContext& context) {
    const CommandRow* row = FindCommand(id);
    if (!row) return CommandRun::Unknown;
    if (row->needsWindow && !context.app) return CommandRun::NeedsWindow;
    context.Succeeded = true;
    row->handler(context);
    return CommandRun::Ran;
}

}  // namespace headplacer
