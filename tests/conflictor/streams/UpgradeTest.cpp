// Drawings of formats 1, 2 and 3 brought to format 4 with nothing lost, and the upgrade left undone
// when the user declines or cancels.
#include "StreamsFixture.h"

#include "common/NumberText.h"
#include "conflictor/streams/StreamReading.h"

#include <QFile>
#include <QTemporaryDir>

namespace conflictor::test {
namespace {

class StreamsUpgrade : public StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        IntersectionNumber.clear();
    }
    QString version() { return automation::GetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU")); }
    QStringList propertyKeys() {
        QStringList keys;
        const cad::SummaryInfo info = doc().summaryInfo();
        for (int i = 0; i < info.numCustomInfo(); ++i) keys.append(info.getCustomByIndex(i).first);
        return keys;
    }
    // A block holding a line (and hidden attribute definitions), referenced with attribute values.
    cad::Entity oldBlock(const QString& name, const QList<std::pair<QString, QString>>& attributes = {},
                         double x = 0, double y = 0, double scale = 1) {
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{x, y, 0}, cad::Point{x + 10, y, 0});
        for (const auto& [tag, value] : attributes)
            automation::AddAttributeDefinition(b, tag, QString(), 0, 0);
        cad::Entity ref = insert(name, StreamLayer, x, y, scale);
        for (const cad::Entity& att : ref.attributes())
            for (const auto& [tag, value] : attributes)
                if (att.tagString() == tag) att.setTextString(value);
        return ref;
    }
    bool runUpgrades() { return UpdateDrawingProgram() && UpdateDrawingProgram2(); }
    void formatOneDrawing() {
        oldBlock(QStringLiteral("STRUMIEN_1"), {{QStringLiteral("STRUMIEN1"), QStringLiteral("^K1")}}, 0, 0);
        oldBlock(QStringLiteral("STRUMIEN_2"), {{QStringLiteral("STRUMIEN1"), QStringLiteral("^S1")}}, 0, 10);
        oldBlock(QStringLiteral("POCZATEK_STRUMIEN_K1_5"), {}, 0, 0);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1000"));
        automation::SetDrawingProperty(QStringLiteral("GRUPA_K1"), QStringLiteral("2"));
        automation::SetDrawingProperty(QStringLiteral("GRUPA_S1"), QStringLiteral("3"));
        automation::SetDrawingProperty(QStringLiteral("FAZA_K1"), QStringLiteral("1,2"));
        automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("1"));
        DrawingFormatVersion = 1;
    }
};

TEST_F(StreamsUpgrade, FormatOneWithOldNamesReachesFormatFourWithGroupsPhasesAndStreams) {
    formatOneDrawing();
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("12"));
    prompts.answerMessage(ui::Ok);
    picks.point(5000, 5000);
    ASSERT_TRUE(runUpgrades());
    EXPECT_EQ(prompts.unexpected(), 0);
    EXPECT_EQ(prompts.asked()[0].flags, ui::YesNo | ui::Question);
    EXPECT_EQ(prompts.asked()[0].text,
              QStringLiteral("Wykryto strumienie ruchu wrysowane w starszej wersji programu.\n"
                             "Czy chcesz zaktualizować rysunek?"));
    EXPECT_EQ(version(), QStringLiteral("4"));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("12"));
    EXPECT_EQ(propertyKeys(), (QStringList{QStringLiteral("SKALA"), QStringLiteral("WERSJA_DOKUMENTU")}));

    const cad::Entity block = references(QStringLiteral("ATRYBUTY_STRUMIENI_12")).value(0);
    EXPECT_EQ(attribute(block, QStringLiteral("GRUPY")), QStringLiteral("K1:2^S1:3^"));
    EXPECT_EQ(attribute(block, QStringLiteral("FAZY")), QStringLiteral("K1:1,2^"));
    EXPECT_EQ(attribute(block, QStringLiteral("OPISY")), QString());

    EXPECT_EQ(referenceNames(QStringLiteral("*STRUMIEN_*")),
              (QStringList{QStringLiteral("12^POCZATEK_STRUMIEN_K1_5"), QStringLiteral("12^STRUMIEN_1^K1"),
                           QStringLiteral("12^STRUMIEN_2^S1")}));
    for (const cad::Entity& e : references(QStringLiteral("12^STRUMIEN_*"))) {
        EXPECT_FALSE(e.hasAttributes());
        EXPECT_EQ(e.layer(), StreamLayer);
    }

    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 2u);
    const StreamRecord& k1 = StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))];
    EXPECT_EQ(k1.Group, 2);
    EXPECT_EQ(k1.Phases, QStringLiteral("1,2"));
    EXPECT_EQ(k1.SegmentCount, 1);
    EXPECT_DOUBLE_EQ(k1.StartPoint.X, 0);
    EXPECT_EQ(StreamTable[size_t(FindStreamIndex(QStringLiteral("S1")))].Group, 3);
}

