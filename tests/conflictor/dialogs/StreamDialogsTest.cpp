// The naming dialog, the pickers and the segment list: their controls, what OK, Cancel and the close
// box hand back, and what they do to the drawing of the in-process CAD.
#include "../HostGone.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "common/ui/Help.h"
#include "conflictor/dialogs/Pickers.h"
#include "conflictor/dialogs/SegmentListDialog.h"
#include "conflictor/dialogs/StreamDialogHooks.h"
#include "conflictor/dialogs/StreamNameDialog.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamViews.h"
#include "conflictor/streams/StreamWindow.h"
#include "conflictor/streams/ViewCommands.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace conflictor;

class StreamDialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    StreamWindow window;
    cad::ScriptedInteraction picks;
    std::unique_ptr<ui::ScriptedPrompts> prompts;
    std::unique_ptr<automation::InProcessCad> cad_;

    cad::Document doc() { return automation::CadDocument; }
    QString addLine(const QString& name, double x1, double y1, double x2, double y2) {
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{x1, y1, 0}, cad::Point{x2, y2, 0});
        cad::Entity r = doc().modelSpace().insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0);
        r.setLayer(common::Settings.StreamLayerName);
        return r.handle();
    }
    // Runs `check` on the next modal dialog once it is shown.
    template <class F>
    static void onDialog(F check) {
        QTimer::singleShot(0, [check] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
                    check(d);
                    return;
                }
        });
    }

