// Phase-transition arrows: "connect all" on four pictures gives twelve "PF a-b" arrows whose
// effective name and property values survive a save and read back with our reader and ezdxf; the
// arrows read as conflictor's phase scheme reads them; the refusals of picking two pictures.
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

constexpr double Pi = std::numbers::pi;

struct Arrow {
    QString opis, nr;
    double distance = 0, distance2 = 0, angle = 0;
    cad::Point at;
};

QList<Arrow> arrows(const cad::Block& space) {
    QList<Arrow> out;
    for (const cad::Entity& r : space.entities()) {
        if (r.objectName() != QLatin1String("AcDbBlockReference") ||
            r.effectiveName().compare(QLatin1String("dyn_przejscie_fazowe"), Qt::CaseInsensitive) != 0)
            continue;
        Arrow a;
        a.opis = automation::ReadAttributeByTag(r, QStringLiteral("OPIS"));
        a.nr = automation::ReadAttributeByTag(r, QStringLiteral("SKRZYZOWANIE"));
        a.at = r.insertionPoint();
        EXPECT_TRUE(r.name().startsWith(QStringLiteral("*U"))) << r.name().toStdString();
        for (const cad::DynamicProperty& p : r.dynamicBlockProperties()) {
            if (p.propertyName() == QLatin1String("Distance")) a.distance = p.value().toDouble();
            if (p.propertyName() == QLatin1String("Distance2")) a.distance2 = p.value().toDouble();
            if (p.propertyName() == QLatin1String("Angle")) a.angle = p.value().toDouble();
        }
        out << a;
    }
    return out;
}

// The transitions of intersection nr as conflictor's phase scheme reads them: references of "`*U*"
// whose effective name is the transition block, SKRZYZOWANIE read before OPIS, "PF a-b".
QSet<std::pair<int, int>> conflictorTransitions(const QString& nr) {
    QSet<std::pair<int, int>> out;
    cad::SelectionSet set = automation::GetSelectionSet(QStringLiteral("SSPrzejscia"));
    set.select(cad::SelectionSet::All,
               automation::BuildSelectionFilter({0, QStringLiteral("INSERT"), 2, QStringLiteral("`*U*")}));
    for (const cad::Entity& r : set.entities()) {
        if (r.effectiveName().compare(QLatin1String("dyn_przejscie_fazowe"), Qt::CaseInsensitive) != 0 ||
            !r.hasAttributes())
            continue;
        QString crossing;
        int a = 0, b = 0;
        for (const cad::Entity& attr : r.attributes()) {
            const QString tag = attr.tagString().toUpper();
            if (tag == QLatin1String("SKRZYZOWANIE")) {
                crossing = attr.textString();
                if (crossing.toUpper() != nr.toUpper()) break;
            } else if (tag == QLatin1String("OPIS")) {
                const QString v = attr.textString();
                if (v.size() > 5 && v.startsWith(QLatin1String("PF "))) {
                    const QStringList ab = v.mid(3).split(QLatin1Char('-'));
                    if (ab.size() == 2) {
                        a = ab[0].toInt();
                        b = ab[1].toInt();
                    }
                }
            }
        }
        if (crossing.toUpper() == nr.toUpper() && a > 0 && b > 0) out.insert({a, b});
    }
    set.remove();
    return out;
}

class Transitions : public HatcherFixture {
protected:
    QStringList makePictures(double y = -200) {
        picks.point(0, 0).point(30, 0).point(0, y);
        return frmMain_cmdTworzObrazyFaz_Click(form);
    }
    void openSample() {
        automation::CadApplication.documents().open(QString::fromUtf8(SampleMapPath()));
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        AddSampleStreams();
    }
    // A picture reference of another intersection, with its radius.
    cad::Entity fakePicture(const QString& name, double x, double y) {
        cad::Block b = CadDocument.blocks().add({0, 0, 0}, name);
        b.addCircle({0, 0, 0}, 10);
        automation::AddAttributeDefinition(b, QStringLiteral("RADIUS"), QStringLiteral("10.0000"), 0, 0);
        return CadModelSpace.insertBlock({x, y, 0}, name, 1, 1, 1, 0);
    }
};

}  // namespace

