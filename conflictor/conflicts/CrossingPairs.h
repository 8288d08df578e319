// Whether the pedestrian and bicycle crossings give both intergreen directions. The cut divides the
// vehicle/pedestrian points along each vehicle stream into clearance and approach points, from the far
// end: 2, 1, 2, ... Both directions of a crossing reach the matrix only when each clearance point is
// followed by an approach point on the other edge of the same crossing, that is when the crossing is
// drawn as two streams, one along each edge of the zebra.
#pragma once

#include "conflictor/conflicts/ConflictMarkers.h"

#include <QString>
#include <QStringList>

namespace conflictor {

// One line per fault found among the markers of the current intersection, naming the streams: a
// crossing met only once (drawn as one line), a clearance point paired with an approach point of
// another crossing, an approach point with no clearance point before it. Empty when every pair holds.
// Uses `StreamTable` as it stands (streams read and chained) and reads the crossing links afresh.
QStringList CheckCrossingPairs();
// The same check on markers already read in this command.
QStringList CheckCrossingPairs(const QList<ConflictMarker>& markers);

// What the pedestrians (cyclists) of `stream` walk when they clear it, in drawing units and as the
// workbook's sum of metres: where refuge islands split the crossing and all its parts are one signal
// group, the whole crossing (the crossing link's total length, or the halves on one line walked as one
// with the islands between them); otherwise the stream as measured, left as it is. Uses
// `CrossingLinkTable` as the check read it.
void ExtendToWholeCrossing(int stream, double& units, QString& text);

// The whole message for the faults: what is wrong, the list, and how a crossing is drawn.
QString CrossingPairsMessage(const QStringList& faults);

// How a pedestrian or bicycle crossing is drawn (shown with every fault found).
QString HowToDrawACrossing();

}  // namespace conflictor
