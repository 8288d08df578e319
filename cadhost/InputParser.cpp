// Parsing of typed coordinates; the comma separates X from Y, so decimals take a dot.
#include "cadhost/InputParser.h"

#include <QRegularExpression>
#include <cmath>
#include <numbers>

namespace cadhost {

cad::Input ParseTypedInput(const QString& typed, const std::optional<cad::Point>& last) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) return cad::Input::enter();
    static const QString num = QStringLiteral(R"([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)");
    static const QRegularExpression xy(QStringLiteral(R"(^(@?)\s*(%1)\s*,\s*(%1)\s*$)").arg(num));
    static const QRegularExpression polar(QStringLiteral(R"(^@\s*(%1)\s*<\s*(%1)\s*$)").arg(num));
    const cad::Point base = last.value_or(cad::Point{});
    if (const auto m = xy.match(t); m.hasMatch()) {
        const double x = m.captured(2).toDouble(), y = m.captured(3).toDouble();
        if (!m.captured(1).isEmpty()) return cad::Input::at(cad::Point{base.x + x, base.y + y, 0});
        return cad::Input::at(cad::Point{x, y, 0});
    }
    if (const auto m = polar.match(t); m.hasMatch()) {
        const double d = m.captured(1).toDouble();
        const double a = m.captured(2).toDouble() * std::numbers::pi / 180;
        return cad::Input::at(cad::Point{base.x + d * std::cos(a), base.y + d * std::sin(a), 0});
    }
    return cad::Input::typed(t);
}

}  // namespace cadhost
