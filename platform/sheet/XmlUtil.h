// Small pugixml helpers for package parts: prefix-blind element look-up, relationships, and
// parsing and saving with the layer's errors (layer-internal).
#pragma once

#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"

#include <QString>
#include <cstring>
#include <pugixml.hpp>
#include <vector>

namespace sheet::xml {

inline const char* localName(const char* n) {
    const char* c = std::strchr(n, ':');
    return c ? c + 1 : n;
}
inline bool is(const pugi::xml_node& n, const char* name) {
    return std::strcmp(localName(n.name()), name) == 0;
}

inline pugi::xml_node child(const pugi::xml_node& n, const char* name) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, name)) return c;
    return pugi::xml_node();
}

inline std::vector<pugi::xml_node> children(const pugi::xml_node& n, const char* name) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, name)) out.push_back(c);
    return out;
}

inline QString attr(const pugi::xml_node& n, const char* name) {
    return QString::fromUtf8(n.attribute(name).value());
}

// The relationship id attribute ("r:id" whatever the prefix).
inline QString relId(const pugi::xml_node& n) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strchr(a.name(), ':') && std::strcmp(localName(a.name()), "id") == 0)
            return QString::fromUtf8(a.value());
    return QString();
}

inline QString text(const pugi::xml_node& n) {
    return QString::fromUtf8(n.text().get());
}

inline void parse(pugi::xml_document& doc, const QByteArray& data, const QString& part) {
    pugi::xml_parse_result r = doc.load_buffer(data.constData(), size_t(data.size()),
                                               pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r)
        throw FileError(QStringLiteral("Uszkodzona część \"%1\" skoroszytu: %2")
                            .arg(part, QString::fromUtf8(r.description())));
}

struct StringWriter : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override {
        out.append(static_cast<const char*>(data), qsizetype(size));
    }
};

inline QByteArray save(const pugi::xml_document& doc) {
    StringWriter w;
    w.out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return w.out;
}

struct Relationship {
    QString id, type, target, mode;
};

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"
inline QString relsPartOf(const QString& part) {
    int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// A relationship target resolved against the folder of the part that names it.
inline QString resolveTarget(const QString& part, const QString& target) {
    if (target.startsWith(QLatin1Char('/'))) return target.mid(1);
    QString base = part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
    QStringList segs = (base + target).split(QLatin1Char('/'));
    QStringList out;
    for (const QString& s : segs) {
        if (s == QLatin1String("..")) {
            if (!out.isEmpty()) out.removeLast();
        } else if (s != QLatin1String(".") && !s.isEmpty()) {
            out << s;
        }
    }
    return out.join(QLatin1Char('/'));
}

inline std::vector<Relationship> readRels(const Package& pkg, const QString& part) {
    std::vector<Relationship> out;
    const QString relsPart = relsPartOf(part);
    if (!pkg.contains(relsPart)) return out;
    pugi::xml_document doc;
    parse(doc, pkg.part(relsPart), relsPart);
    for (pugi::xml_node r : children(doc.first_child(), "Relationship"))
        out.push_back({attr(r, "Id"), attr(r, "Type"), attr(r, "Target"), attr(r, "TargetMode")});
    return out;
}

inline const char* mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char* relNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline const char* pkgRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace sheet::xml
