// One intersection in metres, centimetres and millimetres ("SKALA" 1, 100, 1000), at the origin and
// moved by the CAD's own move to map-grid coordinates (PL-2000: 7.5e6 m east, 5.5e6 m north): the
// cut finds the same conflict points and the export writes the same workbook, cell for cell; the
// stale-cut check finds nothing changed there, and does find a stream moved by 5 cm. At the farthest
// coordinate the cut accepts it still cuts; one step past it the stream is refused by name.
#include "tests/conflictor/export/HeadlessRun.h"
#include "tests/conflictor/export/WorkbookValues.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/StaleCut.h"

#include <cmath>

namespace conflictor::test {
namespace {

class MapGrid : public HeadlessRun {
protected:
    // Two lanes east and west, a left turn from the west (K2), a right turn from the east (K6), a
    // left turn from the north (K7), a conditional right turn (S1) and two crossings drawn by both
    // edges; arcs cross arcs and lines, K2's arc touches K4's line where both end. In metres times `unit`.
    void drawIntersection(double unit) {
        auto L = [unit](double x1, double y1, double x2, double y2) {
            return Line(x1 * unit, y1 * unit, x2 * unit, y2 * unit);
        };
        auto A = [unit](double cx, double cy, double r, double a1, double a2) {
            return Arc(cx * unit, cy * unit, r * unit, a1, a2);
        };
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::number(int(unit)));
        draw(QStringLiteral("K1"), {L(-50, -5.25, -16, -5.25), L(-16, -5.25, 50, -5.25)});
        draw(QStringLiteral("K2"),
             {L(-50, -1.75, -16, -1.75), A(-16, 16, 17.75, 1.5 * Pi, 2 * Pi), L(1.75, 16, 1.75, 50)});
        draw(QStringLiteral("K3"), {L(50, 1.75, -50, 1.75)});
        draw(QStringLiteral("K4"), {L(1.75, -50, 1.75, 16), L(1.75, 16, 1.75, 50)});
        draw(QStringLiteral("K6"),
             {L(50, 5.25, 16, 5.25), A(16, -16, 21.25, 0.5 * Pi, Pi), L(-5.25, -16, -5.25, -50)});
        draw(QStringLiteral("K7"),
             {L(-1.75, 50, -1.75, 10), A(10, 10, 11.75, Pi, 1.5 * Pi), L(10, -1.75, 50, -1.75)});
        draw(QStringLiteral("S1"),
             {L(50, 8.75, 20, 8.75), A(20, 20, 11.25, 1.5 * Pi, 2 * Pi), L(31.25, 20, 31.25, 50)});
        draw(QStringLiteral("P1"), {L(-17.5, -7, -17.5, 7)});
        draw(QStringLiteral("P1[2]"), {L(-21.5, -7, -21.5, 7)});
        draw(QStringLiteral("P4"), {L(22, -10, 22, 12)});
        draw(QStringLiteral("P4[2]"), {L(26, -10, 26, 12)});
        drawn();
        storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                         {QStringLiteral("K2"), 2, QStringLiteral("2")},
                         {QStringLiteral("K3"), 3, QStringLiteral("1")},
                         {QStringLiteral("K4"), 4, QStringLiteral("3")},
                         {QStringLiteral("K6"), 5, QStringLiteral("1")},
                         {QStringLiteral("K7"), 6, QStringLiteral("3")},
                         {QStringLiteral("S1"), 7, QStringLiteral("2")},
                         {QStringLiteral("P1"), 8, QStringLiteral("3")},
                         {QStringLiteral("P1[2]"), 8, QStringLiteral("3")},
                         {QStringLiteral("P4"), 9, QStringLiteral("2")},
                         {QStringLiteral("P4[2]"), 9, QStringLiteral("2")}});
    }

    // Every object of model space moved by (dx, dy), as the user's move of the whole drawing.
    void moveDrawing(double dx, double dy) {
        for (const cad::Entity& e : modelSpace().entities()) e.move({0, 0, 0}, {dx, dy, 0});
    }
    // The stream's pieces and start marker moved by (dx, dy).
    void moveStream(const QString& name, double dx, double dy) {
        int moved = 0;
        for (const QString& pattern : {QStringLiteral("12^STRUMIEN_*^") + name,
                                       QStringLiteral("12^POCZATEK_STRUMIEN_") + name + QStringLiteral("_*")})
            for (const cad::Entity& e : references(pattern)) {
                e.move({0, 0, 0}, {dx, dy, 0});
                ++moved;
            }
        EXPECT_GE(moved, 2);
    }

    // The conflict points of the drawing, each as its kind, streams and position in metres from
    // `origin`, and the length texts, each as its text, place and angle.
    QStringList pointsFrom(const PlanePoint& origin, double unit) {
        QStringList out;
        for (const cad::Entity& t : lengthTexts()) {
            const cad::Point p = t.textAlignmentPoint();
            out << QStringLiteral("%1 (%2; %3) %4")
                       .arg(t.textString())
                       .arg((p.x - origin.X) / unit, 0, 'f', 4)
                       .arg((p.y - origin.Y) / unit, 0, 'f', 4)
                       .arg(t.rotation(), 0, 'f', 6);
        }
        for (const ConflictMarker& m : markers())
            out << QStringLiteral("%1 %2 %3 %4 (%5; %6)")
                       .arg(m.Kind)
                       .arg(m.Stream1, m.Stream2, m.AssociatedPedestrian)
                       .arg((m.Position.X - origin.X) / unit, 0, 'f', 4)
                       .arg((m.Position.Y - origin.Y) / unit, 0, 'f', 4);
        out.sort();
        return out;
    }

    // A new drawing, as the next one the user opens.
    void openAnother() {
        TearDown();
        SetUp();
    }
};

