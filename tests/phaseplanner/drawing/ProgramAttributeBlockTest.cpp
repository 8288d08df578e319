// The program attribute block on the in-process CAD: writing, reading, listing intersections, the
// table origin, the older block and the stale playback markers; ezdxf reads the saved drawing.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "automation/BlockAttributes.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace phaseplanner::test {
using automation::CadDocument;

namespace {

QJsonObject readWithEzdxf(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(SUITE_TEST_DATA "/phaseplanner/read_program_attributes.py"), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "ezdxf failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

class ProgramBlockTest : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        ResetEditorState();
        ResetProgramAttributeState();
    }
    void TearDown() override {
        ResetEditorState();
        ResetProgramAttributeState();
        CadFixture::TearDown();
    }
    QList<cad::Entity> references(const QString& name) {
        QList<cad::Entity> out;
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") && e.name() == name) out << e;
        return out;
    }
    QString attribute(const QString& blockName, const QString& tag) {
        const auto refs = references(blockName);
        return refs.isEmpty() ? QStringLiteral("<none>") : automation::ReadAttributeByTag(refs.first(), tag);
    }
};

TEST_F(ProgramBlockTest, WritesAndReadsBackTheProgramValues) {
    IntersectionNumber = QStringLiteral("12");
    WorkStartHour = QStringLiteral("7:00");
    WorkEndHour = QStringLiteral("19:00");
    ProgramOffset = QStringLiteral("15");
    CycleLength = 90;
    MaxCycleLength = 100;
    ParseSetGreenTimes(QStringLiteral("K1, K2:15^P3:8"));
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    const QString name = QStringLiteral("ATRYBUTY_PROGRAMU_12");
    ASSERT_EQ(references(name).size(), 1);
    EXPECT_EQ(references(name).first().layer(), QStringLiteral("002-OPISY"));
    EXPECT_EQ(attribute(name, "GODZ_ROZP_PRACY"), QStringLiteral("7:00"));
    EXPECT_EQ(attribute(name, "WID_GODZ_PRACY"), QStringLiteral("7:00-19:00"));
    EXPECT_EQ(attribute(name, "DLUG_CYKLU_MAX"), QStringLiteral("120"));
    EXPECT_EQ(MaxCycleLength, 120);
    EXPECT_EQ(attribute(name, "ILOSC_GRUP"), QStringLiteral("32"));
    EXPECT_EQ(attribute(name, "PARAMETRY_SZCZEGOLOWE"), QStringLiteral("K1, K2:15^P3:8"));
    EXPECT_EQ(attribute(name, "PARAM_SZCZEG_PRZESUNIECIE"), QString());
    EXPECT_EQ(attribute(name, "MAX_MZ"), QString());  // "Zwykły" carries none

    WorkStartHour = ProgramOffset = QString();
    CycleLength = 0;
    SetGreenTimes.clear();
    GetAtrybutyProgramu();
    EXPECT_EQ(WorkStartHour, QStringLiteral("7:00"));
    EXPECT_EQ(ProgramOffset, QStringLiteral("15"));
    EXPECT_EQ(CycleLength, 90);
    EXPECT_EQ(GetSetGreenTime(QStringLiteral("P3")), 8);
    EXPECT_EQ(MaxIntergreenTime, 5);

    // A rewrite keeps the reference where the user moved it.
    references(name).first().move(cad::Point{0, 0, 0}, cad::Point{40, 25, 0});
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    ASSERT_EQ(references(name).size(), 1);
    EXPECT_DOUBLE_EQ(references(name).first().insertionPoint().x, 40);
    EXPECT_DOUBLE_EQ(references(name).first().insertionPoint().y, 25);
}

TEST_F(ProgramBlockTest, ProgramTypeAndMaxIntergreen) {
    IntersectionNumber = QStringLiteral("3");
    MainProgramWindow().setProgramType(2);
    MaxIntergreenTime = 7;
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    EXPECT_EQ(attribute("ATRYBUTY_PROGRAMU_3", "MAX_MZ"), QStringLiteral("Max MZ: 7"));
    MaxIntergreenTime = 0;
    MainProgramWindow().setProgramType(0);
    GetAtrybutyProgramu();
    EXPECT_EQ(MaxIntergreenTime, 7);
    EXPECT_EQ(MainProgramWindow().programType(), 2);
}

TEST_F(ProgramBlockTest, TwoReferencesAreNotRead) {
    IntersectionNumber = QStringLiteral("4");
    WorkStartHour = QStringLiteral("6");
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    insert(QStringLiteral("ATRYBUTY_PROGRAMU_4"), QStringLiteral("002-OPISY"), 50, 0);
    WorkStartHour = QStringLiteral("8");
    GetAtrybutyProgramu();
    EXPECT_EQ(WorkStartHour, QStringLiteral("8"));
    EXPECT_FALSE(ReadProgramAttributeTexts().has_value());
    ASSERT_TRUE(UstawWidoczneAtrybuty());  // the writer takes the first place and erases both
    EXPECT_EQ(references("ATRYBUTY_PROGRAMU_4").size(), 1);
}

