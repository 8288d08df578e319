// Attaching to or starting the CAD host through the socket channel.
#include "automation/CadHostConnector.h"

#include "platform/cad/socket/CadHostConnection.h"

#include <memory>

namespace automation {

namespace {

// The channel of the connected host lives as long as the program, like the application object.
std::unique_ptr<cad::SocketChannel>& hostChannel() {
    static std::unique_ptr<cad::SocketChannel> channel;
    return channel;
}

cad::Application keep(std::unique_ptr<cad::SocketChannel> channel) {
    if (!channel) return {};
    hostChannel() = std::move(channel);
    return cad::Application(hostChannel().get());
}

}  // namespace

CadConnector CadHostConnector(int startTimeoutMs, const QString& socketName) {
    CadConnector c;
    c.attach = [socketName] { return keep(cad::AttachToCadHost(socketName)); };
    c.start = [startTimeoutMs, socketName] { return keep(cad::AttachOrStartCadHost(startTimeoutMs, socketName)); };
    return c;
}

}  // namespace automation
