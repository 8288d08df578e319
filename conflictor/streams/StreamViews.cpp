// Colouring and views of the streams in the drawing.
#include "conflictor/streams/StreamViews.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CaretNames.h"
#include "automation/DrawingProperties.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "conflictor/streams/PhaseMembership.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"

namespace conflictor {

std::vector<StreamReferenceEntry> StreamReferenceCache;
int ShownPhase = -1;

namespace {

constexpr int CrossingLinkBinding = 8;  // chkPowiazania

bool crossingLinksOn() {
    return common::SettingBindings[CrossingLinkBinding].Value.toString() == QLatin1String("1");
}

QString startMarkerPrefix() {
    return IntersectionNumber + QStringLiteral("^POCZATEK_STRUMIEN_");
}
QString endMarkerPrefix() {
    return IntersectionNumber + QStringLiteral("^KONIEC_STRUMIEN_");
}

// The stream a marker name carries: the text behind the prefix up to the first "_".
QString markerStream(const QString& name, const QString& prefix) {
    const QString rest = name.mid(prefix.size());
    const int underscore = int(rest.indexOf(QLatin1Char('_')));
    return underscore >= 0 ? rest.left(underscore) : rest;
}

// The stream names of a reference: one for a marker, every listed one for a component.
QStringList streamNamesOf(const QString& name, bool* isMarker = nullptr) {
    if (isMarker) *isMarker = true;
    if (name.startsWith(startMarkerPrefix())) return {markerStream(name, startMarkerPrefix())};
    if (name.startsWith(endMarkerPrefix())) return {markerStream(name, endMarkerPrefix())};
    if (isMarker) *isMarker = false;
    return automation::SplitCaretList(name, IntersectionNumber + QStringLiteral("^STRUMIEN"));
}

bool earlierDone(size_t upTo, const QString& handle) {
    for (size_t k = 0; k < upTo; ++k)
        if (StreamReferenceCache[k].Done && StreamReferenceCache[k].Handle == handle) return true;
    return false;
}

void colourLinks(int phase) {
    for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable) {
        if (!IsCrossingLinkInPhase(link, phase)) continue;
        const cad::Entity ref = automation::CadDocument.handleToObject(link.Handle);
        ref.setColor(common::Settings.CrossingLinkPen);
        ref.update();
    }
}

cad::SelectionFilter baseFilter() {
    return InsertFilter(PatternText(IntersectionNumber) + QStringLiteral("^*STRUMIEN_*"),
                        common::Settings.StreamLayerName);
}

}  // namespace

bool IsCrossingLinkInPhase(const automation::CrossingLinkRecord& link, int phase) {
    for (const QString& list : {link.InnerStreams, link.OuterStreams})
        for (const QString& name : list.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
            const int i = FindStreamIndex(name);
            if (i == -1 || !StrumienJestWFazie(i, phase)) return false;
        }
    return true;
}

void ColourStreamsOfPhaseOrGroup(int value, int pen, bool& rebuild, bool phaseMode) {
    const cad::Document& doc = automation::CadDocument;
    if (!rebuild) {
        for (size_t i = 0; i < StreamReferenceCache.size(); ++i) {
            StreamReferenceEntry& e = StreamReferenceCache[i];
            e.Done = false;
            if (!StrumienJestWFazie(e.StreamIndex, value)) continue;
            if (earlierDone(i, e.Handle)) continue;
            const cad::Entity ref = doc.handleToObject(e.Handle);
            ref.setColor(pen);
            e.Done = true;
            if (e.IsMarker) automation::MoveObjectToTop(ref);
            ref.update();
        }
    } else {
        if (phaseMode) StreamReferenceCache.clear();
        const QString number = PatternText(IntersectionNumber);
        {
            SetGuard ss(QStringLiteral("SS3"));
            for (const cad::Entity& ref : ss.select(InsertFilter(number + QStringLiteral("^STRUMIEN_*"),
                                                                 common::Settings.StreamLayerName))) {
                const QString handle = ref.handle();
                bool coloured = false;
                for (const QString& name : streamNamesOf(ref.name())) {
                    const int i = FindStreamIndex(name);
                    if (i < 0) continue;
                    if (!phaseMode) {
                        if (StreamTable[size_t(i)].Group == value && !coloured) {
                            ref.setColor(pen);
                            ref.update();
                            coloured = true;
                        }
                        continue;
                    }
                    StreamReferenceCache.push_back({i, false, handle, false});
                    if (!coloured && StrumienJestWFazie(i, value)) {
                        ref.setColor(pen);
                        StreamReferenceCache.back().Done = true;
                        ref.update();
                        coloured = true;
                    }
                }
            }
        }
        {
            SetGuard ss(QStringLiteral("SS3b"));
            cad::SelectionFilter f;
            f.add(0, QStringLiteral("INSERT"))
                .add(-4, QStringLiteral("<or"))
                .add(2, number + QStringLiteral("^POCZATEK_STRUMIEN_*"))
                .add(2, number + QStringLiteral("^KONIEC_STRUMIEN_*"))
                .add(-4, QStringLiteral("or>"));
            for (const cad::Entity& ref : ss.select(f)) {
                const QStringList names = streamNamesOf(ref.name());
                const int i = names.isEmpty() ? -1 : FindStreamIndex(names.first());
                if (i < 0) continue;
                if (!phaseMode) {
                    if (StreamTable[size_t(i)].Group == value) {
                        ref.setColor(pen);
                        ref.update();
                    }
                    continue;
                }
                StreamReferenceCache.push_back({i, false, ref.handle(), true});
                if (StrumienJestWFazie(i, value)) {
                    ref.setColor(pen);
                    StreamReferenceCache.back().Done = true;
                    automation::MoveObjectToTop(ref);
                    ref.update();
                }
            }
        }
        rebuild = false;
    }
    if (phaseMode && crossingLinksOn()) colourLinks(value);
}

