// One piece of a group's bar in the drawn signal program: its block (created on first use), the
// attributes a group block carries for reading back, the reference and its second dimensions; and
// the intervals a group's row already occupies, which the red fill leaves out.
#pragma once

#include "platform/cad/Collections.h"

#include <QSet>
#include <QString>
#include <vector>

namespace phaseplanner {

enum BarPieceKind : int {
    PieceAmberRed = 0,
    PieceAmber = 1,
    PieceFlashingGreen = 2,
    PieceGreen = 3,
    PieceRed = 4,
    PieceDark = 5,
    PieceComplementAmber = 6,
    PieceFlashingAmber = 7,
};

struct BarPiece {
    int Kind = PieceRed;
    int Start = 0;   // second of the cycle
    int Length = 0;  // seconds
};

// Options of the drawing that the main window holds: cmbWymiarowanie (0 "Brak", 1 "Bazowe",
// 2 "Całkowite") and chkSerwis ("Serwis").
extern int DimensioningMode;
extern bool ServiceView;

// Start and length of every non-red piece drawn so far in the current group's row.
struct OccupiedInterval {
    int Start = 0;
    int Length = 0;
};
extern std::vector<OccupiedInterval> OccupiedIntervals;

// Empties the row's intervals (one empty slot, as a new row starts).
void ResetOccupiedIntervals();
void AddOccupiedInterval(const BarPiece& piece);
void SortOccupiedIntervals();
// True when both ends of the piece lie within one occupied interval.
bool IsPieceCovered(const BarPiece& piece);

// Forgets what one drawing of the rows knew of the shared amber-red and red blocks (each drawing of
// the program starts without it).
void ClearBarBlockFlags();

// The drawing's block names as one drawing of the rows knows them: read once when the rows start
// and kept up with the blocks the rows add, so that a piece's name and whether its block exists are
// known without asking the CAD.
class BarBlockNames {
public:
    // Reads the names of `CadDocument` (one call).
    BarBlockNames();
    bool contains(const QString& name) const { return names_.contains(name.toLower()); }
    // As automation::MakeUniqueBlockName: the prefix and the first free number above the count.
    QString unique(const QString& prefix) const;
    // A block of the name was added (Blocks.Add of a name already there adds nothing).
    void added(const QString& name);
    const cad::Blocks& blocks() const { return blocks_; }

private:
    cad::Blocks blocks_;
    QSet<QString> names_;  // lower-cased, as the drawing compares them
    qint32 count_ = 0;
};

// The block name of a piece for the intersection prefix `prefix` ("7^"); group blocks and the first
// part of a wrapped green get a unique name (from `names` when given, else asked of the CAD).
QString BarPieceBlockName(const BarPiece& piece, const QString& prefix, int groupKind, bool groupBlock,
                          int flag, const BarBlockNames* names = nullptr);

// Draws the piece at row origin (x, y) for GroupTable[group]: label empty for red fill and the
// pieces before a start or after an end program; k the green's index; flag 0 normal, 1 first part
// of a wrapped green, 2 its second part; `text` the green's "<start>-<end>". A piece shorter than
// one second draws nothing. With `names` the block names come from it and nothing is asked of the
// CAD, so the caller may send all its pieces' calls together.
void DrawBarPiece(const BarPiece& piece, long x, long y, int group, const QString& label, int k, int flag,
                  const QString& text, BarBlockNames* names = nullptr);

}  // namespace phaseplanner
