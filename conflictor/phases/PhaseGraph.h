// The phase scheme as a directed graph (one node per phase picture, one edge per transition) and the
// search for the shortest chain of transitions between two phases.
#pragma once

#include <QString>
#include <vector>

namespace conflictor {

// Adjacency matrix: row 0 and column 0 carry the phase numbers of the nodes, (0, 0) is -1, cell (r, c)
// is 1 for a transition from node r to node c.
extern std::vector<std::vector<int>> PhaseGraphMatrix;
extern int PhaseGraphNodeCount;

// Rebuilds the matrix from PhaseSetTable; an empty table leaves it as it is.
void BuildPhaseGraphMatrix();
// The node (1..N) of a phase; -1 when the phase is no node.
int FindPhaseNode(int phase);
// The phases strictly between `from` and `to` on the fewest transitions, each after ", "; `path` gets
// the phases back from `to` (index 0) to `from`. No chain: the message and "". A phase that is no node
// of the graph has no chain either.
QString FindShortestPhasePath(int from, int to, std::vector<int>& path);

}  // namespace conflictor
