// Workbooks as other spreadsheet programs save them: markup-compatibility elements, chart sheets
// between worksheets, data tables, ISO dates, escapes, another relationships prefix, empty shared
// string cells, "\" zip entries. They must read, compute as the program did and save to a file
// that every reader accepts.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <tuple>

using namespace sheet;

namespace {

QByteArray rels(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           body + "</Relationships>";
}
QByteArray rel(const char* id, const char* type, const char* target, bool external = false) {
    return QByteArray("<Relationship Id=\"") + id +
           "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + type +
           "\" Target=\"" + target + "\"" + (external ? " TargetMode=\"External\"" : "") + "/>";
}

// The workbook: worksheets "Dane" and "Druga" with a chart sheet between them, names local to
// the second worksheet and to the chart sheet, names through names and to another workbook.
// `backslashes` writes the zip entries of the worksheets with "\" separators.
void writeForeignWorkbook(const QString& path, bool backslashes = false) {
    Package p;
    const QString sep = backslashes ? QStringLiteral("\\") : QStringLiteral("/");
    p.setPart(
        "[Content_Types].xml",
        "<?xml version=\"1.0\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet2.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/chartsheets/sheet1.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.chartsheet+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
        "</Types>");
    p.setPart("_rels/.rels", rels(rel("rId1", "officeDocument", "xl/workbook.xml")));
    p.setPart(
        "xl/workbook.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:x15ac=\"http://schemas.microsoft.com/office/spreadsheetml/2010/11/ac\" mc:Ignorable=\"x15ac\">"
        "<fileVersion appName=\"xl\"/><workbookPr/>"
        "<mc:AlternateContent><mc:Choice Requires=\"x15ac\"><x15ac:absPath url=\"C:\\x\\\"/></mc:Choice>"
        "</mc:AlternateContent>"
        "<bookViews><workbookView activeTab=\"0\"/></bookViews>"
        "<sheets><sheet name=\"Dane\" sheetId=\"1\" r:id=\"rId1\"/>"
        "<sheet name=\"Wykres\" sheetId=\"3\" r:id=\"rId2\"/>"
        "<sheet name=\"Druga\" sheetId=\"2\" r:id=\"rId3\"/></sheets>"
        "<definedNames>"
        "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"2\">Druga!$A$1:$B$2</definedName>"
        "<definedName name=\"Lokalna\" localSheetId=\"1\">Dane!$A$1</definedName>"
        "<definedName name=\"Stawka\">Dane!$A$1</definedName>"
        "<definedName name=\"Podwojna\">Stawka*2</definedName>"
        "<definedName name=\"Obca\">[1]Arkusz!$A$1</definedName>"
        "<definedName name=\"ZObcej\">Obca+1</definedName>"
        "</definedNames><calcPr calcId=\"0\"/></workbook>");
    p.setPart("xl/_rels/workbook.xml.rels", rels(rel("rId1", "worksheet", "worksheets/sheet1.xml") +
                                                 rel("rId2", "chartsheet", "chartsheets/sheet1.xml") +
                                                 rel("rId3", "worksheet", "worksheets/sheet2.xml") +
                                                 rel("rId4", "sharedStrings", "sharedStrings.xml")));
    p.setPart(
        "xl/sharedStrings.xml",
        "<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>tekst</t></si><si><t>a_x0001_b_x005F_x0041_</t></si></sst>");
    p.setPart("xl" + sep + "worksheets" + sep + "sheet1.xml",
              "<?xml version=\"1.0\"?><worksheet "
              "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
              "xmlns:rel=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheetData>"
              "<row r=\"1\"><c r=\"A1\"><v>4</v></c><c r=\"B1\" t=\"s\"><v>0</v></c>"
              "<c r=\"C1\"><f t=\"dataTable\" ref=\"C1:C2\" dt2D=\"0\" dtr=\"0\" r1=\"A1\"/><v>11</v></c>"
              "<c r=\"D1\" t=\"s\"><v>1</v></c></row>"
              "<row r=\"2\"><c r=\"A2\" t=\"str\"><f>+B1</f><v>tekst</v></c><c r=\"C2\"><v>12</v></c></row>"
              "<row r=\"3\"><c r=\"A3\" t=\"b\"><f>+TRUE</f><v>1</v></c>"
              "<c r=\"C3\" t=\"d\"><v>2024-03-05</v></c></row>"
              "<row r=\"4\"><c r=\"A4\" t=\"e\"><f>AND(TRUE,\"0\",#REF!)</f><v>#REF!</v></c>"
              "<c r=\"C4\" t=\"d\"><v>2024-03-05T10:30:00</v></c></row>"
              "<row r=\"5\"><c r=\"A5\" t=\"b\"><f>AND(TRUE,B1)</f><v>1</v></c><c r=\"C5\" t=\"s\"/></row>"
              "<row r=\"6\"><c r=\"A6\" t=\"b\"><f>OR(\"TRUE\",FALSE)</f><v>1</v></c><c r=\"C6\" "
              "t=\"s\"><v/></c></row>"
              "<row r=\"7\"><c r=\"A7\" t=\"b\"><f>AND(TRUE,\"0\")</f><v>1</v></c></row>"
              "<row r=\"8\"><c r=\"A8\"><f>Podwojna</f><v>8</v></c></row>"
              "<row r=\"9\"><c r=\"A9\"><f>ZObcej</f><v>42</v></c></row>"
              "<row r=\"10\"><c r=\"A10\"><f>[1]Arkusz!A1</f><v>7</v></c></row>"
              "<row r=\"11\"><c r=\"A11\"><f>SUM(Druga!1:2)</f><v>6</v></c></row>"
              "<row r=\"12\"><c r=\"A12\"><f>SUM(Dane:Druga!A1)</f><v>5</v></c></row>"
              "<row r=\"13\"><c r=\"A13\"><f>SUM({1,2;3,4})</f><v>10</v></c></row>"
              "<row r=\"14\"><c r=\"A14\"><f>SUM(Tabela1[Kolumna])</f><v>99</v></c></row>"
              "</sheetData><mergeCells count=\"1\"><mergeCell ref=\"E:E\"/></mergeCells>"
              "<hyperlinks><hyperlink ref=\"B1\" rel:id=\"rId1\"/></hyperlinks></worksheet>");
    p.setPart("xl" + sep + "worksheets" + sep + "_rels" + sep + "sheet1.xml.rels",
              rels(rel("rId1", "hyperlink", "http://example.com/", true)));
    p.setPart("xl" + sep + "worksheets" + sep + "sheet2.xml",
              "<?xml version=\"1.0\"?><worksheet "
              "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
              "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>"
              "<row r=\"2\"><c r=\"A2\"><v>3</v></c></row></sheetData></worksheet>");
    p.setPart(
        "xl/chartsheets/sheet1.xml",
        "<?xml version=\"1.0\"?><chartsheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews><drawing r:id=\"rId1\"/></chartsheet>");
    p.setPart("xl/chartsheets/_rels/sheet1.xml.rels",
              rels(rel("rId1", "drawing", "../drawings/drawing1.xml")));
    p.setPart("xl/drawings/drawing1.xml",
              "<?xml version=\"1.0\"?><xdr:wsDr "
              "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\"/>");
    p.write(path);
}

class SheetForeign : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        in = dir.filePath("obcy.xlsx");
        out = dir.filePath("zapisany.xlsx");
        writeForeignWorkbook(in);
    }
    QTemporaryDir dir;
    QString in, out;
    Application app;
};

