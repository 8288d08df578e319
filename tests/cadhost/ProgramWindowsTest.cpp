// The programs' windows on a real X11 display (a virtual one, started by the test's command) under
// a window manager (openbox, started here): an unowned top-level window of a program that opens
// over the host's menu bar is moved below it and kept above the host, without becoming the host's
// transient, so minimising it leaves the host as it was; a window kept above everything is moved
// clear of the bars too but stays above everything, and a dialog owned by a program window is left as
// it is. A program of its own (this executable started
// with --program-window) opens where a program remembered its window: over the toolbar, at the
// screen's bottom edge (also taller than the room between the bars), and again after it was closed,
// under whatever window id the server gives.
// The host's own dialogs go above the programs' windows while they are open.
#include "cadhost/ProgramWindows.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QSocketNotifier>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>
#include <xcb/xcb.h>

#include <iostream>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_connection_t* x11() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t root() {
    return xcb_setup_roots_iterator(xcb_get_setup(x11())).data->root;
}

std::vector<xcb_window_t> windowProperty(xcb_window_t w, const char* name) {
    xcb_connection_t* c = x11();
    xcb_intern_atom_reply_t* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, a ? a->atom : xcb_atom_t(XCB_ATOM_NONE), XCB_ATOM_WINDOW, 0, 4096), nullptr);
    std::vector<xcb_window_t> out;
    if (r && r->format == 32) {
        const auto* v = static_cast<const xcb_window_t*>(xcb_get_property_value(r));
        out.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    std::free(a);
    return out;
}

xcb_window_t transientFor(QWidget* w) {
    const auto owner = windowProperty(xcb_window_t(w->winId()), "WM_TRANSIENT_FOR");
    return owner.empty() ? 0 : owner.front();
}

// How high the window stands in the window manager's stacking (-1: not listed).
int level(QWidget* w) {
    const auto order = windowProperty(root(), "_NET_CLIENT_LIST_STACKING");
    const auto it = std::find(order.begin(), order.end(), xcb_window_t(w->winId()));
    return it == order.end() ? -1 : int(it - order.begin());
}

// The window with its manager's frame, in root coordinates.
QRect frameOf(xcb_window_t w) {
    xcb_connection_t* c = x11();
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root(), 0, 0), nullptr);
    QRect r;
    if (g && t) r = QRect(t->dst_x, t->dst_y, g->width, g->height);
    std::free(g);
    std::free(t);
    const char* name = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    xcb_get_property_reply_t* e =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, a ? a->atom : xcb_atom_t(XCB_ATOM_NONE), XCB_ATOM_CARDINAL, 0, 4), nullptr);
    if (e && e->format == 32 && xcb_get_property_value_length(e) == 16) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(e));
        r.adjust(-int(v[0]), -int(v[2]), int(v[1]), int(v[3]));
    }
    std::free(e);
    std::free(a);
    return r;
}

// The topmost window the manager lists.
xcb_window_t topWindow() {
    const auto order = windowProperty(root(), "_NET_CLIENT_LIST_STACKING");
    return order.empty() ? 0 : order.back();
}

// A program of the suite as the host sees it: another process with one window, opened where its
// client area was remembered, kept until its standard input closes.
struct ProgramProcess {
    QProcess process;
    xcb_window_t window = 0;
    bool start(const QRect& client) {
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--program-window"), QString::number(client.x()), QString::number(client.y()),
                       QString::number(client.width()), QString::number(client.height())});
        if (!process.waitForStarted() || !process.waitForReadyRead(10000)) return false;
        window = xcb_window_t(process.readLine().trimmed().toULongLong());
        return window != 0;
    }
    void close() {
        process.closeWriteChannel();
        process.waitForFinished(10000);
    }
};

// The host's window laid out as cadhost's: menu bar, a toolbar below it, the drawing, and the prompt
// line at the bottom; it fills the screen.
struct HostWindow {
    QMainWindow window;
    QLineEdit* prompt = new QLineEdit;
    QToolBar* tools = nullptr;
    HostWindow() {
        window.menuBar()->addMenu(QStringLiteral("Plik"));
        tools = window.addToolBar(QStringLiteral("Rysuj i zmień"));
        tools->addAction(QStringLiteral("Linia"));
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        layout->addStretch(1);
        layout->addWidget(prompt);
        window.setCentralWidget(central);
    }
    int toolsBottom() const { return tools->mapToGlobal(QPoint(0, tools->height())).y(); }
    int promptTop() const { return prompt->mapToGlobal(QPoint(0, 0)).y(); }
};

