// Dynamic blocks: named number properties of a block definition with the actions they drive
// (stretching chosen vertices along a direction, rotating about the base point). A reference whose
// properties change gets its own anonymous "*U" block regenerated from the original definition.
// Definitions keep their properties in the block record's XDATA under "TESMAR_DYNAMIC".
#pragma once

#include "platform/cad/engine/Database.h"

#include <optional>

namespace cad::db {

// The application name of the XDATA that carries dynamic-block data.
inline constexpr const char* DynamicApplication = "TESMAR_DYNAMIC";

struct DynamicAction {
    enum Type { Stretch, Rotate } type = Stretch;
    QString property;
    // Stretch: (entity index in the definition, vertex index) pairs; a line's vertices are 0 (start)
    // and 1 (end), a polyline's are its own. The vertices move by (value − default) × factor along
    // the direction (a unit vector in block coordinates).
    std::vector<std::pair<int, int>> vertices;
    double directionX = 1, directionY = 0;
    double factor = 1;
};

struct DynamicDefinition {
    std::vector<std::pair<QString, double>> properties;  // name and default value, in order
    std::vector<DynamicAction> actions;
};

// The dynamic data of a definition; nullopt for a plain block.
std::optional<DynamicDefinition> ReadDynamicDefinition(const BlockDefinition& block);
// Stores the dynamic data in the definition (and registers the application name).
void WriteDynamicDefinition(Database& db, BlockDefinition* block, const DynamicDefinition& definition);

// Gives a new reference of a dynamic definition its properties at their default values.
void InitDynamicReference(Database& db, Entity* reference);

// Sets one property of a dynamic reference: the reference moves to its own anonymous block (when it
// still uses the original) and that block is rebuilt from the original with every action applied.
// Linear values are drawing units: they are divided by the reference's X scale in the block.
void SetDynamicProperty(Database& db, Entity* reference, int index, double value);

// Deletes every "*U" block that no live reference uses (run before a drawing is saved).
int PurgeUnreferencedAnonymousBlocks(Database& db);

}  // namespace cad::db
