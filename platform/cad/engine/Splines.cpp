// Spline tags read into one curve, judged and evaluated. Points are evaluated relative to the first
// control point, so that a curve on map-grid coordinates (7.5e9) keeps the precision of its own size.
#include "platform/cad/engine/Splines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace cad::db {

namespace {

// A tag's number as the reader accepts it (a comma for the decimal point too).
double number(const Tag& t) {
    const QString v = t.value.trimmed();
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : QString(v).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

// The last point of `points`, made when the tag is the first coordinate of a point.
void setCoordinate(std::vector<Point3>& points, int axis, double v) {
    if (axis == 0) points.push_back({v, 0, 0});
    if (points.empty()) return;  // a Y or Z before any X: no point to give it to
    (axis == 0 ? points.back().x : axis == 1 ? points.back().y : points.back().z) = v;
}

// Past this many points a spline's samples grow no finer: a curve of a million spans is sampled a
// few times per span, each span too small to tell apart anyway.
constexpr size_t MaxSamples = size_t(1) << 17;
constexpr int MaxSplineDegree = 25;

struct Homogeneous {
    double x = 0, y = 0, z = 0, w = 1;
};

// The point at `u` in the knot span [knots[k], knots[k + 1]) (p <= k < n), relative to `origin`.
Point3 pointInSpan(const SplineCurve& s, int k, double u, const Point3& origin) {
    const int p = s.degree;
    const size_t n = s.control.size();
    const std::vector<double>& U = s.knots;
    std::vector<Homogeneous> d(size_t(p) + 1);
    for (int j = 0; j <= p; ++j) {
        const size_t i = size_t(j + k - p);
        const double w = s.weights.size() == n ? s.weights[i] : 1.0;
        const Point3& c = s.control[i];
        d[size_t(j)] = {(c.x - origin.x) * w, (c.y - origin.y) * w, (c.z - origin.z) * w, w};
    }
    for (int r = 1; r <= p; ++r)
        for (int j = p; j >= r; --j) {
            const size_t i = size_t(j + k - p);
            const double den = U[i + size_t(p + 1 - r)] - U[i];
            const double a = den == 0 ? 0 : (u - U[i]) / den;
            Homogeneous& h = d[size_t(j)];
            const Homogeneous& l = d[size_t(j - 1)];
            h = {l.x + (h.x - l.x) * a, l.y + (h.y - l.y) * a, l.z + (h.z - l.z) * a, l.w + (h.w - l.w) * a};
        }
    const Homogeneous& h = d[size_t(p)];
    const double w = h.w == 0 ? 1 : h.w;
    return {origin.x + h.x / w, origin.y + h.y / w, origin.z + h.z / w};
}

// The cubic the renderer draws between fit points i and i + 1, at t in 0..1 (its tangents those of
// the neighbouring fit points, Catmull-Rom).
Point3 fitCurvePoint(const std::vector<Point3>& fit, size_t i, double t) {
    const Point3& p0 = fit[i == 0 ? 0 : i - 1];
    const Point3& p1 = fit[i];
    const Point3& p2 = fit[i + 1];
    const Point3& p3 = fit[std::min(i + 2, fit.size() - 1)];
    const auto at = [&](double a, double b, double c, double d) {
        const double c1 = b + (c - a) / 6, c2 = c - (d - b) / 6, u = 1 - t;
        return u * u * u * b + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * c;
    };
    return {at(p0.x, p1.x, p2.x, p3.x), at(p0.y, p1.y, p2.y, p3.y), at(p0.z, p1.z, p2.z, p3.z)};
}

}  // namespace

bool isSplineKind(const QString& dxfName) {
    return dxfName.compare(QLatin1String("SPLINE"), Qt::CaseInsensitive) == 0 ||
           dxfName.compare(QLatin1String("HELIX"), Qt::CaseInsensitive) == 0;
}

size_t helixPartStart(const RawData& raw) {
    const Tags& tags = raw.tags;
    if (raw.dxfName.compare(QLatin1String("HELIX"), Qt::CaseInsensitive) != 0) return tags.size();
    bool markers = false;
    for (size_t i = 0; i < tags.size(); ++i) {
        if (tags[i].code == 100) markers = true;
        if (tags[i].code == 100 && tags[i].value.trimmed() == QLatin1String("AcDbHelix")) return i;
    }
    if (!markers)
        for (size_t i = 0; i < tags.size(); ++i)
            if (tags[i].code == 90) return i;
    return tags.size();
}

namespace {

// The codes a record gives its spline's degree, counts and weights in (knots are 40, control points
// 10/20/30 and fit points 11/21/31 in both).
struct SplineCodes {
    int degree, knotCount, controlCount, fitCount, weight;
};
constexpr SplineCodes SplineEntityCodes{71, 72, 73, 74, 41}, HatchEdgeCodes{94, 95, 96, 97, 42};

SplineCurve readSpline(const Tags& tags, size_t begin, size_t end, const SplineCodes& codes) {
    SplineCurve s;
    for (size_t i = begin; i < end; ++i) {
        const Tag& t = tags[i];
        const int c = t.code;
        if (c == codes.degree)
            s.degree = int(number(t));
        else if (c == codes.knotCount)
            s.knotCount = (long long)number(t);
        else if (c == codes.controlCount)
            s.controlCount = (long long)number(t);
        else if (c == codes.fitCount)
            s.fitCount = (long long)number(t);
        else if (c == 40)
            s.knots.push_back(number(t));
        else if (c == codes.weight)
            s.weights.push_back(number(t));
        else if (c == 10 || c == 20 || c == 30)
            setCoordinate(s.control, (c - 10) / 10, number(t));
        else if (c == 11 || c == 21 || c == 31)
            setCoordinate(s.fit, (c - 11) / 10, number(t));
    }
    return s;
}

}  // namespace

bool splineOfRaw(const RawData& raw, SplineCurve& out) {
    if (!isSplineKind(raw.dxfName)) return false;
    // The common codes before the spline's own (layer, colour...) are none of a spline's.
    out = readSpline(raw.tags, 0, helixPartStart(raw), SplineEntityCodes);
    return true;
}

SplineCurve splineOfEdge(const Tags& tags) {
    return readSpline(tags, 0, tags.size(), HatchEdgeCodes);
}

QString splineDefect(const SplineCurve& s) {
    const auto shown = [](double v) { return QString::number(v, 'g', 12); };
    const long long p = s.degree, n = (long long)s.control.size(), k = (long long)s.knots.size();
    if (p < 1) return QStringLiteral("stopień %1 (najmniejszy możliwy to 1)").arg(p);
    // Each point of the curve costs the square of its degree: a file's degree in the thousands would
    // hold the drawing for hours. No CAD program makes a spline past this (AutoCAD raises the order
    // to 26 at most).
    if (p > MaxSplineDegree)
        return QStringLiteral("stopień %1 (największy możliwy to %2)").arg(p).arg(MaxSplineDegree);
    const auto cutShort = [](const char* what, long long declared, size_t given) {
        return declared > (long long)given ? QStringLiteral("%1: zadeklarowano %2, jest %3")
                                                 .arg(QString::fromUtf8(what))
                                                 .arg(declared)
                                                 .arg(given)
                                           : QString();
    };
    for (const QString& cut : {cutShort("punkty kontrolne", s.controlCount, s.control.size()),
                               cutShort("węzły", s.knotCount, s.knots.size()),
                               cutShort("punkty dopasowania", s.fitCount, s.fit.size())})
        if (!cut.isEmpty()) return cut;
    if (n == 0)
        return s.fit.size() >= 2 ? QString()
                                 : QStringLiteral(
                                       "brak punktów kontrolnych i za mało punktów dopasowania: jest %1, "
                                       "potrzeba co najmniej 2")
                                       .arg(s.fit.size());
    if (n < p + 1)
        return QStringLiteral("za mało punktów kontrolnych dla stopnia %1: jest %2, potrzeba co najmniej %3")
            .arg(p)
            .arg(n)
            .arg(p + 1);
    if (k != n + p + 1)
        return QStringLiteral(
                   "wektor węzłów jest za %1: węzły: %2, potrzeba %3 (stopień %4, punkty kontrolne: %5)")
            .arg(k < n + p + 1 ? QStringLiteral("krótki") : QStringLiteral("długi"))
            .arg(k)
            .arg(n + p + 1)
            .arg(p)
            .arg(n);
    for (size_t i = 1; i < s.knots.size(); ++i)
        if (!(s.knots[i] >= s.knots[i - 1]))
            return QStringLiteral("węzły maleją: po %1 następuje %2")
                .arg(shown(s.knots[i - 1]), shown(s.knots[i]));
    if (!(s.knots[size_t(n)] > s.knots[size_t(p)]))
        return QStringLiteral("węzły nie wyznaczają żadnego odcinka krzywej (od %1 do %2)")
            .arg(shown(s.knots[size_t(p)]), shown(s.knots[size_t(n)]));
    if (!s.weights.empty()) {
        if ((long long)s.weights.size() != n)
            return QStringLiteral("wagi: jest %1, punkty kontrolne: %2").arg(s.weights.size()).arg(n);
        for (double w : s.weights)
            if (!(w > 0)) return QStringLiteral("waga %1 nie jest dodatnia").arg(shown(w));
    }
    return {};
}

namespace {

// A drawable spline as pieces each running over 0..1: its non-empty knot spans, or the cubics
// between its fit points.
class Pieces {
public:
    explicit Pieces(const SplineCurve& s) : s_(s) {
        if (s.control.empty()) {
            count_ = s.fit.size() - 1;
            return;
        }
        origin_ = s.control.front();
        for (size_t k = size_t(s.degree); k < s.control.size(); ++k)
            if (s.knots[k + 1] > s.knots[k]) spans_.push_back(int(k));
        count_ = spans_.size();
    }
    size_t count() const { return count_; }
    Point3 at(size_t piece, double t) const {
        if (s_.control.empty()) return t >= 1 ? s_.fit[piece + 1] : fitCurvePoint(s_.fit, piece, t);
        const int k = spans_[piece];
        const double u0 = s_.knots[size_t(k)], u1 = s_.knots[size_t(k) + 1];
        return pointInSpan(s_, k, t >= 1 ? u1 : u0 + (u1 - u0) * t, origin_);
    }
    // Samples to a piece: `perSpan`, fewer for a curve of very many pieces.
    size_t step(int perSpan) const {
        return std::clamp<size_t>(MaxSamples / std::max<size_t>(count_, 1), 1, size_t(std::max(perSpan, 1)));
    }

private:
    const SplineCurve& s_;
    std::vector<int> spans_;
    size_t count_ = 0;
    Point3 origin_;
};

}  // namespace

std::vector<Point3> splineSamples(const SplineCurve& s, int perSpan) {
    std::vector<Point3> out;
    if (!splineDefect(s).isEmpty()) return out;
    const Pieces pieces(s);
    const size_t step = pieces.step(perSpan);
    for (size_t i = 0; i < pieces.count(); ++i)
        for (size_t j = 0; j < step; ++j) out.push_back(pieces.at(i, double(j) / double(step)));
    out.push_back(pieces.at(pieces.count() - 1, 1));
    return out;
}

void addSplineToBox(Box& box, const SplineCurve& s, const Transform2D& t) {
    if (!splineDefect(s).isEmpty()) {
        for (const Point3& p : !s.control.empty() ? s.control : s.fit) box.add(t.apply(p));
        return;
    }
    // The samples, then each of the four extremes found between its neighbouring samples: the box
    // is the curve's own, not the samples' (which may fall short of a bend's crest).
    const Pieces pieces(s);
    const size_t step = pieces.step(32);
    const auto plan = [&](size_t piece, double u) { return t.apply(pieces.at(piece, u)); };
    struct Extreme {
        double value = -std::numeric_limits<double>::infinity();
        size_t piece = 0;
        double u = 0;
    };
    const auto sides = [](const Point3& p) { return std::array<double, 4>{p.x, -p.x, p.y, -p.y}; };
    std::array<Extreme, 4> best;
    for (size_t i = 0; i < pieces.count(); ++i)
        for (size_t j = i == 0 ? 0 : 1; j <= step; ++j) {  // a piece starts where the one before ends
            const double u = double(j) / double(step);
            const Point3 p = plan(i, u);
            box.add(p);
            const auto v = sides(p);
            for (size_t k = 0; k < 4; ++k)
                if (v[k] > best[k].value) best[k] = {v[k], i, u};
        }
    const double h = 1.0 / double(step);
    // A golden-section search for extreme `k` over [lo, hi] of a piece.
    const auto refine = [&](size_t k, size_t piece, double lo, double hi) {
        const auto value = [&](double u) { return sides(plan(piece, u))[k]; };
        constexpr double g = 0.6180339887498949;
        double a = hi - g * (hi - lo), b = lo + g * (hi - lo), fa = value(a), fb = value(b);
        for (int n = 0; n < 60; ++n) {
            if (fa < fb) {
                lo = a, a = b, fa = fb, b = lo + g * (hi - lo), fb = value(b);
            } else {
                hi = b, b = a, fb = fa, a = hi - g * (hi - lo), fa = value(a);
            }
        }
        box.add(plan(piece, (lo + hi) / 2));
    };
    // Around the best sample; at a piece's end the crest may lie just inside the next piece.
    for (size_t k = 0; k < 4; ++k) {
        const Extreme& e = best[k];
        refine(k, e.piece, std::max(0.0, e.u - h), std::min(1.0, e.u + h));
        if (e.u == 1 && e.piece + 1 < pieces.count()) refine(k, e.piece + 1, 0, h);
    }
}

}  // namespace cad::db
