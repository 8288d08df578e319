// Streams whose component references were moved, turned, scaled, mirrored or nested in another
// block, cut and exported by conflictor-headless: the workbook, the markers and the split pieces
// are those of the same streams drawn with their geometry written into blocks at the origin; an arc
// stretched unequally in X and Y is refused by name.
#include "tests/conflictor/export/HeadlessRun.h"
#include "tests/conflictor/export/WorkbookValues.h"

#include "automation/DrawingProperties.h"
#include "conflictor/streams/StreamReading.h"

#include <QFile>
#include <cmath>
#include <QProcess>
#include <functional>

namespace conflictor::test {
namespace {

// Where a placement draws the intersection's points, and what it does to an arc's angles.
struct Placement {
    std::function<PlanePoint(const PlanePoint&)> point;
    double scale = 1;
    double turn = 0;      // added to every angle
    bool mirror = false;  // the arc runs the other way: angle a becomes π − a
    SegmentRecord operator()(const SegmentRecord& s) const {
        if (s.IsLine) {
            const PlanePoint a = point(s.StartPoint), b = point(s.EndPoint);
            return Line(a.X, a.Y, b.X, b.Y);
        }
        const PlanePoint c = point(s.Center);
        return mirror ? Arc(c.X, c.Y, s.Radius * scale, Pi - s.EndAngle + turn, Pi - s.StartAngle + turn)
                      : Arc(c.X, c.Y, s.Radius * scale, s.StartAngle + turn, s.EndAngle + turn);
    }
};

const Placement Unplaced{[](const PlanePoint& p) { return p; }};

// The reference members a user's edit changes.
struct ReferenceEdit {
    double x = 0, y = 0, rotation = 0, xScale = 1, yScale = 1;
};

class PlacedReferences : public HeadlessRun {
protected:
    // A new empty drawing in place of the current one, with the state a drawing starts from.
    void freshDrawing() {
        doc().close();
        automation::CadApplication.documents().add();
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        automation::CustomPropertyCache = {automation::CustomPropertyEntry{}};
        StreamAttributeBlockHandle.clear();
        automation::ClearStreamAttributeTable();
        InitStreamAttributeTags();
        StreamTable.clear();
        automation::EnsureLayer(StreamLayer, false, 5, 30);
        EnsureStreamLayers();
        automation::EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), false, 5, -10);
    }

