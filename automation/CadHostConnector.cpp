// Attaching to or starting the CAD host through the socket channel.
#include "automation/CadHostConnector.h"

#include "platform/cad/socket/CadHostConnection.h"

#include <memory>
#include <vector>

namespace automation {

namespace {

// Channels of the host live as long as the program, like the application object: handles taken
// from an earlier connection (CadApplication, CadState, ...) must never point at a deleted channel.
std::vector<std::unique_ptr<cad::SocketChannel>>& hostChannels() {
    static std::vector<std::unique_ptr<cad::SocketChannel>> channels;
    return channels;
}

// A connection still open is used again, so connecting twice opens no second socket.
cad::Application liveConnection() {
    auto& channels = hostChannels();
    if (!channels.empty() && channels.back()->isConnected()) return cad::Application(channels.back().get());
    return {};
}

cad::Application keep(std::unique_ptr<cad::SocketChannel> channel) {
    if (!channel) return {};
    hostChannels().push_back(std::move(channel));
    return cad::Application(hostChannels().back().get());
}

}  // namespace

CadConnector CadHostConnector(int startTimeoutMs, const QString& socketName) {
    CadConnector c;
    c.attach = [socketName] {
        cad::Application live = liveConnection();
        return live.isNull() ? keep(cad::AttachToCadHost(socketName)) : live;
    };
    c.start = [startTimeoutMs, socketName] {
        return keep(cad::AttachOrStartCadHost(startTimeoutMs, socketName));
    };
    return c;
}

}  // namespace automation
