// Saving, setting and restoring the CAD variables; picking points and entities; waiting commands.
#include "CadFixture.h"

namespace automation::test {
namespace {

class AutomationVariables : public CadFixture {
protected:
    QString var(const char* name) { return CadDocument.getVariable(QString::fromLatin1(name)).toText(); }
    double num(const char* name) { return CadDocument.getVariable(QString::fromLatin1(name)).toDouble(); }
    void userValues() {
        CadDocument.layers().add(QStringLiteral("UZYTKOWNIKA"));
        CadDocument.textStyles().add(QStringLiteral("STYL_UZYTKOWNIKA"));
        EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"));
        CadDocument.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("1"));
        CadDocument.setVariable(QStringLiteral("CELTYPE"), QStringLiteral("ACAD_ISO03W100"));
        CadDocument.setVariable(QStringLiteral("CLAYER"), QStringLiteral("UZYTKOWNIKA"));
        CadDocument.setVariable(QStringLiteral("TEXTSTYLE"), QStringLiteral("STYL_UZYTKOWNIKA"));
        CadDocument.setVariable(QStringLiteral("CELWEIGHT"), 30);
        CadDocument.setVariable(QStringLiteral("ANGBASE"), 0.5);
        CadDocument.setVariable(QStringLiteral("CELTSCALE"), 2.0);
    }
    void expectUserValues() {
        EXPECT_EQ(var("CECOLOR"), QStringLiteral("1"));
        EXPECT_EQ(var("CELTYPE").toUpper(), QStringLiteral("ACAD_ISO03W100"));
        EXPECT_EQ(var("CLAYER"), QStringLiteral("UZYTKOWNIKA"));
        EXPECT_EQ(var("TEXTSTYLE"), QStringLiteral("STYL_UZYTKOWNIKA"));
        EXPECT_EQ(num("CELWEIGHT"), 30);
        EXPECT_DOUBLE_EQ(num("ANGBASE"), 0.5);
        EXPECT_DOUBLE_EQ(num("CELTSCALE"), 2.0);
    }
    // What a drawing command does between the save and the restore.
    void commandChangesLayerAndStyle() {
        EnsureLayer(QStringLiteral("113-STRUMIENIE_RUCHU"), true, 5, 30);
        EnsureTextStyle(QStringLiteral("SYGN_TXT"), 1.5, QStringLiteral("arial"), true);
    }
};

TEST_F(AutomationVariables, RestoreBeforeAnySaveChangesNothing) {
    userValues();
    RestoreCadVariables();
    expectUserValues();
}

TEST_F(AutomationVariables, EmptyColourAndLinetypeGiveDefaultsAndTheRestorePutsEverythingBack) {
    userValues();
    SaveAndSetCadVariables(QString(), QString(), -1, 0.0, 1.0);
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("7"));
    EXPECT_EQ(var("CELTYPE"), QStringLiteral("Continuous"));
    EXPECT_EQ(num("CELWEIGHT"), -1);
    EXPECT_DOUBLE_EQ(num("ANGBASE"), 0);
    EXPECT_DOUBLE_EQ(num("CELTSCALE"), 1);
    commandChangesLayerAndStyle();
    EXPECT_EQ(var("CLAYER"), QStringLiteral("113-STRUMIENIE_RUCHU"));
    RestoreCadVariables();
    expectUserValues();
}

TEST_F(AutomationVariables, GivenColourLinetypeAndAZeroLineweight) {
    EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"));
    SaveAndSetCadVariables(QStringLiteral("256"), QStringLiteral("ACAD_ISO03W100"), 0, 0.0, 1.0);
    EXPECT_EQ(var("CECOLOR").toUpper(), QStringLiteral("BYLAYER"));
    EXPECT_EQ(var("CELTYPE").toUpper(), QStringLiteral("ACAD_ISO03W100"));
    EXPECT_EQ(num("CELWEIGHT"), 0);
    RestoreCadVariables();
}

TEST_F(AutomationVariables, ANestedSaveKeepsTheUsersValuesForTheRestore) {
    userValues();
    SaveAndSetCadVariables(QStringLiteral("3"), QString(), -1, 0.0, 1.0);
    commandChangesLayerAndStyle();
    ASSERT_TRUE(CheckDocumentOpen(false));  // the inner command fetches the same drawing again
    SaveAndSetCadVariables(QStringLiteral("5"), QString(), 0, 0.0, 1.0);
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("5"));
    RestoreCadVariables();
    expectUserValues();
    // After the restore a new save takes the values of that moment.
    CadDocument.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("2"));
    SaveAndSetCadVariables(QStringLiteral("4"), QString(), -1, 0.0, 1.0);
    RestoreCadVariables();
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("2"));
}

TEST_F(AutomationVariables, ARefusedValueDoesNotKeepTheOthersFromBeingRestored) {
    userValues();
    SaveAndSetCadVariables(QStringLiteral("3"), QString(), -1, 0.0, 1.0);
    commandChangesLayerAndStyle();
    // The user's layer vanished meanwhile: the CAD refuses it.
    SavedCadVariables.CLAYER = QStringLiteral("USUNIETA_WARSTWA");
    EXPECT_THROW(RestoreCadVariables(), cad::Error);
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("1"));
    EXPECT_EQ(var("CELTYPE").toUpper(), QStringLiteral("ACAD_ISO03W100"));
    EXPECT_EQ(num("CELWEIGHT"), 30);
    EXPECT_EQ(var("TEXTSTYLE"), QStringLiteral("STYL_UZYTKOWNIKA"));
    EXPECT_DOUBLE_EQ(num("ANGBASE"), 0.5);
    EXPECT_DOUBLE_EQ(num("CELTSCALE"), 2.0);
    EXPECT_EQ(var("CLAYER"), QStringLiteral("113-STRUMIENIE_RUCHU"));
}

