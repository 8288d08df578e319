// The pedestrian and bicycle crossing links of an intersection, read from their blocks
// "<intersection>^POWIAZANIE_<k>".
#pragma once

#include <QList>
#include <QString>

namespace automation {

struct CrossingLinkRecord {
    QString InnerStreams;    // STRUMIENIE_OD_SRODKA, names separated by ":"
    QString OuterStreams;    // STRUMIENIE_ZEWN
    QString CrossingLength;  // DLUGOSC_PRZEJSC
    QString IslandLength;    // DLUGOSC_WYSPY
    QString TotalLength;     // DLUGOSC_CALKOWITA
    QString Handle;          // of the block reference
};

// Valid links only (both stream fields non-empty), in selection order; empty when there are none.
extern QList<CrossingLinkRecord> CrossingLinkTable;

// Rebuilds `CrossingLinkTable` from the references of the intersection's link blocks (any layer);
// the number is matched literally, never as a wildcard. Changes nothing in the drawing.
void ReadCrossingLinks(const QString& intersectionNumber);

}  // namespace automation
