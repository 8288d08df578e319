// Rebuilding the index from model space's drawing order.
#include "cadhost/DrawingScene.h"

#include <algorithm>

namespace cadhost {

using namespace cad::db;

namespace {
Box boxOf(const Database& db, const Entity* e) {
    try {
        return db.boundingBox(e);
    } catch (const cad::Error&) {
        return Box();  // kept in order, just never found
    }
}
}  // namespace

void DrawingScene::refresh() {
    if (!dirty_ && added_ && appendNew()) {
        added_ = false;
        return;
    }
    if (!dirty_ && !added_) return;
    rebuild();
}

bool DrawingScene::appendNew() {
    BlockDefinition* ms = db_->modelSpace();
    if (!ms) return false;
    const std::vector<Entity*>& live = ms->entities();
    // Only a pure append is taken here; anything erased or reordered means a rebuild.
    if (live.size() < knownLive_ || (knownLive_ > 0 && live[knownLive_ - 1] != lastKnown_)) return false;
    for (size_t i = knownLive_; i < live.size(); ++i) {
        extra_.push_back(live[i]);
        extraBoxes_.push_back(boxOf(*db_, live[i]));
    }
    knownLive_ = live.size();
    lastKnown_ = live.empty() ? nullptr : live.back();
    // Enough new ones that searching them one by one costs more than a rebuild.
    if (extra_.size() > std::max<size_t>(2000, entities_.size() / 8)) rebuild();
    return true;
}

void DrawingScene::rebuild() {
    ++generation_;
    dirty_ = false;
    blockContents_.clear();
    added_ = false;
    extra_.clear();
    extraBoxes_.clear();
    entities_.clear();
    std::vector<Box> boxes;
    if (BlockDefinition* ms = db_->modelSpace()) {
        const std::vector<Entity*> order = db_->drawOrder(ms);
        entities_.reserve(order.size());
        boxes.reserve(order.size());
        for (const Entity* e : order) {
            entities_.push_back(e);
            boxes.push_back(boxOf(*db_, e));
        }
        knownLive_ = ms->entities().size();
        lastKnown_ = knownLive_ ? ms->entities().back() : nullptr;
    }
    index_.build(std::move(boxes));
}

std::vector<const Entity*> DrawingScene::entitiesIn(const Box& area, std::vector<Box>* boxes) {
    refresh();
    std::vector<const Entity*> out;
    const std::vector<uint32_t> hits = index_.query(area);
    out.reserve(hits.size());
    if (boxes) boxes->clear(), boxes->reserve(hits.size());
    for (uint32_t i : hits) {
        if (entities_[i]->isErased()) continue;
        out.push_back(entities_[i]);
        if (boxes) boxes->push_back(index_.box(i));
    }
    for (size_t i = 0; i < extra_.size(); ++i) {
        if (extra_[i]->isErased() || !extraBoxes_[i].overlaps(area)) continue;
        out.push_back(extra_[i]);
        if (boxes) boxes->push_back(extraBoxes_[i]);
    }
    return out;
}

Box DrawingScene::extents() {
    refresh();
    Box b = index_.extents();
    for (const Box& x : extraBoxes_) b.add(x);
    return b;
}

}  // namespace cadhost
