// Inserting heads and push-buttons into an in-process drawing with scripted picks, and the poll
// that completes them: the right insert, a cancel, a command that ends without the block, a foreign
// entity, a push-button after a cancelled one, an Escape at a description, a missing screen, a zero
// text height, duplicates.
#include "tests/automation/CadFixture.h"

#include "automation/Automation.h"
#include "common/Ini.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Inventory.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/LoopbackChannel.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/ObjectModel.h"

#include <QTemporaryDir>

using namespace headplacer;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

// The windows as the completion sees them: records what it is asked.
class RecordingUi : public PlacementUi {
public:
    void showMainWindow() override { ++mainShown; }
    bool editHeadAttributes(const QString& handle) override {
        editedHandle = handle;
        if (accept) ApplyInventory(values);
        return accept;
    }
    void openDetectorWindow() override { ++detectorOpened; }
    void showDetectorWindow() override { ++detectorShown; }
    QString pushButtonType() override { return QStringLiteral("sensorowy"); }
    QString pushButtonMaker() override { return QStringLiteral("Sprint"); }
    QString detectorDescriptionText() override { return QStringLiteral("D1p"); }
    void endProgram() override { ++ended; }
    void endProgramFailed() override {
        ++endedFailed;
        PlacementUi::endProgramFailed();
    }

    InventoryValues values;
    bool accept = true;
    QString editedHandle;
    int mainShown = 0, detectorOpened = 0, detectorShown = 0, ended = 0, endedFailed = 0;
};

class PlacementTest : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        ResetHeadState();
        SetProgramFolder(QStringLiteral(SUITE_BINARY_DIR "/suite/Tesmar/bin"));
        common::IniFilePath = ini.filePath(QStringLiteral("Tesmar.ini"));
        HeadPlacerSettings = {};
        // A drawing in metres ("SKALA" 1 drawing unit per metre).
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        CadDocument.setVariable(QStringLiteral("CLAYER"), QStringLiteral("0"));
        ASSERT_TRUE(ReadHeadDrawingValues());
        IntersectionNumber = QStringLiteral("987");
        HeadSymbol = QStringLiteral("S-1");
        HeadDesignation = QStringLiteral("K1p");
        InventoryNumber = QStringLiteral("30-18/987/K1p");
        HeadTypeText = QStringLiteral("Siemens Mobility");
        LightSourceCode = QStringLiteral("LED");
        LensDiameter = 100;
        ui.values.EnteredBy = QStringLiteral("jkowalski");
        ui.values.StreetName = QStringLiteral("Główna");
        ui.values.RealisationDate = FormatInventoryDate(QDate(2011, 3, 5));
    }
    void TearDown() override {
        SetProgramFolder(QString());
        CadFixture::TearDown();
    }
    void runCommand() {
        for (int i = 0; i < 20 && !cad_->model().commands().isQuiescent(); ++i) cad_->model().pumpCommands();
    }
    QStringList layersOfTexts() const {
        QStringList l;
        for (const cad::Entity& e : CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbText"))
                l << e.layer() + QLatin1Char(':') + e.textString();
        return l;
    }
    QMap<QString, QString> attributesOf(const cad::Entity& ref) const {
        QMap<QString, QString> m;
        for (const cad::Entity& a : ref.attributes()) m[a.tagString()] = a.textString();
        return m;
    }

    // The longer side of the box of a reference's drawn geometry (its attributes left out), in drawing units.
    static double drawnLength(const cad::Entity& ref) {
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        for (const cad::Entity& e : CadDocument.blocks().item(ref.name()).entities()) {
            if (e.objectName() == QLatin1String("AcDbAttributeDefinition")) continue;
            const auto [lo, hi] = e.boundingBox();
            x0 = std::min(x0, lo.x), y0 = std::min(y0, lo.y), x1 = std::max(x1, hi.x),
            y1 = std::max(y1, hi.y);
        }
        return std::max(x1 - x0, y1 - y0) * ref.xScaleFactor();
    }

    static cad::Entity lastText() {
        for (int i = CadModelSpace.count() - 1; i >= 0; --i)
            if (CadModelSpace.item(i).objectName() == QLatin1String("AcDbText")) return CadModelSpace.item(i);
        return {};
    }

    QTemporaryDir ini;
    RecordingUi ui;
    InsertionPoll poll{ui};
};

