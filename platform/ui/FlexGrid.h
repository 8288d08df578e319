// FlexGrid: the suite's cell grid over QTableWidget, addressed with its fixed header row and column
// counted in: row 0 and column 0 are the fixed header row and column when FixedRows / FixedCols are 1,
// data start at index FixedRows / FixedCols, cells also by flat index (row * Cols + col).
// A fixed header row is shown by the table's horizontal header (so it never scrolls away), a fixed column
// by its vertical header; a row or column that is not fixed is an ordinary table row or column.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QTableWidget>

namespace ui {

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    // Rows and columns counted with the fixed ones (a header row and ten data rows are 11 Rows).
    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void setFixedRows(int fixed);  // 0 or 1
    int FixedCols() const { return fixedCols_; }
    void setFixedCols(int fixed);  // 0 or 1

    // The current cell; row FixedRows-1 (the header) when no data cell is current.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    void setCurrent(int row, int col);
    // The other corner of the selected block (equal to Row/Col without a block).
    int RowSel() const;
    int ColSel() const;

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Flat addressing: index = row * Cols() + col.
    int flatIndex(int row, int col) const { return row * Cols() + col; }
    QString TextArray(int index) const;
    void setTextArray(int index, const QString& text);

    // Appends an empty row at the end (or inserts it before `before`); removes one row.
    void addRow(int before = -1);
    void removeRowAt(int row);

    // The first data row shown at the top of the scrolled area.
    int TopRow() const;
    void setTopRow(int row);
    bool isRowVisible(int row) const;

    // Widths in twips (15 twips a pixel), the unit the windows give them in; 0 hides the column.
    void setColWidthTwips(int col, int twips);
    int colWidthTwips(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);
    // Every row at least this many pixels high.
    void setMinimumRowHeight(int pixels);

    QColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& color);
    bool cellFontBold(int row, int col) const;
    void setCellFontBold(int row, int col, bool bold);

    // Sorts the data rows by the texts of one column: as strings, ascending, without regard to case
    // (or numerically when `numeric`). Equal keys keep their order. The current cell keeps its place
    // (row and column, not the row it showed); callers select the row they want afterwards.
    void sortRowsByColumn(int col, bool numeric = false);

    // The cell's rectangle in the coordinates of the grid's parent widget (where an overlay editor lives);
    // an empty rectangle when the cell is hidden or scrolled out of view.
    QRect cellRectInParent(int row, int col) const;
    // The cell's rectangle in the viewport's coordinates.
    QRect cellRectInViewport(int row, int col) const;

    // Maps between grid and table indexes (-1 when the grid index is a fixed header).
    int tableRow(int row) const { return row - fixedRows_; }
    int tableCol(int col) const { return col - fixedCols_; }

signals:
    // The current cell changed: first the cell that was left, then the new one (grid indexes).
    void cellLeft(int row, int col);
    void cellEntered(int row, int col);
    // A click on a data cell (after the press and release), in grid indexes.
    void cellClickedAt(int row, int col);
    // The grid scrolled, horizontally or vertically.
    void scrolled();
    // The grid got the keyboard focus.
    void focusEntered();

protected:
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyboardSearch(const QString& search) override;

private:
    QTableWidgetItem* itemAt(int row, int col) const;
    QTableWidgetItem* ensureItem(int row, int col);
    Qt::Alignment alignmentOf(int col) const;
    void applyWidths();

    int fixedRows_ = 0;
    int fixedCols_ = 0;
    QString corner_;                       // cell (0, 0) when both a header row and a header column are fixed
    QWidget* cornerButton_ = nullptr;      // the table's corner, where cell (0, 0) is drawn
    int pendingCol_ = 0;                   // the current column while no data row is current
    QVector<Qt::Alignment> colAlignment_;  // by grid column
    QVector<int> colTwips_;                // by grid column; -1 = never set
    int minRowHeight_ = 0;
};

}  // namespace ui
