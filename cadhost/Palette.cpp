// The index palette: nine named colours, 24 hues of ten shades each (10..249), six greys.
#include "cadhost/Palette.h"

#include <array>
#include <cmath>

namespace cadhost {

namespace {

// Shade levels of the hue rows: even indexes full saturation, odd ones half.
constexpr std::array<int, 5> Levels{255, 165, 127, 76, 38};

QRgb hueShade(int index) {
    const int row = (index - 10) / 10;  // hue step of 15 degrees
    const int shade = (index - 10) % 10;
    const double v = Levels[size_t(shade / 2)];
    const double low = (shade % 2) ? std::floor(v * 0.5 + 0.0) : 0.0;
    const double hue = row * 15.0;
    const int sector = int(hue / 60.0) % 6;
    const double f = (hue - sector * 60.0) / 60.0;
    const double up = low + (v - low) * f, down = v - (v - low) * f;
    double r = 0, g = 0, b = 0;
    switch (sector) {
        case 0:
            r = v;
            g = up;
            b = low;
            break;
        case 1:
            r = down;
            g = v;
            b = low;
            break;
        case 2:
            r = low;
            g = v;
            b = up;
            break;
        case 3:
            r = low;
            g = down;
            b = v;
            break;
        case 4:
            r = up;
            g = low;
            b = v;
            break;
        default:
            r = v;
            g = low;
            b = down;
            break;
    }
    return qRgb(int(r), int(g), int(b));
}

std::array<QRgb, 256> makePalette() {
    std::array<QRgb, 256> p{};
    p[0] = qRgb(255, 255, 255);
    const QRgb named[] = {qRgb(255, 0, 0),     qRgb(255, 255, 0),   qRgb(0, 255, 0),
                          qRgb(0, 255, 255),   qRgb(0, 0, 255),     qRgb(255, 0, 255),
                          qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(192, 192, 192)};
    for (int i = 1; i <= 9; ++i) p[size_t(i)] = named[i - 1];
    for (int i = 10; i <= 249; ++i) p[size_t(i)] = hueShade(i);
    const int greys[] = {51, 80, 105, 130, 190, 255};
    for (int i = 250; i <= 255; ++i) p[size_t(i)] = qRgb(greys[i - 250], greys[i - 250], greys[i - 250]);
    return p;
}

}  // namespace

QColor AciColor(int index) {
    static const std::array<QRgb, 256> palette = makePalette();
    if (index < 1 || index > 255) return QColor(palette[7]);
    return QColor(palette[size_t(index)]);
}

}  // namespace cadhost
