// The phase pictures and transitions on a drawing whose units deny its "SKALA": told before anything is
// drawn, refused where the cut refuses; and the CAD host lost while the pictures are made: the user is
// told the command stopped and which pictures were not made, and the status line shows no running stage.
#include "HatcherFixture.h"
#include "SampleIntersection.h"

#include "automation/DrawingProperties.h"
#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"

using namespace hatcher;
using namespace hatcher::test;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

const QString HostGone = QString::fromUtf8("Brak połączenia z programem CAD (cadhost)");

// Passes every call on to the CAD until the host goes; from then on every call fails as a lost host.
class DroppingChannel : public cad::Channel {
public:
    explicit DroppingChannel(cad::Channel* inner) : inner_(inner) {}
    cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                      std::span<const cad::Variant> args) override {
        if (gone) throw cad::ConnectionLost(HostGone);
        return inner_->call(object, member, kind, args);
    }
    bool gone = false;

private:
    cad::Channel* inner_;
};

// A form that loses the host when the status or the count shows `when`.
class DroppingForm : public HeadlessForm {
public:
    void setStatus(const QString& text) override {
        HeadlessForm::setStatus(text);
        if (channel && text == when) channel->gone = true;
    }
    void setCountText(const QString& text) override {
        HeadlessForm::setCountText(text);
        if (channel && text == when) channel->gone = true;
    }
    DroppingChannel* channel = nullptr;
    QString when;
};

class UnitsAndLostHost : public HatcherFixture {
protected:
    void openSample(int insunits, const QString& scale) {
        automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        AddSampleStreams();
        CadDocument.setVariable(QStringLiteral("INSUNITS"), insunits);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), scale);
    }
    void scriptPattern() { picks.point(0, 0).point(30, 0).point(0, -200); }
    // The CAD's calls through `channel`, which loses the host once `form` shows `when`; the pattern's
    // picks scripted.
    void loseHostAt(DroppingChannel& channel, DroppingForm& form, const QString& when) {
        automation::CadApplication = cad::Application(&channel);
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        form.intersection = QStringLiteral("7");
        form.statusText = QStringLiteral("Oczekiwanie na akcję użytkownika ...");
        form.channel = &channel;
        form.when = when;
        scriptPattern();
        prompts.clear();
    }
};

}  // namespace

// Feet: no whole "SKALA" expresses them, so the pictures and the transitions draw nothing; a drawing in
// metres under "SKALA" 1000 is asked about, "Nie" drawing nothing and "Tak" drawing as before.
TEST_F(UnitsAndLostHost, UnitsTheDrawingDeniesAreToldBeforeAnythingIsDrawn) {
    openSample(2, QStringLiteral("3"));
    const QStringList before = handles();
    scriptPattern();
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(form).isEmpty());
    cmdConnectAll_Click(form);
    EXPECT_EQ(handles(), before);
    EXPECT_FALSE(picks.exhausted());  // not even the circle was asked for
    ASSERT_EQ(prompts.asked().size(), 2u);
    for (const auto& told : prompts.asked()) {
        EXPECT_TRUE(told.text.startsWith(QStringLiteral("SKALA rysunku wynosi 3 i nie pasuje do rysunku:")))
            << told.text.toStdString();
        EXPECT_TRUE(told.text.contains(QStringLiteral("stopy ($INSUNITS 2)")));
        EXPECT_TRUE(told.text.endsWith(QStringLiteral("Nic nie narysowano.")));
        EXPECT_EQ(ui::ButtonsOf(told.flags), ui::OkOnly);
    }

    // The same drawing holding no "SKALA": told that 1 was taken for it, not that it holds 1.
    prompts.clear();
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QString());
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(form).isEmpty());
    cmdConnectAll_Click(form);
    EXPECT_EQ(handles(), before);
    ASSERT_EQ(prompts.asked().size(), 2u);
    for (const auto& told : prompts.asked())
        EXPECT_TRUE(told.text.startsWith(
            QStringLiteral("Rysunek nie ma wartości SKALA; przyjęta wartość 1 (rysunek w "
                           "metrach) nie pasuje do rysunku:")))
            << told.text.toStdString();

    // A value that is no scale at all, in a drawing whose units fit any: told, nothing drawn.
    prompts.clear();
    CadDocument.setVariable(QStringLiteral("INSUNITS"), 0);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("abc"));
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(form).isEmpty());
    EXPECT_EQ(handles(), before);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(
        prompts.asked()[0].text.contains(QStringLiteral("ma wartość SKALA \"abc\", która nie jest liczbą")));

    // Metres under the value of millimetres: asked, "Nie" by default.
    prompts.clear();
    CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1000"));
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(form).isEmpty());
    EXPECT_EQ(handles(), before);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(
        prompts.asked()[0].text.contains(QStringLiteral("metry ($INSUNITS 6), dla których SKALA wynosi 1")));
    EXPECT_TRUE(prompts.asked()[0].text.endsWith(
        QStringLiteral("Czy mimo to rysować przy wartości SKALA 1000? (Nie: nic nie zostanie narysowane)")));
    EXPECT_EQ(ui::DefaultButtonOf(prompts.asked()[0].flags), 1);
    prompts.clear();
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(frmMain_cmdTworzObrazyFaz_Click(form).size(), 4);
    EXPECT_EQ(prompts.unexpected(), 0);
    // Kept once for this drawing and value: the transitions are not asked again.
    prompts.clear();
    cmdConnectAll_Click(form);
    EXPECT_TRUE(prompts.asked().empty()) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    // Another value, or other units, on the same drawing is asked about again.
    for (const auto& [units, scale] : {std::pair{6, "100"}, std::pair{5, "1000"}}) {
        CadDocument.setVariable(QStringLiteral("INSUNITS"), units);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::fromLatin1(scale));
        prompts.clear();
        cmdConnectAll_Click(form);
        ASSERT_EQ(prompts.asked().size(), 1u) << scale;
        EXPECT_TRUE(prompts.asked()[0].text.contains(
            QStringLiteral("Czy mimo to rysować przy wartości SKALA %1?").arg(QLatin1String(scale))));
    }
}