void ZmienWidok(int v) {
    if (v < -3) return;
    if (!automation::CheckDocumentOpen(false) || StreamTable.empty()) return;
    StreamWindow& window = MainWindow();
    CommandBlock block;
    window.setBusyCursor(true);
    // The bar is not advanced while the view changes: it tells that the view is changing.
    window.beginProgress(int(StreamTable.size()));
    struct ProgressEnd {
        StreamWindow& window;
        ~ProgressEnd() {
            window.endProgress();
            window.setBusyCursor(false);
        }
    } progressEnd{window};
    window.yieldToMessageLoop();
    const cad::Document& doc = automation::CadDocument;

    if (v >= 0) {
        SetGuard ss(QStringLiteral("SS1"));
        for (const cad::Entity& ref : ss.select(baseFilter())) {
            bool isMarker = false;
            const QStringList names = streamNamesOf(ref.name(), &isMarker);
            if (names.isEmpty()) continue;
            int shown = -1;
            for (const QString& name : names) {
                const int i = FindStreamIndex(name);
                if (i >= 0 && StrumienJestWFazie(i, v)) {
                    shown = i;
                    break;
                }
            }
            ref.setVisible(shown >= 0);
            if (!isMarker && shown >= 0) {
                if (StreamTable[size_t(shown)].Kind == KindConditional) {
                    if (automation::EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"))) {
                        ref.setLinetype(QStringLiteral("ACAD_ISO03W100"));
                        automation::SetLinetypeScale();
                    }
                } else {
                    for (const QString& name : names) {
                        const int i = FindStreamIndex(name);
                        if (i >= 0 && StreamTable[size_t(i)].Kind == KindConditional) {
                            ref.setLinetype(QStringLiteral("BYLAYER"));
                            break;
                        }
                    }
                }
            }
            ref.update();
        }
        if (crossingLinksOn()) {
            automation::ReadCrossingLinks(IntersectionNumber);
            for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable) {
                const cad::Entity ref = doc.handleToObject(link.Handle);
                ref.setVisible(IsCrossingLinkInPhase(link, v));
                ref.update();
            }
        }
    } else if (v == -1) {
        {
            SetGuard ss(QStringLiteral("SS1"));
            cad::SelectionFilter f;
            f.add(0, QStringLiteral("INSERT"))
                .add(8, common::Settings.StreamLayerName)
                .add(62, common::Settings.PisakZaznaczenia);
            for (const cad::Entity& ref : ss.select(f)) {
                ref.setColor(common::Settings.PisakStrumieni);
                ref.update();
            }
        }
        if (crossingLinksOn()) {
            SetGuard ss(QStringLiteral("SS1"));
            cad::SelectionFilter f;
            f.add(0, QStringLiteral("INSERT"))
                .add(2, PatternText(IntersectionNumber) + QStringLiteral("^POWIAZANIE_*"))
                .add(62, common::Settings.CrossingLinkPen);
            for (const cad::Entity& ref : ss.select(f)) {
                ref.setColor(256);
                ref.update();
            }
        }
    } else if (v == -2) {
        {
            SetGuard ss(QStringLiteral("SS1"));
            for (const cad::Entity& ref : ss.select(baseFilter())) {
                ref.setVisible(true);
                SetRefLineType(ref);
                ref.update();
            }
        }
        if (crossingLinksOn()) {
            automation::ReadCrossingLinks(IntersectionNumber);
            for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable) {
                const cad::Entity ref = doc.handleToObject(link.Handle);
                ref.setVisible(true);
                ref.update();
            }
        }
    } else {
        SetGuard ss(QStringLiteral("SS1"));
        cad::SelectionFilter f = baseFilter();
        f.add(62, common::Settings.PisakStrumieni);
        for (const cad::Entity& ref : ss.select(f)) {
            ref.setVisible(false);
            ref.update();
        }
    }

    if ((v >= 0 || v == -2 || v == -3) && automation::CadMajorVersion == QLatin1String("17")) doc.regen(1);
    if (v >= 0) ShownPhase = v;
    window.endProgress();
    window.setBusyCursor(false);
    window.yieldToMessageLoop();
}

void SelectPhaseStreams(int phase, bool& rebuild) {
    if (ShownPhase != -1) {
        ZmienWidok(-2);
        ShownPhase = -1;
    }
    ZmienWidok(-1);
    ColourStreamsOfPhaseOrGroup(phase, common::Settings.PisakZaznaczenia, rebuild, true);
}

}  // namespace conflictor
