// Stream names: the naming dialog's checks and record, names from the signal heads, and the group
// or phase given to the highlighted streams.
#include "StreamCommandsFixture.h"

#include "../HostGone.h"

#include "conflictor/streams/HeadNames.h"
#include "conflictor/streams/SelectedStreams.h"

namespace conflictor::test {
namespace {

QStringList tableNames() {
    QStringList out;
    for (const StreamRecord& r : StreamTable) out.append(r.Name);
    return out;
}

int accept(const QString& name, const QString& group = QString(), const QString& description = QString()) {
    return AcceptStreamName(name, group, description, QStringLiteral("Nowy strumień"));
}

TEST_F(StreamCommands, NamesFollowTheGrammarOfBlockAndAttributeNames) {
    for (const char* good : {"K1", "k5", "K12p", "K1[2]", "T3", "B7[10]"})
        EXPECT_TRUE(IsStreamNameText(QString::fromLatin1(good))) << good;
    for (const char* bad : {"K1_2", "K1^2", "K1:2", "K1*", "K1?", "K1#", "K1@", "K1~", "K1,2", "K1`", "K1.5",
                            "K1[x]", "K1[", "K1]2", "K1[2]x", "K 1", "K1\t"})
        EXPECT_FALSE(IsStreamNameText(QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(IsStreamDescriptionText(QStringLiteral("w lewo, AP")));
    EXPECT_FALSE(IsStreamDescriptionText(QStringLiteral("a^b")));
    EXPECT_FALSE(IsStreamDescriptionText(QStringLiteral("a:b")));
    EXPECT_FALSE(IsStreamDescriptionText(QStringLiteral("a\nb")));

    NamingFocus focus;
    EXPECT_EQ(AcceptStreamName(QStringLiteral("K1_2"), QString(), QString(), QString(), &focus), -1);
    EXPECT_EQ(focus, NamingFocus::Name);
    EXPECT_EQ(AcceptStreamName(QStringLiteral("K1"), QStringLiteral("3a"), QString(), QString(), &focus), -1);
    EXPECT_EQ(focus, NamingFocus::Group);
    EXPECT_EQ(AcceptStreamName(QStringLiteral("K1"), QString(), QStringLiteral("x^y"), QString(), &focus),
              -1);
    EXPECT_EQ(focus, NamingFocus::Description);
    EXPECT_EQ(accept(QStringLiteral("X1")), -1);
    EXPECT_EQ(accept(QStringLiteral("K0")), -1);
    EXPECT_EQ(accept(QStringLiteral("K, 5")), -1);
    EXPECT_TRUE(StreamTable.empty());
    EXPECT_EQ(prompts.asked().size(), 6u);
    EXPECT_EQ(
        prompts.asked()[3].text,
        QStringLiteral("Niepoprawna pierwsza litera nazwy strumienia!\nDozwolone litery to: \"K\", \"S\", "
                       "\"P\", \"R\", \"B\", \"T\""));

    EXPECT_EQ(accept(QStringLiteral("  k5 ")), 0);
    EXPECT_EQ(StreamTable[0].Name, QStringLiteral("k5"));
    EXPECT_EQ(StreamTable[0].Kind, KindVehicle);
    EXPECT_EQ(StreamTable[0].Number, 5);
    EXPECT_EQ(accept(QStringLiteral("K5")), -1);  // exists already
    EXPECT_EQ(accept(QStringLiteral("K12p")), 1);
    EXPECT_EQ(StreamTable[1].Number, 12);
}

// A new stream whose writing into the drawing fails leaves its name free: the table takes a name only
// once the drawing holds the stream.
TEST_F(StreamCommands, ANewStreamTheDrawingRefusedLeavesItsNameFree) {
    addAttributeBlock(QStringLiteral("12"));
    EXPECT_EQ(accept(QStringLiteral("K1"), QStringLiteral("2")), 0);
    {
        HostGone gone;
        EXPECT_THROW(accept(QStringLiteral("K1[2]")), cad::ConnectionLost);
        EXPECT_THROW(accept(QStringLiteral("K7")), cad::ConnectionLost);
    }
    EXPECT_EQ(tableNames(), QStringList{QStringLiteral("K1")});
    EXPECT_EQ(StreamTable[0].Group, 2);
}

TEST_F(StreamCommands, AVariantKeepsTheGroupAndAStoredDescription) {
    const cad::Entity block = addAttributeBlock(
        QStringLiteral("12"), {{QStringLiteral("OPISY"), QStringLiteral("K1[2]:stary opis^")},
                               {QStringLiteral("FAZY"), QStringLiteral("K1:2^")}});
    ASSERT_EQ(accept(QStringLiteral("K1"), QStringLiteral("4")), 0);
    StreamTable[0].Phases = QStringLiteral("2");
    select(QStringLiteral("K1"));
    int group = 0;
    EXPECT_EQ(ProposeVariantName(0, group), QStringLiteral("K1[2]"));
    EXPECT_EQ(group, 4);

    // The variant typed without a group and without a description.
    ASSERT_EQ(accept(QStringLiteral("K1[2]")), 1);
    const StreamRecord& v = StreamTable[1];
    EXPECT_EQ(v.BaseName, QStringLiteral("K1"));
    EXPECT_EQ(v.Variant, 2);
    EXPECT_EQ(v.Group, 4);
    EXPECT_EQ(v.Phases, QStringLiteral("2"));
    EXPECT_EQ(v.Description, QStringLiteral("stary opis"));
    EXPECT_EQ(StreamTable[0].Group, 4);
    EXPECT_EQ(attribute(block, QStringLiteral("GRUPY")), QStringLiteral("K1:4^"));
    EXPECT_EQ(attribute(block, QStringLiteral("OPISY")), QStringLiteral("K1[2]:stary opis^"));
    // The kinematic values come from the settings.
    EXPECT_DOUBLE_EQ(v.VehicleLength, 10);

    // A group typed for a variant is the group of every variant.
    ASSERT_EQ(accept(QStringLiteral("K1[3]"), QStringLiteral("6")), 2);
    for (const StreamRecord& r : StreamTable) EXPECT_EQ(r.Group, 6) << r.Name.toStdString();
    EXPECT_TRUE(window.GridCells.contains(QStringLiteral("0/2=6")));
    EXPECT_TRUE(window.GridCells.contains(QStringLiteral("1/2=6")));
    EXPECT_EQ(CopyNameProposal(QStringLiteral("K1[2]")), QStringLiteral("S1[2]"));
    EXPECT_EQ(CopyNameProposal(QStringLiteral("K")), QString());
    // A pedestrian stream gets only its walking speed.
    ASSERT_EQ(accept(QStringLiteral("P2")), 3);
    EXPECT_DOUBLE_EQ(StreamTable[3].ClearStraightSpeed, 1.4);
    EXPECT_DOUBLE_EQ(StreamTable[3].VehicleLength, 0);
}

TEST_F(StreamCommands, NamesFromTheSignalHeadsOfTheIntersection) {
    for (const char* text : {"3/12/K1", "3/12/K1", "3/12/P2", "3/13/K3", "3/12/X9", "3 / 12 / K 4p",
                             "3/12/K_5", "12/K6", "3/12/K0"})
        addHead(QString::fromUtf8(text));
    mnuEdycja_Pobierz();
    EXPECT_EQ(tableNames(), (QStringList{QStringLiteral("K1"), QStringLiteral("P2"), QStringLiteral("K4p")}));
    EXPECT_EQ(StreamTable[1].Kind, KindPedestrian);
    EXPECT_EQ(StreamTable[2].Number, 4);
    EXPECT_EQ(window.GridRefreshCount, 1);
    EXPECT_TRUE(window.GridStreamName.isEmpty());
    EXPECT_EQ(window.StatusText, window.StatusDefault);
    // A second run finds every name taken.
    mnuEdycja_Pobierz();
    EXPECT_EQ(StreamTable.size(), 3u);
    EXPECT_EQ(window.GridRefreshCount, 1);
}

TEST_F(StreamCommands, HeadsOfTwoSpellingsOfTheIntersectionAskWhichOne) {
    IntersectionNumber = QStringLiteral("12A");
    addHead(QStringLiteral("3/12a/K1"));
    addHead(QStringLiteral("3/12A/K2"));
    QStringList offered;
    StreamDialogs().WybierzSkrzyzowanie = [&](const QStringList& numbers) {
        offered = numbers;
        return QStringLiteral("12A");
    };
    mnuEdycja_Pobierz();
    EXPECT_EQ(offered, (QStringList{QStringLiteral("12a"), QStringLiteral("12A")}));
    EXPECT_EQ(tableNames(), QStringList{QStringLiteral("K2")});

    // A cancelled picker creates nothing.
    StreamTable.clear();
    StreamDialogs().WybierzSkrzyzowanie = [](const QStringList&) { return QString(); };
    mnuEdycja_Pobierz();
    EXPECT_TRUE(StreamTable.empty());
}

class HighlightedStreams : public StreamCommands {
protected:
    void SetUp() override {
        StreamCommands::SetUp();
        block =
            addAttributeBlock(QStringLiteral("12"), {{QStringLiteral("FAZY"), QStringLiteral("K1:3,1^")}});
        highlighted(addLine(3, QStringLiteral("^K1^S1"), 0, 0, 1, 0));
        highlighted(addLine(4, QStringLiteral("^K1"), 1, 0, 2, 0));
        addLine(5, QStringLiteral("^K1[2]"), 5, 0, 6, 0);
        addLine(6, QStringLiteral("^K2"), 7, 0, 8, 0);
        highlighted(
            addLine(7, QStringLiteral("^K3"), 0, 0, 1, 0, QStringLiteral("13")));  // another intersection
        ASSERT_TRUE(OdczytajStrumienie(false, -1));
    }
    void highlighted(const QString& handle) { doc().handleToObject(handle).setColor(3); }
    cad::Entity block;
};

TEST_F(HighlightedStreams, GoToAGroupWithEveryVariantOfTheirBaseName) {
    prompts.answerInput(QStringLiteral("3"));
    mnuEdycja_ZaznaczoneDoGrupy();
    EXPECT_EQ(stream(QStringLiteral("K1")).Group, 3);
    EXPECT_EQ(stream(QStringLiteral("K1[2]")).Group, 3);
    EXPECT_EQ(stream(QStringLiteral("S1")).Group, 3);
    EXPECT_EQ(stream(QStringLiteral("K2")).Group, 0);
    EXPECT_EQ(attribute(block, QStringLiteral("GRUPY")), QStringLiteral("K1:3^S1:3^"));
    EXPECT_TRUE(window.GridCells.contains(QString::number(FindStreamIndex(QStringLiteral("K1[2]"))) +
                                          QStringLiteral("/2=3")));
    EXPECT_TRUE(window.FlashNotice.isEmpty());
    EXPECT_FALSE(window.commandsBlocked());

    // Text is no group: refused, nothing changes.
    prompts.answerInput(QStringLiteral("7x"));
    prompts.answerMessage(ui::Ok);
    mnuEdycja_ZaznaczoneDoGrupy();
    EXPECT_EQ(stream(QStringLiteral("K1")).Group, 3);
    EXPECT_EQ(prompts.asked().back().flags & ui::Exclamation, ui::Exclamation);
}

TEST_F(HighlightedStreams, GoToAPhaseSharedByEveryVariant) {
    prompts.answerInput(QStringLiteral("2"));
    mnuEdycja_ZaznaczoneDoFazy();
    EXPECT_EQ(stream(QStringLiteral("K1")).Phases, QStringLiteral("1,2,3"));
    EXPECT_EQ(stream(QStringLiteral("K1[2]")).Phases, QStringLiteral("1,2,3"));
    EXPECT_EQ(stream(QStringLiteral("S1")).Phases, QStringLiteral("2"));
    EXPECT_EQ(stream(QStringLiteral("K2")).Phases, QString());
    EXPECT_EQ(attribute(block, QStringLiteral("FAZY")), QStringLiteral("K1:1,2,3^S1:2^"));
    // A phase the list holds is not added twice.
    prompts.answerInput(QStringLiteral("3"));
    mnuEdycja_ZaznaczoneDoFazy();
    EXPECT_EQ(stream(QStringLiteral("K1")).Phases, QStringLiteral("1,2,3"));
    // Cancel changes nothing.
    prompts.answerInput(std::nullopt);
    mnuEdycja_ZaznaczoneDoFazy();
    EXPECT_EQ(stream(QStringLiteral("S1")).Phases, QStringLiteral("2,3"));
}

}  // namespace
}  // namespace conflictor::test