private slots:
    void init() {
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));
        prompts = std::make_unique<ui::ScriptedPrompts>();
        SetStreamWindow(&window);
        window = StreamWindow();
        StreamTable.clear();
        IntersectionNumber = QStringLiteral("12");
        ShownPhase = -1;
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
    }
    void cleanup() {
        StreamDialogs() = {};
        automation::ResetCadConnectionState();
        cad_.reset();
        SetStreamWindow(nullptr);
        prompts.reset();
        StreamTable.clear();
    }

    void namingDialogCreatesTheStreamOrStaysOpen() {
        StreamNameDialog dialog(false, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Nowy strumień"));
        QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("lblKopiowanie"))->isHidden());
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("edtNazwaStrumienia"));
        auto* group = dialog.findChild<QLineEdit*>(QStringLiteral("edtNrGrupy"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdOk"));
        dialog.show();
        name->setText(QStringLiteral("K1_1"));
        ok->click();
        QVERIFY(dialog.isVisible());  // refused, the user corrects the name
        QCOMPARE(dialog.NewStreamIndex, -1);
        name->setText(QStringLiteral("K1"));
        group->setText(QStringLiteral("2"));
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOpis_4"))->click();
        ok->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.NewStreamIndex, 0);
        QCOMPARE(StreamTable[0].Group, 2);
        QCOMPARE(StreamTable[0].Description, QStringLiteral("CW"));
        QCOMPARE(window.GridRefreshCount, 1);

        // The proposal of a variant of the selected stream.
        CurrentStreamIndex = 0;
        StreamNameDialog second(false, nullptr);
        second.findChild<QPushButton*>(QStringLiteral("cmdPropNazwa"))->click();
        QCOMPARE(second.findChild<QLineEdit*>(QStringLiteral("edtNazwaStrumienia"))->text(),
                 QStringLiteral("K1[2]"));
        QCOMPARE(second.findChild<QLineEdit*>(QStringLiteral("edtNrGrupy"))->text(), QStringLiteral("2"));
        second.reject();
        QCOMPARE(second.NewStreamIndex, -1);
    }

    void namingDialogInCopyModeProposesTheConditionalName() {
        window.GridStreamName = QStringLiteral("K12");
        StreamNameDialog dialog(true, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Kopiuj strumień - tworzenie strumienia warunkowego"));
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("edtNazwaStrumienia"))->text(),
                 QStringLiteral("S12"));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lblKopiowanyStrumien"))->text(),
                 QStringLiteral("K12"));
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("cmdPropNazwa"))->isHidden());
    }

    void intersectionPickerGivesNothingOnCancelOrClose() {
        InstallStreamDialogs(nullptr);
        const QStringList numbers{QStringLiteral("12a"), QStringLiteral("12A")};
        onDialog([](QDialog* d) {
            auto* list = d->findChild<QListWidget*>(QStringLiteral("lstSkrzyz"));
            QCOMPARE(list->currentRow(), 0);
            list->setCurrentRow(1);
            d->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
        });
        QCOMPARE(StreamDialogs().WybierzSkrzyzowanie(numbers), QStringLiteral("12A"));
        onDialog([](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("cmdAnuluj"))->click(); });
        QCOMPARE(StreamDialogs().WybierzSkrzyzowanie(numbers), QString());
        onDialog([](QDialog* d) { d->close(); });  // the window's close box
        QCOMPARE(StreamDialogs().WybierzSkrzyzowanie(numbers), QString());
    }

    void phasePickerShowsOnePhaseAfterAnother() {
        const QString k1 = addLine(QStringLiteral("12^STRUMIEN_1^K1"), 0, 0, 1, 0);
        const QString k2 = addLine(QStringLiteral("12^STRUMIEN_2^K2"), 1, 0, 2, 0);
        QVERIFY(OdczytajStrumienie(false, -1));
        StreamTable[size_t(FindStreamIndex(QStringLiteral("K1")))].Phases = QStringLiteral("3");
        StreamTable[size_t(FindStreamIndex(QStringLiteral("K2")))].Phases = QStringLiteral("5,1");
        PhasePickerDialog dialog(3, false, nullptr);
        auto* list = dialog.list();
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("1"));
        QCOMPARE(list->currentItem()->text(), QStringLiteral("3"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cmdOk"))->text(), QStringLiteral("&Pokaż"));
        dialog.show();
        dialog.cmdOk_Click();
        QVERIFY(doc().handleToObject(k1).visible());
        QVERIFY(!doc().handleToObject(k2).visible());
        list->setCurrentRow(2);  // 5
        emit list->itemDoubleClicked(list->currentItem());
        QVERIFY(dialog.isVisible());
        QCOMPARE(ShownPhase, 5);
        QVERIFY(!doc().handleToObject(k1).visible());
        QVERIFY(doc().handleToObject(k2).visible());

        // Select mode colours the phase; no preselection without a phase.
        PhasePickerDialog select(-1, true, nullptr);
        QVERIFY(select.list()->currentItem() == nullptr);
        select.list()->setCurrentRow(0);
        select.cmdOk_Click();
        QCOMPARE(doc().handleToObject(k2).color(), common::Settings.PisakZaznaczenia);
        QCOMPARE(doc().handleToObject(k1).color(), common::Settings.PisakStrumieni);
    }

    void conflictPointListDeletesTheRowsOwnObject() {
        addLine(QStringLiteral("12^STRUMIEN_1^K1"), 0, 0, 1, 0);
        addLine(QStringLiteral("12^STRUMIEN_2^K2"), 1, 0, 2, 0);
        QVERIFY(OdczytajStrumienie(false, -1));
        QStringList handles;
        for (int n = 0; n < 2; ++n) {
            const QString name = QStringLiteral("12^POJPOJ_STRUMIEN_%1").arg(n);
            doc().blocks().add(cad::Point{0, 0, 0}, name).addCircle(cad::Point{0, 0, 0}, 1);
            handles << doc().modelSpace().insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0).handle();
        }
        // Two points with the same other stream: each row deletes its own point.
        SegmentHandleList = {{handles[0], QStringLiteral("K2")}, {handles[1], QStringLiteral("K2")}};
        SegmentListDialog dialog(0, true, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Ziziro zedivir"));
        QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("cmdUsun"))->isHidden());
        dialog.show();
        dialog.list()->setCurrentRow(1);
        QCOMPARE(doc().handleToObject(addLineHandleOf(QStringLiteral("K2"))).color(),
                 1);  // the other stream red
        dialog.cmdUsun_Click();
        QVERIFY_THROWS_EXCEPTION(std::exception, doc().handleToObject(handles[1]).objectName());
        QCOMPARE(doc().handleToObject(handles[0]).objectName(), QStringLiteral("AcDbBlockReference"));
        QCOMPARE(dialog.list()->currentRow(), 0);  // the new last row
        dialog.cmdUsun_Click();
        QCOMPARE(dialog.list()->count(), 0);
        QVERIFY(SegmentHandleList.empty());
        QCOMPARE(doc().handleToObject(addLineHandleOf(QStringLiteral("K2"))).color(),
                 common::Settings.PisakStrumieni);
    }

    void segmentListShowsLengths() {
        addLine(QStringLiteral("12^STRUMIEN_1^K1"), 0, 0, 12, 0);
        QVERIFY(OdczytajStrumienie(false, -1));
        SortujOdcinkiStrumienia(0);
        SegmentListDialog dialog(0, false, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Odcinki strumienia"));
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("cmdUsun"))->isHidden());
        QCOMPARE(dialog.list()->count(), 1);
        QCOMPARE(dialog.list()->item(0)->text(), QStringLiteral("12.0 m"));
        dialog.list()->setCurrentRow(0);
        QVERIFY(doc().handleToObject(dialog.selectedHandle()).highlighted());
    }

    // Pomoc opens the list's own page; with the CAD host gone a click in the list, Zbliż and closing
    // tell the Polish message and the dialog goes on.
    void segmentListHelpPageAndAHostGone() {
        addLine(QStringLiteral("12^STRUMIEN_1^K1"), 0, 0, 12, 0);
        QVERIFY(OdczytajStrumienie(false, -1));
        SortujOdcinkiStrumienia(0);
        QDir(dir.path()).mkpath(QStringLiteral("Pomoc"));
        QFile page(dir.filePath(QStringLiteral("Pomoc/10008.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        common::SetHelpFolder(dir.filePath(QStringLiteral("Pomoc")));
        QUrl opened;
        common::SetHelpOpener([&](const QUrl& url) {
            opened = url;
            return true;
        });
        SegmentListDialog dialog(0, false, nullptr);
        dialog.show();
        dialog.findChild<QPushButton*>(QStringLiteral("cmdPomoc"))->click();
        common::SetHelpOpener({});
        QVERIFY2(opened.toString().endsWith(QStringLiteral("/10008.html")), qPrintable(opened.toString()));

        test::HostGone gone;
        dialog.list()->setCurrentRow(-1);  // showing the list may have made its row current
        dialog.list()->setCurrentRow(0);
        QCOMPARE(prompts->messageTexts().size(), 1);
        QVERIFY(prompts->messageTexts().constLast().contains(test::HostGone::Message()));
        dialog.findChild<QPushButton*>(QStringLiteral("cmdZoom"))->click();
        QCOMPARE(prompts->messageTexts().size(), 2);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
        QVERIFY(!dialog.isVisible());
    }

private:
    QString addLineHandleOf(const QString& stream) {
        return StreamTable[size_t(FindStreamIndex(stream))].Segments[1].Handle;
    }
};

QTEST_MAIN(StreamDialogsTest)
#include "StreamDialogsTest.moc"
