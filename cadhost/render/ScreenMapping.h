// What the renderer's files share: mapping drawing points to the screen and the text font.
#pragma once

#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/Ocs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>
#include <QTransform>
#include <cmath>
#include <numbers>

namespace cadhost::render {

constexpr double Pi = std::numbers::pi;

inline QPointF map(const cad::db::Transform2D& t, double x, double y) {
    return QPointF(t.a * x + t.b * y + t.tx, t.c * x + t.d * y + t.ty);
}

// For a frame drawn as if on a +Z plane (its Y axis the X axis turned left), the plan map that puts
// it on the plane with the given normal, where its Y axis is the normal crossed with the X axis
// (`axis`, a world direction, through the world point `origin`): a mirror about the X axis for -Z,
// the plan projection for a tilted plane, nothing for +Z.
inline cad::db::Transform2D FrameOnPlane(const cad::db::Point3& origin, const cad::db::Point3& axis,
                                         const cad::db::Point3& normal) {
    const double ax = axis.x, ay = axis.y, az = axis.z;
    const double det = ax * ax + ay * ay;
    if (!(det > 0)) return {};
    const cad::db::Point3 unit = cad::db::unitDirection(normal);
    const double nx = unit.x, ny = unit.y, nz = unit.z;
    const double bx = ny * az - nz * ay, by = nz * ax - nx * az;
    cad::db::Transform2D m{(ax * ax - bx * ay) / det, (ax * ay + bx * ax) / det, (ay * ax - by * ay) / det,
                           (ay * ay + by * ax) / det, 0, 0};
    m.tx = origin.x - (m.a * origin.x + m.b * origin.y);
    m.ty = origin.y - (m.c * origin.x + m.d * origin.y);
    return m;
}

// The map from a text's own layout, in pixels of its height (x along the text, y down its lines), to
// the screen: its along and up directions through `toScreen` at `at`, so a text on a mirrored or
// tilted plane takes the shape the plane gives it (mirrored, or foreshortened and slanted).
inline QTransform TextFrame(const cad::db::Transform2D& toScreen, const cad::db::Point3& at, double rotation) {
    const cad::db::Point3 along = toScreen.applyVector({std::cos(rotation), std::sin(rotation), 0});
    const cad::db::Point3 up = toScreen.applyVector({-std::sin(rotation), std::cos(rotation), 0});
    const double px = std::hypot(up.x, up.y);
    const QPointF p = map(toScreen, at.x, at.y);
    if (!(px > 0)) return QTransform::fromTranslate(p.x(), p.y());
    return QTransform(along.x / px, along.y / px, -up.x / px, -up.y / px, p.x(), p.y());
}

inline const QString& textFamily() {
    static const QString f = QStringLiteral("DejaVu Sans");
    return f;
}

// Cap height of the text font as a share of its pixel size (drawing text heights are cap heights).
inline double capRatio() {
    static const double r = [] {
        QFont f(textFamily());
        f.setPixelSize(100);
        const double cap = QFontMetricsF(f).capHeight();
        return cap > 10 ? cap / 100.0 : 0.72;
    }();
    return r;
}

}  // namespace cadhost::render
