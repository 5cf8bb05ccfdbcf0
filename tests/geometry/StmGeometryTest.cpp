// The shared geometry routines at the boundaries that snapping and editing depend on:
// tolerance edges, end points, zero vectors and parallel lines.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "geometry/StmGeometry.h"

namespace {

void ExpectNear(const CVector& expected, const CVector& actual, double tol = 1e-12) {
  EXPECT_NEAR(expected.x, actual.x, tol);
  EXPECT_NEAR(expected.y, actual.y, tol);
  EXPECT_NEAR(expected.z, actual.z, tol);
}

void ExpectNear(const CDPoint& expected, const CDPoint& actual, double tol = 1e-12) {
  EXPECT_NEAR(expected.x, actual.x, tol);
  EXPECT_NEAR(expected.y, actual.y, tol);
}

TEST(CompareTolerance, EqualityIncludesTheToleranceAndEachOperatorAddsAWay) {
  EXPECT_EQ(1, CompareTolerance(1.0, 1.000005, "==", 1e-5));
  EXPECT_EQ(0, CompareTolerance(1.0, 1.00002, "==", 1e-5));
  EXPECT_EQ(1, CompareTolerance(0.0, 0.25, "==", 0.25));  // exactly on the boundary
  EXPECT_EQ(0, CompareTolerance(0.0, 0.25, "==", 0.125));
  EXPECT_EQ(1, CompareTolerance(1.0, 0.5, ">", 0.25));
  EXPECT_EQ(0, CompareTolerance(1.0, 0.75, ">", 0.25));  // a - b not beyond tol
  EXPECT_EQ(1, CompareTolerance(1.0, 0.75, ">=", 0.25));
  EXPECT_EQ(1, CompareTolerance(0.5, 1.0, "<", 0.25));
  EXPECT_EQ(0, CompareTolerance(1.0, 1.0, "", 0.25));
  EXPECT_EQ(0, CompareTolerance(1.0, 1.0, nullptr, 0.25));
  // Between vectors every component must hold.
  const CVector a(1, 2, 3);
  EXPECT_EQ(1, CompareVectorTolerance(a, a + CVector(5e-6, -5e-6, 5e-6), "==", 1e-5));
  EXPECT_EQ(0, CompareVectorTolerance(a, a + CVector(0, 0, 2e-5), "==", 1e-5));
}

TEST(Segment, DistanceFootAndInsideWithTheEndsExcluded) {
  const CVector a(-1, 0, 0), b(1, 0, 0);
  EXPECT_DOUBLE_EQ(1.0, GetDistPointToSegment(CVector(0, 1, 0), a, b));
  EXPECT_DOUBLE_EQ(std::sqrt(2.0), GetDistPointToSegment(CVector(2, 1, 0), a, b));
  EXPECT_DOUBLE_EQ(5.0, GetDistPointToSegment(CVector(3, 4, 0), CVector(0, 0, 0), CVector(0, 0, 0)));
  ExpectNear(CVector(2, 0, 0), GetFootOnLine(CVector(2, 7, 0), a, CVector(1, 0, 0)));

  // Inside a segment: the ends are excluded, within the tolerance.
  const CVector o(0, 0, 0), e(1, 0, 0);
  EXPECT_EQ(1, IsPointInsideSegment(CVector(0.5, 0, 0), o, e));
  EXPECT_EQ(0, IsPointInsideSegment(o, o, e));
  EXPECT_EQ(0, IsPointInsideSegment(e, o, e));
  EXPECT_EQ(0, IsPointInsideSegment(CVector(1e-6, 0, 0), o, e));
  EXPECT_EQ(0, IsPointInsideSegment(CVector(1 - 1e-6, 0, 0), o, e));
  EXPECT_EQ(0, IsPointInsideSegment(CVector(1.5, 0, 0), o, e));  // on the line, past the end
  EXPECT_EQ(0, IsPointInsideSegment(CVector(0.5, 1e-4, 0), o, e));
  EXPECT_EQ(1, IsPointInsideSegment(CVector(0.5, 1e-6, 0), o, e));  // direction within tolerance
  EXPECT_EQ(0, IsPointInsideSegment(CVector(0.5, 0, 0), o, o));
}

TEST(GetClosestPointsOfLines, DegenerateInputLeavesOutputsAloneAndSkewLinesMeetTheCommonNormal) {
  CVector q1(9, 9, 9), q2(8, 8, 8);
  const CVector o(0, 0, 0), x(1, 0, 0);
  EXPECT_EQ(0, GetClosestPointsOfLines(o, x, CVector(0, 1, 0), x * -3.0, q1, q2));  // parallel
  EXPECT_EQ(0, GetClosestPointsOfLines(o, CVector(), CVector(0, 1, 0), x, q1, q2));
  EXPECT_EQ(0, GetClosestPointsOfLines(o, x, CVector(0, 1, 0), CVector(), q1, q2));
  ExpectNear(CVector(9, 9, 9), q1, 0);
  ExpectNear(CVector(8, 8, 8), q2, 0);

  // Skew lines, crossing lines and a start on the common normal.
  ASSERT_EQ(1, GetClosestPointsOfLines(CVector(), CVector(1, 0, 0), CVector(0, 1, 1), CVector(0, 1, 0), q1, q2));
  ExpectNear(CVector(0, 0, 0), q1);
  ExpectNear(CVector(0, 0, 1), q2);
  // Directions of any length; the crossing may lie behind the start.
  ASSERT_EQ(1, GetClosestPointsOfLines(CVector(), CVector(2, 0, 0), CVector(3, -1, 0), CVector(0, 5, 0), q1, q2));
  ExpectNear(CVector(3, 0, 0), q1);
  ExpectNear(CVector(3, 0, 0), q2);
  ASSERT_EQ(1, GetClosestPointsOfLines(CVector(), CVector(1, 0, 0), CVector(-3, -1, 0), CVector(0, 1, 0), q1, q2));
  ExpectNear(CVector(-3, 0, 0), q1);
  // The second start straight above the first.
  ASSERT_EQ(1, GetClosestPointsOfLines(CVector(), CVector(1, 0, 0), CVector(0, 0, 2), CVector(0, 1, 0), q1, q2));
  ExpectNear(CVector(0, 0, 0), q1);
  ExpectNear(CVector(0, 0, 2), q2);

  // Oblique skew lines.
  const CVector cases[][4] = {
      {{1, 2, 3}, {1, 1, 0}, {0, 0, -1}, {0, 1, 1}},
      {{0, 0, 0}, {1, 0.2, 0}, {5, 1, 2}, {-1, 3, 0.5}},
      {{-2, 4, 1}, {0.3, -1, 0.1}, {1, 1, 1}, {2, 1, -1}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(1, GetClosestPointsOfLines(c[0], c[1], c[2], c[3], q1, q2));
    const CVector gap = q2 - q1;
    EXPECT_NEAR(0.0, Dot(gap, c[1]), 1e-9);
    EXPECT_NEAR(0.0, Dot(gap, c[3]), 1e-9);
    EXPECT_NEAR(0.0, Cross(q1 - c[0], c[1]).Length(), 1e-9);  // q1 on line 1
    EXPECT_NEAR(0.0, Cross(q2 - c[2], c[3]).Length(), 1e-9);  // q2 on line 2
  }
}

TEST(GetCrossPointOfSegments, EndsCountWithinTheAllowanceInSpaceAndThePlane) {
  CVector x;
  const CVector o(0, 0, 0), e(1, 0, 0);
  ASSERT_EQ(1, GetCrossPointOfSegments(o, e, e, CVector(1, 1, 0), x));
  ExpectNear(e, x);
  EXPECT_EQ(0, GetCrossPointOfSegments(o, e, CVector(2, -1, 0), CVector(2, 1, 0), x));
  EXPECT_EQ(1, GetCrossPointOfSegments(o, e, CVector(0.5, 1, 0), CVector(0.5, 1e-5, 0), x));
  EXPECT_EQ(0, GetCrossPointOfSegments(o, e, CVector(0.5, 1, 0), CVector(0.5, 1e-3, 0), x));
  EXPECT_EQ(0, GetCrossPointOfSegments(o, e, CVector(2, 0, 0), CVector(3, 0, 0), x));  // collinear
  // Skew segments: x is the point on the second one.
  ASSERT_EQ(1, GetCrossPointOfSegments(o, CVector(2, 0, 0), CVector(1, -1, 1), CVector(1, 1, 1), x));
  ExpectNear(CVector(1, 0, 1), x);

  // In the plane the tolerance decides the contact of the ends.
  CDPoint c;
  ASSERT_EQ(1, GetCrossPointOfSegments2D(CDPoint(), CDPoint(1, 0), CDPoint(1, 0), CDPoint(1, 1), c, 0.0));
  EXPECT_EQ(CDPoint(1, 0), c);
  EXPECT_EQ(0, GetCrossPointOfSegments2D(CDPoint(), CDPoint(1, 0), CDPoint(2, -1), CDPoint(2, 1), c, 0.001));
  EXPECT_EQ(0, GetCrossPointOfSegments2D(CDPoint(), CDPoint(1, 0), CDPoint(.5, 1), CDPoint(.5, .01), c, 0.001));
  EXPECT_EQ(1, GetCrossPointOfSegments2D(CDPoint(), CDPoint(1, 0), CDPoint(.5, 1), CDPoint(.5, .01), c, 0.01));
}

TEST(GetCrossPointOfLines2D, ZeroDirectionsMakePointsAndParallelIsWithinTolerance) {
  CDPoint x(9, 9);
  const CDPoint p(1, 1), q(3, 1), ux(1, 0);
  EXPECT_EQ(0, GetCrossPointOfLines2D(p, CDPoint(), q, CDPoint(), x));
  ASSERT_EQ(1, GetCrossPointOfLines2D(p, CDPoint(), p, CDPoint(), x));
  EXPECT_EQ(p, x);
  ASSERT_EQ(1, GetCrossPointOfLines2D(p, CDPoint(), q, ux, x));  // p on the second line
  EXPECT_EQ(p, x);
  EXPECT_EQ(0, GetCrossPointOfLines2D(CDPoint(1, 2), CDPoint(), q, ux, x));
  ASSERT_EQ(1, GetCrossPointOfLines2D(p, ux, q, CDPoint(), x));
  EXPECT_EQ(q, x);
  EXPECT_EQ(0, GetCrossPointOfLines2D(p, ux, CDPoint(3, 2), CDPoint(), x));

  // Crossing, and parallel within the tolerance.
  ASSERT_EQ(1, GetCrossPointOfLines2D(CDPoint(), CDPoint(1, 0), CDPoint(3, -1), CDPoint(0, 1), x));
  ExpectNear(CDPoint(3, 0), x);
  ASSERT_EQ(1, GetCrossPointOfLines2D(CDPoint(2, 2), CDPoint(1, 0), CDPoint(2, 2), CDPoint(1, 0), x));
  EXPECT_EQ(CDPoint(2, 2), x);  // same start: crossing even when parallel
  EXPECT_EQ(0, GetCrossPointOfLines2D(CDPoint(), CDPoint(1, 0), CDPoint(0, 1), CDPoint(1, 5e-6).Unit(), x));
  ASSERT_EQ(1, GetCrossPointOfLines2D(CDPoint(), CDPoint(1, 0), CDPoint(0, 1), CDPoint(-1, -2e-5).Unit(), x));
  ExpectNear(CDPoint(-5e4, 0), x, 1e-4);
}

TEST(Rotation, AboutAnAxisALineAndInThePlane) {
  const CVector z(0, 0, 1);
  ExpectNear(CVector(0, 1, 0), GetRotatedPoint(CVector(1, 0, 0), CVector(), z, CDPoint(0, 1)));
  ExpectNear(CVector(0, 0, 5), GetRotatedPoint(CVector(2, 0, 5), CVector(1, 0, 0), z, CDPoint(-1, 0)));
  EXPECT_EQ(CVector(2, 3, 4), GetRotatedPoint(CVector(2, 3, 4), CVector(), z, CDPoint()));
  EXPECT_EQ(CVector(2, 3, 4), GetRotatedPoint(CVector(2, 3, 4), CVector(), CVector(), CDPoint(0, 1)));

  CVector p(1, 0, 0);
  RotateAroundLine(p, CVector(), CVector(0, 0, 2), 90.0);  // the line's direction is normalised
  ExpectNear(CVector(0, 1, 0), p);
  RotateAroundLine(p, CVector(1, 1, 1), CVector(1, 1, 1), 90.0);  // no line, no rotation
  ExpectNear(CVector(0, 1, 0), p);
  RotateAroundLine(p, p, CVector(5, 5, 5), 45.0);  // a point on the line stays
  ExpectNear(CVector(0, 1, 0), p);

  // Angles in the plane, and a rotation there.
  EXPECT_DOUBLE_EQ(1.5 * kStmPi, GetAngleRadian(CDPoint(0, -1)));
  EXPECT_DOUBLE_EQ(kStmPi, GetAngleRadian(CDPoint(-1, 0)));
  EXPECT_EQ(0.0, GetAngleRadian(CDPoint()));
  EXPECT_EQ(0.0, GetAngleRadian(CDPoint(1e-200, 1e-200)));  // length underflows to 0
  const double nearlyFull = GetAngleRadian(CDPoint(1, -1e-20));
  EXPECT_GE(nearlyFull, 0.0);
  EXPECT_LT(nearlyFull, 2 * kStmPi);
  ExpectNear(CDPoint(1, 2), RotateAround2D(CDPoint(2, 1), CDPoint(1, 1), GetCosSinFromDegree(90)));
}

TEST(OffsetAndSide, RightHandNormalAndLeftIncludingTheLine) {
  CDPoint a(0, 0), b(2, 0);
  OffsetSegment2D(a, b, 1.5);
  EXPECT_EQ(CDPoint(0, -1.5), a);
  EXPECT_EQ(CDPoint(2, -1.5), b);
  CDPoint c(1, 1), d(1, 1);
  OffsetSegment2D(c, d, 3.0);
  EXPECT_EQ(CDPoint(1, 1), c);

  EXPECT_EQ(1, IsLeftOfLine2D(CDPoint(1, 3), CDPoint(1, 1), CDPoint(3, 3)));
  EXPECT_EQ(0, IsLeftOfLine2D(CDPoint(3, 1), CDPoint(1, 1), CDPoint(3, 3)));
  EXPECT_EQ(1, IsLeftOfLine2D(CDPoint(5, 0), CDPoint(0, 0), CDPoint(2, 0)));  // on the line
  EXPECT_EQ(1, IsLeftOfLine2D(CDPoint(1, 1), CDPoint(0, 2), CDPoint(0, 0)));  // heading down
  EXPECT_EQ(0, IsLeftOfLine2D(CDPoint(-1, 1), CDPoint(0, 2), CDPoint(0, 0)));
}

TEST(Rounding, HalvesGoUpIncludingNegativesAndComputedPointsLoseTheirNoise) {
  EXPECT_DOUBLE_EQ(1.3, RoundHalfUp(1.25, 1));
  EXPECT_DOUBLE_EQ(-1.2, RoundHalfUp(-1.25, 1));
  EXPECT_DOUBLE_EQ(3.0, RoundHalfUp(2.5, 0));
  EXPECT_DOUBLE_EQ(-2.0, RoundHalfUp(-2.5, 0));
  EXPECT_DOUBLE_EQ(12.35, RoundHalfUp(12.3456, 2));
  EXPECT_DOUBLE_EQ(120.0, RoundHalfUp(123.0, -1));

  // Computed points lose their noise and nothing else.
  // A typed quarter turn: the cosine of 90 degrees is not quite zero.
  const CVector p = GetRotatedPoint(CVector(200, 0, 0), CVector(), CVector(0, -1, 0), GetCosSinFromDegree(90.0));
  EXPECT_NE(p.x, 0.0);
  EXPECT_EQ(StmCleanPoint(p), CVector(0, 0, 200));
  EXPECT_EQ(StmCleanCoord(0.1 + 0.2), 0.3);
  EXPECT_EQ(StmCleanCoord(-1234.5678901), -1234.56789);
  EXPECT_FALSE(std::signbit(StmCleanCoord(-0.0000004)));
  // At the coordinate limit the steps still count whole; beyond it, and not finite, unchanged.
  EXPECT_EQ(StmCleanCoord(999999999.9999996), 1e9);
  EXPECT_EQ(StmCleanCoord(1e300), 1e300);
  EXPECT_TRUE(std::isnan(StmCleanCoord(std::nan(""))));
}

TEST(GetIntPower, SquaringAndNegativeExponents) {
  EXPECT_EQ(1024.0, GetIntPower(2.0, 10));
  EXPECT_EQ(-8.0, GetIntPower(-2.0, 3));
  EXPECT_EQ(0.25, GetIntPower(2.0, -2));
  EXPECT_EQ(1.0, GetIntPower(0.0, 0));
  EXPECT_TRUE(std::isinf(GetIntPower(0.0, -1)));
  EXPECT_EQ(1.0, GetIntPower(1.0, INT_MIN));  // the most negative exponent does not overflow
  EXPECT_EQ(0.0, GetIntPower(2.0, INT_MIN));
}

}  // namespace
