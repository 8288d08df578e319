// The host's end of the socket: serves object-model calls from any number of programs, one call
// at a time in the host's event loop (so each call is atomic). A pick is answered when the user
// finishes it, while other calls keep being served. A malformed or oversized frame closes only
// the connection that sent it; a program that goes away leaves nothing waiting behind it.
// Connections are served on their descriptors directly (a notifier, recv, send): a call costs one
// wake-up of the event loop, not the buffering and signal hops of a QLocalSocket. Calls a program
// held back arrive ahead of the call that needs an answer (a long run in parts, sent while the
// program works on); they are served one by one like any other, unanswered, and the first that
// fails stops the rest of the run (ServingSession).
#pragma once

#include "cadhost/HostInteraction.h"
#include "platform/cad/socket/Frame.h"
#include "platform/cad/socket/ServingSession.h"

#include <QObject>
#include <map>
#include <set>
#include <vector>
#include <memory>

class QSocketNotifier;
class QTimer;

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
    // The names of the programs attached now (their executables, each once, sorted); with a
    // drawing, only those that called into it.
    QStringList attachedPrograms(const cad::DocumentState* doc = nullptr) const;
    // The processes attached now.
    QList<qint64> attachedPids() const;
    // The process of a program attached (working on the drawing, when given); 0 when none.
    qint64 pidOf(const QString& program, const cad::DocumentState* doc = nullptr) const;
    // The open drawing an attached process shows: the one the CAD's active drawing was, as it last
    // asked for it (or made one active); without that, the one it called into last (nullptr: none).
    const cad::DocumentState* workingDocument(qint64 pid) const;
    quint64 callsServed() const { return served_; }
    // Whether a program's call (or a connection) has arrived and waits to be served.
    bool callWaiting() const;

signals:
    // After every call (picks when answered); the window refreshes what it may have changed.
    void callServed(const cad::Call& call, const cad::Reply& reply);
    void connectionsChanged(int count);
    // Another start of cadhost opened a drawing here (handing over the file it was given).
    void drawingHandedOver(const QString& fullName);

private:
    class Listener;
    struct Connection {
        quint64 id = 0;
        int fd = -1;
        QSocketNotifier* readable = nullptr;
        QSocketNotifier* writable = nullptr;
        cad::socket::FrameReader reader;
        cad::socket::ServingSession session;  // held-back calls and provisional ids
        QByteArray out;                       // answer bytes the socket did not take yet
        qsizetype outOffset = 0;
        bool reading = false;
        qint64 pid = 0;
        QString program;                                  // the peer's executable name
        std::set<const cad::DocumentState*> documents;    // the drawings it called into
        const cad::DocumentState* lastDocument = nullptr;  // spares the set on most calls
        std::vector<cad::ObjectId> recentDocuments;        // by id, the latest last
        cad::ObjectId shownDocument = 0;                   // its last answer to "ActiveDocument"
        cad::ObjectId namedDocument = 0;                   // the drawing whose name it read last
    };
    void accept(int fd);
    void noteDocument(Connection& c, const cad::Call& call);
    void noteShownDocument(Connection& c, const cad::Call& call, const cad::Reply& reply);
    void noteHandOver(const cad::Call& call, const cad::Reply& reply);
    Connection* find(quint64 id) const;
    void readFrom(quint64 id);
    // Appends what the connection's socket holds to its reader: 1 when bytes came, 0 when none,
    // -1 when the program went away (the connection is dropped).
    int receive(quint64 id);
    void writeTo(quint64 id);
    void drop(quint64 id);
    void serve(quint64 id, cad::Request& request);
    bool startPick(quint64 id, quint64 sequence, const cad::Call& call);
    void send(quint64 id, quint64 sequence, const cad::Reply& reply);

    cad::ObjectModel& model_;
    HostInteraction& interaction_;
    Listener* server_;
    // By a number never reused, so an answer to a pick never reaches a later connection.
    std::map<quint64, std::unique_ptr<Connection>> connections_;
    quint64 nextConnection_ = 1;
    quint64 served_ = 0;
    // A program's command is one undo step: the step ends once the programs have been quiet for
    // a tick of this timer (and no pick, sent command or command of the window waits for the
    // user), or when a program goes away.
    QTimer* quiet_;
    quint64 servedAtTick_ = 0;
};

}  // namespace cadhost