// The host lost after the first picture: the pictures of phases 2 to 4 are named as not made; lost during
// the cut of the pattern: none of the four is made. Either way the status line is back to its idle text.
TEST_F(UnitsAndLostHost, ALostHostStopsThePicturesAndNamesThoseNotMade) {
    const cad::Application host = automation::CadApplication;
    for (const QString& when :
         {QStringLiteral("1 / 4"), QStringLiteral("Tworzenie schematu wzorcowego ...")}) {
        automation::CadApplication = host;
        openSample(6, QStringLiteral("1"));
        DroppingChannel channel(automation::CadApplication.channel());
        DroppingForm dropping;
        loseHostAt(channel, dropping, when);
        EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(dropping).isEmpty());
        EXPECT_TRUE(channel.gone) << when.toStdString();
        ASSERT_EQ(prompts.asked().size(), 1u) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
        const QString missing =
            when == QLatin1String("1 / 4") ? QStringLiteral("2, 3, 4") : QStringLiteral("1, 2, 3, 4");
        EXPECT_EQ(prompts.asked()[0].text,
                  QStringLiteral("Polecenie \"Twórz obrazy faz\" zostało przerwane: ") + HostGone +
                      QStringLiteral("\nNie utworzono obrazów faz: ") + missing + QLatin1Char('.'));
        EXPECT_EQ(dropping.status, dropping.statusText);
        EXPECT_EQ(dropping.count, QString());
        EXPECT_EQ(dropping.val, 0);
    }
    // The pattern area alone (the headless tool's row): the lost host reaches the caller, the cut's
    // status and count are gone.
    automation::CadApplication = host;
    openSample(6, QStringLiteral("1"));
    DroppingChannel channel(automation::CadApplication.channel());
    automation::CadApplication = cad::Application(&channel);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    DroppingForm dropping;
    dropping.intersection = QStringLiteral("7");
    dropping.channel = &channel;
    dropping.when = QStringLiteral("Tworzenie schematu wzorcowego ...");
    scriptPattern();
    EXPECT_THROW(frmMain_cmdDefObszar_Click(dropping), cad::ConnectionLost);
    EXPECT_EQ(dropping.status, QString());
    EXPECT_EQ(dropping.count, QString());
    automation::CadApplication = host;
    // Lost before the phases were read: no picture is made, and none is named.
    EXPECT_EQ(PicturesStoppedText(HostGone, std::nullopt),
              QStringLiteral("Polecenie \"Twórz obrazy faz\" zostało przerwane: ") + HostGone +
                  QStringLiteral("\nNie utworzono żadnego obrazu faz."));
    EXPECT_EQ(PicturesStoppedText(HostGone, std::vector<int>{}),
              QStringLiteral("Polecenie \"Twórz obrazy faz\" zostało przerwane: ") + HostGone);
}

// The host lost after the first picture of a drawing with a locked layer in the circle: with the host
// back, a pictures command stopped before its pattern tells only why it stopped, never the locked layers
// of the run the lost host ended.
TEST_F(UnitsAndLostHost, ALostHostLeavesNoLockedLayersForTheNextCommand) {
    const cad::Application host = automation::CadApplication;
    openSample(6, QStringLiteral("1"));
    automation::EnsureLayer(QStringLiteral("ZAMKNIETA"), false, 3, -10);
    CadModelSpace.addLine({-5, 1, 0}, {5, 1, 0}).setLayer(QStringLiteral("ZAMKNIETA"));
    CadDocument.layers().item(QStringLiteral("ZAMKNIETA")).setLock(true);
    DroppingChannel channel(automation::CadApplication.channel());
    DroppingForm dropping;
    loseHostAt(channel, dropping, QStringLiteral("1 / 4"));
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(dropping).isEmpty());
    ASSERT_TRUE(channel.gone);
    ASSERT_EQ(prompts.asked().size(), 1u) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();

    automation::CadApplication = host;
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("abc"));
    prompts.clear();
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(dropping).isEmpty());
    ASSERT_EQ(prompts.asked().size(), 1u) << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompts.asked()[0].text.contains(QStringLiteral("ma wartość SKALA \"abc\"")));
}

// The layers locked in the circle are named after the pictures, as the drawing spells them.
TEST_F(UnitsAndLostHost, TheLockedLayersAreNamedAfterThePictures) {
    openSample(6, QStringLiteral("1"));
    QStringList layers;
    for (int i = 1; i <= 11; ++i) {
        const QString name = QStringLiteral("ZAMKNIETA%1").arg(i);
        automation::EnsureLayer(name, false, 3, -10);
        CadModelSpace.addLine({-5, double(i), 0}, {5, double(i), 0}).setLayer(name);
        CadDocument.layers().item(name).setLock(true);
        layers << name;
    }
    scriptPattern();
    EXPECT_EQ(frmMain_cmdTworzObrazyFaz_Click(form).size(), 4);
    ASSERT_FALSE(prompts.asked().empty());
    // Ten are listed, then "…".
    EXPECT_EQ(
        prompts.asked().back().text,
        QStringLiteral("Program nie mógł utworzyć schematu z obiektów znajdujących się na zablokowanych "
                       "warstwach:\n") +
            layers.mid(0, 10).join(QStringLiteral(", ")) + QStringLiteral(", …"));
}
