// Every way out of the cut: declined, no streams, nothing highlighted, a stream failing the check,
// and a drawing that refuses a step part-way. Each puts back the CAD variables, the active layer,
// AutoZaznaczNowe, the pointer and the progress bar, and only a run that cut says it is done.
#include "CutFixture.h"

#include "automation/CadTables.h"
#include "automation/CadVariables.h"

namespace conflictor::test {
namespace {

// A window that records what the cut asks of it, and can erase a stream component from the drawing
// as the pair search is announced.
class RecordingWindow : public StreamWindow {
public:
    QString victim;
    bool eraseNewestComponent = false;
    int commits = 0;
    bool blockedWhileCutting = false;
    void commitPendingEdit() override { ++commits; }
    void StartPanelFlash(const QString& notice) override {
        StreamWindow::StartPanelFlash(notice);
        if (notice != QStringLiteral("Trwa operacja cięcia...")) return;
        blockedWhileCutting = commandsBlocked();
        if (!victim.isEmpty()) automation::CadDocument.handleToObject(victim).erase();
    }
    // Once the first stream is split (progress 2), another program erases the newest component.
    void setProgressValue(int value) override {
        StreamWindow::setProgressValue(value);
        if (!eraseNewestComponent || value != 2) return;
        cad::Entity newest;
        for (const cad::Entity& e : automation::CadModelSpace.entities())
            if (e.objectName() == QLatin1String("AcDbBlockReference") &&
                e.name().startsWith(QStringLiteral("12^STRUMIEN_")))
                newest = e;
        if (!newest.isNull()) newest.erase();
    }
};

class CutFailure : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        automation::EnsureLayer(QStringLiteral("ROBOCZA"), true, 2, -10);
        automation::CadDocument.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("1"));
        automation::CadDocument.setVariable(QStringLiteral("CELTYPE"), QStringLiteral("ByBlock"));
        common::Settings.AutoZaznaczNowe = true;
        SetStreamWindow(&w);
    }
    // Everything the cut changes on the way is as it was before.
    void expectRestored(const StreamWindow& w) {
        EXPECT_EQ(automation::CadDocument.activeLayer().name(), QStringLiteral("ROBOCZA"));
        EXPECT_EQ(automation::CadDocument.getVariable(QStringLiteral("CECOLOR")).toText(),
                  QStringLiteral("1"));
        EXPECT_EQ(automation::CadDocument.getVariable(QStringLiteral("CELTYPE")).toText().toUpper(),
                  QStringLiteral("BYBLOCK"));
        EXPECT_FALSE(automation::SavedCadVariables.pending);
        EXPECT_TRUE(common::Settings.AutoZaznaczNowe);
        EXPECT_FALSE(w.BusyCursor);
        EXPECT_FALSE(w.commandsBlocked());
        EXPECT_FALSE(w.ProgressVisible);
        EXPECT_TRUE(w.BigButtonVisible);
        EXPECT_TRUE(w.FlashNotice.isEmpty());
        EXPECT_FALSE(w.CuttingSelectedStreams);
    }
    RecordingWindow w;

    // Every handle of the table is a reference of the drawing showing the component's block.
    void expectHandlesReal() {
        int components = 0;
        for (const StreamRecord& r : StreamTable)
            for (int k = 1; k <= std::min(r.SegmentCount, MaxSegments); ++k) {
                const SegmentRecord& s = r.Segments[size_t(k)];
                ++components;
                cad::Entity ref;
                EXPECT_NO_THROW(ref = doc().handleToObject(s.Handle))
                    << r.Name.toStdString() << " " << s.Handle.toStdString();
                if (!ref.isNull()) EXPECT_EQ(ref.name(), s.Label);
            }
        EXPECT_GT(components, 0);
    }

    void crossing() {
        draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
        draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)});
    }
};

TEST_F(CutFailure, DeclinedChangesNothing) {
    crossing();
    drawn();
    prompts.answerMessage(ui::No);
    EXPECT_EQ(CutStreams(true), CutOutcome::Declined);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(QStringLiteral("Uwaga!\nPo \"cięciu\"")));
    EXPECT_EQ(prompts.asked()[0].flags, ui::YesNo | ui::Question);
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 1);
    EXPECT_EQ(w.commits, 0);
    expectRestored(w);
}

TEST_F(CutFailure, NoStreamsSaysSoAndNotDone) {
    EXPECT_EQ(cut(), CutOutcome::NoStreams);
    EXPECT_TRUE(prompts.messageTexts().contains(QStringLiteral("Najpierw należy wrysować strumienie!")));
    EXPECT_FALSE(saidDone());
    expectRestored(w);
    // The selected variant on an empty table says the same.
    EXPECT_EQ(cut(false), CutOutcome::NoStreams);
    EXPECT_FALSE(saidDone());
}

TEST_F(CutFailure, WithoutADrawingOnlyTheDrawingMessageShows) {
    doc().close();
    EXPECT_EQ(cut(), CutOutcome::NoDocument);
    EXPECT_EQ(prompts.messageTexts().value(1), QStringLiteral("Najpierw proszę otworzyć jakiś dokument..."));
    EXPECT_EQ(prompts.asked().size(), 2u);
    EXPECT_TRUE(common::Settings.AutoZaznaczNowe);
    EXPECT_FALSE(w.BusyCursor);
}

TEST_F(CutFailure, SelectedVariantWithNothingHighlightedSaysSo) {
    crossing();
    drawn();
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    EXPECT_EQ(cut(false), CutOutcome::NoneSelected);
    EXPECT_TRUE(prompts.messageTexts().contains(
        QStringLiteral("Nie zaznaczono żadnego strumienia tego skrzyżowania.")));
    EXPECT_FALSE(saidDone());
    EXPECT_TRUE(markers().isEmpty());
    expectRestored(w);
}

