// A named selection set that is deleted however the search using it ends.
#pragma once

#include "automation/Selection.h"

namespace conflictor {

class SetGuard {
public:
    explicit SetGuard(const QString& name) : set(automation::GetSelectionSet(name)) {}
    ~SetGuard() {
        try {
            set.remove();
        } catch (const cad::Error&) {
            // The drawing went away meanwhile (nothing is left to delete), or the command is leaving
            // on a failure of this CAD already, which is the one the user is told. A set left behind
            // holds nothing the user sees, and the next command of that name takes it over.
        }
    }
    SetGuard(const SetGuard&) = delete;
    SetGuard& operator=(const SetGuard&) = delete;

    // Every block reference matching the filter, in the set's order.
    QList<cad::Entity> select(const cad::SelectionFilter& filter) {
        set.select(cad::SelectionSet::All, filter);
        return set.entities();
    }

    cad::SelectionSet set;
};

// The filter of block references by name pattern, on a layer when one is given.
inline cad::SelectionFilter InsertFilter(const QString& pattern, const QString& layer = QString()) {
    cad::SelectionFilter f;
    f.add(0, QStringLiteral("INSERT")).add(2, pattern);
    if (!layer.isEmpty()) f.add(8, layer);
    return f;
}

}  // namespace conflictor