// The first custom property of the drawing is a legacy one: it is moved and removed like the rest.
TEST_F(StreamsUpgrade, ALegacyPropertyStoredFirstIsMovedLikeTheOthers) {
    oldBlock(QStringLiteral("STRUMIEN_1"), {{QStringLiteral("STRUMIEN1"), QStringLiteral("^K1")}}, 0, 0);
    oldBlock(QStringLiteral("STRUMIEN_2"), {{QStringLiteral("STRUMIEN1"), QStringLiteral("^S1")}}, 0, 10);
    ASSERT_EQ(doc().summaryInfo().numCustomInfo(), 0);
    automation::SetDrawingProperty(QStringLiteral("FAZA_K1"), QStringLiteral("1,2"));
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1000"));
    automation::SetDrawingProperty(QStringLiteral("GRUPA_K1"), QStringLiteral("2"));
    automation::SetDrawingProperty(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("1"));
    automation::SetDrawingProperty(QStringLiteral("GRUPA_S1"), QStringLiteral("3"));
    DrawingFormatVersion = 1;
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("12"));
    prompts.answerMessage(ui::Ok);
    picks.point(5000, 5000);
    ASSERT_TRUE(runUpgrades());
    EXPECT_EQ(propertyKeys(), (QStringList{QStringLiteral("SKALA"), QStringLiteral("WERSJA_DOKUMENTU")}));
    const cad::Entity block = references(QStringLiteral("ATRYBUTY_STRUMIENI_12")).value(0);
    EXPECT_EQ(attribute(block, QStringLiteral("FAZY")), QStringLiteral("K1:1,2^"));
    EXPECT_EQ(attribute(block, QStringLiteral("GRUPY")), QStringLiteral("K1:2^S1:3^"));
}

TEST_F(StreamsUpgrade, FormatOneGroupsAndPhasesJoinAnAttributeBlockThatIsAlreadyThere) {
    formatOneDrawing();
    addAttributeBlock(QStringLiteral("12"),
                      {{QStringLiteral("GRUPY"), QStringLiteral("K5:1^K1:7^")},
                       {QStringLiteral("OPISY"), QStringLiteral("K5:stary opis^")},
                       {QStringLiteral("DLUG_POJ"), QStringLiteral("K5:12.00^")}},
                      3000, 3000);
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("12"));
    ASSERT_TRUE(runUpgrades());
    EXPECT_EQ(prompts.unexpected(), 0);
    EXPECT_EQ(version(), QStringLiteral("4"));
    EXPECT_EQ(propertyKeys(), (QStringList{QStringLiteral("SKALA"), QStringLiteral("WERSJA_DOKUMENTU")}));
    const QList<cad::Entity> blocks = references(QStringLiteral("ATRYBUTY_STRUMIENI_12"));
    ASSERT_EQ(blocks.size(), 1);
    EXPECT_EQ(attribute(blocks[0], QStringLiteral("GRUPY")), QStringLiteral("K5:1^K1:2^S1:3^"));
    EXPECT_EQ(attribute(blocks[0], QStringLiteral("FAZY")), QStringLiteral("K1:1,2^"));
    EXPECT_EQ(attribute(blocks[0], QStringLiteral("OPISY")), QStringLiteral("K5:stary opis^"));
    EXPECT_EQ(attribute(blocks[0], QStringLiteral("DLUG_POJ")), QStringLiteral("K5:12.00^"));
}

TEST_F(StreamsUpgrade, DecliningOrCancellingLeavesTheFormatOneDrawingAsItWas) {
    formatOneDrawing();
    prompts.answerMessage(ui::No);
    EXPECT_FALSE(UpdateDrawingProgram());
    EXPECT_EQ(version(), QStringLiteral("1"));

    prompts.answerMessage(ui::Yes);
    prompts.answerInput(std::nullopt);
    EXPECT_FALSE(UpdateDrawingProgram());

    // The pick of the attribute block's place cancelled: the step is not done and not recorded.
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("12"));
    prompts.answerMessage(ui::Ok);
    picks.cancel();
    EXPECT_FALSE(UpdateDrawingProgram());
    EXPECT_EQ(version(), QStringLiteral("1"));
    EXPECT_TRUE(automation::CheckBlockExists(QStringLiteral("STRUMIEN_1")));
    EXPECT_TRUE(propertyKeys().contains(QStringLiteral("GRUPA_K1")));
    EXPECT_TRUE(references(QStringLiteral("ATRYBUTY_STRUMIENI_*")).isEmpty());
}

