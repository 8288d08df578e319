// Finding the drawing of the intersection's streams among the open drawings.
#include "phaseplanner/drawing/StreamDrawing.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "common/TextHelpers.h"
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
    if (automation::CheckBlockExists(name)) return automation::CadDocument;
    const cad::Document active = automation::CadDocument;
    const cad::Documents documents = automation::CadApplication.documents();
    const int count = documents.count();
    for (int i = 0; i < count; ++i) {
        const cad::Document d = documents.item(i);
        if (d == active) continue;
        automation::CadDocument = d;
        if (automation::CheckBlockExists(name)) return d;
    }
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
