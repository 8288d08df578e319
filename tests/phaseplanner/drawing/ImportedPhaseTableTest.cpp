// A program imported from an intergreen workbook, drawn into a new table from the template, and its
// phase table: one period per phase of the chosen order, and every transition at least as long as
// the largest intergreen time from a group leaving with the phase to a group entering with the next
// (read from the book apart from the program). With PHASEPLANNER_PHASE_TABLE_DXF set, the drawing is
// saved there (the screenshot in docs/ is made from it).
#include "WorkbookFixture.h"
#include "common/SettingBindings.h"
#include "phaseplanner/drawing/PhaseTable.h"
#include "phaseplanner/drawing/ProgramAttributeBlock.h"
#include "phaseplanner/drawing/TableTemplate.h"
#include "phaseplanner/drawing/WorkbookImport.h"
#include "phaseplanner/workbook/PhaseSets.h"

#include <QRegularExpression>
#include <algorithm>

namespace phaseplanner::test {
namespace {

class ImportedPhaseTable : public WorkbookFixture {
protected:
    void SetUp() override {
        WorkbookFixture::SetUp();
        ResetProgramAttributeState();
        for (common::SettingBinding& b : common::SettingBindings) b = common::SettingBinding{};
        HeadlessPhaseSetChoice = 0;
        PhaseSetChooserHook = nullptr;
        TemplateFolder = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby");
    }
    void TearDown() override {
        TemplateFolder.clear();
        ResetProgramAttributeState();
        WorkbookFixture::TearDown();
    }
};

// Seven groups in three phases; a tram runs through phases 1 and 2.
IntergreenBook ThreePhaseBook() {
    IntergreenBook b;
    b.texts = {"K1, K1p", "K2", "K3, K3p", "K4", "P1a, P1b", "P2", "T1"};
    b.phases = {"1", "1", "2", "3", "2", "3", "1, 2"};
    b.minimumGreens = {0, 0, 0, 0, 9, 7, 0};
    b.sets = {{"V.1", "1, 2, 3"}};
    const int pairs[][3] = {{0, 2, 5}, {2, 0, 4}, {0, 3, 6}, {3, 0, 5}, {1, 2, 4}, {2, 1, 5}, {1, 4, 7},
                            {4, 1, 8}, {2, 3, 5}, {3, 2, 4}, {2, 5, 6}, {5, 2, 9}, {3, 4, 5}, {4, 3, 7},
                            {6, 3, 6}, {3, 6, 5}, {5, 0, 8}, {0, 5, 5}, {6, 5, 4}, {5, 6, 7}};
    for (const auto& p : pairs) b.set(p[0], p[1], p[2]);
    return b;
}

TEST_F(ImportedPhaseTable, EveryTransitionCoversTheIntergreenTimesOfItsPhases) {
    const IntergreenBook book = ThreePhaseBook();
    ExcelWorkbookPath = write(book);
    prompts.answerMessage(ui::Yes);  // open the named file
    prompts.answerMessage(ui::No);   // do not merge adjacent greens
    ASSERT_TRUE(frmMain_mnuGrupa_Excel_Click());
    ASSERT_EQ(DefinedGroupCount(), 7);
    const std::vector<int> order = ParsePhaseOrder(PhaseOrderText);
    ASSERT_EQ(order, (std::vector<int>{1, 2, 3}));

    IntersectionNumber = QStringLiteral("7");
    AddIntersectionNumber(IntersectionNumber, true);
    ASSERT_TRUE(WczytajTabele(0));  // a new drawing from the table template, the program drawn into it
    ASSERT_TRUE(ProgramTableOrigin.Known);

    prompts.answerInput(QStringLiteral("0"));
    ASSERT_TRUE(RysujFazy(false));
    EXPECT_EQ(prompts.unexpected(), 0);

    // The transitions drawn, read back from the drawing's texts.
    const QRegularExpression label(QStringLiteral("^PF (\\d+)-(\\d+) \\((-?\\d+)s\\)$"));
    int lines = 0, numbers = 0;
    QStringList transitions;
    for (const cad::Entity& e : automation::CadModelSpace.entities()) {
        if (e.layer() != PhaseTableLayer()) continue;
        if (e.objectName() == QLatin1String("AcDbLine")) ++lines;
        if (e.objectName() != QLatin1String("AcDbText")) continue;
        const QRegularExpressionMatch m = label.match(e.textString());
        if (!m.hasMatch()) {
            ++numbers;
            continue;
        }
        transitions << e.textString();
        const int from = m.captured(1).toInt(), to = m.captured(2).toInt(), length = m.captured(3).toInt();
        // The largest intergreen time from a group that leaves with phase `from` to one that enters
        // with phase `to` (groups in both phases run on).
        auto inPhase = [&](int g, int p) {
            const std::vector<int> phases = ParsePhaseOrder(book.phases[g]);
            return std::find(phases.begin(), phases.end(), p) != phases.end();
        };
        int needed = 0;
        for (int c = 0; c < book.groups(); ++c)
            for (int n = 0; n < book.groups(); ++n) {
                if (!inPhase(c, from) || inPhase(c, to) || !inPhase(n, to) || inPhase(n, from)) continue;
                const auto it = book.intergreen.find({c, n});
                if (it != book.intergreen.end()) needed = std::max(needed, it->second.toInt());
            }
        EXPECT_GE(length, needed) << e.textString().toStdString();
        EXPECT_GT(needed, 0) << e.textString().toStdString();
    }
    EXPECT_EQ(lines, 6);
    EXPECT_EQ(numbers, 3);
    EXPECT_TRUE(transitions.size() >= 2) << transitions.join(QStringLiteral("; ")).toStdString();
    for (const char* pair : {"PF 1-2 ", "PF 2-3 "})
        EXPECT_EQ(transitions.filter(QString::fromLatin1(pair)).size(), 1) << pair;

    const QString out = qEnvironmentVariable("PHASEPLANNER_PHASE_TABLE_DXF");
    if (!out.isEmpty()) automation::CadDocument.saveAs(out);
}

}  // namespace
}  // namespace phaseplanner::test