TEST_F(Transitions, ConnectAllGivesTwelveArrowsThatSurviveSaving) {
    openSample();
    ASSERT_EQ(makePictures(-120).size(), 4);
    cmdConnectAll_Click(form);
    EXPECT_EQ(prompts.unexpected(), 0);
    QList<Arrow> all = arrows(CadModelSpace);
    ASSERT_EQ(all.size(), 12);
    QSet<QString> texts;
    for (const Arrow& a : all) {
        texts.insert(a.opis);
        EXPECT_EQ(a.nr, QStringLiteral("7"));
        const QStringList ab = a.opis.mid(3).split(QLatin1Char('-'));
        const int k = ab[0].toInt(), l = ab[1].toInt();
        // Pictures 90 apart; each arrow starts a radius plus half of 6 units from its picture.
        EXPECT_NEAR(a.distance, 90.0 * std::abs(l - k) - 66, 1e-6) << a.opis.toStdString();
        EXPECT_DOUBLE_EQ(a.distance2, a.distance);
        EXPECT_NEAR(a.angle, k < l ? 0 : Pi, 1e-9);
        // To the left of the direction of travel: above for rightward, below for leftward arrows.
        EXPECT_NEAR(a.at.y, k < l ? -115.5 : -124.5, 1e-6);
    }
    for (int k = 1; k <= 4; ++k)
        for (int l = 1; l <= 4; ++l)
            if (k != l) {
                EXPECT_TRUE(texts.contains(QStringLiteral("PF %1-%2").arg(k).arg(l)));
            }
    QSet<std::pair<int, int>> expected;
    for (int k = 1; k <= 4; ++k)
        for (int l = 1; l <= 4; ++l)
            if (k != l) expected.insert({k, l});
    EXPECT_EQ(conflictorTransitions(QStringLiteral("7")), expected);
    EXPECT_TRUE(conflictorTransitions(QStringLiteral("8")).isEmpty());

    // Saved and read back: our reader. HATCHER_SAVE_SAMPLE keeps the drawing (for the screenshot).
    QTemporaryDir dir;
    const QString path = qEnvironmentVariableIsSet("HATCHER_SAVE_SAMPLE")
                             ? qEnvironmentVariable("HATCHER_SAVE_SAMPLE")
                             : dir.filePath(QStringLiteral("schemat.dxf"));
    CadDocument.saveAs(path);
    const cad::Document again = automation::CadApplication.documents().open(path);
    const QList<Arrow> read = arrows(again.modelSpace());
    ASSERT_EQ(read.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(read[i].opis, all[i].opis);
        EXPECT_DOUBLE_EQ(read[i].distance, all[i].distance);
        EXPECT_DOUBLE_EQ(read[i].angle, all[i].angle);
    }
    // And ezdxf: effective name, attributes, values, and the arrow's drawn length.
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(SUITE_SOURCE_DIR "/tests/hatcher/read_transitions.py"), path});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList lines =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12) << p.readAllStandardError().toStdString();
    QSet<QString> ezdxfTexts;
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char('|'));
        ASSERT_EQ(f.size(), 8);
        EXPECT_EQ(f[0], QStringLiteral("dyn_przejscie_fazowe"));
        EXPECT_TRUE(f[1].startsWith(QStringLiteral("*U")));
        EXPECT_EQ(f[2], QStringLiteral("7"));
        ezdxfTexts.insert(f[3]);
        EXPECT_EQ(f[4], f[5]);
        EXPECT_NEAR(f[7].toDouble(), f[4].toDouble(), 1e-3);  // the arrow is as long as Distance
    }
    EXPECT_EQ(ezdxfTexts, texts);
}

TEST_F(Transitions, ConnectAllUsesTheLatestPictureOfEachPhaseAndStartsAfresh) {
    openSample();
    ASSERT_EQ(makePictures(-200).size(), 4);
    ASSERT_EQ(makePictures(-400).size(), 4);
    cmdConnectAll_Click(form);
    cmdConnectAll_Click(form);
    const QList<Arrow> all = arrows(CadModelSpace);
    ASSERT_EQ(all.size(), 12);  // no arrow between two pictures of one phase, none twice
    for (const Arrow& a : all) EXPECT_LT(a.at.y, -390);  // between the pictures of the later row
}

// Passes every call on to the CAD but refuses the n-th call of one member, as a drawing refuses one
// change it is asked for.
class RefusingOnce : public cad::Channel {
public:
    RefusingOnce(cad::Channel* inner, QString member, int n) : inner_(inner), member_(std::move(member)), n_(n) {}
    cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                      std::span<const cad::Variant> args) override {
        if (member == member_ && ++seen_ == n_) throw cad::Failed(QStringLiteral("zmiana tekstu odrzucona"));
        return inner_->call(object, member, kind, args);
    }

private:
    cad::Channel* inner_;
    QString member_;
    int n_, seen_ = 0;
};

// The drawing refuses the description of the third arrow: "connect all" names every arrow it lacks
// and why, and only the arrows it lacks.
TEST_F(Transitions, ConnectAllNamesTheArrowsTheDrawingRefused) {
    openSample();
    ASSERT_EQ(makePictures(-120).size(), 4);
    RefusingOnce refusing(automation::CadApplication.channel(), QStringLiteral("TextString"), 6);
    automation::CadApplication = cad::Application(&refusing);
    ASSERT_TRUE(automation::CheckDocumentOpen(false));
    prompts.clear();
    cmdConnectAll_Click(form);
    const QStringList said = prompts.messageTexts();
    ASSERT_EQ(said.size(), 1);
    QStringList labelled;
    for (const Arrow& a : arrows(CadModelSpace))
        if (a.opis.startsWith(QStringLiteral("PF ")) && a.nr == QStringLiteral("7")) labelled << a.opis;
    EXPECT_EQ(labelled.size(), 2);
    QStringList missing;
    for (int k = 1; k <= 4; ++k)
        for (int l = 1; l <= 4; ++l)
            if (k != l && !labelled.contains(QStringLiteral("PF %1-%2").arg(k).arg(l)))
                missing << QStringLiteral("PF %1-%2").arg(k).arg(l);
    ASSERT_EQ(missing.size(), 10);
    const QString text = said.first();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Nie utworzono przejść fazowych: "))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(".\nProgram CAD odmówił: zmiana tekstu odrzucona"))) << text.toStdString();
    const QStringList named = text.section(QLatin1Char('\n'), 0, 0)
                                  .mid(QStringLiteral("Nie utworzono przejść fazowych: ").size())
                                  .chopped(1)
                                  .split(QStringLiteral(", "));
    EXPECT_EQ(QSet<QString>(named.begin(), named.end()), QSet<QString>(missing.begin(), missing.end()));
    EXPECT_EQ(named.size(), missing.size());
}

