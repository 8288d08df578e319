// "_move", "_copy", "_rotate" and "_scale": a base point, then where to, how far round or how much.
// The changes go through the object model's entity members ("Move", "Copy", "Rotate"), so they are
// recorded for undo exactly as a program's calls are; a block reference carries its attributes and
// a dynamic block its properties along.
#include "cadhost/EditCommand.h"

#include "cadhost/DrawingView.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/model/Commands.h"

#include <array>
#include <cmath>
#include <numbers>

namespace cadhost {

namespace {

constexpr double Degree = std::numbers::pi / 180;

// A turn or a scale round the base point.
cad::db::Transform2D aboutBase(const cad::Point& b, const cad::db::Transform2D& t) {
    return cad::db::Transform2D::translation(b.x, b.y).after(t).after(cad::db::Transform2D::translation(-b.x, -b.y));
}

class TransformCommand : public SelectingCommand {
public:
    using SelectingCommand::SelectingCommand;
    std::optional<cad::Point> basePoint() const override { return base_; }
    // Moved and copied objects follow the cursor from the base point.
    DragPreview dragPreview() const override {
        if (!base_) return {};
        const cad::Point b = *base_;
        return previewOf([b](const cad::db::Point3& c) {
            return std::optional(cad::db::Transform2D::translation(c.x - b.x, c.y - b.y));
        });
    }

protected:
    QString stagePrompt() const override {
        return base_ ? secondPrompt() : QStringLiteral("Określ punkt bazowy:");
    }
    QString stageInput(const cad::Input& in) override {
        if (!base_) {
            if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż punkt bazowy.");
            base_ = in.point;
            return {};
        }
        return secondInput(in);
    }
    virtual QString secondPrompt() const = 0;
    virtual QString secondInput(const cad::Input& in) = 0;

    void call(cad::db::Entity* e, const QString& member, std::initializer_list<cad::Variant> args) {
        model_.invoke(model_.entityId(doc_, e), member, cad::CallKind::Method, cad::Args(args.begin(), args.size()));
    }

    std::optional<cad::Point> base_;
};

class MoveCommand : public TransformCommand {
public:
    using TransformCommand::TransformCommand;

private:
    QString secondPrompt() const override { return QStringLiteral("Określ drugi punkt:"); }
    QString secondInput(const cad::Input& in) override {
        if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż drugi punkt.");
        const cad::Point to = in.point;
        const QString note = applyToChosen(QStringLiteral("Przesunięto obiektów"), [&](cad::db::Entity* e) {
            call(e, QStringLiteral("Move"), {*base_, to});
        });
        finish();
        return note;
    }
};

// Copies are placed until Enter (or Escape, which keeps those placed).
class CopyCommand : public TransformCommand {
public:
    using TransformCommand::TransformCommand;

private:
    QString secondPrompt() const override {
        return QStringLiteral("Określ drugi punkt lub [Zakończ] <Zakończ>:");
    }
    QString secondInput(const cad::Input& in) override {
        if (in.kind == cad::Input::Enter ||
            (in.kind == cad::Input::TextInput &&
             cad::KeywordIndex(in.text, {{"Zakończ", "Exit"}}) == 0)) {
            finish();
            return {};
        }
        if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż drugi punkt lub naciśnij Enter.");
        const cad::Point to = in.point;
        return applyToChosen(QStringLiteral("Skopiowano obiektów"), [&](cad::db::Entity* e) {
            const cad::Variant copy = model_.invoke(model_.entityId(doc_, e), QStringLiteral("Copy"),
                                                    cad::CallKind::Method, cad::Args());
            const std::array<cad::Variant, 2> args{cad::Variant(*base_), cad::Variant(to)};
            model_.invoke(copy.toObject(), QStringLiteral("Move"), cad::CallKind::Method,
                          cad::Args(args.data(), args.size()));
        });
    }
};

// The angle is typed in degrees or shown by a point; "Odniesienie" gives a reference angle (typed,
// or by two points) and the new angle it is to take.
class RotateCommand : public TransformCommand {
public:
    using TransformCommand::TransformCommand;
    std::optional<cad::Point> basePoint() const override {
        if (stage_ == ReferenceSecond) return referenceFirst_;
        return base_;
    }
    // The objects turn round the base point as the angle the cursor shows.
    DragPreview dragPreview() const override {
        if (!base_ || (stage_ != Angle && stage_ != NewAngle)) return {};
        const cad::Point b = *base_;
        const double less = stage_ == NewAngle ? reference_ : 0;
        return previewOf([b, less](const cad::db::Point3& c) -> std::optional<cad::db::Transform2D> {
            if (c.x == b.x && c.y == b.y) return std::nullopt;
            return aboutBase(b, cad::db::Transform2D::rotation(std::atan2(c.y - b.y, c.x - b.x) - less));
        });
    }

private:
    enum Stage { Angle, ReferenceAngle, ReferenceSecond, NewAngle };
    QString secondPrompt() const override {
        switch (stage_) {
            case Angle:
                return QStringLiteral("Określ kąt obrotu lub [Odniesienie]:");
            case ReferenceAngle:
                return QStringLiteral("Określ kąt odniesienia <0>:");
            case ReferenceSecond:
                return QStringLiteral("Określ drugi punkt:");
            case NewAngle:
                break;
        }
        return QStringLiteral("Określ nowy kąt:");
    }
    // An angle typed in degrees or shown from the base point; nullopt for any other answer.
    std::optional<double> angleOf(const cad::Input& in) const {
        if (in.kind == cad::Input::PointInput) {
            if (in.point.x == base_->x && in.point.y == base_->y) return std::nullopt;
            return std::atan2(in.point.y - base_->y, in.point.x - base_->x);
        }
        if (in.kind == cad::Input::TextInput)
            if (const auto n = cad::NumberOf(in.text)) return *n * Degree;
        return std::nullopt;
    }
    QString secondInput(const cad::Input& in) override {
        switch (stage_) {
            case Angle:
                if (in.kind == cad::Input::TextInput &&
                    cad::KeywordIndex(in.text, {{"Odniesienie", "Reference"}}) == 0) {
                    stage_ = ReferenceAngle;
                    return {};
                }
                if (const auto a = angleOf(in)) return rotate(*a);
                return QStringLiteral("Podaj kąt w stopniach albo wskaż punkt.");
            case ReferenceAngle:
                if (in.kind == cad::Input::Enter) {
                    reference_ = 0;
                    stage_ = NewAngle;
                    return {};
                }
                if (in.kind == cad::Input::PointInput) {
                    referenceFirst_ = in.point;
                    stage_ = ReferenceSecond;
                    return {};
                }
                if (in.kind == cad::Input::TextInput)
                    if (const auto n = cad::NumberOf(in.text)) {
                        reference_ = *n * Degree;
                        stage_ = NewAngle;
                        return {};
                    }
                return QStringLiteral("Podaj kąt odniesienia albo wskaż dwa punkty.");
            case ReferenceSecond:
                if (in.kind != cad::Input::PointInput ||
                    (in.point.x == referenceFirst_->x && in.point.y == referenceFirst_->y))
                    return QStringLiteral("Wskaż drugi punkt, inny niż pierwszy.");
                reference_ = std::atan2(in.point.y - referenceFirst_->y, in.point.x - referenceFirst_->x);
                stage_ = NewAngle;
                return {};
            case NewAngle:
                if (const auto a = angleOf(in)) return rotate(*a - reference_);
                return QStringLiteral("Podaj nowy kąt w stopniach albo wskaż punkt.");
        }
        return {};
    }
    QString rotate(double angle) {
        const QString note = applyToChosen(QStringLiteral("Obrócono obiektów"), [&](cad::db::Entity* e) {
            call(e, QStringLiteral("Rotate"), {*base_, angle});
        });
        finish();
        return note;
    }

