// Rebuilding the stream table from the component blocks, start markers and the attribute block.
#include "conflictor/streams/StreamReading.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/ComponentPlacement.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/KinematicCheck.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamPieces.h"
#include "conflictor/streams/StreamShape.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/engine/BlockNesting.h"
#include "platform/cad/engine/Ocs.h"
#include "platform/ui/core/Prompt.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <utility>

namespace conflictor {

namespace {

using common::ArePointsEqual;

struct StartMarker {
    QString name;
    PlanePoint point;
};

// Values of the record from the attribute table and the settings.
void fillRecord(StreamRecord& r, const QString& name) {
    SetStreamName(r, name);
    r.Group = common::ParseInteger(GetStreamAttribute(QStringLiteral("GRUPY"), r.BaseName));
    MainWindow().MaxGroupNumber = std::max(MainWindow().MaxGroupNumber, r.Group);
    r.Phases = GetStreamAttribute(QStringLiteral("FAZY"), r.BaseName);
    r.Description = GetStreamAttribute(QStringLiteral("OPISY"), r.Name);
    ReadKinematicValues(r);
}

// The start point of one stream from its start marker; X = 1e30 (Y kept) without one.
void readOneStartPoint(StreamRecord& r) {
    const QString layer = common::Settings.StreamLayerName;
    const QString handle = automation::FindBlockReferenceHandle(automation::CadModelSpace,
                                                                PatternText(IntersectionNumber) +
                                                                    QStringLiteral("^POCZATEK_STRUMIEN_") +
                                                                    r.Name + QStringLiteral("_*"),
                                                                cad::Variant(), layer);
    if (handle.isEmpty()) {
        r.StartPoint.X = common::MissingCoordinate;
        return;
    }
    const cad::Point p = automation::CadDocument.handleToObject(handle).insertionPoint();
    r.StartPoint = {p.x, p.y};
}

}  // namespace

namespace {

// Streams in the order of discovery, each with the sources of its components (reference handles,
// or block names when only names are read). Components are merged under exactly equal names.
struct FoundStreams {
    QList<QString> names;
    QList<QStringList> sources;
};

// The streams named by the component references of the intersection on the stream layer (only the
// wanted one unless `all`), from the names and handles of all the references in one read.
FoundStreams findStreams(bool all, const QString& wanted, bool namesOnly) {
    const QString layer = common::Settings.StreamLayerName;
    const QString prefix = IntersectionNumber + QStringLiteral("^STRUMIEN_");
    QString pattern = PatternText(IntersectionNumber) + QStringLiteral("^STRUMIEN_*");
    if (!all) pattern += QLatin1Char('^') + StreamNamePattern(wanted) + QLatin1Char('*');
    FoundStreams found;
    QHash<QString, int> byName;
    SetGuard ss(QStringLiteral("SS1"));
    for (const cad::Variant& row :
         cad::ReadProperties(automation::CadDocument, cad::ObjectsOf(ss.select(InsertFilter(pattern, layer))),
                             {QStringLiteral("Name"), QStringLiteral("Handle"), QStringLiteral("ObjectName")})) {
        const cad::VariantList values = row.toArray();
        // A block inserted in rows and columns is many pieces in one: named by the pieces' check.
        if (values.value(2).toText() == QLatin1String("AcDbMInsertBlock")) continue;
        const QString blockName = values.value(0).toText();
        const QString rest = blockName.mid(prefix.size());
        const int caret = int(rest.indexOf(QLatin1Char('^')));
        if (caret < 0) continue;
        const QString source = namesOnly ? blockName : values.value(1).toText();
        for (const QString& item : rest.mid(caret + 1).split(QLatin1Char('^'), Qt::SkipEmptyParts)) {
            if (!all && item.toUpper() != wanted.toUpper()) continue;
            if (StreamKindFromName(item) == 0) continue;
            auto it = byName.find(item);
            if (it == byName.end()) {
                it = byName.insert(item, int(found.names.size()));
                found.names.append(item);
                found.sources.append(QStringList());
            }
            found.sources[*it].append(source);
        }
    }
    return found;
}

// The start markers of the intersection, by stream name in capitals, in one read.
QList<StartMarker> readStartMarkers() {
    QList<StartMarker> startMarkers;
    const QString markerPrefix = IntersectionNumber + QStringLiteral("^POCZATEK_STRUMIEN_");
    SetGuard ss(QStringLiteral("SSPunkty"));
    for (const cad::Variant& row : cad::ReadProperties(
             automation::CadDocument,
             cad::ObjectsOf(
                 ss.select(InsertFilter(PatternText(IntersectionNumber) + QStringLiteral("^POCZATEK_STRUMIEN_*")))),
             {QStringLiteral("Name"), QStringLiteral("InsertionPoint")})) {
        const cad::VariantList values = row.toArray();
        QString name = values.value(0).toText().mid(markerPrefix.size());
        const int underscore = int(name.indexOf(QLatin1Char('_')));
        if (underscore >= 0) name = name.left(underscore);
        const cad::Point p = values.value(1).toPoint();
        startMarkers.append({name.toUpper(), {p.x, p.y}});
    }
    return startMarkers;
}

// Every component's geometry of the first `groups` streams found, in one read, by handle.
QHash<QString, SegmentRecord> readComponents(const FoundStreams& found, int groups) {
    QHash<QString, SegmentRecord> components;
    cad::VariantList handles;
    for (int g = 0; g < groups; ++g)
        for (int k = 0; k < std::min(int(found.sources[g].size()), MaxSegments); ++k)
            handles.append(cad::Variant(found.sources[g][k]));
    const cad::VariantList rows = ReadComponentRows(handles);
    for (qsizetype i = 0; i < rows.size(); ++i) components.insert(handles[i].toText(), StreamComponentFromRow(rows[i]));
    return components;
}

}  // namespace

bool OdczytajStrumienie(bool namesOnly, int index) {
    StreamWindow& window = MainWindow();
    struct RedrawOn {
        StreamWindow& w;
        ~RedrawOn() { w.setGridRedraw(true); }
    } redrawOn{window};

    const bool all = index < 0;
    if (!all && index >= int(StreamTable.size())) return false;
    const QString wanted = all ? QStringLiteral("*") : StreamTable[size_t(index)].Name;
    if (!automation::CheckDocumentOpen(false)) return false;

    automation::DrawingScale = automation::GetDrawingScale();
    window.MaxGroupNumber = 0;

    FoundStreams found = findStreams(all, wanted, namesOnly);
    const QList<StartMarker> startMarkers = !namesOnly && all ? readStartMarkers() : QList<StartMarker>();
    // The start point of each stream from the last of its markers, found once for all streams.
    QHash<QString, PlanePoint> startOf;
    for (const StartMarker& m : startMarkers) startOf.insert(m.name, m.point);
    // Every piece and marker of the intersection wherever it lies: those the reading passes over.
    const QList<DrawnStreamReference> drawn = namesOnly ? QList<DrawnStreamReference>() : FindStreamReferences();
    if (all && !namesOnly) StreamsOutsideTheTable.clear();
    if (found.names.isEmpty()) {
        if (all && !namesOnly) {
            // The table stays as it was, but a stream whose every piece was passed over is still named.
            const std::vector<StreamRecord> kept = std::exchange(StreamTable, {});
            StreamsOutsideTheTable = JudgeStreamReferences(drawn, -1);
            StreamTable = kept;
        }
        return false;
    }
    if (all) {
        StreamTable.clear();
        // One allocation for the table: growing it record by record moves every record each time.
        StreamTable.reserve(size_t(found.names.size()));
        ReadIntersectionAttributeBlock();
    }

    const int groups = all ? int(found.names.size()) : 1;
    // One stream is read back under its own spelling: names differing only in case (K1 and k1) are
    // two streams, and the first found must not overwrite the wanted one.
    if (!all) {
        const int own = int(found.names.indexOf(wanted));
        if (own > 0) {
            found.names.swapItemsAt(0, own);
            found.sources.swapItemsAt(0, own);
        }
    }
    const QHash<QString, SegmentRecord> components =
        namesOnly ? QHash<QString, SegmentRecord>() : readComponents(found, groups);
    for (int g = 0; g < groups; ++g) {
        window.yieldToMessageLoop();
        if (all) StreamTable.emplace_back();
        StreamRecord& r = all ? StreamTable.back() : StreamTable[size_t(index)];
        fillRecord(r, found.names[g]);
        // A stream has room for MaxSegments components; references beyond are left unread.
        const QStringList& sources = found.sources[g];
        const int count = std::min(int(sources.size()), MaxSegments);
        for (int k = 1; k <= count; ++k) {
            if (!namesOnly) {
                r.Segments[size_t(k)] = components.value(sources[k - 1]);
                r.Segments[size_t(k)].Handle = sources[k - 1];
                if (k > 1) window.yieldToMessageLoop();
            }
        }
        r.SegmentCount = count;
        r.ReferenceCount = int(sources.size());

        if (namesOnly) continue;
        if (!IsVehicleStream(r)) {
            r.StartPoint.X = common::MissingCoordinate;
        } else if (all) {
            r.StartPoint.X = common::MissingCoordinate;
            if (const auto it = startOf.constFind(r.Name.toUpper()); it != startOf.cend()) r.StartPoint = *it;
        } else {
            readOneStartPoint(r);
        }
    }

    if (all) {
        std::stable_partition(StreamTable.begin(), StreamTable.end(),
                              [](const StreamRecord& r) { return IsVehicleStream(r); });
    }
    if (!namesOnly) {
        const QStringList outside = JudgeStreamReferences(drawn, all ? -1 : index);
        if (all) StreamsOutsideTheTable = outside;
    }
    if (all) window.DodajStrumienDoGrida(-1);
    return true;
}

namespace {

// A block's entities as the reading takes them: a line's or arc's geometry, and the placement of a
// reference nested in the block.
enum PartField : int {
    PartObject,
    PartKind,
    PartStart,
    PartEnd,
    PartCentre,
    PartStartAngle,
    PartEndAngle,
    PartRadius,
    PartBlockName,
    PartInsertion,
    PartRotation,
    PartXScale,
    PartYScale,
    PartNormal,
    // In the rows handed on, the placement follows the arc's fields, then the placement with every
    // plane on the way laid flat (PlacedPiece).
    PartPlacement = PartBlockName,
    PartFlatPlacement
};

// A component's row: its block's name, its curves as placed, then what its walk left out.
enum ComponentField : int {
    ComponentName,
    ComponentParts,
    ComponentLeftOut,
    ComponentSelfInsertion,
    ComponentCut
};

const QStringList& partMembers() {
    static const QStringList members{
        QStringLiteral("ObjectName"), QStringLiteral("?StartPoint"),     QStringLiteral("?EndPoint"),
        QStringLiteral("?Center"),    QStringLiteral("?StartAngle"),     QStringLiteral("?EndAngle"),
        QStringLiteral("?Radius"),    QStringLiteral("?Name"),           QStringLiteral("?InsertionPoint"),
        QStringLiteral("?Rotation"),  QStringLiteral("?XScaleFactor"),   QStringLiteral("?YScaleFactor"),
        QStringLiteral("?Normal")};
    return members;
}

const QStringList& referenceMembers() {
    static const QStringList members{QStringLiteral("Name"), QStringLiteral("InsertionPoint"),
                                     QStringLiteral("Rotation"), QStringLiteral("XScaleFactor"),
                                     QStringLiteral("YScaleFactor"), QStringLiteral("?Normal")};
    return members;
}

// An entity's own coordinate system from its extrusion (an empty value is the world's).
cad::db::Ocs ocsOf(const cad::Variant& normal) {
    if (normal.isEmpty()) return cad::db::Ocs();
    const cad::Point n = normal.toPoint();
    return cad::db::Ocs({n.x, n.y, n.z});
}

// Where a piece is drawn from its block's coordinates, and where it would be drawn if every plane on
// the way lay flat (each OCS plan view replaced by the turn or mirror nearest to it): lengths under
// the two differ by what the plan projection of a tilted plane changes. Equal for planes parallel
// to XY.
struct PlacedPiece {
    cad::db::Transform2D drawn;
    cad::db::Transform2D flat;

