// A drawing: its collections, variables, commands, and the read-only database of another drawing.
#pragma once

#include "platform/cad/Collections.h"
#include "platform/cad/Dictionary.h"
#include "platform/cad/SelectionSet.h"
#include "platform/cad/SummaryInfo.h"
#include "platform/cad/Utility.h"

namespace cad {

class Document : public Object {
public:
    using Object::Object;

    QString name() const { return get(QStringLiteral("Name")).toText(); }
    QString fullName() const { return get(QStringLiteral("FullName")).toText(); }
    Block modelSpace() const { return wrap<Block>(get(QStringLiteral("ModelSpace"))); }
    Blocks blocks() const { return wrap<Blocks>(get(QStringLiteral("Blocks"))); }
    Layers layers() const { return wrap<Layers>(get(QStringLiteral("Layers"))); }
    Linetypes linetypes() const { return wrap<Linetypes>(get(QStringLiteral("Linetypes"))); }
    TextStyles textStyles() const { return wrap<TextStyles>(get(QStringLiteral("TextStyles"))); }
    DimStyles dimStyles() const { return wrap<DimStyles>(get(QStringLiteral("DimStyles"))); }
    SelectionSets selectionSets() const { return wrap<SelectionSets>(get(QStringLiteral("SelectionSets"))); }
    SummaryInfo summaryInfo() const { return wrap<SummaryInfo>(get(QStringLiteral("SummaryInfo"))); }
    Utility utility() const { return wrap<Utility>(get(QStringLiteral("Utility"))); }

    Layer activeLayer() const { return wrap<Layer>(get(QStringLiteral("ActiveLayer"))); }
    void setActiveLayer(const Layer& l) const { put(QStringLiteral("ActiveLayer"), l); }
    TextStyle activeTextStyle() const { return wrap<TextStyle>(get(QStringLiteral("ActiveTextStyle"))); }
    void setActiveTextStyle(const TextStyle& s) const { put(QStringLiteral("ActiveTextStyle"), s); }
    DimStyle activeDimStyle() const { return wrap<DimStyle>(get(QStringLiteral("ActiveDimStyle"))); }
    void setActiveDimStyle(const DimStyle& s) const { put(QStringLiteral("ActiveDimStyle"), s); }

    // Raises NotFound for a handle that names no object.
    Entity handleToObject(const QString& handle) const {
        return wrap<Entity>(invoke(QStringLiteral("HandleToObject"), {handle}));
    }
    Variant getVariable(const QString& name) const { return invoke(QStringLiteral("GetVariable"), {name}); }
    // Raises InvalidArgument for a value the drawing refuses.
    void setVariable(const QString& name, const Variant& value) const {
        invoke(QStringLiteral("SetVariable"), {name, value});
    }
    // Returns at once; the command runs until its inputs are given or it is cancelled.
    void sendCommand(const QString& text) const { invoke(QStringLiteral("SendCommand"), {text}); }
    void regen(int which = 1) const { invoke(QStringLiteral("Regen"), {which}); }
    QList<Entity> copyObjects(const QList<Entity>& objects, const Block& owner) const {
        return wrapAll<Entity>(invoke(QStringLiteral("CopyObjects"), {refs(objects), owner}));
    }
    void close() const { invoke(QStringLiteral("Close")); }
    bool saved() const { return get(QStringLiteral("Saved")).toBool(); }
    void save() const { invoke(QStringLiteral("Save")); }
    void saveAs(const QString& path) const { invoke(QStringLiteral("SaveAs"), {path}); }
    void activate() const { invoke(QStringLiteral("Activate")); }  // the other vendor's only
};

// A drawing opened for reading through the database-document class.
class DatabaseDocument : public Object {
public:
    using Object::Object;
    DatabaseDocument(const Object& o) : Object(o) {}
    void open(const QString& path) const { invoke(QStringLiteral("Open"), {path}); }
    QString name() const { return get(QStringLiteral("Name")).toText(); }
    SummaryInfo summaryInfo() const { return wrap<SummaryInfo>(get(QStringLiteral("SummaryInfo"))); }
    Block modelSpace() const { return wrap<Block>(get(QStringLiteral("ModelSpace"))); }
    Blocks blocks() const { return wrap<Blocks>(get(QStringLiteral("Blocks"))); }
    Layers layers() const { return wrap<Layers>(get(QStringLiteral("Layers"))); }
    void close() const { invoke(QStringLiteral("Close")); }  // releases the drawing
};

}  // namespace cad
