// File, Options and Help commands of frmMain and the detector list.
#include "conflictor/mainwindow/WindowCommands.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "common/ui/AboutDialog.h"
#include "common/ui/FormWindow.h"
#include "common/ui/Help.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/mainwindow/DetectorDialog.h"
#include "conflictor/mainwindow/SettingsDialog.h"
#include "conflictor/mainwindow/StreamMenus.h"
#include "platform/ui/core/Prompt.h"

#include <QAction>
#include <QApplication>

namespace conflictor {

void mnuPlik_Zakoncz(ConflictorWindow& window) {
    window.close();
}

void mnuEdycja_Detektory(ConflictorWindow& window) {
    DetectorDialog dialog(&window);
    dialog.exec();
}

void mnuOpcje_ZawszeNaWierzchu(ConflictorWindow& window) {
    common::AlwaysOnTop = !common::AlwaysOnTop;
    if (QAction* item = window.action(QStringLiteral("mnuOpcje_ZawszeNaWierzchu")))
        item->setChecked(common::AlwaysOnTop);
    if (QAction* button = window.action(QStringLiteral("FormNotOnTop")))
        button->setIcon(ToolButtonIcon(common::AlwaysOnTop ? QStringLiteral("FormOnTop")
                                                           : QStringLiteral("FormNotOnTop")));
    common::SetFormTopmost(&window, common::AlwaysOnTop);
}

void mnuOpcje_Konfiguracja(ConflictorWindow& window) {
    ChangeDrawingScale(window, 0);
}

bool ChangeDrawingScale(ConflictorWindow& window, int proposal) {
    // An unreadable value is named first; the dialog is where it is mended.
    if (automation::CheckDocumentOpen(false)) automation::LoadDrawingScale(window.caption());
    SettingsDialog dialog(&window);
    if (proposal > 0) dialog.ProposeScale(proposal);
    return dialog.exec() == QDialog::Accepted;
}

void mnuPomoc_Pomocnik(ConflictorWindow& window) {
    if (common::ShowHelpForActiveWindow(10003)) return;
    // No browser (or no page): the user is told where the page is, so it can be opened by hand.
    ui::MsgBox(common::HelpNotOpenedText(common::HelpContextOf(QApplication::activeWindow()), 10003),
               ui::Exclamation, window.caption());
}

void mnuPomoc_OProgramie(ConflictorWindow& window) {
    common::AboutDialog about(&window);
    about.ProgramTitle = QStringLiteral("Tesmar Ziziro Zedivir");
    about.ProgramName = common::Tlumacz(QStringLiteral("Ziziro Zedivir"));
    about.exec();
}

}  // namespace conflictor
