// hatcher then conflictor on one drawing: the phase pictures and transition arrows hatcher draws on the
// sample intersection give conflictor's phase sets.
#include "tests/conflictor/streams/StreamsFixture.h"

#include "common/SettingBindings.h"
#include "conflictor/phases/PhaseSets.h"
#include "hatcher/core/HatcherForm.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/HatcherSettings.h"
#include "hatcher/core/PatternArea.h"
#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"
#include "tests/hatcher/SampleIntersection.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {

class HatcherSchemeToPhaseSets : public conflictor::test::StreamsFixture {
protected:
    void SetUp() override {
        StreamsFixture::SetUp();
        hatcher::FillSettingBindings(true);
        hatcher::PatternCopyHandles.clear();
        form.intersection = QStringLiteral("7");
        form.transitionTemplatePath =
            QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
        automation::CadApplication.documents().open(QString::fromUtf8(hatcher::test::SampleMapPath()));
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        hatcher::test::AddSampleStreams();
        conflictor::IntersectionNumber = QStringLiteral("7");
        // One picture per phase of the sample (1-4), in a row below the intersection.
        picks.point(0, 0).point(30, 0).point(0, -120);
        pictures = hatcher::frmMain_cmdTworzObrazyFaz_Click(form);
    }
    // Conflictor's sets with the messages it showed.
    int sets(QStringList& out) {
        prompts.clear();
        return conflictor::StworzZestawyFaz(out);
    }
    // Every consecutive pair of a walk "a, b, c, ...".
    static QList<std::pair<int, int>> steps(const QString& walk) {
        QList<std::pair<int, int>> out;
        const QStringList items = walk.split(QStringLiteral(", "));
        for (int i = 1; i < items.size(); ++i) out.append({items[i - 1].toInt(), items[i].toInt()});
        return out;
    }

    hatcher::HeadlessForm form;
    QStringList pictures;
};

TEST_F(HatcherSchemeToPhaseSets, ACycleOfArrowsGivesTheChainAndTheRoundWalk) {
    ASSERT_EQ(pictures.size(), 4);
    // 1 -> 2 -> 3 -> 4 -> 1, picked picture by picture.
    picks.entity(pictures[0]).entity(pictures[1]).entity(pictures[1]).entity(pictures[2]);
    picks.entity(pictures[2]).entity(pictures[3]).entity(pictures[3]).entity(pictures[0]).cancel();
    hatcher::cmdConnect_Click(form);
    for (auto [k, l] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}})
        ASSERT_TRUE(hatcher::TransitionExists(QStringLiteral("7"), k, l)) << k << "-" << l;

    QStringList out;
    EXPECT_EQ(sets(out), 1);
    EXPECT_EQ(out, (QStringList{QStringLiteral("1, 2, 3, 4"), QStringLiteral("1, 2, 3, 4, 1")}));
    ASSERT_EQ(conflictor::PhaseSetTable.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(conflictor::PhaseSetTable[size_t(i)].Phase, i + 1);
    // HATCHER_CYCLE_DXF keeps the drawing (for the screenshot of an arrow moved in cadhost).
    if (qEnvironmentVariableIsSet("HATCHER_CYCLE_DXF"))
        automation::CadDocument.saveAs(qEnvironmentVariable("HATCHER_CYCLE_DXF"));
}

TEST_F(HatcherSchemeToPhaseSets, ConnectAllGivesAWalkOverEveryTransition) {
    ASSERT_EQ(pictures.size(), 4);
    hatcher::cmdConnectAll_Click(form);
    QStringList out;
    ASSERT_EQ(sets(out), 1);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], QStringLiteral("1, 2, 3, 4"));
    // The walk starts and ends in phase 1 and passes over each of the twelve arrows.
    EXPECT_TRUE(out[1].startsWith(QStringLiteral("1, "))) << out[1].toStdString();
    QSet<std::pair<int, int>> walked;
    for (const auto& s : steps(out[1])) {
        EXPECT_NE(s.first, s.second);
        walked.insert(s);
    }
    QSet<std::pair<int, int>> every;
    for (int k = 1; k <= 4; ++k)
        for (int l = 1; l <= 4; ++l)
            if (k != l) every.insert({k, l});
    EXPECT_EQ(walked, every) << out[1].toStdString();
    for (const conflictor::PhaseSetRecord& r : conflictor::PhaseSetTable) EXPECT_EQ(r.Entries.size(), 3u);
}

