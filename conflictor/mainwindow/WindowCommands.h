// The commands of frmMain's File, Options and Help menus and of the detector list (menu "Strumień").
// Each takes the main window; the command table (CommandTable.cpp) names them.
#pragma once

namespace conflictor {

class ConflictorWindow;

// "Plik > Zakończ": closes the main window, which ends the program.
void mnuPlik_Zakoncz(ConflictorWindow& window);
// "Strumień > Detektory strumienia": the detector list, modal.
void mnuEdycja_Detektory(ConflictorWindow& window);
// "Narzędzia > Zawsze na wierzchu": toggles the always-on-top setting and applies it.
void mnuOpcje_ZawszeNaWierzchu(ConflictorWindow& window);
// "Narzędzia > Konfiguracja": reads the drawing scale, then the settings dialog, modal.
void mnuOpcje_Konfiguracja(ConflictorWindow& window);
// The settings dialog opened by the check of "SKALA", with the proposed value shown (0: the drawing's
// own); true when confirmed.
bool ChangeDrawingScale(ConflictorWindow& window, int proposal);
// "Pomoc > ... Pomoc (F1)": the help page of the active window.
void mnuPomoc_Pomocnik(ConflictorWindow& window);
// "Pomoc > O programie": the about box, modal.
void mnuPomoc_OProgramie(ConflictorWindow& window);

}  // namespace conflictor
