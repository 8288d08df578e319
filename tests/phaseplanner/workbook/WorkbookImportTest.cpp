// The import of groups and phases from the intergreen workbook: both layouts, 12 and 13 groups, an
// inverted matrix, the phase-set chooser, and the faults that must leave the program as it was.
#include "IntergreenChecker.h"
#include "WorkbookFixture.h"

#include "common/SettingBindings.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/WorkbookImport.h"
#include "phaseplanner/editor/ProgramText.h"
#include "phaseplanner/workbook/GreenPlacement.h"
#include "phaseplanner/workbook/PhaseSets.h"

namespace phaseplanner::test {

class Import : public WorkbookFixture {
protected:
    void SetUp() override {
        WorkbookFixture::SetUp();
        ResetProgramAttributeState();
        for (common::SettingBinding& b : common::SettingBindings) b = common::SettingBinding{};
        HeadlessPhaseSetChoice = 0;
        PhaseSetChooserHook = nullptr;
    }
    void TearDown() override {
        ResetProgramAttributeState();
        HeadlessPhaseSetChoice = 0;
        WorkbookFixture::TearDown();
    }
    // Imports the book: the named file opened, adjacent greens not merged (unless `merge`).
    bool import(const IntergreenBook& b, bool merge = false,
                const QString& name = QStringLiteral("czasy.xlsx")) {
        ExcelWorkbookPath = write(b, name);
        prompts.answerMessage(ui::Yes);  // open the named file
        prompts.answerMessage(merge ? ui::Yes : ui::No);
        return frmMain_mnuGrupa_Excel_Click();
    }
    // A program that a failed import must leave alone.
    void keepProgram() {
        GroupRecord g;
        g.Defined = true;
        g.Symbols = QStringLiteral("K99");
        g.GreenCount = 1;
        g.Greens[1] = GreenInterval{5, 20};
        GroupTable = {g};
        CycleLength = 55;
        kept = FormatProgramText(GroupTable, CycleLength);
    }
    void expectProgramKept() {
        EXPECT_EQ(FormatProgramText(GroupTable, CycleLength), kept);
        EXPECT_EQ(CycleLength, 55);
    }
    // Every intergreen towards the next phase holds, with the matrix read independently of the import.
    QStringList check(const IntergreenBook& b, const std::vector<int>& order) const {
        auto value = [&b](int from, int to) {
            const auto it = b.intergreen.find({from, to});
            return it == b.intergreen.end() ? 0 : it->second.toInt();
        };
        return CheckTowardsNextPhase(GroupTable, CycleLength, order, value, [](int g, int p) {
            return RecordHasPhase(GroupTable[std::size_t(g)], p);
        });
    }
    static IntergreenBook Numbered(int n) {
        IntergreenBook b;
        for (int g = 0; g < n; ++g) {
            b.texts << (g % 4 == 3 ? QStringLiteral("P%1").arg(g + 1) : QStringLiteral("K%1").arg(g + 1));
            b.phases << QString::number(g % 3 + 1);
            b.minimumGreens.push_back(g % 4 == 3 ? 7 : 0);
        }
        // Every group clears towards every group of another phase.
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (i % 3 != j % 3) b.set(i, j, 2 + (i + 2 * j) % 5);
        b.sets = {{QStringLiteral("V.1"), QStringLiteral("1, 2, 3")}};
        return b;
    }

    QString kept;
};

TEST_F(Import, ANewLayoutWorkbookWithOneSetGivesThePlacedProgram) {
    IntergreenBook b = SmallBook();
    ASSERT_TRUE(import(b));
    EXPECT_EQ(prompts.unexpected(), 0);
    ASSERT_EQ(GroupTable.size(), 3u);
    EXPECT_EQ(GroupTable[0].Symbols, QStringLiteral("K1"));
    EXPECT_EQ(GroupTable[2].Kind, KindPedestrian);
    EXPECT_EQ(GroupTable[2].PhaseList, QStringLiteral("1"));
    EXPECT_EQ(GroupTable[2].Greens[1].Length, 8);  // 6 s in the workbook, raised to 4 + 4
    // K1 and P1 from 0; K2 when both have cleared (P1 7 s after its 8 s); back to phase 1 after 5 s.
    EXPECT_EQ(GroupTable[1].Greens[1].Start, 15);
    EXPECT_EQ(CycleLength, 30);
    EXPECT_EQ(check(b, {1, 2}), QStringList());
    EXPECT_EQ(PhaseOrderText, QStringLiteral("1, 2"));
    EXPECT_EQ(MaxIntergreenTime, 7);
    EXPECT_EQ(ExcelWorkbookName, QStringLiteral("czasy.xlsx"));
    EXPECT_EQ(ExcelWorkbookPath, dir.filePath(QStringLiteral("czasy.xlsx")));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("7"));
    EXPECT_EQ(ChosenPhaseSet, 20);  // the group phases, two columns left of the sets at 22
}

