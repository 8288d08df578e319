// Serves the window's message loop from a long inner loop at most once per interval, so that the
// window stays responsive without paying for an event round per item.
#pragma once

#include "conflictor/streams/StreamWindow.h"

#include <QElapsedTimer>
#include <functional>

namespace conflictor {

class MessageLoopPacer {
public:
    explicit MessageLoopPacer(StreamWindow& window, int intervalMs = 30)
        : window_(window), interval_(intervalMs) {
        clock_.start();
    }
    // Lets the loop run when the interval has passed since the last time.
    void serve() {
        // The clock is read only every few calls: the callers' items cost far less than a clock read.
        if (++calls_ % 64 != 0 || clock_.elapsed() < interval_) return;
        now();
    }
    // What must happen before the loop serves events (the caller's calls to the CAD carried out);
    // none by default.
    void beforeServing(std::function<void()> f) { before_ = std::move(f); }
    // Lets the loop run at once.
    void now() {
        if (before_) before_();
        window_.yieldToMessageLoop();
        ++served_;
        clock_.restart();
    }
    int served() const { return served_; }

private:
    StreamWindow& window_;
    qint64 interval_;
    QElapsedTimer clock_;
    int served_ = 0;
    unsigned calls_ = 0;
    std::function<void()> before_;
};

}  // namespace conflictor
