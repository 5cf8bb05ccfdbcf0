// The shared geometry routines; the degenerate cases return what the snaps and tools expect.
#include "geometry/StmGeometry.h"

#include <cmath>
#include <cstring>

namespace {
// Lets a crossing exactly at a segment end count despite rounding in the crossing point.
constexpr double kEndAllowance = 1e-4;
}  // namespace

int CompareTolerance(double a, double b, const char* op, double tol) {
  if (!op) return 0;
  const double d = a - b;
  if (std::strchr(op, '=') && std::fabs(d) <= tol) return 1;
  if (std::strchr(op, '>') && d > tol) return 1;
  if (std::strchr(op, '<') && b - a > tol) return 1;
  return 0;
}

int CompareVectorTolerance(const CVector& a, const CVector& b, const char* op, double tol) {
  return CompareTolerance(a.x, b.x, op, tol) && CompareTolerance(a.y, b.y, op, tol) &&
                 CompareTolerance(a.z, b.z, op, tol)
             ? 1
             : 0;
}

CVector GetFootOnLine(const CVector& p, const CVector& a, const CVector& u) { return a + u * Dot(p - a, u); }

double GetDistPointToSegment(const CVector& p, const CVector& a, const CVector& b) {
  const CVector f = GetFootOnLine(p, a, (b - a).Unit());
  if (Dot(a - f, b - f) < 0.0) return (f - p).Length();
  return std::fmin((a - p).Length(), (b - p).Length());
}

int IsPointInsideSegment(const CVector& p, const CVector& a, const CVector& b) {
  if (CompareVectorTolerance(p, a, "==", kStmPointTolerance) || CompareVectorTolerance(p, b, "==", kStmPointTolerance))
    return 0;
  // Pointing from each end towards p the same way as towards the other end puts p between them.
  return CompareVectorTolerance((p - a).Unit(), (b - a).Unit(), "==", kStmPointTolerance) &&
                 CompareVectorTolerance((p - b).Unit(), (a - b).Unit(), "==", kStmPointTolerance)
             ? 1
             : 0;
}

int GetClosestPointsOfLines(CVector p1, CVector d1, CVector p2, CVector d2, CVector& q1, CVector& q2) {
  if (d1.IsZero() || d2.IsZero()) return 0;
  const CVector n = Cross(d1, d2).Unit();
  if (n.IsZero()) return 0;

  // Bring line 2 into the plane through line 1 normal to n; the problem becomes a plane crossing.
  const double h = Dot(p1 - p2, n);
  const CVector w = p2 + n * h - p1;
  if (w.IsZero()) {
    q1 = p1;
    q2 = p1 - n * h;
    return 1;
  }

  // Law of sines in the triangle p1, moved p2 and the crossing; k1 takes the sign that tells
  // on which side of w the two directions turn.
  const double lengthSq = Dot(w, w);
  const double a = Dot(d1, w);
  const double b = Dot(-d2, w);
  const CVector c1 = Cross(d1, w), c2 = Cross(d2, w);
  double k1 = c1.Length();
  const double k2 = c2.Length();
  if (Dot(c1, c2) < 0.0) k1 = -k1;
  const double den = k2 * a + k1 * b;
  const double t = den != 0.0 ? lengthSq * k2 / den : 0.0;

  const CVector onLine1 = p1 + d1 * t;
  q1 = onLine1;
  q2 = onLine1 - n * h;
  return 1;
}

int GetCrossPointOfSegments(CVector p1, CVector p2, CVector p3, CVector p4, CVector& x) {
  if (!GetClosestPointsOfLines(p1, (p2 - p1).Unit(), p3, (p4 - p3).Unit(), x, x)) return 0;
  return Dot(p1 - x, p2 - x) <= kEndAllowance && Dot(p3 - x, p4 - x) <= kEndAllowance ? 1 : 0;
}