TEST_F(Import, TwelveThirteenAndSixtyGroupsFindTheirPhaseSets) {
    // 60 groups put the group list's "Gr" at column 64, past the first 50 columns from 14.
    for (int n : {12, 13, 60}) {
        SCOPED_TRACE(n);
        ResetIntergreenWorkbook();
        IntergreenBook b = Numbered(n);
        ASSERT_TRUE(import(b, false, QStringLiteral("n%1.xlsx").arg(n)));
        EXPECT_EQ(ChosenPhaseSet, (n <= 12 ? 22 : n + 11) - 2);
        ASSERT_EQ(int(GroupTable.size()), n);
        for (int g = 0; g < n; ++g) {
            EXPECT_EQ(GroupTable[std::size_t(g)].Symbols, b.texts[g]);
            EXPECT_EQ(GroupTable[std::size_t(g)].PhaseList, b.phases[g]);
            EXPECT_EQ(GroupTable[std::size_t(g)].GreenCount, 1);
        }
        EXPECT_EQ(check(b, {1, 2, 3}), QStringList());
        EXPECT_EQ(MaxIntergreenTime, 6);
    }
}

TEST_F(Import, AWorkbookWithoutTheMatrixOrItsGroupListSaysWhatIsMissing) {
    keepProgram();
    auto importFile = [&](const QString& path) {
        ResetIntergreenWorkbook();
        prompts.clear();
        ExcelWorkbookPath = path;
        prompts.answerMessage(ui::Yes);  // open the named file
        EXPECT_FALSE(frmMain_mnuGrupa_Excel_Click());
        expectProgramKept();
        return prompts.messageTexts().value(1);
    };
    // The matrix worksheet renamed, and moved to the third place.
    IntergreenBook renamed = SmallBook();
    renamed.matrixSheetName = QStringLiteral("Matryca");
    const QString renamedPath = write(renamed, QStringLiteral("renamed.xlsx"));
    {
        sheet::Application app;
        sheet::Workbook& book = app.workbooks().open(renamedPath);
        book.worksheets(3).setName(QStringLiteral("Matryca kolizji (stara)"));
        book.save();
        book.close();
    }
    EXPECT_EQ(
        importFile(renamedPath),
        QStringLiteral("Skoroszyt nie jest skoroszytem czasów międzyzielonych:\n[") + renamedPath +
            QStringLiteral("]\nJego drugi arkusz nazywa się \"Matryca\", a nazwa arkusza matrycy kolizji "
                           "(drugiego arkusza skoroszytu) musi zaczynać się od \"MATRYCA KOLIZJI\".\n"
                           "Arkusz \"Matryca kolizji (stara)\" jest arkuszem nr 3."));
    // A workbook of one worksheet.
    const QString single = dir.filePath(QStringLiteral("single.xlsx"));
    {
        QProcess p;  // written by openpyxl, whose new workbook has one worksheet
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import openpyxl,sys\nwb=openpyxl.Workbook()\n"
                                "wb.active.title='MATRYCA KOLIZJI'\nwb.save(sys.argv[1])"),
                 single});
        ASSERT_TRUE(p.waitForFinished(60000) && p.exitCode() == 0) << p.readAllStandardError().toStdString();
    }
    EXPECT_EQ(importFile(single),
              QStringLiteral("Skoroszyt nie jest skoroszytem czasów międzyzielonych:\n[") + single +
                  QStringLiteral("]\nMa tylko jeden arkusz; matryca kolizji jest drugim "
                                 "arkuszem skoroszytu.\nArkusz \"MATRYCA KOLIZJI\" jest "
                                 "arkuszem nr 1."));
    // No header "Gr" over the group list.
    const QString noGr = write(SmallBook(), QStringLiteral("nogr.xlsx"));
    RewriteCell(noGr, 2, 7, 15, sheet::Value());
    EXPECT_EQ(importFile(noGr),
              QStringLiteral("Błąd w danych arkusza Excel!\nW arkuszu \"MATRYCA KOLIZJI\" nie "
                             "znaleziono nagłówka \"Gr\" wykazu grup w wierszu 7."));
    // No group rows.
    IntergreenBook empty;
    EXPECT_EQ(
        importFile(write(empty, QStringLiteral("empty.xlsx"))),
        QStringLiteral("Błąd w danych arkusza Excel!\nW arkuszu \"MATRYCA KOLIZJI\" nie ma grup: komórka "
                       "A8 jest pusta."));
}