TEST_F(PlacementTest, TheRightInsertGetsItsAttributesDescriptionAndInventory) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    picks.point(100, 50).text(QStringLiteral("90")).point(104, 52);
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    EXPECT_TRUE(poll.active());
    EXPECT_EQ(PendingInsertMode, 1);
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CLAYER")).toText(),
              QStringLiteral("110-SYGNALIZACJA_KOMORY"));
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
    EXPECT_FALSE(poll.active());
    EXPECT_EQ(ui.ended, 1);  // no push-buttons wanted
    const cad::Entity head = CadDocument.handleToObject(HeadHandle);
    EXPECT_EQ(head.name(), QStringLiteral("S-1"));
    EXPECT_EQ(head.layer(), QStringLiteral("110-SYGNALIZACJA_KOMORY"));
    EXPECT_DOUBLE_EQ(head.xScaleFactor(), 0.01);
    EXPECT_NEAR(InsertedRotation, std::numbers::pi / 2, 1e-9);
    const auto a = attributesOf(head);
    EXPECT_EQ(a.size(), 19);
    EXPECT_EQ(a.value(QStringLiteral("OBIEKT")), QStringLiteral("sygnalizator"));
    EXPECT_EQ(a.value(QStringLiteral("RODZAJ")), QStringLiteral("ogólny"));
    EXPECT_EQ(a.value(QStringLiteral("INWENT_NUMER")), QStringLiteral("30-18/987/K1p"));
    EXPECT_EQ(a.value(QStringLiteral("NUMER_SKRZYZ")), QStringLiteral("987"));
    EXPECT_EQ(a.value(QStringLiteral("SREDN_SOCZ")), QStringLiteral("100"));
    EXPECT_EQ(a.value(QStringLiteral("WKLADY_ANTYZL")), QStringLiteral("0"));
    EXPECT_EQ(a.value(QStringLiteral("REALIZACJA_DATA")), QStringLiteral("2011.03.05"));
    EXPECT_EQ(a.value(QStringLiteral("NAZWA_ULICY")), QStringLiteral("Główna"));
    EXPECT_TRUE(a.value(QStringLiteral("SYGN_AKUST")).isEmpty());
    EXPECT_TRUE(a.value(QStringLiteral("UWAGI")).isEmpty());
    EXPECT_EQ(layersOfTexts(), QStringList{QStringLiteral("112-OPIS_SYGNALIZACJI:K1p")});
    const cad::Entity text = CadModelSpace.item(CadModelSpace.count() - 1);
    EXPECT_DOUBLE_EQ(text.height(), 1);  // a metre, scaled by the drawing's units per metre
    EXPECT_EQ(text.color(), 1);
    EXPECT_EQ(automation::GetDrawingProperty(QStringLiteral("ONUMERSKRZYZ")), QStringLiteral("987"));
    EXPECT_EQ(automation::GetDrawingProperty(QStringLiteral("OSTULICA")), QStringLiteral("Główna"));
    EXPECT_EQ(common::GetIni(common::IniFilePath, QStringLiteral("OstatnioUzyte"),
                             QStringLiteral("Operator00"), {}),
              QStringLiteral("jkowalski"));
    // The variables the insertion changed are back.
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("0"));
    EXPECT_NE(CadDocument.getVariable(QStringLiteral("TEXTSTYLE")).toText(),
              QStringLiteral("SYGN_OPISY_TXT"));
    EXPECT_TRUE(picks.exhausted());
}

