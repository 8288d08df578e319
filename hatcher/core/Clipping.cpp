// Cutting lines, arcs, circles, polylines, block references and other entities to a circle.
#include "hatcher/core/Clipping.h"

#include "automation/Automation.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/engine/BlockNesting.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace hatcher {

using automation::CadModelSpace;
using common::PlanePoint;

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

PlanePoint pp(const cad::Point& p) {
    return {p.x, p.y};
}
cad::Point cp(const PlanePoint& p) {
    return {p.X, p.Y, 0};
}
bool inside(const PlanePoint& p, const PlanePoint& c, double r) {
    return common::GetDistance(p, c) <= r;
}

// Where a cut records what it took: the handles at once, or the pieces themselves, whose handles
// the caller reads together once every cut is made.
struct Taken {
    QStringList* handles = nullptr;
    QList<cad::Entity>* held = nullptr;
    explicit operator bool() const { return handles || held; }
    qsizetype size() const { return held ? held->size() : handles ? handles->size() : 0; }
    void add(const cad::Entity& e) const {
        if (held)
            held->append(e);
        else if (handles)
            handles->append(e.handle());
    }
};

// Moves a piece into the pattern and records it.
void take(const cad::Entity& e, const PlanePoint& c, const PlanePoint& t, const Taken& taken) {
    e.move(cp(c), cp(t));
    taken.add(e);
}

// An angle in 0..2π.
double inTurn(double a) {
    a = std::fmod(a, TwoPi);
    return a < 0 ? a + TwoPi : a;
}

// An arc's own angles (as stored, in its coordinate system) as world angles in the record.
void setArcAngles(ClipSegmentRecord& rec, double start, double end, const cad::Point& normal) {
    rec.Mirrored = normal.z < 0;
    rec.StartAngle = rec.Mirrored ? inTurn(std::numbers::pi - end) : start;
    rec.EndAngle = rec.Mirrored ? inTurn(std::numbers::pi - start) : end;
}

// Sets where a piece of an arc begins or ends in the plan, given as a world angle.
void setWorldStart(const cad::Entity& arc, double a, bool mirrored) {
    if (mirrored)
        arc.setEndAngle(inTurn(std::numbers::pi - a));
    else
        arc.setStartAngle(a);
}
void setWorldEnd(const cad::Entity& arc, double a, bool mirrored) {
    if (mirrored)
        arc.setStartAngle(inTurn(std::numbers::pi - a));
    else
        arc.setEndAngle(a);
}

// Kinds whose cut starts from their extents.
bool needsBox(const QString& name) {
    return name != QLatin1String("AcDbLine") && name != QLatin1String("AcDbArc") &&
           name != QLatin1String("AcDbHatch") && name != QLatin1String("AcDbRasterImage");
}

// The bounding-box test: 1 when the box lies inside (the entity is taken whole), 0 when the box misses
// the circle (nothing is taken), -1 when it straddles the circle and the entity has to be cut.
const std::pair<cad::Point, cad::Point>& boxOf(const ClipFacts& facts) {
    if (!facts.HasBox) throw cad::Failed(QStringLiteral("The entity has no extents"));
    return facts.Box;
}

int takeWholeOrNothing(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
                       bool makeCopy, const PlanePoint& t, const Taken& taken) {
    const auto& box = boxOf(facts);
    bool any = false, all = false;
    BoxCornersInCircle(box, c, r, any, all);
    if (all) {
        take(makeCopy ? entity.copy() : entity, c, t, taken);
        return 1;
    }
    return BoxTouchesCircle(box, c, r) ? -1 : 0;
}

bool clipLine(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r, bool makeCopy,
              const PlanePoint& t, const Taken& taken, bool& result) {
    const ClipSegmentRecord& rec = facts.Segment;
    const int colour = facts.Colour;
    const QString& layer = facts.Layer;
    const bool in1 = inside(rec.StartPoint, c, r), in2 = inside(rec.EndPoint, c, r);
    const common::PlanePointPair x = common::IntersectLineCircle(rec.StartPoint, rec.EndPoint, c, r);
    auto onSegment = [&](const PlanePoint& p) {
        return !common::IsMissingPoint(p) && common::IsPointOnSegment(p, rec.StartPoint, rec.EndPoint);
    };
    cad::Entity work;
    if (in1 && in2) {
        work = makeCopy ? entity.copy() : entity;
    } else if (in1 || in2) {
        PlanePoint p = common::MissingPoint();
        if (onSegment(x.First))
            p = x.First;
        else if (onSegment(x.Second))
            p = x.Second;
        if (common::IsMissingPoint(p)) return false;
        work = makeCopy ? entity.copy() : entity;
        if (in1)
            work.setEndPoint(cp(p));
        else
            work.setStartPoint(cp(p));
    } else {
        if (!onSegment(x.First) || !onSegment(x.Second) || common::ArePointsEqual(x.First, x.Second)) {
            result = false;
            return false;
        }
        work = makeCopy ? entity.copy() : entity;
        work.setStartPoint(cp(x.First));
        work.setEndPoint(cp(x.Second));
    }
    work.setColor(colour);
    work.setLayer(layer);
    take(work, c, t, taken);
    return true;
}

