#include "cadhost/RepaintPolicy.h"

#include <algorithm>

namespace cadhost {

void RepaintPolicy::programChanged(qint64 now) {
    if (!pending_) since_ = now;
    pending_ = true;
    lastCall_ = std::max(lastCall_, now);
}

qint64 RepaintPolicy::waitBeforePaint(qint64 now, bool callWaiting, bool userWaits) const {
    if (!pending_) return -1;
    if (urgent_ || userWaits) return 0;
    if (callWaiting) return RecheckMs;
    const qint64 quietLeft = lastCall_ + QuietMs - now;
    const qint64 maxLeft = since_ + MaxWaitMs - now;
    return std::max<qint64>(0, std::min(quietLeft, maxLeft));
}

}  // namespace cadhost
