// Block and attribute operations shared by the program drawing and the phase pictures.
#include "automation/ProgramBlocks.h"

#include "automation/CadConnection.h"
#include "automation/Selection.h"

namespace automation {

void EraseBlockReferences(const QString& blockName, bool deleteDefinition) {
    cad::SelectionSet set = GetSelectionSet(QStringLiteral("SSObject"));
    set.select(cad::SelectionSet::All, BuildSelectionFilter({2, blockName}));
    set.erase();
    set.remove();
    if (!deleteDefinition) return;
    try {
        CadDocument.blocks().item(blockName).erase();
    } catch (const cad::Error&) {
        // still used elsewhere, or absent: the caller tests for the block itself
    }
}

cad::Entity AddAttributeToBlock(const cad::Block& block, const QString& tag, const QString& value,
                                const cad::Point& insertion, double height, int mode) {
    return block.addAttribute(height, mode, tag, insertion, tag, value);
}

QString ReadAttributeByTag(const cad::Entity& blockReference, const QString& tag) {
    if (!blockReference.hasAttributes()) return {};
    const QString wanted = tag.toUpper();
    for (const cad::Entity& a : blockReference.attributes())
        if (a.tagString().toUpper() == wanted) return a.textString();
    return {};
}

}  // namespace automation
