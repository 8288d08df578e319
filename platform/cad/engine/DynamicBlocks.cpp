// Dynamic blocks: the definition's properties and actions in its XDATA, defaults for new
// references, regeneration of a changed reference's anonymous block, and the purge of unused ones.
#include "platform/cad/engine/DynamicBlocks.h"

#include "platform/cad/engine/Block.h"
#include "platform/cad/engine/Entity.h"

#include <QSet>
#include <cmath>

namespace cad::db {

namespace {

const QLatin1String PropertyTag("PROPERTY");
const QLatin1String StretchTag("STRETCH");
const QLatin1String RotateTag("ROTATE");

// The tags of our application group in an XDATA list: [first, last) after the 1001 tag.
std::pair<size_t, size_t> groupRange(const Tags& xdata) {
    for (size_t i = 0; i < xdata.size(); ++i) {
        if (xdata[i].code != 1001 || xdata[i].value != QLatin1String(DynamicApplication)) continue;
        size_t k = i + 1;
        while (k < xdata.size() && xdata[k].code != 1001) ++k;
        return {i + 1, k};
    }
    return {0, 0};
}

void moveVertex(Entity* e, int vertex, double dx, double dy) {
    if (auto* l = e->tryAs<LineData>()) {
        Point3& p = vertex == 0 ? l->start : l->end;
        p.x += dx;
        p.y += dy;
    } else if (auto* p = e->tryAs<LwPolylineData>()) {
        if (vertex >= 0 && vertex < int(p->vertices.size())) {
            p->vertices[size_t(vertex)].x += dx;
            p->vertices[size_t(vertex)].y += dy;
        }
    } else if (auto* p2 = e->tryAs<Polyline2dData>()) {
        if (vertex >= 0 && vertex < int(p2->vertices.size())) {
            p2->vertices[size_t(vertex)].x += dx;
            p2->vertices[size_t(vertex)].y += dy;
        }
    } else if (auto* t = e->textData()) {
        t->position.x += dx;
        t->position.y += dy;
        t->alignmentPoint.x += dx;
        t->alignmentPoint.y += dy;
    }
}

void rebuild(Database& db, Entity* reference, const DynamicDefinition& def) {
    auto& ins = reference->as<InsertData>();
    BlockDefinition* original = db.block(ins.effectiveName);
    BlockDefinition* anon = db.block(ins.blockName);
    for (Entity* e : std::vector<Entity*>(anon->entities())) db.erase(e);
    anon->basePoint = original->basePoint;
    const std::vector<Entity*> source = original->entities();
    const std::vector<Entity*> copies = db.copyObjects(source, anon);
    const double scale = std::abs(ins.xScale) > 0 ? std::abs(ins.xScale) : 1.0;
    auto valueOf = [&](const QString& name, double& value, double& dflt) {
        for (size_t i = 0; i < def.properties.size(); ++i)
            if (def.properties[i].first.compare(name, Qt::CaseInsensitive) == 0) {
                dflt = def.properties[i].second;
                value = i < ins.dynamicProperties.size() ? ins.dynamicProperties[i].second : dflt;
                return true;
            }
        return false;
    };
    for (const DynamicAction& a : def.actions) {
        double value = 0, dflt = 0;
        if (!valueOf(a.property, value, dflt)) continue;
        if (a.type == DynamicAction::Stretch) {
            const double d = (value / scale - dflt) * a.factor;
            for (auto [index, vertex] : a.vertices)
                if (index >= 0 && index < int(copies.size()))
                    moveVertex(copies[size_t(index)], vertex, d * a.directionX, d * a.directionY);
        }
    }
    for (const DynamicAction& a : def.actions) {
        double value = 0, dflt = 0;
        if (a.type != DynamicAction::Rotate || !valueOf(a.property, value, dflt)) continue;
        for (Entity* c : copies) db.rotate(c, anon->basePoint, value - dflt);
    }
}

}  // namespace

std::optional<DynamicDefinition> ReadDynamicDefinition(const BlockDefinition& block) {
    const Tags& x = block.xdata;
    // Plain variables, not a structured binding: the lambdas below capture `end`, which clang
    // before 16 refuses for a binding.
    const auto range = groupRange(x);
    size_t i = range.first;
    const size_t end = range.second;
    if (i == end) return std::nullopt;
    DynamicDefinition def;
    auto text = [&](size_t k) { return k < end ? x[k].value : QString(); };
    auto number = [&](size_t k) { return k < end ? x[k].value.toDouble() : 0.0; };
    while (i < end) {
        const QString kind = x[i].value;
        if (x[i].code != 1000) {
            ++i;
            continue;
        }
        if (kind == PropertyTag) {
            def.properties.emplace_back(text(i + 1), number(i + 2));
            i += 3;
        } else if (kind == StretchTag) {
            DynamicAction a;
            a.property = text(i + 1);
            a.factor = number(i + 2);
            a.directionX = number(i + 3);
            a.directionY = number(i + 4);
            const int n = int(number(i + 5));
            i += 6;
            for (int k = 0; k < n && i + 1 < end; ++k, i += 2)
                a.vertices.emplace_back(x[i].value.toInt(), x[i + 1].value.toInt());
            def.actions.push_back(a);
        } else if (kind == RotateTag) {
            DynamicAction a;
            a.type = DynamicAction::Rotate;
            a.property = text(i + 1);
            def.actions.push_back(a);
            i += 2;
        } else {
            ++i;
        }
    }
    if (def.properties.empty()) return std::nullopt;
    return def;
}

void WriteDynamicDefinition(Database& db, BlockDefinition* block, const DynamicDefinition& def) {
    db.addAppId(QLatin1String(DynamicApplication));
    Tags& x = block->xdata;
    auto [first, end] = groupRange(x);
    if (end > 0) x.erase(x.begin() + long(first) - 1, x.begin() + long(end));
    auto real = [](double v) { return Tag{1040, QString::number(v, 'g', 17)}; };
    x.push_back({1001, QLatin1String(DynamicApplication)});
    for (const auto& [name, value] : def.properties) {
        x.push_back({1000, PropertyTag});
        x.push_back({1000, name});
        x.push_back(real(value));
    }
    for (const DynamicAction& a : def.actions) {
        if (a.type == DynamicAction::Rotate) {
            x.push_back({1000, RotateTag});
            x.push_back({1000, a.property});
            continue;
        }
        x.push_back({1000, StretchTag});
        x.push_back({1000, a.property});
        x.push_back(real(a.factor));
        x.push_back(real(a.directionX));
        x.push_back(real(a.directionY));
        x.push_back({1071, QString::number(a.vertices.size())});
        for (auto [index, vertex] : a.vertices) {
            x.push_back({1071, QString::number(index)});
            x.push_back({1071, QString::number(vertex)});
        }
    }
}

void InitDynamicReference(Database& db, Entity* reference) {
    auto* ins = reference->tryAs<InsertData>();
    if (!ins || !ins->dynamicProperties.empty()) return;
    BlockDefinition* b = db.findBlock(ins->blockName);
    if (!b) return;
    if (auto def = ReadDynamicDefinition(*b)) ins->dynamicProperties = def->properties;
}

void SetDynamicProperty(Database& db, Entity* reference, int index, double value) {
    auto& ins = reference->as<InsertData>();
    if (index < 0 || index >= int(ins.dynamicProperties.size()))
        throw InvalidArgument(QStringLiteral("Brak właściwości dynamicznej %1").arg(index));
    const QString effective = ins.effectiveName.isEmpty() ? ins.blockName : ins.effectiveName;
    BlockDefinition* original = db.block(effective);
    if (!ins.blockName.startsWith(QLatin1String("*U"), Qt::CaseInsensitive)) {
        BlockDefinition* anon = db.addBlock(QStringLiteral("*U"), original->basePoint);
        db.setReferenceBlock(reference, anon->name());
        reference->as<InsertData>().effectiveName = effective;
    }
    reference->as<InsertData>().dynamicProperties[size_t(index)].second = value;
    const auto def = ReadDynamicDefinition(*original);
    if (def) {
        rebuild(db, reference, *def);
    } else {
        // A block that only carries values (read from a file): the anonymous block stays a copy.
        BlockDefinition* anon = db.block(reference->as<InsertData>().blockName);
        if (anon->entities().empty()) db.copyObjects(original->entities(), anon);
    }
}

int PurgeUnreferencedAnonymousBlocks(Database& db) {
    int purged = 0;
    for (bool again = true; again;) {
        again = false;
        QSet<QString> used;
        for (Entity* e : db.allEntities()) {
            if (e->isErased() || e->kind() != EntityKind::BlockReference) continue;
            if (e->ownerBlock() && e->ownerBlock()->isErased()) continue;
            used.insert(nameKey(e->as<InsertData>().blockName));
        }
        for (BlockDefinition* b : db.blocks()) {
            if (b->isErased() || !b->name().startsWith(QLatin1String("*U"), Qt::CaseInsensitive)) continue;
            if (used.contains(nameKey(b->name()))) continue;
            db.deleteBlock(b);
            ++purged;
            again = true;
        }
    }
    return purged;
}

}  // namespace cad::db
