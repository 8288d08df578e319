// The Range members: values, formulas, clearing, copying, merging, selection and formats.
#include "platform/sheet/Range.h"

#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <cmath>
#include <map>

namespace sheet {

namespace {

// Writing every cell of whole columns or rows would create millions of cells; such ranges touch
// only the cells that exist.
constexpr long long maxDenseCells = 1 << 20;

template <class Fn>
void forEachTarget(Worksheet& ws, const Rect& r, Fn fn) {
    if (r.cellCount() > maxDenseCells) {
        std::vector<std::pair<int, int>> cells;
        ws.forEachCell(r, [&](int row, int col, Cell&) { cells.emplace_back(row, col); });
        for (auto [row, col] : cells) fn(row, col);
        return;
    }
    for (int row = r.row1; row <= r.row2; ++row)
        for (int col = r.col1; col <= r.col2; ++col) fn(row, col);
}

}  // namespace

Range::Range(Worksheet* sheet, const Rect& rect) : sheet_(sheet), rect_(rect) {}

Worksheet& Range::worksheet() const {
    sheet_->parent().checkOpen();
    return *sheet_;
}

Range Range::cells(int row, int column) const {
    const int r = rect_.row1 + row - 1, c = rect_.col1 + column - 1;
    if (r < 1 || r > MaxRows || c < 1 || c > MaxColumns)
        throw InvalidArgument(QStringLiteral("Komórka poza arkuszem: (%1, %2)").arg(r).arg(c));
    return Range(sheet_, {r, c, r, c});
}

Value Range::value() const {
    return worksheet().valueAt(rect_.row1, rect_.col1);
}

void Range::setValue(const Value& value) {
    Worksheet& ws = worksheet();
    Workbook& book = ws.parent();
    const Value entered = enteredValue(value);
    forEachTarget(ws, rect_, [&](int row, int col) {
        Cell* c = ws.cell(row, col);
        if (!c && entered.isEmpty()) return;
        Cell& cell = c ? *c : ws.ensureCell(row, col);
        const bool hadFormula = cell.hasFormula();
        if (!hadFormula && cell.value == entered) return;
        cell.formula.reset();
        cell.kept.reset();
        cell.value = entered;
        // Only a number goes back as a date; a text entered over a date cell is a text.
        if (entered.type() != Value::Type::Number) cell.isoDate = false;
        ws.removeCellIfBlank(row, col);
        book.cellChanged(&ws, row, col);
    });
    book.setSaved(false);
}

QString Range::text() const {
    Worksheet& ws = worksheet();
    const Cell* c = ws.cell(rect_.row1, rect_.col1);
    if (!c) return QString();
    return formatValue(c->value, ws.parent().format(c->xf).numberFormat);
}

bool Range::hasFormula() const {
    const Cell* c = worksheet().cell(rect_.row1, rect_.col1);
    return c && c->hasFormula();
}

namespace {

QString constantText(const Value& v) {
    if (v.isNumber()) return formatNumber(v.number(), 15);
    return v.toString();
}

void setFormulaText(Range& range, const QString& text, Notation notation) {
    Worksheet& ws = range.worksheet();
    Workbook& book = ws.parent();
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1Char('='))) {
        range.setValue(Value(text));
        return;
    }
    const Rect& r = range.rect();
    auto resolver = [&book](const QString& name) { return book.findWorksheet(name); };
    // One parse serves every cell: relative references are offsets, as for a formula filled down.
    std::shared_ptr<const Formula> f = notation == Notation::R1C1
                                           ? book.parseR1C1(trimmed)
                                           : parseFormula(trimmed, notation, r.row1, r.col1, resolver);
    forEachTarget(ws, r, [&](int row, int col) {
        Cell& cell = ws.ensureCell(row, col);
        cell.formula = f;
        cell.kept.reset();
        book.cellChanged(&ws, row, col);
    });
    book.setSaved(false);
}

}  // namespace

QString Range::formula() const {
    const Cell* c = worksheet().cell(rect_.row1, rect_.col1);
    if (!c) return QString();
    if (c->formula) return QLatin1Char('=') + c->formula->toA1(rect_.row1, rect_.col1);
    if (c->kept) return QLatin1Char('=') + c->kept->text;
    return constantText(c->value);
}

