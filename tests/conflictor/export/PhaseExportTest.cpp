// The phase export into a saved intergreen workbook: what it writes and clears, the check that the
// workbook belongs to this intersection, the question before saving and the on-disk change check.
#include "tests/conflictor/export/ExportFixture.h"

#include "platform/sheet/Package.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace conflictor::test {
namespace {

class PhaseExport : public ExportFixture {
protected:
    // An exported workbook of the crossing, with a crossing-table text where the old clearing reached.
    QString exported() {
        drawCrossing();
        EXPECT_EQ(cut(), CutOutcome::Done);
        const QString path = exportTo();
        sheet::Application other;
        sheet::Workbook& book = other.workbooks().open(path);
        book.worksheets(2).cells(40, 20).setValue(QStringLiteral("Przyjęto (s)"));
        book.worksheets(2).cells(8, 20).setValue(QStringLiteral("stare"));
        book.worksheets(2).cells(12, 23).setValue(QStringLiteral("stary zestaw"));
        book.save();
        return path;
    }
};

TEST_F(PhaseExport, WritesPhaseListsAndSetsAndSavesAfterAsking) {
    const QString path = exported();
    // The streams' phases change: group 1 runs in phases 1 and 3 now.
    SetStreamAttribute(QStringLiteral("FAZY"), QStringLiteral("K1"), QStringLiteral("1,3"), true);
    ASSERT_TRUE(OdczytajStrumienie(false, -1));
    prompts.clear();
    prompts.answerMessage(ui::Yes);  // no scheme: OK; then the question
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::Saved);
    EXPECT_TRUE(prompts.messageTexts().last().startsWith(QStringLiteral("Czy zapisać informacje o fazach")));

    sheet::Worksheet& ws = readBack(path).worksheets(2);
    EXPECT_EQ(ws.cells(8, 20).value().toString(), QStringLiteral("1,3"));
    EXPECT_EQ(ws.cells(9, 20).value().toString(), QStringLiteral("2"));
    EXPECT_EQ(ws.cells(8, 22).value().toString(), QStringLiteral("V.1"));
    EXPECT_EQ(ws.cells(8, 23).value().toString(), QStringLiteral("1, 2, 3"));
    // Cells it does not own stay.
    EXPECT_EQ(ws.cells(40, 20).value().toString(), QStringLiteral("Przyjęto (s)"));
    EXPECT_EQ(ws.cells(12, 23).value().toString(), QStringLiteral("stary zestaw"));
    EXPECT_EQ(ws.cells(8, 16).value().toString(), QStringLiteral("K1"));
}

TEST_F(PhaseExport, AnsweringNoOrAChangedFileLeavesTheFileAlone) {
    const QString path = exported();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    prompts.clear();
    prompts.answerMessage(ui::Ok);
    prompts.answerMessage(ui::No);
    EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::NotSaved);

    // Another program saves the workbook while the question is open.
    class ChangingPrompts : public ui::ScriptedPrompts {
    public:
        QString file;
        int message(const QString& text, int flags, const QString& title) override {
            if (text.startsWith(QStringLiteral("Czy zapisać"))) {
                QThread::msleep(20);
                QFile out(file);
                out.open(QIODevice::Append);
                out.write("x");
            }
            return ui::ScriptedPrompts::message(text, flags, title);
        }
    } changing;
    changing.file = path;
    changing.answerMessage(ui::Ok);
    changing.answerMessage(ui::Yes);
    ui::PromptService* previous = ui::SetPromptService(&changing);
    EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::ChangedOnDisk);
    ui::SetPromptService(previous);
    EXPECT_TRUE(
        changing.messageTexts().last().startsWith(QStringLiteral("Skoroszyt został zmieniony na dysku")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before + "x");
}

// A workbook LibreOffice or Excel holds open: after "Czy zapisać", a second question whose default
// (Enter) leaves the file alone; only Yes writes it.
TEST_F(PhaseExport, AWorkbookOpenInAnotherProgramIsWrittenOnlyAfterASecondYes) {
    const QString path = exported();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    const QString name = QFileInfo(path).fileName();
    for (const QString& lockName : {QStringLiteral(".~lock.") + name + QLatin1Char('#'), QStringLiteral("~$") + name}) {
        SCOPED_TRACE(lockName.toStdString());
        QFile lock(dir.filePath(lockName));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.close();
        prompts.clear();
        prompts.answerMessage(ui::Ok);   // no scheme
        prompts.answerMessage(ui::Yes);  // "Czy zapisać informacje o fazach"; the next is left to its default
        EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::NotSaved);
        EXPECT_TRUE(prompts.messageTexts().last().startsWith(
            QStringLiteral("Skoroszyt jest otwarty w innym programie (LibreOffice lub Excel):")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before);
        f.close();
        lock.remove();
    }
    QFile lock(dir.filePath(QStringLiteral(".~lock.") + name + QLatin1Char('#')));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    prompts.clear();
    prompts.answerMessage(ui::Ok);
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::Saved);
}

TEST_F(PhaseExport, RefusesAWorkbookOfAnotherIntersectionOrKind) {
    const QString path = exported();
    IntersectionNumber = QStringLiteral("13");
    prompts.clear();
    EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::NotIntergreenWorkbook);
    EXPECT_TRUE(prompts.messageTexts().value(0).startsWith(
        QStringLiteral("Wybrany skoroszyt nie jest skoroszytem czasów międzyzielonych skrzyżowania 13")));

    sheet::Application other;
    sheet::Workbook& plain = other.workbooks().add();
    plain.saveAs(dir.filePath(QStringLiteral("plain.xlsx")));
    IntersectionNumber = QStringLiteral("12");
    EXPECT_EQ(ExportPhasesToWorkbook(dir.filePath(QStringLiteral("plain.xlsx"))),
              PhaseExportOutcome::NotIntergreenWorkbook);
}

// A workbook another program left with a cell no spreadsheet holds is refused naming the cell, and the
// file stays as it is: nothing is written back over what could not be read.
TEST_F(PhaseExport, AWorkbookWithADamagedCellIsRefusedNamingItAndLeftAlone) {
    const QString path = exported();
    sheet::Package package = sheet::Package::read(path);
    QByteArray sheet = package.part(QStringLiteral("xl/worksheets/sheet2.xml"));
    ASSERT_TRUE(sheet.contains("</sheetData>"));
    sheet.replace("</sheetData>", "<row r=\"1000\"><c r=\"A1000\"><v>nan</v></c></row></sheetData>");
    package.setPart(QStringLiteral("xl/worksheets/sheet2.xml"), sheet);
    package.write(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    prompts.clear();
    EXPECT_EQ(ExportPhasesToWorkbook(path), PhaseExportOutcome::Failed);
    EXPECT_TRUE(prompts.messageTexts().value(0).contains(
        QStringLiteral("Błędna liczba \"nan\" w komórce A1000 arkusza ")))
        << prompts.messageTexts().value(0).toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(PhaseExport, OffersTheLastExportedWorkbookThenTheFileDialog) {
    const QString path = exported();
    prompts.clear();
    prompts.answerMessage(ui::No);     // not the last exported one
    prompts.answerFile(std::nullopt);  // and the dialog cancelled
    EXPECT_EQ(ExportPhasesToWorkbook(), PhaseExportOutcome::Cancelled);
    EXPECT_TRUE(prompts.messageTexts().value(0).startsWith(
        QStringLiteral("Czy informacje o fazach eksportować do otwartego skoroszytu?")));
}

}  // namespace
}  // namespace conflictor::test
