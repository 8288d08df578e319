// The stream table of the current intersection: one record per traffic stream, each a chain of line
// and arc components, and the small look-ups every stream operation uses.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/engine/Geometry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace conflictor {

using common::PlanePoint;

// Components a stream can hold (indexes 1 to MaxSegments of StreamRecord::Segments).
constexpr int MaxSegments = 100;

// Stream kinds as kept in StreamRecord::Kind.
enum StreamKind : int {
    KindVehicle = 1,      // K
    KindConditional = 2,  // S
    KindPedestrian = 3,   // P
    KindBicycle = 4,      // R
    KindTram = 5,         // T
    KindBus = 6,          // B
};

// One component of a stream: one line or one arc, read from or written to its own block.
struct SegmentRecord {
    bool IsLine = false;
    PlanePoint StartPoint;  // for an arc: the point at StartAngle
    PlanePoint EndPoint;    // for an arc: the point at EndAngle
    PlanePoint Center;
    double Radius = 0;
    double StartAngle = 0;  // radians, counter-clockwise
    double EndAngle = 0;
    int Order = 0;       // 1-based place in the chain from the stream's start point
    QString Label;       // name of the component's block definition
    PlanePoint Bounds1;  // smallest X and Y of the bounding box
    PlanePoint Bounds2;  // largest X and Y
    QString Handle;      // handle of the component's block reference
    // The object id of the component's line or arc in its block, as the last read or write saw it;
    // trusted only by the cut, which confirms its components' names first (0: unknown).
    quint64 Curve = 0;
    // The lines and arcs the component's block holds, as the reading found them: a component is
    // exactly one (a record made in memory is one).
    int CurveCount = 1;
    // From the block's coordinates to the drawing: the placement of the component's reference and of
    // every reference it sits in (identity for a component at the origin at scale 1). The geometry
    // above is the drawing's; a split writes the block's curve back through it.
    cad::db::Transform2D Placement;
    // An arc the placement draws as an ellipse arc (unequal X and Y scales): it cannot be measured.
    bool Unmeasurable = false;
    // The curve's plane, or that of a reference it sits in, is tilted against XY by more than the
    // drawing can ignore: what the plan shows is a projection, not the piece's length.
    bool Tilted = false;
    // What the reading could not follow in the component's blocks, so that the piece read is not all
    // that is drawn: the first block met inside itself and the blocks between (outermost first), the
    // references nested past cad::db::MaxBlockNesting blocks, and blocks holding more entities than
    // a piece is read through (MostComponentParts).
    QStringList SelfInsertion;
    long long NestingLeftOut = 0;
    bool PartsLeftOut = false;
};

// The components of a stream, indexes 1 to MaxSegments (index 0 is never used). Room for all of them
// is taken at once, so a reference to a component stays valid while others are added (the cut
// splits while it holds two), but a slot is built only when first reached: reading a large
// intersection no longer clears a hundred components for every stream, which made the reading
// grow faster than the drawing.
class SegmentSlots {
public:
    SegmentSlots() { slots_.reserve(MaxSegments + 1); }
    SegmentSlots(const SegmentSlots& other) {
        slots_.reserve(MaxSegments + 1);
        slots_ = other.slots_;
    }
    SegmentSlots(SegmentSlots&&) noexcept = default;
    SegmentSlots& operator=(const SegmentSlots& other) {
        if (this != &other) {
            slots_.reserve(MaxSegments + 1);
            slots_ = other.slots_;
        }
        return *this;
    }
    SegmentSlots& operator=(SegmentSlots&&) noexcept = default;

    // Asked for every pair of components the cut compares: the slot at hand costs one comparison.
    SegmentRecord& operator[](size_t i) {
        if (i >= slots_.size()) [[unlikely]]
            reach(i);
        return slots_[i];
    }
    // Slots 0 to n built, and their first: stays valid while slots are added (the room is taken).
    SegmentRecord* upTo(size_t n) {
        (*this)[n];
        return slots_.data();
    }
    // A slot never reached reads as an empty component.
    const SegmentRecord& operator[](size_t i) const {
        static const SegmentRecord empty;
        return i < slots_.size() ? slots_[i] : empty;
    }

private:
    void reach(size_t i);  // builds the slots up to i

    std::vector<SegmentRecord> slots_;
};

struct StreamRecord {
    QString Name;      // K1, P12, K1[2]
    QString BaseName;  // Name up to the last "["
    int Variant = 1;   // the number in the last "[...]"; 1 without one
    // Indexes 1 to MaxSegments; only 1 to SegmentCount are valid (index 0 is never used).
    SegmentSlots Segments;
    int SegmentCount = 0;
    // The component references the drawing holds for the stream: past MaxSegments only the first
    // MaxSegments are read into Segments, and the shape check names the stream.
    int ReferenceCount = 0;
    int Kind = 0;           // StreamKind
    PlanePoint StartPoint;  // X = 1e30: no start point
    int Number = 0;
    int Group = 0;
    QString Phases;  // "1,3,4"
    QString Description;
    double VehicleLength = 0;
    double ApproachStraightSpeed = 0;
    double ApproachArcSpeed = 0;
    double ClearStraightSpeed = 0;
    double ClearArcSpeed = 0;
    double MaxAcceleration = 0;
    int SheetIndex = 0;
    // What the drawing holds for the stream beyond its pieces on the stream layer, as the reading
    // found it: a fault of its references (a piece the reading passes over, pieces spelt in another
    // case), the text after the stream's name as the shape check's faults are, and the name to show
    // with it (empty: Name); the places of its start and end markers (vehicle streams).
    QString ReferenceFault;
    QString ReferenceFaultName;
    QList<PlanePoint> StartMarkers;
    QList<PlanePoint> EndMarkers;
};

// Module state: the streams of the current intersection, the stream the commands act on (-1: none)
// and the names of the streams that share the component last parsed with collecting.
extern std::vector<StreamRecord> StreamTable;
extern int CurrentStreamIndex;
extern QStringList SharedStreamNames;

// Lowest index whose name equals `name` without regard to case; -1 when none.
int FindStreamIndex(const QString& name);
// True for K, S, T, B streams (and kind 0); false for P, R and anything above 6.
bool IsVehicleStream(const StreamRecord& stream);
// The phase list of record `index` with `number` merged in, ascending, "," between the numbers.
QString AddNumberToList(int index, int number);

// The kind a stream name gives by its upper-cased first letter; 0 for none of K, S, P, R, T, B.
int StreamKindFromName(const QString& name);
// Fills Name, BaseName, Variant, Kind and Number of the record from the name.
void SetStreamName(StreamRecord& stream, const QString& name);

// A component by its geometry: a line by its ends, an arc by centre, radius and angles (radians,
// counter-clockwise from a1 to a2) with its end points worked out.
SegmentRecord LineSegment(double x1, double y1, double x2, double y2);
SegmentRecord ArcSegment(double cx, double cy, double r, double a1, double a2);

}  // namespace conflictor
