// How far apart the streams of a road lie: vehicle streams in neighbouring lanes, the two edges of one
// zebra. A length alone fits a wrong "SKALA" by accident (a 90 m path read as 9 m is still a path);
// the spacing of lanes and the width of a zebra, read from the same drawing, do not.
#include "conflictor/conflicts/DrawingUnits.h"

#include "common/Geometry.h"
#include "conflictor/conflicts/CrossingGeometry.h"
#include "conflictor/streams/StreamRecords.h"

#include <algorithm>
#include <cmath>

namespace conflictor {

namespace {

constexpr double MaxLaneAngle = 5.0;    // degrees between the lines of two lanes side by side
constexpr double MaxZebraAngle = 20.0;  // degrees between the two edges of one zebra
// The edges of one zebra lie closer than one and a half lengths of the shorter edge, whatever the
// units: two crossings drawn one line each (P1 and P1[2] on two arms) lie farther apart.
constexpr double MaxZebraWidthPerLength = 1.5;

struct Line2 {
    PlanePoint A, B;
    double Ux = 1, Uy = 0, Length = 0;
};

Line2 lineOf(const PlanePoint& a, const PlanePoint& b) {
    Line2 l{a, b};
    l.Length = common::GetDistance(a, b);
    if (l.Length > 0) {
        l.Ux = (b.X - a.X) / l.Length;
        l.Uy = (b.Y - a.Y) / l.Length;
    }
    return l;
}

double along(const Line2& l, const PlanePoint& p) {
    return (p.X - l.A.X) * l.Ux + (p.Y - l.A.Y) * l.Uy;
}
double across(const Line2& l, const PlanePoint& p) {
    return std::fabs(-(p.X - l.A.X) * l.Uy + (p.Y - l.A.Y) * l.Ux);
}
double degreesBetween(const Line2& a, const Line2& b) {
    const double c = std::min(1.0, std::fabs(a.Ux * b.Ux + a.Uy * b.Uy));
    return std::acos(c) * 180.0 / 3.14159265358979323846;
}

// How far apart the two lines run, when they run side by side within `maxAngle` over at least half of
// the shorter one (measured along the longer); -1 when they do not. Whichever way each is drawn.
double sideBySide(const Line2& a, const Line2& b, double maxAngle) {
    if (a.Length <= 0 || b.Length <= 0 || degreesBetween(a, b) > maxAngle) return -1;
    const Line2& longer = a.Length >= b.Length ? a : b;
    const Line2& shorter = a.Length >= b.Length ? b : a;
    const double s0 = along(longer, shorter.A), s1 = along(longer, shorter.B);
    const double overlap = std::min(longer.Length, std::max(s0, s1)) - std::max(0.0, std::min(s0, s1));
    if (overlap < 0.5 * shorter.Length) return -1;
    return (across(longer, shorter.A) + across(longer, shorter.B)) / 2;
}

// The middle value (the lower of the two middle ones), with the pair it came from (of equal values, the
// one met first in the table).
MeasuredLength median(std::vector<MeasuredLength> values, LengthKind kind) {
    std::stable_sort(values.begin(), values.end(),
              [](const MeasuredLength& x, const MeasuredLength& y) { return x.Units < y.Units; });
    MeasuredLength m = values[(values.size() - 1) / 2];
    m.Kind = kind;
    return m;
}

QString pairName(const StreamRecord& a, const StreamRecord& b) {
    return a.Name + QStringLiteral(" i ") + b.Name;
}

// Each vehicle stream's nearest neighbour running side by side with it along a straight component,
// in drawing units; streams sharing a component (spacing 0: one lane) are no neighbours.
std::vector<MeasuredLength> nearestLanes() {
    std::vector<MeasuredLength> out;
    for (size_t i = 0; i < StreamTable.size(); ++i) {
        const StreamRecord& a = StreamTable[i];
        if (!IsVehicleStream(a)) continue;
        MeasuredLength best{QString(), -1, LengthKind::LaneSpacing};
        for (size_t j = 0; j < StreamTable.size(); ++j) {
            const StreamRecord& b = StreamTable[j];
            if (j == i || !IsVehicleStream(b)) continue;
            for (int p = 1; p <= std::min(a.SegmentCount, MaxSegments); ++p) {
                const SegmentRecord& ca = a.Segments[size_t(p)];
                if (!ca.IsLine) continue;
                const Line2 la = lineOf(ca.StartPoint, ca.EndPoint);
                for (int q = 1; q <= std::min(b.SegmentCount, MaxSegments); ++q) {
                    const SegmentRecord& cb = b.Segments[size_t(q)];
                    if (!cb.IsLine) continue;
                    const Line2 lb = lineOf(cb.StartPoint, cb.EndPoint);
                    const double d = sideBySide(la, lb, MaxLaneAngle);
                    if (d <= 1e-6 * std::max(la.Length, lb.Length)) continue;
                    if (best.Units < 0 || d < best.Units) best = {pairName(a, b), d, LengthKind::LaneSpacing};
                }
            }
        }
        if (best.Units > 0) out.push_back(best);
    }
    return out;
}

// The two edges of each crossing drawn by both (P1 and P1[2]) that run side by side, their mean gap.
std::vector<MeasuredLength> zebraWidths() {
    std::vector<MeasuredLength> out;
    for (size_t i = 0; i < StreamTable.size(); ++i) {
        const StreamRecord& a = StreamTable[i];
        if (a.Kind != KindPedestrian && a.Kind != KindBicycle) continue;
        for (size_t j = i + 1; j < StreamTable.size(); ++j) {
            const StreamRecord& b = StreamTable[j];
            if (b.Kind != a.Kind || b.BaseName.compare(a.BaseName, Qt::CaseInsensitive) != 0) continue;
            StreamSpan sa, sb;
            if (!GetStreamSpan(a, sa) || !GetStreamSpan(b, sb)) continue;
            const Line2 la = lineOf(sa.A, sa.B), lb = lineOf(sb.A, sb.B);
            const double d = sideBySide(la, lb, MaxZebraAngle);
            if (d > 0 && d <= MaxZebraWidthPerLength * std::min(la.Length, lb.Length))
                out.push_back({pairName(a, b), d, LengthKind::CrossingWidth});
        }
    }
    return out;
}

}  // namespace

std::vector<MeasuredLength> MeasureRoadWidths() {
    std::vector<MeasuredLength> out;
    // The typical value, not the narrowest: two streams of one lane drawn a little apart, or lanes
    // across a wide median, are each one pair among many.
    if (const std::vector<MeasuredLength> lanes = nearestLanes(); !lanes.empty())
        out.push_back(median(lanes, LengthKind::LaneSpacing));
    if (const std::vector<MeasuredLength> zebras = zebraWidths(); !zebras.empty())
        out.push_back(median(zebras, LengthKind::CrossingWidth));
    return out;
}

}  // namespace conflictor
