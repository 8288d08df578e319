// When the window repaints what programs change: not while their calls keep coming, after a
// pause or the longest wait, never while a call waits unserved, at once for the user.
#include "cadhost/RepaintPolicy.h"

#include <gtest/gtest.h>

using cadhost::RepaintPolicy;

TEST(RepaintPolicy, WaitsForAPauseOrTheLongestWaitAndNeverPaintsOverAWaitingCall) {
    RepaintPolicy p;
    EXPECT_EQ(p.waitBeforePaint(0, false), -1);  // nothing to paint
    p.programChanged(1000);
    // Calls every 5 ms: no repaint until the longest wait is over.
    qint64 now = 1000;
    for (; now < 1000 + RepaintPolicy::MaxWaitMs; now += 5) {
        EXPECT_GT(p.waitBeforePaint(now, false), 0) << now;
        p.callServed(now);
    }
    EXPECT_EQ(p.waitBeforePaint(now, false), 0);
    EXPECT_EQ(p.waitBeforePaint(now, true), RepaintPolicy::RecheckMs);  // a call waits: serve it first
    p.painted();
    EXPECT_EQ(p.waitBeforePaint(now, false), -1);

    // A short command: painted once its calls have been quiet for a moment.
    p.programChanged(5000);
    p.callServed(5020);
    EXPECT_EQ(p.waitBeforePaint(5030, false), 5020 + RepaintPolicy::QuietMs - 5030);
    EXPECT_EQ(p.waitBeforePaint(5020 + RepaintPolicy::QuietMs, false), 0);
    p.painted();

    // A pick waits for the user, or the user's own change: at once, even amid calls.
    p.programChanged(6000);
    p.callServed(6001);
    EXPECT_EQ(p.waitBeforePaint(6002, true, true), 0);
    p.urgentChange();
    EXPECT_EQ(p.waitBeforePaint(6002, true), 0);
}
