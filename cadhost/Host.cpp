#include "cadhost/Host.h"

namespace cadhost {

Host::Host() {
    model.setInteraction(&interaction);
    model.visible = true;
    QObject::connect(&server, &SocketServer::callServed, &window, &MainWindow::afterCall);
    window.setServer(&server);
}

Host::~Host() {
    window.setServer(nullptr);
    model.setInteraction(nullptr);
}

}  // namespace cadhost
