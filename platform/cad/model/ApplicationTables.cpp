// Dispatch tables of the application, its state object, the documents and the database document.
#include "platform/cad/engine/DynamicBlocks.h"
#include "platform/cad/model/CallEach.h"
#include "platform/cad/model/AttributeReads.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/FilteredReads.h"
#include "platform/cad/model/Support.h"
#include "platform/cad/model/VariableReads.h"

#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/dxf/FileReplace.h"

#include <QFileInfo>

namespace cad {

namespace {

DocumentState* docOf(Target& t) {
    return t.rec.doc;
}

DocumentState* documentArg(Target& t, const Variant& v) {
    ObjectRecord& r = t.model.record(v.toObject());
    if (r.kind != Kind::Document) throw InvalidArgument(QStringLiteral("Oczekiwano rysunku"));
    if (r.closed) throw Erased(QStringLiteral("Rysunek jest zamknięty"));
    return r.doc;
}

// An engine object found by handle, as the object of its kind.
Variant objectVariant(Target& t, DocumentState* doc, db::DbObject* o) {
    Kind kind = Kind::RawObject;
    switch (o->objectType()) {
        case db::ObjectType::Entity:
            kind = Kind::Entity;
            break;
        case db::ObjectType::BlockDefinition:
            kind = Kind::Block;
            break;
        case db::ObjectType::Layer:
            kind = Kind::Layer;
            break;
        case db::ObjectType::Linetype:
            kind = Kind::Linetype;
            break;
        case db::ObjectType::TextStyle:
            kind = Kind::TextStyle;
            break;
        case db::ObjectType::DimStyle:
            kind = Kind::DimStyle;
            break;
        case db::ObjectType::Dictionary:
            kind = Kind::Dictionary;
            break;
        case db::ObjectType::SortentsTable:
            kind = Kind::SortentsTable;
            break;
        default:
            break;
    }
    return t.model.ref(t.model.idOf(kind, doc, o));
}

QString untitledName(ObjectModel& m) {
    return QStringLiteral("Rysunek%1.dxf").arg(++m.untitledCounter);
}

}  // namespace

std::unique_ptr<DispatchTable> MakeApplicationTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadApplication"));
    tb->get(QStringLiteral("Version"),
            [](Target&, Args) -> Variant { return Variant(QStringLiteral("18.1")); })
        .get(QStringLiteral("Name"),
             [](Target&, Args) -> Variant { return Variant(QStringLiteral("AutoCAD")); })
        .get(QStringLiteral("Visible"), [](Target& t, Args) -> Variant { return Variant(t.model.visible); })
        .put(QStringLiteral("Visible"),
             [](Target& t, Args a) -> Variant {
                 t.model.visible = BoolArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("WindowState"),
             [](Target& t, Args) -> Variant { return Variant(t.model.windowState); })
        .put(QStringLiteral("WindowState"),
             [](Target& t, Args a) -> Variant {
                 const qint64 v = IntArg(a, 0);  // 1 normal, 2 minimised, 3 maximised
                 if (v < 1 || v > 3) throw InvalidArgument(QStringLiteral("WindowState musi mieć wartość 1, 2 lub 3"));
                 t.model.windowState = int(v);
                 return {};
             })
        .get(QStringLiteral("Documents"),
             [](Target& t, Args) -> Variant { return t.model.ref(t.model.documentsId); })
        .get(QStringLiteral("ActiveDocument"),
             [](Target& t, Args) -> Variant {
                 if (!t.model.activeDocument()) throw NotFound(QStringLiteral("Żaden rysunek nie jest otwarty"));
                 return t.model.ref(t.model.activeDocument()->id);
             })
        .put(QStringLiteral("ActiveDocument"),
             [](Target& t, Args a) -> Variant {
                 t.model.setActiveDocument(documentArg(t, Arg(a, 0)));
                 return {};
             })
        .method(QStringLiteral("GetAcadState"),
                [](Target& t, Args) -> Variant { return t.model.ref(t.model.stateId); })
        .method(QStringLiteral("GetInterfaceObject"),
                [](Target& t, Args a) -> Variant {
                    const QString cls = TextArg(a, 0);
                    ObjectRecord r;
                    if (cls.startsWith(QLatin1String("AutoCAD.AcCmColor"), Qt::CaseInsensitive)) {
                        r.kind = Kind::Color;
                        r.color = NewColor(t.model);
                        return t.model.ref(t.model.newRecord(r));
                    }
                    if (cls.startsWith(QLatin1String("ObjectDBX.AxDbDocument"), Qt::CaseInsensitive)) {
                        DocumentState* d =
                            t.model.addDocument(std::make_unique<db::Database>(), QString(), QString(), true);
                        return t.model.ref(d->id);
                    }
                    throw NotFound(QStringLiteral("Nie udało się załadować aplikacji: %1").arg(cls));
                })
        .method(QStringLiteral("Update"),
                [](Target& t, Args) -> Variant {
                    ++t.model.updateRequests;
                    return {};
                })
        .method(QStringLiteral("ZoomWindow"),
                [](Target& t, Args a) -> Variant {
                    PointArg(a, 0);
                    PointArg(a, 1);
                    ++t.model.updateRequests;
                    return {};
                })
        .method(QStringLiteral("RaiseDrawingWindow"),
                [](Target& t, Args) -> Variant {
                    // Normal stays normal; minimised or maximised comes back maximised.
                    if (t.model.windowState != 1) t.model.windowState = 3;
                    ++t.model.raiseRequests;
                    if (t.model.interaction()) t.model.interaction()->raiseWindow();
                    return {};
                })
        .otherVendor(QStringLiteral("GetSystemVariable"))
        .otherVendor(QStringLiteral("Activate"))
        .keepsDrawings()
        .fixedAnswers({"Documents"})
        .changesView(ViewChange::Look, {"Update"})
        .zoomsView({"ZoomWindow"});
    return tb;
}

std::unique_ptr<DispatchTable> MakeStateTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadState"));
    tb->get(QStringLiteral("IsQuiescent"), [](Target& t, Args) -> Variant {
          return Variant(t.model.commands().isQuiescent());
      }).keepsDrawings();
    return tb;
}

