// Plane geometry of the drawing, including our own line and circle intersections.
#include "common/Geometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <stdexcept>

namespace common {

namespace {

constexpr double kTwoPi = 6.28318530717959;
constexpr double kPi = 3.14159265358979;
constexpr double kArcAngleTolerance = 1.745329251e-6;  // a ten-thousandth of a degree
constexpr double kPointTolerance = 0.01;

bool missing(double x) {
    return x == MissingCoordinate;
}

// Relative tolerance under which two crossings merge into one tangent point.
double tangentTolerance(double size) {
    return 1e-9 * std::max(1.0, size);
}

// The rounding the largest of the coordinates carries (CoordinateNoise).
double noiseOf(std::initializer_list<double> coordinates) {
    double largest = 0;
    for (double v : coordinates) largest = std::max(largest, std::fabs(v));
    return CoordinateNoise(largest);
}

// Angle brought into [0, 2π).
double normalizeAngle(double a) {
    const double twoPi = 2 * std::numbers::pi;
    a = std::fmod(a, twoPi);
    if (a < 0) a += twoPi;
    if (a >= twoPi) a = 0;
    return a;
}

}  // namespace

double ExtClcAglRad(double x1, double y1, double x2, double y2) {
    double dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 && dy == 0) return 0;
    return normalizeAngle(std::atan2(dy, dx));
}

int ExtGcrLin2LinIts(PlanePoint* out, double ax1, double ay1, double ax2, double ay2, double bx1, double by1,
                     double bx2, double by2) {
    *out = MissingPoint();
    if (missing(ax1) || missing(ax2) || missing(bx1) || missing(bx2)) return 0;
    double d1x = ax2 - ax1, d1y = ay2 - ay1;
    double d2x = bx2 - bx1, d2y = by2 - by1;
    double len1 = std::hypot(d1x, d1y), len2 = std::hypot(d2x, d2y);
    if (len1 == 0 || len2 == 0) return 0;
    double denom = d1x * d2y - d1y * d2x;
    if (std::fabs(denom) <= 1e-12 * len1 * len2) return 0;  // parallel or coincident
    double t = ((bx1 - ax1) * d2y - (by1 - ay1) * d2x) / denom;
    *out = {ax1 + t * d1x, ay1 + t * d1y};
    return 1;
}

int ExtGcrLin2CirIts(PlanePointPair* out, double x1, double y1, double x2, double y2, double cx, double cy,
                     double r) {
    out->First = MissingPoint();
    out->Second = MissingPoint();
    if (missing(x1) || missing(x2) || missing(cx)) return 0;
    double dx = x2 - x1, dy = y2 - y1;
    double a = dx * dx + dy * dy;
    if (a == 0) return 0;
    r = std::fabs(r);
    // Worked from the centre: the foot's distance from it is then a sum of small numbers, as precise
    // at map-grid coordinates as at the origin.
    const double px = x1 - cx, py = y1 - cy;
    double t0 = -(px * dx + py * dy) / a;
    const double fx = px + t0 * dx, fy = py + t0 * dy;
    double dist = std::hypot(fx, fy);
    double tol = tangentTolerance(r);
    // A line that misses or crosses the circle by less than its coordinates' rounding touches it.
    const double noise = noiseOf({x1, y1, x2, y2, cx, cy});
    if (dist > r + std::max(tol, noise)) return 0;
    double h2 = r * r - dist * dist;
    double h = h2 > 0 ? std::sqrt(h2) : 0;
    if (h <= tol || r - dist <= noise) {
        out->First = {cx + fx, cy + fy};
        return 1;
    }
    double dt = h / std::sqrt(a);
    out->First = {x1 + (t0 - dt) * dx, y1 + (t0 - dt) * dy};
    out->Second = {x1 + (t0 + dt) * dx, y1 + (t0 + dt) * dy};
    return 2;
}

int ExtGcrCir2CirIts(PlanePointPair* out, double cx1, double cy1, double r1, double cx2, double cy2,
                     double r2) {
    out->First = MissingPoint();
    out->Second = MissingPoint();
    if (missing(cx1) || missing(cx2)) return 0;
    r1 = std::fabs(r1);
    r2 = std::fabs(r2);
    double dx = cx2 - cx1, dy = cy2 - cy1;
    double d = std::hypot(dx, dy);
    if (d == 0) return 0;  // concentric: no crossing, or the same circle
    double tol = tangentTolerance(r1 + r2);
    // Circles that miss or cross by less than their centres' rounding touch.
    const double noise = noiseOf({cx1, cy1, cx2, cy2});
    const double outside = d - (r1 + r2), inside = std::fabs(r1 - r2) - d;
    if (outside > std::max(tol, noise) || inside > std::max(tol, noise)) return 0;
    double ux = dx / d, uy = dy / d;
    double a = (r1 * r1 - r2 * r2 + d * d) / (2 * d);
    double h2 = r1 * r1 - a * a;
    double h = h2 > 0 ? std::sqrt(h2) : 0;
    PlanePoint base{cx1 + a * ux, cy1 + a * uy};
    if (h <= tol || -outside <= noise || -inside <= noise) {
        out->First = base;
        return 1;
    }
    // First lies to the left of the direction from the first centre to the second.
    out->First = {base.X - h * uy, base.Y + h * ux};
    out->Second = {base.X + h * uy, base.Y - h * ux};
    return 2;
}

