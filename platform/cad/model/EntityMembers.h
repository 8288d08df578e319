// Helpers shared by the entity table's files: the addressed entity and its typed data, and the
// members each file adds to the one entity table.
#pragma once

#include "platform/cad/model/Support.h"

#include <cmath>
#include <numbers>

namespace cad::entitymembers {

constexpr double TwoPi = 2 * std::numbers::pi;

inline db::Entity* ent(Target& t) {
    return static_cast<db::Entity*>(t.rec.object);
}
template <class T>
T& data(Target& t) {
    return ent(t)->as<T>();
}

inline double normalizeAngle(double a) {
    a = std::fmod(a, TwoPi);
    return a < 0 ? a + TwoPi : a;
}

// Texts, attributes and their definitions: contents, height, style, alignment, tags and prompts.
void AddTextMembers(DispatchTable& tb);
// Where an entity stands: its insertion point and rotation.
void AddPlacementMembers(DispatchTable& tb);

}  // namespace cad::entitymembers
