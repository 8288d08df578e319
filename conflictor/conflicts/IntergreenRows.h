// The pair rows of the intergreen workbook: the distance of a stream up to a conflict point as a sum
// of component lengths, the row of one conflict pair with the formulas of the intergreen time, and
// the placing of all pair rows with their sort and the group matrix they feed.
#pragma once

#include "conflictor/streams/StreamRecords.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace sheet {
class Application;
class Worksheet;
}  // namespace sheet

namespace conflictor {

// One row of the pair table.
struct IntergreenPair {
    QString ClearingName;      // column A
    QString EnteringName;      // column B
    QString ClearingDistance;  // formula of column C ("=12.4+3.1")
    QString EnteringDistance;  // formula of column G
    int ClearingStream = -1;   // StreamTable index
    int EnteringStream = -1;
    bool ClearingOnArc = false;
    bool EnteringOnArc = false;
    QString Kind;  // POJPOJ_STRUMIEN, POJPIESZ_STRUMIEN, PIESZPOJ_STRUMIEN
};

// The largest rounded intergreen time per (entering group, clearing group), -111 where no pair is.
using GroupMatrixTable = std::vector<std::vector<int>>;

// The distance of stream `stream` from its start up to the point: a vehicle stream up to the
// component that ends there, a pedestrian or bicycle stream whole. False when a vehicle stream has no
// component end at the point (nothing to measure).
// `partTexts`, when given, keeps the text of each component length already formatted (one command
// formats the same components for many points).
bool GetConflictDistanceText(const PlanePoint& point, int stream, bool& OnArc, double& Distance,
                             QString& Text, QHash<double, QString>* partTexts = nullptr);
// The same distance without its text.
bool GetConflictDistance(const PlanePoint& point, int stream, double& Distance);

// Writes the pair into row `row`; the value of column O as a whole number, or `NotANumber` when the
// worksheet cannot compute it (a speed of 0 gives a division by zero), the time lies beyond the
// 16-bit range the matrix carries, or a speed the row uses is 0 or negative.
constexpr int NotANumber = -32768;
int WriteIntergreenRow(sheet::Worksheet& ws, int row, const IntergreenPair& pair);

// Writes both blocks of pairs from row 12, sorts each block with the template's macro and raises the
// group matrix cells. Returns the first free row. Pairs the worksheet cannot compute, or whose streams
// have no stream row, are listed in `problems` ("K1 - P1") and leave the matrix alone.
int WriteIntergreenRows(sheet::Application& app, sheet::Worksheet& ws,
                        const std::vector<IntergreenPair>& vehiclePairs,
                        const std::vector<IntergreenPair>& otherPairs, GroupMatrixTable& GroupMatrix,
                        QStringList& problems);

}  // namespace conflictor
