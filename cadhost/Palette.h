// The 256-colour index palette of drawings: index 1..255 to RGB.
#pragma once

#include <QColor>

namespace cadhost {

// The RGB colour of a palette index; 0, 256 and anything outside 1..255 give colour 7.
// Colour 7 is white: the view's background is dark, as a CAD user expects.
QColor AciColor(int index);

}  // namespace cadhost
