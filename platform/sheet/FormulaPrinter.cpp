// Writing a parsed formula back as A1 or R1C1 text.
#include "platform/sheet/Constants.h"
#include "platform/sheet/Formula.h"
#include "platform/sheet/Value.h"
#include "platform/sheet/Worksheet.h"

#include <QStringList>

namespace sheet {

namespace {

QString numberLiteral(double d) {
    QString s = exactNumber(d);
    return s.toUpper();
}

QString r1c1Part(QChar letter, int value, bool abs) {
    if (abs) return letter + QString::number(value);
    if (value == 0) return QString(letter);
    return letter + QLatin1Char('[') + QString::number(value) + QLatin1Char(']');
}

class Printer {
public:
    Printer(const Formula& f, bool a1, int row, int col) : f_(f), a1_(a1), row_(row), col_(col) {}

    QString print(int index) const {
        QString out;
        out.reserve(64);
        print(index, out);
        return out;
    }

private:
    // Appends to one text: a long sum printed piece by piece would copy its left side at every term.
    void print(int index, QString& out) const {
        const FormulaNode& n = f_.nodes[size_t(index)];
        switch (n.kind) {
            case FormulaNode::Number:
                out += numberLiteral(n.number);
                return;
            case FormulaNode::String: {
                QString t = n.text;
                t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                out += QLatin1Char('"');
                out += t;
                out += QLatin1Char('"');
                return;
            }
            case FormulaNode::Boolean:
                out += n.number != 0 ? QLatin1String("TRUE") : QLatin1String("FALSE");
                return;
            case FormulaNode::ErrorLit:
            case FormulaNode::Name:
                out += n.text;
                return;
            case FormulaNode::Missing:
                return;
            case FormulaNode::Paren:
                out += QLatin1Char('(');
                print(n.kids[0], out);
                out += QLatin1Char(')');
                return;
            case FormulaNode::Unary:
                out += n.text;
                print(n.kids[0], out);
                return;
            case FormulaNode::Percent:
                print(n.kids[0], out);
                out += QString(int(n.number), QLatin1Char('%'));
                return;
            case FormulaNode::Binary:
                for (size_t k = 0; k < n.kids.size(); ++k) {
                    if (k > 0) out += operatorText(n.text[qsizetype(k) - 1]);
                    print(n.kids[k], out);
                }
                return;
            case FormulaNode::Function: {
                // XOR came after the file format: files name it with the prefix of newer functions.
                if (n.text == QLatin1String("XOR")) out += QLatin1String("_xlfn.");
                out += n.text;
                out += QLatin1Char('(');
                for (size_t k = 0; k < n.kids.size(); ++k) {
                    if (k > 0) out += QLatin1Char(',');
                    print(n.kids[k], out);
                }
                out += QLatin1Char(')');
                return;
            }
            case FormulaNode::Cell:
            case FormulaNode::Area:
                out += reference(n);
                return;
            case FormulaNode::Array: {
                const int columns = std::max(1, int(n.number));
                out += QLatin1Char('{');
                for (size_t k = 0; k < n.kids.size(); ++k) {
                    if (k > 0) out += int(k) % columns == 0 ? QLatin1Char(';') : QLatin1Char(',');
                    print(n.kids[k], out);
                }
                out += QLatin1Char('}');
                return;
            }
        }
    }

    const Formula& f_;
    bool a1_;
    int row_, col_;

    QString reference(const FormulaNode& n) const {
        QString prefix;
        if (const SheetPart* s = n.sheets.get()) {
            const QString first = s->sheet ? s->sheet->name() : s->sheetName;
            if (!s->sheetLastName.isEmpty()) {
                const QString last = s->sheetLast ? s->sheetLast->name() : s->sheetLastName;
                // Quoted as one: 'Arkusz 1:Arkusz 3'!
                const QString both = quotedSheetName(first + QLatin1Char(':') + last);
                const bool plain = quotedSheetName(first) == first && quotedSheetName(last) == last;
                prefix = (plain ? first + QLatin1Char(':') + last : both) + QLatin1Char('!');
            } else {
                prefix = quotedSheetName(first) + QLatin1Char('!');
            }
        }
        if (!a1_) return prefix + r1c1(n);
        const int r1 = n.a.absRow(row_), c1 = n.a.absCol(col_), r2 = n.b.absRow(row_), c2 = n.b.absCol(col_);
        auto badRow = [](int r) { return r < 1 || r > MaxRows; };
        auto badCol = [](int c) { return c < 1 || c > MaxColumns; };
        auto col = [](int c, bool abs) { return (abs ? QStringLiteral("$") : QString()) + columnLetters(c); };
        auto row = [](int r, bool abs) {
            return (abs ? QStringLiteral("$") : QString()) + QString::number(r);
        };
        if (n.span == FormulaNode::Columns) {
            if (badCol(c1) || badCol(c2)) return prefix + QStringLiteral("#REF!");
            return prefix + col(c1, n.a.colAbs) + QLatin1Char(':') + col(c2, n.b.colAbs);
        }
        if (n.span == FormulaNode::Rows) {
            if (badRow(r1) || badRow(r2)) return prefix + QStringLiteral("#REF!");
            return prefix + row(r1, n.a.rowAbs) + QLatin1Char(':') + row(r2, n.b.rowAbs);
        }
        if (badRow(r1) || badCol(c1) || badRow(r2) || badCol(c2)) return prefix + QStringLiteral("#REF!");
        QString s = prefix + col(c1, n.a.colAbs) + row(r1, n.a.rowAbs);
        if (n.kind == FormulaNode::Area) s += QLatin1Char(':') + col(c2, n.b.colAbs) + row(r2, n.b.rowAbs);
        return s;
    }

    static QString r1c1(const FormulaNode& n) {
        if (n.span == FormulaNode::Columns) {
            QString a = r1c1Part(QLatin1Char('C'), n.a.col, n.a.colAbs);
            QString b = r1c1Part(QLatin1Char('C'), n.b.col, n.b.colAbs);
            return a == b ? a : a + QLatin1Char(':') + b;
        }
        if (n.span == FormulaNode::Rows) {
            QString a = r1c1Part(QLatin1Char('R'), n.a.row, n.a.rowAbs);
            QString b = r1c1Part(QLatin1Char('R'), n.b.row, n.b.rowAbs);
            return a == b ? a : a + QLatin1Char(':') + b;
        }
        QString s =
            r1c1Part(QLatin1Char('R'), n.a.row, n.a.rowAbs) + r1c1Part(QLatin1Char('C'), n.a.col, n.a.colAbs);
        if (n.kind == FormulaNode::Area)
            s += QLatin1Char(':') + r1c1Part(QLatin1Char('R'), n.b.row, n.b.rowAbs) +
                 r1c1Part(QLatin1Char('C'), n.b.col, n.b.colAbs);
        return s;
    }
};

}  // namespace

QString Formula::toA1(int row, int col) const {
    if (root < 0) return QString();
    return Printer(*this, true, row, col).print(root);
}

QString Formula::toR1C1() const {
    if (root < 0) return QString();
    return Printer(*this, false, 1, 1).print(root);
}

}  // namespace sheet
