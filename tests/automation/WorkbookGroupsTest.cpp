// The workbook's layout version and its group list.
#include "CadFixture.h"

#include "platform/sheet/Application.h"

namespace automation::test {
namespace {

class AutomationWorkbook : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        ResetAutomationState();
        book = &app.workbooks().add();
        while (book->worksheetCount() < 2) book->addWorksheet();
    }
    void TearDown() override { ResetAutomationState(); }

    int layoutFor(const QString& subject) {
        book->setBuiltinDocumentProperty(QStringLiteral("Subject"), subject);
        return DetectWorkbookLayout(*book);
    }
    // The group list as the template lays it out: header in `header`, "Gr" in `grColumn`, groups below.
    void fillGroups(int header, int grColumn, const QStringList& texts,
                    const QString& grText = QStringLiteral("Gr")) {
        sheet::Worksheet& ws = book->worksheets(2);
        ws.cells(header, 1).setValue(sheet::Value(QStringLiteral("Lp")));
        ws.cells(header, grColumn).setValue(sheet::Value(grText));
        ws.cells(header, grColumn + 1).setValue(sheet::Value(QStringLiteral("Nazwy")));
        for (int i = 0; i < texts.size(); ++i) {
            ws.cells(header + 1 + i, 1).setValue(sheet::Value(i + 1));
            ws.cells(header + 1 + i, grColumn).setValue(sheet::Value(i + 1));
            ws.cells(header + 1 + i, grColumn + 1).setValue(sheet::Value(texts[i]));
        }
    }

    sheet::Application app;
    sheet::Workbook* book = nullptr;
    ui::ScriptedPrompts prompts;
};

TEST_F(AutomationWorkbook, LayoutVersionFromTheSubject) {
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2.6")), 7);
    EXPECT_TRUE(WorkbookNewLayout);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2,5")), 6);
    EXPECT_FALSE(WorkbookNewLayout);
    EXPECT_EQ(layoutFor(QStringLiteral("Wersja 3")), 6);
    EXPECT_EQ(layoutFor(QString()), 6);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 3")), 7);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2,7")), 7);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja2.6")), 6);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja x")), 6);
}

TEST_F(AutomationWorkbook, MajorAndMinorCompareAsWholeNumbers) {
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2.10")), 7);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2.5.9")), 6);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 10.0")), 7);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 1.9")), 6);
}

TEST_F(AutomationWorkbook, TheFlagIsSetAfreshForEachWorkbook) {
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2.6")), 7);
    EXPECT_EQ(layoutFor(QStringLiteral("wersja 2.0")), 6);
    EXPECT_FALSE(WorkbookNewLayout);
}

TEST_F(AutomationWorkbook, GroupListOfTheNewLayout) {
    book->setBuiltinDocumentProperty(QStringLiteral("Subject"), QStringLiteral("wersja 2.6"));
    QStringList texts;
    for (int i = 1; i <= 8; ++i) texts << QStringLiteral("K%1, P%1").arg(i);
    fillGroups(7, 18, texts);  // "Gr" four columns right of the start column 14
    int column = 14;
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, false, QStringLiteral("Tytuł"), *book), 8);
    EXPECT_EQ(column, 19);
    EXPECT_EQ(WorkbookHeaderRow, 7);
    EXPECT_EQ(GroupHeadTexts, texts);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(AutomationWorkbook, GroupListOfTheOldLayoutStartsOneRowHigher) {
    fillGroups(6, 15, {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P3")});
    int column = 14;
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, true, QString(), *book), 3);
    EXPECT_EQ(WorkbookHeaderRow, 6);
    EXPECT_EQ(column, 16);
    EXPECT_EQ(GroupHeadTexts,
              (QStringList{QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("P3")}));
}

TEST_F(AutomationWorkbook, HeaderMustReadGrExactlyFromTheStartOnToTheLastUsedColumn) {
    fillGroups(6, 15, {QStringLiteral("K1"), QStringLiteral("K2")}, QStringLiteral("GR"));
    int column = 14;
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, false, QString(), *book), 2);
    EXPECT_EQ(column, 0);
    book->worksheets(2).cells(6, 15).setValue(sheet::Value(QStringLiteral("Gr")));
    column = 16;  // starts right of it
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, false, QString(), *book), 2);
    EXPECT_EQ(column, 0);
    // Past the first 50 columns from N (BK, 63), where a workbook of 60 groups has its list.
    book->worksheets(2).cells(6, 64).setValue(sheet::Value(QStringLiteral("Gr")));
    book->worksheets(2).cells(7, 65).setValue(sheet::Value(QStringLiteral("K1")));
    book->worksheets(2).cells(8, 65).setValue(sheet::Value(QStringLiteral("K2")));
    column = 14;
    book->worksheets(2).cells(6, 15).setValue(sheet::Value(QStringLiteral("x")));
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, false, QString(), *book), 2);
    EXPECT_EQ(column, 65);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(AutomationWorkbook, ABlankGroupTextGivesZeroAndTheMessageUnlessQuiet) {
    fillGroups(6, 15, {QStringLiteral("K1"), QStringLiteral("   "), QStringLiteral("K3")});
    int column = 14;
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, true, QStringLiteral("Eksport"), *book), 0);
    EXPECT_TRUE(prompts.asked().empty());
    column = 14;
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, false, QStringLiteral("Eksport"), *book), 0);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text,
              QStringLiteral(
                  "Błąd w danych arkusza Excel!\nPuste pole w kolumnie \"Wykaz grupa - sygnalizator\"!"));
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Eksport"));
    EXPECT_EQ(ui::IconOf(prompts.asked()[0].flags), int(ui::Critical));
    // One entry per group row; those from the empty field on stay empty.
    EXPECT_EQ(GroupHeadTexts, (QStringList{QStringLiteral("K1"), QString(), QString()}));
}

TEST_F(AutomationWorkbook, NoGroupRowsWithTheHeaderFoundLeavesTheListEmpty) {
    fillGroups(6, 15, {});
    GroupHeadTexts = {QStringLiteral("z poprzedniego skoroszytu")};
    int column = 14;
    EXPECT_EQ(ReadGroupHeadList(book->worksheets(2), column, false, QString(), *book), 0);
    EXPECT_EQ(column, 16);
    EXPECT_TRUE(GroupHeadTexts.isEmpty());
}

}  // namespace
}  // namespace automation::test
