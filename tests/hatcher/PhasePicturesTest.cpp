// Phase pictures on the sample intersection: one picture per phase with exactly its streams
// (conditional ones dashed) over the base map cut to the circle, in a row; the user's drawing is
// left as it was; a second row leaves the first alone; the readers of phases and streams.
#include "HatcherFixture.h"
#include "SampleIntersection.h"

#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"

#include <QSet>

using namespace hatcher;
using namespace hatcher::test;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

class PhasePictures : public HatcherFixture {
protected:
    void openSample() {
        automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        perPhase = AddSampleStreams();
    }
    // The circle drawn around the junction (radius 30) and the place of the row.
    void scriptPattern(double tx, double ty) { picks.point(0, 0).point(30, 0).point(tx, ty); }
    std::map<int, int> perPhase;
};

}  // namespace

TEST_F(PhasePictures, OnePicturePerPhaseOverTheClippedBaseMap) {
    openSample();
    const QStringList before = handles();
    const int count = CadModelSpace.count();
    scriptPattern(0, -200);
    const QStringList pictures = frmMain_cmdTworzObrazyFaz_Click(form);
    EXPECT_TRUE(picks.exhausted());
    EXPECT_EQ(prompts.unexpected(), 0);
    ASSERT_EQ(pictures.size(), 4);

    // The user's drawing: the same entities, plus the pictures only.
    QStringList after = handles();
    for (const QString& h : pictures) after.removeOne(h);
    EXPECT_EQ(after, before);
    EXPECT_EQ(CadModelSpace.count(), count + 4);

    for (int i = 0; i < 4; ++i) {
        const cad::Entity ref = CadDocument.handleToObject(pictures[i]);
        QString nr;
        int phase = 0;
        ASSERT_TRUE(PobierzNrSkrzyzFaze(ref.name(), nr, phase));
        EXPECT_EQ(nr, QStringLiteral("7"));
        EXPECT_EQ(phase, i + 1);
        EXPECT_EQ(ref.layer(), QStringLiteral("SCHEMAT_FAZY"));
        EXPECT_NEAR(ref.insertionPoint().x, 90.0 * i, 1e-9);  // three radii apart
        EXPECT_NEAR(ref.insertionPoint().y, -200, 1e-9);
        EXPECT_EQ(automation::ReadAttributeByTag(ref, QStringLiteral("WID_OPIS")),
                  QStringLiteral("Faza %1").arg(i + 1));
        EXPECT_EQ(automation::ReadAttributeByTag(ref, QStringLiteral("RADIUS")), QStringLiteral("30.0000"));

        int streamPieces = 0, dashed = 0, pattern = 0;
        for (const cad::Entity& e : CadDocument.blocks().item(ref.name()).entities()) {
            if (e.layer() == QLatin1String("113-STRUMIENIE_RUCHU")) {
                ++streamPieces;
                EXPECT_EQ(e.color(), 256);
                if (e.linetype() == QLatin1String("ACAD_ISO03W100")) ++dashed;
                continue;
            }
            const QString kind = e.objectName();
            if (kind == QLatin1String("AcDbAttributeDefinition") || kind == QLatin1String("AcDbText") ||
                kind == QLatin1String("AcDbMText"))
                continue;
            ++pattern;
            // The base map is cut to the circle around the picture's origin.
            const auto [lo, hi] = e.boundingBox();
            for (const cad::Point& p : {lo, hi}) {
                EXPECT_LE(std::abs(p.x), 30 + 1e-6) << kind.toStdString();
                EXPECT_LE(std::abs(p.y), 30 + 1e-6) << kind.toStdString();
            }
        }
        EXPECT_EQ(streamPieces, perPhase[i + 1]) << "phase " << i + 1;
        EXPECT_EQ(dashed, i + 1 == 2 ? 2 : 0) << "phase " << i + 1;  // S1 runs in phase 2 only
        EXPECT_GT(pattern, 20);
    }
    EXPECT_TRUE(automation::CheckBlockExists(QStringLiteral("Schemat_wzorzec_7")));  // kept without reference
    cad::Entity none;
    EXPECT_FALSE(automation::FindFirstInsert(QStringLiteral("Schemat_wzorzec_7"), none));
    EXPECT_TRUE(form.status == form.statusText);
    EXPECT_EQ(form.val, 0);
    EXPECT_LE(form.highest, form.max);
}

