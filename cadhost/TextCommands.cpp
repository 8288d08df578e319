// "_text": start point, height, angle, then the text; "_mtext": two corners (the first and the
// width), "Wysokość" and "Obrót" before the second, then its lines in a box. The height offered is the
// drawing's TEXTSIZE, and a height given becomes it, as in every CAD program.
#include "cadhost/EditCommand.h"

#include "cadhost/DrawingView.h"
#include "cadhost/MTextEditor.h"
#include "platform/cad/engine/Database.h"
#include "platform/cad/model/Commands.h"

#include <array>
#include <cmath>
#include <numbers>

namespace cadhost {

namespace {

constexpr double Degree = std::numbers::pi / 180;

class TextCommandBase : public EditCommand {
public:
    using EditCommand::EditCommand;

protected:
    double textSize() const {
        try {
            const auto v = doc_->db->variable(QStringLiteral("TEXTSIZE"));
            if (const double* d = std::get_if<double>(&v); d && *d > 0) return *d;
        } catch (const cad::Error&) {
            // A drawing without the variable: the usual default.
        }
        return 2.5;
    }
    void rememberSize(double h) {
        try {
            doc_->db->setVariable(QStringLiteral("TEXTSIZE"), h);
        } catch (const cad::Error&) {
            // Without the variable the next text offers the default again.
        }
    }
    static QString number(double v) { return QString::number(v, 'g', 6); }
    // A distance typed or shown from a point; nullopt for any other answer.
    static std::optional<double> distance(const cad::Input& in, const cad::Point& from) {
        if (in.kind == cad::Input::PointInput) return std::hypot(in.point.x - from.x, in.point.y - from.y);
        if (in.kind == cad::Input::TextInput) return cad::NumberOf(in.text);
        return std::nullopt;
    }
    static std::optional<double> angle(const cad::Input& in, const cad::Point& from) {
        if (in.kind == cad::Input::PointInput) return std::atan2(in.point.y - from.y, in.point.x - from.x);
        if (in.kind == cad::Input::TextInput)
            if (const auto n = cad::NumberOf(in.text)) return *n * Degree;
        return std::nullopt;
    }
    cad::Variant add(const QString& member, std::initializer_list<cad::Variant> args) {
        const cad::ObjectId ms = model_.blockId(doc_, doc_->db->modelSpace());
        return model_.invoke(ms, member, cad::CallKind::Method, cad::Args(args.begin(), args.size()));
    }
    void put(const cad::Variant& object, const QString& member, const cad::Variant& value) {
        model_.invoke(object.toObject(), member, cad::CallKind::Put, cad::Args(&value, 1));
    }
};

class TextCommand : public TextCommandBase {
public:
    using TextCommandBase::TextCommandBase;
    QString prompt() const override {
        switch (stage_) {
            case Start:
                return QStringLiteral("Określ punkt początkowy tekstu:");
            case Height:
                return QStringLiteral("Określ wysokość <%1>:").arg(number(textSize()));
            case Angle:
                return QStringLiteral("Określ kąt obrotu tekstu <0>:");
            case Text:
                break;
        }
        return QStringLiteral("Wpisz tekst:");
    }
    bool freeText() const override { return stage_ == Text; }
    std::optional<cad::Point> basePoint() const override {
        if (stage_ == Height || stage_ == Angle) return start_;
        return std::nullopt;
    }
    QString input(const cad::Input& in) override {
        switch (stage_) {
            case Start:
                if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż punkt początkowy tekstu.");
                start_ = in.point;
                stage_ = Height;
                return {};
            case Height: {
                if (in.kind == cad::Input::Enter) {
                    height_ = textSize();
                } else {
                    const auto h = distance(in, start_);
                    if (!h || !(*h > 0)) return QStringLiteral("Wysokość musi być liczbą dodatnią.");
                    height_ = *h;
                }
                stage_ = Angle;
                return {};
            }
            case Angle:
                if (in.kind != cad::Input::Enter) {
                    const auto a = angle(in, start_);
                    if (!a) return QStringLiteral("Podaj kąt w stopniach albo wskaż punkt.");
                    angle_ = *a;
                }
                stage_ = Text;
                return {};
            case Text:
                break;
        }
        finished_ = true;
        if (in.kind != cad::Input::TextInput || in.text.isEmpty()) return {};
        const cad::Variant text = add(QStringLiteral("AddText"), {in.text, start_, height_});
        if (angle_ != 0) put(text, QStringLiteral("Rotation"), angle_);
        rememberSize(height_);
        return {};
    }

private:
    enum Stage { Start, Height, Angle, Text };
    Stage stage_ = Start;
    cad::Point start_;
    double height_ = 0, angle_ = 0;
};

class MTextCommand : public TextCommandBase {
public:
    MTextCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) : TextCommandBase(m, v, d) {
        height_ = textSize();
    }
    QString prompt() const override {
        switch (stage_) {
            case First:
                return QStringLiteral("Określ pierwszy narożnik:");
            case Second:
                return QStringLiteral("Określ przeciwległy narożnik lub [Wysokość/Obrót]:");
            case Height:
                return QStringLiteral("Określ wysokość <%1>:").arg(number(height_));
            case Angle:
                break;
        }
        return QStringLiteral("Określ kąt obrotu <0>:");
    }
    std::optional<cad::Point> basePoint() const override {
        if (stage_ == First) return std::nullopt;
        return first_;
    }
    QString input(const cad::Input& in) override {
        switch (stage_) {
            case First:
                if (in.kind != cad::Input::PointInput) return QStringLiteral("Wskaż pierwszy narożnik.");
                first_ = in.point;
                stage_ = Second;
                return {};
            case Second:
                if (in.kind == cad::Input::TextInput) {
                    const int k = cad::KeywordIndex(in.text, {{"Wysokość", "Height"}, {"Obrót", "Rotation"}});
                    if (k >= 0) {
                        stage_ = k == 0 ? Height : Angle;
                        return {};
                    }
                }
                if (in.kind != cad::Input::PointInput || in.point.x == first_.x)
                    return QStringLiteral("Wskaż przeciwległy narożnik (inna współrzędna X).");
                width_ = std::abs(in.point.x - first_.x);
                // The text hangs from the upper left corner.
                first_ = cad::Point{std::min(first_.x, in.point.x), std::max(first_.y, in.point.y), 0};
                finished_ = true;
                // Its lines are written in a box, as in every CAD program.
                if (const auto contents = EditMultilineText(view_ ? view_->window() : nullptr,
                                                            QStringLiteral("Tekst wielowierszowy"), QString());
                    contents && !contents->isEmpty())
                    create(*contents);
                return {};
            case Height:
                if (in.kind != cad::Input::Enter) {
                    const auto h = distance(in, first_);
                    if (!h || !(*h > 0)) return QStringLiteral("Wysokość musi być liczbą dodatnią.");
                    height_ = *h;
                }
                stage_ = Second;
                return {};
            case Angle:
                if (in.kind != cad::Input::Enter) {
                    const auto a = angle(in, first_);
                    if (!a) return QStringLiteral("Podaj kąt w stopniach albo wskaż punkt.");
                    angle_ = *a;
                }
                stage_ = Second;
                return {};
        }
        return {};
    }

private:
    void create(const QString& contents) {
        const cad::Variant text = add(QStringLiteral("AddMText"), {first_, width_, contents});
        put(text, QStringLiteral("Height"), height_);
        if (angle_ != 0) put(text, QStringLiteral("Rotation"), angle_);
        rememberSize(height_);
    }
    enum Stage { First, Second, Height, Angle };
    Stage stage_ = First;
    cad::Point first_;
    double width_ = 0, height_ = 2.5, angle_ = 0;
};

}  // namespace

std::unique_ptr<EditCommand> MakeTextCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<TextCommand>(m, v, d);
}
std::unique_ptr<EditCommand> MakeMTextCommand(cad::ObjectModel& m, DrawingView* v, cad::DocumentState* d) {
    return std::make_unique<MTextCommand>(m, v, d);
}

}  // namespace cadhost