// A head of real size on a drawing in metres and on one in millimetres, its texts in proportion.
TEST_F(PlacementTest, AHeadIsItsRealSizeInMetresAndInMillimetres) {
    struct Case {
        const char* scale;
        double unitsPerMetre;
    };
    for (const Case c : {Case{"1", 1}, Case{"1000", 1000}}) {
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::fromLatin1(c.scale));
        ASSERT_TRUE(ReadHeadDrawingValues());
        ContrastScreens = true;
        ScreenSymbol = QStringLiteral("EKP");
        InventoryNumber = QStringLiteral("30-18/987/K1p") + QString::fromLatin1(c.scale);  // no duplicate
        ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
        const double u = c.unitsPerMetre;
        picks.point(100 * u, 50 * u).text(QStringLiteral("90")).point(102 * u, 52 * u);
        ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
        runCommand();
        ASSERT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
        const double length = drawnLength(CadDocument.handleToObject(HeadHandle)) / u;  // metres
        EXPECT_GT(length, 0.8) << c.scale;
        EXPECT_LT(length, 1.0) << c.scale;
        EXPECT_NEAR(drawnLength(CadDocument.handleToObject(ScreenHandle)) / u, 0.88, 0.05) << c.scale;
        EXPECT_DOUBLE_EQ(lastText().height(), u) << c.scale;  // 1 m
        // The push-button: some 0.2 m, its description half a metre high.
        ASSERT_TRUE(StartPushButton(poll));
        picks.point(105 * u, 50 * u).point(106 * u, 51 * u);
        runCommand();
        ASSERT_EQ(poll.tick(), InsertionPoll::PushButtonCompleted);
        EXPECT_NEAR(drawnLength(CadDocument.handleToObject(HeadHandle)) / u, 0.2, 0.02) << c.scale;
        EXPECT_DOUBLE_EQ(lastText().height(), 0.5 * u) << c.scale;
        ContrastScreens = false;
    }
}

// While the push-button's pick waits, the CAD's window has the keyboard.
TEST_F(PlacementTest, APushButtonPickRaisesTheCadWindow) {
    const int before = cad_->model().raiseRequests;
    ASSERT_TRUE(StartPushButton(poll));
    EXPECT_EQ(cad_->model().raiseRequests, before + 1);
    picks.cancel();
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::Cancelled);
}

TEST_F(PlacementTest, ACancelEndsTheRunAndPlacesNothing) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-2p")));
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    const int before = CadModelSpace.count();
    runCommand();  // no input yet: the command waits
    EXPECT_EQ(poll.tick(), InsertionPoll::Busy);
    EXPECT_TRUE(poll.active());
    picks.cancel();
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::Cancelled);
    EXPECT_FALSE(poll.active());
    EXPECT_EQ(ui.ended, 1);
    EXPECT_EQ(ui.editedHandle, QString());
    EXPECT_EQ(CadModelSpace.count(), before);
    EXPECT_EQ(PendingInsertMode, 0);
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("0"));
}

TEST_F(PlacementTest, ACommandEndingWithoutTheBlockIsACancelAndAForeignEntityIsNeverTaken) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    runCommand();
    // Another command replaces the insert, and the user draws a circle with it.
    picks.point(0, 0).text(QStringLiteral("3"));
    CadDocument.sendCommand(QStringLiteral("_circle\r"));
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::Cancelled);
    EXPECT_TRUE(HeadHandle.isEmpty());
    EXPECT_EQ(ui.ended, 1);
    EXPECT_EQ(CadModelSpace.item(CadModelSpace.count() - 1).objectName(), QStringLiteral("AcDbCircle"));
}

TEST_F(PlacementTest, ACadThatNoLongerAnswersEndsTheWait) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    automation::CadState = cad::State(automation::CadApplication.channel(), 987654);  // gone
    EXPECT_EQ(poll.tick(), InsertionPoll::Failed);
    EXPECT_FALSE(poll.active());
    EXPECT_EQ(ui.ended, 1);
    EXPECT_EQ(ui.endedFailed, 1);
    // Told, with what was not written; no host was lost, so no restart is asked for.
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    const QString said = prompts.messageTexts().first();
    EXPECT_TRUE(said.startsWith(QStringLiteral("Nie dokończono wstawiania sygnalizatora:\n"))) << said.toStdString();
    EXPECT_TRUE(said.endsWith(QStringLiteral("dane inwentaryzacyjne nie zostały zapisane w rysunku.")))
        << said.toStdString();
}