TEST_F(StreamsUpgrade, FormatOneWithoutOldNamesCompletesEveryAttributeBlock) {
    const QStringList three{QStringLiteral("GRUPY"), QStringLiteral("FAZY"), QStringLiteral("OPISY")};
    addAttributeBlock(QStringLiteral("7"), {{QStringLiteral("GRUPY"), QStringLiteral("K1:2^")}}, 10, 20,
                      three);
    addAttributeBlock(QStringLiteral("8"), {{QStringLiteral("FAZY"), QStringLiteral("P1:3^")}}, 500, 20,
                      three);
    DrawingFormatVersion = 1;
    ASSERT_TRUE(UpdateDrawingProgram());
    EXPECT_EQ(version(), QStringLiteral("2"));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("7"));

    const cad::Entity seven = references(QStringLiteral("ATRYBUTY_STRUMIENI_7")).value(0);
    QStringList tags;
    for (const cad::Entity& a : seven.attributes()) tags.append(a.tagString());
    EXPECT_EQ(tags, StreamAttributeTagNames());
    EXPECT_EQ(attribute(seven, QStringLiteral("GRUPY")), QStringLiteral("K1:2^"));
    EXPECT_DOUBLE_EQ(seven.insertionPoint().x, 10);
    EXPECT_DOUBLE_EQ(seven.insertionPoint().y, 20);
    const cad::Entity eight = references(QStringLiteral("ATRYBUTY_STRUMIENI_8")).value(0);
    EXPECT_EQ(eight.attributes().size(), 9);
    EXPECT_EQ(attribute(eight, QStringLiteral("FAZY")), QStringLiteral("P1:3^"));
}

TEST_F(StreamsUpgrade, FormatTwoStreamAttributesBecomeBlockNamesAndSpacesGoInEveryIntersection) {
    oldBlock(QStringLiteral("5^STRUMIEN_2^K3"), {}, 0, 30);  // already named, no attributes: passed over
    oldBlock(QStringLiteral("5^STRUMIEN_3"),
             {{QStringLiteral("STRUMIEN1"), QStringLiteral("^K1")},
              {QStringLiteral("STRUMIEN2"), QStringLiteral("^K1a")}},
             0, 0);
    oldBlock(QStringLiteral("5^STRUMIEN_4"),
             {{QStringLiteral("STRUMIEN1"), QStringLiteral("^")},
              {QStringLiteral("STRUMIEN2"), QStringLiteral("^K 2")},
              {QStringLiteral("STRUMIEN3"), QStringLiteral("^K 2")}},
             10, 0);
    addAttributeBlock(QStringLiteral("5"), {{QStringLiteral("GRUPY"), QStringLiteral("K 2:3^K1:1^")},
                                            {QStringLiteral("OPISY"), QStringLiteral("K 2: w lewo teraz^")}});
    addAttributeBlock(QStringLiteral("6"), {{QStringLiteral("GRUPY"), QStringLiteral("K 7:4^")}}, 9000, 0);
    DrawingFormatVersion = 2;
    ASSERT_TRUE(runUpgrades());
    EXPECT_EQ(version(), QStringLiteral("4"));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("5"));

    EXPECT_EQ(referenceNames(QStringLiteral("5^STRUMIEN_*")),
              (QStringList{QStringLiteral("5^STRUMIEN_2^K3"), QStringLiteral("5^STRUMIEN_3^K1^K1a"),
                           QStringLiteral("5^STRUMIEN_4^K2")}));
    for (const char* name : {"5^STRUMIEN_3^K1^K1a", "5^STRUMIEN_4^K2"}) {
        for (const cad::Entity& e : doc().blocks().item(QString::fromLatin1(name)).entities())
            EXPECT_NE(e.objectName(), QStringLiteral("AcDbAttributeDefinition"));
        const cad::Entity ref = references(QString::fromLatin1(name)).value(0);
        EXPECT_FALSE(ref.hasAttributes());
        EXPECT_DOUBLE_EQ(ref.xScaleFactor(), 1);
    }
    const cad::Entity five = references(QStringLiteral("ATRYBUTY_STRUMIENI_5")).value(0);
    EXPECT_EQ(attribute(five, QStringLiteral("GRUPY")), QStringLiteral("K2:3^K1:1^"));
    EXPECT_EQ(attribute(five, QStringLiteral("OPISY")), QStringLiteral("K2:w lewo teraz^"));
    EXPECT_EQ(attribute(references(QStringLiteral("ATRYBUTY_STRUMIENI_6")).value(0), QStringLiteral("GRUPY")),
              QStringLiteral("K7:4^"));

    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 4u);
    const StreamRecord& k2 = StreamTable[size_t(FindStreamIndex(QStringLiteral("K2")))];
    EXPECT_EQ(k2.Group, 3);
    EXPECT_EQ(k2.Description, QStringLiteral("w lewo teraz"));
    EXPECT_EQ(StreamTable[size_t(FindStreamIndex(QStringLiteral("K1a")))].SegmentCount, 1);
}

