// Decoding of binary DXF files: group codes of one byte (R12 and before, 255 escaping a 16-bit
// code) or two bytes (R13 and after), values typed by their group code.
#include "platform/cad/dxf/BinaryDxf.h"

#include "platform/cad/engine/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace cad::dxf {

namespace {

const char sentinel[] = "AutoCAD Binary DXF\r\n\x1a";  // followed by a zero byte
constexpr qsizetype sentinelSize = 22;

enum class ValueType { Text, Double, Int16, Int32, Int64, Bool, Binary };

ValueType typeOf(int code) {
    if (code >= 10 && code <= 59) return ValueType::Double;
    if (code >= 60 && code <= 79) return ValueType::Int16;
    if (code >= 90 && code <= 99) return ValueType::Int32;
    if (code >= 110 && code <= 149) return ValueType::Double;
    if (code >= 160 && code <= 169) return ValueType::Int64;
    if (code >= 170 && code <= 179) return ValueType::Int16;
    if (code >= 210 && code <= 239) return ValueType::Double;
    if (code >= 270 && code <= 289) return ValueType::Int16;
    if (code >= 290 && code <= 299) return ValueType::Bool;
    if (code >= 310 && code <= 319) return ValueType::Binary;
    if (code >= 370 && code <= 389) return ValueType::Int16;
    if (code >= 400 && code <= 409) return ValueType::Int16;
    if (code >= 420 && code <= 429) return ValueType::Int32;
    if (code >= 440 && code <= 459) return ValueType::Int32;
    if (code >= 460 && code <= 469) return ValueType::Double;
    if (code == 1004) return ValueType::Binary;
    if (code >= 1010 && code <= 1059) return ValueType::Double;
    if (code >= 1060 && code <= 1070) return ValueType::Int16;
    if (code == 1071) return ValueType::Int32;
    return ValueType::Text;
}

class Decoder {
public:
    Decoder(const QByteArray& data, const QString& source)
        : p_(reinterpret_cast<const unsigned char*>(data.constData())), size_(data.size()), source_(source) {}

    QByteArray run() {
        pos_ = sentinelSize;
        // The first pair is (0, "SECTION"): a zero second byte means two-byte group codes.
        wideCodes_ = size_ >= pos_ + 2 && p_[pos_] == 0 && p_[pos_ + 1] == 0;
        QByteArray out;
        out.reserve(size_ * 2);
        while (pos_ < size_) {
            const int code = nextCode();
            appendNumber(out, code);
            out.append('\n');
            value(code, out);
            out.append('\n');
        }
        return out;
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw Failed(QStringLiteral("%1, bajt %2: %3")
                         .arg(source_.isEmpty() ? QStringLiteral("DXF") : source_)
                         .arg(pos_)
                         .arg(QString::fromUtf8(what)));
    }
    void need(qsizetype n) const {
        if (size_ - pos_ < n) fail("binarny DXF kończy się wewnątrz wartości");
    }
    template <class T>
    T little() {
        need(qsizetype(sizeof(T)));
        T v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v |= T(T(p_[pos_ + qsizetype(i)]) << (8 * i));
        pos_ += qsizetype(sizeof(T));
        return v;
    }
    int nextCode() {
        if (wideCodes_) return int(qint16(little<quint16>()));
        const int c = little<quint8>();
        return c == 255 ? int(qint16(little<quint16>())) : c;
    }
    template <class N>
    static void appendNumber(QByteArray& out, N v) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out.append(buf, qsizetype(r.ptr - buf));
    }
    void value(int code, QByteArray& out) {
        switch (typeOf(code)) {
            case ValueType::Text: {
                const void* zero = std::memchr(p_ + pos_, 0, size_t(size_ - pos_));
                if (!zero) fail("tekst nie jest zakończony");
                const qsizetype len = static_cast<const unsigned char*>(zero) - (p_ + pos_);
                // A line break inside a value would split the text pair.
                for (qsizetype i = 0; i < len; ++i) {
                    const char c = char(p_[pos_ + i]);
                    out.append(c == '\n' || c == '\r' ? ' ' : c);
                }
                pos_ += len + 1;
                return;
            }
            case ValueType::Double: {
                const quint64 bits = little<quint64>();
                double d;
                std::memcpy(&d, &bits, sizeof d);
                if (!std::isfinite(d)) fail("liczba nie jest skończona");
                // As text files write them: "1.0", not "1".
                char buf[32];
                auto r = std::to_chars(buf, buf + sizeof buf, d);
                out.append(buf, qsizetype(r.ptr - buf));
                if (std::find(buf, r.ptr, '.') == r.ptr && std::find(buf, r.ptr, 'e') == r.ptr)
                    out.append(".0");
                return;
            }
            case ValueType::Int16:
                appendNumber(out, int(qint16(little<quint16>())));
                return;
            case ValueType::Int32:
                appendNumber(out, qint32(little<quint32>()));
                return;
            case ValueType::Int64:
                appendNumber(out, qint64(little<quint64>()));
                return;
            case ValueType::Bool:
                appendNumber(out, int(little<quint8>()));
                return;
            case ValueType::Binary: {
                const qsizetype n = little<quint8>();
                need(n);
                static const char hex[] = "0123456789ABCDEF";
                for (qsizetype i = 0; i < n; ++i) {
                    out.append(hex[p_[pos_ + i] >> 4]);
                    out.append(hex[p_[pos_ + i] & 15]);
                }
                pos_ += n;
                return;
            }
        }
    }

    const unsigned char* p_;
    qsizetype size_;
    qsizetype pos_ = 0;
    bool wideCodes_ = true;
    QString source_;
};

}  // namespace

bool isBinaryDxf(const QByteArray& data) {
    return data.size() >= sentinelSize && std::memcmp(data.constData(), sentinel, sentinelSize - 1) == 0 &&
           data.at(sentinelSize - 1) == 0;
}

QByteArray binaryDxfToText(const QByteArray& data, const QString& sourceName) {
    return Decoder(data, sourceName).run();
}

}  // namespace cad::dxf
