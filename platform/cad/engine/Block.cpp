// Block definitions: the live entity list is compacted lazily after erasures so that erasing
// many entities stays cheap and indexes stay valid.
#include "platform/cad/engine/Block.h"

#include "platform/cad/engine/Entity.h"
#include "platform/cad/engine/Errors.h"

#include <algorithm>

namespace cad::db {

bool BlockDefinition::isModelSpace() const {
    return name_.compare(QLatin1String("*Model_Space"), Qt::CaseInsensitive) == 0;
}

bool BlockDefinition::isLayout() const {
    return isModelSpace() || name_.startsWith(QLatin1String("*Paper_Space"), Qt::CaseInsensitive);
}

const std::vector<Entity*>& BlockDefinition::entities() const {
    if (erasedCount_ > 0) {
        items_.erase(std::remove_if(items_.begin(), items_.end(), [](Entity* e) { return e->isErased(); }),
                     items_.end());
        erasedCount_ = 0;
    }
    return items_;
}

Entity* BlockDefinition::item(int index) const {
    const auto& list = entities();
    if (index < 0 || index >= int(list.size()))
        throw NotFound(QStringLiteral("Indeks %1 poza zakresem 0..%2").arg(index).arg(int(list.size()) - 1));
    return list[size_t(index)];
}

std::vector<Entity*> BlockDefinition::attributeDefinitions() const {
    std::vector<Entity*> out;
    for (Entity* e : entities())
        if (e->kind() == EntityKind::AttributeDefinition) out.push_back(e);
    return out;
}

}  // namespace cad::db
