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
    if (erased_) throw Erased(QStringLiteral("Obiekt %1 został usunięty").arg(handleText()));
}

QString nameKey(const QString& name) {
    // Plain ASCII names (the vast majority) take the cheap path: a name without capitals is its
    // own key (shared, not copied), and capitals are lowered in place of a copy.
    qsizetype firstCapital = -1;
    const QChar* p = name.constData();
    for (qsizetype i = 0, n = name.size(); i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c >= 0x80) return name.toCaseFolded();
        if (firstCapital < 0 && c >= u'A' && c <= u'Z') firstCapital = i;
    }
    if (firstCapital < 0) return name;
    QString key = name;
    QChar* q = key.data();
    for (qsizetype i = firstCapital, n = key.size(); i < n; ++i)
        if (q[i].unicode() >= u'A' && q[i].unicode() <= u'Z') q[i] = QChar(char16_t(q[i].unicode() + 32));
    return key;
}

}  // namespace cad::db
