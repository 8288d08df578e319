// The content of the phase editor: one row per signal group, one column per phase, a tick where the
// group's streams run in the phase. Every change is written through at once to the stream records,
// the main window's stream grid and the FAZY texts of the intersection attribute block.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace conflictor {

// Sets the phase list of every stream of the group: the records, the phase cells of the main grid
// and the in-memory FAZY entries (under each stream's base name). With `writeNow` the block of the
// current intersection is found again in the active drawing, re-read, changed and written back;
// without it the caller has read the block and writes it once after its changes.
void UpdateGroupPhases(int group, const QString& phases, bool writeNow);

// True when every stream named in the ", "-joined list is a pedestrian (P) or bicycle (R) stream;
// false for an empty list.
bool IsPedestrianBicycleGroup(const QString& names);

// The largest phase number the 16-bit lists can hold.
constexpr int MaxPhaseNumber = 32767;

class PhaseEditorModel {
public:
    // Builds the rows and columns from the stream table: phases ascending, groups ascending, each
    // row ticked by the list of the first stream of its group. The first phase and group are current.
    void Load();

    int rowCount() const { return int(Groups.size()); }
    int phaseCount() const { return int(PhaseHeaders.size()); }
    // The headers of the row's ticked columns, left to right, joined by ",".
    QString RowPhaseList(int row) const;

    // Toggles the cell and writes the row's list through; nothing without such a row and column.
    // Returns the new state (false when nothing was toggled).
    bool Toggle(int row, int column);

    // Adds a phase column: empty, or a copy of the current phase (all groups, or without the groups
    // of pedestrian and bicycle streams only). A copy writes the attribute block once. False when
    // nothing was added (a copy without phases; a refused number, after a message with `title`).
    bool AddPhaseColumn(bool copy, bool withoutPedestrians, const QString& title = QString());
    // Deletes the current phase from every group; the other phases keep their numbers.
    void DeleteCurrentPhase();

    // The new column's number: one above the largest header, or, for a copy without pedestrians, the
    // current header followed by the first digit string that makes no existing header. 0 when
    // that number would be a duplicate or past MaxPhaseNumber.
    int NewPhaseNumber(bool withoutPedestrians, QString* candidate = nullptr) const;

    QStringList PhaseHeaders;                        // column order (the phase combo's items)
    std::vector<int> Groups;                         // row order, ascending
    QStringList GroupNames;                          // the stream names of each row, sorted, ", "
    std::vector<std::vector<bool>> PhaseCellStates;  // [row][column]
    int CurrentPhase = -1;                           // index into PhaseHeaders; -1 none
    int CurrentGroup = -1;                           // index into Groups; -1 none
    QString LastToggleText;                          // "Grupa 3, Fazy 1,2"
};

}  // namespace conflictor
