// Length texts of the stream components.
#include "conflictor/conflicts/LengthTexts.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "conflictor/conflicts/SegmentCrossings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace conflictor {

namespace {

constexpr double Pi = std::numbers::pi;

cad::Point at(const PlanePoint& p) {
    return cad::Point{p.X, p.Y, 0};
}

// Whether the point lies on a component of any stream of the table.
bool onIntersectionComponent(const PlanePoint& p) {
    for (const StreamRecord& r : StreamTable) {
        const int count = std::min(r.SegmentCount, MaxSegments);
        for (int k = 1; k <= count; ++k)
            if (IsPointOnComponent(p, r.Segments[size_t(k)])) return true;
    }
    return false;
}

}  // namespace

LengthTextPlacement PlaceLengthText(const SegmentRecord& s) {
    LengthTextPlacement t;
    // A chord that is vertical in the drawing turns by the rounding of its ends (more of it far from
    // the origin, on a short piece): within that it is vertical, so that its text reads the same way
    // wherever the intersection lies.
    const double chord = common::GetDistance(s.StartPoint, s.EndPoint);
    const double largest = std::max({std::fabs(s.StartPoint.X), std::fabs(s.StartPoint.Y),
                                     std::fabs(s.EndPoint.X), std::fabs(s.EndPoint.Y)});
    const double turn = chord > 0 ? std::max(1e-9, common::CoordinateNoise(largest) / chord) : 1e-9;
    if (s.IsLine) {
        t.Length = chord;
        t.Angle = common::GetDirectionAngle(s.StartPoint, s.EndPoint);
        t.Position = common::GetPolarPoint(s.StartPoint, t.Angle, t.Length / 2);
        // Texts read from the left or from below.
        if (t.Angle > Pi / 2 + turn && t.Angle < 3 * Pi / 2 - turn) t.Angle -= Pi;
    } else {
        t.Length = common::GetArcLength(s.Radius, s.StartAngle, s.EndAngle);
        t.Angle = common::GetDirectionAngle(s.StartPoint, s.EndPoint);
        // The middle of an arc running counter-clockwise lies a quarter turn clockwise of its chord.
        t.Position = common::GetPolarPoint(s.Center, t.Angle - Pi / 2, s.Radius);
        if (t.Angle > Pi / 2 + turn && t.Angle <= 3 * Pi / 2 + turn) t.Angle += Pi;
    }
    return t;
}

int EraseLengthTexts() {
    int erased = 0;
    SetGuard ss(QStringLiteral("SSDlugosci"));
    cad::SelectionFilter filter;
    filter.add(0, QStringLiteral("TEXT")).add(8, LengthTextLayer());
    for (const cad::Entity& text : ss.select(filter)) {
        const auto [codes, values] = text.xData(LengthTextApplication());
        bool ours;
        if (!codes.isEmpty()) {
            ours = values.size() > 1 && values[1].toText() == IntersectionNumber;
        } else {
            const cad::Point p = text.alignment() != 0 ? text.textAlignmentPoint() : text.insertionPoint();
            ours = onIntersectionComponent({p.x, p.y});
        }
        if (!ours) continue;
        text.erase();
        ++erased;
    }
    return erased;
}

int WriteLengthTexts(const std::function<void()>& perStream) {
    const int scale = std::max(1, automation::DrawingScale);
    const double height = common::Settings.SkalujTekst ? common::Settings.DlugosciTekstWysokosc * scale
                                                       : common::Settings.DlugosciTekstWysokosc;
    const cad::Block modelSpace = automation::CadDocument.modelSpace();
    const cad::VariantList codes{cad::Variant(1001), cad::Variant(1000)};
    const cad::VariantList values{cad::Variant(LengthTextApplication()), cad::Variant(IntersectionNumber)};
    QSet<QString> written;  // a shared component gets one text
    int count = 0;
    for (const StreamRecord& r : StreamTable) {
        if (perStream) perStream();
        const int segments = std::min(r.SegmentCount, MaxSegments);
        for (int k = 1; k <= segments; ++k) {
            const SegmentRecord& s = r.Segments[size_t(k)];
            if (!s.Handle.isEmpty()) {
                if (written.contains(s.Handle)) continue;
                written.insert(s.Handle);
            }
            const LengthTextPlacement t = PlaceLengthText(s);
            if (t.Length - 0.3 * scale <= 0) continue;
            const cad::Entity text = modelSpace.addText(
                common::FormatNumberWithDot(t.Length / scale, QStringLiteral("#######0.0")), at(t.Position),
                height);
            text.setAlignment(13);  // bottom centre
            text.setTextAlignmentPoint(at(t.Position));
            text.setRotation(t.Angle);
            text.setXData(codes, values);
            ++count;
        }
    }
    return count;
}

}  // namespace conflictor
