// The stream pieces and markers of the current intersection the reading would pass over, judged
// against the stream table: a stream measured without one of its pieces would leave the workbook
// reading "no conflict" where the drawing shows two streams crossing, so each is named.
#pragma once

#include "automation/StreamReferences.h"
#include "conflictor/streams/StreamRecords.h"

#include <QList>
#include <QStringList>

namespace conflictor {

using automation::DrawnStreamReference;

// Every such reference of the drawing (automation's finding for the current intersection), each
// passed-over piece placed at the start of its curve as its reference draws it.
QList<DrawnStreamReference> FindStreamReferences();

// Judges what was found against the table: sets every record's ReferenceFault, ReferenceFaultName,
// StartMarkers and EndMarkers (only record `only` when it is 0 or more) and, for the whole table,
// returns the faults of streams the table lacks (pieces all passed over, markers of a stream with no
// piece left), each a whole message with the stream's name first.
QStringList JudgeStreamReferences(const QList<DrawnStreamReference>& found, int only);

// The faults of streams outside the table that the last reading of all streams found.
extern QStringList StreamsOutsideTheTable;

}  // namespace conflictor
