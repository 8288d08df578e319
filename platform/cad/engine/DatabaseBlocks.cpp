// Blocks of a drawing: looking them up, adding, renaming and deleting them, and the layouts.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

namespace cad::db {

BlockDefinition* Database::findBlock(const QString& name) const {
    return d->blockIndex.value(nameKey(name), nullptr);
}

BlockDefinition* Database::block(const QString& name) const {
    if (BlockDefinition* b = findBlock(name)) return b;
    throw NotFound(QStringLiteral("Brak bloku %1").arg(name));
}

std::vector<BlockDefinition*> Database::blocks() const {
    std::vector<BlockDefinition*> out;
    out.reserve(d->blocks.size());
    for (const auto& b : d->blocks)
        if (!b->isErased()) out.push_back(b.get());
    return out;
}

int Database::blockCount() const {
    return int(d->liveBlocks);
}

std::vector<BlockDefinition*> Database::blocksFrom(int index) const {
    std::vector<BlockDefinition*> out;
    const size_t live = d->liveBlocks;
    const size_t wanted = live - std::min(live, size_t(std::max(index, 0)));
    out.reserve(wanted);
    for (auto it = d->blocks.rbegin(); it != d->blocks.rend() && out.size() < wanted; ++it)
        if (!(*it)->isErased()) out.push_back(it->get());
    std::reverse(out.begin(), out.end());
    return out;
}

BlockDefinition* Database::blockAt(int index) const {
    if (index < 0 || size_t(index) >= d->liveBlocks)
        throw NotFound(QStringLiteral("Brak bloku o indeksie %1").arg(index));
    // Without deleted blocks the table position is the storage position.
    if (d->liveBlocks == d->blocks.size()) return d->blocks[size_t(index)].get();
    for (const auto& b : d->blocks)
        if (!b->isErased() && index-- == 0) return b.get();
    throw NotFound(QStringLiteral("Brak bloku o indeksie %1").arg(index));
}

BlockDefinition* Database::adoptBlock(const QString& name, quint64 recordHandle) {
    auto b = std::make_unique<BlockDefinition>();
    b->name_ = name;
    registerObject(b.get(), recordHandle);
    b->ownerHandle = blockRecordTableHandle;
    BlockDefinition* raw = b.get();
    d->blocks.push_back(std::move(b));
    ++d->liveBlocks;
    if (!d->blockIndex.contains(nameKey(name))) d->blockIndex.insert(nameKey(name), raw);
    d->journal->created(raw);
    return raw;
}

void Database::setBlockNameRaw(BlockDefinition* block, const QString& name) {
    if (d->blockIndex.value(nameKey(block->name_)) == block) d->blockIndex.remove(nameKey(block->name_));
    block->name_ = name;
    d->blockIndex.insert(nameKey(name), block);
}

void Database::setLayouts(BlockDefinition* model, BlockDefinition* paper) {
    modelSpace_ = model;
    paperSpace_ = paper;
}

BlockDefinition* Database::addBlock(const QString& name, const Point3& basePoint) {
    QString actual = name;
    // "*U", "*D", "*X", ...: the next free anonymous name of that kind.
    const bool anonymous = name.size() == 2 && name.at(0) == QLatin1Char('*') && name.at(1).isLetter();
    if (anonymous) {
        for (int n = 1;; ++n) {
            actual = name.toUpper() + QString::number(n);
            if (!findBlock(actual)) break;
        }
    } else {
        if (!validSymbolName(name) || name.startsWith('*'))
            throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa bloku: %1").arg(name));
        if (findBlock(name)) throw AlreadyExists(QStringLiteral("Blok %1 już istnieje").arg(name));
    }
    BlockDefinition* b = adoptBlock(actual, 0);
    b->basePoint = basePoint;
    if (anonymous) b->flags |= 1;
    b->blockEntityHandle = nextHandle_++;
    b->endblkHandle = nextHandle_++;
    return b;
}

int Database::referenceCount(const BlockDefinition* block) const {
    int n = 0;
    const QString key = nameKey(block->name());
    for (const auto& e : d->entities) {
        if (e->isErased() || e->kind() != EntityKind::BlockReference) continue;
        if (e->ownerBlock() && e->ownerBlock()->isErased()) continue;
        if (nameKey(std::get<InsertData>(e->data).blockName) == key) ++n;
    }
    return n;
}

void Database::renameBlock(BlockDefinition* block, const QString& newName) {
    block->checkAlive();
    if (block->isLayout()) throw InvalidArgument(QStringLiteral("Nazwy układu nie można zmienić"));
    if (!validSymbolName(newName) || newName.startsWith('*'))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa nazwa bloku: %1").arg(newName));
    const QString oldKey = nameKey(block->name());
    const QString newKey = nameKey(newName);
    if (oldKey != newKey && findBlock(newName))
        throw AlreadyExists(QStringLiteral("Blok %1 już istnieje").arg(newName));
    d->journal->blockRenamed(block, block->name());
    for (const auto& e : d->entities) {
        if (e->kind() != EntityKind::BlockReference) continue;
        auto& ins = std::get<InsertData>(e->data);
        if (nameKey(ins.blockName) == oldKey) ins.blockName = newName;
    }
    if (oldKey != newKey) {
        auto refs = d->referencesByName.take(oldKey);
        if (!refs.items.empty()) d->referencesByName.insert(newKey, std::move(refs));
        d->referenceNameSpelling.remove(oldKey);
    }
    if (d->referencesByName.contains(newKey)) d->referenceNameSpelling.insert(newKey, newName);
    d->referenceNamesStale = true;
    setBlockNameRaw(block, newName);
}

void Database::deleteBlock(BlockDefinition* block) {
    block->checkAlive();
    if (block->isLayout()) throw Failed(QStringLiteral("Obszaru modelu ani papieru nie można usunąć"));
    if (const int n = referenceCount(block); n > 0)
        throw Failed(
            QStringLiteral("Blok %1 jest wstawiony w rysunku (wstawień: %2)").arg(block->name()).arg(n));
    for (Entity* e : std::vector<Entity*>(block->entities())) erase(e);
    d->journal->blockDeleted(block);
    block->erased_ = true;
    --d->liveBlocks;
    // Out of the table, so that its positions stay direct; the object lives on for references to it.
    auto it =
        std::find_if(d->blocks.begin(), d->blocks.end(), [&](const auto& b) { return b.get() == block; });
    if (it != d->blocks.end()) {
        d->deletedBlocks.push_back(std::move(*it));
        d->blocks.erase(it);
    }
    if (d->blockIndex.value(nameKey(block->name())) == block) d->blockIndex.remove(nameKey(block->name()));
}

}  // namespace cad::db
