// Group-code/value pairs from a DXF buffer: code lines are trimmed integers, value lines are kept
// as they stand apart from the line ending.
#include "platform/cad/dxf/DxfTokenizer.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace cad::dxf {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

QString shown(std::string_view s) {
    QString out;
    for (char c : s.substr(0, 40)) out += (c >= 32 && c < 127) ? QChar(c) : QChar('?');
    return out;
}

}  // namespace

Tokenizer::Tokenizer(const QByteArray& data, const QString& sourceName)
    : p_(data.constData()), end_(data.constData() + data.size()), source_(sourceName) {
    if (end_ - p_ >= 3 && static_cast<unsigned char>(p_[0]) == 0xEF &&
        static_cast<unsigned char>(p_[1]) == 0xBB && static_cast<unsigned char>(p_[2]) == 0xBF)
        p_ += 3;
}

void Tokenizer::fail(qint64 line, const QString& what) const {
    throw Failed(QStringLiteral("%1, wiersz %2: %3")
                     .arg(source_.isEmpty() ? QStringLiteral("DXF") : source_)
                     .arg(line)
                     .arg(what));
}

bool Tokenizer::readLine(std::string_view& out) {
    if (p_ >= end_) return false;
    const char* start = p_;
    const void* nl = std::memchr(p_, '\n', size_t(end_ - p_));
    const char* stop = nl ? static_cast<const char*>(nl) : end_;
    p_ = nl ? stop + 1 : end_;
    ++line_;
    out = std::string_view(start, size_t(stop - start));
    if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
    return true;
}

bool Tokenizer::next(RawTag& tag) {
    if (pushedBack_) {
        pushedBack_ = false;
        tag = last_;
        return true;
    }
    for (;;) {
        std::string_view codeLine;
        // Blank lines at the very end are tolerated.
        do {
            if (!readLine(codeLine)) return false;
        } while (trim(codeLine).empty() && p_ >= end_);
        const qint64 codeLineNo = line_;
        const std::string_view c = trim(codeLine);
        int code = 0;
        auto [ptr, ec] = std::from_chars(c.data(), c.data() + c.size(), code);
        if (c.empty() || ec != std::errc() || ptr != c.data() + c.size() || code < -5 || code > 1071)
            fail(codeLineNo, QStringLiteral("oczekiwano kodu grupy, jest \"%1\"").arg(shown(c)));
        std::string_view value;
        if (!readLine(value)) fail(codeLineNo, QStringLiteral("plik kończy się po kodzie grupy %1").arg(code));
        if (value.find('\0') != std::string_view::npos)
            fail(line_, QStringLiteral("dane binarne zamiast wartości"));
        if (code == 999) continue;  // comment
        tag.code = code;
        tag.value = value;
        tag.line = codeLineNo;
        last_ = tag;
        return true;
    }
}

double toDouble(const Tokenizer& tk, const RawTag& t) {
    const std::string_view s = trim(t.value);
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && !std::isfinite(v)))
        tk.fail(t.line, QStringLiteral("liczba \"%1\" jest poza zakresem").arg(shown(s)));
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size()) {
        // A leading "+" or a comma decimal separator appear in files of some programs.
        QString text = QString::fromLatin1(s.data(), qsizetype(s.size()));
        text.replace(',', '.');
        bool ok = false;
        v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            tk.fail(t.line, QStringLiteral("dla kodu grupy %1 oczekiwano liczby, jest \"%2\"")
                                .arg(t.code)
                                .arg(shown(s)));
    }
    return v;
}

int toInt(const Tokenizer& tk, const RawTag& t) {
    const std::string_view s = trim(t.value);
    long long v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size()) {
        const double d = toDouble(tk, t);
        if (std::abs(d) > 4.0e18)
            tk.fail(t.line, QStringLiteral("liczba \"%1\" jest poza zakresem").arg(shown(s)));
        v = static_cast<long long>(d);
    }
    if (v < INT32_MIN || v > INT32_MAX) {
        // 32-bit codes (90..99) may hold unsigned values; keep their bits.
        if (v >= 0 && v <= UINT32_MAX) return static_cast<int>(static_cast<quint32>(v));
        tk.fail(t.line, QStringLiteral("liczba \"%1\" jest poza zakresem").arg(shown(s)));
    }
    return int(v);
}

quint64 toHandle(const RawTag& t) {
    const std::string_view s = trim(t.value);
    quint64 v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || ptr != s.data() + s.size()) return 0;
    return v;
}

}  // namespace cad::dxf
