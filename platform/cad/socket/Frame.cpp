// Encoding and decoding of the host socket's frames.
#include "platform/cad/socket/Frame.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace cad::socket {

namespace {

// Arrays in arrays deeper than this are refused before decoding: the value decoder recurses,
// and a hostile frame of nested empty arrays would otherwise exhaust the stack.
constexpr int MaxNesting = 32;

// Walks the encoded values without building them, checking sizes and nesting.
class Scanner {
public:
    explicit Scanner(QByteArrayView b) : b_(b) {}
    bool skip(qsizetype n) {
        if (n < 0 || b_.size() - pos_ < n) return false;
        pos_ += n;
        return true;
    }
    bool u8(quint8& v) {
        if (pos_ >= b_.size()) return false;
        v = quint8(b_[pos_++]);
        return true;
    }
    bool u32(quint32& v) {
        if (b_.size() - pos_ < 4) return false;
        v = qFromBigEndian<quint32>(b_.constData() + pos_);
        pos_ += 4;
        return true;
    }
    bool text() {
        quint32 n = 0;
        if (!u32(n)) return false;
        if (n == 0xFFFFFFFFu) return true;  // a null text
        return (n % 2) == 0 && skip(n);
    }
    bool value(int depth) {
        quint8 t = 0;
        if (!u8(t)) return false;
        switch (t) {
            case Variant::Empty:
                return true;
            case Variant::Bool:
                return skip(1);
            case Variant::Int:
            case Variant::Double:
            case Variant::Object:
                return skip(8);
            case Variant::Text:
                return text();
            case Variant::PointValue:
                return skip(24);
            case Variant::Array: {
                quint32 n = 0;
                if (depth >= MaxNesting || !u32(n)) return false;
                for (quint32 i = 0; i < n; ++i)
                    if (!value(depth + 1)) return false;
                return true;
            }
            default:
                return false;
        }
    }
    bool call() {
        quint8 kind = 0, flags = 0;
        if (!u8(flags) || flags > 15) return false;
        quint32 n = 0;
        if (!skip(8) || !text() || !u8(kind) || !u32(n)) return false;
        for (quint32 i = 0; i < n; ++i)
            if (!value(0)) return false;
        return true;
    }
    bool reply() {
        quint8 failed = 0, kind = 0;
        if (!u8(failed)) return false;
        if (failed) return u8(kind) && text();
        return value(0);
    }
    bool atEnd() const { return pos_ == b_.size(); }

private:
    QByteArrayView b_;
    qsizetype pos_ = 0;
};

// Header: magic, version, type, sequence.
constexpr qsizetype HeaderBytes = 4 + 2 + 1 + 8;

bool scan(QByteArrayView payload, FrameType type) {
    Scanner sc(payload);
    if (!sc.skip(HeaderBytes)) return false;
    const bool ok = type == FrameType::Request ? sc.call() : sc.reply();
    return ok && sc.atEnd();
}

// The bytes are those QDataStream (Qt 6.0 format, big endian) gives, written and read by hand:
// a call is small, and a stream over a buffer costs more than the call's own bytes.
// A frame is measured first (Sizer) and then written through a plain pointer into room made once
// (Writer): growing the buffer value by value cost more than the rest of serving an empty call.
class Sizer {
public:
    qsizetype size = 0;
    template <class T>
    void num(T) {
        size += qsizetype(sizeof(T));
    }
    void real(double) { size += 8; }
    void text(const QString& t) { size += 4 + (t.isNull() ? 0 : t.size() * 2); }
    void value(const Variant& v) {
        size += 1;
        switch (v.type()) {
            case Variant::Empty:
                break;
            case Variant::Bool:
                size += 1;
                break;
            case Variant::Int:
            case Variant::Double:
            case Variant::Object:
                size += 8;
                break;
            case Variant::Text:
                text(v.toText());
                break;
            case Variant::PointValue:
                size += 24;
                break;
            case Variant::Array:
                size += 4;
                for (const Variant& e : *v.arrayPtr()) value(e);
                break;
        }
    }
    void body(const Request& rq) {
        size += 1;
        body(rq.call);
    }
    void body(const Call& c) {
        size += 8;
        text(c.member);
        size += 1 + 4;
        for (const Variant& a : c.args) value(a);
    }
    void body(const Reply& r) {
        size += 1;
        if (r.failed) {
            size += 1;
            text(r.message);
        } else {
            value(r.result);
        }
    }
};

class Writer {
public:
    explicit Writer(char* p) : p_(p) {}
    char* at() const { return p_; }
    template <class T>
    void num(T v) {
        qToBigEndian<T>(v, p_);
        p_ += sizeof(T);
    }
    void real(double d) {
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        num<quint64>(bits);
    }
    void text(const QString& t) {
        if (t.isNull()) {
            num<quint32>(0xFFFFFFFFu);
            return;
        }
        num<quint32>(quint32(t.size() * 2));
        qToBigEndian<quint16>(t.utf16(), t.size(), p_);
        p_ += t.size() * 2;
    }
    void value(const Variant& v) {
        num<quint8>(quint8(v.type()));
        switch (v.type()) {
            case Variant::Empty:
                break;
            case Variant::Bool:
                num<quint8>(v.toBool() ? 1 : 0);
                break;
            case Variant::Int:
                num<qint64>(v.toInt());
                break;
            case Variant::Double:
                real(v.toDouble());
                break;
            case Variant::Text:
                text(v.toText());
                break;
            case Variant::PointValue: {
                const Point p = v.toPoint();
                real(p.x);
                real(p.y);
                real(p.z);
                break;
            }
            case Variant::Array: {
                const VariantList& a = *v.arrayPtr();
                num<quint32>(quint32(a.size()));
                for (const Variant& e : a) value(e);
                break;
            }
            case Variant::Object:
                num<quint64>(v.toObject());
                break;
        }
    }
    void body(const Request& rq) {
        num<quint8>(rq.flags);
        body(rq.call);
    }
    void body(const Call& c) {
        num<quint64>(c.object);
        text(c.member);
        num<quint8>(quint8(c.kind));
        num<quint32>(quint32(c.args.size()));
        for (const Variant& a : c.args) value(a);
    }
    void body(const Reply& r) {
        num<quint8>(r.failed ? 1 : 0);
        if (r.failed) {
            num<quint8>(quint8(r.errorKind));
            text(r.message);
        } else {
            value(r.result);
        }
    }

private:
    char* p_;
};

// Reads a payload the Scanner has already checked, so sizes and nesting are known to hold.
class Reader {
public:
    explicit Reader(QByteArrayView b) : p_(b.data()) {}
    template <class T>
    T num() {
        const T v = qFromBigEndian<T>(p_);
        p_ += sizeof(T);
        return v;
    }
    double real() {
        const quint64 bits = num<quint64>();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    QString text() {
        const quint32 n = num<quint32>();
        if (n == 0xFFFFFFFFu) return QString();
        QString t(qsizetype(n / 2), Qt::Uninitialized);
        qFromBigEndian<quint16>(p_, n / 2, t.data());
        p_ += n;
        return t;
    }
    Variant value() {
        switch (num<quint8>()) {
            case Variant::Bool:
                return Variant(num<quint8>() != 0);
            case Variant::Int:
                return Variant(num<qint64>());
            case Variant::Double:
                return Variant(real());
            case Variant::Text:
                return Variant(text());
            case Variant::PointValue: {
                Point p;
                p.x = real();
                p.y = real();
                p.z = real();
                return Variant(p);
            }
            case Variant::Array: {
                const quint32 n = num<quint32>();
                VariantList a;
                a.reserve(n);  // the Scanner saw every element
                for (quint32 i = 0; i < n; ++i) a.append(value());
                return Variant(a);
            }
            case Variant::Object:
                return Variant(ObjectRef{num<quint64>()});
            default:
                return Variant();
        }
    }
    bool body(Request& rq) {
        rq.flags = num<quint8>();
        return body(rq.call);
    }
    bool body(Call& c) {
        c.object = num<quint64>();
        c.member = text();
        const quint8 kind = num<quint8>();
        if (kind > quint8(CallKind::Method)) return false;
        c.kind = CallKind(kind);
        const quint32 n = num<quint32>();
        c.args.clear();
        c.args.reserve(n);
        for (quint32 i = 0; i < n; ++i) c.args.append(value());
        return true;
    }
    bool body(Reply& r) {
        r.failed = num<quint8>() != 0;
        if (r.failed) {
            const quint8 kind = num<quint8>();
            r.errorKind = kind <= quint8(Error::FailedKind) ? Error::Kind(kind) : Error::FailedKind;
            r.message = text();
            r.result = Variant();
        } else {
            r.result = value();
        }
        return true;
    }

private:
    const char* p_;
};

// Appends the frame to `out` (several frames sent together share one buffer).
template <class Body>
void encodeInto(QByteArray& out, FrameType type, quint64 sequence, const Body& body) {
    Sizer sizer;
    sizer.body(body);
    const qsizetype payload = HeaderBytes + sizer.size;
    const qsizetype start = out.size();
    // Room grows geometrically: a run of held calls appends many frames to one buffer.
    if (out.capacity() < start + 4 + payload) out.reserve(std::max(2 * out.capacity(), start + 4 + payload));
    out.resize(start + 4 + payload);
    Writer w(out.data() + start);
    w.num<quint32>(quint32(payload));
    w.num<quint32>(FrameMagic);
    w.num<quint16>(ProtocolVersion);
    w.num<quint8>(quint8(type));
    w.num<quint64>(sequence);
    w.body(body);
    Q_ASSERT(w.at() == out.constData() + out.size());
}

template <class Body>
QByteArray encode(FrameType type, quint64 sequence, const Body& body) {
    QByteArray frame;
    encodeInto(frame, type, sequence, body);
    return frame;
}

// Reads the header and the body; the frame counts only when it is intact and fully used.
template <class Body>
bool decode(QByteArrayView payload, FrameType type, quint64& sequence, Body& body) {
    if (payload.size() < HeaderBytes) return false;
    Reader r(payload);
    const quint32 magic = r.num<quint32>();
    const quint16 version = r.num<quint16>();
    const quint8 t = r.num<quint8>();
    if (magic != FrameMagic || version != ProtocolVersion || t != quint8(type)) return false;
    if (!scan(payload, type)) return false;
    sequence = r.num<quint64>();
    return r.body(body);
}

}  // namespace

QByteArray EncodeRequest(quint64 sequence, const Call& call, quint8 flags) {
    Request rq;
    rq.flags = flags;
    rq.call = call;
    return encode(FrameType::Request, sequence, rq);
}
void AppendRequest(QByteArray& out, const Request& request) {
    encodeInto(out, FrameType::Request, request.sequence, request);
}
Reply FittingReply(const Reply& reply) {
    Sizer sizer;
    sizer.body(reply);
    const qsizetype payload = HeaderBytes + sizer.size;
    if (payload <= qsizetype(MaxFrameBytes)) return reply;
    // The receiver refuses a frame past the limit and closes the connection; the one answer that
    // cannot travel fails on its own instead, named, and the program keeps its host.
    Reply refused;
    refused.failed = true;
    refused.errorKind = Error::FailedKind;
    refused.message =
        QString::fromUtf8("Odpowiedź programu CAD jest za długa, by ją przesłać (%1 MB, najwięcej %2 MB)")
            .arg((payload + (1 << 20) - 1) >> 20)
            .arg(MaxFrameBytes >> 20);
    return refused;
}

void AppendReply(QByteArray& out, quint64 sequence, const Reply& reply) {
    encodeInto(out, FrameType::Reply, sequence, FittingReply(reply));
}
QByteArray EncodeReply(quint64 sequence, const Reply& reply) {
    return encode(FrameType::Reply, sequence, FittingReply(reply));
}

std::optional<DecodedRequest> DecodeRequest(QByteArrayView payload) {
    DecodedRequest r;
    if (!decode(payload, FrameType::Request, r.sequence, r)) return std::nullopt;
    return r;
}

std::optional<DecodedReply> DecodeReply(QByteArrayView payload) {
    DecodedReply r;
    if (!decode(payload, FrameType::Reply, r.sequence, r.reply)) return std::nullopt;
    return r;
}

void FrameReader::compact() {
    if (offset_ == 0) return;
    if (offset_ == buffer_.size()) {
        buffer_.resize(0);  // keeps the room for the next frames
        offset_ = 0;
    } else if (offset_ > 65536) {
        // Drop consumed bytes now and then rather than on every frame.
        buffer_.remove(0, offset_);
        offset_ = 0;
    }
}

FrameReader::Status FrameReader::next(QByteArrayView& payload) {
    compact();
    const qsizetype avail = buffer_.size() - offset_;
    if (avail < 4) return NeedMore;
    const quint32 length = qFromBigEndian<quint32>(buffer_.constData() + offset_);
    if (length > MaxFrameBytes) return Oversized;
    if (avail < 4 + qsizetype(length)) return NeedMore;
    payload = QByteArrayView(buffer_.constData() + offset_ + 4, qsizetype(length));
    offset_ += 4 + length;
    return Ready;
}

FrameReader::Status FrameReader::next(QByteArray& payload) {
    QByteArrayView view;
    const Status st = next(view);
    if (st == Ready) payload = view.toByteArray();
    return st;
}

}  // namespace cad::socket