    // This placement followed, inside, by the plan view of `ocs` at the elevation.
    PlacedPiece through(const cad::db::Ocs& ocs, double elevation) const {
        const cad::db::Transform2D plan = ocs.planTransform(elevation);
        return {drawn.after(plan), flat.after(ocs.parallelToXY() ? plan : NearestIsometry(plan))};
    }
    PlacedPiece after(const cad::db::Transform2D& inner) const {
        return {drawn.after(inner), flat.after(inner)};
    }
};

// The placement of a reference as drawn: its insertion point (a world point, as the object model
// answers it) taken into its OCS, the rotation and scales applied there, and the OCS's plan view
// after them, inside `outer`.
PlacedPiece placedReference(const PlacedPiece& outer, const cad::Point& insertion, double rotation,
                            double xScale, double yScale, const cad::Point& basePoint,
                            const cad::Variant& normal) {
    const cad::db::Ocs ocs = ocsOf(normal);
    if (ocs.isWorld()) return outer.after(ReferencePlacement(insertion, rotation, xScale, yScale, basePoint));
    const cad::db::Point3 at = ocs.fromWorld({insertion.x, insertion.y, insertion.z});
    return outer.through(ocs, at.z).after(
        ReferencePlacement(cad::Point{at.x, at.y, 0}, rotation, xScale, yScale, basePoint));
}

// An arc whose extrusion is not +Z, taken into its OCS, where its angles run counter-clockwise: its
// centre (a world point) and ends there, and the OCS's plan view after the placement.
void arcInItsOcs(cad::VariantList& part, PlacedPiece& placement) {
    const cad::db::Ocs ocs = ocsOf(part.value(PartNormal));
    if (ocs.isWorld() || part.value(PartKind).toText() != QLatin1String("AcDbArc")) return;
    const cad::Point c = part.value(PartCentre).toPoint();
    const cad::db::Point3 centre = ocs.fromWorld({c.x, c.y, c.z});
    const double r = part.value(PartRadius).toDouble();
    auto onArc = [&](double angle) {
        return cad::Variant(cad::Point{centre.x + r * std::cos(angle), centre.y + r * std::sin(angle), 0});
    };
    part[PartCentre] = cad::Variant(cad::Point{centre.x, centre.y, 0});
    part[PartStart] = onArc(part.value(PartStartAngle).toDouble());
    part[PartEnd] = onArc(part.value(PartEndAngle).toDouble());
    placement = placement.through(ocs, centre.z);
}

bool isReferencePart(const cad::VariantList& part) {
    return part.value(PartKind).toText() == QLatin1String("AcDbBlockReference");
}

// What the component references lead to beyond their own rows: the entities of every block a nested
// reference shows (by the reference's object), and the base point of every block met (by name in
// capitals), each level in one read. The levels go as deep as cadhost draws them: the component's
// block is the first of cad::db::MaxBlockNesting.
struct NestedBlocks {
    QHash<cad::ObjectId, cad::VariantList> parts;
    QHash<QString, cad::Point> basePoints;