bool clipArc(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r, bool makeCopy,
             const PlanePoint& t, const Taken& taken) {
    const ClipSegmentRecord& rec = facts.Segment;
    const int colour = facts.Colour;
    const QString& layer = facts.Layer;
    const bool in1 = inside(rec.StartPoint, c, r), in2 = inside(rec.EndPoint, c, r);
    const common::PlanePointPair x = common::IntersectCircles(rec.Center, rec.Radius, c, r);
    auto onArc = [&](const PlanePoint& p) {
        return !common::IsMissingPoint(p) &&
               common::IsPointOnArc(p, rec.Center, rec.Radius, rec.StartAngle, rec.EndAngle);
    };
    const bool twoCrossings = onArc(x.First) && onArc(x.Second) && !common::ArePointsEqual(x.First, x.Second);
    auto finish = [&](const cad::Entity& piece) {
        piece.setColor(colour);
        piece.setLayer(layer);
        take(piece, c, t, taken);
    };
    const double a1 = twoCrossings ? common::GetDirectionAngle(rec.Center, x.First) : 0;
    const double a2 = twoCrossings ? common::GetDirectionAngle(rec.Center, x.Second) : 0;
    const double s1 = common::GetArcLength(rec.Radius, rec.StartAngle, a1);
    const double s2 = common::GetArcLength(rec.Radius, rec.StartAngle, a2);
    if (in1 && in2) {
        const cad::Entity first = makeCopy ? entity.copy() : entity;
        if (twoCrossings) {
            const cad::Entity second = entity.copy();
            setWorldEnd(first, s1 <= s2 ? a1 : a2, rec.Mirrored);
            setWorldStart(second, s1 <= s2 ? a2 : a1, rec.Mirrored);
            finish(second);
        }
        finish(first);
        return true;
    }
    if (in1 || in2) {
        PlanePoint p = common::MissingPoint();
        if (onArc(x.First))
            p = x.First;
        else if (onArc(x.Second))
            p = x.Second;
        if (common::IsMissingPoint(p)) return false;
        const double a = common::GetDirectionAngle(rec.Center, p);
        const bool same = common::ArePointsEqual(
            common::GetPolarPoint(rec.Center, rec.StartAngle, rec.Radius), rec.StartPoint);
        const cad::Entity work = makeCopy ? entity.copy() : entity;
        if (in1 == same)
            setWorldEnd(work, a, rec.Mirrored);
        else
            setWorldStart(work, a, rec.Mirrored);
        finish(work);
        return true;
    }
    if (!twoCrossings) return false;
    const cad::Entity work = makeCopy ? entity.copy() : entity;
    setWorldStart(work, s1 <= s2 ? a1 : a2, rec.Mirrored);
    setWorldEnd(work, s1 <= s2 ? a2 : a1, rec.Mirrored);
    finish(work);
    return true;
}

