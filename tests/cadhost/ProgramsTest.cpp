// Starting the suite's programs from the menu Tesmar: conflictor and phaseplanner once per user (a
// second start raises the running one and names its drawing), headplacer once per head with the symbol on its command line, a missing program
// named; the palette shows every shipped symbol drawn from its drawing.
#include "HostFixture.h"
#include "cadhost/SymbolPalette.h"

#include <QFile>
#include <QListWidget>
#include <QMenuBar>
#include <QtTest>

class ProgramsTest : public QObject {
    Q_OBJECT

    static const QString& symbols() {
        static const QString folder =
            QStringLiteral(SUITE_SOURCE_DIR "/resources/aZasoby/Sygnalizacja/Sygnalizatory");
        return folder;
    }

private slots:
    void tesmarMenuStartsOncePerUserAndRaises() {
        HostFixture h;
        QTemporaryDir bin;
        // No copy of the user's own programs counts as running here.
        qputenv("XDG_RUNTIME_DIR", h.dir.path().toUtf8());
        for (const char* name : {"conflictor", "phaseplanner", "headplacer"}) {
            QFile f(bin.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\n");
            f.close();
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        }
        cadhost::ProgramLauncher& launcher = h.window->launcher();
        launcher.setFolder(bin.path());
        QList<QStringList> started;
        launcher.setStarter([&](const QString& path, const QStringList& args) {
            started.append(QStringList{QFileInfo(path).fileName()} + args);
            return QCoreApplication::applicationPid();  // a process that is alive
        });
        QList<qint64> raised;
        launcher.setRaiser([&](qint64 pid) {
            raised.append(pid);
            return true;
        });

        // The menu's entries start the programs.
        QMenu* tesmar = h.window->menuBar()->findChild<QMenu*>(QStringLiteral("mnuTesmar"));
        QVERIFY(tesmar);
        QCOMPARE(tesmar->actions().size(), 4);
        tesmar->actions()[0]->trigger();
        QCOMPARE(started, QList<QStringList>{QStringList{QStringLiteral("conflictor")}});
        QCOMPARE(h.window->messageText(), QStringLiteral("Uruchomiono program conflictor."));
        // Again on the same drawing: the running one comes to the front.
        tesmar->actions()[0]->trigger();
        QCOMPARE(started.size(), 1);
        QCOMPARE(raised, QList<qint64>{QCoreApplication::applicationPid()});
        QCOMPARE(h.window->messageText(), QStringLiteral("Program conflictor już pracuje na tym rysunku."));
        // From another drawing too: one copy per user, named with the drawing it was started on.
        const QString first = h.doc()->name;
        h.window->newDrawing();
        tesmar->actions()[0]->trigger();
        QCOMPARE(started.size(), 1);
        QCOMPARE(raised.size(), 2);
        QCOMPARE(h.window->messageText(), QStringLiteral("Program conflictor już pracuje na rysunku %1 "
                                                         "(jednocześnie może pracować tylko jedna kopia programu).")
                                              .arg(first));
        tesmar->actions()[1]->trigger();
        QCOMPARE(started.last(), QStringList{QStringLiteral("phaseplanner")});

        // headplacer runs once per head, with its symbol.
        h.window->startProgram(QStringLiteral("headplacer"), {QStringLiteral("S-1")});
        h.window->startProgram(QStringLiteral("headplacer"), {QStringLiteral("S-2l")});
        QCOMPARE(started.size(), 4);
        QCOMPARE(started.last(), (QStringList{QStringLiteral("headplacer"), QStringLiteral("S-2l")}));

        // A program that is not there is named, with where it was looked for.
        tesmar->actions()[2]->trigger();
        QVERIFY(h.window->messageText().startsWith(QStringLiteral("Nie znaleziono programu hatcher (")));
        QCOMPARE(started.size(), 4);
    }

    void paletteShowsEveryShippedSymbolDrawn() {
        const QStringList names = cadhost::ShippedSymbols(symbols());
        QCOMPARE(names.size(), int(QDir(symbols()).entryList({QStringLiteral("*.dxf")}).size()));
        QVERIFY(names.contains(QStringLiteral("S-1")));
        cadhost::SymbolPalette palette(symbols());
        QCOMPARE(palette.list()->count(), names.size());
        for (int i = 0; i < palette.list()->count(); ++i) {
            const QImage img = palette.list()->item(i)->icon().pixmap(72, 72).toImage();
            QVERIFY2(!img.isNull(), qPrintable(names[i]));
            // Something is drawn: not every pixel is the background.
            bool drawn = false;
            for (int y = 0; y < img.height() && !drawn; ++y)
                for (int x = 0; x < img.width() && !drawn; ++x) drawn = img.pixelColor(x, y) != img.pixelColor(0, 0);
            QVERIFY2(drawn, qPrintable(names[i]));
        }
        const QImage s1 = cadhost::SymbolPicture(symbols() + QStringLiteral("/S-1.dxf"), 72);
        const QImage s3 = cadhost::SymbolPicture(symbols() + QStringLiteral("/S-3l.dxf"), 72);
        QVERIFY(!s1.isNull() && !s3.isNull());
        QVERIFY(s1 != s3);
        int lit = 0;
        for (int y = 0; y < s1.height(); ++y)
            for (int x = 0; x < s1.width(); ++x) lit += s1.pixelColor(x, y) != s1.pixelColor(0, 0);
        QVERIFY(lit > 50);
        palette.list()->setCurrentRow(names.indexOf(QStringLiteral("S-1")));
        QCOMPARE(palette.chosen(), QStringLiteral("S-1"));
    }
};

QTEST_MAIN(ProgramsTest)
#include "ProgramsTest.moc"
