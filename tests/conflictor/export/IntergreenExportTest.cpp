// The intergreen export on drawings the tests build and cut: the checks and their messages, the pair
// rows, the stale-marker stop, the saved workbook read back by the engine.
#include "tests/conflictor/export/ExportFixture.h"

#include "conflictor/conflicts/CrossingPairs.h"

#include <QDir>
#include <QFile>

namespace conflictor::test {
namespace {

using IntergreenExport = ExportFixture;

TEST_F(IntergreenExport, CrossingExportsOneRowPerClearingDirectionAndThePedestrianPair) {
    // The crossing is drawn by both edges: K2 clears the far edge P1[2] and enters at the near edge P1,
    // so both directions of the vehicle/pedestrian pair reach the workbook.
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
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
    EXPECT_EQ(text("Q27"), QStringLiteral("P1[2]"));
    // The vehicle pair in both directions, sorted by clearing stream; then the pedestrian pair.
    EXPECT_EQ(text("A12"), QStringLiteral("K1"));
    EXPECT_EQ(text("B12"), QStringLiteral("K2"));
    EXPECT_EQ(text("A13"), QStringLiteral("K2"));
    EXPECT_EQ(text("B13"), QStringLiteral("K1"));
    for (const char* cell : {"C12", "G12", "C13", "G13"}) {
        EXPECT_TRUE(ws.range(QString::fromLatin1(cell)).hasFormula()) << cell;
        EXPECT_DOUBLE_EQ(ws.range(QString::fromLatin1(cell)).value().number(), 50) << cell;
    }
    // The crossing's two points give its two rows: K2 clearing before P1[2] enters (G =0, H and I
    // the value 0) and P1 clearing before K2 enters (the pedestrian in column A): D and K 0.
    EXPECT_EQ(text("A14"), QStringLiteral("K2"));
    EXPECT_EQ(text("B14"), QStringLiteral("P1[2]"));
    EXPECT_EQ(text("H14"), QStringLiteral("0"));
    EXPECT_EQ(ws.range(QStringLiteral("N14")).formulaR1C1(), QStringLiteral("=R10C24"));
    EXPECT_EQ(text("A15"), QStringLiteral("P1"));
    EXPECT_EQ(text("B15"), QStringLiteral("K2"));
    EXPECT_EQ(text("D15"), QStringLiteral("0"));
    EXPECT_EQ(text("K15"), QStringLiteral("0"));
    EXPECT_EQ(ws.range(QStringLiteral("E15")).formulaR1C1(), QStringLiteral("=R26C21"));
    EXPECT_DOUBLE_EQ(ws.range(QStringLiteral("C15")).value().number(), 20);
    EXPECT_TRUE(text("A16").isEmpty());
    EXPECT_EQ(ws.pageSetup().printArea(), QStringLiteral("$A$1:$O$15,$P$1:$X$27"));
    // The times: K2 clears 84 m + 10 m at 11.11 m/s (8.46 s) plus 3 s amber, the pedestrians enter at
    // once: 11.46 s, taken as 12 s; the pedestrians clear 20 m at 1.4 m/s (14.29 s) while K2 comes 80 m
    // at 13.89 m/s (6.76 s): 7.53 s, taken as 8 s.
    EXPECT_DOUBLE_EQ(ws.range(QStringLiteral("C14")).value().number(), 84);
    EXPECT_NEAR(ws.range(QStringLiteral("L14")).value().number(), 94 / 11.11 + 3, 1e-9);
    EXPECT_EQ(ws.range(QStringLiteral("O14")).value().number(), 12);
    EXPECT_DOUBLE_EQ(ws.range(QStringLiteral("G15")).value().number(), 80);
    EXPECT_NEAR(ws.range(QStringLiteral("L15")).value().number(), 20 / 1.4 - (80 / 13.89 + 1), 1e-9);
    EXPECT_EQ(ws.range(QStringLiteral("O15")).value().number(), 8);

    // Worksheet 2: K2 entering, K1 clearing lands in row 9 (group 2), column C (group 1).
    sheet::Worksheet& m = book.worksheets(2);
    const int k1k2 = int(ws.range(QStringLiteral("O12")).value().number());
    const int k2k1 = int(ws.range(QStringLiteral("O13")).value().number());
    EXPECT_EQ(m.cells(9, 3).value().number(), std::max(k1k2, 0));
    EXPECT_EQ(m.cells(8, 4).value().number(), std::max(k2k1, 0));
    EXPECT_EQ(m.cells(8, 3).value().toString(), QStringLiteral("X"));
    // Both directions of the vehicle/pedestrian pair: P1 (group 3) entering after K2 (group 2), and
    // K2 entering after P1.
    EXPECT_EQ(m.cells(10, 4).value().number(), 12);
    EXPECT_EQ(m.cells(9, 5).value().number(), 8);
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

// A tram is its whole composition: the parameters' tram length (AN3) is the length its stream rows
// carry, the car length times the number of cars.
TEST_F(IntergreenExport, TheTramLengthOfTheParametersIsTheLengthOfItsRows) {
    common::Settings.DlugoscTramwaj = 13.5;
    common::Settings.IloscWagonow = 3;
    draw(QStringLiteral("T1"), {Line(0, -20, 100, -20)});
    drawCrossing();
    // T1 in group 4 with the tram settings' values (no length of its own: the setting's).
    const QString t1 = QStringLiteral("T1");
    SetStreamAttribute(QStringLiteral("GRUPY"), t1, QStringLiteral("4"), false);
    SetStreamAttribute(QStringLiteral("FAZY"), t1, QStringLiteral("2"), false);
    for (const char* tag : {"PROSTA_DOJAZD", "LUK_DOJAZD", "PROSTA_EWAK", "LUK_EWAK", "MAKS_PRZYSP"})
        SetStreamAttribute(QString::fromLatin1(tag), t1, QStringLiteral("5.00"), false);
    WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QString path = exportTo();
    ASSERT_FALSE(path.isEmpty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    sheet::Worksheet& ws = readBack(path).worksheets(1);
    int row = 24;
    while (row < 40 && ws.cells(row, 17).value().toString() != QLatin1String("T1")) ++row;
    ASSERT_LT(row, 40);
    EXPECT_DOUBLE_EQ(ws.cells(row, 18).value().number(), 40.5);
    EXPECT_DOUBLE_EQ(ws.cells(3, 40).value().number(), 40.5);
}

TEST_F(IntergreenExport, ACrossingDrawnAsOneLineGivesNoWorkbookAndNamesTheStreams) {
    // P1 alone: K2 would get only its clearing time before the pedestrians, none after them.
    drawCrossing(3, false);
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    const QString message = prompts.messageTexts().value(1);
    EXPECT_TRUE(message.contains(QStringLiteral("K2: przejście P1 przecina go tylko raz"))) << message.toStdString();
    EXPECT_TRUE(message.contains(HowToDrawACrossing()));
    EXPECT_TRUE(message.endsWith(QStringLiteral("Skoroszyt nie został zapisany. Należy poprawić przejścia, "
                                                "wykonać cięcie, a następnie eksport.")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.xlsx"))));
    EXPECT_TRUE(LastIntergreenWorkbook.isEmpty());
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
    ASSERT_EQ(cut(), CutOutcome::Done);
    prompts.clear();
    EXPECT_TRUE(exportTo().isEmpty());
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Nie zdefiniowano wszystkich grup!")});
}

TEST_F(IntergreenExport, MissingGroupNumberStopsWithTheListOfGaps) {
    drawCrossing(4);
    ASSERT_EQ(cut(), CutOutcome::Done);
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

    // K2's markers renamed after the cut: they name a stream the drawing lacks, and K2 has none.
    for (const cad::Entity& ref : modelSpace().entities())
        if (ref.objectName() == QLatin1String("AcDbBlockReference") &&
            ref.name().startsWith(QStringLiteral("12^")))
            for (const cad::Entity& att : ref.attributes())
                if (att.textString() == QLatin1String("^K2")) att.setTextString(QStringLiteral("^K9"));
    prompts.clear();
    EXPECT_TRUE(exportTo(QStringLiteral("b.xlsx")).isEmpty());
    EXPECT_EQ(
        prompts.messageTexts().value(0),
        QStringLiteral("Eksport do programu Excel został przerwany z powodu nieaktualnych punktów kolizji.\n"
                       "Strumienie zmieniły się od ostatniego cięcia: K2 (dodany), K9 (usunięty).\n"
                       "Należy wykonać operację cięcia (Tnij wszystkie strumienie) a następnie eksport."));
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

TEST_F(IntergreenExport, AnIntergreenThatCannotBeTrustedStopsTheWorkbookUntilMended) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    // A negative clearing speed, then one so small that the time is beyond what the matrix holds:
    // neither may leave an empty cell, which reads as "no conflict".
    for (const char* speed : {"-0.01", "0.0001"}) {
        SCOPED_TRACE(speed);
        SetStreamAttribute(QStringLiteral("PROSTA_EWAK"), QStringLiteral("K1"), QString::fromLatin1(speed),
                           true);
        prompts.clear();
        EXPECT_TRUE(exportTo().isEmpty());
        const QString said = prompts.messageTexts().join(QLatin1Char('|'));
        EXPECT_TRUE(
            said.contains(QStringLiteral("Nie można obliczyć czasu międzyzielonego (sprawdź prędkości "
                                         "strumieni):\nK1 - K2")))
            << said.toStdString();
        EXPECT_TRUE(said.contains(QStringLiteral("Skoroszyt nie został zapisany"))) << said.toStdString();
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        EXPECT_TRUE(LastIntergreenWorkbook.isEmpty());
    }
    // Mended, it is written.
    SetStreamAttribute(QStringLiteral("PROSTA_EWAK"), QStringLiteral("K1"), QStringLiteral("10.00"), true);
    prompts.clear();
    EXPECT_FALSE(exportTo().isEmpty());
}

// A drawing from elsewhere holding a negative vehicle length or acceleration: the export names the
// stream and the value and writes nothing (a shorter intergreen, or #NUM! in the rows, otherwise).
TEST_F(IntergreenExport, ANegativeLengthOrAccelerationInTheDrawingStopsTheExport) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const struct {
        const char* tag;
        const char* stream;
        const char* value;
        const char* said;
    } faults[] = {{"DLUG_POJ", "K1", "-10.00", "K1: długość pojazdu (DLUG_POJ) = -10"},
                  {"MAKS_PRZYSP", "K2", "-0.01", "K2: maksymalne przyspieszenie (MAKS_PRZYSP) = -0.01"}};
    for (const auto& f : faults) {
        SCOPED_TRACE(f.tag);
        const QString held = GetStreamAttribute(QString::fromLatin1(f.tag), QString::fromLatin1(f.stream));
        SetStreamAttribute(QString::fromLatin1(f.tag), QString::fromLatin1(f.stream), QString::fromLatin1(f.value),
                           true);
        prompts.clear();
        EXPECT_TRUE(exportTo().isEmpty());
        const QString said = prompts.messageTexts().join(QLatin1Char('|'));
        EXPECT_TRUE(said.contains(QStringLiteral("Wartości strumieni muszą być większe od zera:\n") +
                                  QString::fromUtf8(f.said) + QStringLiteral("\n\nSkoroszyt nie został zapisany")))
            << said.toStdString();
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        SetStreamAttribute(QString::fromLatin1(f.tag), QString::fromLatin1(f.stream), held, true);
    }
    prompts.clear();
    EXPECT_FALSE(exportTo().isEmpty());
}

TEST_F(IntergreenExport, AWorkbookOpenInAnotherProgramIsOverwrittenOnlyAfterAsking) {
    drawCrossing();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const QString target = dir.filePath(QStringLiteral("out.xlsx"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("held by another program");
        QFile lock(dir.filePath(QStringLiteral(".~lock.out.xlsx#")));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    }
    // No: the file dialog again, cancelled; the file is untouched.
    prompts.clear();
    prompts.answerMessage(ui::Ok);  // no phase scheme
    prompts.answerMessage(ui::No);
    prompts.answerFile(target);
    prompts.answerFile(std::nullopt);
    IntergreenExportOptions options;
    options.ResourceFolder = TemplateFolder();
    EXPECT_TRUE(mnuNarzedzia_EksportExcel_Click(options).isEmpty());
    EXPECT_EQ(prompts.asked().back().kind, ui::ScriptedPrompts::Asked::File);  // asked again
    ASSERT_EQ(prompts.messageTexts().size(), 2);
    EXPECT_TRUE(prompts.messageTexts()[1].startsWith(
        QStringLiteral("Skoroszyt jest otwarty w innym programie (LibreOffice lub Excel):\n[")));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("held by another program"));
    old.close();
    // Yes: written over.
    prompts.clear();
    prompts.answerMessage(ui::Ok);
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(exportTo(), target);
    EXPECT_EQ(readBack(target).worksheets(1).range(QStringLiteral("C2")).value().toString(),
              QStringLiteral("12"));
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
