// The interaction provider: whoever answers picks and command prompts. In the host it is the
// drawing window; in tests a script. The model never waits on anything else.
#pragma once

#include "platform/cad/Variant.h"

#include <deque>
#include <optional>

namespace cad {

// One answer of the user.
struct Input {
    enum Kind {
        None,  // nothing yet (commands wait and ask again on the next step)
        PointInput,
        EntityInput,  // an entity picked (handle) at a point
        TextInput,    // a typed value or keyword
        Enter,        // an empty answer
        Cancel,       // Escape
    };
    Kind kind = None;
    Point point;
    QString handle;
    QString text;

    static Input none() { return {}; }
    static Input at(const Point& p) {
        Input i;
        i.kind = PointInput;
        i.point = p;
        return i;
    }
    static Input entity(const QString& h, const Point& p) {
        Input i;
        i.kind = EntityInput;
        i.handle = h;
        i.point = p;
        return i;
    }
    static Input typed(const QString& t) {
        Input i;
        i.kind = TextInput;
        i.text = t;
        return i;
    }
    static Input enter() {
        Input i;
        i.kind = Enter;
        return i;
    }
    static Input cancel() {
        Input i;
        i.kind = Cancel;
        return i;
    }
};

// What a prompt asks for.
struct InputRequest {
    enum Wanted { AnyPoint = 1, AnyText = 2, AnEntity = 4 };
    QString prompt;
    int wanted = AnyPoint;
    std::optional<Point> basePoint;  // rubber band from here
    int initBits = 0;                // InitializeUserInput bits in force
    QString keywords;
};

class InteractionProvider {
public:
    virtual ~InteractionProvider() = default;
    // A pick made by a program (Utility): answers at once, after the user has answered
    // (Input::None counts as a failed pick).
    virtual Input pick(const InputRequest& request) = 0;
    // The next input of a running command; Input::None while the user has not answered yet.
    virtual Input commandInput(const InputRequest& request) = 0;
    // The drawing window is asked to come to the front.
    virtual void raiseWindow() {}
};

// Answers from a queue; records every prompt it was asked (tests).
class ScriptedInteraction : public InteractionProvider {
public:
    ScriptedInteraction& point(double x, double y) {
        queue_.push_back(Input::at(Point{x, y, 0}));
        return *this;
    }
    ScriptedInteraction& entity(const QString& handle, double x = 0, double y = 0) {
        queue_.push_back(Input::entity(handle, Point{x, y, 0}));
        return *this;
    }
    ScriptedInteraction& text(const QString& t) {
        queue_.push_back(Input::typed(t));
        return *this;
    }
    ScriptedInteraction& enter() {
        queue_.push_back(Input::enter());
        return *this;
    }
    ScriptedInteraction& cancel() {
        queue_.push_back(Input::cancel());
        return *this;
    }
    ScriptedInteraction& push(const Input& i) {
        queue_.push_back(i);
        return *this;
    }

    Input pick(const InputRequest& request) override { return next(request); }
    Input commandInput(const InputRequest& request) override { return next(request); }
    void raiseWindow() override { ++raised_; }

    bool exhausted() const { return queue_.empty(); }
    const QStringList& prompts() const { return prompts_; }
    const QList<InputRequest>& requests() const { return requests_; }
    int raised() const { return raised_; }

private:
    Input next(const InputRequest& request) {
        prompts_.append(request.prompt);
        requests_.append(request);
        if (queue_.empty()) return Input::none();
        Input i = queue_.front();
        queue_.pop_front();
        return i;
    }

    std::deque<Input> queue_;
    QStringList prompts_;
    QList<InputRequest> requests_;
    int raised_ = 0;
};

}  // namespace cad