// An intersection number with a character no block name may hold ("1*", "1?") is refused before
// the old markers and texts go, in Polish, not by the CAD's error part-way.
TEST_F(CutFailure, ANumberNoBlockNameMayHoldStopsBeforeAnythingChanges) {
    crossing();
    drawn();
    ASSERT_EQ(cut(), CutOutcome::Done);
    const auto before = markers().size();
    ASSERT_GT(before, 0);
    const QString number = IntersectionNumber;
    for (const char* bad : {"*", "?", "\x1f"}) {
        IntersectionNumber = number + QLatin1String(bad);
        prompts.clear();
        EXPECT_EQ(cut(), CutOutcome::NumberRefused);
        IntersectionNumber = number;
        const QStringList said = prompts.messageTexts();
        ASSERT_FALSE(said.isEmpty());
        EXPECT_TRUE(said.last().startsWith(QStringLiteral("Cięcie nie jest możliwe: nazwa bloku"))) << said.last().toStdString();
        EXPECT_FALSE(saidDone());
        EXPECT_EQ(markers().size(), before);
        expectRestored(w);
    }
}

// An intersection number whose blocks would pass 255 characters with the cut's kinds and counters is
// refused before anything changes (226 characters cut; 227, and a number whose streams exist but
// whose markers could not, are refused), rather than the drawing refusing a marker part-way.
TEST_F(CutFailure, ANumberTooLongForTheCutsBlockNamesStopsBeforeAnythingChanges) {
    const QString number = IntersectionNumber;
    for (const int length : {226, 227, 234, 240}) {
        SCOPED_TRACE(length);
        IntersectionNumber = QString(length, QLatin1Char('7'));
        crossing();
        drawn();
        prompts.clear();
        if (length == 226) {
            EXPECT_EQ(cut(), CutOutcome::Done);
            EXPECT_EQ(markers().size(), 1);
            continue;
        }
        EXPECT_EQ(cut(), CutOutcome::NumberRefused);
        ASSERT_FALSE(prompts.messageTexts().isEmpty());
        EXPECT_EQ(prompts.messageTexts().last(),
                  QStringLiteral("Cięcie nie jest możliwe: numer skrzyżowania ma %1 %2, a nazwy bloków "
                                 "utworzone z niego przekroczyłyby 255 znaków. Rysunek nie został zmieniony; "
                                 "nadaj skrzyżowaniu numer najwyżej 226-znakowy.")
                      .arg(length)
                      .arg(length == 234 ? QStringLiteral("znaki") : QStringLiteral("znaków")));
        EXPECT_FALSE(saidDone());
        EXPECT_TRUE(markers().isEmpty());
        EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 1);
        expectRestored(w);
    }
    IntersectionNumber = number;
}

TEST_F(CutFailure, AStreamFailingTheCheckStopsBeforeAnythingChanges) {
    draw(QStringLiteral("K1"), {Line(0, 0, 100, 0)});
    draw(QStringLiteral("K2"), {Line(40, -50, 40, 50)}, common::MissingPoint());
    drawn();
    EXPECT_EQ(cut(), CutOutcome::CheckFailed);
    EXPECT_TRUE(prompts.messageTexts().contains(QStringLiteral("K2: Brak punktu początkowego strumienia!")));
    EXPECT_FALSE(saidDone());
    EXPECT_EQ(w.SelectedGridStream, QStringLiteral("K2"));
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 1);
    EXPECT_TRUE(markers().isEmpty());
    EXPECT_EQ(w.commits, 1);
    EXPECT_TRUE(w.blockedWhileCutting);
    expectRestored(w);
}

TEST_F(CutFailure, ADrawingErrorPartWayRestoresEverythingAndSaysWhy) {
    crossing();
    drawn();
    w.victim = references(QStringLiteral("12^STRUMIEN_*^K1")).value(0).handle();
    EXPECT_EQ(cut(), CutOutcome::Failed);
    EXPECT_FALSE(saidDone());
    bool told = false;
    for (const QString& t : prompts.messageTexts())
        told =
            told || t.startsWith(QStringLiteral("Operacja cięcia została przerwana przez błąd rysunku:\n"));
    EXPECT_TRUE(told);
    expectRestored(w);
}

// A component erased by another program while the cut writes stops the cut; the table then holds
// what the drawing holds, under real handles, as after a cut that finished.
TEST_F(CutFailure, AComponentErasedWhileTheCutWritesLeavesOnlyRealHandlesInTheTable) {
    crossing();
    drawn();
    w.eraseNewestComponent = true;
    EXPECT_EQ(cut(), CutOutcome::Failed);
    EXPECT_FALSE(saidDone());
    expectHandlesReal();
    expectRestored(w);
}

TEST_F(CutFailure, ASuccessfulRunRestoresToo) {
    crossing();
    drawn();
    EXPECT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(saidDone());
    expectHandlesReal();
    EXPECT_EQ(w.ProgressMax, 3);  // 2n + 1 with two streams
    EXPECT_EQ(w.ProgressValue, 3);
    EXPECT_FALSE(w.UnitsButtonVisible);  // the details are hidden
    expectRestored(w);
    // With the details shown the units button is back after the cut.
    w.DetailsShown = true;
    EXPECT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(w.UnitsButtonVisible);
    EXPECT_TRUE(w.BigButtonVisible);
}

}  // namespace
}  // namespace conflictor::test