std::unique_ptr<DispatchTable> MakeDocumentsTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadDocuments"));
    tb->get(QStringLiteral("Count"),
            [](Target& t, Args) -> Variant { return Variant(int(t.model.documents().size())); })
        .method(QStringLiteral("Item"),
                [](Target& t, Args a) -> Variant {
                    const auto& docs = t.model.documents();
                    if (Arg(a, 0).type() == Variant::Text) {
                        const QString n = TextArg(a, 0);
                        for (DocumentState* d : docs)
                            if (d->name.compare(n, Qt::CaseInsensitive) == 0) return t.model.ref(d->id);
                        throw NotFound(QStringLiteral("Brak otwartego rysunku o nazwie %1").arg(n));
                    }
                    const qint64 i = IntArg(a, 0);
                    if (i < 0 || i >= qint64(docs.size()))
                        throw NotFound(QStringLiteral("Brak rysunku o indeksie %1").arg(i));
                    return t.model.ref(docs[size_t(i)]->id);
                })
        // Every open drawing in order, as Blocks.Items gives the blocks: one call instead of the
        // count and an Item per drawing.
        .method(QStringLiteral("Items"),
                [](Target& t, Args) -> Variant {
                    VariantList out;
                    for (DocumentState* d : t.model.documents()) out.append(t.model.ref(d->id));
                    return Variant(out);
                })
        .method(QStringLiteral("Add"),
                [](Target& t, Args a) -> Variant {
                    const QString tpl = HasArg(a, 0) ? TextArg(a, 0) : QString();
                    auto database = tpl.isEmpty() ? std::make_unique<db::Database>() : ReadDrawing(tpl);
                    database->filePath.clear();  // a drawing made from a template is new and unsaved
                    DocumentState* d =
                        t.model.addDocument(std::move(database), untitledName(t.model), QString());
                    d->saved = false;
                    return t.model.ref(d->id);
                })
        .method(QStringLiteral("Open"),
                [](Target& t, Args a) -> Variant {
                    const QString file = ResolveDrawingFile(TextArg(a, 0));
                    if (file.isEmpty())
                        throw NotFound(dxf::missingDrawingMessage(TextArg(a, 0)));
                    // One document per file: a second open activates the drawing already open.
                    const QString canonical = QFileInfo(file).canonicalFilePath();
                    for (DocumentState* open : t.model.documents())
                        if (!open->fullName.isEmpty() &&
                            QFileInfo(open->fullName).canonicalFilePath() == canonical) {
                            t.model.setActiveDocument(open);
                            return t.model.ref(open->id);
                        }
                    DocumentState* d =
                        t.model.addDocument(ReadDrawing(file), QFileInfo(file).fileName(), file);
                    d->readOnly = HasArg(a, 1) && BoolArg(a, 1);
                    return t.model.ref(d->id);
                })
        .keepsDrawings();
    return tb;
}

