// Encoding and decoding of the host socket's frames.
#include "platform/cad/socket/Frame.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace cad::socket {

namespace {

constexpr auto StreamVersion = QDataStream::Qt_6_0;
// Arrays in arrays deeper than this are refused before decoding: the value decoder recurses,
// and a hostile frame of nested empty arrays would otherwise exhaust the stack.
constexpr int MaxNesting = 32;

// Walks the encoded values without building them, checking sizes and nesting.
class Scanner {
public:
    explicit Scanner(const QByteArray& b) : b_(b) {}
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
        quint8 kind = 0;
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
    const QByteArray& b_;
    qsizetype pos_ = 0;
};

// Header: magic, version, type, sequence.
constexpr qsizetype HeaderBytes = 4 + 2 + 1 + 8;

bool scan(const QByteArray& payload, FrameType type) {
    Scanner sc(payload);
    if (!sc.skip(HeaderBytes)) return false;
    const bool ok = type == FrameType::Request ? sc.call() : sc.reply();
    return ok && sc.atEnd();
}

template <class Body>
QByteArray encode(FrameType type, quint64 sequence, const Body& body) {
    QByteArray payload;
    {
        QDataStream s(&payload, QIODevice::WriteOnly);
        s.setVersion(StreamVersion);
        s << FrameMagic << ProtocolVersion << quint8(type) << sequence << body;
    }
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(payload.size()), frame.data());
    frame.append(payload);
    return frame;
}

// Reads the header and the body; the frame counts only when the stream is intact and fully used.
template <class Body>
bool decode(const QByteArray& payload, FrameType type, quint64& sequence, Body& body) {
    QDataStream s(payload);
    s.setVersion(StreamVersion);
    quint32 magic = 0;
    quint16 version = 0;
    quint8 t = 0;
    s >> magic >> version >> t;
    if (s.status() != QDataStream::Ok || magic != FrameMagic || version != ProtocolVersion ||
        t != quint8(type))
        return false;
    if (!scan(payload, type)) return false;
    s >> sequence >> body;
    return s.status() == QDataStream::Ok && s.atEnd();
}

}  // namespace

QByteArray EncodeRequest(quint64 sequence, const Call& call) {
    return encode(FrameType::Request, sequence, call);
}
QByteArray EncodeReply(quint64 sequence, const Reply& reply) {
    return encode(FrameType::Reply, sequence, reply);
}

std::optional<DecodedRequest> DecodeRequest(const QByteArray& payload) {
    DecodedRequest r;
    if (!decode(payload, FrameType::Request, r.sequence, r.call)) return std::nullopt;
    return r;
}

std::optional<DecodedReply> DecodeReply(const QByteArray& payload) {
    DecodedReply r;
    if (!decode(payload, FrameType::Reply, r.sequence, r.reply)) return std::nullopt;
    return r;
}

FrameReader::Status FrameReader::next(QByteArray& payload) {
    const qsizetype avail = buffer_.size() - offset_;
    if (avail < 4) return NeedMore;
    const quint32 length = qFromBigEndian<quint32>(buffer_.constData() + offset_);
    if (length > MaxFrameBytes) return Oversized;
    if (avail < 4 + qsizetype(length)) return NeedMore;
    payload = buffer_.mid(offset_ + 4, length);
    offset_ += 4 + length;
    // Drop consumed bytes now and then rather than on every frame.
    if (offset_ > 65536 || offset_ == buffer_.size()) {
        buffer_.remove(0, offset_);
        offset_ = 0;
    }
    return Ready;
}

}  // namespace cad::socket
