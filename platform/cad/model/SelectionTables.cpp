// Dispatch tables of the selection sets: named sets per document, filled by Select with the
// filter lists of group codes, kept in model-space order so that "the first match" is stable.
#include "platform/cad/engine/Selection.h"
#include "platform/cad/model/FilteredReads.h"
#include "platform/cad/model/Support.h"

#include <algorithm>
#include <unordered_set>

namespace cad {

namespace {

SelectionSetState& setOf(Target& t) {
    return *t.rec.selection;
}

SelectionSetState* findSet(DocumentState* doc, const QString& name) {
    return doc->selectionSets.find(name);
}

bool insidePolygon(const std::vector<db::Point3>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const db::Point3& a = poly[i];
        const db::Point3& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

// Adds the found entities to the set, keeping model-space order and each entity once.
void merge(SelectionSetState& s, const std::vector<db::Entity*>& found) {
    if (s.members.empty()) {
        s.members = found;
        return;
    }
    std::unordered_set<const db::Entity*> present(s.members.begin(), s.members.end());
    for (db::Entity* e : found)
        if (present.insert(e).second) s.members.push_back(e);
    auto bySequence = [](const db::Entity* x, const db::Entity* y) { return x->sequence() < y->sequence(); };
    // Entities newer than all the members are already in place; sorting is left for the rest.
    if (!std::is_sorted(s.members.begin(), s.members.end(), bySequence))
        std::stable_sort(s.members.begin(), s.members.end(), bySequence);
}

std::vector<db::Entity*> select(Target& t, qint64 mode, const db::FilterList& filter,
                                const std::vector<db::Point3>& pts) {
    db::Database& d = Db(t);
    switch (mode) {
        case 5:
            return db::selectAll(d, filter);
        case 1:
            if (pts.size() != 2)
                throw InvalidArgument(QStringLiteral("Wybór przecinający wymaga dwóch narożników"));
            return db::selectCrossingWindow(d, pts[0], pts[1], filter);
        case 7:
            if (pts.size() < 3) throw InvalidArgument(QStringLiteral("Wielobok wymaga co najmniej trzech wierzchołków"));
            return db::selectCrossingPolygon(d, pts, filter);
        case 0:
        case 6: {
            // Window modes: only what lies wholly inside.
            if (mode == 0 && pts.size() != 2)
                throw InvalidArgument(QStringLiteral("Wybór oknem wymaga dwóch narożników"));
            if (mode == 6 && pts.size() < 3)
                throw InvalidArgument(QStringLiteral("Wielobok wymaga co najmniej trzech wierzchołków"));
            std::vector<db::Entity*> out;
            for (db::Entity* e : db::selectAll(d, filter)) {
                const db::Box b = d.boundingBox(e);
                if (b.isEmpty()) continue;
                bool inside = true;
                if (mode == 0) {
                    const double x0 = std::min(pts[0].x, pts[1].x), x1 = std::max(pts[0].x, pts[1].x);
                    const double y0 = std::min(pts[0].y, pts[1].y), y1 = std::max(pts[0].y, pts[1].y);
                    inside = b.min.x >= x0 && b.max.x <= x1 && b.min.y >= y0 && b.max.y <= y1;
                } else {
                    inside = insidePolygon(pts, b.min.x, b.min.y) && insidePolygon(pts, b.max.x, b.min.y) &&
                             insidePolygon(pts, b.max.x, b.max.y) && insidePolygon(pts, b.min.x, b.max.y);
                }
                if (inside) out.push_back(e);
            }
            return out;
        }
        case 4: {
            // The last entity of model space, when it passes the filter.
            const auto& all = d.modelSpace()->entities();
            if (all.empty()) return {};
            db::Filter f(filter);
            if (f.matches(*all.back())) return {all.back()};
            return {};
        }
        default:
            throw InvalidArgument(QStringLiteral("Tryb wyboru %1 nie jest obsługiwany").arg(mode));
    }
}

}  // namespace

// The filter arrays of Select: group codes and values, 0-based and of equal length.
db::FilterList FilterArgs(Args a, qsizetype codesAt) {
    db::FilterList out;
    // Both arrays absent (or empty) mean no filter.
    const VariantList codes = HasArg(a, codesAt) ? Arg(a, codesAt).toArray() : VariantList();
    const VariantList values = HasArg(a, codesAt + 1) ? Arg(a, codesAt + 1).toArray() : VariantList();
    if (codes.size() != values.size())
        throw InvalidArgument(QStringLiteral("Tablice filtra mają różne długości (kodów: %1, wartości: %2)")
                                  .arg(codes.size())
                                  .arg(values.size()));
    out.reserve(size_t(codes.size()));
    for (qsizetype i = 0; i < codes.size(); ++i) {
        db::FilterItem item;
        item.code = int(codes[i].toInt());
        const Variant& v = values[i];
        switch (v.type()) {
            case Variant::Int:
                item.value = QVariant(int(v.toInt()));
                break;
            case Variant::Bool:
                item.value = QVariant(v.toBool() ? 1 : 0);
                break;
            case Variant::Double:
                item.value = QVariant(v.toDouble());
                break;
            case Variant::Text:
                item.value = QVariant(v.toText());
                break;
            default:
                throw InvalidArgument(
                    QStringLiteral("Wartość filtra %1 nie jest liczbą ani tekstem").arg(v.describe()));
        }
        out.push_back(std::move(item));
    }
    return out;
}

std::unique_ptr<DispatchTable> MakeSelectionSetsTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadSelectionSets"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant { return Variant(int(t.rec.doc->selectionSets.size())); })
        .method(QStringLiteral("Item"),
                [](Target& t, Args a) -> Variant {
                    const Variant& key = Arg(a, 0);
                    if (key.type() != Variant::Text) {
                        qint64 i = key.toInt();
                        for (SelectionSetState& s : t.rec.doc->selectionSets)
                            if (i-- == 0) return t.model.ref(s.id);
                        throw NotFound(QStringLiteral("Brak zbioru wskazań o indeksie %1").arg(key.toInt()));
                    }
                    SelectionSetState* s = findSet(t.rec.doc, key.toText());
                    if (!s) throw NotFound(QStringLiteral("Brak zbioru wskazań o nazwie %1").arg(key.toText()));
                    return t.model.ref(s->id);
                })
        .method(QStringLiteral("Add"),
                [](Target& t, Args a) -> Variant {
                    const QString name = TextArg(a, 0);
                    if (name.trimmed().isEmpty())
                        throw InvalidArgument(QStringLiteral("Zbiór wskazań wymaga nazwy"));
                    if (findSet(t.rec.doc, name))
                        throw AlreadyExists(QStringLiteral("Zbiór wskazań %1 już istnieje").arg(name));
                    SelectionSetState& s = t.rec.doc->selectionSets.add(name);
                    ObjectRecord r;
                    r.kind = Kind::SelectionSet;
                    r.doc = t.rec.doc;
                    r.selection = &s;
                    s.id = t.model.newRecord(r);
                    return t.model.ref(s.id);
                })
        .keepsDrawings();
    return tb;
}

std::unique_ptr<DispatchTable> MakeSelectionSetTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadSelectionSet"));
    tb->get(QStringLiteral("Name"), [](Target& t, Args) -> Variant { return Variant(setOf(t).name); })
        .get(QStringLiteral("Count"),
             [](Target& t, Args) -> Variant { return Variant(int(setOf(t).members.size())); })
        .method(QStringLiteral("Item"),
                [](Target& t, Args a) -> Variant {
                    const auto& m = setOf(t).members;
                    const qint64 i = IntArg(a, 0);
                    if (i < 0 || i >= qint64(m.size()))
                        throw NotFound(QStringLiteral("Brak wybranego obiektu o indeksie %1").arg(i));
                    return t.model.ref(t.model.entityId(t.rec.doc, m[size_t(i)]));
                })
        .method(QStringLiteral("Items"),
                [](Target& t, Args) -> Variant { return EntityList(t, setOf(t).members); })
        .method(QStringLiteral("Select"),
                [](Target& t, Args a) -> Variant {
                    const qint64 mode = IntArg(a, 0);
                    std::vector<db::Point3> pts;
                    if (HasArg(a, 1)) pts.push_back(PointArg(a, 1));
                    if (HasArg(a, 2)) pts.push_back(PointArg(a, 2));
                    merge(setOf(t), select(t, mode, FilterArgs(a, 3), pts));
                    return {};
                })
        .method(QStringLiteral("SelectByPolygon"),
                [](Target& t, Args a) -> Variant {
                    const qint64 mode = IntArg(a, 0);
                    if (mode != 6 && mode != 7)
                        throw InvalidArgument(QStringLiteral("Wybór wielobokiem przyjmuje tryb 6 lub 7"));
                    std::vector<db::Point3> pts;
                    for (const Point& p : PointsFromFlat(Arg(a, 1), 3)) pts.push_back(ToDb(p));
                    merge(setOf(t), select(t, mode, FilterArgs(a, 2), pts));
                    return {};
                })
        .method(QStringLiteral("AddItems"),
                [](Target& t, Args a) -> Variant {
                    merge(setOf(t), EntitiesArg(t, a, 0));
                    return {};
                })
        .method(QStringLiteral("RemoveItems"),
                [](Target& t, Args a) -> Variant {
                    const auto gone = EntitiesArg(t, a, 0);
                    const std::unordered_set<const db::Entity*> drop(gone.begin(), gone.end());
                    std::erase_if(setOf(t).members, [&](const db::Entity* e) { return drop.count(e) > 0; });
                    return {};
                })
        .method(QStringLiteral("Erase"),
                [](Target& t, Args) -> Variant {
                    for (db::Entity* e : setOf(t).members)
                        if (!e->isErased()) Db(t).erase(e);
                    setOf(t).members.clear();
                    return {};
                })
        .method(QStringLiteral("Clear"),
                [](Target& t, Args) -> Variant {
                    setOf(t).members.clear();
                    return {};
                })
        .method(QStringLiteral("Delete"),
                [](Target& t, Args) -> Variant {
                    // The set leaves its document; this id now stands for nothing.
                    t.rec.doc->selectionSets.remove(&setOf(t));
                    t.rec.selection = nullptr;
                    return {};
                })
        // Only Erase touches the drawing.
        .quiet({"Item", "Items", "Select", "SelectByPolygon", "AddItems", "RemoveItems", "Clear", "Delete"});
    return tb;
}

}  // namespace cad
