// "SKALA" held against the declared units and the lengths of the streams: what is found and proposed,
// and a metre drawing with the map scale 500 stopped before the cut writes a number, in conflictor and
// in the headless tool, an export stopped the same way; mended in the settings, the same cut runs.
#include "CutFixture.h"

#include "automation/DrawingProperties.h"
#include "conflictor/conflicts/DrawingUnits.h"
#include "conflictor/conflicts/StreamsXml.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace conflictor::test {
namespace {

using U = DeclaredUnits;

std::vector<MeasuredLength> lengths(std::initializer_list<double> units) {
    std::vector<MeasuredLength> out;
    int i = 0;
    for (double u : units) out.push_back({QStringLiteral("K%1").arg(++i), u});
    return out;
}

// A stream or conflict named by a megabyte in the drawing is listed by its first 40 characters.
TEST(DrawingUnits, HugeNamesAreListedCut) {
    const QString huge = QStringLiteral("K") + QString(1 << 20, QLatin1Char('x'));
    const UnitsFinding f = JudgeDrawingUnits(500, U::Metres, {{huge, 20}}, {{huge, 1}});
    EXPECT_EQ(f.OutOfRange, QStringList{huge.left(40) + QStringLiteral("… 0,04 m")});
    EXPECT_EQ(f.ZeroDistances, QStringList{huge.left(40) + QStringLiteral("…")});
    EXPECT_LT(DrawingUnitsMessage(f, 500, U::Metres).size(), 1000);
}

// A road's shortest and longest path and crossing are lengths a road has; a hundredth of a metre more is not.
// A conflict at a stream's very start (no distance at all) is no distance written as 0,0 m.
TEST(DrawingUnits, TheBoundsOfARoadsLengths) {
    using K = LengthKind;
    EXPECT_TRUE(JudgeDrawingUnits(1, U::None,
                                  {{QStringLiteral("K1"), 3000}, {QStringLiteral("P1"), 40, K::Crossing}}, {})
                    .OutOfRange.isEmpty());
    EXPECT_EQ(
        JudgeDrawingUnits(1, U::None,
                          {{QStringLiteral("K1"), 3000.01}, {QStringLiteral("P1"), 40.01, K::Crossing}}, {})
            .OutOfRange.size(),
        2);
    EXPECT_TRUE(
        JudgeDrawingUnits(1, U::None, {{QStringLiteral("K1"), 5}, {QStringLiteral("P1"), 3, K::Crossing}}, {})
            .OutOfRange.isEmpty());
    EXPECT_EQ(JudgeDrawingUnits(1, U::None,
                                {{QStringLiteral("K1"), 4.99}, {QStringLiteral("P1"), 2.99, K::Crossing}}, {})
                  .OutOfRange.size(),
              2);
    EXPECT_TRUE(JudgeDrawingUnits(1, U::None, lengths({20}), {{QStringLiteral("K1 - K2"), 5e-10}})
                    .ZeroDistances.isEmpty());
}

TEST(DrawingUnits, FindingsAndProposals) {
    // Metres declared, the map scale typed: every length below a metre; the units and lengths agree on 1.
    UnitsFinding f = JudgeDrawingUnits(500, U::Metres, lengths({20, 45}), {});
    EXPECT_TRUE(f.UnitsDisagree);
    EXPECT_TRUE(f.blocking());
    EXPECT_EQ(f.OutOfRange, (QStringList{QStringLiteral("K1 0,04 m"), QStringLiteral("K2 0,09 m")}));
    EXPECT_EQ(f.Proposal, 1);
    const QString text = DrawingUnitsMessage(f, 500, U::Metres);
    EXPECT_TRUE(text.contains(QStringLiteral("metry ($INSUNITS 6)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("proponowana wartość 1."))) << text.toStdString();

    // Millimetres declared, "SKALA" 1: streams of 20 km; proposed 1000.
    f = JudgeDrawingUnits(1, U::Millimetres, lengths({20000, 35000}), {});
    EXPECT_TRUE(f.blocking());
    EXPECT_EQ(f.Proposal, 1000);
    EXPECT_TRUE(JudgeDrawingUnits(1000, U::Millimetres, lengths({20000, 35000}), {}).clean());

    // No declared units: the lengths alone stop it, and the one common value they fit is proposed.
    f = JudgeDrawingUnits(500, U::None, lengths({20, 45}), {});
    EXPECT_TRUE(f.blocking());
    EXPECT_FALSE(f.UnitsDisagree);
    EXPECT_EQ(f.Proposal, 1);
    EXPECT_TRUE(JudgeDrawingUnits(1, U::None, lengths({20, 45}), {}).clean());
    // Lengths that fit two values (a 35 m crossing or a 3.5 m one, 100 m streams or 10 m ones): none
    // proposed.
    std::vector<MeasuredLength> mixed = lengths({100});
    mixed.push_back({QStringLiteral("P1"), 35, LengthKind::Crossing});
    f = JudgeDrawingUnits(1000, U::None, mixed, {});
    EXPECT_TRUE(f.blocking());
    EXPECT_EQ(f.Proposal, 0);
    EXPECT_TRUE(DrawingUnitsMessage(f, 1000, U::None).contains(QStringLiteral("nie deklaruje jednostek")));
    // Nothing measured: nothing to propose from, whatever the units say.
    EXPECT_EQ(JudgeDrawingUnits(500, U::Metres, {}, {}).Proposal, 0);
    EXPECT_EQ(JudgeDrawingUnits(500, U::Metres, lengths({0}), {}).Proposal, 0);

    // Every unit $INSUNITS declares: centimetres and decimetres are units, inches take 39, feet none.
    EXPECT_EQ(ScaleOfUnits(U::Centimetres), 100);
    EXPECT_EQ(ScaleOfUnits(U::Decimetres), 10);
    EXPECT_EQ(ScaleOfUnits(U::Inches), 39);
    EXPECT_EQ(ScaleOfUnits(U::Feet), 0);
    EXPECT_EQ(ScaleOfUnits(U::Kilometres), 0);
    EXPECT_EQ(ScaleOfUnits(U::Microns), 0);
    f = JudgeDrawingUnits(3, U::Feet, lengths({100, 200}), {});
    EXPECT_TRUE(f.UnitsInexpressible);
    EXPECT_TRUE(f.blocking());
    // Named with how many make a metre: 1 / 0.3048, not a rounded 3.28.
    EXPECT_TRUE(
        DrawingUnitsMessage(f, 3, U::Feet).contains(QStringLiteral("stopy ($INSUNITS 2) (3,28084 na metr)")))
        << DrawingUnitsMessage(f, 3, U::Feet).toStdString();
    // Every unit a whole "SKALA" expresses is named as the way out.
    EXPECT_TRUE(DrawingUnitsMessage(f, 3, U::Feet)
                    .contains(QStringLiteral(
                        "przeskaluj rysunek do metrów, decymetrów, centymetrów lub milimetrów;")));

    // Millimetres declared on a drawing whose lengths are metres: said, not blocking, nothing proposed
    // (the units and the lengths disagree).
    f = JudgeDrawingUnits(1, U::Millimetres, lengths({20, 45}), {});
    EXPECT_TRUE(f.UnitsDisagree);
    EXPECT_FALSE(f.blocking());
    EXPECT_EQ(f.Proposal, 0);

    // Lengths of a road, but a conflict distance that would be written as 0.0 m.
    f = JudgeDrawingUnits(100, U::None, lengths({150, 400}), {{QStringLiteral("K1 - K2"), 4}});
    EXPECT_EQ(f.ZeroDistances, QStringList{QStringLiteral("K1 - K2")});
    EXPECT_TRUE(f.blocking());
    // 0.4 m is written as 0.4, not as 0.
    EXPECT_TRUE(JudgeDrawingUnits(100, U::None, lengths({1500, 4000}), {{QStringLiteral("K1 - K2"), 40}})
                    .ZeroDistances.isEmpty());
}

class DrawingUnitsCut : public CutFixture {
protected:
    void SetUp() override {
        CutFixture::SetUp();
        SetStreamWindow(&w);
        // A drawing in metres that says so, with the map scale typed in as "SKALA".
        automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 6);
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
        draw(QStringLiteral("K1"), {Line(0, 0, 60, 0)});
        draw(QStringLiteral("K2"), {Line(25, -30, 25, 30)});
        drawn();
    }
    void TearDown() override {
        OpenScaleSettings = nullptr;
        CutFixture::TearDown();
    }
    StreamWindow w;
};

TEST_F(DrawingUnitsCut, AMetreDrawingWithTheMapScaleIsStoppedBeforeTheCutWritesAndRunsOnceMended) {
    EXPECT_EQ(cut(), CutOutcome::UnitsRefused);
    const QStringList said = prompts.messageTexts();
    ASSERT_EQ(said.size(), 2);  // the cut's question, then the one message
    EXPECT_TRUE(said[1].startsWith(QStringLiteral("SKALA rysunku wynosi 500 i nie pasuje do rysunku:")))
        << said[1].toStdString();
    EXPECT_TRUE(said[1].contains(QStringLiteral("K1 0,12 m"))) << said[1].toStdString();
    EXPECT_TRUE(said[1].contains(QStringLiteral("Nic nie zapisano"))) << said[1].toStdString();
    EXPECT_TRUE(markers().isEmpty());
    EXPECT_TRUE(lengthTexts().isEmpty());
    EXPECT_EQ(componentsInDrawing(QStringLiteral("K1")), 1);
    EXPECT_FALSE(saidDone());

    // An export stops the same way before it writes its file.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    prompts.clear();
    EXPECT_TRUE(ExportStreamsXml(folder.path()).isEmpty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts()[0].startsWith(QStringLiteral("SKALA rysunku wynosi 500")));

    // In conflictor the message offers the settings, with the value the drawing agrees on.
    int proposed = -1;
    OpenScaleSettings = [&](int proposal) {
        proposed = proposal;
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::number(proposal));
        return true;
    };
    prompts.clear();
    prompts.answerMessage(ui::Yes);  // the cut
    prompts.answerMessage(ui::Yes);  // open the settings
    EXPECT_EQ(CutStreams(true), CutOutcome::Done);
    EXPECT_EQ(proposed, 1);
    EXPECT_EQ(prompts.asked()[1].flags, ui::YesNo | ui::Exclamation | ui::DefaultButton2);
    EXPECT_EQ(markers().size(), 1);
    EXPECT_TRUE(lengthTexts().size() >= 2);
    EXPECT_EQ(automation::DrawingScale, 1);

    // Declined, the cut stops as well.
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("500"));
    prompts.clear();
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::No);
    EXPECT_EQ(CutStreams(true), CutOutcome::UnitsRefused);