TEST_F(ProgramBlockTest, UnnumberedBlockBecomesTheChosenNumbersBlock) {
    WorkStartHour = QStringLiteral("5:30");
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    EXPECT_EQ(references("ATRYBUTY_PROGRAMU_^").size(), 1);

    IntersectionNumber = QStringLiteral("7");
    bool found = false;
    SprawdzSkrzyzowania(found);
    EXPECT_TRUE(found);
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("ATRYBUTY_PROGRAMU_^")));
    ASSERT_EQ(references("ATRYBUTY_PROGRAMU_7").size(), 1);
    EXPECT_EQ(attribute("ATRYBUTY_PROGRAMU_7", "GODZ_ROZP_PRACY"), QStringLiteral("5:30"));
    EXPECT_EQ(MainProgramWindow().Intersections, QStringList{"7"});
    EXPECT_TRUE(ProgramTableOrigin.Known);
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.X, 15);
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.Y, 278);
}

TEST_F(ProgramBlockTest, UnnumberedBlockBesideTheNumberedOneIsRemoved) {
    IntersectionNumber = QStringLiteral("7");
    WorkStartHour = QStringLiteral("6:00");
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    IntersectionNumber.clear();
    WorkStartHour = QStringLiteral("5:30");
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    ASSERT_EQ(references("ATRYBUTY_PROGRAMU_^").size(), 1);

    IntersectionNumber = QStringLiteral("7");
    bool found = false;
    SprawdzSkrzyzowania(found);
    EXPECT_TRUE(found);
    EXPECT_TRUE(references("ATRYBUTY_PROGRAMU_^").isEmpty());
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("ATRYBUTY_PROGRAMU_^")));
    ASSERT_EQ(references("ATRYBUTY_PROGRAMU_7").size(), 1);
    EXPECT_EQ(attribute("ATRYBUTY_PROGRAMU_7", "GODZ_ROZP_PRACY"), QStringLiteral("6:00"));
}

TEST_F(ProgramBlockTest, ActuatedTableBlockStandsLeftOfTheOrigin) {
    IntersectionNumber = QStringLiteral("5");
    ProgramTableType = -1;
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    const auto refs = references("ATRYBUTY_PROGRAMU_5");
    ASSERT_EQ(refs.size(), 1);
    EXPECT_DOUBLE_EQ(refs.first().insertionPoint().x, -195);
    EXPECT_EQ(attribute("ATRYBUTY_PROGRAMU_5", "PRZESUN_X"), QStringLiteral("1"));
    bool found = false;
    SprawdzSkrzyzowania(found);
    EXPECT_TRUE(found);
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.X, 15);
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.Y, 278);
}

TEST_F(ProgramBlockTest, ListsIntersectionsAndTakesTheFirst) {
    for (const char* nr : {"7", "12"}) {
        IntersectionNumber = QString::fromLatin1(nr);
        ASSERT_TRUE(UstawWidoczneAtrybuty());
    }
    references("ATRYBUTY_PROGRAMU_7").first().move(cad::Point{0, 0, 0}, cad::Point{100, 0, 0});
    IntersectionNumber.clear();
    MainProgramWindow().SuppressIntersectionClick = false;
    bool found = false;
    SprawdzSkrzyzowania(found);
    EXPECT_TRUE(found);
    EXPECT_EQ(IntersectionNumber, QStringLiteral("7"));
    EXPECT_EQ(MainProgramWindow().Intersections, (QStringList{"12", "7"}));
    EXPECT_EQ(MainProgramWindow().selectedIntersection(), 1);
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.X, 115);
    EXPECT_FALSE(MainProgramWindow().SuppressIntersectionClick);
}

TEST_F(ProgramBlockTest, NoBlockMeansNoOrigin) {
    bool found = true;
    IntersectionNumber = QStringLiteral("1");
    SprawdzSkrzyzowania(found);
    EXPECT_FALSE(found);
    EXPECT_FALSE(ProgramTableOrigin.Known);
    EXPECT_EQ(IntersectionNumber, QStringLiteral("1"));
}

TEST_F(ProgramBlockTest, BlockThatCannotBeReplacedIsKept) {
    IntersectionNumber = QStringLiteral("9");
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    // A reference nested inside another block keeps the definition from being deleted.
    cad::Block holder = CadDocument.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("HOLDER"));
    holder.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("ATRYBUTY_PROGRAMU_9"), 1, 1, 1, 0);
    WorkStartHour = QStringLiteral("changed");
    EXPECT_FALSE(UstawWidoczneAtrybuty());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked().front().text.startsWith(
        QStringLiteral("Nie można zastąpić bloku atrybutów programu.")));
    ASSERT_EQ(references("ATRYBUTY_PROGRAMU_9").size(), 1);  // never left erased
    EXPECT_EQ(attribute("ATRYBUTY_PROGRAMU_9", "GODZ_ROZP_PRACY"), QString());
}

