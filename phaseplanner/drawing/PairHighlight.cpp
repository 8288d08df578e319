// Pair highlighting: the stream bodies and markers of two groups coloured by handle.
#include "phaseplanner/drawing/PairHighlight.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/StreamDrawing.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/editor/ProgramWindow.h"
#include "platform/ui/core/Prompt.h"

namespace phaseplanner {

std::vector<StreamGroupEntry> StreamGroupTable;
bool StreamGroupTableFilled = false;
bool SchemeWarningArmed = false;
bool SchemeWarningShown = false;

namespace {

const QString kStreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

bool earlierColoured(std::size_t upTo, const QString& handle) {
    for (std::size_t k = 0; k < upTo; ++k)
        if (StreamGroupTable[k].Coloured && StreamGroupTable[k].Handle == handle) return true;
    return false;
}

// Colours one entry's entity for the pair and notes it for the reset.
void colourEntry(StreamGroupEntry& e, cad::Entity ref, int groupA, int colourA, int colourB) {
    ref.setColor(e.Group == groupA ? colourA : colourB);
    if (e.IsMarker) automation::MoveObjectToTop(ref);
    ref.update();
    e.Coloured = true;
}

// The group of the stream a marker belongs to. A marker is named after its stream followed by
// "_" and more; stream names may hold "_" themselves, so the longest leading part whose base name
// (a variant's "[2]" cut off) is a head symbol wins.
int markerGroup(const QString& name) {
    const QString start = IntersectionNumber + QStringLiteral("^POCZATEK_STRUMIEN_");
    const QString end = IntersectionNumber + QStringLiteral("^KONIEC_STRUMIEN_");
    const qsizetype at = name.indexOf(start);
    QString rest;
    if (at >= 0) {
        rest = name.mid(at + start.size());
    } else {
        const qsizetype e = name.indexOf(end);
        if (e < 0) return -1;
        rest = name.mid(e + end.size());
    }
    // Older drawings put the variant last ("K1_2 [2]").
    const qsizetype variant = rest.indexOf(QStringLiteral(" ["));
    if (variant >= 0) rest.truncate(variant);
    for (qsizetype cut = rest.lastIndexOf(QLatin1Char('_')); cut > 0;
         cut = rest.lastIndexOf(QLatin1Char('_'), cut - 1)) {
        const int g = FindGroupBySymbol(StreamBaseName(rest.left(cut)));
        if (g > -1) return g;
    }
    return FindGroupBySymbol(StreamBaseName(rest));
}

cad::SelectionFilter streamFilter(const QString& prefix) {
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT")).add(2, prefix + QStringLiteral("STRUMIEN_*")).add(8, kStreamLayer);
    return f;
}

cad::SelectionFilter markerFilter(const QString& prefix) {
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT"))
        .add(-4, QStringLiteral("<or"))
        .add(2, prefix + QStringLiteral("POCZATEK_STRUMIEN_*"))
        .add(2, prefix + QStringLiteral("KONIEC_STRUMIEN_*"))
        .add(-4, QStringLiteral("or>"));
    return f;
}

void rebuildAndColour(int groupA, int groupB, int colourA, int colourB) {
    StreamGroupTable.clear();
    StreamGroupTableFilled = false;
    const QString prefix = IntersectionNumber.isEmpty()
                               ? QString()
                               : automation::EscapeFilterText(IntersectionNumber) + QLatin1Char('^');
    {
        automation::HelperSelectionSet set(QStringLiteral("SS3"));
        set->select(cad::SelectionSet::All, streamFilter(prefix));
        const QList<cad::Entity> refs = set->entities();
        if (refs.isEmpty()) return;
        StreamGroupTableFilled = true;
        StreamGroupTable.reserve(std::size_t(refs.size()) * 2);
        for (const cad::Entity& ref : refs) {
            const QString handle = ref.handle();
            for (const QString& name : StreamNamesOfBlock(ref.name())) {
                const int g = FindGroupBySymbol(name);
                if (g < 0) continue;
                StreamGroupTable.push_back({g, false, handle, false});
                StreamGroupEntry& e = StreamGroupTable.back();
                if ((g == groupA || g == groupB) && !earlierColoured(StreamGroupTable.size() - 1, handle))
                    colourEntry(e, ref, groupA, colourA, colourB);
            }
        }
    }
    automation::HelperSelectionSet set(QStringLiteral("SS3b"));
    set->select(cad::SelectionSet::All, markerFilter(prefix));
    for (const cad::Entity& ref : set->entities()) {
        const int g = markerGroup(ref.name());
        if (g < 0) continue;
        StreamGroupTable.push_back({g, false, ref.handle(), true});
        if (g == groupA || g == groupB) colourEntry(StreamGroupTable.back(), ref, groupA, colourA, colourB);
    }
}

// Colours by the kept mapping; false when a handle no longer resolves.
bool colourFromTable(int groupA, int groupB, int colourA, int colourB) {
    for (std::size_t i = 0; i < StreamGroupTable.size(); ++i) StreamGroupTable[i].Coloured = false;
    for (std::size_t i = 0; i < StreamGroupTable.size(); ++i) {
        StreamGroupEntry& e = StreamGroupTable[i];
        if (e.Group != groupA && e.Group != groupB) continue;
        if (e.Handle.isEmpty() || earlierColoured(i, e.Handle)) continue;
        cad::Entity ref;
        try {
            ref = automation::CadDocument.handleToObject(e.Handle);
        } catch (const std::exception&) {
            return false;  // erased since the mapping was built
        }
        colourEntry(e, ref, groupA, colourA, colourB);
    }
    return true;
}

}  // namespace

void HighlightGroupPairStreams(int groupA, int groupB, int colourA, int colourB, bool& refresh) {
    if (automation::CheckDocumentOpen(false)) {
        // The streams are coloured in the drawing that holds them, whichever drawing is active.
        const StreamDrawingScope streams;
        if (!streams.found()) {
            StreamGroupTable.clear();
            StreamGroupTableFilled = false;
            refresh = true;  // the mapping is built once such a drawing is open
            if (SchemeWarningArmed && !SchemeWarningShown) {
                SchemeWarningShown = true;
                ui::MsgBox(StreamDrawingMissingMessage(), ui::Exclamation);
            }
            return;
        }
        const bool opening = refresh;
        ResetStreamColours(true);
        if (refresh || (StreamGroupTableFilled && !colourFromTable(groupA, groupB, colourA, colourB))) {
            ResetStreamColours(true);
            rebuildAndColour(groupA, groupB, colourA, colourB);
        }
        refresh = false;
        // Once each time the mapping is built afresh (the dialog opened): every pair shows the same.
        if (opening)
            if (const QStringList passed = PassedOverStreamPieces(); !passed.isEmpty())
                ui::MsgBox(PassedOverColoursMessage(passed), ui::Exclamation);
    }
    if (!StreamGroupTableFilled && SchemeWarningArmed && !SchemeWarningShown) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie znaleziono schematu skrzyżowania!")), ui::Exclamation);
        SchemeWarningShown = true;
    }
}

void ResetPairHighlight() {
    StreamGroupTable.clear();
    StreamGroupTableFilled = false;
    SchemeWarningArmed = false;
    SchemeWarningShown = false;
}

}  // namespace phaseplanner
