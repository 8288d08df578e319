// The entity table's members of texts and attributes, and of where an entity stands.
#include "platform/cad/engine/Ocs.h"
#include "platform/cad/model/EntityMembers.h"

namespace cad::entitymembers {

namespace {

db::TextData& textOf(Target& t) {
    if (db::TextData* d = ent(t)->textData()) return *d;
    throw NotSupported(QStringLiteral("Ta składowa nie dotyczy obiektu %1").arg(ent(t)->objectName()));
}

db::AttributeData& attributeOf(Target& t) {
    return data<db::AttributeData>(t);
}

}  // namespace

void AddTextMembers(DispatchTable& tb) {
    tb.get(QStringLiteral("TextString"),
           [](Target& t, Args) -> Variant {
               if (auto* m = ent(t)->tryAs<db::MTextData>()) return Variant(m->text);
               return Variant(textOf(t).text);
           })
        .put(QStringLiteral("TextString"),
             [](Target& t, Args a) -> Variant {
                 if (auto* m = ent(t)->tryAs<db::MTextData>())
                     m->text = TextArg(a, 0);
                 else
                     textOf(t).text = TextArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Height"),
             [](Target& t, Args) -> Variant {
                 if (auto* m = ent(t)->tryAs<db::MTextData>()) return Variant(m->height);
                 return Variant(textOf(t).height);
             })
        .put(QStringLiteral("Height"),
             [](Target& t, Args a) -> Variant {
                 const double h = DoubleArg(a, 0);
                 if (!(h > 0)) throw InvalidArgument(QStringLiteral("Wysokość tekstu musi być dodatnia"));
                 if (auto* m = ent(t)->tryAs<db::MTextData>())
                     m->height = h;
                 else
                     textOf(t).height = h;
                 return {};
             })
        .get(QStringLiteral("Width"),
             [](Target& t, Args) -> Variant { return Variant(data<db::MTextData>(t).width); })
        .put(QStringLiteral("Width"),
             [](Target& t, Args a) -> Variant {
                 const double w = DoubleArg(a, 0);
                 if (w < 0) throw InvalidArgument(QStringLiteral("Szerokość nie może być ujemna"));
                 data<db::MTextData>(t).width = w;
                 return {};
             })
        .get(QStringLiteral("AttachmentPoint"),
             [](Target& t, Args) -> Variant { return Variant(data<db::MTextData>(t).attachment); })
        .put(QStringLiteral("AttachmentPoint"),
             [](Target& t, Args a) -> Variant {
                 const qint64 v = IntArg(a, 0);
                 if (v < 1 || v > 9) throw InvalidArgument(QStringLiteral("Punkt zaczepienia musi mieć numer 1..9"));
                 data<db::MTextData>(t).attachment = int(v);
                 return {};
             })
        .get(QStringLiteral("Alignment"),
             [](Target& t, Args) -> Variant { return Variant(textOf(t).alignment()); })
        .put(QStringLiteral("Alignment"),
             [](Target& t, Args a) -> Variant {
                 db::TextData& d = textOf(t);
                 const int before = d.alignment();
                 d.setAlignment(int(IntArg(a, 0)));
                 // A text leaving left alignment keeps its place: the alignment point starts at the position.
                 if (before == 0 && d.alignment() != 0) d.alignmentPoint = d.position;
                 return {};
             })
        .get(QStringLiteral("TextAlignmentPoint"),
             [](Target& t, Args) -> Variant { return PointValue(db::ocsToWorld(*ent(t), textOf(t).alignmentPoint)); })
        .put(QStringLiteral("TextAlignmentPoint"),
             [](Target& t, Args a) -> Variant {
                 db::TextData& d = textOf(t);
                 if (d.alignment() == 0)
                     throw InvalidArgument(QStringLiteral("Tekst wyrównany do lewej nie ma punktu wyrównania"));
                 d.alignmentPoint = db::worldToOcs(*ent(t), PointArg(a, 0));
                 return {};
             })
        .get(QStringLiteral("StyleName"),
             [](Target& t, Args) -> Variant {
                 if (auto* m = ent(t)->tryAs<db::MTextData>()) return Variant(m->style);
                 if (auto* dm = ent(t)->tryAs<db::DimensionData>()) return Variant(dm->style);
                 return Variant(textOf(t).style);
             })
        .put(QStringLiteral("StyleName"),
             [](Target& t, Args a) -> Variant {
                 if (auto* dm = ent(t)->tryAs<db::DimensionData>()) {
                     dm->style = Db(t).dimStyles().item(TextArg(a, 0))->name();
                     return {};
                 }
                 const QString name = Db(t).textStyles().item(TextArg(a, 0))->name();
                 if (auto* m = ent(t)->tryAs<db::MTextData>())
                     m->style = name;
                 else
                     textOf(t).style = name;
                 return {};
             })
        .get(QStringLiteral("ScaleFactor"),
             [](Target& t, Args) -> Variant { return Variant(textOf(t).widthFactor); })
        .put(QStringLiteral("ScaleFactor"),
             [](Target& t, Args a) -> Variant {
                 const double w = DoubleArg(a, 0);
                 if (!(w > 0)) throw InvalidArgument(QStringLiteral("Współczynnik szerokości musi być dodatni"));
                 textOf(t).widthFactor = w;
                 return {};
             })
        .get(QStringLiteral("ObliqueAngle"),
             [](Target& t, Args) -> Variant { return Variant(textOf(t).oblique); })
        .put(QStringLiteral("ObliqueAngle"),
             [](Target& t, Args a) -> Variant {
                 textOf(t).oblique = DoubleArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("TagString"),
             [](Target& t, Args) -> Variant { return Variant(attributeOf(t).tag); })
        .put(QStringLiteral("TagString"),
             [](Target& t, Args a) -> Variant {
                 const QString tag = TextArg(a, 0);
                 if (tag.isEmpty() || tag.contains(QLatin1Char(' ')))
                     throw InvalidArgument(QStringLiteral("Niedozwolona etykieta atrybutu"));
                 attributeOf(t).tag = tag;
                 return {};
             })
        .get(QStringLiteral("PromptString"),
             [](Target& t, Args) -> Variant { return Variant(attributeOf(t).prompt); })
        .put(QStringLiteral("PromptString"),
             [](Target& t, Args a) -> Variant {
                 attributeOf(t).prompt = TextArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Mode"),
             [](Target& t, Args) -> Variant { return Variant(attributeOf(t).flags & 15); })
        .put(QStringLiteral("Mode"),
             [](Target& t, Args a) -> Variant {
                 const qint64 m = IntArg(a, 0);
                 if (m < 0 || m > 15) throw InvalidArgument(QStringLiteral("Tryb atrybutu musi mieścić się w zakresie 0..15"));
                 attributeOf(t).flags = (attributeOf(t).flags & ~15) | int(m);
                 return {};
             })
        .get(QStringLiteral("Invisible"),
             [](Target& t, Args) -> Variant { return Variant(attributeOf(t).invisible()); })
        .put(QStringLiteral("Invisible"),
             [](Target& t, Args a) -> Variant {
                 auto& d = attributeOf(t);
                 d.flags = BoolArg(a, 0) ? (d.flags | 1) : (d.flags & ~1);
                 return {};
             })
        .get(QStringLiteral("Constant"),
             [](Target& t, Args) -> Variant { return Variant((attributeOf(t).flags & 2) != 0); })
        .get(QStringLiteral("Preset"),
             [](Target& t, Args) -> Variant { return Variant((attributeOf(t).flags & 8) != 0); })
        .get(QStringLiteral("TextOverride"),
             [](Target& t, Args) -> Variant { return Variant(data<db::DimensionData>(t).textOverride); })
        .put(QStringLiteral("TextOverride"),
             [](Target& t, Args a) -> Variant {
                 data<db::DimensionData>(t).textOverride = TextArg(a, 0);
                 return {};
             })
        .get(QStringLiteral("Measurement"),
             [](Target& t, Args) -> Variant { return Variant(data<db::DimensionData>(t).measurement); });
}

void AddPlacementMembers(DispatchTable& tb) {
    tb.get(QStringLiteral("InsertionPoint"),
           [](Target& t, Args) -> Variant {
               // World points: references and texts keep theirs in their own coordinate system,
               // MTEXT's is a world point already.
               db::Entity* e = ent(t);
               if (auto* i = e->tryAs<db::InsertData>()) return PointValue(db::ocsToWorld(*e, i->position));
               if (auto* m = e->tryAs<db::MTextData>()) return PointValue(m->position);
               return PointValue(db::ocsToWorld(*e, textOf(t).position));
           })
        .put(QStringLiteral("InsertionPoint"),
             [](Target& t, Args a) -> Variant {
                 db::Entity* e = ent(t);
                 if (auto* i = e->tryAs<db::InsertData>()) {
                     Db(t).move(e, db::ocsToWorld(*e, i->position), PointArg(a, 0));  // its attributes move with it
                 } else if (auto* m = e->tryAs<db::MTextData>()) {
                     m->position = PointArg(a, 0);
                 } else {
                     const db::Point3 p = db::worldToOcs(*e, PointArg(a, 0));
                     db::TextData& d = textOf(t);
                     // An aligned text is placed by its alignment point; moving the position moves both.
                     if (d.alignment() != 0) {
                         d.alignmentPoint.x += p.x - d.position.x;
                         d.alignmentPoint.y += p.y - d.position.y;
                     }
                     d.position = p;
                 }
                 return {};
             })
        .get(QStringLiteral("Rotation"),
             [](Target& t, Args) -> Variant {
                 db::Entity* e = ent(t);
                 if (auto* i = e->tryAs<db::InsertData>()) return Variant(i->rotation);
                 if (auto* m = e->tryAs<db::MTextData>()) return Variant(m->rotation);
                 return Variant(textOf(t).rotation);
             })
        .put(QStringLiteral("Rotation"), [](Target& t, Args a) -> Variant {
            db::Entity* e = ent(t);
            const double r = DoubleArg(a, 0);
            if (auto* i = e->tryAs<db::InsertData>()) {
                // Turning the reference about its insertion point turns its attributes with it. The
                // angle is an OCS one; seen from below (extrusion -Z) it turns the other way in plan.
                const double turn = (r - i->rotation) * (db::Ocs(e->normal).mirrors() ? -1 : 1);
                Db(t).rotate(e, db::ocsToWorld(*e, i->position), turn);
                e->as<db::InsertData>().rotation = normalizeAngle(r);
            } else if (auto* m = e->tryAs<db::MTextData>()) {
                m->rotation = normalizeAngle(r);
            } else {
                textOf(t).rotation = normalizeAngle(r);  // reported in 0..2π like every angle
            }
            return {};
        });
}

}  // namespace cad::entitymembers
