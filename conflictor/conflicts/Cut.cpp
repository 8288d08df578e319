// The cut of the current intersection's streams into conflict points.
#include "conflictor/conflicts/Cut.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/CaretNames.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/CrossingPairs.h"
#include "conflictor/conflicts/DrawingUnits.h"
#include "conflictor/conflicts/LengthTexts.h"
#include "conflictor/conflicts/MessageLoopPacer.h"
#include "conflictor/conflicts/SegmentCrossings.h"
#include "conflictor/conflicts/SplitLimit.h"
#include "conflictor/conflicts/StaleCut.h"
#include "conflictor/streams/CutContext.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamPieces.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/engine/Errors.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace conflictor {

CutStatistics LastCutStatistics;

namespace {

QString cutQuestion() {
    const QChar br(QLatin1Char('\n'));
    return QStringLiteral("Uwaga!") + br +
           QStringLiteral("Po \"cięciu\" nie będzie można wrócić do poprzedniej wersji rysunku.") + br +
           QStringLiteral("Zaleca się zapisanie kopi rysunku przed \"cięciem\".") + br +
           QStringLiteral("Czy napewno przeprowadzić teraz operację \"cięcia\"?");
}

void makeLayerActive(const QString& name) {
    automation::CadDocument.setActiveLayer(automation::CadDocument.layers().item(name));
}

// The cut splits components by the curves it read: whether each component of the streams to cut
// still stands as read is checked for all of them in one read (a reference erased since fails the
// cut here, as its split would have), and one whose reference now shows another block is read
// again when it is split.
void confirmComponents(const std::vector<bool>& marked) {
    cad::VariantList handles;
    std::vector<SegmentRecord*> segments;
    for (size_t i = 0; i < StreamTable.size(); ++i) {
        if (!marked[i]) continue;
        StreamRecord& r = StreamTable[i];
        for (int k = 1; k <= std::min(r.SegmentCount, MaxSegments); ++k) {
            SegmentRecord& s = r.Segments[size_t(k)];
            if (s.Handle.isEmpty()) continue;
            handles.append(cad::Variant(s.Handle));
            segments.push_back(&s);
        }
    }
    if (handles.isEmpty()) return;
    const cad::VariantList rows = cad::ReadProperties(automation::CadDocument, handles, {QStringLiteral("Name")});
    for (size_t k = 0; k < segments.size(); ++k)
        if (rows.value(qsizetype(k)).toArray().value(0).toText().compare(segments[k]->Label, Qt::CaseInsensitive) != 0)
            segments[k]->Curve = 0;
}

// Carries out the calls still waiting before the message loop serves events, so that a handler's
// calls come after them and a failure among them is the cut's.
void sendWaitingCalls() {
    if (cad::Channel* ch = automation::CadDocument.channel()) ch->flushDeferred();
}

// What the cut changes outside the drawing's content, put back on every way out.
class CutRun {
public:
    explicit CutRun(StreamWindow& window) : window_(window), autoSelect_(common::Settings.AutoZaznaczNowe) {
        common::Settings.AutoZaznaczNowe = false;
    }
    ~CutRun() { finish(); }
    CutRun(const CutRun&) = delete;
    CutRun& operator=(const CutRun&) = delete;

    void saveActiveLayer() {
        layer_ = automation::CadDocument.activeLayer();
        layerSaved_ = true;
    }
    void variablesSaved() { variablesSaved_ = true; }
    void flash(const QString& notice) {
        window_.StartPanelFlash(common::Tlumacz(notice));
        flashing_ = true;
        window_.yieldToMessageLoop();
    }
    void showProgress(int maximum) {
        window_.beginProgress(maximum);
        progressShown_ = true;
        window_.yieldToMessageLoop();
    }
    void advance() { window_.setProgressValue(++progress_); }
    void stopFlash() {
        if (!flashing_) return;
        flashing_ = false;
        window_.setStatusText(window_.statusDefaultText());
        window_.StopPanelFlash();
    }