    void readLevels(const cad::VariantList& rows) {
        QStringList names;
        cad::VariantList frontier;
        // A reference object is asked for once, however many references show the block holding it:
        // blocks that insert the next one twice at every level would double the reads each level.
        QSet<cad::ObjectId> asked;
        auto collect = [&](const cad::VariantList& partRows) {
            for (const cad::Variant& p : partRows) {
                const cad::VariantList part = p.toArray();
                if (!isReferencePart(part)) continue;
                names << part.value(PartBlockName).toText();
                const cad::ObjectId id = part.value(PartObject).toObject();
                if (asked.contains(id)) continue;
                asked.insert(id);
                frontier.append(cad::Variant(cad::ObjectRef{id}));
            }
        };
        for (const cad::Variant& row : rows) {
            const cad::VariantList values = row.toArray();
            names << values.value(0).toText();
            collect(values.value(referenceMembers().size()).toArray());
        }
        // Each reference object is read once, so a block that inserts itself ends the reading too.
        for (int level = 2; level <= cad::db::MaxBlockNesting && !frontier.isEmpty(); ++level) {
            const cad::VariantList nested =
                cad::ReadProperties(automation::CadDocument, frontier, {QStringLiteral("Name")}, partMembers());
            const cad::VariantList read = std::exchange(frontier, {});
            for (qsizetype i = 0; i < read.size(); ++i) {
                const cad::VariantList partRows = nested.value(i).toArray().value(1).toArray();
                parts.insert(read[i].toObject(), partRows);
                collect(partRows);
            }
        }
        readBasePoints(names);
    }

