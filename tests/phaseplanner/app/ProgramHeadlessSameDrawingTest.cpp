// A program imported from an intergreen workbook and drawn through phaseplanner's window, and the same
// workbook imported and drawn by phaseplanner-headless into the same empty drawing: the two saved
// drawings hold the same program blocks, attributes and bars, entity for entity.
#include "InProcessSession.h"
#include "phaseplanner/app/MainWindow.h"
#include "phaseplanner/app/PhaseSetDialog.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/editor/GroupTable.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"
#include "tests/phaseplanner/workbook/IntergreenBooks.h"

#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace phaseplanner;

class ProgramHeadlessSameDrawingTest : public QObject, protected test::InProcessSession {
    Q_OBJECT

    static QByteArray dump(const QString& drawing) {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(SUITE_SOURCE_DIR "/tests/phaseplanner/app/dump_program_drawing.py"), drawing});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) return "cannot read " + drawing.toUtf8();
        return p.readAllStandardOutput();
    }

private slots:
    void init() {
        openSession();
        GroupTable.clear();
        ResetProgramAttributeState();
        ResetIntergreenWorkbook();
    }
    void cleanup() {
        closeSession();
        GroupTable.clear();
        ResetProgramAttributeState();
        ResetIntergreenWorkbook();
        MainProgramWindow().clearIntersections();
        IntersectionNumber.clear();
        TemplateFolder.clear();
    }

    void theWindowAndTheToolDrawTheSameProgram() {
        const QString workbook = folder->filePath(QStringLiteral("czasy.xlsx"));
        test::WriteIntergreenBook(test::SmallBook(), workbook);
        const QString empty = folder->filePath(QStringLiteral("pusty.dxf"));
        cad->application().documents().add();
        automation::CadApplication = cad->application();
        automation::CadApplication.activeDocument().saveAs(empty);
        TemplateFolder = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby");

        auto w = std::make_unique<MainWindow>(folder->filePath(QStringLiteral("bin")));
        QVERIFY(w->Form_Load());
        prompts->answerFile(workbook);     // no drawing names a workbook yet: the file dialog
        prompts->answerMessage(ui::No);    // adjacent greens are not merged
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<PhaseSetDialog*>(QApplication::activeModalWidget())) {
                d->list()->setCurrentRow(0);
                d->lstFazy_DblClick();
            }
        });
        w->findChild<QAction*>(QStringLiteral("mnuGrupa_Excel"))->trigger();
        QVERIFY(DefinedGroupCount() > 0);
        prompts->answerMessage(ui::Yes);   // the drawing holds no program: load the table
        w->findChild<QAction*>(QStringLiteral("mnuDane_Wrysuj"))->trigger();
        const QString fromWindow = folder->filePath(QStringLiteral("okno.dxf"));
        automation::CadApplication.activeDocument().saveAs(fromWindow);
        const QString number = IntersectionNumber;
        w->close();

        const QString fromTool = folder->filePath(QStringLiteral("narzedzie.dxf"));
        QProcess tool;
        tool.start(QStringLiteral(PHASEPLANNER_HEADLESS),
                   {empty, QStringLiteral("--intersection"), number, QStringLiteral("--import"), workbook,
                    QStringLiteral("--set"), QStringLiteral("1"), QStringLiteral("--wrysuj"), QStringLiteral("--save"),
                    fromTool});
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());

        const QByteArray window = dump(fromWindow), headless = dump(fromTool);
        QVERIFY(window.contains("ATRYBUTY_PROGRAMU_" + number.toUtf8()));
        QVERIFY(window.count('\n') > 20);
        if (window != headless) {
            const QList<QByteArray> a = window.split('\n'), b = headless.split('\n');
            for (const QByteArray& line : a)
                if (!b.contains(line)) qWarning("only in the window's drawing: %s", line.constData());
            for (const QByteArray& line : b)
                if (!a.contains(line)) qWarning("only in the tool's drawing: %s", line.constData());
        }
        QCOMPARE(headless, window);
    }
};

QTEST_MAIN(ProgramHeadlessSameDrawingTest)
#include "ProgramHeadlessSameDrawingTest.moc"
