// The rows of the conflict-point commands.
#include "conflictor/mainwindow/ConflictMenus.h"

#include "conflictor/conflicts/CutCommands.h"

namespace conflictor {

const std::vector<CommandRow>& ConflictCommandRows() {
    using E = EnabledWhen;
    static const std::vector<CommandRow> rows{
        {"mnuNarzedzia", "mnuNarzedzia_Tnij", "Tnij i ustaw ziziro zedivir", nullptr, nullptr, nullptr,
         E::StreamSelected},
        {"mnuNarzedzia_Tnij", "mnuNarzedzia_TnijWszystkie", "Tnij wszystkie strumienie", nullptr, nullptr,
         +[](ConflictorWindow&) { TnijWszystkie(); }, E::StreamSelected},
        {"mnuNarzedzia_Tnij", "mnuNarzedzia_TnijZaznaczone", "Tnij zaznaczone strumienie", nullptr, nullptr,
         +[](ConflictorWindow&) { TnijZaznaczone(); }, E::StreamSelected},
        {"mnuNarzedzia", "mnuNarzedzia_UstawLegende", "&Ustaw legendę", nullptr, nullptr,
         +[](ConflictorWindow&) { UstawLegendeCommand(); }, E::Always},
        {"mnuNarzedzia", "mnuNarzedzia_Sep1", "-", nullptr, nullptr, nullptr, E::Always},
    };
    return rows;
}

}  // namespace conflictor
