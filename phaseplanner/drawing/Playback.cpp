// Playback in the drawing: time marker, stream colour cache, colouring and its reset.
#include "phaseplanner/drawing/Playback.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CaretNames.h"
#include "automation/Selection.h"
#include "automation/StreamReferences.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/StreamDrawing.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/FilteredReads.h"
#include "platform/ui/core/Prompt.h"

#include <QSet>

namespace phaseplanner {

PlaybackData Playback;

namespace {

const QString kWorkLayer = QStringLiteral("255-ROBOCZA");
const QString kStreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

void checkCache() {
    // The drawing's names and its model space's count in one read, and the cached references'
    // block names in another: a reference erased since the cache was built has no name. Each read
    // asks only members its objects have, so none of them fails on its way.
    const cad::VariantList rows = cad::ReadProperties(
        automation::CadDocument,
        {cad::Variant(automation::CadDocument.ref()), cad::Variant(automation::CadModelSpace.ref())},
        {QStringLiteral("?FullName"), QStringLiteral("?Name"), QStringLiteral("?Count")});
    const cad::VariantList drawing = rows.value(0).toArray();
    const QString full = drawing.value(0).toText();
    const QString key = full.isEmpty() ? drawing.value(1).toText() : full;
    const int count = int(rows.value(1).toArray().value(2).toInt());
    bool lost = false;
    if (!Playback.StreamCacheStale && !Playback.StreamColourCache.empty()) {
        cad::VariantList references;
        QSet<QString> seen;
        for (const StreamColourEntry& e : Playback.StreamColourCache)
            if (!seen.contains(e.Handle)) {
                seen.insert(e.Handle);
                references.append(cad::Variant(e.Reference.ref()));
            }
        for (const cad::Variant& row : cad::ReadProperties(automation::CadDocument, references, {QStringLiteral("?Name")}))
            lost = lost || row.toArray().value(0).toText().isEmpty();
    }
    if (lost || key != Playback.CachedDocumentName || IntersectionNumber != Playback.CachedIntersection ||
        count != Playback.CachedEntityCount) {
        Playback.CachedDocumentName = key;
        Playback.CachedIntersection = IntersectionNumber;
        Playback.CachedEntityCount = count;
        Playback.StreamCacheStale = true;
    }
}

void rebuildCache() {
    Playback.StreamColourCache.clear();
    const QString number = IntersectionNumber;
    const QString prefix = number.isEmpty() ? QString() : number + QLatin1Char('^');
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT"))
        .add(2, automation::EscapeFilterText(prefix) + QStringLiteral("STRUMIEN_*"))
        .add(8, kStreamLayer);
    // The references with their handles and names in one read.
    const cad::VariantList rows =
        cad::ReadSelection(automation::CadDocument, f, {QStringLiteral("Handle"), QStringLiteral("Name")});
    Playback.StreamColourCache.reserve(std::size_t(rows.size()) * 2);
    for (const cad::Variant& row : rows) {
        const cad::VariantList values = row.toArray();
        const cad::Entity ref = cad::EntityOfRow(automation::CadDocument, row);
        const QString handle = values.value(1).toText();
        for (const QString& name : StreamNamesOfBlock(values.value(2).toText()))
            Playback.StreamColourCache.push_back({name, false, handle, ref});
    }
    // Read with the cache, not at every step: the search reads every block of the drawing.
    Playback.PassedOver = PassedOverStreamPieces();
    Playback.StreamCacheStale = false;
}

// Told after the step's calls are sent, so the drawing shows the colours the message speaks of.
void tellPassedOver(const cad::DeferredCalls& step) {
    const QStringList& lines = Playback.PassedOver;
    if (lines == Playback.PassedOverShown) return;
    Playback.PassedOverShown = lines;
    if (lines.isEmpty()) return;
    step.flush();
    ui::MsgBox(PassedOverColoursMessage(lines), ui::Exclamation, MainProgramWindow().caption());
}

void resetColoursInStreamDrawing(bool includeMarkers) {
    // Every stream of the intersection still green goes back to its layer colour, whoever coloured
    // it (conflictor's selection, or a run of this program that ended abnormally); with the markers
    // also the red second group of a colliding pair.
    const QString prefix =
        IntersectionNumber.isEmpty() ? QString() : automation::EscapeFilterText(IntersectionNumber) + QLatin1Char('^');
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT"));
    if (includeMarkers) {
        f.add(-4, QStringLiteral("<or"))
            .add(2, prefix + QStringLiteral("STRUMIEN_*"))
            .add(2, prefix + QStringLiteral("POCZATEK_STRUMIEN_*"))
            .add(2, prefix + QStringLiteral("KONIEC_STRUMIEN_*"))
            .add(-4, QStringLiteral("or>"))
            .add(-4, QStringLiteral("<or"))
            .add(62, 3)
            .add(62, 1)
            .add(-4, QStringLiteral("or>"));
    } else {
        f.add(2, prefix + QStringLiteral("STRUMIEN_*")).add(8, kStreamLayer).add(62, 3);
    }
    for (const cad::Variant& row : cad::ReadSelection(automation::CadDocument, f, {})) {
        const cad::Entity e = cad::EntityOfRow(automation::CadDocument, row);
        e.setColor(256);
        e.update();
    }
    for (StreamColourEntry& e : Playback.StreamColourCache) e.Coloured = false;
}

}  // namespace

QStringList PassedOverStreamPieces() {
    return automation::PassedOverStreamReferences(IntersectionNumber, kStreamLayer);
}

QString PassedOverColoursMessage(const QStringList& lines) {
    return common::Tlumacz(QStringLiteral("Kolory mogą nie pokazywać strumieni tak, jak zostaną zmierzone:")) +
           QLatin1Char('\n') + automation::PassedOverListText(lines);
}

QString StreamBaseName(const QString& name) {
    const qsizetype variant = name.indexOf(QLatin1Char('['));
    return variant > 0 ? name.left(variant).trimmed() : name;
}

QStringList StreamNamesOfBlock(const QString& blockName) {
    QStringList names =
        automation::SplitCaretList(blockName, IntersectionNumber + QStringLiteral("^STRUMIEN"));
    for (QString& name : names) name = StreamBaseName(name);
    return names;
}

bool ColourStreamHandle(const QString& handle, int colour) {
    try {
        cad::Entity e = automation::CadDocument.handleToObject(handle);
        e.setColor(colour);
        e.update();
        return true;
    } catch (const std::exception&) {
        return false;  // erased since the cache was built
    }
}

int FindGroupBySymbol(const QString& symbol) {
    for (int i = 0; i < int(GroupTable.size()); ++i) {
        if (!GroupTable[std::size_t(i)].Defined) continue;
        for (const QString& s : SplitSymbolList(GroupTable[std::size_t(i)].Symbols))
            if (s.compare(symbol, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QString TimeMarkerBlockName(int groupRows) {
    return QStringLiteral("AKTUALNY_CZAS_") + QString::number(groupRows);
}

void PlaceTimeMarker(int second) {
    const int rows = GroupCountSetting > 0 ? GroupCountSetting : 32;
    const QString name = TimeMarkerBlockName(rows);
    cad::Entity marker;
    cad::Point where;
    {
        // The marker and its insertion point in one read.
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT")).add(2, automation::EscapeFilterText(name)).add(8, kWorkLayer);
        const cad::VariantList found =
            cad::ReadSelection(automation::CadDocument, f, {QStringLiteral("InsertionPoint")});
        if (!found.isEmpty()) {
            marker = cad::EntityOfRow(automation::CadDocument, found.first());
            where = found.first().toArray().value(1).toPoint();
        }
    }
    // The marker belongs over the program table: a drawing without the intersection's program block
    // (the streams' drawing made active) gets none (a standing marker stands over it already).
    if (second >= 0 && marker.isNull() &&
        !automation::CheckBlockExists(ProgramAttributeBlockNameFor(IntersectionNumber)))
        return;
    if (second < 0) {
        if (!marker.isNull()) marker.erase();
        try {
            automation::GetBlockDefinition(name).erase();
        } catch (const cad::ConnectionLost&) {
            throw;
        } catch (const cad::Error&) {
            // The marker's definition still used elsewhere stays; its reference, the one thing the
            // user sees, was erased above.
        }
        return;
    }
    // A marker standing in the drawing has its definition.
    if (marker.isNull() && !automation::CheckBlockExists(name)) {
        const cad::Block b = automation::CadDocument.blocks().add({0, 0, 0}, name);
        b.addLine({0, 0, 0}, {0, -(8.0 * rows + 4), 0}).setColor(2);
    }
    if (!ProgramTableOrigin.Known) return;
    const cad::Point at{ProgramTableOrigin.Point.X + second, ProgramTableOrigin.Point.Y + 4, 0};
    if (marker.isNull()) {
        automation::EnsureLayer(kWorkLayer, false, -1, -10);
        marker = automation::CadModelSpace.insertBlock(at, name, 1, 1, 1, 0);
        marker.setLayer(kWorkLayer);
        marker.update();
        return;
    }
    marker.move(where, at);
    marker.update();
}

int ShowSecondInDrawing(int second, const ProgramStates& states, int cycleLength) {
    // The marker goes over the program table in the active drawing.
    const bool open = automation::CheckDocumentOpen(false);
    const int st = second < 0 ? -1 : StateAtSecond(states, second, cycleLength);
    if (!open) {
        Playback.ShownState = st;
        return st;
    }
    // A step moves the marker and colours many streams: their calls go together, none of them
    // trapping a failure, which is thrown from here (the shown state is kept only once the search
    // has run, so a failed step is tried again).
    const cad::DeferredCalls step(automation::CadDocument);
    PlaceTimeMarker(second);
    if (st == Playback.ShownState) return st;
    // The streams are coloured in the drawing that holds them, whichever drawing is active (made
    // automation's current drawing by the check above).
    const StreamDrawingScope streams(true);
    Playback.ShownState = st;
    if (!streams.found()) {
        if (st >= 0 && !Playback.StreamDrawingMissingShown) {
            Playback.StreamDrawingMissingShown = true;
            ui::MsgBox(StreamDrawingMissingMessage(), ui::Exclamation, MainProgramWindow().caption());
        }
        return st;
    }
    Playback.StreamDrawingMissingShown = false;
    resetColoursInStreamDrawing(false);
    if (st >= 0) {
        RecolourStreams(st, states, 3);
        tellPassedOver(step);
    }
    return st;
}

void RecolourStreams(int state, const ProgramStates& states, int colour) {
    if (state < 0 || state >= int(states.StateGreens.size())) return;
    checkCache();
    if (Playback.StreamCacheStale) rebuildCache();
    QSet<QString> done;
    for (StreamColourEntry& e : Playback.StreamColourCache) {
        e.Coloured = false;
        if (done.contains(e.Handle)) continue;
        bool green = false;
        for (const SymbolIndexEntry& s : states.SymbolIndex)
            if (s.Symbol == e.StreamName && s.Group >= 0 &&
                s.Group < int(states.StateGreens[std::size_t(state)].size()) &&
                states.StateGreens[std::size_t(state)][std::size_t(s.Group)]) {
                green = true;
                break;
            }
        if (!green) continue;
        e.Reference.setColor(colour);
        e.Reference.update();
        e.Coloured = true;
        done.insert(e.Handle);
    }
}

void ResetStreamColours(bool includeMarkers) {
    const StreamDrawingScope streams;
    if (!streams.found()) return;
    // Every green or red stream of the intersection given back its colour: many calls, none
    // trapping a failure, which is thrown from here.
    const cad::DeferredCalls colours(automation::CadDocument);
    resetColoursInStreamDrawing(includeMarkers);
}

void InvalidateShownState() {
    Playback.ShownState = -2;
}

void ResetPlayback() {
    Playback = PlaybackData{};
}

}  // namespace phaseplanner
