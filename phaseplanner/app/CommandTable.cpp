// The rows of phaseplanner's menus and toolbar.
#include "phaseplanner/app/CommandTable.h"

#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/editor/ProgramWindow.h"

#include <cstring>

namespace phaseplanner {

namespace {
void zakoncz(MainWindow& w) {
    w.mnuPlik_Zakoncz_Click();
}
void zamknijSkoroszyt(MainWindow& w) {
    w.mnuPlik_ZamknijSkoroszyt_Click();
}
void parametry(MainWindow& w) {
    w.mnuDane_Parametry_Click();
}
void dodaj(MainWindow& w) {
    w.mnuGrupa_Dodaj_Click();
}
void kopiuj(MainWindow& w) {
    w.mnuGrupa_Kopiuj_Click();
}
void edytuj(MainWindow& w) {
    w.mnuGrupa_Edytuj_Click();
}
void usun(MainWindow& w) {
    w.mnuGrupa_Usun_Click();
}
void przejsciaFazowe(MainWindow& w) {
    w.mnuDane_PrzejsciaFazowe_Click();
}
void excelWstepne(MainWindow& w) {
    w.mnuGrupa_ExcelWstepne_Click();
}
void konfiguracja(MainWindow& w) {
    w.mnuNarzedzia_Konf_Click();
}
void naWierzchu(MainWindow& w) {
    w.mnuNarzedzia_NaWierzchu_Click();
}
void pomoc(MainWindow& w) {
    w.mnuPomoc_Pomocnik_Click();
}
void oProgramie(MainWindow& w) {
    w.mnuPomoc_OProgramie_Click();
}
void pobierz(MainWindow& w) {
    w.mnuDane_Pobierz_Click();
}
void wrysuj(MainWindow& w) {
    w.mnuDane_Wrysuj_Click();
}
void wczytajZwykly(MainWindow& w) {
    w.mnuNarzedzia_Wczytaj(0);
}
void wczytajAkomodowany(MainWindow& w) {
    w.mnuNarzedzia_Wczytaj(-1);
}
void sprawdzCzasy(MainWindow& w) {
    w.RunCheckCommand(true, false, -1);
}
void sprawdzCzasyBledne(MainWindow& w) {
    w.RunCheckCommand(false, false, -1);
}
void pokazKolizje(MainWindow& w) {
    w.RunCheckCommand(true, true, -1);
}
void grafGrupa(MainWindow& w) {
    w.mnuDane_Graf(false, false);
}
void grafWszystkieGrupy(MainWindow& w) {
    w.mnuDane_Graf(true, true);
}
void grafTylkoKoliz(MainWindow& w) {
    w.mnuDane_Graf(true, false);
}
void grafWyczysc(MainWindow& w) {
    w.mnuDane_GrafWyczysc_Click();
}
void koordynacja(MainWindow& w) {
    w.mnu_Koordynacja_Click();
}
void excel(MainWindow& w) {
    w.mnuGrupa_Excel_Click();
}
void addNo(MainWindow&) {
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
         zamknijSkoroszyt},
        {"mnuPlik", "mnuPlik_Zakoncz", "&Zakończ", nullptr, zakoncz},
        {"mnuDane", "mnuDane_Pobierz", "&Pobierz dane z rysunku", nullptr, pobierz},
        {"mnuDane", "mnuDane_Wrysuj", "Wrysuj grupy z &tabeli", nullptr, wrysuj},
        {"mnuDane", "mnuDane_Sprawdz", "&Sprawdź czasy", nullptr, nullptr},
        {"mnuDane_Sprawdz", "mnuDane_SprawdzCzasy", "pokaż &wszystkie", nullptr, sprawdzCzasy},
        {"mnuDane_Sprawdz", "mnuDane_SprawdzCzasyBledne", "pokaż &nieprawidłowe", nullptr,
         sprawdzCzasyBledne},
        {"mnuDane", "mnuDane_Graf", "Graficzna analiza TMZ", nullptr, nullptr},
        {"mnuDane_Graf", "mnuDane_GrafGrupa", "dla grupy", nullptr, grafGrupa},
        {"mnuDane_Graf", "mnuDane_GrafWszystkieGrupy", "dla wszystkich grup", nullptr, grafWszystkieGrupy},
        {"mnuDane_Graf", "mnuDane_GrafTylkoKoliz", "tylko kolizyjne", nullptr, grafTylkoKoliz},
        {"mnuDane_Graf", "mnuDane_GrafWyczysc", "wyczyść", nullptr, grafWyczysc},
        {"mnuDane", "mnuDane_PrzejsciaFazowe", "Przejścia fazowe", nullptr, przejsciaFazowe},
        {"mnuDane", "mnuDane_PokazKolizje", "Pokaż &kolizje", nullptr, pokazKolizje},
        {"mnuDane", "mnuDane_Parametry", "Pa&rametry pracy programu", nullptr, parametry},
        {"mnuGrupa", "mnuGrupa_Excel", "Pobierz grupy z E&xcela", nullptr, excel},
        // Hidden for the whole run (the window's load hides it); reached only as a command.
        {"mnuGrupa", "mnuGrupa_ExcelWstepne", "Excel - ustal parametry wstępne", nullptr, excelWstepne},
        {"mnuGrupa", "mnuGrupa_Dodaj", "&Dodaj grupę", nullptr, dodaj},
        {"mnuGrupa", "mnuGrupa_Kopiuj", "&Kopiuj grupę", nullptr, kopiuj},
        {"mnuGrupa", "mnuGrupa_Edytuj", "&Edytuj grupę", nullptr, edytuj},
        {"mnuGrupa", "mnuGrupa_Usun", "&Usuń grupę", nullptr, usun},
        {"mnuNarzedzia", "mnuNarzedzia_Konf", "&Konfiguracja", nullptr, konfiguracja},
        {"mnuNarzedzia", "mnuNarzedzia_Wczytaj", "&Wczytaj", nullptr, nullptr},
        {"mnuNarzedzia_Wczytaj", "mnuNarzedzia_WczytajZwykly", "Wczytaj nową tabelę - program zwykły",
         nullptr, wczytajZwykly},
        {"mnuNarzedzia_Wczytaj", "mnuNarzedzia_WczytajAkomodowany",
         "Wczytaj nową tabelę - program akomodowany", nullptr, wczytajAkomodowany},
        {"mnuNarzedzia", "mnuNarzedzia_NaWierzchu", "&Zawsze na wierzchu", nullptr, naWierzchu, true},
        {"mnuPomoc", "mnuPomoc_Pomocnik", "Tesmar Program - &Pomoc (F1)", nullptr, pomoc},
        {"mnuPomoc", "mnuPomoc_Sep", "-", nullptr, nullptr},
        {"mnuPomoc", "mnuPomoc_OProgramie", "&O programie", nullptr, oProgramie},
        // Hidden for the whole run: no menu or button reaches the coordination window.
        {nullptr, "mnu_Koordynacja", "&Koordynacja", nullptr, koordynacja},
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

}  // namespace phaseplanner
