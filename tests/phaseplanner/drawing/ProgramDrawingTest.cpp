// Drawing the program and reading it back on the in-process CAD: the round trip on every kind of
// group, start and end programs, 12 and 44 groups, redraws, bad attributes, the templates and their
// loading; ezdxf audits the saved drawing.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "ProgramDrawingFixture.h"
#include "GroupBuilders.h"
#include "automation/BlockAttributes.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/editor/ProgramText.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "tests/phaseplanner/workbook/IntergreenBooks.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <set>

namespace phaseplanner::test {
using automation::CadApplication;
using automation::CadDocument;
using automation::CadModelSpace;

QJsonObject AuditWithEzdxf(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(SUITE_TEST_DATA "/phaseplanner/audit_drawing.py"), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "ezdxf failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

class ProgramDrawingTest : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        PrepareProgramDrawing();
        ASSERT_TRUE(UstawWidoczneAtrybuty());
    }
    void TearDown() override {
        ResetEditorState();
        ResetProgramAttributeState();
        TemplateFolder.clear();
        ResetIntergreenWorkbook();
        CadFixture::TearDown();
    }
    // Draws the table, forgets it, reads it back and compares the text forms.
    void roundTrip(const std::vector<GroupRecord>& table, int cycle) {
        GroupTable = table;
        CycleLength = cycle;
        const QString expected = FormatProgramText(GroupTable, CycleLength);
        ASSERT_TRUE(DrawProgram(false));
        GroupTable.clear();
        CycleLength = 0;
        bool ok = false;
        ReadProgramFromDrawing(true, ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(FormatProgramText(GroupTable, CycleLength), expected);
        EXPECT_EQ(prompts.unexpected(), 0);
    }
    int countInserts(const QString& part) {
        int n = 0;
        for (const cad::Entity& e : CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") && e.name().contains(part)) ++n;
        return n;
    }
    int countTextsOn(const QString& layer) {
        int n = 0;
        for (const cad::Entity& e : CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbText") && e.layer() == layer) ++n;
        return n;
    }
};

std::vector<GroupRecord> MixedProgram() {
    std::vector<GroupRecord> t;
    t.push_back(Group(KindVehicle, "K1, K2", {{40, 15}, {70, 15}}));  // the second wraps over the end
    t.push_back(Group(KindPedestrian, "P1", {{5, 14}, {60, 24}}));    // the flashing end wraps
    GroupRecord comp = Group(KindVehicle, "K3", {{50, 20}});          // wraps at its complement second
    comp.ComplementOn = true;
    comp.ComplementFrom = 60;
    t.push_back(comp);
    t.push_back(Group(KindVehicle, "K4", {{10, 10}}));
    t.back().Defined = false;  // a deleted group keeps its place
    GroupRecord red = Group(KindVehicle, "K5", {});
    red.ComplementMode = ModeOnlyRed;
    t.push_back(red);
    GroupRecord dark = Group(KindBicycle, "R1", {});
    dark.ComplementMode = ModeNoSignal;
    t.push_back(dark);
    t.push_back(Group(KindTramOrArrow, "T1", {{0, 30}}));
    GroupRecord bike = Group(KindBicycle, "R2", {{20, 10}});
    bike.ComplementOn = true;
    bike.ComplementFrom = 70;
    t.push_back(bike);
    GroupRecord redComp = Group(KindVehicle, "K6", {});
    redComp.ComplementMode = ModeOnlyRed;
    redComp.ComplementOn = true;
    redComp.ComplementFrom = 50;
    t.push_back(redComp);
    SetPhases(t[0].Greens[1], {{1, 1}, {3, 2}});
    return t;
}

TEST_F(ProgramDrawingTest, RoundTripOfEveryKindOfGroup) {
    roundTrip(MixedProgram(), 80);
    // Labels by record: the deleted fourth group leaves its row empty.
    EXPECT_EQ(GroupTable.size(), 9u);
    EXPECT_FALSE(GroupTable[3].Defined);
    EXPECT_EQ(GroupTable[0].Greens[1].LastPhase, 1);
    EXPECT_EQ(GroupTable[0].Greens[1].Phases[1].Phase, 3);
}

// Greens no longer than the 4 s of flashing keep a second of plain green and their block, so that
// they read back whole.
TEST_F(ProgramDrawingTest, ShortPedestrianAndBicycleGreensRoundTrip) {
    std::vector<GroupRecord> t;
    t.push_back(Group(KindPedestrian, "P1", {{10, 3}}));
    t.push_back(Group(KindPedestrian, "P2", {{20, 4}, {40, 1}}));
    t.push_back(Group(KindBicycle, "R1", {{79, 3}}));  // its flashing runs over the cycle end
    t.push_back(Group(KindBicycle, "R2", {{30, 5}}));
    roundTrip(t, 80);
    ASSERT_EQ(GroupTable.size(), 4u);
    EXPECT_EQ(GroupTable[1].GreenCount, 2);
    EXPECT_EQ(GroupTable[1].Greens[2].Start, 40);
    EXPECT_EQ(GroupTable[1].Greens[2].Length, 1);
    EXPECT_EQ(countInserts(QStringLiteral("7^SYGNALIZATOR_PIESZYROWEROWY_")), 5);
    // The 3 s greens: one second green, two flashing (R1's from 0, past the cycle end).
    EXPECT_EQ(countInserts(QStringLiteral("7^STALY_PIESIMIGA_2")), 2);
}

TEST_F(ProgramDrawingTest, WrappedGreenIsDrawnInTwoPiecesWithItsText) {
    GroupTable = {Group(KindVehicle, "K1", {{70, 20}})};
    CycleLength = 80;
    ASSERT_TRUE(DrawProgram(false));
    EXPECT_EQ(countInserts(QStringLiteral("7^IDENTYFIKATOR_ZIELONY_")), 1);
    ASSERT_EQ(countInserts(QStringLiteral("7^SYGNALIZATOR_ZWYKLY_")), 1);
    for (const cad::Entity& e : CadModelSpace.entities())
        if (e.objectName() == QLatin1String("AcDbBlockReference") &&
            e.name().contains(QStringLiteral("SYGNALIZATOR_"))) {
            EXPECT_EQ(automation::ReadAttributeByTag(e, QStringLiteral("POCZATEKKONIEC")),
                      QStringLiteral("70-10"));
            EXPECT_EQ(automation::ReadAttributeByTag(e, QStringLiteral("IDENTYFIKATOR")),
                      QStringLiteral("1K_1AB"));
            EXPECT_DOUBLE_EQ(e.insertionPoint().x, ProgramTableOrigin.Point.X);  // the part from 0
        }
    // The amber after it (10..13) is one shared block of 3 s.
    EXPECT_EQ(countInserts(QStringLiteral("7^STALY_ZOLTY_3")), 1);
}

// What the drawing shows of each green, read from it: its label "start-end" (the end of a
// pedestrian green past the cycle end counted from 0) and the head names, which stand in one column
// right of the time axis wherever the green starts.
TEST_F(ProgramDrawingTest, GreenLabelsAndHeadNamesAsTheDrawingShowsThem) {
    GroupTable = {Group(KindVehicle, "K1", {{10, 20}}), Group(KindPedestrian, "P1", {{60, 24}}),
                  Group(KindVehicle, "K2", {{35, 5}})};
    CycleLength = 80;
    ASSERT_TRUE(DrawProgram(false));
    std::map<QString, QString> labels;
    std::set<long long> headColumn;
    for (const cad::Entity& e : CadModelSpace.entities()) {
        if (e.objectName() != QLatin1String("AcDbBlockReference") ||
            !automation::ReadAttributeByTag(e, QStringLiteral("IDENTYFIKATOR")).endsWith(QLatin1String("AB")))
            continue;
        for (const cad::Entity& a : e.attributes())
            if (a.tagString() == QLatin1String("NAZWY_SYGN_GRUPA")) {
                labels[a.textString()] = automation::ReadAttributeByTag(e, QStringLiteral("POCZATEKKONIEC"));
                headColumn.insert(std::llround(a.insertionPoint().x * 1000));
            }
    }
    EXPECT_EQ(labels, (std::map<QString, QString>{{QStringLiteral("K1"), QStringLiteral("10-30")},
                                                  {QStringLiteral("P1"), QStringLiteral("60-4")},
                                                  {QStringLiteral("K2"), QStringLiteral("35-40")}}));
    EXPECT_EQ(headColumn.size(), 1u);
}

TEST_F(ProgramDrawingTest, StartAndEndProgramsRoundTrip) {
    // The largest intergreen time comes from the workbook the drawing names (7 s in its matrix).
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    WriteIntergreenBook(SmallBook(), book);
    ExcelWorkbookPath = book;
    prompts.answerMessage(ui::Yes);  // open the named file
    std::vector<GroupRecord> t{Group(KindVehicle, "K1", {{3, 20}}), Group(KindPedestrian, "P1", {{30, 12}}),
                               Group(KindVehicle, "K2", {{40, 30}})};
    MainProgramWindow().setProgramType(1);
    roundTrip(t, 80);
    // The cycle part is shifted right by the longest cycle less the cycle; the lead-in stays left.
    EXPECT_GT(countInserts(QStringLiteral("7^STALY_ZOLTYMIGA_KRESKI_")), 0);
    EXPECT_EQ(MaxIntergreenTime, 7);
    MainProgramWindow().setProgramType(2);
    roundTrip(t, 80);
    ResetIntergreenWorkbook();
}

TEST_F(ProgramDrawingTest, StartProgramNeedsTheWorkbooksLargestIntergreenTime) {
    GroupTable = {Group(KindVehicle, "K1", {{10, 20}})};
    MainProgramWindow().setProgramType(1);
    prompts.answerFile(std::nullopt);  // no workbook chosen
    prompts.answerMessage(ui::Ok);
    EXPECT_FALSE(DrawProgram(false));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Nie można ustalić maksymalnego czasu międzyzielonego!")});
    EXPECT_EQ(countInserts(QStringLiteral("SYGNALIZATOR_")), 0);
}

TEST_F(ProgramDrawingTest, StartProgramRefusesGreensThatDoNotFit) {
    GroupTable = {Group(KindVehicle, "K1", {{0, 20}})};
    MainProgramWindow().setProgramType(1);
    prompts.answerMessage(ui::Ok);
    EXPECT_FALSE(DrawProgram(false));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.contains(QStringLiteral("1K")));
    EXPECT_EQ(countInserts(QStringLiteral("SYGNALIZATOR_")), 0);
}

std::vector<GroupRecord> ManyGroups(int n) {
    std::vector<GroupRecord> t;
    for (int i = 0; i < n; ++i) {
        const int kind = i % 4 == 1 ? KindPedestrian : KindVehicle;
        const QString sym =
            (kind == KindPedestrian ? QStringLiteral("P") : QStringLiteral("K")) + QString::number(i + 1);
        t.push_back(Group(kind, sym, {{(i * 7) % 60 + 1, 15}, {(i * 7) % 60 + 30, 10}}));
    }
    return t;
}

TEST_F(ProgramDrawingTest, TwelveAndFortyFourGroupsRoundTrip) {
    roundTrip(ManyGroups(12), 90);
    roundTrip(ManyGroups(44), 90);
    EXPECT_EQ(countTextsOn(QStringLiteral("247-SYGNAL")), 44);
}

TEST_F(ProgramDrawingTest, RedrawReplacesTheWholeTable) {
    GroupTable = ManyGroups(44);
    CycleLength = 90;
    ASSERT_TRUE(DrawProgram(false));
    const int inserts = countInserts(QStringLiteral("7^"));
    ASSERT_TRUE(DrawProgram(false));
    EXPECT_EQ(countInserts(QStringLiteral("7^")), inserts);
    for (int i = 39; i < 44; ++i) GroupTable[std::size_t(i)].Defined = false;
    ASSERT_TRUE(DrawProgram(false));
    // Nothing of the five last rows is left behind, not even far down the table.
    EXPECT_EQ(countTextsOn(QStringLiteral("247-SYGNAL")), 39);
    bool ok = false;
    ReadProgramFromDrawing(true, ok);
    EXPECT_EQ(DefinedGroupCount(), 39);
}

TEST_F(ProgramDrawingTest, PiecesShorterThanASecondAndComplementBeyondTheCycleDrawNothing) {
    GroupRecord g = Group(KindVehicle, "K1", {{10, 20}});
    g.ComplementOn = true;
    g.ComplementFrom = 95;  // beyond the cycle: no negative complement piece
    GroupTable = {g};
    CycleLength = 80;
    ASSERT_TRUE(DrawProgram(false));
    for (const cad::Entity& e : CadModelSpace.entities()) {
        if (e.objectName() == QLatin1String("AcDbBlockReference")) {
            EXPECT_GT(e.xScaleFactor(), 0) << e.name().toStdString();
        }
    }
    EXPECT_EQ(countInserts(QStringLiteral("STALY_ZOLTYMIGA_")), 0);
}

TEST_F(ProgramDrawingTest, ServiceModeKeepsThePhasesOfGreens) {
    ServiceView = true;
    std::vector<GroupRecord> t{Group(KindVehicle, "K1", {{10, 20}})};
    SetPhases(t[0].Greens[1], {{2, 1}});
    GroupTable = t;
    ASSERT_TRUE(DrawProgram(false));
    bool ok = false;
    GroupTable.clear();
    ReadProgramFromDrawing(true, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(GroupTable[0].Greens[1].LastPhase, 0);
    EXPECT_EQ(GroupTable[0].Greens[1].Phases[0].Phase, 2);
}

TEST_F(ProgramDrawingTest, BadLabelsAndGreenIndexesAreSkipped) {
    GroupTable = {Group(KindVehicle, "K1", {{10, 20}})};
    ASSERT_TRUE(DrawProgram(false));
    automation::EnsureLayer(QStringLiteral("247-SYGNAL"), false, -1, -10);
    for (const QString& id :
         {QStringLiteral("0K_1AB"), QStringLiteral("500K_1AB"), QStringLiteral("3K_999AB"),
          QStringLiteral("xK_1AB"), QStringLiteral("3Q_1AB")}) {
        const QString name = automation::MakeUniqueBlockName(QStringLiteral("7^SYGNALIZATOR_ZWYKLY_"));
        defineBlock(name, {{QStringLiteral("IDENTYFIKATOR"), id},
                           {QStringLiteral("POCZATEKKONIEC"), QStringLiteral("5-9")}});
        insert(name, QStringLiteral("247-SYGNAL"));
    }
    bool ok = false;
    ReadProgramFromDrawing(true, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(DefinedGroupCount(), 1);
    EXPECT_EQ(GroupTable.size(), 1u);
}

TEST_F(ProgramDrawingTest, ReadingADrawingWithoutGroupsGivesOneFreeRecord) {
    bool ok = false;
    ReadProgramFromDrawing(true, ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(GroupTable.size(), 1u);
    EXPECT_FALSE(GroupTable[0].Defined);
}

TEST_F(ProgramDrawingTest, SavedDrawingPassesTheEzdxfAudit) {
    GroupTable = MixedProgram();
    ASSERT_TRUE(DrawProgram(false));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("program.dxf"));
    CadDocument.saveAs(path);
    const QJsonObject r = AuditWithEzdxf(path);
    EXPECT_EQ(r.value(QStringLiteral("errors")).toInt(-1), 0);
    EXPECT_TRUE(r.value(QStringLiteral("ids")).toArray().contains(QStringLiteral("5K_TYLKOCZERWONE")));
    EXPECT_TRUE(r.value(QStringLiteral("ids")).toArray().contains(QStringLiteral("6R_BRAKSYGNALU")));
}

TEST(ProgramTemplate, GroupCountsChooseTheTemplate) {
    EXPECT_EQ(TemplateGroupCountText(0), QStringLiteral("12"));
    EXPECT_EQ(TemplateGroupCountText(12), QStringLiteral("12"));
    EXPECT_EQ(TemplateGroupCountText(13), QStringLiteral("14"));
    EXPECT_EQ(TemplateGroupCountText(32), QStringLiteral("32"));
    EXPECT_EQ(TemplateGroupCountText(33), QStringLiteral("44"));
    EXPECT_EQ(TemplateFileName(15, true), QStringLiteral("Program_akomod_16grup.dwt"));
}

TEST(ProgramTemplate, ShippedTemplatesCarryOnlyGroupsAndLongestCycle) {
    QList<int> counts{12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 44};
    for (const QString& kind : {QStringLiteral("Program_"), QStringLiteral("Program_akomod_")})
        for (int n : counts) {
            const QString path = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/") + kind +
                                 QString::number(n) + QStringLiteral("grup.dxf");
            ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
            if (n != 12 && n != 44) continue;  // ezdxf is slow: the smallest and the largest
            const QJsonObject r = AuditWithEzdxf(path);
            EXPECT_EQ(r.value(QStringLiteral("errors")).toInt(-1), 0);
            const QJsonObject old = r.value(QStringLiteral("old")).toObject();
            EXPECT_EQ(old.value(QStringLiteral("ILOSC_GRUP")).toString(), QString::number(n));
            EXPECT_EQ(old.value(QStringLiteral("DLUG_CYKLU_MAX")).toString(), QStringLiteral("120"));
            EXPECT_FALSE(old.contains(QStringLiteral("DLUG_CYKLU")));
            EXPECT_FALSE(old.contains(QStringLiteral("NR_SKRZYZOWANIA")));
        }
}

TEST_F(ProgramDrawingTest, LoadingATemplateDrawsIntoANewDrawingWithoutAskingAgain) {
    QTemporaryDir dir;
    {
        const cad::Document d = CadApplication.documents().add();
        automation::CheckDocumentOpen(false);
        GenerateProgramTemplate(14, true);
        d.saveAs(dir.filePath(QStringLiteral("Program_akomod_14grup.dxf")));
    }
    TemplateFolder = dir.path();
    GroupTable = ManyGroups(13);
    CycleLength = 121;
    const int before = CadApplication.documents().count();
    ASSERT_TRUE(WczytajTabele(-1));
    EXPECT_EQ(CadApplication.documents().count(), before + 1);
    EXPECT_EQ(prompts.asked().size(), 0u);
    EXPECT_EQ(MaxCycleLength, 130);
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("ATRYBUTY_RYSUNKU")));
    EXPECT_EQ(GroupCountSetting, 14);
    EXPECT_EQ(countInserts(QStringLiteral("7^SYGNALIZATOR_")), 26);
    // The widened axis: its right border at 185 and one extra column line at 140.
    int border = 0, column = 0, narrowBorder = 0;
    QList<double> headings;
    for (const cad::Entity& e : CadModelSpace.entities()) {
        if (e.objectName() == QLatin1String("AcDbText") && e.textString() == QLatin1String("SYGNALIZATORY"))
            headings << e.textAlignmentPoint().x;
        if (e.objectName() != QLatin1String("AcDbLine")) continue;
        if (e.startPoint().x == 185 && e.endPoint().x == 185) ++border;
        if (e.startPoint().x == 175 && e.endPoint().x == 175) ++narrowBorder;
        if (e.startPoint().x == 140 && e.startPoint().y == 283.7) ++column;
    }
    EXPECT_EQ(border, 1);
    EXPECT_EQ(column, 1);
    // The template's heading and border of the 120 s axis are gone: one heading, over the new column.
    EXPECT_EQ(narrowBorder, 0);
    EXPECT_EQ(headings, QList<double>{165.0});
    // The program's origin is the template's: second 0 at x = 15, the first bar at y = 278.
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.X, 15);
    EXPECT_DOUBLE_EQ(ProgramTableOrigin.Point.Y, 278);
}

TEST_F(ProgramDrawingTest, MissingTemplateIsReported) {
    TemplateFolder = QStringLiteral("/nonexistent");
    GroupTable = ManyGroups(3);
    prompts.answerMessage(ui::Ok);
    EXPECT_FALSE(WczytajTabele(0));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(QStringLiteral("Nie znaleziono formatki:")));
}

}  // namespace phaseplanner::test