    Stage stage_ = Angle;
    double reference_ = 0;
    std::optional<cad::Point> referenceFirst_;
};

// The factor is typed or shown as a distance from the base point.
class ScaleCommand : public TransformCommand {
public:
    using TransformCommand::TransformCommand;

private:
    QString secondPrompt() const override { return QStringLiteral("Określ współczynnik skali:"); }
    // The objects grow by the cursor's distance from the base point.
    DragPreview dragPreview() const override {
        if (!base_) return {};
        const cad::Point b = *base_;
        return previewOf([b](const cad::db::Point3& c) -> std::optional<cad::db::Transform2D> {
            const double f = std::hypot(c.x - b.x, c.y - b.y);
            if (!(f > 0)) return std::nullopt;
            return aboutBase(b, cad::db::Transform2D::scale(f, f));
        });
    }
    QString secondInput(const cad::Input& in) override {
        std::optional<double> factor;
        if (in.kind == cad::Input::PointInput)
            factor = std::hypot(in.point.x - base_->x, in.point.y - base_->y);
        else if (in.kind == cad::Input::TextInput)
            factor = cad::NumberOf(in.text);
        if (!factor || !(*factor > 0)) return QStringLiteral("Współczynnik skali musi być liczbą dodatnią.");
        const double f = *factor;
        const cad::db::Transform2D t = aboutBase(*base_, cad::db::Transform2D::scale(f, f));
        const QString note = applyToChosen(QStringLiteral("Przeskalowano obiektów"),
                                           [&](cad::db::Entity* e) { doc_->db->transform(e, t); });
        finish();
        return note;
    }
};

}  // namespace

std::unique_ptr<EditCommand> MakeMoveCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<MoveCommand>(m, v, d);
}
std::unique_ptr<EditCommand> MakeCopyCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<CopyCommand>(m, v, d);
}
std::unique_ptr<EditCommand> MakeRotateCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<RotateCommand>(m, v, d);
}
std::unique_ptr<EditCommand> MakeScaleCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<ScaleCommand>(m, v, d);
}

}  // namespace cadhost