TEST_F(Import, AnInvertedMatrixGivesTheSameProgram) {
    IntergreenBook b = Numbered(6);
    ASSERT_TRUE(import(b, false, QStringLiteral("a.xlsx")));
    const QString plain = FormatProgramText(GroupTable, CycleLength);
    ResetIntergreenWorkbook();
    b.inverted = true;
    ASSERT_TRUE(import(b, false, QStringLiteral("b.xlsx")));
    EXPECT_EQ(FormatProgramText(GroupTable, CycleLength), plain);
    EXPECT_EQ(check(b, {1, 2, 3}), QStringList());
}

TEST_F(Import, OldLayoutsReadTheirPhaseSetsByColumn) {
    for (bool onSheet3 : {false, true}) {
        SCOPED_TRACE(onSheet3);
        ResetIntergreenWorkbook();
        const int n = onSheet3 ? 6 : 10;
        IntergreenBook b = Numbered(n);
        b.newLayout = false;
        b.sets = {{QStringLiteral("Wariant A"), QString()}, {QStringLiteral("Wariant B"), QString()}};
        QStringList second;
        for (int g = 0; g < n; ++g) second << QString::number(g % 3 == 0 ? 2 : 1);
        b.oldSetPhases = {b.phases, second};
        HeadlessPhaseSetChoice = 1;
        ASSERT_TRUE(import(b, false, QStringLiteral("old%1.xlsx").arg(onSheet3)));
        EXPECT_EQ(PhaseSetNames, (QStringList{QStringLiteral("Wariant A"), QStringLiteral("Wariant B")}));
        EXPECT_EQ(PhaseSetOrders, (QStringList{QStringLiteral("1, 2, 3"), QStringLiteral("1, 2")}));
        EXPECT_EQ(PhaseOrderText, QStringLiteral("1, 2"));
        EXPECT_EQ(ChosenPhaseSet, onSheet3 ? 3 : n + 9 + 2);
        EXPECT_EQ(GroupTable[0].PhaseList, QStringLiteral("2"));
        EXPECT_EQ(GroupTable[3].PhaseList, QStringLiteral("2"));
        b.phases = b.oldSetPhases[1];
        EXPECT_EQ(check(b, {1, 2}), QStringList());
    }
}

TEST_F(Import, TheChooserPicksTheSetAndCancellingChangesNothing) {
    IntergreenBook b = Numbered(6);
    b.sets = {{QStringLiteral("V.1"), QStringLiteral("1, 2, 3")},
              {QStringLiteral("V.2"), QStringLiteral("3, 1, 2")}};
    HeadlessPhaseSetChoice = 1;
    ASSERT_TRUE(import(b));
    EXPECT_EQ(PhaseSetDialogOk, 1);
    EXPECT_EQ(PhaseOrderText, QStringLiteral("3, 1, 2"));
    EXPECT_EQ(check(b, {3, 1, 2}), QStringList());
    // Phase 3 comes first: its groups start the cycle.
    EXPECT_EQ(GroupTable[2].Greens[1].Start, 0);

    keepProgram();
    ResetIntergreenWorkbook();
    HeadlessPhaseSetChoice = -1;
    ExcelWorkbookPath = write(b, QStringLiteral("again.xlsx"));
    prompts.answerMessage(ui::Yes);
    EXPECT_FALSE(frmMain_mnuGrupa_Excel_Click());
    expectProgramKept();
}

