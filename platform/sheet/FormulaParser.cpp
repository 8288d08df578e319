// Reading formulas in A1 and R1C1 notation into the shared tree form.
#include "platform/sheet/Constants.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Formula.h"
#include "platform/sheet/Value.h"

#include <QSet>
#include <algorithm>

namespace sheet {

QChar operatorCode(QStringView op) {
    if (op == QLatin1String("<=")) return QChar(0x2264);
    if (op == QLatin1String(">=")) return QChar(0x2265);
    if (op == QLatin1String("<>")) return QChar(0x2260);
    return op.isEmpty() ? QChar() : op[0];
}

QString operatorText(QChar code) {
    switch (code.unicode()) {
        case 0x2264:
            return QStringLiteral("<=");
        case 0x2265:
            return QStringLiteral(">=");
        case 0x2260:
            return QStringLiteral("<>");
        default:
            return QString(code);
    }
}

bool isKnownFunction(const QString& n) {
    static const QSet<QString> known = {
        QStringLiteral("SUM"),       QStringLiteral("SQRT"),   QStringLiteral("ROUNDUP"),
        QStringLiteral("ROUNDDOWN"), QStringLiteral("ROUND"),  QStringLiteral("MAX"),
        QStringLiteral("MIN"),       QStringLiteral("IF"),     QStringLiteral("ABS"),
        QStringLiteral("INT"),       QStringLiteral("AND"),    QStringLiteral("OR"),
        QStringLiteral("NOT"),       QStringLiteral("COUNT"),  QStringLiteral("COUNTA"),
        QStringLiteral("AVERAGE"),   QStringLiteral("MOD"),    QStringLiteral("POWER"),
        QStringLiteral("TRUE"),      QStringLiteral("FALSE"),  QStringLiteral("CONCATENATE"),
        QStringLiteral("CEILING"),   QStringLiteral("CHOOSE"), QStringLiteral("IFERROR"),
        QStringLiteral("INDIRECT"),  QStringLiteral("MEDIAN"), QStringLiteral("MROUND"),
        QStringLiteral("N"),         QStringLiteral("OFFSET"), QStringLiteral("SUMPRODUCT"),
        QStringLiteral("VALUE"),     QStringLiteral("XOR")};
    return known.contains(n);
}

QString quotedSheetName(const QString& name) {
    bool plain = !name.isEmpty() && !name[0].isDigit();
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'))) plain = false;
    }
    // A name that reads as a cell reference must be quoted too.
    if (plain && (parseRect(name) || name.startsWith(QLatin1Char('R'), Qt::CaseInsensitive) ||
                  name.startsWith(QLatin1Char('C'), Qt::CaseInsensitive))) {
        plain = false;
    }
    if (plain) return name;
    QString q = name;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.');
}

class Parser {
public:
    Parser(const QString& text, Notation notation, int row, int col, const SheetResolver& resolver,
           Formula& f)
        : s_(text), nt_(notation), hostRow_(row), hostCol_(col), resolver_(resolver), f_(f) {}

    void reserve(size_t nodes) { depthOf_.reserve(nodes); }

    void run() {
        skipWs();
        if (pos_ < s_.size() && s_[pos_] == QLatin1Char('=')) ++pos_;
        skipWs();
        if (pos_ >= s_.size()) fail(QStringLiteral("pusta formuła"));
        f_.root = parseComparison();
        f_.depth = depthOf_[size_t(f_.root)];
        skipWs();
        if (pos_ < s_.size()) {
            if (s_[pos_] == QLatin1Char(')')) fail(QStringLiteral("nadmiarowy nawias zamykający"));
            fail(QStringLiteral("nieoczekiwany znak \"%1\"").arg(s_[pos_]));
        }
    }

private:
    const QString& s_;
    int pos_ = 0;
    Notation nt_;
    int hostRow_, hostCol_;
    const SheetResolver& resolver_;
    Formula& f_;
    int depth_ = 0;  // parentheses and calls open at the current position
    // Of each node: the nodes on its longest path down, itself included.
    std::vector<int> depthOf_;

