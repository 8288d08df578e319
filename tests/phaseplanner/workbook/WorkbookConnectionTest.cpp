// The workbook connection: how the intergreen workbook of a command is reached, one workbook kept
// between commands, the file rewritten on disk by another program, saving and the end of the run.
#include "WorkbookFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace phaseplanner::test {

using Connection = WorkbookFixture;

TEST_F(Connection, TheWorkbookNamedInTheDrawingIsOpenedAfterAQuestionAndKeptWithoutOne) {
    const QString path = write(SmallBook());
    ExcelWorkbookPath = path;
    prompts.answerMessage(ui::Yes);
    sheet::Workbook* first = open();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(QStringLiteral("Czy otworzyć plik:\n\"")));
    EXPECT_EQ(first->fullName(), QFileInfo(path).absoluteFilePath());

    // The next command: the same workbook, no question, even when the name differs in letter case.
    prompts.clear();
    ExcelWorkbookPath = path.toUpper();
    EXPECT_EQ(open(), first);
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(HeldWorkbook(), first);
    EXPECT_EQ(prompts.unexpected(), 0);
}

// Records the file dialog's request and answers it with a given path.
class FileDialogRecorder : public ui::PromptService {
public:
    explicit FileDialogRecorder(QString answer) : answer_(std::move(answer)) {
        previous_ = ui::SetPromptService(this);
    }
    ~FileDialogRecorder() override { ui::SetPromptService(previous_); }
    int message(const QString&, int, const QString&) override {
        ++messages;
        return ui::No;
    }
    std::optional<QString> input(const ui::InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const ui::FileRequest& request) override {
        requests.push_back(request);
        return answer_;
    }
    std::optional<QString> folder(const QString&, const QString&) override { return std::nullopt; }
    std::vector<ui::FileRequest> requests;
    int messages = 0;

private:
    QString answer_;
    ui::PromptService* previous_ = nullptr;
};

TEST_F(Connection, WithNothingNamedAndNothingHeldOnlyTheFileDialogInTheDrawingsFolderIsShown) {
    const QString path = write(SmallBook());
    QDir(dir.path()).mkpath(QStringLiteral("rysunki"));
    automation::CadDocument.saveAs(dir.filePath(QStringLiteral("rysunki/skrzyzowanie.dxf")));
    {
        FileDialogRecorder recorder(path);
        ASSERT_NE(open(), nullptr);
        EXPECT_EQ(recorder.messages, 0);
        ASSERT_EQ(recorder.requests.size(), 1u);
        EXPECT_EQ(recorder.requests[0].kind, ui::FileRequest::Open);
        EXPECT_EQ(recorder.requests[0].initialFolder, dir.filePath(QStringLiteral("rysunki")));
    }

    // Cancelling the dialog gives no workbook.
    ResetIntergreenWorkbook();
    prompts.clear();
    prompts.answerFile(std::nullopt);
    EXPECT_EQ(open(false), nullptr);
}

TEST_F(Connection, TheHeldWorkbookIsUsedAfterTheQuestionWhenTheDrawingNamesNone) {
    const QString path = write(SmallBook());
    prompts.answerFile(path);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    prompts.clear();
    prompts.answerMessage(ui::Yes);
    EXPECT_EQ(open(), book);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Czy pobierać dane z aktywnego skoroszytu?")});

    // The caller's own question; No leads to the file dialog.
    prompts.clear();
    prompts.answerMessage(ui::No);
    prompts.answerFile(std::nullopt);
    sheet::Workbook* none = nullptr;
    EXPECT_FALSE(
        OpenIntergreenWorkbook(none, true, QStringLiteral("Czy wstawiać dane do aktywnego skoroszytu?")));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Czy wstawiać dane do aktywnego skoroszytu?")});
    EXPECT_EQ(prompts.asked().back().kind, ui::ScriptedPrompts::Asked::File);
}

TEST_F(Connection, AMissingNamedFileIsReportedOnceAndTheDialogFollows) {
    ExcelWorkbookPath = dir.filePath(QStringLiteral("brak.xlsx"));
    const QString other = write(SmallBook(), QStringLiteral("inny.xlsx"));
    prompts.answerFile(other);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Nie znaleziono pliku:\n") + ExcelWorkbookPath});
    EXPECT_EQ(prompts.asked().back().kind, ui::ScriptedPrompts::Asked::File);

    // With that workbook kept, a missing file the drawing names by a path longer than any path is
    // reported once by its first 260 characters; the kept workbook is offered next.
    prompts.clear();
    ExcelWorkbookPath = dir.filePath(QString(300, QLatin1Char('a')) + QStringLiteral(".xlsx"));
    prompts.answerMessage(ui::Ok);
    prompts.answerMessage(ui::Yes);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({QStringLiteral("Nie znaleziono pliku:\n") + ExcelWorkbookPath.left(260) + QStringLiteral("…"),
                           QStringLiteral("Czy pobierać dane z aktywnego skoroszytu?")}));
}

