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
    return decodeFrame<Call>(bytes, QStringLiteral("Nadeszła uszkodzona ramka wywołania"));
}

QByteArray EncodeReply(const Reply& reply) {
    return encodeFrame(reply);
}

Reply DecodeReply(const QByteArray& bytes) {
    return decodeFrame<Reply>(bytes, QStringLiteral("Nadeszła uszkodzona ramka odpowiedzi"));
}

Reply LoopbackChannel::carry(std::vector<Request>& requests) {
    Reply last;
    for (Request& rq : requests) {
        const QByteArray request = EncodeCall(rq.call);
        bytes_ += quint64(request.size());
        rq.call = DecodeCall(request);
        std::optional<Reply> answer;
        if (session_.admit(rq, answer)) {
            const QByteArray reply = EncodeReply(model_.handle(rq.call));
            ++run_;
            const Reply r = DecodeReply(reply);
            if (session_.done(rq, r)) {
                bytes_ += quint64(reply.size());
                answer = r;
            }
        }
        if (answer) last = *answer;
    }
    return last;
}

}  // namespace cad
