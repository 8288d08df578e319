// Accepting connections, cutting frames, serving calls and deferring picks.
#include "cadhost/SocketServer.h"


#include "platform/cad/model/CommandProcessor.h"
#include "platform/cad/socket/SocketChannel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

namespace cadhost {

using cad::Input;
using cad::InputRequest;

namespace {
// How long the programs must be quiet before their changes end as one undo step.
constexpr int QuietMs = 300;
// Answer buffers up to this size are kept between answers rather than allocated anew.
constexpr qsizetype KeptBufferBytes = 1 << 20;
// How long one wake-up goes on serving calls that keep arriving.
constexpr qint64 DrainMs = 8;

// The process at the other end of a local socket (0 when unknown).
qint64 peerPid(int fd) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.pid <= 0) return 0;
    return cred.pid;
}

// The executable of a process (empty when unknown).
QString programOf(qint64 pid) {
    if (pid <= 0) return {};
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (!exe.isEmpty()) return QFileInfo(exe).fileName();
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

}  // namespace

// Listens as a QLocalServer (the socket file, its permissions, a stale file) but hands each
// accepted descriptor over as it is instead of wrapping it in a QLocalSocket.
class SocketServer::Listener : public QLocalServer {
public:
    Listener(SocketServer* owner) : QLocalServer(owner), owner_(owner) {}

protected:
    void incomingConnection(quintptr descriptor) override { owner_->accept(int(descriptor)); }

private:
    SocketServer* owner_;
};

SocketServer::SocketServer(cad::ObjectModel& model, HostInteraction& interaction, QObject* parent)
    : QObject(parent),
      model_(model),
      interaction_(interaction),
      server_(new Listener(this)),
      quiet_(new QTimer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Checked on a tick rather than re-armed on every call: the calls themselves pay nothing.
    quiet_->setInterval(QuietMs);
    connect(quiet_, &QTimer::timeout, this, [this] {
        // A pick or a sent command waiting for the user is still part of the program's command;
        // the window's own command ends its step itself.
        if (served_ == servedAtTick_ && !interaction_.pickActive() && model_.commands().isQuiescent() &&
            !interaction_.windowCommandRunning())
            model_.closeUndoSteps();
        servedAtTick_ = served_;
    });
    quiet_->start();
}

SocketServer::~SocketServer() {
    for (auto& [id, c] : connections_) {
        delete c->readable;
        delete c->writable;
        ::close(c->fd);
    }
}

bool SocketServer::listen(const QString& name, QString* error) {
    // Someone answering there is another host: taking the name over would cut its programs off.
    // Otherwise a file there was left by a host that died and is replaced.
    {
        cad::SocketChannel probe;
        if (probe.connectTo(name, 300)) {
            if (error) *error = QStringLiteral("Inny program CAD już nasłuchuje pod nazwą %1.").arg(name);
            return false;
        }
    }
    QLocalServer::removeServer(name);
    if (server_->listen(name)) return true;
    if (error) *error = server_->errorString();
    return false;
}

QString SocketServer::name() const {
    return server_->fullServerName();
}

void SocketServer::accept(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        ::close(fd);
        return;
    }
    auto c = std::make_unique<Connection>();
    c->id = nextConnection_++;
    c->fd = fd;
    c->pid = peerPid(fd);
    c->program = programOf(c->pid);
    const quint64 id = c->id;
    c->readable = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(c->readable, &QSocketNotifier::activated, this, [this, id] { readFrom(id); });
    c->writable = new QSocketNotifier(qintptr(fd), QSocketNotifier::Write, this);
    c->writable->setEnabled(false);
    connect(c->writable, &QSocketNotifier::activated, this, [this, id] { writeTo(id); });
    connections_[id] = std::move(c);
    emit connectionsChanged(connectionCount());
}

QStringList SocketServer::attachedPrograms(const cad::DocumentState* doc) const {
    QStringList out;
    for (const auto& [id, c] : connections_) {
        if (doc && !c->documents.contains(doc)) continue;
        const QString name = c->program.isEmpty() ? QStringLiteral("program %1").arg(id) : c->program;
        if (!out.contains(name)) out << name;
    }
    out.sort();
    return out;
}

QList<qint64> SocketServer::attachedPids() const {
    QList<qint64> out;
    for (const auto& [id, c] : connections_)
        if (c->pid > 0 && !out.contains(c->pid)) out << c->pid;
    return out;
}

qint64 SocketServer::pidOf(const QString& program, const cad::DocumentState* doc) const {
    for (const auto& [id, c] : connections_)
        if (c->pid > 0 && c->program == program && (!doc || c->documents.contains(doc))) return c->pid;
    return 0;
}

