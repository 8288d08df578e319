// The group table and its look-ups.
#include "phaseplanner/editor/GroupTable.h"

#include "common/TextHelpers.h"

#include <algorithm>

namespace phaseplanner {

std::vector<GroupRecord> GroupTable;

int GroupOrdinal(int index) {
    int count = 0;
    for (int i = 0; i <= index && i < int(GroupTable.size()); ++i)
        if (GroupTable[i].Defined) ++count;
    return count;
}

int ZnajdzIdxGrupy(int row) {
    if (row < 0) return -1;
    int count = -1;
    for (int i = 0; i < int(GroupTable.size()); ++i) {
        if (!GroupTable[i].Defined) continue;
        if (++count == row) return i;
    }
    return -1;
}

int DefinedGroupCount() {
    return int(
        std::count_if(GroupTable.begin(), GroupTable.end(), [](const GroupRecord& g) { return g.Defined; }));
}

int LargestGreenCount() {
    int n = 1;
    for (const GroupRecord& g : GroupTable)
        if (g.Defined) n = std::max(n, g.GreenCount);
    return n;
}

QString GroupKindText(const GroupRecord& group) {
    const QChar letter = group.Symbols.isEmpty() ? QChar() : group.Symbols.at(0).toUpper();
    switch (group.Kind) {
        case KindVehicle:
            return common::Tlumacz(letter == QLatin1Char('B') ? QStringLiteral("Bus")
                                                              : QStringLiteral("Kołowe"));
        case KindPedestrian:
            return common::Tlumacz(QStringLiteral("Piesze"));
        case KindTramOrArrow:
            return common::Tlumacz(letter == QLatin1Char('T') ? QStringLiteral("Tramwajowe")
                                                              : QStringLiteral("Warunkowe"));
        case KindBicycle:
            return common::Tlumacz(QStringLiteral("Rowerowe"));
        default:
            return QString();
    }
}

QString GroupKindWord(int kind) {
    switch (kind) {
        case KindVehicle:
            return common::Tlumacz(QStringLiteral("Kołowe"));
        case KindPedestrian:
            return common::Tlumacz(QStringLiteral("Piesze"));
        case KindTramOrArrow:
            return common::Tlumacz(QStringLiteral("Strzałka"));
        case KindBicycle:
            return common::Tlumacz(QStringLiteral("Rowerowe"));
        default:
            return QString();
    }
}

int GreenEnd(const GreenInterval& green, int cycleLength) {
    const int end = green.Start + green.Length;
    return end <= cycleLength ? end : end - cycleLength;
}

bool IsGroupGreenAt(const GroupRecord& group, int second, int cycleLength) {
    if (!group.Defined || group.ComplementMode != ModeOrdinary) return false;
    for (int k = 1; k <= group.GreenCount && k <= MaxGreens; ++k) {
        const GreenInterval& g = group.Greens[k];
        if (g.Length < 1) continue;
        const int end = g.Start + g.Length;
        if (end <= cycleLength) {
            if (g.Start <= second && second <= end) return true;
        } else if ((g.Start <= second && second <= cycleLength) || second <= end - cycleLength) {
            return true;
        }
    }
    return false;
}

}  // namespace phaseplanner
