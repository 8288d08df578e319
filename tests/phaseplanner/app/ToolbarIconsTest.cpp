// The pictures of the main window's toolbar and of the coordination window's toolbar.
#include "ToolbarPictures.h"
#include "phaseplanner/app/CoordinationWindow.h"
#include "phaseplanner/app/MainWindow.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace phaseplanner;

class ToolbarIconsTest : public QObject {
    Q_OBJECT

private slots:
    void eachButtonHasItsOwnPicture() {
        QTemporaryDir dir;
        MainWindow w(dir.path());
        test::CheckToolbarPictures(w.findChild<QToolBar*>(QStringLiteral("tlbPrzyciski")), 15);
        CoordinationWindow c;
        test::CheckToolbarPictures(c.findChild<QToolBar*>(QStringLiteral("tlbPrzyciski")), 2);
    }
};

QTEST_MAIN(ToolbarIconsTest)
#include "ToolbarIconsTest.moc"
