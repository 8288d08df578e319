// Dispatch table of model space and block definitions: counting, enumerating and the Add...
// members. Every new entity goes to the end of its container with the current properties.
#include "platform/cad/engine/DynamicBlocks.h"
#include "platform/cad/model/Support.h"

#include <QFileInfo>

namespace cad {

namespace {

db::BlockDefinition* blk(Target& t) {
    return static_cast<db::BlockDefinition*>(t.rec.object);
}

Variant entityRef(Target& t, db::Entity* e) {
    return t.model.ref(t.model.entityId(t.rec.doc, e));
}

// A name that stands for a drawing file rather than a block: it has a folder or a drawing suffix.
// Asked for every reference inserted: the suffix (after the last dot) is compared in place.
bool looksLikeFile(const QString& name) {
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) return true;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    const QStringView s = QStringView(name).mid(dot + 1);
    return s.compare(QLatin1String("dwg"), Qt::CaseInsensitive) == 0 ||
           s.compare(QLatin1String("dxf"), Qt::CaseInsensitive) == 0 ||
           s.compare(QLatin1String("dwt"), Qt::CaseInsensitive) == 0;
}

// The block to insert: an existing definition, or one loaded from a drawing file named after it.
QString blockForInsert(Target& t, const QString& name) {
    db::Database& d = Db(t);
    if (!looksLikeFile(name)) {
        if (d.findBlock(name)) return name;
        if (ResolveDrawingFile(name).isEmpty())
            throw NotFound(QStringLiteral("Nie znaleziono bloku %1").arg(name));
    }
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString blockName =
        QFileInfo(path).completeBaseName().isEmpty() ? name : QFileInfo(path).completeBaseName();
    if (!looksLikeFile(name) || !d.findBlock(blockName)) {
        auto other = ReadDrawing(path);
        if (d.findBlock(blockName))
            d.importBlocks(*other);
        else
            d.importAsBlock(*other, blockName);
    }
    return blockName;
}

std::vector<db::Vertex> verticesArg(Args a, qsizetype i, int stride) {
    const QList<Point> pts = PointsFromFlat(Arg(a, i), stride);
    if (pts.size() < 2) throw InvalidArgument(QStringLiteral("Polilinia wymaga co najmniej dwóch wierzchołków"));
    std::vector<db::Vertex> v;
    v.reserve(size_t(pts.size()));
    for (const Point& p : pts) {
        db::Vertex x;
        x.x = p.x;
        x.y = p.y;
        v.push_back(x);
    }
    return v;
}

}  // namespace

