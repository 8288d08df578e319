// Component blocks in the drawing: writing, highlighting and splitting.
#include "conflictor/streams/StreamComponents.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/ComponentPlacement.h"
#include "conflictor/streams/CutContext.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/DeferredCalls.h"

#include <QStringBuilder>

namespace conflictor {

namespace {

constexpr double HalfPi = 1.5707963267949;

cad::Point at(const PlanePoint& p) {
    return cad::Point{p.X, p.Y, 0};
}

// The reference's name and its block's curve, read together. The block read is the reference's, which is the
// one named `blockName` unless another program renamed it; then that one is read by name as well.
void readComponentCurve(const cad::Document& doc, const QString& handle, const QString& blockName,
                        cad::Entity& entity, QString& referenceName) {
    const cad::VariantList read =
        cad::ReadProperties(doc, {cad::Variant(handle)}, {QStringLiteral("Name")}, {QStringLiteral("ObjectName")})
            .value(0)
            .toArray();
    referenceName = read.value(0).toText();
    auto isCurve = [](const QString& kind) {
        return kind == QLatin1String("AcDbLine") || kind == QLatin1String("AcDbArc");
    };
    if (referenceName.compare(blockName, Qt::CaseInsensitive) == 0) {
        for (const cad::Variant& part : read.value(1).toArray()) {
            const cad::VariantList p = part.toArray();
            if (!isCurve(p.value(1).toText())) continue;
            entity = cad::Entity(doc.channel(), p.value(0).toObject());
            return;
        }
        return;
    }
    for (const cad::Entity& e : doc.blocks().item(blockName).entities())
        if (isCurve(e.objectName())) {
            entity = e;
            return;
        }
}

// The block's curve of `old` cut back to end at the drawing point `point` (`splitAngle` its
// direction from the arc's centre), written in the block's coordinates through the component's
// placement. A mirrored arc runs the other way in its block: its drawn end is the block's start.
void shortenCurve(const cad::Entity& curve, const SegmentRecord& old, const PlanePoint& point, double splitAngle) {
    const cad::db::Transform2D& placement = old.Placement;
    if (IsIdentityPlacement(placement)) {
        if (old.IsLine)
            curve.setEndPoint(at(point));
        else
            curve.setEndAngle(splitAngle);
        return;
    }
    const PlanePoint inBlock = ToBlockCoordinates(placement, point);
    if (old.IsLine) {
        curve.setEndPoint(at(inBlock));
        return;
    }
    const double blockAngle =
        common::GetDirectionAngle(ToBlockCoordinates(placement, old.Center), inBlock);
    if (placement.determinant() < 0)
        curve.setStartAngle(blockAngle);
    else
        curve.setEndAngle(blockAngle);
}

}  // namespace

namespace {

// The block, its curve and the reference of a component; in a cut the name comes from the cut's
// names and the handle stays a placeholder until the cut reads it.
bool writeComponent(SegmentRecord& segment, int streamIndex, const QStringList& names, CutContext* cut) {
    if (streamIndex < 0 || streamIndex >= int(StreamTable.size())) return false;
    const StreamRecord& stream = StreamTable[size_t(streamIndex)];
    const QString prefix = IntersectionNumber % QLatin1String("^STRUMIEN_");
    QString suffix;
    if (names.size() >= 2) {
        for (const QString& n : names) suffix += QLatin1Char('^') % n;
    } else {
        suffix = QLatin1Char('^') % stream.Name;
    }
    const QString blockName =
        cut ? cut->names.componentName(prefix, suffix) : MakeUniqueStreamBlockName(prefix, suffix);
    const cad::Block block = ComponentBlockTable().add(cad::Point{0, 0, 0}, blockName);
    const cad::Entity e = segment.IsLine ? block.addLine(at(segment.StartPoint), at(segment.EndPoint))
                                         : block.addArc(at(segment.Center), segment.Radius,
                                                        segment.StartAngle, segment.EndAngle);
    e.setColor(0);
    e.setLinetype(QStringLiteral("BYBLOCK"));

    const cad::Entity ref = automation::CadModelSpace.insertBlock(cad::Point{0, 0, 0}, blockName, 1, 1, 1, 0);
    ref.setLayer(common::Settings.StreamLayerName);
    if (MainWindow().CuttingSelectedStreams) ref.setColor(common::Settings.PisakZaznaczenia);
    if (stream.Kind == KindConditional) {
        // The linetype test traps CAD errors of its own: a failure of the calls before it is
        // reported here, not trapped there.
        if (cad::Channel* ch = automation::CadDocument.channel()) ch->flushDeferred();
        if (automation::EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"))) {
            ref.setLinetype(QStringLiteral("ACAD_ISO03W100"));
            automation::SetLinetypeScale();
        }
    }
    ref.update();
    if (cut) {
        segment.Handle = cut->pending.add(ref.id(), e.id());
        segment.Curve = e.id();
    } else {
        segment.Handle = ref.handle();
        segment.Curve = 0;  // the curve's id may be provisional: it is read again when needed
    }
    segment.Label = blockName;
    return true;
}

}  // namespace

bool WriteStreamComponent(SegmentRecord& segment, int streamIndex, const QStringList& names) {
    // A failure of any step stops the rest and is thrown from here.
    cad::DeferredCalls calls(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
    return writeComponent(segment, streamIndex, names, nullptr);
}

bool WriteStreamComponent(SegmentRecord& segment, int streamIndex, const QStringList& names,
                          CutContext& cut) {
    return writeComponent(segment, streamIndex, names, &cut);
}

void ZaznaczStrumien(int index, int pen, bool regenerate) {
    if (!automation::CheckDocumentOpen(true)) return;
    if (index < 0 || index >= int(StreamTable.size())) return;
    const StreamRecord& stream = StreamTable[size_t(index)];
    const QString layer = common::Settings.StreamLayerName;
    const QString number = PatternText(IntersectionNumber);
    {
        SetGuard ss(QStringLiteral("SS3"));
        const QString pattern =
            number + QStringLiteral("^STRUMIEN_*^") + StreamNamePattern(stream.Name) + QLatin1Char('*');
        for (const cad::Entity& ref : ss.select(InsertFilter(pattern, layer))) {
            QString name = ref.name();
            int none = -1;
            if (!ParseStreamBlockName(stream.Name, name, 0, none)) continue;
            ref.setColor(pen);
            if (!regenerate) ref.update();
        }
    }
    if (IsVehicleStream(stream)) {
        for (const QString& kind :
             {QStringLiteral("^POCZATEK_STRUMIEN_"), QStringLiteral("^KONIEC_STRUMIEN_")}) {
            const QString handle = automation::FindBlockReferenceHandle(
                automation::CadModelSpace, number + kind + stream.Name + QStringLiteral("_*"), cad::Variant(),
                layer);
            if (handle.isEmpty()) continue;
            const cad::Entity marker = automation::CadDocument.handleToObject(handle);
            marker.setColor(pen);
            if (pen == common::Settings.PisakZaznaczenia) automation::MoveObjectToTop(marker);
            if (!regenerate) marker.update();
        }
    }
    if (regenerate) automation::CadDocument.regen(1);
}

namespace {

void splitComponent(int streamIndex, int segmentIndex, const PlanePoint& point, const QString& blockName,
                    CutContext* cut) {
    if (streamIndex < 0 || streamIndex >= int(StreamTable.size())) return;
    const int k = segmentIndex;
    if (k < 1 || k > std::min(StreamTable[size_t(streamIndex)].SegmentCount, MaxSegments)) return;
    {
        const StreamRecord& s = StreamTable[size_t(streamIndex)];
        if (!IsVehicleStream(s)) return;
        if (common::ArePointsEqual(point, s.Segments[size_t(k)].StartPoint) ||
            common::ArePointsEqual(point, s.Segments[size_t(k)].EndPoint))
            return;
        // No room for the second piece: the component stays whole.
        if (s.SegmentCount >= MaxSegments) return;
    }

    const cad::Document& doc = automation::CadDocument;
    cad::Entity entity;
    QString referenceName;
    const SegmentRecord& known = StreamTable[size_t(streamIndex)].Segments[size_t(k)];
    if (cut && known.Curve != 0) {
        // The cut read or wrote this component itself: its curve and name are known.
        entity = cad::Entity(doc.channel(), known.Curve);
        referenceName = known.Label;
    } else {
        readComponentCurve(doc, known.Handle, blockName, entity, referenceName);
    }
    if (entity.isNull()) return;

    StreamRecord& s = StreamTable[size_t(streamIndex)];
    SegmentRecord& old = s.Segments[size_t(k)];
    const int n = ++s.SegmentCount;
    SegmentRecord piece;
    piece.IsLine = old.IsLine;
    piece.StartPoint = point;
    piece.EndPoint = old.EndPoint;
    double splitAngle = 0;
    if (!old.IsLine) {
        splitAngle = common::GetDirectionAngle(old.Center, point);
        piece.Center = old.Center;
        piece.Radius = old.Radius;
        piece.StartAngle = splitAngle;
        piece.EndAngle = old.EndAngle;
    }

    // The streams that share the component.
    int count = 0;
    const bool listed = ParseStreamBlockName(s.Name, referenceName, 0, count);
    const bool shared = listed && count > 1;
    const QString oldHandle = old.Handle;
    const QStringList names = SharedStreamNames;

    if (!(cut ? WriteStreamComponent(piece, streamIndex, names, *cut)
              : WriteStreamComponent(piece, streamIndex, names))) {
        --s.SegmentCount;
        return;
    }
    ComputeSegmentBounds(piece);
    s.Segments[size_t(n)] = piece;

    // The old piece now ends at the point, in the block definition and so in every reference of it;
    // the new piece is written where it is drawn.
    shortenCurve(entity, old, point, splitAngle);
    if (!old.IsLine) old.EndAngle = splitAngle;
    old.EndPoint = point;
    ComputeSegmentBounds(old);
    const SegmentRecord shortened = old;

    if (!shared) return;
    for (size_t j = 0; j < StreamTable.size(); ++j) {
        if (int(j) == streamIndex) continue;
        StreamRecord& other = StreamTable[j];
        const int used = std::min(other.SegmentCount, MaxSegments);
        for (int m = 1; m <= used; ++m) {
            if (other.Segments[size_t(m)].Handle != oldHandle) continue;
            other.Segments[size_t(m)] = shortened;
            // A stream already holding MaxSegments components keeps the shortened piece only; the new
            // piece stays in the drawing and comes back with the next read.
            if (other.SegmentCount < MaxSegments) other.Segments[size_t(++other.SegmentCount)] = piece;
            break;
        }
    }
}

}  // namespace

void SplitStreamSegmentAtPoint(int streamIndex, int segmentIndex, const PlanePoint& point,
                               const QString& blockName) {
    splitComponent(streamIndex, segmentIndex, point, blockName, nullptr);
}

void SplitStreamSegmentAtPoint(int streamIndex, int segmentIndex, const PlanePoint& point,
                               const QString& blockName, CutContext& cut) {
    splitComponent(streamIndex, segmentIndex, point, blockName, &cut);
}

bool AddConflictPoint(const PlanePoint& point, std::vector<ConflictPointRecord>& points, int stream1,
                      int stream2) {
    auto vehicle = [](int i) {
        return i >= 0 && i < int(StreamTable.size()) && IsVehicleStream(StreamTable[size_t(i)]);
    };
    const bool v1 = vehicle(stream1);
    const bool v2 = vehicle(stream2);
    const int kind = v1 && v2 ? 3 : (v1 != v2 ? 4 : 0);
    for (size_t i = 1; i < points.size(); ++i)
        if (common::ArePointsEqual(points[i].Position, point) && points[i].Stream2 == stream2) return false;
    // Index 0 is never filled: the list starts with one empty entry.
    if (points.empty()) points.emplace_back();
    points.push_back(ConflictPointRecord{point, kind, stream1, stream2});
    return true;
}

double GetSegmentOutwardAngle(const SegmentRecord& segment, const PlanePoint& point) {
    const bool atStart = common::ArePointsEqual(segment.StartPoint, point);
    if (segment.IsLine)
        return atStart ? common::GetDirectionAngle(segment.EndPoint, segment.StartPoint)
                       : common::GetDirectionAngle(segment.StartPoint, segment.EndPoint);
    // An arc runs counter-clockwise from StartAngle to EndAngle whether or not it passes angle 0:
    // leaving through its start means turning clockwise, through its end counter-clockwise.
    return atStart ? segment.StartAngle - HalfPi : segment.EndAngle + HalfPi;
}

}  // namespace conflictor
