// cadhost_bench: (1) 10,000 object-model calls from a program to a running cadhost over the
// socket, beside the raw round trip of a local socket (an echo of a frame of the same size) in the
// same run, interleaved, and their ratio; the empty call's round trip (a document's name, which
// costs the host next to nothing) beside the floor of a blocking write and read; (2) opening a 200,000-entity base map and painting it
// the first time, then a zoomed-in repaint (what panning a detail costs) and the snap under a moving
// cursor there.
#include "BaseMapGenerator.h"
#include "cadhost/DrawingScene.h"
#include "cadhost/DrawingView.h"
#include "platform/cad/Application.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/InProcessChannel.h"
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/socket/CadHostConnection.h"
#include "platform/cad/socket/Frame.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace {

QTextStream out(stdout);

double millis(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// The floor a call over the host socket cannot go below: one frame of a call's size written over a
// local socket, echoed back by a thread that does nothing else, read back.
class RawEcho {
public:
    explicit RawEcho(const QTemporaryDir& dir) {
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("raw.sock")));
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.constData(), sizeof addr.sun_path - 1);
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listener_, 1) != 0)
            return;
        echo_ = std::thread([this] {
            const int c = ::accept(listener_, nullptr, nullptr);
            char buf[4096];
            for (;;) {
                const ssize_t n = ::read(c, buf, sizeof buf);
                if (n <= 0) break;
                for (ssize_t done = 0; done < n;) {
                    const ssize_t w = ::write(c, buf + done, size_t(n - done));
                    if (w <= 0) break;
                    done += w;
                }
            }
            ::close(c);
        });
        cad::Call call;
        call.object = 7;
        call.member = QStringLiteral("Color");
        call.kind = cad::CallKind::Put;
        call.args = {cad::Variant(3)};
        frame_ = cad::socket::EncodeRequest(1, call);
        s_.connectToServer(QString::fromLocal8Bit(path));
        ok_ = s_.waitForConnected(2000);
    }
    ~RawEcho() {
        s_.disconnectFromServer();
        s_.abort();
        if (!ok_ && listener_ >= 0) ::shutdown(listener_, SHUT_RDWR);  // unblocks the accept
        if (echo_.joinable()) echo_.join();
        if (listener_ >= 0) ::close(listener_);
    }
    // Microseconds per round trip, -1 when the echo could not be set up.
    double run(int rounds) {
        if (!ok_) return -1;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rounds; ++i) {
            s_.write(frame_);
            s_.flush();
            while (s_.bytesAvailable() < frame_.size())
                if (!s_.waitForReadyRead(1000)) break;
            (void)s_.read(frame_.size());
        }
        return t.nsecsElapsed() / 1e3 / rounds;
    }
    // The same with a plain blocking write and read on the descriptor: no event-loop machinery at
    // all on either side, the least two processes can pay for a round trip.
    double runPlain(int rounds) {
        if (!ok_) return -1;
        const int fd = int(s_.socketDescriptor());
        const int flags = ::fcntl(fd, F_GETFL);
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        std::vector<char> back(size_t(frame_.size()));
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rounds; ++i) {
            if (::write(fd, frame_.constData(), size_t(frame_.size())) != frame_.size()) break;
            for (qsizetype got = 0; got < frame_.size();) {
                const ssize_t n = ::read(fd, back.data(), size_t(frame_.size() - got));
                if (n <= 0) return -1;
                got += n;
            }
        }
        const double us = t.nsecsElapsed() / 1e3 / rounds;
        ::fcntl(fd, F_SETFL, flags);
        return us;
    }