    [[noreturn]] void fail(const QString& why) {
        // A formula from a file may be any length: the message quotes its beginning.
        const QString shown = s_.size() > 80 ? s_.left(80) + QChar(0x2026) : s_;
        throw FormulaError(
            QStringLiteral("Błędna formuła \"%1\": %2 (pozycja %3)").arg(shown, why).arg(pos_ + 1));
    }
    // One more level of parentheses or calls; the parser's own recursion stops at the limit too.
    void enter() {
        if (++depth_ > MaxFormulaNesting)
            fail(QStringLiteral("nawiasy i funkcje zagnieżdżone głębiej niż %1 poziomów")
                     .arg(MaxFormulaNesting));
    }
    void skipWs() {
        while (pos_ < s_.size() && (s_[pos_] == QLatin1Char(' ') || s_[pos_] == QLatin1Char('\n') ||
                                    s_[pos_] == QLatin1Char('\r') || s_[pos_] == QLatin1Char('\t')))
            ++pos_;
    }
    bool peek(QChar c) {
        skipWs();
        return pos_ < s_.size() && s_[pos_] == c;
    }
    int add(FormulaNode n) {
        int below = 0;
        for (int k : n.kids) below = std::max(below, depthOf_[size_t(k)]);
        f_.nodes.push_back(std::move(n));
        depthOf_.push_back(below + 1);
        return int(f_.nodes.size()) - 1;
    }

    // The length of the operator of this level at the current position, 0 when none stands there.
    int comparisonAt() const {
        const QStringView two = QStringView(s_).mid(pos_, std::min<qsizetype>(2, s_.size() - pos_));
        if (two == QLatin1String("<=") || two == QLatin1String(">=") || two == QLatin1String("<>")) return 2;
        return charAt(u"=<>");
    }
    int concatAt() const { return charAt(u"&"); }
    int additiveAt() const { return charAt(u"+-"); }
    int multiplicativeAt() const { return charAt(u"*/"); }
    int powerAt() const { return charAt(u"^"); }
    int charAt(const char16_t* ops) const {
        if (pos_ >= s_.size()) return 0;
        for (const char16_t* o = ops; *o; ++o)
            if (s_[pos_] == QChar(*o)) return 1;
        return 0;
    }

    // Operands of one level joined left to right by its operators ("1+2-3"): one Binary node.
    int chain(int (Parser::*operand)(), int (Parser::*operatorAt)() const) {
        const int first = (this->*operand)();
        FormulaNode n;
        for (;;) {
            skipWs();
            const int length = (this->*operatorAt)();
            if (length == 0) break;
            n.text += operatorCode(QStringView(s_).mid(pos_, length));
            pos_ += length;
            if (n.kids.empty()) n.kids.push_back(first);
            n.kids.push_back((this->*operand)());
        }
        if (n.kids.empty()) return first;
        n.kind = FormulaNode::Binary;
        return add(std::move(n));
    }
    int parseComparison() { return chain(&Parser::parseConcat, &Parser::comparisonAt); }
    int parseConcat() { return chain(&Parser::parseAdditive, &Parser::concatAt); }
    int parseAdditive() { return chain(&Parser::parseMultiplicative, &Parser::additiveAt); }
    int parseMultiplicative() { return chain(&Parser::parsePower, &Parser::multiplicativeAt); }
    int parsePower() { return chain(&Parser::parseUnary, &Parser::powerAt); }

    // Negation binds tighter than "^" in the spreadsheet: -2^2 is 4. Signs and "%" apply to the
    // operand in turn; each run is one node.
    int parseUnary() {
        skipWs();
        FormulaNode signs;
        while (pos_ < s_.size() && (s_[pos_] == QLatin1Char('-') || s_[pos_] == QLatin1Char('+'))) {
            signs.text += s_[pos_++];
            skipWs();
        }
        int e = parsePrimary();
        int percents = 0;
        while (peek(QLatin1Char('%'))) {
            ++pos_;
            ++percents;
        }
        if (percents > 0) {
            FormulaNode n;
            n.kind = FormulaNode::Percent;
            n.number = percents;
            n.kids = {e};
            e = add(std::move(n));
        }
        if (signs.text.isEmpty()) return e;
        signs.kind = FormulaNode::Unary;
        signs.kids = {e};
        return add(std::move(signs));
    }

