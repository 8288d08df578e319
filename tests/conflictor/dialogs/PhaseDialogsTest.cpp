// The phase editor and the crossing-links dialog, offscreen, against the in-process CAD: a tick in
// the grid, the phase commands of the toolbar, a link typed or picked, confirmed and listed again.
#include "automation/Automation.h"
#include "automation/CrossingLinks.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "conflictor/dialogs/CrossingLinksDialog.h"
#include "conflictor/dialogs/DialogGuard.h"
#include "conflictor/dialogs/PhaseEditorDialog.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/core/Prompt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace conflictor;

class PhaseDialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    StreamWindow window;
    cad::ScriptedInteraction picks;
    std::unique_ptr<ui::ScriptedPrompts> prompts;
    std::unique_ptr<automation::InProcessCad> cad_;
    QStringList handles;

    cad::Document doc() { return automation::CadDocument; }
    void addLine(const QString& name, double x1, double y1, double x2, double y2) {
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{x1, y1, 0}, cad::Point{x2, y2, 0});
        cad::Entity r = doc().modelSpace().insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0);
        r.setLayer(common::Settings.StreamLayerName);
        handles.append(r.handle());
    }

private slots:
    void init() {
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));
        prompts = std::make_unique<ui::ScriptedPrompts>();
        SetStreamWindow(&window);
        window = StreamWindow();
        StreamTable.clear();
        handles.clear();
        IntersectionNumber = QStringLiteral("12");
        automation::CrossingLinkTable.clear();
        automation::ResetCadConnectionState();
        cad_ = std::make_unique<automation::InProcessCad>();
        cad_->setInteraction(&picks);
        automation::SetCadConnector({[this] { return cad_->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
        automation::CadApplication.documents().add();
        QVERIFY(automation::CheckDocumentOpen(false));
        automation::EnsureLayer(common::Settings.StreamLayerName, false, 5, 30);
        automation::ClearStreamAttributeTable();
        InitStreamAttributeTags();
        // The intersection attribute block with groups and phases.
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, QStringLiteral("ATRYBUTY_STRUMIENI_12"));
        for (const QString& t : StreamAttributeTagNames())
            automation::AddAttributeDefinition(b, t, QString(), 0, 0);
        cad::Entity ref = doc().modelSpace().insertBlock(cad::Point{0, 0, 0}, b.name(), 1, 1, 1, 0);
        for (const cad::Entity& att : ref.attributes()) {
            if (att.tagString() == QLatin1String("GRUPY"))
                att.setTextString(QStringLiteral("K1:1^P1:2^P2:2^P3:3^"));
            if (att.tagString() == QLatin1String("FAZY"))
                att.setTextString(QStringLiteral("K1:1^P1:2^P2:2^P3:2^"));
        }
        addLine(QStringLiteral("12^STRUMIEN_1^K1"), 20, 0, 20, 20);
        addLine(QStringLiteral("12^STRUMIEN_2^P1"), 0, 0, 0, 6);
        addLine(QStringLiteral("12^STRUMIEN_3^P2"), 0, 15, 0, 9);
        addLine(QStringLiteral("12^STRUMIEN_4^P3"), 2, 1, 2, 12);
        QVERIFY(OdczytajStrumienie(false, -1));
    }
    void cleanup() {
        automation::ResetCadConnectionState();
        cad_.reset();
        SetStreamWindow(nullptr);
        prompts.reset();
        StreamTable.clear();
        automation::CrossingLinkTable.clear();
    }

    void phaseEditorTicksAndCommands() {
        PhaseEditorDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Fazy"));
        ui::FlexGrid* g = dialog.grid();
        QCOMPARE(g->Cols(), 4);  // names, group, phases 1 and 2
        QCOMPARE(g->Rows(), 4);  // header and groups 1, 2, 3
        QCOMPARE(g->TextMatrix(0, 3), QStringLiteral("2"));
        QCOMPARE(g->TextMatrix(2, 0), QStringLiteral("P1, P2"));
        QCOMPARE(dialog.phaseCombo()->count(), 2);
        dialog.show();
        // Group 2 gets phase 1 too.
        g->setCurrent(2, 2);
        dialog.grdFazy_Click(2, 2);
        QCOMPARE(dialog.toggleText(), QStringLiteral("Grupa 2, Fazy 1,2"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("P2")))].Phases, QStringLiteral("1,2"));
        QCOMPARE(GetStreamAttribute(QStringLiteral("FAZY"), QStringLiteral("P1")), QStringLiteral("1,2"));
        // A click on the group column only chooses the group.
        g->setCurrent(3, 0);
        dialog.grdFazy_Click(3, 0);
        QCOMPARE(dialog.groupCombo()->currentText(), QStringLiteral("3"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("P3")))].Phases, QStringLiteral("2"));
        // The header of phase 2 chooses it; the toolbar copies it without pedestrians: 21, no group.
        dialog.headerClick(3);
        QCOMPARE(dialog.phaseCombo()->currentText(), QStringLiteral("2"));
        dialog.runToolbarKey(QStringLiteral("KopiujFazeBezPieszych"));
        QCOMPARE(g->TextMatrix(0, 4), QStringLiteral("21"));
        QCOMPARE(StreamTable[0].Phases, QStringLiteral("1"));
        dialog.runToolbarKey(QStringLiteral("KopiujFaze"));
        QCOMPARE(g->TextMatrix(0, 5), QStringLiteral("22"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("P3")))].Phases, QStringLiteral("2,22"));
        dialog.runToolbarKey(QStringLiteral("DodajFaze"));
        QCOMPARE(g->Cols(), 7);
        dialog.phaseCombo()->setCurrentIndex(1);  // phase 2
        dialog.runToolbarKey(QStringLiteral("UsunFaze"));
        QCOMPARE(g->TextMatrix(0, 3), QStringLiteral("21"));
        QCOMPARE(StreamTable[size_t(FindStreamIndex(QStringLiteral("P3")))].Phases, QStringLiteral("22"));
        QCOMPARE(dialog.phaseCombo()->currentText(), QStringLiteral("1"));
        dialog.runToolbarKey(QStringLiteral("Nieznany"));  // does nothing
        dialog.accept();
    }

    void aFailureInADialogIsToldAndTheCursorComesBack() {
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("Fazy"));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QVERIFY(!RunDialogCommand(&dialog, [] { throw std::runtime_error("Erased"); }));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prompts->asked().size(), size_t(1));
        QVERIFY(prompts->asked()[0].text.contains(QStringLiteral("Erased")));
        QCOMPARE(prompts->asked()[0].title, QStringLiteral("Fazy"));
        QVERIFY(RunDialogCommand(&dialog, [] {}));
    }

    void crossingLinkTypedThenPickedAndListedAgain() {
        {
            CrossingLinksDialog dialog(nullptr);
            QVERIFY(!dialog.HasLinks);
            QCOMPARE(dialog.grid()->Rows(), 2);
            QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("cmdEdytujPowiazanie"))->isEnabled());
            dialog.cmdNowePowiazanie_Click();
            QVERIFY(dialog.innerBox()->isEnabled());
            dialog.innerBox()->setText(QStringLiteral("P1 P2"));
            dialog.outerBox()->setText(QStringLiteral("P3"));
            dialog.cmdZatwierdzPrzejscie_Click();
            QVERIFY(dialog.HasLinks);
            QCOMPARE(dialog.grid()->Rows(), 2);  // the first row is reused
            QCOMPARE(dialog.grid()->TextMatrix(1, 1), QStringLiteral("P1 P2"));
            QVERIFY(!dialog.innerBox()->isEnabled());
            // A second link picked in the drawing: one inner stream, Escape, two outer streams.
            dialog.cmdNowePowiazanie_Click();
            picks.entity(handles[1]).cancel().entity(handles[2]).entity(handles[3]);
            dialog.cmdTworzPrzejscie_Click();
            QCOMPARE(dialog.innerBox()->text(), QStringLiteral("P1"));
            QCOMPARE(dialog.outerBox()->text(), QStringLiteral("P2:P3"));
            dialog.cmdZatwierdzPrzejscie_Click();
            QCOMPARE(dialog.grid()->Rows(), 3);
            QCOMPARE(automation::CrossingLinkTable.size(), 2);
        }
        CrossingLinksDialog again(nullptr);
        // Each header reads in full on its one line, "Powiązanie" in the corner over the row numbers;
        // the grid is as wide as its columns, each as wide as its header and its lists.
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        ui::FlexGrid* g = again.grid();
        const int margins = 2 * g->style()->pixelMetric(QStyle::PM_HeaderMargin);
        auto* corner = g->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(corner && corner->isVisible());
        QCOMPARE(g->TextMatrix(0, 0), QStringLiteral("Powiązanie"));
        QVERIFY2(corner->width() >= corner->fontMetrics().horizontalAdvance(g->TextMatrix(0, 0)) + margins,
                 qPrintable(QString::number(corner->width())));
        const QImage drawn = corner->grab().toImage();
        g->setTextMatrix(0, 0, QString());
        QVERIFY(corner->grab().toImage() != drawn);  // the text is what the corner shows
        g->setTextMatrix(0, 0, QStringLiteral("Powiązanie"));
        int total = 0;
        for (int c = 1; c < 3; ++c) {
            const QHeaderView* header = g->horizontalHeader();
            const int width = header->sectionSize(c - 1);
            QVERIFY2(width >= header->fontMetrics().horizontalAdvance(g->TextMatrix(0, c)) + margins,
                     qPrintable(g->TextMatrix(0, c)));
            total += width;
        }
        QVERIFY(g->fontMetrics().horizontalAdvance(g->TextMatrix(1, 1)) < g->colWidthTwips(1) / 15);
        QVERIFY2(g->viewport()->width() >= total,
                 qPrintable(QStringLiteral("%1 < %2").arg(g->viewport()->width()).arg(total)));
        QVERIFY(again.HasLinks);
        QCOMPARE(again.grid()->Rows(), 3);
        QCOMPARE(again.innerBox()->text(), QStringLiteral("P1:P2"));
        QCOMPARE(automation::CrossingLinkTable[0].TotalLength, QStringLiteral("15.0"));
    }
};

QTEST_MAIN(PhaseDialogsTest)
#include "PhaseDialogsTest.moc"
