// Text extents from the advance widths of Arial (the typeface of every style the suite uses),
// so bounding boxes of texts follow the drawn text closely enough for layout.
#include "platform/cad/engine/DatabaseImpl.h"

namespace cad::db {

namespace {

// Advance widths of the printable ASCII characters 32..126 in thousandths of an em.
constexpr short arialWidths[95] = {
    278, 278, 355, 556, 556, 889, 667,  191, 333, 333, 389, 584, 278, 333, 278, 278,  // space .. /
    556, 556, 556, 556, 556, 556, 556,  556, 556, 556,                                // 0 .. 9
    278, 278, 584, 584, 584, 556, 1015,                                               // : .. @
    667, 667, 722, 722, 667, 611, 778,  722, 278, 500, 667, 556, 833, 722, 778, 667,  // A .. P
    778, 722, 667, 611, 722, 667, 944,  667, 667, 611,                                // Q .. Z
    278, 278, 278, 469, 556, 333,                                                     // [ .. `
    556, 556, 500, 556, 556, 278, 556,  556, 222, 222, 500, 222, 833, 556, 556, 556,  // a .. p
    556, 333, 500, 278, 556, 500, 722,  500, 500, 500,                                // q .. z
    334, 260, 334, 584};                                                              // { .. ~

// Cap height of Arial in ems: a text's height is its cap height.
constexpr double capHeight = 0.716;

int advance(QChar c) {
    ushort u = c.unicode();
    if (u >= 32 && u <= 126) return arialWidths[u - 32];
    if (u == 0x0142) return arialWidths['l' - 32];  // ł
    if (u == 0x0141) return arialWidths['L' - 32];  // Ł
    // Accented letters take the width of their base letter (ą, ę, ś, Ż ...).
    const QString decomposed = c.decomposition();
    if (!decomposed.isEmpty()) {
        u = decomposed.at(0).unicode();
        if (u >= 32 && u <= 126) return arialWidths[u - 32];
    }
    return 556;
}

}  // namespace

double estimateTextWidth(const QString& text, double height, double widthFactor) {
    double units = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // %%c, %%d, %%p and %%% stand for one character each.
        if (c == '%' && i + 2 < text.size() && text.at(i + 1) == '%') {
            units += 556;
            i += 2;
            continue;
        }
        units += advance(c);
    }
    return units / 1000.0 / capHeight * height * (widthFactor > 0 ? widthFactor : 1);
}

}  // namespace cad::db
