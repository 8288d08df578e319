// The member traits the calling side reads by name, gathered once from the model's own tables.
#include "platform/cad/model/DispatchTable.h"
#include "platform/cad/model/ObjectModel.h"

#include <QSet>
#include <QStringList>

namespace cad {

namespace {

struct NamedTraits {
    QSet<QString> fixed;    // exact spelling, as the getters are declared
    QStringList renews;     // a few; a late-bound caller may spell them in any case
};

NamedTraits gather() {
    NamedTraits out;
    QSet<QString> changing;  // getters some table answers afresh each time
    const ObjectModel model;  // its tables are the declarations
    for (int k = 0; k < int(Kind::Count); ++k)
        model.table(Kind(k)).forEachMember([&](const QString& name, const DispatchTable::Entry& e) {
            if (e.get) (e.fixedAnswer ? out.fixed : changing).insert(name);
            if (e.renewsAnswers && !out.renews.contains(name, Qt::CaseInsensitive)) out.renews.append(name);
        });
    // A name whose answer changes for one kind of object cannot be kept for any: the calling side
    // does not know what kind of object it addresses.
    out.fixed.subtract(changing);
    return out;
}

const NamedTraits& traits() {
    static const NamedTraits t = gather();
    return t;
}

}  // namespace

bool AnswersFixedObject(const QString& member) {
    return traits().fixed.contains(member);
}

bool RenewsFixedAnswers(const QString& member) {
    // Compared in place, not lowered: this is asked for every method called.
    for (const QString& name : traits().renews)
        if (member.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace cad
