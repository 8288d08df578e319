// Whether an automation object (drawing object, style, workbook, worksheet, application) is still alive:
// reading its name fails for an empty reference and for an object that was closed, released or erased.
#pragma once

#include <QString>

#include <concepts>
#include <memory>
#include <optional>

namespace common {

namespace detail {
template <class T>
concept HasName = requires(const T& o) {
    o.Name();
};
template <class T>
concept HasLowerName = requires(const T& o) {
    o.name();
};
template <class T>
concept HasGet = requires(const T& o) {
    o.get(QStringLiteral("Name"));
};
template <class T>
concept HasIsNull = requires(const T& o) {
    { o.isNull() } -> std::convertible_to<bool>;
};
}  // namespace detail

// True when the reference is empty or reading its name throws; never throws itself.
template <class T>
bool IsObjectInvalid(const T& object) {
    try {
        if constexpr (detail::HasIsNull<T>) {
            if (object.isNull()) return true;
        }
        if constexpr (detail::HasName<T>) {
            (void)object.Name();
        } else if constexpr (detail::HasLowerName<T>) {
            (void)object.name();
        } else if constexpr (detail::HasGet<T>) {
            (void)object.get(QStringLiteral("Name"));  // a late-bound object
        } else {
            static_assert(detail::HasName<T> || detail::HasLowerName<T> || detail::HasGet<T>,
                          "object has no name to read");
        }
        return false;
    } catch (...) {
        return true;
    }
}

template <class T>
bool IsObjectInvalid(const T* object) {
    return object == nullptr || IsObjectInvalid(*object);
}

template <class T>
bool IsObjectInvalid(const std::shared_ptr<T>& object) {
    return !object || IsObjectInvalid(*object);
}

template <class T>
bool IsObjectInvalid(const std::optional<T>& object) {
    return !object || IsObjectInvalid(*object);
}

}  // namespace common
