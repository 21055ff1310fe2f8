#include "foundation/rect.h"

#include <gtest/gtest.h>

TEST(Point, DistanceIsTheLargerAxis)
{
    EXPECT_EQ(CPoint(0, 0).GetDistance(CPoint(-3, 2)), 3u);
    EXPECT_EQ(CPoint(5, 5).GetDistance(CPoint(5, 24)), 19u);
    EXPECT_EQ(CPoint(INT32_MIN, 0).GetDistance(CPoint(INT32_MAX, 0)), 0xFFFFFFFFu);
}

TEST(Point, TextPrintsComponentsUnsigned)
{
    EXPECT_EQ(CPoint(12, 34).ToString(), "12:34");
    EXPECT_EQ(CPoint(-1, 0).ToString(), "4294967295:0");
}

TEST(Rect, ContainsIsHalfOpenAndEmptyRectanglesContainNothing)
{
    const CRect r(10, 20, 5, 4);
    EXPECT_TRUE(r.Contains(CPoint(10, 20)));
    EXPECT_TRUE(r.Contains(CPoint(14, 23)));
    EXPECT_FALSE(r.Contains(CPoint(15, 20)));
    EXPECT_FALSE(r.Contains(CPoint(10, 24)));
    EXPECT_FALSE(CRect(0, 0, 0, 5).Contains(CPoint(0, 0)));
    EXPECT_FALSE(CRect(0, 0, 5, 0).Contains(CPoint(0, 0)));
}

TEST(Rect, Construction)
{
    EXPECT_EQ(CRect::FromCorners(10, 5, 2, 1), CRect(2, 1, 9, 5));
    EXPECT_EQ(CRect(CPoint(2, 3), CPoint(4, 8)), CRect(2, 3, 3, 6));
    EXPECT_EQ(CRect(7, 8), CRect(0, 0, 7, 8));
}

TEST(Rect, SettersClampAsDocumented)
{
    CRect r;
    r.SetWidth(5000);
    EXPECT_EQ(r.GetWidth(), 4096);
    r.SetWidth(-3);
    EXPECT_EQ(r.GetWidth(), 0);
    r.SetHeight(4097);
    EXPECT_EQ(r.GetHeight(), 4096);
    r.SetY(-7);
    EXPECT_EQ(r.GetY(), 0);
    r.SetX(-7);
    EXPECT_EQ(r.GetX(), -7);
}

TEST(Rect, ShrinkStopsEachAxisOnItsOwn)
{
    CRect r(0, 0, 5, 2);
    r.Shrink(1);
    EXPECT_EQ(r, CRect(1, 1, 3, 0));
    r.Shrink(1);
    EXPECT_EQ(r, CRect(2, 1, 1, 0));
    r.Shrink(1);
    EXPECT_EQ(r, CRect(2, 1, 1, 0));
    r.Grow(2);
    EXPECT_EQ(r, CRect(0, -1, 5, 4));
}

TEST(Rect, FitAspectCentres)
{
    CRect wide(0, 0, 200, 100);
    wide.FitAspect(1.0f, true);
    EXPECT_EQ(wide, CRect(50, 0, 100, 100));
    CRect tall(0, 0, 100, 300);
    tall.FitAspect(2.0f, false);
    EXPECT_EQ(tall, CRect(0, 0, 100, 200));
    CRect empty(0, 0, 0, 50);
    empty.FitAspect(1.0f, true);
    EXPECT_EQ(empty, CRect(0, 0, 0, 50));
}

TEST(Rect, IntersectsCountsTheTouchingEdge)
{
    const CRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.Intersects(CRect(10, 0, 5, 5)));
    EXPECT_FALSE(r.Intersects(CRect(11, 0, 5, 5)));
    EXPECT_TRUE(r.Intersects(CRect(5, 5, -10, -10)));  // normalised first
    EXPECT_EQ(CRect(5, 5, -3, -2).Normalise(), CRect(1, 2, 3, 2));  // min(x, x + width - 1)
}

TEST(Rect, CornersAndClamp)
{
    const CRect r(10, 20, 5, 4);
    EXPECT_EQ(r.GetBottomRight(), CPoint(14, 23));
    EXPECT_EQ(r.GetCentre(), CPoint(12, 22));
    CPoint p(100, -5);
    r.ClampPoint(p);
    EXPECT_EQ(p, CPoint(15, 20));
}
