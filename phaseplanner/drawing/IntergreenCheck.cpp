// Measuring intergreen times on the group table.
#include "phaseplanner/drawing/IntergreenCheck.h"

#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "phaseplanner/drawing/ProgramDrawing.h"
#include "phaseplanner/editor/GroupParameters.h"

#include <QStringList>
#include <algorithm>

namespace phaseplanner {

namespace {

bool hasGreens(const GroupRecord& g) {
    return g.Defined && g.ComplementMode != ModeOnlyRed && g.ComplementMode != ModeNoSignal;
}

int lastGreen(const GroupRecord& g) {
    return std::clamp(g.GreenCount, 0, MaxGreens);
}

}  // namespace

int MeasureIntergreen(int clearingStart, int clearingLength, int enteringStart, int cycleLength) {
    const int end = clearingStart + clearingLength;
    if (cycleLength <= 0) return enteringStart - end;
    int ahead = (enteringStart - clearingStart) % cycleLength;
    if (ahead < 0) ahead += cycleLength;
    return clearingStart + ahead - end;
}

int FollowingGreen(const GroupRecord& entering, int clearingStart, int nextStart) {
    if (!hasGreens(entering)) return 0;
    int count = 0, only = 0, best = 0;
    for (int k = 1; k <= lastGreen(entering); ++k) {
        const GreenInterval& green = entering.Greens[std::size_t(k)];
        if (green.Length < 1) continue;
        ++count;
        only = k;
        if (green.Start > clearingStart && green.Start < nextStart &&
            (best == 0 ||
             green.Start - clearingStart < entering.Greens[std::size_t(best)].Start - clearingStart))
            best = k;
    }
    return count == 1 ? only : best;
}

IntergreenCheckResult CheckGroups(const std::vector<GroupRecord>& groups, int cycleLength,
                                  const RequiredIntergreens& required, bool reportAll, int onlyGroup) {
    IntergreenCheckResult result;
    result.ResultTexts.resize(groups.size());
    result.ErrorFlags.assign(groups.size(), false);
    const int n = int(std::min(groups.size(), required.size()));
    for (int i = 0; i < n; ++i) {
        if (onlyGroup >= 0 && i != onlyGroup) continue;
        const GroupRecord& clearing = groups[std::size_t(i)];
        if (!hasGreens(clearing)) continue;
        const std::vector<std::optional<int>>& row = required[std::size_t(i)];
        for (int k = 1; k <= lastGreen(clearing); ++k) {
            const GreenInterval& green = clearing.Greens[std::size_t(k)];
            if (green.Length < 1) continue;
            int nextStart = 100000;
            for (int m = k + 1; m <= lastGreen(clearing); ++m)
                if (clearing.Greens[std::size_t(m)].Length >= 1) {
                    nextStart = clearing.Greens[std::size_t(m)].Start;
                    break;
                }
            for (int j = 0; j < n && j < int(row.size()); ++j) {
                if (j == i || !row[std::size_t(j)]) continue;
                const GroupRecord& entering = groups[std::size_t(j)];
                const int f = FollowingGreen(entering, green.Start, nextStart);
                if (f == 0) continue;
                MeasuredIntergreen pair;
                pair.From = i;
                pair.To = j;
                pair.Green = k;
                pair.End = green.Start + green.Length;
                if (pair.End > cycleLength) pair.End -= cycleLength;
                pair.EnteringStart = entering.Greens[std::size_t(f)].Start;
                pair.Measured = MeasureIntergreen(green.Start, green.Length, pair.EnteringStart, cycleLength);
                pair.Required = *row[std::size_t(j)];
                const bool wrong = pair.Difference() < 0;
                if (wrong) result.ErrorFlags[std::size_t(i)] = true;
                if (reportAll || wrong) {
                    QString& text = result.ResultTexts[std::size_t(i)];
                    if (!text.isEmpty()) text += QStringLiteral(", ");
                    text += FormatPairItem(pair, entering);
                    result.Reported.push_back(pair);
                }
                const std::pair<int, int> p{std::min(i, j), std::max(i, j)};
                if (std::find(result.CollisionPairs.begin(), result.CollisionPairs.end(), p) ==
                    result.CollisionPairs.end())
                    result.CollisionPairs.push_back(p);
            }
        }
    }
    return result;
}

QString FormatPairItem(const MeasuredIntergreen& pair, const GroupRecord& entering) {
    const int d = pair.Difference();
    return (d > 0 ? QStringLiteral("+") : QString()) + QString::number(d) + QStringLiteral(" (") +
           QString::number(pair.To + 1) + GroupLetter(entering) + common::Tlumacz(QStringLiteral(" sek. ")) +
           QString::number(pair.End) + QLatin1Char(')');
}

QString SortPairTexts(const QString& text) {
    const QStringList items = text.split(QStringLiteral(", "));
    if (items.size() < 2) return text;
    std::vector<NumberedText> records;
    for (const QString& item : items) {
        const int p = item.indexOf(QStringLiteral(" ("));
        records.push_back({common::ParseInteger(p >= 0 ? item.left(p) : item), item});
    }
    SortNameValueRecords(records);
    QStringList sorted;
    for (const NumberedText& r : records) sorted << r.Text;
    return sorted.join(QStringLiteral(", "));
}

}  // namespace phaseplanner
