// The vector geometry that snapping, topology editing, the tools and the renderer share:
// tolerance comparison, projection, distances, crossings, rotation, offsetting and rounding.
// Every routine works on stack values only; the treatment of degenerate input is deliberate
// because the snaps and the topology editing depend on it.
#pragma once

#include "geometry/CDPoint.h"
#include "geometry/CVector.h"

// Two coordinates closer than this are the same point.
constexpr double kStmPointTolerance = 1e-5;
constexpr double kStmPi = 3.141592653589793;

// Each of '=', '>' and '<' in op adds a way to succeed: |a - b| <= tol, a - b > tol,
// b - a > tol. So "==" is equality within tol, boundary included.
int CompareTolerance(double a, double b, const char* op, double tol);
// CompareTolerance holds for x, y and z.
int CompareVectorTolerance(const CVector& a, const CVector& b, const char* op, double tol);

// The foot of p on the line through a with unit direction u.
CVector GetFootOnLine(const CVector& p, const CVector& a, const CVector& u);
// Distance from p to the closed segment a-b; a zero-length segment gives |a - p|.
double GetDistPointToSegment(const CVector& p, const CVector& a, const CVector& b);
// 1 if p lies on the open segment a-b; a point within the point tolerance of an end is not inside.
int IsPointInsideSegment(const CVector& p, const CVector& a, const CVector& b);

// The closest points q1 on the line (p1, d1) and q2 on the line (p2, d2); the directions need
// not be unit. Returns 0 and leaves q1, q2 untouched for a zero direction or parallel lines.
// q1 and q2 may be the same object: it then ends as the point on the second line.
int GetClosestPointsOfLines(CVector p1, CVector d1, CVector p2, CVector d2, CVector& q1, CVector& q2);
// The crossing x of segments p1-p2 and p3-p4 (on the second one when they are skew); a crossing
// at an end counts thanks to a small allowance.
int GetCrossPointOfSegments(CVector p1, CVector p2, CVector p3, CVector p4, CVector& x);

// The crossing x of the plane lines (p1, d1) and (p3, d2) with unit directions; a zero
// direction makes that line a point. 0 for lines parallel within the point tolerance.
int GetCrossPointOfLines2D(CDPoint p1, CDPoint d1, CDPoint p3, CDPoint d2, CDPoint& x);
// The crossing x of plane segments p1-p2 and p3-p4; tol is the allowance for ends.
int GetCrossPointOfSegments2D(CDPoint p1, CDPoint p2, CDPoint p3, CDPoint p4, CDPoint& x, double tol);

// p rotated about the axis n (expected unit, not normalised here) through o by the angle whose
// cosine is cs.x and sine cs.y; p unchanged for cs = (0, 0) or a zero axis.
CVector GetRotatedPoint(const CVector& p, const CVector& o, const CVector& n, const CDPoint& cs);
// Rotates p in place about the line from a to b.
void RotateAroundLine(CVector& p, CVector a, CVector b, double degrees);
CDPoint GetCosSinFromDegree(double degrees);
// The direction angle of v in [0, 2pi); 0 for a zero vector.
double GetAngleRadian(const CDPoint& v);
// c + (p - c) rotated by the angle (cs.x, cs.y) = (cos, sin).
CDPoint RotateAround2D(const CDPoint& p, const CDPoint& c, const CDPoint& cs);
// Moves both ends by d along the right-hand normal of a->b (to the right in a y-up plane).
void OffsetSegment2D(CDPoint& a, CDPoint& b, double d);
// 1 if p is on the left of the directed line a->b or on it.
int IsLeftOfLine2D(const CDPoint& p, const CDPoint& a, const CDPoint& b);

// A point that a tool computed (moved, turned, mirrored, offset, laid out by a template) to the nearest
// whole multiple of kStmCleanResolution, so that 199.99999999999994 enters the model, and its
// file, as the 200 the user meant. The resolution lies far below the point tolerance, so no two
// points change whether they are the same point; and every coordinate within the model's limit
// (1e9) times 1e6 stays below 2^53, where doubles still count in whole steps. Larger or
// non-finite values pass unchanged.
constexpr double kStmCleanResolution = 1e-6;
double StmCleanCoord(double v);
CVector StmCleanPoint(const CVector& p);

// v rounded to n decimals, halves towards +infinity.
double RoundHalfUp(double v, int n);
// x to the power n by repeated squaring; 1 / x^|n| for negative n.
double GetIntPower(double x, int n);