Value at(Workbook& b, int sheet, const char* address) {
    return b.worksheets(sheet).range(QString::fromLatin1(address)).value();
}

TEST_F(SheetForeign, EvaluatorAgreesWithTheValuesTheProgramComputed) {
    Workbook& b = app.workbooks().open(in);
    b.calculate();
    EXPECT_EQ(at(b, 1, "A2"), Value(QStringLiteral("tekst")));  // =+B1 of a text
    EXPECT_EQ(at(b, 1, "A3"), Value(true));                     // =+TRUE
    EXPECT_EQ(at(b, 1, "A4"), Value(ErrorCode::Ref));           // the error wins over "0"
    EXPECT_EQ(at(b, 1, "A5"), Value(true));                     // text in a reference is skipped
    EXPECT_EQ(at(b, 1, "A6"), Value(true));                     // "TRUE" as an argument is TRUE
    EXPECT_EQ(at(b, 1, "A7"), Value(true));   // a typed text that is no logical value is passed over
    EXPECT_EQ(at(b, 1, "A8"), Value(8.0));    // a name through a name
    EXPECT_EQ(at(b, 1, "A9"), Value(42.0));   // through a name to another workbook: the file's value
    EXPECT_EQ(at(b, 1, "A10"), Value(7.0));   // another workbook: the file's value
    EXPECT_EQ(at(b, 1, "A11"), Value(6.0));   // whole rows
    EXPECT_EQ(at(b, 1, "A12"), Value(5.0));   // a 3D reference over the worksheets
    EXPECT_EQ(at(b, 1, "A13"), Value(10.0));  // an array constant
    EXPECT_EQ(b.worksheets(1).range("A12").formula(), "=SUM(Dane:Druga!A1)");
    EXPECT_EQ(b.worksheets(1).range("A13").formula(), "=SUM({1,2;3,4})");
    // Changing the input recomputes them.
    b.worksheets(2).range("A1").setValue(Value(10.0));
    EXPECT_EQ(at(b, 1, "A11"), Value(15.0));
    EXPECT_EQ(at(b, 1, "A12"), Value(14.0));
    b.worksheets(1).range("A1").setValue(Value(5.0));
    EXPECT_EQ(at(b, 1, "A8"), Value(10.0));
}

