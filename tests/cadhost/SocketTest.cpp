// The host socket end to end: client processes connected at once see each other's changes; a
// program's pick is answered from the window while the host keeps serving; a killed client and
// garbage frames cost only their own connection.
#include "HostFixture.h"
#include "platform/ui/core/Prompt.h"

#include "platform/cad/Application.h"
#include "platform/cad/engine/UndoJournal.h"

#include "platform/cad/socket/CadHostConnection.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QProcess>
#include <QtTest>
#include <csignal>

using namespace cad::db;

namespace {

// One helper client process driven line by line.
class Client {
public:
    explicit Client(const QString& socket, const QString& program = QStringLiteral(TEST_CLIENT)) {
        p_.setProgram(program);
        p_.setArguments({QStringLiteral("--socket"), socket});
        p_.start();
    }
    ~Client() {
        if (p_.state() != QProcess::NotRunning) {
            p_.kill();
            p_.waitForFinished(2000);
        }
    }
    // Waits for the next answer line while the host (this process) keeps serving.
    QString line(int timeoutMs = 5000) {
        QElapsedTimer t;
        t.start();
        while (!p_.canReadLine() && t.elapsed() < timeoutMs) QTest::qWait(5);
        return QString::fromUtf8(p_.readLine()).trimmed();
    }
    void send(const QString& cmd) {
        p_.write(cmd.toUtf8() + '\n');
        p_.waitForBytesWritten(1000);
    }
    QString ask(const QString& cmd) {
        send(cmd);
        return line();
    }
    QProcess& process() { return p_; }

private:
    QProcess p_;
};

// The process id of the host started for this test: the one whose command line names our socket.
qint64 hostPid(const QString& socketName) {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid) continue;
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> args = f.readAll().split('\0');
        if (args.size() > 2 && args[0].endsWith("cadhost") && args.contains(socketName.toUtf8())) return pid;
    }
    return 0;
}

}  // namespace

class SocketTest : public QObject {
    Q_OBJECT
private slots:
    void twoClientsShareOneLiveDrawing() {
        HostFixture h;
        const QString name = h.listen();
        Client a(name), b(name);
        QCOMPARE(a.line(), QStringLiteral("ok connected"));
        QCOMPARE(b.line(), QStringLiteral("ok connected"));
        QTRY_COMPARE(h.server->connectionCount(), 2);
        const QString added = a.ask(QStringLiteral("addline 0 0 10 10"));
        QVERIFY2(added.startsWith(QLatin1String("ok ")), qPrintable(added));
        const QString handle = added.mid(3);
        QCOMPARE(b.ask(QStringLiteral("count")), QStringLiteral("ok 1"));
        QCOMPARE(b.ask(QStringLiteral("color %1 1").arg(handle)), QStringLiteral("ok 1"));
        QCOMPARE(a.ask(QStringLiteral("color %1").arg(handle)), QStringLiteral("ok 1"));
        // The host's own drawing holds what both did, and the window knows it changed.
        QCOMPARE(h.ms()->item(0)->color, 1);
        QTRY_VERIFY(!h.doc()->saved);
        QTRY_VERIFY(h.window->windowTitle().endsWith(QLatin1Char('*')));
    }

