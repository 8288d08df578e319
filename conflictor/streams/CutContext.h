// What one cut keeps while it writes into the drawing, passed down from the cut to every routine
// that names a block or splits a component: the block names it chooses from one read of the
// drawing's names, and the components it has written whose handles are still placeholders. Outside
// a cut the same routines ask the drawing for each name and handle.
#pragma once

#include "conflictor/streams/CommandBlockNames.h"
#include "conflictor/streams/PendingComponentHandles.h"

#include <QStringList>

namespace conflictor {

struct CutContext {
    CommandBlockNames names;
    PendingComponentHandles pending;
    // The markers the CAD refused (in whole or in part), each named with the CAD's reason.
    QStringList markersLeftOut;
};

}  // namespace conflictor
