// Every stream piece and stream marker of the current intersection that the drawing holds, wherever
// it lies. The reading takes the component references in model space on the stream layer only; one
// it would pass over (on another layer, inside another block, in paper space, or inserted in rows and
// columns) leaves its stream measured without it, and the workbook would read "no conflict" where the
// drawing shows two streams crossing. So each of them is named, with where it lies and what to do.
#pragma once

#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/Variant.h"

#include <QList>
#include <QStringList>

namespace conflictor {

// A reference named as a component block, a start marker or an end marker of the intersection.
struct DrawnStreamReference {
    QString BlockName;
    QString Layer;
    QString Owner;             // the block definition holding it; empty in model space and paper space
    bool PaperSpace = false;
    bool MultipleInsert = false;  // a MINSERT: its block drawn in rows and columns
    // Where to look: a passed-over piece's curve start as its reference draws it, else the insertion
    // point; in the coordinates of what holds it.
    PlanePoint Point;
    cad::ObjectId Object = 0;
};

// Every such reference of the drawing: model space in one filtered read, then the block names in one
// call and the entities of every other block and layout in one more.
QList<DrawnStreamReference> FindStreamReferences();

// Judges what was found against the table: sets every record's ReferenceFault, ReferenceFaultName,
// StartMarkers and EndMarkers (only record `only` when it is 0 or more) and, for the whole table,
// returns the faults of streams the table lacks (pieces all passed over, markers of a stream with no
// piece left), each a whole message with the stream's name first.
QStringList JudgeStreamReferences(const QList<DrawnStreamReference>& found, int only);

// The faults of streams outside the table that the last reading of all streams found.
extern QStringList StreamsOutsideTheTable;

}  // namespace conflictor
