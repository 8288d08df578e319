// Selecting everything, the previous selection, and a forced window.
#include "cadhost/SelectionWindow.h"

#include "cadhost/DrawingView.h"
#include "cadhost/EditCommand.h"
#include "cadhost/Selection.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/model/Commands.h"

namespace cadhost {

using namespace cad::db;

int DrawingView::selectAll() {
    if (!scene_ || (mode_ != Mode::Idle && mode_ != Mode::Select)) return 0;
    const Database& db = *scene_->database();
    std::vector<const Entity*> all;
    for (const Entity* e : db.modelSpace()->entities()) {
        if (e->isErased()) continue;
        const Layer* l = db.layers().find(e->layer());
        if (l && (!l->on || l->frozen || l->locked)) continue;
        all.push_back(e);
    }
    select(all);
    return int(all.size());
}

int DrawingView::selectPrevious() {
    if (!scene_) return 0;
    std::vector<const Entity*> alive;
    for (quint64 h : scene_->previous)
        if (const auto* e = dynamic_cast<const Entity*>(scene_->database()->objectByHandle(h)); e && !e->isErased())
            alive.push_back(e);
    select(alive);
    return int(alive.size());
}

void DrawingView::forgetWindowCorner() {
    leftPress_.reset();
    windowDrag_ = false;
    forceWindow_ = false;
    if (corner_) {
        corner_.reset();
        update();
    }
}

void DrawingView::rememberSelection() {
    if (scene_ && !scene_->selected.isEmpty()) scene_->previous = scene_->selected;
}

std::optional<QString> SelectionKeyword(DrawingView* view, const QString& typed) {
    const int k =
        cad::KeywordIndex(typed, {{"Wszystko", "All"}, {"Poprzedni", "Previous"}, {"Okno", "Window"}});
    if (k == 0) return QStringLiteral("Wybrano obiektów: %1.").arg(view->selectAll());
    if (k == 1) {
        const int n = view->selectPrevious();
        if (n == 0) return QStringLiteral("Brak poprzedniego wyboru.");
        return QStringLiteral("Wybrano obiektów: %1.").arg(n);
    }
    if (k == 2) {
        view->forceWindow();
        return QStringLiteral("Wskaż dwa narożniki okna.");
    }
    return std::nullopt;
}

}  // namespace cadhost