const cad::DocumentState* SocketServer::workingDocument(qint64 pid) const {
    // A program names the drawing it works on with the name it read (conflictor's status panel); it
    // asks for the CAD's active drawing at every command as well, which another program may have
    // changed meanwhile, so the name read counts first, then the last active drawing it was told.
    for (auto which : {&Connection::namedDocument, &Connection::shownDocument}) {
        for (const auto& [id, c] : connections_) {
            if (pid <= 0 || c->pid != pid || !((*c).*which)) continue;
            for (const cad::DocumentState* d : model_.documents())
                if (d->id == (*c).*which) return d;
        }
    }
    for (const auto& [id, c] : connections_) {
        if (pid <= 0 || c->pid != pid) continue;
        // A drawing closed since (a template opened for a moment) is passed over.
        for (auto it = c->recentDocuments.rbegin(); it != c->recentDocuments.rend(); ++it)
            for (const cad::DocumentState* d : model_.documents())
                if (d->id == *it) return d;
    }
    return nullptr;
}

void SocketServer::noteDocument(Connection& c, const cad::Call& call) {
    try {
        const cad::DocumentState* doc = model_.record(call.object).doc;
        if (doc && doc != c.lastDocument) {
            c.documents.insert(doc);
            c.lastDocument = doc;
            std::erase(c.recentDocuments, doc->id);
            c.recentDocuments.push_back(doc->id);
        }
    } catch (const cad::Error&) {
        // An unknown id names no drawing; the model answers it.
    }
}

void SocketServer::noteShownDocument(Connection& c, const cad::Call& call, const cad::Reply& reply) {
    if (!reply.failed && call.kind == cad::CallKind::Get &&
        call.member.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
        try {
            const cad::ObjectRecord& r = model_.record(call.object);
            if (r.kind == cad::Kind::Document && r.doc) c.namedDocument = r.doc->id;
        } catch (const cad::Error&) {
            // An unknown id names no drawing; the model has answered it.
        }
        return;
    }
    if (reply.failed || call.object != cad::ApplicationId ||
        call.member.compare(QLatin1String("ActiveDocument"), Qt::CaseInsensitive) != 0)
        return;
    const cad::Variant& doc = call.kind == cad::CallKind::Get   ? reply.result
                              : call.kind == cad::CallKind::Put ? call.args.value(0)
                                                                : cad::Variant();
    if (doc.isObject()) c.shownDocument = doc.toObject();
}

void SocketServer::noteHandOver(const cad::Call& call, const cad::Reply& reply) {
    if (reply.failed || call.object != model_.documentsId || !reply.result.isObject() ||
        call.member.compare(QLatin1String("Open"), Qt::CaseInsensitive) != 0)
        return;
    // The answer is the drawing just opened (or the one already open under that name).
    const cad::ObjectId opened = reply.result.toObject();
    for (const cad::DocumentState* d : model_.documents())
        if (d->id == opened && !d->fullName.isEmpty()) emit drawingHandedOver(d->fullName);
}

SocketServer::Connection* SocketServer::find(quint64 id) const {
    auto it = connections_.find(id);
    return it == connections_.end() ? nullptr : it->second.get();
}

void SocketServer::drop(quint64 id) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    Connection& c = *it->second;
    interaction_.dropPicksOf(&c);
    model_.closeUndoSteps();  // what the program did is complete
    // The notifiers may be the ones whose signal is running.
    c.readable->setEnabled(false);
    c.writable->setEnabled(false);
    c.readable->deleteLater();
    c.writable->deleteLater();
    ::close(c.fd);
    connections_.erase(it);
    emit connectionsChanged(connectionCount());
}

