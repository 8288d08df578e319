// Streams whose drawing cannot be measured, through conflictor-headless: a piece erased after the
// cut, a crossing copied, a piece collapsed to a point, a component block of two lines, coordinates
// of 1e300 and NaN, arcs of radius 0 and below, more than 100 components, and a cut that would
// split a stream past 100. Each is named with the stream, the reason and the point, the run ends
// non-zero and no workbook is written.
#include "tests/conflictor/export/HeadlessRun.h"

#include "conflictor/conflicts/StaleCut.h"

#include <cmath>
#include <functional>
#include <limits>

namespace conflictor::test {
namespace {

class StreamShapeHeadless : public HeadlessRun {
protected:
    // Refused with the text, nothing written.
    void expectRefused(const Run& r, const QString& text) {
        EXPECT_NE(r.exit, 0) << r.said.toStdString();
        EXPECT_FALSE(r.written());
        EXPECT_TRUE(r.said.contains(text)) << "expected: " << text.toStdString() << "\nsaid: " << r.said.toStdString();
    }
    // K1 east in three lines (the middle one 30 to 60), K2 north across it at x 50, the crossing
    // P1 / P1[2] across K2.
    void drawBase() {
        draw(QStringLiteral("K1"), {Line(0, 0, 30, 0), Line(30, 0, 60, 0), Line(60, 0, 100, 0)});
        draw(QStringLiteral("K2"), {Line(50, -50, 50, 60)});
        draw(QStringLiteral("P1"), {Line(40, 30, 60, 30)});
        draw(QStringLiteral("P1[2]"), {Line(40, 34, 60, 34)});
        drawn();
        storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                         {QStringLiteral("K2"), 2, QStringLiteral("2")},
                         {QStringLiteral("P1"), 3, QStringLiteral("1")},
                         {QStringLiteral("P1[2]"), 3, QStringLiteral("1")}});
    }
    // The reference of the stream's component whose line or arc starts at (x, y).
    cad::Entity componentAt(const QString& stream, double x, double y) {
        for (const cad::Entity& ref : references(QStringLiteral("12^STRUMIEN_*"))) {
            if (!ref.name().endsWith(QLatin1Char('^') + stream)) continue;
            const QList<cad::Entity> inside = doc().blocks().item(ref.name()).entities();
            if (!inside.isEmpty() && std::abs(inside[0].startPoint().x - x) < 1e-6 &&
                std::abs(inside[0].startPoint().y - y) < 1e-6)
                return ref;
        }
        ADD_FAILURE() << "no component of " << stream.toStdString() << " at " << x << ", " << y;
        return {};
    }
    cad::Entity curveOf(const cad::Entity& ref) { return doc().blocks().item(ref.name()).entities().value(0); }
    static QString faulty(const QString& stream) { return stream + QStringLiteral(": Niepoprawny strumień. "); }
    static QString notWritten() {
        return QStringLiteral("Skoroszyt nie został zapisany. Należy poprawić strumień, wykonać cięcie, a następnie "
                              "eksport.");
    }
    static QString cutRefused() {
        return QStringLiteral("strumień nie przeszedł sprawdzenia (komunikat powyżej); nic nie zostało pocięte");
    }
};

TEST_F(StreamShapeHeadless, APieceErasedAfterTheCutIsAGapTheExportNames) {
    drawBase();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const Run whole = runTool(QStringLiteral("caly"), false);
    ASSERT_EQ(whole.exit, 0) << whole.said.toStdString();
    // K1's piece from 30 to the crossing with K2 at 50 erased.
    componentAt(QStringLiteral("K1"), 30, 0).erase();
    const Run r = runTool(QStringLiteral("przerwa"), false);
    expectRefused(r, faulty(QStringLiteral("K1")) +
                         QStringLiteral("Strumień ma przerwę: ciąg jego składowych urywa się w punkcie (30.00; 0.00), "
                                        "a pozostałe składowe (2) nie łączą się z nim.\n") +
                         notWritten());
    // The cut refuses it the same way, before it changes anything.
    expectRefused(runTool(QStringLiteral("przerwa-ciecie"), true),
                  QStringLiteral("urywa się w punkcie (30.00; 0.00), a pozostałe składowe (2) nie łączą się z nim."));
    // So does the comparison of the markers with the streams: a gap is not called a stale cut.
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    QList<ConflictMarker> found = ReadConflictMarkers();
    prompts.clear();
    EXPECT_EQ(ConfirmCutCurrent(QString(), QStringLiteral("Przerwano."), found, true), CutCheck::Stale);
    EXPECT_EQ(prompts.messageTexts().value(0),
              faulty(QStringLiteral("K1")) +
                  QStringLiteral("Strumień ma przerwę: ciąg jego składowych urywa się w punkcie (30.00; 0.00), a "
                                 "pozostałe składowe (2) nie łączą się z nim.\nNie sprawdzono, czy punkty kolizji są "
                                 "aktualne; należy poprawić strumień, wykonać cięcie, a następnie ponowić polecenie."));
}

