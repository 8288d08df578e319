// Geometry of a crossing link: side spans, island gaps, the axis and the length texts.
#include "conflictor/phases/CrossingLinkGeometry.h"

#include "automation/DrawingProperties.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/StreamRecords.h"

#include <numbers>

namespace conflictor {

using common::GetDistance;
using common::PlanePoint;

QStringList CrossingSideList(const QString& text) {
    QString t = text.trimmed();
    if (t.isEmpty()) return {};
    t.replace(QLatin1Char(' '), QLatin1Char(':'));
    return t.split(QLatin1Char(':'));
}

PointPair CombineCrossingSide(const std::vector<PointPair>& pairs, PointPair& gap) {
    gap = AbsentPair();
    if (pairs.size() == 1) return pairs[0];
    if (pairs.size() != 2) return AbsentPair();
    const PointPair& a = pairs[0];
    const PointPair& b = pairs[1];
    PointPair span;
    PointPair g;
    // The end of A nearer B's first end is the island's edge.
    if (GetDistance(a.P1, b.P1) > GetDistance(a.P2, b.P1)) {
        span.P1 = a.P1;
        g.P1 = a.P2;
    } else {
        span.P1 = a.P2;
        g.P1 = a.P1;
    }
    if (GetDistance(b.P1, g.P1) > GetDistance(b.P2, g.P1)) {
        span.P2 = b.P1;
        g.P2 = b.P2;
    } else {
        span.P2 = b.P2;
        g.P2 = b.P1;
    }
    if (!common::ArePointsEqual(g.P1, g.P2)) gap = g;
    return span;
}

PointPair BuildLinkAxis(const PointPair& innerSpan, PointPair& outerSpan, double scale, PointPair& tips) {
    if (GetDistance(innerSpan.P1, outerSpan.P2) < GetDistance(innerSpan.P1, outerSpan.P1))
        outerSpan = common::ReverseSegment(outerSpan);
    const PlanePoint m1 = common::GetSegmentMidpoint(innerSpan.P1, outerSpan.P1);
    const PlanePoint m2 = common::GetSegmentMidpoint(innerSpan.P2, outerSpan.P2);
    if (scale <= 0) return PointPair{m1, m2};
    const double a = common::GetDirectionAngle(m1, m2);
    const double pi = std::numbers::pi;
    tips = PointPair{common::GetPolarPoint(m1, a + pi, 2 * scale), common::GetPolarPoint(m2, a, 2 * scale)};
    return PointPair{common::GetPolarPoint(m1, a + pi, scale), common::GetPolarPoint(m2, a, scale)};
}

double GetStreamLength(int streamIndex) {
    if (streamIndex < 0 || streamIndex >= int(StreamTable.size())) return 0;
    const StreamRecord& r = StreamTable[size_t(streamIndex)];
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    double sum = 0;
    for (int k = 1; k <= r.SegmentCount && k <= MaxSegments; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        const double length = s.IsLine ? GetDistance(s.StartPoint, s.EndPoint)
                                       : common::GetArcLength(s.Radius, s.StartAngle, s.EndAngle);
        sum += common::ParseDouble(common::FormatNumberWithDot(length / scale, QStringLiteral("#######0.0")));
    }
    return sum;
}

void AddSegmentLengthText(const cad::Block& owner, const PointPair& segment, const QString& layer) {
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    const double pi = std::numbers::pi;
    const double length = GetDistance(segment.P1, segment.P2);
    double a = common::GetDirectionAngle(segment.P1, segment.P2);
    const PlanePoint p = common::GetPolarPoint(segment.P1, a, length / 2);
    if (a > pi / 2 && a < 3 * pi / 2) a -= pi;
    if (length - 0.3 * scale <= 0) return;
    const QString text = common::FormatNumberWithDot(length / scale, QStringLiteral("#######0.0"));
    const double height = common::Settings.SkalujTekst ? scale * common::Settings.DlugosciTekstWysokosc
                                                       : common::Settings.DlugosciTekstWysokosc;
    const cad::Point at{p.X, p.Y, 0};
    const cad::Entity t = owner.addText(text, at, height);
    t.setAlignment(13);
    t.setTextAlignmentPoint(at);
    t.setRotation(a);
    if (!layer.isEmpty()) t.setLayer(layer);
}

}  // namespace conflictor
