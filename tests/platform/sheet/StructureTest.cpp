// Worksheet structure: column insertion with every reference following, the sorting macro,
// copy and paste, merges, formats and borders, print areas, hyperlinks, dialogs.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/ui/core/Prompt.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

TEST(SheetColumnInsertion, ShiftsFormulasOnAllSheetsMergesLinksAndPrintAreas) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s1 = b.worksheets(1);
    Worksheet& s2 = b.worksheets(2);
    s2.range("M7").setValue(12.0);
    s2.range("N7").setValue(1.0);
    s2.range("O7").setValue(QStringLiteral("Gr"));
    s2.range("P8").setFormula(QStringLiteral("=N7+M7+$O$7"));
    s2.range("A1").setFormula(QStringLiteral("=SUM(M7:O7)"));
    s2.range("B1").setFormulaR1C1(QStringLiteral("=R7C15"));
    s1.range("A1").setFormula(QStringLiteral("=Arkusz2!N7*2"));
    s2.range("N20:O21").merge();
    s2.range("C2:D2").merge();
    s2.hyperlinks().add(s2.range("N3"), QStringLiteral("/tmp/rysunek.dxf"));
    s2.columns(14).setColumnWidth(20);
    s2.range("M9").font().setBold(true);
    s2.pageSetup().setPrintArea(QStringLiteral("$A$1:$T$20,$V$6:$W$20"));

    s2.range("N6").entireColumn().insert(xlShiftToRight);
    s2.range("N6").entireColumn().insert(xlShiftToRight);

    EXPECT_EQ(s2.range("Q7").value(), Value(QStringLiteral("Gr")));
    EXPECT_TRUE(s2.range("N7").value().isEmpty());
    EXPECT_EQ(s2.range("R8").formula(), "=P7+M7+$Q$7");
    EXPECT_EQ(s2.range("A1").formula(), "=SUM(M7:Q7)");
    EXPECT_EQ(s2.range("B1").formulaR1C1(), "=R7C17");
    EXPECT_EQ(s1.range("A1").formula(), "=Arkusz2!P7*2");
    EXPECT_EQ(s1.range("A1").value(), Value(2.0));
    s2.range("P7").setValue(5.0);  // the graph follows the moved cells
    EXPECT_EQ(s1.range("A1").value(), Value(10.0));
    EXPECT_EQ(s2.range("R8").value(), Value(ErrorCode::Value));  // "Gr" is not a number
    ASSERT_EQ(s2.merges().size(), 2u);
    EXPECT_TRUE(s2.range("P20").mergeCells());
    EXPECT_TRUE(s2.range("C2").mergeCells());
    EXPECT_EQ(rectAddress(s2.hyperlinks().item(1).anchor), "$P$3");
    EXPECT_DOUBLE_EQ(s2.columns(16).columnWidth(), 20);
    EXPECT_TRUE(s2.range("N9").font().bold());  // new columns take the left column's format
    EXPECT_EQ(s2.pageSetup().printArea(), "$A$1:$V$20,$X$6:$Y$20");
}

TEST(SheetSortMacro, SortsSelectedBlockNaturallyKeepingRowFormulas) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    const char* names[][2] = {{"K10", "P1"}, {"K2", "K3"}, {"K2", "K1"}, {"A1", "K1"}};
    for (int i = 0; i < 4; ++i) {
        const int r = 12 + i;
        s.cells(r, 1).setValue(QString::fromLatin1(names[i][0]));
        s.cells(r, 2).setValue(QString::fromLatin1(names[i][1]));
        s.cells(r, 3).setValue(double(i + 1));
        s.cells(r, 4).setFormulaR1C1(QStringLiteral("=R[]C[-1]*10+R24C18"));
        if (i == 0) s.cells(r, 3).font().setBold(true);
    }
    s.range("R24").setValue(0.5);
    s.range("Q12").setValue(QStringLiteral("stream"));  // outside the block: must not move
    s.range("A16").setValue(QStringLiteral("A0"));      // below the block: must not move
    s.range("A12:O15").select();
    app.run(QStringLiteral("Sortowanie"));
    EXPECT_EQ(s.range("A12").value().toString() + s.range("B12").value().toString(), "A1K1");
    EXPECT_EQ(s.range("A13").value().toString() + s.range("B13").value().toString(), "K2K1");
    EXPECT_EQ(s.range("A14").value().toString() + s.range("B14").value().toString(), "K2K3");
    EXPECT_EQ(s.range("A15").value().toString() + s.range("B15").value().toString(), "K10P1");
    EXPECT_EQ(s.range("D12").value(), Value(40.5));
    EXPECT_EQ(s.range("D15").value(), Value(10.5));
    EXPECT_EQ(s.range("D15").formula(), "=C15*10+$R$24");
    EXPECT_TRUE(s.range("C15").font().bold());
    EXPECT_EQ(s.range("Q12").value(), Value(QStringLiteral("stream")));
    EXPECT_EQ(s.range("A16").value(), Value(QStringLiteral("A0")));
}

