// Choosing the objects of an editing command, and the table of the editing commands' names.
#include "cadhost/EditCommand.h"

#include "cadhost/DrawingView.h"
#include "cadhost/SelectionWindow.h"
#include "platform/cad/engine/Database.h"

namespace cadhost {

std::unique_ptr<EditCommand> MakeEditCommand(const QString& name, cad::ObjectModel& model, DrawingView* view) {
    cad::DocumentState* doc = model.activeDocument();
    if (!doc || !view->scene()) return nullptr;
    QString n = name.trimmed().toLower();
    while (n.startsWith(QLatin1Char('_')) || n.startsWith(QLatin1Char('.'))) n.remove(0, 1);
    auto is = [&n](std::initializer_list<const char*> names, const QString& polish) {
        for (const char* x : names)
            if (n == QLatin1String(x)) return true;
        return n == polish;
    };
    if (is({"move", "m"}, QStringLiteral("przesuń"))) return MakeMoveCommand(model, view, doc);
    if (is({"copy", "co", "cp"}, QStringLiteral("kopiuj"))) return MakeCopyCommand(model, view, doc);
    if (is({"rotate", "ro"}, QStringLiteral("obróć"))) return MakeRotateCommand(model, view, doc);
    if (is({"scale", "sc"}, QStringLiteral("skala"))) return MakeScaleCommand(model, view, doc);
    if (is({"line", "l"}, QStringLiteral("linia"))) return MakeLineCommand(model, view, doc);
    if (is({"ddedit", "ed", "textedit"}, QStringLiteral("edytujtekst"))) return MakeDdeditCommand(model, view, doc);
    if (is({"text", "dtext", "dt"}, QStringLiteral("tekst"))) return MakeTextCommand(model, view, doc);
    if (is({"mtext", "mt", "t"}, QStringLiteral("tekstm"))) return MakeMTextCommand(model, view, doc);
    return nullptr;
}

SelectingCommand::SelectingCommand(cad::ObjectModel& model, DrawingView* view, cad::DocumentState* doc)
    : EditCommand(model, view, doc) {
    // A selection made before the command is its objects, as in every CAD program.
    const QSet<quint64> before = view_->selection();
    if (!before.isEmpty()) {
        view_->rememberSelection();
        handles_.assign(before.begin(), before.end());
        selecting_ = false;
    }
}

QString SelectingCommand::prompt() const {
    return selecting_ ? QStringLiteral("Wybierz obiekty:") : stagePrompt();
}

QString SelectingCommand::input(const cad::Input& in) {
    if (!selecting_) return stageInput(in);
    switch (in.kind) {
        case cad::Input::Enter: {
            const QSet<quint64> picked = view_->selection();
            if (picked.isEmpty()) {
                finished_ = true;
                return QStringLiteral("Nie wybrano obiektów.");
            }
            view_->rememberSelection();
            handles_.assign(picked.begin(), picked.end());
            selecting_ = false;
            return {};
        }
        case cad::Input::TextInput:
            if (const auto note = SelectionKeyword(view_, in.text)) return *note;
            return QStringLiteral("Wskaż obiekty, Enter kończy wybór.");
        case cad::Input::PointInput:
            // A typed point selects what a click there would (or starts a window there).
            view_->selectAt(view_->toScreen(cad::db::Point3{in.point.x, in.point.y, 0}));
            return {};
        default:
            return QStringLiteral("Wskaż obiekty, Enter kończy wybór.");
    }
}

std::vector<cad::db::Entity*> SelectingCommand::chosen() const {
    std::vector<cad::db::Entity*> out;
    for (quint64 h : handles_) {
        auto* e = dynamic_cast<cad::db::Entity*>(doc_->db->objectByHandle(h));
        if (e && !e->isErased()) out.push_back(e);
    }
    // In drawing order, so copies keep the order of their originals.
    std::sort(out.begin(), out.end(),
              [](const cad::db::Entity* a, const cad::db::Entity* b) { return a->sequence() < b->sequence(); });
    return out;
}

DragPreview SelectingCommand::previewOf(
    std::function<std::optional<cad::db::Transform2D>(const cad::db::Point3&)> placement) const {
    DragPreview p;
    if (selecting_) return p;
    p.handles = handles_;
    p.placement = std::move(placement);
    return p;
}

QString SelectingCommand::applyToChosen(const QString& done,
                                        const std::function<void(cad::db::Entity*)>& change) {
    int changed = 0;
    QStringList failures;
    for (cad::db::Entity* e : chosen()) {
        try {
            change(e);
            ++changed;
        } catch (const cad::Error& err) {
            failures << QStringLiteral("%1 (%2)").arg(e->objectName(), err.message());
        }
    }
    if (changed > 0) doc_->saved = false;
    QString note = QStringLiteral("%1: %2.").arg(done).arg(changed);
    if (!failures.isEmpty())
        note += QStringLiteral(" Pominięto %1: %2.").arg(failures.size()).arg(failures.join(QStringLiteral("; ")));
    return note;
}

void SelectingCommand::finish() {
    finished_ = true;
    view_->clearSelection();
}

}  // namespace cadhost
