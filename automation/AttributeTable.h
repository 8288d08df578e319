// The tag/value table through which the stream model writes block attributes by tag.
#pragma once

#include "platform/cad/Entity.h"

#include <QString>
#include <array>

namespace automation {

struct AttributeTagEntry {
    QString Tag;
    QString Value;
};

constexpr int StreamAttributeTagCount = 30;
// The used entries are the leading ones with a non-empty tag.
extern std::array<AttributeTagEntry, StreamAttributeTagCount> StreamAttributeTags;

// Writes the used entries into the reference's attributes (tags compared upper-cased, values trimmed,
// an empty value never written) and updates the reference; a reference without attributes is left alone.
void WriteAttributeTable(const cad::Entity& blockReference);
// The same on the object with that handle in `CadDocument`.
void WriteAttributeTableToHandle(const QString& handle);
// Empties every tag and value.
void ClearStreamAttributeTable();

}  // namespace automation
