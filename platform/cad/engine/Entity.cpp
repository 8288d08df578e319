// Entity kinds: their file and class names, empty data records and the text alignment numbering.
#include "platform/cad/engine/Entity.h"

#include "platform/cad/engine/Objects.h"

#include <cmath>

namespace cad::db {

Entity::Entity(EntityKind kind) : DbObject(ObjectType::Entity), data(emptyDataFor(kind)), kind_(kind) {}

EntityData emptyDataFor(EntityKind kind) {
    switch (kind) {
        case EntityKind::Line:
            return LineData{};
        case EntityKind::Arc:
            return ArcData{};
        case EntityKind::Circle:
            return CircleData{};
        case EntityKind::LwPolyline:
            return LwPolylineData{};
        case EntityKind::Polyline2d:
            return Polyline2dData{};
        case EntityKind::Text:
            return TextData{};
        case EntityKind::MText:
            return MTextData{};
        case EntityKind::Point:
            return PointData{};
        case EntityKind::Hatch:
            return HatchData{};
        case EntityKind::Region:
            return RegionData{};
        case EntityKind::BlockReference:
            return InsertData{};
        case EntityKind::AttributeDefinition:
        case EntityKind::AttributeReference:
            return AttributeData{};
        case EntityKind::DimAligned:
            return DimensionData{};
        case EntityKind::DimOrdinate: {
            DimensionData d;
            d.ordinateXAxis = true;
            return d;
        }
        case EntityKind::Unknown:
            break;
    }
    return RawData{};
}

QString Entity::dxfName() const {
    switch (kind_) {
        case EntityKind::Line:
            return QStringLiteral("LINE");
        case EntityKind::Arc:
            return QStringLiteral("ARC");
        case EntityKind::Circle:
            return QStringLiteral("CIRCLE");
        case EntityKind::LwPolyline:
            return QStringLiteral("LWPOLYLINE");
        case EntityKind::Polyline2d:
            return QStringLiteral("POLYLINE");
        case EntityKind::Text:
            return QStringLiteral("TEXT");
        case EntityKind::MText:
            return QStringLiteral("MTEXT");
        case EntityKind::Point:
            return QStringLiteral("POINT");
        case EntityKind::Hatch:
            return QStringLiteral("HATCH");
        case EntityKind::Region:
            return QStringLiteral("REGION");
        case EntityKind::BlockReference:
            return QStringLiteral("INSERT");
        case EntityKind::AttributeDefinition:
            return QStringLiteral("ATTDEF");
        case EntityKind::AttributeReference:
            return QStringLiteral("ATTRIB");
        case EntityKind::DimAligned:
        case EntityKind::DimOrdinate:
            return QStringLiteral("DIMENSION");
        case EntityKind::Unknown:
            break;
    }
    return std::get<RawData>(data).dxfName;
}

QString Entity::objectName() const {
    switch (kind_) {
        case EntityKind::Line:
            return QStringLiteral("AcDbLine");
        case EntityKind::Arc:
            return QStringLiteral("AcDbArc");
        case EntityKind::Circle:
            return QStringLiteral("AcDbCircle");
        case EntityKind::LwPolyline:
            return QStringLiteral("AcDbPolyline");
        case EntityKind::Polyline2d:
            return QStringLiteral("AcDb2dPolyline");
        case EntityKind::Text:
            return QStringLiteral("AcDbText");
        case EntityKind::MText:
            return QStringLiteral("AcDbMText");
        case EntityKind::Point:
            return QStringLiteral("AcDbPoint");
        case EntityKind::Hatch:
            return QStringLiteral("AcDbHatch");
        case EntityKind::Region:
            return QStringLiteral("AcDbRegion");
        case EntityKind::BlockReference:
            return std::get<InsertData>(data).grid ? QStringLiteral("AcDbMInsertBlock")
                                                   : QStringLiteral("AcDbBlockReference");
        case EntityKind::AttributeDefinition:
            return QStringLiteral("AcDbAttributeDefinition");
        case EntityKind::AttributeReference:
            return QStringLiteral("AcDbAttribute");
        case EntityKind::DimAligned:
            return QStringLiteral("AcDbAlignedDimension");
        case EntityKind::DimOrdinate:
            return QStringLiteral("AcDbOrdinateDimension");
        case EntityKind::Unknown:
            break;
    }
    // The last subclass marker names the class ("AcDbRasterImage" for IMAGE).
    const auto& raw = std::get<RawData>(data);
    QString last;
    for (const Tag& t : raw.tags) {
        if (t.code == 0) break;  // following VERTEX/SEQEND records are not part of the class
        if (t.code == 100) last = t.value;
    }
    return last.isEmpty() ? QStringLiteral("AcDb") + raw.dxfName : last;
}

TextData* Entity::textData() {
    if (auto* t = std::get_if<TextData>(&data)) return t;
    if (auto* a = std::get_if<AttributeData>(&data)) return a;
    return nullptr;
}

namespace {
// Automation alignment number -> (horizontal 72, vertical 73).
constexpr int alignmentCodes[15][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {0, 3}, {1, 3},
                                       {2, 3}, {0, 2}, {1, 2}, {2, 2}, {0, 1}, {1, 1}, {2, 1}};
}  // namespace

int TextData::alignment() const {
    for (int i = 0; i < 15; ++i)
        if (alignmentCodes[i][0] == horizontal && alignmentCodes[i][1] == vertical) return i;
    return 0;
}

void TextData::setAlignment(int value) {
    if (value < 0 || value > 14)
        throw InvalidArgument(QStringLiteral("Wyrównanie %1 poza zakresem 0..14").arg(value));
    const bool wasLeft = horizontal == 0 && vertical == 0;
    horizontal = alignmentCodes[value][0];
    vertical = alignmentCodes[value][1];
    // A text that leaves left alignment keeps its place until the caller sets the point.
    if (wasLeft && value != 0) alignmentPoint = position;
}

Point3 InsertData::cellOffset(int row, int column) const {
    const double c = std::cos(rotation), s = std::sin(rotation);
    const double x = column * columnSpacing, y = row * rowSpacing;
    return {x * c - y * s, x * s + y * c, 0};
}

quint64 Dictionary::find(const QString& name) const {
    for (const Entry& e : entries)
        if (e.name == name) return e.handle;
    return 0;
}

}  // namespace cad::db