    // K1 east, K2 north across it, K3 east then turning north on an arc across both, the crossing P1
    // (both edges) across K2 and K3. Each component is drawn where `place` puts it; the start
    // markers where `markers` puts the starts (of the streams `placedMarkers` names, when it names any).
    void drawIntersection(const Placement& place, const Placement& markers, const QStringList& placedMarkers = {}) {
        const std::vector<std::pair<QString, std::vector<SegmentRecord>>> streams{
            {QStringLiteral("K1"), {Line(0, 0, 100, 0)}},
            {QStringLiteral("K2"), {Line(50, -50, 50, 60)}},
            {QStringLiteral("K3"), {Line(0, -4, 30, -4), Arc(30, 26, 30, 1.5 * Pi, 0), Line(60, 26, 60, 70)}},
            {QStringLiteral("P1"), {Line(44, 30, 64, 30)}},
            {QStringLiteral("P1[2]"), {Line(44, 34, 64, 34)}}};
        for (const auto& [name, segments] : streams) {
            std::vector<SegmentRecord> placed;
            for (const SegmentRecord& s : segments) placed.push_back(place(s));
            const PlanePoint start = segments.front().StartPoint;
            const bool moved = placedMarkers.isEmpty() || placedMarkers.contains(name);
            draw(name, placed, moved ? markers.point(start) : start);
        }
        drawn();
        storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                         {QStringLiteral("K2"), 2, QStringLiteral("2")},
                         {QStringLiteral("K3"), 4, QStringLiteral("3")},
                         {QStringLiteral("P1"), 3, QStringLiteral("1")},
                         {QStringLiteral("P1[2]"), 3, QStringLiteral("1")}});
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
    }

    // The component references of the streams named (all when none), as the user's edit leaves them.
    void editReferences(const ReferenceEdit& edit, const QStringList& streams = {}) {
        for (const cad::Entity& e : modelSpace().entities()) {
            if (e.objectName() != QLatin1String("AcDbBlockReference")) continue;
            const QString name = e.name();
            if (!name.startsWith(QStringLiteral("12^STRUMIEN_"))) continue;
            if (!streams.isEmpty() && !streams.contains(name.section(QLatin1Char('^'), 2)))
                continue;
            e.setInsertionPoint(cad::Point{edit.x, edit.y, 0});
            e.setRotation(edit.rotation);
            e.put(QStringLiteral("XScaleFactor"), edit.xScale);
            e.put(QStringLiteral("YScaleFactor"), edit.yScale);
        }
    }

    // Each component's curve moved into a block of its own, referenced from the component block at
    // (1, 2) turned by `innerTurn` (the curve turned back by as much inside it, so that it is drawn
    // where it was); every component reference placed at (2, 3).
    void nestComponents(double innerTurn = 0) {
        const double c = std::cos(-innerTurn), s = std::sin(-innerTurn);
        auto turned = [&](const cad::Point& p) { return cad::Point{c * p.x - s * p.y, s * p.x + c * p.y, 0}; };
        int n = 0;
        for (const cad::Entity& ref : modelSpace().entities()) {
            if (ref.objectName() != QLatin1String("AcDbBlockReference") ||
                !ref.name().startsWith(QStringLiteral("12^STRUMIEN_")))
                continue;
            const cad::Block outer = doc().blocks().item(ref.name());
            const QString innerName = QStringLiteral("WEWN_%1").arg(++n);
            const cad::Block inner = doc().blocks().add(cad::Point{0, 0, 0}, innerName);
            for (const cad::Entity& e : outer.entities()) {
                if (e.objectName() == QLatin1String("AcDbLine"))
                    inner.addLine(turned(e.startPoint()), turned(e.endPoint()));
                else
                    inner.addArc(turned(e.center()), e.radius(), e.startAngle() - innerTurn,
                                 e.endAngle() - innerTurn);
                e.erase();
            }
            outer.insertBlock(cad::Point{1, 2, 0}, innerName, 1, 1, 1, innerTurn);
            ref.setInsertionPoint(cad::Point{2, 3, 0});
        }
    }

    // Every stream's components in the drawing saved by the tool, each as its two ends, sorted.
    QStringList piecesOf(const QString& drawing) {
        automation::CadApplication.documents().open(drawing);
        EXPECT_TRUE(automation::CheckDocumentOpen(false));
        EXPECT_TRUE(OdczytajStrumienie(false, -1));
        QStringList pieces;
        auto p = [](const PlanePoint& q) {
            return QStringLiteral("%1;%2").arg(q.X, 0, 'f', 4).arg(q.Y, 0, 'f', 4);
        };
        for (const StreamRecord& r : StreamTable)
            for (int k = 1; k <= r.SegmentCount; ++k) {
                const SegmentRecord& s = r.Segments[size_t(k)];
                pieces << r.Name + QLatin1Char(' ') + (s.IsLine ? QStringLiteral("L ") : QStringLiteral("A ")) +
                              p(s.StartPoint) + QLatin1Char(' ') + p(s.EndPoint);
            }
        pieces.sort();
        return pieces;
    }

    // The two workbooks' values, told by the cells where they differ.
    static void expectSameValues(const QStringList& actual, const QStringList& expected) {
        QStringList onlyActual, onlyExpected;
        for (const QString& v : actual)
            if (!expected.contains(v)) onlyActual << v;
        for (const QString& v : expected)
            if (!actual.contains(v)) onlyExpected << v;
        EXPECT_TRUE(onlyActual.isEmpty() && onlyExpected.isEmpty())
            << "written: " << onlyActual.join(QStringLiteral(" | ")).toStdString()
            << "\nexpected: " << onlyExpected.join(QStringLiteral(" | ")).toStdString();
    }

    // The drawing as `place` draws it, with its geometry in the blocks, against the same streams
    // drawn unplaced and then edited by `edit`: the same markers, pieces and workbook.
    void expectSameAsDrawn(const QString& name, const Placement& place, const std::function<void()>& edit) {
        SCOPED_TRACE(name.toStdString());
        drawIntersection(place, place);
        const Run expected = runTool(name + QStringLiteral("-w-blokach"));
        ASSERT_EQ(expected.exit, 0) << expected.said.toStdString();
        ASSERT_FALSE(expected.markers.isEmpty());
        freshDrawing();
        drawIntersection(Unplaced, place);
        edit();
        const Run placed = runTool(name);
        ASSERT_EQ(placed.exit, 0) << placed.said.toStdString();
        EXPECT_EQ(placed.markers, expected.markers);
        expectSameValues(WorkbookValues(placed.workbook), WorkbookValues(expected.workbook));
        EXPECT_EQ(piecesOf(placed.drawing), piecesOf(expected.drawing));
        freshDrawing();
    }
};

