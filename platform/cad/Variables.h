// Several system variables in one call (the document's GetVariables and SetVariables members):
// over the socket one round trip instead of one per variable.
#pragma once

#include "platform/cad/Document.h"

#include <QStringList>

namespace cad {

// The value of each variable, in order; fails as the first failing GetVariable would.
inline VariantList GetVariables(const Document& doc, const QStringList& names) {
    VariantList n;
    for (const QString& name : names) n.append(Variant(name));
    return doc.invokeList(QStringLiteral("GetVariables"), {Variant(n)}).toArray();
}

// Sets each variable in order; a refused value leaves the others to be set, and the first refusal
// is raised when all have been tried.
inline void SetVariables(const Document& doc, const QStringList& names, const VariantList& values) {
    VariantList n;
    for (const QString& name : names) n.append(Variant(name));
    doc.invokeList(QStringLiteral("SetVariables"), {Variant(n), Variant(values)});
}

}  // namespace cad
