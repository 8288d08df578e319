// FlexGrid addressing (fixed header row and column, flat index, sort, widths, current cell) and the
// in-place editor (opening, filtering typed and pasted text, commit triggers, Escape, row moves).
#include "platform/ui/FlexGrid.h"
#include "platform/ui/FlexGridEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {

// A grid with a header row and `rows` data rows: column 0 "r<i>", column 1 the row's number.
void fill(ui::FlexGrid& grid, int rows, int cols = 3) {
    grid.setCols(cols);
    grid.setRows(1);
    for (int c = 0; c < cols; ++c) grid.setTextMatrix(0, c, QStringLiteral("H%1").arg(c));
    for (int i = 1; i <= rows; ++i) {
        grid.addRow();
        grid.setTextMatrix(i, 0, QStringLiteral("r%1").arg(i));
        grid.setTextMatrix(i, 1, QString::number(i));
    }
    grid.setFixedRows(1);
}

// An editor of digits only in column 1 whose commits are counted.
class DigitEditor : public ui::FlexGridEditor {
public:
    using ui::FlexGridEditor::FlexGridEditor;
    int commits = 0;
    int deletes = 0;

protected:
    bool acceptsChar(QChar ch, int row, int col) const override {
        if (col == 1) return ch.isDigit();
        return ui::FlexGridEditor::acceptsChar(ch, row, col);
    }
    void commitText(int row, int col, const QString& text) override {
        ++commits;
        ui::FlexGridEditor::commitText(row, col, text);
    }
    bool deleteKey() override {
        ++deletes;
        return true;
    }
};

struct Window {
    QWidget top;
    ui::FlexGrid* grid;
    DigitEditor* editor;
    Window() {
        auto* layout = new QVBoxLayout(&top);
        grid = new ui::FlexGrid;
        grid->setObjectName(QStringLiteral("grd"));
        layout->addWidget(grid);
        editor = new DigitEditor(grid);
        top.resize(400, 300);
        top.show();
        top.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&top));
        grid->setFocus();
    }
};

}  // namespace

