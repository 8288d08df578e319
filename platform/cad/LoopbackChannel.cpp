// Framing of calls and answers, and the loopback channel over it.
#include "platform/cad/LoopbackChannel.h"

#include <QIODevice>

namespace cad {

namespace {
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;
}

QByteArray EncodeCall(const Call& call) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(StreamVersion);
    s << call;
    return out;
}

Call DecodeCall(const QByteArray& bytes) {
    QDataStream s(bytes);
    s.setVersion(StreamVersion);
    Call c;
    s >> c;
    if (s.status() != QDataStream::Ok || !s.atEnd())
        throw Failed(QStringLiteral("A corrupt call frame arrived"));
    return c;
}

QByteArray EncodeReply(const Reply& reply) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(StreamVersion);
    s << reply;
    return out;
}

Reply DecodeReply(const QByteArray& bytes) {
    QDataStream s(bytes);
    s.setVersion(StreamVersion);
    Reply r;
    s >> r;
    if (s.status() != QDataStream::Ok || !s.atEnd())
        throw Failed(QStringLiteral("A corrupt answer frame arrived"));
    return r;
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
