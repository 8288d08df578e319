// The View-menu commands.
#include "conflictor/streams/ViewCommands.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "automation/WindowSearch.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/PhaseMembership.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamViews.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

std::vector<SegmentHandleEntry> SegmentHandleList;

namespace {

// The selected stream's index; -1 when none is selected.
int selectedIndex() {
    StreamWindow& window = MainWindow();
    if (window.GridStreamName.isEmpty()) return -1;
    window.GridStreamIndex = FindStreamIndex(window.GridStreamName);
    return window.GridStreamIndex;
}

struct CursorBack {
    ~CursorBack() { MainWindow().setBusyCursor(false); }
};

void openPhasePicker(bool selectMode) {
    const int i = FindStreamIndex(MainWindow().GridStreamName);
    const int first = i >= 0 ? GetFirstPhaseOfStream(i) : 0;
    const auto& picker = StreamDialogs().WybierzFaze;
    if (picker) picker(first > 0 ? first : -1, selectMode);
}

}  // namespace

std::vector<SegmentHandleEntry> SegmentListEntries(int streamIndex) {
    std::vector<SegmentHandleEntry> rows;
    if (streamIndex < 0 || streamIndex >= int(StreamTable.size())) return rows;
    const StreamRecord& r = StreamTable[size_t(streamIndex)];
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k) rows.push_back({QString(), QString::number(k)});
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        if (s.Handle.isEmpty()) continue;
        const int p = s.Order;
        if (p < 1 || p > count) continue;
        const double length = s.IsLine ? common::GetDistance(s.StartPoint, s.EndPoint)
                                       : common::GetArcLength(s.Radius, s.StartAngle, s.EndAngle);
        rows[size_t(p - 1)] = {
            s.Handle,
            common::FormatNumberWithDot(length / scale, QStringLiteral("#######0.0")) + QStringLiteral(" m")};
    }
    return rows;
}

void mnuWidok_ZaznaczStrumien() {
    const int i = selectedIndex();
    if (i < 0) return;
    if (ShownPhase > -1 && !StrumienJestWFazie(i, ShownPhase)) {
        ZmienWidok(-2);
        ShownPhase = -1;
    }
    ZaznaczStrumien(i, common::Settings.PisakZaznaczenia, false);
}

void mnuWidok_OdznaczStrumien() {
    const int i = selectedIndex();
    if (i < 0) return;
    MainWindow().setBusyCursor(true);
    CursorBack back;
    ZaznaczStrumien(i, common::Settings.PisakStrumieni, false);
}

void mnuWidok_ZaznaczGrupe() {
    const int i = selectedIndex();
    if (i < 0 || !automation::CheckDocumentOpen(false)) return;
    if (ShownPhase > -1) {
        ZmienWidok(-2);
        ShownPhase = -1;
    }
    ZmienWidok(-1);
    bool rebuild = true;
    ColourStreamsOfPhaseOrGroup(StreamTable[size_t(i)].Group, common::Settings.PisakZaznaczenia, rebuild,
                                false);
}

void mnuWidok_ZaznaczAktywFaze() {
    if (selectedIndex() < 0 || !automation::CheckDocumentOpen(false)) return;
    const int i = FindStreamIndex(MainWindow().GridStreamName);
    if (i < 0) return;
    const int phase = GetFirstPhaseOfStream(i);
    if (phase == 0) return;
    MainWindow().setBusyCursor(true);
    CursorBack back;
    MainWindow().yieldToMessageLoop();
    bool rebuild = true;
    SelectPhaseStreams(phase, rebuild);
}

void mnuWidok_ZaznaczFaze() {
    if (selectedIndex() < 0 || !automation::CheckDocumentOpen(false)) return;
    openPhasePicker(true);
}

void mnuWidok_PokazFaze() {
    if (MainWindow().GridStreamName.isEmpty()) return;
    openPhasePicker(false);
}

