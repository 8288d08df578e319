// Calls held back over the real socket: a host's server runs in a thread of this process and the
// programs talk to it through SocketChannel. Held calls travel in one write and run in order; a
// failed one comes back as its typed exception and stops the rest; conflictor's component writing
// costs a few round trips per component and its names stay unique while another program adds and
// deletes blocks between the calls.
#include "automation/Automation.h"
#include "cadhost/HostInteraction.h"
#include "cadhost/SocketServer.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/Application.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/socket/CadHostConnection.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "socket_pipeline_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// The host's model and socket server, living in a thread of their own with a drawing open.
class ThreadHost {
public:
    ThreadHost() {
        socket_ = dir_.filePath(QStringLiteral("host.sock"));
        thread_.start();
        context_.moveToThread(&thread_);
        inThread([this] {
            model_ = std::make_unique<cad::ObjectModel>();
            interaction_ = std::make_unique<cadhost::HostInteraction>(*model_);
            model_->setInteraction(interaction_.get());
            model_->invoke(model_->documentsId, QStringLiteral("Add"), cad::CallKind::Method, {});
            server_ = std::make_unique<cadhost::SocketServer>(*model_, *interaction_);
            listening_ = server_->listen(socket_);
        });
    }
    ~ThreadHost() {
        inThread([this] {
            server_.reset();
            model_->setInteraction(nullptr);
            interaction_.reset();
            model_.reset();
        });
        thread_.quit();
        thread_.wait();
    }
    bool listening() const { return listening_; }
    quint64 callsServed() {
        quint64 n = 0;
        inThread([&] { n = server_->callsServed(); });
        return n;
    }
    const QString& socket() const { return socket_; }
    std::unique_ptr<cad::SocketChannel> connect() const { return cad::AttachToCadHost(socket_, 2000); }

private:
    template <class F>
    void inThread(F&& f) {
        QMetaObject::invokeMethod(&context_, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
    QTemporaryDir dir_;
    QString socket_;
    QThread thread_;
    QObject context_;
    std::unique_ptr<cad::ObjectModel> model_;
    std::unique_ptr<cadhost::HostInteraction> interaction_;
    std::unique_ptr<cadhost::SocketServer> server_;
    bool listening_ = false;
};

class SocketPipeline : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        host_ = std::make_unique<ThreadHost>();
        ASSERT_TRUE(host_->listening());
        channel_ = host_->connect();
        ASSERT_TRUE(channel_);
        doc_ = cad::Application(channel_.get()).activeDocument();
        ms_ = doc_.modelSpace();
    }

    std::unique_ptr<ThreadHost> host_;
    std::unique_ptr<cad::SocketChannel> channel_;
    cad::Document doc_;
    cad::Block ms_;
};

TEST_F(SocketPipeline, HeldCallsTravelTogetherAndRunInOrder) {
    doc_.layers().add(QStringLiteral("A"));
    const cad::Entity line = ms_.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    const quint64 trips = channel_->roundTrips();
    {
        cad::DeferredCalls held(doc_);
        for (int c = 1; c <= 50; ++c) line.setColor(c);
        line.setLayer(QStringLiteral("A"));
        line.setColor(77);
        EXPECT_EQ(line.color(), 77);
    }
    EXPECT_EQ(channel_->roundTrips() - trips, 1u);
    EXPECT_GE(channel_->requestsDeferred(), 52u);
    // Another program sees what ran, in the order it was sent.
    auto other = host_->connect();
    const cad::Entity seen = cad::Application(other.get()).activeDocument().handleToObject(line.handle());
    EXPECT_EQ(seen.color(), 77);
    EXPECT_EQ(seen.layer(), QStringLiteral("A"));
}

// A drawing's collections and model space are the same objects for its life: asked once per drawing.
TEST_F(SocketPipeline, ADrawingsFixedObjectsAreAskedOnce) {
    const cad::Layers layers = doc_.layers();
    quint64 trips = channel_->roundTrips();
    EXPECT_EQ(doc_.layers(), layers);
    EXPECT_EQ(doc_.modelSpace(), ms_);
    EXPECT_EQ(channel_->roundTrips(), trips);
    // A drawing opened later has its own; the active one is asked every time.
    const cad::Document second = cad::Application(channel_.get()).documents().add();
    trips = channel_->roundTrips();
    EXPECT_EQ(cad::Application(channel_.get()).activeDocument(), second);
    EXPECT_NE(second.layers(), layers);
    EXPECT_EQ(channel_->roundTrips() - trips, 2u);
    second.close();
    EXPECT_THROW((void)second.layers().count(), cad::Erased);
}

// The host going away is told in Polish, as its own type, on the call that finds it and every later one.
TEST_F(SocketPipeline, ALostHostIsToldInPolishOnEveryCall) {
    EXPECT_GE(ms_.count(), 0);
    host_.reset();
    const auto message = [&] {
        try {
            (void)ms_.count();
        } catch (const cad::ConnectionLost& e) {
            return e.message();
        }
        return QStringLiteral("<no failure>");
    };
    EXPECT_EQ(message(), QString::fromUtf8("Utracono połączenie z programem CAD (cadhost): program CAD zamknął połączenie"));
    EXPECT_EQ(message(), QString::fromUtf8("Brak połączenia z programem CAD (cadhost)"));
}

