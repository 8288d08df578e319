// Dispatch tables of the drawing properties, dictionaries, the draw-order table, the colour
// object and the objects the engine keeps unmodelled.
#include "platform/cad/model/Support.h"

namespace cad {

namespace {

db::SummaryInfo& info(Target& t) {
    return Db(t).summaryInfo();
}

void checkWritable(Target& t) {
    if (t.rec.doc->readOnly) throw Failed(QStringLiteral("Rysunek jest otwarty tylko do odczytu"));
}

// A fixed text field of the drawing properties.
template <QString db::SummaryInfo::*Field>
void addField(DispatchTable& tb, const QString& name) {
    tb.get(name, [](Target& t, Args) -> Variant {
          return Variant(info(t).*Field);
      }).put(name, [](Target& t, Args a) -> Variant {
        checkWritable(t);
        info(t).*Field = TextArg(a, 0);
        return {};
    });
}

Variant objectOf(Target& t, db::DbObject* o) {
    Kind kind = Kind::RawObject;
    if (o->objectType() == db::ObjectType::Dictionary)
        kind = Kind::Dictionary;
    else if (o->objectType() == db::ObjectType::SortentsTable)
        kind = Kind::SortentsTable;
    return t.model.ref(t.model.idOf(kind, t.rec.doc, o));
}

int channelArg(Args a, qsizetype i) {
    const qint64 v = IntArg(a, i);
    if (v < 0 || v > 255) throw InvalidArgument(QStringLiteral("Składowa koloru musi mieścić się w zakresie 0..255"));
    return int(v);
}

// GetObject and Item are the same look-up by key.
Variant dictionaryEntry(Target& t, Args a) {
    const QString name = TextArg(a, 0);
    db::DbObject* o = Db(t).dictionaryObject(static_cast<db::Dictionary*>(t.rec.object), name);
    if (!o || o->isErased()) throw NotFound(QStringLiteral("Brak wpisu słownika %1").arg(name));
    return objectOf(t, o);
}

}  // namespace

std::unique_ptr<DispatchTable> MakeSummaryInfoTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadSummaryInfo"));
    addField<&db::SummaryInfo::title>(*tb, QStringLiteral("Title"));
    addField<&db::SummaryInfo::subject>(*tb, QStringLiteral("Subject"));
    addField<&db::SummaryInfo::author>(*tb, QStringLiteral("Author"));
    addField<&db::SummaryInfo::keywords>(*tb, QStringLiteral("Keywords"));
    addField<&db::SummaryInfo::comments>(*tb, QStringLiteral("Comments"));
    addField<&db::SummaryInfo::lastSavedBy>(*tb, QStringLiteral("LastSavedBy"));
    addField<&db::SummaryInfo::revisionNumber>(*tb, QStringLiteral("RevisionNumber"));
    addField<&db::SummaryInfo::hyperlinkBase>(*tb, QStringLiteral("HyperlinkBase"));
    tb->get(QStringLiteral("NumCustomInfo"),
            [](Target& t, Args) -> Variant { return Variant(info(t).customCount()); })
        .method(QStringLiteral("GetCustomByKey"),
                [](Target& t, Args a) -> Variant { return Variant(info(t).customByKey(TextArg(a, 0))); })
        .method(QStringLiteral("SetCustomByKey"),
                [](Target& t, Args a) -> Variant {
                    checkWritable(t);
                    info(t).setCustomByKey(TextArg(a, 0), TextArg(a, 1));
                    return {};
                })
        .method(QStringLiteral("AddCustomInfo"),
                [](Target& t, Args a) -> Variant {
                    checkWritable(t);
                    info(t).addCustom(TextArg(a, 0), TextArg(a, 1));
                    return {};
                })
        .method(QStringLiteral("GetCustomByIndex"),
                [](Target& t, Args a) -> Variant {
                    const auto [k, v] = info(t).customAt(int(IntArg(a, 0)));
                    return Variant(VariantList{k, v});
                })
        .method(QStringLiteral("RemoveCustomByIndex"),
                [](Target& t, Args a) -> Variant {
                    checkWritable(t);
                    info(t).removeCustomAt(int(IntArg(a, 0)));
                    return {};
                })
        .method(QStringLiteral("RemoveCustomByKey"),
                [](Target& t, Args a) -> Variant {
                    checkWritable(t);
                    info(t).removeCustomByKey(TextArg(a, 0));
                    return {};
                })
        .method(QStringLiteral("SetCustomByIndex"),
                [](Target& t, Args a) -> Variant {
                    checkWritable(t);
                    const int i = int(IntArg(a, 0));
                    const QString key = info(t).customAt(i).first;
                    const QString newKey = TextArg(a, 1);
                    if (newKey.compare(key, Qt::CaseInsensitive) != 0)
                        throw NotSupported(QStringLiteral("Zmiana nazwy własności użytkownika nie jest obsługiwana"));
                    info(t).setCustomByKey(key, TextArg(a, 2));
                    return {};
                })
        .quiet({"GetCustomByKey", "GetCustomByIndex"})
        .changesOnlyLook();
    return tb;
}

