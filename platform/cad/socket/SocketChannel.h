// The program's side of the host socket: a Channel whose calls are answered by `cadhost`.
// A call blocks the caller until its answer arrives. While an answer is slow in coming (the user
// is picking in the host), the program's event loop keeps running without user input, so its
// windows paint but cannot be clicked; a call made meanwhile (a timer) is carried as well.
// The socket is driven directly (poll, send, recv): a call is a write and a blocking read, with no
// event-loop machinery between the host's answer and the caller. Calls held back in a deferral
// scope go in the same write as the next call that needs an answer (PipelinedChannel); a long run
// goes ahead in parts while the program works on (shipAhead), so the host runs it meanwhile.
#pragma once

#include "platform/cad/PipelinedChannel.h"
#include "platform/cad/socket/Frame.h"

#include <QHash>

namespace cad {

class SocketChannel : public PipelinedChannel {
public:
    SocketChannel();
    ~SocketChannel() override;
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // Connects to the host listening under `socketName` (a path, or a name in the temporary
    // folder); false when none answers in time.
    bool connectTo(const QString& socketName, int timeoutMs = 2000);
    bool isConnected() const { return fd_ >= 0; }
    void disconnect();

protected:
    // Throws Failed when the connection is lost.
    Reply carry(std::vector<Request>& requests) override;
    bool shipAhead(std::vector<Request>& requests) override;

private:
    void readAvailable();
    // Writes what the socket takes now; a lost connection throws unless `reportLoss` is false.
    void writePending(bool reportLoss = true);
    [[noreturn]] void lost(const QString& why);

    int fd_ = -1;
    socket::FrameReader reader_;
    // Frames not yet fully written: a call made while another waits queues behind it whole, so
    // frames never interleave.
    QByteArray pending_;
    qsizetype pendingOffset_ = 0;
    QHash<quint64, Reply> answered_;
};

}  // namespace cad