TEST_F(PhasePictures, ASecondRowLeavesTheFirstAndTheUsersContent) {
    openSample();
    scriptPattern(0, -200);
    const QStringList first = frmMain_cmdTworzObrazyFaz_Click(form);
    ASSERT_EQ(first.size(), 4);
    // The user draws something under the row before the second run.
    const cad::Entity mine = CadModelSpace.addLine({-5, -205, 0}, {5, -195, 0});
    const QStringList before = handles();
    scriptPattern(0, -200);
    const QStringList second = frmMain_cmdTworzObrazyFaz_Click(form);
    ASSERT_EQ(second.size(), 4);
    QStringList after = handles();
    for (const QString& h : second) after.removeOne(h);
    EXPECT_EQ(after, before);  // the first row and the user's line are all still there
    EXPECT_NO_THROW(mine.startPoint());
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(CadDocument.handleToObject(first[i]).name(), CadDocument.handleToObject(second[i]).name());
}

// K2 moved off the stream layer would be missing from the pictures of its phases: said before the
// circle is asked for, and nothing is drawn.
TEST_F(PhasePictures, APieceTheSearchPassesOverStopsThePicturesBeforeTheCircle) {
    openSample();
    for (const cad::Entity& e : CadModelSpace.entities())
        if (e.objectName() == QLatin1String("AcDbBlockReference") && e.name() == QStringLiteral("7^STRUMIEN_2^K2"))
            e.setLayer(QStringLiteral("0"));
    const QStringList before = handles();
    prompts.answerMessage(ui::Ok);
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(form).isEmpty());
    EXPECT_EQ(handles(), before);
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_EQ(prompts.messageTexts()[0],
              QStringLiteral("Obrazy faz pokazałyby strumienie bez tych składowych:\nK2: Składowa \"7^STRUMIEN_2^K2\" "
                             "leży na warstwie \"0\" w punkcie (-21.63; -21.63); strumienie czyta się tylko z "
                             "warstwy \"113-STRUMIENIE_RUCHU\", więc nie zostałaby uwzględniona. Przenieś ją na "
                             "warstwę \"113-STRUMIENIE_RUCHU\" albo usuń.\nPopraw rysunek i utwórz obrazy faz "
                             "ponownie."));
}

TEST_F(PhasePictures, CancelledTargetEndsQuietlyAndLeavesTheCircle) {
    openSample();
    const QStringList before = handles();
    picks.point(0, 0).point(30, 0).cancel();
    EXPECT_TRUE(frmMain_cmdTworzObrazyFaz_Click(form).isEmpty());
    EXPECT_TRUE(prompts.asked().empty());
    const QStringList after = handles();
    ASSERT_EQ(after.size(), before.size() + 1);
    const cad::Entity circle = CadDocument.handleToObject(after.last());
    EXPECT_EQ(circle.objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_DOUBLE_EQ(circle.radius(), 30);
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("Schemat_wzorzec_7")));
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("SCHEMAT_FAZY"));
}

// "All layers" with nothing but traffic layers inside the circle: the user's circle is no content.
TEST_F(PhasePictures, OnlyTrafficLayersInTheCircleMakeNoPatternAndKeepTheCircle) {
    ASSERT_EQ(common::SettingBindings[0].Value.toInt(), 0);
    for (const char* layer : {"113-STRUMIENIE_RUCHU", "114-PUNKTY_KOLIZJI"}) {
        automation::EnsureLayer(QString::fromLatin1(layer), false, 1, -10);
        CadModelSpace.addLine({-10, 0, 0}, {10, 0, 0}).setLayer(QString::fromLatin1(layer));
    }
    const QStringList before = handles();
    picks.point(0, 0).point(30, 0).point(0, -200);
    frmMain_cmdDefObszar_Click(form);
    EXPECT_TRUE(picks.exhausted());
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("Schemat_wzorzec_7")));
    const QStringList after = handles();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(CadDocument.handleToObject(after.last()).objectName(), QStringLiteral("AcDbCircle"));
    EXPECT_EQ(prompts.asked().size(), 0u);
}

