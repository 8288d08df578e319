// Drawing custom properties, the drawing scale and the legacy drawing attribute block.
#include "CadFixture.h"

#include <QTemporaryDir>

namespace automation::test {
namespace {

class AutomationProperties : public CadFixture {
protected:
    cad::SummaryInfo info() { return CadDocument.summaryInfo(); }
    int scaleFor(const QString& text) {
        SetDrawingProperty(QStringLiteral("SKALA"), text);
        return GetDrawingScale();
    }
};

TEST_F(AutomationProperties, ReadingAnAbsentKeyGivesEmptyText) {
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("SKALA")), QString());
    info().addCustomInfo(QStringLiteral("OSTULICA"), QStringLiteral("Rondo Wschodnie"));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("OSTULICA")), QStringLiteral("Rondo Wschodnie"));
}

TEST_F(AutomationProperties, WritingAddsOnceThenReplaces) {
    SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("1"));
    EXPECT_EQ(info().numCustomInfo(), 1);
    SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
    EXPECT_EQ(info().numCustomInfo(), 1);
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU")), QStringLiteral("4"));
    // An empty key only fetches the summary object; a failure reaches the caller, or reads as
    // false in the quiet form.
    SetDrawingProperty(QString(), QStringLiteral("x"));
    EXPECT_EQ(info().numCustomInfo(), 1);
    CadDocument.close();
    EXPECT_THROW(SetDrawingProperty(QStringLiteral("A"), QStringLiteral("b"), true), cad::Error);
    EXPECT_FALSE(TrySetDrawingProperty(QStringLiteral("A"), QStringLiteral("b"), true));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU")), QString());
}

TEST_F(AutomationProperties, DrawingScaleIsAWholeNumberOfAtLeastOneOrOne) {
    EXPECT_EQ(GetDrawingScale(), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("500")), 500);
    EXPECT_EQ(scaleFor(QStringLiteral(" 250 ")), 250);
    EXPECT_EQ(scaleFor(QStringLiteral("0")), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("2,5")), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("2.5")), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("-500")), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("abc")), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("500abc")), 1);
    EXPECT_EQ(scaleFor(QString()), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("40000")), 1);
    EXPECT_EQ(scaleFor(QStringLiteral("1000")), 1000);

    // Every value but an absent one and a whole number from 1 to 32767 is refused, naming what the
    // drawing holds; the commands stop on it instead of taking 1.
    for (const char* found : {"nan", "1e308", "-0", "abc", "0x3E8", "32768", "-5", "0", "2,5"}) {
        SetDrawingProperty(QStringLiteral("SKALA"), QString::fromLatin1(found));
        const DrawingScaleReading r = ReadDrawingScale();
        EXPECT_FALSE(r.Readable) << found;
        EXPECT_EQ(r.Value, 1) << found;
        EXPECT_EQ(r.Found, QString::fromLatin1(found));
        DrawingScale = 7;
        prompts.clear();
        EXPECT_FALSE(LoadDrawingScale(QStringLiteral("Test"))) << found;
        EXPECT_EQ(DrawingScale, 1);
        ASSERT_EQ(prompts.messageTexts().size(), 1);
        EXPECT_EQ(prompts.messageTexts()[0], DrawingScaleProblem(r));
        EXPECT_TRUE(prompts.messageTexts()[0].contains(
            QStringLiteral("ma wartość SKALA \"%1\", która nie jest liczbą całkowitą od 1 do 32767")
                .arg(QString::fromLatin1(found))))
            << prompts.messageTexts()[0].toStdString();
    }
    SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("32767"));
    prompts.clear();
    EXPECT_TRUE(LoadDrawingScale(QStringLiteral("Test")));
    EXPECT_EQ(DrawingScale, 32767);
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(AutomationProperties, LinetypeScaleIsATenthOfTheDrawingScale) {
    DrawingScale = 500;
    SetLinetypeScale();
    EXPECT_DOUBLE_EQ(CadDocument.getVariable(QStringLiteral("LTSCALE")).toDouble(), 50.0);
    DrawingScale = scaleFor(QStringLiteral("-200"));
    SetLinetypeScale();
    EXPECT_DOUBLE_EQ(CadDocument.getVariable(QStringLiteral("LTSCALE")).toDouble(), 0.1);
}

TEST_F(AutomationProperties, CacheHoldsTheGroupAndPhaseEntriesFirst) {
    info().addCustomInfo(QStringLiteral("SKALA"), QStringLiteral("500"));
    info().addCustomInfo(QStringLiteral("GRUPA_1"), QStringLiteral("K1"));
    info().addCustomInfo(QStringLiteral("grupa_2"), QStringLiteral("K2"));
    info().addCustomInfo(QStringLiteral("FAZA_2"), QStringLiteral("1,2"));
    EXPECT_EQ(GetDrawingProperty(QString()), QString());
    ASSERT_EQ(CustomPropertyCache.size(), 2);
    EXPECT_EQ(CustomPropertyCache[0].Key, QStringLiteral("GRUPA_1"));
    EXPECT_EQ(CustomPropertyCache[0].Value, QStringLiteral("K1"));
    EXPECT_EQ(CustomPropertyCache[1].Key, QStringLiteral("FAZA_2"));
    EXPECT_EQ(CustomPropertyCache[1].Value, QStringLiteral("1,2"));
}

