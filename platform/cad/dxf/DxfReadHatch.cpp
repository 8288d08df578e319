// A hatch's own codes: boundary loops with their edges, pattern lines and seed points.
#include "platform/cad/dxf/DxfReading.h"
#include "platform/cad/engine/Splines.h"

namespace cad::dxf::reading {

using namespace cad::db;

struct HatchCursor {
    const std::vector<const RawTag*>& own;
    size_t i = 0;

    bool peek(int code) const { return i < own.size() && own[i]->code == code; }
    // The next pair when it has `code`: false, the place kept, when it does not.
    bool take(int code, const RawTag*& out) {
        if (!peek(code)) return false;
        out = own[i++];
        return true;
    }
};

// A spline boundary edge (after its 72, on `line`): degree, flags, knots, control points with
// weights when rational, fit points with their count (newer files) and end tangents, kept as its
// tags. An edge cut short, or one whose curve cannot be drawn, refuses the file naming the hatch:
// kept, it would leave the hatch unfilled without a word.
void Reader::splineEdge(const std::vector<const RawTag*>& own, size_t& i, Tags& out, qint64 line) {
    const size_t n = own.size();
    auto peek = [&](int code, size_t at) { return at < n && own[at]->code == code; };
    auto keep = [&](int code) {
        if (!peek(code, i)) return false;
        // Its counts and flags are integers, the rest numbers of the curve: nan is refused here as
        // in every record the reader models.
        code >= 70 ? (void)integer(*own[i]) : (void)num(*own[i]);
        out.push_back(toTag(*own[i++]));
        return true;
    };
    auto need = [&](int code, const char* what) {
        if (!keep(code))
            refuseSplineEdge(
                line, QStringLiteral("brak kodu grupy %1 (%2)").arg(code).arg(QString::fromUtf8(what)));
    };
    // A count of `what` the file declared and gave only `given` of.
    auto cutShort = [&](const char* what, long long declared, long long given) {
        refuseSplineEdge(line, QStringLiteral("%1: zadeklarowano %2, jest %3")
                                   .arg(QString::fromUtf8(what))
                                   .arg(declared)
                                   .arg(given));
    };
    need(94, "stopień");
    const bool rational = peek(73, i) && integer(*own[i]) != 0;
    need(73, "znacznik krzywej wymiernej");
    need(74, "znacznik krzywej okresowej");
    const long long knots = peek(95, i) ? integer(*own[i]) : 0;
    need(95, "liczba węzłów");
    const long long controls = peek(96, i) ? integer(*own[i]) : 0;
    need(96, "liczba punktów kontrolnych");
    if (knots < 0) cutShort("węzły", knots, 0);
    if (controls < 0) cutShort("punkty kontrolne", controls, 0);
    for (long long k = 0; k < knots; ++k)
        if (!keep(40)) cutShort("węzły", knots, k);
    for (long long k = 0; k < controls; ++k) {
        if (!keep(10) || !keep(20)) cutShort("punkty kontrolne", controls, k);
        if (rational && !keep(42))
            refuseSplineEdge(line, QStringLiteral("punkt kontrolny %1 bez wagi").arg(k + 1));
    }
    // 97 is also the count of the loop's source objects: it is the fit count only when fit points
    // follow, or, with none, when what follows belongs to the edge or the loop (the sources' 97,
    // the next edge's 72, the end tangents) rather than to the next loop or the pattern.
    if (peek(97, i)) {
        const long long fits = integer(*own[i]);
        const bool edgeGoesOn = peek(97, i + 1) || peek(72, i + 1) || peek(12, i + 1) || peek(13, i + 1);
        if ((fits > 0 && peek(11, i + 1)) || (fits == 0 && edgeGoesOn)) {
            keep(97);
            for (long long k = 0; k < fits; ++k)
                if (!keep(11) || !keep(21)) cutShort("punkty dopasowania", fits, k);
        }
    }
    if (keep(12)) need(22, "styczna na początku");
    if (keep(13)) need(23, "styczna na końcu");
    if (const QString defect = splineDefect(splineOfEdge(out)); !defect.isEmpty())
        refuseSplineEdge(line, defect);
}

bool Reader::parseHatch(const std::vector<const RawTag*>& own, HatchData& h, Tags& extras) {
    HatchCursor c{own};
    const size_t n = own.size();
    size_t& i = c.i;
    const RawTag* t = nullptr;
    bool seenLoops = false;
    while (i < n) {
        const RawTag* cur = own[i];
        switch (cur->code) {
            case 10:
            case 20:
                ++i;
                break;  // elevation point: x and y are always 0
            case 30:
                h.elevation = num(*cur);
                ++i;
                break;
            case 2:
                h.patternName = text(*cur).trimmed();
                ++i;
                break;
            case 70:
                h.solid = integer(*cur) & 1;
                ++i;
                break;
            case 71:
                h.associative = integer(*cur) != 0;
                ++i;
                break;
            case 75:
                h.style = integer(*cur);
                ++i;
                break;
            case 76:
                h.patternType = integer(*cur);
                ++i;
                break;
            case 52:
                h.patternAngle = normalizeAngle(num(*cur) * degToRad);
                ++i;
                break;
            case 41:
                h.patternScale = num(*cur);
                ++i;
                break;
            case 77:
                h.patternDouble = integer(*cur) != 0;
                ++i;
                break;
            case 91: {
                if (seenLoops) return false;
                seenLoops = true;
                const long long count = integer(*cur);
                ++i;
                for (long long l = 0; l < count; ++l) {
                    HatchLoop loop;
                    if (!hatchLoop(c, loop)) return false;
                    h.loops.push_back(std::move(loop));
                }
                break;
            }
            case 78:
                if (!patternLines(c, h)) return false;
                break;
            case 98: {
                const long long count = integer(*cur);
                ++i;
                for (long long k = 0; k < count; ++k) {
                    Point3 p;
                    if (!c.take(10, t)) return false;
                    p.x = num(*t);
                    if (!c.take(20, t)) return false;
                    p.y = num(*t);
                    h.seeds.push_back(p);
                }
                break;
            }
            default:
                extras.push_back(toTag(*cur));
                ++i;
        }
    }
    if (!seenLoops) return false;
    h.solid = h.solid || h.patternName.compare(QLatin1String("SOLID"), Qt::CaseInsensitive) == 0;
    return true;
}

// One boundary loop (from its 92): a polyline's vertices or a list of edges, then the objects it
// was made from.
bool Reader::hatchLoop(HatchCursor& c, HatchLoop& loop) {
    const RawTag* t = nullptr;
    auto need = [&](int code, double& out) {
        if (!c.take(code, t)) return false;
        out = num(*t);
        return true;
    };
    if (!c.take(92, t)) return false;
    loop.flags = integer(*t);
    if (loop.isPolyline()) {
        bool hasBulge = false;
        if (c.take(72, t)) hasBulge = integer(*t) != 0;
        if (c.take(73, t)) loop.closed = integer(*t) != 0;
        if (!c.take(93, t)) return false;
        const long long nv = integer(*t);
        for (long long k = 0; k < nv; ++k) {
            Vertex v;
            if (!need(10, v.x) || !need(20, v.y)) return false;
            if (c.take(42, t)) v.bulge = num(*t);
            (void)hasBulge;
            loop.vertices.push_back(v);
        }
    } else {
        if (!c.take(93, t)) return false;
        const long long ne = integer(*t);
        for (long long k = 0; k < ne; ++k) {
            Edge edge;
            if (!hatchEdge(c, edge)) return false;
            loop.edges.push_back(edge);
        }
    }
    if (c.take(97, t)) {
        const long long ns = integer(*t);
        for (long long k = 0; k < ns; ++k) {
            if (!c.take(330, t)) return false;
            loop.sourceHandles.push_back(toHandle(*t));
        }
    }
    return true;
}

// One edge of a loop (from its 72): a line, an arc, an elliptic arc or a spline.
bool Reader::hatchEdge(HatchCursor& c, Edge& edge) {
    const RawTag* t = nullptr;
    // A value that must come next: false when it does not.
    auto need = [&](int code, double& out) {
        if (!c.take(code, t)) return false;
        out = num(*t);
        return true;
    };
    if (!c.take(72, t)) return false;
    const int type = integer(*t);
    if (type == 1) {
        edge.type = Edge::Line;
        if (!need(10, edge.start.x) || !need(20, edge.start.y) || !need(11, edge.end.x) ||
            !need(21, edge.end.y))
            return false;
    } else if (type == 2) {
        edge.type = Edge::Arc;
        double a0 = 0, a1 = 0;
        if (!need(10, edge.center.x) || !need(20, edge.center.y) || !need(40, edge.radius) || !need(50, a0) ||
            !need(51, a1))
            return false;
        edge.startAngle = a0 * degToRad;
        edge.endAngle = a1 * degToRad;
        if (c.take(73, t)) edge.counterClockwise = integer(*t) != 0;
    } else if (type == 3) {
        edge.type = Edge::Ellipse;
        double a0 = 0, a1 = 0;
        if (!need(10, edge.center.x) || !need(20, edge.center.y) || !need(11, edge.majorAxis.x) ||
            !need(21, edge.majorAxis.y) || !need(40, edge.ratio) || !need(50, a0) || !need(51, a1))
            return false;
        edge.startAngle = a0 * degToRad;
        edge.endAngle = a1 * degToRad;
        if (c.take(73, t)) edge.counterClockwise = integer(*t) != 0;
    } else if (type == 4) {
        edge.type = Edge::Spline;
        splineEdge(c.own, c.i, edge.raw, t->line);
    } else {
        return false;  // an unknown edge: the whole hatch is kept raw
    }
    return true;
}

// The pattern's lines (from their count, 78): angle, base, offset and dashes of each.
bool Reader::patternLines(HatchCursor& c, HatchData& h) {
    const long long count = integer(*c.own[c.i]);
    ++c.i;
    const RawTag* t = nullptr;
    for (long long l = 0; l < count; ++l) {
        PatternLine pl;
        if (!c.take(53, t)) return false;
        pl.angle = num(*t);
        if (c.take(43, t)) pl.base.x = num(*t);
        if (c.take(44, t)) pl.base.y = num(*t);
        if (c.take(45, t)) pl.offset.x = num(*t);
        if (c.take(46, t)) pl.offset.y = num(*t);
        if (c.take(79, t)) {
            const long long nd = integer(*t);
            for (long long k = 0; k < nd; ++k) {
                if (!c.take(49, t)) return false;
                pl.dashes.push_back(num(*t));
            }
        }
        h.patternLines.push_back(std::move(pl));
    }
    return true;
}

}  // namespace cad::dxf::reading
