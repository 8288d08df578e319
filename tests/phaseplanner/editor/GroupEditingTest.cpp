// Group records, the group dialog's rules, the complement and the in-cell edits, without a window.
#include "EditorFixture.h"
#include "common/Ini.h"
#include "phaseplanner/editor/GroupEditing.h"
#include "platform/ui/core/Prompt.h"

#include <QTemporaryDir>

namespace phaseplanner::test {

class GroupEditingTest : public EditorTest {};

TEST_F(GroupEditingTest, RowLookupSkipsFreeRecordsAndEndsWithNone) {
    GroupTable = {Group(0, "K1", {}), Group(0, "K2", {}), Group(1, "P1", {})};
    GroupTable[1].Defined = false;
    EXPECT_EQ(ZnajdzIdxGrupy(0), 0);
    EXPECT_EQ(ZnajdzIdxGrupy(1), 2);
    EXPECT_EQ(ZnajdzIdxGrupy(2), -1);
    EXPECT_EQ(ZnajdzIdxGrupy(-1), -1);
    EXPECT_EQ(GroupOrdinal(0), 1);
    EXPECT_EQ(GroupOrdinal(2), 2);
    GroupTable.clear();
    EXPECT_EQ(ZnajdzIdxGrupy(0), -1);
}

TEST_F(GroupEditingTest, KindTextsAndEnds) {
    EXPECT_EQ(GroupKindText(Group(KindVehicle, "B1", {})), QStringLiteral("Bus"));
    EXPECT_EQ(GroupKindText(Group(KindVehicle, "K1", {})), QStringLiteral("Kołowe"));
    EXPECT_EQ(GroupKindText(Group(KindTramOrArrow, "t1", {})), QStringLiteral("Tramwajowe"));
    EXPECT_EQ(GroupKindText(Group(KindTramOrArrow, "SK1->", {})), QStringLiteral("Warunkowe"));
    EXPECT_EQ(GroupKindText(Group(KindBicycle, "R1", {})), QStringLiteral("Rowerowe"));
    GreenInterval g;
    g.Start = 70;
    g.Length = 20;
    EXPECT_EQ(GreenEnd(g, 80), 10);
    g.Length = 10;
    EXPECT_EQ(GreenEnd(g, 80), 80);
}

TEST_F(GroupEditingTest, GreensFromRowsDropIncompleteRowsAndKeepPhases) {
    GroupRecord source = Group(KindVehicle, "K1", {{10, 5}, {40, 8}});
    SetPhases(source.Greens[1], {{1, 1}});
    SetPhases(source.Greens[2], {{3, 2}, {4, 3}});
    // The rows sorted anew put green 2 first; a typed row and incomplete rows between.
    const std::vector<GreenRow> rows{{"40", "8", 2}, {"10", "0", 0}, {"", "5", 0},
                                     {"", "", 0},    {"15", "20", 0}, {"10", "5", 1}};
    EXPECT_EQ(CheckGreenRows(rows, 80), QString());
    GroupRecord r = NewGroupRecord();
    ReadGreensFromRows(r, rows, source);
    ASSERT_EQ(r.GreenCount, 3);
    EXPECT_EQ(r.Greens[1].Start, 40);
    EXPECT_EQ(r.Greens[1].LastPhase, 1);
    EXPECT_EQ(r.Greens[1].Phases[1].Phase, 4);
    EXPECT_EQ(r.Greens[2].Start, 15);
    EXPECT_EQ(r.Greens[2].LastPhase, -1);  // a typed green has no phase references
    EXPECT_EQ(r.Greens[3].Phases[0].Phase, 1);

    GroupRecord empty = NewGroupRecord();
    ReadGreensFromRows(empty, {{"", "", 0}}, source);
    EXPECT_EQ(empty.GreenCount, 0);
}

TEST_F(GroupEditingTest, BadGreenValuesAreRefused) {
    EXPECT_NE(CheckGreenRows({{"80", "5", 0}}, 80), QString());  // start must lie below the cycle
    EXPECT_NE(CheckGreenRows({{"10", "81", 0}}, 80), QString());
    EXPECT_NE(CheckGreenRows({{"1a", "5", 0}}, 80), QString());
    EXPECT_NE(CheckGreenRows({{"-1", "5", 0}}, 80), QString());
    EXPECT_EQ(CheckGreenRows({{"79", "80", 0}}, 80), QString());
    // A start without a length is refused, not dropped.
    EXPECT_EQ(CheckGreenRows({{"15", "20", 0}, {"60", "", 0}}, 80),
              QStringLiteral("Nie podano długości sygnału zielonego rozpoczynającego się w 60 [s]!"));
    std::vector<GreenRow> many(MaxGreens + 1, GreenRow{"1", "1", 0});
    EXPECT_NE(CheckGreenRows(many, 80), QString());
    many.pop_back();
    EXPECT_EQ(CheckGreenRows(many, 80), QString());
}

TEST_F(GroupEditingTest, ComplementOfVehicleGroupTooLate) {
    GroupRecord g = Group(KindVehicle, "K1", {{20, 18}});
    EXPECT_TRUE(ApplyComplement(g, 40, true, 80));
    EXPECT_EQ(g.GreenCount, 1);  // a test changes nothing
    EXPECT_FALSE(g.ComplementOn);
    EXPECT_TRUE(ApplyComplement(g, 40, false, 80));
    EXPECT_EQ(g.ComplementMode, ModeOnlyRed);
    EXPECT_EQ(g.GreenCount, 0);
    EXPECT_TRUE(g.ComplementOn);
    EXPECT_EQ(g.ComplementFrom, 40);

    GroupRecord p = Group(KindPedestrian, "P1", {{20, 18}});
    EXPECT_FALSE(ApplyComplement(p, 40, true, 80));
}

TEST_F(GroupEditingTest, ComplementWrapsFirstGreenAndArrowsLoseSignal) {
    GroupRecord g = Group(KindVehicle, "K1", {{70, 20}});
    EXPECT_FALSE(ApplyComplement(g, 10, false, 80));
    EXPECT_EQ(g.Greens[1].Start, 0);
    EXPECT_EQ(g.Greens[1].Length, 10);

    GroupRecord arrow = Group(KindTramOrArrow, "SK1->", {{10, 30}});
    EXPECT_TRUE(ApplyComplement(arrow, 30, false, 80));
    EXPECT_EQ(arrow.ComplementMode, ModeNoSignal);
    EXPECT_FALSE(arrow.ComplementOn);  // an arrow never gets the complement fields

    GroupRecord noSignalBike = Group(KindBicycle, "R1", {{10, 30}});
    noSignalBike.ComplementMode = ModeNoSignal;
    EXPECT_FALSE(ApplyComplement(noSignalBike, 30, false, 80));
    EXPECT_FALSE(noSignalBike.ComplementOn);
}

TEST_F(GroupEditingTest, ComplementIgnoresStaleGreenOfGroupWithoutGreens) {
    GroupRecord g = Group(KindVehicle, "K1", {{20, 18}});
    g.GreenCount = 0;  // the stale green 1 stays in the record
    EXPECT_FALSE(ApplyComplement(g, 40, true, 80));
    EXPECT_FALSE(ApplyComplement(g, 40, false, 80));
    EXPECT_TRUE(g.ComplementOn);
    EXPECT_EQ(g.ComplementMode, ModeOrdinary);
}

TEST_F(GroupEditingTest, ComplementWarningListsGroups) {
    EXPECT_EQ(ComplementWarningText(false, {}), QString());
    const QString text = ComplementWarningText(true, {{2, KindVehicle}, {5, KindTramOrArrow}});
    EXPECT_TRUE(text.startsWith(QStringLiteral("Bieżąca grupa zostanie zmieniona na \"tylko czerwone\".\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("(w przypadku strzałki):\n2 Kołowe, 5 Strzałka\n")))
        << text.toStdString();
}

TEST_F(GroupEditingTest, EditableCells) {
    GroupRecord g = Group(KindVehicle, "K1", {{10, 20}});
    const int last = 3 * 2 + 3;  // the grid shows two greens
    EXPECT_FALSE(IsGroupCellEditable(g, 2, last));
    EXPECT_TRUE(IsGroupCellEditable(g, 3, last));
    EXPECT_TRUE(IsGroupCellEditable(g, 5, last));
    EXPECT_FALSE(IsGroupCellEditable(g, 6, last));  // beyond the group's greens
    EXPECT_FALSE(IsGroupCellEditable(g, last, last));
    g.ComplementOn = true;
    EXPECT_TRUE(IsGroupCellEditable(g, last, last));
    g.ComplementMode = ModeOnlyRed;
    EXPECT_FALSE(IsGroupCellEditable(g, 3, last));
}

TEST_F(GroupEditingTest, InCellStartLengthAndEnd) {
    GroupRecord g = Group(KindVehicle, "K1", {{70, 20}});
    const int last = 6;
    EXPECT_FALSE(CommitGroupCell(g, 3, last, 70, 80, 120));  // unchanged
    EXPECT_FALSE(CommitGroupCell(g, 5, last, 10, 80, 120));  // end 10 wraps: length 20 as stored
    g.Greens[1].Length = 1;
    EXPECT_TRUE(CommitGroupCell(g, 5, last, 10, 80, 120));
    EXPECT_EQ(g.Greens[1].Length, 20);
    EXPECT_TRUE(CommitGroupCell(g, 5, last, 75, 80, 120));
    EXPECT_EQ(g.Greens[1].Length, 5);
    EXPECT_TRUE(CommitGroupCell(g, 5, last, 70, 80, 120));
    EXPECT_EQ(g.Greens[1].Length, 80);
    EXPECT_TRUE(CommitGroupCell(g, 4, last, 7, 80, 120));
    EXPECT_EQ(g.Greens[1].Length, 7);
    EXPECT_TRUE(CommitGroupCell(g, 3, last, 80, 80, 120));  // the cycle length as a start is 0
    EXPECT_EQ(g.Greens[1].Start, 0);
    EXPECT_FALSE(CommitGroupCell(g, 6, last, 30, 80, 120));  // complement off: read-only
    g.ComplementOn = true;
    EXPECT_TRUE(CommitGroupCell(g, 6, last, 30, 80, 120));
    EXPECT_EQ(g.ComplementFrom, 30);
    EXPECT_FALSE(CommitGroupCell(g, 6, last, 121, 80, 120));
}

TEST_F(GroupEditingTest, IntersectionNumbersSortedAndUnique) {
    ui::ScriptedPrompts prompts;
    AddIntersectionNumber(QStringLiteral("2"), false);
    AddIntersectionNumber(QStringLiteral("10"), false);
    EXPECT_EQ(MainProgramWindow().Intersections, (QStringList{"10", "2"}));
    EXPECT_EQ(IntersectionNumber, QStringLiteral("10"));
    AddIntersectionNumber(QStringLiteral("12A"), false);
    AddIntersectionNumber(QStringLiteral("12a"), false);
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Istnieje już skrzyżowanie o podanym numerze."});
    AddIntersectionNumber(QStringLiteral("12a"), true);
    EXPECT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(IntersectionNumber, QStringLiteral("12A"));

    prompts.answerInput(QStringLiteral(" 7 B "));
    cmdAddNo_Click();
    EXPECT_EQ(IntersectionNumber, QStringLiteral("7B"));
    prompts.answerInput(QStringLiteral("7^1"));
    cmdAddNo_Click();
    EXPECT_EQ(IntersectionNumber, QStringLiteral("7B"));
    EXPECT_EQ(prompts.asked().size(), 4u);
    EXPECT_TRUE(IsValidNewIntersectionNumber(QStringLiteral("Łódź-3")));
}

TEST_F(GroupEditingTest, CycleParametersInIni) {
    QTemporaryDir dir;
    common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));
    LoadCycleParameters();
    EXPECT_EQ(CycleLength, 80);
    EXPECT_EQ(MinGreenVehicle, 10);
    EXPECT_EQ(MinGreenPedestrianBicycle, 4);
    EXPECT_EQ(WorkStartHour, QString());
    for (const auto& [stored, written] :
         std::vector<std::pair<int, QString>>{{200, "80"}, {14, "14"}, {13, "80"}, {120, "120"}}) {
        CycleLength = stored;
        ResetInvalidCycleLength();
        SaveCycleParameters();
        EXPECT_EQ(common::GetIni(common::IniFilePath, "Tesmar Program", "Dlugosc_Cyklu", ""), written)
            << stored;
    }
    WorkStartHour = QStringLiteral("6:00");
    SaveCycleParameters();
    WorkStartHour.clear();
    LoadCycleParameters();
    EXPECT_EQ(WorkStartHour, QStringLiteral("6:00"));
    common::IniFilePath.clear();
}

}  // namespace phaseplanner::test
