// Over a channel that carries calls as the socket does, redrawing the program and a playback step
// that recolours the streams cost few round trips: every bar's pieces go together, and a step's
// marker move and colours with the reads that follow them.
#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "ProgramDrawingFixture.h"
#include "GroupBuilders.h"
#include "phaseplanner/drawing/BarPieces.h"
#include "phaseplanner/drawing/Playback.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/drawing/ProgramReading.h"
#include "phaseplanner/editor/ProgramStates.h"
#include "phaseplanner/editor/ProgramText.h"
#include "platform/cad/LoopbackChannel.h"

namespace phaseplanner::test {
namespace {

class PlannerOverLoopback : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        PrepareProgramDrawing();
        loop = std::make_unique<cad::LoopbackChannel>(cad_->model());
        inProcess = automation::SetCadConnector({[this] { return cad::Application(loop.get()); }, {}});
        automation::ResetCadConnectionState();
        automation::CadApplication = automation::ConnectToAutoCad(true);
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        ASSERT_TRUE(UstawWidoczneAtrybuty());
        for (int i = 1; i <= 12; ++i)
            GroupTable.push_back(Group(KindVehicle, QStringLiteral("K%1").arg(i), {{5 * i, 20}}));
        CycleLength = 90;
    }
    void TearDown() override {
        automation::SetCadConnector(inProcess);
        ResetPlayback();
        ResetEditorState();
        ResetProgramAttributeState();
        CadFixture::TearDown();
    }
    quint64 trips() const { return loop->roundTrips(); }

    std::unique_ptr<cad::LoopbackChannel> loop;
    automation::CadConnector inProcess;
};

TEST_F(PlannerOverLoopback, RedrawingTheProgramTakesFewRoundTrips) {
    ASSERT_TRUE(DrawProgram(false));  // the drawing's fixed objects are asked once
    const QString drawn = FormatProgramText(GroupTable, CycleLength);
    const quint64 before = trips();
    ASSERT_TRUE(DrawProgram(false));
    // The reads and look-ups the command needs answered; the erasures, the program block and every
    // bar's pieces go as one batch (over three hundred round trips when each call went alone).
    EXPECT_LE(trips() - before, 50u);
    // What was drawn reads back whole, once.
    GroupTable.clear();
    bool ok = false;
    ReadProgramFromDrawing(true, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(FormatProgramText(GroupTable, CycleLength), drawn);
    EXPECT_EQ(prompts.unexpected(), 0);
}

// The program in a drawing of its own (made from the template), the streams in the intersection's.
TEST_F(PlannerOverLoopback, APlaybackStepThatRecoloursTheStreamsTakesFewRoundTrips) {
    automation::EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), false, -1, -10);
    QList<cad::Entity> streams;
    for (int i = 1; i <= 12; ++i) {
        const QString name = QStringLiteral("7^STRUMIEN_%1^K%1").arg(i);
        defineBlock(name);
        streams.append(insert(name, QStringLiteral("113-STRUMIENIE_RUCHU")));
    }
    defineBlock(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
    insert(QStringLiteral("ATRYBUTY_STRUMIENI_7"), QStringLiteral("0"));
    automation::CadApplication.documents().add();
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    ASSERT_TRUE(UstawWidoczneAtrybuty());
    ASSERT_TRUE(DrawProgram(false));
    const ProgramStates states = ComputeStates(GroupTable, CycleLength);
    ShowSecondInDrawing(6, states, CycleLength);  // the marker is placed, the stream cache built
    const quint64 before = trips();
    ShowSecondInDrawing(11, states, CycleLength);  // K1 and K2 green now
    // The drawing check, the marker, the open drawings, whether each holds the streams, the green
    // streams, the cache check (the drawing, then whether its streams still stand) and the colours
    // (ten when the drawings were asked one by one and the marker's move and the colours given back
    // went on their own).
    EXPECT_LE(trips() - before, 8u);
    for (int i = 0; i < streams.size(); ++i) EXPECT_EQ(streams[i].color(), i < 2 ? 3 : 256) << i;
}

}  // namespace
}  // namespace phaseplanner::test