TEST_F(AutomationProperties, CacheIsNeverWithoutElements) {
    GetDrawingProperty(QString());
    ASSERT_EQ(CustomPropertyCache.size(), 1);
    EXPECT_TRUE(CustomPropertyCache[0].Key.isEmpty());
    info().addCustomInfo(QStringLiteral("SKALA"), QStringLiteral("500"));
    info().addCustomInfo(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
    GetDrawingProperty(QString());
    ASSERT_EQ(CustomPropertyCache.size(), 2);
    EXPECT_TRUE(CustomPropertyCache[0].Key.isEmpty() && CustomPropertyCache[1].Key.isEmpty());
}

TEST_F(AutomationProperties, LegacyAttributeBlockBecomesCustomPropertiesAndGoes) {
    EXPECT_TRUE(MigrateDrawingAttributeBlock());  // nothing to do
    defineBlock(QStringLiteral("ATRYBUTY_RYSUNKU"), {{QStringLiteral("DLUG_CYKLU"), QStringLiteral("90")},
                                                     {QStringLiteral("SKALA"), QStringLiteral("250")}});
    SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
    EXPECT_TRUE(MigrateDrawingAttributeBlock());
    EXPECT_FALSE(CheckBlockExists(QStringLiteral("ATRYBUTY_RYSUNKU")));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("DLUG_CYKLU")), QStringLiteral("90"));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("SKALA")), QStringLiteral("250"));
}

TEST_F(AutomationProperties, AReferencedLegacyBlockGoesAfterItsReferences) {
    defineBlock(QStringLiteral("ATRYBUTY_RYSUNKU"),
                {{QStringLiteral("EXCEL_NAME"), QStringLiteral("Czasy.xlsx")}});
    CadDocument.layers().add(QStringLiteral("002-OPISY"));
    insert(QStringLiteral("ATRYBUTY_RYSUNKU"), QStringLiteral("002-OPISY"));
    insert(QStringLiteral("ATRYBUTY_RYSUNKU"));
    EXPECT_TRUE(MigrateDrawingAttributeBlock());
    EXPECT_FALSE(CheckBlockExists(QStringLiteral("ATRYBUTY_RYSUNKU")));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("EXCEL_NAME")), QStringLiteral("Czasy.xlsx"));
    EXPECT_EQ(countSets(), 0);
}

TEST_F(AutomationProperties, ALegacyBlockThatCannotGoIsLeftWithoutRaising) {
    defineBlock(QStringLiteral("ATRYBUTY_RYSUNKU"),
                {{QStringLiteral("NR_SKRZYZOWANIA"), QStringLiteral("7")}});
    // Referenced from inside another block: no selection of the drawing reaches it.
    cad::Block holder = CadDocument.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("OPAKOWANIE"));
    holder.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("ATRYBUTY_RYSUNKU"), 1, 1, 1, 0);
    bool removed = true;
    EXPECT_NO_THROW(removed = MigrateDrawingAttributeBlock());
    EXPECT_FALSE(removed);
    EXPECT_TRUE(CheckBlockExists(QStringLiteral("ATRYBUTY_RYSUNKU")));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("NR_SKRZYZOWANIA")), QStringLiteral("7"));
    // Start-up goes on and marks the drawing's version.
    SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("1"));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU")), QStringLiteral("1"));
}

TEST_F(AutomationProperties, AnotherDrawingsPropertyIsReadWithoutKeepingThatDrawingInTheCad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SetDrawingProperty(QStringLiteral("OSTULICA"), QStringLiteral("Złota"));
    const QString path = dir.filePath(QStringLiteral("inny.dxf"));
    CadDocument.saveAs(path);
    CadApplication.documents().add();

    RelayChannel counting(CadApplication.channel());
    CadApplication = cad::Application(&counting);
    ASSERT_TRUE(CheckDocumentOpen(false));
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("OSTULICA")), QString());
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("OSTULICA"), path), QStringLiteral("Złota"));
    EXPECT_EQ(counting.calls.value(QStringLiteral("Open")), 1);
    EXPECT_EQ(counting.calls.value(QStringLiteral("Close")), 1);
    // A drawing that cannot be read gives "" and is released as well.
    EXPECT_EQ(GetDrawingProperty(QStringLiteral("OSTULICA"), dir.filePath(QStringLiteral("brak.dxf"))),
              QString());
    EXPECT_EQ(counting.calls.value(QStringLiteral("Close")), 2);
    ResetCadConnectionState();
}

}  // namespace
}  // namespace automation::test
