// Entity data: the properties every entity has (layer, colour, linetype, ...) and one data record
// per modelled kind. Kinds the engine does not model are kept as their raw tags.
#pragma once

#include "platform/cad/engine/DbObject.h"
#include "platform/cad/engine/Errors.h"
#include "platform/cad/engine/Geometry.h"

#include <QString>
#include <variant>
#include <vector>

namespace cad::db {

class BlockDefinition;

// Modelled entity kinds; Unknown is any other kind, kept as raw tags.
enum class EntityKind {
    Line,
    Arc,
    Circle,
    LwPolyline,
    Polyline2d,
    Text,
    MText,
    Point,
    Hatch,
    Region,
    BlockReference,
    AttributeDefinition,
    AttributeReference,
    DimAligned,
    DimOrdinate,
    Unknown,
};

// Colour index values with a meaning of their own.
constexpr int ColorByBlock = 0;
constexpr int ColorByLayer = 256;
// Lineweight values with a meaning of their own (others are hundredths of a millimetre).
constexpr int LineweightByLayer = -1;
constexpr int LineweightByBlock = -2;
constexpr int LineweightDefault = -3;

struct LineData {
    Point3 start, end;
};

// Angles in radians, counter-clockwise from start to end, kept in 0..2π.
struct ArcData {
    Point3 center;
    double radius = 0;
    double startAngle = 0, endAngle = 0;
};

struct CircleData {
    Point3 center;
    double radius = 0;
};

// A polyline vertex; bulge = tan(included angle / 4) of the segment that starts here, + is CCW.
struct Vertex {
    double x = 0, y = 0;
    double bulge = 0;
    double startWidth = 0, endWidth = 0;
    friend bool operator==(const Vertex&, const Vertex&) = default;
};

struct LwPolylineData {
    std::vector<Vertex> vertices;
    bool closed = false;
    int flags = 0;  // the 70 flags as read beyond "closed" (128: linetype generation)
    double constantWidth = 0;
    double elevation = 0;
};

// The old heavy 2D polyline (POLYLINE with VERTEX records and SEQEND).
struct Polyline2dData {
    std::vector<Vertex> vertices;
    std::vector<quint64> vertexHandles;  // one per vertex, kept so handles survive a round trip
    quint64 seqendHandle = 0;
    bool closed = false;
    int flags = 0;  // the polyline's 70 flags (1 = closed is mirrored in `closed`)
    double elevation = 0;
};

// Single-line text and the text part of attribute definitions and references.
// Alignment is kept as the file holds it: horizontal (72) and vertical (73/74) codes.
struct TextData {
    QString text;
    Point3 position;        // first alignment point (10)
    Point3 alignmentPoint;  // second alignment point (11), used when the alignment is not left
    double height = 1;
    double rotation = 0;  // radians
    double widthFactor = 1;
    double oblique = 0;  // radians
    QString style = QStringLiteral("Standard");
    int horizontal = 0;  // 0 left, 1 center, 2 right, 3 aligned, 4 middle, 5 fit
    int vertical = 0;    // 0 baseline, 1 bottom, 2 middle, 3 top
    int generation = 0;  // 71: 2 backward, 4 upside down
    bool alignmentGiven = false;  // a file gave 11 for a left-aligned text: written back as given