TEST_F(HatcherSchemeToPhaseSets, APictureWithoutArrowsIsASchemeError) {
    ASSERT_EQ(pictures.size(), 4);
    picks.entity(pictures[0]).entity(pictures[1]).entity(pictures[1]).entity(pictures[0]);
    picks.entity(pictures[1]).entity(pictures[2]).entity(pictures[2]).entity(pictures[1]).cancel();
    hatcher::cmdConnect_Click(form);
    QStringList out{QStringLiteral("kept")};
    prompts.clear();
    EXPECT_EQ(conflictor::StworzZestawyFaz(out), -2);
    EXPECT_EQ(out, QStringList{QStringLiteral("kept")});
    ASSERT_FALSE(prompts.messageTexts().isEmpty());
    EXPECT_TRUE(prompts.messageTexts().back().contains(QStringLiteral("W fazie 4")))
        << prompts.messageTexts().back().toStdString();
}

// The engineer tidies the scheme in the CAD (the same members cadhost's "_move" and "_copy" use):
// an arrow moved out of its picture, a picture moved away, an arrow copied. The scheme reads alike,
// the copy being one more drawn transition of the same pair.
TEST_F(HatcherSchemeToPhaseSets, MovedAndCopiedArrowsAndPicturesReadAlike) {
    ASSERT_EQ(pictures.size(), 4);
    picks.entity(pictures[0]).entity(pictures[1]).entity(pictures[1]).entity(pictures[2]);
    picks.entity(pictures[2]).entity(pictures[3]).entity(pictures[3]).entity(pictures[0]).cancel();
    hatcher::cmdConnect_Click(form);
    QStringList before;
    ASSERT_EQ(sets(before), 1);

    QList<cad::Entity> arrows, shown;
    for (const cad::Entity& e : automation::CadDocument.modelSpace().entities()) {
        if (e.objectName() != QLatin1String("AcDbBlockReference")) continue;
        if (e.effectiveName() == QLatin1String("dyn_przejscie_fazowe")) arrows.append(e);
        if (e.handle() == pictures[1]) shown.append(e);
    }
    ASSERT_EQ(arrows.size(), 4);
    ASSERT_EQ(shown.size(), 1);
    arrows[0].move(cad::Point{0, 0, 0}, cad::Point{5000, 5000, 0});
    shown[0].move(cad::Point{0, 0, 0}, cad::Point{-3000, 200, 0});
    arrows[1].copy().move(cad::Point{0, 0, 0}, cad::Point{0, -700, 0});

    QStringList after;
    EXPECT_EQ(sets(after), 1);
    EXPECT_EQ(after.value(0), before.value(0));
    for (auto [k, l] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}})
        EXPECT_TRUE(hatcher::TransitionExists(QStringLiteral("7"), k, l)) << k << "-" << l;
    ASSERT_EQ(conflictor::PhaseSetTable.size(), 4u);

    // Saved, the moved scheme gives conflictor-headless the same sets.
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("schemat.dxf"));
    automation::CadDocument.saveAs(saved);
    QProcess tool;
    tool.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    tool.start(QStringLiteral(CONFLICTOR_HEADLESS),
               {saved, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--phase-sets")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()),
              QStringLiteral("V.1: %1\nV.2: %2\n").arg(after.value(0), after.value(1)));
}

}  // namespace
