// The block references a filter selects, with members of theirs and their attributes' tags and
// texts: two reads of the drawing whatever their number.
#pragma once

#include "platform/cad/Document.h"
#include "platform/cad/SelectionSet.h"

#include <QList>
#include <QString>
#include <utility>

namespace automation {

struct ReferenceRow {
    cad::Entity Reference;
    cad::VariantList Values;  // the members asked for, in their order
    bool HasAttributes = false;
    QList<std::pair<QString, QString>> Attributes;  // tag and text, in the reference's order

    // The text of the first attribute whose tag is `tag` (letter case ignored); empty when none.
    QString attribute(const QString& tag) const;
};

// In `CadDocument`, the references of a selection of the whole drawing with `filter`, in its order.
QList<ReferenceRow> ReadReferencesWithAttributes(const cad::SelectionFilter& filter, const QStringList& members);

}  // namespace automation
