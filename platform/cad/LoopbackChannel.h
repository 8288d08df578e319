// A channel that carries every call and answer as bytes through QDataStream before and after
// the model handles it, exactly as the socket channel frames them. Proves that nothing but
// Variants and ids cross a channel; used by tests to run the facade as a remote program would.
#pragma once

#include "platform/cad/PipelinedChannel.h"
#include "platform/cad/model/ObjectModel.h"
#include "platform/cad/socket/ServingSession.h"

namespace cad {

// Frames for the byte channels: one call or answer each.
QByteArray EncodeCall(const Call& call);
Call DecodeCall(const QByteArray& bytes);  // throws Failed for a corrupt frame
QByteArray EncodeReply(const Reply& reply);
Reply DecodeReply(const QByteArray& bytes);  // throws Failed for a corrupt frame

class LoopbackChannel : public PipelinedChannel {
public:
    explicit LoopbackChannel(ObjectModel& model) : model_(model) {}
    quint64 bytesCarried() const { return bytes_; }
    // Calls the model ran (held-back calls skipped after a failure are not).
    quint64 callsRun() const { return run_; }

protected:
    Reply carry(std::vector<Request>& requests) override;

private:
    ObjectModel& model_;
    socket::ServingSession session_;
    quint64 run_ = 0;
    quint64 bytes_ = 0;
};

}  // namespace cad
