// Start, end and conflict-point markers.
#include "conflictor/streams/Markers.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/CaretNames.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/CutContext.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/engine/Errors.h"
#include "platform/ui/core/Prompt.h"

#include <QStringBuilder>
#include <exception>
#include <numbers>

namespace conflictor {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double Unit = 250;  // marker drawing unit in block units

cad::Point at(const PlanePoint& p) {
    return cad::Point{p.X, p.Y, 0};
}
PlanePoint polar(const PlanePoint& origin, double angle, double distance) {
    return common::GetPolarPoint(origin, angle, distance);
}

// Runs the steps of one marker's construction: a step the CAD refuses is left out and its reason
// kept, so that the command can say which marker is incomplete. A lost host ends the marker (no
// later step could be made either), and a failure that is not the CAD's (memory) is not a refusal.
struct MarkerSteps {
    QStringList refused;
    template <class F>
    void operator()(F&& f) {
        try {
            f();
        } catch (const cad::ConnectionLost&) {
            throw;
        } catch (const cad::Error& e) {
            if (!refused.contains(e.message())) refused << e.message();
        }
    }
};

// The marker as the user finds it named in a message.
QString describeMarker(const QString& kind, const QString& stream1, const QString& stream2,
                       const PlanePoint& point) {
    QString what;
    if (kind == QLatin1String("0"))
        what = common::Tlumacz(QStringLiteral("znacznik początku strumienia %1")).arg(stream1);
    else if (kind == QLatin1String("1") || kind == QLatin1String("2") || kind == QLatin1String("3"))
        what = stream2.isEmpty()
                   ? common::Tlumacz(QStringLiteral("znacznik punktu kolizji strumienia %1")).arg(stream1)
                   : common::Tlumacz(QStringLiteral("znacznik punktu kolizji strumieni %1 i %2")).arg(stream1, stream2);
    else
        what = common::Tlumacz(QStringLiteral("znacznik końca strumienia %1")).arg(stream1);
    return what + QStringLiteral(" (%1; %2)").arg(point.X, 0, 'f', 2).arg(point.Y, 0, 'f', 2);
}

// The filled circle of the vehicle/pedestrian markers.
void addFilledCircle(const cad::Block& block, MarkerSteps& step) {
    cad::Entity circle;
    step([&] { circle = block.addCircle(cad::Point{0, 0, 0}, 0.6 * Unit); });
    step([&] { circle.setColor(common::Settings.PisakStrumieni); });
    step([&] {
        const cad::Entity hatch = block.addHatch(1, QStringLiteral("SOLID"), true);
        // Sent without waiting for an answer: none is used.
        hatch.send(QStringLiteral("AppendOuterLoop"), {cad::Variant(cad::VariantList{circle})});
        hatch.send(QStringLiteral("Evaluate"));
    });
}

// Binding entry of each kind's size coefficient.
int coefficientBinding(const QString& kind) {
    if (kind == QLatin1String("0")) return 4;  // edtWspPoczatek
    if (kind == QLatin1String("5")) return 5;  // edtWspKoniec
    if (kind == QLatin1String("3")) return 6;  // edtWspPojazdPojazd
    return 7;                                  // edtWspPojazdPiesi
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

QString markerPattern(const QString& kind, const QString& streamName) {
    return PatternText(IntersectionNumber) + kind + streamName + QStringLiteral("_*");
}

// Deletes the stream's marker of that kind; its insertion point, or none.
// Deletes every marker of the kind the stream has (a copy too: a stream has one of each) and gives the
// place of the first found.
PlanePoint takeMarker(const QString& kind, const QString& streamName) {
    PlanePoint first = common::MissingPoint();
    for (;;) {
        const QString handle =
            automation::FindBlockReferenceHandle(automation::CadModelSpace, markerPattern(kind, streamName),
                                                 cad::Variant(), common::Settings.StreamLayerName);
        if (handle.isEmpty()) return first;
        const cad::Entity marker = automation::CadDocument.handleToObject(handle);
        const cad::Point p = marker.insertionPoint();
        automation::DeleteEntity(marker);
        if (common::IsMissingPoint(first)) first = {p.x, p.y};
    }
}

}  // namespace

double MarkerSizeCoefficient(const QString& kind) {
    const double c =
        common::ParseDouble(common::SettingBindings[size_t(coefficientBinding(kind))].Value.toString());
    return c > 0 ? c : 1;
}

namespace {

// Makes the marker; what the CAD refused of it ("" when nothing), named and with the CAD's reasons.
QString insertMarker(const PlanePoint& point, const QString& kind, const QString& stream1,
                     const QString& stream2, const QString& pedestrianStream, CutContext* cut) {
    MarkerSteps step;
    const auto leftOut = [&] {
        return step.refused.isEmpty() ? QString()
                                      : describeMarker(kind, stream1, stream2, point) + QStringLiteral(": ") +
                                            step.refused.join(QStringLiteral("; "));
    };
    const int i = FindStreamIndex(stream1);
    QString kindName;
    if (kind == QLatin1String("0"))
        kindName = QStringLiteral("POCZATEK_STRUMIEN_") + stream1;
    else if (kind == QLatin1String("1"))
        kindName = QStringLiteral("POJPIESZ_STRUMIEN");
    else if (kind == QLatin1String("2"))
        kindName = QStringLiteral("PIESZPOJ_STRUMIEN");
    else if (kind == QLatin1String("3"))
        kindName = QStringLiteral("POJPOJ_STRUMIEN");
    else
        kindName = QStringLiteral("KONIEC_STRUMIEN_") + stream1;
    const double coefficient = MarkerSizeCoefficient(kind);
    const double direction = MainWindow().MarkerDirection;

    QString blockName;
    step([&] {
        const QString prefix = IntersectionNumber % QLatin1Char('^') % kindName % QLatin1Char('_');
        blockName = cut ? cut->names.blockName(prefix) : automation::MakeUniqueBlockName(prefix);
    });
    cad::Block block;
    step([&] { block = ComponentBlockTable().add(cad::Point{0, 0, 0}, blockName); });
    if (block.isNull()) return leftOut();  // a block the CAD refused: there is nothing to draw into or insert
    const PlanePoint origin{0, 0};
    auto line = [&](const PlanePoint& a, const PlanePoint& b, bool byBlock) {
        step([&] {
            const cad::Entity e = block.addLine(at(a), at(b));
            if (byBlock) e.setColor(0);
        });
    };

    if (kind == QLatin1String("0")) {
        step([&] { block.addCircle(cad::Point{0, 0, 0}, 1.5 * Unit).setColor(0); });
        if (i >= 0 && StreamTable[size_t(i)].Kind == KindConditional) {
            const PlanePoint p = polar(origin, direction, 1000);
            line(polar(p, direction + Pi / 2, 1250), polar(p, direction - Pi / 2, 1250), true);
        }
    } else if (kind == QLatin1String("1")) {
        addFilledCircle(block, step);
    } else if (kind == QLatin1String("2")) {
        step([&] { block.addCircle(cad::Point{0, 0, 0}, Unit); });
        addFilledCircle(block, step);
    } else if (kind == QLatin1String("3")) {
        const double d = 0.71 * Unit;
        line({-Unit, 0}, {Unit, 0}, false);
        line({0, -Unit}, {0, Unit}, false);
        line({-d, -d}, {d, d}, false);
        line({-d, d}, {d, -d}, false);
    } else {
        const PlanePoint p = polar(origin, direction - Pi, 500);
        const PlanePoint a = polar(p, direction + Pi / 2, 0.75 * Unit);
        const PlanePoint b = polar(p, direction - Pi / 2, 0.75 * Unit);
        line(a, b, true);
        line(a, origin, true);
        line(b, origin, true);
    }

    const bool conflictPoint =
        kind == QLatin1String("1") || kind == QLatin1String("2") || kind == QLatin1String("3");
    if (conflictPoint) {
        step([&] {
            automation::AddAttributeDefinition(block, kindName % QLatin1Char('1'), QLatin1Char('^') % stream1,
                                               0, 0);
        });
        if (!stream2.isEmpty()) {
            step([&] {
                automation::AddAttributeDefinition(block, kindName % QLatin1Char('2'),
                                                   QLatin1Char('^') % stream2, 0, 0);
            });
            if (!pedestrianStream.isEmpty())
                step([&] {
                    automation::AddAttributeDefinition(block, QStringLiteral("SKOJARZONY_PIESZY"),
                                                       pedestrianStream, 0, 0);
                });
        }
    }

    const double scale = coefficient * automation::DrawingScale / 1000.0;
    step([&] {
        const cad::Entity ref =
            automation::CadModelSpace.insertBlock(at(point), blockName, scale, scale, scale, 0);
        step([&] {
            ref.setLayer(conflictPoint ? common::Settings.ConflictPointLayerName
                                       : common::Settings.StreamLayerName);
        });
        step([&] { ref.update(); });
    });
    return leftOut();
}

}  // namespace

void InsertMarkerBlock(const PlanePoint& point, const QString& kind, const QString& stream1,
                       const QString& stream2, const QString& pedestrianStream) {
    const QString leftOut = insertMarker(point, kind, stream1, stream2, pedestrianStream, nullptr);
    if (!leftOut.isEmpty())
        ui::MsgBox(common::Tlumacz(QStringLiteral("Program CAD odmówił części znacznika; znacznik jest niepełny "
                                                  "albo go brak:")) +
                       QLatin1Char('\n') + leftOut,
                   ui::Exclamation, MainWindow().caption());
}

void InsertMarkerBlock(const PlanePoint& point, const QString& kind, const QString& stream1,
                       const QString& stream2, const QString& pedestrianStream, CutContext& cut) {
    QString leftOut;
    try {
        // The marker's calls go to the CAD together and come back with its first refusal, which
        // stops the marker's later calls: the marker is then incomplete and said so, the next goes on.
        const cad::DeferredCalls own(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
        leftOut = insertMarker(point, kind, stream1, stream2, pedestrianStream, &cut);
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error& e) {
        leftOut = describeMarker(kind, stream1, stream2, point) + QStringLiteral(": ") + e.message();
    }
    if (!leftOut.isEmpty()) cut.markersLeftOut << leftOut;
}

void SetStartPoint(bool swap) {
    if (!automation::CheckDocumentOpen(true)) return;
    StreamWindow& window = MainWindow();
    automation::SaveAndSetCadVariables(QString::number(common::Settings.PisakStrumieni), QString(), -1.0, 0.0,
                                       1.0);
    RestoreVariables restore;
    // The markers are drawn at the drawing's scale: an unreadable "SKALA" is said, nothing is drawn.
    if (!automation::LoadDrawingScale(window.caption())) return;

    const QString name = window.GridStreamName;
    // A stream the table does not know is not invented: the command has nothing to act on.
    const int i = FindStreamIndex(name);
    if (i < 0) return;
    const int kind = StreamTable[size_t(i)].Kind;
    if (kind == KindPedestrian || kind == KindBicycle) {
        ui::MsgBox(common::Tlumacz(QStringLiteral(
                       "Na strumieniu pieszym i rowerowym nie wyznacza się punktu początkowego.")),
                   ui::Information, window.caption());
        return;
    }
    OdczytajStrumienie(false, i);
    int first = 0, second = 0;
    const common::PlanePointPair ends = GetStreamEndPoints(i, false, first, second);
    if (common::IsMissingPoint(ends.First)) return;

    const PlanePoint old = takeMarker(QStringLiteral("^POCZATEK_STRUMIEN_"), name);
    const bool atSecond = !common::IsMissingPoint(old) &&
                          common::GetDistance(old, ends.First) >= common::GetDistance(old, ends.Second);
    const bool startAtSecond = atSecond != swap;
    const PlanePoint start = startAtSecond ? ends.Second : ends.First;
    const PlanePoint end = startAtSecond ? ends.First : ends.Second;
    const StreamRecord& r = StreamTable[size_t(i)];
    const SegmentRecord startSegment = r.Segments[size_t(startAtSecond ? second : first)];
    const SegmentRecord endSegment = r.Segments[size_t(startAtSecond ? first : second)];

    if (r.Kind == KindConditional) window.MarkerDirection = GetSegmentOutwardAngle(startSegment, start);
    InsertMarkerBlock(start, StartMarkerKind(), name, QString(), QString());
    PlaceEndMarker(name, end, endSegment, true);
}

void KeepEndMarkerAtTheEnd(int index) {
    if (index < 0 || index >= int(StreamTable.size())) return;
    const StreamRecord& r = StreamTable[size_t(index)];
    if (!IsVehicleStream(r) || common::IsMissingPoint(r.StartPoint)) return;
    // Only a sound chain has an end to keep the marker at; a faulty one is told by the next check.
    const StreamShape shape = CheckStreamShape(r, false);
    if (!shape.Fault.isEmpty()) return;
    const bool fromFirst = common::ArePointsEqual(shape.Ends.First, r.StartPoint);
    if (!fromFirst && !common::ArePointsEqual(shape.Ends.Second, r.StartPoint)) return;
    const PlanePoint end = fromFirst ? shape.Ends.Second : shape.Ends.First;
    if (r.EndMarkers.size() == 1 && common::ArePointsEqual(r.EndMarkers[0], end)) return;
    automation::SaveAndSetCadVariables(QString::number(common::Settings.PisakStrumieni), QString(), -1.0, 0.0,
                                       1.0);
    RestoreVariables restore;
    automation::DrawingScale = automation::GetDrawingScale();
    const SegmentRecord segment = r.Segments[size_t(fromFirst ? shape.SecondSegment : shape.FirstSegment)];
    PlaceEndMarker(r.Name, end, segment, true);
    StreamTable[size_t(index)].EndMarkers = {end};
}

void PlaceEndMarker(const QString& streamName, const PlanePoint& point, const SegmentRecord& segment,
                    bool reverse) {
    takeMarker(QStringLiteral("^KONIEC_STRUMIEN_"), streamName);
    double direction;
    if (segment.IsLine) {
        direction = reverse && common::ArePointsEqual(point, segment.StartPoint)
                        ? common::GetDirectionAngle(segment.EndPoint, segment.StartPoint)
                        : common::GetDirectionAngle(segment.StartPoint, segment.EndPoint);
    } else {
        direction = common::ArePointsEqual(point, segment.StartPoint) ? segment.StartAngle - Pi / 2
                                                                      : segment.EndAngle + Pi / 2;
    }
    MainWindow().MarkerDirection = direction;
    InsertMarkerBlock(point, EndMarkerKind(), streamName, QString(), QString());
}

void SetRefLineType(const cad::Entity& blockReference) {
    const QString name = blockReference.name();
    if (name.startsWith(IntersectionNumber + QStringLiteral("^POCZATEK_STRUMIEN_")) ||
        name.startsWith(IntersectionNumber + QStringLiteral("^KONIEC_STRUMIEN_")))
        return;
    bool conditional = false, other = false;
    for (const QString& stream :
         automation::SplitCaretList(name, IntersectionNumber + QStringLiteral("^STRUMIEN"))) {
        const int i = FindStreamIndex(stream);
        if (i < 0) continue;
        (StreamTable[size_t(i)].Kind == KindConditional ? conditional : other) = true;
    }
    if (conditional && other) blockReference.setLinetype(QStringLiteral("BYLAYER"));
}

}  // namespace conflictor
