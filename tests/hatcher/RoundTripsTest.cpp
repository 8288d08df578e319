// Hatcher's commands over a channel that carries calls as requests (the loopback, as the socket
// does): the pictures, the pattern area and connect-all cost round trips for their steps, not for
// every entity, copy, piece or arrow; and they give what the in-process run gives.
#include "HatcherFixture.h"
#include "SampleIntersection.h"

#include "hatcher/core/Clipping.h"
#include "hatcher/core/PatternArea.h"
#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/FilteredReads.h"
#include "platform/cad/LoopbackChannel.h"

using namespace hatcher;
using namespace hatcher::test;

namespace {

class HatcherRoundTrips : public HatcherFixture {
protected:
    // The sample with its streams, reached through the loopback channel from here on.
    void openSampleOverLoopback() {
        automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        AddSampleStreams();
        loopback = std::make_unique<cad::LoopbackChannel>(cad_->model());
        automation::SetCadConnector({[this] { return cad::Application(loopback.get()); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
    }
    std::unique_ptr<cad::LoopbackChannel> loopback;
};

}  // namespace

TEST_F(HatcherRoundTrips, PicturesAndArrowsCostTheirStepsNotTheirObjects) {
    openSampleOverLoopback();
    const int entities = automation::CadModelSpace.count();
    quint64 trips = loopback->roundTrips();
    picks.point(0, 0).point(30, 0).point(0, -200);
    const QStringList pictures = frmMain_cmdTworzObrazyFaz_Click(form);
    ASSERT_EQ(pictures.size(), 4);
    EXPECT_EQ(prompts.unexpected(), 0);
    const quint64 pictureTrips = loopback->roundTrips() - trips;
    // Four pictures over a pattern cut from the base map (about 110 entities, 40 of them hatches):
    // the cut costs about a dozen round trips a hatch and two a line, and each picture about ten
    // whatever it holds; read and written one call at a time it was over 2,200.
    EXPECT_LT(pictureTrips, quint64(entities) * 12) << pictureTrips;

    trips = loopback->roundTrips();
    cmdConnectAll_Click(form);
    const quint64 arrowTrips = loopback->roundTrips() - trips;
    // Twelve arrows and the template's block: each search one read (no named sets), the block loaded in
    // five, the arrows in four (was 566).
    EXPECT_LE(arrowTrips, 25u) << arrowTrips;
    for (int k = 1; k <= 4; ++k)
        for (int l = 1; l <= 4; ++l)
            if (k != l) {
                EXPECT_TRUE(TransitionExists(QStringLiteral("7"), k, l)) << k << "-" << l;
            }
    trips = loopback->roundTrips();
    cmdConnectAll_Click(form);                       // again: the twelve old arrows go, twelve new ones come
    EXPECT_LE(loopback->roundTrips() - trips, 23u);  // was 636
    trips = loopback->roundTrips();
    EXPECT_TRUE(TransitionExists(QStringLiteral("7"), 1, 2));
    EXPECT_EQ(loopback->roundTrips() - trips, 2u);  // the search and the attributes (was 6)
}

TEST_F(HatcherRoundTrips, PatternAreaCostsItsHatchesReadsNotItsCopies) {
    openSampleOverLoopback();
    const quint64 trips = loopback->roundTrips();
    picks.point(0, 0).point(30, 0).point(0, -200);
    frmMain_cmdDefObszar_Click(form);
    const quint64 patternTrips = loopback->roundTrips() - trips;
    const QStringList copies = PatternCopyHandles.value(QStringLiteral("7"));
    ASSERT_GT(copies.size(), 50);
    // The lines' and texts' copies are cut together and their handles read once; the hatches' copies,
    // first loops and their regions are made at once and each hatch then costs two reads (its area, its
    // new hatch's handle); copies and made curves are erased at once. One answer per copy and step: 767.
    EXPECT_LT(patternTrips, 300u) << patternTrips;
    // Every recorded copy stands in the drawing.
    const cad::VariantList rows =
        cad::ReadProperties(automation::CadDocument, cad::VariantList(copies.begin(), copies.end()),
                            {QStringLiteral("ObjectName")});
    EXPECT_EQ(rows.size(), copies.size());
}

TEST_F(HatcherRoundTrips, AHatchThatCannotBeCopiedFailsOnlyItsOwnCut) {
    openSampleOverLoopback();
    const cad::VariantList rows = cad::ReadSelection(
        automation::CadDocument, automation::BuildSelectionFilter({0, QStringLiteral("HATCH")}), {});
    ASSERT_GE(rows.size(), 3);
    QList<cad::Entity> hatches;
    for (int i = 0; i < 3; ++i) hatches << cad::EntityOfRow(automation::CadDocument, rows[i]);
    const QList<ClipFacts> facts = ReadClipFacts(hatches);
    hatches[1].erase();  // gone after its facts were read: its copy is refused
    const int before = automation::CadModelSpace.count();
    QStringList taken;
    {
        // As the pattern area cuts: the copies made together, the refusal reported after them.
        const cad::DeferredCalls together(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
        // A circle around the whole drawing: each hatch that can be cut gives one solid hatch.
        ClipHatchCopiesToCircle(hatches, facts, {0, 0}, 1e7, {0, 0}, taken);
    }
    ASSERT_EQ(taken.size(), 2);
    const cad::VariantList kinds =
        cad::ReadProperties(automation::CadDocument, cad::VariantList(taken.begin(), taken.end()),
                            {QStringLiteral("ObjectName")});
    for (const cad::Variant& k : kinds) EXPECT_EQ(k.toArray().value(0).toText(), QStringLiteral("AcDbHatch"));
    // The copies, the curves made for their loops and the clip circle's region are gone.
    EXPECT_EQ(automation::CadModelSpace.count(), before + 2);
}

TEST_F(HatcherRoundTrips, ALineTheCadRefusesToCopyFailsTheCutInProcessAndOverTheLoopback) {
    // Three lines, the second gone after their facts were read: the pattern would silently lack it.
    const auto cutWithOneGone = [] {
        const cad::VariantList rows = cad::ReadSelection(
            automation::CadDocument, automation::BuildSelectionFilter({0, QStringLiteral("LINE")}), {});
        QList<cad::Entity> lines;
        for (int i = 0; i < 3 && i < rows.size(); ++i)
            lines << cad::EntityOfRow(automation::CadDocument, rows[i]);
        ASSERT_EQ(lines.size(), 3);
        const QList<ClipFacts> facts = ReadClipFacts(lines);
        lines[1].erase();
        QStringList taken;
        const cad::DeferredCalls together(automation::CadDocument, cad::DeferredCalls::NewObjectsToo);
        ClipCopiesToCircle(lines, facts, {0, 0}, 1e7, {0, 0}, taken);
    };
    automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    EXPECT_THROW(cutWithOneGone(), cad::Error);
    openSampleOverLoopback();
    EXPECT_THROW(cutWithOneGone(), cad::Error);
}
