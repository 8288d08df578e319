// The pictures of the main window's two toolbars.
#include "ToolbarPictures.h"
#include "conflictor/mainwindow/ConflictorWindow.h"

#include <QtTest>

using namespace conflictor;

class ToolbarIconsTest : public QObject {
    Q_OBJECT

private slots:
    void eachButtonHasItsOwnPicture() {
        ConflictorWindow w;
        test::CheckToolbarPictures(w.findChild<QToolBar*>(QStringLiteral("tlbPrzyciski")), 9);
        test::CheckToolbarPictures(w.findChild<QToolBar*>(QStringLiteral("tlbPrzyciski2")), 8);
    }
};

QTEST_MAIN(ToolbarIconsTest)
#include "ToolbarIconsTest.moc"
