// The programs' windows on a real X11 display (a virtual one, started by the test's command):
// an unowned top-level window of a program becomes transient for cadhost's window; a dialog owned
// by a program window and a window kept above everything are left as they are.
#include "cadhost/ProgramWindows.h"

#include <QDialog>
#include <QGuiApplication>
#include <QWidget>
#include <QtTest>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_window_t transientFor(QWidget* w) {
    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(w->winId()), XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t owner = 0;
    if (r && xcb_get_property_value_length(r) == 4) owner = *static_cast<xcb_window_t*>(xcb_get_property_value(r));
    std::free(r);
    return owner;
}

}  // namespace

class ProgramWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void programWindowsAreKeptAboveTheHostOnly() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(cadhost::ProgramWindows::available());
        QWidget host, program, onTop;
        onTop.setWindowFlag(Qt::WindowStaysOnTopHint);
        for (QWidget* w : {&host, &program, &onTop}) {
            w->resize(200, 100);
            w->show();
        }
        QDialog dialog(&program);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&program));
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const xcb_window_t dialogOwner = transientFor(&dialog);
        QVERIFY(dialogOwner != 0);

        // The "program" is this process: its windows other than the host's are found by its id.
        cadhost::ProgramWindows windows(&host);
        QCOMPARE(windows.keepAbove({QCoreApplication::applicationPid()}), 1);
        QCOMPARE(transientFor(&program), xcb_window_t(host.winId()));
        QCOMPARE(transientFor(&dialog), dialogOwner);
        QCOMPARE(transientFor(&onTop), xcb_window_t(0));
        QCOMPARE(transientFor(&host), xcb_window_t(0));
        // Done once: the next tick finds nothing new.
        QCOMPARE(windows.keepAbove({QCoreApplication::applicationPid()}), 0);
        QVERIFY(windows.raise(QCoreApplication::applicationPid()));
        QVERIFY(!windows.raise(1));  // a process without windows here
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "ProgramWindowsTest.moc"
