// A fast reader of (group code, value) pairs over a whole-file buffer, counting lines for errors.
#pragma once

#include "platform/cad/engine/Errors.h"

#include <QByteArray>
#include <QString>
#include <string_view>

namespace cad::dxf {

// One pair; the value points into the buffer.
struct RawTag {
    int code = 0;
    std::string_view value;
    qint64 line = 0;  // line of the group code, 1-based
};

class Tokenizer {
public:
    Tokenizer(const QByteArray& data, const QString& sourceName);
    // The next pair, false at the end of the data. Throws cad::Failed on a malformed pair.
    bool next(RawTag& tag);
    // Makes the last pair read be returned again by next().
    void pushBack() { pushedBack_ = true; }
    // Throws cad::Failed naming the source and line.
    [[noreturn]] void fail(qint64 line, const QString& what) const;
    qint64 line() const { return line_; }
    // Whether every pair has been read: a record that ends here was cut off when it lacks a part.
    bool atEnd() const { return !pushedBack_ && p_ >= end_; }

private:
    bool readLine(std::string_view& out);
    const char* p_;
    const char* end_;
    qint64 line_ = 0;
    QString source_;
    RawTag last_;
    bool pushedBack_ = false;
};

// Numbers of a value; throw cad::Failed through the tokenizer on bad text.
double toDouble(const Tokenizer& tk, const RawTag& t);
int toInt(const Tokenizer& tk, const RawTag& t);
quint64 toHandle(const RawTag& t);

}  // namespace cad::dxf
