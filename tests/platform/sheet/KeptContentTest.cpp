// What a workbook holds beyond plain cells: defined names used in formulas, formulas we keep but
// do not compute, conditional formats and validations of the file. Each must follow sorting,
// pasting and column insertion as the spreadsheet moves them, and survive a save.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

using namespace sheet;

namespace {

const QString python = QStringLiteral("/usr/bin/python3");
const QString script = QStringLiteral(SUITE_TEST_DATA "/sheet/openpyxl_workbook.py");

QString runPython(const QStringList& args, int* exitCode) {
    QProcess p;
    p.start(python, args);
    p.waitForFinished(60000);
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

TEST(SheetDefinedNames, NamesInFormulasEvaluateAndFollowTheirCells) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s1 = b.worksheets(1);
    Worksheet& s2 = b.worksheets(2);
    s1.range("X9").setValue(3.0);
    s1.range("X10").setValue(2.5);
    b.names().push_back({QStringLiteral("Zolty"), -1, QStringLiteral("Arkusz1!$X$9"), {}});
    b.names().push_back({QStringLiteral("Przysp"), -1, QStringLiteral("Arkusz1!$X$10"), {}});
    b.names().push_back(
        {QStringLiteral("Przysp"), 1, QStringLiteral("Arkusz1!$X$9*10"), {}});  // sheet 2's own
    b.names().push_back({QStringLiteral("Petla"), -1, QStringLiteral("Petla+1"), {}});
    b.names().push_back({QStringLiteral("Pas"), -1, QStringLiteral("Arkusz1!$X$9:$X$10"), {}});
    s1.range("A1").setFormula(QStringLiteral("=zolty*2"));
    s1.range("A2").setFormula(QStringLiteral("=Przysp"));
    s2.range("A2").setFormula(QStringLiteral("=Przysp"));
    s1.range("A3").setFormula(QStringLiteral("=Brak+1"));
    s1.range("A4").setFormula(QStringLiteral("=Petla"));
    s1.range("A5").setFormula(QStringLiteral("=SUM(Pas)"));
    EXPECT_EQ(s1.range("A1").value(), Value(6.0));
    EXPECT_EQ(s1.range("A2").value(), Value(2.5));
    EXPECT_EQ(s2.range("A2").value(), Value(30.0));
    EXPECT_EQ(s1.range("A3").value(), Value(ErrorCode::Name));
    EXPECT_EQ(s1.range("A4").value(), Value(ErrorCode::Name));
    EXPECT_EQ(s1.range("A5").value(), Value(5.5));
    // The cells behind a name are precedents like any other.
    s1.range("X9").setValue(4.0);
    EXPECT_EQ(s1.range("A1").value(), Value(8.0));
    EXPECT_EQ(s2.range("A2").value(), Value(40.0));
    EXPECT_EQ(s1.range("A5").value(), Value(6.5));
    // A column inserted before the named cell moves the name and keeps the results.
    s1.range("B1").entireColumn().insert(xlShiftToRight);
    EXPECT_EQ(b.names()[0].refersTo, "Arkusz1!$Y$9");
    s1.range("Y9").setValue(1.0);
    EXPECT_EQ(s1.range("A1").value(), Value(2.0));
    EXPECT_EQ(s1.range("A1").formula(), "=zolty*2");
}

// INDIRECT of a name is one level of the sixteen names may nest: a chain of fifteen names behind it
// reaches its cell, one of sixteen is no reference.
TEST(SheetDefinedNames, AChainOfNamesReachedThroughIndirectGoesToTheNestingLimit) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    s.range("X9").setValue(7.0);
    // Krok_1 .. Krok_15 and Dalej_1 .. Dalej_16, each naming the next, the last Arkusz1!$X$9.
    const auto chain = [&b](const QString& prefix, int length) {
        for (int i = 1; i <= length; ++i)
            b.names().push_back(
                {prefix + QString::number(i),
                 -1,
                 i < length ? prefix + QString::number(i + 1) : QStringLiteral("Arkusz1!$X$9"),
                 {}});
    };
    chain(QStringLiteral("Krok_"), 15);
    chain(QStringLiteral("Dalej_"), 16);
    s.range("A1").setFormula(QStringLiteral("=INDIRECT(\"Krok_1\")*2"));
    s.range("A2").setFormula(QStringLiteral("=INDIRECT(\"Dalej_1\")"));
    s.range("A3").setFormula(QStringLiteral("=Dalej_1"));
    EXPECT_EQ(s.range("A1").value(), Value(14.0));
    EXPECT_EQ(s.range("A2").value(), Value(ErrorCode::Ref));
    EXPECT_EQ(s.range("A3").value(), Value(7.0));  // without INDIRECT the sixteen names are within it
}

