// Paths of conflictor's stream model, in-process and over the socket to a cadhost this benchmark
// starts: writing components with a start marker after every ten, naming them, reading the streams
// back with their attributes; and the figure of 4,000 components on a 200,000-entity base map.
#include "BaseMapGenerator.h"
#include "Scaling.h"
#include "automation/Automation.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/Markers.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamComponents.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/socket/CadHostConnection.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>

namespace scaling {

namespace {

using namespace conflictor;

const QString StreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

void resetStreamState(int streams) {
    StreamTable.clear();
    CurrentStreamIndex = -1;
    SharedStreamNames.clear();
    IntersectionNumber = QStringLiteral("12");
    StreamAttributeBlockHandle.clear();
    ForgetComponentNumbers();
    common::Settings = common::ProgramSettings{};
    for (int i = 4; i <= 7; ++i) common::SettingBindings[size_t(i)].Value = QStringLiteral("1");
    automation::ClearStreamAttributeTable();
    InitStreamAttributeTags();
    for (int s = 1; s <= streams; ++s) {
        StreamRecord r;
        SetStreamName(r, QStringLiteral("K%1").arg(s));
        StreamTable.push_back(r);
    }
}

// A cadhost process listening on a socket of its own, optionally with a drawing open.
class Host {
public:
    explicit Host(const QString& drawing = QString()) {
        socket_ = dir_.filePath(QStringLiteral("cadhost.sock"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TESMAR_CADHOST_INI"), dir_.filePath(QStringLiteral("cadhost.ini")));
        process_.setProcessEnvironment(env);
        QStringList args{QStringLiteral("--socket"), socket_};
        if (!drawing.isEmpty()) args << drawing;
        process_.start(QStringLiteral(CADHOST_EXE), args);
        for (int i = 0; i < 400; ++i) {
            if (auto ch = cad::AttachToCadHost(socket_, 200)) return;
            QThread::msleep(50);
        }
        qFatal("cadhost did not start");
    }
    ~Host() {
        automation::ResetCadConnectionState();
        process_.kill();
        process_.waitForFinished(5000);
    }
    const QString& socket() const { return socket_; }

private:
    QTemporaryDir dir_;
    QString socket_;
    QProcess process_;
};

std::unique_ptr<Host>& sharedHost() {
    static std::unique_ptr<Host> host;
    return host;
}

// The drawing the routines work on: a new one in the in-process CAD, or in the shared cadhost.
class Session {
public:
    explicit Session(bool overSocket, const QString& drawing = QString()) {
        automation::ResetCadConnectionState();
        if (overSocket) {
            if (!drawing.isEmpty()) {
                host_ = std::make_unique<Host>(drawing);
                automation::SetCadConnector(automation::CadHostConnector(20000, host_->socket()));
            } else {
                if (!sharedHost()) sharedHost() = std::make_unique<Host>();
                automation::SetCadConnector(automation::CadHostConnector(20000, sharedHost()->socket()));
            }
        } else {
            local_ = std::make_unique<automation::InProcessCad>();
            automation::SetCadConnector({[this] { return local_->application(); }, {}});
        }
        automation::CadApplication = automation::ConnectToAutoCad(true);
        if (automation::CadApplication.isNull()) qFatal("no CAD to attach to");
        if (drawing.isEmpty())
            automation::CadApplication.documents().add();
        else if (!overSocket)
            automation::CadApplication.documents().open(drawing);
        if (!automation::CheckDocumentOpen(false)) qFatal("no drawing open");
        automation::EnsureLayer(StreamLayer, false, 5, 30);
    }
    ~Session() {
        try {
            if (!host_) automation::CadDocument.close();
        } catch (const std::exception&) {
        }
        automation::ResetCadConnectionState();
    }

private:
    std::unique_ptr<automation::InProcessCad> local_;
    std::unique_ptr<Host> host_;
};

// Writes `components` components, ten to a stream, with the stream's start marker after its tenth.
void writeComponents(int components) {
    for (int i = 0; i < components; ++i) {
        const int stream = i / 10;
        SegmentRecord s;
        s.IsLine = true;
        s.StartPoint = {1000.0 * (i % 10), 100.0 * stream};
        s.EndPoint = {1000.0 * (i % 10 + 1), 100.0 * stream + 50};
        if (!WriteStreamComponent(s, stream, {})) qFatal("component not written");
        if (i % 10 == 9)
            InsertMarkerBlock({0, 100.0 * stream}, StartMarkerKind(), StreamTable[size_t(stream)].Name, {},
                              {});
    }
}

double streamWrite(int components, bool overSocket) {
    resetStreamState(components / 10 + 1);
    Session session(overSocket);
    const double t = now();
    writeComponents(components);
    return now() - t;
}

// Names for `size` components while start markers are added and, every hundred, another program
// deletes one block and adds another.
double uniqueNames(int size) {
    resetStreamState(1);
    Session session(false);
    const cad::Blocks blocks = automation::CadDocument.blocks();
    const QString prefix = QStringLiteral("12^STRUMIEN_");
    const double t = now();
    for (int i = 0; i < size; ++i) {
        blocks.add(cad::Point{0, 0, 0}, MakeUniqueStreamBlockName(prefix, QStringLiteral("^K1")));
        if (i % 10 == 9) blocks.add(cad::Point{0, 0, 0}, QStringLiteral("MARKER_%1").arg(i));
        if (i % 100 == 99) {
            blocks.item(QStringLiteral("MARKER_%1").arg(i)).erase();
            blocks.add(cad::Point{0, 0, 0}, prefix + QString::number(size * 4 + i) + QStringLiteral("^K2"));
        }
    }
    return now() - t;
}

// `streams` streams of two components each and the attribute block holding all their values, with
// a start and an end marker each when `marked` (as every vehicle stream drawn has them); reading
// them all back.
double streamRead(int streams, bool overSocket, bool marked = false) {
    resetStreamState(0);
    Session session(overSocket);
    const cad::Document doc = automation::CadDocument;
    const cad::Block ms = doc.modelSpace();
    int n = 0;
    QStringList values(StreamAttributeTagUsed);
    for (int s = 1; s <= streams; ++s) {
        const QString name = QStringLiteral("K%1").arg(s);
        for (int k = 0; k < 2; ++k) {
            const QString block = QStringLiteral("12^STRUMIEN_%1^%2").arg(++n).arg(name);
            doc.blocks()
                .add(cad::Point{0, 0, 0}, block)
                .addLine(cad::Point{1000.0 * k, 100.0 * s, 0}, cad::Point{1000.0 * (k + 1), 100.0 * s, 0});
            ms.insertBlock(cad::Point{0, 0, 0}, block, 1, 1, 1, 0).setLayer(StreamLayer);
        }
        for (const QString& kind : {QStringLiteral("POCZATEK"), QStringLiteral("KONIEC")}) {
            if (!marked) break;
            const QString block = QStringLiteral("12^%1_STRUMIEN_%2_1").arg(kind, name);
            doc.blocks().add(cad::Point{0, 0, 0}, block).addCircle(cad::Point{0, 0, 0}, 1);
            const double x = kind == QLatin1String("KONIEC") ? 2000 : 0;
            ms.insertBlock(cad::Point{x, 100.0 * s, 0}, block, 1, 1, 1, 0).setLayer(StreamLayer);
        }
        values[0] += name + QStringLiteral(":%1^").arg(s % 7 + 1);
        values[1] += name + QStringLiteral(":1,2^");
        for (int tag = 3; tag < StreamAttributeTagUsed; ++tag) values[tag] += name + QStringLiteral(":10^");
    }
    const cad::Block attributes = doc.blocks().add(cad::Point{0, 0, 0}, IntersectionBlockPrefix() + "12");
    attributes.addLine(cad::Point{0, 0, 0}, cad::Point{8000, 0, 0});
    for (const QString& tag : StreamAttributeTagNames())
        automation::AddAttributeDefinition(attributes, tag, QString(), 0, 0);
    const cad::Entity ref = ms.insertBlock(cad::Point{0, 0, 0}, attributes.name(), 1, 1, 1, 0);
    for (const cad::Entity& att : ref.attributes())
        att.setTextString(values[int(StreamAttributeTagNames().indexOf(att.tagString()))]);
    const double t = now();
    if (!OdczytajStrumienie(false, -1)) qFatal("streams not read");
    const double spent = now() - t;
    if (int(StreamTable.size()) != streams || StreamTable.back().Group == 0) qFatal("streams read wrongly");
    if (marked &&
        (common::IsMissingPoint(StreamTable.back().StartPoint) || StreamTable.back().EndMarkers.size() != 1))
        qFatal("markers read wrongly");
    return spent;
}

}  // namespace

std::vector<Path> streamPaths() {
    return {
        {QStringLiteral("unique_names"), 1000, uniqueNames},
        {QStringLiteral("stream_write"), 500, [](int n) { return streamWrite(n, false); }},
        {QStringLiteral("stream_read"), 250, [](int n) { return streamRead(n, false); }},
        {QStringLiteral("stream_read_marked"), 250, [](int n) { return streamRead(n, false, true); }},
    };
}

std::vector<Path> socketPaths() {
    return {
        {QStringLiteral("stream_write_socket"), 250, [](int n) { return streamWrite(n, true); }},
        {QStringLiteral("stream_read_socket"), 125, [](int n) { return streamRead(n, true); }},
    };
}

void stopHost() {
    sharedHost().reset();
}

void writeFigure() {
    stopHost();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("podklad.dxf"));
    cad::dxf::writeFile(*cadbench::generateBaseMap(200000), path);
    constexpr int Components = 4000;
    double times[2] = {0, 0};
    double roundTrip = 0, tripsPerComponent = 0;
    for (int overSocket = 0; overSocket < 2; ++overSocket) {
        resetStreamState(Components / 10 + 1);
        Session session(overSocket, path);
        const auto* channel = dynamic_cast<const cad::PipelinedChannel*>(automation::CadDocument.channel());
        const quint64 trips = channel ? channel->roundTrips() : 0;
        const double t = now();
        writeComponents(Components);
        times[overSocket] = now() - t;
        if (channel) tripsPerComponent = double(channel->roundTrips() - trips) / Components;
        if (overSocket) {
            // What one call costs on this machine now: the write is made of such calls.
            const cad::Blocks blocks = automation::CadDocument.blocks();
            const double t2 = now();
            for (int i = 0; i < 2000; ++i) (void)blocks.count();
            roundTrip = (now() - t2) / 2000;
        }
    }
    std::printf(
        "figure: %d stream components with a start marker after every ten on a 200,000-entity "
        "base map: %.2f s over the socket to cadhost, %.2f s in-process (one socket call %.1f us, "
        "%.2f round trips a component)\n",
        Components, times[1], times[0], roundTrip * 1e6, tripsPerComponent);
    std::fflush(stdout);
}

}  // namespace scaling