TEST_F(StreamShapeHeadless, ACopiedCrossingIsNamedAsACopyNotMeasuredAsALongerCrossing) {
    drawBase();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const cad::Entity p1 = componentAt(QStringLiteral("P1"), 40, 30);
    insert(p1.name(), StreamLayer, 0, 10);
    expectRefused(runTool(QStringLiteral("kopia"), false),
                  faulty(QStringLiteral("P1")) + QStringLiteral("Blok składowej \"") + p1.name() +
                      QStringLiteral("\" jest wstawiony w rysunku więcej niż raz (kopia składowej); kopia w punkcie ("));
}

TEST_F(StreamShapeHeadless, APieceCollapsedToAPointIsNamedWhereItHidesTheGap) {
    drawBase();
    const cad::Entity middle = componentAt(QStringLiteral("K1"), 30, 0);
    curveOf(middle).setEndPoint({30, 0, 0});
    const Run r = runTool(QStringLiteral("zero"), true);
    expectRefused(r, faulty(QStringLiteral("K1")) + QStringLiteral("Składowa \"") + middle.name() +
                         QStringLiteral("\" ma zerową długość: jej końce pokrywają się w punkcie (30.00; 0.00)."));
    EXPECT_TRUE(r.said.contains(cutRefused())) << r.said.toStdString();
    // Ends 0.004 apart are closer than the drawing's 0.01: still a point, not a gap behind it.
    curveOf(middle).setEndPoint({30.004, 0, 0});
    expectRefused(runTool(QStringLiteral("prawie-zero"), true),
                  faulty(QStringLiteral("K1")) + QStringLiteral("Składowa \"") + middle.name() +
                      QStringLiteral("\" ma zerową długość: jej końce pokrywają się w punkcie (30.00; 0.00)."));
}

TEST_F(StreamShapeHeadless, AComponentBlockOfTwoLinesIsNamed) {
    drawBase();
    const cad::Entity first = componentAt(QStringLiteral("K1"), 0, 0);
    doc().blocks().item(first.name()).addLine({30, 0, 0}, {30, 20, 0});
    expectRefused(runTool(QStringLiteral("dwie-linie"), true),
                  faulty(QStringLiteral("K1")) + QStringLiteral("Blok składowej \"") + first.name() +
                      QStringLiteral("\" zawiera więcej niż jedną linię lub łuk (razem: 2), a składowa strumienia to "
                                     "dokładnie jedna linia lub jeden łuk; jeden z nich w punkcie (30.00; 0.00)."));
    // Emptied, it holds none.
    for (const cad::Entity& e : doc().blocks().item(first.name()).entities()) e.erase();
    expectRefused(runTool(QStringLiteral("pusty-blok"), true),
                  faulty(QStringLiteral("K1")) + QStringLiteral("Blok składowej \"") + first.name() +
                      QStringLiteral("\" nie zawiera linii ani łuku, a składowa strumienia to dokładnie jedna linia "
                                     "lub jeden łuk."));
}

TEST_F(StreamShapeHeadless, CoordinatesThatAreNoNumbersOrTooLargeAreNamedAsSuch) {
    drawBase();
    const cad::Entity last = componentAt(QStringLiteral("K1"), 60, 0);
    const QString named = faulty(QStringLiteral("K1")) + QStringLiteral("Składowa \"") + last.name();
    curveOf(last).setEndPoint({1e300, 0, 0});
    expectRefused(runTool(QStringLiteral("daleko"), true),
                  named + QStringLiteral("\" leży zbyt daleko od początku układu współrzędnych (dalej niż 10000000000 "
                                         "jednostek rysunku): (60.00; 0.00)."));
    // No drawing file holds a NaN (the reading refuses the file), but a drawing open in the CAD can:
    // the window's cut and export are asked.
    curveOf(last).setEndPoint({100, std::numeric_limits<double>::quiet_NaN(), 0});
    const QString nan = named + QStringLiteral("\" ma współrzędną, która nie jest liczbą: (60.00; 0.00).");
    EXPECT_EQ(cut(), CutOutcome::CheckFailed);
    EXPECT_TRUE(prompts.messageTexts().contains(nan)) << prompts.messageTexts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(markers().isEmpty());
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_TRUE(prompts.messageTexts().contains(nan + QLatin1Char('\n') + notWritten()))
        << prompts.messageTexts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xlsx"))));
}

