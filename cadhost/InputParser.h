// What the user typed at the prompt line: a point ("x,y", "@dx,dy" relative to the last point,
// "@dist<angle"), Enter (nothing typed), or a value or keyword passed on as text.
#pragma once

#include "platform/cad/model/Interaction.h"

#include <optional>

namespace cadhost {

// `last` is the point relative input refers to (the rubber band's base, else the last point).
cad::Input ParseTypedInput(const QString& typed, const std::optional<cad::Point>& last);

}  // namespace cadhost
