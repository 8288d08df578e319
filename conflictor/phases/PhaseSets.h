// Phase sets of the current intersection from the phase scheme drawn by hatcher (phase pictures and
// phase transitions): the ascending chain and a walk over every transition; without a usable scheme
// one basic set of all phase numbers of the streams.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace conflictor {

// One outgoing transition of a phase.
struct PhaseSetEntry {
    int Phase = 0;      // target phase
    bool Flag = false;  // used by the walk
};

// One phase picture of the scheme with its outgoing transitions in reading order (as many as drawn).
struct PhaseSetRecord {
    int Phase = 0;
    bool Complete = false;
    std::vector<PhaseSetEntry> Entries;
    int LastEntry = -1;     // index of the last entry; -1: none
    int LastIncoming = -1;  // incoming transitions counted the same way
};

// One record per phase picture, ascending by phase; rebuilt by every StworzZestawyFaz.
extern std::vector<PhaseSetRecord> PhaseSetTable;
// The walk text after every stretch of the covering walk (the window's list `List1`).
extern QStringList PhaseWalkList;

// Appends the phase sets of the current intersection to `Sets`. Result: -2 scheme errors (message),
// -1 no set (message), 0 the basic set (message), 1 the chain and the walk.
int StworzZestawyFaz(QStringList& Sets);

// The scheme part of StworzZestawyFaz on a table already built (pictures and transitions read): the
// check, the chain and the walk. -2 on scheme errors (message), else the result as above.
int BuildPhaseSetsFromTable(QStringList& Sets);
// Adds one transition a -> b to the table as the reading of a transition block does.
void AddPhaseTransition(int a, int b);
// Reads "PF a-b": true with both numbers when the text has that form.
bool ParseTransitionText(const QString& text, int& a, int& b);
// The phase number of a picture block name "Schemat_<nr>_Faza<k>_<n>" of intersection `nr`; 0 if none.
int PhaseOfPictureName(const QString& blockName, const QString& nr);
// Turns every run "a, b, a, b" of the walk into "a, b" (items compared whole, any number of digits).
QString ReduceRepeatedPairs(const QString& walk);

bool AllPhaseSetRecordsComplete();
int FirstIncompletePhaseSetRecord();
void UpdatePhaseSetRecordComplete(int index);
int FindPhaseSetRecordOfLastPhase(const QString& setText);
int FindPhaseSetRecord(int phase);

}  // namespace conflictor
