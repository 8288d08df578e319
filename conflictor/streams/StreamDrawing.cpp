// The drawing command of a stream component, its poll and its callback.
#include "conflictor/streams/StreamDrawing.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/DrawingProperties.h"
#include "automation/Picking.h"
#include "automation/Selection.h"
#include "automation/WindowSearch.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/CommandGuard.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/KinematicCheck.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/SegmentBounds.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QTimer>
#include <numbers>
#include <stdexcept>

namespace conflictor {

int PendingDrawMode = 0;
int ModelSpaceCountBefore = 0;

namespace {

constexpr double HalfPi = std::numbers::pi / 2;

// The layer that was active before the command made the stream layer active.
QString rememberedLayer;

QTimer* runNextTimer() {
    static QTimer* timer = nullptr;
    if (!timer && QCoreApplication::instance()) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setInterval(100);
        QObject::connect(timer, &QTimer::timeout,
                         [] { RunGuarded([] { frmMain_tRunNext_Timer(); }, MainWindow().caption()); });
    }
    return timer;
}

void setRunNext(bool on) {
    if (QTimer* t = runNextTimer()) on ? t->start() : t->stop();
}

// A step of putting things back after a drawing command: the layer, the variables, the window. Each
// is tried on its own so that one the CAD refuses does not keep the others back; what it leaves is
// the state the user sees in the CAD (the layer or pen the command used), and a lost host meets
// the command's guard at its next call.
template <class F>
void quietly(F&& f) {
    try {
        f();
    } catch (const cad::Error&) {
        // Left as the command had it: visible in the CAD, and nothing of the stream depends on it.
    }
}

// Puts the remembered layer back, restores the CAD variables and shows the window: every way out.
void endDrawing() {
    StreamWindow& window = MainWindow();
    if (!rememberedLayer.isEmpty()) {
        quietly([] {
            automation::CadDocument.setActiveLayer(automation::CadDocument.layers().item(rememberedLayer));
        });
        rememberedLayer.clear();
    }
    quietly([] { automation::RestoreCadVariables(); });
    window.showWindow();
}

// The grid's stream index, looked up again by name: the table may have been rebuilt meanwhile.
int gridStreamIndex() {
    StreamWindow& window = MainWindow();
    window.GridStreamIndex = FindStreamIndex(window.GridStreamName);
    return window.GridStreamIndex;
}

bool vehicleStream(int index) {
    return index > -1 && index < int(StreamTable.size()) && IsVehicleStream(StreamTable[size_t(index)]);
}

bool conditionalStream(int index) {
    return index > -1 && index < int(StreamTable.size()) &&
           StreamTable[size_t(index)].Kind == KindConditional;
}

// The stream's values enter the attribute block when it is drawn for the first time. False when
// the attribute block could not be had (the command then ends).
bool writeFirstValues() {
    StreamWindow& window = MainWindow();
    QString handle;
    if (!DodajAtrStrumieni(IntersectionBlockPrefix() + IntersectionNumber, handle)) return false;
    if (handle.isEmpty()) return true;
    ReadIntersectionAttributeBlock();
    const int i = gridStreamIndex();
    if (i < 0) return true;
    const StreamRecord& r = StreamTable[size_t(i)];
    const QString base = r.BaseName.toUpper();
    if (r.Group > 0) SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(r.Group), false);
    if (!r.Phases.isEmpty()) SetStreamAttribute(QStringLiteral("FAZY"), base, r.Phases, false);
    if (!r.Description.isEmpty())
        SetStreamAttribute(QStringLiteral("OPISY"), window.GridStreamName, r.Description, false);
    const std::pair<const char*, double> values[] = {
        {"DLUG_POJ", r.VehicleLength},         {"LUK_DOJAZD", r.ApproachArcSpeed},
        {"LUK_EWAK", r.ClearArcSpeed},         {"PROSTA_DOJAZD", r.ApproachStraightSpeed},
        {"PROSTA_EWAK", r.ClearStraightSpeed}, {"MAKS_PRZYSP", r.MaxAcceleration}};
    for (const auto& [tag, value] : values) {
        const QString t = QString::fromLatin1(tag);
        if (value != CheckValue(t, QString(), r.Kind))
            SetStreamAttribute(t, window.GridStreamName,
                               common::FormatNumber(value, QStringLiteral("#######0.00")), false);
    }
    WriteIntersectionAttributeBlock(handle);
    return true;
}

