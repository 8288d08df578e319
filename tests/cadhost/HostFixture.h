// A complete host inside the test process: model, interaction, main window (offscreen) and, when
// asked, the socket server under a name unique to the run. Recent files go to a temporary INI.
#pragma once

#include "cadhost/HostInteraction.h"
#include "cadhost/MainWindow.h"
#include "cadhost/SocketServer.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/model/CommandProcessor.h"

#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

struct HostFixture {
    QTemporaryDir dir;
    cad::ObjectModel model;
    cadhost::HostInteraction interaction{model};
    std::unique_ptr<cadhost::MainWindow> window;
    std::unique_ptr<cadhost::SocketServer> server;

    HostFixture() {
        qputenv("TESMAR_CADHOST_INI", dir.filePath(QStringLiteral("cadhost.ini")).toUtf8());
        model.setInteraction(&interaction);
        window = std::make_unique<cadhost::MainWindow>(model, interaction);
        window->resize(900, 700);
        window->newDrawing();
        window->show();
        QTest::qWait(20);
    }
    ~HostFixture() {
        window->setServer(nullptr);
        server.reset();
        model.setInteraction(nullptr);
    }

    QString listen() {
        server = std::make_unique<cadhost::SocketServer>(model, interaction);
        QObject::connect(server.get(), &cadhost::SocketServer::callServed, window.get(),
                         &cadhost::MainWindow::afterCall);
        window->setServer(server.get());
        const QString name = dir.filePath(QStringLiteral("host.sock"));
        QString error;
        if (!server->listen(name, &error)) qWarning() << error;
        return name;
    }

    cad::DocumentState* doc() const { return model.activeDocument(); }
    cad::db::Database& db() const { return *doc()->db; }
    cad::db::BlockDefinition* ms() const { return db().modelSpace(); }
    cadhost::DrawingView* view() const { return window->view(); }

    cad::Variant invoke(cad::ObjectId id, const QString& member,
                        std::initializer_list<cad::Variant> args = {}) {
        return model.invoke(id, member, cad::CallKind::Method, cad::Args(args.begin(), args.size()));
    }
    void sendCommand(const QString& text) {
        invoke(doc()->id, QStringLiteral("SendCommand"), {cad::Variant(text)});
    }

    // Screen position of a drawing point in the view.
    QPoint at(double x, double y) const { return view()->toScreen({x, y, 0}).toPoint(); }
    void moveAndClick(QPoint p) {
        QTest::mouseMove(view(), p);
        QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, p);
    }
    // The drawing was changed behind the window's back (directly in the engine).
    void changed() { view()->drawingChanged(); }
    // Shows the drawing area between two corners.
    void zoomTo(double x0, double y0, double x1, double y1) {
        cad::db::Box area;
        area.add(x0, y0);
        area.add(x1, y1);
        view()->zoomWindow(area);
    }
};

// A key pressed in a widget, delivered as the window system would (Space carries its text).
inline void PressKey(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, k, m, k == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QCoreApplication::sendEvent(w, &press);
}
