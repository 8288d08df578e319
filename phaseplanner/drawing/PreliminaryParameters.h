// The green lengths of the current program written back into the intergreen workbook, into its
// preliminary-parameters sheet (the third worksheet, marked "PARAMETRY WSTĘPNE" in A1).
#pragma once

namespace sheet {
class Workbook;
}

namespace phaseplanner {

// True when the workbook's third worksheet carries the marker in A1 (trimmed, upper-cased).
bool HasPreliminaryParametersSheet(sheet::Workbook& workbook);

// For every defined group whose symbols (trimmed, ignoring case) stand in the workbook's group list
// at position r: the lengths of its greens 1 to 4 that have one, in that order, into columns C, E, G
// and I of row r + 4 of the third worksheet, the columns left over emptied. Groups the list does not
// know are skipped. The number of group rows written; -1 when the workbook has no group list or no
// marked third worksheet (nothing is written then).
int WritePreliminaryParameters(sheet::Workbook& workbook);

// The command "Excel - ustal parametry wstępne": settles the intergreen workbook (asking "Czy wstawiać
// dane do aktywnego skoroszytu?" before a workbook the drawing does not name), writes the green
// lengths and asks whether to save; the file is replaced in one step. Changes the user does not save
// now are offered again when the program ends. The number of group rows written (-1: none).
int ExcelWstepne();

}  // namespace phaseplanner
