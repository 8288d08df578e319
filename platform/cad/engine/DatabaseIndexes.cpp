// The model-space indexes by layer and by referenced block name: kept as entities are added,
// moved and erased, and read compacted and in model-space order.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include <algorithm>

namespace cad::db {

// ---- Index lists: constant-time add and remove, compacted and ordered when read ----

namespace {

using Slot = quint32 Entity::*;

// Drops the holes (and erased entities when `dropErased`), restores model-space order and
// renumbers the slots.
void compact(EntityIndexList& list, Slot slot, bool dropErased) {
    auto& v = list.items;
    v.erase(
        std::remove_if(v.begin(), v.end(), [&](Entity* e) { return !e || (dropErased && e->isErased()); }),
        v.end());
    if (!list.ordered)
        std::stable_sort(v.begin(), v.end(),
                         [](const Entity* a, const Entity* b) { return a->sequence() < b->sequence(); });
    list.ordered = true;
    list.holes = 0;
    for (size_t i = 0; i < v.size(); ++i) v[i]->*slot = quint32(i);
}

}  // namespace

void Database::indexAdd(EntityIndexList& list, Entity* e, quint32 Entity::*slot) {
    auto& v = list.items;
    // The last real entry decides whether the list stays in order; holes at the end are skipped.
    for (auto it = v.rbegin(); it != v.rend(); ++it)
        if (*it) {
            if ((*it)->sequence() > e->sequence()) list.ordered = false;
            break;
        }
    e->*slot = quint32(v.size());
    v.push_back(e);
}

void Database::indexRemove(EntityIndexList& list, Entity* e, quint32 Entity::*slot) {
    auto& v = list.items;
    const size_t at = e->*slot;
    // An entity whose slot does not hold it is not in this list (dropped as erased, or never added).
    if (at >= v.size() || v[at] != e) return;
    v[at] = nullptr;
    ++list.holes;
    while (!v.empty() && !v.back()) {
        v.pop_back();
        --list.holes;
    }
    if (list.holes > 64 && list.holes * 2 > v.size()) compact(list, slot, false);
}

void Database::indexEntity(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_ || e->isErased()) return;
    indexAdd(d->entitiesByLayer[nameKey(e->layer_)], e, &Entity::layerSlot_);
    if (e->kind() == EntityKind::BlockReference) {
        const QString& name = std::get<InsertData>(e->data).blockName;
        const QString key = nameKey(name);
        const auto names = d->referencesByName.size();
        EntityIndexList& refs = d->referencesByName[key];
        // Every name in the index has its spelling: only a name new to it may lack one.
        if (d->referencesByName.size() != names) {
            d->referenceNamesStale = true;
            if (!d->referenceNameSpelling.contains(key)) d->referenceNameSpelling.insert(key, name);
        }
        indexAdd(refs, e, &Entity::referenceSlot_);
    }
}

void Database::indexLayer(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_ || e->isErased()) return;
    indexAdd(d->entitiesByLayer[nameKey(e->layer_)], e, &Entity::layerSlot_);
}

void Database::unindexLayer(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_) return;
    auto lit = d->entitiesByLayer.find(nameKey(e->layer_));
    if (lit != d->entitiesByLayer.end()) indexRemove(lit.value(), e, &Entity::layerSlot_);
}

void Database::unindexEntity(Entity* e) {
    if (e->block_ != modelSpace_ || !modelSpace_) return;
    unindexLayer(e);
    if (e->kind() == EntityKind::BlockReference) {
        auto rit = d->referencesByName.find(nameKey(std::get<InsertData>(e->data).blockName));
        if (rit != d->referencesByName.end()) indexRemove(rit.value(), e, &Entity::referenceSlot_);
    }
}

void Database::rebuildIndexes() {
    d->entitiesByLayer.clear();
    d->referencesByName.clear();
    d->referenceNameSpelling.clear();
    d->referenceNamesStale = true;
    if (!modelSpace_) return;
    // Entities arrive in sequence order, so plain appends keep the vectors ordered.
    QHash<QString, QString> keyCache;
    auto keyOf = [&](const QString& s) {
        auto it = keyCache.constFind(s);
        if (it != keyCache.constEnd()) return it.value();
        QString k = nameKey(s);
        keyCache.insert(s, k);
        return k;
    };
    for (Entity* e : modelSpace_->entities()) {
        auto& onLayer = d->entitiesByLayer[keyOf(e->layer_)].items;
        e->layerSlot_ = quint32(onLayer.size());
        onLayer.push_back(e);
        if (e->kind() == EntityKind::BlockReference) {
            const QString& name = std::get<InsertData>(e->data).blockName;
            const QString key = keyOf(name);
            auto& refs = d->referencesByName[key].items;
            e->referenceSlot_ = quint32(refs.size());
            refs.push_back(e);
            if (!d->referenceNameSpelling.contains(key)) d->referenceNameSpelling.insert(key, name);
        }
    }
}

std::vector<Entity*> Database::referencesTo(const QString& blockName) const {
    auto it = d->referencesByName.find(nameKey(blockName));
    if (it == d->referencesByName.end()) return {};
    compact(it.value(), &Entity::referenceSlot_, true);
    return it.value().items;
}

bool Database::hasReferences(const QString& blockName) const {
    auto it = d->referencesByName.find(nameKey(blockName));
    if (it == d->referencesByName.end()) return false;
    compact(it.value(), &Entity::referenceSlot_, true);
    return !it.value().items.empty();
}

size_t Database::collectReferences(const std::function<bool(QStringView)>& matches,
                                   std::vector<Entity*>& out) const {
    if (d->referenceNamesStale) {
        d->referenceNamePool.clear();
        d->referenceNameSlots.clear();
        d->referenceNameSlots.reserve(size_t(d->referencesByName.size()));
        for (auto it = d->referencesByName.begin(); it != d->referencesByName.end(); ++it) {
            // A plain ASCII key is the name in lower case, which matches as the name does (matching
            // ignores case); any other key is matched by the name as the references spell it.
            const QString& key = it.key();
            const bool ascii =
                std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 0x80; });
            const QString& name = ascii ? key : d->referenceNameSpelling.value(key, key);
            d->referenceNameSlots.push_back({d->referenceNamePool.size(), name.size(), &it.value()});
            d->referenceNamePool += name;
        }
        d->referenceNamesStale = false;
    }
    const QStringView pool(d->referenceNamePool);
    size_t groups = 0;
    for (const auto& slot : d->referenceNameSlots) {
        if (slot.list->items.empty() || !matches(pool.mid(slot.offset, slot.length))) continue;
        compact(*slot.list, &Entity::referenceSlot_, true);
        out.insert(out.end(), slot.list->items.begin(), slot.list->items.end());
        ++groups;
    }
    return groups;
}

std::vector<QString> Database::referencedBlockNames() const {
    std::vector<QString> out;
    // Erased references leave the lists and trailing holes are dropped, so a list that is not empty
    // holds a live reference.
    for (auto it = d->referencesByName.begin(); it != d->referencesByName.end(); ++it)
        if (!it.value().items.empty()) out.push_back(d->referenceNameSpelling.value(it.key(), it.key()));
    return out;
}

std::vector<Entity*> Database::entitiesOnLayer(const QString& layer) const {
    auto it = d->entitiesByLayer.find(nameKey(layer));
    if (it == d->entitiesByLayer.end()) return {};
    compact(it.value(), &Entity::layerSlot_, true);
    return it.value().items;
}

}  // namespace cad::db
