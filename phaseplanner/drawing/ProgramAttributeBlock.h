// The program attribute block "ATRYBUTY_PROGRAMU_<intersection>": the parameters of one
// intersection's signal program kept in the drawing. Writing it, reading it, listing the drawing's
// intersections from these blocks (with the origin of the program table) and converting the block
// of older drawings.
#pragma once

#include "common/Geometry.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"

#include <QHash>
#include <QString>
#include <optional>

namespace phaseplanner {

// Program values of the drawing side that the block carries.
// ExcelWorkbookName, ExcelWorkbookPath: the workbook's name and path (IntergreenWorkbook.h).
extern QString PhaseOrderText;     // the phase order chosen for the workbook
extern int ChosenPhaseSet;         // worksheet column of the chosen phase set
extern int ProgramTableType;       // 0 ordinary table, -1 actuated table
extern int GroupCountSetting;      // group rows of the drawn table; 32 when 0
extern int MaxIntergreenTime;      // seconds, at least 5 after a read

// Where the first bar of the program table starts; Known is false until a block gave it.
struct TableOrigin {
    common::PlanePoint Point;
    bool Known = false;
};
extern TableOrigin ProgramTableOrigin;
// Name of the current intersection's block.
extern QString ProgramAttributeBlockName;

inline QString ProgramAttributeBlockPrefix() {
    return QStringLiteral("ATRYBUTY_PROGRAMU_");
}
// "ATRYBUTY_PROGRAMU_" and the number, or "ATRYBUTY_PROGRAMU_^" for an empty number.
QString ProgramAttributeBlockNameFor(const QString& intersectionNumber);

// Rewrites the current intersection's block from the program values, keeping the reference's place.
// With no drawing open it shows the standard message. A definition that cannot be replaced (still
// referenced from inside another block) is left as it is, with a message. True when written.
// `documentChecked`: the calling command has found the drawing open (CheckDocumentOpen) already, so
// it is not asked again.
bool UstawWidoczneAtrybuty(bool documentChecked = false);
// Reads the current intersection's block into the program values when the drawing holds exactly
// one reference of it; then raises MaxIntergreenTime to 5 and sets GroupCountSetting 0 to 32.
void GetAtrybutyProgramu();
// The attribute texts of the current intersection's block by tag, when the drawing holds exactly one
// reference of it.
std::optional<QHash<QString, QString>> ReadProgramAttributeTexts();
// Refills cmbNo from the drawing's program attribute blocks, settles IntersectionNumber and
// ProgramTableOrigin. `found` tells whether the drawing holds such a block. An unnumbered block is
// renamed to the current number when that number has no block yet.
void SprawdzSkrzyzowania(bool& found);
// Converts the block "ATRYBUTY_RYSUNKU" of older drawings, when there is one.
void UpdateDrawingProgram(bool readMaximum);

// Erases the current-second markers an earlier playback left on "255-ROBOCZA" and the definitions
// of their blocks (those still in use elsewhere stay).
void RemoveStaleTimeMarkers();

// Resets every value above (tests; a program starting over).
void ResetProgramAttributeState();

}  // namespace phaseplanner