TEST_F(StreamsUpgrade, AStreamNameTheCadRefusesInABlockNameKeepsItsAttribute) {
    addAttributeBlock(QStringLiteral("5"));
    oldBlock(QStringLiteral("5^STRUMIEN_3"), {{QStringLiteral("STRUMIEN1"), QStringLiteral("^K<1")}}, 0, 0);
    oldBlock(QStringLiteral("5^STRUMIEN_4"), {{QStringLiteral("STRUMIEN1"), QStringLiteral("^K2")}}, 10, 0);
    DrawingFormatVersion = 2;
    ASSERT_TRUE(runUpgrades());
    // The refused block stays as it was, the stream's name still in its attribute; the other is converted.
    const cad::Entity kept = references(QStringLiteral("5^STRUMIEN_3")).value(0);
    ASSERT_FALSE(kept.isNull());
    EXPECT_EQ(attribute(kept, QStringLiteral("STRUMIEN1")), QStringLiteral("^K<1"));
    bool definition = false;
    for (const cad::Entity& e : doc().blocks().item(QStringLiteral("5^STRUMIEN_3")).entities())
        if (e.objectName() == QLatin1String("AcDbAttributeDefinition")) definition = true;
    EXPECT_TRUE(definition);
    EXPECT_EQ(referenceNames(QStringLiteral("5^STRUMIEN_4*")),
              QStringList{QStringLiteral("5^STRUMIEN_4^K2")});
    EXPECT_FALSE(references(QStringLiteral("5^STRUMIEN_4^K2")).value(0).hasAttributes());
}

TEST_F(StreamsUpgrade, FormatThreeNamesLoseTheirSpacesInPlace) {
    addAttributeBlock(QStringLiteral("5"), {{QStringLiteral("GRUPY"), QStringLiteral(" K 1:2^")},
                                            {QStringLiteral("FAZY"), QStringLiteral("K 1:1, 3^")},
                                            {QStringLiteral("OPISY"), QStringLiteral("K 1:na wprost^")},
                                            {QStringLiteral("DLUG_POJ"), QStringLiteral("K 1:12,50^")},
                                            {QStringLiteral("PROSTA_DOJAZD"), QStringLiteral("K 1:9.00^")},
                                            {QStringLiteral("LUK_DOJAZD"), QStringLiteral("K 1:8.00^")},
                                            {QStringLiteral("PROSTA_EWAK"), QStringLiteral("K 1:7.00^")},
                                            {QStringLiteral("LUK_EWAK"), QStringLiteral("K 1:6.00^")},
                                            {QStringLiteral("MAKS_PRZYSP"), QStringLiteral("K 1:2.00^")}});
    oldBlock(QStringLiteral("5^STRUMIEN_2^K 1"), {}, 0, 0);
    oldBlock(QStringLiteral("5^KONIEC_STRUMIEN_K 1_9"), {}, 3, 4, 0.5);
    DrawingFormatVersion = 3;
    ASSERT_TRUE(runUpgrades());
    EXPECT_EQ(version(), QStringLiteral("4"));
    EXPECT_EQ(referenceNames(QStringLiteral("5^*STRUMIEN_*")),
              (QStringList{QStringLiteral("5^STRUMIEN_2^K1"), QStringLiteral("5^KONIEC_STRUMIEN_K1_9")}));
    const cad::Entity marker = references(QStringLiteral("5^KONIEC_STRUMIEN_K1_9")).value(0);
    EXPECT_DOUBLE_EQ(marker.insertionPoint().x, 3);
    EXPECT_DOUBLE_EQ(marker.insertionPoint().y, 4);
    EXPECT_DOUBLE_EQ(marker.xScaleFactor(), 0.5);
    EXPECT_EQ(marker.layer(), StreamLayer);

    // Nothing is lost: the stream reads back with its component and all its values.
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 1u);
    const StreamRecord& k1 = StreamTable[0];
    EXPECT_EQ(k1.Name, QStringLiteral("K1"));
    EXPECT_EQ(k1.SegmentCount, 1);
    EXPECT_EQ(k1.Group, 2);
    EXPECT_EQ(k1.Phases, QStringLiteral("1,3"));
    EXPECT_EQ(k1.Description, QStringLiteral("na wprost"));
    EXPECT_DOUBLE_EQ(k1.VehicleLength, 12.5);
    EXPECT_DOUBLE_EQ(k1.ApproachStraightSpeed, 9);
    EXPECT_DOUBLE_EQ(k1.ApproachArcSpeed, 8);
    EXPECT_DOUBLE_EQ(k1.ClearStraightSpeed, 7);
    EXPECT_DOUBLE_EQ(k1.ClearArcSpeed, 6);
    EXPECT_DOUBLE_EQ(k1.MaxAcceleration, 2);
}

