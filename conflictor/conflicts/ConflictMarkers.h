// The conflict-point markers of one stream's point list: vehicle/vehicle points marked at once,
// vehicle/pedestrian points divided into clearance and approach points along the vehicle stream;
// and the markers of the current intersection as they stand in the drawing.
#pragma once

#include "conflictor/streams/StreamComponents.h"

#include <QList>
#include <vector>

namespace conflictor {

// Marker kind names: part of the block name and of the attribute tags.
inline QString ConflictKindName(int kind) {
    switch (kind) {
        case 1:
            return QStringLiteral("POJPIESZ_STRUMIEN");
        case 2:
            return QStringLiteral("PIESZPOJ_STRUMIEN");
        case 3:
            return QStringLiteral("POJPOJ_STRUMIEN");
        default:
            return QString();
    }
}

// Order of the first component of the stream (in index order) with an end at the point; when a
// second one also ends there, the smaller of the two orders. 0 when none ends there.
void GetSegmentOrderAtPoint(const PlanePoint& point, int stream, int& order);
// One marker as the cut inserts it for a point of its list.
struct MarkerOfPoint {
    PlanePoint Position;
    int Kind = 0;      // 1, 2 or 3
    int Stream1 = -1;  // StreamTable indexes, as in the point
    int Stream2 = -1;
    QString AssociatedPedestrian;  // kind 1: the pedestrian or bicycle stream of the clearance before it
};
// The markers of one point list (index 0 unused), in the order they are inserted: kind 3 in list
// order; kind-4 points from the farthest along Stream1's chain: clearance (2), approach (1),
// clearance, ... each approach marker naming the pedestrian or bicycle stream of the clearance point
// before it. Reads the table only.
std::vector<MarkerOfPoint> ClassifyConflictPoints(const std::vector<ConflictPointRecord>& points);
// Inserts the markers of one point list, as ClassifyConflictPoints gives them; each step of a
// marker the CAD refuses is left out.
void InsertConflictPointMarkers(std::vector<ConflictPointRecord>& points);
// The same in a cut, the blocks named from the cut's names.
void InsertConflictPointMarkers(std::vector<ConflictPointRecord>& points, CutContext& cut);

// One conflict-point marker read back from the drawing.
struct ConflictMarker {
    int Kind = 0;  // 1, 2 or 3
    QString Stream1;
    QString Stream2;
    QString AssociatedPedestrian;
    PlanePoint Position;
    QString Handle;
};
// Every conflict-point marker of the current intersection on the conflict-point layer, in drawing order.
QList<ConflictMarker> ReadConflictMarkers();

}  // namespace conflictor
