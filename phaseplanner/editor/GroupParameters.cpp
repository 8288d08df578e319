// Set green times and phase-start shifts.
#include "phaseplanner/editor/GroupParameters.h"

#include "common/NumberText.h"
#include "phaseplanner/editor/GroupTable.h"

#include <QStringList>
#include <algorithm>

namespace phaseplanner {

std::vector<GroupParameterEntry> SetGreenTimes;
std::vector<GroupParameterEntry> PhaseStartShifts;

namespace {
bool isSetGreen(int v) {
    return v > 0;
}
bool isShift(int v) {
    return v != 0;
}

int lookup(const std::vector<GroupParameterEntry>& table, const QString& name, bool (*qualifies)(int)) {
    if (table.empty() || !qualifies(table.front().Value)) return 0;
    const QString key = name.toUpper();
    int result = 0;
    for (const GroupParameterEntry& e : table)
        if (e.Symbols.toUpper() == key) result = e.Value;
    return result;
}
}  // namespace

std::vector<GroupParameterEntry> ParseGroupParameters(const QString& text, bool (*qualifies)(int)) {
    std::vector<GroupParameterEntry> table{GroupParameterEntry{}};
    int stored = 0;
    const QStringList items = text.split(QLatin1Char('^'));
    for (const QString& item : items) {
        const qsizetype colon = item.indexOf(QLatin1Char(':'));
        if (item.isEmpty() || colon < 1) continue;
        const int value = common::ParseInteger(item.mid(colon + 1));
        if (!qualifies(value)) continue;
        GroupParameterEntry entry{item.left(colon), value};
        if (stored == 0)
            table[0] = entry;
        else
            table.push_back(entry);
        ++stored;
    }
    return table;
}

QString FormatGroupParameters(const std::vector<GroupParameterEntry>& table) {
    QStringList items;
    for (const GroupParameterEntry& e : table)
        items << e.Symbols + QLatin1Char(':') + QString::number(e.Value);
    return items.join(QLatin1Char('^'));
}

void ParseSetGreenTimes(const QString& text) {
    SetGreenTimes = ParseGroupParameters(text, isSetGreen);
}
void ParsePhaseStartShifts(const QString& text) {
    PhaseStartShifts = ParseGroupParameters(text, isShift);
}
QString FormatSetGreenTimes() {
    return FormatGroupParameters(SetGreenTimes);
}
QString FormatPhaseStartShifts() {
    return FormatGroupParameters(PhaseStartShifts);
}
int GetSetGreenTime(const QString& name) {
    return lookup(SetGreenTimes, name, isSetGreen);
}
int GetPhaseStartShift(const QString& name) {
    return lookup(PhaseStartShifts, name, isShift);
}

int GetGroupGreenLength(const QString& name) {
    const QString key = name.toUpper();
    for (const GroupRecord& g : GroupTable) {
        if (!g.Defined || g.Symbols.toUpper() != key) continue;
        for (int k = 1; k <= g.GreenCount && k <= MaxGreens; ++k)
            if (g.Greens[k].Length > 0) return g.Greens[k].Length;
        return 0;
    }
    return 0;
}

void SortNameValueRecords(std::vector<NumberedText>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const NumberedText& a, const NumberedText& b) { return a.Key < b.Key; });
}

bool IsValidGroupSymbols(const QString& symbols) {
    for (const QChar c : symbols)
        if (c == QLatin1Char('^') || c == QLatin1Char(':') || c.category() == QChar::Other_Control)
            return false;
    return true;
}

}  // namespace phaseplanner