    // Everything back; each step on its own, so that one refusal does not keep the others back.
    void finish() noexcept {
        if (finished_) return;
        finished_ = true;
        window_.CuttingSelectedStreams = false;
        attempt([&] { stopFlash(); });
        if (progressShown_)
            attempt([&] { window_.endProgress(); });
        attempt([&] { window_.yieldToMessageLoop(); });
        common::Settings.AutoZaznaczNowe = autoSelect_;
        if (layerSaved_) attempt([&] { automation::CadDocument.setActiveLayer(layer_); });
        if (variablesSaved_) attempt([] { automation::RestoreCadVariables(); });
        attempt([&] { window_.setBusyCursor(false); });
    }

private:
    template <class F>
    static void attempt(F&& f) noexcept {
        try {
            f();
        } catch (...) {
            // Each step puts back one thing the cut changed, in a cleanup that may not throw: the
            // cut's own outcome is what the user is told, and a step that cannot be done (the host
            // or the window gone) has nothing left to put back.
        }
    }

    StreamWindow& window_;
    bool autoSelect_;
    cad::Layer layer_;
    bool layerSaved_ = false;
    bool variablesSaved_ = false;
    bool flashing_ = false;
    bool progressShown_ = false;
    bool finished_ = false;
    int progress_ = 0;
};

// Marks the streams whose component references are highlighted (the selection pen) in the drawing;
// references of other intersections never mark a stream of this one.
int markHighlightedStreams(std::vector<bool>& marked) {
    const QString prefix = IntersectionNumber + QStringLiteral("^STRUMIEN");
    cad::SelectionFilter filter = InsertFilter(
        PatternText(IntersectionNumber) + QStringLiteral("^STRUMIEN_*"), common::Settings.StreamLayerName);
    filter.add(62, common::Settings.PisakZaznaczenia);
    int count = 0;
    SetGuard ss(QStringLiteral("SS1"));
    for (const cad::Entity& ref : ss.select(filter)) {
        const QString name = ref.name();
        if (!name.startsWith(prefix + QLatin1Char('_'), Qt::CaseInsensitive)) continue;
        for (const QString& stream : automation::SplitCaretList(name, prefix)) {
            const int i = FindStreamIndex(stream);
            if (i < 0 || marked[size_t(i)]) continue;
            marked[size_t(i)] = true;
            ++count;
        }
    }
    return count;
}

// Erases the markers of this intersection whose every stream attribute names a marked stream.
void eraseMarkersOfMarkedStreams(const std::vector<bool>& marked) {
    SetGuard ss(QStringLiteral("SS5"));
    const QList<cad::Entity> markers =
        ss.select(InsertFilter(PatternText(IntersectionNumber) + QStringLiteral("^*POJ*_STRUMIEN*"),
                               common::Settings.ConflictPointLayerName));
    for (const cad::Entity& marker : markers) {
        if (!marker.hasAttributes()) continue;
        bool ofMarked = true;
        for (const cad::Entity& att : marker.attributes()) {
            const QString tag = att.tagString();
            if (!tag.startsWith(QLatin1String("POJ")) && !tag.startsWith(QLatin1String("PIESZ"))) continue;
            // A stream the table does not know is no marked stream: its marker stays.
            const int i = FindStreamIndex(att.textString().mid(1));
            if (i < 0 || !marked[size_t(i)]) {
                ofMarked = false;
                break;
            }
        }
        if (ofMarked) marker.erase();
    }
}

// Splits the stream's component holding the point there: component `k` when the point lies on it,
// otherwise the piece an earlier split at the other crossing of the same pair split off.
void splitStreamAt(int stream, int k, const PlanePoint& p, CutContext& cut) {
    const StreamRecord& r = StreamTable[size_t(stream)];
    if (!IsVehicleStream(r)) return;
    int target = IsPointOnComponent(p, r.Segments[size_t(k)]) ? k : 0;
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int m = 1; m <= count && target == 0; ++m) {
        const SegmentRecord& s = r.Segments[size_t(m)];
        if (IsPointOnComponent(p, s) && !common::ArePointsEqual(p, s.StartPoint) &&
            !common::ArePointsEqual(p, s.EndPoint))
            target = m;
    }
    if (target == 0) return;
    const QString label = r.Segments[size_t(target)].Label;
    SplitStreamSegmentAtPoint(stream, target, p, label, cut);
}

bool sharesHandle(const StreamRecord& r, const QString& handle) {
    if (handle.isEmpty()) return false;
    const int count = std::min(r.SegmentCount, MaxSegments);
    // Asked for every pair of components: the few characters of a handle are compared in place
    // rather than through the library's general string comparison.
    const QChar* h = handle.constData();
    const qsizetype n = handle.size();
    for (int b = 1; b <= count; ++b) {
        const QString& other = r.Segments[size_t(b)].Handle;
        if (other.size() == n && std::equal(h, h + n, other.constData())) return true;
    }
    return false;
}

