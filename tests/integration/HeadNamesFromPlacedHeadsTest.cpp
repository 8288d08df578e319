// headplacer then conflictor on one drawing: heads placed by headplacer's own insertion and completion
// give conflictor's streams their names.
#include "tests/conflictor/streams/StreamsFixture.h"

#include "common/Ini.h"
#include "conflictor/streams/HeadNames.h"
#include "headplacer/logic/Designation.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/HeadTables.h"
#include "headplacer/logic/InsertionPoll.h"
#include "headplacer/logic/Inventory.h"
#include "headplacer/logic/Placement.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/Application.h"
#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/model/ObjectModel.h"

#include <QTemporaryDir>

namespace {

// The completion's windows answered as a user who accepts the attributes shown.
class AcceptingUi : public headplacer::PlacementUi {
public:
    void showMainWindow() override {}
    bool editHeadAttributes(const QString&) override {
        headplacer::ApplyInventory(values);
        return true;
    }
    void openDetectorWindow() override {}
    void showDetectorWindow() override {}
    QString pushButtonType() override { return QStringLiteral("sensorowy"); }
    QString pushButtonMaker() override { return QStringLiteral("Sprint"); }
    QString detectorDescriptionText() override { return QString(); }
    void endProgram() override {}
    headplacer::InventoryValues values;
};

class HeadsToStreamNames : public conflictor::test::StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        headplacer::ResetHeadState();
        headplacer::SetProgramFolder(QStringLiteral(SUITE_BINARY_DIR "/suite/Tesmar/bin"));
        common::IniFilePath = ini.filePath(QStringLiteral("Tesmar.ini"));
        headplacer::HeadPlacerSettings = {};
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
        automation::SetDrawingProperty(QStringLiteral("NUMERSEKCJI"), QStringLiteral("30-18"));
        doc().setVariable(QStringLiteral("CLAYER"), QStringLiteral("0"));
        ui.values.EnteredBy = QStringLiteral("jkowalski");
        ui.values.StreetName = QStringLiteral("Główna");
    }
    void TearDown() override {
        headplacer::SetProgramFolder(QString());
        StreamsFixture::TearDown();
    }

    // One head placed as headplacer places it: symbol, kind letter and number composed into the
    // designation and inventory number, the insert command answered by picks, the poll completing it.
    QString placeHead(const QString& symbol, int number, const QString& suffix, double x, double y) {
        using namespace headplacer;
        HeadSymbol = symbol;
        const HeadKindChoice kind =
            KindForSymbolFile(HeadSymbol + QStringLiteral(".dwg"), HeadPlacerSettings.FormatPR);
        HeadKindOption = kind.kindOption;
        HeadKindLetter = kind.kindLetter.isEmpty() ? HeadKindLetters.value(kind.kindOption) : kind.kindLetter;
        LensDiameter = LensDiameters[kind.lensIndex];
        StopLineNumber.clear();
        OrientationNumber = number;
        AdditionalHeadSuffix = suffix;
        IntersectionNumber = QStringLiteral("987");
        IntersectionChosen = true;
        if (!LocateHeadSymbolFile(HeadSymbol) || !ReadHeadDrawingValues()) return QString();
        BuildHeadDescriptionTexts();
        picks.point(x, y).text(QStringLiteral("0")).point(x + 2, y + 2);
        if (InsertHead(HeadSymbolFile, poll) != InsertOutcome::Started) return QString();
        for (int i = 0; i < 50 && !cad_->model().commands().isQuiescent(); ++i) cad_->model().pumpCommands();
        if (poll.tick() != InsertionPoll::HeadCompleted) return QString();
        return InventoryNumber;
    }
    QString inventoryOf(const QString& handle) {
        for (const cad::Entity& a : doc().handleToObject(handle).attributes())
            if (a.tagString() == QLatin1String("INWENT_NUMER")) return a.textString();
        return QString();
    }

    QTemporaryDir ini;
    AcceptingUi ui;
    headplacer::InsertionPoll poll{ui};
};

TEST_F(HeadsToStreamNames, HeadsPlacedByHeadplacerNameTheStreamsOfTheirIntersection) {
    // Two stream components of intersection 987 in the drawing (not yet in the table); the heads
    // go beside their starts.
    conflictor::IntersectionNumber = QStringLiteral("987");
    addLine(1, QStringLiteral("^K1p"), 0, 0, 100, 0, QStringLiteral("987"));
    addLine(2, QStringLiteral("^K2"), 0, 50, 0, 150, QStringLiteral("987"));

    ASSERT_EQ(placeHead(QStringLiteral("S-1"), 1, QStringLiteral("p"), -5, 3),
              QStringLiteral("30-18/987/K1p"));
    const QString firstHandle = headplacer::HeadHandle;
    EXPECT_EQ(inventoryOf(firstHandle), QStringLiteral("30-18/987/K1p"));
    ASSERT_EQ(placeHead(QStringLiteral("S-1"), 2, QString(), -3, 48), QStringLiteral("30-18/987/K2"));
    EXPECT_EQ(inventoryOf(headplacer::HeadHandle), QStringLiteral("30-18/987/K2"));
    EXPECT_NE(headplacer::HeadHandle, firstHandle);

    conflictor::mnuEdycja_Pobierz();
    QStringList names;
    for (const conflictor::StreamRecord& r : conflictor::StreamTable) names.append(r.Name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("K1p"), QStringLiteral("K2")}));
    ASSERT_EQ(conflictor::StreamTable.size(), 2u);
    EXPECT_EQ(conflictor::StreamTable[0].Kind, conflictor::KindVehicle);
    EXPECT_EQ(conflictor::StreamTable[0].Number, 1);
    EXPECT_EQ(window.GridRefreshCount, 1);

    // A second run finds every name taken.
    conflictor::mnuEdycja_Pobierz();
    EXPECT_EQ(conflictor::StreamTable.size(), 2u);
}

}  // namespace