class FlexGridTest : public QObject {
    Q_OBJECT
private slots:
    void headerRowMovesBetweenHeaderAndTable() {
        ui::FlexGrid grid;
        fill(grid, 3);
        QCOMPARE(grid.Rows(), 4);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.TextMatrix(0, 1), QStringLiteral("H1"));
        QCOMPARE(grid.horizontalHeaderItem(1)->text(), QStringLiteral("H1"));
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("r1"));
        QCOMPARE(grid.TextArray(grid.flatIndex(3, 1)), QStringLiteral("3"));
        grid.setTextArray(grid.flatIndex(2, 2), QStringLiteral("x"));
        QCOMPARE(grid.item(1, 2)->text(), QStringLiteral("x"));

        grid.setFixedRows(0);
        QCOMPARE(grid.Rows(), 4);
        QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("H1"));
        QVERIFY(grid.horizontalHeader()->isHidden());
        grid.setFixedRows(1);
        QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("H2"));
        QCOMPARE(grid.TextMatrix(2, 2), QStringLiteral("x"));

        // A grid with only its header row cannot fix it and keeps it as row 0.
        ui::FlexGrid lone;
        lone.setCols(2);
        lone.setRows(1);
        lone.setTextMatrix(0, 0, QStringLiteral("H"));
        lone.setFixedRows(0);
        QCOMPARE(lone.FixedRows(), 0);
        QCOMPARE(lone.TextMatrix(0, 0), QStringLiteral("H"));
    }

    void fixedColumnLivesInTheVerticalHeader() {
        ui::FlexGrid grid;
        fill(grid, 2);
        grid.setFixedCols(1);
        QCOMPARE(grid.Cols(), 3);
        QCOMPARE(grid.columnCount(), 2);
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("H0"));  // the corner
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("r2"));
        QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("2"));
        grid.setFixedCols(0);
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("r2"));
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("H0"));
    }

    void sortsDataRowsOnly() {
        ui::FlexGrid grid;
        fill(grid, 5);
        const QStringList keys{QStringLiteral("C01"), QStringLiteral("a10"), QStringLiteral("A01[2]"),
                               QStringLiteral("A02"), QStringLiteral("A01")};
        for (int i = 0; i < keys.size(); ++i) grid.setTextMatrix(i + 1, 2, keys[i]);
        grid.sortRowsByColumn(2);
        QStringList sorted;
        for (int r = 1; r < grid.Rows(); ++r) sorted << grid.TextMatrix(r, 2);
        QCOMPARE(sorted, (QStringList{"A01", "A01[2]", "A02", "a10", "C01"}));
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("r5"));  // rows travel whole
        QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("H2"));

        for (int r = 1; r < grid.Rows(); ++r) grid.setTextMatrix(r, 1, QString::number(10 - 3 * r));
        grid.sortRowsByColumn(1, true);
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("-5"));
        QCOMPARE(grid.TextMatrix(5, 1), QStringLiteral("7"));
    }

    void currentCellAndItsSignals() {
        ui::FlexGrid grid;
        fill(grid, 4);
        QCOMPARE(grid.Row(), 0);  // the header until a data cell is chosen
        QSignalSpy left(&grid, &ui::FlexGrid::cellLeft);
        QSignalSpy entered(&grid, &ui::FlexGrid::cellEntered);
        grid.setCurrent(3, 1);
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(grid.Col(), 1);
        QCOMPARE(entered.last(), (QList<QVariant>{3, 1}));
        grid.setRow(2);
        QCOMPARE(left.last(), (QList<QVariant>{3, 1}));
        QCOMPARE(entered.last(), (QList<QVariant>{2, 1}));
        grid.setRow(0);
        QCOMPARE(grid.Row(), 0);
        QCOMPARE(entered.last().at(0).toInt(), 0);
        grid.setCol(2);
        QCOMPARE(grid.Col(), 2);
        grid.setRow(1);
        QCOMPARE(grid.Col(), 2);
    }

    void widthsInTwipsAndBackColours() {
        ui::FlexGrid grid;
        fill(grid, 2);
        grid.setColWidthTwips(1, 1500);
        QCOMPARE(grid.columnWidth(1), 100);
        QCOMPARE(grid.colWidthTwips(1), 1500);
        grid.setColWidthTwips(2, 0);
        QVERIFY(grid.isColumnHidden(2));
        QCOMPARE(grid.colWidthTwips(2), 0);
        grid.setColWidthTwips(2, 750);
        QVERIFY(!grid.isColumnHidden(2));
        QColor base = grid.cellBackColor(1, 1);
        grid.setCellBackColor(1, 1, QColor(0, 255, 255));
        QCOMPARE(grid.cellBackColor(1, 1), QColor(0, 255, 255));
        grid.setCellBackColor(1, 1, base);
        QCOMPARE(grid.cellBackColor(1, 1), base);
        grid.setCellFontBold(2, 1, true);
        QVERIFY(grid.cellFontBold(2, 1));
    }

    void typingOpensTheEditorAndEnterCommits() {
        Window w;
        fill(*w.grid, 4);
        w.grid->setCurrent(2, 1);
        QTest::keyClick(w.grid, Qt::Key_7, Qt::NoModifier);
        QLineEdit* box = w.editor->editor();
        QVERIFY(w.editor->isOpen());
        QCOMPARE(box->objectName(), QStringLiteral("txtEdit"));
        QCOMPARE(box->text(), QStringLiteral("7"));
        QCOMPARE(box->cursorPosition(), 1);
        QTest::keyClick(box, Qt::Key_A);  // refused in the digit column
        QTest::keyClick(box, Qt::Key_2);
        QCOMPARE(box->text(), QStringLiteral("72"));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(!w.editor->isOpen());
        QCOMPARE(w.grid->TextMatrix(2, 1), QStringLiteral("72"));
        QCOMPARE(w.editor->commits, 1);
        QVERIFY(w.grid->hasFocus());
    }

    void escapeDropsAndClickSelectsTheText() {
        Window w;
        fill(*w.grid, 3);
        w.grid->setCurrent(1, 1);
        QVERIFY(w.editor->BeginCellEdit(32));
        QCOMPARE(w.editor->editor()->selectedText(), QStringLiteral("1"));
        QTest::keyClick(w.editor->editor(), Qt::Key_9);
        QTest::keyClick(w.editor->editor(), Qt::Key_Escape);
        QVERIFY(!w.editor->isOpen());
        QCOMPARE(w.grid->TextMatrix(1, 1), QStringLiteral("1"));
        QCOMPARE(w.editor->commits, 0);

        // A click on a data cell opens the editor with its text selected.
        QRect rect = w.grid->cellRectInViewport(3, 0);
        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(w.editor->isOpen());
        QCOMPARE(w.editor->editRow(), 3);
        QCOMPARE(w.editor->editor()->selectedText(), QStringLiteral("r3"));
        QCOMPARE(w.editor->editor()->geometry(), rect);
    }

    void leavingTheCellCommitsIntoTheEditedCell() {
        Window w;
        fill(*w.grid, 3);
        w.grid->setCurrent(1, 0);
        QTest::keyClick(w.grid, Qt::Key_Q);
        QCOMPARE(w.editor->editor()->text(), QStringLiteral("q"));
        w.grid->setCurrent(3, 2);  // as a click elsewhere would
        QVERIFY(!w.editor->isOpen());
        QCOMPARE(w.grid->TextMatrix(1, 0), QStringLiteral("q"));
        QCOMPARE(w.grid->TextMatrix(3, 2), QString());
    }

    void pastedTextPassesTheSameFilter() {
        Window w;
        fill(*w.grid, 2);
        w.grid->setCurrent(1, 1);
        QApplication::clipboard()->setText(QStringLiteral("a1\tb2\n"));
        QTest::keyClick(w.grid, Qt::Key_5);
        QTest::keySequence(w.editor->editor(), QKeySequence::Paste);
        QCOMPARE(w.editor->editor()->text(), QStringLiteral("512"));
        QCOMPARE(w.editor->filterText(QStringLiteral("x\x01y"), 0), QStringLiteral("xy"));
    }

    void arrowsCommitAndMoveWithinTheDataRows() {
        Window w;
        fill(*w.grid, 3);
        w.grid->setCurrent(1, 1);
        QTest::keyClick(w.grid, Qt::Key_8);
        QTest::keyClick(w.editor->editor(), Qt::Key_Up);  // already on the first data row
        QCOMPARE(w.grid->Row(), 1);
        QCOMPARE(w.grid->TextMatrix(1, 1), QStringLiteral("8"));
        QTest::keyClick(w.grid, Qt::Key_4);
        QTest::keyClick(w.editor->editor(), Qt::Key_Down);
        QCOMPARE(w.grid->Row(), 2);
        QCOMPARE(w.grid->TextMatrix(1, 1), QStringLiteral("4"));
        QCOMPARE(w.editor->commits, 2);
        w.grid->setRow(3);
        QTest::keyClick(w.grid, Qt::Key_6);
        QTest::keyClick(w.editor->editor(), Qt::Key_Down);  // last row: stays
        QCOMPARE(w.grid->Row(), 3);
        QCOMPARE(w.grid->TextMatrix(3, 1), QStringLiteral("6"));
    }

    void headerAndDeleteKeys() {
        Window w;
        fill(*w.grid, 2);
        w.grid->setCurrent(0, 1);
        QVERIFY(!w.editor->BeginCellEdit(32));
        QTest::keyClick(w.grid, Qt::Key_5);
        QVERIFY(!w.editor->isOpen());
        w.grid->setCurrent(1, 1);
        QTest::keyClick(w.grid, Qt::Key_Delete);
        QCOMPARE(w.editor->deletes, 1);
        // Delete over the whole text of an open edit drops the edit and runs the owner's Delete.
        w.editor->BeginCellEdit(32);
        QTest::keyClick(w.editor->editor(), Qt::Key_Delete);
        QCOMPARE(w.editor->deletes, 2);
        QVERIFY(!w.editor->isOpen());
        QCOMPARE(w.editor->commits, 0);
    }

    void scrollingCommitsOrCarriesTheEditor() {
        Window w;
        fill(*w.grid, 60);
        w.grid->setCurrent(2, 1);
        QTest::keyClick(w.grid, Qt::Key_3);
        w.grid->setTopRow(10);
        QVERIFY(!w.editor->isOpen());
        QCOMPARE(w.grid->TextMatrix(2, 1), QStringLiteral("3"));
        QCOMPARE(w.grid->TopRow(), 10);

        w.editor->setCommitOnScroll(false);
        w.grid->setCurrent(12, 1);
        QTest::keyClick(w.grid, Qt::Key_9);
        w.grid->setTopRow(11);
        QVERIFY(w.editor->isOpen());
        QCOMPARE(w.editor->editor()->geometry(), w.grid->cellRectInViewport(12, 1));
    }
};

QTEST_MAIN(FlexGridTest)
#include "FlexGridTest.moc"