namespace {

// Members the document and the database document share.
void addDrawingMembers(DispatchTable& tb) {
    tb.get(QStringLiteral("Name"), [](Target& t, Args) -> Variant { return Variant(docOf(t)->name); })
        .get(QStringLiteral("FullName"),
             [](Target& t, Args) -> Variant { return Variant(docOf(t)->fullName); })
        .get(QStringLiteral("ModelSpace"),
             [](Target& t, Args) -> Variant {
                 return t.model.ref(t.model.blockId(docOf(t), Db(t).modelSpace()));
             })
        .get(QStringLiteral("PaperSpace"),
             [](Target& t, Args) -> Variant {
                 return t.model.ref(t.model.blockId(docOf(t), Db(t).paperSpace()));
             })
        .get(QStringLiteral("Blocks"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->blocksId); })
        .get(QStringLiteral("Layers"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->layersId); })
        .get(QStringLiteral("Linetypes"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->linetypesId); })
        .get(QStringLiteral("TextStyles"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->textStylesId); })
        .get(QStringLiteral("DimStyles"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->dimStylesId); })
        .get(QStringLiteral("SummaryInfo"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->summaryId); })
        .method(QStringLiteral("HandleToObject"), [](Target& t, Args a) -> Variant {
            const QString h = TextArg(a, 0);
            db::DbObject* o = Db(t).objectByHandle(db::handleFromText(h));
            if (!o || o->isErased()) throw NotFound(QStringLiteral("Brak obiektu o uchwycie %1").arg(h));
            return objectVariant(t, docOf(t), o);
        });
    tb.fixedAnswers({"ModelSpace", "PaperSpace", "Blocks", "Layers", "Linetypes", "TextStyles", "DimStyles",
                     "SummaryInfo"});
}

}  // namespace

