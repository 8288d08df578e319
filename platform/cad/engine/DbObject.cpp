// Handles as text and the erased check shared by every object.
#include "platform/cad/engine/DbObject.h"

#include "platform/cad/engine/Errors.h"
#include "platform/cad/engine/Tables.h"

#include <algorithm>
#include <array>

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
    // own key (shared, not copied); otherwise the key is written in one pass into a fresh buffer,
    // the characters before the first capital copied as they are. Names are looked up for every
    // entity made, so this runs often.
    const char16_t* p = reinterpret_cast<const char16_t*>(name.constData());
    const qsizetype n = name.size();
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t c = p[i];
        if (c >= 0x80) return name.toCaseFolded();
        if (c >= u'A' && c <= u'Z') break;
    }
    if (i == n) return name;
    // The same few names (layers, styles, the blocks just made) are keyed over and over: the last
    // keys made are kept, per thread, so a repeated name costs a comparison instead of a new string.
    struct Remembered {
        QString name, key;
    };
    thread_local std::array<Remembered, 8> remembered;
    thread_local size_t nextSlot = 0;
    // The same string shared, or equal text (names made in a row differ mostly in their last characters).
    for (const Remembered& r : remembered)
        if (r.name.size() == n && (r.name.isSharedWith(name) || (r.name.back() == name.back() && r.name == name)))
            return r.key;
    QString key(n, Qt::Uninitialized);
    char16_t* q = reinterpret_cast<char16_t*>(key.data());
    std::copy(p, p + i, q);
    for (; i < n; ++i) {
        const char16_t c = p[i];
        if (c >= 0x80) return name.toCaseFolded();
        q[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    }
    remembered[nextSlot] = {name, key};
    nextSlot = (nextSlot + 1) % remembered.size();
    return key;
}

}  // namespace cad::db
