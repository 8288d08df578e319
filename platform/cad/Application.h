// The CAD application as the programs see it: version, visibility, documents, state.
// Entry point of the typed facade: Application app(channel); app.activeDocument().layers()...
#pragma once

#include "platform/cad/Document.h"

namespace cad {

class State : public Object {
public:
    using Object::Object;
    // False while a command sent as text is still running.
    bool isQuiescent() const { return get(QStringLiteral("IsQuiescent")).toBool(); }
};

class Documents : public Object {
public:
    using Object::Object;
    int count() const { return int(get(QStringLiteral("Count")).toInt()); }
    Document item(int index) const { return wrap<Document>(invoke(QStringLiteral("Item"), {index})); }
    // Every open drawing, in the order of Item (one call).
    QList<Document> all() const { return wrapAll<Document>(invoke(QStringLiteral("Items"))); }
    // A new drawing from a template drawing (empty path: a blank drawing); it becomes active.
    Document add(const QString& templatePath = QString()) const {
        return wrap<Document>(invoke(QStringLiteral("Add"), {templatePath}));
    }
    Document open(const QString& path, bool readOnly = false) const {
        return wrap<Document>(invoke(QStringLiteral("Open"), {path, readOnly}));
    }
};

class Application : public Object {
public:
    using Object::Object;
    explicit Application(Channel* channel) : Object(channel, ApplicationId) {}

    QString version() const { return get(QStringLiteral("Version")).toText(); }
    bool visible() const { return get(QStringLiteral("Visible")).toBool(); }
    void setVisible(bool v) const { put(QStringLiteral("Visible"), v); }
    int windowState() const { return int(get(QStringLiteral("WindowState")).toInt()); }
    void setWindowState(int v) const { put(QStringLiteral("WindowState"), v); }
    Documents documents() const { return wrap<Documents>(get(QStringLiteral("Documents"))); }
    // Raises NotFound when no drawing is open.
    Document activeDocument() const { return wrap<Document>(get(QStringLiteral("ActiveDocument"))); }
    void setActiveDocument(const Document& d) const { put(QStringLiteral("ActiveDocument"), d); }
    State getAcadState() const { return wrap<State>(invoke(QStringLiteral("GetAcadState"))); }
    // "AutoCAD.AcCmColor.<major>" or "ObjectDBX.AxDbDocument.<major>".
    Object getInterfaceObject(const QString& classId) const {
        return wrap<Object>(invoke(QStringLiteral("GetInterfaceObject"), {classId}));
    }
    void update() const { invoke(QStringLiteral("Update")); }
    void zoomWindow(const Point& lowerLeft, const Point& upperRight) const {
        invoke(QStringLiteral("ZoomWindow"), {lowerLeft, upperRight});
    }
    // Brings the drawing window to the front (ours): normal when WindowState is 1, else maximised
    // (WindowState becomes 3). It answers nothing, so a deferral scope may hold it back.
    void raiseDrawingWindow() const { send(QStringLiteral("RaiseDrawingWindow")); }
    // The other vendor's only.
    QString getSystemVariable(const QString& name) const {
        return invoke(QStringLiteral("GetSystemVariable"), {name}).toText();
    }
    void activate() const { invoke(QStringLiteral("Activate")); }
};

}  // namespace cad
