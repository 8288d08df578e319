// A drawing that holds every modelled entity kind and table record, shared by the file tests.
#pragma once

#include "platform/cad/engine/Database.h"

#include <memory>

namespace cadtest {

struct Sample {
    std::unique_ptr<cad::db::Database> db;
    cad::db::Entity *line, *arc, *circle, *lw, *pl2d, *text, *mtext, *point, *solid, *pattern, *region, *ref,
        *attdef, *aligned, *ordinate;
};

Sample makeSample();

}  // namespace cadtest
