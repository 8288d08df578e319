// Dispatch tables of the named tables and their records: blocks, layers, linetypes, text styles
// and dimension styles. Absent names raise NotFound; names compare without regard to case.
#include "platform/cad/model/Support.h"

namespace cad {

namespace {

template <class T>
T* recordOf(Target& t) {
    return static_cast<T*>(t.rec.object);
}

// Item(name) or Item(index) over a table of records.
template <class T>
Variant tableItem(Target& t, db::Table<T>& table, Kind kind, Args a) {
    const Variant& key = Arg(a, 0);
    if (key.type() == Variant::Text)
        return t.model.ref(t.model.idOf(kind, t.rec.doc, table.item(key.toText())));
    const qint64 i = key.toInt();
    const auto all = table.records();
    if (i < 0 || i >= qint64(all.size())) throw NotFound(QStringLiteral("Brak elementu o indeksie %1").arg(i));
    return t.model.ref(t.model.idOf(kind, t.rec.doc, all[size_t(i)]));
}

template <class T>
Variant tableItems(Target& t, db::Table<T>& table, Kind kind) {
    VariantList out;
    for (T* r : table.records()) out.append(t.model.ref(t.model.idOf(kind, t.rec.doc, r)));
    return Variant(out);
}

int colorIndexArg(Args a, bool allowByValues) {
    const qint64 c = IntArg(a, 0);
    const bool ok = allowByValues ? (c >= 0 && c <= 256) : (c >= 1 && c <= 255);
    if (!ok) throw InvalidArgument(QStringLiteral("%1 nie jest prawidłowym numerem koloru").arg(c));
    return int(c);
}

}  // namespace

std::unique_ptr<DispatchTable> MakeBlocksTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadBlocks"));
    tb->get(QStringLiteral("Count"), [](Target& t, Args) -> Variant { return Variant(Db(t).blockCount()); })
        .method(QStringLiteral("Item"),
                [](Target& t, Args a) -> Variant {
                    const Variant& key = Arg(a, 0);
                    if (key.type() == Variant::Text)
                        return t.model.ref(t.model.blockId(t.rec.doc, Db(t).block(key.toText())));
                    const qint64 i = key.toInt();
                    if (i < 0 || i >= Db(t).blockCount())
                        throw NotFound(QStringLiteral("Brak bloku o indeksie %1").arg(i));
                    return t.model.ref(t.model.blockId(t.rec.doc, Db(t).blockAt(int(i))));
                })
        .method(QStringLiteral("Add"),
                [](Target& t, Args a) -> Variant {
                    const QString name = TextArg(a, 1);
                    // An existing definition is returned as it is, as the automation does.
                    db::BlockDefinition* b = Db(t).findBlock(name);
                    if (!b) b = Db(t).addBlock(name, PointArg(a, 0));
                    return t.model.ref(t.model.blockId(t.rec.doc, b));
                })
        .method(QStringLiteral("Items"),
                [](Target& t, Args) -> Variant {
                    VariantList out;
                    for (db::BlockDefinition* b : Db(t).blocks())
                        out.append(t.model.ref(t.model.blockId(t.rec.doc, b)));
                    return Variant(out);
                })
        // The count and then each block from a position on with its name, in one call: a program
        // that keeps the names it has seen reads only the blocks added since.
        .method(QStringLiteral("NamesFrom"),
                [](Target& t, Args a) -> Variant {
                    const qint64 from = std::clamp<qint64>(IntArg(a, 0), 0, Db(t).blockCount());
                    VariantList out{Variant(Db(t).blockCount())};
                    for (db::BlockDefinition* b : Db(t).blocksFrom(int(from))) {
                        out.append(t.model.ref(t.model.blockId(t.rec.doc, b)));
                        out.append(Variant(b->name()));
                    }
                    return Variant(out);
                })
        // Whether a block of the name exists: the look-up of a free name without a failure.
        .method(QStringLiteral("Contains"),
                [](Target& t, Args a) -> Variant { return Variant(Db(t).findBlock(TextArg(a, 0)) != nullptr); })
        .quiet({"Item", "Items", "NamesFrom", "Contains"})
        // A new definition shows nowhere until a reference to it is added.
        .changesView(ViewChange::None, {"Add"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeLayersTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadLayers"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant { return Variant(Db(t).layers().count()); })
        .method(QStringLiteral("Item"),
                [](Target& t, Args a) -> Variant { return tableItem(t, Db(t).layers(), Kind::Layer, a); })
        .method(QStringLiteral("Add"),
                [](Target& t, Args a) -> Variant {
                    return t.model.ref(t.model.idOf(Kind::Layer, t.rec.doc, Db(t).addLayer(TextArg(a, 0))));
                })
        .method(QStringLiteral("Items"),
                [](Target& t, Args) -> Variant { return tableItems(t, Db(t).layers(), Kind::Layer); })
        .quiet({"Item", "Items"});
    tb->changesOnlyLook();
    return tb;
}

std::unique_ptr<DispatchTable> MakeLayerTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadLayer"));
    tb->get(QStringLiteral("Name"),
            [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->name()); })
        .get(QStringLiteral("Handle"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->handleText()); })
        .get(QStringLiteral("Color"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->color); })
        .put(QStringLiteral("Color"),
             [](Target& t, Args a) -> Variant {
                 recordOf<db::Layer>(t)->color = colorIndexArg(a, false);
                 recordOf<db::Layer>(t)->trueColor = -1;
                 return {};
             })
        .put(QStringLiteral("TrueColor"),
             [](Target& t, Args a) -> Variant {
                 ObjectRecord& c = t.model.record(Arg(a, 0).toObject());
                 if (c.kind != Kind::Color)
                     throw InvalidArgument(QStringLiteral("Oczekiwano obiektu koloru"));
                 db::Layer* l = recordOf<db::Layer>(t);
                 if (c.color->rgb >= 0)
                     l->trueColor = c.color->rgb;
                 else if (c.color->aci >= 1 && c.color->aci <= 255) {
                     l->color = c.color->aci;
                     l->trueColor = -1;
                 } else
                     throw InvalidArgument(QStringLiteral("Warstwa nie może mieć koloru JAKWARSTWA ani JAKBLOK"));
                 return {};
             })
        .get(QStringLiteral("Lineweight"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->lineweight); })
        .put(QStringLiteral("Lineweight"),
             [](Target& t, Args a) -> Variant {
                 const qint64 v = IntArg(a, 0);
                 // A layer's own lineweight cannot be ByLayer or ByBlock.
                 if (!ValidLineweight(v) || v == -1 || v == -2)
                     throw InvalidArgument(QStringLiteral("%1 nie jest prawidłową grubością linii").arg(v));
                 recordOf<db::Layer>(t)->lineweight = int(v);
                 return {};
             })
        .get(QStringLiteral("Linetype"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->linetype); })
        .put(QStringLiteral("Linetype"),
             [](Target& t, Args a) -> Variant {
                 db::Linetype* lt = Db(t).linetypes().item(TextArg(a, 0));
                 recordOf<db::Layer>(t)->linetype = lt->name();
                 return {};
             })
        .get(QStringLiteral("LayerOn"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->on); })
        .put(QStringLiteral("LayerOn"),
             [](Target& t, Args a) -> Variant {
                 recordOf<db::Layer>(t)->on = BoolArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Lock"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->locked); })
        .put(QStringLiteral("Lock"),
             [](Target& t, Args a) -> Variant {
                 recordOf<db::Layer>(t)->locked = BoolArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Freeze"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->frozen); })
        .put(QStringLiteral("Freeze"),
             [](Target& t, Args a) -> Variant {
                 const bool f = BoolArg(a, 0);
                 if (f && Db(t).activeLayer() == recordOf<db::Layer>(t))
                     throw InvalidArgument(QStringLiteral("Nie można zamrozić bieżącej warstwy"));
                 recordOf<db::Layer>(t)->frozen = f;
                 return {};
             })
        .get(QStringLiteral("Plottable"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::Layer>(t)->plot); })
        .put(QStringLiteral("Plottable"), [](Target& t, Args a) -> Variant {
            recordOf<db::Layer>(t)->plot = BoolArg(a, 0);
            return {};
        });
    tb->changesOnlyLook();
    return tb;
}

std::unique_ptr<DispatchTable> MakeLinetypesTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadLineTypes"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant { return Variant(Db(t).linetypes().count()); })
        .method(
            QStringLiteral("Item"),
            [](Target& t, Args a) -> Variant { return tableItem(t, Db(t).linetypes(), Kind::Linetype, a); })
        .method(QStringLiteral("Load"),
                [](Target& t, Args a) -> Variant {
                    // The engine's own definitions stand in for the CAD's linetype file.
                    Db(t).loadLinetype(TextArg(a, 0));
                    return {};
                })
        .quiet({"Item"});
    tb->changesOnlyLook();
    return tb;
}

std::unique_ptr<DispatchTable> MakeLinetypeTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadLineType"));
    tb->get(QStringLiteral("Name"), [](Target& t, Args) -> Variant {
          return Variant(recordOf<db::Linetype>(t)->name());
      }).get(QStringLiteral("Description"), [](Target& t, Args) -> Variant {
        return Variant(recordOf<db::Linetype>(t)->description);
    });
    tb->changesOnlyLook();
    return tb;
}