void Range::setFormula(const QString& formula) {
    setFormulaText(*this, formula, Notation::A1);
}

QString Range::formulaR1C1() const {
    const Cell* c = worksheet().cell(rect_.row1, rect_.col1);
    if (!c) return QString();
    if (c->formula) return QLatin1Char('=') + c->formula->toR1C1();
    if (c->kept) return QLatin1Char('=') + c->kept->text;
    return constantText(c->value);
}

void Range::setFormulaR1C1(const QString& formula) {
    setFormulaText(*this, formula, Notation::R1C1);
}

void Range::clearContents() {
    Worksheet& ws = worksheet();
    Workbook& book = ws.parent();
    std::vector<std::pair<int, int>> targets;
    ws.forEachCell(rect_, [&](int row, int col, Cell& c) {
        if (!c.value.isEmpty() || c.hasFormula()) targets.emplace_back(row, col);
    });
    for (auto [row, col] : targets) {
        Cell* c = ws.cell(row, col);
        c->formula.reset();
        c->kept.reset();
        c->value = Value();
        ws.removeCellIfBlank(row, col);
        book.cellChanged(&ws, row, col);
    }
    book.setSaved(false);
}

void Range::copy() const {
    worksheet().parent().application().setClipboard(*this);
}

void Range::merge() {
    Worksheet& ws = worksheet();
    // Only the top-left value survives a merge.
    if (rect_.cellCount() <= maxDenseCells) {
        for (int row = rect_.row1; row <= rect_.row2; ++row)
            for (int col = rect_.col1; col <= rect_.col2; ++col)
                if ((row != rect_.row1 || col != rect_.col1) && ws.cell(row, col))
                    Range(sheet_, {row, col, row, col}).clearContents();
    }
    ws.addMerge(rect_);
}

bool Range::mergeCells() const {
    for (const Rect& m : worksheet().merges())
        if (m.contains(rect_.row1, rect_.col1)) return true;
    return false;
}

void Range::select() const {
    Worksheet& ws = worksheet();
    ws.activate();
    ws.setSelection(rect_, rect_.row1, rect_.col1);
}

void Range::activate() const {
    Worksheet& ws = worksheet();
    ws.activate();
    // Inside the selection only the active cell moves.
    if (rect_.rows() == 1 && rect_.columns() == 1 && ws.selection().contains(rect_.row1, rect_.col1))
        ws.setSelection(ws.selection(), rect_.row1, rect_.col1);
    else
        ws.setSelection(rect_, rect_.row1, rect_.col1);
}

QString Range::address(bool rowAbsolute, bool columnAbsolute) const {
    if (rowAbsolute == columnAbsolute) return rectAddress(rect_, rowAbsolute);
    QString a = cellAddress(rect_.row1, rect_.col1, rowAbsolute, columnAbsolute);
    if (rect_.rows() == 1 && rect_.columns() == 1) return a;
    return a + QLatin1Char(':') + cellAddress(rect_.row2, rect_.col2, rowAbsolute, columnAbsolute);
}

Range Range::entireColumn() const {
    return Range(sheet_, {1, rect_.col1, MaxRows, rect_.col2});
}

void Range::insert(int shift) {
    Worksheet& ws = worksheet();
    if (rect_.row1 == 1 && rect_.row2 == MaxRows && shift == xlShiftToRight) {
        ws.insertColumns(rect_.col1, rect_.columns());
        return;
    }
    throw NotSupported(QStringLiteral("Wstawianie komórek jest dostępne tylko dla całych kolumn"));
}

void Range::autoFit() {
    Worksheet& ws = worksheet();
    Workbook& book = ws.parent();
    for (int col = rect_.col1; col <= rect_.col2; ++col) {
        double best = -1;
        ws.forEachCell(Rect{1, col, MaxRows, col}, [&](int row, int, Cell& c) {
            if (c.value.isEmpty()) return;
            for (const Rect& m : ws.merges())
                if (m.contains(row, col) && m.columns() > 1) return;
            const CellFormat& f = book.format(c.xf);
            const QString shown = formatValue(c.value, f.numberFormat);
            double scale = f.fontSize / 11.0 * (f.bold ? 1.1 : 1.0);
            // Width is measured in characters of the standard font; rotated text needs a line's height.
            double w = f.orientation != 0 ? 2.0 * scale : shown.size() * scale;
            best = std::max(best, w + 0.71);
        });
        if (best > 0) ws.setColumnWidth(col, std::min(255.0, std::round(best * 100) / 100));
    }
}

