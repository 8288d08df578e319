// Conflict-point markers: the division of vehicle/pedestrian points into the markers drawn.
#include "conflictor/conflicts/ConflictMarkers.h"

#include "automation/CadConnection.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"

namespace conflictor {

namespace {

QString nameOf(int index) {
    return index >= 0 && index < int(StreamTable.size()) ? StreamTable[size_t(index)].Name : QString();
}

}  // namespace

void GetSegmentOrderAtPoint(const PlanePoint& point, int stream, int& order) {
    order = 0;
    if (stream < 0 || stream >= int(StreamTable.size())) return;
    const StreamRecord& r = StreamTable[size_t(stream)];
    const int count = std::min(r.SegmentCount, MaxSegments);
    int first = 0;
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        if (!common::ArePointsEqual(s.StartPoint, point) && !common::ArePointsEqual(s.EndPoint, point))
            continue;
        if (first == 0) {
            first = s.Order;
            order = first;
            continue;
        }
        order = std::min(first, s.Order);
        return;
    }
}

std::vector<MarkerOfPoint> ClassifyConflictPoints(const std::vector<ConflictPointRecord>& points) {
    std::vector<MarkerOfPoint> out;
    std::vector<ConflictPointRecord> mixed;
    for (size_t k = 1; k < points.size(); ++k) {
        const ConflictPointRecord& p = points[k];
        if (p.Kind == 3) {
            out.push_back({p.Position, 3, p.Stream1, p.Stream2, QString()});
        } else if (p.Kind == 4) {
            ConflictPointRecord copy = p;
            GetSegmentOrderAtPoint(p.Position, p.Stream1, copy.ChainOrder);
            mixed.push_back(copy);
        }
    }
    std::vector<bool> taken(mixed.size(), false);
    bool approach = false;
    QString pedestrian;
    for (size_t round = 0; round < mixed.size(); ++round) {
        int best = -1, bestOrder = -1;
        for (size_t k = 0; k < mixed.size(); ++k) {
            if (taken[k] || mixed[k].ChainOrder <= bestOrder) continue;
            best = int(k);
            bestOrder = mixed[k].ChainOrder;
        }
        if (best < 0) break;
        taken[size_t(best)] = true;
        const ConflictPointRecord& p = mixed[size_t(best)];
        MarkerOfPoint m{p.Position, 0, p.Stream1, p.Stream2, QString()};
        if (!approach) {
            m.Kind = 2;
            const int kind2 = p.Stream2 >= 0 && p.Stream2 < int(StreamTable.size())
                                  ? StreamTable[size_t(p.Stream2)].Kind
                                  : 0;
            pedestrian =
                kind2 == KindPedestrian || kind2 == KindBicycle ? nameOf(p.Stream2) : nameOf(p.Stream1);
        } else {
            m.Kind = 1;
            m.AssociatedPedestrian = pedestrian;
        }
        out.push_back(m);
        approach = !approach;
    }
    return out;
}

void InsertConflictPointMarkers(std::vector<ConflictPointRecord>& points) {
    if (points.size() < 2) return;
    for (const MarkerOfPoint& m : ClassifyConflictPoints(points))
        InsertMarkerBlock(m.Position, QString::number(m.Kind), nameOf(m.Stream1), nameOf(m.Stream2),
                          m.AssociatedPedestrian);
}

void InsertConflictPointMarkers(std::vector<ConflictPointRecord>& points, CutContext& cut) {
    if (points.size() < 2) return;
    for (const MarkerOfPoint& m : ClassifyConflictPoints(points))
        InsertMarkerBlock(m.Position, QString::number(m.Kind), nameOf(m.Stream1), nameOf(m.Stream2),
                          m.AssociatedPedestrian, cut);
}

}  // namespace conflictor
