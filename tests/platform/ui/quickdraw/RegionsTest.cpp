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

// Two rectangles combined; the result's area and a point (h, v) in and out.
TEST(Regions, CombiningRectanglesCountsEachPointOnce)
{
    struct Case {
        const char* what;
        void (*op)(RgnHandle, RgnHandle, RgnHandle);
        Rect a, b;
        long area;
        Rect bounds;
        Point in, out;  // {v, h}; an in of {-1, -1}: the result is empty
    };
    const Case cases[] = {
        {"union of overlapping", UnionRgn, R(0, 0, 10, 10), R(5, 5, 15, 15), 175, R(0, 0, 15, 15), {12, 12}, {2, 12}},
        {"difference leaves a frame", DiffRgn, R(0, 0, 10, 10), R(2, 2, 8, 8), 64, R(0, 0, 10, 10), {0, 0}, {5, 5}},
        {"sect of disjoint", SectRgn, R(0, 0, 10, 10), R(10, 0, 20, 10), 0, R(0, 0, 0, 0), {-1, -1}, {5, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RgnHandle a = RectRegion(c.a), b = RectRegion(c.b), out = NewRgn();
        c.op(a, b, out);
        EXPECT_EQ(Area(out), c.area);
        Rect bounds;
        GetRegionBounds(out, &bounds);
        EXPECT_TRUE(EqualRect(&bounds, &c.bounds) || (EmptyRect(&bounds) && EmptyRect(&c.bounds)));
        EXPECT_EQ(EmptyRgn(out), c.in.v == -1);
        if (c.in.v != -1) {
            EXPECT_TRUE(PtInRgn(c.in, out));
        }
        EXPECT_FALSE(PtInRgn(c.out, out));
        DisposeRgn(a); DisposeRgn(b); DisposeRgn(out);
    }
    RgnHandle flat = RectRegion(R(5, 5, 5, 20));
    EXPECT_TRUE(EmptyRgn(flat));
    DisposeRgn(flat);
}

TEST(Regions, EqualSetsOfPointsCompareEqualWhateverTheirHistory)
{
    // The same L shape built two ways; it is no rectangle.
    RgnHandle a = RectRegion(R(0, 0, 10, 5)), b = RectRegion(R(0, 5, 5, 10)), l1 = NewRgn();
    UnionRgn(a, b, l1);
    RgnHandle big = RectRegion(R(0, 0, 10, 10)), corner = RectRegion(R(5, 5, 10, 10)), l2 = NewRgn();
    DiffRgn(big, corner, l2);
    EXPECT_TRUE(EqualRgn(l1, l2));
    EXPECT_FALSE(IsRegionRectangular(l2));
    DisposeRgn(a); DisposeRgn(b); DisposeRgn(l1); DisposeRgn(big); DisposeRgn(corner); DisposeRgn(l2);
}

TEST(Regions, OffsetMovesAndInsetShrinksOrGrows)
{
    RgnHandle h = RectRegion(R(0, 0, 10, 10));
    Rect b;
    OffsetRgn(h, 5, -3);
    InsetRgn(h, 2, 3);
    GetRegionBounds(h, &b);
    Rect moved = R(7, 0, 13, 4);
    EXPECT_TRUE(EqualRect(&b, &moved));
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
    EXPECT_TRUE(PtInRect(Point{9, 9}, &a));
    EXPECT_FALSE(PtInRect(Point{10, 5}, &a));
    EXPECT_FALSE(PtInRect(Point{5, 10}, &a));
}

}  // namespace
