// Window rectangles: the half-open hit test that picking boxes rely on, and normalising and
// inflating a box dragged in any direction.
#include <gtest/gtest.h>

#include "host/platform/CRect.h"

namespace {

TEST(CRect, PtInRectExcludesRightAndBottom) {
  const CRect r(10, 20, 30, 40);
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_TRUE(r.PtInRect(CPoint(29, 39)));
  EXPECT_FALSE(r.PtInRect(CPoint(30, 25)));
  EXPECT_FALSE(r.PtInRect(CPoint(15, 40)));
  EXPECT_FALSE(r.PtInRect(CPoint(9, 25)));
  EXPECT_FALSE(CRect(5, 5, 5, 9).PtInRect(CPoint(5, 6)));  // an empty rectangle holds nothing
}

TEST(CRect, NormalizeAndInflate) {
  CRect r(CPoint(30, 40), CPoint(10, 20));  // dragged up and to the left
  EXPECT_TRUE(r.IsRectEmpty());
  r.NormalizeRect();
  EXPECT_EQ(CRect(10, 20, 30, 40), r);
  r.InflateRect(2, 3);
  EXPECT_EQ(CRect(8, 17, 32, 43), r);
  r.InflateRect(-10, -10);  // deflating to zero width leaves an empty box
  EXPECT_EQ(CRect(18, 27, 22, 33), r);
  r.InflateRect(-2, 0);
  EXPECT_EQ(CRect(20, 27, 20, 33), r);
  EXPECT_TRUE(r.IsRectEmpty());
}

}  // namespace
