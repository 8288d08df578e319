// The layer-set file, the resource folder, the staged progress bar (kept within its range), the
// attribute helpers and loading the transition block from its drawing file.
#include "HatcherFixture.h"

#include "hatcher/core/PhasePictures.h"
#include "hatcher/core/PhaseTransitions.h"

#include <QFile>

using namespace hatcher;
using namespace hatcher::test;
using automation::CadDocument;
using automation::CadModelSpace;

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("zestawy_warstw.txt"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

}  // namespace

TEST(LayerSetFile, ReadsSetsInFileOrderAndWritesThemInSetOrder) {
    QTemporaryDir dir;
    LayerSetTable sets;
    const QString path = writeFile(dir, "przed\r\n<ZESTAW2>\r\nK\r\n<ZESTAW1>\r\nO\r\n\r\nJEZDNIE \r\n");
    QStringList problems;
    ASSERT_TRUE(ReadLayerSets(path, sets, &problems));
    EXPECT_TRUE(problems.isEmpty());
    EXPECT_EQ(LayerSetNames(sets, 1), QStringList{QStringLiteral("K")});
    EXPECT_EQ(sets[0][1], QString());  // an empty line takes a slot
    EXPECT_EQ(LayerSetNames(sets, 0), (QStringList{QStringLiteral("O"), QStringLiteral("JEZDNIE ")}));
    ASSERT_TRUE(WriteLayerSets(path, sets));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray(
                  "<ZESTAW1>\r\nO\r\nJEZDNIE \r\n<ZESTAW2>\r\nK\r\n<ZESTAW3>\r\n<ZESTAW4>\r\n<ZESTAW5>\r\n"));
    EXPECT_TRUE(LayerSetNames(sets, 7).isEmpty());
}

TEST(LayerSetFile, RefusesWhatItCannotHold) {
    QTemporaryDir dir;
    QByteArray text = "<ZESTAW9>\r\nA\r\n<ZESTAWx>\r\nB\r\n<ZESTAW0>\r\nC\r\n<ZESTAW3>\r\n";
    for (int i = 0; i < 52; ++i) text += "W" + QByteArray::number(i) + "\r\n";
    LayerSetTable sets;
    QStringList problems;
    ASSERT_TRUE(ReadLayerSets(writeFile(dir, text), sets, &problems));
    EXPECT_EQ(problems.size(), 3 + 2);  // three bad headers, two names past the 50th
    EXPECT_EQ(LayerSetNames(sets, 2).size(), 50);
    EXPECT_EQ(sets[2][49], QStringLiteral("W49"));
    for (int i : {0, 1, 3, 4}) EXPECT_TRUE(LayerSetNames(sets, i).isEmpty());
    EXPECT_FALSE(ReadLayerSets(dir.filePath(QStringLiteral("brak.txt")), sets));

    // A header and a name of a megabyte are quoted by their first 40 characters.
    QTemporaryDir big;
    QByteArray huge = "<ZESTAWx" + QByteArray(1 << 20, 'h') + "\r\n<ZESTAW1>\r\n";
    for (int i = 0; i < 50; ++i) huge += "W\r\n";
    huge += QByteArray(1 << 20, 'n') + "\r\n";
    problems.clear();
    ASSERT_TRUE(ReadLayerSets(writeFile(big, huge), sets, &problems));
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems[0], QStringLiteral("Niepoprawny nagłówek zestawu w wierszu 1: <ZESTAWx") +
                               QString(32, QLatin1Char('h')) + QStringLiteral("…"));
    EXPECT_EQ(problems[1], QStringLiteral("Zestaw 1 może zawierać najwyżej 50 warstw; pominięto: ") +
                               QString(40, QLatin1Char('n')) + QStringLiteral("…"));
}

TEST(LayerSetFile, PolishNamesInTheAnsiCodePage) {
    QTemporaryDir dir;
    LayerSetTable sets;
    sets[0][0] = QStringLiteral("ŚCIEŻKI_ROWEROWE");
    const QString path = dir.filePath(QStringLiteral("z.txt"));
    ASSERT_TRUE(WriteLayerSets(path, sets));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        f.readAll().contains("\x8c"
                             "CIE\xaf"
                             "KI"));
    LayerSetTable back;
    ASSERT_TRUE(ReadLayerSets(path, back));
    EXPECT_EQ(back[0][0], QStringLiteral("ŚCIEŻKI_ROWEROWE"));
}

TEST(Progress, StagesAndStepsStayWithinTheBar) {
    HeadlessForm bar;
    ProgressInit(2, bar);
    EXPECT_EQ(bar.max, 200);
    ProgressSetStepCount(3);
    ProgressStep();
    EXPECT_EQ(bar.val, 33);
    ProgressStep();
    ProgressStep();
    EXPECT_EQ(bar.val, 100);
    ProgressStep();  // one step too many stays at the stage's end
    EXPECT_EQ(bar.val, 100);
    ProgressNextStage();
    ProgressSetStepCount(7);
    for (int i = 0; i < 10; ++i) ProgressStep();
    EXPECT_EQ(bar.val, 200);
    ProgressNextStage();
    ProgressNextStage();
    EXPECT_EQ(bar.val, 200);  // clamped to the maximum
    EXPECT_LE(bar.highest, bar.max);
}

