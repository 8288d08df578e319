// The host's end of the socket: serves object-model calls from any number of programs, one call
// at a time in the host's event loop (so each call is atomic). A pick is answered when the user
// finishes it, while other calls keep being served. A malformed or oversized frame closes only
// the connection that sent it; a program that goes away leaves nothing waiting behind it.
#pragma once

#include "cadhost/HostInteraction.h"
#include "platform/cad/socket/Frame.h"

#include <QObject>
#include <map>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace cadhost {

class SocketServer : public QObject {
    Q_OBJECT
public:
    SocketServer(cad::ObjectModel& model, HostInteraction& interaction, QObject* parent = nullptr);
    ~SocketServer() override;

    // Listens under the name, reachable by this user only; a stale socket file of a host that
    // died is replaced. False (with the reason) when another host answers there or listening fails.
    bool listen(const QString& name, QString* error = nullptr);
    QString name() const;
    int connectionCount() const { return int(connections_.size()); }
    quint64 callsServed() const { return served_; }

signals:
    // After every call (picks when answered); the window refreshes what it may have changed.
    void callServed(const cad::Call& call, const cad::Reply& reply);
    void connectionsChanged(int count);

private:
    struct Connection {
        QLocalSocket* socket = nullptr;
        cad::socket::FrameReader reader;
    };
    void accept();
    void readFrom(QLocalSocket* socket);
    void drop(QLocalSocket* socket);
    void serve(QLocalSocket* socket, quint64 sequence, const cad::Call& call);
    bool startPick(QLocalSocket* socket, quint64 sequence, const cad::Call& call);
    void send(QLocalSocket* socket, quint64 sequence, const cad::Reply& reply);

    cad::ObjectModel& model_;
    HostInteraction& interaction_;
    QLocalServer* server_;
    std::map<QLocalSocket*, std::unique_ptr<Connection>> connections_;
    quint64 served_ = 0;
};

}  // namespace cadhost