TEST_F(SheetForeign, StructureSurvivesASave) {
    Workbook& b = app.workbooks().open(in);
    EXPECT_EQ(b.worksheetCount(), 2);
    Worksheet& dane = b.worksheets(1);
    EXPECT_EQ(dane.range("C3").value(), Value(45356.0));  // 2024-03-05
    EXPECT_EQ(dane.range("C4").value(), Value(45356.4375));
    EXPECT_TRUE(dane.range("C5").value().isEmpty());
    EXPECT_TRUE(dane.range("C6").value().isEmpty());
    EXPECT_EQ(dane.range("D1").value(), Value(QString("a\x01"
                                                      "b_x0041_")));
    // Local names follow the worksheets: the print area is the second worksheet's.
    for (const DefinedName& n : b.names())
        if (n.name == QLatin1String("_xlnm.Print_Area")) EXPECT_EQ(n.localSheet, 1);
    b.saveAs(out);

    const Package p = Package::read(out);
    const QByteArray wb = p.part("xl/workbook.xml");
    // Schema order around the markup-compatibility element.
    EXPECT_LT(wb.indexOf("mc:AlternateContent"), wb.indexOf("<bookViews"));
    EXPECT_LT(wb.indexOf("<sheets"), wb.indexOf("<definedNames"));
    EXPECT_LT(wb.indexOf("<definedNames"), wb.indexOf("<calcPr"));
    // The chart sheet keeps its tab between the worksheets; local names count every tab.
    EXPECT_LT(wb.indexOf("name=\"Dane\""), wb.indexOf("name=\"Wykres\""));
    EXPECT_LT(wb.indexOf("name=\"Wykres\""), wb.indexOf("name=\"Druga\""));
    EXPECT_TRUE(wb.contains("name=\"_xlnm.Print_Area\" localSheetId=\"2\""));
    EXPECT_TRUE(wb.contains("name=\"Lokalna\" localSheetId=\"1\""));

    const QByteArray sheet = p.part("xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains("<f t=\"dataTable\" ref=\"C1:C2\" dt2D=\"0\" dtr=\"0\" r1=\"A1\""));
    EXPECT_TRUE(sheet.contains("<c r=\"C1\"><f t=\"dataTable\"") || sheet.contains("<v>11</v>"));
    EXPECT_TRUE(sheet.contains("<c r=\"C3\" t=\"d\"><v>2024-03-05</v></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"C4\" t=\"d\"><v>2024-03-05T10:30:00</v></c>"));
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"E1:E1048576\""));
    EXPECT_TRUE(sheet.contains("rel:id=\"rId1\""));
    EXPECT_FALSE(sheet.contains(" r:id="));
    EXPECT_TRUE(p.part("xl/sharedStrings.xml").contains("a_x0001_b_x005F_x0041_"));

    // Read back by us: the same values, and a second save the same structure.
    auto& again = app.workbooks().open(out);
    EXPECT_EQ(again.worksheets(1).range("C4").value(), Value(45356.4375));
    EXPECT_EQ(again.worksheets(1).range("C1").value(), Value(11.0));
    EXPECT_EQ(again.worksheets(1).range("D1").value(), Value(QString("a\x01"
                                                                     "b_x0041_")));
}

