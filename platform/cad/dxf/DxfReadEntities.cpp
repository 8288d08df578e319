// One entity record: its kind, its sub-records, its common part and the part kept as read.
#include "platform/cad/dxf/DxfReading.h"

namespace cad::dxf::reading {

using namespace cad::db;

namespace {

EntityKind kindOf(const QString& type) {
    static const QHash<QString, EntityKind> kinds = {
        {QStringLiteral("LINE"), EntityKind::Line},
        {QStringLiteral("ARC"), EntityKind::Arc},
        {QStringLiteral("CIRCLE"), EntityKind::Circle},
        {QStringLiteral("LWPOLYLINE"), EntityKind::LwPolyline},
        {QStringLiteral("POLYLINE"), EntityKind::Polyline2d},
        {QStringLiteral("TEXT"), EntityKind::Text},
        {QStringLiteral("MTEXT"), EntityKind::MText},
        {QStringLiteral("POINT"), EntityKind::Point},
        {QStringLiteral("HATCH"), EntityKind::Hatch},
        {QStringLiteral("REGION"), EntityKind::Region},
        {QStringLiteral("INSERT"), EntityKind::BlockReference},
        {QStringLiteral("ATTDEF"), EntityKind::AttributeDefinition},
        {QStringLiteral("DIMENSION"), EntityKind::DimAligned}};
    return kinds.value(type, EntityKind::Unknown);
}

// Subclasses of the modelled kinds; from any other subclass marker on, a record is kept as read.
bool isKnownSubclass(std::string_view name) {
    static const std::string_view known[] = {"AcDbEntity",
                                             "AcDbLine",
                                             "AcDbCircle",
                                             "AcDbArc",
                                             "AcDbPolyline",
                                             "AcDb2dPolyline",
                                             "AcDbText",
                                             "AcDbMText",
                                             "AcDbPoint",
                                             "AcDbHatch",
                                             "AcDbBlockReference",
                                             "AcDbMInsertBlock",
                                             "AcDbAttributeDefinition",
                                             "AcDbAttribute",
                                             "AcDbDimension",
                                             "AcDbAlignedDimension",
                                             "AcDbOrdinateDimension"};
    for (std::string_view k : known)
        if (k == name) return true;
    return false;
}

// The codes Reader::applyCommon takes.
bool isCommonEntityCode(int code) {
    switch (code) {
        case 8:
        case 62:
        case 420:
        case 6:
        case 370:
        case 48:
        case 60:
        case 67:
        case 39:
        case 210:
        case 220:
        case 230:
        case 100:
            return true;
        default:
            return false;
    }
}

}  // namespace

// Properties every entity carries, whatever its kind; false when the code belongs to the kind.
bool Reader::applyCommon(Entity* e, const RawTag& t) {
    switch (t.code) {
        case 8:
            db_->setLayerRaw(e, name(t));
            return true;
        case 62:
            e->color = integer(t);
            return true;
        case 420:
            e->trueColor = integer(t) & 0xFFFFFF;
            return true;
        case 6:
            e->linetype = name(t);
            return true;
        case 370:
            e->lineweight = integer(t);
            return true;
        case 48:
            e->linetypeScale = num(t);
            return true;
        case 60:
            e->visible = integer(t) == 0;
            return true;
        case 39:
            e->thickness = num(t);
            return true;
        case 210:
            e->normal.x = num(t);
            return true;
        case 220:
            e->normal.y = num(t);
            return true;
        case 230:
            e->normal.z = num(t);
            return true;
        case 67:  // read, not kept
        case 100:
            return true;
        default:
            return false;
    }
}

// Single-line text fields, shared by TEXT and both attribute kinds; false when the code is not one.
bool Reader::applyText(TextData& td, const RawTag& t, int verticalCode) {
    const int c = t.code;
    if (isPointCode(c, 10))
        setPoint(td.position, t, 10);
    else if (isPointCode(c, 11)) {
        setPoint(td.alignmentPoint, t, 11);
        td.alignmentGiven = true;
    } else if (c == 40)
        td.height = num(t);
    else if (c == 1)
        td.text = text(t);
    else if (c == 50)
        td.rotation = normalizeAngle(num(t) * degToRad);
    else if (c == 41)
        td.widthFactor = num(t);
    else if (c == 51)
        td.oblique = num(t) * degToRad;
    else if (c == 7)
        td.style = name(t);
    else if (c == 71)
        td.generation = integer(t);
    else if (c == 72)
        td.horizontal = integer(t);
    else if (c == verticalCode)
        td.vertical = integer(t);
    else
        return false;
    return true;
}

// Fields both attribute kinds carry beyond the text.
bool Reader::applyAttribute(AttributeData& ad, const RawTag& t) {
    if (t.code == 2)
        ad.tag = name(t);
    else if (t.code == 70)
        ad.flags = integer(t);
    else if (t.code == 73)
        ad.fieldLength = integer(t);
    else
        return false;
    return true;
}

void Reader::readEntity(const QString& type, std::vector<RawTag>& rec, qint64 line, BlockDefinition* block) {
    Split& s = entitySplit_;
    split(rec, s);
    bool attribsFollow = false;
    EntityKind kind = entityKind(type, s, attribsFollow);

    std::vector<SubRecord> subs;
    const bool polyline = type == QLatin1String("POLYLINE");
    if (polyline || type == QLatin1String("INSERT")) readSubRecords(polyline, attribsFollow, subs);

    std::vector<const RawTag*> commonPart;
    Tags tail;
    const bool markers = partition(kind, s, commonPart, tail);
    std::vector<const RawTag*>& own = own_;

    HatchData hatch;
    Tags hatchExtras;
    if (kind == EntityKind::Hatch) {
        std::vector<const RawTag*> hatchOwn;
        for (const RawTag* t : markers ? own : commonPart)
            if (t->code != 100 && (markers || !isCommonEntityCode(t->code))) hatchOwn.push_back(t);
        // A hatch with parts the engine does not model (an edge of an unknown type...) stays as read.
        if (!parseHatch(hatchOwn, hatch, hatchExtras) || !tail.empty()) kind = EntityKind::Unknown;
    }

    Entity* e = db_->adoptEntity(block, kind, want(s.handle));
    adopted(s.handle, e);
    applyObject(e, s);
    if (kind == EntityKind::Unknown) {
        checkNumbers(s, subs);
        readRawEntity(e, type, s, subs);
        checkSpline(e, type, line);
        return;
    }

    // Common properties; the rest goes to the kind.
    for (const RawTag* t : commonPart)
        if (!applyCommon(e, *t)) {
            if (markers)
                e->commonTags.push_back(toTag(*t));
            else
                own.push_back(t);
        }

    if (kind == EntityKind::Hatch) {
        e->as<HatchData>() = std::move(hatch);
        e->extraTags.insert(e->extraTags.end(), hatchExtras.begin(), hatchExtras.end());
    } else {
        readKind(e, kind, subs, tail);
    }
    e->extraTags.insert(e->extraTags.end(), tail.begin(), tail.end());
}

// The kind the engine models the record as: Unknown (kept as read) for 3D and mesh polylines and
// for dimensions other than aligned and ordinate ones.
EntityKind Reader::entityKind(const QString& type, const Split& s, bool& attribsFollow) {
    EntityKind kind = kindOf(type);
    int flags70 = 0;
    for (const RawTag* t : s.body) {
        if (t->code == 70) flags70 = integer(*t);
        if (t->code == 66) attribsFollow = integer(*t) != 0;
    }
    if (kind == EntityKind::Polyline2d && (flags70 & (8 | 16 | 64))) kind = EntityKind::Unknown;
    if (kind == EntityKind::DimAligned) {
        const int dimType = flags70 & 7;
        kind = dimType == 1   ? EntityKind::DimAligned
               : dimType == 6 ? EntityKind::DimOrdinate
                              : EntityKind::Unknown;
    }
    return kind;
}

// Sub-records: VERTEX ... SEQEND after a POLYLINE, ATTRIB ... SEQEND after an INSERT.
void Reader::readSubRecords(bool polyline, bool attribsFollow, std::vector<SubRecord>& subs) {
    RawTag t;
    while (tk_.next(t)) {
        tk_.pushBack();
        const std::string_view v = trimmed(t.value);
        const bool belongs = polyline
                                 ? (v == "VERTEX" || v == "SEQEND")
                                 : (v == "ATTRIB" || (v == "SEQEND" && (attribsFollow || !subs.empty())));
        if (!belongs) break;
        SubRecord sr;
        qint64 l = 0;
        readRecord(sr.tags, sr.type, l);
        subs.push_back(std::move(sr));
        if (v == "SEQEND") break;
    }
}

// The record's parts: the common entity part (every code of files without subclass markers),
// the kind's own codes with its subclass markers (into own_), and from a subclass the kind does
// not know, or an embedded object (101), on, the tail kept as read after the kind's own data.
// True when the record has subclass markers.
bool Reader::partition(EntityKind kind, const Split& s, std::vector<const RawTag*>& commonPart, Tags& tail) {
    std::vector<const RawTag*>& own = own_;
    own.clear();
    bool markers = false;
    for (const RawTag* t : s.body)
        if (t->code == 100) markers = true;
    if (kind == EntityKind::Unknown) return markers;
    bool inEntityPart = !markers;
    for (const RawTag* t : s.body) {
        if (!tail.empty() || (t->code == 101 && markers) ||
            (t->code == 100 && !isKnownSubclass(trimmed(t->value)))) {
            tail.push_back(toTag(*t));
            continue;
        }
        if (t->code == 100) {
            inEntityPart = trimmed(t->value) == "AcDbEntity";
            if (!inEntityPart) own.push_back(t);  // kinds that care see their subclass markers
            continue;
        }
        if (inEntityPart || t->code == 39 || t->code == 210 || t->code == 220 || t->code == 230)
            commonPart.push_back(t);
        else
            own.push_back(t);
    }
    return markers;
}

// A kind the engine does not model, kept as read with its sub-records.
void Reader::readRawEntity(Entity* e, const QString& type, const Split& s,
                           const std::vector<SubRecord>& subs) {
    auto& raw = e->as<RawData>();
    raw.dxfName = type;
    // The writer patches the common codes of the AcDbEntity part (of the whole record in
    // files without subclass markers) back in from the entity: take exactly those.
    bool markers = false;
    for (const RawTag* t : s.body)
        if (t->code == 100) markers = true;
    bool inEntityPart = !markers;
    for (const RawTag* t : s.body) {
        if (t->code == 100) inEntityPart = trimmed(t->value) == "AcDbEntity";
        // The extrusion stays in the tags as read (written back from them) and is known to the
        // engine too, which places SOLID, TRACE and ELLIPSE by it.
        if (t->code == 210) e->normal.x = num(*t);
        if (t->code == 220) e->normal.y = num(*t);
        if (t->code == 230) e->normal.z = num(*t);
        if (!inEntityPart) {
            raw.tags.push_back(toTag(*t));
            continue;
        }
        switch (t->code) {
            case 8:
                db_->setLayerRaw(e, name(*t));
                break;
            case 62:
                e->color = integer(*t);
                break;
            case 6:
                e->linetype = name(*t);
                break;
            case 370:
                e->lineweight = integer(*t);
                break;
            case 60:
                e->visible = integer(*t) == 0;
                break;
            case 420:
                e->trueColor = integer(*t) & 0xFFFFFF;
                break;
            case 48:
                e->linetypeScale = num(*t);
                break;
            default:
                break;
        }
        raw.tags.push_back(toTag(*t));
    }
    for (const SubRecord& sr : subs) {
        raw.tags.push_back(Tag{0, sr.type});
        for (const RawTag& t : sr.tags) {
            raw.tags.push_back(toTag(t));
            if (t.code == 5) db_->raiseHandleSeed(toHandle(t) + 1);
        }
    }
}

}  // namespace cad::dxf::reading