    cad::Point basePoint(const QString& blockName) const { return basePoints.value(blockName.toUpper()); }

private:
    void readBasePoints(const QStringList& names) {
        cad::VariantList targets;
        QList<cad::VariantList> asked;
        QStringList keys;
        QSet<QString> seen;
        const cad::Blocks blocks = automation::CadDocument.blocks();
        for (const QString& name : names) {
            const QString key = name.toUpper();
            if (key.isEmpty() || seen.contains(key)) continue;
            seen.insert(key);
            keys << key;
            targets << cad::Variant(blocks.ref());
            asked << cad::VariantList{cad::Variant(name)};
        }
        if (targets.isEmpty()) return;
        const cad::VariantList found = cad::CallEachWith(automation::CadDocument, targets, QStringLiteral("Item"), asked);
        cad::VariantList objects;
        for (const cad::Variant& b : found) objects << cad::Variant(cad::ObjectRef{b.toObject()});
        const cad::VariantList origins =
            cad::ReadProperties(automation::CadDocument, objects, {QStringLiteral("Origin")});
        for (qsizetype i = 0; i < keys.size(); ++i)
            basePoints.insert(keys[i], origins.value(i).toArray().value(0).toPoint());
    }
};

// One component's walk through its block and the blocks nested in it: the blocks open on the way
// (the component's own first), the curves found, and what it could not follow.
struct ComponentWalk {
    ComponentWalk(const NestedBlocks& blocks, const QString& component) : nested(blocks), open{component} {}