    // Alignment in the automation numbering (0 left ... 13 bottom centre, 14 bottom right).
    int alignment() const;
    // Sets the alignment from the automation numbering; throws InvalidArgument outside 0..14.
    void setAlignment(int value);
};

// Attribute definitions and references add tag, prompt and flags to the text.
struct AttributeData : TextData {
    QString tag;
    QString prompt;  // definitions only
    int flags = 0;   // 1 invisible, 2 constant, 4 verify, 8 preset
    int fieldLength = 0;
    bool invisible() const { return flags & 1; }
};

struct MTextData {
    QString text;  // with the format codes of the file; paragraphs separated by "\P"
    Point3 position;
    double height = 1;
    double width = 0;  // reference rectangle width
    double rotation = 0;
    int attachment = 1;  // 1 top left ... 9 bottom right
    int drawingDirection = 1;
    double lineSpacing = 1;
    QString style = QStringLiteral("Standard");
    // The direction vector (11) and the angle (50) a file gave; written back as given while the
    // rotation stays the one read from them.
    bool hasGivenDirection = false, hasGivenAngle = false;
    Point3 givenDirection;
    double givenAngle = 0;  // degrees
    double givenRotation = 0;
};

struct PointData {
    Point3 position;
};

// One boundary edge of a hatch loop or a region.
struct Edge {
    enum Type { Line = 1, Arc = 2, Ellipse = 3, Spline = 4 } type = Line;
    Point3 start, end;                    // line
    Point3 center;                        // arc, ellipse
    double radius = 0;                    // arc
    double startAngle = 0, endAngle = 0;  // arc and ellipse, radians
    bool counterClockwise = true;
    Point3 majorAxis;  // ellipse
    double ratio = 1;  // ellipse
    Tags raw;          // spline: the edge's tags as read
};

// A hatch loop: a polyline loop (flag bit 2) or a chain of edges.
struct HatchLoop {
    int flags = 1;  // 1 external, 2 polyline, 16 outermost
    bool isPolyline() const { return flags & 2; }
    std::vector<Vertex> vertices;  // polyline loop
    bool closed = true;
    std::vector<Edge> edges;             // edge loop
    std::vector<quint64> sourceHandles;  // associated boundary objects (97/330)
};

struct PatternLine {
    double angle = 0;  // degrees, as the file holds them
    Point3 base;
    Point3 offset;
    std::vector<double> dashes;
};

struct HatchData {
    QString patternName = QStringLiteral("SOLID");
    bool solid = true;
    bool associative = false;
    int patternType = 1;      // 0 user defined, 1 predefined, 2 custom
    int style = 0;            // 0 normal (odd parity)
    double patternAngle = 0;  // radians
    double patternScale = 1;
    bool patternDouble = false;
    double elevation = 0;
    std::vector<HatchLoop> loops;
    std::vector<PatternLine> patternLines;  // as read; generated for the built-in patterns when empty
    std::vector<Point3> seeds;
};

// A region: its boundary loops as edges (as created by the engine) and the solid-model data as read.
struct RegionData {
    std::vector<std::vector<Edge>> loops;
    Tags acis;  // the 70/1/3 tags of the modeller data, written back unchanged
};

// A block reference.
struct InsertData {
    QString blockName;      // the definition's name (anonymous "*U..." for a changed dynamic block)
    QString effectiveName;  // the original dynamic block's name; empty when it is the block itself
    Point3 position;
    double xScale = 1, yScale = 1, zScale = 1;
    double rotation = 0;                    // radians
    std::vector<class Entity*> attributes;  // attribute references in order, owned by the drawing
    quint64 seqendHandle = 0;
    // Dynamic-block properties (name, value) in their order; values are numbers.
    std::vector<std::pair<QString, double>> dynamicProperties;
    // A MINSERT repeats the block in a grid of rows and columns that runs along the reference's
    // rotated axes; its spacings are drawing units, not scaled with the block. `grid` keeps a
    // file's MINSERT one (written back so) even when it holds a single cell.
    bool grid = false;
    int rows = 1, columns = 1;
    double rowSpacing = 0, columnSpacing = 0;
    // The cells drawn: a count below 1 (a damaged file) draws the one cell of a plain reference.
    int gridRows() const { return rows > 1 ? rows : 1; }
    int gridColumns() const { return columns > 1 ? columns : 1; }
    // A cell's insertion point less the reference's own, in the reference's coordinates (those of
    // `position`): its column along the rotated X axis, its row along the rotated Y axis.
    Point3 cellOffset(int row, int column) const;
};

// Aligned (type 1) and ordinate (type 6) dimensions.
struct DimensionData {
    QString blockName;  // the "*D" block holding the drawn dimension, may be empty
    QString style = QStringLiteral("Standard");
    Point3 definitionPoint;      // 10
    Point3 textPosition;         // 11
    Point3 point1;               // 13: first extension point / ordinate feature location
    Point3 point2;               // 14: second extension point / ordinate leader end point
    bool ordinateXAxis = false;  // ordinate only: measures X (type flag 64)
    QString textOverride;        // 1: empty means the measurement, "<>" stands for it
    double measurement = 0;
    double rotation = 0;
    int attachment = 5;
    int flags = 0;  // the 70 flags as read, beyond the type bits
};

// An entity of a kind the engine does not model: its record(s) exactly as read (including any
// VERTEX/SEQEND records that belong to it) except the common properties above.
struct RawData {
    QString dxfName;  // "IMAGE", "SPLINE", ...
    Tags tags;
};

using EntityData =
    std::variant<LineData, ArcData, CircleData, LwPolylineData, Polyline2dData, TextData, MTextData,
                 PointData, HatchData, RegionData, InsertData, AttributeData, DimensionData, RawData>;

class Entity : public DbObject {
public:
    // The kind of the entity.
    EntityKind kind() const { return kind_; }
    // The file's type name: "LINE", "INSERT", "TEXT", "MTEXT", "ATTRIB", ...
    QString dxfName() const;
    // The automation class name: "AcDbLine", "AcDbBlockReference", "AcDbPolyline", ...
    QString objectName() const;

