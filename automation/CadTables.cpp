// Table objects of the drawing: existence tests, unique names, layers, styles, colours, draw order.
#include "automation/CadTables.h"

#include "automation/CadConnection.h"
#include "common/ObjectCheck.h"
#include "platform/cad/CallEach.h"

namespace automation {

cad::Color CadColourObject;

namespace {

// Looks an item up; NotFound (and any other failure of the look-up) gives a null object.
template <class T, class F>
T lookUp(F&& f) {
    try {
        return f();
    } catch (const cad::Error&) {
        return T();
    }
}

bool isOfType(const cad::Object& o, const char* typePrefix) {
    if (o.isNull()) return false;
    try {
        return o.typeName().startsWith(QLatin1String(typePrefix));
    } catch (const cad::Error&) {
        return false;
    }
}

}  // namespace

cad::Block GetBlockDefinition(const QString& name) {
    return lookUp<cad::Block>([&] { return CadDocument.blocks().item(name); });
}

namespace {

// Whether the drawing holds an ordinary block of the name. Asked without a failure for a free name
// (a failure costs far more than the look-up) and in one call; the layouts ("*Model_Space", ...) are
// no ordinary blocks and take the long way, which tells them apart by their type.
bool isOrdinaryBlock(const cad::Blocks& blocks, const QString& name) {
    if (name.startsWith(QLatin1Char('*')))
        return isOfType(lookUp<cad::Block>([&] { return blocks.item(name); }), "IAcadBlock");
    try {
        return blocks.invoke(QStringLiteral("Contains"), {name}).toBool();
    } catch (const cad::Error&) {
        return false;
    }
}

}  // namespace

bool CheckBlockExists(const QString& name) {
    return isOrdinaryBlock(CadDocument.blocks(), name);
}

bool CheckBlockExists(const cad::Blocks& blocks, const QString& name) {
    return isOrdinaryBlock(blocks, name);
}

bool CheckLinetypeExists(const QString& name) {
    return isOfType(lookUp<cad::Linetype>([&] { return CadDocument.linetypes().item(name); }),
                    "IAcadLineType");
}

bool CheckLayerExists(const QString& name) {
    return !FindLayer(name).isNull();
}

cad::Layer FindLayer(const QString& name) {
    const cad::Layer layer = lookUp<cad::Layer>([&] { return CadDocument.layers().item(name); });
    return isOfType(layer, "IAcadLayer") ? layer : cad::Layer();
}

QString MakeUniqueBlockName(const QString& prefix) {
    // One block table for the count and every look-up.
    const cad::Blocks blocks = CadDocument.blocks();
    qint32 n = qint32(blocks.count());
    QString candidate;
    do {
        ++n;
        candidate = prefix + QString::number(n);
    } while (isOrdinaryBlock(blocks, candidate));
    return candidate;
}

cad::Entity AddAttributeDefinition(const cad::Block& container, const QString& tag, const QString& value,
                                   double x, double y) {
    return container.addAttribute(3.5, 9, QString(), cad::Point{x, y, 0}, tag, value);
}

QList<cad::Entity> AddAttributeDefinitions(const cad::Block& container, const QList<AttributeSpec>& specs) {
    if (specs.isEmpty()) return {};
    cad::VariantList blocks;
    QList<cad::VariantList> args;
    for (const AttributeSpec& a : specs) {
        blocks.append(cad::Variant(container.ref()));
        args.append({a.height, a.mode, a.prompt, a.at, a.tag, a.value});
    }
    QList<cad::Entity> made;
    for (const cad::Variant& v : cad::CallEachWith(CadDocument, blocks, QStringLiteral("AddAttribute"), args))
        made.append(cad::Entity(CadDocument.channel(), v.toObject()));
    return made;
}

bool ActivateTextStyle(const QString& name, cad::TextStyle& style, bool makeActive) {
    // What the look-up gives is live: only its failure (a null style) says "no".
    const cad::TextStyle found = FindTextStyle(name);
    if (found.isNull()) return false;
    style = found;
    if (makeActive) CadDocument.setActiveTextStyle(found);
    return true;
}

void EnsureTextStyle(const QString& name, double height, const QString& fontName, bool makeActive) {
    cad::TextStyle style = FindTextStyle(name);
    if (style.isNull()) {
        style = CadDocument.textStyles().add(name);
        style.setHeight(height);
        style.send(QStringLiteral("SetFont"), {fontName, false, false, 0, 0});
    }
    if (makeActive) CadDocument.setActiveTextStyle(style);
}

cad::TextStyle FindTextStyle(const QString& name) {
    // "?Item" answers a missing style with nothing rather than a failure, so no failure is trapped
    // here; a style it gives is there, its name not read again.
    const cad::VariantList found =
        cad::CallEach(CadDocument, {cad::Variant(CadDocument.textStyles().ref())}, QStringLiteral("?Item"), {name});
    return cad::TextStyle(CadDocument.channel(), found.value(0).toObject());
}

bool GetDimensionStyle(const QString& name, cad::DimStyle& style) {
    cad::DimStyle found = lookUp<cad::DimStyle>([&] { return CadDocument.dimStyles().item(name); });
    if (common::IsObjectInvalid(found)) return false;
    style = found;
    return true;
}

bool ActivateTextAndDimStyle(const QString& name, cad::Object& style, bool textStyle, bool makeActive) {
    try {
        if (textStyle) {
            cad::TextStyle s;
            if (!ActivateTextStyle(name, s, makeActive)) return false;
            style = s;
            return true;
        }
        cad::DimStyle d;
        if (!GetDimensionStyle(name, d)) return false;
        style = d;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void EnsureLayer(const QString& name, bool makeActive, int colour, int lineweight) {
    const cad::Layers layers = CadDocument.layers();
    cad::Layer layer;
    if (colour <= -1 && lineweight <= -10) {
        // Nothing to give a new layer only: the add gives the existing layer back unchanged.
        layer = layers.add(name);
    } else {
        // The layer the existence test finds is the one made current: one look-up.
        layer = lookUp<cad::Layer>([&] { return layers.item(name); });
        if (!isOfType(layer, "IAcadLayer")) {
            layer = layers.add(name);
            if (colour > -1) SetEntityColour(layer, colour, false);
            if (lineweight > -10) layer.setLineweight(lineweight);
        }
    }
    if (!makeActive) return;
    // Switching on a layer that is on leaves it as it was.
    layer.setLayerOn(true);
    CadDocument.setActiveLayer(layer);
}

bool EnsureLinetypeLoaded(const QString& name) {
    if (CheckLinetypeExists(name)) return true;
    try {
        CadDocument.linetypes().load(name, QStringLiteral("acad.lin"));
        return true;
    } catch (const cad::Error&) {
        return false;
    }
}

void SetEntityColour(const cad::Object& object, qint64 colour, bool rgb) {
    if (!rgb) {
        object.put(QStringLiteral("Color"), colour);
        return;
    }
    const int red = int(colour & 255);
    const int green = int((colour >> 8) & 255);
    const int blue = int((colour >> 16) & 255);
    if (common::IsObjectInvalid(CadColourObject))
        CadColourObject = cad::Color(
            CadApplication.getInterfaceObject(QStringLiteral("AutoCAD.AcCmColor.") + CadMajorVersion));
    CadColourObject.setRGB(red, green, blue);
    object.put(QStringLiteral("TrueColor"), CadColourObject);
}

bool GetSortentsTable(cad::SortentsTable& table) {
    try {
        cad::Dictionary dict = CadModelSpace.extensionDictionary();
        cad::Object entry;
        try {
            entry = dict.getObject(QStringLiteral("ACAD_SORTENTS"));
        } catch (const cad::Error&) {
            // Absent: added below, where a dictionary that refuses it fails the call.
        }
        if (entry.isNull())
            entry = dict.addObject(QStringLiteral("ACAD_SORTENTS"), QStringLiteral("AcDbSortentsTable"));
        if (entry.isNull()) return false;
        table = cad::SortentsTable(entry);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void MoveObjectsToTop(const QList<cad::Entity>& entities) {
    cad::SortentsTable table;
    if (GetSortentsTable(table)) table.moveToTop(entities);
}

void MoveObjectToTop(const cad::Entity& entity) {
    MoveObjectsToTop({entity});
}

void DeleteEntity(const cad::Entity& entity) {
    entity.setVisible(false);
    entity.move(cad::Point{0, 0, 0}, cad::Point{0, 0, 0});
    entity.send(QStringLiteral("Delete"));
}

}  // namespace automation
