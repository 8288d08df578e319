// The CAD host put together: the object model, the interaction, the main window and the socket
// server the programs attach through, each told of the others. cadhost's main and the socket
// benchmark's host both run this one.
#pragma once

#include "cadhost/HostInteraction.h"
#include "cadhost/MainWindow.h"
#include "cadhost/SocketServer.h"
#include "platform/cad/model/ObjectModel.h"

namespace cadhost {

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    cad::ObjectModel model;
    HostInteraction interaction{model};
    MainWindow window{model, interaction};
    SocketServer server{model, interaction};
};

}  // namespace cadhost