bool clipCircle(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
                bool makeCopy, const PlanePoint& t, const Taken& taken) {
    const ClipSegmentRecord& rec = facts.Segment;
    if (const int whole = takeWholeOrNothing(entity, facts, c, r, makeCopy, t, taken); whole >= 0)
        return whole == 1;
    const common::PlanePointPair x = common::IntersectCircles(rec.Center, rec.Radius, c, r);
    if (common::IsMissingPoint(x.First) || common::IsMissingPoint(x.Second) ||
        common::ArePointsEqual(x.First, x.Second)) {
        // No crossing: the whole circle lies inside the clip circle or around it.
        if (inside(rec.Center, c, r) && rec.Radius <= r) {
            take(makeCopy ? entity.copy() : entity, c, t, taken);
            return true;
        }
        return false;
    }
    const int colour = facts.Colour;
    const QString& layer = facts.Layer;
    if (!makeCopy) entity.erase();
    double a1 = common::GetDirectionAngle(rec.Center, x.First);
    double a2 = common::GetDirectionAngle(rec.Center, x.Second);
    if (a1 > a2) std::swap(a1, a2);
    const double m = a1 + (a2 - a1) / 2;
    if (common::GetDistance(common::GetPolarPoint(rec.Center, m, rec.Radius), c) > r) std::swap(a1, a2);
    const cad::Entity arc = CadModelSpace.addArc(cp(rec.Center), rec.Radius, a1, a2);
    arc.setColor(colour);
    arc.setLayer(layer);
    take(arc, c, t, taken);
    return true;
}

// The hatches among a block's pieces, cut in place: a piece of the copy, deleted with the rest of it
// where its cut fails.
void cutHatchPieces(const QList<cad::Entity>& pieces, const QList<ClipFacts>& pieceFacts, const PlanePoint& c,
                    double r, const PlanePoint& t, const Taken& taken) {
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (pieceFacts[i].Name.isEmpty()) throw cad::Failed(QStringLiteral("The piece cannot be read"));
        if (pieceFacts[i].Name != QLatin1String("AcDbHatch")) continue;
        try {
            ClipEntityToCircle(pieces[i], pieceFacts[i], c, r, false, t, false, taken.handles);
        } catch (const cad::Error&) {
            NoteLeftOutCut();  // the piece goes with the rest of the copy below
        }
    }
}

// Cuts each piece in place, deleting what gives nothing: hatches (cut before, when of a block) and
// attribute definitions go, and so does a piece whose cut fails half-way (it must not stay where the
// block stood).
void cutPieces(const QList<cad::Entity>& pieces, const QList<ClipFacts>& pieceFacts, const PlanePoint& c,
               double r, const PlanePoint& t, const Taken& taken) {
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const cad::Entity& piece = pieces[i];
        const QString& name = pieceFacts[i].Name;
        try {
            if (name.isEmpty()) throw cad::Failed(QStringLiteral("The piece cannot be read"));
            if (name == QLatin1String("AcDbHatch") || name == QLatin1String("AcDbAttributeDefinition"))
                piece.erase();
            else
                ClipEntityToCircle(piece, pieceFacts[i], c, r, false, t, true, taken.handles);
        } catch (const cad::Error&) {
            NoteLeftOutCut();
            try {
                piece.erase();
            } catch (const cad::Error&) {
                NoteLeftOutCut();  // the uncut piece stays where the block stood
            }
        }
    }
}

// The blocks whose references are being cut, outermost first: how deep the walk is, and what a block
// that inserts itself comes back to.
QStringList openBlocks;
// What the walk left out in the current command: references, and the blocks that insert themselves.
long long nestedLeftOut = 0;
QStringList selfInsertions;

// A reference being cut, its block on the walk while its pieces are cut.
class OpenBlock {
public:
    explicit OpenBlock(const QString& block) { openBlocks.append(block); }
    ~OpenBlock() { openBlocks.removeLast(); }
    OpenBlock(const OpenBlock&) = delete;
    OpenBlock& operator=(const OpenBlock&) = delete;
};

// False (the reference counted as left out) for a reference whose block is being cut already, or one
// nested past the depth every walk over block references stops at.
bool mayOpen(const QString& block) {
    for (qsizetype i = 0; i < openBlocks.size(); ++i)
        if (openBlocks[i].compare(block, Qt::CaseInsensitive) == 0) {
            ++nestedLeftOut;
            const QString note = cad::db::selfInsertionNote(openBlocks.mid(i));
            if (!selfInsertions.contains(note)) selfInsertions << note;
            return false;
        }
    if (openBlocks.size() < cad::db::MaxBlockNesting) return true;
    ++nestedLeftOut;
    return false;
}