// The drawn stream read again, so that its record holds every component with its geometry.
void rereadGridStream() {
    const int i = gridStreamIndex();
    if (i >= 0) OdczytajStrumienie(false, i);
}

void insertStartMarker(const PlanePoint& point) {
    InsertMarkerBlock(point, StartMarkerKind(), MainWindow().GridStreamName, QString(), QString());
}

// The component block of one segment of the grid's stream; the segment gets its Handle and Label.
bool writeComponent(SegmentRecord& segment) {
    const int i = gridStreamIndex();
    if (i < 0) return false;
    return WriteStreamComponent(segment, i, {});
}

void drawLine(int count0) {
    StreamWindow& window = MainWindow();
    const cad::Utility utility = automation::CadDocument.utility();
    const PlanePoint p1 =
        automation::ReadCadPoint(utility.getPoint(QStringLiteral("Select line start point")));
    const PlanePoint p2 = automation::ReadCadPoint(
        utility.getPoint(automation::MakeCadPoint(p1), QStringLiteral("Select end point")));
    SegmentRecord segment;
    segment.IsLine = true;
    segment.StartPoint = p1;
    segment.EndPoint = p2;
    if (!writeComponent(segment)) return;
    const int i = window.GridStreamIndex;
    if (automation::CadModelSpace.count() > count0) {
        if (window.StreamHasNoBlock && vehicleStream(i)) {
            if (conditionalStream(i)) window.MarkerDirection = common::GetDirectionAngle(p2, p1);
            insertStartMarker(p1);
        }
        if (vehicleStream(i)) PlaceEndMarker(window.GridStreamName, p2, segment, false);
    }
}

void takeArc(const cad::Entity& entity) {
    StreamWindow& window = MainWindow();
    if (entity.objectName() != QLatin1String("AcDbArc")) return;
    SegmentRecord segment;
    ReadSegmentGeometry(entity, segment);
    // The component exists before the drawn arc goes: a failure in between loses nothing.
    if (!writeComponent(segment)) return;
    automation::DeleteEntity(entity);
    const PlanePoint last = automation::GetLastPoint();
    const int i = window.GridStreamIndex;
    if (window.StreamHasNoBlock && vehicleStream(i)) {
        const double dS = common::GetDistance(last, segment.StartPoint);
        const double dE = common::GetDistance(last, segment.EndPoint);
        const bool atStart = dS > dE;
        if (conditionalStream(i))
            window.MarkerDirection = atStart ? segment.StartAngle - HalfPi : segment.EndAngle + HalfPi;
        insertStartMarker(atStart ? segment.StartPoint : segment.EndPoint);
    }
    if (vehicleStream(i)) PlaceEndMarker(window.GridStreamName, last, segment, false);
}

