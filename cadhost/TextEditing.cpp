// Finding the text under a click and changing its value through the model.
#include "cadhost/TextEditing.h"

#include "cadhost/EditCommand.h"
#include "cadhost/DrawingView.h"
#include "cadhost/MTextEditor.h"
#include "platform/cad/engine/Database.h"
#include "platform/ui/core/Prompt.h"

#include <cmath>
#include <limits>

namespace cadhost {

using cad::db::Entity;
using cad::db::EntityKind;

Entity* EditableTextAt(cad::db::Database& db, Entity* clicked, const cad::Point& at) {
    if (!clicked) return nullptr;
    switch (clicked->kind()) {
        case EntityKind::Text:
        case EntityKind::MText:
        case EntityKind::AttributeReference:
            return clicked;
        case EntityKind::BlockReference: {
            Entity* nearest = nullptr;
            double best = std::numeric_limits<double>::max();
            for (Entity* a : clicked->as<cad::db::InsertData>().attributes) {
                if (a->isErased() || !a->visible) continue;
                // The middle of the attribute's box: long values are picked anywhere along them.
                const cad::db::Box b = db.boundingBox(a);
                const double x = b.isEmpty() ? a->textData()->position.x : (b.min.x + b.max.x) / 2;
                const double y = b.isEmpty() ? a->textData()->position.y : (b.min.y + b.max.y) / 2;
                const double d = std::hypot(x - at.x, y - at.y);
                if (d < best) best = d, nearest = a;
            }
            return nearest;
        }
        default:
            return nullptr;
    }
}

QString EditTextValue(cad::ObjectModel& model, cad::DocumentState* doc, Entity* text, QWidget* parent) {
    const cad::ObjectId id = model.entityId(doc, text);
    const QString current =
        model.invoke(id, QStringLiteral("TextString"), cad::CallKind::Get, cad::Args()).toText();
    if (text->kind() == EntityKind::MText) {
        // Several lines: the box shows the text, not its codes.
        const auto edited = EditMultilineText(parent, QStringLiteral("Edycja tekstu"), current);
        if (!edited || *edited == current) return {};
        const cad::Variant value(*edited);
        model.invoke(id, QStringLiteral("TextString"), cad::CallKind::Put, cad::Args(&value, 1));
        return QStringLiteral("Zmieniono tekst.");
    }
    ui::InputRequest rq;
    rq.title = QStringLiteral("Edycja tekstu");
    rq.prompt = text->kind() == EntityKind::AttributeReference
                    ? QStringLiteral("Wartość atrybutu %1:").arg(text->as<cad::db::AttributeData>().tag)
                    : QStringLiteral("Tekst:");
    rq.defaultText = current;
    const std::optional<QString> typed = ui::Prompts().input(rq);
    if (!typed || *typed == current) return {};
    const cad::Variant value(*typed);
    model.invoke(id, QStringLiteral("TextString"), cad::CallKind::Put, cad::Args(&value, 1));
    return QStringLiteral("Zmieniono tekst.");
}

namespace {

// "_ddedit": texts and attributes picked one after another until Enter.
class DdeditCommand : public EditCommand {
public:
    using EditCommand::EditCommand;
    QString prompt() const override { return QStringLiteral("Wybierz tekst lub atrybut:"); }
    bool picksEntity() const override { return true; }
    QString input(const cad::Input& in) override {
        if (in.kind == cad::Input::Enter) {
            finished_ = true;
            return {};
        }
        Entity* clicked = nullptr;
        if (in.kind == cad::Input::EntityInput)
            clicked = doc_->db->entityByHandle(in.handle);
        else if (in.kind == cad::Input::PointInput)
            if (const Entity* hit = view_->entityAt(view_->toScreen({in.point.x, in.point.y, 0})))
                clicked = doc_->db->entityByHandle(hit->handleText());
        Entity* text = EditableTextAt(*doc_->db, clicked, in.point);
        if (!text) return QStringLiteral("To nie jest tekst ani blok z atrybutami.");
        const QString note = EditTextValue(model_, doc_, text, view_->window());
        model_.closeUndoSteps();  // each text changed is a step of its own
        return note;
    }
};

}  // namespace

std::unique_ptr<EditCommand> MakeDdeditCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<DdeditCommand>(m, v, d);
}

}  // namespace cadhost
