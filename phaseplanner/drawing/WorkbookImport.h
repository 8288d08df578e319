// The Grupa menu's "Pobierz grupy z Excela": the whole program of the current intersection built from
// the intergreen workbook: its groups with their kinds and head symbols, the phases of the chosen
// phase set, minimum greens, and the greens placed so that the intergreen times hold.
#pragma once

namespace phaseplanner {

// Shows the phase-set chooser over the window; it sets PhaseSetDialogOk (-1 when cancelled) and,
// for an old-layout workbook, moves ChosenPhaseSet to the chosen column. Without a window
// (nullptr) the set HeadlessPhaseSetChoice is taken (-1 cancels).
extern void (*PhaseSetChooserHook)();
extern int HeadlessPhaseSetChoice;

// The command. Every check (workbook, groups, phase sets, the chosen phase order, the cells read)
// comes before the group table is replaced: a failed import changes nothing. True when imported.
bool frmMain_mnuGrupa_Excel_Click();

}  // namespace phaseplanner
