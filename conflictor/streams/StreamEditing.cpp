// New, copied and deleted streams.
#include "conflictor/streams/StreamEditing.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/CaretNames.h"
#include "automation/Selection.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamDrawing.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

namespace {

// The reference of a handle; a null entity when the handle names nothing any more.
cad::Entity referenceOf(const QString& handle) {
    try {
        return automation::CadDocument.handleToObject(handle);
    } catch (const std::exception&) {
        return cad::Entity();
    }
}

QString markerHandle(const QString& kind, const QString& streamName) {
    return automation::FindBlockReferenceHandle(
        automation::CadModelSpace, PatternText(IntersectionNumber) + kind + streamName + QStringLiteral("_*"),
        cad::Variant(), common::Settings.StreamLayerName);
}

// The command's CAD variables back on every way out. A refusal on the way out of a command that
// went well reaches the command's guard, which says it.
struct VariablesBack {
    ~VariablesBack() noexcept(false) {
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

struct CursorBack {
    ~CursorBack() { MainWindow().setBusyCursor(false); }
};

void copyComponentsAndMarkers(int s, int c) {
    StreamWindow& window = MainWindow();
    window.setBusyCursor(true);
    CursorBack cursorBack;
    automation::SaveAndSetCadVariables(QString::number(common::Settings.PisakStrumieni), QString(), -1.0, 0.0,
                                       1.0);
    VariablesBack variablesBack;
    OdczytajStrumienie(false, s);
    const QString copyName = StreamTable[size_t(c)].Name;
    const QString sourceName = StreamTable[size_t(s)].Name;

    const int count = StreamTable[size_t(s)].SegmentCount;
    for (int i = 1; i <= count; ++i) {
        const QString handle = StreamTable[size_t(s)].Segments[size_t(i)].Handle;
        if (handle.isEmpty()) continue;
        const cad::Entity ref = referenceOf(handle);
        if (ref.isNull()) continue;
        const QString blockName = ref.name();
        QString probe = blockName;
        int none = -1;
        if (!ParseStreamBlockName(copyName, probe, 0, none))
            automation::GetBlockDefinition(blockName).setName(blockName + QLatin1Char('^') + copyName);
        ref.update();
        StoreStreamComponent(c, handle);
    }

    const StreamRecord& source = StreamTable[size_t(s)];
    if (!markerHandle(QStringLiteral("^POCZATEK_STRUMIEN_"), sourceName).isEmpty()) {
        if (StreamTable[size_t(c)].Kind == KindConditional) {
            int j = 1;
            for (int k = 1; k <= source.SegmentCount; ++k) {
                const SegmentRecord& seg = source.Segments[size_t(k)];
                if (common::ArePointsEqual(seg.StartPoint, source.StartPoint) ||
                    common::ArePointsEqual(seg.EndPoint, source.StartPoint)) {
                    j = k;
                    break;
                }
            }
            window.MarkerDirection = GetSegmentOutwardAngle(source.Segments[size_t(j)], source.StartPoint);
        }
        InsertMarkerBlock(source.StartPoint, StartMarkerKind(), copyName, QString(), QString());
    }

    const QString endHandle = markerHandle(QStringLiteral("^KONIEC_STRUMIEN_"), sourceName);
    if (!endHandle.isEmpty()) {
        const cad::Document& doc = automation::CadDocument;
        const cad::Entity marker = doc.handleToObject(endHandle);
        const cad::Point at = marker.insertionPoint();
        const double scale = marker.xScaleFactor();
        QList<cad::Entity> lines;
        for (const cad::Entity& e : doc.blocks().item(marker.name()).entities())
            if (e.objectName() == QLatin1String("AcDbLine")) lines.append(e);
        const QString newName = automation::MakeUniqueBlockName(
            IntersectionNumber + QStringLiteral("^KONIEC_STRUMIEN_") + copyName + QLatin1Char('_'));
        const cad::Block block = doc.blocks().add(cad::Point{0, 0, 0}, newName);
        if (!lines.isEmpty()) doc.copyObjects(lines, block);
        const cad::Entity ref = doc.modelSpace().insertBlock(at, newName, scale, scale, scale, 0);
        ref.setLayer(common::Settings.StreamLayerName);
        ref.update();
    }
    OdczytajStrumienie(false, c);
    automation::CadApplication.update();
}

}  // namespace

void mnuEdycja_NowyStrumien() {
    if (!CheckIntersectionNumber()) {
        return;
    }
    NewOrCopyStream(false);
}

void mnuEdycja_KopiujStrumien() {
    NewOrCopyStream(true);
}

void NewOrCopyStream(bool copy) {
    StreamWindow& window = MainWindow();
    window.commitPendingEdit();
    CurrentStreamIndex = FindStreamIndex(window.GridStreamName);
    // The name is written into the drawing at OK: a CAD host that went away is told before the user
    // types anything (the call fails, and the command's guard says why). No drawing open is no
    // failure: the stream then lives in the table only.
    automation::CheckDocumentOpen(false);
    const auto& dialog = StreamDialogs().NazwaStrumienia;
    const int created = dialog ? dialog(copy) : -1;
    if (!copy) return;
    const int s = CurrentStreamIndex;
    if (s < 0 || created < 0 || created >= int(StreamTable.size()) || s == created) return;
    if (!automation::CheckDocumentOpen(false)) return;
    copyComponentsAndMarkers(s, created);
}

void mnuEdycja_UsunStrumien() {
    StreamWindow& window = MainWindow();
    const QString name = window.GridStreamName;
    if (name.isEmpty()) return;
    const int i = FindStreamIndex(name);
    if (i < 0) return;
    const QString question =
        common::Tlumacz(QStringLiteral("Czy usunąć strumień ")) + name + QLatin1Char('?');
    if (ui::MsgBox(question, ui::YesNo | ui::Question, window.caption()) != ui::Yes) return;

    if (automation::CheckDocumentOpen(true)) {
        const QString fromDrawing = common::Tlumacz(QStringLiteral("Czy usunąć strumień ")) + name +
                                    common::Tlumacz(QStringLiteral(" również z rysunku?"));
        if (ui::MsgBox(fromDrawing, ui::YesNo | ui::Question, window.caption()) == ui::Yes) {
            OdczytajStrumienie(false, i);
            const StreamRecord& r = StreamTable[size_t(i)];
            const QString prefix = IntersectionNumber + QStringLiteral("^STRUMIEN");
            for (int k = 1; k <= r.SegmentCount; ++k) {
                const QString handle = r.Segments[size_t(k)].Handle;
                if (handle.isEmpty()) continue;
                const cad::Entity ref = referenceOf(handle);
                if (ref.isNull()) continue;
                const QString blockName = ref.name();
                QString cut = blockName;
                int n = 0;
                if (!ParseStreamBlockName(name, cut, 1, n)) continue;
                // A component another name still lists stays, whether or not that stream is read now.
                if (automation::SplitCaretList(cut, prefix).isEmpty()) {
                    automation::DeleteEntity(ref);
                } else {
                    automation::GetBlockDefinition(blockName).setName(cut);
                    ref.update();
                }
            }
            if (IsVehicleStream(r)) {
                for (const QString& kind :
                     {QStringLiteral("^POCZATEK_STRUMIEN_"), QStringLiteral("^KONIEC_STRUMIEN_")}) {
                    const QString handle = markerHandle(kind, name);
                    if (!handle.isEmpty())
                        automation::DeleteEntity(automation::CadDocument.handleToObject(handle));
                }
            }
        }
    }
    StreamTable.erase(StreamTable.begin() + i);
    window.removeGridRow(i);
}

}  // namespace conflictor
