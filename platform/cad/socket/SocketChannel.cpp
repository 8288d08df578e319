// Carrying calls to the host and waiting for their answers.
#include "platform/cad/socket/SocketChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>

namespace cad {

namespace {
// How long a call waits for its answer before it lets the program's event loop run: ordinary
// calls are answered well within it, so they never re-enter the program's code.
constexpr int QuietWaitMs = 100;
}  // namespace

SocketChannel::SocketChannel() = default;
SocketChannel::~SocketChannel() = default;

bool SocketChannel::connectTo(const QString& socketName, int timeoutMs) {
    socket_ = std::make_unique<QLocalSocket>();
    socket_->connectToServer(socketName);
    if (socket_->waitForConnected(timeoutMs)) return true;
    socket_.reset();
    return false;
}

bool SocketChannel::isConnected() const {
    return socket_ && socket_->state() == QLocalSocket::ConnectedState;
}

void SocketChannel::disconnect() {
    if (socket_) socket_->abort();
    socket_.reset();
}

void SocketChannel::lost(const QString& why) {
    if (socket_) socket_->abort();
    throw Failed(QStringLiteral("The connection to the CAD host was lost: %1").arg(why));
}

void SocketChannel::readFrames() {
    reader_.append(socket_->readAll());
    QByteArray payload;
    for (;;) {
        const auto st = reader_.next(payload);
        if (st == socket::FrameReader::NeedMore) return;
        if (st == socket::FrameReader::Oversized) lost(QStringLiteral("oversized answer"));
        auto r = socket::DecodeReply(payload);
        if (!r) lost(QStringLiteral("malformed answer"));
        answered_.insert(r->sequence, std::move(r->reply));
    }
}

Variant SocketChannel::call(ObjectId object, const QString& member, CallKind kind,
                            std::span<const Variant> args) {
    if (!isConnected()) throw Failed(QStringLiteral("Not connected to the CAD host"));
    const quint64 seq = nextSequence_++;
    Call c;
    c.object = object;
    c.member = member;
    c.kind = kind;
    c.args = VariantList(args.begin(), args.end());
    socket_->write(socket::EncodeRequest(seq, c));
    socket_->flush();

    QElapsedTimer waited;
    waited.start();
    for (;;) {
        auto it = answered_.find(seq);
        if (it != answered_.end()) {
            const Reply r = std::move(it.value());
            answered_.erase(it);
            return r.take();
        }
        if (!socket_ || socket_->state() != QLocalSocket::ConnectedState)
            lost(QStringLiteral("the host closed it"));
        if (socket_->bytesAvailable() > 0) {
            readFrames();
            continue;
        }
        const bool quiet = waited.elapsed() < QuietWaitMs;
        if (socket_->bytesToWrite() > 0) socket_->waitForBytesWritten(quiet ? 10 : 0);
        if (socket_->waitForReadyRead(quiet ? 20 : 15)) continue;
        if (socket_->state() != QLocalSocket::ConnectedState) lost(QStringLiteral("the host closed it"));
        if (!quiet && QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
}

}  // namespace cad