TEST_F(AutomationVariables, WithoutTheLinetypeScaleItIsNeitherSetNorRestored) {
    userValues();
    SaveAndSetCadVariables(QStringLiteral("7"), QString(), -1, 0.0, 1.0, false);
    EXPECT_DOUBLE_EQ(num("CELTSCALE"), 2.0);
    CadDocument.setVariable(QStringLiteral("CELTSCALE"), 3.0);
    RestoreCadVariables();
    EXPECT_DOUBLE_EQ(num("CELTSCALE"), 3.0);
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("1"));
}

TEST_F(AutomationVariables, ANestedSaveThatSetsTheLinetypeScaleGetsItBackWhenTheFirstLeftItOut) {
    userValues();
    SaveAndSetCadVariables(QStringLiteral("3"), QString(), -1, 0.0, 1.0, false);
    SaveAndSetCadVariables(QStringLiteral("5"), QString(), -1, 0.0, 4.0);
    EXPECT_DOUBLE_EQ(num("CELTSCALE"), 4.0);
    RestoreCadVariables();
    expectUserValues();
}

TEST_F(AutomationVariables, ASaveLeftPendingInAnotherDrawingIsNotTakenForThisOnesValues) {
    userValues();
    SaveAndSetCadVariables(QStringLiteral("3"), QString(), -1, 0.0, 1.0);  // never restored
    CadApplication.documents().add();
    ASSERT_TRUE(CheckDocumentOpen(false));
    CadDocument.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("2"));
    SaveAndSetCadVariables(QStringLiteral("5"), QString(), -1, 0.0, 1.0);
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("5"));
    EXPECT_NO_THROW(RestoreCadVariables());
    EXPECT_EQ(var("CECOLOR"), QStringLiteral("2"));
    EXPECT_EQ(var("CLAYER"), QStringLiteral("0"));
}

using AutomationPicking = CadFixture;

TEST_F(AutomationPicking, PointOrTheSentinelOnEscape) {
    picks.point(12.5, -3).cancel();
    common::PlanePoint p = PickPoint(QStringLiteral("Wskaż położenie legendy..."));
    EXPECT_EQ(p.X, 12.5);
    EXPECT_EQ(p.Y, -3);
    p = PickPoint(QStringLiteral("Wskaż położenie legendy..."));
    EXPECT_EQ(p.X, 1e30);
    EXPECT_EQ(p.Y, 0);
    // Nobody answers at all: also the sentinel.
    p = PickPoint(QStringLiteral("Wskaż"));
    EXPECT_TRUE(common::IsMissingPoint(p));
    EXPECT_EQ(picks.prompts().first(), QStringLiteral("Wskaż położenie legendy..."));
}

TEST_F(AutomationPicking, EntityWithItsPointOrTheSentinelKeepingTheOldEntity) {
    const cad::Entity line = CadModelSpace.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    picks.entity(line.handle(), 5, 0).cancel();
    cad::Entity picked;
    common::PlanePoint at = PickEntity(QStringLiteral("Wskaż sygnalizator..."), picked);
    EXPECT_EQ(picked, line);
    EXPECT_EQ(at.X, 5);
    at = PickEntity(QStringLiteral("Wskaż sygnalizator..."), picked);
    EXPECT_EQ(at.X, 1e30);
    EXPECT_EQ(at.Y, 0);
    EXPECT_EQ(picked, line);
}

// The host goes away while the user is to pick: that is no cancel, and the caller is told so.
TEST_F(AutomationPicking, AHostLostDuringAPickIsNoCancel) {
    // The socket channel throws this when the host closes while the pick waits for its answer.
    class HostDiesDuringPicks : public RelayChannel {
    public:
        using RelayChannel::RelayChannel;
        cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                          std::span<const cad::Variant> args) override {
            if (member == QLatin1String("GetPoint") || member == QLatin1String("GetEntity"))
                throw cad::ConnectionLost(QStringLiteral("Utracono połączenie z programem CAD (cadhost): program CAD "
                                                         "zamknął połączenie"));
            return RelayChannel::call(object, member, kind, args);
        }
    };
    HostDiesDuringPicks dying(CadApplication.channel());
    CadApplication = cad::Application(&dying);
    ASSERT_TRUE(CheckDocumentOpen(false));
    EXPECT_THROW(PickPoint(QStringLiteral("Wskaż")), cad::ConnectionLost);
    cad::Entity picked;
    EXPECT_THROW(PickEntity(QStringLiteral("Wskaż"), picked), cad::ConnectionLost);
    EXPECT_TRUE(picked.isNull());
}

TEST_F(AutomationPicking, LastPointOfTheCad) {
    CadDocument.setVariable(QStringLiteral("LASTPOINT"), cad::Point{4, 5, 6});
    const common::PlanePoint p = GetLastPoint();
    EXPECT_EQ(p.X, 4);
    EXPECT_EQ(p.Y, 5);
}

TEST_F(AutomationPicking, ACommandSentToWaitForHasEndedWhenTheCallReturns) {
    picks.point(100, 200).text(QStringLiteral("50"));
    const int before = CadModelSpace.count();
    EXPECT_TRUE(SendCommandAndWait(QStringLiteral("_circle\r"), 5000));
    ASSERT_EQ(CadModelSpace.count(), before + 1);
    const cad::Entity circle = CadModelSpace.item(CadModelSpace.count() - 1);
    EXPECT_EQ(circle.objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_DOUBLE_EQ(circle.radius(), 50);

    picks.cancel();
    EXPECT_FALSE(SendCommandAndWait(QStringLiteral("_circle\r"), 5000));
    EXPECT_EQ(CadModelSpace.count(), before + 1);
}

}  // namespace
}  // namespace automation::test
