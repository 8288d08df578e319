// The rows of conflictor's menus and toolbars, in display order, and the dispatcher that runs them.
#include "conflictor/mainwindow/CommandTable.h"

#include "conflictor/mainwindow/CommandContext.h"
#include "conflictor/mainwindow/DrawingCommands.h"
#include "conflictor/mainwindow/ExportCommands.h"
#include "conflictor/mainwindow/PhaseCommands.h"
#include "conflictor/mainwindow/WindowCommands.h"
#include "conflictor/streams/ComponentPicking.h"
#include "conflictor/streams/HeadNames.h"
#include "conflictor/streams/SelectedStreams.h"
#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamEditing.h"
#include "conflictor/streams/ViewCommands.h"

#include <QStringList>

namespace conflictor {

namespace {

// A command of the stream model: it needs nothing but the model's window, which it finds itself.
template <auto Command, auto... Arguments>
void model(CommandContext&) {
    Command(Arguments...);
}

// A command of the main window; the dispatcher runs it only when the context has the window.
template <void (*Command)(ConflictorWindow&)>
void window(CommandContext& context) {
    Command(*context.window);
}

}  // namespace

const std::vector<MenuBarRow>& MenuBarTable() {
    static const std::vector<MenuBarRow> rows{
        {"mnu_Plik", "&Plik"},          {"mnuWidok", "&Widok"},
        {"mnuEdycja", "&Strumień"},     {"mnuNarzedzia", "&Narzędzia"},
        {"mnu_Fazy", "&Fazy", window<mnu_Fazy>}, {"mnuPomoc", "Po&moc"},
    };
    return rows;
}

const std::vector<CommandRow>& CommandTable() {
    using E = EnabledWhen;
    using R = RunsIn;
    static const std::vector<CommandRow> rows{
        {"mnu_Plik", "mnuPlik_Zakoncz", "&Zakończ", window<mnuPlik_Zakoncz>, E::Always, R::Window},

        {"mnuWidok", "mnuWidok_Zaznacz", "Zaznacz", nullptr, E::StreamSelected, R::Anywhere},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczStrumien", "&strumień", model<mnuWidok_ZaznaczStrumien>,
         E::StreamSelected, R::Anywhere},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczGrupe", "&grupę", model<mnuWidok_ZaznaczGrupe>, E::StreamSelected,
         R::Anywhere},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczFaze", "&fazę", model<mnuWidok_ZaznaczFaze>, E::StreamSelected,
         R::Anywhere},
        {"mnuWidok_Zaznacz", "mnuWidok_ZaznaczAktywFaze", "&aktywną fazę", model<mnuWidok_ZaznaczAktywFaze>,
         E::StreamSelected, R::Anywhere},
        {"mnuWidok", "mnuWidok_OdznaczStrumien", "&Odznacz strumień", model<mnuWidok_OdznaczStrumien>,
         E::StreamSelected, R::Anywhere},
        {"mnuWidok", "mnuWidok_WskazStrumien", "Zaznacz/Odznacz wskazany na rysunku strumień",
         model<mnuWidok_WskazStrumien>, E::StreamSelected, R::Window},
        {"mnuWidok", "mnuWidok_OdznaczWszystkieStrumienie", "Odznacz &wszystkie strumienie",
         model<mnuWidok_OdznaczWszystkieStrumienie>, E::StreamSelected, R::Anywhere},
        {"mnuWidok", "mnuWidok_Separator2", "-", nullptr, E::Always, R::Anywhere},
        {"mnuWidok", "mnuWidok_PokazFaze", "&Pokaż fazę (ukryj pozostałe)", model<mnuWidok_PokazFaze>,
         E::StreamSelected, R::Anywhere},
        {"mnuWidok", "mnuWidok_PokazWszystkie", "Po&każ wszystkie strumienie", model<mnuWidok_PokazWszystkie>,
         E::StreamSelected, R::Anywhere},
        {"mnuWidok", "mnuWidok_UkryjNiezaznaczone", "Ukryj wszystkie niezaznaczone strumienie",
         model<mnuWidok_UkryjNiezaznaczone>, E::StreamSelected, R::Anywhere},
        {"mnuWidok", "mnuWidok_Separator3", "-", nullptr, E::Always, R::Anywhere},
        {"mnuWidok", "mnuWidok_PokazOdcinki", "Pokaż odcinki strumie&nia", model<mnuWidok_PokazOdcinki>,
         E::Always, R::Window},
        {"mnuWidok", "mnuWidok_PokazPunkty", "Pokaż punkt&y kolizji strumienia", model<mnuWidok_PokazPunkty>,
         E::Always, R::Window},

        {"mnuEdycja", "mnuEdycja_NowyStrumien", "&Nowy strumień", model<mnuEdycja_NowyStrumien>, E::Always,
         R::Window},
        {"mnuEdycja", "mnuEdycja_KopiujStrumien", "Kopiuj &strumień - tworzenie warunkowego",
         model<mnuEdycja_KopiujStrumien>, E::Always, R::Window},
        {"mnuEdycja", "mnuEdycja_UsunStrumien", "&Usuń strumień", model<mnuEdycja_UsunStrumien>,
         E::StreamSelected, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_Separator6", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_Pobierz", "&Pobierz nazwy strumieni z sygnalizatorów", model<mnuEdycja_Pobierz>,
         E::Always, R::Window},
        {"mnuEdycja", "mnuEdycja_Separator1", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_WrysujSkladnik", "&Wrysuj składnik strumienia", nullptr, E::StreamSelected,
         R::Window},
        {"mnuEdycja_WrysujSkladnik", "mnuEdycja_WrysujSkladnik_Odcinek", "&linia",
         model<DrawStreamComponent, Odcinek>, E::StreamSelected, R::Window},
        {"mnuEdycja_WrysujSkladnik", "mnuEdycja_WrysujSkladnik_Luk", "ł&uk", model<DrawStreamComponent, Luk>,
         E::StreamSelected, R::Window},
        {"mnuEdycja_WrysujSkladnik", "mnuEdycja_WrysujSkladnik_Kontynuacja", "&kontynuacja",
         model<DrawStreamComponent, Kontynuacja>, E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_Separator2", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_DolaczSkladnik", "&Dołącz składnik", model<mnuEdycja_DolaczSkladnik>,
         E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_WylaczSkladnik", "W&yłącz składnik", model<mnuEdycja_WylaczSkladnik>,
         E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_Separator4", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_UstawPunktPoczatkowy", "U&staw punkt początkowy", mnuEdycja_UstawPunktPoczatkowy,
         E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_ZamienPunktPoczatkowy", "&Zamień punkt początkowy", mnuEdycja_ZamienPunktPoczatkowy,
         E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_Separator5", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_ZaznaczoneDoGrupy", "Przypisz zaznaczone strumienie do &grupy",
         model<mnuEdycja_ZaznaczoneDoGrupy>, E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_ZaznaczoneDoFazy", "Przypisz zaznaczone strumienie do &fazy",
         model<mnuEdycja_ZaznaczoneDoFazy>, E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_Sep6", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_Detektory", "Detektory strumienia", window<mnuEdycja_Detektory>,
         E::StreamSelected, R::Window},
        {"mnuEdycja", "mnuEdycja_Sep7", "-", nullptr, E::Always, R::Anywhere},
        {"mnuEdycja", "mnuEdycja_PowiazaniaPrzejsc", "Przejścia - powiązania strumieni pieszych i rowerowych",
         window<mnuEdycja_PowiazaniaPrzejsc>, E::Always, R::Window},

        {"mnuNarzedzia", "mnuNarzedzia_Tnij", "Tnij i ustaw ziziro zedivir", nullptr, E::StreamSelected,
         R::Anywhere},
        {"mnuNarzedzia_Tnij", "mnuNarzedzia_TnijWszystkie", "Tnij wszystkie strumienie",
         mnuNarzedzia_TnijWszystkie,
         E::StreamSelected, R::Anywhere},
        {"mnuNarzedzia_Tnij", "mnuNarzedzia_TnijZaznaczone", "Tnij zaznaczone strumienie",
         mnuNarzedzia_TnijZaznaczone,
         E::StreamSelected, R::Anywhere},
        {"mnuNarzedzia", "mnuNarzedzia_UstawLegende", "&Ustaw legendę", mnuNarzedzia_UstawLegende, E::Always,
         R::Anywhere},
        {"mnuNarzedzia", "mnuNarzedzia_Eksport", "&Eksport danych do programu Excel", nullptr, E::Always,
         R::Anywhere},
        {"mnuNarzedzia_Eksport", "mnuNarzedzia_EksportExcel", "Eksport danych", mnuNarzedzia_EksportExcel,
         E::StreamSelected, R::Anywhere},
        {"mnuNarzedzia_Eksport", "mnuNarzedzia_EksportExcelFazy", "Eksport informacji o fazach",
         mnuNarzedzia_EksportExcelFazy, E::Always, R::Anywhere},
        {"mnuNarzedzia", "mnuNarzedzia_Sep1", "-", nullptr, E::Always, R::Anywhere},
        {"mnuNarzedzia", "mnuOpcje_ZawszeNaWierzchu", "Zawsze na wierzchu", window<mnuOpcje_ZawszeNaWierzchu>,
         E::Always, R::Window, true},
        {"mnuNarzedzia", "mnuOpcje_Konfiguracja", "&Konfiguracja", window<mnuOpcje_Konfiguracja>, E::Always,
         R::Window},

        {"mnuPomoc", "mnuPomoc_Pomocnik", "Tesmar Ziziro Zedivir - &Pomoc (F1)", window<mnuPomoc_Pomocnik>,
         E::Always, R::Window},
        {"mnuPomoc", "mnuPomoc_Separator1", "-", nullptr, E::Always, R::Anywhere},
        {"mnuPomoc", "mnuPomoc_OProgramie", "&O programie", window<mnuPomoc_OProgramie>, E::Always, R::Window},
    };
    return rows;
}