// Escape at the description's pick, the block already in the drawing: a head's run ends as one that
// failed; after a push-button the detector window stays and the next push-button is placed.
TEST_F(PlacementTest, AnEscapeAtTheDescriptionFailsAHeadButNotThePushButtonsThatFollow) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    picks.point(100, 50).text(QStringLiteral("90")).cancel();
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::Failed);
    EXPECT_EQ(ui.endedFailed, 1);
    EXPECT_EQ(ui.ended, 1);
    EXPECT_EQ(ui.detectorShown, 0);
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(
        prompts.messageTexts()[0].startsWith(QStringLiteral("Nie dokończono wstawiania sygnalizatora:\n")))
        << prompts.messageTexts()[0].toStdString();

    ui.ended = ui.endedFailed = 0;
    prompts.clear();
    ASSERT_TRUE(StartPushButton(poll));
    picks.point(20, 20).cancel();
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::Failed);
    EXPECT_FALSE(poll.active());
    EXPECT_EQ(ui.endedFailed, 0);
    EXPECT_EQ(ui.ended, 0);
    EXPECT_EQ(ui.detectorShown, 1);
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(
        prompts.messageTexts()[0].startsWith(QStringLiteral("Nie dokończono wstawiania przycisku:\n")))
        << prompts.messageTexts()[0].toStdString();
    ASSERT_TRUE(StartPushButton(poll));
    picks.point(30, 30).point(32, 32);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::PushButtonCompleted);
    EXPECT_EQ(ui.detectorShown, 2);
    EXPECT_EQ(ui.ended, 0);
}

TEST_F(PlacementTest, TheNewReferenceIsFoundAmongOtherNewEntities) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-3p")));
    HeadSymbol = QStringLiteral("S-3p");
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    CadModelSpace.addLine(cad::Point{0, 0, 0}, cad::Point{5, 5, 0});  // another program draws meanwhile
    picks.point(10, 10).enter().point(12, 12);
    runCommand();
    CadModelSpace.addLine(cad::Point{1, 0, 0}, cad::Point{5, 5, 0});
    EXPECT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
    EXPECT_EQ(CadDocument.handleToObject(HeadHandle).name(), QStringLiteral("S-3p"));
}

TEST_F(PlacementTest, ConditionalHeadsAskForTheSecondDescription) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-2lp")));
    HeadSymbol = QStringLiteral("S-2lp");
    ConditionalDesignation = QStringLiteral("SK1p");
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    picks.point(10, 10).enter().point(12, 12).point(14, 14);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
    EXPECT_EQ(layersOfTexts(), (QStringList{QStringLiteral("112-OPIS_SYGNALIZACJI:K1p"),
                                            QStringLiteral("112-OPIS_SYGNALIZACJI:SK1p")}));
    EXPECT_TRUE(picks.exhausted());
}

TEST_F(PlacementTest, AMissingScreenOrAZeroHeightDoesNotEndThePlacement) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    ContrastScreens = true;
    ScreenSymbol = QStringLiteral("EKX");
    HeadPlacerSettings.CzcionkaOpisuSygnWys = QStringLiteral("0");
    ScaleTexts = false;
    SetPushButtons = true;
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    picks.point(10, 10).enter().point(12, 12);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
    EXPECT_TRUE(prompts.messageTexts().join(QString()).contains(QStringLiteral("Nie znaleziono ekranu EKX")));
    EXPECT_FALSE(ui.editedHandle.isEmpty());
    EXPECT_EQ(ui.detectorOpened, 1);
    EXPECT_EQ(ui.ended, 0);
    EXPECT_DOUBLE_EQ(CadModelSpace.item(CadModelSpace.count() - 1).height(), 1);  // the default height
    EXPECT_EQ(attributesOf(CadDocument.handleToObject(HeadHandle)).value(QStringLiteral("INWENT_NUMER")),
              InventoryNumber);
}

TEST_F(PlacementTest, AScreenBehindTheHeadGetsTheCommonValues) {
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    ContrastScreens = true;
    ScreenSymbol = QStringLiteral("EKO");
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    picks.point(10, 10).text(QStringLiteral("45")).point(12, 12);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
    const cad::Entity screen = CadDocument.handleToObject(ScreenHandle);
    EXPECT_EQ(screen.name(), QStringLiteral("EKO"));
    EXPECT_NEAR(screen.rotation(), std::numbers::pi / 4, 1e-9);
    const auto a = attributesOf(screen);
    EXPECT_EQ(a.size(), 10);
    EXPECT_EQ(a.value(QStringLiteral("INWENT_NUMER")), InventoryNumber);
    EXPECT_EQ(a.value(QStringLiteral("KTO_NANIOSL")), QStringLiteral("jkowalski"));
    EXPECT_FALSE(a.contains(QStringLiteral("TYP")));
}

