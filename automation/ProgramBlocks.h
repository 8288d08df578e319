// Block and attribute operations that the program drawing and the phase pictures share: erasing
// every reference of a block (and its definition), adding a prompted attribute definition, and
// reading an attribute of a reference by its tag.
#pragma once

#include "platform/cad/Block.h"
#include "platform/cad/Entity.h"

namespace automation {

// Erases every reference of the block name (selection set "SSObject"); with the flag the definition
// is deleted too, a failure of which (still referenced elsewhere) is ignored.
void EraseBlockReferences(const QString& blockName, bool deleteDefinition);
// AddAttribute(height, mode, prompt = tag, point, tag, value) on the block.
cad::Entity AddAttributeToBlock(const cad::Block& block, const QString& tag, const QString& value,
                                const cad::Point& insertion, double height, int mode);
// The text of the first attribute whose tag equals `tag` ignoring case; "" when none.
QString ReadAttributeByTag(const cad::Entity& blockReference, const QString& tag);

}  // namespace automation
