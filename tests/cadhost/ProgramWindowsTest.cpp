// The programs' windows on a real X11 display (a virtual one, started by the test's command) under
// a window manager (openbox, started here): an unowned top-level window of a program that opens
// over the host's menu bar is moved below it and kept above the host, without becoming the host's
// transient, so minimising it leaves the host as it was; a dialog owned by a program window and a
// window kept above everything are left as they are.
#include "cadhost/ProgramWindows.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>
#include <xcb/xcb.h>

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

bool shown(QWidget* w) {
    xcb_get_window_attributes_reply_t* r =
        xcb_get_window_attributes_reply(x11(), xcb_get_window_attributes(x11(), xcb_window_t(w->winId())), nullptr);
    const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return viewable;
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
        // It announces itself before it takes the windows over: a window shown meanwhile may never
        // be exposed.
        QTest::qWait(1500);
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
        QCOMPARE(windows.keepAbove({QCoreApplication::applicationPid()}), 1);
        const int menuBottom = host.menuBar()->mapToGlobal(QPoint(0, host.menuBar()->height())).y();
        QTRY_COMPARE(program.frameGeometry().top(), menuBottom);
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
        QTest::qWait(300);
        windows.keepAbove({QCoreApplication::applicationPid()});
        QTest::qWait(300);
        QVERIFY(shown(&host) && !host.isMinimized());
        QVERIFY(!shown(&program));
        QVERIFY(windows.raise(QCoreApplication::applicationPid()));
        QTRY_VERIFY(shown(&program));
        QVERIFY(!windows.raise(1));  // a process without windows here
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "ProgramWindowsTest.moc"
