// Carrying calls to the host and waiting for their answers.
#include "platform/cad/socket/SocketChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace cad {

namespace {
// How long a call waits for its answer before it lets the program's event loop run: ordinary
// calls are answered well within it, so they never re-enter the program's code.
constexpr int QuietWaitMs = 100;
// Buffers up to this size are kept between calls rather than allocated anew.
constexpr qsizetype KeptBufferBytes = 1 << 20;

// Where a socket name lives: a name that is not a path is taken in the temporary folder, as
// Qt's local sockets (which the host listens with) do.
QByteArray socketPath(const QString& name) {
    if (name.startsWith(QLatin1Char('/'))) return QFile::encodeName(name);
    return QFile::encodeName(QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + name);
}

// The system's reason comes in the C locale's words: the number names it unambiguously.
QString socketError(int error) {
    return QString::fromUtf8("błąd gniazda nr %1 (%2)").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}
}  // namespace

SocketChannel::SocketChannel() = default;
SocketChannel::~SocketChannel() {
    disconnect();
}

bool SocketChannel::connectTo(const QString& socketName, int timeoutMs) {
    disconnect();
    const QByteArray path = socketPath(socketName);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socketName.isEmpty() || path.size() >= qsizetype(sizeof addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    // A listener whose queue is full answers EAGAIN: retry until the time is up.
    QDeadlineTimer deadline(timeoutMs);
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno == EINTR) continue;
        if (errno != EAGAIN || deadline.hasExpired()) {
            ::close(fd);
            return false;
        }
        ::poll(nullptr, 0, 10);
    }
    fd_ = fd;
    return true;
}

void SocketChannel::disconnect() {
    dropHeld();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pending_.clear();
    pendingOffset_ = 0;
    reader_ = socket::FrameReader();
}

void SocketChannel::lost(const QString& why) {
    disconnect();
    throw ConnectionLost(QString::fromUtf8("Utracono połączenie z programem CAD (cadhost): %1").arg(why));
}

void SocketChannel::readAvailable() {
    char buf[65536];
    bool closed = false;  // answers sent before the host closed still count
    for (;;) {
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n > 0) {
            reader_.append(buf, n);
            if (size_t(n) < sizeof buf) break;
            continue;
        }
        if (n == 0) {
            closed = true;
            break;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        lost(socketError(errno));
    }
    QByteArrayView payload;
    for (;;) {
        const auto st = reader_.next(payload);
        if (st == socket::FrameReader::NeedMore) break;
        if (st == socket::FrameReader::Oversized) lost(QString::fromUtf8("odpowiedź jest za długa"));
        auto r = socket::DecodeReply(payload);
        if (!r) lost(QString::fromUtf8("odpowiedź jest nieczytelna"));
        answered_.insert(r->sequence, std::move(r->reply));
    }
    if (closed) disconnect();  // the waiting call finds its answer or reports the loss
}

void SocketChannel::writePending(bool reportLoss) {
    while (pendingOffset_ < pending_.size()) {
        const ssize_t n = ::send(fd_, pending_.constData() + pendingOffset_,
                                 size_t(pending_.size() - pendingOffset_), MSG_NOSIGNAL);
        if (n > 0) {
            pendingOffset_ += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (!reportLoss) return;  // the next call that waits for an answer finds it again
        lost(QString::fromUtf8("program CAD zamknął połączenie"));
    }
    // The room is kept for the next calls, unless a large run of held calls made it large.
    if (pending_.capacity() > KeptBufferBytes)
        pending_.clear();
    else
        pending_.resize(0);
    pendingOffset_ = 0;
}

bool SocketChannel::shipAhead(std::vector<Request>& requests) {
    if (!isConnected()) return false;
    for (const Request& r : requests) socket::AppendRequest(pending_, r);
    // What the socket cannot take now goes with the run's next write.
    writePending(false);
    return true;
}

Reply SocketChannel::carry(std::vector<Request>& requests) {
    if (!isConnected()) throw ConnectionLost(QString::fromUtf8("Brak połączenia z programem CAD (cadhost)"));
    const quint64 seq = requests.back().sequence;
    for (const Request& r : requests) socket::AppendRequest(pending_, r);
    writePending();

    // Waiting is a poll and then a read: measured, a read that blocks with a receive timeout
    // made the round trip slower, not faster.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        auto it = answered_.find(seq);
        if (it != answered_.end()) {
            Reply r = std::move(it.value());
            answered_.erase(it);
            return r;
        }
        if (!isConnected()) lost(QString::fromUtf8("program CAD zamknął połączenie"));
        const bool quiet = waited.elapsed() < QuietWaitMs;
        pollfd p{fd_, short(POLLIN | (pending_.isEmpty() ? 0 : POLLOUT)), 0};
        const int ready = ::poll(&p, 1, quiet ? 20 : 15);
        if (ready < 0 && errno != EINTR) lost(socketError(errno));
        if (ready > 0) {
            if (p.revents & POLLOUT) writePending();
            if (p.revents & (POLLIN | POLLHUP | POLLERR)) readAvailable();
            continue;
        }
        if (!quiet && QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
}

}  // namespace cad