TEST(Folders, TemplateFolderUnderTheSuite) {
    EXPECT_EQ(GetTemplateFolder(QStringLiteral("/opt/suite/"), 0),
              QStringLiteral("/opt/suite/Tesmar/Zasoby"));
    EXPECT_EQ(GetTemplateFolder(QStringLiteral("/opt/suite"), 1),
              QStringLiteral("/opt/suite/Zasoby/System/Formatki"));
    ui::ScriptedPrompts prompts;
    prompts.answerMessage(ui::Ok);
    EXPECT_EQ(GetTemplateFolder(QStringLiteral("/opt/suite"), 2), QString());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(GetSuiteFolder(QStringLiteral("/opt/suite/Tesmar/bin")), QStringLiteral("/opt/suite"));
}

using Services = HatcherFixture;

TEST_F(Services, TransitionBlockLoadsOnceFromItsDrawing) {
    LoadBlockFromDrawingFile(QLatin1String(TransitionBlockName), form.transitionTemplatePath, QString(),
                             QString());
    ASSERT_TRUE(automation::CheckBlockExists(QLatin1String(TransitionBlockName)));
    EXPECT_EQ(CadModelSpace.count(), 0);  // the temporary reference is gone
    int tags = 0;
    for (const cad::Entity& e : CadDocument.blocks().item(QLatin1String(TransitionBlockName)).entities())
        if (e.objectName() == QLatin1String("AcDbAttributeDefinition")) ++tags;
    EXPECT_EQ(tags, 2);  // SKRZYZOWANIE and OPIS, not added twice
    // Present already: the file is not read again (a missing file would be reported).
    LoadBlockFromDrawingFile(QLatin1String(TransitionBlockName), QStringLiteral("/brak/dyn_wzorzec.dwg"),
                             QString(), QString());
    EXPECT_TRUE(prompts.asked().empty());
    prompts.answerMessage(ui::Ok);
    LoadBlockFromDrawingFile(QStringLiteral("inny"), QStringLiteral("/brak/inny.dwg"), QStringLiteral("Okno"),
                             QString());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("Nie znaleziono pliku ze znakiem: \n/brak/inny.dwg"));
    EXPECT_EQ(prompts.asked()[0].title, QStringLiteral("Okno"));
}

TEST_F(Services, AttributePlacementKeepsRotationOnMinusOne) {
    defineBlock(QStringLiteral("B"), {{QStringLiteral("OPIS"), QStringLiteral("x")}});
    const cad::Entity r = insert(QStringLiteral("B"));
    cad::Entity a = r.attributes().value(0);
    a.setRotation(0.3);
    automation::EnsureTextStyle(QStringLiteral("ARIAL"), 1.5, QStringLiteral("arial"), false);
    SetAttributeTextPlacement(r, QStringLiteral("opis"), {5, 6, 0}, -1, 2.5, true, QStringLiteral("ARIAL"),
                              QString(), 13);
    EXPECT_FALSE(a.invisible());
    EXPECT_DOUBLE_EQ(a.rotation(), 0.3);
    EXPECT_DOUBLE_EQ(a.height(), 2.5);
    EXPECT_EQ(a.textAlignmentPoint(), (cad::Point{5, 6, 0}));
    EXPECT_EQ(a.color(), 7);
    SetAttributeTextPlacement(r, QStringLiteral("OPIS"), {0, 0, 0}, 0, 1, false, QString(), QString(), 0);
    EXPECT_TRUE(a.invisible());
    EXPECT_EQ(a.textAlignmentPoint(), (cad::Point{5, 6, 0}));  // hiding leaves the placement
}

TEST(PatternFilter, SearchLayersOrAllButTheTrafficLayers) {
    const cad::SelectionFilter chosen = PatternLayerFilter(1, {QStringLiteral("A"), QStringLiteral("B#1")});
    EXPECT_EQ(chosen.codes, (QList<int>{-4, 8, 8, -4}));
    EXPECT_EQ(chosen.values[0].toText(), QStringLiteral("<or"));
    EXPECT_EQ(chosen.values[2].toText(), QStringLiteral("B`#1"));  // a name matches only itself
    EXPECT_EQ(chosen.values[3].toText(), QStringLiteral("or>"));
    const cad::SelectionFilter all = PatternLayerFilter(0, {});
    EXPECT_EQ(all.codes.size(), 20);
    EXPECT_EQ(all.values.size(), 20);  // 40 entries as codes and values
    EXPECT_EQ(all.values[2].toText(), QStringLiteral("113-STRUMIENIE_RUCHU"));
    EXPECT_EQ(all.codes[2], 8);
    EXPECT_TRUE(IsNameInList(QStringLiteral("a"), {QStringLiteral("a")}));
    EXPECT_FALSE(IsNameInList(QStringLiteral("A"), {QStringLiteral("a")}));
    EXPECT_FALSE(IsNameInList(QString(), {QString()}));
}
