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

namespace {

// Seconds from `from` forward to `to` on the cycle, 0 to cycle - 1.
int ahead(int from, int to, int cycleLength) {
    int d = (to - from) % cycleLength;
    return d < 0 ? d + cycleLength : d;
}

}  // namespace

int MeasureIntergreen(int clearingStart, int clearingLength, int enteringStart, int enteringLength,
                      int cycleLength) {
    if (cycleLength <= 0) return enteringStart - (clearingStart + clearingLength);
    const int d = ahead(clearingStart, enteringStart, cycleLength);
    // Started before the clearing green and still green when it starts: both green at once.
    if (d >= clearingLength && d + enteringLength > cycleLength) return d - cycleLength - clearingLength;
    return d - clearingLength;
}

int FollowingGreen(const GroupRecord& entering, int clearingStart, int clearingLength, int nextAhead,
                   int cycleLength) {
    if (!hasGreens(entering)) return 0;
    const int cycle = cycleLength > 0 ? cycleLength : 100000;
    int count = 0, only = 0, overlapping = 0, overlapMeasured = 0, nearest = 0, nearestAhead = 0;
    for (int k = 1; k <= lastGreen(entering); ++k) {
        const GreenInterval& green = entering.Greens[std::size_t(k)];
        if (green.Length < 1) continue;
        ++count;
        only = k;
        const int measured =
            MeasureIntergreen(clearingStart, clearingLength, green.Start, green.Length, cycle);
        if (measured < 0) {
            if (overlapping == 0 || measured < overlapMeasured) {
                overlapping = k;
                overlapMeasured = measured;
            }
            continue;
        }
        const int d = ahead(clearingStart, green.Start, cycle);
        if (d < nextAhead && (nearest == 0 || d < nearestAhead)) {
            nearest = k;
            nearestAhead = d;
        }
    }
    if (overlapping) return overlapping;
    return count == 1 ? only : nearest;
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
            // The clearing group's next green, over the cycle end to its first one.
            int nextAhead = cycleLength > 0 ? cycleLength : 100000;
            for (int m = 1; m <= lastGreen(clearing); ++m) {
                const GreenInterval& other = clearing.Greens[std::size_t(m)];
                if (m == k || other.Length < 1 || cycleLength <= 0) continue;
                const int d = ahead(green.Start, other.Start, cycleLength);
                if (d > 0 && d < nextAhead) nextAhead = d;
            }
            for (int j = 0; j < n && j < int(row.size()); ++j) {
                if (j == i || !row[std::size_t(j)]) continue;
                const GroupRecord& entering = groups[std::size_t(j)];
                const int f = FollowingGreen(entering, green.Start, green.Length, nextAhead, cycleLength);
                if (f == 0) continue;
                MeasuredIntergreen pair;
                pair.From = i;
                pair.To = j;
                pair.Green = k;
                pair.End = green.Start + green.Length;
                if (pair.End > cycleLength) pair.End -= cycleLength;
                pair.EnteringStart = entering.Greens[std::size_t(f)].Start;
                pair.Measured = MeasureIntergreen(green.Start, green.Length, pair.EnteringStart,
                                                  entering.Greens[std::size_t(f)].Length, cycleLength);
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

std::vector<UncheckedGroup> CompareWithWorkbookGroups(const std::vector<GroupRecord>& groups,
                                                      const QStringList& workbookSymbols) {
    std::vector<UncheckedGroup> unchecked;
    const int n = std::max(int(groups.size()), int(workbookSymbols.size()));
    for (int p = 0; p < n; ++p) {
        UncheckedGroup u;
        u.Position = p;
        if (p < int(groups.size()) && groups[std::size_t(p)].Defined)
            u.ProgramSymbols = groups[std::size_t(p)].Symbols.trimmed();
        if (p < workbookSymbols.size()) u.WorkbookSymbols = workbookSymbols[p].trimmed();
        if (u.ProgramSymbols.compare(u.WorkbookSymbols, Qt::CaseInsensitive) != 0) unchecked.push_back(u);
    }
    return unchecked;
}

QString IncompleteCheckText(const IntergreenCheckResult& result) {
    if (result.complete()) return {};
    auto T = [](const char* text) { return common::Tlumacz(QString::fromUtf8(text)); };
    auto quoted = [&](const QString& symbols) {
        return symbols.isEmpty() ? T("brak grupy") : common::QuotedForMessage(symbols);
    };
    QStringList lines{T("Sprawdzenie czasów międzyzielonych jest niepełne.")};
    if (!result.Unchecked.empty()) {
        lines << T("Grupy programu i skoroszytu porównano według kolejności; na tych pozycjach się różnią:");
        for (const UncheckedGroup& u : result.Unchecked)
            lines << T("grupa %1: w programie %2, w skoroszycie %3%4")
                         .arg(u.Position + 1)
                         .arg(quoted(u.ProgramSymbols), quoted(u.WorkbookSymbols),
                              u.measured() ? QString() : T(" - jej par nie sprawdzono"));
    }
    if (result.UnreadableCells > 0)
        lines << T("Komórek matrycy kolizji bez poprawnego czasu: %1 - tych par nie sprawdzono.")
                     .arg(result.UnreadableCells);
    return lines.join(QLatin1Char('\n'));
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
