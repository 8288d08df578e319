// Phase sets from the phase scheme: pictures and transitions read from the drawing, the scheme check,
// the ascending chain, the covering walk with shortest-path bridges, and the basic set fallback.
#include "conflictor/phases/PhaseSets.h"

#include "automation/Automation.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/phases/PhaseGraph.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <algorithm>

namespace conflictor {

std::vector<PhaseSetRecord> PhaseSetTable;
QStringList PhaseWalkList;

namespace {

const QString TransitionBlockName = QStringLiteral("dyn_przejscie_fazowe");

QStringList itemsOf(const QString& text) {
    QStringList items = text.split(QLatin1Char(','));
    for (QString& i : items) i = i.trimmed();
    return items;
}

// The phase pictures of the intersection, ascending; no drawing or no pictures: empty.
std::vector<int> readPicturePhases(const QString& nr) {
    std::vector<int> phases;
    SetGuard ss(QStringLiteral("SSSchemat"));
    for (const cad::Entity& ref :
         ss.select(InsertFilter(QStringLiteral("Schemat_") + PatternText(nr) + QStringLiteral("_Faza*")))) {
        const int phase = PhaseOfPictureName(ref.name(), nr);
        if (phase > 0) phases.push_back(phase);
    }
    return phases;
}

void readTransitions(const QString& nr) {
    const QString upperNr = nr.toUpper();
    SetGuard ss(QStringLiteral("SSPrzejscia"));
    cad::SelectionFilter filter;
    filter.add(0, QStringLiteral("INSERT"));
    for (const cad::Entity& ref : ss.select(filter)) {
        // Transitions are references of the dynamic block, anonymous once a property was changed.
        if (ref.effectiveName().compare(TransitionBlockName, Qt::CaseInsensitive) != 0) continue;
        QString intersection;
        int a = 0, b = 0;
        for (const cad::Entity& att : ref.attributes()) {
            const QString tag = att.tagString().toUpper();
            if (tag == QLatin1String("SKRZYZOWANIE")) {
                intersection = att.textString();
                if (intersection.toUpper() != upperNr) break;
            } else if (tag == QLatin1String("OPIS")) {
                ParseTransitionText(att.textString(), a, b);
            }
        }
        if (intersection.toUpper() == upperNr && a > 0 && b > 0) AddPhaseTransition(a, b);
    }
}

QString schemeErrors() {
    QString errors;
    for (const PhaseSetRecord& r : PhaseSetTable) {
        QString line;
        if (r.LastEntry == -1)
            line = common::Tlumacz(QStringLiteral("W fazie ")) + QString::number(r.Phase) +
                   common::Tlumacz(QStringLiteral(" brak przejść międzyfazowych docelowych"));
        if (r.LastIncoming == -1) {
            if (!line.isEmpty())
                line += common::Tlumacz(QStringLiteral(" i poprzedzających"));
            else
                line = common::Tlumacz(QStringLiteral("W fazie ")) + QString::number(r.Phase) +
                       common::Tlumacz(QStringLiteral(" brak przejść międzyfazowych poprzedzających"));
        }
        if (!line.isEmpty()) errors += line + QStringLiteral(".\n");
    }
    return errors;
}

QString ascendingChain() {
    int current = -1;
    QString text;
    for (size_t i = 0; i + 1 < PhaseSetTable.size(); ++i) {
        const PhaseSetRecord& r = PhaseSetTable[i];
        if (current == -1) {
            current = r.Phase;
            text = QString::number(current);
        } else if (r.Phase != current) {
            continue;
        }
        int best = 1000;
        for (int j = 0; j <= r.LastEntry; ++j) {
            const int p = r.Entries[size_t(j)].Phase;
            if (p > current && p < best) best = p;
        }
        if (best == 1000) break;
        text += QStringLiteral(", ") + QString::number(best);
        current = best;
    }
    return text;
}

QString coveringWalk() {
    QString text;
    PhaseWalkList.clear();
    for (;;) {
        const int start = FirstIncompletePhaseSetRecord();
        if (start == -1) break;
        const int startPhase = PhaseSetTable[size_t(start)].Phase;
        if (text.isEmpty()) {
            text = QString::number(startPhase);
        } else {
            const int last = FindPhaseSetRecordOfLastPhase(text);
            if (last != -1) {
                PhaseSetRecord& from = PhaseSetTable[size_t(last)];
                auto direct = std::find_if(from.Entries.begin(), from.Entries.begin() + (from.LastEntry + 1),
                                           [&](const PhaseSetEntry& e) { return e.Phase == startPhase; });
                if (direct != from.Entries.begin() + (from.LastEntry + 1)) {
                    direct->Flag = true;
                    UpdatePhaseSetRecordComplete(last);
                } else {
                    std::vector<int> path;
                    const QString tail = FindShortestPhasePath(from.Phase, startPhase, path);
                    if (!tail.isEmpty()) {
                        text += tail;
                        for (size_t k = path.size() - 1; k >= 1; --k) {
                            const int r = FindPhaseSetRecord(path[k]);
                            const int next = path[k - 1];
                            if (r == -1 || next <= 0) continue;
                            PhaseSetRecord& rec = PhaseSetTable[size_t(r)];
                            for (int j = 0; j <= rec.LastEntry; ++j)
                                if (rec.Entries[size_t(j)].Phase == next) {
                                    rec.Entries[size_t(j)].Flag = true;
                                    UpdatePhaseSetRecordComplete(r);
                                }
                        }
                    }
                }
            }
            text += QStringLiteral(", ") + QString::number(startPhase);
        }
        int current = start;
        for (;;) {
            PhaseSetRecord& rec = PhaseSetTable[size_t(current)];
            int free = -1;
            for (int j = 0; j <= rec.LastEntry && free < 0; ++j)
                if (!rec.Entries[size_t(j)].Flag) free = j;
            if (free < 0) break;
            const int phase = rec.Entries[size_t(free)].Phase;
            text += QStringLiteral(", ") + QString::number(phase);
            rec.Entries[size_t(free)].Flag = true;
            UpdatePhaseSetRecordComplete(current);
            int next = -1;
            for (size_t k = 0; k < PhaseSetTable.size(); ++k)
                if (PhaseSetTable[k].Phase == phase) next = int(k);
            if (next < 0) break;
            current = next;
        }
        PhaseWalkList.append(text);
    }
    return text;
}

}  // namespace

int PhaseOfPictureName(const QString& blockName, const QString& nr) {
    const QString head = QStringLiteral("Schemat_") + nr + QStringLiteral("_Faza");
    if (!blockName.startsWith(head, Qt::CaseInsensitive)) return 0;
    const QString rest = blockName.mid(head.size());
    const int bar = rest.indexOf(QLatin1Char('_'));
    if (bar <= 0) return 0;
    return std::max(0, common::ParseInteger(rest.left(bar)));
}

bool ParseTransitionText(const QString& text, int& a, int& b) {
    // Values are compared in upper case: "pf 1-2" typed by hand is a transition too.
    if (text.size() <= 5 || !text.startsWith(QLatin1String("PF "), Qt::CaseInsensitive)) return false;
    const QString pair = text.mid(3);
    const int dash = pair.indexOf(QLatin1Char('-'));
    if (dash < 1) return false;
    a = common::ParseInteger(pair.left(dash));
    b = common::ParseInteger(pair.mid(dash + 1));
    return true;
}

void AddPhaseTransition(int a, int b) {
    const bool aKnown = FindPhaseSetRecord(a) != -1, bKnown = FindPhaseSetRecord(b) != -1;
    if (!aKnown || !bKnown) return;  // a phase without a picture
    for (PhaseSetRecord& r : PhaseSetTable) {
        if (r.Phase == a) {
            r.Entries.push_back({b, false});
            r.LastEntry = int(r.Entries.size()) - 1;
        } else if (r.Phase == b) {
            ++r.LastIncoming;
        }
    }
}

QString ReduceRepeatedPairs(const QString& walk) {
    QStringList items = itemsOf(walk);
    if (items.size() < 4) return walk;
    const qsizetype last = items.size() - 4;  // fixed once: the window of the text as it came in
    qsizetype k = 0;
    while (k <= last) {
        if (k + 3 < items.size() && items[k] == items[k + 2] && items[k + 1] == items[k + 3]) {
            items.remove(k + 2, 2);
            continue;  // the same place again: a run may repeat more than once
        }
        ++k;
    }
    return items.join(QStringLiteral(", "));
}

bool AllPhaseSetRecordsComplete() {
    return std::all_of(PhaseSetTable.begin(), PhaseSetTable.end(),
                       [](const PhaseSetRecord& r) { return r.Complete; });
}

int FirstIncompletePhaseSetRecord() {
    for (size_t i = 0; i < PhaseSetTable.size(); ++i)
        if (!PhaseSetTable[i].Complete) return int(i);
    return -1;
}

void UpdatePhaseSetRecordComplete(int index) {
    PhaseSetRecord& r = PhaseSetTable[size_t(index)];
    r.Complete = std::all_of(r.Entries.begin(), r.Entries.begin() + (r.LastEntry + 1),
                             [](const PhaseSetEntry& e) { return e.Flag; });
}

int FindPhaseSetRecordOfLastPhase(const QString& setText) {
    const int comma = setText.lastIndexOf(QLatin1Char(','));
    const QString tail = comma < 0 ? setText : setText.mid(comma + 2);
    const int phase = common::ParseInteger(tail.trimmed());
    return phase > 0 ? FindPhaseSetRecord(phase) : -1;
}

int FindPhaseSetRecord(int phase) {
    if (phase <= 0) return -1;
    for (size_t i = 0; i < PhaseSetTable.size(); ++i)
        if (PhaseSetTable[i].Phase == phase) return int(i);
    return -1;
}

int BuildPhaseSetsFromTable(QStringList& Sets) {
    const QString errors = schemeErrors();
    if (!errors.isEmpty()) {
        ui::MsgBox(
            common::Tlumacz(QStringLiteral("Wykryto błędy w schemacie faz:")) + QStringLiteral("\n") + errors,
            ui::Exclamation, MainWindow().caption());
        return -2;
    }
    BuildPhaseGraphMatrix();
    const QString chain = ascendingChain();
    if (!chain.isEmpty()) Sets.append(chain);
    Sets.append(ReduceRepeatedPairs(coveringWalk()));
    return int(Sets.size()) - 1;
}

int StworzZestawyFaz(QStringList& Sets) {
    PhaseSetTable.clear();
    if (automation::CheckDocumentOpen(true)) {
        std::vector<int> phases = readPicturePhases(IntersectionNumber);
        if (phases.size() >= 2) {
            std::stable_sort(phases.begin(), phases.end());
            for (int p : phases) PhaseSetTable.push_back(PhaseSetRecord{p, false, {}, -1, -1});
            readTransitions(IntersectionNumber);
            return BuildPhaseSetsFromTable(Sets);
        }
    }
    // No usable scheme: one basic set of the streams' phases.
    int result = -1;
    std::vector<int> numbers;
    CollectPhaseNumbers(numbers);
    if (!numbers.empty()) {
        QStringList texts;
        for (int p : numbers) texts.append(QString::number(p));
        Sets.append(texts.join(QStringLiteral(", ")));
        result = int(Sets.size()) - 1;
    }
    StreamWindow& window = MainWindow();
    window.setBusyCursor(false);
    ui::MsgBox(common::Tlumacz(QStringLiteral("Nie wykryto schematu faz.")) + QStringLiteral("\n") +
                   common::Tlumacz(QStringLiteral("Zostanie stworzony tylko podstawowy zestaw faz.")),
               ui::Exclamation, window.caption());
    window.setBusyCursor(true);
    return result;
}

}  // namespace conflictor
