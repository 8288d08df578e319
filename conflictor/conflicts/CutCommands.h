// The menu and toolbar commands of the conflict points, with their Polish captions and keys, for the
// main window's menus and toolbars and for the headless tool:
//   menu "Narzędzia > Tnij i ustaw ziziro zedivir > Tnij wszystkie strumienie"  (mnuNarzedzia_TnijWszystkie)
//   menu "Narzędzia > Tnij i ustaw ziziro zedivir > Tnij zaznaczone strumienie" (mnuNarzedzia_TnijZaznaczone)
//   menu "Narzędzia > &Ustaw legendę"                                             (mnuNarzedzia_UstawLegende)
//   toolbar tlbPrzyciski2: drop-down "Tnij" (its main part cuts all; items TnijWszystkie,
//   TnijZaznaczone) and button "Legenda".
#pragma once

#include <QList>
#include <QString>

namespace conflictor {

// The commands as the menu and toolbar events call them.
void TnijWszystkie();
void TnijZaznaczone();
void UstawLegendeCommand();

// One command entry: menu object name, caption, toolbar key (button or button-menu item), the
// toolbar's hover text and the function it runs.
struct ConflictCommand {
    QString MenuName;
    QString Caption;
    QString ToolbarKey;
    QString ToolTip;
    void (*Run)();
};
// "mnuNarzedzia_TnijWszystkie", "mnuNarzedzia_TnijZaznaczone", "mnuNarzedzia_UstawLegende".
const QList<ConflictCommand>& ConflictCommands();
// The drop-down button of the cut: key "Tnij", its hover text, and the submenu that holds the two cuts.
inline QString CutButtonKey() {
    return QStringLiteral("Tnij");
}
inline QString CutButtonToolTip() {
    return QStringLiteral("Tnij i ustaw ziziro zedivir");
}
inline QString CutSubmenuName() {
    return QStringLiteral("mnuNarzedzia_Tnij");
}

}  // namespace conflictor
