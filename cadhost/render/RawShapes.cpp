// Geometry of the raw-tag kinds from their group codes.
#include "cadhost/render/RawShapes.h"

#include "cadhost/render/CurvePaths.h"
#include "platform/cad/engine/Curves.h"

#include <QPointF>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace cadhost::render {

namespace {

using cad::db::Tags;

// The first value of each code, and every value of the repeated codes (in order).
struct TagView {
    std::map<int, std::vector<double>> values;
    double get(int code, double fallback = 0) const {
        const auto it = values.find(code);
        return it == values.end() || it->second.empty() ? fallback : it->second.front();
    }
    bool has(int code) const { return values.count(code) != 0; }
    const std::vector<double>& all(int code) const {
        static const std::vector<double> none;
        const auto it = values.find(code);
        return it == values.end() ? none : it->second;
    }
};

TagView viewOf(const Tags& tags) {
    TagView v;
    for (const auto& t : tags) {
        bool ok = false;
        const double d = t.value.trimmed().toDouble(&ok);
        if (ok && std::isfinite(d)) v.values[t.code].push_back(d);
    }
    return v;
}

bool quad(const TagView& v, RawShape& out) {
    if (!v.has(10) || !v.has(11) || !v.has(12)) return false;
    const QPointF p1(v.get(10), v.get(20)), p2(v.get(11), v.get(21)), p3(v.get(12), v.get(22));
    const QPointF p4 = v.has(13) ? QPointF(v.get(13), v.get(23)) : p3;
    // The corners go 1, 2, 4, 3 around the shape.
    const QPolygonF poly{p1, p2, p4, p3, p1};
    out.filled.addPolygon(poly);
    out.filled.closeSubpath();
    out.outlines.push_back(poly);
    return true;
}

bool face(const TagView& v, RawShape& out) {
    if (!v.has(10) || !v.has(11) || !v.has(12)) return false;
    const QPointF p[4] = {{v.get(10), v.get(20)},
                          {v.get(11), v.get(21)},
                          {v.get(12), v.get(22)},
                          v.has(13) ? QPointF(v.get(13), v.get(23)) : QPointF(v.get(12), v.get(22))};
    const int hidden = int(v.get(70));
    for (int i = 0; i < 4; ++i) {
        if (hidden & (1 << i)) continue;
        const QPointF a = p[i], b = p[(i + 1) % 4];
        if (a != b) out.outlines.push_back(QPolygonF{a, b});
    }
    return true;
}

bool ellipse(const TagView& v, RawShape& out) {
    const double mx = v.get(11), my = v.get(21), ratio = v.get(40, 1);
    if (!(std::hypot(mx, my) > 0) || !(ratio > 0)) return false;
    double t0 = v.get(41, 0), t1 = v.get(42, 2 * std::numbers::pi);
    while (t1 <= t0) t1 += 2 * std::numbers::pi;
    AddEllipseArc(out.strokes, QPointF(v.get(10), v.get(20)), QPointF(mx, my), ratio, t0, t1 - t0, false);
    return true;
}

QPointF unit(QPointF d) {
    const double len = std::hypot(d.x(), d.y());
    return len > 0 ? d / len : QPointF(1, 0);
}

// LEADER: its vertices, with an arrowhead at the first one unless switched off (71 = 0).
bool leader(const TagView& v, double arrow, RawShape& out) {
    const auto& xs = v.all(10);
    const auto& ys = v.all(20);
    QPolygonF poly;
    for (size_t i = 0; i < std::min(xs.size(), ys.size()); ++i) poly << QPointF(xs[i], ys[i]);
    if (poly.size() < 2) return false;
    out.outlines.push_back(poly);
    if (v.get(71, 1) != 0 && arrow > 0) AddArrow(out, poly[0], unit(poly[0] - poly[1]), arrow);
    return true;
}

// MULTILEADER: each leader line from its arrowhead to its landing, the dogleg, and the note placed
// at its text location (all from the content block of the record).
bool multiLeader(const Tags& tags, double arrow, RawShape& out) {
    bool inContext = false;
    int depth = 0;  // 1 in a LEADER{ section, 2 in a LEADER_LINE{ section
    std::optional<QPointF> landing;
    QPointF dogleg;
    double doglegLength = 0;
    QPolygonF line;
    QString note;
    QPointF textAt, textDir(1, 0);
    double textHeight = 0, arrowSize = -1, x = 0;
    int attachment = 1;
    std::vector<QPolygonF> lines;
    auto flushLeader = [&] {
        if (landing && doglegLength > 0 && !dogleg.isNull())
            out.outlines.push_back(QPolygonF{*landing, *landing + unit(dogleg) * doglegLength});
    };
    for (const auto& t : tags) {
        const double d = t.value.trimmed().toDouble();
        if (t.code == 300 && t.value.startsWith(QLatin1String("CONTEXT_DATA{"))) {
            inContext = true;
        } else if (t.code == 301) {
            inContext = false;
        } else if (t.code == 302 && t.value.startsWith(QLatin1String("LEADER{"))) {
            depth = 1, landing.reset(), dogleg = {}, doglegLength = 0;
        } else if (t.code == 304 && t.value.startsWith(QLatin1String("LEADER_LINE{"))) {
            depth = 2, line.clear();
        } else if (t.code == 305 && depth == 2) {
            if (landing) line << *landing;
            if (line.size() >= 2) lines.push_back(line);
            depth = 1;
        } else if (t.code == 303 && depth == 1) {
            flushLeader();
            depth = 0;
        } else if (depth > 0) {
            if (t.code == 10) x = d;
            if (t.code == 20) {
                if (depth == 1)
                    landing = QPointF(x, d);
                else
                    line << QPointF(x, d);
            }
            if (depth == 1 && t.code == 11) dogleg.setX(d);
            if (depth == 1 && t.code == 21) dogleg.setY(d);
            if (depth == 1 && t.code == 40) doglegLength = d;
        } else if (inContext) {
            switch (t.code) {
                case 304:
                    note = t.value;
                    break;
                case 41:
                    textHeight = d;
                    break;
                case 140:
                    arrowSize = d;
                    break;
                case 12:
                    textAt.setX(d);
                    break;
                case 22:
                    textAt.setY(d);
                    break;
                case 13:
                    textDir.setX(d);
                    break;
                case 23:
                    textDir.setY(d);
                    break;
                case 171:
                    if (d >= 1 && d <= 9) attachment = int(d);
                    break;
                default:
                    break;
            }
        } else if (t.code == 42 && arrowSize < 0) {
            arrowSize = d;  // the record's own arrowhead size
        }
    }
    if (arrowSize < 0) arrowSize = arrow;
    for (const QPolygonF& l : lines) {
        out.outlines.push_back(l);
        if (arrowSize > 0) AddArrow(out, l[0], unit(l[0] - l[1]), arrowSize);
    }
    if (!note.isEmpty() && textHeight > 0)
        out.texts.push_back({note, textAt, textHeight, std::atan2(textDir.y(), textDir.x()), attachment});
    return !out.outlines.empty() || !out.texts.empty();
}

}  // namespace

