// The spreadsheet's operators on two values.
#include "platform/sheet/Operators.h"

#include "platform/sheet/FunctionMath.h"

#include <QCollator>
#include <QLocale>
#include <cmath>

namespace sheet {

Value numberResult(double d) {
    if (!std::isfinite(d)) return Value(ErrorCode::Num);
    return Value(d);
}

namespace {

// Texts are equal without regard to case; unequal ones are ordered as the Polish alphabet
// orders them ("łódź" < "m", "é" < "f"), as the spreadsheet compares in its user's language.
int compareTexts(const QString& a, const QString& b) {
    const int plain = QString::compare(a, b, Qt::CaseInsensitive);
    if (plain == 0) return 0;
    thread_local const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Polish, QLocale::Poland)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int c = collator.compare(a, b);
    return c != 0 ? (c < 0 ? -1 : 1) : (plain < 0 ? -1 : 1);
}

// Numbers sort before texts, texts before booleans; texts compare without regard to case;
// an empty cell counts as 0, "" or FALSE after the other side.
Value compare(Value l, Value r, QChar op) {
    auto rank = [](const Value& v) { return v.isNumber() ? 0 : v.isText() ? 1 : 2; };
    if (l.isEmpty()) l = r.isText() ? Value(QString()) : r.isBoolean() ? Value(false) : Value(0.0);
    if (r.isEmpty()) r = l.isText() ? Value(QString()) : l.isBoolean() ? Value(false) : Value(0.0);
    int c = 0;
    if (rank(l) != rank(r)) {
        c = rank(l) < rank(r) ? -1 : 1;
    } else if (l.isText()) {
        c = compareTexts(l.text(), r.text());
    } else {
        c = l.number() < r.number() ? -1 : l.number() > r.number() ? 1 : 0;
    }
    switch (op.unicode()) {
        case '=':
            return Value(c == 0);
        case 0x2260:
            return Value(c != 0);
        case '<':
            return Value(c < 0);
        case '>':
            return Value(c > 0);
        case 0x2264:
            return Value(c <= 0);
        default:
            return Value(c >= 0);
    }
}

}  // namespace

Value combineValues(QChar op, const Value& l, const Value& r, bool last) {
    if (l.isError()) return l;
    if (r.isError()) return r;
    switch (op.unicode()) {
        case '&':
            return Value(l.toString() + r.toString());
        case '=':
        case '<':
        case '>':
        case 0x2264:
        case 0x2265:
        case 0x2260:
            return compare(l, r, op);
        default:
            break;
    }
    auto a = l.toNumber(), b = r.toNumber();
    if (!a || !b) return Value(ErrorCode::Value);
    switch (op.toLatin1()) {
        case '+':
            if (last && *a + *b != 0 && to15(*a) == to15(-*b)) return Value(0.0);
            return numberResult(*a + *b);
        case '-':
            if (last && *a - *b != 0 && to15(*a) == to15(*b)) return Value(0.0);
            return numberResult(*a - *b);
        case '*':
            return numberResult(*a * *b);
        case '/':
            if (*b == 0) return Value(ErrorCode::Div0);
            return numberResult(*a / *b);
        case '^':
            if (*a == 0 && *b == 0) return Value(ErrorCode::Num);
            if (*a == 0 && *b < 0) return Value(ErrorCode::Div0);
            return numberResult(std::pow(*a, *b));
    }
    return Value(ErrorCode::Value);
}

}  // namespace sheet