void mnuWidok_WskazStrumien() {
    if (!automation::CheckDocumentOpen(true)) return;
    StreamWindow& window = MainWindow();
    if (!CheckIntersectionNumber()) {
        return;
    }
    const QString prompt =
        common::Tlumacz(QStringLiteral("Wskaż strumień, który chcesz zaznaczyć/odznaczyć..."));
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    try {
        const cad::Utility utility = automation::CadDocument.utility();
        for (;;) {
            utility.initializeUserInput(1);
            const cad::Entity picked = utility.getEntity(prompt).first;
            const QString name = picked.name();
            if (name.isEmpty()) break;
            if (!name.startsWith(IntersectionNumber + QStringLiteral("^STRUMIEN"))) continue;
            QString rest = name.mid((IntersectionNumber + QStringLiteral("^STRUMIEN_")).size());
            const int caret = int(rest.indexOf(QLatin1Char('^')));
            if (caret < 0) continue;
            rest = rest.mid(caret + 1);
            const int next = int(rest.indexOf(QLatin1Char('^')));
            if (next >= 0) rest = rest.left(next);
            if (FindStreamIndex(rest) < 0) continue;
            window.SelectGridRowOfStream(rest);
            window.GridStreamName = StreamTable[size_t(FindStreamIndex(rest))].Name;
            const int i = selectedIndex();
            if (i < 0) continue;
            ZaznaczStrumien(i,
                            picked.color() == common::Settings.PisakStrumieni
                                ? common::Settings.PisakZaznaczenia
                                : common::Settings.PisakStrumieni,
                            false);
        }
    } catch (const cad::Cancelled&) {
        // Escape or a pick of nothing ends the command; the streams marked so far stay marked.
    } catch (const cad::Error&) {
        window.showWindow();
        throw;  // a refused mark or a host gone, no cancel: the command's guard says it
    }
    window.showWindow();
}

void mnuWidok_OdznaczWszystkieStrumienie() {
    ZmienWidok(-1);
}

void mnuWidok_PokazWszystkie() {
    ZmienWidok(-2);
    ShownPhase = -1;
}

void mnuWidok_UkryjNiezaznaczone() {
    ZmienWidok(-3);
}

void mnuWidok_PokazOdcinki() {
    const int i = selectedIndex();
    if (i < 0 || !automation::CheckDocumentOpen(true)) return;
    const bool read = OdczytajStrumienie(false, i);
    SortujOdcinkiStrumienia(i);
    if (read) {
        const auto& dialog = StreamDialogs().Odcinki;
        if (dialog) dialog(i, false);
    } else {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Brak odcinków strumienia!")), ui::Exclamation,
                   MainWindow().caption());
    }
}

void mnuWidok_PokazPunkty() {
    StreamWindow& window = MainWindow();
    const int i = selectedIndex();
    if (i < 0 || !automation::CheckDocumentOpen(true)) return;
    SegmentHandleList.clear();
    {
        // Only the conflict points of the current intersection belong to its streams.
        SetGuard ss(QStringLiteral("SSPunkty"));
        const QList<cad::Entity> markers =
            ss.select(InsertFilter(PatternText(IntersectionNumber) + QStringLiteral("^*POJ*STRUMIEN*"),
                                   common::Settings.ConflictPointLayerName));
        for (const cad::Entity& marker : markers) {
            if (!marker.hasAttributes()) continue;
            bool found = false;
            QString other;
            for (const cad::Entity& att : marker.attributes()) {
                if (!att.tagString().contains(QLatin1String("POJ"))) continue;
                const QString name = att.textString().mid(1);
                if (name == window.GridStreamName) {
                    found = true;
                } else {
                    other = name;
                    if (!other.isEmpty() && found) break;
                }
            }
            if (found && !other.isEmpty()) SegmentHandleList.push_back({marker.handle(), other});
        }
    }
    if (SegmentHandleList.empty()) return;
    ZmienWidok(-1);
    ZaznaczStrumien(i, 3, false);
    const auto& dialog = StreamDialogs().Odcinki;
    if (dialog) dialog(i, true);
}

}  // namespace conflictor