void takePolyline(const cad::Entity& polyline) {
    StreamWindow& window = MainWindow();
    const PlanePoint last = automation::GetLastPoint();
    const QList<cad::Entity> parts = polyline.explode();
    const int i = gridStreamIndex();
    if (i < 0) {
        for (const cad::Entity& e : parts) quietly([&] { automation::DeleteEntity(e); });
        return;
    }
    // A polyline that would take the stream past its limit stays in the drawing as drawn.
    if (StreamTable[size_t(i)].SegmentCount + int(parts.size()) > MaxSegments) {
        for (const cad::Entity& e : parts) quietly([&] { automation::DeleteEntity(e); });
        window.showWindow();
        ui::MsgBox(FullStreamMessage(), ui::Exclamation, window.caption());
        return;
    }
    int first = 0, second = 0;
    SegmentRecord lastSegment;
    for (int k = 0; k < int(parts.size()); ++k) {
        SegmentRecord segment;
        ReadSegmentGeometry(parts[k], segment);
        if (!WriteStreamComponent(segment, i, {})) continue;
        StoreStreamComponent(i, segment.Handle);
        StreamRecord& r = StreamTable[size_t(i)];
        ComputeSegmentBounds(segment);
        r.Segments[size_t(r.SegmentCount)] = segment;
        lastSegment = segment;
        if (window.StreamHasNoBlock && k < 2 && vehicleStream(i)) (k == 0 ? first : second) = r.SegmentCount;
    }
    for (int k = int(parts.size()) - 1; k >= 0; --k) automation::DeleteEntity(parts[k]);
    automation::DeleteEntity(polyline);

    // The stream's own marker by its full name: a variant (K1[2]) has its own, apart from K1's.
    const StreamRecord& r = StreamTable[size_t(i)];
    if (window.StreamHasNoBlock && vehicleStream(i) && first > 0 &&
        automation::FindBlockReferenceHandle(
            automation::CadModelSpace,
            PatternText(IntersectionNumber) + QStringLiteral("^POCZATEK_STRUMIEN_") +
                window.GridStreamName + QStringLiteral("_*"),
            cad::Variant(), common::Settings.StreamLayerName)
            .isEmpty()) {
        const SegmentRecord& a = r.Segments[size_t(first)];
        PlanePoint start = common::MissingPoint();
        if (second == 0) {
            if (common::ArePointsEqual(last, a.StartPoint))
                start = a.EndPoint;
            else if (common::ArePointsEqual(last, a.EndPoint))
                start = a.StartPoint;
        } else {
            const SegmentRecord& b = r.Segments[size_t(second)];
            for (const PlanePoint& p : {a.StartPoint, a.EndPoint})
                if (!common::ArePointsEqual(p, b.StartPoint) && !common::ArePointsEqual(p, b.EndPoint)) {
                    start = p;
                    break;
                }
        }
        if (!common::IsMissingPoint(start)) {
            if (conditionalStream(i)) window.MarkerDirection = GetSegmentOutwardAngle(a, start);
            insertStartMarker(start);
        }
    }
    if (vehicleStream(i) && !lastSegment.Label.isEmpty())
        PlaceEndMarker(window.GridStreamName, last, lastSegment, false);
}

}  // namespace

QString FullStreamMessage() {
    return common::Tlumacz(
        QStringLiteral("Strumień ma już 100 składników - więcej składników nie można do niego dodać."));
}

void StoreStreamComponent(int streamIndex, const QString& handle) {
    if (streamIndex <= -1 || streamIndex >= int(StreamTable.size())) return;
    StreamRecord& r = StreamTable[size_t(streamIndex)];
    if (r.SegmentCount + 1 > MaxSegments) throw std::out_of_range("a stream holds at most 100 components");
    ++r.SegmentCount;
    r.Segments[size_t(r.SegmentCount)].Handle = handle;
}

bool RunNextTimerActive() {
    const QTimer* t = runNextTimer();
    return t && t->isActive();
}

