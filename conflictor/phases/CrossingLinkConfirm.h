// Confirming a crossing link: the two side lists checked against the stream table, the streams
// re-read, the link's lengths computed and its block "<nr>^POWIAZANIE_<k>" drawn, and the link
// stored in the crossing-link table.
#pragma once

#include <QString>

namespace conflictor {

// Which box a refused link blames.
enum class CrossingSide { None, Inner, Outer };

// Checks and draws the link of the two typed side lists. `editedIndex` -1 makes a new entry of
// automation::CrossingLinkTable, otherwise that entry is replaced, and so is its block in the drawing
// (old reference erased, its definition too when nothing else uses it). The entry gets its lists,
// lengths and the new reference's handle at once. On a refusal the user is told why (message title
// `title`), `failed` names the side and nothing is written. `editedIndex` receives the entry's index.
bool ConfirmCrossingLink(const QString& innerText, const QString& outerText, int& editedIndex,
                         const QString& title, CrossingSide& failed);

}  // namespace conflictor
