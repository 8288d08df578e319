// The conflict-point commands in frmMain's "&Narzędzia" menu: the cut submenu with both variants and
// the legend (their toolbar buttons "Tnij" and "Legenda" stand with the other buttons of tlbPrzyciski2).
#pragma once

#include "conflictor/mainwindow/CommandTable.h"

namespace conflictor {

// "Tnij i ustaw ziziro zedivir" > "Tnij wszystkie strumienie", "Tnij zaznaczone strumienie";
// "&Ustaw legendę"; the separator before the window options.
const std::vector<CommandRow>& ConflictCommandRows();

}  // namespace conflictor
