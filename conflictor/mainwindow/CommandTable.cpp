// The rows of conflictor's menus and toolbars.
#include "conflictor/mainwindow/CommandTable.h"

#include "conflictor/mainwindow/ExportCommands.h"
#include "conflictor/mainwindow/ConflictMenus.h"
#include "conflictor/mainwindow/PhaseCommands.h"
#include "conflictor/mainwindow/StreamMenus.h"
#include "conflictor/mainwindow/WindowCommands.h"

#include <algorithm>
#include <cstring>

namespace conflictor {

const std::vector<MenuBarRow>& MenuBarTable() {
    static const std::vector<MenuBarRow> rows{
        {"mnu_Plik", "&Plik"},          {"mnuWidok", "&Widok"},          {"mnuEdycja", "&Strumień"},
        {"mnuNarzedzia", "&Narzędzia"}, {"mnu_Fazy", "&Fazy", mnu_Fazy}, {"mnuPomoc", "Po&moc"},
    };
    return rows;
}

const std::vector<CommandRow>& CommandTable() {
    using E = EnabledWhen;
    (void)E::Always;
    static const std::vector<CommandRow> rows = [] {
        std::vector<CommandRow> all{
            {"mnu_Plik", "mnuPlik_Zakoncz", "&Zakończ", nullptr, nullptr, mnuPlik_Zakoncz, E::Always}};
        // The View menu and the stream commands of the Stream menu come from the stream commands.
        all.insert(all.end(), StreamViewCommandRows().begin(), StreamViewCommandRows().end());
        all.insert(all.end(), StreamEditCommandRows().begin(), StreamEditCommandRows().end());
        all.insert(all.end(), ConflictCommandRows().begin(), ConflictCommandRows().end());
        // "Narzędzia": the export submenu follows the legend, before the separator of the options.
        auto separator = std::find_if(all.begin(), all.end(), [](const CommandRow& r) {
            return std::strcmp(r.objectName, "mnuNarzedzia_Sep1") == 0;
        });
        all.insert(separator, ExportCommandRows().begin(), ExportCommandRows().end());
        all.insert(all.end(), WindowCommandRows().begin(), WindowCommandRows().end());
        return all;
    }();
    return rows;
}

const std::vector<CommandRow>& WindowCommandRows() {
    using E = EnabledWhen;
    static const std::vector<CommandRow> rows{
        {"mnuEdycja", "mnuEdycja_Detektory", "Detektory strumienia", nullptr, nullptr, mnuEdycja_Detektory,
         E::StreamSelected},
        {"mnuEdycja", "mnuEdycja_Sep7", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuEdycja", "mnuEdycja_PowiazaniaPrzejsc", "Przejścia - powiązania strumieni pieszych i rowerowych",
         nullptr, nullptr, mnuEdycja_PowiazaniaPrzejsc, E::Always},

        {"mnuNarzedzia", "mnuOpcje_ZawszeNaWierzchu", "Zawsze na wierzchu", nullptr, nullptr,
         mnuOpcje_ZawszeNaWierzchu, E::Always, true},
        {"mnuNarzedzia", "mnuOpcje_Konfiguracja", "&Konfiguracja", nullptr, nullptr, mnuOpcje_Konfiguracja,
         E::Always},

        {"mnuPomoc", "mnuPomoc_Pomocnik", "Tesmar Ziziro Zedivir - &Pomoc (F1)", nullptr, nullptr,
         mnuPomoc_Pomocnik, E::Always},
        {"mnuPomoc", "mnuPomoc_Separator1", "-", nullptr, nullptr, nullptr, E::Always},
        {"mnuPomoc", "mnuPomoc_OProgramie", "&O programie", nullptr, nullptr, mnuPomoc_OProgramie, E::Always},
    };
    return rows;
}

const std::vector<ToolbarRow>& ToolbarTable() {
    return StreamToolbarRows();
}

const std::vector<ToolButtonRow>& ToolButtonTable() {
    static const std::vector<ToolButtonRow> rows = [] {
        std::vector<ToolButtonRow> all = StreamToolButtonRows();
        // The export drop-down and its separator stand before the settings button of tlbPrzyciski2.
        auto at = std::find_if(all.begin(), all.end(), [](const ToolButtonRow& r) {
            return std::strcmp(r.key, "Konfiguracja") == 0;
        });
        all.insert(at, ExportToolButtonRows().begin(), ExportToolButtonRows().end());
        return all;
    }();
    return rows;
}

const CommandRow* FindCommand(const char* objectName) {
    for (const CommandRow& row : CommandTable()) {
        if (row.handler && std::strcmp(row.objectName, objectName) == 0) return &row;
    }
    return nullptr;
}

CommandHandler FindCommandHandler(const char* objectName) {
    if (const CommandRow* row = FindCommand(objectName)) return row->handler;
    for (const MenuBarRow& row : MenuBarTable()) {
        if (row.handler && std::strcmp(row.objectName, objectName) == 0) return row.handler;
    }
    return nullptr;
}

}  // namespace conflictor
