// Opening the phase editor and the crossing-links dialog from the main window.
#include "conflictor/mainwindow/PhaseCommands.h"

#include "conflictor/dialogs/CrossingLinksDialog.h"
#include "conflictor/dialogs/PhaseEditorDialog.h"
#include "conflictor/mainwindow/ConflictorWindow.h"
#include "conflictor/streams/Intersections.h"

namespace conflictor {

void mnu_Fazy(ConflictorWindow& window) {
    PhaseEditorDialog dialog(&window);
    dialog.exec();
}

void mnuEdycja_PowiazaniaPrzejsc(ConflictorWindow& window) {
    if (!CheckIntersectionNumber()) return;
    CrossingLinksDialog dialog(&window);
    dialog.exec();
}

}  // namespace conflictor