double Range::columnWidth() const {
    return worksheet().columnWidth(rect_.col1);
}

void Range::setColumnWidth(double width) {
    Worksheet& ws = worksheet();
    for (int col = rect_.col1; col <= rect_.col2; ++col) ws.setColumnWidth(col, width);
}

namespace {

// Applies a change to the format of every cell of the range; one derived format per source format.
template <class Fn>
void changeFormat(const Range& range, const Rect& r, Fn fn) {
    Worksheet& ws = range.worksheet();
    Workbook& book = ws.parent();
    std::map<std::pair<int, int>, int> memo;  // (old xf, variant) -> new xf
    forEachTarget(ws, r, [&](int row, int col) {
        Cell& c = ws.ensureCell(row, col);
        int variant = fn.variant(r, row, col);
        auto key = std::make_pair(c.xf, variant);
        auto it = memo.find(key);
        if (it == memo.end()) {
            CellFormat f = book.format(c.xf);
            fn.apply(f, variant);
            it = memo.emplace(key,
                              f == book.format(c.xf) ? c.xf : book.formatIndex(f, book.baseFormatOf(c.xf)))
                     .first;
        }
        c.xf = it->second;
        ws.removeCellIfBlank(row, col);
    });
    book.setSaved(false);
}

template <class Apply>
struct Simple {
    Apply fnApply;
    int variant(const Rect&, int, int) const { return 0; }
    void apply(CellFormat& f, int) const { fnApply(f); }
};
template <class Apply>
Simple<Apply> simple(Apply a) {
    return Simple<Apply>{a};
}

}  // namespace

CellFormat Range::format() const {
    Worksheet& ws = worksheet();
    const Cell* c = ws.cell(rect_.row1, rect_.col1);
    return ws.parent().format(c ? c->xf : 0);
}

Interior Range::interior() const {
    return Interior(*this);
}
Font Range::font() const {
    return Font(*this);
}
Borders Range::borders() const {
    return Borders(*this, 0);
}

Borders Range::borders(int index) const {
    if (index < xlEdgeLeft || index > xlInsideHorizontal)
        throw InvalidArgument(QStringLiteral("Niedozwolony numer krawędzi: %1").arg(index));
    return Borders(*this, index);
}

int Range::horizontalAlignment() const {
    return format().horizontalAlignment;
}
void Range::setHorizontalAlignment(int a) {
    static const int allowed[] = {
        xlGeneral, xlLeft, xlCenter, xlRight, xlFill, xlJustify, xlCenterAcrossSelection, xlDistributed};
    if (std::find(std::begin(allowed), std::end(allowed), a) == std::end(allowed))
        throw InvalidArgument(QStringLiteral("Niedozwolone wyrównanie: %1").arg(a));
    changeFormat(*this, rect_, simple([a](CellFormat& f) { f.horizontalAlignment = a; }));
}

int Range::orientation() const {
    return format().orientation;
}
void Range::setOrientation(int degrees) {
    int d = degrees;
    if (d == xlUpward)
        d = 90;
    else if (d == xlDownward)
        d = -90;
    else if (d == xlHorizontal)
        d = 0;
    else if (d != xlVertical && (d < -90 || d > 90))
        throw InvalidArgument(QStringLiteral("Niedozwolona orientacja: %1").arg(degrees));
    changeFormat(*this, rect_, simple([d](CellFormat& f) { f.orientation = d; }));
}

bool Range::wrapText() const {
    return format().wrapText;
}
void Range::setWrapText(bool wrap) {
    changeFormat(*this, rect_, simple([wrap](CellFormat& f) { f.wrapText = wrap; }));
}

bool Range::shrinkToFit() const {
    return format().shrinkToFit;
}
void Range::setShrinkToFit(bool shrink) {
    changeFormat(*this, rect_, simple([shrink](CellFormat& f) { f.shrinkToFit = shrink; }));
}

