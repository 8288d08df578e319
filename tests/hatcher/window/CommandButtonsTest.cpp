// hatcher's main window builds its command buttons from the command table: the buttons, captions,
// places and tab order the window has always had, and a click runs its row: the phase pictures drawn
// from the user's picks with the other commands held and the hourglass shown meanwhile, a transition
// between two pictures pointed at, the settings dialog, the close.
#include "../SampleIntersection.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/SettingBindings.h"
#include "hatcher/app/MainWindow.h"
#include "hatcher/core/CommandTable.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/LayerSets.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace hatcher;

namespace {

// The user's picks, with a look at the window each time the CAD waits for one.
class WatchedPicks : public cad::ScriptedInteraction {
public:
    cad::Input pick(const cad::InputRequest& request) override {
        if (onPick) onPick();
        return ScriptedInteraction::pick(request);
    }
    std::function<void()> onPick;
};

}  // namespace

class CommandButtonsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    WatchedPicks picks;
    std::unique_ptr<automation::InProcessCad> cad;

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QLatin1String(ProgramTitleText));
        cad = std::make_unique<automation::InProcessCad>();
        cad->setInteraction(&picks);
        automation::SetCadConnector({[this] { return cad->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(false);
        automation::CadApplication.documents().open(QString::fromUtf8(test::SampleMapPath()));
        QVERIFY(automation::CheckDocumentOpen(false));
        test::AddSampleStreams();
    }

    void buttonsAreTheTableRows() {
        const QList<std::pair<QString, QString>> expected = {
            {QStringLiteral("cmdDefObszar"), QStringLiteral("Określ okrąg dla schematu")},
            {QStringLiteral("cmdTworzObrazyFaz"), QStringLiteral("Twórz obrazy faz")},
            {QStringLiteral("cmdConnect"), QStringLiteral("Określ możliwe przejścia międzyfazowe")},
            {QStringLiteral("cmdConnectAll"), QStringLiteral("Twórz wszystkie przejścia międzyfazowe")},
            {QStringLiteral("cmdAtrrsAngle"), QStringLiteral("Aktualizuj kąty atrybutów dla przejść")},
            {QStringLiteral("cmdKonfig"), QStringLiteral("&Konfiguracja")},
            {QStringLiteral("btnHlp"), QStringLiteral("&Pomoc")},
            {QStringLiteral("btnClose"), QStringLiteral("&Zakończ")}};
        QList<std::pair<QString, QString>> table;
        for (const CommandRow& row : CommandTable())
            table.append({QLatin1String(row.id), QString::fromUtf8(row.caption)});
        QCOMPARE(table, expected);

        MainWindow w;
        QList<std::pair<QString, QString>> buttons;
        for (QPushButton* b : w.findChildren<QPushButton*>()) buttons.append({b->objectName(), b->text()});
        QCOMPARE(buttons, expected);
        // Their places in the grid (row, column, columns spanned) and who sees them.
        auto* grid = qobject_cast<QGridLayout*>(w.layout());
        QStringList places;
        for (QPushButton* b : w.findChildren<QPushButton*>()) {
            int r = -1, c = -1, rs = 0, cs = 0;
            grid->getItemPosition(grid->indexOf(b), &r, &c, &rs, &cs);
            places << QStringLiteral("%1 %2,%3 %4x%5")
                          .arg(b->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"))
                          .arg(r)
                          .arg(c)
                          .arg(rs)
                          .arg(cs);
        }
        QCOMPARE(places, (QStringList{QStringLiteral("hidden 1,0 1x3"), QStringLiteral("shown 2,0 1x3"),
                                      QStringLiteral("shown 3,0 1x3"), QStringLiteral("shown 4,0 1x3"),
                                      QStringLiteral("shown 5,0 1x3"), QStringLiteral("shown 9,0 1x3"),
                                      QStringLiteral("shown 10,0 1x1"), QStringLiteral("shown 10,1 1x2")}));
        // Tab runs top to bottom through the window's own controls and the buttons.
        QStringList tabs;
        QWidget* at = w.findChild<QComboBox*>(QStringLiteral("cmbNo"));
        do {
            if (at->focusPolicy() & Qt::TabFocus) tabs << at->objectName();
            at = at->nextInFocusChain();
        } while (at != w.findChild<QComboBox*>(QStringLiteral("cmbNo")));
        QCOMPARE(tabs, (QStringList{QStringLiteral("cmbNo"), QStringLiteral("cmdPobierzSkrzyzowania"),
                                    QStringLiteral("cmdDefObszar"), QStringLiteral("cmdTworzObrazyFaz"),
                                    QStringLiteral("cmdConnect"), QStringLiteral("cmdConnectAll"),
                                    QStringLiteral("cmdAtrrsAngle"), QStringLiteral("lstWarstwy"),
                                    QStringLiteral("cmdKonfig"), QStringLiteral("btnHlp"),
                                    QStringLiteral("btnClose")}));
    }

    void aClickRunsItsRowUnderTheGuard() {
        ui::ScriptedPrompts prompts;
        MainWindow w;
        QVERIFY(w.Form_Load());
        common::IniFilePath = dir.filePath(QStringLiteral("Tesmar.ini"));  // keep the build folder clean
        LayerSetsFilePath = dir.filePath(QStringLiteral("zestawy_warstw.txt"));
        auto* cmbNo = w.findChild<QComboBox*>(QStringLiteral("cmbNo"));
        QVERIFY(cmbNo->findText(QStringLiteral("7")) >= 0);
        cmbNo->setCurrentIndex(cmbNo->findText(QStringLiteral("7")));  // the user's choice
        QCOMPARE(w.intersectionText(), QStringLiteral("7"));
        const int before = automation::CadModelSpace.count();

        // While the CAD waits for the user, the commands and the settings are held, help and close not.
        QStringList seen;
        picks.onPick = [&] {
            for (QPushButton* b : w.findChildren<QPushButton*>())
                if (!b->isEnabled()) seen << b->objectName();
            seen << (QApplication::overrideCursor() ? QStringLiteral("busy") : QStringLiteral("idle"));
            picks.onPick = {};
        };
        picks.point(0, 0).point(30, 0).point(0, -200);  // the circle around the junction, then the row
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdTworzObrazyFaz")), Qt::LeftButton);
        QVERIFY(picks.exhausted());
        QCOMPARE(seen, (QStringList{QStringLiteral("cmdDefObszar"), QStringLiteral("cmdTworzObrazyFaz"),
                                    QStringLiteral("cmdConnect"), QStringLiteral("cmdConnectAll"),
                                    QStringLiteral("cmdAtrrsAngle"), QStringLiteral("cmdKonfig"),
                                    QStringLiteral("busy")}));
        QCOMPARE(prompts.unexpected(), 0);

        QMap<QString, QString> pictures;  // handle by phase picture name
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") &&
                e.name().startsWith(QLatin1String("Schemat_7_Faza")))
                pictures.insert(e.name(), e.handle());
        QCOMPARE(pictures.size(), 4);
        QVERIFY(automation::CadModelSpace.count() > before);
        QVERIFY(!QApplication::overrideCursor());
        for (QPushButton* b : w.findChildren<QPushButton*>()) QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("labStatus"))->text(),
                 QStringLiteral("Oczekiwanie na akcję użytkownika ..."));

        // One transition: the user points at the pictures of phases 1 and 2, then ends.
        w.transitionTemplatePath = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
        picks.entity(pictures.values().at(0)).entity(pictures.values().at(1)).cancel();
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdConnect")), Qt::LeftButton);
        QVERIFY(picks.exhausted());
        QCOMPARE(prompts.unexpected(), 0);
        QStringList transitions;
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference"))
                if (const QString opis = automation::ReadAttributeByTag(e, QStringLiteral("OPIS")); !opis.isEmpty())
                    transitions << opis;
        QCOMPARE(transitions, QStringList{QStringLiteral("PF 1-2")});

        // The settings dialog, cancelled: the layer list is read again after it.
        common::SettingBindings[1].Value = 0;
        LayerSets = {};
        LayerSets[0][0] = QStringLiteral("KRAWEZNIKI");
        QString opened;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* d = QApplication::activeModalWidget()) {
                opened = d->objectName();
                qobject_cast<QDialog*>(d)->reject();
            }
        });
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdKonfig")), Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("frmKonfig"));
        QCOMPARE(w.searchLayers(), QStringList{QStringLiteral("KRAWEZNIKI")});

        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnClose")), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }

    void cleanupTestCase() {
        automation::ResetCadConnectionState();
        cad.reset();
    }
};

QTEST_MAIN(CommandButtonsTest)
#include "CommandButtonsTest.moc"
