// The program table templates: choosing and loading the template that fits the groups into a new
// drawing, widening the actuated table's time axis for cycles above 120 s, the service view, and
// the generator that makes the templates themselves.
#pragma once

#include <QString>

namespace phaseplanner {

// The folder of the templates; empty: "Zasoby" beside the program's own folder.
extern QString TemplateFolder;
// Rows the table must hold; empty: the defined groups.
int TemplateRowsNeeded();
// "12" for 0..12, the even number n or n + 1 for 13..32, "44" above.
QString TemplateGroupCountText(int groups);
// The template's file name ("Program_14grup.dwt", "Program_akomod_14grup.dwt").
QString TemplateFileName(int groups, bool actuated);
// Whether the template file exists (a ".dwt" name stands for the DXF file of its base name).
bool TemplateFileExists(const QString& path);

// Loads the ordinary (flag 0) or actuated (-1) table into a new drawing and draws the program in it.
// True when the program was drawn.
bool WczytajTabele(int actuated);
// The service view (chkSerwis): frame layer off and the intergreen result references erased, or
// the frame layer on.
void ApplyServiceView();
// Widens the actuated table of `groups` rows to the rounded cycle `rounded` (above 120).
void WidenActuatedTable(int rounded, int groups);

// Draws the template of `groups` rows into the current (empty) drawing.
void GenerateProgramTemplate(int groups, bool actuated);

}  // namespace phaseplanner
