// Writing attribute values by tag from the shared tag/value table.
#include "automation/AttributeTable.h"

#include "automation/CadConnection.h"

namespace automation {

std::array<AttributeTagEntry, StreamAttributeTagCount> StreamAttributeTags;

void WriteAttributeTable(const cad::Entity& blockReference) {
    int used = 0;
    while (used < StreamAttributeTagCount && !StreamAttributeTags[used].Tag.isEmpty()) ++used;
    if (!blockReference.hasAttributes()) return;
    for (const cad::Entity& attribute : blockReference.attributes()) {
        const QString tag = attribute.tagString().toUpper();
        for (int i = 0; i < used; ++i) {
            if (StreamAttributeTags[i].Tag.toUpper() != tag) continue;
            const QString value = StreamAttributeTags[i].Value.trimmed();
            if (!value.isEmpty()) attribute.setTextString(value);
            break;
        }
    }
    blockReference.update();
}

void WriteAttributeTableToHandle(const QString& handle) {
    WriteAttributeTable(CadDocument.handleToObject(handle));
}

void ClearStreamAttributeTable() {
    for (AttributeTagEntry& e : StreamAttributeTags) e = AttributeTagEntry{};
}

}  // namespace automation
