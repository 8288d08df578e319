// The developer tool's check: a program drawn into a table template and checked against a workbook
// written here prints every pair with its measured and required time; a green one second early makes
// exactly its pair wrong.
#include "IntergreenBooks.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace phaseplanner::test {

namespace {
const QString kTool = QStringLiteral(SUITE_BINARY_DIR "/tools/phaseplanner-headless/phaseplanner-headless");

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun runTool(const QStringList& args) {
    QProcess p;
    p.start(kTool, args);
    ToolRun r;
    if (!p.waitForFinished(60000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

// The names of the block references in a saved drawing's model space, as ezdxf reads them.
QStringList insertNames(const QString& dxf) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import ezdxf,sys\n"
                            "for r in ezdxf.readfile(sys.argv[1]).modelspace().query('INSERT'): "
                            "print(r.dxf.name)"),
             dxf});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {QStringLiteral("<ezdxf failed>")};
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

const QString kTemplate = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf");

// The printed pair lines.
QStringList pairLines(const QString& out) {
    QStringList lines;
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral(" -> "))) lines << line;
    return lines;
}
}  // namespace

TEST(PhaseplannerHeadlessCheck, PrintsEveryPairAndOnlyTheWrongOnes) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    WriteIntergreenBook(SmallBook(), book);
    // K1 -> K2 4 s, K2 -> K1 5 s, P1 -> K2 7 s, K2 -> P1 3 s
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    auto writeProgram = [&](const char* k2Green) {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | ") + k2Green +
                " | \nGRUPA 3 | 1 | P1 | 47+10 | \n");
    };
    writeProgram("24+16");
    const QString drawing = dir.filePath(QStringLiteral("program.dxf"));
    ToolRun r = runTool({QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf"),
                         QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                         program, QStringLiteral("--check"), book, QStringLiteral("--save"), drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pairLines(r.out), QStringList({"1K -> 2K: zmierzony 4 s, wymagany 4 s (0)",
                                             "2K -> 1K: zmierzony 20 s, wymagany 5 s (+15)",
                                             "2K -> 3P: zmierzony 7 s, wymagany 3 s (+4)",
                                             "3P -> 2K: zmierzony 27 s, wymagany 7 s (+20)"}));
    EXPECT_TRUE(r.out.contains(QStringLiteral("czasów za krótkich: 0")));

    // K2 one second earlier: only the pair into it from K1 is short. The number typed with a blank
    // before it is the same intersection for every command.
    writeProgram("23+17");
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral(" 7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check-wrong"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pairLines(r.out), QStringList({"1K -> 2K: zmierzony 3 s, wymagany 4 s (-1)"}));

    // A program imported from the workbook (the drawing now names it) keeps every intergreen of it.
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--import"),
                 book, QStringLiteral("--wrysuj"), QStringLiteral("--check"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pairLines(r.out).size(), 4);
    for (const QString& line : pairLines(r.out))
        EXPECT_FALSE(line.contains(QStringLiteral("(-"))) << line.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("czasów za krótkich: 0")));
    // Its K2 green a second longer: only K2 -> K1 breaks, measured across the cycle end into K1's
    // green at the start of the next cycle.
    QStringList imported;
    for (const QString& line : r.out.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("CYKL")) || line.startsWith(QStringLiteral("GRUPA")))
            imported << line;
    ASSERT_EQ(imported.size(), 4);
    const QStringList k2 = imported[2].split(QStringLiteral(" | "));
    ASSERT_EQ(k2.size(), 5);
    const QStringList green = k2[3].split(QLatin1Char('+'));
    ASSERT_EQ(green.size(), 2);
    imported[2] =
        QStringList({k2[0], k2[1], k2[2], green[0] + "+" + QString::number(green[1].toInt() + 1), k2[4]})
            .join(QStringLiteral(" | "));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((imported.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    }
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check-wrong"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList wrong = pairLines(r.out);
    ASSERT_EQ(wrong.size(), 1) << r.out.toStdString();
    EXPECT_TRUE(wrong[0].startsWith(QStringLiteral("2K -> 1K: zmierzony 4 s, wymagany 5 s (-1)")));

    // Without --draw the program is read back from the drawing (the first, still saved there).
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"),
                 QStringLiteral("--check-wrong"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(pairLines(r.out).isEmpty());
}

// The workbook given to --import is the one imported, whether the drawing names no workbook (the bare
// table template) or another one.
TEST(PhaseplannerHeadlessCheck, ImportsTheGivenWorkbookWhateverTheDrawingNames) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString other = dir.filePath(QStringLiteral("inny.xlsx"));
    WriteIntergreenBook(SmallBook(), book);
    WriteIntergreenBook(SmallBook(), other);
    const QString drawing = dir.filePath(QStringLiteral("program.dxf"));
    ToolRun r = runTool({QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf"),
                         QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--import"),
                         other, QStringLiteral("--wrysuj"), QStringLiteral("--save"), drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Zaimportowano grupy: 3"))) << r.out.toStdString();

    // The saved drawing names inny.xlsx; importing czasy.xlsx refuses the named one and takes the given.
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--import"),
                 book, QStringLiteral("--wrysuj"), QStringLiteral("--save"), drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("inny.xlsx"))) << r.err.toStdString();  // the question asked
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--read"),
                 QStringLiteral("--check"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("czasów za krótkich: 0"))) << r.out.toStdString();
}