TEST_F(SocketPipeline, AFailedHeldCallRaisesItsTypedExceptionAndStopsTheRest) {
    const cad::Entity line = ms_.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    auto run = [&] {
        cad::DeferredCalls held(doc_);
        line.setColor(1);
        line.setLayer(QStringLiteral("NO SUCH LAYER"));
        line.setColor(2);
        line.update();
        return line.handle();
    };
    EXPECT_THROW(run(), cad::NotFound);
    EXPECT_EQ(line.color(), 1);
    // A failure held to the end of the scope is thrown there, with its own type.
    auto ending = [&] {
        cad::DeferredCalls held(doc_);
        line.setColor(999);
    };
    EXPECT_THROW(ending(), cad::InvalidArgument);
    // Provisional objects: a made object serves as a handle, one round trip for all of it.
    const cad::Blocks blocks = doc_.blocks();
    const quint64 trips = channel_->roundTrips();
    QString handle;
    {
        cad::DeferredCalls held(doc_, cad::DeferredCalls::NewObjectsToo);
        const cad::Block b = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("B"));
        b.addCircle(cad::Point{0, 0, 0}, 2).setColor(0);
        const cad::Entity ref = ms_.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("B"), 1, 1, 1, 0);
        ref.setColor(4);
        handle = ref.handle();
    }
    EXPECT_EQ(channel_->roundTrips() - trips, 1u);
    EXPECT_EQ(doc_.handleToObject(handle).color(), 4);
    EXPECT_EQ(doc_.blocks().item(QStringLiteral("B")).item(0).radius(), 2);
}

// A long run goes to the host in parts while the program is still making it: the host runs the
// first parts before the run ends, a failure among them still comes back with the closing call (and
// stops what follows it), and objects made in one part are named in the next.
TEST_F(SocketPipeline, ALongRunGoesAheadInPartsAndKeepsItsOrderAndFailure) {
    const cad::Entity line = ms_.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    const quint64 served = host_->callsServed();
    auto failing = [&] {
        cad::DeferredCalls held(doc_);
        for (int c = 1; c <= 600; ++c) line.setColor(1 + c % 200);
        line.setLayer(QStringLiteral("NO SUCH LAYER"));
        for (int c = 1; c <= 100; ++c) line.setColor(c);
        // The host works on the run before it ends.
        for (int wait = 0; wait < 200 && host_->callsServed() - served < 256; ++wait) QThread::msleep(5);
        EXPECT_GE(host_->callsServed() - served, 256u);
    };
    const quint64 trips = channel_->roundTrips();
    EXPECT_THROW(failing(), cad::NotFound);
    EXPECT_EQ(channel_->roundTrips() - trips, 1u);
    EXPECT_EQ(line.color(), 1);  // the last set before the failure

    QString handle;
    {
        cad::DeferredCalls held(doc_, cad::DeferredCalls::NewObjectsToo);
        const cad::Block b = doc_.blocks().add(cad::Point{0, 0, 0}, QStringLiteral("PARTS"));
        for (int c = 1; c <= 600; ++c) b.addLine(cad::Point{0, 0, 0}, cad::Point{double(c), 0, 0});
        const cad::Entity ref = ms_.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("PARTS"), 1, 1, 1, 0);
        ref.setColor(3);
        handle = ref.handle();
    }
    EXPECT_EQ(doc_.handleToObject(handle).color(), 3);
    EXPECT_EQ(doc_.blocks().item(QStringLiteral("PARTS")).count(), 600);

    {  // a run whose failures are ignored goes on after one in an early part
        cad::DeferredCalls held(doc_, cad::DeferredCalls::CallsOnly, cad::DeferredCalls::FailuresIgnored);
        line.setLayer(QStringLiteral("NO SUCH LAYER"));
        for (int c = 1; c <= 599; ++c) line.setColor(1 + c % 200);
    }
    EXPECT_EQ(line.color(), 200);
}

// A failure in a part that went ahead, and runs that end exactly at a part's edge (256 held calls
// make a part, the 257th starts the next): the failure comes back when the run ends, what follows it
// did not run, and the next call is answered as its own.
TEST_F(SocketPipeline, AFailureInAPartGoneAheadOrAtAPartsEdgeComesBackWhenTheRunEnds) {
    const cad::Entity line = ms_.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    for (const int length : {256, 257, 258, 513}) {
        for (const int failAt : {1, 256, length}) {
            SCOPED_TRACE(testing::Message() << length << " calls, failing at " << failAt);
            line.setColor(7);
            const quint64 trips = channel_->roundTrips();
            auto run = [&] {
                cad::DeferredCalls held(doc_);
                for (int c = 1; c <= length; ++c) {
                    if (c == failAt)
                        line.setLayer(QStringLiteral("NO SUCH LAYER"));
                    else
                        line.setColor(1 + c % 200);
                }
            };
            EXPECT_THROW(run(), cad::NotFound);
            EXPECT_EQ(channel_->roundTrips() - trips, 1u);
            EXPECT_EQ(line.color(), failAt == 1 ? 7 : 1 + (failAt - 1) % 200);
        }
    }
}