    // A value still wrong after "Tak" in the dialog is judged again and stops the cut.
    OpenScaleSettings = [&](int) {
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("200"));
        return true;
    };
    prompts.clear();
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(CutStreams(true), CutOutcome::UnitsRefused);
    ASSERT_EQ(prompts.messageTexts().size(), 3);
    EXPECT_TRUE(prompts.messageTexts()[2].startsWith(QStringLiteral("SKALA rysunku wynosi 200")));

    // An unreadable value is named as the drawing holds it, never taken as 1.
    for (const char* found : {"nan", "1e308", "-0", "abc", "0x3E8", "32768", "-5"}) {
        OpenScaleSettings = nullptr;
        automation::SetDrawingProperty(QStringLiteral("SKALA"), QString::fromLatin1(found));
        prompts.clear();
        EXPECT_EQ(cut(), CutOutcome::UnitsRefused) << found;
        const QString text = prompts.messageTexts().value(1);
        EXPECT_TRUE(
            text.contains(QStringLiteral("ma wartość SKALA \"%1\", która nie jest liczbą całkowitą od 1 do "
                                         "32767")
                              .arg(QString::fromLatin1(found))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("proponowana wartość 1."))) << text.toStdString();
    }
}

TEST_F(DrawingUnitsCut, UnitsKeptOnceNeverLetWrongLengthsThrough) {
    // Millimetres declared on a drawing in metres with "SKALA" 1: said once and kept.
    automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 4);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
    EXPECT_EQ(cut(), CutOutcome::Done);
    EXPECT_TRUE(prompts.messageTexts().value(1).contains(QStringLiteral("milimetry ($INSUNITS 4)")));
    // Then a stream of 2 m is drawn: the kept units do not let its length through.
    draw(QStringLiteral("K3"), {Line(0, 10, 2, 10)});
    drawn();
    prompts.clear();
    EXPECT_EQ(cut(), CutOutcome::UnitsRefused);
    EXPECT_TRUE(prompts.messageTexts().value(1).contains(QStringLiteral("K3 2,00 m")))
        << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
}