TEST_F(SheetForeign, SavedFileIsWellFormedForNamespaceAwareReaders) {
    if (!QFile::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    app.workbooks().open(in).saveAs(out);
    QProcess p;
    p.start("/usr/bin/python3",
            {"-c",
             "import sys, zipfile, xml.etree.ElementTree as ET\n"
             "z = zipfile.ZipFile(sys.argv[1])\n"
             "for n in z.namelist():\n"
             "    if n.endswith('.xml') or n.endswith('.rels'): ET.fromstring(z.read(n))\n"
             "main = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'\n"
             "rid = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id'\n"
             "sheet = ET.fromstring(z.read('xl/worksheets/sheet1.xml'))\n"
             "link = sheet.find(main + 'hyperlinks/' + main + 'hyperlink').get(rid)\n"
             "rels = ET.fromstring(z.read('xl/worksheets/_rels/sheet1.xml.rels'))\n"
             "target = [r.get('Target') for r in rels if r.get('Id') == link][0]\n"
             "merge = sheet.find(main + 'mergeCells/' + main + 'mergeCell').get('ref')\n"
             "import openpyxl\n"
             "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
             "print(wb.sheetnames)\n"
             "print(wb['Dane']['C3'].value, target, merge)\n",
             out});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    if (err.contains("No module named 'openpyxl'")) GTEST_SKIP() << "python3-openpyxl is not installed";
    ASSERT_EQ(p.exitCode(), 0) << err.toStdString();
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    EXPECT_EQ(lines.value(0), "['Dane', 'Wykres', 'Druga']");
    EXPECT_EQ(lines.value(1), "2024-03-05 http://example.com/ E1:E1048576");
}

TEST_F(SheetForeign, ZipEntriesWithBackslashesAreRead) {
    writeForeignWorkbook(in, true);
    Workbook& b = app.workbooks().open(in);
    EXPECT_EQ(b.worksheetCount(), 2);
    EXPECT_EQ(at(b, 2, "B1"), Value(2.0));
    b.saveAs(out);
    const Package p = Package::read(out);
    EXPECT_TRUE(p.contains("xl/worksheets/sheet1.xml"));
    for (const auto& [name, data] : p.parts()) EXPECT_FALSE(name.contains('\\')) << name.toStdString();
}

// Found by fuzzing: a zip entry whose header declares far more than it holds made the reader
// allocate the declared size before reading. It is now refused as soon as the data runs out.
TEST_F(SheetForeign, AZipEntryDeclaringMoreThanItHoldsIsRefusedAtOnce) {
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray zip = f.readAll();
    f.close();
    const QByteArray name = "xl/workbook.xml";
    int patched = 0;
    // Uncompressed size: offset 22 of the local header, 24 of the central directory entry.
    for (const auto& [signature, sizeAt, nameAt] :
         {std::tuple{QByteArray("PK\x03\x04", 4), 22, 30}, std::tuple{QByteArray("PK\x01\x02", 4), 24, 46}}) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4)) {
            if (zip.mid(at + nameAt, name.size()) != name) continue;
            const quint32 huge = 200u << 20;
            for (int k = 0; k < 4; ++k) zip[at + sizeAt + k] = char((huge >> (8 * k)) & 0xFF);
            ++patched;
        }
    }
    ASSERT_EQ(patched, 2);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(zip);
    f.close();
    QElapsedTimer t;
    t.start();
    EXPECT_THROW(app.workbooks().open(in), FileError);
    EXPECT_LT(t.elapsed(), 2000);
}