int GetCrossPointOfLines2D(CDPoint p1, CDPoint d1, CDPoint p3, CDPoint d2, CDPoint& x) {
  if (d1.IsZero() && d2.IsZero()) {
    if (p1 != p3) return 0;
    x = p1;
    return 1;
  }
  if (d1.IsZero()) {
    if (d2.Cross(p1 - p3) != 0.0) return 0;
    x = p1;
    return 1;
  }
  if (d2.IsZero()) {
    if (d1.Cross(p3 - p1) != 0.0) return 0;
    x = p3;
    return 1;
  }
  if (p1 == p3) {
    x = p1;
    return 1;
  }
  if (CompareTolerance(d1.Cross(d2), 0.0, "==", kStmPointTolerance)) return 0;

  const CDPoint w = p3 - p1;
  const double lengthSq = w.Dot(w);
  const double g = d2.Cross(w);
  const double c = d1.Cross(w);
  const double den = g * d1.Dot(w) + c * (-d2).Dot(w);
  if (den == 0.0) return 0;
  x = p1 + d1 * (lengthSq * g / den);
  return 1;
}

int GetCrossPointOfSegments2D(CDPoint p1, CDPoint p2, CDPoint p3, CDPoint p4, CDPoint& x, double tol) {
  if (!GetCrossPointOfLines2D(p1, (p2 - p1).Unit(), p3, (p4 - p3).Unit(), x)) return 0;
  return (p1 - x).Dot(p2 - x) <= tol && (p3 - x).Dot(p4 - x) <= tol ? 1 : 0;
}

CVector GetRotatedPoint(const CVector& p, const CVector& o, const CVector& n, const CDPoint& cs) {
  if (cs.IsZero() || n.IsZero()) return p;
  const CVector w = p - o;
  const CVector par = n * Dot(w, n);
  const CVector perp = w - par;
  return o + par + perp * cs.x + Cross(n, perp) * cs.y;
}

void RotateAroundLine(CVector& p, CVector a, CVector b, double degrees) {
  p = GetRotatedPoint(p, a, (b - a).Unit(), GetCosSinFromDegree(degrees));
}

CDPoint GetCosSinFromDegree(double degrees) {
  const double radian = degrees * kStmPi / 180.0;
  return {std::cos(radian), std::sin(radian)};
}

double GetAngleRadian(const CDPoint& v) {
  const double length = v.Length();
  if (v.IsZero() || length == 0.0) return 0.0;
  const double angle = std::acos(v.x / length);
  if (!(v.y < 0.0)) return angle;
  // A tiny negative y with x > 0 would give exactly 2pi; that direction is angle 0.
  const double turned = 2.0 * kStmPi - angle;
  return turned < 2.0 * kStmPi ? turned : 0.0;
}

CDPoint RotateAround2D(const CDPoint& p, const CDPoint& c, const CDPoint& cs) {
  const CDPoint w = p - c;
  return c + CDPoint(w.x * cs.x - w.y * cs.y, w.x * cs.y + w.y * cs.x);
}

void OffsetSegment2D(CDPoint& a, CDPoint& b, double d) {
  const CDPoint shift = (b - a).Unit().RightNormal() * d;
  a += shift;
  b += shift;
}

int IsLeftOfLine2D(const CDPoint& p, const CDPoint& a, const CDPoint& b) {
  // Turning the line onto the +x axis through a leaves the left side above a.
  const CDPoint q = RotateAround2D(p, a, (b - a).Unit().Conjugate());
  return a.y <= q.y ? 1 : 0;
}

double RoundHalfUp(double v, int n) {
  const double scale = GetIntPower(10.0, n);
  return std::floor((v + 5.0 * GetIntPower(10.0, -(n + 1))) * scale) / scale;
}

double GetIntPower(double x, int n) {
  // The magnitude as unsigned so that the most negative int does not overflow.
  unsigned long long e = n < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(n))
                               : static_cast<unsigned long long>(n);
  double result = 1.0;
  for (double base = x; e != 0; e >>= 1, base *= base)
    if (e & 1ULL) result *= base;
  return n < 0 ? 1.0 / result : result;
}

double StmCleanCoord(double v) {
  // 1e6 is exact where 1e-6 is not; a whole number divided by it is the double nearest to the
  // short decimal it stands for, so that the file shows that decimal.
  constexpr double kStepsPerUnit = 1.0 / kStmCleanResolution;
  const double steps = v * kStepsPerUnit;
  if (!(std::fabs(steps) < 9007199254740992.0)) return v;
  // Adding zero turns the -0 of a small negative value into 0, which a file shows as plain 0.
  return std::round(steps) / kStepsPerUnit + 0.0;
}

CVector StmCleanPoint(const CVector& p) { return CVector(StmCleanCoord(p.x), StmCleanCoord(p.y), StmCleanCoord(p.z)); }
