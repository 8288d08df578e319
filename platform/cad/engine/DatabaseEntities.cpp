// Entities of a drawing: creating them with the current properties, inserting blocks with their
// attributes, changing their layer or block, and erasing them.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

#include <cmath>

namespace cad::db {

Entity* Database::newEntity(BlockDefinition* block, EntityKind kind, quint64 handle, Entity* reference) {
    Entity* raw = new (d->allocateEntity()) Entity(kind);
    d->entities.push_back(raw);
    registerObject(raw, handle);
    raw->sequence_ = d->nextSequence++;
    if (reference) {
        raw->reference_ = reference;
        raw->ownerHandle = reference->handle();
        std::get<InsertData>(reference->data).attributes.push_back(raw);
    } else if (block) {
        raw->block_ = block;
        raw->ownerHandle = block->handle();
        block->items_.push_back(raw);
    }
    d->journal->created(raw);
    return raw;
}

Entity* Database::adoptEntity(BlockDefinition* block, EntityKind kind, quint64 handle, Entity* reference) {
    return newEntity(block, kind, handle, reference);
}

void Database::setLayerRaw(Entity* entity, const QString& layer) {
    entity->layer_ = layer;
}

void Database::eraseObject(DbObject* object) {
    if (object->objectType() == ObjectType::Entity)
        throw InvalidArgument(QStringLiteral("Obiekty usuwa się przez erase()"));
    d->journal->erased(object);
    if (object->objectType() == ObjectType::BlockDefinition && !object->erased_) --d->liveBlocks;
    object->erased_ = true;
}

std::vector<Entity*> Database::allEntities() const {
    std::vector<Entity*> out;
    out.reserve(d->entities.size());
    for (Entity* e : d->entities) out.push_back(e);
    return out;
}

void Database::applyCurrentProperties(Entity* e) {
    Impl::CurrentProperties& c = d->current;
    if (c.generation != d->headerGeneration) {
        c.layer = std::get<QString>(variable(QStringLiteral("CLAYER")));
        c.color = currentColor();
        c.linetype = std::get<QString>(variable(QStringLiteral("CELTYPE")));
        c.lineweight = std::get<int>(variable(QStringLiteral("CELWEIGHT")));
        c.linetypeScale = std::get<double>(variable(QStringLiteral("CELTSCALE")));
        c.generation = d->headerGeneration;
    }
    // The layer table may have changed since: the layer is looked up each time, but a record found
    // before that still lives under that very name answers without the look-up (a record leaves the
    // table's index only when erased, and its name never changes).
    if (!c.layerRecord || c.layerRecord->isErased() || c.layerRecord->name() != c.layer)
        c.layerRecord = layers_.find(c.layer);
    e->layer_ = c.layerRecord ? c.layer : QStringLiteral("0");
    e->color = c.color;
    e->linetype = c.linetype;
    e->lineweight = c.lineweight;
    e->linetypeScale = c.linetypeScale;
}

Entity* Database::addEntity(BlockDefinition* block, EntityKind kind) {
    Entity* e = createEntity(block, kind);
    indexEntity(e);
    return e;
}

Entity* Database::createEntity(BlockDefinition* block, EntityKind kind) {
    if (!block) throw InvalidArgument(QStringLiteral("Nie podano bloku"));
    block->checkAlive();
    if (kind == EntityKind::AttributeReference)
        throw NotSupported(QStringLiteral("Atrybuty powstają przy wstawianiu bloku"));
    Entity* e = newEntity(block, kind, 0, nullptr);
    applyCurrentProperties(e);
    TextData* t = e->textData();
    auto* m = e->tryAs<MTextData>();
    if (t || m) {
        // The current style's name is read once for each state of the header, as the properties
        // above; the style itself is looked up each time, as the table may have changed.
        Impl::CurrentProperties& c = d->current;
        if (c.textStyleGeneration != d->headerGeneration) {
            c.textStyle = std::get<QString>(variable(QStringLiteral("TEXTSTYLE")));
            c.textStyleGeneration = d->headerGeneration;
        }
        if (TextStyle* s = textStyles_.find(c.textStyle)) {
            if (t) t->style = s->name();
            if (m) m->style = s->name();
        }
    }
    if (auto* p = e->tryAs<Polyline2dData>()) p->seqendHandle = nextHandle_++;
    if (auto* i = e->tryAs<InsertData>()) i->seqendHandle = nextHandle_++;
    return e;
}

Entity* Database::addLine(BlockDefinition* block, const Point3& start, const Point3& end) {
    Entity* e = addEntity(block, EntityKind::Line);
    e->as<LineData>() = {start, end};
    return e;
}

Entity* Database::addArc(BlockDefinition* block, const Point3& center, double radius, double startAngle,
                         double endAngle) {
    if (!(radius > 0)) throw InvalidArgument(QStringLiteral("Promień łuku musi być dodatni"));
    Entity* e = addEntity(block, EntityKind::Arc);
    e->as<ArcData>() = {center, radius, normalizeAngle(startAngle), normalizeAngle(endAngle)};
    return e;
}

Entity* Database::addCircle(BlockDefinition* block, const Point3& center, double radius) {
    if (!(radius > 0)) throw InvalidArgument(QStringLiteral("Promień okręgu musi być dodatni"));
    Entity* e = addEntity(block, EntityKind::Circle);
    e->as<CircleData>() = {center, radius};
    return e;
}

Entity* Database::addLwPolyline(BlockDefinition* block, const std::vector<Vertex>& vertices, bool closed) {
    if (vertices.size() < 2)
        throw InvalidArgument(QStringLiteral("Polilinia wymaga co najmniej dwóch wierzchołków"));
    Entity* e = addEntity(block, EntityKind::LwPolyline);
    auto& p = e->as<LwPolylineData>();
    p.vertices = vertices;
    p.closed = closed;
    return e;
}

Entity* Database::addText(BlockDefinition* block, const QString& text, const Point3& position,
                          double height) {
    if (!(height > 0)) throw InvalidArgument(QStringLiteral("Wysokość tekstu musi być dodatnia"));
    Entity* e = addEntity(block, EntityKind::Text);
    auto& t = e->as<TextData>();
    t.text = text;
    t.position = position;
    t.alignmentPoint = position;
    t.height = height;
    return e;
}

Entity* Database::addMText(BlockDefinition* block, const Point3& position, double width,
                           const QString& text) {
    Entity* e = addEntity(block, EntityKind::MText);
    auto& m = e->as<MTextData>();
    m.position = position;
    m.width = width;
    m.text = text;
    if (TextStyle* s = textStyles_.find(m.style); s && s->height > 0) m.height = s->height;
    return e;
}

Entity* Database::addPoint(BlockDefinition* block, const Point3& position) {
    Entity* e = addEntity(block, EntityKind::Point);
    e->as<PointData>().position = position;
    return e;
}

Entity* Database::addAttributeDefinition(BlockDefinition* block, double height, int mode,
                                         const QString& prompt, const Point3& position, const QString& tag,
                                         const QString& value) {
    if (tag.isEmpty() || tag.contains(' '))
        throw InvalidArgument(QStringLiteral("Nieprawidłowa etykieta atrybutu: %1").arg(tag));
    if (!(height > 0)) throw InvalidArgument(QStringLiteral("Wysokość atrybutu musi być dodatnia"));
    if (mode < 0 || mode > 15)
        throw InvalidArgument(QStringLiteral("Nieprawidłowy tryb atrybutu %1").arg(mode));
    Entity* e = addEntity(block, EntityKind::AttributeDefinition);
    auto& a = e->as<AttributeData>();
    a.height = height;
    a.flags = mode;
    a.prompt = prompt;
    a.position = position;
    a.alignmentPoint = position;
    a.tag = tag;
    a.text = value;
    block->flags |= 2;
    return e;
}

Transform2D referenceTransform(const InsertData& ins, const Point3& base) {
    return Transform2D::translation(ins.position.x, ins.position.y)
        .after(Transform2D::rotation(ins.rotation))
        .after(Transform2D::scale(ins.xScale, ins.yScale))
        .after(Transform2D::translation(-base.x, -base.y));
}

Entity* Database::insertBlock(BlockDefinition* owner, const Point3& position, const QString& name,
                              double xScale, double yScale, double zScale, double rotation) {
    BlockDefinition* def = findBlock(name);
    if (!def || def->isLayout()) throw NotFound(QStringLiteral("Brak bloku %1").arg(name));
    if (xScale == 0 || yScale == 0 || zScale == 0)
        throw InvalidArgument(QStringLiteral("Skala nie może wynosić 0"));
    // Indexed once its block name is set.
    Entity* e = createEntity(owner, EntityKind::BlockReference);
    auto& ins = e->as<InsertData>();
    ins.blockName = def->name();
    ins.position = position;
    ins.xScale = xScale;
    ins.yScale = yScale;
    ins.zScale = zScale;
    ins.rotation = normalizeAngle(rotation);
    indexEntity(e);
    const Transform2D t = referenceTransform(ins, def->basePoint);
    for (Entity* defEntity : def->attributeDefinitions()) {
        const auto& ad = defEntity->as<AttributeData>();
        if (ad.flags & 2) continue;  // constant attributes live in the definition only
        Entity* a = newEntity(nullptr, EntityKind::AttributeReference, 0, e);
        a->layer_ = defEntity->layer_ == QLatin1String("0") ? e->layer_ : defEntity->layer_;
        a->color = defEntity->color;
        a->linetype = defEntity->linetype;
        a->lineweight = defEntity->lineweight;
        a->visible = defEntity->visible;
        auto& ar = a->as<AttributeData>();
        ar = ad;
        ar.prompt.clear();
        ar.flags = ad.flags & ~2;
        ar.position = t.apply(ad.position);
        ar.alignmentPoint = t.apply(ad.alignmentPoint);
        ar.rotation = normalizeAngle(ad.rotation + ins.rotation);
        ar.height = ad.height * std::abs(yScale);
        ar.widthFactor = ad.widthFactor * std::abs(xScale / yScale);
    }
    return e;
}

std::vector<Entity*> Database::attributes(const Entity* reference) const {
    std::vector<Entity*> out;
    if (const auto* ins = reference->tryAs<InsertData>())
        for (Entity* a : ins->attributes)
            if (!a->isErased()) out.push_back(a);
    return out;
}

void Database::setLayer(Entity* entity, const QString& layer) {
    entity->checkAlive();
    Layer* l = layers_.find(layer);
    if (!l) throw NotFound(QStringLiteral("Brak warstwy %1").arg(layer));
    d->journal->willModify(entity);
    unindexLayer(entity);
    entity->layer_ = l->name();
    indexLayer(entity);
}

void Database::setReferenceBlock(Entity* reference, const QString& blockName) {
    reference->checkAlive();
    auto& ins = reference->as<InsertData>();
    BlockDefinition* def = findBlock(blockName);
    if (!def || def->isLayout()) throw NotFound(QStringLiteral("Brak bloku %1").arg(blockName));
    d->journal->willModify(reference);
    unindexEntity(reference);
    ins.blockName = def->name();
    indexEntity(reference);
}

void Database::erase(Entity* entity) {
    entity->checkAlive();
    if (entity->kind() == EntityKind::AttributeReference && !entity->reference_->isErased())
        throw NotSupported(QStringLiteral("Atrybut usuwa się razem z jego wstawieniem bloku"));
    d->journal->erased(entity);
    // Out of the indexes at once (constant time), so that reading them never meets the dead.
    unindexEntity(entity);
    entity->erased_ = true;
    if (entity->block_) entity->block_->erasedCount_++;
    if (auto* ins = entity->tryAs<InsertData>())
        for (Entity* a : ins->attributes) a->erased_ = true;
}

}  // namespace cad::db