PlanePoint GetPolarPoint(const PlanePoint& origin, double angle, double distance) {
    return {origin.X + std::cos(angle) * distance, origin.Y + std::sin(angle) * distance};
}

double GetDirectionAngle(const PlanePoint& p1, const PlanePoint& p2) {
    return ExtClcAglRad(p1.X, p1.Y, p2.X, p2.Y);
}

bool ArePointsEqual(const PlanePoint& p1, const PlanePoint& p2) {
    return std::fabs(p2.X - p1.X) < kPointTolerance && std::fabs(p2.Y - p1.Y) < kPointTolerance;
}

double GetDistance(const PlanePoint& p1, const PlanePoint& p2) {
    double dx = p1.X - p2.X, dy = p1.Y - p2.Y;
    return std::sqrt(dx * dx + dy * dy);
}

PlanePoint IntersectLines(const PlaneSegment& s1, const PlaneSegment& s2) {
    PlanePoint p;
    ExtGcrLin2LinIts(&p, s1.P1.X, s1.P1.Y, s1.P2.X, s1.P2.Y, s2.P1.X, s2.P1.Y, s2.P2.X, s2.P2.Y);
    return p;
}

PlanePointPair IntersectLineCircle(const PlaneSegment& s, const PlanePoint& centre, double radius) {
    PlanePointPair pair;
    ExtGcrLin2CirIts(&pair, s.P1.X, s.P1.Y, s.P2.X, s.P2.Y, centre.X, centre.Y, radius);
    return pair;
}

PlanePointPair IntersectCircles(const PlaneArc& c1, const PlaneArc& c2) {
    PlanePointPair pair;
    ExtGcrCir2CirIts(&pair, c1.Center.X, c1.Center.Y, c1.Radius, c2.Center.X, c2.Center.Y, c2.Radius);
    return pair;
}

bool IsPointOnSegment(const PlanePoint& p, const PlaneSegment& s) {
    if (IsMissingPoint(p) || IsMissingPoint(s.P1) || IsMissingPoint(s.P2)) return false;
    return GetDistance(p, s.P1) + GetDistance(p, s.P2) - GetDistance(s.P1, s.P2) <= kPointTolerance;
}

bool IsPointOnArc(const PlanePoint& p, const PlaneArc& a) {
    if (IsMissingPoint(p) || IsMissingPoint(a.Center)) return false;
    if (std::fabs(GetDistance(a.Center, p) - a.Radius) > kPointTolerance) return false;
    // Measured from the start angle around the circle, so that a direction just below 2π and one just
    // above 0 are the same place: the arc covers [0, sweep], widened by the tolerance on both sides.
    const double twoPi = 2 * std::numbers::pi;
    double start = normalizeAngle(a.StartAngle);
    double sweep = a.EndAngle >= a.StartAngle ? a.EndAngle - a.StartAngle : a.EndAngle - a.StartAngle + twoPi;
    double offset = normalizeAngle(GetDirectionAngle(a.Center, p) - start);
    // Far from the origin the rounding of the point and the centre turns the direction between
    // them by more than the angle tolerance on a small arc: the window is then that rounding.
    const double turn = a.Radius > 0 ? noiseOf({p.X, p.Y, a.Center.X, a.Center.Y}) / a.Radius : 0;
    const double window = std::max(kArcAngleTolerance, turn);
    return offset <= sweep + window || offset >= twoPi - window;
}

double GetArcLength(double radius, double startAngle, double endAngle) {
    double sweep = std::fabs(endAngle - startAngle);
    if (startAngle > endAngle) sweep = kTwoPi - sweep;
    return sweep * 180 / kPi * kTwoPi * radius / 360;
}

PlaneSegment ReverseSegment(const PlaneSegment& s) {
    return {s.P2, s.P1};
}

void AddToInteger(int& a, int b) {
    long long sum = static_cast<long long>(a) + b;
    if (sum < -32768 || sum > 32767) throw std::overflow_error("Integer overflow");
    a = static_cast<int>(sum);
}

void ExtendBoundingBox(PlanePoint& max, PlanePoint& min, const PlanePoint& p) {
    if (p.X < min.X) min.X = p.X;
    if (p.Y < min.Y) min.Y = p.Y;
    if (p.X > max.X) max.X = p.X;
    if (p.Y > max.Y) max.Y = p.Y;
}

PlanePoint GetSegmentMidpoint(const PlaneSegment& s) {
    return GetPolarPoint(s.P1, GetDirectionAngle(s.P1, s.P2), GetDistance(s.P1, s.P2) / 2);
}

}  // namespace common