TEST(SheetSortMacro, UnknownOrRemovedMacroRaisesTypedError) {
    Application app;
    app.workbooks().add();
    EXPECT_THROW(app.run(QStringLiteral("Brak")), MacroNotFound);
    app.macros().remove(QStringLiteral("Sortowanie"));
    try {
        app.run(QStringLiteral("Sortowanie"));
        FAIL();
    } catch (const MacroNotFound& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Sortowanie")));
    }
}

TEST(SheetCopyPaste, PastesValuesFormulasFormatsAndMergesAtActiveCell) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(2);
    s.range("A7").setValue(QStringLiteral("Ewakuacja"));
    s.range("B7").setValue(1.0);
    s.range("C7").setFormulaR1C1(QStringLiteral("=RC[-1]*2"));
    s.range("B8:C8").merge();
    s.range("B7:C8").interior().setColorIndex(15);
    s.range(s.cells(7, 1), s.cells(8, 3)).copy();
    EXPECT_TRUE(app.cutCopyMode());
    s.cells(12, 1).select();
    s.paste();
    app.setCutCopyMode(false);
    EXPECT_FALSE(app.cutCopyMode());
    EXPECT_EQ(s.range("A12").value(), Value(QStringLiteral("Ewakuacja")));
    EXPECT_EQ(s.range("C12").formula(), "=B12*2");
    EXPECT_EQ(s.range("C12").value(), Value(2.0));
    EXPECT_EQ(s.range("C13").interior().colorIndex(), 15);
    EXPECT_TRUE(s.range("B13").mergeCells());
    EXPECT_THROW(s.paste(), InvalidArgument);
}

TEST(SheetFormats, BordersByIndexAndRangeFormats) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    Range m = s.range(s.cells(7, 2), s.cells(9, 4));
    m.borders().setLineStyle(xlContinuous);
    m.borders().setWeight(xlThin);
    m.borders(xlEdgeTop).setWeight(xlMedium);
    m.borders(xlInsideHorizontal).setLineStyle(xlLineStyleNone);
    s.cells(7, 2).borders(xlEdgeLeft).setLineStyle(xlLineStyleNone);
    EXPECT_EQ(s.range("C7").borders(xlEdgeTop).weight(), xlMedium);
    EXPECT_EQ(s.range("C8").borders(xlEdgeTop).lineStyle(), xlLineStyleNone);
    EXPECT_EQ(s.range("C9").borders(xlEdgeBottom).weight(), xlThin);
    EXPECT_EQ(s.range("B7").borders(xlEdgeLeft).lineStyle(), xlLineStyleNone);
    EXPECT_EQ(s.range("B8").borders(xlEdgeLeft).lineStyle(), xlContinuous);
    Range h = s.range("C6");
    h.setOrientation(90);
    h.setShrinkToFit(true);
    h.setWrapText(true);
    h.setHorizontalAlignment(xlLeft);
    h.font().setSize(9);
    EXPECT_EQ(h.orientation(), 90);
    EXPECT_TRUE(h.shrinkToFit());
    EXPECT_TRUE(h.wrapText());
    EXPECT_EQ(h.horizontalAlignment(), xlLeft);
    EXPECT_DOUBLE_EQ(h.font().size(), 9);
    EXPECT_THROW(h.interior().setColorIndex(99), InvalidArgument);
    EXPECT_THROW(h.borders(13), InvalidArgument);
    EXPECT_THROW(h.borders().setWeight(7), InvalidArgument);
}

