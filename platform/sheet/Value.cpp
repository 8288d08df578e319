// Values, their conversions and the general number form.
#include "platform/sheet/Value.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace sheet {

QString errorText(ErrorCode code) {
    switch (code) {
        case ErrorCode::Null:
            return QStringLiteral("#NULL!");
        case ErrorCode::Div0:
            return QStringLiteral("#DIV/0!");
        case ErrorCode::Value:
            return QStringLiteral("#VALUE!");
        case ErrorCode::Ref:
            return QStringLiteral("#REF!");
        case ErrorCode::Name:
            return QStringLiteral("#NAME?");
        case ErrorCode::Num:
            return QStringLiteral("#NUM!");
        case ErrorCode::NA:
            return QStringLiteral("#N/A");
    }
    return QStringLiteral("#N/A");
}

std::optional<ErrorCode> errorFromText(const QString& text) {
    const QString t = text.trimmed().toUpper();
    for (ErrorCode c : {ErrorCode::Null, ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref, ErrorCode::Name,
                        ErrorCode::Num, ErrorCode::NA}) {
        if (errorText(c) == t) return c;
    }
    return std::nullopt;
}

QString Value::toString() const {
    switch (type_) {
        case Type::Empty:
            return QString();
        case Type::Number:
            return formatNumber(number_);
        case Type::Text:
            return text_;
        case Type::Boolean:
            return number_ != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case Type::Error:
            return errorText(error_);
    }
    return QString();
}

std::optional<double> Value::toNumber() const {
    switch (type_) {
        case Type::Empty:
            return 0.0;
        case Type::Number:
        case Type::Boolean:
            return number_;
        case Type::Text:
            return parseNumber(text_);
        case Type::Error:
            return std::nullopt;
    }
    return std::nullopt;
}

bool Value::operator==(const Value& other) const {
    if (type_ != other.type_) return false;
    switch (type_) {
        case Type::Empty:
            return true;
        case Type::Number:
        case Type::Boolean:
            return number_ == other.number_;
        case Type::Text:
            return text_ == other.text_;
        case Type::Error:
            return error_ == other.error_;
    }
    return false;
}

std::optional<double> parseNumber(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*(%?)\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    double d = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    if (!m.captured(2).isEmpty()) d /= 100.0;
    return d;
}

Value enteredValue(const Value& value) {
    if (value.isNumber() && !std::isfinite(value.number())) return Value(ErrorCode::Num);
    if (!value.isText()) return value;
    const QString& t = value.text();
    if (t.isEmpty()) return Value();
    if (t.startsWith(QLatin1Char('\''))) return Value(t.mid(1));
    if (auto n = parseNumber(t)) return Value(*n);
    return value;
}

QString formatNumber(double number, int digits) {
    if (std::isnan(number)) return QStringLiteral("#NUM!");
    if (number == 0) return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, number);
    QString s = QString::fromLatin1(buf);
    // "%g" switches to an exponent below 1e-5; the spreadsheet shows such numbers plainly up to
    // its own width and uses E+nn with two digits at least.
    int e = s.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString mant = s.left(e);
        int exp = s.mid(e + 1).toInt();
        if (exp < 0 && exp >= -9) {
            std::snprintf(buf, sizeof buf, "%.*f", digits - exp - 1, number);
            s = QString::fromLatin1(buf);
            if (s.contains(QLatin1Char('.'))) {
                while (s.endsWith(QLatin1Char('0'))) s.chop(1);
                if (s.endsWith(QLatin1Char('.'))) s.chop(1);
            }
            return s;
        }
        return mant + (exp < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
               QStringLiteral("%1").arg(std::abs(exp), 2, 10, QLatin1Char('0'));
    }
    return s;
}

QString exactNumber(double number) {
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

}  // namespace sheet
