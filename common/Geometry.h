// Plane geometry of the drawing: points, distances, direction angles, polar points, intersections of
// lines and circles, point-on-component tests within the drawing tolerance, arc lengths and boxes.
// Angles are radians counter-clockwise from +X; an arc runs counter-clockwise from StartAngle to EndAngle.
// A missing point has X = 1.0E+30: an intersection that does not exist, a stream without start point.
#pragma once

#include <cmath>

namespace common {

constexpr double MissingCoordinate = 1.0E+30;
// A coordinate farther than this from the origin, in drawing units, is no intersection's: the
// drawing is damaged (1e300 read from a file) and the point comparisons lose their precision.
constexpr double FarthestCoordinate = 1e10;

struct PlanePoint {
    double X = 0;
    double Y = 0;
};

struct PlaneSegment {
    PlanePoint P1;
    PlanePoint P2;
};

struct PlaneArc {
    PlanePoint Center;
    double Radius = 0;
    double StartAngle = 0;
    double EndAngle = 0;
};

// Corner1 holds the smaller X and Y.
struct PlaneBox {
    PlanePoint Corner1;
    PlanePoint Corner2;
};

struct PlanePointPair {
    PlanePoint First;
    PlanePoint Second;
};

inline PlanePoint MissingPoint() {
    return {MissingCoordinate, 0};
}
inline bool IsMissingPoint(const PlanePoint& p) {
    return p.X == MissingCoordinate;
}

// The four routines of the geometry library the suite was built around, with its contract:
// angle of the direction (x1, y1) -> (x2, y2) in [0, 2π) (0 for equal points);
double ExtClcAglRad(double x1, double y1, double x2, double y2);
// crossing of the two infinite lines; missing for parallel, coincident or degenerate lines;
int ExtGcrLin2LinIts(PlanePoint* out, double ax1, double ay1, double ax2, double ay2, double bx1, double by1,
                     double bx2, double by2);
// crossings of the infinite line and the full circle, First nearer to (x1, y1) along the line;
// a tangent gives one point (Second missing), and so does a line that misses or crosses the circle
// by less than the rounding of its coordinates (CoordinateNoise);
int ExtGcrLin2CirIts(PlanePointPair* out, double x1, double y1, double x2, double y2, double cx, double cy,
                     double r);
// crossings of the two full circles; a tangent gives one point (touching by the rounding of the
// centres, too), concentric circles none.
int ExtGcrCir2CirIts(PlanePointPair* out, double cx1, double cy1, double r1, double cx2, double cy2,
                     double r2);
// Each returns the number of points written. Any missing input point gives missing results.

PlanePoint GetPolarPoint(const PlanePoint& origin, double angle, double distance);
double GetDirectionAngle(const PlanePoint& p1, const PlanePoint& p2);
// Within 0.01 on each axis (strictly).
bool ArePointsEqual(const PlanePoint& p1, const PlanePoint& p2);
double GetDistance(const PlanePoint& p1, const PlanePoint& p2);
PlanePoint IntersectLines(const PlaneSegment& s1, const PlaneSegment& s2);
PlanePointPair IntersectLineCircle(const PlaneSegment& s, const PlanePoint& centre, double radius);
PlanePointPair IntersectCircles(const PlaneArc& c1, const PlaneArc& c2);
// The sum of the distances to the ends exceeds the length by at most 0.01.
bool IsPointOnSegment(const PlanePoint& p, const PlaneSegment& s);
// Within 0.01 of the radius and within 1.745329251e-6 rad of the arc's angle range (or the turn the
// rounding of the coordinates gives a small arc far from the origin, where that is more); the same
// answer on either side of angle 0 / 2π.
bool IsPointOnArc(const PlanePoint& p, const PlaneArc& a);
double GetArcLength(double radius, double startAngle, double endAngle);
PlaneSegment ReverseSegment(const PlaneSegment& s);
// a += b on 16-bit Integers; throws std::overflow_error (a unchanged) outside -32768..32767.
void AddToInteger(int& a, int b);
void ExtendBoundingBox(PlanePoint& max, PlanePoint& min, const PlanePoint& p);
PlanePoint GetSegmentMidpoint(const PlaneSegment& s);
// How far apart two coordinates of this magnitude may come out of the same geometry: a double
// holds a coordinate to one part in 2^52 of its size, and a point of a stream has been through a few
// roundings on its way (a move in the CAD, the placement of its block, the crossing that split it).
// Sixty-four units in the last place cover them; a comparison finer than this at map-grid
// coordinates (7.5e9 millimetres: 0.0001 mm) would answer by rounding, not by the drawing.
constexpr double CoordinateNoiseFactor = 64 * 2.220446049250313e-16;
inline double CoordinateNoise(double magnitude) {
    return std::fabs(magnitude) * CoordinateNoiseFactor;
}
// Every coordinate the cut accepts (FarthestCoordinate) carries a noise far below the 0.01 by which
// the drawing tells points apart: past it a double could no longer hold the drawing's precision.
static_assert(FarthestCoordinate * CoordinateNoiseFactor < 0.01 / 50);

// Overlapping or touching within 1e-9, or within the noise of the coordinates where that is more,
// on both axes; both boxes with Corner1 at the smaller coordinates. Each box is widened by the
// tolerance of its own coordinates, so that the same boxes moved to map-grid coordinates overlap
// as they do at the origin. A box whose coordinates are not numbers overlaps every box.
constexpr double ExtentsTolerance = 1e-9;
inline double ExtentsToleranceAt(double v) {
    // Infinite bounds (an empty or unbounded box) are not widened: inf - inf would be no number.
    return v - v == 0 ? ExtentsTolerance + CoordinateNoise(v) : 0;
}

// A box widened by its tolerance, taken once for a box tested against many: the test is then four
// comparisons per axis, the very ones DoExtentsOverlap makes for the same two boxes.
struct ToleranceBox {
    // Per axis (0 X, 1 Y): the low and high coordinate, each moved out by its tolerance.
    double lo[2], hi[2];
};
inline ToleranceBox MakeToleranceBox(const PlaneBox& b) {
    ToleranceBox t;
    const double lo[2] = {b.Corner1.X, b.Corner1.Y};
    const double hi[2] = {b.Corner2.X, b.Corner2.Y};
    for (int k = 0; k < 2; ++k) {
        t.lo[k] = lo[k] - ExtentsToleranceAt(lo[k]);
        t.hi[k] = hi[k] + ExtentsToleranceAt(hi[k]);
    }
    return t;
}
// Apart only where one widened box ends before the other begins; a comparison with a coordinate
// that is no number is false, so such a box is apart from none. Each axis is taken whole (no early
// way out inside it): comparisons are cheaper than the jumps a short-circuit makes.
inline bool DoExtentsOverlap(const ToleranceBox& a, const ToleranceBox& b) {
    for (int k = 0; k < 2; ++k) {
        const bool apart = (a.hi[k] < b.lo[k]) | (b.hi[k] < a.lo[k]);
        if (apart) return false;
    }
    return true;
}
// In the header: the cut asks it for every pair of components of every pair of streams.
inline bool DoExtentsOverlap(const PlaneBox& b1, const PlaneBox& b2) {
    return DoExtentsOverlap(MakeToleranceBox(b1), MakeToleranceBox(b2));
}

// The same routines taking points and numbers one by one, as some callers hold them.
inline PlanePoint IntersectLines(const PlanePoint& a1, const PlanePoint& a2, const PlanePoint& b1,
                                 const PlanePoint& b2) {
    return IntersectLines(PlaneSegment{a1, a2}, PlaneSegment{b1, b2});
}
inline PlanePointPair IntersectLineCircle(const PlanePoint& p1, const PlanePoint& p2,
                                          const PlanePoint& centre, double radius) {
    return IntersectLineCircle(PlaneSegment{p1, p2}, centre, radius);
}
inline PlanePointPair IntersectCircles(const PlanePoint& c1, double r1, const PlanePoint& c2, double r2) {
    return IntersectCircles(PlaneArc{c1, r1, 0, 0}, PlaneArc{c2, r2, 0, 0});
}
inline bool IsPointOnSegment(const PlanePoint& p, const PlanePoint& a, const PlanePoint& b) {
    return IsPointOnSegment(p, PlaneSegment{a, b});
}
inline bool IsPointOnArc(const PlanePoint& p, const PlanePoint& centre, double radius, double startAngle,
                         double endAngle) {
    return IsPointOnArc(p, PlaneArc{centre, radius, startAngle, endAngle});
}
inline PlanePoint GetSegmentMidpoint(const PlanePoint& a, const PlanePoint& b) {
    return GetSegmentMidpoint(PlaneSegment{a, b});
}

}  // namespace common
