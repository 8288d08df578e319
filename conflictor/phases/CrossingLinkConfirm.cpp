// The confirm operation of the crossing-links dialog.
#include "conflictor/phases/CrossingLinkConfirm.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/CrossingLinks.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/phases/CrossingLinkGeometry.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/ui/core/Prompt.h"

#include <numbers>

namespace conflictor {

namespace {

const QString LinkLayer = QStringLiteral("402-POWIAZANIA_PRZEJSC");
const QString LengthLayer = QStringLiteral("403-DLUGOSCI_POWIAZAN_PRZEJSC");
const QString GapLayer = QStringLiteral("404-ODCINKI_POWIAZAN_PRZEJSC");
const QString OneDecimal = QStringLiteral("#######0.0");

QString tr_(const QString& text) {
    return common::Tlumacz(text);
}

struct Side {
    QStringList names;
    std::vector<PointPair> ends;
    double sum = 0;
    PointPair span = AbsentPair();
    PointPair gap = AbsentPair();
};

// The names of one side: count, existence and kind. Empty text means the check passed.
QString checkSide(const QStringList& names, const QString& emptyMessage) {
    if (names.isEmpty()) return emptyMessage;
    if (names.size() > 2)
        return tr_(QStringLiteral("Program obsługuje powiązanie maksymalnie dwóch par strumieni!"));
    return QString();
}
QString checkStreams(const QStringList& names) {
    for (const QString& name : names) {
        const int i = FindStreamIndex(name);
        if (i < 0)
            return tr_(QStringLiteral("W programie nie zdefiniowano strumienia: ")) + name + QLatin1Char('!');
        const int kind = StreamTable[size_t(i)].Kind;
        if (kind != KindPedestrian && kind != KindBicycle)
            return tr_(QStringLiteral("Powiązać można tylko strumienie piesze lub rowerowe!"));
    }
    return QString();
}

void collectSide(Side& side) {
    for (const QString& name : side.names) {
        const int i = FindStreamIndex(name);
        if (i < 0) continue;
        OdczytajStrumienie(false, i);
        const int j = FindStreamIndex(name);  // the re-read may have moved the record
        if (j < 0) continue;
        int first = 0, second = 0;
        const common::PlanePointPair ends = GetStreamEndPoints(j, false, first, second);
        if (common::IsMissingPoint(ends.First)) continue;
        side.sum += GetStreamLength(j);
        side.ends.push_back(PointPair{ends.First, ends.Second});
    }
    if (!side.ends.empty()) side.span = CombineCrossingSide(side.ends, side.gap);
}

cad::Point at(const common::PlanePoint& p) {
    return cad::Point{p.X, p.Y, 0};
}
common::PlanePoint minus(const common::PlanePoint& p, const common::PlanePoint& o) {
    return {p.X - o.X, p.Y - o.Y};
}

// The command's CAD variables back on every way out. A refusal on the way out of a command that
// went well reaches the command's guard, which says it.
struct RestoreVariables {
    ~RestoreVariables() noexcept(false) {
        if (std::uncaught_exceptions() == 0) {
            automation::RestoreCadVariables();
            return;
        }
        try {
            automation::RestoreCadVariables();
        } catch (const cad::Error&) {
            // The command is failing already and its guard tells that failure; this one, from the
            // same CAD, would only repeat it, and a second exception here would end the program.
        }
    }
};

// Erases the link reference of that handle (only a link block of the current intersection) and its
// block definition when no reference of it is left.
void eraseOldLink(const QString& handle) {
    if (handle.isEmpty()) return;
    cad::Entity ref;
    try {
        ref = automation::CadDocument.handleToObject(handle);
    } catch (const std::exception&) {
        return;  // already gone
    }
    QString name;
    try {
        name = ref.name();
    } catch (const std::exception&) {
        return;
    }
    if (!name.startsWith(IntersectionNumber + QStringLiteral("^POWIAZANIE_"))) return;
    automation::DeleteEntity(ref);
    automation::HelperSelectionSet set(QStringLiteral("SSPowiazanie"));
    set->select(cad::SelectionSet::All,
                automation::BuildSelectionFilter(
                    {0, QStringLiteral("INSERT"), 2, automation::EscapeFilterText(name)}));
    const bool used = set->count() > 0;
    set.remove();
    if (used) return;
    try {
        automation::GetBlockDefinition(name).erase();
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error&) {
        // An unused definition the drawing keeps (still named inside another block) is only a name
        // in the block table: no reference shows it and no link is read from it.
    }
}

}  // namespace

bool ConfirmCrossingLink(const QString& innerText, const QString& outerText, int& editedIndex,
                         const QString& title, CrossingSide& failed) {
    failed = CrossingSide::None;
    Side inner, outer;
    inner.names = CrossingSideList(innerText);
    outer.names = CrossingSideList(outerText);
    auto refuse = [&](const QString& message, CrossingSide side) {
        ui::MsgBox(message, ui::Exclamation | ui::OkOnly, title);
        failed = side;
        return false;
    };
    QString m =
        checkSide(inner.names, tr_(QStringLiteral("Nie wypełniono pola \"Od środka skrzyżowania\"!")));
    if (!m.isEmpty() && inner.names.isEmpty()) return refuse(m, CrossingSide::Inner);
    const QString mOuter = checkSide(outer.names, tr_(QStringLiteral("Nie wypełniono pola \"Zewnętrzne\"!")));
    if (outer.names.isEmpty()) return refuse(mOuter, CrossingSide::Outer);
    if (!m.isEmpty()) return refuse(m, CrossingSide::Inner);
    if (!mOuter.isEmpty()) return refuse(mOuter, CrossingSide::Outer);
    m = checkStreams(inner.names);
    if (!m.isEmpty()) return refuse(m, CrossingSide::Inner);
    m = checkStreams(outer.names);
    if (!m.isEmpty()) return refuse(m, CrossingSide::Outer);
    // A stream is one edge of the crossing: on both sides it would link the edge to itself.
    for (const QString& name : outer.names)
        if (inner.names.contains(name, Qt::CaseInsensitive))
            return refuse(tr_(QStringLiteral("Strumień nie może należeć do obu stron przejścia: ")) + name +
                              QLatin1Char('!'),
                          CrossingSide::Outer);
    if (!automation::CheckDocumentOpen(true)) return false;

    // The scale first, so that the lengths are measured with the drawing's own.
    if (!automation::LoadDrawingScale(title)) return false;
    const double s = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    collectSide(inner);
    collectSide(outer);
    // A side without a usable stream has no place in the drawing: no link is drawn at the origin.
    if (inner.ends.empty())
        return refuse(tr_(QStringLiteral(
                          "Nie udało się wyznaczyć położenia strumieni pola \"Od środka skrzyżowania\"!")),
                      CrossingSide::Inner);
    if (outer.ends.empty())
        return refuse(tr_(QStringLiteral("Nie udało się wyznaczyć położenia strumieni pola \"Zewnętrzne\"!")),
                      CrossingSide::Outer);

    PointPair tips = AbsentPair();
    PointPair axis = BuildLinkAxis(inner.span, outer.span, s, tips);
    const common::PlanePoint t1 = tips.P1;

    automation::EnsureLayer(LinkLayer, true, 4, 30);
    automation::EnsureLayer(LengthLayer, false, 4, -10);
    automation::EnsureLayer(GapLayer, false, 4, 30);
    automation::SaveAndSetCadVariables(QStringLiteral("0"), QString(), -1.0, 0.0, 1.0);
    RestoreVariables restore;

    const QString name = automation::MakeUniqueBlockName(IntersectionNumber + QStringLiteral("^POWIAZANIE_"));
    const cad::Block block = automation::CadDocument.blocks().add(cad::Point{0, 0, 0}, name);
    const common::PlanePoint r1 = minus(axis.P1, t1), r2 = minus(axis.P2, t1);
    const common::PlanePoint o{0, 0}, t2 = minus(tips.P2, t1);

    // A double-lined shaft of width s with an arrowhead at each end.
    const double h = s / 2;
    const double a = common::GetDirectionAngle(r1, r2);
    const double up = a + std::numbers::pi / 2, down = a - std::numbers::pi / 2;
    using common::GetPolarPoint;
    const auto a1 = GetPolarPoint(r1, up, h), a2 = GetPolarPoint(r1, down, h);
    const auto b1 = GetPolarPoint(r2, up, h), b2 = GetPolarPoint(r2, down, h);
    const auto c1 = GetPolarPoint(a1, up, h), c2 = GetPolarPoint(a2, down, h);
    const auto d1 = GetPolarPoint(b1, up, h), d2 = GetPolarPoint(b2, down, h);
    const std::pair<common::PlanePoint, common::PlanePoint> lines[] = {
        {a1, b1}, {a2, b2}, {a1, c1}, {a2, c2}, {c1, o}, {c2, o}, {b1, d1}, {b2, d2}, {d1, t2}, {d2, t2}};
    for (const auto& [p, q] : lines) block.addLine(at(p), at(q));

    for (Side* side : {&inner, &outer}) {
        if (IsAbsentPair(side->gap)) continue;
        const PointPair g{minus(side->gap.P1, t1), minus(side->gap.P2, t1)};
        block.addLine(at(g.P1), at(g.P2)).setLayer(GapLayer);
        AddSegmentLengthText(block, g, LengthLayer);
    }

    const Side& deciding = inner.sum > outer.sum ? inner : outer;
    const double crossing = deciding.sum;
    const double islandDistance =
        IsAbsentPair(deciding.gap) ? 0 : common::GetDistance(deciding.gap.P1, deciding.gap.P2);
    const QString islandText = common::FormatNumberWithDot(islandDistance / s, OneDecimal);
    const double island = common::ParseDouble(islandText);
    const QString crossingText = common::FormatNumberWithDot(crossing, OneDecimal);
    const QString totalText = common::FormatNumberWithDot(island + crossing, OneDecimal);
    const QString innerList = inner.names.join(QLatin1Char(':'));
    const QString outerList = outer.names.join(QLatin1Char(':'));
    automation::AddAttributeDefinition(block, QStringLiteral("DLUGOSC_WYSPY"), islandText, 0, 0);
    automation::AddAttributeDefinition(block, QStringLiteral("DLUGOSC_PRZEJSC"), crossingText, 0, 0);
    automation::AddAttributeDefinition(block, QStringLiteral("DLUGOSC_CALKOWITA"), totalText, 0, 0);
    automation::AddAttributeDefinition(block, QStringLiteral("STRUMIENIE_OD_SRODKA"), innerList, 0, 0);
    automation::AddAttributeDefinition(block, QStringLiteral("STRUMIENIE_ZEWN"), outerList, 0, 0);

    const cad::Entity ref = automation::CadDocument.modelSpace().insertBlock(at(t1), name, 1, 1, 1, 0);
    ref.setColor(256);
    ref.update();

    auto& table = automation::CrossingLinkTable;
    if (editedIndex < 0 || editedIndex >= int(table.size())) {
        table.append(automation::CrossingLinkRecord{});
        editedIndex = int(table.size()) - 1;
    } else {
        eraseOldLink(table[editedIndex].Handle);
    }
    automation::CrossingLinkRecord& entry = table[editedIndex];
    entry.InnerStreams = innerList;
    entry.OuterStreams = outerList;
    entry.IslandLength = islandText;
    entry.CrossingLength = crossingText;
    entry.TotalLength = totalText;
    entry.Handle = ref.handle();
    return true;
}

}  // namespace conflictor
