// The state machines of the drawing commands.
#include "platform/cad/model/Commands.h"

#include "platform/cad/model/ObjectModel.h"
#include "platform/cad/model/Support.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cad {

QString KeywordOf(const QString& text) {
    QString k = text.trimmed();
    while (k.startsWith(QLatin1Char('_'))) k.remove(0, 1);
    return k.toUpper();
}

std::optional<double> NumberOf(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}

int KeywordIndex(const QString& typed, std::initializer_list<Keyword> keywords) {
    QString t = typed.trimmed();
    const bool english = t.startsWith(QLatin1Char('_'));
    while (t.startsWith(QLatin1Char('_'))) t.remove(0, 1);
    t = t.toUpper();
    if (t.isEmpty()) return -1;
    int found = -1;
    bool shared = false;
    int i = 0;
    for (const Keyword& k : keywords) {
        const QString word = QString::fromUtf8(english ? k.english : k.polish).toUpper();
        if (word == t) return i;
        if (word.startsWith(t)) {
            shared = found >= 0;
            if (found < 0) found = i;
        }
        ++i;
    }
    return shared ? -1 : found;
}

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

double normalizeAngle(double a) {
    a = std::fmod(a, TwoPi);
    return a < 0 ? a + TwoPi : a;
}

// Entities are made through the model-space table, as the programs' own Add... calls are.
class ModelCommand : public CommandProcessor::Command {
public:
    ModelCommand(ObjectModel& m, DocumentState* doc) : m_(m), doc_(doc) {}

protected:
    Variant add(const QString& member, std::initializer_list<Variant> args) {
        const ObjectId ms = m_.blockId(doc_, doc_->db->modelSpace());
        return m_.invoke(ms, member, CallKind::Method, Args(args.begin(), args.size()));
    }
    void call(const Variant& object, const QString& member, std::initializer_list<Variant> args) {
        m_.invoke(object.toObject(), member, CallKind::Method, Args(args.begin(), args.size()));
    }
    static InputRequest ask(const QString& prompt, int wanted, std::optional<Point> base = std::nullopt) {
        InputRequest r;
        r.prompt = prompt;
        r.wanted = wanted;
        r.basePoint = base;
        return r;
    }
    ObjectModel& m_;
    DocumentState* doc_;
};

// "_arc": start point, second point, end point.
class ArcCommand : public ModelCommand {
public:
    using ModelCommand::ModelCommand;
    InputRequest request() const override {
        const int pointOrKeyword = InputRequest::AnyPoint | InputRequest::AnyText;
        switch (order_[n_]) {
            case Start:
                return ask(QStringLiteral("Określ punkt początkowy łuku lub [Środek]:"), pointOrKeyword,
                           base());
            case Second:
                return ask(QStringLiteral("Określ drugi punkt łuku lub [Środek/Koniec]:"), pointOrKeyword,
                           base());
            case Center:
                return ask(QStringLiteral("Określ środek łuku:"), InputRequest::AnyPoint, base());
            default:
                return ask(QStringLiteral("Określ punkt końcowy łuku:"), InputRequest::AnyPoint, base());
        }
    }
    Step accept(const Input& in) override {
        if (in.kind == Input::TextInput) return keyword(in.text);
        if (in.kind != Input::PointInput) return Reject;
        const Role role = order_[n_];
        if (role != Start && role != Center && have_[Start] && samePoint(in.point, p_[Start])) return Reject;
        p_[role] = in.point;
        have_[role] = true;
        if (n_ < 2) {
            ++n_;
            return Continue;
        }
        if (have_[Second]) return throughThreePoints() ? Done : retryLast();
        return fromCenter() ? Done : retryLast();
    }

private:
    // The three inputs in the order the user gives them: start, second, end by default;
    // "Center" at the first prompt asks centre, start, end; at the second, centre then end;
    // "End" at the second asks end then centre.
    enum Role { Start, Second, Center, End };

    // The keywords the prompt shows: "[Środek]" at the first, "[Środek/Koniec]" at the second.
    Step keyword(const QString& typed) {
        const int k = n_ == 0 ? KeywordIndex(typed, {{"Środek", "Center"}})
                              : KeywordIndex(typed, {{"Środek", "Center"}, {"Koniec", "End"}});
        const bool center = k == 0;
        const bool end = n_ == 1 && k == 1;
        if (n_ == 0 && center) {
            order_[0] = Center, order_[1] = Start, order_[2] = End;
            return Continue;
        }
        if (n_ == 1 && order_[1] == Second && (center || end)) {
            order_[1] = center ? Center : End;
            order_[2] = center ? End : Center;
            return Continue;
        }
        return Reject;
    }

