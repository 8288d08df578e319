// How many block references drawing a reference would make, nested ones included and each cell of
// a grid (MINSERT) counted: the measure of what a drawing stopped at its primitive limit left out.
// It counts only what drawing would reach from the path it stopped on: no block inside itself,
// nothing nested deeper than MaxBlockNesting (those are told apart). A block is counted once for
// each depth it is met at, so a block inserting the next one twice, forty levels deep, takes forty
// steps, not 2^40.
#pragma once

#include "platform/cad/engine/BlockPath.h"
#include "platform/cad/engine/Database.h"

#include <map>
#include <utility>

namespace cadhost::render {

class ReferenceTally {
public:
    explicit ReferenceTally(const cad::db::Database& db) : db_(db) {}
    // The references one cell of a reference met on `path` draws: itself and what its block draws
    // (the largest count when past what a count can hold). `path` is left as it was.
    long long eachCell(const cad::db::Entity* reference, cad::db::BlockPath& path);

private:
    long long inside(const cad::db::BlockDefinition* block, cad::db::BlockPath& path);

    const cad::db::Database& db_;
    std::map<std::pair<const cad::db::BlockDefinition*, int>, long long> counted_;
};

}  // namespace cadhost::render
