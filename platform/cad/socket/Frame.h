// The bytes of the host socket: every request and answer travels as one frame,
//   [quint32 payload length, big endian][payload]
// and the payload starts with a magic number, the protocol version, the frame type and the
// request number (answers may come back in another order than the requests: a pick waits for the
// user while later calls are answered); a request then carries its flags (RequestFlag: held back,
// keeps its result under a provisional id, forgets the provisional ids, its failure dropped) before
// its call. A frame that is too large, of another version or that does not decode completely is
// refused; the receiver then closes the connection.
#pragma once

#include "platform/cad/PipelinedChannel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace cad::socket {

constexpr quint32 FrameMagic = 0x54434144;  // "TCAD"
constexpr quint16 ProtocolVersion = 2;
// Large enough for any selection or point array the programs pass, small enough that a corrupt
// length cannot make the host allocate without bound.
constexpr quint32 MaxFrameBytes = 32u * 1024u * 1024u;

enum class FrameType : quint8 { Request = 1, Reply = 2 };

QByteArray EncodeRequest(quint64 sequence, const Call& call, quint8 flags = 0);
// A reply whose frame would pass MaxFrameBytes is sent as a failure that says so (FittingReply).
QByteArray EncodeReply(quint64 sequence, const Reply& reply);
// The same frames appended to a buffer of frames waiting to be written.
void AppendRequest(QByteArray& out, const Request& request);
void AppendReply(QByteArray& out, quint64 sequence, const Reply& reply);

// The reply itself, or, where its frame would pass MaxFrameBytes, a failure naming its size.
Reply FittingReply(const Reply& reply);

using DecodedRequest = Request;
struct DecodedReply {
    quint64 sequence = 0;
    Reply reply;
};
// nullopt for a payload that is not a complete, well-formed frame of this version and type.
std::optional<DecodedRequest> DecodeRequest(QByteArrayView payload);
std::optional<DecodedReply> DecodeReply(QByteArrayView payload);

// Cuts a byte stream into frame payloads.
class FrameReader {
public:
    enum Status { NeedMore, Ready, Oversized };
    void append(const QByteArray& bytes) { append(bytes.constData(), bytes.size()); }
    void append(const char* bytes, qsizetype n) {
        compact();
        buffer_.append(bytes, n);
    }
    // Takes the next complete payload into `payload`; Oversized once a length above the limit
    // was announced (the stream cannot be trusted after that).
    Status next(QByteArray& payload);
    // The same without a copy: the view stays valid until the next append() or next().
    Status next(QByteArrayView& payload);
    qsizetype buffered() const { return buffer_.size() - offset_; }

private:
    void compact();
    QByteArray buffer_;
    qsizetype offset_ = 0;
};

}  // namespace cad::socket