TEST_F(MapGrid, SameCutAndWorkbookInEveryUnitAtTheOriginAndAtTheMapGrid) {
    QStringList points, workbook;
    for (const double unit : {1.0, 100.0, 1000.0})
        for (const bool far : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "SKALA " << unit << (far ? " at the map grid" : " at the origin"));
            openAnother();
            drawIntersection(unit);
            const PlanePoint origin = far ? PlanePoint{7.5e6 * unit, 5.5e6 * unit} : PlanePoint{0, 0};
            if (far) moveDrawing(origin.X, origin.Y);
            ASSERT_EQ(cut(), CutOutcome::Done) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
            EXPECT_TRUE(saidDone());
            const QStringList found = pointsFrom(origin, unit);
            prompts.clear();
            const QString path = exportTo();
            ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
            if (points.isEmpty()) {
                // Every pair that crosses: arcs with arcs and lines, the touching arc, the crossings' edges.
                EXPECT_EQ(markers().size(), 29);
                EXPECT_GT(lengthTexts().size(), 29);
                points = found;
                workbook = WorkbookValues(path);
                // The pairs the map grid once lost among them, with their clearing distances.
                for (const char* row : {"1! 1=K6 2=K7 3=48.200000000", "1! 1=K7 2=K6 3=50.800000000",
                                        "1! 1=S1 2=P4 3=28.000000000", "1! 1=S1 2=P4[2] 3=36.300000000"})
                    EXPECT_EQ(workbook.filter(QString::fromLatin1(row)).size(), 1) << row;
                continue;
            }
            EXPECT_EQ(found, points);
            EXPECT_EQ(WorkbookValues(path), workbook);
            if (!far) continue;

            // Nothing changed at the map grid; then K7 moved by 5 cm is changed, and no workbook is written.
            moveStream(QStringLiteral("K7"), 0.05 * unit, 0);
            prompts.clear();
            EXPECT_TRUE(exportTo(QStringLiteral("po-przesunieciu.xlsx")).isEmpty());
            const QString said = prompts.messageTexts().join(QLatin1Char('|'));
            EXPECT_TRUE(said.contains(
                QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: K7 (przesunięty lub "
                               "zmieniony)")))
                << said.toStdString();
        }

    // Saved at the map grid in millimetres, read back and cut by the headless tool: the file keeps it.
    openAnother();
    drawIntersection(1000);
    moveDrawing(7.5e9, 5.5e9);
    const Run r = runTool(QStringLiteral("mapa-mm"));
    ASSERT_TRUE(r.written()) << r.said.toStdString();
    EXPECT_TRUE(r.said.contains(QStringLiteral("Zakończono operację cięcia."))) << r.said.toStdString();
    EXPECT_EQ(WorkbookValues(r.workbook), workbook);
}