private:
    int listener_ = -1;
    std::thread echo_;
    QLocalSocket s_;
    QByteArray frame_;
    bool ok_ = false;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void socketCalls(const QTemporaryDir& dir) {
    const QString name = dir.filePath(QStringLiteral("bench.sock"));
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TESMAR_CADHOST_INI"), dir.filePath(QStringLiteral("cadhost.ini")));
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(CADHOST_EXE), {QStringLiteral("--socket"), name});
    std::unique_ptr<cad::SocketChannel> ch;
    for (int i = 0; i < 100 && !ch; ++i) {
        ch = cad::AttachToCadHost(name, 200);
        if (!ch) QThread::msleep(50);
    }
    if (!ch) {
        out << "socket: cadhost did not start\n";
        return;
    }
    cad::Application acad(ch.get());
    const cad::Block ms = acad.activeDocument().modelSpace();
    RawEcho raw(dir);
    // The machine is shared: calls and raw round trips alternate in blocks, so both see the same
    // load, and the ratio is the median of the blocks' ratios.
    constexpr int Blocks = 10, Rounds = 250;  // four calls per round
    double total = 0, rawTotal = 0;
    std::vector<double> ratios;
    int line = 0;
    for (int b = 0; b < Blocks; ++b) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < Rounds; ++i, ++line) {
            const cad::Entity e = ms.addLine(cad::Point{double(line), 0, 0}, cad::Point{double(line), 10, 0});
            e.setColor(1 + line % 7);
            (void)e.handle();
            (void)ms.count();
        }
        const double blockMs = millis(t);
        const double rawUs = raw.run(Rounds * 4);
        total += blockMs;
        rawTotal += rawUs;
        if (rawUs > 0) ratios.push_back(blockMs * 1000 / (Rounds * 4) / rawUs);
    }
    const int calls = Blocks * Rounds * 4;
    const double perCall = total * 1000 / calls;
    const double rawUs = rawTotal / Blocks;
    out << QStringLiteral(
               "socket: %1 calls in %2 ms, %3 us per call; raw local-socket round trip %4 us; "
               "ratio %5 (median of %6 interleaved blocks; overall %7)\n")
               .arg(calls)
               .arg(total, 0, 'f', 1)
               .arg(perCall, 0, 'f', 1)
               .arg(rawUs, 0, 'f', 1)
               .arg(median(ratios), 0, 'f', 2)
               .arg(Blocks)
               .arg(rawUs > 0 ? perCall / rawUs : 0.0, 0, 'f', 2);

    // The empty call: what a round trip itself costs, interleaved with the plain floor likewise.
    const cad::Document doc = acad.activeDocument();
    std::vector<double> emptyUs, floorUs;
    for (int b = 0; b < Blocks; ++b) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < Rounds * 4; ++i) (void)doc.name();
        emptyUs.push_back(t.nsecsElapsed() / 1e3 / (Rounds * 4));
        floorUs.push_back(raw.runPlain(Rounds * 4));
    }
    out << QStringLiteral("socket: empty call round trip %1 us (median of %2 blocks of %3 Document.Name reads); "
                          "plain blocking local-socket round trip %4 us\n")
               .arg(median(emptyUs), 0, 'f', 1)
               .arg(Blocks)
               .arg(Rounds * 4)
               .arg(median(floorUs), 0, 'f', 1);

    // Held calls: what a call costs when it waits for no answer (a playback step's recolouring,
    // the cut's markers): the program's encoding and the host's decoding and serving, beside the
    // same calls in-process.
    constexpr int Held = 20000;
    auto recolour = [](const cad::Document& d, const cad::Entity& e) {
        QElapsedTimer t;
        t.start();
        {
            cad::DeferredCalls run(d);
            for (int i = 0; i < Held; ++i) {
                e.setColor(1 + i % 7);
                e.update();
            }
        }
        return t.nsecsElapsed() / 1e3 / (2 * Held);
    };
    cad::ObjectModel model;
    cad::InProcessChannel local(model);
    const cad::Document here = cad::Application(&local).documents().add();
    const cad::Entity mine = here.modelSpace().addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    const cad::Entity theirs = ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
    std::vector<double> heldUs, localUs;
    for (int b = 0; b < 5; ++b) {
        heldUs.push_back(recolour(doc, theirs));
        localUs.push_back(recolour(here, mine));
    }
    out << QStringLiteral("socket: held call %1 us (median of %2 runs of %3 colour sets and updates); in-process %4 us\n")
               .arg(median(heldUs), 0, 'f', 2)
               .arg(heldUs.size())
               .arg(2 * Held)
               .arg(median(localUs), 0, 'f', 2);
    ch.reset();
    host.kill();
    host.waitForFinished(3000);
}

void baseMap(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("podklad.dxf"));
    {
        auto db = cadbench::generateBaseMap(200000);
        cad::dxf::writeFile(*db, path);
    }
    QElapsedTimer t;
    t.start();
    auto db = cad::dxf::readFile(path);
    const double read = millis(t);
    cadhost::DrawingScene scene(db.get());
    t.restart();
    const size_t n = scene.size();
    const double index = millis(t);
    cadhost::DrawingView view;
    view.resize(1600, 1000);
    view.setScene(&scene);
    t.restart();
    view.renderImage();
    const double paint = millis(t);
    out << QStringLiteral("base map: %1 entities; read %2 ms, index %3 ms, first paint %4 ms, total %5 ms\n")
               .arg(n)
               .arg(read, 0, 'f', 0)
               .arg(index, 0, 'f', 0)
               .arg(paint, 0, 'f', 0)
               .arg(read + index + paint, 0, 'f', 0);
    // A detail: a twentieth of the extents, painted repeatedly as panning does.
    const cad::db::Box e = scene.extents();
    cad::db::Box detail;
    const double w = (e.max.x - e.min.x) / 20, h = (e.max.y - e.min.y) / 20;
    const double cx = (e.min.x + e.max.x) / 2, cy = (e.min.y + e.max.y) / 2;
    detail.add(cx - w / 2, cy - h / 2);
    detail.add(cx + w / 2, cy + h / 2);
    view.zoomWindow(detail);
    t.restart();
    for (int i = 0; i < 10; ++i) view.renderImage();
    out << QStringLiteral("base map: zoomed-in repaint %1 ms\n").arg(millis(t) / 10, 0, 'f', 1);
    // The snap under the cursor moved over the detail (inside the references too), as the mouse
    // does: the first pass indexes the blocks it meets, the second is what every move costs.
    for (int pass = 0; pass < 2; ++pass) {
        t.restart();
        int found = 0, tried = 0;
        for (int y = 0; y < 1000; y += 25)
            for (int x = 0; x < 1600; x += 25, ++tried) found += view.snapAt(QPointF(x + pass * 7, y + pass * 5)) ? 1 : 0;
        out << QStringLiteral("base map: snap under the cursor %1 ms (%2 of %3 places snapped)%4\n")
                   .arg(millis(t) / tried, 0, 'f', 3)
                   .arg(found)
                   .arg(tried)
                   .arg(pass == 0 ? QStringLiteral(", first pass") : QString());
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    socketCalls(dir);
    if (!app.arguments().contains(QStringLiteral("--socket-only"))) baseMap(dir);
    out.flush();
    return 0;
}
