// The phase editor's rows, columns and ticks, and their write-through to streams, grid and drawing.
#include "conflictor/phases/PhaseEditorModel.h"

#include "automation/CadConnection.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/PhaseMembership.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>

namespace conflictor {

namespace {

// Ascending, each value once.
std::vector<int> distinctSorted(std::vector<int> values) {
    common::SortIntegerArray(values);
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

// The block of the current intersection, found again in the active drawing and re-read, so that a
// write never goes through a handle left from another drawing.
void refreshAttributeBlock() {
    if (automation::CheckDocumentOpen(false))
        ReadIntersectionAttributeBlock();
    else
        StreamAttributeBlockHandle.clear();
}

void writeAttributeBlock() {
    if (automation::CheckDocumentOpen(false)) WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
}

}  // namespace

void UpdateGroupPhases(int group, const QString& phases, bool writeNow) {
    if (StreamTable.empty()) return;
    QStringList baseNames;
    for (size_t i = 0; i < StreamTable.size(); ++i) {
        StreamRecord& r = StreamTable[i];
        if (r.Group != group) continue;
        r.Phases = phases;
        if (!baseNames.contains(r.BaseName)) baseNames.append(r.BaseName);
        MainWindow().UstalWartoscWGridzie(int(i), phases, 3);
    }
    if (baseNames.isEmpty() || !automation::CheckDocumentOpen(false)) return;
    if (writeNow) refreshAttributeBlock();
    for (const QString& name : baseNames) SetStreamAttribute(QStringLiteral("FAZY"), name, phases, false);
    if (writeNow) writeAttributeBlock();
}

bool IsPedestrianBicycleGroup(const QString& names) {
    QString text = names.toUpper();
    while (true) {
        if (!text.startsWith(QLatin1Char('P')) && !text.startsWith(QLatin1Char('R'))) return false;
        const int p = text.indexOf(QStringLiteral(", "));
        if (p < 0) return true;
        text = text.mid(p + 2);
    }
}

void PhaseEditorModel::Load() {
    PhaseHeaders.clear();
    Groups.clear();
    GroupNames.clear();
    PhaseCellStates.clear();
    std::vector<int> phases, groups;
    for (const StreamRecord& r : StreamTable) {
        for (int p : PhaseNumbersOfList(r.Phases)) phases.push_back(p);
        if (r.Group > 0) groups.push_back(r.Group);
    }
    for (int p : distinctSorted(phases)) PhaseHeaders.append(QString::number(p));
    Groups = distinctSorted(groups);
    for (int g : Groups) {
        QStringList names;
        const StreamRecord* first = nullptr;
        for (const StreamRecord& r : StreamTable) {
            if (r.Group != g) continue;
            names.append(r.Name);
            if (!first) first = &r;
        }
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        GroupNames.append(names.join(QStringLiteral(", ")));
        const std::vector<int> own = PhaseNumbersOfList(first ? first->Phases : QString());
        std::vector<bool> row;
        for (const QString& h : PhaseHeaders)
            row.push_back(std::find(own.begin(), own.end(), common::ParseInteger(h)) != own.end());
        PhaseCellStates.push_back(row);
    }
    CurrentPhase = PhaseHeaders.isEmpty() ? -1 : 0;
    CurrentGroup = Groups.empty() ? -1 : 0;
}

QString PhaseEditorModel::RowPhaseList(int row) const {
    if (row < 0 || row >= rowCount()) return QString();
    QStringList ticked;
    for (int c = 0; c < phaseCount(); ++c)
        if (PhaseCellStates[size_t(row)][size_t(c)]) ticked.append(PhaseHeaders[c]);
    return ticked.join(QLatin1Char(','));
}

bool PhaseEditorModel::Toggle(int row, int column) {
    // Phases over an empty grid, or a cell outside it: there is no group to change.
    if (row < 0 || row >= rowCount() || column < 0 || column >= phaseCount()) return false;
    auto cell = PhaseCellStates[size_t(row)].begin() + column;
    *cell = !*cell;
    const bool state = *cell;
    const int group = Groups[size_t(row)];
    const QString list = RowPhaseList(row);
    LastToggleText = common::Tlumacz(QStringLiteral("Grupa")) + QLatin1Char(' ') + QString::number(group) +
                     common::Tlumacz(QStringLiteral(", Fazy ")) + list;
    UpdateGroupPhases(group, list, true);
    return state;
}

int PhaseEditorModel::NewPhaseNumber(bool withoutPedestrians, QString* candidate) const {
    std::vector<int> numbers;
    for (const QString& h : PhaseHeaders) numbers.push_back(common::ParseInteger(h));
    if (!withoutPedestrians || PhaseHeaders.isEmpty()) {
        const int top = numbers.empty() ? 0 : *std::max_element(numbers.begin(), numbers.end());
        if (candidate) *candidate = QString::number(top + 1);
        return top + 1 > MaxPhaseNumber ? 0 : top + 1;
    }
    const QString base = CurrentPhase >= 0 ? PhaseHeaders[CurrentPhase] : QString();
    QString text;
    for (int k = 1;; ++k) {
        text = base + QString::number(k);
        if (!PhaseHeaders.contains(text)) break;
    }
    if (candidate) *candidate = text;
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (!ok || n < 1 || n > MaxPhaseNumber) return 0;
    // "07" and "7" are one phase: a number a header already has is refused.
    if (std::find(numbers.begin(), numbers.end(), int(n)) != numbers.end()) return 0;
    return int(n);
}

bool PhaseEditorModel::AddPhaseColumn(bool copy, bool withoutPedestrians, const QString& title) {
    if (PhaseHeaders.isEmpty() && copy) return false;  // nothing to copy
    QString candidate;
    const int n = NewPhaseNumber(copy && withoutPedestrians, &candidate);
    if (n <= 0) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie można utworzyć fazy o numerze ")) + candidate +
                       QLatin1Char('!'),
                   ui::Exclamation | ui::OkOnly, title);
        return false;
    }
    PhaseHeaders.append(QString::number(n));
    for (auto& row : PhaseCellStates) row.push_back(false);
    if (CurrentPhase < 0) CurrentPhase = 0;
    // A plain add lives in the window only, until a group is ticked in it.
    const int column = phaseCount() - 1;
    const int sourceColumn = CurrentPhase;
    if (!copy || sourceColumn == column) return true;
    refreshAttributeBlock();
    for (int r = 0; r < rowCount(); ++r) {
        if (withoutPedestrians && IsPedestrianBicycleGroup(GroupNames[r])) continue;
        if (!PhaseCellStates[size_t(r)][size_t(sourceColumn)]) continue;
        PhaseCellStates[size_t(r)][size_t(column)] = true;
        UpdateGroupPhases(Groups[size_t(r)], RowPhaseList(r), false);
    }
    writeAttributeBlock();
    return true;
}

void PhaseEditorModel::DeleteCurrentPhase() {
    if (CurrentPhase < 0 || CurrentPhase >= phaseCount()) return;
    const int idx = CurrentPhase;
    PhaseHeaders.removeAt(idx);
    for (auto& row : PhaseCellStates) row.erase(row.begin() + idx);
    CurrentPhase = PhaseHeaders.isEmpty() ? -1 : std::max(0, idx - 1);
    refreshAttributeBlock();
    for (int r = 0; r < rowCount(); ++r) UpdateGroupPhases(Groups[size_t(r)], RowPhaseList(r), false);
    writeAttributeBlock();
}

}  // namespace conflictor