void DrawStreamComponent(int mode) {
    if (!automation::CheckDocumentOpen(true)) return;
    StreamWindow& window = MainWindow();
    if (window.DrawingInProgress) return;
    automation::SaveAndSetCadVariables(QString::number(common::Settings.PisakStrumieni), QString(), -1.0, 0.0,
                                       1.0);
    if (common::Settings.PisakStrumieni == 0) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Niepoprawny numer pisaka!")), ui::OkOnly);
        quietly([] { automation::RestoreCadVariables(); });
        return;
    }
    if (!CheckIntersectionNumber()) {
        quietly([] { automation::RestoreCadVariables(); });
        return;
    }
    const int index = gridStreamIndex();
    if (index < 0) {
        quietly([] { automation::RestoreCadVariables(); });
        return;
    }
    // A full stream is refused before anything is drawn.
    if (StreamTable[size_t(index)].SegmentCount >= MaxSegments) {
        ui::MsgBox(FullStreamMessage(), ui::Exclamation, window.caption());
        quietly([] { automation::RestoreCadVariables(); });
        return;
    }
    // The markers and the intersection block are drawn at the drawing's scale: an unreadable "SKALA"
    // is said before anything is picked or drawn.
    if (!automation::LoadDrawingScale(window.caption())) {
        quietly([] { automation::RestoreCadVariables(); });
        return;
    }

    window.hideWindow();
    try {
        EnsureStreamLayers();
        const cad::Document& doc = automation::CadDocument;
        rememberedLayer = doc.activeLayer().name();
        doc.setActiveLayer(doc.layers().item(common::Settings.StreamLayerName));
        automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
        window.yieldToMessageLoop();

        window.StreamHasNoBlock =
            FindStreamBlockHandle(PatternText(IntersectionNumber) + QStringLiteral("^STRUMIEN_*^"),
                                  window.GridStreamName, common::Settings.StreamLayerName)
                .isEmpty();
        if (window.StreamHasNoBlock && !writeFirstValues()) {
            endDrawing();
            return;
        }
        const int count0 = automation::CadModelSpace.count();
        doc.utility().initializeUserInput(1);

        if (mode == Luk || mode == Kontynuacja) {
            ModelSpaceCountBefore = count0;
            window.DrawingInProgress = true;
            window.stopStatusRestore();
            if (mode == Luk) automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
            doc.sendCommand(mode == Luk ? QStringLiteral("_arc\r") : QStringLiteral("_pline\r"));
            PendingDrawMode = mode;
            setRunNext(true);
            return;
        }
        drawLine(count0);
        rereadGridStream();
    } catch (const std::exception& e) {
        // A cancelled pick or a refused CAD call ends the command; what was written stays. A host
        // that went away is told by the command's guard.
        setRunNext(false);
        PendingDrawMode = 0;
        window.DrawingInProgress = false;
        if (dynamic_cast<const cad::ConnectionLost*>(&e)) {
            endDrawing();
            throw;
        }
    }
    endDrawing();
}

namespace {
void finishWaiting() {
    setRunNext(false);
    PendingDrawMode = 0;
    MainWindow().DrawingInProgress = false;
    endDrawing();
}
}  // namespace

void frmMain_tRunNext_Timer() {
    try {
        const cad::State state =
            automation::CadState.isNull() ? automation::CadApplication.getAcadState() : automation::CadState;
        if (!state.isQuiescent()) return;
    } catch (const cad::Error&) {
        // The CAD went away: the wait ends below, where reading its last prompt fails the same way
        // and the timer's guard says so.
    }
    if (PendingDrawMode == 0) {
        setRunNext(false);
        return;
    }
    try {
        const QString prompt = automation::CadDocument.getVariable(QStringLiteral("LASTPROMPT")).toText();
        const bool cancelled =
            prompt.contains(QLatin1String("*Cancel*")) || prompt.contains(QLatin1String("*Anulowano*"));
        if (!cancelled || PendingDrawMode == Kontynuacja) {
            const int n = automation::CadModelSpace.count();
            if (n > ModelSpaceCountBefore) {
                CallbackFunction(n - 1);
                return;
            }
        }
        // The command is over (ended, cancelled or drew nothing): the wait ends.
    } catch (const std::exception&) {
        // The CAD went away or refused the component: the wait ends and the timer's guard says why.
        finishWaiting();
        throw;
    }
    finishWaiting();
}

void CallbackFunction(int index) {
    StreamWindow& window = MainWindow();
    QString failure;
    try {
        const bool continuation = PendingDrawMode == Kontynuacja;
        PendingDrawMode = 0;
        window.yieldToMessageLoop();
        const cad::Entity entity = automation::CadModelSpace.item(index);
        if (continuation) {
            if (entity.objectName() == QLatin1String("AcDbPolyline")) takePolyline(entity);
        } else {
            takeArc(entity);
        }
        rereadGridStream();
    } catch (const std::exception& e) {
        // The drawing ends as a failure; what was written stays, and the user is told why the last
        // component was not taken into the stream.
        failure = QString::fromUtf8(e.what());
    }
    setRunNext(false);
    window.DrawingInProgress = false;
    endDrawing();
    if (!failure.isEmpty())
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie dołączono narysowanego elementu do strumienia:")) +
                       QLatin1Char('\n') + failure,
                   ui::Exclamation, window.caption());
}

}  // namespace conflictor