TEST_F(ProgramBlockTest, NoDrawingShowsTheMessage) {
    CadDocument.close();
    EXPECT_FALSE(UstawWidoczneAtrybuty());
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Najpierw proszę otworzyć jakiś dokument..."});
}

TEST_F(ProgramBlockTest, OlderBlockConverted) {
    defineBlock(QStringLiteral("ATRYBUTY_RYSUNKU"), {{"X_POCZ", "1"}, {"PROJEKTANT", "J. Kowalski"}});
    UpdateDrawingProgram(true);
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("ATRYBUTY_RYSUNKU")));
    EXPECT_EQ(automation::GetDrawingProperty(QStringLiteral("PROJEKTANT")), QStringLiteral("J. Kowalski"));
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("ATRYBUTY_PROGRAMU_^")));

    defineBlock(
        QStringLiteral("ATRYBUTY_RYSUNKU"),
        {{"DLUG_CYKLU", "96"}, {"DLUG_CYKLU_MAX", "150"}, {"NR_SKRZYZOWANIA", "21"}, {"OFFSET", " 4 "}});
    defineBlock(QStringLiteral("ATRYBUTY_WIDOCZNE"));
    insert(QStringLiteral("ATRYBUTY_WIDOCZNE"));
    UpdateDrawingProgram(true);
    EXPECT_EQ(CycleLength, 96);
    EXPECT_EQ(MaxCycleLength, 150);
    EXPECT_EQ(ProgramOffset, QStringLiteral("4"));
    EXPECT_EQ(attribute("ATRYBUTY_PROGRAMU_21", "DLUG_CYKLU"), QStringLiteral("96"));
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("ATRYBUTY_WIDOCZNE")));
}

TEST_F(ProgramBlockTest, StaleTimeMarkersRemoved) {
    defineBlock(QStringLiteral("AKTUALNY_CZAS_1"));
    defineBlock(QStringLiteral("AKTUALNY_CZAS_2"));
    automation::EnsureLayer(QStringLiteral("255-ROBOCZA"), false, -1, -10);
    insert(QStringLiteral("AKTUALNY_CZAS_1"), QStringLiteral("255-ROBOCZA"));
    cad::Block holder = CadDocument.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("HOLDER"));
    holder.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("AKTUALNY_CZAS_2"), 1, 1, 1, 0);
    RemoveStaleTimeMarkers();
    EXPECT_TRUE(references("AKTUALNY_CZAS_1").isEmpty());
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("AKTUALNY_CZAS_1")));
    EXPECT_TRUE(automation::CheckBlockExists(QStringLiteral("AKTUALNY_CZAS_2")));  // still in use
}

TEST_F(ProgramBlockTest, MarkersKeptWithoutReferences) {
    defineBlock(QStringLiteral("AKTUALNY_CZAS_1"));
    RemoveStaleTimeMarkers();
    EXPECT_TRUE(automation::CheckBlockExists(QStringLiteral("AKTUALNY_CZAS_1")));
}

TEST_F(ProgramBlockTest, EzdxfReadsTheSavedAttributes) {
    IntersectionNumber = QStringLiteral("12");
    WorkStartHour = QStringLiteral("6:00");
    WorkEndHour = QStringLiteral("22:00");
    ProgramOffset = QStringLiteral("12");
    ParsePhaseStartShifts(QStringLiteral("K1:-3"));
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("program.dxf"));
    CadDocument.saveAs(path);
    const QJsonObject block = readWithEzdxf(path).value(QStringLiteral("ATRYBUTY_PROGRAMU_12")).toObject();
    EXPECT_EQ(block.value("layer").toString(), QStringLiteral("002-OPISY"));
    const QJsonObject a = block.value("attribs").toObject();
    EXPECT_EQ(a.value("GODZ_ROZP_PRACY").toString(), QStringLiteral("6:00"));
    EXPECT_EQ(a.value("GODZ_ZAK_PRACY").toString(), QStringLiteral("22:00"));
    EXPECT_EQ(a.value("OFFSET").toString(), QStringLiteral("12"));
    EXPECT_EQ(a.value("WID_GODZ_PRACY").toString(), QStringLiteral("6:00-22:00"));
    EXPECT_EQ(a.value("PARAM_SZCZEG_PRZESUNIECIE").toString(), QStringLiteral("K1:-3"));
    EXPECT_EQ(a.value("DLUG_CYKLU").toString(), QStringLiteral("80"));
    EXPECT_EQ(a.value("WID_EXCEL_ZESTAW_FAZ").toString(), QStringLiteral("Kolejność faz: "));
}

}  // namespace
}  // namespace phaseplanner::test
