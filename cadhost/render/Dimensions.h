// Dimensions drawn from their definition points when the file gives no block for them: extension
// and dimension lines, arrowheads or ticks, and the measurement text, for linear, aligned, angular
// (two lines or three points), diameter, radius and ordinate dimensions.
#pragma once

#include "cadhost/render/RawShapes.h"
#include "platform/cad/engine/DbObject.h"

#include <QPointF>
#include <QString>
#include <map>

namespace cadhost::render {

// The dimension variables that shape a drawn dimension (already multiplied by the overall scale).
struct DimLook {
    double arrow = 2.5;                  // DIMASZ
    double tick = 0;                     // DIMTSZ: oblique strokes instead of arrowheads when above 0
    double textHeight = 2.5;             // DIMTXT
    double gap = 0.625;                  // DIMGAP: between the dimension line and its text
    double extOffset = 0.625;            // DIMEXO: from the measured point to the extension line
    double extBeyond = 1.25;             // DIMEXE: extension past the dimension line
    int decimals = 2;                    // DIMDEC
    int angleDecimals = 0;               // DIMADEC
    bool trimZeros = false;              // DIMZIN bit 8
    QChar separator = QLatin1Char('.');  // DIMDSEP
};

// Fills a look from dimension style values by group code (a style record's values, or the
// drawing's DIM* variables by their codes).
void ApplyDimValues(DimLook& look, const std::map<int, QString>& values);

struct DimDefinition {
    int type = 0;  // 0 linear, 1 aligned, 2 angular, 3 diameter, 4 radius, 5 angular 3-point, 6 ordinate
    bool ordinateX = false;
    QPointF p10, p11, p13, p14, p15, p16;
    bool hasTextPoint = false;
    double angle = 0;  // linear: the dimension line's direction, radians
    double textRotation = 0;
    bool hasTextRotation = false;
    QString textOverride;  // "" the measurement, "<>" stands for it, " " no text
};

// A dimension's definition from its tags (group codes 10-16, 50, 53, 70, 1).
DimDefinition DimensionOfTags(const cad::db::Tags& tags);

// The measurement as the text shows it.
QString MeasurementText(double value, const DimLook& look, bool angular);

// False when the definition points do not make a dimension of its type.
bool DimensionShape(const DimDefinition& d, const DimLook& look, RawShape& out);

}  // namespace cadhost::render