// Phase numbers the phase editor makes after 9 (10, and 21 for a copy without pedestrians) import;
// a pedestrian green shorter than its 4 s of flashing is drawn and read back whole.
TEST(PhaseplannerHeadlessCheck, ImportsHighPhaseNumbersAndReadsShortGreensBack) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString templ = QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf");
    IntergreenBook b21 = SmallBook();
    b21.phases = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("21")};
    b21.sets = {{QStringLiteral("V.1"), QStringLiteral("1, 2, 21")}};
    IntergreenBook ten = TenPhaseBook([](int, int) { return 3; });
    ten.sets = {{QStringLiteral("V.1"), ten.phases.join(QStringLiteral(", "))}};
    for (const auto& [book, groups] : {std::pair{b21, 3}, std::pair{ten, 10}}) {
        const QString path = dir.filePath(QStringLiteral("czasy%1.xlsx").arg(groups));
        WriteIntergreenBook(book, path);
        const ToolRun r = runTool({templ, QStringLiteral("--intersection"), QStringLiteral("7"),
                                   QStringLiteral("--import"), path, QStringLiteral("--wrysuj"),
                                   QStringLiteral("--check"), path});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("Zaimportowano grupy: %1").arg(groups))) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("czasów za krótkich: 0"))) << r.out.toStdString();
    }

    const QString program = dir.filePath(QStringLiteral("program.txt"));
    const QString text = QStringLiteral("CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 1 | P1 | 30+3 | \n");
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    const QString drawing = dir.filePath(QStringLiteral("short.dxf"));
    ToolRun r = runTool({templ, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                         program, QStringLiteral("--save"), drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--read")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(text)) << r.out.toStdString();
}

// Groups are held against the workbook by position: one whose head symbols differ there, and one the
// workbook does not list, are named after the summary and the tool ends with status 3.
TEST(PhaseplannerHeadlessCheck, GroupsDifferingFromTheWorkbookAreListedNeverACleanResult) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    WriteIntergreenBook(SmallBook(), book);
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(
            "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
            "GRUPA 3 | 1 | P1, P3 | 47+10 | \nGRUPA 4 | 0 | K9 | 30+5 | \n");
    }
    const ToolRun r = runTool({QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Program_12grup.dxf"),
                               QStringLiteral("--intersection"), QStringLiteral("7"),
                               QStringLiteral("--draw"), program, QStringLiteral("--check"), book});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    // Group 3 is measured by its position all the same.
    EXPECT_TRUE(pairLines(r.out).contains(QStringLiteral("2K -> 3P: zmierzony 7 s, wymagany 3 s (+4)")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Sprawdzenie czasów międzyzielonych jest niepełne.")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("grupa 3: w programie \"P1, P3\", w skoroszycie \"P1\"\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("grupa 4: w programie \"K9\", w skoroszycie brak grupy - jej par nie sprawdzono")));
}

