// Crossings of line and arc components.
#include "conflictor/conflicts/SegmentCrossings.h"

namespace conflictor {

namespace {

common::PlaneArc arcOf(const SegmentRecord& s) {
    return {s.Center, s.Radius, s.StartAngle, s.EndAngle};
}

}  // namespace

bool IsPointOnComponent(const PlanePoint& p, const SegmentRecord& s) {
    if (common::IsMissingPoint(p)) return false;
    return s.IsLine ? common::IsPointOnSegment(p, s.StartPoint, s.EndPoint)
                    : common::IsPointOnArc(p, arcOf(s));
}

std::vector<PlanePoint> FindSegmentCrossings(const SegmentRecord& a, const SegmentRecord& b) {
    common::PlanePointPair candidates{common::MissingPoint(), common::MissingPoint()};
    if (a.IsLine && b.IsLine) {
        candidates.First = common::IntersectLines(a.StartPoint, a.EndPoint, b.StartPoint, b.EndPoint);
    } else if (a.IsLine) {
        candidates = common::IntersectLineCircle(a.StartPoint, a.EndPoint, b.Center, b.Radius);
    } else if (b.IsLine) {
        candidates = common::IntersectLineCircle(b.StartPoint, b.EndPoint, a.Center, a.Radius);
    } else {
        candidates = common::IntersectCircles(b.Center, b.Radius, a.Center, a.Radius);
    }
    // Both candidates count: a line or an arc may cross an arc twice.
    std::vector<PlanePoint> points;
    for (const PlanePoint& p : {candidates.First, candidates.Second}) {
        if (!IsPointOnComponent(p, a) || !IsPointOnComponent(p, b)) continue;
        if (!points.empty() && common::ArePointsEqual(points.front(), p)) continue;
        points.push_back(p);
    }
    return points;
}

}  // namespace conflictor
