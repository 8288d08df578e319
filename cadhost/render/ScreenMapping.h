// What the renderer's files share: mapping drawing points to the screen and the text font.
#pragma once

#include "platform/cad/engine/Database.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>
#include <numbers>

namespace cadhost::render {

constexpr double Pi = std::numbers::pi;

inline QPointF map(const cad::db::Transform2D& t, double x, double y) {
    return QPointF(t.a * x + t.b * y + t.tx, t.c * x + t.d * y + t.ty);
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