const std::vector<ToolbarRow>& ToolbarTable() {
    static const std::vector<ToolbarRow> rows{{"tlbPrzyciski"}, {"tlbPrzyciski2"}};
    return rows;
}

const std::vector<ToolButtonRow>& ToolButtonTable() {
    using E = EnabledWhen;
    static const std::vector<ToolButtonRow> rows{
        {"tlbPrzyciski", "ZaznaczStrumien", "mnuWidok_ZaznaczStrumien", "Zaznacz strumień",
         ":/icons/zaznacz-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "OdznaczStrumien", "mnuWidok_OdznaczStrumien", "Odznacz strumień",
         ":/icons/odznacz-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "WskazStrumien", "mnuWidok_WskazStrumien", "Zaznacz/Odznacz wskazany na rysunku strumień",
         ":/icons/wskaz-strumien.svg", E::StreamSelected},
        {"tlbPrzyciski", "OdznaczWszystkie", "mnuWidok_OdznaczWszystkieStrumienie", "Odznacz wszystkie strumienie",
         ":/icons/odznacz-wszystkie.svg", E::StreamSelected},
        {"tlbPrzyciski", "Separator1", nullptr, nullptr, nullptr},
        {"tlbPrzyciski", "NowyStrumien", "mnuEdycja_NowyStrumien", "Nowy strumień", ":/icons/nowy-strumien.svg",
         E::Always},
        {"tlbPrzyciski", "UsunStrumien", "mnuEdycja_UsunStrumien", "Usuń strumień", ":/icons/usun-strumien.svg",
         E::StreamSelected},
        {"tlbPrzyciski", "WrysujOdcinek", "mnuEdycja_WrysujSkladnik_Odcinek", "Wrysuj składnik strumienia - linia",
         ":/icons/wrysuj-odcinek.svg", E::StreamSelected},
        {"tlbPrzyciski", "DolaczSkladnik", "mnuEdycja_DolaczSkladnik", "Dołącz składnik",
         ":/icons/dolacz-skladnik.svg", E::StreamSelected},
        {"tlbPrzyciski", "WylaczSkladnik", "mnuEdycja_WylaczSkladnik", "Wyłącz składnik",
         ":/icons/wylacz-skladnik.svg", E::StreamSelected},
        {"tlbPrzyciski2", "UstawPoczatkowy", "mnuEdycja_UstawPunktPoczatkowy", "Ustaw punkt początkowy",
         ":/icons/ustaw-poczatkowy.svg", E::StreamSelected},
        {"tlbPrzyciski2", "ZamienPoczatkowy", "mnuEdycja_ZamienPunktPoczatkowy", "Zamień punkt początkowy",
         ":/icons/zamien-poczatkowy.svg", E::StreamSelected},
        {"tlbPrzyciski2", "Separator2", nullptr, nullptr, nullptr},
        {"tlbPrzyciski2", "Tnij", "mnuNarzedzia_TnijWszystkie", "Tnij i ustaw ziziro zedivir", ":/icons/tnij.svg",
         E::StreamSelected},
        {"tlbPrzyciski2", "Legenda", "mnuNarzedzia_UstawLegende", "Ustaw legendę", ":/icons/legenda.svg",
         E::Always},
        {"tlbPrzyciski2", "EksportExcel", "mnuNarzedzia_EksportExcel", "Eksport danych do programu Excel",
         ":/icons/eksport-excel.svg", E::StreamSelected},
        {"tlbPrzyciski2", "SeparatorEksport", nullptr, nullptr, nullptr},
        {"tlbPrzyciski2", "Konfiguracja", "mnuOpcje_Konfiguracja", "Konfiguracja", ":/icons/konfiguracja.svg",
         E::Always},
        {"tlbPrzyciski2", "FormNotOnTop", "mnuOpcje_ZawszeNaWierzchu", "Zawsze na wierzchu",
         ":/icons/nie-na-wierzchu.svg", E::Always},
        {"tlbPrzyciski2", "Separator3", nullptr, nullptr, nullptr},
        {"tlbPrzyciski2", "Pomoc", "mnuPomoc_Pomocnik", "Pomoc - F1", ":/icons/pomoc.svg", E::Always},
    };
    return rows;
}

