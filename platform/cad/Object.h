// The base of the typed facade: a cheap value handle (channel + object id) that calls members by name.
// Copying a handle copies two words; the object itself lives in the model behind the channel.
#pragma once

#include "platform/cad/Channel.h"

#include <initializer_list>
#include <utility>

namespace cad {

class Object {
public:
    Object() = default;
    Object(Channel* channel, ObjectId id) : ch_(channel), id_(id) {}

    bool isNull() const { return ch_ == nullptr || id_ == 0; }
    explicit operator bool() const { return !isNull(); }
    ObjectId id() const { return id_; }
    Channel* channel() const { return ch_; }
    ObjectRef ref() const { return ObjectRef{id_}; }
    operator Variant() const { return Variant(ObjectRef{id_}); }

    // Late-bound access for members the typed classes do not spell out.
    Variant get(const QString& member) const { return channel_()->call(id_, member, CallKind::Get, {}); }
    // Property sets answer nothing: in a deferral scope they may be held back (DeferredCalls.h).
    void put(const QString& member, const Variant& value) const {
        channel_()->post(id_, member, CallKind::Put, std::span<const Variant>(&value, 1));
    }
    // A method whose answer is not needed; may be held back like a property set.
    void send(const QString& member, std::initializer_list<Variant> args = {}) const {
        channel_()->post(id_, member, CallKind::Method, std::span<const Variant>(args.begin(), args.size()));
    }
    Variant invoke(const QString& member, std::initializer_list<Variant> args = {}) const {
        return channel_()->call(id_, member, CallKind::Method,
                                std::span<const Variant>(args.begin(), args.size()));
    }
    Variant invokeList(const QString& member, const VariantList& args) const {
        return channel_()->call(id_, member, CallKind::Method,
                                std::span<const Variant>(args.data(), args.size()));
    }

    // The automation's interface type name ("IAcadBlock", "IAcadModelSpace", "IAcadLayer", ...).
    QString typeName() const { return get(QStringLiteral("TypeName")).toText(); }

    friend bool operator==(const Object& a, const Object& b) { return a.ch_ == b.ch_ && a.id_ == b.id_; }

protected:
    template <class T>
    T wrap(const Variant& v) const {
        return T(ch_, v.toObject());
    }
    // A member that makes a new object (Add..., InsertBlock, Copy): in a scope that allows it, held
    // back and answered with a provisional id.
    template <class T>
    T create(const QString& member, std::initializer_list<Variant> args) const {
        return T(ch_, channel_()
                          ->create(id_, member, CallKind::Method,
                                   std::span<const Variant>(args.begin(), args.size()))
                          .toObject());
    }
    template <class T>
    QList<T> wrapAll(const Variant& v) const {
        QList<T> out;
        const VariantList* a = v.arrayPtr();
        if (!a) return out;
        out.reserve(a->size());
        for (const Variant& e : *a) out.append(T(ch_, e.toObject()));
        return out;
    }
    template <class T>
    static VariantList refs(const QList<T>& objects) {
        VariantList a;
        a.reserve(objects.size());
        for (const T& o : objects) a.append(Variant(o.ref()));
        return a;
    }

private:
    Channel* channel_() const {
        if (isNull()) throw Failed(QStringLiteral("Zmienna obiektowa nie jest ustawiona"));
        return ch_;
    }

    Channel* ch_ = nullptr;
    ObjectId id_ = 0;
};

}  // namespace cad
