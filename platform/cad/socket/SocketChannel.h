// The program's side of the host socket: a Channel whose calls are answered by `cadhost`.
// A call blocks the caller until its answer arrives. While an answer is slow in coming (the user
// is picking in the host), the program's event loop keeps running without user input, so its
// windows paint but cannot be clicked; a call made meanwhile (a timer) is carried as well.
#pragma once

#include "platform/cad/Channel.h"
#include "platform/cad/socket/Frame.h"

#include <QHash>
#include <memory>

class QLocalSocket;

namespace cad {

class SocketChannel : public Channel {
public:
    SocketChannel();
    ~SocketChannel() override;
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // Connects to the host listening under `socketName`; false when none answers in time.
    bool connectTo(const QString& socketName, int timeoutMs = 2000);
    bool isConnected() const;
    void disconnect();

    // Throws the typed exceptions of the answer, or Failed when the connection is lost.
    Variant call(ObjectId object, const QString& member, CallKind kind,
                 std::span<const Variant> args) override;

private:
    void readFrames();
    [[noreturn]] void lost(const QString& why);

    std::unique_ptr<QLocalSocket> socket_;
    socket::FrameReader reader_;
    QHash<quint64, Reply> answered_;
    quint64 nextSequence_ = 1;
};

}  // namespace cad