const std::vector<ToolButtonMenuRow>& ToolButtonMenuTable() {
    static const std::vector<ToolButtonMenuRow> rows{
        {"ZaznaczStrumien", "ZaznaczStrumien", "mnuWidok_ZaznaczStrumien", "Zaznacz strumień"},
        {"ZaznaczStrumien", "ZaznaczGrupe", "mnuWidok_ZaznaczGrupe", "Zaznacz grupę"},
        {"ZaznaczStrumien", "ZaznaczFaze", "mnuWidok_ZaznaczFaze", "Zaznacz fazę"},
        {"ZaznaczStrumien", "ZaznaczAktywFaze", "mnuWidok_ZaznaczAktywFaze", "Zaznacz aktywną fazę"},
        {"WrysujOdcinek", "WrysujOdcinek", "mnuEdycja_WrysujSkladnik_Odcinek", "linia"},
        {"WrysujOdcinek", "WrysujLuk", "mnuEdycja_WrysujSkladnik_Luk", "łuk"},
        {"WrysujOdcinek", "WrysujKontynuacja", "mnuEdycja_WrysujSkladnik_Kontynuacja", "kontynuacja"},
        {"Tnij", "TnijWszystkie", "mnuNarzedzia_TnijWszystkie", "Tnij wszystkie strumienie"},
        {"Tnij", "TnijZaznaczone", "mnuNarzedzia_TnijZaznaczone", "Tnij zaznaczone strumienie"},
        {"EksportExcel", "EksportExcel", "mnuNarzedzia_EksportExcel", "Eksport danych"},
        {"EksportExcel", "EksportExcelFazy", "mnuNarzedzia_EksportExcelFazy", "Eksport informacji o fazach"},
    };
    return rows;
}

CommandRun RunTableCommand(const QString& id, CommandContext& context) {
    const QByteArray key = id.toUtf8();
    CommandHandler handler = nullptr;
    RunsIn runsIn = RunsIn::Window;
    for (const CommandRow& row : CommandTable())
        if (row.handler && key == row.objectName) {
            handler = row.handler;
            runsIn = row.runsIn;
        }
    for (const MenuBarRow& row : MenuBarTable())
        if (row.handler && key == row.objectName) {
            handler = row.handler;
            runsIn = row.runsIn;
        }
    if (!handler) return CommandRun::Unknown;
    if (runsIn == RunsIn::Window && !context.window) return CommandRun::NeedsWindow;
    handler(context);
    return CommandRun::Ran;
}

QStringList HeadlessCommandIds() {
    QStringList ids;
    for (const CommandRow& row : CommandTable())
        if (row.handler && row.runsIn == RunsIn::Anywhere) ids << QString::fromUtf8(row.objectName);
    return ids;
}

}  // namespace conflictor
