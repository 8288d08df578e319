// Per-group parameters keyed by the group's symbols text: the set green times and the shifts of the
// greens against their phase start, with the one-line text form kept in the program attribute block
// ("K1, K2:15^P3:8"); the current green length of a group; a sort of numbered texts.
#pragma once

#include <QString>
#include <vector>

namespace phaseplanner {

struct GroupParameterEntry {
    QString Symbols;  // the group's Symbols text as the grid shows it
    int Value = 0;
};

// Empty until first filled; after a parse they hold at least the reset element {"", 0}.
extern std::vector<GroupParameterEntry> SetGreenTimes;     // values above 0
extern std::vector<GroupParameterEntry> PhaseStartShifts;  // values other than 0

void ParseSetGreenTimes(const QString& text);
void ParsePhaseStartShifts(const QString& text);
// "" for a table never filled; ":0" for a reset, empty table (which parses back to an empty one).
QString FormatSetGreenTimes();
QString FormatPhaseStartShifts();
// The value of the last entry whose symbols equal the name ignoring case; 0 when none or when the
// table is empty.
int GetSetGreenTime(const QString& name);
int GetPhaseStartShift(const QString& name);
// Length of the first green (Length > 0) of the first defined group whose symbols equal the name
// ignoring case; 0 when there is none.
int GetGroupGreenLength(const QString& name);

// The pure forms over a given table (the globals above use them).
std::vector<GroupParameterEntry> ParseGroupParameters(const QString& text, bool (*qualifies)(int));
QString FormatGroupParameters(const std::vector<GroupParameterEntry>& table);

struct NumberedText {
    int Key = 0;
    QString Text;
};
// Ascending by Key; equal keys keep their order.
void SortNameValueRecords(std::vector<NumberedText>& items);

// A symbols text may not hold "^" or ":" (the separators of the text form above) nor control
// characters. True when the text is acceptable.
bool IsValidGroupSymbols(const QString& symbols);

}  // namespace phaseplanner
