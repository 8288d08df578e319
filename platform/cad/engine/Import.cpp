// Bringing block definitions from another drawing (inserting a drawing file as a block), with the
// layers, linetypes and text styles their entities use.
#include "platform/cad/engine/Database.h"
#include "platform/cad/engine/DatabaseImpl.h"

namespace cad::db {

namespace {

void copyLayer(Database& to, const Database& from, const QString& name) {
    if (to.layers().find(name)) return;
    const Layer* src = from.layers().find(name);
    Layer* l = to.addLayer(name);
    if (!src) return;
    l->color = src->color;
    l->trueColor = src->trueColor;
    l->lineweight = src->lineweight;
    l->on = src->on;
    l->frozen = src->frozen;
    l->locked = src->locked;
    l->plot = src->plot;
    if (to.linetypes().find(src->linetype)) l->linetype = src->linetype;
}

void copySymbols(Database& to, const Database& from, const Entity* e) {
    copyLayer(to, from, e->layer());
    if (!to.linetypes().find(e->linetype)) {
        if (const Linetype* src = from.linetypes().find(e->linetype))
            to.addLinetype(src->name(), src->description, src->elements);
    }
    QString style;
    if (auto* t = e->tryAs<TextData>())
        style = t->style;
    else if (auto* a = e->tryAs<AttributeData>())
        style = a->style;
    else if (auto* m = e->tryAs<MTextData>())
        style = m->style;
    if (!style.isEmpty() && !to.textStyles().find(style)) {
        if (const TextStyle* src = from.textStyles().find(style)) {
            TextStyle* s = to.addTextStyle(src->name());
            s->font = src->font;
            s->height = src->height;
            s->widthFactor = src->widthFactor;
            s->typeface = src->typeface;
        }
    }
}

}  // namespace

std::vector<BlockDefinition*> Database::importBlocks(const Database& other) {
    std::vector<std::pair<const BlockDefinition*, BlockDefinition*>> pairs;
    QHash<QString, QString> renamed;  // anonymous names that were taken here
    for (BlockDefinition* src : other.blocks()) {
        if (src->isLayout() || src->isErased()) continue;
        QString name = src->name();
        if (findBlock(name)) {
            if (!src->isAnonymous()) continue;  // an existing definition wins
        }
        BlockDefinition* b = nullptr;
        if (src->isAnonymous()) {
            b = addBlock(name.left(2));
            if (b->name() != name) renamed.insert(nameKey(name), b->name());
        } else {
            b = addBlock(name);
        }
        b->basePoint = src->basePoint;
        b->flags = src->flags;
        b->description = src->description;
        b->xdata = src->xdata;
        pairs.emplace_back(src, b);
    }
    std::vector<BlockDefinition*> out;
    for (auto [src, b] : pairs) {
        for (Entity* e : src->entities()) {
            copySymbols(*this, other, e);
            if (auto* ins = e->tryAs<InsertData>())
                for (Entity* a : ins->attributes) copySymbols(*this, other, a);
            Entity* c = other.cloneEntity(e, b, *this);
            if (auto* ins = c->tryAs<InsertData>())
                if (auto it = renamed.constFind(nameKey(ins->blockName)); it != renamed.constEnd())
                    ins->blockName = it.value();
            if (auto* dim = c->tryAs<DimensionData>())
                if (auto it = renamed.constFind(nameKey(dim->blockName)); it != renamed.constEnd())
                    dim->blockName = it.value();
        }
        out.push_back(b);
    }
    return out;
}

BlockDefinition* Database::importAsBlock(const Database& other, const QString& name) {
    if (findBlock(name)) throw AlreadyExists(QStringLiteral("Blok %1 już istnieje").arg(name));
    BlockDefinition* b = addBlock(name);
    importBlocks(other);
    if (const Tags* ib = other.headerVariable(QStringLiteral("$INSBASE")); ib && ib->size() >= 2)
        b->basePoint = {ib->at(0).value.toDouble(), ib->at(1).value.toDouble(), 0};
    for (Entity* e : other.modelSpace()->entities()) {
        copySymbols(*this, other, e);
        if (auto* ins = e->tryAs<InsertData>())
            for (Entity* a : ins->attributes) copySymbols(*this, other, a);
        other.cloneEntity(e, b, *this);
    }
    return b;
}

}  // namespace cad::db