TEST_F(StreamsUpgrade, WithoutAnIntersectionTheLastStepWaitsForTheNextStart) {
    oldBlock(QStringLiteral("5^STRUMIEN_2^K 1"), {}, 0, 0);
    DrawingFormatVersion = 3;
    ASSERT_TRUE(UpdateDrawingProgram2());
    EXPECT_EQ(version(), QString());
    DrawingFormatVersion = 4;
    ASSERT_TRUE(runUpgrades());  // an up-to-date drawing: nothing asked, nothing written
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(version(), QString());
}

}  // namespace
}  // namespace conflictor::test

namespace conflictor::test {
namespace {

// A fixed format-1 drawing (shipped with the tests): K1 and "K 2" sharing a component through the
// old stream attributes, P1, old start, end and conflict markers at 1:500, groups and phases in
// "GRUPA_"/"FAZA_" properties.
TEST_F(StreamsUpgrade, AShippedFormatOneDrawingReachesFormatFourWithNothingLost) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("format1_streams.dxf"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SUITE_TEST_DATA "/conflictor/format1_streams.dxf"), path));
    doc().close();
    automation::CadApplication.documents().open(path);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    DrawingFormatVersion = common::ParseInteger(version());
    ASSERT_EQ(DrawingFormatVersion, 1);

    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("12"));
    prompts.answerMessage(ui::Ok);
    picks.point(-2000, 0);
    ASSERT_TRUE(runUpgrades());
    EXPECT_EQ(version(), QStringLiteral("4"));
    EXPECT_EQ(propertyKeys(), (QStringList{QStringLiteral("SKALA"), QStringLiteral("WERSJA_DOKUMENTU")}));
    QStringList names = referenceNames(QStringLiteral("12^STRUMIEN_*"));
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("12^STRUMIEN_1^K1"), QStringLiteral("12^STRUMIEN_2^K1^K2"),
                                  QStringLiteral("12^STRUMIEN_3^K2"), QStringLiteral("12^STRUMIEN_4^P1")}));
    const cad::Entity conflict = references(QStringLiteral("12^POJPOJ_STRUMIEN_7")).value(0);
    EXPECT_EQ(attribute(conflict, QStringLiteral("POJPOJ_STRUMIEN1")), QStringLiteral("^K1"));
    EXPECT_DOUBLE_EQ(conflict.xScaleFactor(), 0.5);

    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    ASSERT_EQ(StreamTable.size(), 3u);
    EXPECT_EQ(StreamTable[2].Name, QStringLiteral("P1"));
    const int k1 = FindStreamIndex(QStringLiteral("K1"));
    const int k2 = FindStreamIndex(QStringLiteral("K2"));
    ASSERT_GE(k1, 0);
    ASSERT_GE(k2, 0);
    EXPECT_EQ(StreamTable[size_t(k1)].Group, 2);
    EXPECT_EQ(StreamTable[size_t(k1)].Phases, QStringLiteral("1,3"));
    EXPECT_EQ(StreamTable[size_t(k2)].Group, 4);
    EXPECT_EQ(StreamTable[size_t(k2)].Phases, QStringLiteral("2"));
    EXPECT_EQ(StreamTable[2].Group, 5);
    EXPECT_EQ(StreamTable[size_t(k1)].SegmentCount, 2);
    EXPECT_EQ(StreamTable[size_t(k2)].SegmentCount, 2);
    EXPECT_TRUE(common::ArePointsEqual(StreamTable[size_t(k1)].StartPoint, {0, 0}));
    SortujOdcinkiStrumienia(k1);
    for (int k = 1; k <= 2; ++k) {
        const SegmentRecord& s = StreamTable[size_t(k1)].Segments[size_t(k)];
        EXPECT_EQ(s.Order, s.Label.endsWith(QStringLiteral("^K1^K2")) ? 2 : 1);
    }
}

}  // namespace
}  // namespace conflictor::test