bool shown(QWidget* w) {
    xcb_get_window_attributes_reply_t* r =
        xcb_get_window_attributes_reply(x11(), xcb_get_window_attributes(x11(), xcb_window_t(w->winId())), nullptr);
    const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return viewable;
}

bool listed(xcb_window_t w) {
    const auto clients = windowProperty(root(), "_NET_CLIENT_LIST");
    return std::find(clients.begin(), clients.end(), w) != clients.end();
}

// The window as the window manager shows it: taken over (listed), mapped and in its frame, where
// the server has it now (Qt learns of a move only later).
bool managedAndShown(QWidget* w) {
    return listed(xcb_window_t(w->winId())) && shown(w);
}

xcb_atom_t atomNamed(const char* name) {
    xcb_connection_t* c = x11();
    xcb_intern_atom_reply_t* a =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(a);
    return atom;
}

bool skipsPager(xcb_window_t w) {
    xcb_connection_t* c = x11();
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atomNamed("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64), nullptr);
    bool found = false;
    if (r && r->format == 32) {
        const auto* v = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        found = std::find(v, v + xcb_get_property_value_length(r) / 4,
                          atomNamed("_NET_WM_STATE_SKIP_PAGER")) != v + xcb_get_property_value_length(r) / 4;
    }
    std::free(r);
    return found;
}

// Waits until the window manager has handled every request sent to it so far, the host's moves and
// restackings included: it handles them in the order they come, so once a change of state asked
// for now shows on the (managed) window, all asked before is done. A check that something did not
// happen needs this, not a pause.
bool managerCaughtUp(QWidget* managed) {
    const auto w = xcb_window_t(managed->winId());
    const bool before = skipsPager(w);
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = atomNamed("_NET_WM_STATE");
    ev.data.data32[0] = 2;  // toggle
    ev.data.data32[1] = atomNamed("_NET_WM_STATE_SKIP_PAGER");
    ev.data.data32[3] = 2;  // from a pager, which the manager obeys
    xcb_send_event(x11(), 0, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
    xcb_flush(x11());
    return QTest::qWaitFor([&] { return skipsPager(w) != before; }, 10000);
}

}  // namespace

class ProgramWindowsTest : public QObject {
    Q_OBJECT
    QProcess manager_;

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        manager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        QVERIFY2(manager_.waitForStarted(), "openbox (scripts/install-deps)");
        QTRY_VERIFY_WITH_TIMEOUT(!windowProperty(root(), "_NET_SUPPORTING_WM_CHECK").empty(), 10000);
        // It announces itself before it takes the windows over: a window shown meanwhile is never
        // taken over, so a probe is shown (again) until the manager lists it.
        QWidget probe;
        probe.setGeometry(0, 0, 50, 50);
        bool taken = false;
        for (int attempt = 0; attempt < 20 && !taken; ++attempt) {
            probe.show();
            taken = QTest::qWaitFor([&] { return managedAndShown(&probe); }, 1000);
            if (!taken) probe.hide();
        }
        QVERIFY2(taken, "the window manager takes no window over");
        probe.hide();
        QTRY_VERIFY(!listed(xcb_window_t(probe.winId())));
    }
    void cleanupTestCase() {
        manager_.kill();
        manager_.waitForFinished();
    }

    void programWindowsStayAboveTheHostAndMinimiseAlone() {
        QVERIFY(cadhost::ProgramWindows::available());
        QMainWindow host;
        host.menuBar()->addMenu(QStringLiteral("Plik"));
        auto* central = new QWidget;
        auto* prompt = new QLineEdit;
        auto* layout = new QVBoxLayout(central);
        layout->addStretch(1);
        layout->addWidget(prompt);
        host.setCentralWidget(central);
        host.setGeometry(0, 30, 900, 700);
        QWidget program, onTop;
        onTop.setWindowFlag(Qt::WindowStaysOnTopHint);
        program.setGeometry(120, 10, 300, 200);  // over the host's title and menu bar
        onTop.setGeometry(500, 10, 200, 100);
        for (QWidget* w : {static_cast<QWidget*>(&host), &program, &onTop}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
        // Smaller than its owner, which it would otherwise hide before it was ever shown.
        QDialog dialog(&program);
        dialog.resize(120, 60);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const xcb_window_t dialogOwner = transientFor(&dialog);
        QVERIFY(dialogOwner != 0);
        host.raise();
        host.activateWindow();
        QTRY_VERIFY(level(&host) > level(&program));

        // The "program" is this process: its windows other than the host's are found by its id.
        cadhost::ProgramWindows windows(&host);
        windows.setKeptClear({host.menuBar(), prompt});
        QCOMPARE(windows.keepAbove({QCoreApplication::applicationPid()}), 2);
        const int menuBottom = host.menuBar()->mapToGlobal(QPoint(0, host.menuBar()->height())).y();
        QTRY_COMPARE(program.frameGeometry().top(), menuBottom);
        // A window kept above everything (as hatcher's) opens clear of the bars too, and stays on top.
        QTRY_COMPARE(onTop.frameGeometry().top(), menuBottom);
        QVERIFY(onTop.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(program.frameGeometry().bottom() < prompt->mapToGlobal(QPoint(0, 0)).y());
        QTRY_VERIFY(level(&program) > level(&host));
        QCOMPARE(transientFor(&program), xcb_window_t(0));
        QCOMPARE(transientFor(&dialog), dialogOwner);
        QCOMPARE(transientFor(&onTop), xcb_window_t(0));
        // Done once: the next tick finds nothing new, and a window the user moves stays.
        QCOMPARE(windows.keepAbove({QCoreApplication::applicationPid()}), 0);

        // Minimised, the program goes alone and stays so.
        program.showMinimized();
        QTRY_VERIFY(!shown(&program));
        QVERIFY(managerCaughtUp(&host));
        windows.keepAbove({QCoreApplication::applicationPid()});
        QVERIFY(managerCaughtUp(&host));
        QVERIFY(shown(&host) && !host.isMinimized());
        QVERIFY(!shown(&program));
        QVERIFY(windows.raise(QCoreApplication::applicationPid()));
        QTRY_VERIFY(shown(&program));
        QVERIFY(!windows.raise(1));  // a process without windows here
    }

    void programWindowsOpenOnTheScreenClearOfTheHostsBarsEveryTime() {
        HostWindow host;
        host.window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        const QRect screen = host.window.screen()->availableGeometry();
        QTRY_VERIFY(host.window.frameGeometry().height() > screen.height() - 40);
        cadhost::ProgramWindows windows(&host.window);
        windows.setKeptClear({host.window.menuBar(), host.prompt});
        const int clearTop = host.toolsBottom(), clearBottom = host.promptTop();
        // Found (once) and moved clear of the bars, within the screen.
        auto placedClear = [&](ProgramProcess& program) {
            const qint64 pid = program.process.processId();
            if (!QTest::qWaitFor([&] { return windows.keepAbove({pid}) == 1; }, 10000)) return false;
            auto clear = [&] {
                const QRect frame = frameOf(program.window);
                return frame.top() >= clearTop && frame.bottom() < clearBottom && screen.contains(frame);
            };
            if (QTest::qWaitFor(clear, 3000)) return true;
            const QRect frame = frameOf(program.window);
            qDebug() << "program window" << frame << "kept clear between" << clearTop << clearBottom << "on" << screen;
            return false;
        };
        // Remembered over the toolbar, and started again after it was closed: the new window may
        // have the id of the old one, and is placed all the same.
        const QRect overTheToolbar(200, host.window.menuBar()->mapToGlobal(QPoint(0, 0)).y() + 10, 400, 300);
        xcb_window_t first = 0;
        for (int start = 0; start < 2; ++start) {
            ProgramProcess program;
            QVERIFY(program.start(overTheToolbar));
            QVERIFY2(placedClear(program), qPrintable(QStringLiteral("start %1").arg(start + 1)));
            if (start == 0) first = program.window;
            else qDebug() << "window id of the second start" << (program.window == first ? "reused" : "new");
            program.close();
        }
        // Remembered at the screen's bottom edge: it comes up onto the screen, above the prompt line.
        ProgramProcess bottom;
        QVERIFY(bottom.start(QRect(300, screen.bottom() - 40, 300, 200)));
        QVERIFY(placedClear(bottom));
        const int frameExtra = frameOf(bottom.window).height() - 200;
        bottom.close();
        // Taller than the room between the toolbar and the prompt line (but not than the screen),
        // remembered at the screen's bottom: put below the toolbar it would hang off the screen, so
        // it comes back up just far enough to stand whole on the screen.
        const int tallFrame = screen.height() - (clearTop - screen.top()) / 2;
        QVERIFY(tallFrame > clearBottom - clearTop && clearTop + tallFrame > screen.bottom() + 1);
        ProgramProcess tall;
        QVERIFY(tall.start(QRect(300, screen.bottom() - 40, 300, tallFrame - frameExtra)));
        QVERIFY(QTest::qWaitFor([&] { return windows.keepAbove({tall.process.processId()}) == 1; }, 10000));
        const bool whole = QTest::qWaitFor([&] { return frameOf(tall.window).bottom() == screen.bottom(); }, 3000);
        const QRect tallPlaced = frameOf(tall.window);
        QVERIFY2(whole, qPrintable(QStringLiteral("frame top %1 bottom %2, screen bottom %3")
                                       .arg(tallPlaced.top()).arg(tallPlaced.bottom()).arg(screen.bottom())));
        QCOMPARE(tallPlaced.height(), tallFrame);
        QVERIFY(screen.contains(tallPlaced));
        tall.close();
        // Where it covers none of them, it stays where it was remembered.
        ProgramProcess clear;
        QVERIFY(clear.start(QRect(250, clearTop + 60, 300, 200)));
        QVERIFY(QTest::qWaitFor([&] { return windows.keepAbove({clear.process.processId()}) == 1; }, 10000));
        const QRect before = frameOf(clear.window);
        QVERIFY(managerCaughtUp(&host.window));
        QCOMPARE(frameOf(clear.window), before);
        QVERIFY(before.top() > clearTop);
        clear.close();
    }

    // Only the host's dialogs are made to stay on top: never the host's own window nor a program's.
    // A program's window hidden and shown again by the same process (the same window id) is placed
    // clear of the host's bars again.
    void onlyHostDialogsStayOnTopAndAWindowShownAgainIsPlacedAgain() {
        HostWindow host;
        host.window.setGeometry(0, 30, 900, 700);
        cadhost::ProgramWindows windows(&host.window);  // watching before any window shows
        windows.setKeptClear({host.window.menuBar(), host.prompt});
        QWidget program;
        const QRect remembered(120, 10, 300, 200);  // over the host's title and menu bar
        program.setGeometry(remembered);
        for (QWidget* w : {static_cast<QWidget*>(&host.window), &program}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
        QVERIFY(!host.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!program.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QDialog properties(&host.window);
        properties.resize(200, 100);
        properties.show();
        QVERIFY(QTest::qWaitForWindowExposed(&properties));
        QVERIFY(properties.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        properties.hide();

        const QList<qint64> me{QCoreApplication::applicationPid()};
        host.window.raise();
        host.window.activateWindow();
        const int clearTop = host.toolsBottom();
        const auto programFrame = [&program] { return frameOf(xcb_window_t(program.winId())); };
        for (int shownAgain = 0; shownAgain < 2; ++shownAgain) {
            const char* when = shownAgain ? "shown again" : "first shown";
            // Taken over by the manager where it was remembered, over the host's bars, before the
            // host's tick looks (Qt tells the window exposed again before the manager has it).
            QVERIFY2(QTest::qWaitFor(
                         [&] { return managedAndShown(&program) && programFrame().top() < clearTop; }, 10000),
                     when);
            QVERIFY2(QTest::qWaitFor([&] { return windows.keepAbove(me) == 1; }, 10000), when);
            QVERIFY2(QTest::qWaitFor([&] { return programFrame().top() >= clearTop; }, 10000), when);
            // The program hides its window, the host's tick finds it gone, and the program shows it
            // again where it remembered it.
            const auto id = xcb_window_t(program.winId());
            program.hide();
            QTRY_VERIFY(!shown(&program));
            QTRY_VERIFY([&] {
                const auto listed = windowProperty(root(), "_NET_CLIENT_LIST");
                return std::find(listed.begin(), listed.end(), id) == listed.end();
            }());
            windows.keepAbove(me);
            program.setGeometry(remembered);
            program.show();
            QVERIFY(QTest::qWaitForWindowExposed(&program));
            QCOMPARE(xcb_window_t(program.winId()), id);
        }
        QVERIFY(!host.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!program.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void theHostsDialogsStayAboveThePrograms() {
        HostWindow host;
        host.window.setGeometry(0, 30, 900, 700);
        host.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        cadhost::ProgramWindows windows(&host.window);
        windows.setKeptClear({host.window.menuBar(), host.prompt});
        ProgramProcess program;
        QVERIFY(program.start(QRect(100, 200, 600, 400)));
        const QList<qint64> pids{program.process.processId()};
        host.window.raise();
        host.window.activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return windows.keepAbove(pids) == 1; }, 10000));
        // The host's tick keeps the program above it.
        auto tick = [&] {
            windows.keepAbove(pids);
            return topWindow();
        };
        auto onTop = [&](xcb_window_t want) {
            if (QTest::qWaitFor([&] { return tick() == want; }, 10000)) return true;
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
            xprop.waitForFinished();
            qDebug() << "wanted on top" << Qt::hex << want << "stacking" << xprop.readAll();
            return false;
        };
        QVERIFY(onTop(program.window));

        // Owned by the host ("Właściwości obiektów"), the question with no owner, and the file
        // dialog ("Otwórz rysunek"): each is the top window while open, also after the programs are
        // kept above the host again and after the program's window is raised.
        QDialog properties(&host.window);
        properties.setWindowTitle(QStringLiteral("Właściwości obiektów"));
        properties.resize(300, 200);
        QMessageBox question(QMessageBox::Question, QStringLiteral("cadhost"),
                             QStringLiteral("Na rysunku t1.dxf pracują programy: phaseplanner.\nZamknąć rysunek mimo to?"),
                             QMessageBox::Yes | QMessageBox::No);
        QFileDialog open(&host.window, QStringLiteral("Otwórz rysunek"));
        open.setOption(QFileDialog::DontUseNativeDialog);
        for (QDialog* dialog : {static_cast<QDialog*>(&properties), static_cast<QDialog*>(&question),
                                static_cast<QDialog*>(&open)}) {
            dialog->setWindowModality(Qt::ApplicationModal);
            QVERIFY(windows.isHostDialog(dialog));
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            // The native window, made anew when the dialog was made to stay on top.
            const auto id = xcb_window_t(dialog->windowHandle()->winId());
            QVERIFY(onTop(id));
            // Each tick's restacking handled, the dialog is still on top.
            for (int i = 0; i < 3; ++i) {
                windows.keepAbove(pids);
                QVERIFY(managerCaughtUp(&host.window));
                QCOMPARE(topWindow(), id);
            }
            QVERIFY(windows.raise(program.process.processId()));
            QVERIFY(managerCaughtUp(&host.window));
            windows.keepAbove(pids);
            QVERIFY(managerCaughtUp(&host.window));
            QCOMPARE(topWindow(), id);
            dialog->hide();
            QTRY_VERIFY(topWindow() != id);
        }
        // A program's own dialog is not the host's.
        QWidget programLike;
        QDialog itsDialog(&programLike);
        QVERIFY(!windows.isHostDialog(&itsDialog));
        program.close();
    }
};

// The stand-in program: one window whose client area goes where it was remembered; its id goes to
// standard output once shown; it ends when its standard input closes.
int runProgramWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    QWidget window;
    window.setWindowTitle(QStringLiteral("program"));
    window.setGeometry(a.value(2).toInt(), a.value(3).toInt(), a.value(4).toInt(), a.value(5).toInt());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    std::cout << window.winId() << std::endl;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char c;
        if (::read(STDIN_FILENO, &c, 1) <= 0) app.quit();
    });
    return app.exec();
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--program-window") == 0) return runProgramWindow(argc, argv);
    QApplication app(argc, argv);
    ProgramWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ProgramWindowsTest.moc"