TEST_F(PlacedReferences, MovedTurnedScaledMirroredAndNestedComponentsAreMeasuredWhereDrawn) {
    expectSameAsDrawn(QStringLiteral("przesuniete"),
                      {[](const PlanePoint& p) { return PlanePoint{p.X + 3, p.Y + 5}; }},
                      [&] { editReferences({3, 5}); });
    expectSameAsDrawn(QStringLiteral("obrocone"),
                      {[](const PlanePoint& p) { return PlanePoint{10 - p.Y, 20 + p.X}; }, 1, Pi / 2},
                      [&] { editReferences({10, 20, Pi / 2}); });
    expectSameAsDrawn(QStringLiteral("skalowane"),
                      {[](const PlanePoint& p) { return PlanePoint{1.5 * p.X - 4, 1.5 * p.Y + 1}; }, 1.5},
                      [&] { editReferences({-4, 1, 0, 1.5, 1.5}); });
    expectSameAsDrawn(QStringLiteral("lustro"),
                      {[](const PlanePoint& p) { return PlanePoint{-p.X, p.Y}; }, 1, 0, true},
                      [&] { editReferences({0, 0, 0, -1, 1}); });
    expectSameAsDrawn(QStringLiteral("zagniezdzone"),
                      {[](const PlanePoint& p) { return PlanePoint{p.X + 3, p.Y + 5}; }},
                      [&] { nestComponents(); });
    // Turned half round, an arc keeps its direction; mirrored in Y (no X scale negative), it turns
    // round.
    expectSameAsDrawn(QStringLiteral("pol-obrotu"),
                      {[](const PlanePoint& p) { return PlanePoint{7 - p.X, -2 - p.Y}; }, 1, Pi},
                      [&] { editReferences({7, -2, Pi}); });
    expectSameAsDrawn(QStringLiteral("lustro-y"),
                      {[](const PlanePoint& p) { return PlanePoint{p.X, -p.Y}; }, 1, -Pi, true},
                      [&] { editReferences({0, 0, 0, 1, -1}); });
    // A turned inner reference inside a moved outer one: turned first, then moved.
    expectSameAsDrawn(QStringLiteral("zagniezdzone-obrocone"),
                      {[](const PlanePoint& p) { return PlanePoint{p.X + 3, p.Y + 5}; }},
                      [&] { nestComponents(Pi / 2); });
}

TEST_F(PlacedReferences, UnequalScalesStretchLinesAndRefuseAnArc) {
    // The straight streams stretched 1.5 times northward (K3, with its arc, left as it is).
    const QStringList straight{QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P1"),
                               QStringLiteral("P1[2]")};
    auto stretched = [](const PlanePoint& p) { return PlanePoint{p.X, 1.5 * p.Y}; };
    const Run expected = [&] {
        const std::vector<std::pair<QString, SegmentRecord>> lines{
            {QStringLiteral("K1"), Line(0, 0, 100, 0)}, {QStringLiteral("K2"), Line(50, -50, 50, 60)},
            {QStringLiteral("P1"), Line(44, 30, 64, 30)}, {QStringLiteral("P1[2]"), Line(44, 34, 64, 34)}};
        for (const auto& [name, s] : lines) {
            const PlanePoint a = stretched(s.StartPoint), b = stretched(s.EndPoint);
            draw(name, {Line(a.X, a.Y, b.X, b.Y)});
        }
        draw(QStringLiteral("K3"), {Line(0, -4, 30, -4), Arc(30, 26, 30, 1.5 * Pi, 0), Line(60, 26, 60, 70)});
        drawn();
        storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                         {QStringLiteral("K2"), 2, QStringLiteral("2")},
                         {QStringLiteral("K3"), 4, QStringLiteral("3")},
                         {QStringLiteral("P1"), 3, QStringLiteral("1")},
                         {QStringLiteral("P1[2]"), 3, QStringLiteral("1")}});
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        return runTool(QStringLiteral("rozciagniete-w-blokach"));
    }();
    ASSERT_EQ(expected.exit, 0) << expected.said.toStdString();
    freshDrawing();
    drawIntersection(Unplaced, {stretched}, straight);
    editReferences({0, 0, 0, 1, 1.5}, straight);
    const Run placed = runTool(QStringLiteral("rozciagniete"));
    ASSERT_EQ(placed.exit, 0) << placed.said.toStdString();
    EXPECT_EQ(placed.markers, expected.markers);
    expectSameValues(WorkbookValues(placed.workbook), WorkbookValues(expected.workbook));
    EXPECT_EQ(piecesOf(placed.drawing), piecesOf(expected.drawing));

    // K3's arc stretched too: neither the cut nor the export measures it.
    freshDrawing();
    drawIntersection(Unplaced, {stretched});
    editReferences({0, 0, 0, 1, 1.5});
    const QString refusal = QStringLiteral("K3: Niepoprawny strumień. Składowa \"12^STRUMIEN_");
    const QString reason = QStringLiteral(" jest łukiem przeskalowanym niejednakowo w osiach X i Y; narysuj ją ponownie.");
    for (bool cut : {true, false}) {
        const Run r = runTool(cut ? QStringLiteral("luk-ciecie") : QStringLiteral("luk-eksport"), cut);
        EXPECT_EQ(r.exit, 1) << cut;
        EXPECT_TRUE(r.workbook.isEmpty()) << cut;
        EXPECT_TRUE(r.said.contains(refusal) && r.said.contains(reason)) << r.said.toStdString();
        EXPECT_FALSE(r.said.contains(QStringLiteral("Strumień K1"))) << r.said.toStdString();
    }
}

}  // namespace
}  // namespace conflictor::test
