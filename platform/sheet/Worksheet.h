// A worksheet: its cells with values, formulas and formats, merges, column widths, hyperlinks,
// print area and selection.
#pragma once

#include "platform/sheet/Address.h"
#include "platform/sheet/CellStore.h"
#include "platform/sheet/Formula.h"
#include "platform/sheet/Range.h"
#include "platform/sheet/Value.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace sheet {

class Workbook;

// A kept formula moved from (row, column) to (newRow, newColumn) of `ws`, its relative references
// following as those of a computed formula do (its array range too); the same formula when its
// text cannot be read or it belongs to a shared group.
std::shared_ptr<const KeptFormula> movedKeptFormula(const std::shared_ptr<const KeptFormula>& kept,
                                                    Worksheet& ws, int row, int column, int newRow,
                                                    int newColumn);

struct Hyperlink {
    Rect anchor;
    QString address;     // external target (file, URL)
    QString subAddress;  // place inside the workbook
    QString screenTip;
    QString textToDisplay;
};

// `Worksheet.Hyperlinks`
class Hyperlinks {
public:
    void add(const Range& anchor, const QString& address, const QString& subAddress = QString(),
             const QString& screenTip = QString(), const QString& textToDisplay = QString());
    int count() const { return int(links_.size()); }
    const Hyperlink& item(int index) const;  // 1-based
    std::vector<Hyperlink>& all() { return links_; }

private:
    friend class Worksheet;
    explicit Hyperlinks(Worksheet& ws) : ws_(ws) {}
    Worksheet& ws_;
    std::vector<Hyperlink> links_;
};

// `Worksheet.PageSetup`
class PageSetup {
public:
    // "$A$1:$O$40,$P$1:$X$31"; empty when the sheet has none.
    QString printArea() const;
    // Accepts addresses joined by ","; "" removes the print area.
    void setPrintArea(const QString& area);

private:
    friend class Worksheet;
    explicit PageSetup(Worksheet& ws) : ws_(ws) {}
    Worksheet& ws_;
};

// Extra attributes of a column kept from the file (style, hidden, outline).
struct ColumnInfo {
    double width = -1;  // -1: default width
    std::vector<std::pair<QString, QString>> attributes;
    bool operator==(const ColumnInfo&) const = default;
};

class Worksheet {
public:
    Worksheet(Workbook& book, const QString& name);
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    QString name() const;  // throws Released when the workbook is closed
    void setName(const QString& name);
    int index() const;  // 1-based
    Workbook& parent() const { return book_; }

    Range cells(int row, int column);
    Range range(const QString& address);
    Range range(const Range& first, const Range& last);
    Range columns(int column);  // an entire column
    void activate();
    // Pastes the application's clipboard at the active cell: values, formulas, formats, merges.
    void paste();
    PageSetup pageSetup() { return PageSetup(*this); }
    Hyperlinks& hyperlinks() { return hyperlinks_; }
    // Inserts `count` columns before `column`; every reference, merge, hyperlink and name after
    // it shifts right.
    void insertColumns(int column, int count);

    const Rect& selection() const { return selection_; }
    int activeRow() const { return activeRow_; }
    int activeColumn() const { return activeCol_; }
    void setSelection(const Rect& r, int activeRow, int activeColumn);

    const std::vector<Rect>& merges() const { return merges_; }
    void addMerge(const Rect& r);
    double columnWidth(int column) const;  // default 8.43
    void setColumnWidth(int column, double width);
    std::map<int, ColumnInfo>& columnInfo() { return columns_; }
    double defaultColumnWidth() const { return defaultColumnWidth_; }
    void setDefaultColumnWidth(double w) { defaultColumnWidth_ = w; }

    // Cells (layer-internal).
    const Cell* cell(int row, int column) const;
    Cell* cell(int row, int column);
    Cell& ensureCell(int row, int column);
    void removeCellIfBlank(int row, int column);
    const Value& valueAt(int row, int column) const;
    // Visits stored cells inside the rectangle, row by row.
    void forEachCell(const Rect& r, const std::function<void(int row, int column, Cell&)>& fn);
    void forEachCell(const std::function<void(int row, int column, Cell&)>& fn);
    int cellCount() const { return int(cells_.size()); }
    // The bounding rectangle of the stored cells (A1 when there are none).
    Rect usedRect() const;
    // The store itself, for moving cells in bulk (sorting, inserting, reading a file).
    CellStore& cellMap() { return cells_; }
    static quint64 key(int row, int column) { return (quint64(row) << 16) | quint64(column); }
    static int rowOf(quint64 k) { return int(k >> 16); }
    static int columnOf(quint64 k) { return int(k & 0xffff); }

    // Row attributes kept from the file (height, style), by row.
    std::map<int, std::vector<std::pair<QString, QString>>>& rowAttributes() { return rowAttributes_; }

    // The sheet's XML part in the package ("xl/worksheets/sheet1.xml"); empty for a new sheet.
    QString partName;

private:
    Workbook& book_;
    QString name_;
    CellStore cells_;
    std::vector<Rect> merges_;
    std::map<int, ColumnInfo> columns_;
    std::map<int, std::vector<std::pair<QString, QString>>> rowAttributes_;
    double defaultColumnWidth_ = 8.43;
    Hyperlinks hyperlinks_;
    Rect selection_{1, 1, 1, 1};
    int activeRow_ = 1, activeCol_ = 1;
};

}  // namespace sheet