std::unique_ptr<DispatchTable> MakeDictionaryTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadDictionary"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant {
                return Variant(int(static_cast<db::Dictionary*>(t.rec.object)->entries.size()));
            })
        .get(QStringLiteral("Handle"),
             [](Target& t, Args) -> Variant { return Variant(t.rec.object->handleText()); })
        .method(QStringLiteral("GetObject"), dictionaryEntry)
        .method(QStringLiteral("Item"), dictionaryEntry)
        .method(QStringLiteral("AddObject"),
                [](Target& t, Args a) -> Variant {
                    return objectOf(t, Db(t).addDictionaryObject(static_cast<db::Dictionary*>(t.rec.object),
                                                                 TextArg(a, 0), TextArg(a, 1)));
                })
        .quiet({"GetObject", "Item"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeSortentsTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadSortentsTable"));
    tb->get(QStringLiteral("ObjectName"),
            [](Target&, Args) -> Variant { return Variant(QStringLiteral("AcDbSortentsTable")); })
        .get(QStringLiteral("Handle"),
             [](Target& t, Args) -> Variant { return Variant(t.rec.object->handleText()); })
        .method(QStringLiteral("MoveToTop"),
                [](Target& t, Args a) -> Variant {
                    Db(t).moveToTop(EntitiesArg(t, a, 0));
                    return {};
                })
        .method(QStringLiteral("MoveToBottom"),
                [](Target& t, Args a) -> Variant {
                    Db(t).moveToBottom(EntitiesArg(t, a, 0));
                    return {};
                })
        .method(QStringLiteral("GetFullDrawOrder"),
                [](Target& t, Args) -> Variant {
                    auto* table = static_cast<db::SortentsTable*>(t.rec.object);
                    db::DbObject* b = Db(t).objectByHandle(table->blockRecord);
                    const db::BlockDefinition* block = b && b->objectType() == db::ObjectType::BlockDefinition
                                                           ? static_cast<db::BlockDefinition*>(b)
                                                           : Db(t).modelSpace();
                    return EntityList(t, Db(t).drawOrder(block));
                })
        .quiet({"GetFullDrawOrder"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeColorTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadAcCmColor"));
    tb->method(QStringLiteral("SetRGB"),
               [](Target& t, Args a) -> Variant {
                   const int r = channelArg(a, 0), g = channelArg(a, 1), b = channelArg(a, 2);
                   t.rec.color->rgb = (r << 16) | (g << 8) | b;
                   return {};
               })
        .get(QStringLiteral("Red"),
             [](Target& t, Args) -> Variant {
                 return Variant(t.rec.color->rgb < 0 ? 0 : (t.rec.color->rgb >> 16) & 255);
             })
        .get(QStringLiteral("Green"),
             [](Target& t, Args) -> Variant {
                 return Variant(t.rec.color->rgb < 0 ? 0 : (t.rec.color->rgb >> 8) & 255);
             })
        .get(QStringLiteral("Blue"),
             [](Target& t, Args) -> Variant {
                 return Variant(t.rec.color->rgb < 0 ? 0 : t.rec.color->rgb & 255);
             })
        .get(QStringLiteral("ColorIndex"),
             [](Target& t, Args) -> Variant { return Variant(t.rec.color->aci); })
        .put(QStringLiteral("ColorIndex"),
             [](Target& t, Args a) -> Variant {
                 const qint64 c = IntArg(a, 0);
                 if (c < 0 || c > 256)
                     throw InvalidArgument(QStringLiteral("%1 nie jest prawidłowym numerem koloru").arg(c));
                 t.rec.color->aci = int(c);
                 t.rec.color->rgb = -1;
                 return {};
             })
        .get(QStringLiteral("Name"), [](Target&, Args) -> Variant { return Variant(QString()); })
        .get(QStringLiteral("BookName"), [](Target&, Args) -> Variant { return Variant(QString()); })
        .keepsDrawings();
    return tb;
}

std::unique_ptr<DispatchTable> MakeRawObjectTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadObject"));
    tb->get(QStringLiteral("Handle"), [](Target& t, Args) -> Variant {
          return Variant(t.rec.object->handleText());
      }).get(QStringLiteral("ObjectName"), [](Target& t, Args) -> Variant {
        if (t.rec.object->objectType() == db::ObjectType::RawObject)
            return Variant(static_cast<db::RawObject*>(t.rec.object)->dxfName);
        return Variant(QString());
    });
    return tb;
}

}  // namespace cad
