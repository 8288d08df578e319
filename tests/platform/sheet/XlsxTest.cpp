// .xlsx files: round trip of an openpyxl workbook checked by openpyxl, our own files read
// back, shared formulas, templates, bad input, and the xlsxcalc tool.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"
#include "platform/ui/core/Prompt.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace sheet;

namespace {

const QString python = QStringLiteral("/usr/bin/python3");
const QString script = QStringLiteral(SUITE_TEST_DATA "/sheet/openpyxl_workbook.py");

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

// A package with one worksheet whose sheet data is given.
void writeMinimalPackage(const QString& path, const QByteArray& sheetData, bool withWorkbook = true,
                         const QByteArray& sharedStrings = QByteArray()) {
    Package p;
    p.setPart(QStringLiteral("[Content_Types].xml"),
              "<?xml version=\"1.0\"?><Types "
              "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" "
              "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
    if (withWorkbook) {
        p.setPart(QStringLiteral("_rels/.rels"),
                  "<?xml version=\"1.0\"?><Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                  "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
        p.setPart(QStringLiteral("xl/workbook.xml"),
                  "<?xml version=\"1.0\"?><workbook "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                  "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
        p.setPart(QStringLiteral("xl/_rels/workbook.xml.rels"),
                  "<?xml version=\"1.0\"?><Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                  "Target=\"worksheets/sheet1.xml\"/>"
                  "<Relationship Id=\"rId9\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain\" "
                  "Target=\"calcChain.xml\"/>"
                  "<Relationship Id=\"rId3\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                  "sharedStrings\" Target=\"sharedStrings.xml\"/>"
                  "</Relationships>");
        p.setPart(QStringLiteral("xl/sharedStrings.xml"),
                  "<?xml version=\"1.0\"?><sst "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                      sharedStrings + "</sst>");
        p.setPart(QStringLiteral("xl/calcChain.xml"),
                  "<?xml version=\"1.0\"?><calcChain "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><c r=\"B1\" "
                  "i=\"1\"/></calcChain>");
        p.setPart(QStringLiteral("xl/worksheets/sheet1.xml"),
                  "<?xml version=\"1.0\"?><worksheet "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                  "<sheetData>" +
                      sheetData + "</sheetData><pageSetup orientation=\"landscape\"/></worksheet>");
    } else {
        p.setPart(QStringLiteral("docs/readme.txt"), "no workbook here");
    }
    p.write(path);
}

class SheetXlsx : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(SheetXlsx, OpenpyxlWorkbookRoundTripKeepsEverythingButTheChanges) {
    const QString before = path("before.xlsx"), after = path("after.xlsx");
    int code = 0;
    const QString out = run(python, {script, QStringLiteral("make"), before}, &code);
    ASSERT_EQ(code, 0) << out.toStdString();

    Application app;
    Workbook& b = app.workbooks().open(before);
    EXPECT_EQ(b.name(), "before.xlsx");
    EXPECT_EQ(b.builtinDocumentProperty(QStringLiteral("Subject")), "wersja 2.6");
    Worksheet& s = b.worksheets(1);
    EXPECT_EQ(s.name(), "Dane");
    EXPECT_EQ(s.range("C3").value(), Value(19.5));  // computed on opening
    EXPECT_EQ(s.range("B2").text(), "12.50");
    EXPECT_TRUE(s.range("A1").font().bold());
    EXPECT_TRUE(s.range("B7").mergeCells());
    EXPECT_EQ(s.pageSetup().printArea(), "$A$1:$E$10,$G$1:$H$5");
    ASSERT_EQ(s.hyperlinks().count(), 1);
    EXPECT_EQ(s.hyperlinks().item(1).address, "file:///dane/rysunek.dxf");
    EXPECT_DOUBLE_EQ(s.columns(1).columnWidth(), 25.5);
    EXPECT_EQ(s.range("E5").value(), Value(true));
    EXPECT_EQ(b.worksheets(2).range("C6").orientation(), 90);

    s.range("B3").setValue(8.0);
    s.range("C3").setFormula(QStringLiteral("=SUM(B2:B3)*2"));
    s.range("D4").font().setBold(true);
    s.range("D4").borders(xlEdgeTop).setWeight(xlThick);
    s.range("D4").setHorizontalAlignment(xlLeft);
    s.range("F9").setValue(QStringLiteral("nowy tekst"));
    b.worksheets(2).range("C8").interior().setColorIndex(15);
    b.worksheets(2).activate();
    EXPECT_FALSE(b.saved());
    b.saveAs(after);
    EXPECT_TRUE(b.saved());

    const QString check = run(python, {script, QStringLiteral("check"), before, after}, &code);
    EXPECT_EQ(code, 0) << check.toStdString();

    // Full recalculation requested of whoever opens the file next; one selected tab only.
    Package pkg = Package::read(after);
    EXPECT_TRUE(pkg.part(QStringLiteral("xl/workbook.xml")).contains("fullCalcOnLoad=\"1\""));
    EXPECT_TRUE(pkg.part(QStringLiteral("xl/worksheets/sheet2.xml")).contains("tabSelected=\"1\""));
    EXPECT_FALSE(pkg.part(QStringLiteral("xl/worksheets/sheet1.xml")).contains("tabSelected"));

    // Our own reader sees the same.
    Application app2;
    Workbook& again = app2.workbooks().open(after);
    EXPECT_EQ(again.worksheets(1).range("C3").value(), Value(41.0));
    EXPECT_EQ(again.worksheets(1).range("C3").formula(), "=SUM(B2:B3)*2");
    EXPECT_TRUE(again.worksheets(1).range("D4").font().bold());
    EXPECT_EQ(again.worksheets(2).range("C8").interior().colorIndex(), 15);
}

TEST_F(SheetXlsx, InsertedColumnsAreSeenByOpenpyxl) {
    const QString before = path("ins.xlsx"), after = path("ins-out.xlsx");
    int code = 0;
    run(python, {script, QStringLiteral("make"), before}, &code);
    ASSERT_EQ(code, 0);
    Application app;
    Workbook& b = app.workbooks().open(before);
    Worksheet& s = b.worksheets(1);
    b.worksheets(2).range("A1").setFormula(QStringLiteral("=Dane!D4&Dane!B3"));
    s.range("C1").entireColumn().insert(xlShiftToRight);
    s.range("C1").entireColumn().insert(xlShiftToRight);
    EXPECT_EQ(b.worksheets(2).range("A1").value(), Value(QStringLiteral("ramka7")));
    b.saveAs(after);
    const QString code2 = QStringLiteral(
        "import openpyxl,sys\n"
        "wb=openpyxl.load_workbook(sys.argv[1]); s=wb['Dane']\n"
        "print(s['E2'].value, s['E3'].value, s['F4'].value, s['F4'].fill.fill_type, [str(r) for r in "
        "s.merged_cells.ranges],\n"
        "      s.print_area, s.column_dimensions['F'].width, s['A3'].hyperlink.target, wb['Matryca "
        "kolizji']['A1'].value, sep='|')\n");
    const QString out = run(python, {QStringLiteral("-c"), code2, after}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(out.trimmed(),
              QStringLiteral("=B2*2|=SUM(B2:B3)|ramka|solid|['A7:E8']|['$A$1:$G$10', '$I$1:$J$5']|7.25|"
                             "file:///dane/rysunek.dxf|=Dane!F4&Dane!B3"))
        << out.toStdString();
}

TEST_F(SheetXlsx, NewWorkbookWithFormatsIsReadByOpenpyxl) {
    Application app;
    Workbook& b = app.workbooks().add();
    Worksheet& s = b.worksheets(1);
    s.range("A1").setValue(QStringLiteral("Zażółć gęślą jaźń"));
    s.range("B1").setValue(2.5);
    s.range("C1").setFormulaR1C1(QStringLiteral("=RC[-1]*4"));
    s.range("D1").setFormula(QStringLiteral("=1/0"));
    s.range("A2:B3").merge();
    s.range("A2:B3").borders().setWeight(xlMedium);
    s.range("B1").font().setBold(true);
    s.columns(1).setColumnWidth(12.5);
    s.hyperlinks().add(s.range("A5"), QStringLiteral("/dane/plik.dxf"));
    s.pageSetup().setPrintArea(QStringLiteral("$A$1:$O$40,$P$1:$X$31"));
    b.setBuiltinDocumentProperty(QStringLiteral("Subject"), QStringLiteral("wersja 2.6"));
    const QString file = path("nowy.xlsx");
    b.saveAs(file);
    const QString code = QStringLiteral(
        "import openpyxl,sys\n"
        "wb=openpyxl.load_workbook(sys.argv[1]); s=wb.worksheets[0]\n"
        "v=openpyxl.load_workbook(sys.argv[1],data_only=True).worksheets[0]\n"
        "print(s['A1'].value, s['B1'].value, s['C1'].value, v['C1'].value, v['D1'].value, s['B1'].font.b,\n"
        "      [str(r) for r in s.merged_cells.ranges], s['A2'].border.left.style, "
        "s.column_dimensions['A'].width,\n"
        "      s['A5'].hyperlink.target, s.print_area, wb.properties.subject, len(wb.worksheets), "
        "sep='|')\n");
    int exit = 0;
    const QString out = run(python, {QStringLiteral("-c"), code, file}, &exit);
    EXPECT_EQ(exit, 0) << out.toStdString();
    EXPECT_EQ(out.trimmed(),
              QStringLiteral("Zażółć gęślą jaźń|2.5|=B1*4|10|#DIV/0!|True|['A2:B3']|medium|12.5|"
                             "/dane/plik.dxf|['$A$1:$O$40', '$P$1:$X$31']|wersja 2.6|3"))
        << out.toStdString();
}

TEST_F(SheetXlsx, SharedFormulasExpandAndCalcChainIsDropped) {
    const QString file = path("shared.xlsx");
    writeMinimalPackage(
        file,
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f t=\"shared\" ref=\"B1:B3\" "
        "si=\"0\">A1*10</f><v>10</v></c></row>"
        "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\"><f t=\"shared\" si=\"0\"/><v>20</v></c></row>"
        "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>3</t></is></c><c r=\"B3\"><f t=\"shared\" "
        "si=\"0\"/><v>0</v></c>"
        "<c r=\"C3\"><f>CUBEVALUE(\"x\")</f><v>7</v></c><c r=\"D3\" t=\"e\"><v>#N/A</v></c></row>");
    Application app;
    Workbook& b = app.workbooks().open(file);
    Worksheet& s = b.worksheets(1);
    EXPECT_EQ(s.range("B2").formula(), "=A2*10");
    EXPECT_EQ(s.range("B2").value(), Value(20.0));
    EXPECT_EQ(s.range("B3").value(), Value(30.0));  // A3 holds the text "3", numeric in arithmetic
    EXPECT_EQ(s.range("C3").value(), Value(7.0));   // a function we lack keeps the file's result
    EXPECT_EQ(s.range("C3").formula(), "=CUBEVALUE(\"x\")");
    EXPECT_EQ(s.range("D3").value(), Value(ErrorCode::NA));
    s.range("A2").setValue(5.0);
    EXPECT_EQ(s.range("B2").value(), Value(50.0));
    const QString out = path("shared-out.xlsx");
    b.saveAs(out);
    Package pkg = Package::read(out);
    EXPECT_FALSE(pkg.contains(QStringLiteral("xl/calcChain.xml")));
    EXPECT_FALSE(pkg.part(QStringLiteral("xl/_rels/workbook.xml.rels")).contains("calcChain"));
    EXPECT_TRUE(pkg.part(QStringLiteral("xl/worksheets/sheet1.xml"))
                    .contains("<pageSetup orientation=\"landscape\""));
    EXPECT_TRUE(pkg.part(QStringLiteral("xl/worksheets/sheet1.xml")).contains("<f>A2*10</f><v>50</v>"));
}

TEST_F(SheetXlsx, FormulasWeCannotComputeAndRichTextSurviveASave) {
    const QString file = path("kept.xlsx");
    writeMinimalPackage(
        file,
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\"><f t=\"shared\" ref=\"C1:C2\" si=\"4\">FORECAST(1,A1:A2,B1:B2)</f><v>5</v></c>"
        "<c r=\"D1\"><f t=\"array\" ref=\"D1\">SUM(A1:A2*B1:B2)</f><v>11</v></c>"
        "<c r=\"F1\"><f t=\"shared\" ref=\"F1:F2\" si=\"5\">SUM(Tabela1[Kol])*A1</f><v>1</v></c></row>"
        "<row r=\"2\"><c r=\"C2\"><f t=\"shared\" si=\"4\"/><v>6</v></c>"
        "<c r=\"F2\"><f t=\"shared\" si=\"5\"/><v>2</v></c></row>",
        true,
        "<si><r><rPr><b/></rPr><t>Czas</t></r><r><t xml:space=\"preserve\"> międzyzielony</t></r></si>"
        "<si><t>zwykły</t></si>");
    Application app;
    Workbook& b = app.workbooks().open(file);
    Worksheet& s = b.worksheets(1);
    EXPECT_EQ(s.range("A1").value(), Value(QStringLiteral("Czas międzyzielony")));
    EXPECT_EQ(s.range("C2").value(), Value(6.0));
    EXPECT_EQ(s.range("D1").value(), Value(11.0));
    EXPECT_TRUE(s.range("C2").hasFormula());
    EXPECT_EQ(s.range("C2").formula(), "=FORECAST(1,A2:A3,B2:B3)");
    s.range("E5").setValue(QStringLiteral("nowy"));
    b.saveAs(path("kept-out.xlsx"));
    Package pkg = Package::read(path("kept-out.xlsx"));
    const QByteArray sheetXml = pkg.part(QStringLiteral("xl/worksheets/sheet1.xml"));
    // A shared group we can read but not compute is written out cell by cell; one we cannot read
    // stays shared as it was.
    EXPECT_TRUE(sheetXml.contains("<f>FORECAST(1,A1:A2,B1:B2)</f><v>5</v>")) << sheetXml.constData();
    EXPECT_TRUE(sheetXml.contains("<f>FORECAST(1,A2:A3,B2:B3)</f><v>6</v>")) << sheetXml.constData();
    EXPECT_TRUE(sheetXml.contains("<f t=\"shared\" ref=\"F1:F2\" si=\"5\">SUM(Tabela1[Kol])*A1</f><v>1</v>"))
        << sheetXml.constData();
    EXPECT_TRUE(sheetXml.contains("<f t=\"shared\" si=\"5\" /><v>2</v>") ||
                sheetXml.contains("<f t=\"shared\" si=\"5\"/><v>2</v>"))
        << sheetXml.constData();
    EXPECT_TRUE(sheetXml.contains("<f t=\"array\" ref=\"D1\">SUM(A1:A2*B1:B2)</f><v>11</v>"));
    const QByteArray sst = pkg.part(QStringLiteral("xl/sharedStrings.xml"));
    EXPECT_TRUE(sst.contains("<r><rPr><b/></rPr><t>Czas</t></r>") ||
                sst.contains("<r><rPr><b /></rPr><t>Czas</t></r>"))
        << sst.constData();
    EXPECT_TRUE(sst.contains("<t xml:space=\"preserve\"> międzyzielony</t>")) << sst.constData();
    EXPECT_TRUE(sst.contains("<t>nowy</t>"));
}

// Constants as other programs write them: a carriage return in a text (escaped, since XML reads
// every line end as LF) and dates this engine holds no serial for (a time of day, the day before
// 1900) come back from a save unchanged.
TEST_F(SheetXlsx, TextAndDateConstantsSurviveASave) {
    const QString file = path("constants.xlsx");
    writeMinimalPackage(file,
                        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"d\"><v>12:00:00</v></c>"
                        "<c r=\"C1\" t=\"d\"><v>1899-12-31T00:00:00</v></c>"
                        "<c r=\"D1\" t=\"d\"><v>2024-03-05T14:30:15</v></c></row>",
                        true, "<si><t xml:space=\"preserve\">wiersz_x000D_\ndrugi</t></si>");
    Application app;
    Workbook& b = app.workbooks().open(file);
    EXPECT_EQ(b.worksheets(1).range("A1").value(), Value(QStringLiteral("wiersz\r\ndrugi")));
    b.saveAs(path("constants-out.xlsx"));
    Workbook& back = app.workbooks().open(path("constants-out.xlsx"));
    EXPECT_EQ(back.worksheets(1).range("A1").value(), Value(QStringLiteral("wiersz\r\ndrugi")));
    const QByteArray sheetXml = Package::read(path("constants-out.xlsx")).part(QStringLiteral("xl/worksheets/sheet1.xml"));
    for (const char* cell : {"<c r=\"B1\" t=\"d\"><v>12:00:00</v>", "<c r=\"C1\" t=\"d\"><v>1899-12-31T00:00:00</v>",
                             "<c r=\"D1\" t=\"d\"><v>2024-03-05T14:30:15</v>"})
        EXPECT_TRUE(sheetXml.contains(cell)) << cell << "\n" << sheetXml.constData();
    // A text typed over a date cell is a text.
    back.worksheets(1).range("B1").setValue(QStringLiteral("południe"));
    back.saveAs(path("constants-typed.xlsx"));
    EXPECT_FALSE(Package::read(path("constants-typed.xlsx"))
                     .part(QStringLiteral("xl/worksheets/sheet1.xml"))
                     .contains("<c r=\"B1\" t=\"d\""));
    int code = 0;
    const QString seen = run(python,
                             {QStringLiteral("-c"),
                              QStringLiteral("import sys, openpyxl\nws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                             "print(repr(ws['A1'].value), ws['B1'].data_type, ws['C1'].data_type)"),
                              path("constants-out.xlsx")},
                             &code);
    if (seen.contains(QStringLiteral("No module named"))) return;
    EXPECT_EQ(seen.trimmed(), QStringLiteral("'wiersz_x000D_\\ndrugi' d d"));
}

// Parts, each within the limit of one part, together inflate past what any workbook holds:
// refused before inflating, with a clear message.
TEST_F(SheetXlsx, PartsTogetherTooLargeAreRefused) {
    const QString file = path("bomb.xlsx");
    writeMinimalPackage(file, "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray zip = f.readAll();
    // Two entries of the central directory declare 256 MB inflated each, the most one part may hold:
    // with the other parts' few bytes the whole is just past 512 MB.
    int patched = 0;
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0 && patched < 2; at = zip.indexOf("PK\x01\x02", at + 4), ++patched) {
        const quint32 size = 1u << 28;
        for (int i = 0; i < 4; ++i) zip[at + 24 + i] = char((size >> (8 * i)) & 0xFF);
    }
    ASSERT_EQ(patched, 2);
    f.seek(0);
    f.write(zip);
    f.close();
    Application app;
    try {
        app.workbooks().open(file);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("są razem zbyt duże"))) << e.message().toStdString();
    }
}

TEST_F(SheetXlsx, TemplateOpensAsUnsavedCopy) {
    const QString tpl = path("Czasy Miedzyziel szablon.xlt");
    {
        Application app;
        Workbook& b = app.workbooks().add();
        b.worksheets(1).range("A1").setValue(QStringLiteral("szablon"));
        b.saveAs(tpl);
    }
    const QByteArray original = [&] {
        QFile f(tpl);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Application app;
    Workbook& copy = app.workbooks().open(tpl);
    EXPECT_EQ(copy.name(), "Czasy Miedzyziel szablon1");
    EXPECT_EQ(copy.fullName(), copy.name());
    Workbook& second = app.workbooks().open(tpl);
    EXPECT_NE(&second, &copy);
    EXPECT_EQ(second.name(), "Czasy Miedzyziel szablon2");
    copy.worksheets(1).range("A2").setValue(1.0);
    {
        ui::ScriptedPrompts prompts;
        prompts.answerFile(std::nullopt);
        EXPECT_THROW(copy.save(), Cancelled);
        prompts.answerFile(path("wynik.xlsx"));
        copy.save();
        EXPECT_EQ(prompts.unexpected(), 0);
    }
    EXPECT_EQ(copy.fullName(), path("wynik.xlsx"));
    EXPECT_EQ(copy.name(), "wynik.xlsx");
    QFile f(tpl);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), original);
    // A plain file opened twice is one workbook; added as a template it is a new copy.
    Workbook& w1 = app.workbooks().open(path("wynik.xlsx"));
    EXPECT_EQ(&w1, &copy);
    EXPECT_EQ(&app.workbooks().open(path("wynik.xlsx")), &w1);
    Workbook& fromFile = app.workbooks().add(path("wynik.xlsx"));
    EXPECT_NE(&fromFile, &w1);
    EXPECT_EQ(fromFile.name(), "wynik1");
    EXPECT_EQ(fromFile.worksheets(1).range("A2").value(), Value(1.0));
    EXPECT_EQ(app.activeWorkbook(), &fromFile);
}

TEST_F(SheetXlsx, BadFilesGiveClearErrors) {
    Application app;
    auto expectError = [&](const QString& file, const char* fragment) {
        try {
            app.workbooks().open(file);
            ADD_FAILURE() << "no error for " << file.toStdString();
        } catch (const FileError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(fragment))) << e.message().toStdString();
        }
    };
    expectError(path("missing.xlsx"), "Nie znaleziono");
    QFile text(path("text.xlsx"));
    text.open(QIODevice::WriteOnly);
    text.write("this is not a zip file");
    text.close();
    expectError(path("text.xlsx"), "nie jest archiwum zip");
    writeMinimalPackage(path("nowb.xlsx"), "", false);
    expectError(path("nowb.xlsx"), "nie zawiera skoroszytu");
    writeMinimalPackage(path("badref.xlsx"), "<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>");
    expectError(path("badref.xlsx"), "A0");
    writeMinimalPackage(path("badref2.xlsx"), "<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>");
    expectError(path("badref2.xlsx"), "1A");
    writeMinimalPackage(path("badnum.xlsx"), "<row r=\"1\"><c r=\"A1\"><v>x1</v></c></row>");
    expectError(path("badnum.xlsx"), "x1");
    writeMinimalPackage(path("badxml.xlsx"), "<row r=\"1\"><c r=\"A1\"><v>1</v></row>");
    expectError(path("badxml.xlsx"), "Uszkodzona");
    expectError(path("badxml.xlsx"), "znacznik zamykający nie pasuje do otwierającego");  // the reason in Polish
    // A text cell of a file without its part of texts names the part, not a wrong text number.
    writeMinimalPackage(path("nostrings.xlsx"), "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>");
    Package withoutStrings = Package::read(path("nostrings.xlsx"));
    withoutStrings.removePart(QStringLiteral("xl/sharedStrings.xml"));
    withoutStrings.write(path("nostrings.xlsx"));
    expectError(path("nostrings.xlsx"),
                "Komórka A1 arkusza \"S\" zawiera tekst, a w pliku brak części tekstów \"xl/sharedStrings.xml\"");
    // A formula with unbalanced brackets in a file is kept as written with its result.
    writeMinimalPackage(path("badformula.xlsx"), "<row r=\"1\"><c r=\"A1\"><f>SUM(B1</f><v>3</v></c></row>");
    Workbook& b = app.workbooks().open(path("badformula.xlsx"));
    EXPECT_EQ(b.worksheets(1).range("A1").value(), Value(3.0));
    EXPECT_EQ(b.worksheets(1).range("A1").formula(), "=SUM(B1");
    EXPECT_EQ(app.workbooks().count(), 1);
}

// The fuzzer's seeds are workbooks the reader opens whole: each must pass the zip check and reach
// the parts, or the fuzzer never gets past it.
TEST_F(SheetXlsx, FuzzSeedsAreWorkbooksTheReaderOpens) {
    const QDir seeds(QStringLiteral(SUITE_TEST_DATA "/sheet/fuzz-seeds"));
    const QStringList files = seeds.entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    EXPECT_GE(files.size(), 6);
    for (const QString& name : files) {
        Application app;
        Workbook& b = app.workbooks().open(seeds.filePath(name));
        EXPECT_GE(b.worksheetCount(), 1) << name.toStdString();
        int cells = 0;
        b.worksheets(b.worksheetCount() > 1 ? 2 : 1).forEachCell([&](int, int, Cell&) { ++cells; });
        EXPECT_GT(cells, 0) << name.toStdString();
    }
}

TEST_F(SheetXlsx, XlsxcalcPrintsEveryCellAndSaves) {
    Application app;
    Workbook& b = app.workbooks().add();
    b.worksheets(1).range("A1").setValue(0.1);
    b.worksheets(1).range("B1").setFormula(QStringLiteral("=A1+0.2"));
    b.worksheets(1).range("C1").setFormula(QStringLiteral("=1/3"));
    b.worksheets(2).range("B2").setFormula(QStringLiteral("=1/0"));
    b.worksheets(2).range("C2").setValue(QStringLiteral("tekst"));
    const QString in = path("calc.xlsx"), out = path("calc-out.xlsx");
    b.saveAs(in);
    int code = 0;
    const QString text = run(QStringLiteral(SUITE_XLSXCALC), {in, out}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(text, "1\tA1\t0.1\n1\tB1\t0.3\n1\tC1\t0.333333333333333\n2\tB2\t#DIV/0!\n2\tC2\ttekst\n");
    EXPECT_TRUE(QFile::exists(out));
    run(QStringLiteral(SUITE_XLSXCALC), {path("nothing.xlsx")}, &code);
    EXPECT_NE(code, 0);
}

// A formula in a file is as long as its writer made it: a run of a hundred thousand terms is
// computed and saved again; one nested past the limit keeps the file's value, and xlsxcalc names its
// cell and why.
TEST_F(SheetXlsx, XlsxcalcComputesLongRunsAndNamesFormulasNestedPastTheLimit) {
    const int n = 100000;
    const QByteArray sum = "1" + QByteArray("+1").repeated(n - 1);
    const QByteArray calls = QByteArray("ABS(").repeated(n) + "7" + QByteArray(")").repeated(n);
    const QByteArray parentheses = QByteArray("(").repeated(n) + "8" + QByteArray(")").repeated(n);
    const QByteArray arrays = "SUM(" + QByteArray("{").repeated(n) + "9" + QByteArray("}").repeated(n) + ")";
    writeMinimalPackage(path("long.xlsx"),
                        "<row r=\"1\"><c r=\"A1\"><f>" + sum + "</f><v>0</v></c><c r=\"B1\"><f>" + calls +
                            "</f><v>7</v></c><c r=\"C1\"><f>" + parentheses +
                            "</f><v>8</v></c><c r=\"D1\"><f>" + arrays + "</f><v>9</v></c></row>");
    for (const char* file : {"long.xlsx", "long-out.xlsx"}) {
        SCOPED_TRACE(file);
        int code = 0;
        const QString text = run(QStringLiteral(SUITE_XLSXCALC), {path(file), path("long-out.xlsx")}, &code);
        EXPECT_EQ(code, 0) << text.left(2000).toStdString();
        EXPECT_TRUE(text.contains("1\tA1\t100000\n"));
        EXPECT_TRUE(text.contains(
            "1\tB1\t7\tnie przeliczono\n1\tC1\t8\tnie przeliczono\n1\tD1\t9\tnie przeliczono\n"));
        EXPECT_TRUE(text.contains("nie przeliczono 3 komórek (wartości z pliku): S!B1, S!C1, S!D1\n"));
        EXPECT_TRUE(text.contains(QStringLiteral("xlsxcalc: S!B1: Błędna formuła \"ABS(ABS(")));
        EXPECT_TRUE(text.contains(
            QStringLiteral("nawiasy i funkcje zagnieżdżone głębiej niż 200 poziomów (pozycja 804)")));
        EXPECT_TRUE(text.contains(QStringLiteral("zagnieżdżone głębiej niż 200 poziomów (pozycja 201)")));
        EXPECT_TRUE(text.contains(QStringLiteral("w tablicy stałych dozwolone są tylko stałe (pozycja 6)")));
        EXPECT_LT(text.size(), 2000);  // the formulas are quoted by their beginnings
    }
}

// A cell's value as the file gives it, where no spreadsheet holds such a value: refused, naming the
// cell and what it holds, as a number out of range always was. The values beside them in the format
// read as a spreadsheet reads them.
TEST_F(SheetXlsx, CellValuesNoSpreadsheetHoldsAreRefusedNamingTheCell) {
    const QString at = QStringLiteral(" w komórce B2 arkusza \"S\"");
    const std::vector<std::pair<QByteArray, QString>> bad{
        {"<c r=\"B2\"><v>inf</v></c>", QStringLiteral("Błędna liczba \"inf\"")},
        {"<c r=\"B2\"><v> -inf</v></c>", QStringLiteral("Błędna liczba \" -inf\"")},
        {"<c r=\"B2\"><v>nan</v></c>", QStringLiteral("Błędna liczba \"nan\"")},
        {"<c r=\"B2\" t=\"n\"><v>1e999</v></c>", QStringLiteral("Błędna liczba \"1e999\"")},
        {"<c r=\"B2\"><f>1+1</f><v>NaN</v></c>", QStringLiteral("Błędna liczba \"NaN\"")},
        {"<c r=\"B2\"><v>" + QByteArray("7").repeated(50) + "x</v></c>",
         QStringLiteral("Błędna liczba \"") + QString(40, QLatin1Char('7')) + QStringLiteral("…\"")},
        {"<c r=\"B2\" t=\"b\"><v>2</v></c>", QStringLiteral("Błędna wartość logiczna \"2\"")},
        {"<c r=\"B2\" t=\"b\"><v>-1</v></c>", QStringLiteral("Błędna wartość logiczna \"-1\"")},
        {"<c r=\"B2\" t=\"b\"><f>1=1</f><v>yes</v></c>", QStringLiteral("Błędna wartość logiczna \"yes\"")},
        {"<c r=\"B2\" t=\"e\"><v>#BŁĄD!</v></c>", QStringLiteral("Nieznana wartość błędu \"#BŁĄD!\"")},
        {"<c r=\"B2\" t=\"e\"><v>N/A</v></c>", QStringLiteral("Nieznana wartość błędu \"N/A\"")},
        {"<c r=\"B2\" t=\"s\"><v>5</v></c>", QStringLiteral("Błędny numer tekstu \"5\"")}};
    Application app;
    for (const auto& [cell, what] : bad) {
        SCOPED_TRACE(cell.toStdString());
        writeMinimalPackage(path("bad.xlsx"), "<row r=\"2\"><c r=\"A2\"><v>1</v></c>" + cell + "</row>", true,
                            "<si><t>jeden</t></si>");
        try {
            app.workbooks().open(path("bad.xlsx"));
            ADD_FAILURE() << "opened";
        } catch (const CellDataError& e) {
            EXPECT_EQ(e.message(), what + at);
        }
    }
    EXPECT_EQ(app.workbooks().count(), 0);
    int code = 0;
    const QString text = run(QStringLiteral(SUITE_XLSXCALC), {path("bad.xlsx")}, &code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(text, QStringLiteral("xlsxcalc: Błędny numer tekstu \"5\" w komórce B2 arkusza \"S\"\n"));

    writeMinimalPackage(
        path("good.xlsx"),
        "<row r=\"2\"><c r=\"B2\" t=\"b\"><v>0</v></c><c r=\"C2\" t=\"b\"><v> 1</v></c>"
        "<c r=\"D2\" t=\"b\"><v>true</v></c><c r=\"E2\" t=\"b\"><v/></c><c r=\"F2\" t=\"e\"><v>#n/a</v></c>"
        "<c r=\"G2\" t=\"e\"><v>#DIV/0!</v></c><c r=\"H2\" t=\"e\"><f>_xlfn.SEQUENCE(2)</f><v>#SPILL!</v></c>"
        "<c r=\"I2\"><v>1.7976931348623157e308</v></c><c r=\"J2\"><v>-4.9e-324</v></c>"
        "<c r=\"K2\" t=\"e\"/></row>");
    Worksheet& ws = app.workbooks().open(path("good.xlsx")).worksheets(1);
    EXPECT_EQ(ws.range("B2").value(), Value(false));
    EXPECT_EQ(ws.range("C2").value(), Value(true));
    EXPECT_EQ(ws.range("D2").value(), Value(true));
    EXPECT_TRUE(ws.range("E2").value().isEmpty());
    EXPECT_EQ(ws.range("F2").value(), Value(ErrorCode::NA));
    EXPECT_EQ(ws.range("G2").value(), Value(ErrorCode::Div0));
    EXPECT_EQ(ws.range("H2").value(), Value(ErrorCode::NA));  // a newer error of a formula kept uncomputed
    EXPECT_TRUE(ws.cell(2, 8)->kept);
    EXPECT_EQ(ws.range("I2").value(), Value(1.7976931348623157e308));
    EXPECT_EQ(ws.range("J2").value(), Value(-4.9e-324));
    EXPECT_TRUE(ws.range("K2").value().isEmpty());
}

// The number joining a shared formula's cells is an unsigned 32-bit number: the largest is read and
// computed; one past it, a negative one, a text or none is refused, naming the number and the cell.
TEST_F(SheetXlsx, SharedFormulaNumbersOutsideTheFormatAreRefusedNamingTheNumber) {
    auto sheetData = [](const QByteArray& master, const QByteArray& member) {
        return "<row r=\"1\"><c r=\"A1\"><v>5</v></c><c r=\"B1\"><f t=\"shared\" ref=\"B1:B2\"" + master +
               ">A1*2</f><v>0</v></c></row><row r=\"2\"><c r=\"A2\"><v>6</v></c><c r=\"B2\"><f t=\"shared\"" +
               member + "/><v>0</v></c></row>";
    };
    Application app;
    writeMinimalPackage(path("si.xlsx"), sheetData(" si=\"4294967295\"", " si=\"4294967295\""));
    Worksheet& ws = app.workbooks().open(path("si.xlsx")).worksheets(1);
    EXPECT_EQ(ws.range("B2").value(), Value(12.0));
    EXPECT_EQ(ws.range("B2").formula(), QStringLiteral("=A2*2"));
    struct Case {
        QByteArray master, member;
        QString shown, cell;
    };
    for (const Case& c : {Case{" si=\"4294967296\"", " si=\"0\"", "4294967296", "B1"},
                          Case{" si=\"0\"", " si=\"4294967296\"", "4294967296", "B2"},
                          Case{" si=\"0\"", " si=\"-1\"", "-1", "B2"},
                          Case{" si=\"0\"", " si=\"x\"", "x", "B2"}, Case{"", " si=\"0\"", "", "B1"}}) {
        SCOPED_TRACE(c.shown.toStdString());
        writeMinimalPackage(path("si-bad.xlsx"), sheetData(c.master, c.member));
        try {
            app.workbooks().open(path("si-bad.xlsx"));
            ADD_FAILURE() << "opened";
        } catch (const CellDataError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Błędny numer formuły wspólnej \"%1\" (dozwolony od 0 do "
                                                  "4294967295) w komórce %2 arkusza \"S\"")
                                       .arg(c.shown, c.cell));
        }
    }
}

}  // namespace