// What the cut checks before it says it is done: every crossing of the streams it cut has its marker
// and no marker stands elsewhere, over the pairs of the streams it cut only.
TEST_F(MapGrid, TheCutsOwnCheckNamesTheCrossingWithoutItsMarker) {
    drawIntersection(100);
    moveDrawing(7.5e8, 5.5e8);
    ASSERT_EQ(cut(), CutOutcome::Done);
    std::vector<bool> all(StreamTable.size(), true);
    EXPECT_EQ(CheckCutPoints(all), QStringList());

    const QList<ConflictMarker> found = markers();
    auto markerOf = [&](const char* a, const char* b) {
        for (const ConflictMarker& m : found)
            if (m.Stream1 == QLatin1String(a) && m.Stream2 == QLatin1String(b))
                return doc().handleToObject(m.Handle);
        ADD_FAILURE() << a << " " << b;
        return cad::Entity();
    };
    markerOf("K6", "K7").erase();
    const cad::Entity k1k4 = markerOf("K1", "K4");
    k1k4.copy().move({0, 0, 0}, {0, 300, 0});
    EXPECT_EQ(CheckCutPoints(all),
              (QStringList{QStringLiteral("K6 i K7 (brak punktu kolizji)"),
                           QStringLiteral("K1 i K4 (punkt kolizji poza przecięciem strumieni)")}));
    // A cut of K1, K4 and K6 alone answers for their pairs only.
    std::vector<bool> some(StreamTable.size(), false);
    for (const char* name : {"K1", "K4", "K6"})
        some[size_t(FindStreamIndex(QString::fromLatin1(name)))] = true;
    EXPECT_EQ(CheckCutPoints(some),
              QStringList{QStringLiteral("K1 i K4 (punkt kolizji poza przecięciem strumieni)")});
    some[size_t(FindStreamIndex(QStringLiteral("K4")))] = false;
    EXPECT_EQ(CheckCutPoints(some), QStringList());
}

TEST_F(MapGrid, TheFarthestCoordinateIsCutAndOneStepPastItIsRefusedByName) {
    constexpr double far = common::FarthestCoordinate;
    for (const double end : {far, std::nextafter(far, 2 * far)}) {
        SCOPED_TRACE(end == far ? "at the bound" : "one step past");
        openAnother();
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        draw(QStringLiteral("K1"), {Line(far - 100, 0, end, 0)});
        draw(QStringLiteral("K2"), {Line(far - 50, -50, far - 50, 50)});
        drawn();
        const CutOutcome outcome = cut();
        const QString said = prompts.messageTexts().join(QLatin1Char('|'));
        if (end == far) {
            EXPECT_EQ(outcome, CutOutcome::Done) << said.toStdString();
            ASSERT_EQ(markers().size(), 1);
            EXPECT_EQ(markers().front().Position.X, far - 50);
            continue;
        }
        EXPECT_EQ(outcome, CutOutcome::CheckFailed);
        EXPECT_TRUE(said.contains(
            QStringLiteral("leży zbyt daleko od początku układu współrzędnych (dalej niż "
                           "10000000000 jednostek rysunku): (9999999900.00; 0.00). Tak daleko "
                           "liczby rysunku (ok. 16 cyfr znaczących) nie dają pewnej dokładności "
                           "0,01 jednostki rysunku")))
            << said.toStdString();
        EXPECT_TRUE(markers().isEmpty());
    }
}

}  // namespace
}  // namespace conflictor::test
