// Hatcher's commands over a channel that carries calls as requests (the loopback, as the socket
// does): the pictures, the pattern area and connect-all cost round trips for their steps, not for
// every entity, copy, piece or arrow; and they give what the in-process run gives.
#include "HatcherFixture.h"
#include "SampleIntersection.h"

#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"
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
            if (k != l) EXPECT_TRUE(TransitionExists(QStringLiteral("7"), k, l)) << k << "-" << l;
    trips = loopback->roundTrips();
    cmdConnectAll_Click(form);                       // again: the twelve old arrows go, twelve new ones come
    EXPECT_LE(loopback->roundTrips() - trips, 23u);  // was 636
    trips = loopback->roundTrips();
    EXPECT_TRUE(TransitionExists(QStringLiteral("7"), 1, 2));
    EXPECT_EQ(loopback->roundTrips() - trips, 2u);  // the search and the attributes (was 6)
}