    std::optional<Point> base() const {
        if (n_ == 0) return std::nullopt;
        return p_[order_[n_ - 1]];
    }

    static bool samePoint(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }

    // The last input did not give an arc: ask for it again.
    Step retryLast() {
        have_[order_[2]] = false;
        return Reject;
    }

    bool throughThreePoints() {
        const Point& a = p_[Start];
        const Point& b = p_[Second];
        const Point& e = p_[End];
        const double d = 2 * (a.x * (b.y - e.y) + b.x * (e.y - a.y) + e.x * (a.y - b.y));
        if (std::abs(d) < 1e-12) return false;  // collinear
        const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, e2 = e.x * e.x + e.y * e.y;
        const Point c{(a2 * (b.y - e.y) + b2 * (e.y - a.y) + e2 * (a.y - b.y)) / d,
                      (a2 * (e.x - b.x) + b2 * (a.x - e.x) + e2 * (b.x - a.x)) / d, 0};
        // Arcs run counter-clockwise: a clockwise pick order swaps start and end.
        const bool ccw = (b.x - a.x) * (e.y - a.y) - (b.y - a.y) * (e.x - a.x) > 0;
        addArc(c, ccw ? a : e, ccw ? e : a);
        return true;
    }

    // Start, centre and end: counter-clockwise from the start; the end point gives only the angle.
    bool fromCenter() {
        const Point& c = p_[Center];
        if (samePoint(c, p_[Start]) || samePoint(c, p_[End])) return false;
        addArc(c, p_[Start], p_[End]);
        return true;
    }

    void addArc(const Point& c, const Point& from, const Point& to) {
        const double r = std::hypot(from.x - c.x, from.y - c.y);
        const double a0 = normalizeAngle(std::atan2(from.y - c.y, from.x - c.x));
        const double a1 = normalizeAngle(std::atan2(to.y - c.y, to.x - c.x));
        add(QStringLiteral("AddArc"), {c, r, a0, a1});
    }

    int n_ = 0;
    Role order_[3] = {Start, Second, End};
    Point p_[4];
    bool have_[4] = {false, false, false, false};
};

