// The kinematic value of a stream: its own value from the drawing, or the program setting for its kind.
#pragma once

#include <QString>

namespace conflictor {

// `text` read as a number when it is not empty and not 0; otherwise the setting of the kind (1 to 6)
// for the tag (DLUG_POJ, PROSTA_DOJAZD, LUK_DOJAZD, PROSTA_EWAK, LUK_EWAK, MAKS_PRZYSP, exact case);
// 0 for a combination without a setting.
double CheckValue(const QString& tag, const QString& text, int kind);

}  // namespace conflictor