int SocketServer::receive(quint64 id) {
    Connection* c = find(id);
    if (!c) return -1;
    char buf[65536];
    int got = 0;
    for (;;) {
        const ssize_t n = ::recv(c->fd, buf, sizeof buf, 0);
        if (n > 0) {
            c->reader.append(buf, n);
            got = 1;
            if (size_t(n) < sizeof buf) return got;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return got;
        drop(id);  // the program went away
        return -1;
    }
}

void SocketServer::readFrom(quint64 id) {
    Connection* c = find(id);
    // A call that runs an event loop of its own must not see its connection's later calls
    // overtake it; they wait in the socket until it returns.
    if (!c || c->reading) return;
    // A program sends a long run of held calls in parts while it works out the next ones: what
    // arrives while a part is served is served in the same wake-up (a wake-up of the event loop
    // costs more than a call), for a short while, so the window still gets its turn.
    QElapsedTimer busy;
    busy.start();
    for (bool first = true;; first = false) {
        const int got = receive(id);
        if (got < 0) return;
        if (got == 0 && !first) return;
        c = find(id);
        c->reading = true;
        QByteArrayView payload;  // into the reader's buffer, which nothing appends to while serving
        for (;;) {
            const auto st = c->reader.next(payload);
            if (st == cad::socket::FrameReader::NeedMore) break;
            std::optional<cad::socket::DecodedRequest> rq;
            if (st == cad::socket::FrameReader::Ready) rq = cad::socket::DecodeRequest(payload);
            if (!rq) {
                // The stream cannot be trusted any more: close this connection only.
                drop(id);
                return;
            }
            serve(id, *rq);
            // Serving may have closed the connection (a write error).
            c = find(id);
            if (!c) return;
        }
        c->reading = false;
        if (busy.elapsed() >= DrainMs) return;
    }
}

void SocketServer::writeTo(quint64 id) {
    Connection* c = find(id);
    if (!c) return;
    while (c->outOffset < c->out.size()) {
        const ssize_t n = ::send(c->fd, c->out.constData() + c->outOffset,
                                 size_t(c->out.size() - c->outOffset), MSG_NOSIGNAL);
        if (n > 0) {
            c->outOffset += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            c->writable->setEnabled(true);
            return;
        }
        drop(id);
        return;
    }
    // The room is kept for the next answers, unless a large answer made it large.
    if (c->out.capacity() > KeptBufferBytes)
        c->out.clear();
    else
        c->out.resize(0);
    c->outOffset = 0;
    if (c->writable->isEnabled()) c->writable->setEnabled(false);
}

void SocketServer::send(quint64 id, quint64 sequence, const cad::Reply& reply) {
    Connection* c = find(id);
    if (!c) return;
    cad::socket::AppendReply(c->out, sequence, reply);
    writeTo(id);
}

void SocketServer::serve(quint64 id, cad::Request& request) {
    Connection* c = find(id);
    if (!c) return;
    std::optional<cad::Reply> answer;
    if (!c->session.admit(request, answer)) {
        if (answer) send(id, request.sequence, *answer);
        return;
    }
    const cad::Call& call = request.call;
    noteDocument(*c, call);
    if (startPick(id, request.sequence, call)) return;
    const cad::Reply reply = model_.handle(call);
    ++served_;
    // The call may have run an event loop in which the connection went away.
    c = find(id);
    if (c) noteShownDocument(*c, call, reply);
    if (c && c->program == QLatin1String("cadhost")) noteHandOver(call, reply);
    if (c && c->session.done(request, reply)) send(id, request.sequence, reply);
    emit callServed(call, reply);
}

bool SocketServer::startPick(quint64 id, quint64 sequence, const cad::Call& call) {
    if (call.kind != cad::CallKind::Method) return false;
    // Compared in place: this runs for every call, and most are no picks.
    auto is = [&](QLatin1String name) { return call.member.compare(name, Qt::CaseInsensitive) == 0; };
    const bool point = is(QLatin1String("getpoint")), entity = is(QLatin1String("getentity"));
    const bool keyword = is(QLatin1String("getkeyword")), string = is(QLatin1String("getstring"));
    if (!point && !entity && !keyword && !string) return false;
    cad::ObjectRecord* rec = nullptr;
    try {
        rec = &model_.record(call.object);
    } catch (const cad::Error&) {
        return false;  // the model answers the bad id itself
    }
    if (rec->kind != cad::Kind::Utility || rec->closed || !rec->doc) return false;

    auto arg = [&](int i) { return i < call.args.size() ? call.args[i] : cad::Variant(); };
    InputRequest rq;
    try {
        if (point) {
            rq.wanted = InputRequest::AnyPoint | InputRequest::AnyText;
            if (!arg(0).isEmpty()) rq.basePoint = arg(0).toPoint();
            rq.prompt = arg(1).toText();
        } else if (entity) {
            rq.wanted = InputRequest::AnEntity;
            rq.prompt = arg(0).toText();
        } else {
            rq.wanted = InputRequest::AnyText;
            rq.prompt = arg(keyword ? 0 : 1).toText();
        }
    } catch (const cad::Error&) {
        return false;  // malformed arguments: the model refuses them as it would in-process
    }
    rq.initBits = rec->doc->initBits;
    if (!string) rq.keywords = rec->doc->keywords;

    interaction_.beginPick(
        rq,
        [this, id, sequence, call](const Input& answer) {
            if (!find(id)) return;
            cad::Reply reply;
            interaction_.answerWith(answer, [&] { reply = model_.handle(call); });
            ++served_;
            send(id, sequence, reply);
            emit callServed(call, reply);
        },
        find(id));
    return true;
}

bool SocketServer::callWaiting() const {
    // The descriptors are watched by read notifiers; one that is readable now holds a call (or a
    // connection) not served yet.
    std::vector<pollfd> fds;
    for (const QSocketNotifier* n : findChildren<QSocketNotifier*>())
        if (n->type() == QSocketNotifier::Read && n->isEnabled()) fds.push_back({int(n->socket()), POLLIN, 0});
    return !fds.empty() && ::poll(fds.data(), nfds_t(fds.size()), 0) > 0;
}

}  // namespace cadhost
