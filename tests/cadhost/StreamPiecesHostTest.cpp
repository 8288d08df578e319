// The sample intersection cut by conflictor-headless, then edited in the host window with its own
// commands as a user would ("_properties" moving K1's last two pieces to layer "0", "_copy" of K3's
// start marker to its other end; every piece of K3 erased), saved, and exported by the tool:
// each edit is refused by name and place, and no workbook is written.
#include "HostFixture.h"
#include "cadhost/PropertiesDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QtTest>

class StreamPiecesHostTest : public QObject {
    Q_OBJECT

    struct Run {
        int exit = -1;
        QString said;
        bool written = false;
    };

    static QString resources() { return QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby"); }

    // The tool on the drawing: the export to `name`.xlsx (after a cut when `cut`), the drawing saved
    // back in place.
    static Run tool(const QString& drawing, const QString& workbook, bool cut) {
        QStringList args{drawing, QStringLiteral("--intersection"), QStringLiteral("1"), QStringLiteral("--resources"),
                         resources()};
        if (cut) args << QStringLiteral("--cut") << QStringLiteral("--save") << drawing;
        else args << QStringLiteral("--export") << workbook;
        QProcess p;
        p.start(QStringLiteral(HEADLESS_TOOL), args);
        Run r;
        if (!p.waitForFinished(120000)) return r;
        r.exit = p.exitCode();
        r.said = QString::fromUtf8(p.readAllStandardError());
        r.written = QFile::exists(workbook);
        return r;
    }

    // The sample cut by the tool and opened in the host window, shown whole.
    static QString cutSample(HostFixture& h) {
        const QString path = h.dir.filePath(QStringLiteral("Przyklad.dxf"));
        if (!QFile::copy(resources() + QStringLiteral("/Przyklad.dxf"), path)) return {};
        const Run cut = tool(path, QString(), true);
        if (cut.exit != 0) {
            qWarning() << cut.said;
            return {};
        }
        if (!h.window->openFile(path)) return {};
        h.view()->setSnapEnabled(false);
        h.zoomTo(-60, -60, 60, 60);
        return path;
    }

    static void type(HostFixture& h, std::initializer_list<const char*> inputs) {
        for (const char* t : inputs) h.window->submitText(QString::fromUtf8(t));
    }

    // Saved and exported: refused with every text of `expected`, nothing written.
    static void expectRefused(HostFixture& h, const QString& path, const QStringList& expected,
                              const QStringList& unexpected = {}) {
        QVERIFY(h.window->saveDrawing(h.doc()));
        const QString workbook = h.dir.filePath(QStringLiteral("wynik.xlsx"));
        const Run r = tool(path, workbook, false);
        QVERIFY2(r.exit != 0, qPrintable(r.said));
        QVERIFY(!r.written);
        for (const QString& text : expected) QVERIFY2(r.said.contains(text), qPrintable(r.said));
        for (const QString& text : unexpected) QVERIFY2(!r.said.contains(text), qPrintable(r.said));
    }

private slots:
    void piecesMovedToAnotherLayerAreNamedWithTheLayer() {
        HostFixture h;
        const QString path = cutSample(h);
        QVERIFY(!path.isEmpty());
        // The properties window answered as soon as it shows: "Warstwa" set to "0".
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<cadhost::PropertiesDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->layer()->setCurrentText(QStringLiteral("0"));
            dialog->accept();
        });
        // A window round K1's two pieces east of (-16; -5.25), its markers left out.
        type(h, {"_properties", "-16.5,-5.3", "50.5,-5.2", ""});
        QCOMPARE(h.window->messageText(), QStringLiteral("Zmieniono właściwości obiektów: 2."));
        expectRefused(h, path,
                      {QStringLiteral("K1: Niepoprawny strumień. Składowa \"1^STRUMIEN_"),
                       QStringLiteral("leży na warstwie \"0\" w punkcie ("),
                       QStringLiteral("strumienie czyta się tylko z warstwy \"113-STRUMIENIE_RUCHU\", więc nie zostałaby "
                                      "uwzględniona. Przenieś ją na warstwę \"113-STRUMIENIE_RUCHU\" albo usuń.")},
                      {QStringLiteral("(usunięty)")});
    }

    void aCopiedStartMarkerIsNamedWithBothPlaces() {
        HostFixture h;
        const QString path = cutSample(h);
        QVERIFY(!path.isEmpty());
        // K3 starts at (50; 1.75) and ends at (-50; 1.75): its start marker copied onto its end.
        type(h, {"_copy", "49.5,1.3", "50.5,2.2", "", "50,1.75", "-50,1.75", ""});
        expectRefused(h, path,
                      {QStringLiteral("K3: Niepoprawny strumień. Strumień ma 2 znaczniki początku, a może mieć jeden: w "
                                      "punktach (50.00; 1.75) i (-50.00; 1.75). Usuń zbędny znacznik; polecenie "
                                      "\"Ustaw punkt początkowy\" (menu Edycja) ustawia na nowo oba znaczniki, "
                                      "początku i końca.")});
    }

    void everyPieceErasedIsNamedBeforeTheGroups() {
        HostFixture h;
        const QString path = cutSample(h);
        QVERIFY(!path.isEmpty());
        std::vector<cad::db::Entity*> pieces, others;
        for (cad::db::Entity* e : h.ms()->entities()) {
            if (e->isErased()) continue;
            const auto* ref = e->tryAs<cad::db::InsertData>();
            (ref && ref->blockName.endsWith(QStringLiteral("^K3")) ? pieces : others).push_back(e);
        }
        QVERIFY(pieces.size() >= 3);
        // Every piece of K3 erased with a window along its lane, y 1.65 to 1.85: its markers reach
        // above and below that, and so does the conflict point at (-17.5; 1.75). "Okno" because
        // both corners lie on the lane, where a click would pick instead; and a pick cannot take
        // the piece between x -21.5 and -17.5, which the length texts cover.
        type(h, {"_erase", "Okno", "-50.5,1.65", "50.5,1.85", ""});
        QCOMPARE(h.window->messageText(), QStringLiteral("Usunięto obiektów: %1.").arg(pieces.size()));
        for (const cad::db::Entity* e : pieces) QVERIFY(e->isErased());
        for (const cad::db::Entity* e : others) QVERIFY(!e->isErased());
        int alive = 0, markers = 0;
        for (const cad::db::Entity* e : h.ms()->entities()) {
            if (e->isErased()) continue;
            ++alive;
            const auto* ref = e->tryAs<cad::db::InsertData>();
            if (ref && ref->blockName.contains(QStringLiteral("_STRUMIEN_K3_"))) ++markers;
        }
        QCOMPARE(alive, int(others.size()));
        QCOMPARE(markers, 2);
        expectRefused(h, path,
                      {QStringLiteral("K3: Niepoprawny strumień. W rysunku nie ma już żadnej składowej tego strumienia, "
                                      "a zostały jego znaczniki: początku w punkcie (50.00; 1.75), końca w punkcie "
                                      "(-50.00; 1.75). Jeśli strumień usunięto, usuń też jego znaczniki; jeśli nie, "
                                      "narysuj jego składowe ponownie.")},
                      {QStringLiteral("kolejność grup")});
        // The markers erased too: the cut no longer matches, and that is said (the tool then cuts
        // again and writes) with no word of the groups.
        type(h, {"_erase", "-50.5,1.3", "50.5,2.2", ""});
        QVERIFY(h.window->saveDrawing(h.doc()));
        const Run r = tool(path, h.dir.filePath(QStringLiteral("po-usunieciu.xlsx")), false);
        QVERIFY2(r.said.contains(QStringLiteral("Strumienie zmieniły się od ostatniego cięcia: K3 (usunięty)")),
                 qPrintable(r.said));
        QVERIFY2(!r.said.contains(QStringLiteral("kolejność grup")), qPrintable(r.said));
    }
};

QTEST_MAIN(StreamPiecesHostTest)
#include "StreamPiecesHostTest.moc"
