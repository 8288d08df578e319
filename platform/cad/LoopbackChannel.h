// A channel that carries every call and answer as bytes through QDataStream before and after
// the model handles it, exactly as the socket channel frames them. Proves that nothing but
// Variants and ids cross a channel; used by tests to run the facade as a remote program would.
#pragma once

#include "platform/cad/Channel.h"
#include "platform/cad/model/ObjectModel.h"

namespace cad {

// Frames for the byte channels: one call or answer each.
QByteArray EncodeCall(const Call& call);
Call DecodeCall(const QByteArray& bytes);  // throws Failed for a corrupt frame
QByteArray EncodeReply(const Reply& reply);
Reply DecodeReply(const QByteArray& bytes);  // throws Failed for a corrupt frame

class LoopbackChannel : public Channel {
public:
    explicit LoopbackChannel(ObjectModel& model) : model_(model) {}
    Variant call(ObjectId object, const QString& member, CallKind kind,
                 std::span<const Variant> args) override;
    quint64 bytesCarried() const { return bytes_; }

private:
    ObjectModel& model_;
    quint64 bytes_ = 0;
};

}  // namespace cad
