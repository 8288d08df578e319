// The text form of a green's phase references, as the attribute FAZY_SYGNALU of the drawn program
// keeps it: "<phase> (<position>)" items joined by ", ", such as "2 (1), 5 (3)".
#pragma once

#include "phaseplanner/editor/GroupTable.h"

#include <QString>

namespace phaseplanner {

QString FormatSignalPhasePairs(const GreenInterval& green);
// Replaces the green's references with the pairs read from the text. Pieces without " (" or a ")"
// after it are skipped; pairs beyond the 21 a green holds are ignored.
void ParseSignalPhasePairs(GreenInterval& green, const QString& text);
// The same on green `greenNumber` (1..200) of GroupTable record `groupIndex`; nothing for a record
// or green that does not exist.
void ParseSignalPhasePairs(int groupIndex, int greenNumber, const QString& text);

}  // namespace phaseplanner
