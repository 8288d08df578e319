// Small pugixml helpers for package parts: prefix-blind element look-up, relationships, and
// parsing and saving with the layer's errors (layer-internal).
#pragma once

#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"

#include <QDateTime>
#include <QString>
#include <cmath>
#include <cstring>
#include <optional>
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

// The XML parser's reason in Polish, with the byte where it stopped.
inline QString xmlErrorText(const pugi::xml_parse_result& r) {
    QString why;
    switch (r.status) {
        case pugi::status_file_not_found:
        case pugi::status_io_error:
            why = QStringLiteral("błąd odczytu");
            break;
        case pugi::status_out_of_memory:
            why = QStringLiteral("brak pamięci");
            break;
        case pugi::status_unrecognized_tag:
        case pugi::status_bad_start_element:
        case pugi::status_bad_end_element:
            why = QStringLiteral("błędny znacznik");
            break;
        case pugi::status_end_element_mismatch:
            why = QStringLiteral("znacznik zamykający nie pasuje do otwierającego");
            break;
        case pugi::status_no_document_element:
            why = QStringLiteral("brak elementu głównego");
            break;
        case pugi::status_bad_attribute:
            why = QStringLiteral("błędny atrybut");
            break;
        case pugi::status_bad_pcdata:
        case pugi::status_bad_cdata:
        case pugi::status_bad_comment:
        case pugi::status_bad_pi:
        case pugi::status_bad_doctype:
            why = QStringLiteral("błędny tekst, komentarz lub deklaracja");
            break;
        default:
            why = QStringLiteral("błędny zapis XML");
    }
    return QStringLiteral("%1 (bajt %2)").arg(why).arg(qlonglong(r.offset));
}

inline void parse(pugi::xml_document& doc, const QByteArray& data, const QString& part) {
    pugi::xml_parse_result r = doc.load_buffer(data.constData(), size_t(data.size()),
                                               pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r) throw FileError(QStringLiteral("Uszkodzona część \"%1\" skoroszytu: %2").arg(part, xmlErrorText(r)));
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

// The attribute under which a defined name local to a sheet the model does not hold (a chart
// sheet) keeps that sheet's relationship id; the writer turns it back into localSheetId.
inline const char* LocalToOtherSheet = "@localSheetRel";
// A local name of such a sheet: no worksheet index matches it, and it is not the workbook's.
constexpr int OtherSheetLocal = 1 << 30;

// Texts of the file escape characters XML cannot carry as "_xHHHH_" (and a literal "_x" that looks
// like an escape as "_x005F_x"); decoded on reading, encoded on writing.
inline QString decodeEscapes(const QString& s) {
    if (!s.contains(QLatin1String("_x"))) return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (s.at(i) == QLatin1Char('_') && i + 6 < s.size() && s.at(i + 1) == QLatin1Char('x') &&
            s.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const uint code = s.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 7;
                continue;
            }
        }
        out += s.at(i++);
    }
    return out;
}
inline QString encodeEscapes(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        const bool looksEscaped = c == QLatin1Char('_') && i + 6 < s.size() &&
                                  s.at(i + 1) == QLatin1Char('x') && s.at(i + 6) == QLatin1Char('_') && [&] {
                                      bool ok = false;
                                      s.mid(i + 2, 4).toUInt(&ok, 16);
                                      return ok;
                                  }();
        // A CR written as it is would come back as LF (XML reads every line end as LF).
        const bool control = c.unicode() < 32 && c != QLatin1Char('\t') && c != QLatin1Char('\n');
        if (looksEscaped || control || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            out += QStringLiteral("_x%1_")
                       .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                       .toUpper()
                       .replace(QLatin1String("_X"), QLatin1String("_x"));
        else
            out += c;
    }
    return out;
}

// ISO 8601 dates of t="d" cells and the serial numbers the engine computes with (days since
// 1899-12-30, the time as the fraction); nullopt / empty outside the years 1900 to 9999.
inline std::optional<double> serialFromIsoDate(const QString& iso) {
    static const QDate epoch(1899, 12, 30);
    const QString t = iso.trimmed();
    QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!dt.isValid()) dt = QDateTime(QDate::fromString(t.left(10), Qt::ISODate), QTime(0, 0));
    if (!dt.isValid() && t.startsWith(QLatin1Char('T')))
        dt = QDateTime(epoch, QTime::fromString(t.mid(1), Qt::ISODate));
    if (!dt.isValid() || dt.date().year() < 1900 || dt.date().year() > 9999) return std::nullopt;
    return double(epoch.daysTo(dt.date())) + double(dt.time().msecsSinceStartOfDay()) / 86400000.0;
}
inline QString isoDateFromSerial(double serial) {
    static const QDate epoch(1899, 12, 30);
    if (!(serial >= 1 && serial < 2958466)) return QString();
    const double day = std::floor(serial);
    const QDate d = epoch.addDays(qint64(day));
    const qint64 ms = qint64(std::llround((serial - day) * 86400000.0));
    if (ms == 0) return d.toString(Qt::ISODate);
    const QDateTime dt(d, QTime(0, 0).addMSecs(int(std::min<qint64>(ms, 86399999))));
    return dt.toString(ms % 1000 == 0 ? Qt::ISODate : Qt::ISODateWithMs);
}

inline const char* mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char* relNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline const char* pkgRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace sheet::xml
