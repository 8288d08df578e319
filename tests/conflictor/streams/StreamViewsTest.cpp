// Phase membership, the colouring and views of streams in the drawing, the View-menu lists and the
// command guard.
#include "StreamCommandsFixture.h"

#include "automation/CadVariables.h"
#include "common/SettingBindings.h"
#include "conflictor/streams/PhaseMembership.h"
#include "conflictor/streams/CommandGuard.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/ViewCommands.h"

namespace conflictor::test {
namespace {

TEST_F(StreamCommands, PhaseMembershipCountsEveryNumberOfTheList) {
    const char* lists[] = {"1,3,4", "", ",2", "2,,5", "0,4", " 3 , 7", "x,6"};
    for (const char* l : lists) StreamTable.push_back(Stream(QStringLiteral("K1"), QString::fromLatin1(l)));
    EXPECT_TRUE(StrumienJestWFazie(0, 3));
    EXPECT_FALSE(StrumienJestWFazie(0, 2));
    EXPECT_EQ(GetFirstPhaseOfStream(0), 1);
    EXPECT_FALSE(StrumienJestWFazie(1, 1));
    EXPECT_EQ(GetFirstPhaseOfStream(1), 0);
    EXPECT_TRUE(StrumienJestWFazie(2, 2));
    EXPECT_EQ(GetFirstPhaseOfStream(2), 0);
    EXPECT_TRUE(StrumienJestWFazie(3, 5));
    EXPECT_FALSE(StrumienJestWFazie(4, 0));
    EXPECT_TRUE(StrumienJestWFazie(4, 4));
    EXPECT_TRUE(StrumienJestWFazie(5, 3));
    EXPECT_EQ(GetFirstPhaseOfStream(5), 3);
    EXPECT_EQ(GetFirstPhaseOfStream(6), 0);
    EXPECT_FALSE(StrumienJestWFazie(99, 1));
    // Lists longer than 31 numbers: the last ones count too.
    QStringList many;
    for (int n = 1; n <= 40; ++n) many.append(QString::number(n));
    StreamTable.push_back(Stream(QStringLiteral("K2"), many.join(QLatin1Char(','))));
    EXPECT_TRUE(StrumienJestWFazie(7, 40));
    EXPECT_EQ(PhaseNumbersOfList(many.join(QLatin1Char(','))).size(), 40u);
}

class StreamsInView : public StreamCommands {
protected:
    void SetUp() override {
        StreamCommands::SetUp();
        addAttributeBlock(QStringLiteral("12"),
                          {{QStringLiteral("FAZY"), QStringLiteral("K1:1,2^SK1:3^K2:2^")},
                           {QStringLiteral("GRUPY"), QStringLiteral("K1:3^K2:5^")}});
        for (const char* m : {"12^POCZATEK_STRUMIEN_K1_90", "12^KONIEC_STRUMIEN_K2_91"})
            doc().blocks().add(cad::Point{0, 0, 0}, QString::fromLatin1(m)).addCircle(cad::Point{0, 0, 0}, 1);
        shared = addLine(3, QStringLiteral("^K1^SK1"), 0, 0, 10, 0);
        own = addLine(4, QStringLiteral("^K2"), 10, 0, 20, 0);
        startK1 = insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1_90"), StreamLayer).handle();
        endK2 = insert(QStringLiteral("12^KONIEC_STRUMIEN_K2_91"), StreamLayer, 20, 0).handle();
        ASSERT_TRUE(OdczytajStrumienie(false, -1));
    }
    cad::Entity at(const QString& handle) { return doc().handleToObject(handle); }
    QString shared, own, startK1, endK2;
};

TEST_F(StreamsInView, APhaseShownAloneAndAllShownAgain) {
    window.DetailsShown = true;
    window.UnitsButtonVisible = false;
    ZmienWidok(3);  // only SK1 runs in phase 3
    EXPECT_EQ(ShownPhase, 3);
    // The bar stood over the two buttons while the view changed; they are back, the units button
    // with the details.
    EXPECT_EQ(window.ProgressMax, int(StreamTable.size()));
    EXPECT_FALSE(window.ProgressVisible);
    EXPECT_TRUE(window.BigButtonVisible);
    EXPECT_TRUE(window.UnitsButtonVisible);
    EXPECT_TRUE(at(shared).visible());
    EXPECT_EQ(at(shared).linetype(), QStringLiteral("ACAD_ISO03W100"));
    EXPECT_FALSE(at(own).visible());
    EXPECT_FALSE(at(startK1).visible());
    ZmienWidok(1);  // K1 runs in phase 1: the shared component is shown plain
    EXPECT_TRUE(at(startK1).visible());
    EXPECT_EQ(at(shared).linetype(), QStringLiteral("BYLAYER"));
    EXPECT_FALSE(at(endK2).visible());
    mnuWidok_PokazWszystkie();
    EXPECT_EQ(ShownPhase, -1);
    for (const QString& h : {shared, own, startK1, endK2}) EXPECT_TRUE(at(h).visible());
    EXPECT_FALSE(window.commandsBlocked());
    EXPECT_FALSE(window.BusyCursor);
}

TEST_F(StreamsInView, PhaseAndGroupColouringHighlightingAndHidingTheRest) {
    bool rebuild = true;
    SelectPhaseStreams(2, rebuild);
    EXPECT_FALSE(rebuild);
    EXPECT_EQ(at(shared).color(), 3);
    EXPECT_EQ(at(own).color(), 3);
    EXPECT_EQ(at(startK1).color(), 3);
    // Two entries for the shared reference (K1 and SK1), one for each other reference and marker.
    EXPECT_EQ(StreamReferenceCache.size(), 5u);

    // Stepping to phase 3 works from the cache.
    SelectPhaseStreams(3, rebuild);
    EXPECT_EQ(at(shared).color(), 3);
    EXPECT_EQ(at(own).color(), 256);
    EXPECT_EQ(at(endK2).color(), 256);

    ZmienWidok(-3);  // hides what is not highlighted
    EXPECT_TRUE(at(shared).visible());
    EXPECT_FALSE(at(own).visible());
    ZmienWidok(-2);
    ZmienWidok(-1);
    for (const QString& h : {shared, own, startK1, endK2}) EXPECT_EQ(at(h).color(), 256);

    select(QStringLiteral("K2"));
    mnuWidok_ZaznaczGrupe();  // group 5: K2 and its end marker
    EXPECT_EQ(at(own).color(), 3);
    EXPECT_EQ(at(endK2).color(), 3);
    EXPECT_EQ(at(shared).color(), 256);

    // Highlighting a stream outside the phase shown alone shows all streams first.
    ZmienWidok(3);
    select(QStringLiteral("K2"));
    mnuWidok_ZaznaczStrumien();
    EXPECT_EQ(ShownPhase, -1);
    EXPECT_TRUE(at(own).visible());
}

TEST_F(StreamsInView, CrossingLinksFollowThePhaseWhenTheOptionIsOn) {
    common::SettingBindings[8].Value = 1;
    cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("12^POWIAZANIE_1"));
    b.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    automation::AddAttributeDefinition(b, QStringLiteral("STRUMIENIE_OD_SRODKA"), QString(), 0, 0);
    automation::AddAttributeDefinition(b, QStringLiteral("STRUMIENIE_ZEWN"), QString(), 0, 0);
    automation::EnsureLayer(QStringLiteral("402-POWIAZANIA_PRZEJSC"), false, 5, -10);
    cad::Entity link = insert(QStringLiteral("12^POWIAZANIE_1"), QStringLiteral("402-POWIAZANIA_PRZEJSC"));
    for (const cad::Entity& att : link.attributes())
        att.setTextString(att.tagString() == QLatin1String("STRUMIENIE_OD_SRODKA") ? QStringLiteral("K1")
                                                                                   : QStringLiteral("K2"));
    automation::ReadCrossingLinks(QStringLiteral("12"));
    ASSERT_EQ(automation::CrossingLinkTable.size(), 1);
    EXPECT_TRUE(IsCrossingLinkInPhase(automation::CrossingLinkTable.first(), 2));
    EXPECT_FALSE(IsCrossingLinkInPhase(automation::CrossingLinkTable.first(), 1));
    ZmienWidok(1);
    EXPECT_FALSE(link.visible());
    ZmienWidok(2);
    EXPECT_TRUE(link.visible());
    bool rebuild = true;
    SelectPhaseStreams(2, rebuild);
    EXPECT_EQ(link.color(), common::Settings.CrossingLinkPen);
    ZmienWidok(-1);
    EXPECT_EQ(link.color(), 256);
    common::SettingBindings[8].Value = 0;
}

TEST_F(StreamCommands, TheSegmentListShowsLengthsInChainOrder) {
    addLine(3, QStringLiteral("^K1"), 10, 0, 10, 10);                                          // second
    addArc(4, QStringLiteral("^K1"), 20, 10, 10, 3.141592653589793, 1.5 * 3.141592653589793);  // third
    addLine(5, QStringLiteral("^K1"), 0, 0, 10, 0);                                            // first
    doc()
        .blocks()
        .add(cad::Point{0, 0, 0}, QStringLiteral("12^POCZATEK_STRUMIEN_K1_9"))
        .addCircle(cad::Point{0, 0, 0}, 1);
    insert(QStringLiteral("12^POCZATEK_STRUMIEN_K1_9"), StreamLayer, 0, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    select(QStringLiteral("K1"));
    int shownFor = -2;
    bool mode = true;
    StreamDialogs().Odcinki = [&](int i, bool conflictPoints) {
        shownFor = i;
        mode = conflictPoints;
    };
    mnuWidok_PokazOdcinki();
    EXPECT_EQ(shownFor, 0);
    EXPECT_FALSE(mode);
    const std::vector<SegmentHandleEntry> rows = SegmentListEntries(0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Text, QStringLiteral("10.0 m"));
    EXPECT_EQ(rows[1].Text, QStringLiteral("10.0 m"));
    EXPECT_EQ(rows[2].Text, QStringLiteral("15.7 m"));  // a quarter circle of radius 10
    EXPECT_EQ(rows[0].Handle, StreamTable[0].Segments[3].Handle);
    automation::DrawingScale = 2;
    EXPECT_EQ(SegmentListEntries(0)[2].Text, QStringLiteral("7.9 m"));
}

TEST_F(StreamCommands, TheConflictPointListKeepsTheIntersectionsOwnPointsWithTheirHandles) {
    addLine(3, QStringLiteral("^K1"), 0, 0, 10, 0);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    select(QStringLiteral("K1"));
    auto point = [&](const QString& nr, const QString& a, const QString& b) {
        const QString name =
            nr + QStringLiteral("^POJPOJ_STRUMIEN_") + QString::number(doc().blocks().count());
        cad::Block blk = doc().blocks().add(cad::Point{0, 0, 0}, name);
        automation::AddAttributeDefinition(blk, QStringLiteral("POJPOJ_STRUMIEN1"), QLatin1Char('^') + a, 0,
                                           0);
        automation::AddAttributeDefinition(blk, QStringLiteral("POJPOJ_STRUMIEN2"), QLatin1Char('^') + b, 0,
                                           0);
        return insert(name, QStringLiteral("114-PUNKTY_KOLIZJI")).handle();
    };
    automation::EnsureLayer(QStringLiteral("114-PUNKTY_KOLIZJI"), false, 5, -10);
    std::vector<QString> handles;
    for (int n = 0; n < 120; ++n)
        handles.push_back(point(QStringLiteral("12"), QStringLiteral("K1"), QStringLiteral("K2")));
    point(QStringLiteral("13"), QStringLiteral("K1"), QStringLiteral("K9"));  // another intersection
    point(QStringLiteral("12"), QStringLiteral("K5"), QStringLiteral("K6"));  // other streams
    bool shown = false;
    StreamDialogs().Odcinki = [&](int, bool conflictPoints) { shown = conflictPoints; };
    mnuWidok_PokazPunkty();
    EXPECT_TRUE(shown);
    ASSERT_EQ(SegmentHandleList.size(), 120u);
    for (size_t k = 0; k < handles.size(); ++k) {
        EXPECT_EQ(SegmentHandleList[k].Handle, handles[k]);
        EXPECT_EQ(SegmentHandleList[k].Text, QStringLiteral("K2"));
    }
}

TEST_F(StreamCommands, TheCommandGuardReportsAFailureAndPutsTheWindowBack) {
    automation::SaveAndSetCadVariables(QStringLiteral("3"), QString(), -1.0, 0.0, 1.0);
    window.hideWindow();
    prompts.answerMessage(ui::Ok);
    EXPECT_FALSE(RunStreamCommand([] { throw std::runtime_error("przerwano"); }));
    EXPECT_TRUE(window.Visible);
    EXPECT_FALSE(automation::SavedCadVariables.pending);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].flags & 0x70, ui::Exclamation);
    EXPECT_TRUE(prompts.asked()[0].text.endsWith(QStringLiteral("przerwano")));

    // While a long operation runs, no other command starts.
    bool ran = false;
    {
        CommandBlock block;
        EXPECT_FALSE(RunStreamCommand([&] { ran = true; }));
    }
    EXPECT_FALSE(ran);
    EXPECT_TRUE(RunStreamCommand([&] { ran = true; }));
    EXPECT_TRUE(ran);
    // A running command that lets the message loop run keeps others out until it ends.
    bool nested = true;
    EXPECT_TRUE(RunStreamCommand([&] {
        EXPECT_TRUE(window.commandsBlocked());
        nested = RunStreamCommand([] {});
    }));
    EXPECT_FALSE(nested);
    EXPECT_FALSE(window.commandsBlocked());
}

}  // namespace
}  // namespace conflictor::test
