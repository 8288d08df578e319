// The legend of the conflict-point symbols: the block "OBIEKT_LEGENDA" (frame, title, one sample and
// one text per marker kind) inserted at a point the user picks, scaled to the drawing.
#pragma once

#include <QString>

namespace conflictor {

inline QString LegendBlockName() {
    return QStringLiteral("OBIEKT_LEGENDA");
}

// The command (menu "Ustaw legendę", toolbar "Legenda"). True when a legend was inserted.
bool UstawLegende();

}  // namespace conflictor
