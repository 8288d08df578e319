// Accepting connections, cutting frames, serving calls and deferring picks.
#include "cadhost/SocketServer.h"

#include "platform/cad/socket/SocketChannel.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

namespace cadhost {

using cad::Input;
using cad::InputRequest;

SocketServer::SocketServer(cad::ObjectModel& model, HostInteraction& interaction, QObject* parent)
    : QObject(parent), model_(model), interaction_(interaction), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SocketServer::accept);
}

SocketServer::~SocketServer() {
    for (auto& [s, c] : connections_) {
        s->disconnect(this);
        s->abort();
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

void SocketServer::accept() {
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        auto c = std::make_unique<Connection>();
        c->socket = s;
        connections_[s] = std::move(c);
        connect(s, &QLocalSocket::readyRead, this, [this, s] { readFrom(s); });
        connect(s, &QLocalSocket::disconnected, this, [this, s] { drop(s); });
        emit connectionsChanged(connectionCount());
    }
}

void SocketServer::drop(QLocalSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    interaction_.dropPicksOf(socket);
    connections_.erase(it);
    socket->disconnect(this);
    socket->deleteLater();
    emit connectionsChanged(connectionCount());
}

void SocketServer::readFrom(QLocalSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    Connection& c = *it->second;
    c.reader.append(socket->readAll());
    QByteArray payload;
    for (;;) {
        const auto st = c.reader.next(payload);
        if (st == cad::socket::FrameReader::NeedMore) return;
        std::optional<cad::socket::DecodedRequest> rq;
        if (st == cad::socket::FrameReader::Ready) rq = cad::socket::DecodeRequest(payload);
        if (!rq) {
            // The stream cannot be trusted any more: close this connection only.
            socket->abort();
            drop(socket);
            return;
        }
        serve(socket, rq->sequence, rq->call);
        // Serving may have closed the connection (a call that ends the host's documents does not,
        // but a write error does).
        if (connections_.find(socket) == connections_.end()) return;
    }
}

void SocketServer::send(QLocalSocket* socket, quint64 sequence, const cad::Reply& reply) {
    if (connections_.find(socket) == connections_.end()) return;
    socket->write(cad::socket::EncodeReply(sequence, reply));
    socket->flush();
}

void SocketServer::serve(QLocalSocket* socket, quint64 sequence, const cad::Call& call) {
    if (startPick(socket, sequence, call)) return;
    const cad::Reply reply = model_.handle(call);
    ++served_;
    send(socket, sequence, reply);
    emit callServed(call, reply);
}

bool SocketServer::startPick(QLocalSocket* socket, quint64 sequence, const cad::Call& call) {
    if (call.kind != cad::CallKind::Method) return false;
    const QString m = call.member.toLower();
    const bool point = m == QLatin1String("getpoint"), entity = m == QLatin1String("getentity");
    const bool keyword = m == QLatin1String("getkeyword"), string = m == QLatin1String("getstring");
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

    QPointer<QLocalSocket> alive(socket);
    interaction_.beginPick(
        rq,
        [this, alive, sequence, call](const Input& answer) {
            if (!alive || connections_.find(alive.data()) == connections_.end()) return;
            cad::Reply reply;
            interaction_.answerWith(answer, [&] { reply = model_.handle(call); });
            ++served_;
            send(alive.data(), sequence, reply);
            emit callServed(call, reply);
        },
        socket);
    return true;
}

}  // namespace cadhost
