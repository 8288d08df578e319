// The older layer and colour helpers that headplacer and hatcher call: a layer ensured with its
// colour given as a true colour where the number asks for one, and an entity's colour by number.
#pragma once

#include "platform/cad/Object.h"

#include <QString>

namespace automation {

// Adds the layer when missing, then gives the new layer a colour above -1 (SetEntityTrueColour) and a
// lineweight above -10. With `makeActive` the layer (new or existing) becomes the active layer.
void EnsureLayerLegacy(const QString& name, bool& makeActive, int colour, int lineweight);
// Colours 250 and 255 are set as the fixed true colours of those numbers (dark grey, white); every
// other number as a colour index.
void SetEntityTrueColour(const cad::Object& entity, int colour);

}  // namespace automation