TEST(SheetWorksheet, PrintAreaHyperlinkAutofitAndDialog) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(2);
    const QString area = s.range(s.cells(1, 1), s.cells(20, 20)).address() + QLatin1Char(',') +
                         s.range(s.cells(6, 22), s.cells(20, 23)).address();
    s.pageSetup().setPrintArea(area);
    EXPECT_EQ(s.pageSetup().printArea(), "$A$1:$T$20,$V$6:$W$20");
    s.setName(QStringLiteral("Matryca kolizji"));
    EXPECT_EQ(b.names().back().refersTo, "'Matryca kolizji'!$A$1:$T$20,'Matryca kolizji'!$V$6:$W$20");
    EXPECT_EQ(s.pageSetup().printArea(), "$A$1:$T$20,$V$6:$W$20");
    EXPECT_THROW(s.pageSetup().setPrintArea(QStringLiteral("$A$1:,x")), InvalidArgument);
    s.hyperlinks().add(s.range("A3"), QStringLiteral("/dane/skrzyżowanie.dxf"));
    EXPECT_EQ(s.range("A3").value(), Value(QStringLiteral("/dane/skrzyżowanie.dxf")));
    s.range("W8").setValue(QStringLiteral("1, 2, 3, 4, 5, 6, 7"));
    s.columns(23).autoFit();
    EXPECT_GT(s.columns(23).columnWidth(), 15.0);

    ui::ScriptedPrompts prompts;
    prompts.answerFile(QStringLiteral("/tmp/x.xlsx"));
    prompts.answerFile(std::nullopt);
    EXPECT_EQ(app.getOpenFilename(), QStringLiteral("/tmp/x.xlsx"));
    EXPECT_FALSE(app.getOpenFilename().has_value());
    EXPECT_EQ(prompts.unexpected(), 0);
}

}  // namespace

namespace {

TEST(SheetSortMacro, NumbersBeforeTextsEmptyKeysLast) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.range("A1").setValue(QStringLiteral("b"));
    s.range("A3").setValue(10.0);
    s.range("A4").setValue(QStringLiteral("A"));
    s.range("A5").setValue(2.0);
    s.range("B2").setValue(QStringLiteral("bez klucza"));
    s.range("A1:B5").select();
    app.run(QStringLiteral("sortowanie"));  // names are not case-sensitive
    EXPECT_EQ(s.range("A1").value(), Value(2.0));
    EXPECT_EQ(s.range("A2").value(), Value(10.0));
    EXPECT_EQ(s.range("A3").value(), Value(QStringLiteral("A")));
    EXPECT_EQ(s.range("A4").value(), Value(QStringLiteral("b")));
    EXPECT_TRUE(s.range("A5").value().isEmpty());
    EXPECT_EQ(s.range("B5").value(), Value(QStringLiteral("bez klucza")));
}

TEST(SheetCopyPaste, AcrossWorkbooksKeepsTheFormats) {
    Application app;
    Workbook& a = app.workbooks().add();
    Workbook& b = app.workbooks().add();
    EXPECT_EQ(app.workbooks().count(), 2);
    EXPECT_EQ(a.name(), "Zeszyt1");
    EXPECT_EQ(b.name(), "Zeszyt2");
    a.worksheets(1).range("A1").setValue(7.0);
    a.worksheets(1).range("A1").font().setBold(true);
    a.worksheets(1).range("A1").interior().setColorIndex(6);
    a.worksheets(1).range("A1").copy();
    b.worksheets(1).range("C3").select();
    b.worksheets(1).paste();
    EXPECT_EQ(b.worksheets(1).range("C3").value(), Value(7.0));
    EXPECT_TRUE(b.worksheets(1).range("C3").font().bold());
    EXPECT_EQ(b.worksheets(1).range("C3").interior().colorIndex(), 6);
    std::vector<QString> names;
    for (Workbook* w : app.workbooks()) names.push_back(w->name());
    EXPECT_EQ(names, (std::vector<QString>{QStringLiteral("Zeszyt1"), QStringLiteral("Zeszyt2")}));
    EXPECT_EQ(app.activeWorkbook(), &b);
    a.close();
    EXPECT_FALSE(app.cutCopyMode());  // the copied range went with its workbook
}

}  // namespace

// Inserted columns take the width of the column on their left, not the one they push aside.
TEST(SheetColumnInsertion, NewColumnsTakeTheLeftColumnsWidth) {
    Application app;
    Worksheet& s = app.workbooks().add().worksheets(1);
    s.columns(3).setColumnWidth(7);
    s.columns(4).setColumnWidth(20);
    s.range("D1").entireColumn().insert(xlShiftToRight);
    s.range("D1").entireColumn().insert(xlShiftToRight);
    EXPECT_DOUBLE_EQ(s.columns(3).columnWidth(), 7);
    EXPECT_DOUBLE_EQ(s.columns(4).columnWidth(), 7);
    EXPECT_DOUBLE_EQ(s.columns(5).columnWidth(), 7);
    EXPECT_DOUBLE_EQ(s.columns(6).columnWidth(), 20);
    // At column A there is no left column: the default width.
    s.range("A1").entireColumn().insert(xlShiftToRight);
    EXPECT_DOUBLE_EQ(s.columns(1).columnWidth(), s.defaultColumnWidth());
    EXPECT_DOUBLE_EQ(s.columns(7).columnWidth(), 20);
}
