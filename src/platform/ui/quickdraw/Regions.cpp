// Region arithmetic on rectangle lists.
//
// Every operation works band by band: the union of both regions' top and
// bottom edges cuts the plane into horizontal bands; inside a band each
// region is a set of x intervals, which are combined with the operation.
// That keeps the code short and the result canonical, and the regions the
// toolbox meets (update areas, clip areas) have few rectangles.
#include "platform/ui/quickdraw/RegionData.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace rgn {

namespace {

struct Interval {
    int left;
    int right;
};

// The x intervals of a canonical list inside the band [top, bottom).
std::vector<Interval> IntervalsInBand(const std::vector<Rect>& rects, int top, int bottom)
{
    std::vector<Interval> out;
    for (const Rect& r : rects)
        if (r.top <= top && r.bottom >= bottom) out.push_back({r.left, r.right});
    std::sort(out.begin(), out.end(), [](const Interval& a, const Interval& b) { return a.left < b.left; });
    return out;
}

bool Inside(const std::vector<Interval>& spans, int x)
{
    for (const Interval& s : spans)
        if (x >= s.left && x < s.right) return true;
    return false;
}

bool Keep(bool inA, bool inB, Op op)
{
    switch (op) {
    case Op::Union: return inA || inB;
    case Op::Sect: return inA && inB;
    case Op::Diff: return inA && !inB;
    case Op::Xor: return inA != inB;
    }
    return false;
}

// Combines the intervals of one band, walking the sorted edges of both.
std::vector<Interval> CombineBand(const std::vector<Interval>& a, const std::vector<Interval>& b, Op op)
{
    std::vector<int> edges;
    for (const Interval& s : a) { edges.push_back(s.left); edges.push_back(s.right); }
    for (const Interval& s : b) { edges.push_back(s.left); edges.push_back(s.right); }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<Interval> out;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        int x = edges[i];
        if (!Keep(Inside(a, x), Inside(b, x), op)) continue;
        if (!out.empty() && out.back().right == x)
            out.back().right = edges[i + 1];
        else
            out.push_back({x, edges[i + 1]});
    }
    return out;
}

bool SameSpans(const std::vector<Interval>& a, const std::vector<Interval>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].left != b[i].left || a[i].right != b[i].right) return false;
    return true;
}

void AppendBand(std::vector<Rect>& out, const std::vector<Interval>& spans, int top, int bottom)
{
    for (const Interval& s : spans) out.push_back(Rect{short(top), short(s.left), short(bottom), short(s.right)});
}

}  // namespace

std::vector<Rect> Combine(const std::vector<Rect>& a, const std::vector<Rect>& b, Op op)
{
    std::vector<int> ys;
    for (const Rect& r : a) { ys.push_back(r.top); ys.push_back(r.bottom); }
    for (const Rect& r : b) { ys.push_back(r.top); ys.push_back(r.bottom); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<Rect> out;
    std::vector<Interval> pending;  // spans of the band still open
    int pendingTop = 0, pendingBottom = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        int top = ys[i], bottom = ys[i + 1];
        std::vector<Interval> spans =
            CombineBand(IntervalsInBand(a, top, bottom), IntervalsInBand(b, top, bottom), op);
        // Merge with the band above when it touches and has the same spans.
        if (!pending.empty() && pendingBottom == top && SameSpans(pending, spans)) {
            pendingBottom = bottom;
            continue;
        }
        AppendBand(out, pending, pendingTop, pendingBottom);
        pending = std::move(spans);
        pendingTop = top;
        pendingBottom = bottom;
    }
    AppendBand(out, pending, pendingTop, pendingBottom);
    return out;
}

std::vector<Rect> FromRect(const Rect& r)
{
    if (r.bottom <= r.top || r.right <= r.left) return {};
    return {r};
}

Rect Bounds(const std::vector<Rect>& rects)
{
    if (rects.empty()) return Rect{0, 0, 0, 0};
    Rect b = rects.front();
    for (const Rect& r : rects) {
        b.top = std::min(b.top, r.top);
        b.left = std::min(b.left, r.left);
        b.bottom = std::max(b.bottom, r.bottom);
        b.right = std::max(b.right, r.right);
    }
    return b;
}

}  // namespace rgn

// ---------------------------------------------------------------- the classic calls

RgnHandle NewRgn()
{
    RgnHandle h = new RgnPtr;
    *h = new MacRegion;
    return h;
}

void DisposeRgn(RgnHandle rgn)
{
    if (!rgn) return;
    delete *rgn;
    delete rgn;
}