// The box holding every component of the stream. A component whose bounds are not numbers overlaps
// every box, so such a stream's box is unbounded.
common::PlaneBox streamBox(const StreamRecord& r) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    common::PlaneBox box{{inf, inf}, {-inf, -inf}};
    const int count = std::min(r.SegmentCount, MaxSegments);
    for (int k = 1; k <= count; ++k) {
        const SegmentRecord& s = r.Segments[size_t(k)];
        if (std::isnan(s.Bounds1.X) || std::isnan(s.Bounds1.Y) || std::isnan(s.Bounds2.X) || std::isnan(s.Bounds2.Y))
            return {{-inf, -inf}, {inf, inf}};
        box.Corner1 = {std::min(box.Corner1.X, s.Bounds1.X), std::min(box.Corner1.Y, s.Bounds1.Y)};
        box.Corner2 = {std::max(box.Corner2.X, s.Bounds2.X), std::max(box.Corner2.Y, s.Bounds2.Y)};
    }
    return box;
}

// Intersects streams i and j component by component, splitting and collecting the points.
void cutPair(int i, int j, std::vector<ConflictPointRecord>& points, CutContext& cut,
             MessageLoopPacer& pacer) {
    const bool commonStart =
        common::ArePointsEqual(StreamTable[size_t(i)].StartPoint, StreamTable[size_t(j)].StartPoint);
    // The segment slots never move (room for MaxSegments + 1 is taken at once): pointers stay valid
    // while splits rewrite and add components; the crossings are found before either is split.
    const SegmentRecord* segmentsI = StreamTable[size_t(i)].Segments.upTo(size_t(MaxSegments));
    const SegmentRecord* segmentsJ = StreamTable[size_t(j)].Segments.upTo(size_t(MaxSegments));
    // Two components overlap only where the boxes of their streams do: most pairs of streams (and
    // most components against the other stream) are passed over by one test instead of one per pair
    // of components. Overlapping within the tolerance grows with the boxes, so nothing that overlaps
    // is passed over; a split may move a component's ends within its tolerance, so the other
    // stream's box is taken again after one.
    common::PlaneBox boxJ = streamBox(StreamTable[size_t(j)]);
    if (!common::DoExtentsOverlap(streamBox(StreamTable[size_t(i)]), boxJ)) {
        pacer.serve();
        return;
    }
    // The boxes of j's components, each tested against many: made once, and again after a split
    // (which shortens one component and adds another).
    std::array<common::ToleranceBox, MaxSegments> boxesJ;
    auto takeBoxesJ = [&] {
        const int countJ = std::min(StreamTable[size_t(j)].SegmentCount, MaxSegments);
        for (int b = 1; b <= countJ; ++b)
            boxesJ[size_t(b - 1)] = common::MakeToleranceBox({segmentsJ[b].Bounds1, segmentsJ[b].Bounds2});
    };
    bool boxesTaken = false;
    bool splitMade = false;
    for (int a = 1; a <= std::min(StreamTable[size_t(i)].SegmentCount, MaxSegments); ++a) {
        if (splitMade) {
            boxJ = streamBox(StreamTable[size_t(j)]);
            boxesTaken = false;
            splitMade = false;
        }
        if (!common::DoExtentsOverlap({segmentsI[a].Bounds1, segmentsI[a].Bounds2}, boxJ)) {
            pacer.serve();
            continue;
        }
        // A component both streams hold is no crossing of theirs.
        if (sharesHandle(StreamTable[size_t(j)], segmentsI[a].Handle)) continue;
        if (!boxesTaken) {
            takeBoxesJ();
            boxesTaken = true;
        }
        common::ToleranceBox boxA = common::MakeToleranceBox({segmentsI[a].Bounds1, segmentsI[a].Bounds2});
        const int countJ = std::min(StreamTable[size_t(j)].SegmentCount, MaxSegments);
        for (int b = 1; b <= countJ; ++b) {
            pacer.serve();
            const SegmentRecord& sa = segmentsI[a];
            const SegmentRecord& sb = segmentsJ[b];
            if (!common::DoExtentsOverlap(boxA, boxesJ[size_t(b - 1)])) continue;
            ++LastCutStatistics.PairsTested;
            bool splitHere = false;
            for (const PlanePoint& p : FindSegmentCrossings(sa, sb)) {
                ++LastCutStatistics.Crossings;
                splitStreamAt(i, a, p, cut);
                splitStreamAt(j, b, p, cut);
                splitMade = splitHere = true;
                if (!commonStart) AddConflictPoint(p, points, i, j);
            }
            // The split components (of either stream, and those they share) have new bounds.
            if (splitHere) {
                boxA = common::MakeToleranceBox({segmentsI[a].Bounds1, segmentsI[a].Bounds2});
                takeBoxesJ();
            }
        }
    }
}

