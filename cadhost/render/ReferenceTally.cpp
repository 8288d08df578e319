// Counting the references below a block, once per block and depth.
#include "cadhost/render/ReferenceTally.h"

namespace cadhost::render {

using namespace cad::db;

long long ReferenceTally::eachCell(const Entity* reference, BlockPath& path) {
    const BlockDefinition* block = db_.findBlock(reference->as<InsertData>().blockName);
    return saturatingAdd(1, block && !block->isErased() ? inside(block, path) : 0);
}

long long ReferenceTally::inside(const BlockDefinition* block, BlockPath& path) {
    if (!path.canEnter(block)) return 0;
    const auto key = std::pair{block, path.depth()};
    if (auto it = counted_.find(key); it != counted_.end()) return it->second;
    path.enter(block);
    long long n = 0;
    for (const Entity* child : block->entities()) {
        const auto* ins = child->tryAs<InsertData>();
        if (ins && !child->isErased())
            n = saturatingAdd(n, saturatingMultiply(saturatingMultiply(ins->gridRows(), ins->gridColumns()),
                                                    eachCell(child, path)));
    }
    path.leave();
    counted_[key] = n;
    return n;
}

}  // namespace cadhost::render