TEST_F(Transitions, PickingTwoPicturesRefusesMismatches) {
    openSample();
    const QStringList pics = makePictures();
    ASSERT_EQ(pics.size(), 4);
    const cad::Entity other = fakePicture(QStringLiteral("Schemat_8_Faza2_500"), 0, -400);
    const cad::Entity other1 = fakePicture(QStringLiteral("Schemat_8_Faza1_501"), 50, -400);

    // 1 -> 2 of intersection 7, then a repeat of it: refused.
    picks.entity(pics[0]).entity(pics[1]).entity(pics[0]).entity(pics[1]);
    prompts.answerMessage(ui::Ok);
    cmdConnect_Click(form);
    EXPECT_EQ(arrows(CadModelSpace).size(), 1);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked().back().text, QStringLiteral("Istnieje już przejście fazowe PF 1-2"));

    // Pictures of two intersections: refused.
    picks.entity(pics[0]).entity(other.handle());
    prompts.answerMessage(ui::Ok);
    cmdConnect_Click(form);
    EXPECT_EQ(arrows(CadModelSpace).size(), 1);
    EXPECT_TRUE(prompts.asked().back().text.contains(QStringLiteral("różnych skrzyżowań")));

    // PF 1-2 of intersection 8 is not a repeat of intersection 7's; a cancelled pick ends quietly.
    picks.entity(other1.handle()).entity(other.handle()).cancel();
    cmdConnect_Click(form);
    EXPECT_EQ(arrows(CadModelSpace).size(), 2);
    EXPECT_EQ(conflictorTransitions(QStringLiteral("8")), (QSet<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(prompts.unexpected(), 0);
    EXPECT_EQ(CadDocument.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("SCHEMAT_FAZY"));

    // Removing intersection 8's transitions leaves intersection 7's.
    RemovePrzejscia(QStringLiteral("8"));
    EXPECT_EQ(arrows(CadModelSpace).size(), 1);
}

TEST_F(Transitions, PictureNamesAndTextAngles) {
    QString nr;
    int phase = 0;
    EXPECT_TRUE(PobierzNrSkrzyzFaze(QStringLiteral("Schemat_12_Faza3_7"), nr, phase));
    EXPECT_EQ(nr, QStringLiteral("12"));
    EXPECT_EQ(phase, 3);
    EXPECT_FALSE(PobierzNrSkrzyzFaze(QStringLiteral("Schemat_12_Faza3"), nr, phase));
    EXPECT_FALSE(PobierzNrSkrzyzFaze(QStringLiteral("Schemat_12_Faza0_1"), nr, phase));
    EXPECT_FALSE(PobierzNrSkrzyzFaze(QStringLiteral("Schemat__Faza1_1"), nr, phase));

    const cad::Entity a = fakePicture(QStringLiteral("Schemat_8_Faza1_1"), 0, 0);
    const cad::Entity b = fakePicture(QStringLiteral("Schemat_8_Faza2_2"), -100, -100);
    automation::EnsureTextStyle(QStringLiteral("ARIAL"), 1.5, QStringLiteral("arial"),
                                false);  // as the commands do
    InsertPhaseTransition(form, a, b, QStringLiteral("8"), 1, 2);
    cad::Entity arrow;
    ASSERT_TRUE(FindBlockReferenceByAttribute(QStringLiteral("`*U*"), arrow, QStringLiteral("opis"),
                                              QStringLiteral("pf 1-2"),
                                              QStringLiteral("DYN_PRZEJSCIE_FAZOWE")));
    cad::Entity opis;
    for (const cad::Entity& at : arrow.attributes())
        if (at.tagString() == QLatin1String("OPIS")) opis = at;
    // Pointing down-left (5π/4): the text turns by π to stay readable, below the arrow.
    EXPECT_NEAR(opis.rotation(), Pi / 4, 1e-9);
    EXPECT_EQ(opis.alignment(), 7);
    EXPECT_DOUBLE_EQ(opis.height(), 4);
    // The user turns the arrow; re-aligning follows its Angle.
    for (const cad::DynamicProperty& p : arrow.dynamicBlockProperties())
        if (p.propertyName() == QLatin1String("Angle")) p.setValue(Pi / 2 + 0.5);
    cmdAtrrsAngle_Click(form);
    EXPECT_NEAR(opis.rotation(), 2 * Pi - (Pi / 2 - 0.5), 1e-9);
}