QString Range::numberFormat() const {
    return format().numberFormat;
}
void Range::setNumberFormat(const QString& code) {
    changeFormat(*this, rect_, simple([code](CellFormat& f) {
        f.numberFormat = code.isEmpty() ? QStringLiteral("General") : code;
        f.numFmtId = -1;  // assigned when written
        for (int id = 0; id < 50; ++id)
            if (builtinNumberFormat(id) == f.numberFormat) f.numFmtId = id;
    }));
}

bool Font::bold() const {
    return r_.format().bold;
}
void Font::setBold(bool bold) {
    changeFormat(r_, r_.rect_, simple([bold](CellFormat& f) { f.bold = bold; }));
}
double Font::size() const {
    return r_.format().fontSize;
}
void Font::setSize(double size) {
    if (!(size >= 1 && size <= 409))
        throw InvalidArgument(QStringLiteral("Niedozwolony rozmiar czcionki: %1").arg(size));
    changeFormat(r_, r_.rect_, simple([size](CellFormat& f) { f.fontSize = size; }));
}

int Interior::colorIndex() const {
    return r_.format().fillColorIndex;
}
void Interior::setColorIndex(int index) {
    if (index == 0 || index == -4105) index = xlNone;  // none and automatic both mean no fill
    if (index != xlNone && (index < 1 || index > 56))
        throw InvalidArgument(QStringLiteral("Niedozwolony numer koloru: %1").arg(index));
    changeFormat(r_, r_.rect_, simple([index](CellFormat& f) { f.fillColorIndex = index; }));
}

namespace {

// Which edges of a cell one border index touches, as a bit set over left, top, bottom, right.
int edgesFor(int index, const Rect& r, int row, int col) {
    int bits = 0;
    auto set = [&](int e) { bits |= 1 << e; };
    switch (index) {
        case 0:
            return 15;
        case xlEdgeLeft:
            if (col == r.col1) set(0);
            break;
        case xlEdgeTop:
            if (row == r.row1) set(1);
            break;
        case xlEdgeBottom:
            if (row == r.row2) set(2);
            break;
        case xlEdgeRight:
            if (col == r.col2) set(3);
            break;
        case xlInsideVertical:
            if (col > r.col1) set(0);
            if (col < r.col2) set(3);
            break;
        case xlInsideHorizontal:
            if (row > r.row1) set(1);
            if (row < r.row2) set(2);
            break;
    }
    return bits;
}

struct BorderChange {
    int index;
    bool style;  // true: line style, false: weight
    int value;
    int variant(const Rect& r, int row, int col) const { return edgesFor(index, r, row, col); }
    void apply(CellFormat& f, int bits) const {
        for (int e = 0; e < 4; ++e) {
            if (!(bits & (1 << e))) continue;
            BorderLine& b = f.borders[size_t(e)];
            if (style) {
                b.lineStyle = value;
            } else {
                b.weight = value;
                if (b.lineStyle == xlLineStyleNone) b.lineStyle = xlContinuous;
            }
        }
    }
};

const BorderLine& edgeOf(const CellFormat& f, int index) {
    switch (index) {
        case xlEdgeTop:
        case xlInsideHorizontal:
            return f.borders[1];
        case xlEdgeBottom:
            return f.borders[2];
        case xlEdgeRight:
            return f.borders[3];
        default:
            return f.borders[0];
    }
}

}  // namespace

int Borders::lineStyle() const {
    return edgeOf(r_.format(), index_).lineStyle;
}
void Borders::setLineStyle(int style) {
    static const int allowed[] = {xlContinuous, xlDash,       xlDot,          xlDouble,
                                  xlDashDot,    xlDashDotDot, xlSlantDashDot, xlLineStyleNone};
    if (std::find(std::begin(allowed), std::end(allowed), style) == std::end(allowed))
        throw InvalidArgument(QStringLiteral("Niedozwolony styl linii: %1").arg(style));
    changeFormat(r_, r_.rect_, BorderChange{index_, true, style});
}
int Borders::weight() const {
    return edgeOf(r_.format(), index_).weight;
}
void Borders::setWeight(int weight) {
    if (weight != xlHairline && weight != xlThin && weight != xlMedium && weight != xlThick)
        throw InvalidArgument(QStringLiteral("Niedozwolona grubość linii: %1").arg(weight));
    changeFormat(r_, r_.rect_, BorderChange{index_, false, weight});
}

}  // namespace sheet