namespace phaseplanner::test {

// The developer tool: a program drawn into a template, read back in the same text form, saved;
// a bad program file ends with a message and a non-zero exit.
TEST(PhaseplannerHeadless, DrawsReadsAndSaves) {
    const QString tool =
        QStringLiteral(SUITE_BINARY_DIR "/tools/phaseplanner-headless/phaseplanner-headless");
    if (!QFile::exists(tool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    const QString text = QStringLiteral(
        "CYKL 80\nGRUPA 1 | 0 | K1, K2 | 40+15 70+15 | \nGRUPA 3 | 1 | P1 | 5+14 | \n"
        "GRUPA 4 | 0 | K3 | 50+20 | DOPELNIJ 60\n");
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    const QString out = dir.filePath(QStringLiteral("out.dxf"));
    QProcess p;
    p.start(tool, {QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf"),
                   QStringLiteral("--intersection"), QStringLiteral("3"), QStringLiteral("--draw"), program,
                   QStringLiteral("--save"), out});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    p.start(tool, {out, QStringLiteral("--intersection"), QStringLiteral("3"), QStringLiteral("--read")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).endsWith(text));

    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("CYKL 80\nGRUPA 1 | 9 | K1 | 1+2 |\n");
    }
    p.start(tool,
            {out, QStringLiteral("--intersection"), QStringLiteral("3"), QStringLiteral("--draw"), program});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("rodzaj")));

    // A number the drawing does not hold is refused, not drawn over intersection 3's program.
    p.start(tool, {out, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--read")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("nie zawiera skrzyżowania nr 7")));
}

}  // namespace phaseplanner::test