void CopyRgn(RgnHandle srcRgn, RgnHandle dstRgn)
{
    if (srcRgn && dstRgn && srcRgn != dstRgn) rgn::Rects(dstRgn) = rgn::Rects(srcRgn);
}

void SetEmptyRgn(RgnHandle rgn)
{
    if (rgn) rgn::Rects(rgn).clear();
}

void SetRectRgn(RgnHandle rgn, short left, short top, short right, short bottom)
{
    if (rgn) rgn::Rects(rgn) = rgn::FromRect(Rect{top, left, bottom, right});
}

void RectRgn(RgnHandle rgn, const Rect* r)
{
    if (rgn && r) rgn::Rects(rgn) = rgn::FromRect(*r);
}

void OffsetRgn(RgnHandle rgn, short dh, short dv)
{
    if (!rgn) return;
    for (Rect& r : rgn::Rects(rgn)) {
        r.left += dh; r.right += dh;
        r.top += dv; r.bottom += dv;
    }
}

// Insetting moves every edge of the region's outline inward (outward when
// negative), one point at a time: shrinking by one keeps the points whose
// neighbours on both sides are in the region, growing by one adds the
// neighbours of every point. Pens and frames inset by a few points only.
namespace {

std::vector<Rect> Shifted(const std::vector<Rect>& rects, short h, short v)
{
    std::vector<Rect> out = rects;
    for (Rect& r : out) {
        r.left += h; r.right += h;
        r.top += v; r.bottom += v;
    }
    return out;
}

std::vector<Rect> StepInset(const std::vector<Rect>& rects, short h, short v, bool shrink)
{
    rgn::Op op = shrink ? rgn::Op::Sect : rgn::Op::Union;
    return rgn::Combine(rgn::Combine(rects, Shifted(rects, h, v), op), Shifted(rects, short(-h), short(-v)), op);
}

}  // namespace

void InsetRgn(RgnHandle rgn, short dh, short dv)
{
    if (!rgn) return;
    std::vector<Rect> result = rgn::Rects(rgn);
    for (int i = 0; i < std::min(std::abs(int(dh)), 256); ++i) result = StepInset(result, 1, 0, dh > 0);
    for (int i = 0; i < std::min(std::abs(int(dv)), 256); ++i) result = StepInset(result, 0, 1, dv > 0);
    rgn::Rects(rgn) = result;
}

static void CombineInto(RgnHandle a, RgnHandle b, RgnHandle dst, rgn::Op op)
{
    if (!a || !b || !dst) return;
    rgn::Rects(dst) = rgn::Combine(rgn::Rects(a), rgn::Rects(b), op);
}

void SectRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { CombineInto(a, b, dst, rgn::Op::Sect); }
void UnionRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { CombineInto(a, b, dst, rgn::Op::Union); }
void DiffRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { CombineInto(a, b, dst, rgn::Op::Diff); }
void XorRgn(RgnHandle a, RgnHandle b, RgnHandle dst) { CombineInto(a, b, dst, rgn::Op::Xor); }

Boolean EmptyRgn(RgnHandle rgn) { return !rgn || rgn::Rects(rgn).empty(); }

Boolean EqualRgn(RgnHandle a, RgnHandle b)
{
    if (!a || !b) return false;
    const std::vector<Rect>& x = rgn::Rects(a);
    const std::vector<Rect>& y = rgn::Rects(b);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (!EqualRect(&x[i], &y[i])) return false;
    return true;
}

Boolean PtInRgn(Point pt, RgnHandle rgn)
{
    if (!rgn) return false;
    for (const Rect& r : rgn::Rects(rgn))
        if (PtInRect(pt, &r)) return true;
    return false;
}

Boolean RectInRgn(const Rect* r, RgnHandle rgn)
{
    if (!r || !rgn) return false;
    Rect ignored;
    for (const Rect& part : rgn::Rects(rgn))
        if (SectRect(r, &part, &ignored)) return true;
    return false;
}

Rect* GetRegionBounds(RgnHandle region, Rect* bounds)
{
    if (bounds) *bounds = region ? rgn::Bounds(rgn::Rects(region)) : Rect{0, 0, 0, 0};
    return bounds;
}

Boolean IsRegionRectangular(RgnHandle region) { return region && rgn::Rects(region).size() <= 1; }

std::vector<Rect> GetRegionRects(RgnHandle region) { return region ? rgn::Rects(region) : std::vector<Rect>{}; }
