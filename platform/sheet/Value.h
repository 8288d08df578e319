// A cell's value: empty, number, text, boolean or one of the spreadsheet's error values,
// with the conversions the formula engine and the programs need.
#pragma once

#include <QString>
#include <optional>

namespace sheet {

enum class ErrorCode { Null, Div0, Value, Ref, Name, Num, NA };

// The error as the spreadsheet writes it ("#DIV/0!").
QString errorText(ErrorCode code);
std::optional<ErrorCode> errorFromText(const QString& text);

class Value {
public:
    enum class Type { Empty, Number, Text, Boolean, Error };

    Value() = default;
    Value(double number) : type_(Type::Number), number_(number) {}
    Value(int number) : type_(Type::Number), number_(number) {}
    Value(const QString& text) : type_(Type::Text), text_(text) {}
    Value(const char* text) : type_(Type::Text), text_(QString::fromUtf8(text)) {}
    Value(bool b) : type_(Type::Boolean), number_(b ? 1 : 0) {}
    Value(ErrorCode code) : type_(Type::Error), error_(code) {}

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isText() const { return type_ == Type::Text; }
    bool isBoolean() const { return type_ == Type::Boolean; }
    bool isError() const { return type_ == Type::Error; }

    double number() const { return number_; }  // numbers and booleans
    bool boolean() const { return number_ != 0; }
    const QString& text() const { return text_; }  // texts only
    ErrorCode error() const { return error_; }

    // The value as a text the way a caller reading `Value` into a string gets it: numbers in
    // general form with a dot, booleans TRUE/FALSE, errors as written, empty as "".
    QString toString() const;
    // Number of the value: numbers and booleans as such, texts that read as a number, empty 0;
    // nullopt for other texts and errors.
    std::optional<double> toNumber() const;

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    // Small members first: a value fills 40 bytes, not 48, and sheets hold many.
    Type type_ = Type::Empty;
    ErrorCode error_ = ErrorCode::NA;
    double number_ = 0;
    QString text_;
};

// Reads a whole text as a number (blanks around allowed, a dot decimal, an exponent, a trailing
// percent sign); nullopt when any of it is not part of a number.
std::optional<double> parseNumber(const QString& text);

// A value as entered through `Value`: a text that reads fully as a number becomes a number,
// "" empties the cell, a leading apostrophe keeps the rest as text; anything else stays text.
Value enteredValue(const Value& value);

// A number with up to `digits` significant digits, dot decimal, no trailing zeros, exponent
// form only where the plain form would be longer than the spreadsheet shows it.
QString formatNumber(double number, int digits = 15);
// Shortest text that reads back as exactly the same double (for files).
QString exactNumber(double number);

}  // namespace sheet
