// "_line": a chain of separate line segments, each added as soon as its end is given; "Cofaj"
// takes the last one back, "Zamknij" joins the chain to its start, Enter or Escape end it with
// what is drawn kept. Lines are made through the model-space table, so they take the current
// layer, colour and linetype.
#include "cadhost/EditCommand.h"

#include "platform/cad/engine/Database.h"
#include "platform/cad/model/Commands.h"

#include <array>

namespace cadhost {

namespace {

class LineCommand : public EditCommand {
public:
    using EditCommand::EditCommand;
    QString prompt() const override {
        if (points_.empty()) return QStringLiteral("Określ pierwszy punkt:");
        if (points_.size() >= 3) return QStringLiteral("Określ następny punkt lub [Zamknij/Cofaj]:");
        return QStringLiteral("Określ następny punkt lub [Cofaj]:");
    }
    std::optional<cad::Point> basePoint() const override {
        if (points_.empty()) return std::nullopt;
        return points_.back();
    }
    QString input(const cad::Input& in) override {
        if (in.kind == cad::Input::Enter) {
            finished_ = true;
            return {};
        }
        if (in.kind == cad::Input::TextInput) {
            // The keywords the prompt shows: "[Cofaj]", and "[Zamknij/Cofaj]" from the third point on.
            const bool closes = points_.size() >= 3;
            const int k = closes ? cad::KeywordIndex(in.text, {{"Zamknij", "Close"}, {"Cofaj", "Undo"}})
                                 : cad::KeywordIndex(in.text, {{"Cofaj", "Undo"}});
            if (closes && k == 0) {
                addTo(points_.front());
                finished_ = true;
                return {};
            }
            if (k == (closes ? 1 : 0)) return undoLast();
            return QStringLiteral("Nieprawidłowa odpowiedź \u201e%1\u201d.").arg(in.text.trimmed());
        }
        if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż punkt.");
        if (points_.empty()) {
            points_.push_back(in.point);
            return {};
        }
        const cad::Point& last = points_.back();
        if (last.x == in.point.x && last.y == in.point.y) return QStringLiteral("Wskaż punkt inny niż poprzedni.");
        addTo(in.point);
        return {};
    }

private:
    void addTo(const cad::Point& to) {
        const cad::ObjectId ms = model_.blockId(doc_, doc_->db->modelSpace());
        const std::array<cad::Variant, 2> args{cad::Variant(points_.back()), cad::Variant(to)};
        lines_.push_back(model_.invoke(ms, QStringLiteral("AddLine"), cad::CallKind::Method,
                                       cad::Args(args.data(), args.size()))
                             .toObject());
        points_.push_back(to);
    }
    QString undoLast() {
        if (points_.empty()) return QStringLiteral("Nie ma czego cofnąć.");
        points_.pop_back();
        if (lines_.empty()) return {};
        model_.invoke(lines_.back(), QStringLiteral("Delete"), cad::CallKind::Method, cad::Args());
        lines_.pop_back();
        return {};
    }

    std::vector<cad::Point> points_;
    std::vector<cad::ObjectId> lines_;
};

}  // namespace

std::unique_ptr<EditCommand> MakeLineCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<LineCommand>(m, v, d);
}

}  // namespace cadhost
