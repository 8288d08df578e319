// Dimension geometry from definition points, laid out the way a CAD program draws a dimension of
// each type when it builds the dimension's block.
#include "cadhost/render/Dimensions.h"

#include "cadhost/render/CurvePaths.h"

#include <QPolygonF>
#include <cmath>
#include <numbers>
#include <optional>

namespace cadhost::render {

namespace {

constexpr double Pi = std::numbers::pi;

QPointF unit(QPointF d) {
    const double len = std::hypot(d.x(), d.y());
    return len > 0 ? d / len : QPointF(1, 0);
}

double length(QPointF d) {
    return std::hypot(d.x(), d.y());
}

double angleOf(QPointF d) {
    return std::atan2(d.y(), d.x());
}

// A text direction that never reads upside down.
double readable(double a) {
    a = std::remainder(a, 2 * Pi);
    if (a > Pi / 2 + 1e-9) a -= Pi;
    if (a <= -Pi / 2 + 1e-9) a += Pi;
    return a;
}

// Where two lines (each by two points) cross; nullopt when parallel.
std::optional<QPointF> crossing(QPointF a, QPointF b, QPointF c, QPointF d) {
    const QPointF r = b - a, s = d - c;
    const double den = r.x() * s.y() - r.y() * s.x();
    if (std::abs(den) < 1e-12) return std::nullopt;
    const double t = ((c.x() - a.x()) * s.y() - (c.y() - a.y()) * s.x()) / den;
    return a + r * t;
}

// An arrowhead or a tick at `tip` on a line running along `dir` (pointing out of the dimension).
void terminator(RawShape& out, QPointF tip, QPointF dir, const DimLook& look) {
    if (look.tick > 0) {
        const QPointF d = unit(dir), n(-d.y(), d.x());
        const QPointF slant = (d + n) * (look.tick / std::sqrt(2.0));
        out.outlines.push_back(QPolygonF{tip - slant, tip + slant});
    } else if (look.arrow > 0) {
        AddArrow(out, tip, dir, look.arrow);
    }
}

// An extension line from a measured point towards `to`, past it by DIMEXE, starting DIMEXO off.
void extension(RawShape& out, QPointF from, QPointF to, const DimLook& look) {
    const double len = length(to - from);
    if (len <= look.extOffset) return;
    const QPointF d = unit(to - from);
    out.outlines.push_back(QPolygonF{from + d * look.extOffset, to + d * look.extBeyond});
}

void text(RawShape& out, const DimDefinition& d, const DimLook& look, const QString& value, QPointF at,
          double rotation, int attachment = 5) {
    QString shown = d.textOverride;
    if (shown == QLatin1String(" ")) return;
    if (shown.isEmpty())
        shown = value;
    else
        shown.replace(QLatin1String("<>"), value);
    if (shown.isEmpty() || !(look.textHeight > 0)) return;
    out.texts.push_back(
        {shown, at, look.textHeight, d.hasTextRotation ? d.textRotation : rotation, attachment});
}

// Linear and aligned: extension lines to a dimension line through point 10.
bool linear(const DimDefinition& d, const DimLook& look, RawShape& out) {
    const double ang = d.type == 1 ? angleOf(d.p14 - d.p13) : d.angle;
    const QPointF dir(std::cos(ang), std::sin(ang));
    auto onLine = [&](QPointF p) {
        const QPointF r = p - d.p10;
        return d.p10 + dir * (r.x() * dir.x() + r.y() * dir.y());
    };
    const QPointF a = onLine(d.p13), b = onLine(d.p14);
    const double measured = length(b - a);
    if (!(measured > 0)) return false;
    extension(out, d.p13, a, look);
    extension(out, d.p14, b, look);
    out.outlines.push_back(QPolygonF{a, b});
    terminator(out, a, a - b, look);
    terminator(out, b, b - a, look);
    const double rot = readable(ang);
    const QPointF up(-std::sin(rot), std::cos(rot));
    const QPointF at = d.hasTextPoint ? d.p11 : (a + b) / 2 + up * (look.gap + look.textHeight / 2);
    text(out, d, look, MeasurementText(measured, look, false), at, rot);
    return true;
}

// Radius (centre 10 to 15 on the curve) and diameter (15 to 10 across).
bool radial(const DimDefinition& d, const DimLook& look, RawShape& out) {
    const QPointF far = d.p15;
    const QPointF near = d.p10;
    const double len = length(far - near);
    if (!(len > 0)) return false;
    const bool diameter = d.type == 3;
    const QPointF dir = unit(far - near);
    out.outlines.push_back(QPolygonF{near, far});
    terminator(out, far, dir, look);
    if (diameter) terminator(out, near, -dir, look);
    // A text outside the curve gets a leader from the arrowhead's point to it.
    if (d.hasTextPoint) {
        const QPointF centre = diameter ? (near + far) / 2 : near;
        const double r = diameter ? len / 2 : len;
        if (length(d.p11 - centre) > r + look.textHeight) out.outlines.push_back(QPolygonF{far, d.p11});
    }
    const QString prefix = diameter ? QStringLiteral("⌀") : QStringLiteral("R");
    const QPointF at = d.hasTextPoint ? d.p11 : (near + far) / 2;
    text(out, d, look, prefix + MeasurementText(len, look, false), at, readable(angleOf(dir)));
    return true;
}

// Angular: an arc about the vertex between the legs, the side that passes `through`.
bool angular(const DimDefinition& d, const DimLook& look, RawShape& out) {
    QPointF vertex, legA, legB, through;
    if (d.type == 2) {
        const auto c = crossing(d.p13, d.p14, d.p10, d.p15);
        if (!c) return false;
        vertex = *c;
        // Each leg's point farther from the vertex gives its direction.
        legA = length(d.p14 - vertex) >= length(d.p13 - vertex) ? d.p14 : d.p13;
        legB = length(d.p15 - vertex) >= length(d.p10 - vertex) ? d.p15 : d.p10;
        through = d.p16;
    } else {
        vertex = d.p15, legA = d.p13, legB = d.p14, through = d.p10;
    }
    const double r = length(through - vertex);
    if (!(r > 0) || length(legA - vertex) == 0 || length(legB - vertex) == 0) return false;
    auto norm = [](double x) { return std::fmod(std::fmod(x, 2 * Pi) + 2 * Pi, 2 * Pi); };
    double a0 = angleOf(legA - vertex), sweep = norm(angleOf(legB - vertex) - a0);
    if (norm(angleOf(through - vertex) - a0) > sweep) {
        // Counter-clockwise from A to B misses the arc point: it is the other side.
        a0 = angleOf(legB - vertex);
        sweep = 2 * Pi - sweep;
    }
    AddEllipseArc(out.strokes, vertex, QPointF(r, 0), 1, a0, sweep, false);
    const QPointF e0 = vertex + QPointF(std::cos(a0), std::sin(a0)) * r;
    const QPointF e1 = vertex + QPointF(std::cos(a0 + sweep), std::sin(a0 + sweep)) * r;
    // Extension lines from a leg's own point out to the arc when the arc lies beyond it.
    for (const QPointF& leg : {legA, legB})
        if (length(leg - vertex) < r) extension(out, leg, vertex + unit(leg - vertex) * r, look);
    // Arrowheads along the arc's tangents, pointing away from its middle.
    terminator(out, e0, QPointF(std::sin(a0), -std::cos(a0)), look);
    terminator(out, e1, QPointF(-std::sin(a0 + sweep), std::cos(a0 + sweep)), look);
    const double mid = a0 + sweep / 2;
    const QPointF at = d.hasTextPoint ? d.p11
                                      : vertex + QPointF(std::cos(mid), std::sin(mid)) *
                                                     (r + look.gap + look.textHeight / 2);
    const double textAngle = angleOf(at - vertex) - Pi / 2;
    text(out, d, look, MeasurementText(sweep * 180 / Pi, look, true) + QStringLiteral("°"), at,
         readable(textAngle));
    return true;
}

// Ordinate: a leader from the feature (13) to the leader end (14), the X or Y distance from the
// origin (10) written past its end.
bool ordinate(const DimDefinition& d, const DimLook& look, RawShape& out) {
    const QPointF lead = d.p14 - d.p13;
    if (!(length(lead) > look.extOffset)) return false;
    const QPointF dir = unit(lead);
    out.outlines.push_back(QPolygonF{d.p13 + dir * look.extOffset, d.p14});
    const double value = d.ordinateX ? d.p13.x() - d.p10.x() : d.p13.y() - d.p10.y();
    double rot = angleOf(dir);
    int attachment = 4;  // middle left, reading away from the feature
    if (std::abs(readable(rot) - rot) > 1e-9) rot = readable(rot), attachment = 6;
    text(out, d, look, MeasurementText(std::abs(value) < 1e-12 ? 0 : value, look, false),
         d.p14 + dir * look.gap, rot, attachment);
    return true;
}

}  // namespace

void ApplyDimValues(DimLook& look, const std::map<int, QString>& values) {
    auto real = [&](int code, double& out) {
        const auto it = values.find(code);
        bool ok = false;
        const double v = it == values.end() ? 0 : it->second.trimmed().toDouble(&ok);
        if (ok && std::isfinite(v) && v >= 0) out = v;
    };
    auto integer = [&](int code) -> std::optional<int> {
        const auto it = values.find(code);
        bool ok = false;
        const int v = it == values.end() ? 0 : it->second.trimmed().toInt(&ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    };
    real(41, look.arrow);
    real(142, look.tick);
    real(140, look.textHeight);
    real(147, look.gap);
    real(42, look.extOffset);
    real(44, look.extBeyond);
    if (auto v = integer(271)) look.decimals = std::clamp(*v, 0, 8);
    if (auto v = integer(179)) look.angleDecimals = std::clamp(*v, 0, 8);
    if (auto v = integer(78)) look.trimZeros = (*v & 8) != 0;
    if (auto v = integer(278); v && *v > 32) look.separator = QChar(char16_t(*v));
}

QString MeasurementText(double value, const DimLook& look, bool angular) {
    QString s = QString::number(value, 'f', angular ? look.angleDecimals : look.decimals);
    if (look.trimZeros && s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    s.replace(QLatin1Char('.'), look.separator);
    return s;
}

DimDefinition DimensionOfTags(const cad::db::Tags& tags) {
    DimDefinition d;
    std::map<int, double> first;
    for (const auto& t : tags) {
        if (t.code == 1) {
            d.textOverride = t.value;
            continue;
        }
        bool ok = false;
        const double v = t.value.trimmed().toDouble(&ok);
        if (ok && !first.count(t.code)) first[t.code] = v;
    }
    auto get = [&](int code) {
        const auto it = first.find(code);
        return it == first.end() ? 0.0 : it->second;
    };
    auto pt = [&](int code) { return QPointF(get(code), get(code + 10)); };
    const int flags = int(get(70));
    d.type = flags & 7;
    d.ordinateX = flags & 64;
    d.p10 = pt(10), d.p11 = pt(11), d.p13 = pt(13), d.p14 = pt(14), d.p15 = pt(15), d.p16 = pt(16);
    d.hasTextPoint = first.count(11) != 0;
    d.angle = get(50) * Pi / 180;
    d.hasTextRotation = first.count(53) != 0 && get(53) != 0;
    d.textRotation = get(53) * Pi / 180;
    return d;
}

bool DimensionShape(const DimDefinition& d, const DimLook& look, RawShape& out) {
    switch (d.type) {
        case 0:
        case 1:
            return linear(d, look, out);
        case 2:
        case 5:
            return angular(d, look, out);
        case 3:
        case 4:
            return radial(d, look, out);
        case 6:
            return ordinate(d, look, out);
        default:
            return false;
    }
}

}  // namespace cadhost::render
