// Member dispatch and argument checks shared by every table.
#include "platform/cad/model/DispatchTable.h"

namespace cad {

Variant DispatchTable::dispatch(Target& t, const Entry* e, const QString& member, CallKind kind, Args args) const {
    if (!e) throw NotFound(QStringLiteral("%1 nie ma składowej %2").arg(interfaceName_, member));
    if (e->otherVendor)
        throw NotSupported(QStringLiteral("%1.%2 nie jest dostępne w tym programie CAD").arg(interfaceName_, member));
    Handler h = kind == CallKind::Get ? e->get : kind == CallKind::Put ? e->put : e->method;
    // A property read may also be written as a call without arguments, as late binding allows.
    if (!h && kind == CallKind::Method && args.empty()) h = e->get;
    if (!h) {
        const QString what = kind == CallKind::Get   ? QStringLiteral("odczytać")
                             : kind == CallKind::Put ? QStringLiteral("zapisać")
                                                     : QStringLiteral("wywołać");
        throw NotSupported(QStringLiteral("Składowej %1.%2 nie można %3").arg(interfaceName_, member, what));
    }
    return h(t, args);
}

bool DispatchTable::changesDrawing(const Entry* e, CallKind kind) const {
    if (keepsDrawings_ || kind == CallKind::Get) return false;
    if (!e || e->otherVendor) return false;
    if (kind == CallKind::Put) return e->put != nullptr;
    if (!e->method) return false;  // a property read written as a call (or nothing runs)
    return !e->quiet;
}

ViewChange DispatchTable::viewChange(const Entry* e, CallKind kind) const {
    if (kind == CallKind::Get || !e || e->otherVendor) return ViewChange::None;
    // A property read written as a call, or a write to a read-only property: nothing runs.
    if (kind == CallKind::Put ? !e->put : !e->method) return ViewChange::None;
    if (e->viewDeclared) return e->view;
    return changesDrawing(e, kind) ? changes_ : ViewChange::None;
}

const Variant& Arg(Args args, qsizetype i) {
    if (qsizetype(args.size()) <= i)
        throw InvalidArgument(QStringLiteral("Brak argumentu %1").arg(i + 1));
    return args[i];
}

}  // namespace cad
