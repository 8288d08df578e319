// Naming a new stream: the name grammar, the OK of the naming dialog that enters the stream into the
// table, the proposals of a variant and of a conditional copy's name, and a name from a signal head.
#pragma once

#include <QString>

namespace conflictor {

// A kind letter, then characters that keep block, marker and attribute names readable (no blanks
// and none of ^ : _ * ? # @ ~ , ` . [ ]), optionally ending in a variant "[n]". K1, K12p, K1[2].
bool IsStreamNameText(const QString& name);
// A description may hold no "^", ":" or control character (they break the attribute entries).
bool IsStreamDescriptionText(const QString& description);

// Which box of the dialog should take the focus after a refusal.
enum class NamingFocus { None, Name, Group, Description };

// The OK of frmNazwaStrumienia: checks the typed texts (each refusal shows its message, titled with
// `dialogCaption` where the dialog's caption is used), appends the record, gives the group to every
// variant of the base name, writes GRUPY and OPISY, fills the kinematic values and adds the grid row.
// The new StreamTable index; -1 when refused (`focus` then names the box to correct).
int AcceptStreamName(const QString& nameText, const QString& groupText, const QString& descriptionText,
                     const QString& dialogCaption, NamingFocus* focus = nullptr);

// The next free variant of the stream at `index` (K1 with variants 1 and 2 gives K1[3]) and, in
// `group`, its group when it has one (else 0). Empty for no stream.
QString ProposeVariantName(int index, int& group);
// The name a conditional copy of `sourceName` is offered: "S" and the name without its first letter.
QString CopyNameProposal(const QString& sourceName);
// Lets the user pick a signal head; the head's name from its inventory text, "" when none was had.
QString PickSignalHeadName();

}  // namespace conflictor