void AddArrow(RawShape& out, QPointF tip, QPointF dir, double size) {
    const QPointF d = unit(dir), n(-d.y(), d.x());
    const QPointF back = tip - d * size;
    out.filled.addPolygon(QPolygonF{tip, back + n * (size / 6), back - n * (size / 6), tip});
    out.filled.closeSubpath();
}

bool ShapeOfRaw(const cad::db::RawData& raw, double arrow, RawShape& out) {
    const QString kind = raw.dxfName.toUpper();
    if (kind == QLatin1String("MULTILEADER")) return multiLeader(raw.tags, arrow, out);
    std::vector<cad::db::Point3> vertices;
    bool closed = false;
    if (cad::db::polyline3dVertices(raw, vertices, closed)) {  // a 3D polyline shows its plan
        QPolygonF plan;
        for (const auto& p : vertices) plan << QPointF(p.x, p.y);
        if (closed && plan.size() > 2) plan << plan.front();
        if (plan.isEmpty()) return false;
        out.outlines.push_back(plan);
        return true;
    }
    // A SPLINE by its curve, a HELIX by its spline as AutoCAD draws it: the plan of the curve.
    if (cad::db::SplineCurve s; cad::db::splineOfRaw(raw, s)) return AddSpline(out.strokes, s, false);
    if (kind != QLatin1String("SOLID") && kind != QLatin1String("TRACE") && kind != QLatin1String("3DFACE") &&
        kind != QLatin1String("ELLIPSE") && kind != QLatin1String("LEADER"))
        return false;
    const TagView v = viewOf(raw.tags);
    if (kind == QLatin1String("SOLID") || kind == QLatin1String("TRACE")) return quad(v, out);
    if (kind == QLatin1String("3DFACE")) return face(v, out);
    if (kind == QLatin1String("ELLIPSE")) return ellipse(v, out);
    return leader(v, arrow, out);
}

}  // namespace cadhost::render
