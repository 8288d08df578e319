// The scaling benchmark's harness: a path runs at five sizes doubling each time, best of three per
// size, and its growth is the least-squares slope of log(time) over log(size).
#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace scaling {

// One run of a path at a size: builds what it needs untimed and returns the seconds its timed part
// took.
using Run = std::function<double(int size)>;

struct Path {
    QString name;
    int firstSize = 0;
    Run run;
};

// Least-squares slope of log(times) over log(sizes).
double logLogSlope(const std::vector<int>& sizes, const std::vector<double>& times);

// Runs the path and prints "scaling <name> slope <x.xx>" and a line of sizes and times.
// Returns the slope.
double measure(const Path& path, int sizes = 5, int repeats = 3);

// Seconds since `start` (a steady clock reading taken with now()).
double now();

// The paths of each part of the suite.
std::vector<Path> enginePaths();
std::vector<Path> streamPaths();
std::vector<Path> socketPaths();
std::vector<Path> sheetPaths();
// The stated figure: 4,000 components with a start marker after every ten written to a drawing
// holding a 200,000-entity base map, in-process and over the socket.
void writeFigure();
// Ends the cadhost the socket paths started.
void stopHost();

}  // namespace scaling
