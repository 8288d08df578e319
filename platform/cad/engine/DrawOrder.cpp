// Draw order: each block may hold a sort table in its extension dictionary; entities without an
// entry are drawn by their handle. Moving to the top gives keys above every key in use.
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/DatabaseImpl.h"

#include <algorithm>
#include <unordered_map>

namespace cad::db {

SortentsTable* Database::sortentsTable(BlockDefinition* block, bool create) {
    block->checkAlive();
    Dictionary* dict = extensionDictionary(block, create);
    if (!dict) return nullptr;
    DbObject* o = dictionaryObject(dict, QStringLiteral("ACAD_SORTENTS"));
    if (o && o->objectType() == ObjectType::SortentsTable) {
        auto* s = static_cast<SortentsTable*>(o);
        if (s->blockRecord == 0) s->blockRecord = block->handle();
        return s;
    }
    if (!create) return nullptr;
    auto* s = static_cast<SortentsTable*>(
        addDictionaryObject(dict, QStringLiteral("ACAD_SORTENTS"), QStringLiteral("AcDbSortentsTable")));
    s->blockRecord = block->handle();
    return s;
}

std::vector<Entity*> Database::drawOrder(const BlockDefinition* block) const {
    std::vector<Entity*> list = block->entities();
    const SortentsTable* table = nullptr;
    if (block->extensionDictionary)
        if (auto* dict = dynamic_cast<Dictionary*>(objectByHandle(block->extensionDictionary)))
            table = dynamic_cast<SortentsTable*>(dictionaryObject(dict, QStringLiteral("ACAD_SORTENTS")));
    if (!table || table->entries.empty()) return list;
    std::unordered_map<quint64, quint64> keys;
    for (auto [entity, sortKey] : table->entries) keys[entity] = sortKey;
    auto keyOf = [&](const Entity* e) {
        auto it = keys.find(e->handle());
        return it == keys.end() ? e->handle() : it->second;
    };
    std::stable_sort(list.begin(), list.end(), [&](Entity* a, Entity* b) { return keyOf(a) < keyOf(b); });
    return list;
}

static void reorder(Database& db, const std::vector<Entity*>& entities, bool top) {
    // Group by owning block, keeping the callers' order.
    std::vector<BlockDefinition*> blocks;
    for (Entity* e : entities) {
        e->checkAlive();
        if (!e->ownerBlock())
            throw NotSupported(QStringLiteral("Atrybut ma kolejność rysowania swojego wstawienia bloku"));
        if (std::find(blocks.begin(), blocks.end(), e->ownerBlock()) == blocks.end())
            blocks.push_back(e->ownerBlock());
    }
    for (BlockDefinition* block : blocks) {
        std::vector<Entity*> order = db.drawOrder(block);
        std::vector<Entity*> moved;
        for (Entity* e : entities)
            if (e->ownerBlock() == block && std::find(moved.begin(), moved.end(), e) == moved.end())
                moved.push_back(e);
        std::erase_if(order,
                      [&](Entity* e) { return std::find(moved.begin(), moved.end(), e) != moved.end(); });
        if (top)
            order.insert(order.end(), moved.begin(), moved.end());
        else
            order.insert(order.begin(), moved.begin(), moved.end());
        // Keys 1..n in the new order; the writer turns them into a permutation of real handles.
        SortentsTable* table = db.sortentsTable(block, true);
        db.journal().willModify(table);
        table->entries.clear();
        table->entries.reserve(order.size());
        quint64 key = 1;
        for (Entity* e : order) table->entries.emplace_back(e->handle(), key++);
    }
}

void Database::moveToTop(const std::vector<Entity*>& entities) {
    reorder(*this, entities, true);
}

void Database::moveToBottom(const std::vector<Entity*>& entities) {
    reorder(*this, entities, false);
}

}  // namespace cad::db
