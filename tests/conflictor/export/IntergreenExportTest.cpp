// The intergreen export on drawings the tests build and cut: the checks and their messages, the pair
// rows, the stale-marker stop, the saved workbook read back by the engine.
#include "tests/conflictor/export/ExportFixture.h"

#include <QFile>

namespace conflictor::test {
namespace {

using IntergreenExport = ExportFixture;

TEST_F(IntergreenExport, CrossingExportsOneRowPerClearingDirectionAndThePedestrianPair) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    // The cut marked K2 clearing before P1; a marker of P1 clearing before K2, its vehicle named first.
    {
        const QString name = QStringLiteral("12^POJPIESZ_STRUMIEN_99");
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        automation::AddAttributeDefinition(b, QStringLiteral("POJPIESZ_STRUMIEN1"), QStringLiteral("^K2"), 0,
                                           0);
        automation::AddAttributeDefinition(b, QStringLiteral("POJPIESZ_STRUMIEN2"), QStringLiteral("^P1"), 0,
                                           0);
        insert(name, QStringLiteral("114-PUNKTY_KOLIZJI"), 50, 30);
    }
    prompts.clear();
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(LastIntergreenWorkbook, path);
    // The no-scheme message only.
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral(
                  "Nie wykryto schematu faz.\nZostanie stworzony tylko podstawowy zestaw faz.")});

    sheet::Workbook& book = readBack(path);
    sheet::Worksheet& ws = book.worksheets(1);
    auto text = [&](const char* cell) { return ws.range(QString::fromLatin1(cell)).value().toString(); };
    EXPECT_EQ(text("C2"), QStringLiteral("12"));
    EXPECT_EQ(text("Q24"), QStringLiteral("K1"));
    EXPECT_EQ(text("Q26"), QStringLiteral("P1"));
    // The vehicle pair in both directions, sorted by clearing stream; then the pedestrian pair.
    EXPECT_EQ(text("A12"), QStringLiteral("K1"));
    EXPECT_EQ(text("B12"), QStringLiteral("K2"));
    EXPECT_EQ(text("A13"), QStringLiteral("K2"));
    EXPECT_EQ(text("B13"), QStringLiteral("K1"));
    for (const char* cell : {"C12", "G12", "C13", "G13"}) {
        EXPECT_TRUE(ws.range(QString::fromLatin1(cell)).hasFormula()) << cell;
        EXPECT_DOUBLE_EQ(ws.range(QString::fromLatin1(cell)).value().number(), 50) << cell;
    }
    // The vehicle-pedestrian point gives its two rows: K2 clearing before P1 enters (G =0, H and I
    // the value 0) and P1 clearing (a pedestrian is column A whatever the marker's order): D and K 0.
    EXPECT_EQ(text("A14"), QStringLiteral("K2"));
    EXPECT_EQ(text("B14"), QStringLiteral("P1"));
    EXPECT_EQ(text("H14"), QStringLiteral("0"));
    EXPECT_EQ(ws.range(QStringLiteral("N14")).formulaR1C1(), QStringLiteral("=R10C24"));
    EXPECT_EQ(text("A15"), QStringLiteral("P1"));
    EXPECT_EQ(text("B15"), QStringLiteral("K2"));
    EXPECT_EQ(text("D15"), QStringLiteral("0"));
    EXPECT_EQ(text("K15"), QStringLiteral("0"));
    EXPECT_EQ(ws.range(QStringLiteral("E15")).formulaR1C1(), QStringLiteral("=R26C21"));
    EXPECT_DOUBLE_EQ(ws.range(QStringLiteral("C15")).value().number(), 20);
    EXPECT_TRUE(text("A16").isEmpty());
    EXPECT_EQ(ws.pageSetup().printArea(), QStringLiteral("$A$1:$O$15,$P$1:$X$26"));

    // Worksheet 2: K2 entering, K1 clearing lands in row 9 (group 2), column C (group 1).
    sheet::Worksheet& m = book.worksheets(2);
    const int k1k2 = int(ws.range(QStringLiteral("O12")).value().number());
    const int k2k1 = int(ws.range(QStringLiteral("O13")).value().number());
    EXPECT_EQ(m.cells(9, 3).value().number(), std::max(k1k2, 0));
    EXPECT_EQ(m.cells(8, 4).value().number(), std::max(k2k1, 0));
    EXPECT_EQ(m.cells(8, 3).value().toString(), QStringLiteral("X"));
    EXPECT_EQ(m.cells(7, 15).value().toString(), QStringLiteral("Gr"));
    EXPECT_EQ(m.cells(8, 16).value().toString(), QStringLiteral("K1"));
    EXPECT_EQ(m.cells(8, 20).value().toString(), QStringLiteral("1"));
    EXPECT_EQ(m.cells(8, 22).value().toString(), QStringLiteral("V.1"));
    EXPECT_EQ(m.cells(8, 23).value().toString(), QStringLiteral("1, 2"));
    EXPECT_EQ(m.range(QStringLiteral("G2")).value().toString(), QStringLiteral("12"));
    // P1 clears 20 m at 1.4 m/s: 14.29 s, taken as 15 s.
    EXPECT_DOUBLE_EQ(m.cells(10, 17).value().number(), 20.0);
    EXPECT_DOUBLE_EQ(m.cells(10, 18).value().number(), 14.29);
    EXPECT_DOUBLE_EQ(m.cells(10, 19).value().number(), 15);
}

