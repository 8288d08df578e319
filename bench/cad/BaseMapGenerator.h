// A synthetic base map like the ones the suite works on: many lines, arcs, polylines and texts,
// stream and marker blocks with attributes, and their references on the traffic layers.
#pragma once

#include "platform/cad/engine/Database.h"

#include <memory>

namespace cadbench {

// Builds a drawing with about `entityCount` model-space entities.
std::unique_ptr<cad::db::Database> generateBaseMap(int entityCount);

}  // namespace cadbench
