// Cell positions, rectangles and their A1 texts ("N6", "$A$1:$O$40").
#pragma once

#include <QString>
#include <optional>

namespace sheet {

// A rectangle of cells, 1-based and inclusive.
struct Rect {
    int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
    bool contains(int r, int c) const { return r >= row1 && r <= row2 && c >= col1 && c <= col2; }
    bool intersects(const Rect& o) const {
        return row1 <= o.row2 && o.row1 <= row2 && col1 <= o.col2 && o.col1 <= col2;
    }
    int rows() const { return row2 - row1 + 1; }
    int columns() const { return col2 - col1 + 1; }
    long long cellCount() const { return (long long)rows() * columns(); }
    bool operator==(const Rect&) const = default;
};

// "A" for 1, "AA" for 27; empty for a column out of range.
QString columnLetters(int column);
// 1 for "A"; 0 when the text is not a column name within range.
int columnNumber(const QString& letters);

// "A1" or "$A$1"-style text of one cell.
QString cellAddress(int row, int column, bool rowAbsolute = false, bool columnAbsolute = false);
// "$A$1:$O$40" (a single cell without the colon), as `Address` gives it.
QString rectAddress(const Rect& rect, bool absolute = true);

// Reads "A12", "$A$1", "A12:O39", "A:C", "3:5"; nullopt for anything else.
std::optional<Rect> parseRect(const QString& address);

}  // namespace sheet
