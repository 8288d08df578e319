// The main window's commands of the phase editor and the crossing links.
#pragma once

namespace conflictor {

class ConflictorWindow;

// The phase editor, modal, owned by the main window.
void mnu_Fazy(ConflictorWindow& window);
// The crossing-links dialog, modal, owned by the main window; refused while no intersection is chosen.
void mnuEdycja_PowiazaniaPrzejsc(ConflictorWindow& window);

}  // namespace conflictor
