// Files made by the tests and read back: a drawing with the crossing links of two intersections saved
// as DXF, and intergreen workbooks with the group list in both layouts saved as .xlsx. Each file is
// read back through our layers and, independently, by Debian's ezdxf or openpyxl.
#include "CadFixture.h"

#include "platform/sheet/Application.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace automation::test {
namespace {

const QString SystemPython = QStringLiteral("/usr/bin/python3");

// Runs a Python snippet with the file as its argument; gives its standard output parsed as JSON.
QJsonDocument runPython(const QString& script, const QString& file) {
    QProcess p;
    p.start(SystemPython, {QStringLiteral("-c"), script, file});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "python failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput());
}

class AutomationSampleDrawing : public CadFixture {
protected:
    void addLink(const QString& intersection, const QString& inner, const QString& outer,
                 const QString& crossing, const QString& island, const QString& total, double x) {
        const QString name = MakeUniqueBlockName(intersection + QStringLiteral("^POWIAZANIE_"));
        cad::Block b = CadDocument.blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{0, 0, 0}, cad::Point{0, 5000, 0});
        AddAttributeDefinition(b, QStringLiteral("DLUGOSC_WYSPY"), island, 0, 0);
        AddAttributeDefinition(b, QStringLiteral("DLUGOSC_PRZEJSC"), crossing, 0, 0);
        AddAttributeDefinition(b, QStringLiteral("DLUGOSC_CALKOWITA"), total, 0, 0);
        AddAttributeDefinition(b, QStringLiteral("STRUMIENIE_OD_SRODKA"), inner, 0, 0);
        AddAttributeDefinition(b, QStringLiteral("STRUMIENIE_ZEWN"), outer, 0, 0);
        cad::Entity ref = insert(name, QStringLiteral("402-POWIAZANIA_PRZEJSC"), x, 0);
        ref.setColor(256);
    }
    QTemporaryDir dir;
};

TEST_F(AutomationSampleDrawing, CrossingLinksOfTwoIntersectionsSurviveADxfRoundTrip) {
    ASSERT_TRUE(dir.isValid());
    EnsureLayer(QStringLiteral("402-POWIAZANIA_PRZEJSC"), true, 4, 30);
    SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
    addLink(QStringLiteral("12"), QStringLiteral("P1:P2"), QStringLiteral("P3"), QStringLiteral("14.2"),
            QStringLiteral("2.5"), QStringLiteral("16.7"), 0);
    addLink(QStringLiteral("7"), QStringLiteral("R1"), QStringLiteral("R2:P4"), QStringLiteral("9.0"),
            QStringLiteral("0.0"), QStringLiteral("9.0"), 10000);
    addLink(QStringLiteral("12"), QStringLiteral("P5"), QStringLiteral("P6"), QStringLiteral("11.0"),
            QStringLiteral("0.0"), QStringLiteral("11.0"), 20000);
    addLink(QStringLiteral("12"), QStringLiteral("P7"), QString(), QStringLiteral("1.0"),
            QStringLiteral("0.0"), QStringLiteral("1.0"), 30000);  // incomplete: never read
    const QString path = dir.filePath(QStringLiteral("powiazania.dxf"));
    CadDocument.saveAs(path);
    CadDocument.close();
    ASSERT_FALSE(CheckDocumentOpen(false));

    CadApplication.documents().open(path);
    ASSERT_TRUE(CheckDocumentOpen(false));
    EXPECT_EQ(GetDrawingScale(), 500);

    ReadCrossingLinks(QStringLiteral("12"));
    ASSERT_EQ(CrossingLinkTable.size(), 2);
    EXPECT_EQ(CrossingLinkTable[0].InnerStreams, QStringLiteral("P1:P2"));
    EXPECT_EQ(CrossingLinkTable[0].OuterStreams, QStringLiteral("P3"));
    EXPECT_EQ(CrossingLinkTable[0].CrossingLength, QStringLiteral("14.2"));
    EXPECT_EQ(CrossingLinkTable[0].IslandLength, QStringLiteral("2.5"));
    EXPECT_EQ(CrossingLinkTable[0].TotalLength, QStringLiteral("16.7"));
    EXPECT_EQ(CrossingLinkTable[1].InnerStreams, QStringLiteral("P5"));
    for (const CrossingLinkRecord& r : CrossingLinkTable)
        EXPECT_TRUE(CadDocument.handleToObject(r.Handle).name().startsWith(QStringLiteral("12^POWIAZANIE_")));
    const QString firstHandle = CrossingLinkTable[0].Handle;

    ReadCrossingLinks(QStringLiteral("7"));
    ASSERT_EQ(CrossingLinkTable.size(), 1);
    EXPECT_EQ(CrossingLinkTable[0].OuterStreams, QStringLiteral("R2:P4"));
    EXPECT_EQ(CrossingLinkTable[0].TotalLength, QStringLiteral("9.0"));

    // Another drawing's property, read without opening it in the CAD.
    CadApplication.documents().add();
    ASSERT_TRUE(CheckDocumentOpen(false));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("SKALA")), QString());
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("SKALA"), path), QStringLiteral("500"));

    // Read independently: every link reference with its attributes and its handle.
    const QJsonDocument json = runPython(QStringLiteral(R"(
import ezdxf, json, sys
doc = ezdxf.readfile(sys.argv[1])
out = []
for ref in doc.modelspace().query('INSERT'):
    out.append({'name': ref.dxf.name, 'layer': ref.dxf.layer, 'handle': ref.dxf.handle,
                'attribs': {a.dxf.tag: a.dxf.text for a in ref.attribs}})
print(json.dumps({'refs': out}))
)"),
                                         path);
    const QJsonArray refs = json.object().value(QStringLiteral("refs")).toArray();
    ASSERT_EQ(refs.size(), 4);
    int twelve = 0;
    for (const QJsonValue& v : refs) {
        const QJsonObject o = v.toObject();
        EXPECT_EQ(o.value(QStringLiteral("layer")).toString(), QStringLiteral("402-POWIAZANIA_PRZEJSC"));
        if (o.value(QStringLiteral("name")).toString().startsWith(QStringLiteral("12^POWIAZANIE_"))) ++twelve;
        if (o.value(QStringLiteral("handle")).toString().compare(firstHandle, Qt::CaseInsensitive) == 0) {
            EXPECT_EQ(o.value(QStringLiteral("attribs"))
                          .toObject()
                          .value(QStringLiteral("STRUMIENIE_OD_SRODKA"))
                          .toString(),
                      QStringLiteral("P1:P2"));
        }
    }
    EXPECT_EQ(twelve, 3);
}