// The first name of a block the cut would make (markers, split components) that the CAD refuses:
// a number taken from a drawing made elsewhere may hold such characters ("1*", "1?").
QString refusedBlockName() {
    static const QString forbidden = QStringLiteral("<>/\\\":;?*|=`");
    const QStringList names = {IntersectionNumber + QStringLiteral("^STRUMIEN_"),
                               IntersectionNumber + QStringLiteral("^POJPOJ_STRUMIEN_"),
                               IntersectionNumber + QStringLiteral("^POJPIESZ_STRUMIEN_"),
                               IntersectionNumber + QStringLiteral("^PIESZPOJ_STRUMIEN_")};
    for (const QString& name : names)
        for (QChar c : name)
            if (forbidden.contains(c) || c.unicode() < 32) return name;
    return {};
}

// The longest intersection number whose every block name, its longest kind ("^PIESZPOJ_STRUMIEN_")
// and its counter (a 32-bit number, up to 10 digits) with it, stays within the 255 characters a block
// name may have.
constexpr int LongestIntersectionNumber = 255 - 19 - 10;

// The first marked stream whose split components would need a block name past 255 characters: a
// split keeps its component's names after the counter ("12^STRUMIEN_<counter>^K1^S2"), whose new
// counter may be as long as 10 digits.
QString streamWithTooLongComponentName(const std::vector<bool>& marked) {
    const QString prefix = IntersectionNumber + QStringLiteral("^STRUMIEN_");
    for (size_t i = 0; i < StreamTable.size() && i < marked.size(); ++i) {
        if (!marked[i]) continue;
        const StreamRecord& s = StreamTable[i];
        for (int k = 1; k <= std::min(s.SegmentCount, MaxSegments); ++k) {
            const QString& label = s.Segments[size_t(k)].Label;
            if (!label.startsWith(prefix, Qt::CaseInsensitive)) continue;
            qsizetype end = prefix.size();
            while (end < label.size() && label[end].isDigit()) ++end;
            if (prefix.size() + 10 + (label.size() - end) > 255) return s.Name;
        }
    }
    return {};
}

// Refuses an intersection number that cannot name the cut's blocks, before anything in the drawing
// changes.
std::optional<CutOutcome> refuseNumber(CutRun& run, const QString& title) {
    if (IntersectionNumber.size() > LongestIntersectionNumber) {
        run.stopFlash();
        ui::MsgBox(QStringLiteral("Cięcie nie jest możliwe: numer skrzyżowania ma %1, a nazwy bloków "
                                  "utworzone z niego przekroczyłyby 255 znaków. Rysunek nie został zmieniony; "
                                  "nadaj skrzyżowaniu numer najwyżej %2-znakowy.")
                       .arg(common::PolishCount(IntersectionNumber.size(), QStringLiteral("znak"),
                                                QStringLiteral("znaki"), QStringLiteral("znaków")))
                       .arg(LongestIntersectionNumber),
                   ui::Exclamation, title);
        return CutOutcome::NumberRefused;
    }
    if (const QString bad = refusedBlockName(); !bad.isEmpty()) {
        run.stopFlash();
        ui::MsgBox(QStringLiteral("Cięcie nie jest możliwe: nazwa bloku \"%1\" utworzona z numeru skrzyżowania "
                                  "\"%2\" zawierałaby znak niedozwolony w nazwach bloków (< > / \\ \" : ; ? * | = `). "
                                  "Rysunek nie został zmieniony; nadaj skrzyżowaniu numer bez tych znaków.")
                       .arg(common::ShortForMessage(bad), common::ShortForMessage(IntersectionNumber)),
                   ui::Exclamation, title);
        return CutOutcome::NumberRefused;
    }
    return std::nullopt;
}

