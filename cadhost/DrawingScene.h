// One open drawing as the view sees it: its top-level entities in drawing order with their
// bounding boxes in a spatial index, rebuilt when the drawing has changed, and the handles the
// object model shows highlighted in it.
#pragma once

#include "cadhost/Snap.h"
#include "cadhost/SpatialIndex.h"
#include "platform/cad/engine/Database.h"

#include <QSet>
#include <vector>

namespace cadhost {

class DrawingScene {
    QSet<quint64> noHighlight_;  // for a drawing shown without a document behind it

public:
    explicit DrawingScene(cad::db::Database* db) : DrawingScene(db, noHighlight_) {}
    // `highlighted` is the document's own set, so the view always shows what the model keeps.
    DrawingScene(cad::db::Database* db, const QSet<quint64>& highlighted)
        : highlighted(highlighted), db_(db) {}
    DrawingScene(const DrawingScene&) = delete;
    DrawingScene& operator=(const DrawingScene&) = delete;

    cad::db::Database* database() const { return db_; }
    // The drawing changed somewhere; the index is rebuilt before its next use.
    void invalidate() { dirty_ = true; }
    // Only new entities were added at the end of model space: they are indexed on their own
    // until there are enough of them to rebuild (programs add entities one call at a time).
    void entitiesAdded() { added_ = true; }
    bool isDirty() const { return dirty_ || added_; }
    void refresh();

    // Top-level entities whose boxes overlap the area, in drawing order.
    // `boxes`, when given, receives each one's bounding box.
    std::vector<const cad::db::Entity*> entitiesIn(const cad::db::Box& area,
                                                   std::vector<cad::db::Box>* boxes = nullptr);
    // The drawing's extents (empty for an empty drawing).
    cad::db::Box extents();
    size_t size() {
        refresh();
        return entities_.size() + extra_.size();
    }

    // Counts the rebuilds of the index: entities appended since a reading of appendedCount() are
    // appended(i) from that count on while the generation stays the same.
    quint64 generation() const { return generation_; }
    size_t appendedCount() const { return extra_.size(); }
    const cad::db::Entity* appended(size_t i) const { return extra_[i]; }
    const cad::db::Box& appendedBox(size_t i) const { return extraBoxes_[i]; }
    // Sequence of the newest live model-space entity the index holds (0: none).
    quint64 newestSequence() const { return lastKnown_ ? lastKnown_->sequence() : 0; }

    // Entities shown highlighted (by handle, so erasing one leaves nothing dangling).
    const QSet<quint64>& highlighted;
    // The user's selection in this drawing (by handle), shown highlighted too.
    QSet<quint64> selected;
    // The indexes of the block definitions snaps looked into; dropped with the drawing's index.
    BlockContents& blockContents() {
        refresh();
        return blockContents_;
    }
    // The objects the last command that selected took ("Poprzedni" at "Wybierz obiekty:").
    QSet<quint64> previous;
    bool anyHighlighted() const { return !highlighted.isEmpty() || !selected.isEmpty(); }
    bool isHighlighted(const cad::db::Entity* e) const {
        return highlighted.contains(e->handle()) || selected.contains(e->handle());
    }

private:
    cad::db::Database* db_;
    void rebuild();
    bool appendNew();

    bool dirty_ = true;
    bool added_ = false;
    quint64 generation_ = 0;
    std::vector<const cad::db::Entity*> entities_;
    SpatialIndex index_;
    // Entities added since the index was built, with their boxes, searched one by one.
    std::vector<const cad::db::Entity*> extra_;
    std::vector<cad::db::Box> extraBoxes_;
    size_t knownLive_ = 0;                        // live model-space entities when last looked at
    const cad::db::Entity* lastKnown_ = nullptr;  // the newest of them
    BlockContents blockContents_;
};

}  // namespace cadhost
