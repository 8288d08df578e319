// Framing of calls and answers, and the loopback channel over it.
#include "platform/cad/LoopbackChannel.h"

#include <QIODevice>

namespace cad {

namespace {
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;

template <class T>
QByteArray encodeFrame(const T& value) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(StreamVersion);
    s << value;
    return out;
}

// A frame must decode cleanly and to its last byte; anything else is corruption.
template <class T>
T decodeFrame(const QByteArray& bytes, const QString& corrupt) {
    QDataStream s(bytes);
    s.setVersion(StreamVersion);
    T value;
    s >> value;
    if (s.status() != QDataStream::Ok || !s.atEnd()) throw Failed(corrupt);
    return value;
}
}  // namespace

QByteArray EncodeCall(const Call& call) {
    return encodeFrame(call);
}

Call DecodeCall(const QByteArray& bytes) {
    return decodeFrame<Call>(bytes, QStringLiteral("A corrupt call frame arrived"));
}

QByteArray EncodeReply(const Reply& reply) {
    return encodeFrame(reply);
}

Reply DecodeReply(const QByteArray& bytes) {
    return decodeFrame<Reply>(bytes, QStringLiteral("A corrupt answer frame arrived"));
}

Variant LoopbackChannel::call(ObjectId object, const QString& member, CallKind kind,
                              std::span<const Variant> args) {
    Call c;
    c.object = object;
    c.member = member;
    c.kind = kind;
    c.args = VariantList(args.begin(), args.end());
    const QByteArray request = EncodeCall(c);
    const Reply answer = model_.handle(DecodeCall(request));
    const QByteArray reply = EncodeReply(answer);
    bytes_ += quint64(request.size() + reply.size());
    return DecodeReply(reply).take();
}

}  // namespace cad