TEST(SheetDefinedNames, FileFormulasUsingNamesAreComputed) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("extras.xlsx"));
    int code = 0;
    const QString out = runPython({script, QStringLiteral("extras"), file}, &code);
    ASSERT_EQ(code, 0) << out.toStdString();
    // A name standing for a function we lack: the formula using it keeps the file's result.
    Package p = Package::read(file);
    QByteArray wb = p.part(QStringLiteral("xl/workbook.xml"));
    wb.replace("</definedNames>",
               "<definedName name=\"Dyn\">GAMMALN(Obliczenia!$X$9)</definedName></definedNames>");
    p.setPart(QStringLiteral("xl/workbook.xml"), wb);
    QByteArray sheet = p.part(QStringLiteral("xl/worksheets/sheet1.xml"));
    sheet.replace("</row><row r=\"9\">", "<c r=\"B1\"><f>Dyn*2</f><v>1.4</v></c></row><row r=\"9\">");
    p.setPart(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    p.write(file);
    Application app;
    Workbook& b = app.workbooks().open(file);
    EXPECT_EQ(b.worksheets(1).range("A1").value(), Value(6.0));
    EXPECT_EQ(b.worksheets(1).range("B1").value(), Value(1.4));
    EXPECT_EQ(b.worksheets(1).range("B1").formula(), "=Dyn*2");
    b.worksheets(1).range("X9").setValue(5.0);
    EXPECT_EQ(b.worksheets(1).range("A1").value(), Value(10.0));
}