TEST_F(SheetForeign, XlsxcalcNamesTheCellsItDidNotRecompute) {
    QProcess p;
    p.start(QStringLiteral(SUITE_XLSXCALC), {in});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString stdoutText = QString::fromUtf8(p.readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(p.readAllStandardError());
    // The structured reference keeps the file's value, marked as such; computed cells are not.
    EXPECT_TRUE(stdoutText.contains("1\tA14\t99\tnie przeliczono")) << stdoutText.toStdString();
    EXPECT_TRUE(stdoutText.contains("1\tA8\t8\n"));
    EXPECT_TRUE(stdoutText.contains("1\tA12\t5\n"));
    EXPECT_TRUE(stdoutText.contains("1\tA13\t10\n"));
    EXPECT_TRUE(stderrText.contains("Dane!A14")) << stderrText.toStdString();
    EXPECT_FALSE(stderrText.contains("Dane!A8"));

    // A shared formula's member whose master is missing keeps the file's value, marked and listed
    // as not computed; cells on a circular reference hold #REF!, marked and listed as such.
    Package pkg = Package::read(in);
    pkg.setPart("xl/worksheets/sheet2.xml",
              "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
              "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>"
              "<row r=\"2\"><c r=\"A2\"><v>3</v></c></row>"
              "<row r=\"4\"><c r=\"A4\"><f t=\"shared\" si=\"5\"/><v>77</v></c>"
              "<c r=\"B4\"><f>C4+1</f><v>1</v></c><c r=\"C4\"><f>B4*2</f><v>2</v></c>"
              "<c r=\"D4\"><f>A1+1</f><v>9</v></c></row></sheetData></worksheet>");
    const QString second = dir.filePath("druga.xlsx");
    pkg.write(second);
    QProcess again;
    again.start(QStringLiteral(SUITE_XLSXCALC), {second});
    ASSERT_TRUE(again.waitForFinished(60000));
    const QString lines = QString::fromUtf8(again.readAllStandardOutput());
    const QString listed = QString::fromUtf8(again.readAllStandardError());
    EXPECT_TRUE(lines.contains("2\tA4\t77\tnie przeliczono\n")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("2\tB4\t#REF!\todwołanie cykliczne\n")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("2\tC4\t#REF!\todwołanie cykliczne\n")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("2\tD4\t2\n")) << lines.toStdString();
    EXPECT_TRUE(listed.contains("nie przeliczono 5 komórek (wartości z pliku): Dane!C1, Dane!A9, Dane!A10, "
                                "Dane!A14, Druga!A4\n"))
        << listed.toStdString();
    EXPECT_TRUE(listed.contains("odwołanie cykliczne w 2 komórkach (#REF!): Druga!B4, Druga!C4"))
        << listed.toStdString();
    EXPECT_FALSE(listed.contains("Druga!D4")) << listed.toStdString();
}

}  // namespace
