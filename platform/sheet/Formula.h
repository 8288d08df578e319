// A parsed formula. References are kept the way R1C1 writes them: relative parts as offsets from
// the cell holding the formula, absolute parts as positions. So one parsed formula serves every
// cell of a shared formula, and moving or copying a cell keeps its relative references working.
#pragma once

#include "platform/sheet/Address.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace sheet {

class Worksheet;

// One end of a reference: row and column, each absolute (a position) or relative (an offset).
struct RefEnd {
    int row = 0, col = 0;
    bool rowAbs = false, colAbs = false;
    int absRow(int hostRow) const { return rowAbs ? row : hostRow + row; }
    int absCol(int hostCol) const { return colAbs ? col : hostCol + col; }
};

// The sheets a reference names. Few references name one, so they are kept apart from the node: a
// workbook holds hundreds of thousands of nodes.
struct SheetPart {
    Worksheet* sheet = nullptr;  // the named sheet, nullptr when absent from the workbook
    QString sheetName;
    // A 3D reference ("Arkusz1:Arkusz3!A1"): the last sheet of the span, in tab order.
    Worksheet* sheetLast = nullptr;
    QString sheetLastName;
};

struct FormulaNode {
    enum Kind {
        Number,
        String,
        Boolean,
        ErrorLit,
        Cell,
        Area,
        Unary,
        Binary,
        Percent,
        Paren,
        Function,
        Missing,
        Name,
        Array  // an array constant: kids row by row, `number` columns
    };
    // Whole-column or whole-row areas print as "A:C" / "C[1]:C[3]" and "3:5" / "R3:R5".
    enum Span { Cells, Columns, Rows };
    Kind kind = Number;
    Span span = Cells;
    // The number of a literal; the columns of an array; the count of "%" signs of a Percent.
    double number = 0;
    // String literal, function or name (upper case), error text. Unary: its signs as written,
    // outermost first ("-+-"). Binary: one operator code per gap between its operands (see
    // `operatorCode`). A run of signs or of operators of one precedence level is one node, so
    // that "=1+1+…+1" or "=-----1" is walked in a loop, never in a recursion as deep as it is long.
    QString text;
    // The sheets of a reference that names any (shared by copies of the formula, never changed after
    // parsing); null for one on its own sheet.
    std::shared_ptr<SheetPart> sheets;
    RefEnd a, b;
    // Binary: the operands left to right, one more than `text` has operators.
    std::vector<int> kids;
};

// Parentheses and function calls nested in one another, at most (Excel allows 64 levels of
// functions; files from elsewhere may go further). Deeper formulas are refused when parsed, so that
// every walk over a parsed formula recurses a bounded number of times.
inline constexpr int MaxFormulaNesting = 200;

// The one-character code of a binary operator ("<=" is "≤", ">=" "≥", "<>" "≠", the others
// themselves) and the operator a code stands for.
QChar operatorCode(QStringView op);
QString operatorText(QChar code);

class Formula {
public:
    std::vector<FormulaNode> nodes;
    int root = -1;
    // Nodes on the longest path from the root down (1 for a lone literal): how deep an evaluation
    // of it recurses, counted where one formula calls another (defined names).
    int depth = 0;
    // A function we do not know: the formula gives #NAME? when evaluated.
    bool hasUnknownFunction = false;
    // INDIRECT or OFFSET: the cells it reads are known only once it is evaluated, so no reference
    // of the formula tells when it is to be computed again.
    bool isVolatile = false;

    // Text without the leading "=" in A1 form as seen from (row, col); R1C1 form needs no position.
    QString toA1(int row, int col) const;
    QString toR1C1() const;
};

using SheetResolver = std::function<Worksheet*(const QString& name)>;

enum class Notation { A1, R1C1 };

// Parses a formula text (with or without the leading "="); `row`, `col` is the cell that holds
// it (A1 relative references become offsets from it). Throws FormulaError.
std::shared_ptr<Formula> parseFormula(const QString& text, Notation notation, int row, int col,
                                      const SheetResolver& resolver);

// The sheet name as a formula writes it: quoted when it holds anything but letters, digits, "_" and ".".
QString quotedSheetName(const QString& name);

// The functions the engine evaluates (upper case).
bool isKnownFunction(const QString& upperName);

}  // namespace sheet
