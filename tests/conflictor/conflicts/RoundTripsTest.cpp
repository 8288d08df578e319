// Over a channel that carries calls as the socket does, reading the markers back costs the same few
// round trips whatever their number, and the legend costs five: its answers and one write.
#include "CutFixture.h"

#include "conflictor/conflicts/Legend.h"
#include "platform/cad/LoopbackChannel.h"

namespace conflictor::test {
namespace {

class OverLoopback : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        loop = std::make_unique<cad::LoopbackChannel>(cad_->model());
        inProcess = automation::SetCadConnector({[this] { return cad::Application(loop.get()); }, {}});
        automation::ResetCadConnectionState();
        automation::CadApplication = automation::ConnectToAutoCad(true);
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
    }
    void TearDown() override {
        automation::SetCadConnector(inProcess);
        CutFixture::TearDown();
    }
    quint64 trips() const { return loop->roundTrips(); }

    std::unique_ptr<cad::LoopbackChannel> loop;
    automation::CadConnector inProcess;
};

TEST_F(OverLoopback, MarkersAreReadInTheSameFewRoundTripsWhateverTheirNumber) {
    StreamTable = {Stream(QStringLiteral("K1")), Stream(QStringLiteral("P1"))};
    InsertMarkerBlock({0, 0}, QStringLiteral("3"), QStringLiteral("K1"), QStringLiteral("K2"), QString());
    QList<ConflictMarker> read = ReadConflictMarkers();  // the drawing's fixed objects are asked once
    quint64 before = trips();
    read = ReadConflictMarkers();
    const quint64 one = trips() - before;
    ASSERT_EQ(read.size(), 1);
    EXPECT_LE(one, 8u);
    for (int i = 1; i <= 20; ++i)
        InsertMarkerBlock({10.0 * i, 0}, QStringLiteral("1"), QStringLiteral("K1"), QStringLiteral("P1"),
                          QStringLiteral("P1"));
    before = trips();
    read = ReadConflictMarkers();
    EXPECT_EQ(trips() - before, one);
    ASSERT_EQ(read.size(), 21);
    EXPECT_EQ(read[0].Stream2, QStringLiteral("K2"));
    EXPECT_EQ(read[20].Kind, 1);
    EXPECT_EQ(read[20].Stream1, QStringLiteral("K1"));
    EXPECT_EQ(read[20].AssociatedPedestrian, QStringLiteral("P1"));
    EXPECT_DOUBLE_EQ(read[20].Position.X, 200);
}

TEST_F(OverLoopback, TheLegendIsDrawnInOneWrite) {
    picks.point(1000, 2000).point(3000, 2000);
    // The drawing's fixed objects are asked once per drawing.
    (void)automation::CadDocument.utility();
    (void)automation::CadDocument.summaryInfo();
    (void)automation::CadDocument.blocks();
    quint64 before = trips();
    ASSERT_TRUE(UstawLegende());
    // The document check, the scale, the window's raise, the pick, the block check, and the
    // definition, its twenty entities and the insertion in one write.
    EXPECT_EQ(trips() - before, 6u);
    EXPECT_EQ(doc().blocks().item(LegendBlockName()).count(), 20);
    EXPECT_EQ(cad_->model().raiseRequests, 1);
    before = trips();
    ASSERT_TRUE(UstawLegende());
    EXPECT_EQ(trips() - before, 6u);
    EXPECT_EQ(references(LegendBlockName()).size(), 2);
    EXPECT_EQ(cad_->model().raiseRequests, 2);
}

}  // namespace
}  // namespace conflictor::test
