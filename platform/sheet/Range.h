// A rectangle of cells on one worksheet, with the members the programs call on `Range` and
// `Cells`. A Range is a small value; it stays usable as long as its workbook is open.
#pragma once

#include "platform/sheet/Address.h"
#include "platform/sheet/Format.h"
#include "platform/sheet/Value.h"

#include <QString>

namespace sheet {

class Worksheet;
class Range;

class Font;
class Interior;
class Borders;

class Range {
public:
    Range(Worksheet* sheet, const Rect& rect);

    Worksheet& worksheet() const;
    const Rect& rect() const { return rect_; }
    int row() const { return rect_.row1; }
    int column() const { return rect_.col1; }
    int rowCount() const { return rect_.rows(); }
    int columnCount() const { return rect_.columns(); }
    // `Cells(row, column)` relative to this range, 1-based.
    Range cells(int row, int column) const;

    // Value of the top-left cell; setting writes every cell of the range (a text reading as a
    // number becomes a number, "" empties the cell).
    Value value() const;
    void setValue(const Value& value);
    // The displayed text of the top-left cell under its number format.
    QString text() const;

    bool hasFormula() const;
    // "=..." in A1 or R1C1; for a constant its entered text. Setters accept a constant too.
    QString formula() const;
    void setFormula(const QString& formula);
    QString formulaR1C1() const;
    void setFormulaR1C1(const QString& formula);

    void clearContents();
    void copy() const;  // into the application's clipboard
    void merge();
    bool mergeCells() const;
    void select() const;
    void activate() const;
    // "$A$1:$O$40"
    QString address(bool rowAbsolute = true, bool columnAbsolute = true) const;

    Range entireColumn() const;
    // `EntireColumn.Insert(shift)`: inserts as many columns as the range spans, before it.
    void insert(int shift = xlShiftToRight);
    void autoFit();
    double columnWidth() const;
    void setColumnWidth(double width);

    Interior interior() const;
    Font font() const;
    Borders borders() const;
    // 7 left, 8 top, 9 bottom, 10 right, 11 inside vertical, 12 inside horizontal.
    Borders borders(int index) const;

    int horizontalAlignment() const;
    void setHorizontalAlignment(int alignment);
    int orientation() const;
    void setOrientation(int degrees);
    bool wrapText() const;
    void setWrapText(bool wrap);
    bool shrinkToFit() const;
    void setShrinkToFit(bool shrink);
    QString numberFormat() const;
    void setNumberFormat(const QString& code);

    // The whole format of the top-left cell.
    CellFormat format() const;

private:
    friend class Font;
    friend class Interior;
    friend class Borders;
    Worksheet* sheet_;
    Rect rect_;
};

// `Range.Font`
class Font {
public:
    bool bold() const;
    void setBold(bool bold);
    double size() const;
    void setSize(double size);

private:
    friend class Range;
    explicit Font(const Range& r) : r_(r) {}
    Range r_;
};

// `Range.Interior`
class Interior {
public:
    int colorIndex() const;
    void setColorIndex(int index);

private:
    friend class Range;
    explicit Interior(const Range& r) : r_(r) {}
    Range r_;
};

// `Range.Borders` (all edges and inside lines) or `Range.Borders(index)`.
class Borders {
public:
    int lineStyle() const;
    void setLineStyle(int style);
    int weight() const;
    void setWeight(int weight);

private:
    friend class Range;
    Borders(const Range& r, int index) : r_(r), index_(index) {}
    Range r_;
    int index_;  // 0: all
};

}  // namespace sheet
