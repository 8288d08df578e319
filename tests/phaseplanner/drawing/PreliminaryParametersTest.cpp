// The green lengths written into the preliminary-parameters sheet of a workbook built here: greens
// with and without length, more than four greens, groups the list does not know, a sheet without the
// marker; the saved file is read back by our reader and by openpyxl.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "phaseplanner/drawing/PreliminaryParameters.h"
#include "platform/sheet/Application.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace phaseplanner::test {
namespace {

class PreliminaryParametersTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        automation::test::EnsureCoreApplication();
        automation::test::ResetAutomationState();
        book = &app.workbooks().add();
        while (book->worksheetCount() < 3) book->addWorksheet();
        book->worksheets(2).setName(QStringLiteral("MATRYCA KOLIZJI 1"));
        book->worksheets(3).setName(QStringLiteral("Parametry"));
        book->setBuiltinDocumentProperty(QStringLiteral("Subject"), QStringLiteral("wersja 2.6"));
        book->worksheets(3).cells(1, 1).setValue(sheet::Value(QStringLiteral(" Parametry wstępne ")));
        const QStringList list{"K1, K2", "P1", "K3", "T1"};
        sheet::Worksheet& ws = book->worksheets(2);
        ws.cells(7, 15).setValue(sheet::Value(QStringLiteral("Gr")));
        for (int i = 0; i < list.size(); ++i) {
            ws.cells(8 + i, 1).setValue(sheet::Value(list[i]));
            ws.cells(8 + i, 15).setValue(sheet::Value(i + 1));
            ws.cells(8 + i, 16).setValue(sheet::Value(list[i]));
        }
    }
    void TearDown() override {
        automation::test::ResetAutomationState();
        EditorTest::TearDown();
    }
    sheet::Value at(int row, int column) { return book->worksheets(3).cells(row, column).value(); }

    sheet::Application app;
    sheet::Workbook* book = nullptr;
    ui::ScriptedPrompts prompts;
};

TEST_F(PreliminaryParametersTest, WritesTheFirstFourGreensThatHaveALength) {
    // Stale values from an earlier write are cleared where a group now has fewer greens.
    for (int c : {3, 5, 7, 9}) book->worksheets(3).cells(4, c).setValue(sheet::Value(99));
    GroupRecord deleted = Group(KindVehicle, QStringLiteral("K3"), {{0, 30}});
    deleted.Defined = false;
    GroupTable = {
        Group(KindVehicle, QStringLiteral(" k1, k2 "), {{0, 12}, {20, 0}, {30, 20}}),
        Group(KindPedestrian, QStringLiteral("P1"), {{0, 5}, {10, 6}, {20, 7}, {30, 8}, {40, 9}}), deleted,
        Group(KindVehicle, QStringLiteral("K9"), {{0, 10}}),
        Group(KindTramOrArrow, QStringLiteral("T1"), {{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 15}})};

    EXPECT_EQ(WritePreliminaryParameters(*book), 3);
    EXPECT_EQ(at(4, 3).number(), 12);
    EXPECT_EQ(at(4, 5).number(), 20);
    EXPECT_TRUE(at(4, 7).isEmpty());
    EXPECT_TRUE(at(4, 9).isEmpty());
    EXPECT_EQ(at(5, 3).number(), 5);
    EXPECT_EQ(at(5, 9).number(), 8);  // the fifth green is never written
    EXPECT_TRUE(at(6, 3).isEmpty());  // the deleted group and the unknown K9 write nothing
    EXPECT_TRUE(at(7, 3).isEmpty());  // the fifth green of T1 is beyond the four
    EXPECT_EQ(prompts.unexpected(), 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("czasy.xlsx"));
    book->saveAs(path);

    sheet::Application other;
    sheet::Workbook& back = other.workbooks().open(path);
    EXPECT_EQ(back.worksheets(3).cells(4, 5).value().number(), 20);
    EXPECT_TRUE(back.worksheets(3).cells(4, 7).value().isEmpty());

    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(SUITE_TEST_DATA "/phaseplanner/read_preliminary_parameters.py"), path});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_EQ(o.value("marker").toString(), QStringLiteral(" Parametry wstępne "));
    const QJsonObject rows = o.value("rows").toObject();
    EXPECT_EQ(rows.keys(), (QStringList{"4", "5"}));
    EXPECT_EQ(rows.value("4").toArray(), (QJsonArray{12, 20, QJsonValue(), QJsonValue()}));
    EXPECT_EQ(rows.value("5").toArray(), (QJsonArray{5, 6, 7, 8}));
}

TEST_F(PreliminaryParametersTest, LeavesAWorkbookWithoutTheMarkerOrGroupListUntouched) {
    GroupTable = {Group(KindVehicle, QStringLiteral("K1, K2"), {{0, 12}})};
    book->worksheets(3).cells(1, 1).setValue(sheet::Value(QStringLiteral("Inne dane")));
    EXPECT_FALSE(HasPreliminaryParametersSheet(*book));
    EXPECT_EQ(WritePreliminaryParameters(*book), -1);
    EXPECT_TRUE(at(4, 3).isEmpty());

    book->worksheets(3).cells(1, 1).setValue(sheet::Value(QStringLiteral("PARAMETRY WSTĘPNE")));
    book->worksheets(2).cells(7, 15).setValue(sheet::Value(QStringLiteral("x")));  // no group list
    EXPECT_EQ(WritePreliminaryParameters(*book), -1);
    EXPECT_TRUE(at(4, 3).isEmpty());

    sheet::Application other;
    sheet::Workbook& two = other.workbooks().add();
    EXPECT_EQ(WritePreliminaryParameters(two), -1);  // no third worksheet
}

}  // namespace
}  // namespace phaseplanner::test