// A drawing in millimetres that holds no "SKALA" is told that the value is missing and what was
// assumed, never that its "SKALA" is 1.
TEST_F(DrawingUnitsCut, AMissingScaleIsToldAsMissing) {
    automation::CadDocument.setVariable(QStringLiteral("INSUNITS"), 4);
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QString());
    EXPECT_EQ(cut(), CutOutcome::Done);
    const QString said = prompts.messageTexts().value(1);
    EXPECT_TRUE(
        said.startsWith(QStringLiteral("Rysunek nie ma wartości SKALA; przyjęta wartość 1 (rysunek w "
                                       "metrach) nie pasuje do rysunku:")))
        << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("SKALA rysunku wynosi"))) << said.toStdString();
    // Typed in as 1, the same drawing is told its value.
    automation::SetDrawingProperty(QStringLiteral("SKALA"), QStringLiteral("1"));
    draw(QStringLiteral("K3"), {Line(0, 10, 2, 10)});
    drawn();
    prompts.clear();
    EXPECT_EQ(cut(), CutOutcome::UnitsRefused);
    EXPECT_TRUE(
        prompts.messageTexts().value(1).startsWith(QStringLiteral("SKALA rysunku wynosi 1 i nie pasuje")))
        << prompts.messageTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(DrawingUnitsCut, TheHeadlessToolRefusesWithTheMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath(QStringLiteral("metry.dxf")),
                  out = dir.filePath(QStringLiteral("po.dxf"));
    doc().saveAs(in);
    QProcess p;
    p.start(QStringLiteral(HEADLESS_TOOL), {in, QStringLiteral("--intersection"), IntersectionNumber,
                                            QStringLiteral("--cut"), QStringLiteral("--save"), out});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("SKALA rysunku wynosi 500"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("nic nie zostało pocięte"))) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

}  // namespace
}  // namespace conflictor::test
