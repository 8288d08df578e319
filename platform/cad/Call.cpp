// Serialisation of calls and answers for the channels that carry them as bytes.
#include "platform/cad/Call.h"

namespace cad {

QDataStream& operator<<(QDataStream& s, const Call& c) {
    s << c.object << c.member << quint8(c.kind) << quint32(c.args.size());
    for (const Variant& a : c.args) s << a;
    return s;
}

QDataStream& operator>>(QDataStream& s, Call& c) {
    quint8 kind = 0;
    quint32 n = 0;
    s >> c.object >> c.member >> kind >> n;
    if (kind > quint8(CallKind::Method)) s.setStatus(QDataStream::ReadCorruptData);
    c.kind = CallKind(kind);
    c.args.clear();
    for (quint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        Variant v;
        s >> v;
        c.args.append(std::move(v));
    }
    return s;
}

QDataStream& operator<<(QDataStream& s, const Reply& r) {
    s << r.failed;
    if (r.failed)
        s << quint8(r.errorKind) << r.message;
    else
        s << r.result;
    return s;
}

QDataStream& operator>>(QDataStream& s, Reply& r) {
    s >> r.failed;
    if (r.failed) {
        quint8 kind = 0;
        s >> kind >> r.message;
        r.errorKind = kind <= quint8(Error::FailedKind) ? Error::Kind(kind) : Error::FailedKind;
        r.result = Variant();
    } else {
        s >> r.result;
    }
    return s;
}

}  // namespace cad
