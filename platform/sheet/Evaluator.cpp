// The formula evaluator: references, defined names and the worksheet functions, the operators
// applied as Operators.h defines them.
#include "platform/sheet/Evaluator.h"

#include "platform/sheet/Constants.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/FunctionMath.h"
#include "platform/sheet/Operators.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <cmath>
#include <vector>

namespace sheet {

namespace {

// An evaluated argument: a single value or a reference to an area.
struct Operand {
    bool isArea = false;
    Value value;
    Worksheet* ws = nullptr;
    Rect rect;
    // A 3D reference: the same area on every worksheet from `ws` to `wsLast` in tab order.
    Worksheet* wsLast = nullptr;
    // An array constant: its values row by row (`value` holds the first).
    std::vector<Value> items;
    bool isArray = false;
};

// The worksheets a 3D reference spans, in tab order; just `first` for a plain reference.
std::vector<Worksheet*> sheetsOf(Worksheet* first, Worksheet* last) {
    if (!last || last == first) return {first};
    Workbook& book = first->parent();
    int a = first->index(), b = last->index();
    if (a > b) std::swap(a, b);
    std::vector<Worksheet*> out;
    for (int i = a; i <= b; ++i) out.push_back(&book.worksheets(i));
    return out;
}

bool resolveArea(const FormulaNode& n, Worksheet& host, int row, int col, Worksheet*& ws, Rect& r) {
    ws = n.sheets ? n.sheets->sheet : &host;
    if (!ws) return false;
    int r1 = n.a.absRow(row), c1 = n.a.absCol(col), r2 = n.b.absRow(row), c2 = n.b.absCol(col);
    if (r1 < 1 || r2 < 1 || c1 < 1 || c2 < 1 || r1 > MaxRows || r2 > MaxRows || c1 > MaxColumns ||
        c2 > MaxColumns)
        return false;
    r = {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    return true;
}

constexpr int maxNameDepth = 16;

// Nodes on one path down through the formulas an evaluation passes (a formula, the names it uses,
// the names they use): the evaluation recurses along such a path, so it is bounded, whatever names
// a file defines. The deepest formula the parser accepts fits alone (per level of nesting one node of
// each precedence level, the signs, "%" and the parenthesis or call itself); names within names share
// what is left, and a name past it gives #NAME?, as a name past `maxNameDepth` does.
constexpr int maxEvaluationDepth = 2048;
static_assert(8 * (MaxFormulaNesting + 1) + 2 < maxEvaluationDepth);

class Evaluator {
public:
    Evaluator(const Formula& f, Worksheet& host, int row, int col)
        : f_(f), host_(host), row_(row), col_(col) {}

    Value run() {
        Operand o = eval(f_.root);
        return scalar(o);
    }

private:
    const Formula& f_;
    Worksheet& host_;
    int row_, col_;
    int depth_ = 0;  // names within names; a name that refers to itself stops here
    int used_ = 0;   // the depth of the formulas that led here through names (`maxEvaluationDepth`)

    // An area in a single-value position: one cell gives its value, a larger area the cell in
    // the formula's own row or column (implicit intersection), otherwise #VALUE!.
    Value scalar(const Operand& o) {
        if (!o.isArea) return o.value;
        if (o.wsLast && o.wsLast != o.ws) return Value(ErrorCode::Value);
        const Rect& r = o.rect;
        if (r.rows() == 1 && r.columns() == 1) return o.ws->valueAt(r.row1, r.col1);
        if (r.columns() == 1 && row_ >= r.row1 && row_ <= r.row2) return o.ws->valueAt(row_, r.col1);
        if (r.rows() == 1 && col_ >= r.col1 && col_ <= r.col2) return o.ws->valueAt(r.row1, col_);
        return Value(ErrorCode::Value);
    }

    static std::optional<double> toNumber(const Value& v) { return v.toNumber(); }

    // Each kind of node is evaluated in a function of its own: this frame stands once for every node
    // on the path down a formula, so it holds nothing but the choice.
    Operand eval(int index) {
        const FormulaNode& n = f_.nodes[size_t(index)];
        switch (n.kind) {
            case FormulaNode::Paren:
                return eval(n.kids[0]);
            case FormulaNode::Name:
                return name(n);
            case FormulaNode::Cell:
            case FormulaNode::Area:
                return reference(n);
            case FormulaNode::Percent:
                return percent(n);
            case FormulaNode::Unary:
                return unary(n);
            case FormulaNode::Array:
                return array(n);
            case FormulaNode::Binary:
                return binary(n, index == f_.root);
            case FormulaNode::Function:
                return call(n);
            default:
                return literal(n);
        }
    }

    [[gnu::noinline]] Operand literal(const FormulaNode& n) {
        switch (n.kind) {
            case FormulaNode::Number:
                return withValue(Value(n.number));
            case FormulaNode::String:
                return withValue(Value(n.text));
            case FormulaNode::Boolean:
                return withValue(Value(n.number != 0));
            case FormulaNode::ErrorLit:
                return withValue(Value(*errorFromText(n.text)));
            case FormulaNode::Missing:
                return withValue(Value());
            default:
                return withValue(Value(ErrorCode::Value));
        }
    }

    // A defined name evaluates as the formula it stands for, in this cell's place.
    [[gnu::noinline]] Operand name(const FormulaNode& n) {
        auto named = depth_ < maxNameDepth ? host_.parent().namedFormula(n.text, host_) : nullptr;
        if (!named || named->root < 0 || used_ + f_.depth + named->depth > maxEvaluationDepth)
            return withValue(Value(ErrorCode::Name));
        Evaluator inner(*named, host_, row_, col_);
        inner.depth_ = depth_ + 1;
        inner.used_ = used_ + f_.depth;
        return inner.eval(named->root);
    }

    [[gnu::noinline]] Operand reference(const FormulaNode& n) {
        Operand o;
        if (!resolveArea(n, host_, row_, col_, o.ws, o.rect) ||
            (n.sheets && !n.sheets->sheetLastName.isEmpty() &&
             (!n.sheets->sheetLast || &n.sheets->sheetLast->parent() != &o.ws->parent())))
            return withValue(Value(ErrorCode::Ref));
        o.isArea = true;
        if (n.sheets && !n.sheets->sheetLastName.isEmpty()) o.wsLast = n.sheets->sheetLast;
        return o;
    }

    [[gnu::noinline]] Operand percent(const FormulaNode& n) {
        const Value v = scalar(eval(n.kids[0]));
        if (v.isError()) return withValue(v);
        auto d = toNumber(v);
        if (!d) return withValue(Value(ErrorCode::Value));
        for (int k = 0; k < int(n.number); ++k) *d /= 100;
        return withValue(Value(*d));
    }

    // Unary plus leaves its operand as it is: a text stays a text, TRUE stays TRUE. A minus makes it
    // a number; each further minus turns the sign.
    [[gnu::noinline]] Operand unary(const FormulaNode& n) {
        const Value v = scalar(eval(n.kids[0]));
        const qsizetype minus = n.text.count(QLatin1Char('-'));
        if (minus == 0 || v.isError()) return withValue(v);
        auto d = toNumber(v);
        if (!d) return withValue(Value(ErrorCode::Value));
        return withValue(Value(minus % 2 ? -*d : *d));
    }

    [[gnu::noinline]] Operand array(const FormulaNode& n) {
        Operand o;
        for (int k : n.kids) o.items.push_back(eval(k).value);
        o.isArray = true;
        if (!o.items.empty()) o.value = o.items.front();
        return o;
    }

    [[gnu::noinline]] Operand call(const FormulaNode& n) {
        if (n.text == QLatin1String("CHOOSE") || n.text == QLatin1String("INDIRECT") ||
            n.text == QLatin1String("OFFSET"))
            return referenceFunction(n);
        return withValue(function(n));
    }

    static Operand withValue(const Value& v) {
        Operand o;
        o.value = v;
        return o;
    }

    // The operands of one level, combined left to right. `root`: the node is the formula's final
    // operation (see `combineValues`).
    [[gnu::noinline]] Operand binary(const FormulaNode& n, bool root) {
        if (n.text.front() == QLatin1Char('&')) return joined(n);
        Operand o;
        o.value = scalar(eval(n.kids[0]));
        for (size_t k = 1; k < n.kids.size(); ++k)
            o.value = combineValues(n.text[qsizetype(k) - 1], o.value, scalar(eval(n.kids[k])),
                                    root && k + 1 == n.kids.size());
        return o;
    }

    // Joined into one text as it grows: a long run of "&" stays linear.
    [[gnu::noinline]] Operand joined(const FormulaNode& n) {
        QString text;
        for (int k : n.kids) {
            const Value v = scalar(eval(k));
            if (v.isError()) return withValue(v);
            text += v.toString();
        }
        return withValue(Value(text));
    }

    // Visits the values an argument contributes to an aggregate. Values coming from a reference
    // carry `fromRef`: there texts and booleans are skipped by SUM and its neighbours.
    template <class Fn>
    bool visit(const Operand& o, Fn fn) {
        if (o.isArray) {
            // An array constant's texts and logical values are skipped as a reference's are.
            for (const Value& v : o.items)
                if (!fn(v, true)) return false;
            return true;
        }
        if (!o.isArea) return fn(o.value, false);
        bool go = true;
        for (Worksheet* ws : sheetsOf(o.ws, o.wsLast))
            ws->forEachCell(o.rect, [&](int, int, Cell& c) {
                if (go && !c.value.isEmpty()) go = fn(c.value, true);
            });
        return go;
    }

    // Aggregates numbers the way SUM, MAX, MIN, AVERAGE and COUNT take them.
    struct Numbers {
        std::vector<double> values;
        std::optional<Value> error;
    };
    Numbers numbers(const FormulaNode& n, bool countMode = false) {
        Numbers out;
        for (int k : n.kids) {
            Operand o = eval(k);
            visit(o, [&](const Value& v, bool fromRef) {
                if (v.isError()) {
                    if (countMode) return true;
                    out.error = v;
                    return false;
                }
                if (v.isNumber()) {
                    out.values.push_back(v.number());
                } else if (!fromRef) {
                    if (v.isEmpty()) {
                        if (f_.nodes[size_t(k)].kind == FormulaNode::Missing) return true;
                        out.values.push_back(0);
                    } else if (v.isBoolean()) {
                        out.values.push_back(v.number());
                    } else if (auto d = v.toNumber()) {
                        out.values.push_back(*d);
                    } else if (!countMode) {
                        out.error = Value(ErrorCode::Value);
                        return false;
                    }
                }
                return true;
            });
            if (out.error) break;
        }
        return out;
    }

    std::optional<Value> argNumber(const FormulaNode& n, size_t i, double& out) {
        if (i >= n.kids.size()) return Value(ErrorCode::Value);
        Value v = scalar(eval(n.kids[i]));
        if (v.isError()) return v;
        auto d = v.toNumber();
        if (!d) return Value(ErrorCode::Value);
        out = *d;
        return std::nullopt;
    }

    // A single logical argument (IF's test, NOT's): a text typed in the formula converts ("TRUE",
    // "false"), a text in a referenced cell does not (#VALUE!), as in the spreadsheet.
    std::optional<Value> logicalArg(int kid, bool& out) {
        const Operand o = eval(kid);
        const Value v = scalar(o);
        if (o.isArea && v.isText()) return Value(ErrorCode::Value);
        return argBool(v, out);
    }

    std::optional<Value> argBool(const Value& v, bool& out) {
        if (v.isError()) return v;
        if (v.isText()) {
            const QString t = v.text().trimmed().toUpper();
            if (t == QLatin1String("TRUE")) {
                out = true;
                return std::nullopt;
            }
            if (t == QLatin1String("FALSE")) {
                out = false;
                return std::nullopt;
            }
            return Value(ErrorCode::Value);
        }
        out = v.number() != 0;
        return std::nullopt;
    }

    static double roundTo(double x, int digits, int mode) {
        // mode 0 half away from zero, 1 up (away from zero), -1 down (towards zero)
        double scale = std::pow(10.0, digits);
        double y = to15(x * scale);
        double a = std::fabs(y);
        double r = mode == 0 ? std::floor(a + 0.5) : mode > 0 ? std::ceil(a) : std::floor(a);
        r = std::copysign(r, y);
        return to15(r / scale);
    }

    // The worksheet functions, a function of its own for each family: the frame of the one a call
    // goes through stands once for every call on the path down the formula, so it holds only what
    // its family needs.
    Value function(const FormulaNode& n) {
        const QString& name = n.text;
        auto is = [&name](std::initializer_list<const char*> names) {
            for (const char* each : names)
                if (name == QLatin1String(each)) return true;
            return false;
        };
        if (is({"SUM", "MAX", "MIN", "AVERAGE", "COUNT", "COUNTA", "MEDIAN"})) return aggregate(n);
        if (is({"AND", "OR", "XOR", "NOT", "IF", "TRUE", "FALSE", "IFERROR"})) return logical(n);
        if (is({"CONCATENATE", "N", "VALUE"})) return textual(n);
        if (name == QLatin1String("SUMPRODUCT")) return sumProduct(n);
        return numeric(n);
    }

    // SUM, MAX, MIN, AVERAGE, COUNT, COUNTA, MEDIAN.
    [[gnu::noinline]] Value aggregate(const FormulaNode& n) {
        const QString& name = n.text;
        if (name == QLatin1String("SUM")) {
            Numbers ns = numbers(n);
            if (ns.error) return *ns.error;
            double s = 0;
            for (double d : ns.values) s += d;
            return numberResult(s);
        }
        if (name == QLatin1String("MAX") || name == QLatin1String("MIN")) {
            Numbers ns = numbers(n);
            if (ns.error) return *ns.error;
            if (ns.values.empty()) return Value(0.0);
            double m = ns.values[0];
            for (double d : ns.values) m = name == QLatin1String("MAX") ? std::max(m, d) : std::min(m, d);
            return Value(m);
        }
        if (name == QLatin1String("AVERAGE")) {
            Numbers ns = numbers(n);
            if (ns.error) return *ns.error;
            if (ns.values.empty()) return Value(ErrorCode::Div0);
            double s = 0;
            for (double d : ns.values) s += d;
            return numberResult(s / double(ns.values.size()));
        }
        if (name == QLatin1String("COUNT")) {
            Numbers ns = numbers(n, true);
            return Value(double(ns.values.size()));
        }
        if (name == QLatin1String("COUNTA")) {
            double count = 0;
            for (int k : n.kids) {
                if (f_.nodes[size_t(k)].kind == FormulaNode::Missing) continue;
                Operand o = eval(k);
                visit(o, [&](const Value& v, bool fromRef) {
                    if (!fromRef || !v.isEmpty()) ++count;
                    return true;
                });
            }
            return Value(count);
        }
        if (name == QLatin1String("MEDIAN")) {
            Numbers ns = numbers(n);
            if (ns.error) return *ns.error;
            return medianOf(std::move(ns.values));
        }
        return Value(ErrorCode::Name);
    }

    // AND, OR, XOR, NOT, IF, TRUE, FALSE, IFERROR.
    [[gnu::noinline]] Value logical(const FormulaNode& n) {
        const QString& name = n.text;
        const size_t argc = n.kids.size();
        auto argCount = [&](size_t lo, size_t hi) { return argc >= lo && argc <= hi; };
        if (name == QLatin1String("AND") || name == QLatin1String("OR") || name == QLatin1String("XOR")) {
            bool any = false;
            int trues = 0, falses = 0;
            std::optional<Value> err;
            for (int k : n.kids) {
                Operand o = eval(k);
                visit(o, [&](const Value& v, bool fromRef) {
                    if (v.isError()) {
                        err = v;
                        return false;
                    }
                    bool b = false;
                    // A text is no logical value unless it reads TRUE or FALSE, typed or in a cell;
                    // it is passed over, as an empty cell is.
                    if (v.isText() && (fromRef || argBool(v, b))) return true;
                    if (fromRef && v.isEmpty()) return true;
                    argBool(v, b);
                    any = true;
                    ++(b ? trues : falses);
                    return true;
                });
                if (err) return *err;
            }
            if (!any) return Value(ErrorCode::Value);
            if (name == QLatin1String("AND")) return Value(falses == 0);
            if (name == QLatin1String("OR")) return Value(trues > 0);
            return Value(trues % 2 == 1);
        }
        if (name == QLatin1String("NOT")) {
            if (argc != 1) return Value(ErrorCode::Value);
            bool b = false;
            if (auto e = logicalArg(n.kids[0], b)) return *e;
            return Value(!b);
        }
        if (name == QLatin1String("IF")) {
            if (!argCount(1, 3)) return Value(ErrorCode::Value);
            bool b = false;
            if (auto e = logicalArg(n.kids[0], b)) return *e;
            if (b) return argc >= 2 ? missingAsZero(n.kids[1]) : Value(true);
            return argc >= 3 ? missingAsZero(n.kids[2]) : Value(false);
        }
        if (name == QLatin1String("TRUE") || name == QLatin1String("FALSE")) {
            if (argc != 0) return Value(ErrorCode::Value);
            return Value(name == QLatin1String("TRUE"));
        }
        if (name == QLatin1String("IFERROR")) {
            if (argc != 2) return Value(ErrorCode::Value);
            const Value v = missingAsZero(n.kids[0]);
            return v.isError() ? missingAsZero(n.kids[1]) : v;
        }
        return Value(ErrorCode::Name);
    }

    // CONCATENATE, N, VALUE.
    [[gnu::noinline]] Value textual(const FormulaNode& n) {
        const QString& name = n.text;
        const size_t argc = n.kids.size();
        if (name == QLatin1String("CONCATENATE")) {
            QString s;
            for (int k : n.kids) {
                Value v = scalar(eval(k));
                if (v.isError()) return v;
                s += v.toString();
            }
            return Value(s);
        }
        if (name == QLatin1String("N") || name == QLatin1String("VALUE")) {
            if (argc != 1) return Value(ErrorCode::Value);
            const Value v = scalar(eval(n.kids[0]));
            if (v.isError() || v.isNumber()) return v;
            if (v.isEmpty()) return Value(0.0);
            if (name == QLatin1String("N")) return Value(v.isBoolean() ? v.number() : 0.0);
            if (v.isBoolean()) return Value(ErrorCode::Value);
            const auto d = parseNumber(v.text());
            return d ? Value(*d) : Value(ErrorCode::Value);
        }
        return Value(ErrorCode::Name);
    }

    // The functions of one or two numbers.
    [[gnu::noinline]] Value numeric(const FormulaNode& n) {
        const QString& name = n.text;
        const size_t argc = n.kids.size();
        double x = 0, y = 0;
        if (name == QLatin1String("SQRT") || name == QLatin1String("ABS") || name == QLatin1String("INT")) {
            if (argc != 1) return Value(ErrorCode::Value);
            if (auto e = argNumber(n, 0, x)) return *e;
            if (name == QLatin1String("SQRT"))
                return x < 0 ? Value(ErrorCode::Num) : numberResult(std::sqrt(x));
            if (name == QLatin1String("ABS")) return Value(std::fabs(x));
            return Value(std::floor(to15(x)));
        }
        if (name == QLatin1String("ROUND") || name == QLatin1String("ROUNDUP") ||
            name == QLatin1String("ROUNDDOWN")) {
            if (argc != 2) return Value(ErrorCode::Value);
            if (auto e = argNumber(n, 0, x)) return *e;
            if (auto e = argNumber(n, 1, y)) return *e;
            int digits = int(std::trunc(y));
            if (digits > 15) digits = 15;
            if (digits < -15) return Value(0.0);
            int mode = name == QLatin1String("ROUND") ? 0 : name == QLatin1String("ROUNDUP") ? 1 : -1;
            return numberResult(roundTo(x, digits, mode));
        }
        if (name == QLatin1String("MOD")) {
            if (argc != 2) return Value(ErrorCode::Value);
            if (auto e = argNumber(n, 0, x)) return *e;
            if (auto e = argNumber(n, 1, y)) return *e;
            if (y == 0) return Value(ErrorCode::Div0);
            return numberResult(x - y * std::floor(x / y));
        }
        if (name == QLatin1String("POWER")) {
            if (argc != 2) return Value(ErrorCode::Value);
            if (auto e = argNumber(n, 0, x)) return *e;
            if (auto e = argNumber(n, 1, y)) return *e;
            if (x == 0 && y == 0) return Value(ErrorCode::Num);
            if (x == 0 && y < 0) return Value(ErrorCode::Div0);
            return numberResult(std::pow(x, y));
        }
        if (name == QLatin1String("CEILING") || name == QLatin1String("MROUND")) {
            if (argc != 2) return Value(ErrorCode::Value);
            if (auto e = argNumber(n, 0, x)) return *e;
            if (auto e = argNumber(n, 1, y)) return *e;
            return name == QLatin1String("CEILING") ? ceilingMultiple(x, y) : nearestMultiple(x, y);
        }
        return Value(ErrorCode::Name);
    }

    // CHOOSE, INDIRECT and OFFSET give a reference where the formula takes one, so that
    // SUM(OFFSET(A1,0,0,3)) adds three cells.
    Operand referenceFunction(const FormulaNode& n) {
        const size_t argc = n.kids.size();
        if (n.text == QLatin1String("CHOOSE")) {
            double x = 0;
            if (argc < 2) return withValue(Value(ErrorCode::Value));
            if (auto e = argNumber(n, 0, x)) return withValue(*e);
            if (x < 1 || x >= double(argc)) return withValue(Value(ErrorCode::Value));
            const int k = n.kids[size_t(x)];
            if (f_.nodes[size_t(k)].kind == FormulaNode::Missing) return withValue(Value(0.0));
            return eval(k);
        }
        if (n.text == QLatin1String("INDIRECT")) {
            if (argc < 1 || argc > 2) return withValue(Value(ErrorCode::Value));
            const Value text = scalar(eval(n.kids[0]));
            if (text.isError()) return withValue(text);
            bool a1 = true;
            if (argc == 2 && f_.nodes[size_t(n.kids[1])].kind != FormulaNode::Missing)
                if (auto e = logicalArg(n.kids[1], a1)) return withValue(*e);
            return indirect(text.toString().trimmed(), a1);
        }
        // OFFSET(reference, rows, columns, [height], [width])
        if (argc < 3 || argc > 5) return withValue(Value(ErrorCode::Value));
        const Operand base = eval(n.kids[0]);
        if (!base.isArea) return withValue(base.value.isError() ? base.value : Value(ErrorCode::Value));
        if (base.wsLast && base.wsLast != base.ws) return withValue(Value(ErrorCode::Value));
        double move[2] = {0, 0}, size[2] = {double(base.rect.rows()), double(base.rect.columns())};
        for (size_t i = 1; i < argc; ++i) {
            if (i >= 3 && f_.nodes[size_t(n.kids[i])].kind == FormulaNode::Missing) continue;
            double& d = i < 3 ? move[i - 1] : size[i - 3];
            if (auto e = argNumber(n, i, d)) return withValue(*e);
            d = std::trunc(d);
            if (std::fabs(d) > MaxRows) return withValue(Value(ErrorCode::Ref));
        }
        if (size[0] == 0 || size[1] == 0) return withValue(Value(ErrorCode::Ref));
        // A negative height or width reaches up or left from the moved corner.
        int r1 = base.rect.row1 + int(move[0]), c1 = base.rect.col1 + int(move[1]);
        int r2 = r1 + int(size[0]) + (size[0] > 0 ? -1 : 1), c2 = c1 + int(size[1]) + (size[1] > 0 ? -1 : 1);
        Operand o;
        o.rect = {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
        if (o.rect.row1 < 1 || o.rect.col1 < 1 || o.rect.row2 > MaxRows || o.rect.col2 > MaxColumns)
            return withValue(Value(ErrorCode::Ref));
        o.isArea = true;
        o.ws = base.ws;
        return o;
    }

    // The reference a text names ("B2", "$A$1:C3", "'Arkusz 2'!A1", a defined name; "R[1]C" when
    // `a1` is false, relative to this cell); #REF! for any other text.
    Operand indirect(const QString& text, bool a1) {
        if (text.isEmpty() || depth_ >= maxNameDepth) return withValue(Value(ErrorCode::Ref));
        std::shared_ptr<Formula> parsed;
        Workbook& book = host_.parent();
        try {
            parsed = parseFormula(text, a1 ? Notation::A1 : Notation::R1C1, row_, col_,
                                  [&book](const QString& name) { return book.findWorksheet(name); });
        } catch (const FormulaError&) {
            // A text that is no reference at all: that is what #REF! says.
            return withValue(Value(ErrorCode::Ref));
        }
        const FormulaNode::Kind kind = parsed->nodes[size_t(parsed->root)].kind;
        if (kind != FormulaNode::Cell && kind != FormulaNode::Area && kind != FormulaNode::Name)
            return withValue(Value(ErrorCode::Ref));
        Evaluator inner(*parsed, host_, row_, col_);
        inner.depth_ = depth_ + 1;
        inner.used_ = used_ + f_.depth;
        Operand o = inner.eval(parsed->root);
        if (!o.isArea) return withValue(Value(ErrorCode::Ref));
        return o;
    }

    // An argument of SUMPRODUCT as an array: an area, an array constant, or arithmetic and
    // comparisons over them element by element (a single value stretched over the other side).
    struct Grid {
        int rows = 1, cols = 1;
        std::function<Value(int, int)> at;
    };
    // A grid's element at (row, col) of a larger grid: a single row or column stretched over it.
    static Value side(const Grid& g, int row, int col) {
        if (g.rows == 1) row = 0;
        if (g.cols == 1) col = 0;
        if (row >= g.rows || col >= g.cols) return Value(ErrorCode::NA);
        return g.at(row, col);
    }
    // Each kind in a function of its own, as `eval` does: this frame stands once for every node on
    // the path down the argument.
    std::optional<Grid> grid(int index) {
        const FormulaNode& n = f_.nodes[size_t(index)];
        switch (n.kind) {
            case FormulaNode::Paren:
                return grid(n.kids[0]);
            case FormulaNode::Unary:
                return signedGrid(n);
            case FormulaNode::Percent:
                return percentGrid(n);
            case FormulaNode::Binary:
                return operatorGrid(n);
            default:
                return valueGrid(index);
        }
    }

    [[gnu::noinline]] std::optional<Grid> signedGrid(const FormulaNode& n) {
        auto l = grid(n.kids[0]);
        if (!l || !n.text.contains(QLatin1Char('-'))) return l;
        const double sign = n.text.count(QLatin1Char('-')) % 2 ? -1.0 : 1.0;
        return Grid{l->rows, l->cols, [l, sign](int r, int c) {
                        return combineValues(QLatin1Char('*'), l->at(r, c), Value(sign), false);
                    }};
    }

    [[gnu::noinline]] std::optional<Grid> percentGrid(const FormulaNode& n) {
        auto l = grid(n.kids[0]);
        if (!l) return std::nullopt;
        const int count = int(n.number);
        return Grid{l->rows, l->cols, [l, count](int r, int c) {
                        Value v = l->at(r, c);
                        for (int k = 0; k < count; ++k)
                            v = combineValues(QLatin1Char('/'), v, Value(100.0), false);
                        return v;
                    }};
    }

    [[gnu::noinline]] std::optional<Grid> operatorGrid(const FormulaNode& n) {
        auto parts = std::make_shared<std::vector<Grid>>();
        int rows = 1, cols = 1;
        for (int k : n.kids) {
            auto g = grid(k);
            if (!g) return std::nullopt;
            rows = std::max(rows, g->rows);
            cols = std::max(cols, g->cols);
            parts->push_back(std::move(*g));
        }
        const QString ops = n.text;
        return Grid{rows, cols, [parts, ops](int row, int col) {
                        Value v = side(parts->front(), row, col);
                        for (size_t k = 1; k < parts->size(); ++k)
                            v = combineValues(ops[qsizetype(k) - 1], v, side((*parts)[k], row, col), false);
                        return v;
                    }};
    }

    // An area, an array constant, or one value stretched over the other arguments.
    [[gnu::noinline]] std::optional<Grid> valueGrid(int index) {
        const FormulaNode& n = f_.nodes[size_t(index)];
        bool refers = false;
        if (n.kind == FormulaNode::Function) {
            std::vector<int> open(n.kids.begin(), n.kids.end());
            while (!open.empty() && !refers) {
                const FormulaNode& kid = f_.nodes[size_t(open.back())];
                open.pop_back();
                refers = kid.kind == FormulaNode::Cell || kid.kind == FormulaNode::Area ||
                         kid.kind == FormulaNode::Name;
                open.insert(open.end(), kid.kids.begin(), kid.kids.end());
            }
        }
        const Operand o = eval(index);
        if (o.isArray) {
            const int cols = std::max(1, int(n.number)), rows = std::max(1, int(o.items.size()) / cols);
            auto items = std::make_shared<std::vector<Value>>(o.items);
            return Grid{rows, cols, [items, cols](int r, int c) { return (*items)[size_t(r * cols + c)]; }};
        }
        if (o.isArea) {
            if (o.wsLast && o.wsLast != o.ws) return std::nullopt;
            Worksheet* ws = o.ws;
            const Rect rect = o.rect;
            return Grid{rect.rows(), rect.columns(),
                        [ws, rect](int r, int c) { return ws->valueAt(rect.row1 + r, rect.col1 + c); }};
        }
        // A function over areas would be computed element by element; taken as one value it
        // would give another result, so such an argument is refused.
        if (refers) return std::nullopt;
        const Value v = o.value;
        return Grid{1, 1, [v](int, int) { return v; }};
    }

    Value sumProduct(const FormulaNode& n) {
        if (n.kids.empty()) return Value(ErrorCode::Value);
        std::vector<Grid> grids;
        for (int k : n.kids) {
            auto g = grid(k);
            if (!g) return Value(ErrorCode::Value);
            if (!grids.empty() && (g->rows != grids[0].rows || g->cols != grids[0].cols))
                return Value(ErrorCode::Value);
            grids.push_back(std::move(*g));
        }
        double sum = 0;
        for (int r = 0; r < grids[0].rows; ++r)
            for (int c = 0; c < grids[0].cols; ++c) {
                double product = 1;
                for (const Grid& g : grids) {
                    const Value v = g.at(r, c);
                    if (v.isError()) return v;
                    // Texts, logical values and empty cells count as 0.
                    product *= v.isNumber() ? v.number() : 0.0;
                }
                sum += product;
            }
        return numberResult(sum);
    }

    Value missingAsZero(int k) {
        if (f_.nodes[size_t(k)].kind == FormulaNode::Missing) return Value(0.0);
        Value v = scalar(eval(k));
        return v;
    }
};

}  // namespace

Value evaluateFormula(const Formula& f, Worksheet& host, int row, int column) {
    if (f.root < 0) return Value(ErrorCode::Value);
    Value v = Evaluator(f, host, row, column).run();
    // A formula whose result is an empty cell shows 0.
    if (v.isEmpty()) return Value(0.0);
    return v;
}

namespace {

void visitReferences(const Formula& f, Worksheet& host, int row, int column,
                     const std::function<void(Worksheet* ws, const Rect& r)>& fn, int depth) {
    for (const FormulaNode& n : f.nodes) {
        if (n.kind == FormulaNode::Name && depth < maxNameDepth) {
            if (auto named = host.parent().namedFormula(n.text, host))
                visitReferences(*named, host, row, column, fn, depth + 1);
            continue;
        }
        if (n.kind != FormulaNode::Cell && n.kind != FormulaNode::Area) continue;
        Worksheet* ws = nullptr;
        Rect r;
        if (!resolveArea(n, host, row, column, ws, r)) continue;
        Worksheet* last = n.sheets ? n.sheets->sheetLast : nullptr;
        if (n.sheets && !n.sheets->sheetLastName.isEmpty() && (!last || &last->parent() != &ws->parent()))
            continue;
        for (Worksheet* each : sheetsOf(ws, last)) fn(each, r);
    }
}

}  // namespace

void forEachReference(const Formula& f, Worksheet& host, int row, int column,
                      const std::function<void(Worksheet* ws, const Rect& r)>& fn) {
    visitReferences(f, host, row, column, fn, 0);
}

}  // namespace sheet
