// Reading a coordination project file with pugixml. pugixml has no DTD processing at all, so no
// external entity is ever fetched or expanded.
#include "phaseplanner/drawing/CoordinationProject.h"

#include "common/TextHelpers.h"

#include <QFile>
#include <pugixml.hpp>

namespace phaseplanner {

std::vector<CoordinationRecord> CoordinationTable(1);

namespace {

QString tr_(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// The node's text as a project file means it: all its descendant texts, trimmed.
QString textOf(const pugi::xml_node& node) {
    QString text;
    for (pugi::xpath_node d : node.select_nodes(".//text()")) text += QString::fromUtf8(d.node().value());
    return text.trimmed();
}

QString nameOf(const pugi::xml_node& node) {
    return QString::fromUtf8(node.name());
}

// A whole number within the 16-bit range the table holds.
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < -32768 || v > 32767) return std::nullopt;
    return v;
}

// pugixml's own descriptions are English; the message names the fault in Polish.
QString parseFault(pugi::xml_parse_status status) {
    switch (status) {
        case pugi::status_out_of_memory:
            return tr_("brak pamięci");
        case pugi::status_unrecognized_tag:
            return tr_("nierozpoznany znacznik");
        case pugi::status_bad_pi:
            return tr_("błędna instrukcja przetwarzania");
        case pugi::status_bad_comment:
            return tr_("błędny komentarz");
        case pugi::status_bad_cdata:
            return tr_("błędna sekcja CDATA");
        case pugi::status_bad_doctype:
            return tr_("błędna deklaracja DOCTYPE");
        case pugi::status_bad_pcdata:
            return tr_("błędny tekst węzła");
        case pugi::status_bad_start_element:
            return tr_("błędny znacznik otwierający");
        case pugi::status_bad_attribute:
            return tr_("błędny atrybut");
        case pugi::status_bad_end_element:
            return tr_("błędny znacznik zamykający");
        case pugi::status_end_element_mismatch:
            return tr_("znacznik zamykający nie pasuje do otwierającego albo go brakuje");
        case pugi::status_no_document_element:
            return tr_("brak elementu głównego");
        default:
            return tr_("błąd odczytu");
    }
}

QString numberError(const QString& node, const QString& text) {
    return tr_("Wartość węzła ") + node + tr_(" nie jest liczbą całkowitą: \"") + text + QLatin1Char('"');
}

}  // namespace

std::optional<CoordinationProject> ReadCoordinationProject(const QString& path, QString& error) {
    const QString onFile = QStringLiteral("\n[") + path + QLatin1Char(']');
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = tr_("Nie można odczytać pliku projektu:") + onFile;
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    CoordinationProject project;
    if (bytes.trimmed().isEmpty()) return project;  // a new project is an empty file

    pugi::xml_document doc;
    // The default parse: no DOCTYPE node, only the predefined and numeric character references.
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.constData(), std::size_t(bytes.size()),
                                                          pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        error = tr_("Plik projektu nie jest poprawnym dokumentem XML (") + parseFault(parsed.status) +
                tr_(", bajt ") + QString::number(parsed.offset) + QStringLiteral(").") + onFile;
        return std::nullopt;
    }

    const pugi::xpath_node current = doc.select_node("//OstKoordynacja");
    if (!current) {
        error = tr_("W pliku projektu brakuje węzła OstKoordynacja.") + onFile;
        return std::nullopt;
    }
    project.CurrentCycle = textOf(current.node());
    project.Trace << nameOf(current.node()) + QStringLiteral(": ") + project.CurrentCycle;

    const pugi::xpath_node_set intersections = doc.select_nodes("//Skrzyzowanie");
    project.Records.assign(std::max<std::size_t>(1, intersections.size()), CoordinationRecord{});
    std::size_t k = 0;
    for (pugi::xpath_node x : intersections) {
        CoordinationRecord& r = project.Records[k];
        for (pugi::xml_node child : x.node().children()) {
            if (child.type() != pugi::node_element) continue;
            const QString name = nameOf(child);
            const QString text = textOf(child);
            project.Trace << name + QStringLiteral(": ") + text;
            if (name == QLatin1String("NrSkrzyz")) {
                r.NrSkrzyz = text;
            } else if (name == QLatin1String("LGrupa")) {
                r.LGrupa = text;
            } else if (name == QLatin1String("PGrupa")) {
                r.PGrupa = text;
            } else if (name == QLatin1String("OdstepLP") || name == QLatin1String("LGrupaOdstep") ||
                       name == QLatin1String("PGrupaOdstep")) {
                const std::optional<int> v = wholeNumber(text);
                if (!v) {
                    error = numberError(name, text) + onFile;
                    return std::nullopt;
                }
                (name == QLatin1String("OdstepLP")       ? r.OdstepLP
                 : name == QLatin1String("LGrupaOdstep") ? r.LGrupaOdstep
                                                         : r.PGrupaOdstep) = *v;
            } else if (name == QLatin1String("Koordynacja")) {
                const pugi::xml_node tc = child.child("TC");
                if (!tc) {
                    error = tr_("Węzeł Koordynacja bez węzła TC.") + onFile;
                    return std::nullopt;
                }
                const QString tcText = textOf(tc);
                const std::optional<int> v = wholeNumber(tcText);
                if (!v) {
                    error = numberError(QStringLiteral("TC"), tcText) + onFile;
                    return std::nullopt;
                }
                if (r.KoordynacjaCount >= MaxCoordinationEntries) {
                    ++project.IgnoredEntries;
                    continue;
                }
                CoordinationCycleEntry& e = r.Koordynacja[std::size_t(r.KoordynacjaCount++)];
                e.TC = *v;
                e.Plik = textOf(child.child("Plik"));
                if (k == 0) project.CycleTimes << tcText;
            }
        }
        ++k;
    }
    return project;
}

}  // namespace phaseplanner