// "_pline": points, "A" arc segments (tangent), "L" lines, "W" widths, "C" close, "U" undo, Enter ends.
// Escape keeps the segments drawn so far.
class PlineCommand : public ModelCommand {
public:
    using ModelCommand::ModelCommand;
    InputRequest request() const override {
        if (width_ == StartWidth)
            return ask(QStringLiteral("Określ szerokość początkową <%1>:").arg(startWidth_), InputRequest::AnyText);
        if (width_ == EndWidth)
            return ask(QStringLiteral("Określ szerokość końcową <%1>:").arg(pendingStart_), InputRequest::AnyText);
        if (v_.empty()) return ask(QStringLiteral("Określ punkt początkowy:"), InputRequest::AnyPoint);
        const Point last{v_.back().x, v_.back().y, 0};
        if (arc_)
            return ask(QStringLiteral("Określ punkt końcowy łuku lub [Linia/Szerokość/Zamknij/Cofaj]:"),
                       InputRequest::AnyPoint | InputRequest::AnyText, last);
        return ask(QStringLiteral("Określ następny punkt lub [Łuk/Szerokość/Zamknij/Cofaj]:"),
                   InputRequest::AnyPoint | InputRequest::AnyText, last);
    }
    Step accept(const Input& in) override {
        if (width_ != NoWidth) return acceptWidth(in);
        if (in.kind == Input::Enter) return finish(false);
        if (in.kind == Input::TextInput) {
            // "[Łuk/Szerokość/Zamknij/Cofaj]", or "[Linia/...]" while arcs are drawn.
            const int k = KeywordIndex(in.text, {{arc_ ? "Linia" : "Łuk", arc_ ? "Line" : "Arc"},
                                                 {"Szerokość", "Width"},
                                                 {"Zamknij", "Close"},
                                                 {"Cofaj", "Undo"}});
            switch (k) {
                case 0:
                    arc_ = !arc_;
                    return Continue;
                case 1:
                    width_ = StartWidth;
                    return Continue;
                case 2:
                    if (v_.size() < 2) return Reject;
                    return finish(true);
                case 3:
                    if (!v_.empty()) v_.pop_back();
                    if (!v_.empty()) v_.back().bulge = 0;
                    return Continue;
                default:
                    return Reject;
            }
        }
        if (in.kind != Input::PointInput) return Reject;
        if (!v_.empty() && v_.back().x == in.point.x && v_.back().y == in.point.y) return Reject;
        if (arc_ && !v_.empty()) v_.back().bulge = tangentBulge(in.point);
        if (!v_.empty()) {
            // The segment ending here takes the widths in force; the next starts as this one ends.
            v_.back().startWidth = startWidth_;
            v_.back().endWidth = endWidth_;
            startWidth_ = endWidth_;
        }
        db::Vertex v;
        v.x = in.point.x;
        v.y = in.point.y;
        v_.push_back(v);
        return Continue;
    }
    void cancel() override { finish(false); }
    std::vector<std::array<double, 3>> preview() const override {
        std::vector<std::array<double, 3>> out;
        if (done_) return out;
        for (const db::Vertex& v : v_) out.push_back({v.x, v.y, v.bulge});
        return out;
    }

private:
    // Direction at the end of the last segment (+X before the first one).
    std::pair<double, double> endDirection() const {
        if (v_.size() < 2) return {1, 0};
        const db::Vertex& a = v_[v_.size() - 2];
        const db::Vertex& b = v_.back();
        const double cx = b.x - a.x, cy = b.y - a.y;
        // The end tangent of an arc segment is its chord turned by half the included angle.
        const double half = 2 * std::atan(a.bulge);
        return {cx * std::cos(half) - cy * std::sin(half), cx * std::sin(half) + cy * std::cos(half)};
    }
    double tangentBulge(const Point& to) const {
        const auto [tx, ty] = endDirection();
        const double cx = to.x - v_.back().x, cy = to.y - v_.back().y;
        const double alpha = std::atan2(tx * cy - ty * cx, tx * cx + ty * cy);  // tangent to chord
        return std::tan(alpha / 2);  // included angle is 2·alpha; bulge = tan(included / 4)
    }
    Step finish(bool close) {
        if (done_) return Done;
        done_ = true;
        if (v_.size() < 2) return Done;
        VariantList flat;
        for (const db::Vertex& v : v_) flat << v.x << v.y;
        const Variant pl = add(QStringLiteral("AddLightWeightPolyline"), {Variant(flat)});
        for (size_t i = 0; i < v_.size(); ++i)
            if (v_[i].bulge != 0) call(pl, QStringLiteral("SetBulge"), {int(i), v_[i].bulge});
        if (close) m_.invoke(pl.toObject(), QStringLiteral("Closed"), CallKind::Put, Args(&kTrue, 1));
        if (close && v_.size() >= 2) {
            v_.back().startWidth = startWidth_;
            v_.back().endWidth = endWidth_;
        }
        // Widths go straight into the polyline just made (its creation is what undo takes back).
        if (std::any_of(v_.begin(), v_.end(), [](const db::Vertex& v) { return v.startWidth || v.endWidth; })) {
            auto& made = static_cast<db::Entity*>(m_.record(pl.toObject()).object)->as<db::LwPolylineData>();
            for (size_t i = 0; i < v_.size() && i < made.vertices.size(); ++i) {
                made.vertices[i].startWidth = v_[i].startWidth;
                made.vertices[i].endWidth = v_[i].endWidth;
            }
        }
        return Done;
    }
    // "Szerokość": the start width, then the end width (the start width by default).
    Step acceptWidth(const Input& in) {
        double w = width_ == StartWidth ? startWidth_ : pendingStart_;
        if (in.kind == Input::TextInput) {
            const auto n = NumberOf(in.text);
            if (!n || *n < 0) return Reject;
            w = *n;
        } else if (in.kind != Input::Enter) {
            return Reject;
        }
        if (width_ == StartWidth) {
            pendingStart_ = w;
            width_ = EndWidth;
            return Continue;
        }
        startWidth_ = pendingStart_;
        endWidth_ = w;
        width_ = NoWidth;
        return Continue;
    }
    static inline const Variant kTrue{true};
    std::vector<db::Vertex> v_;
    bool arc_ = false;
    bool done_ = false;
    enum WidthStage { NoWidth, StartWidth, EndWidth } width_ = NoWidth;
    double startWidth_ = 0, endWidth_ = 0, pendingStart_ = 0;
};