    int parsePrimary() {
        skipWs();
        if (pos_ >= s_.size()) fail(QStringLiteral("brak argumentu na końcu"));
        const QChar c = s_[pos_];
        if (c == QLatin1Char('(')) {
            enter();
            ++pos_;
            int e = parseComparison();
            --depth_;
            if (!peek(QLatin1Char(')'))) fail(QStringLiteral("brak nawiasu zamykającego"));
            ++pos_;
            FormulaNode n;
            n.kind = FormulaNode::Paren;
            n.kids = {e};
            return add(std::move(n));
        }
        if (c == QLatin1Char('"')) return parseString();
        if (c.isDigit() || (c == QLatin1Char('.') && pos_ + 1 < s_.size() && s_[pos_ + 1].isDigit()))
            return parseNumberLiteral();
        if (c == QLatin1Char('#')) {
            for (ErrorCode code : {ErrorCode::Null, ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref,
                                   ErrorCode::Name, ErrorCode::Num, ErrorCode::NA}) {
                const QString t = errorText(code);
                if (s_.mid(pos_, t.size()).compare(t, Qt::CaseInsensitive) == 0) {
                    pos_ += t.size();
                    FormulaNode n;
                    n.kind = FormulaNode::ErrorLit;
                    n.text = t;
                    return add(std::move(n));
                }
            }
            fail(QStringLiteral("nieznana wartość błędu"));
        }
        if (c == QLatin1Char('\'')) {
            QString name;
            ++pos_;
            for (;;) {
                if (pos_ >= s_.size()) fail(QStringLiteral("niezamknięta nazwa arkusza"));
                if (s_[pos_] == QLatin1Char('\'')) {
                    if (pos_ + 1 < s_.size() && s_[pos_ + 1] == QLatin1Char('\'')) {
                        name += QLatin1Char('\'');
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                name += s_[pos_++];
            }
            if (pos_ >= s_.size() || s_[pos_] != QLatin1Char('!'))
                fail(QStringLiteral("brak \"!\" po nazwie arkusza"));
            ++pos_;
            // 'Arkusz 1:Arkusz 3'! spans sheets, unless one sheet bears the whole name.
            if (const qsizetype colon = name.indexOf(QLatin1Char(':'));
                colon > 0 && !(resolver_ && resolver_(name)))
                return parseSheetReference(name.left(colon), name.mid(colon + 1));
            return parseSheetReference(name);
        }
        if (isNameChar(c) || c == QLatin1Char('$') || c == QLatin1Char('[')) {
            // A sheet prefix?
            int end = pos_;
            while (end < s_.size() && isNameChar(s_[end])) ++end;
            if (end > pos_ && end < s_.size() && s_[end] == QLatin1Char('!')) {
                QString name = s_.mid(pos_, end - pos_);
                pos_ = end + 1;
                return parseSheetReference(name);
            }
            // Arkusz1:Arkusz3! spans sheets.
            if (end > pos_ && end + 1 < s_.size() && s_[end] == QLatin1Char(':')) {
                int last = end + 1;
                while (last < s_.size() && isNameChar(s_[last])) ++last;
                if (last > end + 1 && last < s_.size() && s_[last] == QLatin1Char('!')) {
                    const QString first = s_.mid(pos_, end - pos_), second = s_.mid(end + 1, last - end - 1);
                    pos_ = last + 1;
                    return parseSheetReference(first, second);
                }
            }
            int ref = tryReference(false, QString());
            if (ref >= 0) return ref;
            if (end == pos_) fail(QStringLiteral("nieoczekiwany znak \"%1\"").arg(c));
            QString name = s_.mid(pos_, end - pos_);
            pos_ = end;
            if (peek(QLatin1Char('('))) return parseFunction(name);
            const QString upper = name.toUpper();
            FormulaNode n;
            if (upper == QLatin1String("TRUE") || upper == QLatin1String("FALSE")) {
                n.kind = FormulaNode::Boolean;
                n.number = upper == QLatin1String("TRUE") ? 1 : 0;
            } else {
                n.kind = FormulaNode::Name;
                n.text = name;
            }
            return add(std::move(n));
        }
        if (c == QLatin1Char('{')) return parseArray();
        if (c == QLatin1Char(')')) fail(QStringLiteral("brak argumentu przed nawiasem zamykającym"));
        fail(QStringLiteral("nieoczekiwany znak \"%1\"").arg(c));
    }

    int parseSheetReference(const QString& name, const QString& lastName = QString()) {
        int ref = tryReference(true, name);
        if (ref < 0) fail(QStringLiteral("brak odwołania po nazwie arkusza"));
        if (!lastName.isEmpty()) {
            FormulaNode& n = f_.nodes[size_t(ref)];
            n.sheets->sheetLastName = lastName;
            n.sheets->sheetLast = resolver_ ? resolver_(lastName) : nullptr;
        }
        return ref;
    }

    // {1,2;3,4}: constants only (numbers, optionally negative, texts, logical values, errors);
    // every row as long as the first.
    int parseArray() {
        ++pos_;  // '{'
        FormulaNode n;
        n.kind = FormulaNode::Array;
        int columns = 0, inRow = 0;
        for (;;) {
            skipWs();
            if (pos_ >= s_.size()) fail(QStringLiteral("niezamknięta tablica stałych"));
            bool negative = false;
            if (s_[pos_] == QLatin1Char('-') || s_[pos_] == QLatin1Char('+')) {
                negative = s_[pos_] == QLatin1Char('-');
                ++pos_;
            }
            // Not an array inside an array: that would nest without bound.
            if (pos_ < s_.size() && s_[pos_] == QLatin1Char('{'))
                fail(QStringLiteral("w tablicy stałych dozwolone są tylko stałe"));
            const int e = parsePrimary();
            const FormulaNode::Kind k = f_.nodes[size_t(e)].kind;
            if (k != FormulaNode::Number &&
                (negative ||
                 (k != FormulaNode::String && k != FormulaNode::Boolean && k != FormulaNode::ErrorLit)))
                fail(QStringLiteral("w tablicy stałych dozwolone są tylko stałe"));
            if (negative) f_.nodes[size_t(e)].number = -f_.nodes[size_t(e)].number;
            n.kids.push_back(e);
            ++inRow;
            skipWs();
            if (pos_ >= s_.size()) fail(QStringLiteral("niezamknięta tablica stałych"));
            const QChar sep = s_[pos_++];
            if (sep == QLatin1Char(',')) continue;
            if (sep == QLatin1Char(';') || sep == QLatin1Char('}')) {
                if (columns == 0) columns = inRow;
                if (inRow != columns) fail(QStringLiteral("wiersze tablicy stałych różnej długości"));
                inRow = 0;
                if (sep == QLatin1Char('}')) break;
                continue;
            }
            fail(QStringLiteral("oczekiwano \",\", \";\" lub \"}\""));
        }
        n.number = columns;
        return add(std::move(n));
    }

    int parseString() {
        ++pos_;
        QString t;
        for (;;) {
            if (pos_ >= s_.size()) fail(QStringLiteral("niezamknięty cudzysłów"));
            if (s_[pos_] == QLatin1Char('"')) {
                if (pos_ + 1 < s_.size() && s_[pos_ + 1] == QLatin1Char('"')) {
                    t += QLatin1Char('"');
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            t += s_[pos_++];
        }
        FormulaNode n;
        n.kind = FormulaNode::String;
        n.text = t;
        return add(std::move(n));
    }

    int parseNumberLiteral() {
        int start = pos_;
        while (pos_ < s_.size() && s_[pos_].isDigit()) ++pos_;
        if (pos_ < s_.size() && s_[pos_] == QLatin1Char('.')) {
            ++pos_;
            while (pos_ < s_.size() && s_[pos_].isDigit()) ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == QLatin1Char('E') || s_[pos_] == QLatin1Char('e'))) {
            int save = pos_++;
            if (pos_ < s_.size() && (s_[pos_] == QLatin1Char('+') || s_[pos_] == QLatin1Char('-'))) ++pos_;
            if (pos_ < s_.size() && s_[pos_].isDigit()) {
                while (pos_ < s_.size() && s_[pos_].isDigit()) ++pos_;
            } else {
                pos_ = save;
            }
        }
        bool ok = false;
        double d = s_.mid(start, pos_ - start).toDouble(&ok);
        if (!ok) fail(QStringLiteral("błędna liczba"));
        FormulaNode n;
        n.kind = FormulaNode::Number;
        n.number = d;
        return add(std::move(n));
    }

    int parseFunction(const QString& name) {
        enter();
        ++pos_;  // '('
        FormulaNode n;
        n.kind = FormulaNode::Function;
        n.text = name.toUpper();
        if (n.text.startsWith(QLatin1String("_XLFN."))) n.text = n.text.mid(6);
        if (!isKnownFunction(n.text)) {
            // Printed back as written: the file's prefix ("_xlfn.") tells the spreadsheet which
            // newer function it is.
            n.text = name;
            f_.hasUnknownFunction = true;
        }
        if (n.text == QLatin1String("INDIRECT") || n.text == QLatin1String("OFFSET")) f_.isVolatile = true;
        if (peek(QLatin1Char(')'))) {
            ++pos_;
        } else {
            for (;;) {
                skipWs();
                if (pos_ < s_.size() && (s_[pos_] == QLatin1Char(',') || s_[pos_] == QLatin1Char(')'))) {
                    FormulaNode m;
                    m.kind = FormulaNode::Missing;
                    n.kids.push_back(add(std::move(m)));
                } else {
                    n.kids.push_back(parseComparison());
                }
                skipWs();
                if (pos_ >= s_.size()) fail(QStringLiteral("brak nawiasu zamykającego"));
                if (s_[pos_] == QLatin1Char(',')) {
                    ++pos_;
                    continue;
                }
                if (s_[pos_] == QLatin1Char(')')) {
                    ++pos_;
                    break;
                }
                fail(QStringLiteral("oczekiwano \",\" lub \")\""));
            }
        }
        --depth_;
        return add(std::move(n));
    }

    // One end of a reference. `hasRow`/`hasCol` tell which parts were written.
    struct End {
        RefEnd e;
        bool hasRow = false, hasCol = false;
    };

    bool refFollows(int p) const {
        return p >= s_.size() ||
               !(isNameChar(s_[p]) || s_[p] == QLatin1Char('(') || s_[p] == QLatin1Char('[') ||
                 s_[p] == QLatin1Char('$') || s_[p] == QLatin1Char('!'));
    }

    std::optional<End> readA1End(int& p) const {
        End out;
        int i = p;
        bool colAbs = false, rowAbs = false;
        if (i < s_.size() && s_[i] == QLatin1Char('$')) {
            colAbs = true;
            ++i;
        }
        int st = i;
        while (i < s_.size() && s_[i].unicode() < 128 && s_[i].isLetter()) ++i;
        if (i > st) {
            int col = columnNumber(s_.mid(st, i - st));
            if (col == 0) return std::nullopt;
            out.hasCol = true;
            out.e.colAbs = colAbs;
            out.e.col = colAbs ? col : col - hostCol_;
        } else if (colAbs) {
            // "$3" is an absolute row
            rowAbs = true;
        }
        if (!rowAbs && i < s_.size() && s_[i] == QLatin1Char('$')) {
            rowAbs = true;
            ++i;
        }
        st = i;
        while (i < s_.size() && s_[i].isDigit()) ++i;
        if (i > st) {
            bool ok = false;
            int row = s_.mid(st, i - st).toInt(&ok);
            if (!ok || row < 1 || row > MaxRows) return std::nullopt;
            out.hasRow = true;
            out.e.rowAbs = rowAbs;
            out.e.row = rowAbs ? row : row - hostRow_;
        } else if (rowAbs && out.hasCol) {
            return std::nullopt;
        }
        if (!out.hasRow && !out.hasCol) return std::nullopt;
        p = i;
        return out;
    }

    // "R9C24", "R[-1]C[2]", "RC[-3]", "R[]C[+4]", "C[4]", "R".
    std::optional<End> readR1C1End(int& p) const {
        End out;
        int i = p;
        auto part = [&](QChar letter, int& value, bool& abs, bool& has) -> bool {
            if (i >= s_.size() || s_[i].toUpper() != letter) return true;
            // Not the letter of a longer name ("ROUND"): a letter must follow only as "C".
            has = true;
            ++i;
            if (i < s_.size() && s_[i].isDigit()) {
                int st = i;
                while (i < s_.size() && s_[i].isDigit()) ++i;
                bool ok = false;
                value = s_.mid(st, i - st).toInt(&ok);
                abs = true;
                return ok && value >= 1;
            }
            abs = false;
            value = 0;
            if (i < s_.size() && s_[i] == QLatin1Char('[')) {
                ++i;
                int st = i;
                if (i < s_.size() && (s_[i] == QLatin1Char('+') || s_[i] == QLatin1Char('-'))) ++i;
                while (i < s_.size() && s_[i].isDigit()) ++i;
                QString num = s_.mid(st, i - st);
                if (i >= s_.size() || s_[i] != QLatin1Char(']')) return false;
                ++i;
                if (num.startsWith(QLatin1Char('+'))) num.remove(0, 1);
                if (!num.isEmpty() && num != QLatin1String("-")) {
                    bool ok = false;
                    value = num.toInt(&ok);
                    if (!ok) return false;
                } else if (num == QLatin1String("-")) {
                    return false;
                }
            }
            return true;
        };
        if (!part(QLatin1Char('R'), out.e.row, out.e.rowAbs, out.hasRow)) return std::nullopt;
        if (!part(QLatin1Char('C'), out.e.col, out.e.colAbs, out.hasCol)) return std::nullopt;
        if (!out.hasRow && !out.hasCol) return std::nullopt;
        if (out.e.rowAbs && out.e.row > MaxRows) return std::nullopt;
        if (out.e.colAbs && out.e.col > MaxColumns) return std::nullopt;
        p = i;
        return out;
    }

    std::optional<End> readEnd(int& p) const { return nt_ == Notation::A1 ? readA1End(p) : readR1C1End(p); }

    int tryReference(bool hasSheet, const QString& sheetName) {
        int p = pos_;
        auto first = readEnd(p);
        if (!first) return -1;
        std::optional<End> second;
        if (p < s_.size() && s_[p] == QLatin1Char(':')) {
            int q = p + 1;
            second = readEnd(q);
            if (!second || !refFollows(q)) {
                if (first->hasRow && first->hasCol) {
                    pos_ = q;
                    fail(QStringLiteral("niepełny zakres"));
                }
                return -1;
            }
            p = q;
        } else if (!refFollows(p)) {
            return -1;
        }
        FormulaNode n;
        const bool cellA = first->hasRow && first->hasCol;
        if (!second) {
            if (cellA) {
                n.kind = FormulaNode::Cell;
                n.a = n.b = first->e;
            } else if (nt_ == Notation::R1C1) {
                n.kind = FormulaNode::Area;
                second = first;
            } else {
                return -1;  // a lone column or row name is not a reference in A1
            }
        }
        if (second) {
            const bool cellB = second->hasRow && second->hasCol;
            n.kind = FormulaNode::Area;
            n.a = first->e;
            n.b = second->e;
            if (cellA && cellB) {
                n.span = FormulaNode::Cells;
            } else if (!first->hasRow && !second->hasRow && first->hasCol && second->hasCol) {
                n.span = FormulaNode::Columns;
                n.a.row = 1;
                n.a.rowAbs = true;
                n.b.row = MaxRows;
                n.b.rowAbs = true;
            } else if (!first->hasCol && !second->hasCol && first->hasRow && second->hasRow) {
                n.span = FormulaNode::Rows;
                n.a.col = 1;
                n.a.colAbs = true;
                n.b.col = MaxColumns;
                n.b.colAbs = true;
            } else {
                return -1;
            }
        }
        pos_ = p;
        if (hasSheet) {
            n.sheets = std::make_shared<SheetPart>();
            n.sheets->sheetName = sheetName;
            n.sheets->sheet = resolver_ ? resolver_(sheetName) : nullptr;
        }
        return add(std::move(n));
    }
};

}  // namespace

std::shared_ptr<Formula> parseFormula(const QString& text, Notation notation, int row, int col,
                                      const SheetResolver& resolver) {
    // Parsed into a working copy with room to spare, then moved into a vector of the exact size:
    // a workbook keeps tens of thousands of formulas, and the spare room (and the growth of a
    // long sum) would otherwise stay with each one and touch fresh memory for every formula.
    Formula work;
    work.nodes.reserve(size_t(text.size() / 2 + 4));
    Parser p(text, notation, row, col, resolver, work);
    p.reserve(work.nodes.capacity());
    p.run();
    auto f = std::make_shared<Formula>();
    f->nodes.assign(std::make_move_iterator(work.nodes.begin()), std::make_move_iterator(work.nodes.end()));
    f->root = work.root;
    f->depth = work.depth;
    f->hasUnknownFunction = work.hasUnknownFunction;
    f->isVolatile = work.isVolatile;
    return f;
}

}  // namespace sheet
