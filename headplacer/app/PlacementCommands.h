// The commands that place: the head window's accept, which prepares the head and starts its
// insertion, and the detector window's "Ustaw". They read their values from the context only, so
// the windows and headplacer-headless run the same steps.
#pragma once

#include <QString>

namespace headplacer {

struct CommandContext;

// "Zatwierdź": checks the typed intersection, takes the head's choices, prepares the head from its
// symbol drawing and the drawing's values and sends the insert command; the poll then waits.
void cmdAccept(CommandContext& context);
// The accept's insertion once the head is prepared: a declined duplicate ends the program, a failed
// insert brings the head window back.
void InsertAcceptedHead(CommandContext& context);
// "Ustaw": places the detector of the chosen tab; a push-button is left to the poll.
void cbUstaw(CommandContext& context);

// What the symbol drawing decides of the head, after the window showed its kind: the kind letter
// where the symbol has its own, the insert code with anti-glare inserts, and the symbol as named.
void ApplySymbolChoice(const QString& symbolFile);
// The push-button tab as the detector window opens on it: its code and the proposed description.
QString ProposePushButtonDescription();

}  // namespace headplacer
