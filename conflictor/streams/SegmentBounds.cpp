// Component bounding boxes and the stream layers.
#include "conflictor/streams/SegmentBounds.h"

#include "automation/CadTables.h"

#include <algorithm>
#include <numbers>

namespace conflictor {

namespace {

// Whether the arc running counter-clockwise from `start` to `end` passes the direction `theta`.
bool arcPasses(double start, double end, double theta) {
    if (theta == 0) return start > end;
    return (start < theta && (end > theta || end < start)) || (start > theta && end > theta && end < start);
}

}  // namespace

void ComputeSegmentBounds(SegmentRecord& s) {
    s.Bounds1 = {std::min(s.StartPoint.X, s.EndPoint.X), std::min(s.StartPoint.Y, s.EndPoint.Y)};
    s.Bounds2 = {std::max(s.StartPoint.X, s.EndPoint.X), std::max(s.StartPoint.Y, s.EndPoint.Y)};
    if (s.IsLine) return;
    constexpr double pi = std::numbers::pi;
    if (arcPasses(s.StartAngle, s.EndAngle, 0)) s.Bounds2.X = s.Center.X + s.Radius;
    if (arcPasses(s.StartAngle, s.EndAngle, pi / 2)) s.Bounds2.Y = s.Center.Y + s.Radius;
    if (arcPasses(s.StartAngle, s.EndAngle, pi)) s.Bounds1.X = s.Center.X - s.Radius;
    if (arcPasses(s.StartAngle, s.EndAngle, 3 * pi / 2)) s.Bounds1.Y = s.Center.Y - s.Radius;
}

void EnsureStreamLayers() {
    automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, 5, 30);
    automation::EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), false, 5, -10);
    automation::EnsureLayer(QStringLiteral("400-DLUGOSCI_STRUMIENI"), false, -1, -10);
}

}  // namespace conflictor