TEST_F(PlacementTest, APushButtonAfterACancelledOneIsPlaced) {
    InsertedRotation = std::numbers::pi / 2;
    ASSERT_TRUE(StartPushButton(poll));
    picks.cancel();
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::Cancelled);
    EXPECT_EQ(ui.ended, 0);
    EXPECT_EQ(ui.detectorShown, 1);
    ASSERT_TRUE(StartPushButton(poll));
    picks.point(20, 20).point(22, 22);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::PushButtonCompleted);
    const cad::Entity button = CadDocument.handleToObject(HeadHandle);
    EXPECT_EQ(button.name(), QStringLiteral("sygnprzycisk"));
    EXPECT_EQ(button.layer(), QStringLiteral("109-SYGNALIZACJA_PRZYCISKI"));
    EXPECT_DOUBLE_EQ(button.xScaleFactor(), 0.005);
    EXPECT_NEAR(button.rotation(), std::numbers::pi / 2, 1e-9);
    const auto a = attributesOf(button);
    EXPECT_EQ(a.value(QStringLiteral("RODZAJ")), QStringLiteral("Przycisk"));
    EXPECT_EQ(a.value(QStringLiteral("TYP")), QStringLiteral("sensorowy"));
    EXPECT_EQ(a.value(QStringLiteral("PRODUCENT")), QStringLiteral("Sprint"));
    EXPECT_EQ(layersOfTexts(), QStringList{QStringLiteral("256-OPISY_DETEKTOROW:D1p")});
    EXPECT_DOUBLE_EQ(CadModelSpace.item(CadModelSpace.count() - 1).height(), 0.5);
    EXPECT_EQ(ui.detectorShown, 2);
    // The definition keeps its three attribute definitions however many buttons follow.
    ASSERT_TRUE(StartPushButton(poll));
    picks.point(30, 30).point(32, 32);
    runCommand();
    EXPECT_EQ(poll.tick(), InsertionPoll::PushButtonCompleted);
    EXPECT_EQ(attributesOf(CadDocument.handleToObject(HeadHandle)).size(), 3);
}

TEST_F(PlacementTest, DuplicatesOfEveryHeadKindAreReported) {
    CadDocument.layers().add(QStringLiteral("110-SYGNALIZACJA_KOMORY"));
    defineBlock(QStringLiteral("STK-W"), {{QStringLiteral("INWENT_NUMER"), InventoryNumber}});
    insert(QStringLiteral("STK-W"), QStringLiteral("110-SYGNALIZACJA_KOMORY"));
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    prompts.answerMessage(ui::No);
    EXPECT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Declined);
    EXPECT_FALSE(poll.active());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.contains(QStringLiteral("[30-18/987/K1p]")));
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Komunikat Tesmar_Sygnalizacja"));
}

TEST_F(PlacementTest, SymbolFilesAndSectionNumbersAreChecked) {
    EXPECT_FALSE(LocateHeadSymbolFile(QStringLiteral("../aZasoby/Symbole/sygnprzycisk")));
    EXPECT_FALSE(LocateHeadSymbolFile(QStringLiteral("S-99")));
    EXPECT_TRUE(
        prompts.messageTexts().last().startsWith(QStringLiteral("Nie znaleziono sygnalizatora S-99.dwg")));
    // No number at all is called missing, then asked for as a wrong one is.
    automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QString());
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("26-14"));
    EXPECT_TRUE(ReadHeadDrawingValues());
    EXPECT_EQ(prompts.messageTexts().last(),
              QStringLiteral("Aktywny dokument nie zawiera numeru sekcji.\nCzy pomimo tego kontynuować ustawianie "
                             "sygnalizatora?"));
    EXPECT_EQ(automation::GetDrawingProperty(QStringLiteral("NUMERSEKCJI")), QStringLiteral("26-14"));
    automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("26-"));
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(QStringLiteral("26-15"));
    EXPECT_TRUE(ReadHeadDrawingValues());
    EXPECT_EQ(automation::GetDrawingProperty(QStringLiteral("NUMERSEKCJI")), QStringLiteral("26-15"));
    automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("2615"));
    prompts.answerMessage(ui::Yes);
    prompts.answerInput(std::nullopt);
    EXPECT_FALSE(ReadHeadDrawingValues());
    prompts.answerMessage(ui::No);
    EXPECT_FALSE(ReadHeadDrawingValues());
    // A chosen intersection is not replaced by the drawing's.
    IntersectionNumber = QStringLiteral("987");
    automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("26-15"));
    automation::SetDrawingProperty(QStringLiteral("ONUMERSKRZYZ"), QStringLiteral("12"));
    IntersectionChosen = true;
    EXPECT_TRUE(ReadHeadDrawingValues());
    EXPECT_EQ(IntersectionNumber, QStringLiteral("987"));
    IntersectionChosen = false;
    EXPECT_TRUE(ReadHeadDrawingValues());
    EXPECT_EQ(IntersectionNumber, QStringLiteral("12"));
    // A "SKALA" of -5 is named, not taken for 1 nor left to a bare "not inserted".
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("-5"));
    prompts.clear();
    EXPECT_FALSE(ReadHeadDrawingValues());
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts()[0].contains(QStringLiteral("ma wartość SKALA \"-5\"")))
        << prompts.messageTexts()[0].toStdString();
}