bool clipExplodable(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
                    bool makeCopy, const PlanePoint& t, const Taken& taken) {
    if (const int whole = takeWholeOrNothing(entity, facts, c, r, makeCopy, t, taken); whole >= 0)
        return whole == 1;
    const bool reference = facts.Name == QLatin1String("AcDbBlockReference");
    if (reference && !mayOpen(facts.Block)) return false;
    std::optional<OpenBlock> open;
    if (reference) open.emplace(facts.Block);
    const cad::Entity work = makeCopy ? entity.copy() : entity;
    QList<cad::Entity> pieces;
    if (!ExplodeEntity(work, pieces)) {
        take(work, c, t, taken);
        return true;
    }
    work.erase();
    const qsizetype before = taken.size();
    // The pieces' facts together: cutting one piece changes no other.
    const QList<ClipFacts> pieceFacts = ReadClipFacts(pieces);
    if (reference) cutHatchPieces(pieces, pieceFacts, c, r, t, taken);
    cutPieces(pieces, pieceFacts, c, r, t, taken);
    return !taken || taken.size() > before;
}

}  // namespace

ClipSegmentRecord EntityToSegment(const cad::Entity& entity, bool withHandle) {
    ClipSegmentRecord rec;
    const QString name = entity.objectName();
    rec.IsLine = name == QLatin1String("AcDbLine");
    if (name != QLatin1String("AcDbCircle")) {
        rec.StartPoint = pp(entity.startPoint());
        rec.EndPoint = pp(entity.endPoint());
    }
    if (!rec.IsLine) {
        rec.Center = pp(entity.center());
        rec.Radius = entity.radius();
        if (name == QLatin1String("AcDbCircle")) {
            rec.StartAngle = 0;
            rec.EndAngle = TwoPi;
        } else {
            setArcAngles(rec, entity.startAngle(), entity.endAngle(),
                         entity.get(QStringLiteral("Normal")).toPoint());
        }
    }
    if (withHandle) rec.Handle = entity.handle();
    return rec;
}

void BoxCornersInCircle(const std::pair<cad::Point, cad::Point>& box, const PlanePoint& c, double r,
                        bool& any, bool& all) {
    const PlanePoint corners[4] = {{box.first.x, box.second.y},
                                   {box.second.x, box.second.y},
                                   {box.first.x, box.first.y},
                                   {box.second.x, box.first.y}};
    any = false;
    all = true;
    for (const PlanePoint& p : corners) {
        const bool in = common::GetDistance(p, c) - 1E-30 < r;
        any = any || in;
        all = all && in;
    }
}

bool BoxTouchesCircle(const std::pair<cad::Point, cad::Point>& box, const PlanePoint& c, double r) {
    const double nx = std::clamp(c.X, box.first.x, box.second.x);
    const double ny = std::clamp(c.Y, box.first.y, box.second.y);
    return std::hypot(nx - c.X, ny - c.Y) <= r;
}

bool IsClosedChain(const std::vector<ClipSegmentRecord>& records) {
    if (records.size() < 2) return false;
    for (size_t i = 0; i < records.size(); ++i)
        for (const PlanePoint& end : {records[i].StartPoint, records[i].EndPoint}) {
            int meets = 0;
            for (size_t j = 0; j < records.size(); ++j) {
                if (j == i) continue;
                if (common::ArePointsEqual(end, records[j].StartPoint)) ++meets;
                if (common::ArePointsEqual(end, records[j].EndPoint)) ++meets;
            }
            if (meets != 1) return false;
        }
    return true;
}

cad::Entity AddSolidHatch() {
    return CadModelSpace.addHatch(0, QStringLiteral("SOLID"), true);
}

bool ExplodeEntity(const cad::Entity& entity, QList<cad::Entity>& pieces) {
    // "?": the explosion's own refusal answers nothing; any other failure is thrown as it comes.
    const cad::Variant answer =
        cad::CallEach(automation::CadDocument, {cad::Variant(entity.ref())}, QStringLiteral("?Explode"))
            .value(0);
    if (answer.isEmpty()) return false;
    pieces.clear();
    for (const cad::Variant& v : answer.toArray()) pieces << cad::Entity(entity.channel(), v.toObject());
    return true;
}

QStringList& LeftOutCuts() {
    static QStringList leftOut;
    return leftOut;
}

QStringList LeftOutNestingNotes() {
    QStringList notes;
    if (nestedLeftOut > 0) notes << cad::db::nestingLeftOutNote(nestedLeftOut);
    return notes + selfInsertions;
}

void ClearLeftOutCuts() {
    LeftOutCuts().clear();
    nestedLeftOut = 0;
    selfInsertions.clear();
}

void NoteLeftOutCut() {
    try {
        throw;
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error& e) {
        LeftOutCuts() << e.message();
    }
}