TEST_F(Import, AGroupInEveryPhaseStaysGreenAllCycleWhenMerged) {
    IntergreenBook b = SmallBook();
    b.texts << QStringLiteral("K4");
    b.phases << QStringLiteral("1,2");
    ASSERT_TRUE(import(b, true));
    const GroupRecord& all = GroupTable[3];
    EXPECT_EQ(all.ComplementMode, ModeOrdinary);
    ASSERT_EQ(all.GreenCount, 1);
    EXPECT_EQ(all.Greens[1].Start, 0);
    EXPECT_EQ(all.Greens[1].Length, CycleLength);
}

TEST_F(Import, BadPhaseOrdersAreRefusedBeforeTheTableChanges) {
    const QStringList orders{QString(), QStringLiteral("x, 0")};
    const QStringList messages{QStringLiteral("Brak zdefiniowanych faz!"),
                               QStringLiteral("Wybrany zestaw nie zawiera kolejności faz!")};
    for (int i = 0; i < orders.size(); ++i) {
        SCOPED_TRACE(i);
        ResetIntergreenWorkbook();
        prompts.clear();
        keepProgram();
        IntergreenBook b = SmallBook();
        b.sets = {{QStringLiteral("V.1"), orders[i]}};
        if (orders[i].isEmpty()) b.sets.clear();
        const int chosenBefore = ChosenPhaseSet;
        EXPECT_FALSE(import(b, false, QStringLiteral("o%1.xlsx").arg(i)));
        expectProgramKept();
        EXPECT_EQ(ChosenPhaseSet, chosenBefore);
        ASSERT_FALSE(prompts.messageTexts().isEmpty());
        EXPECT_TRUE(prompts.messageTexts().last().startsWith(messages[i]))
            << prompts.messageTexts().last().toStdString();
    }
}

// The phase editor numbers a phase after 9 as 10 and a copy without pedestrians 21, 22, ...; its
// orders may be long and repeat phases.
TEST_F(Import, PhaseNumbersAboveNineAndLongOrdersImport) {
    {
        IntergreenBook b = SmallBook();
        b.phases = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("21")};
        b.sets = {{QStringLiteral("V.1"), QStringLiteral("1, 2, 21")}};
        ASSERT_TRUE(import(b, false, QStringLiteral("p21.xlsx")));
        EXPECT_EQ(PhaseOrderText, QStringLiteral("1, 2, 21"));
        ASSERT_EQ(GroupTable[2].GreenCount, 1);
        EXPECT_EQ(GroupTable[2].Greens[1].Phases[0].Phase, 21);
        EXPECT_EQ(GroupTable[2].Greens[1].Phases[0].Position, 3);
        EXPECT_EQ(check(b, {1, 2, 21}), QStringList());
    }
    IntergreenBook ten = TenPhaseBook([](int i, int j) { return 2 + (i + j) % 4; });
    const QStringList order = ten.phases;
    std::vector<int> orderNumbers;
    for (int p = 1; p <= 10; ++p) orderNumbers.push_back(p);
    for (int repeats : {1, 4}) {  // ten phases, then an order of 40 positions
        SCOPED_TRACE(repeats);
        ResetIntergreenWorkbook();
        QStringList items;
        std::vector<int> expected;
        for (int r = 0; r < repeats; ++r) {
            items << order;
            expected.insert(expected.end(), orderNumbers.begin(), orderNumbers.end());
        }
        ten.sets = {{QStringLiteral("V.1"), items.join(QStringLiteral(", "))}};
        ASSERT_TRUE(import(ten, false, QStringLiteral("ten%1.xlsx").arg(repeats)));
        ASSERT_EQ(GroupTable.size(), 10u);
        for (const GroupRecord& g : GroupTable) EXPECT_EQ(g.GreenCount, repeats);
        EXPECT_EQ(GroupTable[9].Greens[std::size_t(repeats)].Phases[0].Position, 10 * repeats);
        EXPECT_EQ(check(ten, expected), QStringList());
    }
}