// The matrix names its rows and columns by their streams: a group list whose rows were swapped (the
// matrix untouched) would give K2 the intergreens of P1. The import and the check refuse it, naming
// the rows; a program imported before the swap is never checked against it.
TEST(PhaseplannerHeadlessCheck, AGroupListDisagreeingWithTheMatrixLabelsIsRefusedNamingTheRows) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    WriteIntergreenBook(SmallBook(), book);
    const QString drawing = dir.filePath(QStringLiteral("program.dxf"));
    ToolRun r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"),
                         QStringLiteral("--import"), book, QStringLiteral("--wrysuj"), QStringLiteral("--save"),
                         drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // K2 and P1 swapped in the list (column P of rows 9 and 10).
    RewriteCell(book, 2, 9, 16, sheet::Value(QStringLiteral("P1")));
    RewriteCell(book, 2, 10, 16, sheet::Value(QStringLiteral("K2")));
    const QString refusal = QStringLiteral(
        "Błąd w danych arkusza Excel!\nWykaz grup w arkuszu \"MATRYCA KOLIZJI\" nie zgadza się z opisami "
        "matrycy kolizji, więc nie wiadomo, którego wiersza matrycy dotyczy grupa:\n"
        "wiersz 9: w wykazie grup (P9) \"P1\", w opisie wiersza matrycy (A9) \"K2\", w opisie kolumny "
        "matrycy (D6) \"K2\"\n"
        "wiersz 10: w wykazie grup (P10) \"K2\", w opisie wiersza matrycy (A10) \"P1\", w opisie kolumny "
        "matrycy (E6) \"P1\"\n"
        "Popraw wykaz grup albo wyeksportuj skoroszyt ponownie.\n");
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--check"),
                 book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(refusal)) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Par grup kolizyjnych"))) << r.out.toStdString();
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--import"),
                 book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(refusal)) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Zaimportowano"))) << r.out.toStdString();

    // A row label changed by hand is named alone; blanks and letter case are no difference.
    WriteIntergreenBook(SmallBook(), book);
    RewriteCell(book, 2, 8, 1, sheet::Value(QStringLiteral(" k1 ")));
    RewriteCell(book, 2, 10, 1, sheet::Value(QStringLiteral("P3")));
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--check"),
                 book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral(
        "wiersz 10: w wykazie grup (P10) \"P1\", w opisie wiersza matrycy (A10) \"P3\", w opisie kolumny "
        "matrycy (E6) \"P1\"\nPopraw")))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("wiersz 8:"))) << r.err.toStdString();
}

// A cell the matrix holds no required time in is never read as "no conflict": one typed blank makes
// the import stop naming it and the check incomplete; a negative or too large time is counted as
// unchecked too, down to -1 and from 32768; the cells of a group the program does not hold are not
// counted, as that group's pairs are named unchecked already.
TEST(PhaseplannerHeadlessCheck, EveryUnusableMatrixCellIsNamedOrCounted) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
                       "GRUPA 3 | 1 | P1 | 47+10 | \n");
    IntergreenBook blank = SmallBook();
    blank.intergreen[{0, 2}] = QStringLiteral("   ");  // K1 -> P1: row of P1, column of K1
    WriteIntergreenBook(blank, book);
    ToolRun r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"),
                         QStringLiteral("--import"), book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral(
        "Błąd w danych arkusza Excel!\nKomórka matrycy kolizji C10 nie zawiera liczby całkowitej: \"   \".")))
        << r.err.toStdString();
    r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check"), book});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Komórka matrycy kolizji C10 nie zawiera liczby całkowitej")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Sprawdzenie czasów międzyzielonych jest niepełne.\n"
                                              "Komórek matrycy kolizji bez poprawnego czasu: 1 - tych par nie "
                                              "sprawdzono.\n")))
        << r.out.toStdString();

    IntergreenBook outOfRange = SmallBook();
    outOfRange.intergreen[{0, 1}] = QStringLiteral("-1");     // K1 -> K2
    outOfRange.intergreen[{1, 0}] = QStringLiteral("32768");  // K2 -> K1
    WriteIntergreenBook(outOfRange, book);
    r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check"), book});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(pairLines(r.out), QStringList({"2K -> 3P: zmierzony 7 s, wymagany 3 s (+4)",
                                             "3P -> 2K: zmierzony 27 s, wymagany 7 s (+20)"}));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Komórek matrycy kolizji bez poprawnego czasu: 2 - tych par nie "
                                              "sprawdzono.")))
        << r.out.toStdString();

    // K2 deleted from the program (its record left free): its pairs are named unchecked, and a bad cell
    // in its column is not counted a second time.
    IntergreenBook k2Cell = SmallBook();
    k2Cell.intergreen[{1, 0}] = QStringLiteral("pięć");  // K2 -> K1
    WriteIntergreenBook(k2Cell, book);
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 3 | 1 | P1 | 47+10 | \n");
    r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check"), book});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("grupa 2: w programie brak grupy, w skoroszycie \"K2\" - jej par nie sprawdzono")))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Komórek matrycy kolizji"))) << r.out.toStdString();
}

