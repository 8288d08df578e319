// A window reopened where it was closed, on a real X11 display (a virtual one, started by the test's
// command) under a window manager that draws a title bar (openbox, started here): the stored point
// is the frame's corner, and a window sized by its layout when shown, or smaller than its layout
// needs, opens there again at every start instead of one title bar higher.
#include "common/Ini.h"
#include "common/ui/FormWindow.h"

#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

xcb_connection_t* x11() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t root() {
    return xcb_setup_roots_iterator(xcb_get_setup(x11())).data->root;
}

std::vector<uint32_t> windowProperty(xcb_window_t w, const char* name, xcb_atom_t type) {
    xcb_connection_t* c = x11();
    xcb_intern_atom_reply_t* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, a ? a->atom : xcb_atom_t(XCB_ATOM_NONE), type, 0, 64), nullptr);
    std::vector<uint32_t> out;
    if (r && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
        out.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    std::free(a);
    return out;
}

// Where the manager put the frame's corner, read from the server (not from what Qt believes);
// empty until the window is framed.
std::optional<QPoint> frameCorner(QWidget& w) {
    const auto extents = windowProperty(xcb_window_t(w.winId()), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (extents.size() != 4 || extents[2] == 0) return std::nullopt;
    xcb_translate_coordinates_reply_t* t = xcb_translate_coordinates_reply(
        x11(), xcb_translate_coordinates(x11(), xcb_window_t(w.winId()), root(), 0, 0), nullptr);
    std::optional<QPoint> at;
    if (t) at = QPoint(t->dst_x - int(extents[0]), t->dst_y - int(extents[2]));
    std::free(t);
    return at;
}

// A program's window: a column of buttons taller than a bare window.
struct ProgramWindow : QWidget {
    explicit ProgramWindow(bool resizedSmall) {
        setObjectName(QStringLiteral("frmMain"));
        auto* column = new QVBoxLayout(this);
        for (int i = 0; i < 10; ++i) column->addWidget(new QPushButton(QStringLiteral("Twórz obrazy faz")));
        if (resizedSmall) resize(40, 40);
    }
};

}  // namespace

class FormPositionTest : public QObject {
    Q_OBJECT
    QProcess manager_;
    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        manager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        QVERIFY2(manager_.waitForStarted(), "openbox (scripts/install-deps)");
        QTRY_VERIFY_WITH_TIMEOUT(!windowProperty(root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty(), 10000);
        QTest::qWait(1500);  // it announces itself before it takes windows over
        common::IniFilePath = dir_.filePath(QStringLiteral("Tesmar.ini"));
    }
    void cleanupTestCase() {
        manager_.kill();
        manager_.waitForFinished();
    }

    void reopensWhereItWasClosed_data() {
        QTest::addColumn<bool>("resizedSmall");
        QTest::newRow("sized by its layout") << false;
        QTest::newRow("smaller than its layout") << true;
    }
    void reopensWhereItWasClosed() {
        QFETCH(bool, resizedSmall);
        const QString section = QStringLiteral("Test%1").arg(resizedSmall);
        common::PutIni(common::IniFilePath, section, QStringLiteral("frmMain_Lewy"), QStringLiteral("6000"));
        common::PutIni(common::IniFilePath, section, QStringLiteral("frmMain_Gora"), QStringLiteral("4500"));
        for (int start = 1; start <= 3; ++start) {
            ProgramWindow w(resizedSmall);
            common::LoadFormPosition(&w, w.objectName(), section);
            w.show();
            std::optional<QPoint> corner;
            QTRY_VERIFY_WITH_TIMEOUT((corner = frameCorner(w)).has_value(), 10000);
            QTest::qWait(200);  // the manager's last word on the place
            QCOMPARE(*frameCorner(w), QPoint(400, 300));
            common::SaveFormPosition(&w, w.objectName(), section);
            QCOMPARE(common::GetIni(common::IniFilePath, section, QStringLiteral("frmMain_Lewy"), QString()),
                     QStringLiteral("6000"));
            QCOMPARE(common::GetIni(common::IniFilePath, section, QStringLiteral("frmMain_Gora"), QString()),
                     QStringLiteral("4500"));
        }
    }
};

QTEST_MAIN(FormPositionTest)
#include "FormPositionTest.moc"