TEST_F(PlacementTest, EmptyValuesLeaveAttributesAsTheyWere) {
    cad::Block b = defineBlock(QStringLiteral("S-1"), {{QStringLiteral("UWAGI"), QStringLiteral("stara")},
                                                       {QStringLiteral("SYGN_AKUST"), QString()},
                                                       {QStringLiteral("ZLECENIE_DATA"), QString()}});
    Q_UNUSED(b);
    const cad::Entity r = insert(QStringLiteral("S-1"));
    InventoryValues v;
    v.OrderDate = FormatInventoryDate(QDate(2024, 12, 1));
    AcousticSignals = true;
    EXPECT_EQ(WriteAttributeValues(r, HeadAttributeValues(v)), 2);
    const auto a = attributesOf(r);
    EXPECT_EQ(a.value(QStringLiteral("UWAGI")), QStringLiteral("stara"));
    EXPECT_EQ(a.value(QStringLiteral("SYGN_AKUST")), QStringLiteral("TAK"));
    EXPECT_EQ(a.value(QStringLiteral("ZLECENIE_DATA")), QStringLiteral("2024.12.01"));
}

// Over a channel that carries calls as the socket does: the head's preparation and its completion
// cost a round trip per call, but the attribute definitions go in one and the reference is read at
// once.
TEST_F(PlacementTest, AHeadCostsItsAnswersOverTheSocket) {
    cad::LoopbackChannel loop(cad_->model());
    const automation::CadConnector inProcess =
        automation::SetCadConnector({[&loop] { return cad::Application(&loop); }, {}});
    automation::ResetCadConnectionState();
    automation::CadApplication = automation::ConnectToAutoCad(true);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    // The drawing's fixed objects are asked once per drawing.
    (void)CadDocument.blocks(), (void)CadDocument.layers(), (void)CadDocument.textStyles();
    (void)CadDocument.utility(), (void)CadDocument.summaryInfo();
    ASSERT_TRUE(LocateHeadSymbolFile(QStringLiteral("S-1")));
    picks.point(100, 50).text(QStringLiteral("90")).point(104, 52);
    quint64 before = loop.roundTrips();
    ASSERT_EQ(InsertHead(HeadSymbolFile, poll), InsertOutcome::Started);
    // The duplicate search, the raise, the block check, the symbol drawing's insertion, the
    // definition's look-up, its attribute definitions (one call), the temporary reference's three
    // for its erasure, the count, the variables, the style, the layer and the command.
    EXPECT_EQ(loop.roundTrips() - before, 19u);
    runCommand();
    before = loop.roundTrips();
    ASSERT_EQ(poll.tick(), InsertionPoll::HeadCompleted);
    EXPECT_EQ(loop.roundTrips() - before, 31u);
    EXPECT_EQ(cad_->model().raiseRequests, 1);
    const cad::Entity head = CadDocument.handleToObject(HeadHandle);
    EXPECT_EQ(head.layer(), QStringLiteral("110-SYGNALIZACJA_KOMORY"));
    EXPECT_EQ(attributesOf(head).value(QStringLiteral("INWENT_NUMER")), QStringLiteral("30-18/987/K1p"));
    EXPECT_EQ(layersOfTexts(), QStringList{QStringLiteral("112-OPIS_SYGNALIZACJI:K1p")});
    EXPECT_EQ(lastText().styleName(), QStringLiteral("SYGN_OPISY_TXT"));
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("0"));
    automation::SetCadConnector(inProcess);
    automation::ResetCadConnectionState();
}

}  // namespace
