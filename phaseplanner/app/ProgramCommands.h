// The commands of phaseplanner's table that work on the drawing's program without a dialog of their
// own: drawing the program, loading a new table, the program from the intergreen workbook and the
// intergreen check. The window adds what it shows around them (its cycle box and dimensioning choice
// before, its grid and messages after); phaseplanner-headless runs the same handlers without it.
#pragma once

namespace phaseplanner {

struct CommandContext;

// "Dane > Wrysuj grupy z tabeli".
void mnuDane_Wrysuj(CommandContext& context);
// "Narzędzia > Wczytaj > Wczytaj nową tabelę - program zwykły" / "... - program akomodowany".
void mnuNarzedzia_WczytajZwykly(CommandContext& context);
void mnuNarzedzia_WczytajAkomodowany(CommandContext& context);
// "Grupa > Pobierz grupy z Excela".
void mnuGrupa_Excel(CommandContext& context);
// "Dane > Sprawdź czasy > pokaż wszystkie" / "pokaż nieprawidłowe".
void mnuDane_SprawdzCzasy(CommandContext& context);
void mnuDane_SprawdzCzasyBledne(CommandContext& context);

}  // namespace phaseplanner
