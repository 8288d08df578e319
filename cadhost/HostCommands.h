// Commands the drawing window answers itself, without the drawing: "_zoom" (window, extents,
// previous) and "_regen". They take the prompt line while they run, as the drawing commands do.
#pragma once

#include "platform/cad/model/Interaction.h"

#include <QString>
#include <functional>
#include <optional>

namespace cadhost {

class DrawingView;

class HostCommands {
public:
    explicit HostCommands(DrawingView* view) : view_(view) {}

    // Starts the command a typed word names; false when it names none of the window's own.
    bool start(const QString& typed);
    bool active() const { return step_ != Idle; }
    QString prompt() const;
    // The rubber band's base while a second corner is asked.
    std::optional<cad::Point> basePoint() const;
    // One answer; returns a short message for the user when the answer was refused.
    QString input(const cad::Input& in);
    void cancel() { step_ = Idle; }

private:
    enum Step { Idle, ZoomOption, ZoomFirst, ZoomSecond };
    DrawingView* view_;
    Step step_ = Idle;
    cad::Point first_;
};

}  // namespace cadhost