// Workbooks written by scripts carry no values beside their formulas: a matrix cell whose formula
// gives no number stops the import and leaves the check incomplete, naming the cell and the formula.
TEST(PhaseplannerHeadlessCheck, AMatrixFormulaWithoutANumberIsNamedNeverNoConflict) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
                       "GRUPA 3 | 1 | P1 | 47+10 | \n");
    WriteIntergreenBook(SmallBook(), book);
    // K1 -> K2 and K2 -> K1, the cells C9 and D8.
    ASSERT_TRUE(RewriteFormulasAsScript(book, {{QStringLiteral("C9"), QStringLiteral("=NA()")},
                                               {QStringLiteral("D8"), QStringLiteral("=NA()")}}));
    const QString named = QStringLiteral(
        "Błąd w danych arkusza Excel!\nKomórka matrycy kolizji D8 zawiera formułę, której nie można obliczyć: "
        "\"=NA()\".");
    ToolRun r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"),
                         QStringLiteral("--import"), book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(named)) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Zaimportowano"))) << r.out.toStdString();
    r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check"), book});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(named)) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Komórek matrycy kolizji bez poprawnego czasu: 2 - tych par nie "
                                              "sprawdzono.")))
        << r.out.toStdString();
    // Computed, the same formulas' cells are times like any other.
    ASSERT_TRUE(RewriteFormulasAsScript(book, {{QStringLiteral("C9"), QStringLiteral("=CEILING(3.2,1)")},
                                               {QStringLiteral("D8"), QStringLiteral("=MROUND(9,2)")}}));
    r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--check"), book});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Komórek matrycy kolizji"))) << r.out.toStdString();
}

// A program drawn anew never stands beside the results of the check made on the one before: the
// result texts and the group graphs of the intersection go with the old drawing.
TEST(PhaseplannerHeadlessCheck, ARedrawnProgramTakesTheLastChecksResultsAway) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    WriteIntergreenBook(SmallBook(), book);
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
                       "GRUPA 3 | 1 | P1 | 47+10 | \n");
    const QString drawing = dir.filePath(QStringLiteral("program.dxf"));
    ToolRun r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"),
                         QStringLiteral("--draw"), program, QStringLiteral("--check"), book,
                         QStringLiteral("--save"), drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(r.out.contains(QStringLiteral("czasów za krótkich: 0")));
    ASSERT_TRUE(insertNames(drawing).contains(QStringLiteral("CZASMIEDZYZIELONY_7")));

    // K2 green together with K1: drawn, not checked.
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 10+16 | \n"
                       "GRUPA 3 | 1 | P1 | 47+10 | \n");
    r = runTool({drawing, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                 program, QStringLiteral("--save"), drawing});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList names = insertNames(drawing);
    EXPECT_FALSE(names.contains(QStringLiteral("CZASMIEDZYZIELONY_7"))) << names.join(' ').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("ATRYBUTY_PROGRAMU_7"))) << names.join(' ').toStdString();
}

}  // namespace phaseplanner::test