std::unique_ptr<DispatchTable> MakeTextStylesTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadTextStyles"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant { return Variant(Db(t).textStyles().count()); })
        .method(
            QStringLiteral("Item"),
            [](Target& t, Args a) -> Variant { return tableItem(t, Db(t).textStyles(), Kind::TextStyle, a); })
        .method(QStringLiteral("Add"),
                [](Target& t, Args a) -> Variant {
                    return t.model.ref(
                        t.model.idOf(Kind::TextStyle, t.rec.doc, Db(t).addTextStyle(TextArg(a, 0))));
                })
        .quiet({"Item"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeTextStyleTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadTextStyle"));
    tb->get(QStringLiteral("Name"),
            [](Target& t, Args) -> Variant { return Variant(recordOf<db::TextStyle>(t)->name()); })
        .get(QStringLiteral("Height"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::TextStyle>(t)->height); })
        .put(QStringLiteral("Height"),
             [](Target& t, Args a) -> Variant {
                 const double h = DoubleArg(a, 0);
                 if (!(h >= 0)) throw InvalidArgument(QStringLiteral("Wysokość tekstu nie może być ujemna"));
                 recordOf<db::TextStyle>(t)->height = h;
                 return {};
             })
        .get(QStringLiteral("FontFile"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::TextStyle>(t)->font); })
        .put(QStringLiteral("FontFile"),
             [](Target& t, Args a) -> Variant {
                 recordOf<db::TextStyle>(t)->font = TextArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Width"),
             [](Target& t, Args) -> Variant { return Variant(recordOf<db::TextStyle>(t)->widthFactor); })
        .put(QStringLiteral("Width"),
             [](Target& t, Args a) -> Variant {
                 const double w = DoubleArg(a, 0);
                 if (!(w > 0)) throw InvalidArgument(QStringLiteral("Współczynnik szerokości musi być dodatni"));
                 recordOf<db::TextStyle>(t)->widthFactor = w;
                 return {};
             })
        .method(QStringLiteral("SetFont"),
                [](Target& t, Args a) -> Variant {
                    db::TextStyle* s = recordOf<db::TextStyle>(t);
                    const QString face = TextArg(a, 0);
                    if (face.trimmed().isEmpty())
                        throw InvalidArgument(QStringLiteral("Brak nazwy kroju pisma"));
                    s->typeface = face;
                    s->bold = HasArg(a, 1) && BoolArg(a, 1);
                    s->italic = HasArg(a, 2) && BoolArg(a, 2);
                    return {};
                })
        .method(QStringLiteral("GetFont"),
                [](Target& t, Args) -> Variant {
                    db::TextStyle* s = recordOf<db::TextStyle>(t);
                    return Variant(VariantList{s->typeface, s->bold, s->italic, 0, 0});
                })
        .quiet({"GetFont"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeDimStylesTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadDimStyles"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant { return Variant(Db(t).dimStyles().count()); })
        .method(
            QStringLiteral("Item"),
            [](Target& t, Args a) -> Variant { return tableItem(t, Db(t).dimStyles(), Kind::DimStyle, a); })
        .method(
            QStringLiteral("Add"),
            [](Target& t, Args a) -> Variant {
                return t.model.ref(t.model.idOf(Kind::DimStyle, t.rec.doc, Db(t).addDimStyle(TextArg(a, 0))));
            })
        .quiet({"Item"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeDimStyleTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadDimStyle"));
    tb->get(QStringLiteral("Name"), [](Target& t, Args) -> Variant {
          return Variant(recordOf<db::DimStyle>(t)->name());
      }).method(QStringLiteral("CopyFrom"), [](Target& t, Args a) -> Variant {
        ObjectRecord& src = t.model.record(Arg(a, 0).toObject());
        if (src.kind != Kind::Document || src.doc != t.rec.doc)
            throw InvalidArgument(QStringLiteral("CopyFrom przyjmuje tylko styl z tego samego rysunku"));
        Db(t).copyDimVariablesTo(recordOf<db::DimStyle>(t));
        return {};
    });
    return tb;
}

}  // namespace cad