    // The block definition holding the entity (model space for drawn entities); nullptr for
    // attribute references, which belong to their block reference.
    BlockDefinition* ownerBlock() const { return block_; }
    // The block reference owning an attribute reference; nullptr otherwise.
    Entity* ownerReference() const { return reference_; }
    // Position in its owner, increasing with creation (file order for read entities).
    quint64 sequence() const { return sequence_; }

    // Layer name. Changing it goes through Database::setLayer (the layer must exist).
    const QString& layer() const { return layer_; }
    // Colour index: 0 ByBlock, 1..255, 256 ByLayer.
    int color = ColorByLayer;
    // True colour 0xRRGGBB, or -1 when the entity has none (the index then applies).
    int trueColor = -1;
    // Linetype name, "BYLAYER" or "BYBLOCK" included.
    QString linetype = QStringLiteral("BYLAYER");
    // Lineweight in hundredths of a millimetre or one of the Lineweight* values.
    int lineweight = LineweightByLayer;
    double linetypeScale = 1;
    bool visible = true;
    double thickness = 0;
    Point3 normal{0, 0, 1};
    // Codes of a modelled kind that the engine does not interpret; written back after its data.
    Tags extraTags;
    // Codes of the common entity part the engine does not interpret (transparency 440, material,
    // plot style, shadow mode...); written back in that part.
    Tags commonTags;
    // The kind's data; use as<T>() or tryAs<T>().
    EntityData data;

    // The kind's data, or throws NotSupported when the entity is of another kind.
    template <class T>
    T& as() {
        if (auto* p = std::get_if<T>(&data)) return *p;
        throw NotSupported(
            QStringLiteral("Ta właściwość lub metoda nie dotyczy obiektu %1").arg(objectName()));
    }
    template <class T>
    const T& as() const {
        return const_cast<Entity*>(this)->as<T>();
    }
    // The kind's data, or nullptr.
    template <class T>
    T* tryAs() {
        return std::get_if<T>(&data);
    }
    template <class T>
    const T* tryAs() const {
        return std::get_if<T>(&data);
    }

    // The text record of texts, attribute definitions and references; nullptr for others.
    TextData* textData();

private:
    friend class Database;
    friend class UndoJournal;
    explicit Entity(EntityKind kind);
    EntityKind kind_;
    BlockDefinition* block_ = nullptr;
    Entity* reference_ = nullptr;
    quint64 sequence_ = 0;
    QString layer_ = QStringLiteral("0");
    // Positions in the model-space indexes by layer and by block name (see EntityIndexList).
    quint32 layerSlot_ = 0;
    quint32 referenceSlot_ = 0;
};

// The EntityData alternative that a kind uses, created empty.
EntityData emptyDataFor(EntityKind kind);

}  // namespace cad::db