TEST_F(StreamShapeHeadless, AnArcOfRadiusZeroOrBelowIsNamed) {
    drawBase();
    // An arc component beyond K1's end whose radius the file gives as 0 or -5 (the CAD itself makes
    // no such arc): its radius 7.125 written in the file replaced.
    addArc(900, QStringLiteral("^K1"), 100, 10, 7.125, 0, Pi / 2);
    for (const QByteArray radius : {QByteArray("0"), QByteArray("-5")}) {
        const Run r = runTool(QStringLiteral("luk") + QString::fromLatin1(radius), true, [&](QByteArray& text) {
            const qsizetype at = text.indexOf("\n7.125");
            ASSERT_GE(at, 0);
            text.replace(at + 1, 5, radius);
        });
        expectRefused(r, faulty(QStringLiteral("K1")) +
                             QStringLiteral("Łuk \"12^STRUMIEN_900^K1\" ma promień %1, a promień łuku musi być "
                                            "większy od zera; środek łuku w punkcie (100.00; 10.00).")
                                 .arg(QString::fromLatin1(radius)));
    }
}

// K1 east in `components` lines of 1 m, K2 and K3 across it inside its 11th and 21st.
class ManyComponents : public StreamShapeHeadless {
protected:
    void drawMany(int components) {
        std::vector<SegmentRecord> lines;
        for (int k = 0; k < components; ++k) lines.push_back(Line(k, 0, k + 1, 0));
        draw(QStringLiteral("K1"), lines);
        draw(QStringLiteral("K2"), {Line(10.5, -20, 10.5, 20)});
        draw(QStringLiteral("K3"), {Line(20.5, -20, 20.5, 20)});
        drawn();
        storeStreamData({{QStringLiteral("K1"), 1, QStringLiteral("1")},
                         {QStringLiteral("K2"), 2, QStringLiteral("2")},
                         {QStringLiteral("K3"), 3, QStringLiteral("2")}});
    }
};

TEST_F(ManyComponents, MoreThanAHundredComponentsAreNamedByTheirNumber) {
    drawMany(101);
    const QString told = faulty(QStringLiteral("K1")) +
                         QStringLiteral("Strumień ma 101 składowych, a może mieć najwyżej 100; pierwsza z nich zaczyna "
                                        "się w punkcie (0.00; 0.00). Narysuj strumień z mniejszej liczby składowych.");
    const Run cutRun = runTool(QStringLiteral("101-ciecie"), true);
    expectRefused(cutRun, told);
    EXPECT_FALSE(cutRun.said.contains(QStringLiteral("Ilość końców"))) << cutRun.said.toStdString();
    expectRefused(runTool(QStringLiteral("101-eksport"), false), told + QLatin1Char('\n') + notWritten());
}

TEST_F(ManyComponents, ACutThatWouldSplitAStreamPastAHundredStopsBeforeWriting) {
    drawMany(99);
    const QString told =
        QStringLiteral("Cięcie nie jest możliwe: strumień K1 ma 99 składowych, a po podziale w punktach kolizji miałby "
                       "ich 101, więcej niż 100, które strumień może mieć (pierwsza składowa zaczyna się w punkcie "
                       "(0.00; 0.00)). Rysunek nie został zmieniony; narysuj strumień z mniejszej liczby składowych.");
    expectRefused(runTool(QStringLiteral("99"), true), told);

    // In the window's own cut: the message, and the drawing as it was (no split, no marker).
    EXPECT_EQ(cut(), CutOutcome::CheckFailed);
    EXPECT_TRUE(prompts.messageTexts().contains(told)) << prompts.messageTexts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 99);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K2")), 1);
    EXPECT_TRUE(markers().isEmpty());
    EXPECT_TRUE(lengthTexts().isEmpty());
}

TEST_F(ManyComponents, ACutThatSplitsAStreamToExactlyAHundredIsDone) {
    drawMany(98);
    ASSERT_EQ(cut(), CutOutcome::Done) << prompts.messageTexts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 100);
    EXPECT_EQ(markers().size(), 2);
    // A stream of 100 components is measured.
    const Run r = runTool(QStringLiteral("100"), false);
    EXPECT_EQ(r.exit, 0) << r.said.toStdString();
    EXPECT_TRUE(r.written());
}

}  // namespace
}  // namespace conflictor::test
