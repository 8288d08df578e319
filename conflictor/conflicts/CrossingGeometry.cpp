// The lie of crossing streams: edges side by side, halves on one line across an island.
#include "conflictor/conflicts/CrossingGeometry.h"

#include "common/Geometry.h"

#include <algorithm>
#include <cmath>

namespace conflictor {

namespace {

constexpr double MaxEdgeAngle = 20.0;  // degrees between the two edges of one zebra
constexpr double MaxEdgeGap = 12.0;    // metres: the widest zebra
constexpr double MaxStagger = 10.0;    // metres across between the facing ends of two halves of one edge
constexpr double MaxHalfAngle = 10.0;  // degrees between the halves of one edge
constexpr double MaxIsland = 15.0;     // metres of refuge island between two halves

struct Axis {
    PlanePoint O;
    double Ux = 0, Uy = 0;  // unit direction
};

Axis axisOf(const StreamSpan& s) {
    const double dx = s.B.X - s.A.X, dy = s.B.Y - s.A.Y, d = std::hypot(dx, dy);
    return {s.A, d > 0 ? dx / d : 1, d > 0 ? dy / d : 0};
}
double along(const Axis& a, const PlanePoint& p) {
    return (p.X - a.O.X) * a.Ux + (p.Y - a.O.Y) * a.Uy;
}
// Signed distance off the line (left of its direction positive).
double side(const Axis& a, const PlanePoint& p) {
    return -(p.X - a.O.X) * a.Uy + (p.Y - a.O.Y) * a.Ux;
}
double across(const Axis& a, const PlanePoint& p) {
    return std::fabs(side(a, p));
}
// The angle between the two lines, whichever way each is drawn, in degrees.
double angleBetween(const Axis& a, const Axis& b) {
    const double c = std::min(1.0, std::fabs(a.Ux * b.Ux + a.Uy * b.Uy));
    return std::acos(c) * 180.0 / 3.14159265358979323846;
}

}  // namespace

bool GetStreamSpan(const StreamRecord& stream, StreamSpan& span) {
    std::vector<PlanePoint> ends;
    span = {};
    const int count = std::min(stream.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& c = stream.Segments[size_t(k)];
        ends.push_back(c.StartPoint);
        ends.push_back(c.EndPoint);
        span.Length += c.IsLine ? common::GetDistance(c.StartPoint, c.EndPoint)
                                : common::GetArcLength(c.Radius, c.StartAngle, c.EndAngle);
    }
    if (ends.empty()) return false;
    double best = -1;
    for (size_t i = 0; i < ends.size(); ++i)
        for (size_t j = i + 1; j < ends.size(); ++j)
            if (const double d = common::GetDistance(ends[i], ends[j]); d > best) {
                best = d;
                span.A = ends[i];
                span.B = ends[j];
            }
    return best > 0;
}

bool AreEdgesOfOneCrossing(const StreamRecord& a, const StreamRecord& b, double scale) {
    StreamSpan sa, sb;
    if (!GetStreamSpan(a, sa) || !GetStreamSpan(b, sb)) return false;
    const Axis xa = axisOf(sa), xb = axisOf(sb);
    if (angleBetween(xa, xb) > MaxEdgeAngle) return false;
    const double gap = (across(xa, sb.A) + across(xa, sb.B)) / 2;
    if (gap > MaxEdgeGap * scale) return false;
    // Over the same stretch: the overlap of the two along the first one's line.
    const double a0 = 0, a1 = along(xa, sa.B);
    const double b0 = std::min(along(xa, sb.A), along(xa, sb.B)),
                 b1 = std::max(along(xa, sb.A), along(xa, sb.B));
    const double overlap = std::min(a1, b1) - std::max(a0, b0);
    return overlap >= 0.5 * std::min(a1 - a0, b1 - b0);
}

CrossingWalk WalkAcrossIslands(int stream, double scale) {
    CrossingWalk walk;
    const StreamRecord& own = StreamTable[size_t(stream)];
    StreamSpan s0;
    if (!GetStreamSpan(own, s0)) return walk;
    const Axis axis = axisOf(s0);
    // A half as it lies along the stream's line: from/to along it, and how far off the line each of
    // those two ends is (a staggered refuge shifts the next half sideways).
    struct Piece {
        int Index;
        double From, To, Length;
        double OffFrom, OffTo;
    };
    auto pieceOf = [&axis](int index, const StreamSpan& s) {
        const double f = along(axis, s.A), t = along(axis, s.B);
        const double of = side(axis, s.A), ot = side(axis, s.B);
        return f <= t ? Piece{index, f, t, s.Length, of, ot} : Piece{index, t, f, s.Length, ot, of};
    };
    std::vector<Piece> pieces{pieceOf(stream, s0)};
    std::vector<Piece> candidates;
    for (int i = 0; i < int(StreamTable.size()); ++i) {
        const StreamRecord& r = StreamTable[size_t(i)];
        if (i == stream || r.Kind != own.Kind || own.Group < 1 || r.Group != own.Group) continue;
        StreamSpan s;
        if (!GetStreamSpan(r, s)) continue;
        if (angleBetween(axis, axisOf(s)) > MaxHalfAngle) continue;
        candidates.push_back(pieceOf(i, s));
    }
    // Grown from the stream outwards, one island at a time. Across an island the walk goes on with the
    // half whose facing end lies nearest sideways: a half drawn a little off the line, or a staggered
    // refuge, is still the same crossing, walked as one; the other edge of a half lies beside it, never
    // beyond an island.
    for (bool grown = true; grown;) {
        grown = false;
        const Piece& first = *std::min_element(pieces.begin(), pieces.end(),
                                               [](auto& x, auto& y) { return x.From < y.From; });
        const Piece& last =
            *std::max_element(pieces.begin(), pieces.end(), [](auto& x, auto& y) { return x.To < y.To; });
        auto best = candidates.end();
        double bestStep = 0;
        for (auto it = candidates.begin(); it != candidates.end(); ++it) {
            const bool before = it->To <= first.From && first.From - it->To <= MaxIsland * scale;
            const bool after = it->From >= last.To && it->From - last.To <= MaxIsland * scale;
            if (!before && !after) continue;
            const double step =
                after ? std::fabs(it->OffFrom - last.OffTo) : std::fabs(it->OffTo - first.OffFrom);
            if (step > MaxStagger * scale) continue;
            if (best == candidates.end() || step < bestStep) {
                best = it;
                bestStep = step;
            }
        }
        if (best == candidates.end()) break;
        pieces.push_back(*best);
        candidates.erase(best);
        grown = true;
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& x, const Piece& y) { return x.From < y.From; });
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0) walk.Parts.push_back(std::max(0.0, pieces[k].From - pieces[k - 1].To));
        walk.Parts.push_back(pieces[k].Length);
        walk.Streams.push_back(pieces[k].Index);
    }
    for (double p : walk.Parts) walk.Units += p;
    return walk;
}

}  // namespace conflictor