    void eachProgramCommandIsOneUndoStep() {
        HostFixture h;
        const QString name = h.listen();
        Client a(name);
        QCOMPARE(a.line(), QStringLiteral("ok connected"));
        const QString first = a.ask(QStringLiteral("addline 0 0 10 0")).mid(3);
        QTest::qWait(800);  // the program goes quiet: its command is complete
        // The next command: two lines added and the first one recoloured, in one burst.
        a.ask(QStringLiteral("addline 0 5 10 5"));
        a.ask(QStringLiteral("addline 0 9 10 9"));
        QCOMPARE(a.ask(QStringLiteral("color %1 1").arg(first)), QStringLiteral("ok 1"));
        QTest::qWait(800);
        QCOMPARE(h.ms()->count(), 3);
        QTest::keyClick(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.ms()->count(), 1);
        // The program sees the drawing as it is now.
        QCOMPARE(a.ask(QStringLiteral("count")), QStringLiteral("ok 1"));
        QCOMPARE(a.ask(QStringLiteral("color %1").arg(first)), QStringLiteral("ok 256"));
        QTest::keyClick(h.view(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(a.ask(QStringLiteral("count")), QStringLiteral("ok 3"));
        QCOMPARE(h.ms()->item(0)->color, 1);
        // Going away ends the step at once: the user's undo takes only the last call.
        QCOMPARE(a.ask(QStringLiteral("addline 0 20 10 20")).left(2), QStringLiteral("ok"));
        a.send(QStringLiteral("quit"));
        QTRY_COMPARE(h.server->connectionCount(), 0);
        QVERIFY(!h.doc()->db->journal().stepOpen());
        QTest::keyClick(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.ms()->count(), 3);
        QTest::keyClick(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(h.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.ms()->count(), 0);
    }

    void pickIsAnsweredFromTheWindowWhileOthersAreServed() {
        HostFixture h;
        const QString name = h.listen();
        Client picker(name), other(name);
        QCOMPARE(picker.line(), QStringLiteral("ok connected"));
        QCOMPARE(other.line(), QStringLiteral("ok connected"));
        Box area;
        area.add(-10, -10);
        area.add(110, 110);
        h.view()->zoomWindow(area);
        h.view()->setSnapEnabled(false);
        picker.send(QStringLiteral("getpoint Wskaż położenie legendy..."));
        QTRY_VERIFY(h.interaction.pickActive());
        QCOMPARE(h.window->promptText(), QStringLiteral("Wskaż położenie legendy..."));
        QCOMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Point);
        // The host is not blocked: another program's calls go on meanwhile.
        const QString added = other.ask(QStringLiteral("addline 0 0 5 5"));
        QCOMPARE(h.ms()->count(), 1);
        QCOMPARE(added, QStringLiteral("ok ") + h.ms()->item(0)->handleText());
        QTest::qWait(300);  // the user takes a moment
        // A word that is no keyword leaves the prompt waiting rather than failing the program.
        QTest::keyClicks(h.window->promptInput(), QStringLiteral("xyz"));
        QTest::keyClick(h.window->promptInput(), Qt::Key_Return);
        QVERIFY(h.interaction.pickActive());
        h.moveAndClick(h.at(50, 60));
        const QString answer = picker.line();
        QVERIFY2(answer.startsWith(QLatin1String("ok ")), qPrintable(answer));
        const QStringList xy = answer.mid(3).split(QLatin1Char(' '));
        QVERIFY(std::abs(xy.value(0).toDouble() - 50) < 0.5 && std::abs(xy.value(1).toDouble() - 60) < 0.5);
        QCOMPARE(xy.value(2), QStringLiteral("ticked"));  // the waiting program's event loop ran
        QVERIFY(!h.interaction.pickActive());

        // Escape cancels the next pick: the program gets Cancelled and LASTPROMPT the mark.
        picker.send(QStringLiteral("getpoint Wskaż punkt"));
        QTRY_VERIFY(h.interaction.pickActive());
        QTest::keyClick(h.view(), Qt::Key_Escape);
        QCOMPARE(picker.line(),
                 QStringLiteral("error %1 Wskazywanie anulowano").arg(int(cad::Error::CancelledKind)));
        QCOMPARE(h.model.lastPrompt, QStringLiteral("*Anulowano*"));
    }

    void entityPickHighlightZoomAndRaise() {
        HostFixture h;
        const QString name = h.listen();
        Client c(name);
        QCOMPARE(c.line(), QStringLiteral("ok connected"));
        // A reference to a block: the pick answers the reference, not the line inside it.
        BlockDefinition* b = h.db().addBlock(QStringLiteral("S-1"));
        h.db().addLine(b, {-2, 0, 0}, {2, 0, 0});
        Entity* ref = h.db().insertBlock(h.ms(), {50, 50, 0}, QStringLiteral("S-1"), 1, 1, 1, 0);
        h.changed();
        QCOMPARE(c.ask(QStringLiteral("zoom 0 0 100 100")), QStringLiteral("ok"));
        QTRY_VERIFY(std::abs(h.view()->viewCenter().x - 50) < 1e-9 &&
                    std::abs(h.view()->viewCenter().y - 50) < 1e-9);
        QCOMPARE(c.ask(QStringLiteral("highlight %1 1").arg(ref->handleText())), QStringLiteral("ok"));
        QVERIFY(h.view()->scene()->highlighted.contains(ref->handle()));
        c.send(QStringLiteral("getentity Wybierz fazę początkową ..."));
        QTRY_COMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Entity);
        h.moveAndClick(h.at(51, 50));
        QCOMPARE(c.line(), QStringLiteral("ok %1 AcDbBlockReference").arg(ref->handleText()));
        QCOMPARE(c.ask(QStringLiteral("highlight %1 0").arg(ref->handleText())), QStringLiteral("ok"));
        QVERIFY(!h.view()->scene()->highlighted.contains(ref->handle()));
        h.window->showMinimized();
        QCOMPARE(c.ask(QStringLiteral("raise")), QStringLiteral("ok"));
        QTRY_VERIFY(!h.window->isMinimized());
    }

    void programPollsAPolylineTheUserDrawsAndCancels() {
        HostFixture h;
        const QString name = h.listen();
        Client program(name);
        QCOMPARE(program.line(), QStringLiteral("ok connected"));
        Box area;
        area.add(-10, -10);
        area.add(110, 110);
        h.view()->zoomWindow(area);
        h.view()->setSnapEnabled(false);
        QCOMPARE(program.ask(QStringLiteral("send _pline|")), QStringLiteral("ok"));  // returns at once
        QCOMPARE(program.ask(QStringLiteral("quiescent")), QStringLiteral("ok no"));
        QTRY_COMPARE(h.view()->mode(), cadhost::DrawingView::Mode::Point);
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {40.0, 0.0}, {40.0, 40.0}})
            h.moveAndClick(h.at(x, y));
        QCOMPARE(program.ask(QStringLiteral("quiescent")), QStringLiteral("ok no"));
        QTest::keyClick(h.view(), Qt::Key_Escape);
        QCOMPARE(program.ask(QStringLiteral("quiescent")), QStringLiteral("ok yes"));
        QCOMPARE(program.ask(QStringLiteral("lastprompt")), QStringLiteral("ok *Anulowano*"));
        QCOMPARE(program.ask(QStringLiteral("count")), QStringLiteral("ok 1"));  // two segments kept
        QCOMPARE(int(h.ms()->item(0)->tryAs<LwPolylineData>()->vertices.size()), 3);
        // The view follows: the new polyline is found under the cursor.
        QTRY_VERIFY(h.view()->entityAt(h.at(40, 20)) == h.ms()->item(0));
    }

    void killedClientLeavesTheHostWorking() {
        HostFixture h;
        const QString name = h.listen();
        auto doomed = std::make_unique<Client>(name);
        Client survivor(name);
        QCOMPARE(doomed->line(), QStringLiteral("ok connected"));
        QCOMPARE(survivor.line(), QStringLiteral("ok connected"));
        doomed->send(QStringLiteral("getpoint Wskaż sygnalizator..."));
        QTRY_VERIFY(h.interaction.pickActive());
        doomed.reset();  // killed while its pick was waiting
        QTRY_COMPARE(h.server->connectionCount(), 1);
        QVERIFY(!h.interaction.pickActive());
        QCOMPARE(h.window->promptText(), QStringLiteral("Polecenie:"));
        QVERIFY(survivor.ask(QStringLiteral("addline 1 1 2 2")).startsWith(QLatin1String("ok ")));
        QCOMPARE(survivor.ask(QStringLiteral("count")), QStringLiteral("ok 1"));
    }

    void closingAsksWhileProgramsAreAttached() {
        HostFixture h;
        const QString name = h.listen();
        ui::ScriptedPrompts prompts;
        cad::DocumentState* worked = h.doc();
        auto program = std::make_unique<Client>(name);
        QCOMPARE(program->line(), QStringLiteral("ok connected"));
        QVERIFY(program->ask(QStringLiteral("addline 0 0 5 5")).startsWith(QLatin1String("ok ")));
        // A drawing no program called into closes without that question.
        h.window->newDrawing();
        QVERIFY(h.window->closeDrawing(h.doc()));
        QVERIFY(prompts.asked().empty());
        // The drawing the program works on asks first, naming it.
        prompts.answerMessage(ui::No);
        QVERIFY(!h.window->closeDrawing(worked));
        QCOMPARE(prompts.messageTexts().value(0),
                 QStringLiteral("Na rysunku %1 pracują programy: cadhost_testclient.\nZamknąć rysunek mimo to?")
                     .arg(worked->name));
        // So does closing the host, and "Nie" keeps it open with its drawing.
        prompts.answerMessage(ui::No);
        QVERIFY(!h.window->close());
        QVERIFY(prompts.messageTexts().value(1).startsWith(
            QStringLiteral("Do cadhost są podłączone programy: cadhost_testclient.")));
        QCOMPARE(int(h.model.documents().size()), 1);
        // Without programs only the unsaved drawing asks.
        program.reset();
        QTRY_COMPARE(h.server->connectionCount(), 0);
        prompts.answerMessage(ui::No);
        QVERIFY(h.window->close());
        QVERIFY(prompts.messageTexts().value(2).startsWith(QStringLiteral("Zapisać zmiany w rysunku")));
        QCOMPARE(prompts.unexpected(), 0);
    }

    void aProgramWorkingOnTheDrawingIsRaisedNotStartedAgain() {
        HostFixture h;
        const QString name = h.listen();
        Client program(name);
        QCOMPARE(program.line(), QStringLiteral("ok connected"));
        QVERIFY(program.ask(QStringLiteral("addline 0 0 5 5")).startsWith(QLatin1String("ok ")));
        cadhost::ProgramLauncher& launcher = h.window->launcher();
        launcher.setFolder(QFileInfo(QStringLiteral(TEST_CLIENT)).absolutePath());
        int starts = 0;
        launcher.setStarter([&](const QString&, const QStringList&) { return qint64(++starts); });
        qint64 raised = 0;
        launcher.setRaiser([&](qint64 pid) { return (raised = pid) > 0; });
        h.window->startProgram(QStringLiteral("cadhost_testclient"));
        QCOMPARE(starts, 0);
        QVERIFY(raised > 0 && raised != QCoreApplication::applicationPid());
        // On a drawing it does not work on, it is started.
        const QString first = h.doc()->name;
        h.window->newDrawing();
        h.window->startProgram(QStringLiteral("cadhost_testclient"));
        QCOMPARE(starts, 1);

        // conflictor and phaseplanner run once per user: the running one comes to the front from
        // any drawing and is named with the drawing it works on.
        QTemporaryDir bin, runtime;
        const QByteArray userRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        launcher.setFolder(bin.path());
        QVERIFY(QFile::copy(QStringLiteral(TEST_CLIENT), bin.filePath(QStringLiteral("conflictor"))));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), bin.filePath(QStringLiteral("phaseplanner"))));
        Client conflictor(name, bin.filePath(QStringLiteral("conflictor")));
        QCOMPARE(conflictor.line(), QStringLiteral("ok connected"));
        h.model.setActiveDocument(h.model.documents().front());
        QVERIFY(conflictor.ask(QStringLiteral("count")).startsWith(QLatin1String("ok ")));
        h.model.setActiveDocument(h.model.documents().back());
        h.window->startProgram(QStringLiteral("conflictor"));
        QCOMPARE(starts, 1);
        QCOMPARE(raised, conflictor.process().processId());
        QCOMPARE(h.window->messageText(),
                 QStringLiteral("Program conflictor już pracuje na rysunku %1 (jednocześnie może pracować "
                                "tylko jedna kopia programu).")
                     .arg(first));
        // A copy that holds its lock without being attached (left from an earlier cadhost).
        QProcess waiting;
        waiting.start(bin.filePath(QStringLiteral("phaseplanner")), {QStringLiteral("30")});
        QVERIFY(waiting.waitForStarted());
        QFile lock(runtime.filePath(QStringLiteral("Tesmar-phaseplanner.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(waiting.processId()) + "\nphaseplanner\n\n");
        lock.close();
        h.window->startProgram(QStringLiteral("phaseplanner"));
        QCOMPARE(starts, 1);
        QCOMPARE(raised, waiting.processId());
        QCOMPARE(h.window->messageText(), QStringLiteral("Program phaseplanner już pracuje (jednocześnie może "
                                                         "pracować tylko jedna kopia programu)."));
        waiting.kill();
        waiting.waitForFinished();
        h.window->startProgram(QStringLiteral("phaseplanner"));
        QCOMPARE(starts, 2);
        qputenv("XDG_RUNTIME_DIR", userRuntime);
    }

    // conflictor names the drawing it shows from the CAD's active drawing; it may go on calling
    // into the drawing it read before, and asks for the active drawing at every command, which
    // another program may have changed. The launcher names the one whose name it shows.
    void theLauncherNamesTheDrawingTheProgramShows() {
        HostFixture h;
        const QString name = h.listen();
        cad::DocumentState* first = h.doc();
        h.window->newDrawing();
        cad::DocumentState* second = h.doc();
        h.window->newDrawing();
        cad::DocumentState* third = h.doc();
        cadhost::ProgramLauncher& launcher = h.window->launcher();
        int starts = 0;
        launcher.setStarter([&](const QString&, const QStringList&) { return qint64(++starts); });
        qint64 raised = 0;
        launcher.setRaiser([&](qint64 pid) { return (raised = pid) > 0; });
        QTemporaryDir bin, runtime;
        const QByteArray userRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        launcher.setFolder(bin.path());
        QVERIFY(QFile::copy(QStringLiteral(TEST_CLIENT), bin.filePath(QStringLiteral("conflictor"))));
        Client conflictor(name, bin.filePath(QStringLiteral("conflictor")));
        QCOMPARE(conflictor.line(), QStringLiteral("ok connected"));
        h.model.setActiveDocument(first);
        QCOMPARE(conflictor.ask(QStringLiteral("shown")), QStringLiteral("ok ") + first->name);
        // Another program made a new drawing active; a command of this one asked for it without
        // showing it, and went on calling into the drawing it shows.
        h.model.setActiveDocument(second);
        QCOMPARE(conflictor.ask(QStringLiteral("count")), QStringLiteral("ok 0"));
        QCOMPARE(conflictor.ask(QStringLiteral("keptcount")), QStringLiteral("ok 0"));
        h.model.setActiveDocument(third);
        h.window->startProgram(QStringLiteral("conflictor"));
        QCOMPARE(raised, conflictor.process().processId());
        QCOMPARE(h.window->messageText(),
                 QStringLiteral("Program conflictor już pracuje na rysunku %1 (jednocześnie może pracować "
                                "tylko jedna kopia programu).")
                     .arg(first->name));
        h.model.setActiveDocument(first);
        h.window->startProgram(QStringLiteral("conflictor"));
        QCOMPARE(h.window->messageText(), QStringLiteral("Program conflictor już pracuje na tym rysunku."));
        // Once the drawing it shows is closed, it is named by the active drawing it was told last.
        QVERIFY(h.window->closeDrawing(first, false));
        h.model.setActiveDocument(third);
        h.window->startProgram(QStringLiteral("conflictor"));
        QVERIFY(h.window->messageText().contains(QStringLiteral("na rysunku %1 ").arg(second->name)));
        QCOMPARE(starts, 0);
        qputenv("XDG_RUNTIME_DIR", userRuntime);
    }

    // "cadhost FILE" with a host running hands the file over: the running host opens it and lists it
    // among the recent drawings, as if the user had opened it there.
    void aDrawingHandedOverReachesTheRecentDrawings() {
        HostFixture h;
        const QString name = h.listen();
        const QString path = h.dir.filePath(QStringLiteral("t2.dxf"));
        h.window->newDrawing();
        cad::DocumentState* made = h.doc();
        h.invoke(made->id, QStringLiteral("SaveAs"), {cad::Variant(path)});
        QVERIFY(h.window->closeDrawing(made, false));
        QVERIFY(!h.window->recentFiles().contains(path));
        QProcess second;
        second.start(QStringLiteral(CADHOST_EXE), {QStringLiteral("--socket"), name, path});
        QVERIFY(second.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(h.doc()->fullName, path);
        QCOMPARE(h.window->recentFiles().value(0), path);
        QMenu* recent = nullptr;
        for (QMenu* m : h.window->findChildren<QMenu*>())
            if (m->title() == QStringLiteral("Ostatnio &otwierane")) recent = m;
        QVERIFY(recent && !recent->actions().isEmpty());
        QCOMPARE(recent->actions().first()->text(), QStringLiteral("&1 ") + path);
    }

    void garbageAndOversizedFramesCloseOnlyTheirConnection() {
        HostFixture h;
        const QString name = h.listen();
        Client good(name), bad(name);
        QCOMPARE(good.line(), QStringLiteral("ok connected"));
        QCOMPARE(bad.line(), QStringLiteral("ok connected"));
        QCOMPARE(bad.ask(QStringLiteral("garbage")), QStringLiteral("ok closed"));
        QCOMPARE(bad.ask(QStringLiteral("oversized")), QStringLiteral("ok closed"));
        QCOMPARE(good.ask(QStringLiteral("count")), QStringLiteral("ok 0"));
        QCOMPARE(bad.ask(QStringLiteral("count")),
                 QStringLiteral("ok 0"));  // its own proper connection lives on
        QTRY_COMPARE(h.server->connectionCount(), 2);
    }

    void programStartsTheHostWhenNoneRuns() {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("auto.sock"));
        qputenv("TESMAR_CADHOST_INI", dir.filePath(QStringLiteral("cadhost.ini")).toUtf8());
        const QString folder = QFileInfo(QStringLiteral(CADHOST_EXE)).absolutePath();
        QVERIFY(cad::AttachToCadHost(name, 200) == nullptr);
        auto ch = cad::AttachOrStartCadHost(20000, name, folder);
        QVERIFY(ch != nullptr);
        const qint64 pid = hostPid(name);
        QVERIFY(pid > 0);
        cad::Application acad(ch.get());
        QCOMPARE(acad.documents().count(), 1);  // the host starts with a new drawing
        QVERIFY(acad.getAcadState().isQuiescent());
        // The next program attaches to the same host instead of starting another.
        auto second = cad::AttachOrStartCadHost(2000, name, QStringLiteral("/nonexistent"));
        QVERIFY(second != nullptr);
        cad::Application(second.get())
            .activeDocument()
            .modelSpace()
            .addLine(cad::Point{0, 0, 0}, cad::Point{1, 1, 0});
        QCOMPARE(acad.activeDocument().modelSpace().count(), 1);
        ch.reset();
        second.reset();
        ::kill(pid_t(pid), SIGKILL);
        // Nothing runs there now and no cadhost beside a missing folder can start.
        QTRY_VERIFY(cad::AttachToCadHost(name, 200) == nullptr);
        QVERIFY(cad::AttachOrStartCadHost(500, name, dir.filePath(QStringLiteral("nic"))) == nullptr);
    }

    // A call and an answer far larger than the socket's buffer cross in pieces, in both
    // directions, and the calls that follow are answered in order on the same connection.
    void largeCallsAndAnswersCrossInPieces() {
        HostFixture h;
        const QString name = h.listen();
        auto ch = cad::AttachToCadHost(name, 2000);
        QVERIFY(ch != nullptr);
        cad::Application acad(ch.get());
        QList<cad::Point> vertices;
        for (int i = 0; i < 60000; ++i) vertices.append(cad::Point{double(i), double(i % 7), 0});
        const cad::Block ms = acad.activeDocument().modelSpace();
        const cad::Entity pl = ms.addLightWeightPolyline(vertices);
        QCOMPARE(int(h.ms()->item(0)->tryAs<LwPolylineData>()->vertices.size()), 60000);
        const QList<cad::Point> back = pl.coordinates();
        QCOMPARE(back.size(), vertices.size());
        QCOMPARE(back.last(), vertices.last());
        for (int i = 0; i < 3; ++i) ms.addLine(cad::Point{0, 0, 0}, cad::Point{1, double(i), 0});
        QCOMPARE(ms.count(), 4);
        QCOMPARE(h.server->connectionCount(), 1);
    }

    void secondHostOnTheSameNameIsRefused() {
        HostFixture h;
        const QString name = h.listen();
        // Reachable by this user only.
        const QFile::Permissions perms = QFileInfo(name).permissions();
        QVERIFY(!(perms & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
        cadhost::SocketServer second(h.model, h.interaction);
        QString error;
        QVERIFY(!second.listen(name, &error));
        QVERIFY(!error.isEmpty());
        // A file left by a host that died is taken over.
        const QString staleName = h.dir.filePath(QStringLiteral("stale.sock"));
        QFile stale(staleName);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        cadhost::SocketServer third(h.model, h.interaction);
        QVERIFY2(third.listen(staleName, &error), qPrintable(error));
        auto ch = cad::AttachToCadHost(staleName, 2000);
        QVERIFY(ch != nullptr);
    }
};

QTEST_MAIN(SocketTest)
#include "SocketTest.moc"