bool ClipEntityToCircle(const cad::Entity& entity, const PlanePoint& c, double r, bool makeCopy,
                        const PlanePoint& t, bool deleteOriginal, QStringList* taken) {
    return ClipEntityToCircle(entity, ReadClipFacts({entity}).value(0), c, r, makeCopy, t, deleteOriginal,
                              taken);
}

QList<ClipFacts> ReadClipFacts(const QList<cad::Entity>& entities) {
    QList<ClipFacts> out(entities.size());
    if (entities.isEmpty()) return out;
    // The kinds, layers and colours of all; then each kind's geometry, and the extents of the kinds
    // tested by their box. "?" keeps one entity that cannot be read from failing the others: its
    // own clipping fails instead, as its own read would have.
    const cad::VariantList common = cad::ReadProperties(
        automation::CadDocument, cad::ObjectsOf(entities),
        {QStringLiteral("?ObjectName"), QStringLiteral("?Layer"), QStringLiteral("?Color")});
    QList<qsizetype> lines, arcs, circles, hatches, boxed, references;
    for (qsizetype i = 0; i < entities.size(); ++i) {
        const cad::VariantList row = common.value(i).toArray();
        ClipFacts& f = out[i];
        f.Name = row.value(0).toText();
        f.Layer = row.value(1).toText();
        f.Colour = int(row.value(2).toInt());
        f.Segment.IsLine = f.Name == QLatin1String("AcDbLine");
        if (f.Name.isEmpty() || row.value(1).isEmpty() || row.value(2).isEmpty()) {
            f.Name.clear();
            continue;
        }
        if (f.Name == QLatin1String("AcDbLine"))
            lines << i;
        else if (f.Name == QLatin1String("AcDbArc"))
            arcs << i;
        else if (f.Name == QLatin1String("AcDbCircle"))
            circles << i;
        else if (f.Name == QLatin1String("AcDbHatch"))
            hatches << i;
        else if (f.Name == QLatin1String("AcDbBlockReference"))
            references << i;
        if (needsBox(f.Name)) boxed << i;
    }
    auto read = [&](const QList<qsizetype>& which, const QStringList& members) {
        QList<cad::Entity> group;
        for (qsizetype i : which) group << entities[i];
        return group.isEmpty() ? cad::VariantList()
                               : cad::ReadProperties(automation::CadDocument, cad::ObjectsOf(group), members);
    };
    const cad::VariantList lineRows = read(lines, {QStringLiteral("StartPoint"), QStringLiteral("EndPoint")});
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const cad::VariantList row = lineRows.value(k).toArray();
        ClipSegmentRecord& s = out[lines[k]].Segment;
        s.StartPoint = pp(row.value(0).toPoint());
        s.EndPoint = pp(row.value(1).toPoint());
    }
    const cad::VariantList arcRows =
        read(arcs, {QStringLiteral("StartPoint"), QStringLiteral("EndPoint"), QStringLiteral("Center"),
                    QStringLiteral("Radius"), QStringLiteral("StartAngle"), QStringLiteral("EndAngle"),
                    QStringLiteral("Normal")});
    for (qsizetype k = 0; k < arcs.size(); ++k) {
        const cad::VariantList row = arcRows.value(k).toArray();
        ClipSegmentRecord& s = out[arcs[k]].Segment;
        s.StartPoint = pp(row.value(0).toPoint());
        s.EndPoint = pp(row.value(1).toPoint());
        s.Center = pp(row.value(2).toPoint());
        s.Radius = row.value(3).toDouble();
        setArcAngles(s, row.value(4).toDouble(), row.value(5).toDouble(), row.value(6).toPoint());
    }
    const cad::VariantList circleRows = read(circles, {QStringLiteral("Center"), QStringLiteral("Radius")});
    for (qsizetype k = 0; k < circles.size(); ++k) {
        const cad::VariantList row = circleRows.value(k).toArray();
        ClipSegmentRecord& s = out[circles[k]].Segment;
        s.Center = pp(row.value(0).toPoint());
        s.Radius = row.value(1).toDouble();
        s.StartAngle = 0;
        s.EndAngle = TwoPi;
    }
    const cad::VariantList blockRows = read(references, {QStringLiteral("?Name")});
    for (qsizetype k = 0; k < references.size(); ++k)
        out[references[k]].Block = blockRows.value(k).toArray().value(0).toText();
    const cad::VariantList loopRows = read(hatches, {QStringLiteral("?NumberOfLoops")});
    for (qsizetype k = 0; k < hatches.size(); ++k) {
        const cad::Variant v = loopRows.value(k).toArray().value(0);
        if (!v.isEmpty())
            out[hatches[k]].Loops = int(v.toInt());  // else read from the copy, failing as it would
    }
    if (!boxed.isEmpty()) {
        QList<cad::Entity> group;
        for (qsizetype i : boxed) group << entities[i];
        const cad::VariantList boxes =
            cad::CallEach(automation::CadDocument, cad::ObjectsOf(group), QStringLiteral("?GetBoundingBox"));
        for (qsizetype k = 0; k < boxed.size(); ++k) {
            const cad::VariantList corners = boxes.value(k).toArray();
            if (corners.size() < 2) continue;  // no extents: the box test fails as the read did
            ClipFacts& f = out[boxed[k]];
            f.HasBox = true;
            f.Box = {corners[0].toPoint(), corners[1].toPoint()};
        }
    }
    return out;
}

