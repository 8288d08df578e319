// Handles as text and the erased check shared by every object.
#include "platform/cad/engine/DbObject.h"

#include "platform/cad/engine/Errors.h"
#include "platform/cad/engine/Tables.h"

namespace cad::db {

QString handleToText(quint64 handle) {
    return QString::number(handle, 16).toUpper();
}

quint64 handleFromText(const QString& text) {
    bool ok = false;
    const quint64 v = text.trimmed().toULongLong(&ok, 16);
    return ok ? v : 0;
}

void DbObject::checkAlive() const {
    if (erased_) throw Erased(QStringLiteral("Object %1 was erased").arg(handleText()));
}

QString nameKey(const QString& name) {
    // Plain ASCII names (the vast majority) take the cheap path.
    for (QChar c : name) {
        if (c.unicode() >= 0x80) return name.toCaseFolded();
    }
    return name.toLower();
}

}  // namespace cad::db
