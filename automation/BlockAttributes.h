// Block, attribute and layer operations of the program drawing that hatcher uses as well: a layer
// switched on or off, every reference of a block erased (with its definition on request), an
// attribute definition added with its height and mode, an attribute read by its tag.
#pragma once

#include "platform/cad/Block.h"

#include <QString>

namespace automation {

// Switches the layer on or off; nothing when the drawing has no such layer.
void SetLayerOn(const QString& layerName, bool on);
// Erases every reference of exactly that block name in the drawing (selection set "SSObject"); with
// the flag the definition is deleted as well, a failure of which is ignored.
void EraseBlockReferences(const QString& blockName, bool deleteDefinition);
// An attribute definition whose prompt is its tag; the caller sets alignment and layer on it.
cad::Entity AddAttributeToBlock(const cad::Block& block, const QString& tag, const QString& value,
                                const cad::Point& insertion, double height, int mode);
// The text of the reference's first attribute whose tag equals `tag` ignoring case; "" when none.
QString ReadAttributeByTag(const cad::Entity& blockReference, const QString& tag);
// A text of `height` centred above the segment from `a` to `b` and turned along it (never upside
// down); `colour` is set when it is 0 or more.
cad::Entity AddTextAlongSegment(const cad::Block& space, const cad::Point& a, const cad::Point& b,
                                const QString& text, double height, int colour);

}  // namespace automation