namespace phaseplanner::test {

// A matrix cell whose formula the engine did not compute (nested past its limit, reading another
// workbook, a shared formula whose master is missing) holds only the number another program cached:
// never checked or imported as a time. K2 -> K1 (D8) caches 99 where its formula gives 5.
TEST(PhaseplannerHeadlessCheck, ACachedValueTheEngineDidNotComputeIsNeverATime) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
                       "GRUPA 3 | 1 | P1 | 47+10 | \n");
    const std::vector<std::pair<QString, QString>> kinds{
        {DeeplyNestedFormulaXml(5), QStringLiteral("\"=") + QString(39, QLatin1Char('(')) + QStringLiteral("…\"")},
        {QStringLiteral("<f>[1]Arkusz!A1</f>"), QStringLiteral("\"=[1]Arkusz!A1\"")},
        {QStringLiteral("<f t=\"shared\" si=\"7\"/>"), QStringLiteral("\"=\"")}};
    for (const auto& [formula, shown] : kinds) {
        SCOPED_TRACE(shown.toStdString());
        WriteIntergreenBook(SmallBook(), book);
        ASSERT_TRUE(RewriteCellsAsForeignProgram(book, {{QStringLiteral("D8"), formula, QStringLiteral("99")}}));
        const QString named = QStringLiteral("Komórka matrycy kolizji D8 zawiera formułę, której nie można "
                                             "obliczyć: ") + shown + QLatin1Char('.');
        ToolRun r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"),
                             QStringLiteral("--draw"), program, QStringLiteral("--check"), book});
        EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(named)) << r.err.toStdString();
        EXPECT_EQ(pairLines(r.out), QStringList({"1K -> 2K: zmierzony 4 s, wymagany 4 s (0)",
                                                 "2K -> 3P: zmierzony 7 s, wymagany 3 s (+4)",
                                                 "3P -> 2K: zmierzony 27 s, wymagany 7 s (+20)"}));
        EXPECT_TRUE(r.out.contains(QStringLiteral("Sprawdzenie czasów międzyzielonych jest niepełne.\n"
                                                  "Komórek matrycy kolizji bez poprawnego czasu: 1 - tych par "
                                                  "nie sprawdzono.\n")))
            << r.out.toStdString();
        r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--import"),
                     book});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Błąd w danych arkusza Excel!\n") + named)) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("Zaimportowano"))) << r.out.toStdString();
    }
}

