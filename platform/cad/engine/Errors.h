// The typed failures of the CAD layer. The engine, the object model and both channels throw these;
// the suite's code traps them where it must and shows its own Polish message.
#pragma once

#include <QString>
#include <new>
#include <stdexcept>

namespace cad {

class Error : public std::runtime_error {
public:
    enum Kind {
        NotFoundKind,
        AlreadyExistsKind,
        ErasedKind,
        CancelledKind,
        InvalidArgumentKind,
        NotSupportedKind,
        FailedKind
    };
    Error(Kind kind, const QString& message)
        : std::runtime_error(message.toStdString()), kind_(kind), message_(message) {}
    Kind kind() const { return kind_; }
    const QString& message() const { return message_; }

private:
    Kind kind_;
    QString message_;
};

// An absent name, handle or index.
class NotFound : public Error {
public:
    explicit NotFound(const QString& m) : Error(NotFoundKind, m) {}
};
// A name that must be new is taken (selection set, block, layer added twice where that fails).
class AlreadyExists : public Error {
public:
    explicit AlreadyExists(const QString& m) : Error(AlreadyExistsKind, m) {}
};
// The object was erased; a reference to it stays a valid value but every use fails.
class Erased : public Error {
public:
    explicit Erased(const QString& m) : Error(ErasedKind, m) {}
};
// The user cancelled a pick or a command.
class Cancelled : public Error {
public:
    explicit Cancelled(const QString& m) : Error(CancelledKind, m) {}
};
class InvalidArgument : public Error {
public:
    explicit InvalidArgument(const QString& m) : Error(InvalidArgumentKind, m) {}
};
// The member does not apply to this object or is offered only by another vendor's CAD.
class NotSupported : public Error {
public:
    explicit NotSupported(const QString& m) : Error(NotSupportedKind, m) {}
};
// Anything else: a file that cannot be read or written, a refused operation.
class Failed : public Error {
public:
    explicit Failed(const QString& m) : Error(FailedKind, m) {}
};

// The channel to the CAD host is gone (the host closed or crashed): every later call fails the same way.
class ConnectionLost : public Failed {
public:
    explicit ConnectionLost(const QString& m) : Failed(m) {}
};

// The Polish message for a failure that is not ours (the standard library's text is English).
inline QString ForeignFailureMessage(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("Za mało pamięci, by wykonać operację");
    return QStringLiteral("Błąd wewnętrzny programu CAD (%1)").arg(QString::fromLocal8Bit(e.what()));
}

// Rethrows as the typed exception of the given kind (used when a failure crossed a channel).
[[noreturn]] inline void ThrowError(Error::Kind kind, const QString& message) {
    switch (kind) {
        case Error::NotFoundKind:
            throw NotFound(message);
        case Error::AlreadyExistsKind:
            throw AlreadyExists(message);
        case Error::ErasedKind:
            throw Erased(message);
        case Error::CancelledKind:
            throw Cancelled(message);
        case Error::InvalidArgumentKind:
            throw InvalidArgument(message);
        case Error::NotSupportedKind:
            throw NotSupported(message);
        case Error::FailedKind:
            break;
    }
    throw Failed(message);
}

}  // namespace cad
