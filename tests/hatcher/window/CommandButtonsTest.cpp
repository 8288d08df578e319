// hatcher's main window builds its command buttons from the command table: the same buttons, captions,
// places and tab order as the rows say, and a click runs its row: the phase pictures drawn from the
// user's picks, the other commands held and the hourglass shown meanwhile.
#include "../SampleIntersection.h"
#include "automation/Automation.h"
#include "common/Ini.h"
#include "hatcher/app/MainWindow.h"
#include "hatcher/core/CommandTable.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/LayerSets.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
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
        auto* grid = qobject_cast<QGridLayout*>(w.layout());
        for (const CommandRow& row : CommandTable()) {
            auto* b = w.findChild<QPushButton*>(QLatin1String(row.id));
            int r = -1, c = -1, rs = 0, cs = 0;
            grid->getItemPosition(grid->indexOf(b), &r, &c, &rs, &cs);
            QCOMPARE((QList<int>{r, c, rs, cs}), (QList<int>{row.row, row.column, 1, row.columnSpan}));
            QCOMPARE(b->isHidden(), !row.shown);
        }
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdDefObszar"))->isHidden());
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

        int pictures = 0;
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") &&
                e.name().startsWith(QLatin1String("Schemat_7_Faza")))
                ++pictures;
        QCOMPARE(pictures, 4);
        QVERIFY(automation::CadModelSpace.count() > before);
        QVERIFY(!QApplication::overrideCursor());
        for (QPushButton* b : w.findChildren<QPushButton*>()) QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("labStatus"))->text(),
                 QStringLiteral("Oczekiwanie na akcję użytkownika ..."));
        w.close();
    }

    void cleanupTestCase() {
        automation::ResetCadConnectionState();
        cad.reset();
    }
};

QTEST_MAIN(CommandButtonsTest)
#include "CommandButtonsTest.moc"