class AutomationSampleWorkbook : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        ResetAutomationState();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { ResetAutomationState(); }

    // An intergreen workbook as the template lays out its group list; saved, then closed.
    QString makeWorkbook(const QString& fileName, const QString& subject, int header,
                         const QStringList& texts) {
        sheet::Application app;
        sheet::Workbook& wb = app.workbooks().add();
        while (wb.worksheetCount() < 3) wb.addWorksheet();
        wb.setBuiltinDocumentProperty(QStringLiteral("Subject"), subject);
        sheet::Worksheet& ws = wb.worksheets(2);
        ws.cells(header, 1).setValue(sheet::Value(QStringLiteral("Lp.")));
        ws.cells(header, 15).setValue(sheet::Value(QStringLiteral("Gr")));
        ws.cells(header, 16).setValue(sheet::Value(QStringLiteral("Strumienie")));
        for (int i = 0; i < texts.size(); ++i) {
            ws.cells(header + 1 + i, 1).setValue(sheet::Value(QStringLiteral("%1K").arg(i + 1)));
            ws.cells(header + 1 + i, 15).setValue(sheet::Value(i + 1));
            ws.cells(header + 1 + i, 16).setValue(sheet::Value(texts[i]));
        }
        const QString path = dir.filePath(fileName);
        wb.saveAs(path);
        wb.close();
        return path;
    }
    // Reads the group list of a saved workbook through the workbook engine.
    int readBack(const QString& path, int& column) {
        sheet::Application app;
        sheet::Workbook& wb = app.workbooks().open(path);
        return ReadGroupHeadList(wb.worksheets(2), column, false, QStringLiteral("Test"), wb);
    }

    QTemporaryDir dir;
    ui::ScriptedPrompts prompts;
};

TEST_F(AutomationSampleWorkbook, GroupListInBothLayoutsReadBackFromFiles) {
    const QStringList groups{QStringLiteral("K1, K2"), QStringLiteral("P3"), QStringLiteral("T4"),
                             QStringLiteral("R5, P5")};
    const QString newer = makeWorkbook(QStringLiteral("nowy.xlsx"), QStringLiteral("wersja 2.6"), 7, groups);
    const QString older =
        makeWorkbook(QStringLiteral("stary.xlsx"), QStringLiteral("wersja 2.5"), 6, groups.mid(0, 3));

    int column = 14;
    EXPECT_EQ(readBack(newer, column), 4);
    EXPECT_EQ(column, 16);
    EXPECT_EQ(WorkbookHeaderRow, 7);
    EXPECT_TRUE(WorkbookNewLayout);
    EXPECT_EQ(GroupHeadTexts, groups);

    column = 14;
    EXPECT_EQ(readBack(older, column), 3);
    EXPECT_EQ(column, 16);
    EXPECT_EQ(WorkbookHeaderRow, 6);
    EXPECT_FALSE(WorkbookNewLayout);
    EXPECT_EQ(GroupHeadTexts, groups.mid(0, 3));
    EXPECT_TRUE(prompts.asked().empty());

    // The same cells and the same Subject seen by an independent reader.
    const QString script = QStringLiteral(R"(
import openpyxl, json, sys
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[1]
rows = [[ws.cell(r, 1).value, ws.cell(r, 15).value, ws.cell(r, 16).value] for r in range(6, 12)]
print(json.dumps({'subject': wb.properties.subject, 'rows': rows}))
)");
    const QJsonObject n = runPython(script, newer).object();
    EXPECT_EQ(n.value(QStringLiteral("subject")).toString(), QStringLiteral("wersja 2.6"));
    const QJsonArray nr = n.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(nr.size(), 6);
    EXPECT_EQ(nr[1].toArray()[1].toString(), QStringLiteral("Gr"));  // row 7
    EXPECT_EQ(nr[2].toArray()[2].toString(), QStringLiteral("K1, K2"));
    EXPECT_EQ(nr[5].toArray()[2].toString(), QStringLiteral("R5, P5"));
    const QJsonObject o = runPython(script, older).object();
    EXPECT_EQ(o.value(QStringLiteral("subject")).toString(), QStringLiteral("wersja 2.5"));
    const QJsonArray orows = o.value(QStringLiteral("rows")).toArray();
    EXPECT_EQ(orows[0].toArray()[1].toString(), QStringLiteral("Gr"));  // row 6
    EXPECT_TRUE(orows[4].toArray()[0].isNull());                        // row 10: below the three groups
}

}  // namespace
}  // namespace automation::test
