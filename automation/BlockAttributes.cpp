// Block, attribute and layer operations of the program drawing.
#include "automation/BlockAttributes.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "common/Geometry.h"
#include "platform/cad/FilteredReads.h"

#include <numbers>

namespace automation {

void SetLayerOn(const QString& layerName, bool on) {
    const cad::Layer layer = FindLayer(layerName);
    if (!layer.isNull()) layer.setLayerOn(on);
}

void EraseBlockReferences(const QString& blockName, bool deleteDefinition) {
    {
        cad::SelectionFilter filter;
        filter.add(2, EscapeFilterText(blockName));
        DeleteEach(cad::ReadSelection(CadDocument, filter, {}));
    }
    if (!deleteDefinition) return;
    try {
        cad::Block b = GetBlockDefinition(blockName);
        if (!b.isNull()) b.erase();
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error&) {
        // Still referenced inside another block: the definition stays there, unseen, while every
        // reference the caller asked to go is gone.
    }
}

cad::Entity AddAttributeToBlock(const cad::Block& block, const QString& tag, const QString& value,
                                const cad::Point& insertion, double height, int mode) {
    return block.addAttribute(height, mode, tag, insertion, tag, value);
}

QString ReadAttributeByTag(const cad::Entity& blockReference, const QString& tag) {
    if (!blockReference.hasAttributes()) return QString();
    const QString wanted = tag.toUpper();
    for (const cad::Entity& a : blockReference.attributes())
        if (a.tagString().toUpper() == wanted) return a.textString();
    return QString();
}

cad::Entity AddTextAlongSegment(const cad::Block& space, const cad::Point& a, const cad::Point& b,
                                const QString& text, double height, int colour) {
    const cad::Point middle{(a.x + b.x) / 2, (a.y + b.y) / 2, 0};
    cad::Entity t = space.addText(text, middle, height);
    t.setAlignment(13);  // bottom centre: the text stands on the segment
    t.setTextAlignmentPoint(middle);
    double angle = common::GetDirectionAngle({a.x, a.y}, {b.x, b.y});
    if (angle > std::numbers::pi / 2 && angle < 3 * std::numbers::pi / 2) angle -= std::numbers::pi;
    t.setRotation(angle);
    if (colour >= 0) t.setColor(colour);
    return t;
}

}  // namespace automation
