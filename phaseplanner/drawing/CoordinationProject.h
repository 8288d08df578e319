// Coordination projects: the intersections of a project file (".prk", XML) with their group pair,
// spacing values and available programs, read into the coordination table.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace phaseplanner {

constexpr int MaxCoordinationEntries = 101;  // programs of one intersection, 0..100

struct CoordinationCycleEntry {
    QString Plik;  // signal-program file
    int TC = 0;    // cycle time, seconds
};

struct CoordinationRecord {
    QString NrSkrzyz;
    QString LGrupa;
    QString PGrupa;
    int OdstepLP = 0;
    int LGrupaOdstep = 0;
    int PGrupaOdstep = 0;
    std::array<CoordinationCycleEntry, MaxCoordinationEntries> Koordynacja{};
    int KoordynacjaCount = 0;  // entries of Koordynacja in use
};

// The open project's intersections; always at least one record.
extern std::vector<CoordinationRecord> CoordinationTable;

// What one project file holds.
struct CoordinationProject {
    std::vector<CoordinationRecord> Records{1};  // one empty record when the file lists none
    QString CurrentCycle;                        // text of OstKoordynacja
    QStringList CycleTimes;                      // TC texts of the first intersection
    QStringList Trace;                           // one line per node read: name and text
    int IgnoredEntries = 0;                      // Koordynacja elements beyond the 101st
};

// Reads a project file. The parser never resolves entities (a DOCTYPE is skipped, an entity
// reference other than the five predefined ones stays as written). An empty file is an empty
// project. A file that cannot be read, malformed XML, a missing OstKoordynacja, a Koordynacja
// without TC, or a spacing or cycle value that is no whole number gives nullopt and `error`.
std::optional<CoordinationProject> ReadCoordinationProject(const QString& path, QString& error);

}  // namespace phaseplanner
