// Generated intersections for the cut's benchmark and tests.
#include "bench/conflicts/IntersectionGenerator.h"

#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamComponents.h"

#include <cmath>
#include <numbers>

namespace conflictor::bench {

namespace {

constexpr double Pi = std::numbers::pi;

SegmentRecord lineFrom(const PlanePoint& a, const PlanePoint& b) {
    SegmentRecord s;
    s.IsLine = true;
    s.StartPoint = a;
    s.EndPoint = b;
    return s;
}

// The counter-clockwise arc from a to b turning through `sweep` (below π): its centre lies left of a→b.
SegmentRecord arcFrom(const PlanePoint& a, const PlanePoint& b, double sweep) {
    const double chord = common::GetDistance(a, b);
    const double direction = common::GetDirectionAngle(a, b);
    const double offset = chord / 2 / std::tan(sweep / 2);
    SegmentRecord s;
    s.Center = common::GetPolarPoint(common::GetSegmentMidpoint(a, b), direction + Pi / 2, offset);
    s.Radius = chord / 2 / std::sin(sweep / 2);
    s.StartAngle = common::GetDirectionAngle(s.Center, a);
    s.EndAngle = common::GetDirectionAngle(s.Center, b);
    s.StartPoint = a;
    s.EndPoint = b;
    return s;
}

void drawStream(const QString& name, const std::vector<SegmentRecord>& segments) {
    StreamRecord r;
    SetStreamName(r, name);
    StreamTable.push_back(r);
    const int index = int(StreamTable.size()) - 1;
    for (SegmentRecord s : segments) WriteStreamComponent(s, index, {});
    if (IsVehicleStream(StreamTable.back()))
        InsertMarkerBlock(segments.front().StartPoint, StartMarkerKind(), name, QString(), QString());
}

}  // namespace

void GenerateIntersection(const IntersectionShape& shape) {
    EnsureStreamLayers();
    StreamTable.clear();
    const double r = shape.Radius;
    for (int k = 0; k < shape.VehicleStreams; ++k) {
        const double from = 2 * Pi * k / shape.VehicleStreams;
        const double to = from + Pi + 0.9 * std::sin(1.7 * k + 0.3);
        const PlanePoint a{r * std::cos(from), r * std::sin(from)};
        const PlanePoint b{r * std::cos(to), r * std::sin(to)};
        std::vector<SegmentRecord> chain;
        const int c = shape.ComponentsPerStream;
        for (int m = 0; m < c; ++m) {
            const PlanePoint p{a.X + (b.X - a.X) * m / c, a.Y + (b.Y - a.Y) * m / c};
            const PlanePoint q{a.X + (b.X - a.X) * (m + 1) / c, a.Y + (b.Y - a.Y) * (m + 1) / c};
            chain.push_back(m % 2 == 0 ? lineFrom(p, q) : arcFrom(p, q, Pi / 6));
        }
        drawStream(QStringLiteral("K%1").arg(k + 1), chain);
    }
    // A crossing is drawn along both edges of its zebra: two streams of one group, 3 % of the radius apart.
    for (int q = 0; q < shape.PedestrianStreams / 2; ++q) {
        const double at = 2 * Pi * (q + 0.37) / (shape.PedestrianStreams / 2);
        const QString name = (q % 2 == 0 ? QStringLiteral("P%1") : QStringLiteral("R%1")).arg(q / 2 + 1);
        for (int edge = 0; edge < 2; ++edge) {
            const PlanePoint centre{(0.82 + 0.03 * edge) * r * std::cos(at), (0.82 + 0.03 * edge) * r * std::sin(at)};
            // 0.34 of the radius long: a crossing's length on a road (34 m in metres, 3.4 m at "SKALA" 10).
            const PlanePoint a = common::GetPolarPoint(centre, at + Pi / 2, 0.17 * r);
            const PlanePoint b = common::GetPolarPoint(centre, at - Pi / 2, 0.17 * r);
            const QString edgeName = edge == 0 ? name : name + QStringLiteral("[2]");
            if (q % 4 == 3)
                drawStream(edgeName, {lineFrom(a, centre), lineFrom(centre, b)});
            else
                drawStream(edgeName, {lineFrom(a, b)});
        }
    }
    StreamTable.clear();
}

}  // namespace conflictor::bench
