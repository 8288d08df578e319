// The numeric constants the programs pass to the workbook engine, each under its xl name.
#pragma once

namespace sheet {

inline constexpr int MaxRows = 1048576;
inline constexpr int MaxColumns = 16384;

// Horizontal alignment.
inline constexpr int xlGeneral = 1;
inline constexpr int xlLeft = -4131;
inline constexpr int xlCenter = -4108;
inline constexpr int xlRight = -4152;
inline constexpr int xlFill = 5;
inline constexpr int xlJustify = -4130;
inline constexpr int xlCenterAcrossSelection = 7;
inline constexpr int xlDistributed = -4117;

// Border line styles and weights.
inline constexpr int xlContinuous = 1;
inline constexpr int xlDash = -4115;
inline constexpr int xlDot = -4118;
inline constexpr int xlDouble = -4119;
inline constexpr int xlDashDot = 4;
inline constexpr int xlDashDotDot = 5;
inline constexpr int xlSlantDashDot = 13;
inline constexpr int xlLineStyleNone = -4142;
inline constexpr int xlNone = -4142;
inline constexpr int xlHairline = 1;
inline constexpr int xlThin = 2;
inline constexpr int xlMedium = -4138;
inline constexpr int xlThick = 4;

// Border indexes.
inline constexpr int xlEdgeLeft = 7;
inline constexpr int xlEdgeTop = 8;
inline constexpr int xlEdgeBottom = 9;
inline constexpr int xlEdgeRight = 10;
inline constexpr int xlInsideVertical = 11;
inline constexpr int xlInsideHorizontal = 12;

// Insertion.
inline constexpr int xlShiftToRight = -4161;
inline constexpr int xlShiftDown = -4121;

// Orientation.
inline constexpr int xlVertical = -4166;
inline constexpr int xlUpward = -4171;
inline constexpr int xlDownward = -4170;
inline constexpr int xlHorizontal = -4128;

}  // namespace sheet