namespace {

bool isExplodable(const QString& name) {
    return name == QLatin1String("AcDbBlockReference") || name == QLatin1String("AcDbPolyline") ||
           name == QLatin1String("AcDb2dPolyline") || name == QLatin1String("AcDb3dPolyline");
}

// The cut of one entity by its kind.
bool clipByKind(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
                bool makeCopy, const PlanePoint& t, const Taken& taken, bool& result) {
    const QString& name = facts.Name;
    if (name == QLatin1String("AcDbLine")) return clipLine(entity, facts, c, r, makeCopy, t, taken, result);
    if (name == QLatin1String("AcDbArc")) return clipArc(entity, facts, c, r, makeCopy, t, taken);
    if (name == QLatin1String("AcDbCircle")) return clipCircle(entity, facts, c, r, makeCopy, t, taken);
    if (name == QLatin1String("AcDbHatch"))
        return ClipHatchToCircle(entity, facts, c, r, makeCopy, t, taken.handles);
    if (isExplodable(name)) return clipExplodable(entity, facts, c, r, makeCopy, t, taken);
    if (name == QLatin1String("AcDbRasterImage")) return false;
    if (!BoxTouchesCircle(boxOf(facts), c, r)) return false;
    take(makeCopy ? entity.copy() : entity, c, t, taken);
    return true;
}

}  // namespace

bool ClipEntityToCircle(const cad::Entity& entity, const ClipFacts& facts, const PlanePoint& c, double r,
                        bool makeCopy, const PlanePoint& t, bool deleteOriginal, QStringList* taken) {
    const QString& name = facts.Name;
    if (name.isEmpty()) throw cad::Failed(QStringLiteral("The entity cannot be read"));
    bool result = true;
    const bool contributed = clipByKind(entity, facts, c, r, makeCopy, t, Taken{taken, nullptr}, result);
    if (!contributed && deleteOriginal) {
        try {
            entity.erase();
        } catch (const cad::Error&) {
            // already gone (a circle turned into an arc deletes itself)
        }
    }
    return result;
}

bool CutOnlyCopiesAndTrims(const ClipFacts& facts, const PlanePoint& c, double r) {
    if (facts.Name == QLatin1String("AcDbHatch")) return false;
    if (!isExplodable(facts.Name) || !facts.HasBox) return true;
    bool any = false, all = false;
    BoxCornersInCircle(facts.Box, c, r, any, all);
    return all || !BoxTouchesCircle(facts.Box, c, r);  // taken whole, or not at all
}

void ClipCopiesToCircle(const QList<cad::Entity>& entities, const QList<ClipFacts>& facts,
                        const PlanePoint& c, double r, const PlanePoint& t, QStringList& taken) {
    QList<cad::Entity> pieces;
    for (qsizetype i = 0; i < entities.size(); ++i) {
        // Nothing is taken of an entity that cannot be read, nor of a kind judged by its extents
        // when it has none.
        if (facts[i].Name.isEmpty() || (needsBox(facts[i].Name) && !facts[i].HasBox)) continue;
        bool result = true;
        clipByKind(entities[i], facts[i], c, r, true, t, Taken{nullptr, &pieces}, result);
    }
    if (pieces.isEmpty()) return;
    const cad::VariantList rows =
        cad::ReadProperties(automation::CadDocument, cad::ObjectsOf(pieces), {QStringLiteral("Handle")});
    for (const cad::Variant& row : rows) taken << row.toArray().value(0).toText();
}

}  // namespace hatcher
