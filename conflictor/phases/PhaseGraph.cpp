// Shortest chains of phase transitions: Dijkstra's search over the adjacency matrix, all edges weight 1.
#include "conflictor/phases/PhaseGraph.h"

#include "common/TextHelpers.h"
#include "conflictor/phases/PhaseSets.h"
#include "platform/ui/core/Prompt.h"

namespace conflictor {

std::vector<std::vector<int>> PhaseGraphMatrix;
int PhaseGraphNodeCount = 0;

namespace {
constexpr int Infinite = 32767;
}

void BuildPhaseGraphMatrix() {
    if (PhaseSetTable.empty()) return;
    const int n = int(PhaseSetTable.size()) - 1;
    PhaseGraphNodeCount = n + 1;
    PhaseGraphMatrix.assign(size_t(n + 2), std::vector<int>(size_t(n + 2), 0));
    PhaseGraphMatrix[0][0] = -1;
    for (int i = 0; i <= n; ++i) {
        PhaseGraphMatrix[0][size_t(i + 1)] = PhaseSetTable[size_t(i)].Phase;
        PhaseGraphMatrix[size_t(i + 1)][0] = PhaseSetTable[size_t(i)].Phase;
    }
    for (int i = 0; i <= n; ++i) {
        const PhaseSetRecord& r = PhaseSetTable[size_t(i)];
        for (int j = 0; j <= r.LastEntry; ++j) {
            const int c = FindPhaseNode(r.Entries[size_t(j)].Phase);
            if (c != -1) PhaseGraphMatrix[size_t(i + 1)][size_t(c)] = 1;
        }
    }
}

int FindPhaseNode(int phase) {
    if (PhaseGraphNodeCount < 1 || PhaseGraphMatrix.empty()) return -1;
    for (int k = 1; k <= PhaseGraphNodeCount && k < int(PhaseGraphMatrix[0].size()); ++k)
        if (PhaseGraphMatrix[0][size_t(k)] == phase) return k;
    return -1;
}

QString FindShortestPhasePath(int from, int to, std::vector<int>& path) {
    const int n = PhaseGraphNodeCount;
    const int s = FindPhaseNode(from);
    const int t = FindPhaseNode(to);
    auto noConnection = [&] {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Nie ma połączenia od ")) + QString::number(from) +
                   common::Tlumacz(QStringLiteral(" do ")) + QString::number(to) + QStringLiteral("!"));
        return QString();
    };
    // Phases without a node have no chain (the search needs both ends).
    if (s < 0 || t < 0) return noConnection();

    std::vector<bool> visited(size_t(n + 1), false);
    std::vector<int> distance(size_t(n + 1), Infinite);
    std::vector<int> previous(size_t(n + 1), 0);
    visited[size_t(s)] = true;
    distance[size_t(s)] = 0;
    int current = s;
    int currentDistance = 0;
    for (;;) {
        for (int k = 1; k <= n; ++k) {
            const int w = PhaseGraphMatrix[size_t(current)][size_t(k)];
            if (w != 0 && distance[size_t(k)] > w + currentDistance) {
                distance[size_t(k)] = w + currentDistance;
                previous[size_t(k)] = current;
            }
        }
        int minimum = Infinite;
        for (int k = 1; k <= n; ++k)
            if (!visited[size_t(k)] && distance[size_t(k)] < minimum) {
                current = k;
                minimum = currentDistance = distance[size_t(k)];
            }
        visited[size_t(current)] = true;
        if (minimum == Infinite) break;
    }

    current = t;
    int counter = -1;
    QString text;
    for (;;) {
        if (current == s) {
            ++counter;
            path.resize(size_t(counter + 1));
            path[size_t(counter)] = PhaseGraphMatrix[0][size_t(s)];
            return text;
        }
        if (previous[size_t(current)] == 0) return noConnection();
        ++counter;
        if (current == t)
            path.assign(1, 0);
        else {
            path.resize(size_t(counter + 1));
            text = QStringLiteral(", ") + QString::number(PhaseGraphMatrix[0][size_t(current)]) + text;
        }
        path[size_t(counter)] = PhaseGraphMatrix[0][size_t(current)];
        current = previous[size_t(current)];
    }
}

}  // namespace conflictor