    const NestedBlocks& nested;
    QStringList open;
    cad::VariantList out;
    long long leftOut = 0;      // references past MaxBlockNesting, not followed
    QStringList selfInsertion;  // the first block met inside itself, then the blocks between
    int parts = 0;
    bool cut = false;  // stopped at MostComponentParts

    // The block's lines and arcs in drawing order, nested references' in their place, each with the
    // placement that draws it; a reference's own placement is composed with the one it sits in.
    void flatten(const cad::VariantList& partRows, const PlacedPiece& placement) {
        for (const cad::Variant& p : partRows) {
            if (++parts > MostComponentParts) {
                cut = true;
                return;
            }
            cad::VariantList part = p.toArray();
            if (isReferencePart(part)) {
                const QString name = part.value(PartBlockName).toText();
                const qsizetype again = openIndex(name);
                if (again >= 0) {
                    if (selfInsertion.isEmpty()) selfInsertion = open.mid(again);
                    continue;
                }
                if (open.size() >= cad::db::MaxBlockNesting) {
                    ++leftOut;
                    continue;
                }
                const PlacedPiece inner = placedReference(
                    placement, part.value(PartInsertion).toPoint(), part.value(PartRotation).toDouble(),
                    part.value(PartXScale).toDouble(), part.value(PartYScale).toDouble(),
                    nested.basePoint(name), part.value(PartNormal));
                open.append(name);
                flatten(nested.parts.value(part.value(PartObject).toObject()), inner);
                open.removeLast();
                if (cut) return;
                continue;
            }
            PlacedPiece drawn = placement;
            arcInItsOcs(part, drawn);
            part.resize(PartPlacement);
            part.append(PlacementValue(drawn.drawn));
            part.append(PlacementValue(drawn.flat));
            out.append(cad::Variant(part));
        }
    }

private:
    qsizetype openIndex(const QString& name) const {
        for (qsizetype i = 0; i < open.size(); ++i)
            if (open[i].compare(name, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
};

// The most a plan projection may change a piece, in drawing units: a centimetre of the road, below
// the tenth of a metre the lengths are written in.
double planTolerance() {
    return 0.01 * std::max(1, automation::DrawingScale);
}

}  // namespace

cad::VariantList ReadComponentRows(const cad::VariantList& referenceHandles) {
    if (referenceHandles.isEmpty()) return {};
    const cad::VariantList read =
        cad::ReadProperties(automation::CadDocument, referenceHandles, referenceMembers(), partMembers());
    NestedBlocks nested;
    nested.readLevels(read);
    cad::VariantList rows;
    rows.reserve(read.size());
    for (const cad::Variant& r : read) {
        const cad::VariantList values = r.toArray();
        const QString name = values.value(0).toText();
        const PlacedPiece placement = placedReference(
            {}, values.value(1).toPoint(), values.value(2).toDouble(), values.value(3).toDouble(),
            values.value(4).toDouble(), nested.basePoint(name), values.value(5));
        ComponentWalk walk(nested, name);
        walk.flatten(values.value(referenceMembers().size()).toArray(), placement);
        cad::VariantList selfInsertion;
        for (const QString& block : std::as_const(walk.selfInsertion)) selfInsertion << cad::Variant(block);
        rows.append(cad::Variant(cad::VariantList{cad::Variant(name), cad::Variant(walk.out),
                                                  cad::Variant(qint64(walk.leftOut)),
                                                  cad::Variant(selfInsertion), cad::Variant(walk.cut)}));
    }
    return rows;
}

SegmentRecord StreamComponentFromRow(const cad::Variant& row) {
    SegmentRecord segment;
    const cad::VariantList values = row.toArray();
    segment.Label = values.value(ComponentName).toText();
    segment.NestingLeftOut = values.value(ComponentLeftOut).toInt();
    for (const cad::Variant& name : values.value(ComponentSelfInsertion).toArray())
        segment.SelfInsertion << name.toText();
    segment.PartsLeftOut = values.value(ComponentCut).toBool();
    segment.CurveCount = 0;
    // As ReadSegmentGeometry reads them, each where its placement draws it; the last line or arc of
    // the block counts. A split changes the first one.
    cad::db::Transform2D placement, flat;
    for (const cad::Variant& part : values.value(ComponentParts).toArray()) {
        const cad::VariantList e = part.toArray();
        const QString kind = e.value(PartKind).toText();
        if (kind != QLatin1String("AcDbLine") && kind != QLatin1String("AcDbArc")) continue;
        if (segment.Curve == 0) segment.Curve = e.value(PartObject).toObject();
        ++segment.CurveCount;
        const cad::Point s = e.value(PartStart).toPoint();
        const cad::Point t = e.value(PartEnd).toPoint();
        segment.StartPoint = {s.x, s.y};
        segment.EndPoint = {t.x, t.y};
        segment.IsLine = kind == QLatin1String("AcDbLine");
        placement = PlacementFromValue(e.value(PartPlacement));
        flat = PlacementFromValue(e.value(PartFlatPlacement));
        if (segment.IsLine) continue;
        const cad::Point c = e.value(PartCentre).toPoint();
        segment.Center = {c.x, c.y};
        segment.StartAngle = e.value(PartStartAngle).toDouble();
        segment.EndAngle = e.value(PartEndAngle).toDouble();
        segment.Radius = e.value(PartRadius).toDouble();
    }
    // A plane tilted against XY shortens the piece in the plan. What it changes within the tolerance
    // (a plane off XY by rounding noise) leaves the piece as measurable as one in XY, and an arc's
    // plan view a circle as far as the drawing can tell; more, and the plan is no measure of it.
    if (segment.CurveCount > 0 && !(flat == placement)) {
        const double tolerance = planTolerance();
        segment.Tilted = PlanChange(segment, placement, flat) > tolerance;
        PlaceSegment(segment, placement, tolerance);
    } else {
        PlaceSegment(segment, placement);
    }
    return segment;
}

SegmentRecord ReadStreamComponent(const QString& handle) {
    const cad::VariantList rows = ReadComponentRows({cad::Variant(handle)});
    return rows.isEmpty() ? SegmentRecord() : StreamComponentFromRow(rows.first());
}

void ReadSegmentGeometry(const cad::Entity& entity, SegmentRecord& segment) {
    const cad::Point s = entity.startPoint();
    const cad::Point e = entity.endPoint();
    segment.StartPoint = {s.x, s.y};
    segment.EndPoint = {e.x, e.y};
    if (entity.objectName() == QLatin1String("AcDbLine")) {
        segment.IsLine = true;
        return;
    }
    segment.IsLine = false;
    const cad::Point c = entity.center();
    segment.Center = {c.x, c.y};
    segment.StartAngle = entity.startAngle();
    segment.EndAngle = entity.endAngle();
    segment.Radius = entity.radius();
}

void ReadKinematicValues(StreamRecord& r) {
    auto value = [&](const char* tag) {
        const QString t = QString::fromLatin1(tag);
        return CheckValue(t, GetStreamAttribute(t, r.Name), r.Kind);
    };
    r.ClearStraightSpeed = value("PROSTA_EWAK");
    if (r.Kind != KindPedestrian && r.Kind != KindBicycle) {
        r.VehicleLength = value("DLUG_POJ");
        r.ApproachStraightSpeed = value("PROSTA_DOJAZD");
        r.ApproachArcSpeed = value("LUK_DOJAZD");
        r.ClearArcSpeed = value("LUK_EWAK");
        r.MaxAcceleration = value("MAKS_PRZYSP");
    }
}

bool SortujOdcinkiStrumienia(int index) {
    if (index < 0 || index >= int(StreamTable.size())) return true;
    StreamRecord& r = StreamTable[size_t(index)];
    const int count = std::min(r.SegmentCount, MaxSegments);
    if (!IsVehicleStream(r)) {
        for (int k = 1; k <= count; ++k) r.Segments[size_t(k)].Order = k;
        return true;
    }
    std::vector<bool> used(size_t(count) + 1, false);
    PlanePoint walk = r.StartPoint;
    int n = 1;
    while (n <= count) {
        int match = 0;
        for (int k = 1; k <= count && match == 0; ++k) {
            if (used[size_t(k)]) continue;
            const SegmentRecord& s = r.Segments[size_t(k)];
            if (ArePointsEqual(s.StartPoint, walk)) {
                walk = s.EndPoint;
                match = k;
            } else if (ArePointsEqual(s.EndPoint, walk)) {
                walk = s.StartPoint;
                match = k;
            }
        }
        if (match == 0) {
            // The chain breaks here: the rest follow in index order.
            for (int k = 1; k <= count; ++k)
                if (!used[size_t(k)]) {
                    r.Segments[size_t(k)].Order = n++;
                    used[size_t(k)] = true;
                }
            break;
        }
        r.Segments[size_t(match)].Order = n++;
        used[size_t(match)] = true;
    }
    return true;
}

common::PlanePointPair GetStreamEndPoints(int index, bool checkStart, int& firstSegment, int& secondSegment) {
    const PlanePoint none{common::MissingCoordinate, common::MissingCoordinate};
    if (index < 0 || index >= int(StreamTable.size())) return {common::MissingPoint(), none};
    const StreamRecord& r = StreamTable[size_t(index)];
    const StreamShape shape = CheckStreamShape(r, checkStart);
    if (shape.Fault.isEmpty()) {
        firstSegment = shape.FirstSegment;
        secondSegment = shape.SecondSegment;
        return shape.Ends;
    }
    ui::MsgBox(common::Tlumacz(shape.Name + shape.Fault), ui::OkOnly);
    ZaznaczStrumien(index, common::Settings.PisakZaznaczenia, false);
    return {common::MissingPoint(), none};
}

int CollectPhaseNumbers(std::vector<int>& phases) {
    std::vector<int> found;
    for (const StreamRecord& r : StreamTable) {
        if (r.Phases.isEmpty()) continue;
        for (const QString& item : r.Phases.split(QLatin1Char(','))) {
            const int n = common::ParseInteger(item);
            if (n >= 1) found.push_back(n);
        }
    }
    if (found.empty()) return -1;
    common::SortIntegerArray(found);
    phases.clear();
    for (int n : found)
        if (phases.empty() || n > phases.back()) phases.push_back(n);
    return int(phases.size()) - 1;
}

}  // namespace conflictor