// The stream rows of sheet 1 follow the grid's rows, and the pair formulas their rows.
TEST_F(IntergreenExport, StreamRowsFollowTheGridsOrder) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    window.GridOrder = {QStringLiteral("P1"), QStringLiteral("K2"), QStringLiteral("K1")};
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    sheet::Worksheet& ws = readBack(path).worksheets(1);
    auto text = [&](const char* cell) { return ws.range(QString::fromLatin1(cell)).value().toString(); };
    EXPECT_EQ(text("Q24"), QStringLiteral("P1"));
    EXPECT_EQ(text("Q25"), QStringLiteral("K2"));
    EXPECT_EQ(text("Q26"), QStringLiteral("K1"));
    // The pair rows refer to the rows the streams got: K1 clearing (row 12) to 26, K2 (row 13) to 25.
    EXPECT_EQ(text("A12"), QStringLiteral("K1"));
    EXPECT_EQ(ws.range(QStringLiteral("E12")).formulaR1C1(), QStringLiteral("=R26C21"));
    EXPECT_EQ(ws.range(QStringLiteral("E13")).formulaR1C1(), QStringLiteral("=R25C21"));
}

// A negative group is refused as a missing one: its conflicts would leave the group matrix unseen.
TEST_F(IntergreenExport, ANegativeGroupIsNoGroup) {
    drawCrossing(-1);
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Nie zdefiniowano wszystkich grup!")});
}

TEST_F(IntergreenExport, MissingGroupNumberStopsWithTheListOfGaps) {
    drawCrossing(4);
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Nie zachowana kolejność grup!\nBrak grupy: 3")});
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xlsx"))));
    EXPECT_TRUE(window.FlashNotice.isEmpty());
    EXPECT_FALSE(window.BusyCursor);
}

TEST_F(IntergreenExport, StaleMarkerStopsBeforeAnythingIsWrittenMarkersOfOtherIntersectionsAreIgnored) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    // A marker of intersection 13 naming streams this intersection lacks does not matter.
    {
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("13^POJPOJ_STRUMIEN_1"));
        automation::AddAttributeDefinition(b, QStringLiteral("POJPOJ_STRUMIEN1"), QStringLiteral("^K7"), 0,
                                           0);
        automation::AddAttributeDefinition(b, QStringLiteral("POJPOJ_STRUMIEN2"), QStringLiteral("^K8"), 0,
                                           0);
        insert(QStringLiteral("13^POJPOJ_STRUMIEN_1"), QStringLiteral("114-PUNKTY_KOLIZJI"), 500, 500);
    }
    prompts.clear();
    ASSERT_FALSE(exportTo(QStringLiteral("a.xlsx")).isEmpty());

    // K2 renamed after the cut: its markers are stale.
    for (const cad::Entity& ref : modelSpace().entities())
        if (ref.objectName() == QLatin1String("AcDbBlockReference") &&
            ref.name().startsWith(QStringLiteral("12^")))
            for (const cad::Entity& att : ref.attributes())
                if (att.textString() == QLatin1String("^K2")) att.setTextString(QStringLiteral("^K9"));
    prompts.clear();
    EXPECT_TRUE(exportTo(QStringLiteral("b.xlsx")).isEmpty());
    EXPECT_EQ(
        prompts.messageTexts().value(1),
        QStringLiteral("Eksport do programu Excel został przerwany z powodu nieaktualnych punktów kolizji.\n"
                       "Należy wykonać operację cięcia a następnie eksport."));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.xlsx"))));
}

TEST_F(IntergreenExport, StopsWithoutIntersectionTemplateOrGroups) {
    IntergreenExportOptions options;
    options.ResourceFolder = dir.path();  // no template there
    prompts.clear();
    EXPECT_TRUE(mnuNarzedzia_EksportExcel_Click(options).isEmpty());
    EXPECT_TRUE(
        prompts.messageTexts().value(0).startsWith(QStringLiteral("Nie znaleziono pliku ze znakiem: \r\n")));

    IntersectionNumber.clear();
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Nieprawidłowy numer skrzyżowania!")});
    EXPECT_EQ(window.ComboFocusCount, 1);
}

TEST_F(IntergreenExport, CancelledSaveDialogWritesNothing) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.answerFile(std::nullopt);
    IntergreenExportOptions options;
    options.ResourceFolder = TemplateFolder();
    bool opened = false;
    options.OpenSavedWorkbook = [&](const QString&) { opened = true; };
    EXPECT_TRUE(mnuNarzedzia_EksportExcel_Click(options).isEmpty());
    EXPECT_FALSE(opened);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

}  // namespace
}  // namespace conflictor::test
