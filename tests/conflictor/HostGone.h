// A CAD host that went away: the connection's handles are moved onto a socket channel whose host
// has closed, so every later call fails as it does when the user closes cadhost.
#pragma once

#include "automation/CadConnection.h"
#include "platform/cad/socket/SocketChannel.h"

#include <memory>

namespace conflictor::test {

class HostGone {
public:
    HostGone() : channel_(std::make_unique<cad::SocketChannel>()) {
        cad::SocketChannel* dead = channel_.get();
        automation::CadApplication = cad::Application(dead);
        automation::CadDocument = cad::Document(dead, automation::CadDocument.id());
        automation::CadModelSpace = cad::Block(dead, automation::CadModelSpace.id());
        automation::CadState = cad::State(dead, automation::CadState.id());
    }
    ~HostGone() { automation::ResetCadConnectionState(); }
    HostGone(const HostGone&) = delete;
    HostGone& operator=(const HostGone&) = delete;
    // The message the user is told from here on.
    static QString Message() { return QString::fromUtf8("Brak połączenia z programem CAD (cadhost)"); }

private:
    std::unique_ptr<cad::SocketChannel> channel_;
};

}  // namespace conflictor::test
