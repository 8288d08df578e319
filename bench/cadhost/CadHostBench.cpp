// cadhost_bench: (1) 10,000 object-model calls from a program to a running cadhost over the
// socket; (2) opening a 200,000-entity base map and painting it the first time, then a zoomed-in
// repaint (what panning a detail costs).
#include "BaseMapGenerator.h"
#include "cadhost/DrawingScene.h"
#include "cadhost/DrawingView.h"
#include "platform/cad/Application.h"
#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/socket/CadHostConnection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

namespace {

QTextStream out(stdout);

double millis(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
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
    constexpr int Rounds = 2500;  // four calls each
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < Rounds; ++i) {
        const cad::Entity e = ms.addLine(cad::Point{double(i), 0, 0}, cad::Point{double(i), 10, 0});
        e.setColor(1 + i % 7);
        (void)e.handle();
        (void)ms.count();
    }
    const double total = millis(t);
    out << QStringLiteral("socket: %1 calls in %2 ms, %3 us per call\n")
               .arg(Rounds * 4)
               .arg(total, 0, 'f', 1)
               .arg(total * 1000 / (Rounds * 4), 0, 'f', 1);
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
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    socketCalls(dir);
    baseMap(dir);
    out.flush();
    return 0;
}