// conflictor writing components over the socket while another program changes the block table.
class SocketComponents : public SocketPipeline {
protected:
    void SetUp() override {
        SocketPipeline::SetUp();
        if (HasFatalFailure()) return;
        automation::ResetCadConnectionState();
        conflictor::StreamTable.clear();
        conflictor::IntersectionNumber = QStringLiteral("12");
        conflictor::ForgetComponentNumbers();
        common::Settings = common::ProgramSettings{};
        for (const QString& name : {QStringLiteral("K1"), QStringLiteral("K2")}) {
            conflictor::StreamRecord r;
            conflictor::SetStreamName(r, name);
            conflictor::StreamTable.push_back(r);
        }
        previous_ = automation::SetCadConnector(automation::CadHostConnector(2000, host_->socket()));
        automation::CadApplication = automation::ConnectToAutoCad(true);
        ASSERT_FALSE(automation::CadApplication.isNull());
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        automation::EnsureLayer(common::Settings.StreamLayerName, false, 5, 30);
        ours_ = dynamic_cast<cad::PipelinedChannel*>(automation::CadDocument.channel());
        ASSERT_NE(ours_, nullptr);
    }
    void TearDown() override {
        automation::SetCadConnector(previous_);
        automation::ResetCadConnectionState();
        conflictor::StreamTable.clear();
        conflictor::ForgetComponentNumbers();
    }
    automation::CadConnector previous_;
    cad::PipelinedChannel* ours_ = nullptr;
};

qint64 numberOf(const QString& name) {
    const QString prefix = QStringLiteral("12^STRUMIEN_");
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) return -1;
    bool ok = false;
    const qint64 n = name.mid(prefix.size()).section(QLatin1Char('^'), 0, 0).toLongLong(&ok);
    return ok ? n : -1;
}

TEST_F(SocketComponents, NamesStayUniqueWhileAnotherProgramAddsAndDeletesBlocks) {
    const cad::Blocks theirs = doc_.blocks();  // the other program: this fixture's own channel
    const QString prefix = QStringLiteral("12^STRUMIEN_");
    QSet<qint64> given;
    QStringList ours;
    const quint64 trips = ours_->roundTrips();
    int components = 0;
    for (int i = 0; i < 150; ++i) {
        conflictor::SegmentRecord s = conflictor::LineSegment(i, 0, i + 1, 0);
        ASSERT_TRUE(conflictor::WriteStreamComponent(s, i % 2, {}));
        ++components;
        const qint64 n = numberOf(s.Label);
        ASSERT_FALSE(given.contains(n)) << s.Label.toStdString();
        given.insert(n);
        // No other block of the drawing holds the number (read in one call).
        const cad::VariantList names = theirs.namesFrom(0);
        int holders = 0;
        for (qsizetype k = 2; k < names.size(); k += 2) holders += numberOf(names[k].toText()) == n ? 1 : 0;
        ASSERT_EQ(holders, 1) << s.Label.toStdString();
        ours.append(s.Label);
        // The reference was made as written: on the stream layer, naming the block.
        if (i % 25 == 0) {
            const cad::Entity ref = doc_.handleToObject(s.Handle);
            EXPECT_EQ(ref.name(), s.Label);
            EXPECT_EQ(ref.layer(), common::Settings.StreamLayerName);
            EXPECT_EQ(theirs.item(s.Label).item(0).linetype().toUpper(), QStringLiteral("BYBLOCK"));
        }
        const int count = theirs.count();
        if (i % 7 == 3)  // the numbers the next name would start from
            for (int k = 1; k <= 2; ++k)
                theirs.add(cad::Point{0, 0, 0}, prefix + QString::number(count + k) + QStringLiteral("^K9"));
        if (i % 11 == 5) {
            // One block of a component deleted (its reference first) and one added: same count.
            const QString victim = ours.takeFirst();
            for (const cad::Entity& e : ms_.entities())
                if (e.objectName() == QLatin1String("AcDbBlockReference") && e.name() == victim) e.erase();
            theirs.item(victim).erase();
            theirs.add(cad::Point{0, 0, 0}, prefix + QString::number(count + 1) + QStringLiteral("^K8"));
        }
    }
    // A component costs its name's two look-ups and one run of calls, give or take a full
    // re-read after deletions.
    EXPECT_LE(double(ours_->roundTrips() - trips) / components, 3.5);
}

TEST_F(SocketComponents, AFailureInTheRunReachesTheCallerAsItsTypedException) {
    common::Settings.StreamLayerName = QStringLiteral("NO SUCH LAYER");
    conflictor::SegmentRecord s = conflictor::LineSegment(0, 0, 1, 0);
    EXPECT_THROW(conflictor::WriteStreamComponent(s, 0, {}), cad::NotFound);
    EXPECT_TRUE(s.Handle.isEmpty());
}

}  // namespace
