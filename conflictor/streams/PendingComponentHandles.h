// Components the cut has written whose reference handles it has not read yet. Each gets a
// placeholder handle, never one the CAD gives, that stands for it in the stream table (a component
// shared by streams is still recognised by its equal handle) until resolve() reads every real
// handle, and the id of each component's line or arc, in one call. The cut resolves them after each
// stream, so no placeholder outlives the stream that made it; a cut that fails before that reads
// the table again.
#pragma once

#include "platform/cad/Variant.h"

#include <QString>
#include <vector>

namespace conflictor {

class PendingComponentHandles {
public:
    PendingComponentHandles() = default;
    PendingComponentHandles(const PendingComponentHandles&) = delete;
    PendingComponentHandles& operator=(const PendingComponentHandles&) = delete;

    // The placeholder for a component just written: its reference and its curve (either may be an
    // id the CAD gives only once the calls before it have been carried out).
    QString add(cad::ObjectId reference, cad::ObjectId curve);
    // Reads the real handles (and, where the ids were provisional, the curves) of the components
    // added since the last call, in one call, and puts them in place of the placeholders in every
    // record of the stream table.
    void resolve();
    // True while a placeholder stands in the table.
    bool unresolved() const { return !pending_.empty(); }

    // True for a placeholder handle.
    static bool isPlaceholder(const QString& handle);

private:
    struct Pending {
        cad::ObjectId reference = 0;
        cad::ObjectId curve = 0;
    };
    std::vector<Pending> pending_;  // placeholder numbers first_ and on, in order
    qint64 first_ = 1;
};

}  // namespace conflictor