TEST_F(Connection, TheNameOfTheSecondWorksheetDecides) {
    IntergreenBook b = SmallBook();
    b.matrixSheetName = QStringLiteral("matryca kolizji - wariant 2");
    prompts.answerFile(write(b, QStringLiteral("a.xlsx")));
    EXPECT_NE(open(), nullptr);

    b.matrixSheetName = QStringLiteral("Kopia MATRYCA KOLIZJI");
    ResetIntergreenWorkbook();
    prompts.answerFile(write(b, QStringLiteral("b.xlsx")));
    sheet::Workbook* book = nullptr;
    EXPECT_FALSE(OpenIntergreenWorkbook(book, true, QString()));
    ASSERT_NE(book, nullptr);  // the workbook chosen is returned all the same
    EXPECT_FALSE(IsIntergreenWorkbook(book));
    // and the user is told why it is not taken.
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts()[0].contains(
        QStringLiteral("Jego drugi arkusz nazywa się \"Kopia MATRYCA KOLIZJI\"")));
}

TEST_F(Connection, AFileRewrittenByAnotherProgramIsReadAgainBeforeTheNextCommand) {
    const QString path = write(SmallBook());
    ExcelWorkbookPath = path;
    prompts.answerMessage(ui::Yes);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->worksheets(2).cells(8, 20).value().toString(), QStringLiteral("1"));

    RewriteCell(path, 2, 8, 20, QStringLiteral("1, 3"));  // conflictor's phase export meanwhile
    EXPECT_TRUE(WorkbookChangedOnDisk());
    prompts.clear();
    sheet::Workbook* again = open();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(prompts.asked().empty());  // nothing unsaved here: read again without a question
    EXPECT_EQ(again->worksheets(2).cells(8, 20).value().toString(), QStringLiteral("1, 3"));
    EXPECT_FALSE(WorkbookChangedOnDisk());
}

TEST_F(Connection, UnsavedChangesAreNotDroppedWithoutAsking) {
    const QString path = write(SmallBook());
    ExcelWorkbookPath = path;
    prompts.answerMessage(ui::Yes);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    book->worksheets(3).cells(4, 3).setValue(12);  // this program's change, not saved
    RewriteCell(path, 2, 8, 20, QStringLiteral("2"));

    prompts.clear();
    prompts.answerMessage(ui::No);  // keep this program's copy
    sheet::Workbook* kept = open();
    ASSERT_EQ(kept, book);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(
        QStringLiteral("Plik skoroszytu został zmieniony przez inny program:")));
    EXPECT_EQ(kept->worksheets(3).cells(4, 3).value().toString(), QStringLiteral("12"));

    prompts.clear();
    prompts.answerMessage(ui::Yes);  // read it again
    sheet::Workbook* fresh = open();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->worksheets(2).cells(8, 20).value().toString(), QStringLiteral("2"));
    EXPECT_TRUE(fresh->worksheets(3).cells(4, 3).value().isEmpty());
}

TEST_F(Connection, SavingAsksAndReplacesTheFileInOneStep) {
    const QString path = write(SmallBook());
    prompts.answerFile(path);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    book->worksheets(3).cells(4, 3).setValue(17);

    prompts.answerMessage(ui::No);
    EXPECT_FALSE(SaveIntergreenWorkbook(true));
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QString());

    prompts.clear();
    prompts.answerMessage(ui::Yes);
    EXPECT_TRUE(SaveIntergreenWorkbook(true));
    EXPECT_TRUE(
        prompts.messageTexts().front().startsWith(QStringLiteral("Czy zapisać zmiany w skoroszycie:")));
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("17"));
    // No temporary file is left beside it, and the next command sees no change on disk.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("czasy.xlsx")});
    EXPECT_FALSE(WorkbookChangedOnDisk());
}

