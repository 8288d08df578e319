// Components written by the cut inside a run of held calls without asking for each one's reference
// handle (over the socket a round trip each). Each gets a placeholder handle, never one the CAD
// gives, that stands for it in the stream table (a component shared by streams is still recognised
// by its equal handle) until resolve() reads every real handle, and the id of each component's line
// or arc, in one call. While the scope is open a split trusts the records' Curve ids and names
// instead of reading the component back.
#pragma once

#include "platform/cad/Variant.h"

#include <QString>
#include <vector>

namespace conflictor {

class PendingComponentHandles {
public:
    PendingComponentHandles();
    ~PendingComponentHandles();
    PendingComponentHandles(const PendingComponentHandles&) = delete;
    PendingComponentHandles& operator=(const PendingComponentHandles&) = delete;

    // The open scope; null outside one.
    static PendingComponentHandles* active();

    // The placeholder for a component just written: its reference and its curve (either may be a
    // provisional id of the open run of held calls).
    QString add(cad::ObjectId reference, cad::ObjectId curve);
    // Reads the real handles (and, where the run gave provisional ids, the curves) of the
    // components added since the last call, in one call, so inside the run of held calls that made
    // them, and puts them in place of the placeholders in every record of the stream table.
    void resolve();

private:
    struct Pending {
        cad::ObjectId reference = 0;
        cad::ObjectId curve = 0;
    };
    std::vector<Pending> pending_;  // placeholder numbers first_ and on, in order
    qint64 first_ = 1;
    PendingComponentHandles* outer_ = nullptr;
};

}  // namespace conflictor