// "_circle": centre, then radius (a point or a number), or "D" and a diameter.
class CircleCommand : public ModelCommand {
public:
    using ModelCommand::ModelCommand;
    InputRequest request() const override {
        if (!center_) return ask(QStringLiteral("Określ środek okręgu:"), InputRequest::AnyPoint);
        if (diameter_)
            return ask(QStringLiteral("Określ średnicę okręgu:"),
                       InputRequest::AnyPoint | InputRequest::AnyText, center_);
        return ask(QStringLiteral("Określ promień okręgu lub [Średnica]:"),
                   InputRequest::AnyPoint | InputRequest::AnyText, center_);
    }
    Step accept(const Input& in) override {
        if (!center_) {
            if (in.kind != Input::PointInput) return Reject;
            center_ = in.point;
            return Continue;
        }
        double size = 0;
        if (in.kind == Input::PointInput)
            size = std::hypot(in.point.x - center_->x, in.point.y - center_->y);
        else if (in.kind == Input::TextInput) {
            if (!diameter_ && KeywordIndex(in.text, {{"Średnica", "Diameter"}}) == 0) {
                diameter_ = true;
                return Continue;
            }
            const auto n = NumberOf(in.text);
            if (!n) return Reject;
            size = *n;
        } else
            return Reject;
        const double r = diameter_ ? size / 2 : size;
        if (!(r > 0)) return Reject;
        add(QStringLiteral("AddCircle"), {*center_, r});
        return Done;
    }

private:
    std::optional<Point> center_;
    bool diameter_ = false;
};

// "_-insert": block name, options before the point (S, X, Y, Z, R), the insertion point, then the
// scale and rotation not given before. Attribute values are the definitions' defaults.
class InsertCommand : public ModelCommand {
public:
    using ModelCommand::ModelCommand;
    InputRequest request() const override {
        if (name_.isEmpty()) return ask(QStringLiteral("Podaj nazwę bloku:"), InputRequest::AnyText);
        switch (option_) {
            case Scale:
                return ask(QStringLiteral("Określ współczynnik skali osi XYZ <1>:"), InputRequest::AnyText);
            case X:
                return ask(QStringLiteral("Określ współczynnik skali X <1>:"), InputRequest::AnyText);
            case Y:
                return ask(QStringLiteral("Określ współczynnik skali Y <1>:"), InputRequest::AnyText);
            case Z:
                return ask(QStringLiteral("Określ współczynnik skali Z <1>:"), InputRequest::AnyText);
            case Rotate:
                return ask(QStringLiteral("Określ kąt obrotu <0>:"), InputRequest::AnyText);
            default:
                break;
        }
        if (!point_)
            return ask(QStringLiteral("Określ punkt wstawienia lub [Skala/X/Y/Z/Obrót]:"),
                       InputRequest::AnyPoint | InputRequest::AnyText);
        if (!anyScale()) {
            if (!xs_)
                return ask(QStringLiteral("Podaj współczynnik skali X <1>:"), InputRequest::AnyText, point_);
            return ask(QStringLiteral("Podaj współczynnik skali Y <równy skali X>:"), InputRequest::AnyText,
                       point_);
        }
        return ask(QStringLiteral("Określ kąt obrotu <0>:"), InputRequest::AnyPoint | InputRequest::AnyText,
                   point_);
    }