// Reads the streams to cut (all of them, or those highlighted) with their components' bounds, and
// marks them.
std::optional<CutOutcome> readStreamsToCut(bool all, CutRun& run, const QString& title,
                                           std::vector<bool>& marked) {
    auto noStreams = [&] {
        run.stopFlash();
        // Pieces the reading passes over are no absence of streams.
        if (!CheckStreamsOutsideTheTable(QString())) return CutOutcome::CheckFailed;
        ui::MsgBox(common::Tlumacz(QStringLiteral("Najpierw należy wrysować strumienie!")), ui::Exclamation,
                   title);
        return CutOutcome::NoStreams;
    };
    run.flash(QStringLiteral("Trwa analiza strumieni..."));
    if (all) {
        if (!OdczytajStrumienie(false, -1)) return noStreams();
        if (const QString& problem = IntersectionAttributeBlockProblem(); !problem.isEmpty()) {
            run.stopFlash();
            ui::MsgBox(problem, ui::Exclamation, title);
            return CutOutcome::CheckFailed;
        }
        if (!StreamsOutsideTheTable.isEmpty()) {
            run.stopFlash();
            CheckStreamsOutsideTheTable(QString());
            return CutOutcome::CheckFailed;
        }
        ComputeAllSegmentBounds();
    } else {
        // An unreadable "SKALA" is judged with the lengths, which stop the cut on it.
        automation::DrawingScale = automation::GetDrawingScale();
    }

    run.flash(QStringLiteral("Trwa operacja cięcia..."));
    if (StreamTable.empty()) return noStreams();
    marked.assign(StreamTable.size(), all);
    if (all) return std::nullopt;
    if (markHighlightedStreams(marked) == 0) {
        run.stopFlash();
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie zaznaczono żadnego strumienia tego skrzyżowania.")),
                   ui::Exclamation, title);
        return CutOutcome::NoneSelected;
    }
    for (int i = 0; i < int(marked.size()); ++i) {
        if (!marked[size_t(i)]) continue;
        OdczytajStrumienie(false, i);
        StreamRecord& r = StreamTable[size_t(i)];
        for (int k = 1; k <= std::min(r.SegmentCount, MaxSegments); ++k)
            ComputeSegmentBounds(r.Segments[size_t(k)]);
    }
    return std::nullopt;
}

// Every marked stream has its ends, and every name of its split components fits a block name.
std::optional<CutOutcome> checkStreamsToCut(const std::vector<bool>& marked, CutRun& run,
                                            StreamWindow& window, const QString& title) {
    for (int i = 0; i < int(marked.size()); ++i) {
        if (!marked[size_t(i)]) continue;
        int first = 0, second = 0;
        const common::PlanePointPair ends =
            GetStreamEndPoints(i, IsVehicleStream(StreamTable[size_t(i)]), first, second);
        if (common::IsMissingPoint(ends.First)) {
            window.SelectGridRowOfStream(StreamTable[size_t(i)].Name);
            return CutOutcome::CheckFailed;
        }
    }
    if (const SplitPastLimit past = FindSplitPastLimit(marked); !past.Stream.isEmpty()) {
        run.stopFlash();
        ui::MsgBox(SplitPastLimitMessage(past), ui::Exclamation, title);
        window.SelectGridRowOfStream(past.Stream);
        ZaznaczStrumien(FindStreamIndex(past.Stream), common::Settings.PisakZaznaczenia, false);
        return CutOutcome::CheckFailed;
    }
    if (const QString stream = streamWithTooLongComponentName(marked); !stream.isEmpty()) {
        run.stopFlash();
        ui::MsgBox(QStringLiteral("Cięcie nie jest możliwe: nazwy bloków składników strumienia %1 utworzone z "
                                  "numeru skrzyżowania przekroczyłyby 255 znaków. Rysunek nie został zmieniony; "
                                  "nadaj skrzyżowaniu krótszy numer.")
                       .arg(common::ShortForMessage(stream)),
                   ui::Exclamation, title);
        return CutOutcome::NumberRefused;
    }
    return std::nullopt;
}