std::unique_ptr<DispatchTable> MakeDocumentTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadDocument"));
    addDrawingMembers(*tb);
    AddAttributeReads(*tb);
    tb->get(QStringLiteral("SelectionSets"),
            [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->selectionSetsId); })
        .get(QStringLiteral("Utility"),
             [](Target& t, Args) -> Variant { return t.model.ref(docOf(t)->utilityId); })
        .get(QStringLiteral("Active"),
             [](Target& t, Args) -> Variant { return Variant(t.model.activeDocument() == docOf(t)); })
        .get(QStringLiteral("ReadOnly"),
             [](Target& t, Args) -> Variant { return Variant(docOf(t)->readOnly); })
        .get(QStringLiteral("Saved"), [](Target& t, Args) -> Variant { return Variant(docOf(t)->saved); })
        .get(QStringLiteral("ActiveLayer"),
             [](Target& t, Args) -> Variant {
                 return t.model.ref(t.model.idOf(Kind::Layer, docOf(t), Db(t).activeLayer()));
             })
        .put(QStringLiteral("ActiveLayer"),
             [](Target& t, Args a) -> Variant {
                 ObjectRecord& r = t.model.record(Arg(a, 0).toObject());
                 if (r.kind != Kind::Layer || r.doc != docOf(t))
                     throw InvalidArgument(QStringLiteral("Oczekiwano warstwy z tego rysunku"));
                 r.object->checkAlive();
                 Db(t).setActiveLayer(static_cast<db::Layer*>(r.object));
                 return {};
             })
        .get(QStringLiteral("ActiveTextStyle"),
             [](Target& t, Args) -> Variant {
                 return t.model.ref(t.model.idOf(Kind::TextStyle, docOf(t), Db(t).activeTextStyle()));
             })
        .put(QStringLiteral("ActiveTextStyle"),
             [](Target& t, Args a) -> Variant {
                 ObjectRecord& r = t.model.record(Arg(a, 0).toObject());
                 if (r.kind != Kind::TextStyle || r.doc != docOf(t))
                     throw InvalidArgument(QStringLiteral("Oczekiwano stylu tekstu z tego rysunku"));
                 r.object->checkAlive();
                 Db(t).setActiveTextStyle(static_cast<db::TextStyle*>(r.object));
                 return {};
             })
        .get(QStringLiteral("ActiveDimStyle"),
             [](Target& t, Args) -> Variant {
                 return t.model.ref(t.model.idOf(Kind::DimStyle, docOf(t), Db(t).activeDimStyle()));
             })
        .put(QStringLiteral("ActiveDimStyle"),
             [](Target& t, Args a) -> Variant {
                 ObjectRecord& r = t.model.record(Arg(a, 0).toObject());
                 if (r.kind != Kind::DimStyle || r.doc != docOf(t))
                     throw InvalidArgument(QStringLiteral("Oczekiwano stylu wymiarowania z tego rysunku"));
                 r.object->checkAlive();
                 Db(t).setActiveDimStyle(static_cast<db::DimStyle*>(r.object));
                 return {};
             })
        .method(QStringLiteral("GetVariable"),
                [](Target& t, Args a) -> Variant {
                    const QString n = TextArg(a, 0).trimmed().toUpper();
                    if (n == QLatin1String("LASTPROMPT")) return Variant(t.model.lastPrompt);
                    if (n == QLatin1String("LASTPOINT")) return Variant(docOf(t)->lastPoint);
                    return FromSysValue(Db(t).variable(n));
                })
        .method(QStringLiteral("SetVariable"),
                [](Target& t, Args a) -> Variant {
                    const QString n = TextArg(a, 0).trimmed().toUpper();
                    if (n == QLatin1String("LASTPROMPT"))
                        throw InvalidArgument(QStringLiteral("LASTPROMPT jest tylko do odczytu"));
                    if (n == QLatin1String("LASTPOINT")) {
                        docOf(t)->lastPoint = Arg(a, 1).toPoint();
                        return {};
                    }
                    if (n == QLatin1String("CELWEIGHT") && !ValidLineweight(Arg(a, 1).toInt()))
                        throw InvalidArgument(
                            QStringLiteral("%1 nie jest prawidłową grubością linii").arg(Arg(a, 1).toText()));
                    Db(t).setVariable(n, ToSysValue(Arg(a, 1)));
                    return {};
                })
        .method(QStringLiteral("SendCommand"),
                [](Target& t, Args a) -> Variant {
                    t.model.setActiveDocument(docOf(t));
                    t.model.commands().send(docOf(t), TextArg(a, 0));
                    return {};
                })
        .method(QStringLiteral("Regen"),
                [](Target& t, Args) -> Variant {
                    ++t.model.updateRequests;
                    return {};
                })
        .method(QStringLiteral("CopyObjects"),
                [](Target& t, Args a) -> Variant {
                    const auto objects = EntitiesArg(t, a, 0);
                    db::BlockDefinition* owner =
                        HasArg(a, 1) ? t.model.blockOf(Arg(a, 1)) : Db(t).modelSpace();
                    if (owner->database() != &Db(t))
                        throw InvalidArgument(QStringLiteral("Właściciel należy do innego rysunku"));
                    return EntityList(t, Db(t).copyObjects(objects, owner));
                })
        .method(QStringLiteral("Close"),
                [](Target& t, Args) -> Variant {
                    t.model.closeDocument(docOf(t));
                    return {};
                })
        .method(QStringLiteral("Save"),
                [](Target& t, Args) -> Variant {
                    if (docOf(t)->fullName.isEmpty())
                        throw Failed(QStringLiteral("Rysunek nie ma jeszcze nazwy pliku"));
                    if (docOf(t)->readOnly) throw Failed(QStringLiteral("Rysunek jest otwarty tylko do odczytu"));
                    db::PurgeUnreferencedAnonymousBlocks(Db(t));
                    dxf::writeFile(Db(t), docOf(t)->fullName);
                    docOf(t)->saved = true;
                    return {};
                })
        .method(QStringLiteral("SaveAs"),
                [](Target& t, Args a) -> Variant {
                    const QString path = QFileInfo(TextArg(a, 0)).absoluteFilePath();
                    db::PurgeUnreferencedAnonymousBlocks(Db(t));
                    dxf::writeFile(Db(t), path);
                    Db(t).filePath = path;
                    docOf(t)->fullName = path;
                    docOf(t)->name = QFileInfo(path).fileName();
                    docOf(t)->readOnly = false;
                    docOf(t)->saved = true;
                    return {};
                })
        .otherVendor(QStringLiteral("Activate"))
        // Many reads in one call: for each object (a reference or a handle), the value of each
        // member, read as its own call would read it; a member named "?Member" gives an empty value
        // where the object has no such member or cannot give it (a line's centre). With a third
        // argument, each row ends with the rows of the entities of the object's block (a block
        // reference's definition, or the block itself): the entity, then those members' values.
        .method(QStringLiteral("ReadProperties"), [](Target& t, Args a) -> Variant {
            const VariantList* objects = a.size() > 0 ? a[0].arrayPtr() : nullptr;
            const VariantList* members = a.size() > 1 ? a[1].arrayPtr() : nullptr;
            const VariantList* parts = a.size() > 2 ? a[2].arrayPtr() : nullptr;
            if (!objects || !members) throw InvalidArgument(QStringLiteral("ReadProperties(objects, members)"));
            DocumentState* doc = docOf(t);
            ObjectModel& model = t.model;
            // The names as asked, each taken apart once rather than for every object.
            struct Wanted {
                QString member;
                bool optional = false;
            };
            auto wanted = [](const VariantList* names) {
                std::vector<Wanted> out;
                if (!names) return out;
                out.reserve(size_t(names->size()));
                for (const Variant& m : *names) {
                    QString member = m.toText();
                    const bool optional = member.startsWith(QLatin1Char('?'));
                    if (optional) member.remove(0, 1);
                    out.push_back({member, optional});
                }
                return out;
            };
            const std::vector<Wanted> memberList = wanted(members);
            const std::vector<Wanted> partList = wanted(parts);
            auto row = [&](ObjectId id, const std::vector<Wanted>& names) {
                VariantList values;
                values.reserve(qsizetype(names.size()) + 1);
                for (const auto& [member, optional] : names) {
                    try {
                        // A quiet method without arguments (GetAttributes, GetBoundingBox) reads too.
                        const ObjectRecord& rec = model.record(id);
                        const DispatchTable::Entry* e = model.table(rec.kind).find(member);
                        const CallKind kind = e && !e->get && e->method && e->quiet ? CallKind::Method : CallKind::Get;
                        // An optional read that would certainly fail on this (live) object is empty.
                        if (optional && e && e->get && kind == CallKind::Get && e->applies && !rec.closed &&
                            rec.object && !rec.object->isErased() && !e->applies(rec)) {
                            values.append(Variant());
                            continue;
                        }
                        values.append(model.invoke(id, member, kind, {}));
                    } catch (const Error&) {
                        if (!optional) throw;
                        values.append(Variant());
                    }
                }
                return values;
            };
            VariantList out;
            out.reserve(objects->size());
            for (const Variant& o : *objects) {
                ObjectId id = 0;
                if (o.type() == Variant::Object) {
                    id = o.toObject();
                } else {
                    const QString h = o.toText();
                    db::DbObject* found = doc->db->objectByHandle(db::handleFromText(h));
                    if (!found || found->isErased()) throw NotFound(QStringLiteral("Brak obiektu o uchwycie %1").arg(h));
                    id = objectVariant(t, doc, found).toObject();
                }
                VariantList values = row(id, memberList);
                if (parts) {
                    ObjectId block = id;
                    if (model.record(id).kind == Kind::Entity) {
                        const Variant name = model.invoke(id, QStringLiteral("Name"), CallKind::Get, {});
                        block = model.invoke(doc->blocksId, QStringLiteral("Item"), CallKind::Method,
                                             Args(&name, 1)).toObject();
                    }
                    VariantList rows;
                    const Variant items = model.invoke(block, QStringLiteral("Items"), CallKind::Method, {});
                    if (const VariantList* entities = items.arrayPtr())
                        for (const Variant& e : *entities) {
                            VariantList part{e};
                            part.append(row(e.toObject(), partList));
                            rows.append(Variant(part));
                        }
                    values.append(Variant(rows));
                }
                out.append(Variant(values));
            }
            return Variant(out);
        })
        // SendCommand only queues the text: what the command draws counts as a change when it is made.
        .quiet({"HandleToObject", "ReadProperties", "GetVariable", "SendCommand", "Regen", "Close", "Save", "SaveAs"})
        .fixedAnswers({"SelectionSets", "Utility"})
        .changesView(ViewChange::Look, {"Regen"});
    AddCallEach(*tb);
    AddFilteredReads(*tb);
    AddVariableReads(*tb);
    return tb;
}

std::unique_ptr<DispatchTable> MakeDatabaseDocumentTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAxDbDocument"));
    addDrawingMembers(*tb);
    tb->method(QStringLiteral("Open"), [](Target& t, Args a) -> Variant {
          const QString file = ResolveDrawingFile(TextArg(a, 0));
          if (file.isEmpty()) throw NotFound(dxf::missingDrawingMessage(TextArg(a, 0)));
          auto database = ReadDrawing(file);
          t.model.releaseEngineObjects(docOf(t));
          docOf(t)->db = std::move(database);
          docOf(t)->name = QFileInfo(file).fileName();
          docOf(t)->fullName = file;
          return {};
      }).method(QStringLiteral("Close"), [](Target& t, Args) -> Variant {
        t.model.closeDocument(docOf(t));
        return {};
    });
    // The drawing read gets a model space and collections of its own.
    tb->renewsAnswers({"Open"});
    return tb;
}

}  // namespace cad
