// The stand-in window of a run without a window.
#include "conflictor/mainwindow/CommandContext.h"

#include "conflictor/mainwindow/StreamGridRules.h"

namespace conflictor {

QStringList GridOrderWindow::gridStreamNames() const {
    return GridStreamOrder();
}

}  // namespace conflictor