// A 10 MB group text in the workbook: every message quoting it shows its first 40 characters, and
// the check and the import answer within seconds. Written as the group's list text and both labels
// (the check then names the group as differing from the program's K1), then as the row label alone
// (the check and the import refuse the list naming the row).
TEST(PhaseplannerHeadlessCheck, ATenMegabyteLabelIsQuotedByItsStartWithinSeconds) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    writeText(program, "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
                       "GRUPA 3 | 1 | P1 | 47+10 | \n");
    const QString huge = QStringLiteral("K1") + QString(10'000'000, QLatin1Char('x'));
    const QString shown = QStringLiteral("\"K1") + QString(38, QLatin1Char('x')) + QStringLiteral("…\"");
    IntergreenBook b = SmallBook();
    b.texts[0] = huge;
    WriteIntergreenBook(b, book);
    QElapsedTimer clock;
    clock.start();
    ToolRun r = runTool({kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"), QStringLiteral("--draw"),
                         program, QStringLiteral("--check"), book});
    EXPECT_LT(clock.elapsed(), 10'000);
    EXPECT_EQ(r.exitCode, 3) << r.err.left(300).toStdString();
    EXPECT_LT(r.out.size() + r.err.size(), 3000);
    EXPECT_TRUE(r.out.contains(QStringLiteral("grupa 1: w programie \"K1\", w skoroszycie ") + shown + "\n"))
        << r.out.left(3000).toStdString();

    b.texts[0] = QStringLiteral("K1");
    WriteIntergreenBook(b, book);
    RewriteCell(book, 2, 8, 1, sheet::Value(huge));
    const QString refusal = QStringLiteral("wiersz 8: w wykazie grup (P8) \"K1\", w opisie wiersza matrycy (A8) ") +
                            shown + QStringLiteral(", w opisie kolumny matrycy (C6) \"K1\"\n");
    for (const QString& command : {QStringLiteral("--check"), QStringLiteral("--import")}) {
        clock.restart();
        QStringList args{kTemplate, QStringLiteral("--intersection"), QStringLiteral("7")};
        if (command == QLatin1String("--check")) args << QStringLiteral("--draw") << program;
        r = runTool(args << command << book);
        EXPECT_LT(clock.elapsed(), 10'000);
        EXPECT_EQ(r.exitCode, 1) << command.toStdString();
        EXPECT_LT(r.out.size() + r.err.size(), 3000) << command.toStdString();
        EXPECT_TRUE(r.err.contains(refusal)) << r.err.left(3000).toStdString();
    }
}

// A workbook another program left with a cell no spreadsheet holds (a number out of range, a logical
// value other than 0 or 1, an unknown error value, a shared formula numbered out of range) is refused
// by the check and the import as a damaged cell, named with its sheet. A matrix cell's run of a
// hundred thousand terms is a time like any other; a formula nested a hundred thousand deep is named.
TEST(PhaseplannerHeadlessCheck, DamagedCellsAreNamedAndFormulasOfAnySizeNeverCrash) {
    if (!QFile::exists(kTool)) GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("czasy.xlsx"));
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    writeText(program,
              "CYKL 60\nGRUPA 1 | 0 | K1 | 0+20 | \nGRUPA 2 | 0 | K2 | 24+16 | \n"
              "GRUPA 3 | 1 | P1 | 47+10 | \n");
    const QStringList check{kTemplate,
                            QStringLiteral("--intersection"),
                            QStringLiteral("7"),
                            QStringLiteral("--draw"),
                            program,
                            QStringLiteral("--check"),
                            book};
    const QStringList import{kTemplate, QStringLiteral("--intersection"), QStringLiteral("7"),
                             QStringLiteral("--import"), book};
    const std::vector<std::pair<ForeignCell, QString>> damaged{
        {{"D8", "", "inf", ""}, QStringLiteral("Błędna liczba \"inf\"")},
        {{"D8", "", "-inf", ""}, QStringLiteral("Błędna liczba \"-inf\"")},
        {{"D8", "", "nan", ""}, QStringLiteral("Błędna liczba \"nan\"")},
        {{"D8", "", "2", " t=\"b\""}, QStringLiteral("Błędna wartość logiczna \"2\"")},
        {{"D8", "", "#BŁĄD!", " t=\"e\""}, QStringLiteral("Nieznana wartość błędu \"#BŁĄD!\"")},
        {{"D8", "<f t=\"shared\" si=\"4294967296\"/>", "5", ""},
         QStringLiteral("Błędny numer formuły wspólnej \"4294967296\" (dozwolony od 0 do 4294967295)")}};
    for (const auto& [cell, what] : damaged) {
        SCOPED_TRACE(what.toStdString());
        WriteIntergreenBook(SmallBook(), book);
        ASSERT_TRUE(RewriteCellsAsForeignProgram(book, {cell}));
        const QString named =
            QStringLiteral("Błąd w danych arkusza Excel!\n") + what +
            QStringLiteral(" w komórce D8 arkusza \"MATRYCA KOLIZJI\"\nNie można otworzyć pliku:\n");
        for (const QStringList& args : {check, import}) {
            const ToolRun r = runTool(args);
            EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(named)) << r.err.toStdString();
            EXPECT_TRUE(pairLines(r.out).isEmpty()) << r.out.toStdString();
            EXPECT_FALSE(r.out.contains(QStringLiteral("GRUPA"))) << r.out.toStdString();
        }
    }

    const int n = 100000;
    WriteIntergreenBook(SmallBook(), book);
    ASSERT_TRUE(RewriteCellsAsForeignProgram(
        book, {{"D8", QStringLiteral("<f>5") + QStringLiteral("+0").repeated(n - 1) + QStringLiteral("</f>"),
                "99", ""}}));
    ToolRun r = runTool(check);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pairLines(r.out), QStringList({"1K -> 2K: zmierzony 4 s, wymagany 4 s (0)",
                                             "2K -> 1K: zmierzony 20 s, wymagany 5 s (+15)",
                                             "2K -> 3P: zmierzony 7 s, wymagany 3 s (+4)",
                                             "3P -> 2K: zmierzony 27 s, wymagany 7 s (+20)"}));
    r = runTool(import);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("GRUPA 2 | "))) << r.out.toStdString();

    WriteIntergreenBook(SmallBook(), book);
    ASSERT_TRUE(RewriteCellsAsForeignProgram(
        book, {{"D8",
                QStringLiteral("<f>") + QStringLiteral("ABS(").repeated(n) + QStringLiteral("5") +
                    QString(n, QLatin1Char(')')) + QStringLiteral("</f>"),
                "5", ""}}));
    const QString uncomputed =
        QStringLiteral(
            "Błąd w danych arkusza Excel!\nKomórka matrycy kolizji D8 zawiera formułę, "
            "której nie można obliczyć: \"") +
        (QStringLiteral("=") + QStringLiteral("ABS(").repeated(10)).left(40) + QStringLiteral("…\".");
    r = runTool(check);
    EXPECT_EQ(r.exitCode, 3) << r.err.left(2000).toStdString();
    EXPECT_TRUE(r.err.contains(uncomputed)) << r.err.left(2000).toStdString();
    EXPECT_EQ(pairLines(r.out).size(), 3) << r.out.toStdString();
    r = runTool(import);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(uncomputed)) << r.err.left(2000).toStdString();
    EXPECT_LT(r.out.size() + r.err.size(), 3000);
}

}  // namespace phaseplanner::test
