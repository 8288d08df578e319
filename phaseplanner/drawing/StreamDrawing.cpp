// Finding the drawing of the intersection's streams among the open drawings.
#include "phaseplanner/drawing/StreamDrawing.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "common/TextHelpers.h"
#include "platform/cad/CallEach.h"
#include "phaseplanner/editor/ProgramWindow.h"

namespace phaseplanner {

QString StreamAttributeBlockName() {
    return QStringLiteral("ATRYBUTY_STRUMIENI_") + IntersectionNumber;
}

cad::Document FindStreamDrawing(bool activeKnown) {
    // The caller's current drawing stays current whatever the search looks at.
    const cad::Document callerDocument = automation::CadDocument;
    const cad::Block callerSpace = automation::CadModelSpace;
    struct Restore {
        const cad::Document& d;
        const cad::Block& ms;
        ~Restore() {
            if (d.isNull()) return;
            automation::CadDocument = d;
            automation::CadModelSpace = ms;
        }
    } restore{callerDocument, callerSpace};
    if (!activeKnown && !automation::CheckDocumentOpen(false)) return {};
    // Without an intersection number no block names the drawing: the active one is taken.
    if (IntersectionNumber.isEmpty()) return automation::CadDocument;
    const QString name = StreamAttributeBlockName();
    const cad::Document active = automation::CadDocument;
    // The open drawings, and whether each holds the block, in two calls that trap no failure (a
    // failure reaches the caller). The active drawing comes first.
    QList<cad::Document> candidates{active};
    for (const cad::Document& d : automation::CadApplication.documents().all())
        if (!(d == active)) candidates.append(d);
    cad::VariantList tables;
    for (const cad::Document& d : candidates) tables.append(cad::Variant(d.blocks().ref()));
    const cad::VariantList holds = cad::CallEach(active, tables, QStringLiteral("?Contains"), {name});
    for (qsizetype i = 0; i < candidates.size(); ++i)
        if (holds.value(i).isNumber() && holds.value(i).toBool()) return candidates[i];  // a failure: empty
    return {};
}

QString StreamDrawingMissingMessage() {
    return common::Tlumacz(QStringLiteral("Żaden otwarty rysunek nie zawiera strumieni skrzyżowania "
                                          "(bloku %1): strumienie nie zostaną pokolorowane."))
        .arg(StreamAttributeBlockName());
}

StreamDrawingScope::StreamDrawingScope(bool activeKnown)
    : document_(automation::CadDocument), modelSpace_(automation::CadModelSpace) {
    const cad::Document d = FindStreamDrawing(activeKnown);
    found_ = !d.isNull();
    if (found_ && !(d == automation::CadDocument)) {
        automation::CadDocument = d;
        automation::CadModelSpace = d.modelSpace();
    }
}

StreamDrawingScope::~StreamDrawingScope() {
    automation::CadDocument = document_;
    automation::CadModelSpace = modelSpace_;
}

}  // namespace phaseplanner
