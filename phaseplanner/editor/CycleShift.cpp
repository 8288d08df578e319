// Seconds added or removed at a second of the cycle, and the whole program moved.
#include "phaseplanner/editor/CycleShift.h"

#include <algorithm>

namespace phaseplanner {

int ShiftGreens(std::vector<GroupRecord>& table, int cycleLength, int at, int delta) {
    const int c = cycleLength, x = at;
    for (GroupRecord& g : table) {
        const int a = g.Kind == KindPedestrian || g.Kind == KindBicycle ? -4 : 0;
        for (int k = 1; k <= g.GreenCount && k <= MaxGreens; ++k) {
            GreenInterval& green = g.Greens[std::size_t(k)];
            int& s = green.Start;
            int& l = green.Length;
            if (l < 1) continue;
            const int e = s + l + a;
            if (delta >= 1) {
                if (e >= x && s <= x) {
                    l += delta;
                } else if (s > x) {
                    if (s + l > c && s + l - c > x) l += delta;
                    s += delta;
                }
            } else if (delta <= -1) {
                const int r = -delta;
                if (e > x && s <= x) {
                    const int over = s + l + a - x;
                    l -= std::min(r, over);
                } else if (s > x) {
                    const int dist = s - x;
                    if (dist < r) {
                        s = x;
                        l = l + dist - r;
                    } else {
                        if (s + l > c && s + l - c > x) {
                            const int over = s + l - c + a - x;
                            l -= std::min(r, over);
                        }
                        s -= r;
                    }
                }
                // A removal that swallows the whole green leaves no green, never a negative one.
                if (l < 0) l = 0;
            }
        }
    }
    return c + delta;
}

int ClampRemoval(int cycleLength, int seconds) {
    return std::clamp(seconds, 0, std::max(0, cycleLength - MinCycleLength));
}

void MoveGreens(std::vector<GroupRecord>& table, int cycleLength, int seconds) {
    if (cycleLength <= 0) return;
    for (GroupRecord& g : table) {
        if (!g.Defined || g.ComplementMode == ModeOnlyRed || g.ComplementMode == ModeNoSignal) continue;
        for (int k = 1; k <= g.GreenCount && k <= MaxGreens; ++k) {
            GreenInterval& green = g.Greens[std::size_t(k)];
            if (green.Length <= 0) continue;
            // Any shift, a whole cycle or more too, brings the start back into the cycle.
            green.Start = ((green.Start + seconds) % cycleLength + cycleLength) % cycleLength;
        }
    }
}

}  // namespace phaseplanner
