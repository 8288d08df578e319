// The .xlsx writer's parts, shared by the files that write each of them: the package's structure
// parts and core properties (XlsxWriteParts.cpp), the styles (XlsxWriteStyles.cpp), each sheet
// (XlsxWriteSheet.cpp) and the workbook as a whole (XlsxWriter.cpp). Layer-internal.
#pragma once

#include "platform/sheet/Package.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/XmlUtil.h"

#include <QHash>
#include <QString>
#include <pugixml.hpp>
#include <vector>

namespace sheet::xml::writing {

inline const char* ctSheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
inline const char* ctStrings =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
inline const char* ctStyles = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
inline const char* ctCore = "application/vnd.openxmlformats-package.core-properties+xml";
inline const char* ctMain = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
inline const char* ctTemplate =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
inline const char* relCore =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";

// The parts a new workbook starts from.
extern const char* const minimalStyles;
extern const char* const minimalSheet;

// The schema's order of a worksheet's and of a workbook's children.
extern const std::vector<const char*> sheetOrder;
extern const std::vector<const char*> workbookOrder;

inline QByteArray u8(const QString& s) {
    return s.toUtf8();
}

// Inserts a new child so that the parent's children stay in the schema's order: after the last
// child the schema puts before it. Children the order does not name (markup-compatibility
// elements such as mc:AlternateContent, extensions of other namespaces) stay where they are.
pugi::xml_node insertOrdered(pugi::xml_node parent, const char* name, const std::vector<const char*>& order);
// The prefix under which the part's root declares the relationships namespace ("r" when it
// declares none: then it is declared).
QByteArray relationshipPrefix(pugi::xml_node root);
// A range as the file's structure parts write it: two cells, whole columns and rows included.
QByteArray cellsAddress(const Rect& r);
// Element names carry the prefix the part already uses for the main namespace (usually none).
QByteArray prefixed(const pugi::xml_node& root, const char* name);
void removeChildren(pugi::xml_node parent, const char* name);

// ---- relationships and content types ----

struct RelsDoc {
    pugi::xml_document doc;
    QString part;
    bool changed = false;

    void load(const Package& pkg, const QString& owner);
    pugi::xml_node root() { return doc.document_element(); }
    QString newId();
    QString add(const char* type, const QString& target, bool external = false);
    pugi::xml_node byType(const char* suffix);
    void store(Package& pkg);
};

// A target as written in a relationship of `owner`: relative to the owner's folder.
QString relativeTarget(const QString& owner, const QString& part);

struct ContentTypes {
    pugi::xml_document doc;
    void load(const Package& pkg);
    pugi::xml_node find(const QString& part);
    QString typeOf(const QString& part) { return attr(find(part), "ContentType"); }
    void set(const QString& part, const char* type);
    void remove(const QString& part);
};

// ---- the parts the model owns ----

class SharedStrings {
public:
    explicit SharedStrings(const QHash<QString, QByteArray>& rich) : rich_(rich) {}
    int index(const QString& s) {
        auto it = map_.find(s);
        if (it != map_.end()) return *it;
        int i = int(list_.size());
        map_.insert(s, i);
        list_.push_back(s);
        return i;
    }
    QByteArray xml() const;
    int uses_ = 0;

private:
    const QHash<QString, QByteArray>& rich_;
    QHash<QString, int> map_;
    std::vector<QString> list_;
};

// Appends the formats made since the file was read, each derived from the file's xf it started
// from: font, fill and border records are copied from it and changed where the format differs.
void writeStyles(Workbook& book, pugi::xml_document& doc, int fileCount);
void writeSheet(Worksheet& ws, pugi::xml_document& doc, RelsDoc& rels, SharedStrings& strings, bool active);
void writeCore(Workbook& book, Package& pkg, RelsDoc& rootRels, ContentTypes& types);

}  // namespace sheet::xml::writing
