#include <gtest/gtest.h>

#include "platform/ui/quickdraw/QuickDraw.h"

namespace {

Rect R(short left, short top, short right, short bottom) { return Rect{top, left, bottom, right}; }

RgnHandle RectRegion(Rect r)
{
    RgnHandle h = NewRgn();
    RectRgn(h, &r);
    return h;
}

long Area(RgnHandle h)
{
    long area = 0;
    for (const Rect& r : GetRegionRects(h)) area += long(r.right - r.left) * (r.bottom - r.top);
    return area;
}

TEST(Regions, UnionOfOverlappingRectanglesCountsSharedAreaOnce)
{
    RgnHandle a = RectRegion(R(0, 0, 10, 10)), b = RectRegion(R(5, 5, 15, 15)), u = NewRgn();
    UnionRgn(a, b, u);
    EXPECT_EQ(Area(u), 100 + 100 - 25);
    Rect bounds;
    GetRegionBounds(u, &bounds);
    Rect expected = R(0, 0, 15, 15);
    EXPECT_TRUE(EqualRect(&bounds, &expected));
    EXPECT_TRUE(PtInRgn(Point{12, 12}, u));
    EXPECT_FALSE(PtInRgn(Point{12, 2}, u));  // v=12, h=2: outside both
    DisposeRgn(a); DisposeRgn(b); DisposeRgn(u);
}

TEST(Regions, DifferenceLeavesAFrame)
{
    RgnHandle outer = RectRegion(R(0, 0, 10, 10)), inner = RectRegion(R(2, 2, 8, 8)), ring = NewRgn();
    DiffRgn(outer, inner, ring);
    EXPECT_EQ(Area(ring), 100 - 36);
    EXPECT_FALSE(PtInRgn(Point{5, 5}, ring));
    EXPECT_TRUE(PtInRgn(Point{0, 0}, ring));
    EXPECT_FALSE(IsRegionRectangular(ring));
    DisposeRgn(outer); DisposeRgn(inner); DisposeRgn(ring);
}

TEST(Regions, SectOfDisjointRectanglesAndAnEmptyRectangleAreEmpty)
{
    RgnHandle a = RectRegion(R(0, 0, 10, 10)), b = RectRegion(R(10, 0, 20, 10)), s = NewRgn();
    SectRgn(a, b, s);
    EXPECT_TRUE(EmptyRgn(s));
    RgnHandle flat = RectRegion(R(5, 5, 5, 20));
    EXPECT_TRUE(EmptyRgn(flat));
    DisposeRgn(a); DisposeRgn(b); DisposeRgn(s); DisposeRgn(flat);
}

TEST(Regions, EqualSetsOfPointsCompareEqualWhateverTheirHistory)
{
    // The same L shape built two ways.
    RgnHandle a = RectRegion(R(0, 0, 10, 5)), b = RectRegion(R(0, 5, 5, 10)), l1 = NewRgn();
    UnionRgn(a, b, l1);
    RgnHandle big = RectRegion(R(0, 0, 10, 10)), corner = RectRegion(R(5, 5, 10, 10)), l2 = NewRgn();
    DiffRgn(big, corner, l2);
    EXPECT_TRUE(EqualRgn(l1, l2));
    DisposeRgn(a); DisposeRgn(b); DisposeRgn(l1); DisposeRgn(big); DisposeRgn(corner); DisposeRgn(l2);
}

TEST(Regions, OffsetMovesAndInsetShrinksOrGrows)
{
    RgnHandle h = RectRegion(R(0, 0, 10, 10));
    Rect b;
    OffsetRgn(h, 5, -3);
    GetRegionBounds(h, &b);
    Rect moved = R(5, -3, 15, 7);
    EXPECT_TRUE(EqualRect(&b, &moved));
    InsetRgn(h, 2, 3);
    GetRegionBounds(h, &b);
    Rect inset = R(7, 0, 13, 4);
    EXPECT_TRUE(EqualRect(&b, &inset));
    InsetRgn(h, -2, -3);
    EXPECT_EQ(Area(h), 100);
    DisposeRgn(h);
}

TEST(Rects, SectUnionAndPointsOnTheEdges)
{
    Rect a = R(0, 0, 10, 10), b = R(20, 20, 30, 30), out = R(1, 1, 2, 2);
    EXPECT_FALSE(SectRect(&a, &b, &out));
    EXPECT_TRUE(EmptyRect(&out));
    Rect c = R(5, 5, 15, 15);
    EXPECT_TRUE(SectRect(&a, &c, &out));
    Rect expected = R(5, 5, 10, 10);
    EXPECT_TRUE(EqualRect(&out, &expected));
    Rect empty = R(0, 0, 0, 0);
    UnionRect(&empty, &b, &out);
    EXPECT_TRUE(EqualRect(&out, &b)) << "an empty rectangle adds nothing";
    // The right and bottom edges are outside.
    EXPECT_TRUE(PtInRect(Point{0, 0}, &a));
    EXPECT_TRUE(PtInRect(Point{9, 9}, &a));
    EXPECT_FALSE(PtInRect(Point{10, 5}, &a));
    EXPECT_FALSE(PtInRect(Point{5, 10}, &a));
}

}  // namespace