    Step accept(const Input& in) override {
        if (name_.isEmpty()) {
            if (in.kind != Input::TextInput || in.text.trimmed().isEmpty()) return Reject;
            const QString n = in.text.trimmed();
            if (!doc_->db->findBlock(n) && ResolveDrawingFile(n).isEmpty())
                throw NotFound(QStringLiteral("Nie znaleziono bloku \u201e%1\u201d.").arg(n));
            name_ = n;
            return Continue;
        }
        if (option_ != None) {
            if (in.kind != Input::TextInput) return Reject;
            const auto n = NumberOf(in.text);
            if (!n || (option_ != Rotate && *n == 0)) return Reject;
            switch (option_) {
                case Scale:
                    xs_ = ys_ = zs_ = *n;
                    break;
                case X:
                    xs_ = *n;
                    break;
                case Y:
                    ys_ = *n;
                    break;
                case Z:
                    zs_ = *n;
                    break;
                case Rotate:
                    rotation_ = *n * std::numbers::pi / 180;
                    break;
                default:
                    break;
            }
            presetScale_ = presetScale_ || option_ != Rotate;
            option_ = None;
            return Continue;
        }
        if (!point_) {
            if (in.kind == Input::PointInput) {
                point_ = in.point;
                return ready() ? insert() : Continue;
            }
            if (in.kind != Input::TextInput) return Reject;
            // "[Skala/X/Y/Z/Obrót]"
            constexpr Option byKeyword[] = {Scale, X, Y, Z, Rotate};
            const int k = KeywordIndex(
                in.text, {{"Skala", "Scale"}, {"X", "X"}, {"Y", "Y"}, {"Z", "Z"}, {"Obrót", "Rotate"}});
            if (k < 0) return Reject;
            option_ = byKeyword[k];
            return Continue;
        }
        if (!anyScale()) {
            double s = 1;
            if (in.kind == Input::TextInput) {
                const auto n = NumberOf(in.text);
                if (!n || *n == 0) return Reject;
                s = *n;
            } else if (in.kind != Input::Enter)
                return Reject;
            if (!xs_) {
                xs_ = s;
                return Continue;
            }
            ys_ = in.kind == Input::Enter ? *xs_ : s;
            presetScale_ = true;
            return ready() ? insert() : Continue;
        }
        // Rotation: a point gives the angle from the insertion point, a number is in degrees.
        if (in.kind == Input::PointInput)
            rotation_ = std::atan2(in.point.y - point_->y, in.point.x - point_->x);
        else if (in.kind == Input::TextInput) {
            const auto n = NumberOf(in.text);
            if (!n) return Reject;
            rotation_ = *n * std::numbers::pi / 180;
        } else if (in.kind == Input::Enter)
            rotation_ = 0;
        else
            return Reject;
        return insert();
    }

private:
    enum Option { None, Scale, X, Y, Z, Rotate };
    bool anyScale() const { return presetScale_; }
    bool ready() const { return point_ && anyScale() && rotation_.has_value(); }
    Step insert() {
        const double x = xs_.value_or(1);
        const double y = ys_.value_or(x);
        const double z = zs_.value_or(x);
        add(QStringLiteral("InsertBlock"), {*point_, name_, x, y, z, normalizeAngle(rotation_.value_or(0))});
        return Done;
    }

    QString name_;
    Option option_ = None;
    std::optional<Point> point_;
    std::optional<double> xs_, ys_, zs_, rotation_;
    bool presetScale_ = false;
};

// "_viewres": fast zooms (Y/N), circle zoom percent 1..20000. Display settings only.
class ViewresCommand : public ModelCommand {
public:
    using ModelCommand::ModelCommand;
    InputRequest request() const override {
        if (n_ == 0)
            return ask(QStringLiteral("Czy szybkie powiększanie? [Tak/Nie] <T>:"), InputRequest::AnyText);
        return ask(QStringLiteral("Podaj procent dokładności okręgów (1-20000) <1000>:"),
                   InputRequest::AnyText);
    }
    Step accept(const Input& in) override {
        if (n_ == 0) {
            if (in.kind != Input::Enter &&
                !(in.kind == Input::TextInput && KeywordIndex(in.text, {{"Tak", "Yes"}, {"Nie", "No"}}) >= 0))
                return Reject;
            ++n_;
            return Continue;
        }
        if (in.kind == Input::Enter) return Done;
        const auto n = in.kind == Input::TextInput ? NumberOf(in.text) : std::nullopt;
        if (!n || *n < 1 || *n > 20000) return Reject;
        return Done;
    }

private:
    int n_ = 0;
};

}  // namespace

std::unique_ptr<CommandProcessor::Command> MakeArcCommand(ObjectModel& m, DocumentState* doc) {
    return std::make_unique<ArcCommand>(m, doc);
}
std::unique_ptr<CommandProcessor::Command> MakePlineCommand(ObjectModel& m, DocumentState* doc) {
    return std::make_unique<PlineCommand>(m, doc);
}
std::unique_ptr<CommandProcessor::Command> MakeCircleCommand(ObjectModel& m, DocumentState* doc) {
    return std::make_unique<CircleCommand>(m, doc);
}
std::unique_ptr<CommandProcessor::Command> MakeInsertCommand(ObjectModel& m, DocumentState* doc) {
    return std::make_unique<InsertCommand>(m, doc);
}
std::unique_ptr<CommandProcessor::Command> MakeViewresCommand(ObjectModel& m, DocumentState* doc) {
    return std::make_unique<ViewresCommand>(m, doc);
}

}  // namespace cad
