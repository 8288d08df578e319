// When the window repaints what programs change. A full repaint of a large drawing is slow, and a
// program's call that arrives meanwhile waits for it: so while programs' calls keep coming the
// repaint waits until they have been quiet for a moment, or at most a while, so a long command
// still shows its progress; never while a call waits unserved. A change the user must see (their
// own edit, or anything while a pick or a question waits for them) is painted at once.
#pragma once

#include <QtGlobal>

namespace cadhost {

class RepaintPolicy {
public:
    static constexpr qint64 QuietMs = 60;    // calls this far apart end a burst
    static constexpr qint64 MaxWaitMs = 1000;  // the longest a program's change waits to be shown
    static constexpr qint64 RecheckMs = 2;   // a call waited unserved: ask again this soon
    // A pick is painted for once it has waited this long: no person answers sooner, and a script
    // that answers at once does not pay for a picture nobody looks at.
    static constexpr qint64 PickPaintMs = 10;

    // A program's call was served (any call: reading keeps a command running too).
    void callServed(qint64 now) { lastCall_ = now; }
    // A program changed the drawing.
    void programChanged(qint64 now);
    // A change the user must see now.
    void urgentChange() { pending_ = urgent_ = true; }
    bool pending() const { return pending_; }
    // At `now`: 0 when the repaint is due, else the milliseconds to wait before asking again
    // (-1 when nothing waits to be painted). `userWaits`: a pick or question waits for the user.
    qint64 waitBeforePaint(qint64 now, bool callWaiting, bool userWaits = false) const;
    void painted() { pending_ = urgent_ = false; }

private:
    bool pending_ = false;
    bool urgent_ = false;
    qint64 since_ = 0;     // the oldest change not painted yet
    qint64 lastCall_ = -QuietMs;
};

}  // namespace cadhost
