// The detector window's fixed tables (loop functions by shape, above-road detector kinds, size
// lists), the stepping of descriptions, the rounding of sizes, and the command texts and outlines
// that the loop, area and above-road tabs send to the other vendor's CAD.
#pragma once

#include "common/Geometry.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace headplacer {

struct LoopFunction {
    QString Caption;
    int Length = 0;
    int Width = 0;
    QString Letter;
    int Turns = 0;
};
struct AboveRoadDetectorKind {
    QString Name;
    QString Block;
    QString Code;
};

extern const QList<LoopFunction> RectangleLoopFunctions;
extern const QList<LoopFunction> ParallelogramLoopFunctions;
extern const QList<AboveRoadDetectorKind> AboveRoadDetectorKinds;
extern const QStringList PushButtonTypes;

struct SizeList {
    QStringList items;
    int shown = 0;
};
// Tab 0: lengths and widths of the rectangle (shape 0) or the parallelogram (shape 1).
SizeList LoopLengths(int shape);
SizeList LoopWidths(int shape);
// The area lists by area kind (0 counting, 1 presence); the distance list only for kind 1.
SizeList AreaLengths(int areaKind);
SizeList AreaWidths(int areaKind);
SizeList AreaDistances();

// "Następny obszar det.": V111 gives V112 (the number after a prefix of 2, or 3 with an earlier
// stop line, increased by 1).
QString NextDetectionArea(const QString& description, bool earlierStopLine);
// "Następny pas" on the area tab: the number increased by 10 (V111 gives V121).
QString NextDetectionLane(const QString& description, bool earlierStopLine);
// "Następny" for video detectors: the digit after the prefix increased by 1.
QString NextVideoDetector(const QString& description, bool earlierStopLine, const QString& kindCode);
// Whole metres and whole decimetres of a size text (comma or dot).
QString RoundToWholeMetres(const QString& text);
QString RoundToDecimetres(const QString& text);

// The other vendor's command texts.
QString MoveObjectCommand(int objectIndex);
QString AboveRoadInsertCommand(const QString& symbolFile);
// The outlines in millimetres: a rectangle loop or area L × W; the second rectangle of a presence
// area shifted by W + D; the parallelogram loop's corners P1..P4 from L, W, R and K (metres).
QList<common::PlanePoint> RectangleCorners(double lengthM, double widthM, double shiftM = 0);
QList<common::PlanePoint> ParallelogramCorners(double lengthM, double widthM, double fromDividerM,
                                               double fromKerbM);

}  // namespace headplacer
