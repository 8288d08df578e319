// Which phases a stream runs in, read from its phase list ("1,3,4").
#pragma once

#include <QString>
#include <vector>

namespace conflictor {

// The phase numbers of a list in list order: items that read as a number above 0; empty items,
// text, 0 and negative numbers are skipped. Every number counts, however long the list.
std::vector<int> PhaseNumbersOfList(const QString& phases);

// True when one of the stream's phase numbers equals `Phase`; false for an index outside the table.
bool StrumienJestWFazie(int StreamIndex, int Phase);
// The number of the stream's first list item when it is above 0, else 0.
int GetFirstPhaseOfStream(int StreamIndex);

}  // namespace conflictor
