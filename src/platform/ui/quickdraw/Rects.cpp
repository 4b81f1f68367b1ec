// Rectangle and point arithmetic.
//
// A rectangle is the area between its edges: (left, top) is inside,
// (right, bottom) is not, and a rectangle whose bottom <= top or right <= left
// holds no point.
#include <algorithm>

#include "platform/ui/quickdraw/QuickDraw.h"

void SetRect(Rect* r, short left, short top, short right, short bottom)
{
    *r = Rect{top, left, bottom, right};
}

void OffsetRect(Rect* r, short dh, short dv)
{
    r->left += dh;
    r->right += dh;
    r->top += dv;
    r->bottom += dv;
}

void InsetRect(Rect* r, short dh, short dv)
{
    r->left += dh;
    r->right -= dh;
    r->top += dv;
    r->bottom -= dv;
    // A rectangle inset past itself becomes the empty rectangle, as classic code expects.
    if (r->right <= r->left || r->bottom <= r->top) *r = Rect{0, 0, 0, 0};
}

Boolean SectRect(const Rect* a, const Rect* b, Rect* dst)
{
    Rect out{std::max(a->top, b->top), std::max(a->left, b->left), std::min(a->bottom, b->bottom),
             std::min(a->right, b->right)};
    if (out.bottom <= out.top || out.right <= out.left) {
        *dst = Rect{0, 0, 0, 0};
        return false;
    }
    *dst = out;
    return true;
}

void UnionRect(const Rect* a, const Rect* b, Rect* dst)
{
    // An empty rectangle adds nothing to the union.
    if (EmptyRect(a)) { *dst = *b; return; }
    if (EmptyRect(b)) { *dst = *a; return; }
    *dst = Rect{std::min(a->top, b->top), std::min(a->left, b->left), std::max(a->bottom, b->bottom),
                std::max(a->right, b->right)};
}

Boolean PtInRect(Point pt, const Rect* r)
{
    return pt.h >= r->left && pt.h < r->right && pt.v >= r->top && pt.v < r->bottom;
}

Boolean EqualRect(const Rect* a, const Rect* b)
{
    return a->top == b->top && a->left == b->left && a->bottom == b->bottom && a->right == b->right;
}

Boolean EmptyRect(const Rect* r) { return r->bottom <= r->top || r->right <= r->left; }

void Pt2Rect(Point a, Point b, Rect* dst)
{
    *dst = Rect{std::min(a.v, b.v), std::min(a.h, b.h), std::max(a.v, b.v), std::max(a.h, b.h)};
}

void SetPt(Point* pt, short h, short v)
{
    pt->h = h;
    pt->v = v;
}

void AddPt(Point src, Point* dst)
{
    dst->h += src.h;
    dst->v += src.v;
}

void SubPt(Point src, Point* dst)
{
    dst->h -= src.h;
    dst->v -= src.v;
}

Boolean EqualPt(Point a, Point b) { return a.h == b.h && a.v == b.v; }