std::unique_ptr<DispatchTable> MakeBlockTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadBlock"));
    tb->get(QStringLiteral("Count"), [](Target& t, Args) -> Variant { return Variant(blk(t)->count()); })
        .method(QStringLiteral("Item"),
                [](Target& t, Args a) -> Variant { return entityRef(t, blk(t)->item(int(IntArg(a, 0)))); })
        .method(QStringLiteral("Items"),
                [](Target& t, Args) -> Variant { return EntityList(t, blk(t)->entities()); })
        .otherVendor(QStringLiteral("Entities"))
        .get(QStringLiteral("Name"), [](Target& t, Args) -> Variant { return Variant(blk(t)->name()); })
        .put(QStringLiteral("Name"),
             [](Target& t, Args a) -> Variant {
                 Db(t).renameBlock(blk(t), TextArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("Handle"),
             [](Target& t, Args) -> Variant { return Variant(blk(t)->handleText()); })
        .get(QStringLiteral("Origin"),
             [](Target& t, Args) -> Variant { return PointValue(blk(t)->basePoint); })
        .put(QStringLiteral("Origin"),
             [](Target& t, Args a) -> Variant {
                 blk(t)->basePoint = PointArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("IsLayout"),
             [](Target& t, Args) -> Variant { return Variant(blk(t)->isLayout()); })
        .get(QStringLiteral("IsXRef"),
             [](Target& t, Args) -> Variant { return Variant((blk(t)->flags & 4) != 0); })
        .get(QStringLiteral("IsDynamicBlock"),
             [](Target& t, Args) -> Variant {
                 // A definition with dynamic properties, or one whose references carry them.
                 if (db::ReadDynamicDefinition(*blk(t))) return Variant(true);
                 for (db::Entity* e : Db(t).referencesTo(blk(t)->name()))
                     if (!e->as<db::InsertData>().dynamicProperties.empty()) return Variant(true);
                 return Variant(false);
             })
        .method(QStringLiteral("Delete"),
                [](Target& t, Args) -> Variant {
                    Db(t).deleteBlock(blk(t));
                    return {};
                })
        .method(
            QStringLiteral("AddLine"),
            [](Target& t, Args a) -> Variant {
                if (a.size() > 3)
                    throw NotSupported(QStringLiteral("Ta postać AddLine nie jest dostępna w tym programie CAD"));
                return entityRef(t, Db(t).addLine(blk(t), PointArg(a, 0), PointArg(a, 1)));
            })
        .method(QStringLiteral("AddArc"),
                [](Target& t, Args a) -> Variant {
                    const double r = DoubleArg(a, 1);
                    if (!(r > 0)) throw InvalidArgument(QStringLiteral("Łuk wymaga dodatniego promienia"));
                    return entityRef(
                        t, Db(t).addArc(blk(t), PointArg(a, 0), r, DoubleArg(a, 2), DoubleArg(a, 3)));
                })
        .method(QStringLiteral("AddCircle"),
                [](Target& t, Args a) -> Variant {
                    const double r = DoubleArg(a, 1);
                    if (!(r > 0)) throw InvalidArgument(QStringLiteral("Okrąg wymaga dodatniego promienia"));
                    return entityRef(t, Db(t).addCircle(blk(t), PointArg(a, 0), r));
                })
        .method(QStringLiteral("AddLightWeightPolyline"),
                [](Target& t, Args a) -> Variant {
                    return entityRef(t, Db(t).addLwPolyline(blk(t), verticesArg(a, 0, 2), false));
                })
        .method(QStringLiteral("AddPolyline"),
                [](Target& t, Args a) -> Variant {
                    return entityRef(t, Db(t).addLwPolyline(blk(t), verticesArg(a, 0, 3), false));
                })
        .method(QStringLiteral("AddText"),
                [](Target& t, Args a) -> Variant {
                    const double h = DoubleArg(a, 2);
                    if (!(h > 0)) throw InvalidArgument(QStringLiteral("Tekst wymaga dodatniej wysokości"));
                    return entityRef(t, Db(t).addText(blk(t), TextArg(a, 0), PointArg(a, 1), h));
                })
        .method(QStringLiteral("AddMText"),
                [](Target& t, Args a) -> Variant {
                    return entityRef(t,
                                     Db(t).addMText(blk(t), PointArg(a, 0), DoubleArg(a, 1), TextArg(a, 2)));
                })
        .method(
            QStringLiteral("AddPoint"),
            [](Target& t, Args a) -> Variant { return entityRef(t, Db(t).addPoint(blk(t), PointArg(a, 0))); })
        .method(QStringLiteral("AddHatch"),
                [](Target& t, Args a) -> Variant {
                    return entityRef(t, Db(t).addHatch(blk(t), int(IntArg(a, 0)), TextArg(a, 1),
                                                       HasArg(a, 2) && BoolArg(a, 2)));
                })
        .method(QStringLiteral("AddAttribute"),
                [](Target& t, Args a) -> Variant {
                    const QString tag = TextArg(a, 4);
                    if (tag.isEmpty() || tag.contains(QLatin1Char(' ')))
                        throw InvalidArgument(QStringLiteral("Niedozwolona etykieta atrybutu \u201e%1\u201d").arg(tag));
                    const double h = DoubleArg(a, 0);
                    if (!(h > 0))
                        throw InvalidArgument(QStringLiteral("Atrybut wymaga dodatniej wysokości"));
                    return entityRef(t,
                                     Db(t).addAttributeDefinition(blk(t), h, int(IntArg(a, 1)), TextArg(a, 2),
                                                                  PointArg(a, 3), tag, TextArg(a, 5)));
                })
        .method(QStringLiteral("AddRegion"),
                [](Target& t, Args a) -> Variant {
                    return EntityList(t, Db(t).addRegions(blk(t), EntitiesArg(t, a, 0)));
                })
        .method(QStringLiteral("AddDimAligned"),
                [](Target& t, Args a) -> Variant {
                    return entityRef(
                        t, Db(t).addDimAligned(blk(t), PointArg(a, 0), PointArg(a, 1), PointArg(a, 2)));
                })
        .method(QStringLiteral("AddDimOrdinate"),
                [](Target& t, Args a) -> Variant {
                    return entityRef(
                        t, Db(t).addDimOrdinate(blk(t), PointArg(a, 0), PointArg(a, 1), BoolArg(a, 2)));
                })
        .method(QStringLiteral("InsertBlock"),
                [](Target& t, Args a) -> Variant {
                    const QString name = blockForInsert(t, TextArg(a, 1));
                    const double xs = DoubleArg(a, 2);
                    const double ys = HasArg(a, 3) ? DoubleArg(a, 3) : xs;
                    const double zs = HasArg(a, 4) ? DoubleArg(a, 4) : xs;
                    const double rot = HasArg(a, 5) ? DoubleArg(a, 5) : 0.0;
                    db::Entity* e = Db(t).insertBlock(blk(t), PointArg(a, 0), name, xs, ys, zs, rot);
                    db::InitDynamicReference(Db(t), e);  // a dynamic block's properties at their defaults
                    return entityRef(t, e);
                })
        .method(QStringLiteral("GetExtensionDictionary"),
                [](Target& t, Args) -> Variant {
                    db::Dictionary* d = Db(t).extensionDictionary(blk(t), true);
                    return t.model.ref(t.model.idOf(Kind::Dictionary, t.rec.doc, d));
                })
        .otherVendor(QStringLiteral("AddObject"))
        .otherVendor(QStringLiteral("OpenObject"))
        .otherVendor(QStringLiteral("AddQuadrangle"))
        .otherVendor(QStringLiteral("SetPointORD"))
        .otherVendor(QStringLiteral("ExecuteStringWait"))
        .otherVendor(QStringLiteral("PickEntityID"))
        .otherVendor(QStringLiteral("GetEttCode"))
        .quiet({"Item", "Items"})
        .changesView(ViewChange::Added,
                     {"AddLine", "AddArc", "AddCircle", "AddLightWeightPolyline", "AddPolyline", "AddText", "AddMText",
                      "AddPoint", "AddHatch", "AddAttribute", "AddRegion", "AddDimAligned", "AddDimOrdinate",
                      "InsertBlock"});
    return tb;
}

}  // namespace cad