// Nothing is written while "SKALA" would make the lengths of the marked streams wrong.
bool unitsConfirmed(const std::vector<bool>& marked, CutRun& run, const QString& title) {
    std::vector<MeasuredLength> lengths;
    for (const MeasuredLength& m : MeasureStreams())
        if (const int k = FindStreamIndex(m.Name); k >= 0 && marked[size_t(k)]) lengths.push_back(m);
    run.stopFlash();
    return ConfirmDrawingUnits(title, lengths);
}

// The old results go: markers of the streams cut, and this intersection's length texts (those of
// other intersections stay, and no component gets a second text).
void eraseOldResults(bool all, const std::vector<bool>& marked) {
    if (all) {
        automation::EraseBlockReferencesOnLayer(
            PatternText(IntersectionNumber) + QStringLiteral("^*POJ*_STRUMIEN*"), cad::Variant(),
            common::Settings.ConflictPointLayerName);
    } else {
        eraseMarkersOfMarkedStreams(marked);
    }
    EraseLengthTexts();
}

// The layers the cut draws on: components on the stream layer, markers on the conflict-point layer.
struct CutLayers {
    cad::Layer streams;
    cad::Layer points;
};

// Splits stream i at its crossings with the marked streams after it and orders its components;
// the points found are collected. The handles of the components written are read at the end, so
// that no placeholder outlives the stream. Nothing here traps a CAD failure: it stops the cut.
void cutStream(int i, const std::vector<bool>& marked, CutContext& cut, const CutLayers& layers,
               std::vector<ConflictPointRecord>& points, CutRun& run, MessageLoopPacer& pacer) {
    cad::DeferredCalls calls(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
    automation::CadDocument.setActiveLayer(layers.streams);
    for (int j = i + 1; j < int(marked.size()); ++j)
        if (marked[size_t(j)]) cutPair(i, j, points, cut, pacer);
    run.advance();
    SortujOdcinkiStrumienia(i);
    automation::CadDocument.setActiveLayer(layers.points);
    cut.pending.resolve();
}

// The markers of one stream's points; each marker reaches the CAD on its own, and one the CAD refuses
// is kept in the cut's context, named, while the others are still made.
void insertMarkers(std::vector<ConflictPointRecord>& points, CutContext& cut) {
    InsertConflictPointMarkers(points, cut);
}

// The markers the CAD refused in the cut under way, for its closing message.
QStringList markersLeftOut;

// Cuts every marked stream against the marked streams after it and marks the points found. The
// new blocks' names come from one read of the drawing's names.
void cutAndMark(const std::vector<bool>& marked, CutRun& run, MessageLoopPacer& pacer) {
    confirmComponents(marked);
    CutContext cut;
    const cad::Layers layers = automation::CadDocument.layers();
    const CutLayers on{layers.item(common::Settings.StreamLayerName),
                       layers.item(common::Settings.ConflictPointLayerName)};
    pacer.beforeServing(sendWaitingCalls);
    for (int i = 0; i + 1 < int(marked.size()); ++i) {
        if (!marked[size_t(i)]) continue;
        std::vector<ConflictPointRecord> points(1);
        cutStream(i, marked, cut, on, points, run, pacer);
        insertMarkers(points, cut);
        markersLeftOut = cut.markersLeftOut;
        pacer.serve();
        run.advance();
    }
    pacer.beforeServing({});
}

// The length texts of every component, on their own layer in the text style they are drawn in.
// Nothing here traps a CAD failure: it stops the cut.
void writeLengthTexts(MessageLoopPacer& pacer) {
    makeLayerActive(LengthTextLayer());
    automation::CadDocument.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("7"));
    automation::EnsureTextStyle(QStringLiteral("SYGN_TXT"), 1.5, QStringLiteral("arial"), true);
    pacer.beforeServing(sendWaitingCalls);
    {
        cad::DeferredCalls calls(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
        WriteLengthTexts([&] { pacer.serve(); });
    }
    pacer.beforeServing({});
}

CutOutcome runCut(bool all, CutRun& run, StreamWindow& window, MessageLoopPacer& pacer,
                  std::vector<bool>& marked) {
    const QString title = window.caption();
    if (!automation::CheckDocumentOpen(true)) return CutOutcome::NoDocument;
    if (const auto refused = refuseNumber(run, title)) return *refused;
    run.saveActiveLayer();
    EnsureStreamLayers();
    automation::SaveAndSetCadVariables(QStringLiteral("256"), QString(), -1.0, 0.0, 1.0);
    run.variablesSaved();

    if (const auto stopped = readStreamsToCut(all, run, title, marked)) return *stopped;
    const int n = int(marked.size()) - 1;
    run.showProgress(2 * n + 1);
    if (const auto stopped = checkStreamsToCut(marked, run, window, title)) return *stopped;
    run.advance();
    if (!unitsConfirmed(marked, run, title)) return CutOutcome::UnitsRefused;
    eraseOldResults(all, marked);

    window.CuttingSelectedStreams = !all;
    cutAndMark(marked, run, pacer);
    window.CuttingSelectedStreams = false;
    SortujOdcinkiStrumienia(n);

    writeLengthTexts(pacer);
    automation::CadDocument.regen(1);
    return CutOutcome::Done;
}

// After a cut that failed part-way the table is read again from the drawing: a stream's components
// may have been split in the drawing and not yet in the table, or stand there under placeholder
// handles. A table that cannot be read is emptied rather than kept wrong, and the grid follows it,
// so that no row names a stream the commands cannot find. Why it could not be read: "" when it was.
QString rereadStreams(StreamWindow& window) {
    QString why;
    try {
        if (OdczytajStrumienie(false, -1)) {
            for (int i = 0; i < int(StreamTable.size()); ++i) SortujOdcinkiStrumienia(i);
            return {};
        }
        why = common::Tlumacz(QStringLiteral("w rysunku nie ma strumieni tego skrzyżowania"));
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
    }
    StreamTable.clear();
    window.clearSelectedStream();
    window.DodajStrumienDoGrida(-1);
    return why;
}

// The message of a cut the lost CAD host stopped: the drawing's unsaved changes went with the host,
// and this program has no way to reach a new one.
QString hostLostMessage(const QString& failure) {
    return common::Tlumacz(QStringLiteral("Operacja cięcia została przerwana, bo program CAD nie odpowiada:")) +
           QLatin1Char('\n') + failure + QLatin1Char('\n') +
           common::Tlumacz(QStringLiteral("Zmiany rysunku od ostatniego zapisu mogły zostać utracone razem z programem CAD. "
                                          "Uruchom ponownie program CAD i ten program, otwórz rysunek i wykonaj "
                                          "cięcie ponownie."));
}

// The closing message of a cut that ran to its end while the CAD refused some markers.
QString doneWithMarkersLeftOutMessage(const QStringList& leftOut) {
    return common::Tlumacz(QStringLiteral("Zakończono operację cięcia, ale program CAD odmówił wstawienia "
                                          "znaczników punktów kolizji (%1):"))
               .arg(leftOut.size()) +
           QLatin1Char('\n') + leftOut.join(QLatin1Char('\n')) + QLatin1Char('\n') +
           common::Tlumacz(QStringLiteral("Tych znaczników brak w rysunku albo są niepełne; wykonaj cięcie ponownie."));
}

// The closing message of a cut whose markers do not hold every crossing it made.
QString incompleteCutMessage(const QStringList& pairs) {
    return common::Tlumacz(
               QStringLiteral("Cięcie nie zostało ukończone: punkty kolizji wstawione do rysunku nie "
                              "zgadzają się z przecięciami pociętych strumieni:")) +
           QLatin1Char('\n') + pairs.join(QStringLiteral(", ")) + QLatin1Char('\n') +
           common::Tlumacz(
               QStringLiteral("Eksport do programu Excel nie będzie możliwy. Sprawdź strumienie w tych "
                              "miejscach i wykonaj cięcie ponownie."));
}

}  // namespace