// A pattern left by an earlier run of the program: the pictures take its recorded copies, and only
// those are erased; the user's drawing in its square stays.
TEST_F(PhasePictures, APatternOfAnEarlierRunErasesOnlyItsOwnCopies) {
    openSample();
    picks.point(0, 0).point(30, 0).point(0, -200);
    frmMain_cmdDefObszar_Click(form);
    ASSERT_TRUE(automation::CheckBlockExists(QStringLiteral("Schemat_wzorzec_7")));
    const QStringList copies = PatternCopyHandles.value(QStringLiteral("7"));
    ASSERT_FALSE(copies.isEmpty());
    PatternCopyHandles.clear();  // the program ended; the drawing keeps the record
    const cad::Entity mine = CadModelSpace.addLine({-5, -205, 0}, {5, -195, 0});
    const QStringList before = handles();
    cad::Entity pattern;
    ASSERT_TRUE(automation::FindFirstInsert(QStringLiteral("Schemat_wzorzec_7"), pattern));
    const QString patternHandle = pattern.handle();
    picks.point(0, 0).cancel();  // this run draws no new pattern: the old one is used
    const QStringList pictures = frmMain_cmdTworzObrazyFaz_Click(form);
    ASSERT_EQ(pictures.size(), 4);
    EXPECT_NO_THROW(mine.startPoint());
    QStringList expected = before;
    for (const QString& h : copies) expected.removeOne(h);
    expected.removeOne(patternHandle);
    QStringList after = handles();
    for (const QString& h : pictures) after.removeOne(h);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(automation::GetDrawingProperty(PatternCopiesKey(QStringLiteral("7"))), QString());
}

TEST_F(PhasePictures, ReadersOfPhasesStreamsAndLinks) {
    std::vector<int> phases;
    QList<PhaseEntry> entries;
    ASSERT_TRUE(ParsePhaseText(QStringLiteral("K1:1,2^K2:2^P1:^"), phases, entries));
    EXPECT_EQ(phases, (std::vector<int>{1, 2}));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1].StreamName, QStringLiteral("K2"));
    ASSERT_TRUE(ParsePhaseText(QStringLiteral("K1:3,1^K2:1^"), phases, entries));
    EXPECT_EQ(phases, (std::vector<int>{1, 3}));
    EXPECT_FALSE(ParsePhaseText(QStringLiteral("K1:0,x^"), phases, entries));

    PhaseStreamRecord body{
        QStringLiteral("A1"), QStringLiteral("7^STRUMIEN_1^K1[2]"), true, {QStringLiteral("K1")}, {}};
    PhaseStreamRecord cond{
        QStringLiteral("A2"), QStringLiteral("7^STRUMIEN_2^S1"), true, {QStringLiteral("S1")}, {}};
    ParsePhaseText(QStringLiteral("K1:1,3^S1:3^"), phases, entries);
    EXPECT_EQ(CountPhaseStreams({body, cond}, entries, 3), 2);
    EXPECT_EQ(CountPhaseStreams({body, cond}, entries, 2), 0);
    bool isS = true;
    EXPECT_TRUE(IsStreamBlockInPhase(QStringLiteral("A1"), {body, cond}, entries, 1, isS));
    EXPECT_FALSE(isS);
    EXPECT_TRUE(IsStreamBlockInPhase(QStringLiteral("A2"), {body, cond}, entries, 3, isS));
    EXPECT_TRUE(isS);

    automation::CrossingLinkRecord link;
    link.InnerStreams = QStringLiteral("K1");
    link.OuterStreams = QStringLiteral("S1:X9");
    EXPECT_TRUE(IsCrossingLinkInPhase(link, entries, 3));
    EXPECT_FALSE(IsCrossingLinkInPhase(link, entries, 1));

    // Streams and markers of the sample, with the variant suffix cut.
    automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    AddSampleStreams();
    const QList<PhaseStreamRecord> records = ReadPhaseStreamRecords(QStringLiteral("7"));
    ASSERT_EQ(records.size(), 6);
    QSet<QString> names;
    for (const PhaseStreamRecord& r : records) names.insert(r.StreamNames.join(QLatin1Char(',')));
    EXPECT_EQ(names, (QSet<QString>{QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("S1"),
                                    QStringLiteral("P1")}));
    ASSERT_TRUE(ReadPhaseList(phases, QStringLiteral("7"), entries));
    EXPECT_EQ(phases, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(PhasePictures, AFailureRemovesTheCircleAndTheCopiesAndRestoresTheVariables) {
    openSample();
    automation::test::RelayChannel relay(automation::CadApplication.channel());
    automation::CadApplication = cad::Application(&relay);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    CadDocument.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("3"));
    const QStringList before = handles();
    relay.failOn = QStringLiteral("AddAttribute");  // building the pattern block fails
    picks.point(0, 0).point(30, 0).point(0, -200);
    prompts.answerMessage(ui::Ok);
    frmMain_cmdDefObszar_Click(form);
    relay.failOn.clear();
    EXPECT_EQ(handles(), before);
    EXPECT_FALSE(automation::CheckBlockExists(QStringLiteral("Schemat_wzorzec_7")));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(
        prompts.asked()[0].text.startsWith(QStringLiteral("Nie udało się utworzyć schematu wzorcowego:")));
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CECOLOR")).toText(), QStringLiteral("3"));
    EXPECT_EQ(form.val, 0);
    automation::ResetCadConnectionState();
}
