// Plain geometry values of the drawing engine: points, boxes and the 2D affine transforms
// that move, copy, rotate and scale entities.
#pragma once

#include <cmath>
#include <limits>

namespace cad::db {

// An angle in radians brought into 0..2π.
inline double normalizeAngle(double a) {
    constexpr double twoPi = 6.283185307179586476925286766559;
    a = std::fmod(a, twoPi);
    if (a < 0) a += twoPi;
    if (a >= twoPi) a = 0;
    return a;
}

// A point or vector in world coordinates; the suite draws in the XY plane with Z = 0.
struct Point3 {
    double x = 0, y = 0, z = 0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

// An axis-aligned box; empty until the first point is added.
struct Box {
    Point3 min{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), 0};
    Point3 max{-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(), 0};
    bool isEmpty() const { return min.x > max.x; }
    void add(double x, double y) {
        if (x < min.x) min.x = x;
        if (y < min.y) min.y = y;
        if (x > max.x) max.x = x;
        if (y > max.y) max.y = y;
    }
    void add(const Point3& p) { add(p.x, p.y); }
    void add(const Box& b) {
        if (!b.isEmpty()) {
            add(b.min);
            add(b.max);
        }
    }
    // Overlap test where touching edges count (crossing selection).
    bool overlaps(const Box& o) const {
        return !isEmpty() && !o.isEmpty() && min.x <= o.max.x && o.min.x <= max.x && min.y <= o.max.y &&
               o.min.y <= max.y;
    }
};

// x' = a*x + b*y + tx, y' = c*x + d*y + ty. Enough for move, rotation and (non-uniform) scale.
struct Transform2D {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    static Transform2D translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
    static Transform2D rotation(double angle) {
        return {std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle), 0, 0};
    }
    static Transform2D scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // The transform that applies `first` and then this.
    Transform2D after(const Transform2D& first) const {
        return {a * first.a + b * first.c,        a * first.b + b * first.d,
                c * first.a + d * first.c,        c * first.b + d * first.d,
                a * first.tx + b * first.ty + tx, c * first.tx + d * first.ty + ty};
    }
    Point3 apply(const Point3& p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty, p.z}; }
    Point3 applyVector(const Point3& v) const { return {a * v.x + b * v.y, c * v.x + d * v.y, v.z}; }
    double determinant() const { return a * d - b * c; }
    friend bool operator==(const Transform2D&, const Transform2D&) = default;
    // The transform that undoes this one; only for an invertible transform (determinant not 0).
    Transform2D inverse() const {
        const double k = 1 / determinant();
        const double ia = d * k, ib = -b * k, ic = -c * k, id = a * k;
        return {ia, ib, ic, id, -(ia * tx + ib * ty), -(ic * tx + id * ty)};
    }
    // The linear part with the translation moved to (x, y).
    Transform2D movedTo(double x, double y) const { return {a, b, c, d, x, y}; }
};

}  // namespace cad::db