// A file whose formulas use a function we lack: kept with their results, but moved like others.
QString keptFile(const QTemporaryDir& dir) {
    const QString file = dir.filePath(QStringLiteral("kept.xlsx"));
    Application app;
    Workbook& b = app.workbooks().add();
    b.saveAs(file);
    Package p = Package::read(file);
    QByteArray sheet = p.part(QStringLiteral("xl/worksheets/sheet1.xml"));
    sheet.replace("<sheetData/>",
                  "<sheetData>"
                  "<row r=\"12\"><c r=\"A12\" t=\"inlineStr\"><is><t>K2</t></is></c><c r=\"C12\"><v>2</v></c>"
                  "<c r=\"D12\"><f t=\"shared\" ref=\"D12:D13\" si=\"0\">GAMMALN(C12)+$R$24</f><v>20</v></c>"
                  "<c r=\"E12\"><f t=\"array\" ref=\"E12\">GAMMALN(C12)</f><v>21</v></c>"
                  "<c r=\"G12\" t=\"str\"><f>_xlfn.CONCAT(A12,\"/\",C12)</f><v>K2/2</v></c></row>"
                  "<row r=\"13\"><c r=\"A13\" t=\"inlineStr\"><is><t>K1</t></is></c><c r=\"C13\"><v>1</v></c>"
                  "<c r=\"D13\"><f t=\"shared\" si=\"0\"/><v>10</v></c></row>"
                  "</sheetData>");
    p.setPart(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
    p.write(file);
    return file;
}

TEST(SheetKeptFormulas, FollowTheSortTheInsertionAndThePaste) {
    QTemporaryDir dir;
    Application app;
    Workbook& b = app.workbooks().open(keptFile(dir));
    Worksheet& s = b.worksheets(1);
    EXPECT_EQ(s.range("D13").formula(), "=GAMMALN(C13)+$R$24");
    EXPECT_EQ(s.range("D13").value(), Value(10.0));

    s.range("A12:O13").select();
    app.run(QStringLiteral("Sortowanie"));
    // Row 13 (K1) moved up with its own results; its formula still reads its own row.
    EXPECT_EQ(s.range("A12").value(), Value(QStringLiteral("K1")));
    EXPECT_EQ(s.range("D12").formula(), "=GAMMALN(C12)+$R$24");
    EXPECT_EQ(s.range("D12").value(), Value(10.0));
    EXPECT_EQ(s.range("D13").formula(), "=GAMMALN(C13)+$R$24");
    EXPECT_EQ(s.range("E13").formula(), "=GAMMALN(C13)");
    // A newer function keeps the prefix its file gave it.
    EXPECT_EQ(s.range("G13").formula(), "=_xlfn.CONCAT(A13,\"/\",C13)");
    EXPECT_EQ(s.range("G13").value(), Value(QStringLiteral("K2/2")));

    s.range("B1").entireColumn().insert(xlShiftToRight);
    EXPECT_EQ(s.range("E13").formula(), "=GAMMALN(D13)+$S$24");
    EXPECT_EQ(s.range("F13").formula(), "=GAMMALN(D13)");

    s.range("E13").copy();
    s.range("E20").select();
    s.paste();
    EXPECT_EQ(s.range("E20").formula(), "=GAMMALN(D20)+$S$24");

    const QString out = dir.filePath(QStringLiteral("kept-out.xlsx"));
    b.saveAs(out);
    const QByteArray xml = Package::read(out).part(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(xml.contains("<c r=\"F13\"><f t=\"array\" ref=\"F13\">GAMMALN(D13)</f><v>21</v>"))
        << xml.constData();
    EXPECT_TRUE(xml.contains("<c r=\"E12\"><f>GAMMALN(D12)+$S$24</f><v>10</v>")) << xml.constData();
    EXPECT_FALSE(xml.contains("t=\"shared\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("<f>_xlfn.CONCAT(A13,&quot;/&quot;,D13)</f>") ||
                xml.contains("<f>_xlfn.CONCAT(A13,\"/\",D13)</f>"))
        << xml.constData();
    // The file reads back with the same formulas and results.
    Application app2;
    Workbook& again = app2.workbooks().open(out);
    EXPECT_EQ(again.worksheets(1).range("E12").formula(), "=GAMMALN(D12)+$S$24");
    EXPECT_EQ(again.worksheets(1).range("E12").value(), Value(10.0));
}

TEST(SheetColumnInsertion, ConditionalFormatsAndValidationsOfTheFileFollow) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("extras.xlsx")),
                  out = dir.filePath(QStringLiteral("out.xlsx"));
    int code = 0;
    const QString made = runPython({script, QStringLiteral("extras"), file}, &code);
    ASSERT_EQ(code, 0) << made.toStdString();
    Application app;
    Workbook& b = app.workbooks().open(file);
    Worksheet& m = b.worksheets(2);
    m.range("O7").copy();
    m.range("N6").entireColumn().insert(xlShiftToRight);
    EXPECT_FALSE(app.cutCopyMode());  // the copied cell moved: nothing left to paste
    m.range("N6").entireColumn().insert(xlShiftToRight);
    b.worksheets(1).range("C1").entireColumn().insert(xlShiftToRight);  // another sheet: no effect here
    EXPECT_EQ(m.range("Q7").value(), Value(QStringLiteral("Gr")));
    b.saveAs(out);
    const QString ranges = runPython({script, QStringLiteral("ranges"), out}, &code);
    EXPECT_EQ(code, 0) << ranges.toStdString();
    EXPECT_EQ(ranges.trimmed(), QStringLiteral("R8:S20 ['Q8']\nR10:R12 0 $R$1")) << ranges.toStdString();
}

TEST(SheetSortMacro, SavedAfterSortingOpenpyxlSeesMovedFormulasAndResults) {
    QTemporaryDir dir;
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    s.range("R24").setValue(10.0);
    const char* names[] = {"K10", "K2", "K1"};
    for (int i = 0; i < 3; ++i) {
        s.cells(12 + i, 1).setValue(QString::fromLatin1(names[i]));
        s.cells(12 + i, 3).setValue(double(i + 1));
        s.cells(12 + i, 4).setFormulaR1C1(QStringLiteral("=R[]C[-1]+R24C18"));
    }
    s.range("Q12").setValue(QStringLiteral("strumień"));
    s.range("A12:O14").select();
    app.run(QStringLiteral("Sortowanie"));
    const QString file = dir.filePath(QStringLiteral("sorted.xlsx"));
    b.saveAs(file);
    const QString code = QStringLiteral(
        "import openpyxl,sys\n"
        "f=openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
        "v=openpyxl.load_workbook(sys.argv[1],data_only=True).worksheets[0]\n"
        "for r in (12,13,14): print(f.cell(r,1).value, f.cell(r,4).value, v.cell(r,4).value)\n"
        "print(f['Q12'].value)\n");
    int exit = 0;
    const QString out = runPython({QStringLiteral("-c"), code, file}, &exit);
    EXPECT_EQ(exit, 0) << out.toStdString();
    EXPECT_EQ(out.trimmed(),
              QStringLiteral("K1 =C12+$R$24 13\nK2 =C13+$R$24 12\nK10 =C14+$R$24 11\nstrumień"))
        << out.toStdString();
}

}  // namespace
