// What the cut says when the CAD does not do all it is asked: a marker the drawing refuses is named in
// the closing message (in-process and over a channel that carries calls as the socket does), and a
// CAD host lost part-way is told as such, with the table left as the grid shows it.
#include "CutFixture.h"

#include "../HostGone.h"

#include "conflictor/streams/CommandGuard.h"
#include "platform/cad/LoopbackChannel.h"

namespace conflictor::test {
namespace {

// The drawing refuses one call: the insertion of the first vehicle-vehicle marker, whose block name
// is turned into one the drawing lacks on its way, so that the drawing's own refusal comes back.
bool refuseMarkerInsertion(const QString& member, cad::VariantList& args, bool& refused) {
    if (refused || member != QLatin1String("InsertBlock") || args.size() < 2 ||
        !args[1].toText().startsWith(QStringLiteral("12^POJPOJ_STRUMIEN_")))
        return false;
    refused = true;
    args[1] = cad::Variant(QStringLiteral("BRAK_BLOKU"));
    return true;
}

// In-process: the call passes through here to the CAD.
class RefusingChannel : public cad::Channel {
public:
    explicit RefusingChannel(cad::Channel* inner) : inner_(inner) {}
    cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                      std::span<const cad::Variant> args) override {
        cad::VariantList own(args.begin(), args.end());
        refuseMarkerInsertion(member, own, refused);
        return inner_->call(object, member, kind, own);
    }
    bool refused = false;

private:
    cad::Channel* inner_;
};

// Over the loopback: the request is changed as it travels, held back with the others.
class RefusingLoopback : public cad::LoopbackChannel {
public:
    using LoopbackChannel::LoopbackChannel;
    bool refused = false;

protected:
    cad::Reply carry(std::vector<cad::Request>& requests) override {
        for (cad::Request& r : requests) refuseMarkerInsertion(r.call.member, r.call.args, refused);
        return LoopbackChannel::carry(requests);
    }
};

// Once the first stream is split (progress 2) the CAD host goes away, when asked to.
class InterferingWindow : public StreamWindow {
public:
    bool loseHost = false;
    std::unique_ptr<HostGone> gone;
    void setProgressValue(int value) override {
        StreamWindow::setProgressValue(value);
        if (value == 2 && loseHost && !gone) gone = std::make_unique<HostGone>();
    }
};

class CutLeftOut : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        SetStreamWindow(&w);
    }
    void TearDown() override {
        w.gone.reset();
        if (loop) automation::SetCadConnector(inProcess);
        CutFixture::TearDown();
    }
    void overLoopback() {
        loop = std::make_unique<RefusingLoopback>(cad_->model());
        inProcess = automation::SetCadConnector({[this] { return cad::Application(loop.get()); }, {}});
        automation::ResetCadConnectionState();
        automation::CadApplication = automation::ConnectToAutoCad(true);
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        EnsureStreamLayers();
    }
    // K1 along the x axis crossed by K2 at x = 40: one vehicle-vehicle point.
    void crossing() {
        draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
        draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
        drawn();
    }
    // The refused marker is named, with the drawing's reason, in place of the plain closing message;
    // the streams are cut all the same.
    void expectMarkerNamed(const QString& refusal) {
        EXPECT_EQ(cut(), CutOutcome::Done);
        EXPECT_FALSE(saidDone());
        const QStringList said = prompts.messageTexts();
        ASSERT_FALSE(said.isEmpty());
        QString closing;
        for (const QString& t : said)
            if (t.startsWith(QStringLiteral("Zakończono operację cięcia"))) closing = t;
        EXPECT_TRUE(closing.startsWith(QStringLiteral(
            "Zakończono operację cięcia, ale program CAD odmówił wstawienia znaczników punktów kolizji (1):\n"
            "znacznik punktu kolizji strumieni K")))
            << closing.toStdString();
        EXPECT_TRUE(closing.contains(QStringLiteral("(40.00; 0.00): ") + refusal)) << closing.toStdString();
        EXPECT_TRUE(closing.endsWith(
            QStringLiteral("Tych znaczników brak w rysunku albo są niepełne; wykonaj cięcie ponownie.")));
        EXPECT_TRUE(markers().isEmpty());
        EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 2);
        EXPECT_EQ(componentsInDrawing(QStringLiteral("K2")), 2);
    }

    // What the drawing says when asked to insert a block it lacks.
    QString theRefusal() {
        try {
            modelSpace().insertBlock(cad::Point{0, 0, 0}, QStringLiteral("BRAK_BLOKU"), 1, 1, 1, 0);
        } catch (const cad::Error& e) {
            return e.message();
        }
        ADD_FAILURE() << "the drawing inserted a block it lacks";
        return {};
    }

    InterferingWindow w;
    std::unique_ptr<RefusingLoopback> loop;
    automation::CadConnector inProcess;
};

TEST_F(CutLeftOut, AMarkerTheDrawingRefusesIsNamedInTheClosingMessage) {
    crossing();
    RefusingChannel refusing(automation::CadApplication.channel());
    automation::CadApplication = cad::Application(&refusing);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    expectMarkerNamed(theRefusal());
    EXPECT_TRUE(refusing.refused);
}

TEST_F(CutLeftOut, AMarkerTheDrawingRefusesIsNamedOverTheLoopbackToo) {
    overLoopback();
    crossing();
    expectMarkerNamed(theRefusal());
    EXPECT_TRUE(loop->refused);
}

// Without a refusal the cut says only that it is done, and the marker stands.
TEST_F(CutLeftOut, ACutTheDrawingTakesWholeSaysOnlyDone) {
    overLoopback();
    loop->refused = true;  // refused once already: nothing more is
    crossing();
    EXPECT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(saidDone());
    EXPECT_EQ(markers().size(), 1);
}

// The host lost part-way: the user is told the host is gone and to start again, not a drawing error
// nor a finished cut; the table keeps the streams the grid shows, and the next stream command says
// the host is gone instead of doing nothing.
TEST_F(CutLeftOut, AHostLostDuringTheCutIsToldAndTheTableKeepsItsStreams) {
    crossing();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    w.GridStreamName = QStringLiteral("K2");
    w.loseHost = true;
    EXPECT_EQ(cut(), CutOutcome::Failed);
    EXPECT_FALSE(saidDone());
    const QString said = prompts.messageTexts().join(QLatin1Char('\n'));
    EXPECT_TRUE(said.contains(QStringLiteral("Operacja cięcia została przerwana, bo program CAD nie odpowiada:\n") +
                              HostGone::Message()))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("Uruchom ponownie program CAD i ten program, otwórz rysunek i "
                                             "wykonaj cięcie ponownie.")))
        << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("błąd rysunku")));
    EXPECT_FALSE(said.contains(QStringLiteral("przejś")));  // no crossing advice
    QStringList names;
    for (const StreamRecord& r : StreamTable) names << r.Name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("K1"), QStringLiteral("K2")}));
    EXPECT_EQ(w.GridStreamName, QStringLiteral("K2"));  // the grid's selection stands too
    EXPECT_FALSE(w.commandsBlocked());

    prompts.clear();
    w.GridStreamName = QStringLiteral("K1");
    EXPECT_FALSE(RunStreamCommand([] { SetStartPoint(false); }));
    EXPECT_TRUE(prompts.messageTexts().join(QLatin1Char('\n')).contains(HostGone::Message()));
}

}  // namespace
}  // namespace conflictor::test
