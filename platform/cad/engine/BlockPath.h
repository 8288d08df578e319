// The path a walk over nested block references has taken: the blocks open, outermost first. It
// opens a block only when it is not open already (a block inside itself) and the walk is less than
// MaxBlockNesting deep, and counts each reference it refuses, so every walk (extents, snaps, the
// drawing) stops at the same place and can tell how much it left out.
#pragma once

#include "platform/cad/engine/BlockNesting.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace cad::db {

class BlockDefinition;

// Counts that only grow: a hostile file's numbers (cells of a grid, references nested in
// references) stop at the largest count instead of wrapping round.
inline long long saturatingAdd(long long a, long long b) {
    return a > std::numeric_limits<long long>::max() - b ? std::numeric_limits<long long>::max() : a + b;
}
inline long long saturatingMultiply(long long a, long long b) {
    if (a <= 0 || b <= 0) return 0;
    return a > std::numeric_limits<long long>::max() / b ? std::numeric_limits<long long>::max() : a * b;
}

class BlockPath {
public:
    // Whether the block may be opened: it is not open already and fewer than MaxBlockNesting are.
    bool canEnter(const BlockDefinition* block) const { return depth() < MaxBlockNesting && !isOpen(block); }
    // Opens the block, or counts the reference to it as left out and returns false.
    bool enter(const BlockDefinition* block) {
        if (!canEnter(block)) {
            leftOut_ = saturatingAdd(leftOut_, 1);
            return false;
        }
        open_.push_back(block);
        return true;
    }
    void leave() { open_.pop_back(); }
    bool isOpen(const BlockDefinition* block) const {
        return std::find(open_.begin(), open_.end(), block) != open_.end();
    }
    // Blocks open now; MaxBlockNesting - depth() more may be opened.
    int depth() const { return int(open_.size()); }
    const std::vector<const BlockDefinition*>& open() const { return open_; }
    // References refused so far (inside themselves, or too deep).
    long long leftOut() const { return leftOut_; }
    void addLeftOut(long long n) { leftOut_ = saturatingAdd(leftOut_, n); }

private:
    std::vector<const BlockDefinition*> open_;
    long long leftOut_ = 0;
};

}  // namespace cad::db
