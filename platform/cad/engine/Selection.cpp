// Filter lists of group codes evaluated on entities, and the selections over model space that use
// them (whole drawing through the name and layer indexes, crossing window, crossing polygon).
#include "platform/cad/engine/Selection.h"

#include "platform/cad/engine/Database.h"

#include <algorithm>
#include <optional>

namespace cad::db {

namespace {

enum class Op { Leaf, And, Or, Not, Xor };

struct Node {
    Op op = Op::Leaf;
    int code = 0;
    std::optional<WildcardPattern> pattern;
    int number = 0;
    std::vector<Node> children;
};

QString nameFor(const Entity& e) {
    switch (e.kind()) {
        case EntityKind::BlockReference:
            return e.as<InsertData>().blockName;
        case EntityKind::Hatch:
            return e.as<HatchData>().patternName;
        case EntityKind::AttributeDefinition:
        case EntityKind::AttributeReference:
            return e.as<AttributeData>().tag;
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate:
            return e.as<DimensionData>().blockName;
        case EntityKind::Unknown:
            for (const Tag& t : e.as<RawData>().tags)
                if (t.code == 2) return t.value;
            return {};
        default:
            return {};
    }
}

bool evalNode(const Node& n, const Entity& e) {
    switch (n.op) {
        case Op::Leaf:
            switch (n.code) {
                case 0:
                    return n.pattern->matches(e.dxfName());
                case 2: {
                    const QString name = nameFor(e);
                    return !name.isNull() && n.pattern->matches(name);
                }
                case 8:
                    return n.pattern->matches(e.layer());
                case 6:
                    return n.pattern->matches(e.linetype);
                case 5:
                    return n.pattern->matches(e.handleText());
                case 62:
                    return e.color == n.number;
                case 66: {
                    const auto* ins = e.tryAs<InsertData>();
                    return (ins && !ins->attributes.empty() ? 1 : 0) == n.number;
                }
            }
            return false;
        case Op::And:
            for (const Node& c : n.children)
                if (!evalNode(c, e)) return false;
            return true;
        case Op::Or:
            for (const Node& c : n.children)
                if (evalNode(c, e)) return true;
            return false;
        case Op::Not:
            return !evalNode(n.children.front(), e);
        case Op::Xor:
            return evalNode(n.children[0], e) != evalNode(n.children[1], e);
    }
    return false;
}

Node leafFor(const FilterItem& item) {
    Node n;
    n.code = item.code;
    switch (item.code) {
        case 0:
        case 2:
        case 5:
        case 6:
        case 8:
            if (item.value.typeId() != QMetaType::QString && item.value.typeId() != QMetaType::QByteArray)
                throw InvalidArgument(QStringLiteral("Kod filtra %1 wymaga tekstu").arg(item.code));
            n.pattern.emplace(item.value.toString());
            return n;
        case 62:
        case 66: {
            bool ok = false;
            const double v = item.value.toDouble(&ok);
            if (!ok || v != double(int(v)))
                throw InvalidArgument(
                    QStringLiteral("Kod filtra %1 wymaga liczby całkowitej").arg(item.code));
            n.number = int(v);
            return n;
        }
        default:
            throw InvalidArgument(QStringLiteral("Kod filtra %1 nie jest obsługiwany").arg(item.code));
    }
}

// Parses items[pos..] until the closing operator `close` (empty at top level).
std::vector<Node> parseGroup(const FilterList& items, size_t& pos, const QString& close) {
    std::vector<Node> out;
    while (pos < items.size()) {
        const FilterItem& item = items[pos++];
        if (item.code != -4) {
            out.push_back(leafFor(item));
            continue;
        }
        const QString op = item.value.toString().trimmed().toLower();
        if (!close.isEmpty() && op == close) return out;
        Node group;
        QString closing;
        if (op == QLatin1String("<and"))
            group.op = Op::And, closing = QStringLiteral("and>");
        else if (op == QLatin1String("<or"))
            group.op = Op::Or, closing = QStringLiteral("or>");
        else if (op == QLatin1String("<not"))
            group.op = Op::Not, closing = QStringLiteral("not>");
        else if (op == QLatin1String("<xor"))
            group.op = Op::Xor, closing = QStringLiteral("xor>");
        else
            throw InvalidArgument(
                QStringLiteral("Nieoczekiwany operator filtra %1").arg(item.value.toString()));
        group.children = parseGroup(items, pos, closing);
        if (group.op == Op::Not && group.children.size() != 1)
            throw InvalidArgument(QStringLiteral("Grupa <not wymaga dokładnie jednego argumentu"));
        if (group.op == Op::Xor && group.children.size() != 2)
            throw InvalidArgument(QStringLiteral("Grupa <xor wymaga dokładnie dwóch argumentów"));
        if (group.children.empty()) throw InvalidArgument(QStringLiteral("Pusta grupa filtra"));
        out.push_back(std::move(group));
    }
    if (!close.isEmpty()) throw InvalidArgument(QStringLiteral("Grupa filtra nie jest zamknięta"));
    return out;
}

}  // namespace

struct Filter::Impl {
    Node root;
};

Filter::Filter(const FilterList& items) : d(std::make_unique<Impl>()) {
    size_t pos = 0;
    d->root.op = Op::And;
    d->root.children = parseGroup(items, pos, QString());
}

Filter::~Filter() = default;
Filter::Filter(Filter&&) noexcept = default;

bool Filter::matches(const Entity& entity) const {
    return evalNode(d->root, entity);
}

std::vector<Entity*> selectAll(const Database& db, const FilterList& list) {
    const Filter filter(list);
    const Node& root = filter.d->root;
    // Narrow the candidates with the indexes when the filter asks for references by name or for a layer.
    const Node* typeLeaf = nullptr;
    const Node* nameLeaf = nullptr;
    const Node* layerLeaf = nullptr;
    for (const Node& c : root.children) {
        if (c.op != Op::Leaf) continue;
        if (c.code == 0 && !typeLeaf) typeLeaf = &c;
        if (c.code == 2 && !nameLeaf) nameLeaf = &c;
        if (c.code == 8 && !layerLeaf) layerLeaf = &c;
    }
    std::vector<Entity*> candidates;
    bool indexed = false;
    auto bySequence = [](const Entity* a, const Entity* b) { return a->sequence() < b->sequence(); };
    const bool insertsOnly =
        typeLeaf && typeLeaf->pattern->isLiteral() && typeLeaf->pattern->literal() == QLatin1String("insert");
    if (insertsOnly && nameLeaf) {
        indexed = true;
        size_t groups = 0;
        if (nameLeaf->pattern->isLiteral()) {
            candidates = db.referencesTo(nameLeaf->pattern->literal());
            groups = 1;
        } else {
            groups = db.collectReferences(
                [&](QStringView name) { return nameLeaf->pattern->matches(name); }, candidates);
        }
        if (groups > 1) std::sort(candidates.begin(), candidates.end(), bySequence);
    } else if (layerLeaf) {
        indexed = true;
        size_t groups = 0;
        for (const Layer* l : db.layers().records())
            if (layerLeaf->pattern->matches(l->name())) {
                auto on = db.entitiesOnLayer(l->name());
                candidates.insert(candidates.end(), on.begin(), on.end());
                ++groups;
            }
        if (groups > 1) std::sort(candidates.begin(), candidates.end(), bySequence);
    }
    std::vector<Entity*> out;
    const auto& source = indexed ? candidates : db.modelSpace()->entities();
    for (Entity* e : source)
        if (!e->isErased() && filter.matches(*e)) out.push_back(e);
    return out;
}

std::vector<Entity*> selectCrossingWindow(const Database& db, const Point3& corner1, const Point3& corner2,
                                          const FilterList& list) {
    const Filter filter(list);
    Box window;
    window.add(corner1);
    window.add(corner2);
    std::vector<Entity*> out;
    for (Entity* e : db.modelSpace()->entities())
        if (filter.matches(*e) && db.boundingBox(e).overlaps(window)) out.push_back(e);
    return out;
}

namespace {

bool pointInPolygon(double x, double y, const std::vector<Point3>& poly) {
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point3& a = poly[i];
        const Point3& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

double cross(const Point3& o, const Point3& a, const Point3& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool segmentsTouch(const Point3& p1, const Point3& p2, const Point3& q1, const Point3& q2) {
    const double d1 = cross(q1, q2, p1), d2 = cross(q1, q2, p2), d3 = cross(p1, p2, q1),
                 d4 = cross(p1, p2, q2);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
    auto onSegment = [](const Point3& a, const Point3& b, const Point3& p) {
        return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
               p.y <= std::max(a.y, b.y);
    };
    return (d1 == 0 && onSegment(q1, q2, p1)) || (d2 == 0 && onSegment(q1, q2, p2)) ||
           (d3 == 0 && onSegment(p1, p2, q1)) || (d4 == 0 && onSegment(p1, p2, q2));
}

bool boxCrossesPolygon(const Box& b, const std::vector<Point3>& poly) {
    const Point3 corners[4] = {b.min, {b.max.x, b.min.y, 0}, b.max, {b.min.x, b.max.y, 0}};
    for (const Point3& c : corners)
        if (pointInPolygon(c.x, c.y, poly)) return true;
    for (const Point3& p : poly)
        if (p.x >= b.min.x && p.x <= b.max.x && p.y >= b.min.y && p.y <= b.max.y) return true;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Point3& p = poly[i];
        const Point3& q = poly[(i + 1) % poly.size()];
        for (int k = 0; k < 4; ++k)
            if (segmentsTouch(p, q, corners[k], corners[(k + 1) % 4])) return true;
    }
    return false;
}

}  // namespace

std::vector<Entity*> selectCrossingPolygon(const Database& db, const std::vector<Point3>& polygon,
                                           const FilterList& list) {
    if (polygon.size() < 3)
        throw InvalidArgument(QStringLiteral("Wielokąt wymaga co najmniej trzech punktów"));
    const Filter filter(list);
    Box hull;
    for (const Point3& p : polygon) hull.add(p);
    std::vector<Entity*> out;
    for (Entity* e : db.modelSpace()->entities()) {
        if (!filter.matches(*e)) continue;
        const Box b = db.boundingBox(e);
        if (b.overlaps(hull) && boxCrossesPolygon(b, polygon)) out.push_back(e);
    }
    return out;
}

}  // namespace cad::db