TEST_F(Connection, AWorkbookOpenInAnotherProgramIsSavedOnlyAfterAsking) {
    const QString path = write(SmallBook());
    prompts.answerFile(path);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    book->worksheets(3).cells(4, 3).setValue(17);
    // LibreOffice's lock file, then Excel's: each stops the save until the user says write anyway.
    for (const QString& lock : {QStringLiteral(".~lock.czasy.xlsx#"), QStringLiteral("~$czasy.xlsx")}) {
        QFile f(dir.filePath(lock));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        prompts.clear();
        prompts.answerMessage(ui::Yes);  // save the changes
        prompts.answerMessage(ui::No);   // not over the open file
        EXPECT_FALSE(SaveIntergreenWorkbook(true));
        ASSERT_EQ(prompts.messageTexts().size(), 2);
        EXPECT_TRUE(prompts.messageTexts()[1].startsWith(
            QStringLiteral("Skoroszyt jest otwarty w innym programie (LibreOffice lub Excel):")));
        EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QString());
        QFile::remove(dir.filePath(lock));
    }
    QFile(dir.filePath(QStringLiteral("~$czasy.xlsx"))).open(QIODevice::WriteOnly);
    prompts.clear();
    prompts.answerMessage(ui::Yes);
    prompts.answerMessage(ui::Yes);  // write anyway
    EXPECT_TRUE(SaveIntergreenWorkbook(true));
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("17"));
}

TEST_F(Connection, SavingOverAFileChangedMeanwhileOffersTheChoice) {
    const QString path = write(SmallBook());
    prompts.answerFile(path);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);

    // Not now: nothing saved, nothing read.
    book->worksheets(3).cells(4, 3).setValue(17);
    RewriteCell(path, 2, 8, 20, QStringLiteral("2"));
    prompts.answerMessage(ui::Cancel);
    EXPECT_FALSE(SaveIntergreenWorkbook(false));
    EXPECT_EQ(OpenpyxlCell(path, 2, 8, 20), QStringLiteral("2"));
    EXPECT_FALSE(book->saved());

    // Replace: this program's copy goes to the file.
    prompts.answerMessage(ui::Yes);
    EXPECT_TRUE(SaveIntergreenWorkbook(false));
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("17"));
    EXPECT_EQ(OpenpyxlCell(path, 2, 8, 20), QStringLiteral("1"));

    // Read again: the other program's file wins, this program's change is gone.
    HeldWorkbook()->worksheets(3).cells(4, 5).setValue(9);
    RewriteCell(path, 2, 8, 20, QStringLiteral("3"));
    prompts.answerMessage(ui::No);
    EXPECT_FALSE(SaveIntergreenWorkbook(false));
    ASSERT_NE(HeldWorkbook(), nullptr);
    EXPECT_TRUE(HeldWorkbook()->saved());
    EXPECT_EQ(HeldWorkbook()->worksheets(2).cells(8, 20).value().toString(), QStringLiteral("3"));
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 5), QString());
}

TEST_F(Connection, NothingIsSilentlyLostAtTheEnd) {
    const QString path = write(SmallBook());
    prompts.answerFile(path);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(CloseIntergreenWorkbook());  // nothing to save: no question
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    EXPECT_EQ(HeldWorkbook(), nullptr);

    prompts.answerFile(path);
    book = open();
    ASSERT_NE(book, nullptr);
    book->worksheets(3).cells(4, 3).setValue(21);
    prompts.answerMessage(ui::Cancel);
    EXPECT_FALSE(CloseIntergreenWorkbook());
    EXPECT_EQ(HeldWorkbook(), book);
    prompts.answerMessage(ui::Yes);
    EXPECT_TRUE(CloseIntergreenWorkbook());
    EXPECT_EQ(HeldWorkbook(), nullptr);
    EXPECT_EQ(OpenpyxlCell(path, 3, 4, 3), QStringLiteral("21"));
}

TEST_F(Connection, TakingAnotherWorkbookOffersTheUnsavedChangesOfTheHeldOne) {
    const QString first = write(SmallBook(), QStringLiteral("a.xlsx"));
    const QString second = write(SmallBook(), QStringLiteral("b.xlsx"));
    prompts.answerFile(first);
    sheet::Workbook* book = open();
    ASSERT_NE(book, nullptr);
    book->worksheets(3).cells(4, 3).setValue(5);

    prompts.clear();
    prompts.answerMessage(ui::No);   // not the held one
    prompts.answerFile(second);      // but this one
    prompts.answerMessage(ui::Yes);  // and save the first one's changes
    sheet::Workbook* other = open();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->fullName(), QFileInfo(second).absoluteFilePath());
    EXPECT_EQ(HeldWorkbook(), other);
    EXPECT_EQ(OpenpyxlCell(first, 3, 4, 3), QStringLiteral("5"));
    EXPECT_EQ(ExcelApplication().workbooks().count(), 1);
}

}  // namespace phaseplanner::test