TEST_F(Import, CellsHoldingTextAreReportedNotReadAsZero) {
    keepProgram();
    IntergreenBook b = SmallBook();
    b.intergreen[{0, 1}] = QStringLiteral("cztery");
    EXPECT_FALSE(import(b, false, QStringLiteral("m.xlsx")));
    expectProgramKept();
    EXPECT_TRUE(prompts.messageTexts().last().contains(QStringLiteral("\"cztery\"")));

    // A group number holding text in the group list of the phases.
    ResetIntergreenWorkbook();
    prompts.clear();
    const QString path = write(SmallBook(), QStringLiteral("g.xlsx"));
    RewriteCell(path, 2, 9, 15, QStringLiteral("dwa"));
    ExcelWorkbookPath = path;
    prompts.answerMessage(ui::Yes);
    EXPECT_FALSE(frmMain_mnuGrupa_Excel_Click());
    expectProgramKept();
    EXPECT_EQ(prompts.messageTexts().last(),
              QStringLiteral("Błąd w danych arkusza Excel!\nKomórka O9 nie zawiera numeru grupy: \"dwa\"."));
}

TEST_F(Import, AnEmptyIntersectionNumberIsSkipped) {
    IntergreenBook b = SmallBook();
    b.intersection.clear();
    IntersectionNumber = QStringLiteral("3");
    AddIntersectionNumber(IntersectionNumber, true);
    ASSERT_TRUE(import(b));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("3"));
    EXPECT_EQ(MainProgramWindow().intersectionCount(), 1);
}

TEST_F(Import, RowsOfUnknownKindKeepTheirPlaceAsFreeRecords) {
    IntergreenBook b = SmallBook();
    b.texts[1] = QStringLiteral("X2");
    b.texts << QStringLiteral("p4") << QStringLiteral("S5");
    b.phases << QStringLiteral("2") << QString();
    ASSERT_TRUE(import(b));
    ASSERT_EQ(GroupTable.size(), 5u);
    EXPECT_FALSE(GroupTable[1].Defined);
    EXPECT_EQ(GroupTable[3].Kind, KindPedestrian);          // a lower-case "p"
    EXPECT_EQ(GroupTable[4].ComplementMode, ModeNoSignal);  // an arrow in no phase
}

TEST_F(Import, DetailedParametersAskBeforeFallingBackToTheGeneralOnes) {
    common::SettingBindings[3] = {QStringLiteral("frmKonf"),
                                  QStringLiteral("chkParametrySzczegolowe"),
                                  common::KindCheckBox,
                                  QStringLiteral("chkParametrySzczegolowe"),
                                  1,
                                  QStringLiteral("0")};
    SetGreenTimes = {{QStringLiteral("K1"), 18}};
    keepProgram();
    ExcelWorkbookPath = write(SmallBook());
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::No);  // not for the groups without parameters
    EXPECT_FALSE(frmMain_mnuGrupa_Excel_Click());
    expectProgramKept();

    prompts.answerMessage(ui::Yes);  // the general ones for the others
    prompts.answerMessage(ui::No);   // no merging
    ASSERT_TRUE(frmMain_mnuGrupa_Excel_Click());
    EXPECT_EQ(GroupTable[0].Greens[1].Length, 18);
    EXPECT_EQ(GroupTable[1].Greens[1].Length, 10);
}

TEST_F(Import, AWorkbookNeverSavedLeavesNoNameInTheProgram) {
    // A template opens as an unsaved copy: it has no file of its own.
    prompts.answerFile(write(SmallBook(), QStringLiteral("szablon.xlt")));
    prompts.answerMessage(ui::No);
    ASSERT_TRUE(frmMain_mnuGrupa_Excel_Click());
    EXPECT_EQ(int(GroupTable.size()), 3);
    EXPECT_TRUE(ExcelWorkbookName.isEmpty());
    EXPECT_TRUE(ExcelWorkbookPath.isEmpty());
}

TEST_F(Import, PhaseOrderTexts) {
    EXPECT_EQ(ParsePhaseOrder(QStringLiteral("3, 1 ,x,0,2")), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(OrderUpToHighestPhase({QStringLiteral("1,3"), QString(), QStringLiteral("2")}),
              QStringLiteral("1, 2, 3"));
    EXPECT_EQ(PhaseSetColumn(12), 22);
    EXPECT_EQ(PhaseSetColumn(13), 24);
}

}  // namespace phaseplanner::test
