// The rows of phaseplanner's menus and toolbar.
#include "phaseplanner/app/CommandTable.h"

#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/ProgramCommands.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <cstring>

namespace phaseplanner {

namespace {
// A command of the window: the dispatcher runs it only when the context has the window.
template <void (MainWindow::*Command)()>
void window(CommandContext& c) {
    (c.window->*Command)();
}
void grafGrupa(CommandContext& c) {
    c.window->mnuDane_Graf(false, false);
}
void grafWszystkieGrupy(CommandContext& c) {
    c.window->mnuDane_Graf(true, true);
}
void grafTylkoKoliz(CommandContext& c) {
    c.window->mnuDane_Graf(true, false);
}
void pokazKolizje(CommandContext& c) {
    c.window->RunCheckCommand(true, true, -1);
}
void addNo(CommandContext&) {
    cmdAddNo_Click();
}
}  // namespace

const std::vector<MenuRow>& MenuTable() {
    static const std::vector<MenuRow> rows{
        {"mnuPlik", "&Plik"},           {"mnuDane", "&Dane"},   {"mnuGrupa", "&Grupa"},
        {"mnuNarzedzia", "&Narzędzia"}, {"mnuPomoc", "&Pomoc"},
    };
    return rows;
}

const std::vector<CommandRow>& CommandTable() {
    static const std::vector<CommandRow> rows{
        {"mnuPlik", "mnuPlik_ZamknijSkoroszyt", "Zamknij &skoroszyt czasów międzyzielonych", nullptr,
         window<&MainWindow::mnuPlik_ZamknijSkoroszyt_Click>},
        {"mnuPlik", "mnuPlik_Zakoncz", "&Zakończ", nullptr, window<&MainWindow::mnuPlik_Zakoncz_Click>},
        {"mnuDane", "mnuDane_Pobierz", "&Pobierz dane z rysunku", nullptr, window<&MainWindow::mnuDane_Pobierz_Click>},
        {"mnuDane", "mnuDane_Wrysuj", "Wrysuj grupy z &tabeli", nullptr, mnuDane_Wrysuj, false, true},
        {"mnuDane", "mnuDane_Sprawdz", "&Sprawdź czasy", nullptr, nullptr},
        {"mnuDane_Sprawdz", "mnuDane_SprawdzCzasy", "pokaż &wszystkie", nullptr, mnuDane_SprawdzCzasy, false, true},
        {"mnuDane_Sprawdz", "mnuDane_SprawdzCzasyBledne", "pokaż &nieprawidłowe", nullptr,
         mnuDane_SprawdzCzasyBledne, false, true},
        {"mnuDane", "mnuDane_Graf", "Graficzna analiza TMZ", nullptr, nullptr},
        {"mnuDane_Graf", "mnuDane_GrafGrupa", "dla grupy", nullptr, grafGrupa},
        {"mnuDane_Graf", "mnuDane_GrafWszystkieGrupy", "dla wszystkich grup", nullptr, grafWszystkieGrupy},
        {"mnuDane_Graf", "mnuDane_GrafTylkoKoliz", "tylko kolizyjne", nullptr, grafTylkoKoliz},
        {"mnuDane_Graf", "mnuDane_GrafWyczysc", "wyczyść", nullptr, window<&MainWindow::mnuDane_GrafWyczysc_Click>},
        {"mnuDane", "mnuDane_PrzejsciaFazowe", "Przejścia fazowe", nullptr, window<&MainWindow::mnuDane_PrzejsciaFazowe_Click>},
        {"mnuDane", "mnuDane_PokazKolizje", "Pokaż &kolizje", nullptr, pokazKolizje},
        {"mnuDane", "mnuDane_Parametry", "Pa&rametry pracy programu", nullptr, window<&MainWindow::mnuDane_Parametry_Click>},
        {"mnuGrupa", "mnuGrupa_Excel", "Pobierz grupy z E&xcela", nullptr, mnuGrupa_Excel, false, true},
        // Hidden for the whole run (the window's load hides it); reached only as a command.
        {"mnuGrupa", "mnuGrupa_ExcelWstepne", "Excel - ustal parametry wstępne", nullptr, window<&MainWindow::mnuGrupa_ExcelWstepne_Click>},
        {"mnuGrupa", "mnuGrupa_Dodaj", "&Dodaj grupę", nullptr, window<&MainWindow::mnuGrupa_Dodaj_Click>},
        {"mnuGrupa", "mnuGrupa_Kopiuj", "&Kopiuj grupę", nullptr, window<&MainWindow::mnuGrupa_Kopiuj_Click>},
        {"mnuGrupa", "mnuGrupa_Edytuj", "&Edytuj grupę", nullptr, window<&MainWindow::mnuGrupa_Edytuj_Click>},
        {"mnuGrupa", "mnuGrupa_Usun", "&Usuń grupę", nullptr, window<&MainWindow::mnuGrupa_Usun_Click>},
        {"mnuNarzedzia", "mnuNarzedzia_Konf", "&Konfiguracja", nullptr, window<&MainWindow::mnuNarzedzia_Konf_Click>},
        {"mnuNarzedzia", "mnuNarzedzia_Wczytaj", "&Wczytaj", nullptr, nullptr},
        {"mnuNarzedzia_Wczytaj", "mnuNarzedzia_WczytajZwykly", "Wczytaj nową tabelę - program zwykły",
         nullptr, mnuNarzedzia_WczytajZwykly, false, true},
        {"mnuNarzedzia_Wczytaj", "mnuNarzedzia_WczytajAkomodowany",
         "Wczytaj nową tabelę - program akomodowany", nullptr, mnuNarzedzia_WczytajAkomodowany, false, true},
        {"mnuNarzedzia", "mnuNarzedzia_NaWierzchu", "&Zawsze na wierzchu", nullptr, window<&MainWindow::mnuNarzedzia_NaWierzchu_Click>, true},
        {"mnuPomoc", "mnuPomoc_Pomocnik", "Tesmar Program - &Pomoc (F1)", nullptr, window<&MainWindow::mnuPomoc_Pomocnik_Click>},
        {"mnuPomoc", "mnuPomoc_Sep", "-", nullptr, nullptr},
        {"mnuPomoc", "mnuPomoc_OProgramie", "&O programie", nullptr, window<&MainWindow::mnuPomoc_OProgramie_Click>},
        // Hidden for the whole run: no menu or button reaches the coordination window.
        {nullptr, "mnu_Koordynacja", "&Koordynacja", nullptr, window<&MainWindow::mnu_Koordynacja_Click>},
        // Not in a menu: the "+" button beside the intersection list.
        {nullptr, "cmdAddNo", "+", nullptr, addNo},
    };
    return rows;
}

const std::vector<ToolButtonRow>& ToolButtonTable() {
    static const std::vector<ToolButtonRow> rows{
        {"PobierzDane", nullptr, "mnuDane_Pobierz", "Pobierz dane z rysunku", ":/icons/pobierz-dane.svg"},
        {"WrysujGrupy", nullptr, "mnuDane_Wrysuj", "Wrysuj grupy z tabeli", ":/icons/wrysuj-grupy.svg"},
        {"SprawdzCzasy", nullptr, "mnuDane_SprawdzCzasy", "Sprawdź czasy", ":/icons/sprawdz-czasy.svg"},
        {"SprawdzCzasy", "SprawdzCzasy", "mnuDane_SprawdzCzasy", "Sprawdź czasy - pokaż wszystkie", nullptr},
        {"SprawdzCzasyBledne", "SprawdzCzasy", "mnuDane_SprawdzCzasyBledne",
         "Sprawdź czasy - pokaż nieprawidłowe", nullptr},
        {"GrafGrupaMain", nullptr, "mnuDane_GrafGrupa", "Graficzna analiza TMZ - dla grupy",
         ":/icons/graf-grupa.svg"},
        {"GrafGrupa", "GrafGrupaMain", "mnuDane_GrafGrupa", "Graficzna analiza TMZ - dla grupy", nullptr},
        {"GrafWszystkieGrupy", "GrafGrupaMain", "mnuDane_GrafWszystkieGrupy",
         "Graficzna analiza TMZ - dla wszystkich grup", nullptr},
        {"GrafKolizyjne", "GrafGrupaMain", "mnuDane_GrafTylkoKoliz",
         "Graficzna analiza TMZ - tylko kolizyjne", nullptr},
        {"GrafWyczysc", "GrafGrupaMain", "mnuDane_GrafWyczysc", "Graficzna analiza TMZ - wyczyść", nullptr},
        {"PrzejsciaFazowe", nullptr, "mnuDane_PrzejsciaFazowe", "Przejścia fazowe",
         ":/icons/przejscia-fazowe.svg"},
        {"PokazKolizje", nullptr, "mnuDane_PokazKolizje", "Pokaż kolizje", ":/icons/pokaz-kolizje.svg"},
        {"PobierzExcel", nullptr, "mnuGrupa_Excel", "Pobierz grupy z Excela", ":/icons/pobierz-excel.svg"},
        {"DodajGrupe", nullptr, "mnuGrupa_Dodaj", "Dodaj grupę", ":/icons/dodaj-grupe.svg"},
        {"KopiujGrupe", nullptr, "mnuGrupa_Kopiuj", "Kopiuj grupę", ":/icons/kopiuj-grupe.svg"},
        {"EdytujGrupe", nullptr, "mnuGrupa_Edytuj", "Edytuj grupę", ":/icons/edytuj-grupe.svg"},
        {"UsunGrupe", nullptr, "mnuGrupa_Usun", "Usuń grupę", ":/icons/usun-grupe.svg"},
        {"Konfiguracja", nullptr, "mnuNarzedzia_Konf", "Konfiguracja", ":/icons/konfiguracja.svg"},
        {"Wczytaj", nullptr, "mnuNarzedzia_WczytajZwykly", "Wczytaj nową tabelę - program zwykły",
         ":/icons/wczytaj-tabele.svg"},
        {"WczytajZwykly", "Wczytaj", "mnuNarzedzia_WczytajZwykly", "Wczytaj nową tabelę - program zwykły",
         nullptr},
        {"WczytajAkomod", "Wczytaj", "mnuNarzedzia_WczytajAkomodowany",
         "Wczytaj nową tabelę - program akomodowany", nullptr},
        {"FormNotOnTop", nullptr, "mnuNarzedzia_NaWierzchu", "Zawsze na wierzchu",
         ":/icons/nie-na-wierzchu.svg"},
        {"Pomoc", nullptr, "mnuPomoc_Pomocnik", "Pomoc - F1", ":/icons/pomoc.svg"},
    };
    return rows;
}

const CommandRow* FindCommand(const char* objectName) {
    for (const CommandRow& row : CommandTable())
        if (std::strcmp(row.objectName, objectName) == 0) return &row;
    return nullptr;
}

CommandRun RunTableCommand(const QString& name, CommandContext& context) {
    const CommandRow* row = FindCommand(name.toLatin1().constData());
    if (!row || !row->handler) return CommandRun::Unknown;
    if (!row->runsWithoutWindow && !context.window) return CommandRun::NeedsWindow;
    context.Succeeded = true;
    row->handler(context);
    return CommandRun::Ran;
}

}  // namespace phaseplanner