void ComputeAllSegmentBounds() {
    for (StreamRecord& r : StreamTable)
        for (int k = 1; k <= std::min(r.SegmentCount, MaxSegments); ++k)
            ComputeSegmentBounds(r.Segments[size_t(k)]);
}

CutOutcome CutStreams(bool all) {
    StreamWindow& window = MainWindow();
    const QString title = window.caption();
    window.stopStatusRestore();
    if (ui::MsgBox(common::Tlumacz(cutQuestion()), ui::YesNo | ui::Question, title) != ui::Yes)
        return CutOutcome::Declined;
    window.commitPendingEdit();
    window.setBusyCursor(true);

    LastCutStatistics = {};
    markersLeftOut.clear();
    MessageLoopPacer pacer(window);
    std::vector<bool> marked;
    CutOutcome outcome;
    QString failure;
    bool hostLost = false;
    QString rereadFailure;
    {
        // Nothing else starts while the cut lets the message loop run.
        CommandBlock block;
        CutRun run(window);
        try {
            outcome = runCut(all, run, window, pacer, marked);
        } catch (const std::exception& e) {
            outcome = CutOutcome::Failed;
            failure = QString::fromUtf8(e.what());
            hostLost = dynamic_cast<const cad::ConnectionLost*>(&e) != nullptr;
        }
        run.finish();
        // With the host gone there is no drawing to read: the table and the grid stay as they were,
        // and every later command that reaches for the host says it is gone.
        if (outcome == CutOutcome::Failed && !hostLost) rereadFailure = rereadStreams(window);
    }
    LastCutStatistics.MessageLoopRounds = pacer.served();

    if (outcome == CutOutcome::Done) {
        // A crossing that meets a vehicle stream only once loses one intergreen direction: said after
        // the cut's own message, and the export refuses the workbook until the crossing is drawn by
        // both edges. A host lost meanwhile took the cut's work with it: that is said instead.
        QStringList faults, leftOut;
        QString pointsUnchecked;
        try {
            if (!all) {
                // The table is read anew: the streams cut are known by name.
                QStringList cutNames;
                for (size_t i = 0; i < marked.size() && i < StreamTable.size(); ++i)
                    if (marked[i]) cutNames << StreamTable[i].Name;
                OdczytajStrumienie(false, -1);
                for (int i = 0; i < int(StreamTable.size()); ++i) SortujOdcinkiStrumienia(i);
                marked.assign(StreamTable.size(), false);
                for (const QString& name : cutNames)
                    if (const int i = FindStreamIndex(name); i >= 0) marked[size_t(i)] = true;
            }
            // Every crossing the cut made has its marker, as the export will compare them: a crossing
            // the geometry lost on the way is told now, not as a stale cut at the export.
            if (markersLeftOut.isEmpty()) {
                try {
                    leftOut = CheckCutPoints(marked);
                } catch (const cad::ConnectionLost&) {
                    throw;
                } catch (const std::exception& e) {
                    pointsUnchecked = QString::fromUtf8(e.what());
                }
            }
            faults = CheckCrossingPairs();
        } catch (const cad::ConnectionLost& e) {
            ui::MsgBox(hostLostMessage(e.message()), ui::Exclamation, title);
            return CutOutcome::Failed;
        } catch (const std::exception& e) {
            faults << common::Tlumacz(QStringLiteral("Nie sprawdzono przejść: ")) + QString::fromUtf8(e.what());
        }
        if (!markersLeftOut.isEmpty()) {
            ui::MsgBox(doneWithMarkersLeftOutMessage(markersLeftOut), ui::Exclamation, title);
        } else if (!leftOut.isEmpty()) {
            ui::MsgBox(incompleteCutMessage(leftOut), ui::Exclamation, title);
            outcome = CutOutcome::Incomplete;
        } else if (!pointsUnchecked.isEmpty()) {
            ui::MsgBox(
                common::Tlumacz(QStringLiteral("Zakończono operację cięcia, ale nie sprawdzono, czy punkty "
                                               "kolizji obejmują wszystkie przecięcia strumieni: ")) +
                    pointsUnchecked,
                ui::Exclamation, title);
        } else {
            ui::MsgBox(common::Tlumacz(QStringLiteral("Zakończono operację cięcia.")), ui::Information,
                       title);
        }
        if (!faults.isEmpty()) ui::MsgBox(CrossingPairsMessage(faults), ui::Exclamation, title);
    } else if (outcome == CutOutcome::Failed && hostLost) {
        ui::MsgBox(hostLostMessage(failure), ui::Exclamation, title);
    } else if (outcome == CutOutcome::Failed) {
        QString text = common::Tlumacz(QStringLiteral("Operacja cięcia została przerwana przez błąd rysunku:")) +
                       QLatin1Char('\n') + failure;
        if (!rereadFailure.isEmpty())
            text += QLatin1Char('\n') +
                    common::Tlumacz(QStringLiteral("Nie odczytano strumieni ponownie (%1); lista strumieni jest pusta.")).arg(rereadFailure);
        ui::MsgBox(text, ui::Exclamation, title);
    }
    return outcome;
}

}  // namespace conflictor
