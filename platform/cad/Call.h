// The shape of one late-bound call and of its answer, as they cross a channel.
// A call names an object by id, a member by name, says whether it reads, writes or invokes,
// and passes Variant arguments; the answer is a Variant or a typed failure.
#pragma once

#include "platform/cad/Variant.h"

namespace cad {

enum class CallKind : quint8 { Get, Put, Method };

struct Call {
    ObjectId object = 0;
    QString member;
    CallKind kind = CallKind::Method;
    VariantList args;
};

struct Reply {
    bool failed = false;
    Error::Kind errorKind = Error::FailedKind;
    QString message;
    Variant result;

    // Rethrows the failure as its typed exception, or gives the result.
    Variant take() const {
        if (failed) ThrowError(errorKind, message);
        return result;
    }
};

QDataStream& operator<<(QDataStream& s, const Call& c);
QDataStream& operator>>(QDataStream& s, Call& c);
QDataStream& operator<<(QDataStream& s, const Reply& r);
QDataStream& operator>>(QDataStream& s, Reply& r);

}  // namespace cad
