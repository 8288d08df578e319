// Picking: points, entities and keywords answered by the interaction provider behind the model.
#pragma once

#include "platform/cad/Entity.h"

#include <optional>

namespace cad {

class Utility : public Object {
public:
    using Object::Object;

    enum InputBits { NoNull = 1, NoZero = 2, NoNegative = 4 };

    // Applies to the next pick only.
    void initializeUserInput(int bits, const QString& keywords = QString()) const {
        invoke(QStringLiteral("InitializeUserInput"), {bits, keywords});
    }
    // Raises Cancelled when the user cancels; an empty answer (Enter without NoNull) raises Failed.
    Point getPoint(const QString& prompt) const {
        return invoke(QStringLiteral("GetPoint"), {Variant(), prompt}).toPoint();
    }
    Point getPoint(const Point& base, const QString& prompt) const {
        return invoke(QStringLiteral("GetPoint"), {base, prompt}).toPoint();
    }
    // The picked top-level entity and the picked point; raises Cancelled on Escape and on a pick in empty
    // space.
    std::pair<Entity, Point> getEntity(const QString& prompt) const {
        const VariantList a = invoke(QStringLiteral("GetEntity"), {prompt}).toArray();
        return {wrap<Entity>(a.value(0)), a.value(1).toPoint()};
    }
    // One of the keywords given to initializeUserInput.
    QString getKeyword(const QString& prompt) const {
        return invoke(QStringLiteral("GetKeyword"), {prompt}).toText();
    }
    QString getString(bool allowSpaces, const QString& prompt) const {
        return invoke(QStringLiteral("GetString"), {allowSpaces, prompt}).toText();
    }
    void prompt(const QString& text) const { invoke(QStringLiteral("Prompt"), {text}); }
    double angleToReal(const QString& angle, int unit) const {
        return invoke(QStringLiteral("AngleToReal"), {angle, unit}).toDouble();
    }
};

}  // namespace cad
